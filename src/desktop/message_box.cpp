#include "desktop/message_box.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QPushButton>
#include <QSpacerItem>
#include <cstdio>

#include "desktop/error_box.h"

namespace torvin::desktop {

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QStringLiteral("Torvin"));
  box->setIcon(QMessageBox::NoIcon);
  box->setTextFormat(Qt::PlainText);
  box->setText(text);
  box->setStandardButtons(QMessageBox::Ok);
  box->button(QMessageBox::Ok)->setIcon(QIcon());  // a plain OK, whatever the style
  if (parent != nullptr) {
    box->setWindowModality(Qt::WindowModal);
  }
  // A message box sizes itself to its contents whenever it is shown, over any
  // minimum width it was given; a spacer across its grid is what it measures.
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
    grid->addItem(
        new QSpacerItem(kMessageBoxMinimumWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
        grid->rowCount(), 0, 1, grid->columnCount());
  }
  return box;
}

void reportError(QWidget* parent, const std::string& text) {
  std::fprintf(stderr, "torvin: %s\n", text.c_str());  // every line, whatever the box shows
  const QString platform = QGuiApplication::platformName();
  if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
    makeErrorBox(parent, text)->exec();
  }
}

}  // namespace torvin::desktop
