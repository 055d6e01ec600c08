// Opening the window system. A game started with no display, or on one that
// refuses it, says so in one line and ends with status 1, instead of Qt's abort.
#pragma once

#include <QtGlobal>
#include <string>

namespace torvin::desktop {

// Why the X display the window would open on cannot be used ("DISPLAY is not
// set", or which display refused the connection), or "" when it can be used or
// when Qt is to use another window system (offscreen, Wayland, ...). Looks at
// the command line (-platform, -display) and the environment as Qt does. Call
// before the QApplication is made.
std::string displayProblem(int argc, char** argv);

// Whether the window manager makes a window full screen when asked to (on X11,
// one that names _NET_WM_STATE_FULLSCREEN among what it supports; other window
// systems always do). On a bare X server the game has to cover the screen
// itself.
bool windowManagerDoesFullScreen();

// While one lives, Qt failing to start its window system ends the program with
// one line on standard error and exit status 1; Qt's other messages in that time
// are held back and passed on when it ends. Make one just before the
// QApplication and drop it right after.
class WindowSystemStart {
 public:
  WindowSystemStart();
  ~WindowSystemStart();
  WindowSystemStart(const WindowSystemStart&) = delete;
  WindowSystemStart& operator=(const WindowSystemStart&) = delete;

 private:
  QtMessageHandler previous_;
};

}  // namespace torvin::desktop
