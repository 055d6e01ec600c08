// The keyboard: virtual-key codes, and the window's key preview that hands every
// key-down to the game whichever widget has the focus.
#include <gtest/gtest.h>

#include <QKeyEvent>

#include <xkbcommon/xkbcommon.h>

#include <memory>

#include "desktop/desktop_host.h"
#include "desktop/key_codes.h"
#include "desktop/keyboard_layout.h"
#include "support/desktop_support.h"

namespace torvin::desktop {
namespace {

using testing::BoxCloser;
using testing::PictureFolder;
using testing::playUntil;

TEST(KeyCodes, LettersAreUpperCaseWhateverShiftAndCapsLock) {
  for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key) {
    EXPECT_EQ(virtualKeyCode(key), key);
    EXPECT_EQ(virtualKeyCode(key, Qt::ShiftModifier), key);
  }
  EXPECT_EQ(virtualKeyCode(Qt::Key_A), 65);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Z), 90);
}

TEST(KeyCodes, OtherKeysGiveTheirUsualCodesOrNone) {
  EXPECT_EQ(virtualKeyCode(Qt::Key_0), 48);
  EXPECT_EQ(virtualKeyCode(Qt::Key_9), 57);
  EXPECT_EQ(virtualKeyCode(Qt::Key_7, Qt::KeypadModifier), 0x67);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Space), 32);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Left), 37);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Down), 40);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Return), 13);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Enter, Qt::KeypadModifier), 13);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Escape), 27);
  EXPECT_EQ(virtualKeyCode(Qt::Key_F1), 112);
  EXPECT_EQ(virtualKeyCode(Qt::Key_F12), 123);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Minus), 0xBD);
  EXPECT_EQ(virtualKeyCode(Qt::Key_Minus, Qt::KeypadModifier), 0x6D);
  // Keys with no code of their own must not pass for a letter of the game.
  for (int key : {Qt::Key_Exclam, Qt::Key_Adiaeresis, Qt::Key_VolumeUp, Qt::Key_unknown}) {
    const std::uint16_t code = virtualKeyCode(key);
    EXPECT_TRUE(code < 65 || code > 90) << key;
  }
  EXPECT_EQ(shiftState(Qt::NoModifier), 0);
  EXPECT_EQ(shiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
  EXPECT_EQ(shiftState(Qt::ControlModifier | Qt::KeypadModifier), 2);
}

// A key-down as the window system hands it over: Qt's key, and the key's XKB
// key code (the evdev code + 8) as the native scan code.
std::uint16_t codeOf(int qtKey, std::uint32_t keycode, const QString& text = {}) {
  const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier, keycode, 0, 0, text);
  return virtualKeyCode(event);
}

// XKB key codes of some keys, by their place on the keyboard.
constexpr std::uint32_t kKeyQ = 24;  // top letter row, first key
constexpr std::uint32_t kKeyA = 38;  // home row, first key
constexpr std::uint32_t kKeyH = 43;
constexpr std::uint32_t kKeyX = 53;
constexpr std::uint32_t kKeyM = 58;
constexpr std::uint32_t kKeyI = 31;
constexpr std::uint32_t kKeySemicolon = 47;
constexpr std::uint32_t kKeyApostrophe = 48;
constexpr std::uint32_t kSpace = 65;

TEST(KeyCodes, LettersOfOtherScriptsGiveTheLatinLetterOfTheirKey) {
  // Russian: the keys marked H and A write Cyrillic er and ef.
  EXPECT_EQ(codeOf(0x0420, kKeyH, QStringLiteral("\u0440")), 'H');
  EXPECT_EQ(codeOf(0x0424, kKeyA, QStringLiteral("\u0444")), 'A');
  // Greek chi on the key marked X.
  EXPECT_EQ(codeOf(0x03A7, kKeyX), 'X');
  // A letter of another script on a key that is no letter key stays no key of
  // the game, and so does one the window system gave no key code.
  EXPECT_EQ(codeOf(0x0416, kKeySemicolon), kNoKeyCode);  // Cyrillic zhe
  EXPECT_EQ(codeOf(0x0420, 0), kNoKeyCode);
}

