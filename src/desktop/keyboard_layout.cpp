#include "desktop/keyboard_layout.h"

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QChar>
#include <QGuiApplication>
#include <memory>

namespace torvin::desktop {

namespace {

struct ContextFree {
  void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct KeymapFree {
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
using Context = std::unique_ptr<xkb_context, ContextFree>;
using Keymap = std::unique_ptr<xkb_keymap, KeymapFree>;

// The XKB events that bring a new keymap (the numbers of xcb/xkb.h, whose header
// does not compile as C++).
constexpr std::uint8_t kNewKeyboardNotify = 0;
constexpr std::uint8_t kMapNotify = 1;

char letterOf(xkb_keysym_t sym) {
  if (sym >= XKB_KEY_a && sym <= XKB_KEY_z) {
    return static_cast<char>('A' + (sym - XKB_KEY_a));
  }
  if (sym >= XKB_KEY_A && sym <= XKB_KEY_Z) {
    return static_cast<char>('A' + (sym - XKB_KEY_A));
  }
  return 0;
}

// What a layout writes on a key that is a Latin letter beyond A to Z (the
// dotless i of a Turkish keyboard): the key is that letter, none of the game's.
constexpr char kOtherLatinLetter = '?';

// The Latin letter that `layout` of `keymap` writes with the key unshifted: 'A'
// to 'Z', kOtherLatinLetter, or 0 when it writes no Latin letter there.
char letterIn(xkb_keymap* keymap, xkb_keycode_t key, xkb_layout_index_t layout) {
  const xkb_keysym_t* syms = nullptr;
  if (xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &syms) != 1) {
    return 0;
  }
  if (const char letter = letterOf(syms[0]); letter != 0) {
    return letter;
  }
  const char32_t character = xkb_keysym_to_utf32(syms[0]);
  return character != 0 && QChar::isLetter(character) &&
                 QChar::script(character) == QChar::Script_Latin
             ? kOtherLatinLetter
             : 0;
}

// The game's letter of what letterIn() found.
char gameLetter(char letter) {
  return letter == kOtherLatinLetter ? 0 : letter;
}

// The keyboard as the game needs it: the US keymap for the keys' places, and on
// X11 the keymap of the X server's keyboard, fetched when first needed and again
// after the server announces a new one (setxkbmap, a new keyboard plugged in).
class Keyboard final : public QAbstractNativeEventFilter {
 public:
  Keyboard() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    if (!context_) {
      return;
    }
    // Every name given, so that XKB_DEFAULT_* in the environment changes nothing.
    const xkb_rule_names us{"evdev", "pc105", "us", "", ""};
    positions_.reset(xkb_keymap_new_from_names(context_.get(), &us, XKB_KEYMAP_COMPILE_NO_FLAGS));
    watchX11();
  }

  char letter(std::uint32_t keycode) {
    if (stale_) {
      stale_ = false;
      fetchX11Keymap();
    }
    return latinLetter(layouts_.get(), positions_.get(), keycode);
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) override {
    if (xkbEvent_ != 0 && type == "xcb_generic_event_t") {
      const auto* event = static_cast<const xcb_generic_event_t*>(message);
      // Byte 1 of every XKB event tells which one it is.
      if ((event->response_type & 0x7F) == xkbEvent_ &&
          (event->pad0 == kNewKeyboardNotify || event->pad0 == kMapNotify)) {
        stale_ = true;
      }
    }
    return false;
  }

 private:
  void watchX11() {
    if (qGuiApp == nullptr) {
      return;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
      return;
    }
    std::uint8_t firstEvent = 0;
    if (xkb_x11_setup_xkb_extension(
            x11->connection(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &firstEvent, nullptr) == 0) {
      return;
    }
    connection_ = x11->connection();
    xkbEvent_ = firstEvent;
    // Qt has asked the server for these events already; they pass through here.
    qGuiApp->installNativeEventFilter(this);
  }

  void fetchX11Keymap() {
    layouts_.reset();
    if (connection_ == nullptr) {
      return;
    }
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection_);
    if (device >= 0) {
      layouts_.reset(xkb_x11_keymap_new_from_device(context_.get(), connection_, device,
                                                    XKB_KEYMAP_COMPILE_NO_FLAGS));
    }
  }

  Context context_;
  Keymap positions_;
  Keymap layouts_;
  bool stale_ = true;
  xcb_connection_t* connection_ = nullptr;
  std::uint8_t xkbEvent_ = 0;
};

}  // namespace

char latinLetter(xkb_keymap* layouts, xkb_keymap* positions, std::uint32_t keycode) {
  if (layouts != nullptr) {
    // The first layout with a Latin letter on the key decides, even when that
    // letter is none of the game's.
    const xkb_layout_index_t count = xkb_keymap_num_layouts_for_key(layouts, keycode);
    for (xkb_layout_index_t layout = 0; layout < count; ++layout) {
      if (const char letter = letterIn(layouts, keycode, layout); letter != 0) {
        return gameLetter(letter);
      }
    }
  }
  return positions != nullptr ? gameLetter(letterIn(positions, keycode, 0)) : 0;
}

char latinLetterOfKey(std::uint32_t keycode) {
  static Keyboard keyboard;
  return keyboard.letter(keycode);
}

}  // namespace torvin::desktop
