// The box that ends the game with a list of bad pictures: it fits on the
// screen and its OK can be reached, however long the list.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QScreen>

#include "desktop/error_box.h"
#include "support/desktop_support.h"

namespace torvin::desktop {
namespace {

// Every part of the box, the OK button above all, lies on the screen.
void expectOnScreen(QMessageBox& box) {
  QApplication::processEvents();
  const QRect screen = box.screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(box.frameGeometry()))
      << "box " << box.frameGeometry().width() << "x" << box.frameGeometry().height()
      << " on a screen of " << screen.width() << "x" << screen.height();
  QAbstractButton* ok = box.button(QMessageBox::Ok);
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isVisible());
  EXPECT_TRUE(screen.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size())));
}

TEST(ErrorBox, EveryPictureMissingStillFitsOnTheScreen) {
  std::string text = "These pictures of the game are missing or unreadable:";
  const std::string folder = "/home/player/games/" + std::string(150, 'x') + "/torvin";
  for (const std::string& name : Form1::pictureCatalogue()) {
    text += "\n" + folder + "/" + name + ": the file is missing";
  }
  const auto box = makeErrorBox(nullptr, text);
  EXPECT_EQ(box->detailedText().toStdString(), text) << "every line is in the details";
  EXPECT_LE(box->text().count(QLatin1Char('\n')), 8) << box->text().toStdString();
  EXPECT_TRUE(box->text().contains(QStringLiteral("01/000.jpg: the file is missing")));
  box->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
  expectOnScreen(*box);

  for (QAbstractButton* button : box->buttons()) {
    if (box->buttonRole(button) == QMessageBox::ActionRole) {
      button->click();  // "Show Details..."
    }
  }
  expectOnScreen(*box);
  box->close();
}

TEST(ErrorBox, AFewShortLinesAreShownWhole) {
  const std::string text =
      "These pictures of the game are missing or unreadable:\n"
      "/games/torvin/bg001.gif: the file is cut short";
  const auto box = makeErrorBox(nullptr, text);
  EXPECT_EQ(box->text().toStdString(), text);
  EXPECT_TRUE(box->detailedText().isEmpty());
}

}  // namespace
}  // namespace torvin::desktop
