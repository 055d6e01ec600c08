#include "desktop/window_keys.h"

namespace torvin::desktop {

namespace {

bool isLetter(std::uint16_t code) {
  return code >= 'A' && code <= 'Z';
}

constexpr KeyMeaning kPlayed{true, true, WindowAction::None};
constexpr KeyMeaning kIgnored{false, false, WindowAction::None};

KeyMeaning windowOnly(WindowAction action) {
  return {false, false, action};
}

}  // namespace

KeyMeaning meaningOf(const WindowKey& key, const WindowMoment& moment) {
  if ((key.control || key.altOrMeta) && isLetter(key.code)) {
    if (key.control && !key.altOrMeta && key.code == kKeyQ) {
      return windowOnly(key.repeat ? WindowAction::None : WindowAction::Quit);
    }
    // The widgets may still have their shortcuts; the game has no use for them.
    return {false, true, WindowAction::None};
  }
  const bool pauseKey = key.code == kKeyP || key.code == kKeyPause;
  if (moment.paused) {
    if (pauseKey) {
      return windowOnly(key.repeat ? WindowAction::None : WindowAction::Resume);
    }
    if (key.code == kKeyEscape) {
      return moment.boxOpen ? KeyMeaning{false, true, WindowAction::None}
                            : windowOnly(WindowAction::LeaveFullScreen);
    }
    if (key.code == kKeyF11) {
      return {false, true, WindowAction::None};  // the window switches full screen
    }
    return kIgnored;
  }
  if (pauseKey) {
    return {true, true, key.repeat ? WindowAction::None : WindowAction::Pause};
  }
  if (key.code == kKeyF1) {
    return windowOnly(key.repeat || moment.boxOpen ? WindowAction::None : WindowAction::HowTo);
  }
  if (key.code == kKeyF2) {
    return windowOnly(key.repeat ? WindowAction::None : WindowAction::TogglePoints);
  }
  if (key.code == kKeyEscape && !moment.boxOpen) {
    return {true, true, WindowAction::LeaveFullScreen};
  }
  return kPlayed;
}

}  // namespace torvin::desktop
