// The game's message boxes: how they are made, and wide enough for a window
// manager to show their title whatever their text.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "desktop/message_box.h"
#include "support/desktop_support.h"

namespace torvin::desktop {
namespace {

using testing::BoxCloser;

TEST(MessageBox, APlainBoxCaptionedTorvinWithOneOk) {
  QWidget parent;
  const std::unique_ptr<QMessageBox> box = makeMessageBox(&parent, QStringLiteral("<b>Fail!</b>"));
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Torvin"));
  EXPECT_EQ(box->text(), QStringLiteral("<b>Fail!</b>"));
  EXPECT_EQ(box->textFormat(), Qt::PlainText) << "the game's text is shown as it is";
  EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
  ASSERT_EQ(box->buttons().size(), 1);
  EXPECT_EQ(box->standardButton(box->buttons().front()), QMessageBox::Ok);
  EXPECT_TRUE(box->button(QMessageBox::Ok)->icon().isNull());
  EXPECT_EQ(box->parentWidget(), &parent);
  EXPECT_EQ(box->windowModality(), Qt::WindowModal);
  EXPECT_FALSE(box->isVisible()) << "made, not shown";
}

TEST(MessageBox, WideEnoughForItsTitleWhateverItsText) {
  for (const QString& text :
       {QStringLiteral("Fail!"), QStringLiteral("New Bike!"),
        QStringLiteral("Manual - A, Nose Manual - S (press every second!)")}) {
    const std::unique_ptr<QMessageBox> box = makeMessageBox(nullptr, text);
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
    EXPECT_GE(box->width(), kMessageBoxMinimumWidth) << text.toStdString();
    // Room for the title and a window manager's three buttons beside it.
    EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->windowTitle()) + 150);
    // The text is shown whole.
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(text.section(' ', 0, 0)));
    box->close();
  }
}

TEST(MessageBox, TheGameShowsItsMessagesInSuchABox) {
  testing::PictureFolder pictures;
  DesktopHost host(pictures.path());
  host.load();
  host.window().show();
  std::vector<int> widths;
  BoxCloser player(host, 10, [&widths](QMessageBox& box) { widths.push_back(box.width()); });
  QTest::mouseClick(&host.window().button(host.form().Command2), Qt::LeftButton);
  ASSERT_TRUE(testing::playUntil(host, [&widths] { return widths.size() == 3; }));
  for (const int width : widths) {
    EXPECT_GE(width, kMessageBoxMinimumWidth);
  }
}

}  // namespace
}  // namespace torvin::desktop
