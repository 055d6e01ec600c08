// What a key-down means to the window besides the game's own keys: pausing and
// resuming, quitting, the "How to" boxes, the points on screen and leaving full
// screen. One table decides, for every key, whether the game hears it and
// what the window does with it, so that the keys of the window can never be
// mistaken for tricks and a recording never holds a key the game did not hear.
#pragma once

#include <cstdint>

namespace torvin::desktop {

// The virtual-key codes the window acts on.
inline constexpr std::uint16_t kKeyPause = 0x13;
inline constexpr std::uint16_t kKeyEscape = 0x1B;
inline constexpr std::uint16_t kKeyP = 'P';
inline constexpr std::uint16_t kKeyQ = 'Q';
inline constexpr std::uint16_t kKeyF1 = 0x70;
inline constexpr std::uint16_t kKeyF2 = 0x71;
inline constexpr std::uint16_t kKeyF11 = 0x7A;

// A key-down as the window sees it.
struct WindowKey {
  std::uint16_t code = 0;  // its virtual-key code
  bool control = false;    // Ctrl held
  bool altOrMeta = false;  // Alt or Meta (the Windows key) held
  bool repeat = false;     // a held key's repeat
};

// Where the window is when the key comes.
struct WindowMoment {
  bool paused = false;
  bool boxOpen = false;  // one of the game's message boxes is open
};

enum class WindowAction {
  None,
  Pause,            // after the key has reached the game
  Resume,           //
  Quit,             // as closing the window does
  HowTo,            // a click on "How to", where it can be clicked
  TogglePoints,     // the points on screen, on or off
  LeaveFullScreen,  // when the window is full screen
};

struct KeyMeaning {
  bool played = false;   // the key reaches the game (and its recording)
  bool toWidget = true;  // the widget with the focus still gets the key
  WindowAction action = WindowAction::None;
};

// What `key` means at `moment`:
// - Ctrl+Q quits; Ctrl, Alt or Meta with a letter never reaches the game as
//   that letter (Ctrl alone still does, as its own key).
// - P and Pause reach the game, then pause; while paused they resume and are
//   not played, and no other key reaches the game. F11 and Escape still act
//   on the window meanwhile.
// - Escape closes an open message box (the box has the key); with none open
//   it leaves full screen, and reaches the game as it always did.
// - F1 clicks "How to" instead of reaching the game; F2 switches the points on
//   screen on or off, which the game never hears of.
// A held key's repeats never pause, resume, quit or switch anything.
KeyMeaning meaningOf(const WindowKey& key, const WindowMoment& moment);

}  // namespace torvin::desktop
