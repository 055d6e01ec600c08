// The keyboard as the game's key handler sees it: Windows virtual-key codes and
// the shift state (1 Shift, 2 Ctrl, 4 Alt), whatever keyboard layout is active.
#pragma once

#include <QKeyEvent>
#include <cstdint>

namespace torvin::desktop {

// A key the game has no code for: it matches no key of the game.
inline constexpr std::uint16_t kNoKeyCode = 0;

// The virtual-key code of a Qt key. Letters give 65 to 90 whatever Shift or Caps
// Lock; digits, Space, the arrows, the function keys and the other common keys
// give their usual codes; keypad digits and operators give the keypad codes.
std::uint16_t virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The shift state of a key-down: 1 for Shift, 2 for Ctrl, 4 for Alt, added up.
int shiftState(Qt::KeyboardModifiers modifiers);

// The virtual-key code of a key-down. A letter key gives its Latin letter on
// every layout: the letter the active layout writes when it is Latin; when the
// layout writes another script (Cyrillic, Greek, ...), the letter of the first
// Latin layout of the keyboard, else the letter at the key's place on a US
// keyboard, so that the key marked H (Cyrillic er) still hops. A key that
// writes a Latin letter beyond A to Z (the dotless i of a Turkish keyboard,
// whose capital is I) is none of the game's letters.
std::uint16_t virtualKeyCode(const QKeyEvent& event);

}  // namespace torvin::desktop
