// The window's size and place from one game to the next, kept with QSettings
// (~/.config/torvin/torvin.conf).
#pragma once

class QWidget;

namespace torvin::desktop {

// Gives the window the size, place and state (maximised, full screen) it had
// when the game last ended. Nothing changes when nothing was kept.
void restoreWindowSize(QWidget& window);

// Keeps the window's size, place and state for the next game.
void saveWindowSize(const QWidget& window);

}  // namespace torvin::desktop