TEST(KeyCodes, LatinLayoutsKeepTheirOwnMeaning) {
  // French: the key at Q's place writes A, the key at M's place a comma.
  EXPECT_EQ(codeOf(Qt::Key_A, kKeyQ), 'A');
  EXPECT_EQ(codeOf(Qt::Key_Comma, kKeyM), 0xBC);
  // German: a-umlaut at the semicolon's place is no letter of the game.
  EXPECT_EQ(codeOf(Qt::Key_Adiaeresis, kKeySemicolon), kNoKeyCode);
  EXPECT_EQ(codeOf(Qt::Key_F11, 95), 0x7A);
  // Turkish: Qt names the dotless i on the key at I's place by its capital, I;
  // it is not the game's I (Tabletop). The dotted i at the apostrophe's place
  // is, and Shift on the dotless one writes an I.
  EXPECT_EQ(codeOf(Qt::Key_I, kKeyI, QStringLiteral("\u0131")), kNoKeyCode);
  EXPECT_EQ(codeOf(Qt::Key_I, kKeyApostrophe, QStringLiteral("i")), 'I');
  EXPECT_EQ(codeOf(Qt::Key_I, kKeyI, QStringLiteral("I")), 'I');
  EXPECT_EQ(codeOf(0x0130, kKeyApostrophe, QStringLiteral("\u0130")), kNoKeyCode);
  // The long s, whose capital is S; a key with no text is Qt's key.
  EXPECT_EQ(codeOf(Qt::Key_S, kKeyA, QStringLiteral("\u017F")), kNoKeyCode);
  EXPECT_EQ(codeOf(Qt::Key_I, kKeyI), 'I');
}

