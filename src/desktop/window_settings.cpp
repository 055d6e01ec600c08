#include "desktop/window_settings.h"

#include <QSettings>
#include <QWidget>

namespace torvin::desktop {

namespace {

QSettings settings() {
  return QSettings(QStringLiteral("torvin"), QStringLiteral("torvin"));
}

const QString kGeometry = QStringLiteral("window/geometry");

}  // namespace

void restoreWindowSize(QWidget& window) {
  const QByteArray geometry = settings().value(kGeometry).toByteArray();
  if (!geometry.isEmpty()) {
    window.restoreGeometry(geometry);
  }
}

void saveWindowSize(const QWidget& window) {
  settings().setValue(kGeometry, window.saveGeometry());
}

}  // namespace torvin::desktop
