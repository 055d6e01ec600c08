#include "desktop/key_codes.h"

#include <QChar>
#include <QString>
#include <utility>

#include "desktop/keyboard_layout.h"

namespace torvin::desktop {

namespace {

// Keys whose code is not their Qt value.
constexpr std::pair<int, std::uint16_t> kNamedKeys[] = {
    {Qt::Key_Backspace, 0x08},   {Qt::Key_Tab, 0x09},        {Qt::Key_Backtab, 0x09},
    {Qt::Key_Clear, 0x0C},       {Qt::Key_Return, 0x0D},     {Qt::Key_Enter, 0x0D},
    {Qt::Key_Shift, 0x10},       {Qt::Key_Control, 0x11},    {Qt::Key_Alt, 0x12},
    {Qt::Key_Pause, 0x13},       {Qt::Key_CapsLock, 0x14},   {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20},       {Qt::Key_PageUp, 0x21},     {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},         {Qt::Key_Home, 0x24},       {Qt::Key_Left, 0x25},
    {Qt::Key_Up, 0x26},          {Qt::Key_Right, 0x27},      {Qt::Key_Down, 0x28},
    {Qt::Key_Print, 0x2C},       {Qt::Key_Insert, 0x2D},     {Qt::Key_Delete, 0x2E},
    {Qt::Key_Help, 0x2F},        {Qt::Key_Meta, 0x5B},       {Qt::Key_Menu, 0x5D},
    {Qt::Key_NumLock, 0x90},     {Qt::Key_ScrollLock, 0x91}, {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Equal, 0xBB},       {Qt::Key_Comma, 0xBC},      {Qt::Key_Minus, 0xBD},
    {Qt::Key_Period, 0xBE},      {Qt::Key_Slash, 0xBF},      {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_Backslash, 0xDC},  {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE},
};

// Keypad keys other than the digits.
constexpr std::pair<int, std::uint16_t> kKeypadKeys[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D}, {Qt::Key_Period, 0x6E},
    {Qt::Key_Comma, 0x6E},    {Qt::Key_Slash, 0x6F}, {Qt::Key_Enter, 0x0D},
};

std::uint16_t code(int value) {
  return static_cast<std::uint16_t>(value);
}

// A letter of another script than Latin, such as Qt names the keys of a Russian
// or Greek layout (by their capital letter). Latin letters beyond A to Z (the
// German umlauts, say) are the layout's own keys and keep their meaning.
bool isOtherScriptLetter(int qtKey) {
  if (qtKey <= 0 || qtKey > 0x10FFFF) {
    return false;
  }
  const auto character = static_cast<char32_t>(qtKey);
  return QChar::isLetter(character) && QChar::script(character) != QChar::Script_Latin;
}

// A key that writes a Latin letter beyond A to Z, which Qt names by its
// capital when that is one of A to Z: the dotless i of a Turkish keyboard is
// named I. It is its own letter, none of the game's.
bool writesAnotherLetter(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.size() != 1 || !text[0].isLetter()) {
    return false;  // no text (Ctrl held, a made-up event): Qt's key says it
  }
  const char16_t c = text[0].unicode();
  return !((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'));
}

}  // namespace

std::uint16_t virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
    return keypad ? code(0x60 + (qtKey - Qt::Key_0)) : code(qtKey);
  }
  // Qt names a letter key by its upper-case letter, as the game wants it.
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
    return code(qtKey);
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
    return code(0x70 + (qtKey - Qt::Key_F1));
  }
  if (keypad) {
    for (const auto& [key, value] : kKeypadKeys) {
      if (key == qtKey) {
        return value;
      }
    }
  }
  for (const auto& [key, value] : kNamedKeys) {
    if (key == qtKey) {
      return value;
    }
  }
  return kNoKeyCode;
}

std::uint16_t virtualKeyCode(const QKeyEvent& event) {
  const std::uint16_t known = virtualKeyCode(event.key(), event.modifiers());
  if (known >= 'A' && known <= 'Z' && writesAnotherLetter(event)) {
    return kNoKeyCode;
  }
  if (known != kNoKeyCode || !isOtherScriptLetter(event.key())) {
    return known;
  }
  const char letter = latinLetterOfKey(event.nativeScanCode());
  return letter != 0 ? code(letter) : kNoKeyCode;
}

int shiftState(Qt::KeyboardModifiers modifiers) {
  int state = 0;
  if (modifiers.testFlag(Qt::ShiftModifier)) {
    state += 1;
  }
  if (modifiers.testFlag(Qt::ControlModifier)) {
    state += 2;
  }
  if (modifiers.testFlag(Qt::AltModifier)) {
    state += 4;
  }
  return state;
}

}  // namespace torvin::desktop