struct KeymapFree {
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
using Keymap = std::unique_ptr<xkb_keymap, KeymapFree>;

// A keymap as XKB builds it for a keyboard with `layouts` ("us,ru").
Keymap keymap(const char* layouts) {
  static const std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
      xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
  const xkb_rule_names names{"evdev", "pc105", layouts, "", ""};
  return Keymap(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

TEST(KeyboardLayout, TheFirstLatinLayoutOfTheKeyboardElseTheKeysPlace) {
  const Keymap us = keymap("us");
  const Keymap usRu = keymap("us,ru");
  const Keymap ruFr = keymap("ru,fr");
  const Keymap ru = keymap("ru");
  const Keymap greek = keymap("gr");
  const Keymap ruTr = keymap("ru,tr");
  ASSERT_TRUE(us && usRu && ruFr && ru && greek && ruTr) << "XKB's layouts (xkb-data) are missing";

  // The keyboard's own Latin layout, wherever it comes in the list: on French,
  // the key at Q's place is A.
  EXPECT_EQ(latinLetter(usRu.get(), nullptr, kKeyH), 'H');
  EXPECT_EQ(latinLetter(ruFr.get(), us.get(), kKeyQ), 'A');
  EXPECT_EQ(latinLetter(ruFr.get(), us.get(), kKeyA), 'Q');
  // A Latin letter beyond A to Z on the first Latin layout is that letter, not
  // the one at the key's place: Turkish puts the dotless i at I's place, and
  // the dotted i at the apostrophe's.
  EXPECT_EQ(latinLetter(ruTr.get(), us.get(), kKeyI), 0);
  EXPECT_EQ(latinLetter(ruTr.get(), us.get(), kKeyApostrophe), 'I');
  // No Latin layout at all: the letter at the key's place on a US keyboard.
  EXPECT_EQ(latinLetter(ru.get(), us.get(), kKeyH), 'H');
  EXPECT_EQ(latinLetter(ru.get(), us.get(), kKeyA), 'A');
  EXPECT_EQ(latinLetter(greek.get(), us.get(), kKeyX), 'X');
  EXPECT_EQ(latinLetter(nullptr, us.get(), kKeyM), 'M');
  EXPECT_EQ(latinLetter(ru.get(), nullptr, kKeyH), 0);
  // Keys that are no letter keys.
  EXPECT_EQ(latinLetter(ru.get(), us.get(), kKeySemicolon), 0);
  EXPECT_EQ(latinLetter(ru.get(), us.get(), kSpace), 0);
  EXPECT_EQ(latinLetter(ru.get(), us.get(), 0), 0);
}

// A shown, active window whose Command2 ("How to") has the focus.
class KeyPreview : public testing::ShownWindow {};

TEST_F(KeyPreview, KeysReachTheGameOnceWhileAButtonHasTheFocus) {
  ASSERT_EQ(QApplication::focusWidget(), &howTo());
  // Before "Start" the rider hangs at Top 176: in the air for the trick keys.
  QTest::keyClick(&howTo(), Qt::Key_Q, Qt::ShiftModifier);
  // The can-can began; how far its steps have gone by the time the loop looks
  // depends on how busy the machine is, so only the keys are counted.
  ASSERT_TRUE(playUntil(host, [this] { return host.form().game.canCanState == 1; }));
  // Shift itself is a key-down too; neither may reach the game twice on its way
  // from the button up to the window.
  EXPECT_EQ(stats.keys(), 2);

  start().setFocus();
  QTest::keyClick(&start(), Qt::Key_H);
  ASSERT_TRUE(playUntil(host, [this] { return host.form().game.hopState != 0; }));
  EXPECT_EQ(stats.keys(), 3);

  // A held key repeats as further key-downs.
  for (int repeat = 0; repeat < 3; ++repeat) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
    QApplication::sendEvent(&start(), &press);
  }
  ASSERT_TRUE(playUntil(host, [this] { return stats.keys() == 6; }));
  EXPECT_EQ(host.form().game.manualState, 1);
}

TEST_F(KeyPreview, ButtonsStillWorkWithTheKeyboardAndTheMouse) {
  start().setFocus();
  QTest::keyClick(&start(), Qt::Key_Space);
  ASSERT_TRUE(playUntil(host, [this] { return !host.form().Command1.Enabled; }))
      << "Space on Start starts the game";
  EXPECT_EQ(stats.keys(), 1);
  EXPECT_FALSE(start().isEnabled());
  EXPECT_EQ(host.form().Form.BackColor.get(), rgb(150, 213, 255));

  BoxCloser player(host, 10);
  QTest::mouseClick(&howTo(), Qt::LeftButton);
  ASSERT_TRUE(playUntil(host, [&player, this] {
    return player.texts().size() == 3 && host.openMessageBoxes().empty();
  }));
  EXPECT_TRUE(player.texts()[0].startsWith(QStringLiteral("Trick list: Bunny hop - H;")));
  EXPECT_TRUE(player.texts()[1].startsWith(QStringLiteral("Manual - A")));
}

TEST_F(KeyPreview, KeysAndClicksGoToAnOpenMessageBoxNotToTheGame) {
  BoxCloser player(host, 50, [this](QMessageBox& box) {
    QTest::keyClick(box.focusWidget() != nullptr ? box.focusWidget() : &box, Qt::Key_H);
    QTest::mouseClick(&start(), Qt::LeftButton);
  });
  QTest::mouseClick(&howTo(), Qt::LeftButton);
  ASSERT_TRUE(playUntil(host, [&player, this] {
    return player.texts().size() == 3 && host.openMessageBoxes().empty();
  }));
  // The keys were pressed and heard, but the boxes had them.
  EXPECT_EQ(stats.keys(), 3);
  EXPECT_EQ(host.form().game.hopState, 0);
  EXPECT_TRUE(host.form().Command1.Enabled) << "Start was clicked behind a box";

  // And to the game again once they are closed and the window has the keys back.
  ASSERT_TRUE(QTest::qWaitForWindowActive(&host.window()));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_H);
  ASSERT_TRUE(playUntil(host, [this] { return host.form().game.hopState != 0; }));
}

}  // namespace
}  // namespace torvin::desktop
