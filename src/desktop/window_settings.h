// The window's size, place and state, and whether the points are shown, from
// one game to the next, kept in
// torvin.conf (~/.config/torvin/, or $XDG_CONFIG_HOME/torvin/). What is kept
// can never hurt a start: a size or place that does not fit the screen is not
// used (nor kept), and a torvin.conf that is not a regular file, or is larger
// than a settings file can be, is not read (one line on standard error says
// so) and is never replaced by a file of the game's.
#pragma once

#include <QRect>
#include <QString>
#include <optional>

class QWidget;

namespace torvin::desktop {

// A window as it was kept.
struct KeptWindow {
  QRect geometry;  // the window without its frame, as it was before it was maximised
  bool maximised = false;
  bool fullScreen = false;
};

// What of a kept window a window opening on a screen takes, where `available`
// is the screen's area for windows: the size only when it fits in it, the
// place only with the size and when the whole window is in it. The state
// (maximised, full screen) is the window manager's to fit.
struct Placement {
  std::optional<QSize> size;
  std::optional<QPoint> place;
  bool maximised = false;
  bool fullScreen = false;
};
Placement fitToScreen(const KeptWindow& kept, const QRect& available);

// The largest torvin.conf that is read.
inline constexpr qint64 kLargestSettingsFile = 64 * 1024;

// Gives the window the size, place and state it had when the game last ended,
// as far as they fit its screen. Nothing changes when nothing fitting was kept.
void restoreWindowSize(QWidget& window);

// Keeps the window's size, place and state for the next game; a size larger
// than the window's screen is not kept.
void saveWindowSize(const QWidget& window);

// Whether the player had the points shown when the game last ended (not when
// nothing was kept, or torvin.conf is not read).
bool keptShowPoints();
// Keeps whether the points are shown, for the next game.
void keepShowPoints(bool shown);

}  // namespace torvin::desktop
