#include "desktop/window_settings.h"

#include <sys/stat.h>

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <cstdio>

namespace torvin::desktop {

namespace {

const QString kX = QStringLiteral("window/x");
const QString kY = QStringLiteral("window/y");
const QString kWidth = QStringLiteral("window/width");
const QString kHeight = QStringLiteral("window/height");
const QString kMaximised = QStringLiteral("window/maximised");
const QString kFullScreen = QStringLiteral("window/fullScreen");
const QString kShowPoints = QStringLiteral("view/showPoints");

// Where QSettings keeps the settings of the program "torvin" of "torvin".
QString settingsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/torvin/torvin.conf");
}

enum class SettingsFile { Missing, Good, TooLarge, NotRegular };

// What lies at `path`, links followed. A link that leads nowhere is no
// regular file: the game does not make one where it points.
SettingsFile look(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  struct stat file {};
  if (stat(name.constData(), &file) != 0) {
    struct stat link {};
    return lstat(name.constData(), &link) == 0 ? SettingsFile::NotRegular : SettingsFile::Missing;
  }
  if (!S_ISREG(file.st_mode)) {
    return SettingsFile::NotRegular;
  }
  return file.st_size > kLargestSettingsFile ? SettingsFile::TooLarge : SettingsFile::Good;
}

QRect availableArea(const QWidget& window, const QRect& near) {
  QScreen* screen = QGuiApplication::screenAt(near.center());
  if (screen == nullptr) {
    screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  }
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

// Far beyond any screen, and small enough that a window's corners never
// overflow.
constexpr int kFarthest = 1 << 24;

// A whole number from -kFarthest to kFarthest kept under `key`, if one is.
std::optional<int> number(const QSettings& settings, const QString& key) {
  bool ok = false;
  const int value = settings.value(key).toInt(&ok);
  return ok && value >= -kFarthest && value <= kFarthest ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

Placement fitToScreen(const KeptWindow& kept, const QRect& available) {
  Placement placement;
  placement.maximised = kept.maximised;
  placement.fullScreen = kept.fullScreen;
  const QSize size = kept.geometry.size();
  if (size.isEmpty() || size.width() > available.width() || size.height() > available.height()) {
    return placement;
  }
  placement.size = size;
  if (available.contains(kept.geometry)) {
    placement.place = kept.geometry.topLeft();
  }
  return placement;
}

void restoreWindowSize(QWidget& window) {
  const QString path = settingsPath();
  switch (look(path)) {
    case SettingsFile::Missing:
      return;
    case SettingsFile::NotRegular:
      std::fprintf(stderr,
                   "torvin: %s is not a regular file: the window's size is neither read from it "
                   "nor kept in it\n",
                   QFile::encodeName(path).constData());
      return;
    case SettingsFile::TooLarge:
      std::fprintf(
          stderr, "torvin: %s is larger than %lld KB: the window's size is not read from it\n",
          QFile::encodeName(path).constData(), static_cast<long long>(kLargestSettingsFile / 1024));
      return;
    case SettingsFile::Good:
      break;
  }
  const QSettings settings(path, QSettings::IniFormat);
  const std::optional<int> x = number(settings, kX);
  const std::optional<int> y = number(settings, kY);
  const std::optional<int> width = number(settings, kWidth);
  const std::optional<int> height = number(settings, kHeight);
  if (!x || !y || !width || !height) {
    return;
  }
  KeptWindow kept;
  kept.geometry = QRect(*x, *y, *width, *height);
  kept.maximised = settings.value(kMaximised).toBool();
  kept.fullScreen = settings.value(kFullScreen).toBool();
  const Placement placement = fitToScreen(kept, availableArea(window, kept.geometry));
  if (!placement.size) {
    return;  // as if nothing had been kept
  }
  if (placement.place) {
    window.setGeometry(QRect(*placement.place, *placement.size));
  } else {
    window.resize(*placement.size);
  }
  Qt::WindowStates state = window.windowState();
  state.setFlag(Qt::WindowMaximized, placement.maximised);
  state.setFlag(Qt::WindowFullScreen, placement.fullScreen);
  window.setWindowState(state);
}

namespace {

// The settings file to write into, unless it is none of the game's (said at
// the start).
std::optional<QString> writablePath() {
  const QString path = settingsPath();
  const SettingsFile file = look(path);
  if (file == SettingsFile::NotRegular) {
    return std::nullopt;
  }
  if (file == SettingsFile::TooLarge) {
    // Emptied rather than read: its own settings are written into it anew.
    QFile(path).resize(0);
  }
  return path;
}

}  // namespace

void saveWindowSize(const QWidget& window) {
  const std::optional<QString> path = writablePath();
  if (!path) {
    return;
  }
  QSettings settings(*path, QSettings::IniFormat);
  settings.remove(QStringLiteral("window"));
  const QRect geometry = window.normalGeometry();
  const QRect available = availableArea(window, geometry);
  if (geometry.width() > available.width() || geometry.height() > available.height()) {
    return;  // larger than the screen: the next game opens as a new player's
  }
  settings.setValue(kX, geometry.x());
  settings.setValue(kY, geometry.y());
  settings.setValue(kWidth, geometry.width());
  settings.setValue(kHeight, geometry.height());
  settings.setValue(kMaximised, window.isMaximized());
  settings.setValue(kFullScreen, window.isFullScreen());
}

bool keptShowPoints() {
  const QString path = settingsPath();
  if (look(path) != SettingsFile::Good) {
    return false;  // what is wrong with it is said once, with the window's size
  }
  return QSettings(path, QSettings::IniFormat).value(kShowPoints).toBool();
}

void keepShowPoints(bool shown) {
  if (const std::optional<QString> path = writablePath()) {
    QSettings(*path, QSettings::IniFormat).setValue(kShowPoints, shown);
  }
}

}  // namespace torvin::desktop
