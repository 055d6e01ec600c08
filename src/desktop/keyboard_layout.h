// The Latin letter of a key when the active keyboard layout writes another script
// (Russian, Greek, Hebrew, ...): the letter the keyboard's first Latin layout puts
// on that key, else the letter at the key's place on a US keyboard.
#pragma once

#include <cstdint>

struct xkb_keymap;

namespace torvin::desktop {

// The Latin letter ('A' to 'Z') of the key with the XKB key code `keycode` (the
// evdev code + 8, which X11 and Wayland hand over as the key's native scan code),
// or 0 when the key is not a letter key. On X11 the keyboard's own layouts are
// asked first, and kept until the X server says the keymap changed.
char latinLetterOfKey(std::uint32_t keycode);

// The same from given keymaps: the first layout of `layouts` (may be null) that
// has a Latin letter on the key, else the letter that `positions` puts there.
// A Latin letter beyond A to Z there (the dotless i of a Turkish layout) is
// none of the game's: 0.
char latinLetter(xkb_keymap* layouts, xkb_keymap* positions, std::uint32_t keycode);

}  // namespace torvin::desktop
