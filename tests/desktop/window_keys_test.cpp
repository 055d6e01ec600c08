// The window's own keys and the pause: what a key means to the window, and the
// real window paused, quit, asked for help and for the points by the keyboard,
// with the game's clock and its recording as they must be.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "desktop/desktop_host.h"
#include "desktop/recording.h"
#include "desktop/window_keys.h"
#include "script/reader.h"
#include "sim/simulator.h"
#include "support/deadline.h"
#include "support/desktop_support.h"

namespace torvin::desktop {
namespace {

using testing::playFor;
using testing::playUntil;
using torvin::testing::Deadline;

KeyMeaning running(std::uint16_t code, bool boxOpen = false) {
  return meaningOf({code, false, false, false}, {false, boxOpen});
}
KeyMeaning paused(std::uint16_t code, bool boxOpen = false) {
  return meaningOf({code, false, false, false}, {true, boxOpen});
}

TEST(WindowKeys, CtrlQQuitsAndNoLetterWithAModifierIsPlayed) {
  for (const bool isPaused : {false, true}) {
    const KeyMeaning quit = meaningOf({kKeyQ, true, false, false}, {isPaused, false});
    EXPECT_EQ(quit.action, WindowAction::Quit);
    EXPECT_FALSE(quit.played);
    EXPECT_FALSE(quit.toWidget);
  }
  // Ctrl, Alt or Meta with a letter is no trick, and quits only as Ctrl+Q.
  for (const std::uint16_t letter : std::initializer_list<std::uint16_t>{'Q', 'H', 'A', 'P', 'Z'}) {
    for (const auto& [control, alt] :
         std::initializer_list<std::pair<bool, bool>>{{true, true}, {false, true}, {true, false}}) {
      const KeyMeaning meaning = meaningOf({letter, control, alt, false}, {});
      EXPECT_FALSE(meaning.played) << letter;
      if (letter != 'Q' || alt) {
        EXPECT_EQ(meaning.action, WindowAction::None) << letter;
      }
    }
  }
  // Ctrl itself, and Ctrl with a key that is no letter, reach the game.
  EXPECT_TRUE(meaningOf({0x11, true, false, false}, {}).played);
  EXPECT_TRUE(meaningOf({0x25, true, false, false}, {}).played);
  // A held Ctrl+Q repeats: it has quit already.
  EXPECT_EQ(meaningOf({kKeyQ, true, false, true}, {}).action, WindowAction::None);
}

TEST(WindowKeys, PAndPauseArePlayedThenPauseAndResumeUnplayed) {
  for (const std::uint16_t key : {kKeyP, kKeyPause}) {
    for (const bool boxOpen : {false, true}) {
      const KeyMeaning pause = running(key, boxOpen);
      EXPECT_TRUE(pause.played);
      EXPECT_EQ(pause.action, WindowAction::Pause);
      const KeyMeaning resume = paused(key, boxOpen);
      EXPECT_FALSE(resume.played);
      EXPECT_FALSE(resume.toWidget);
      EXPECT_EQ(resume.action, WindowAction::Resume);
    }
    // A held key neither pauses nor resumes again and again.
    EXPECT_EQ(meaningOf({key, false, false, true}, {}).action, WindowAction::None);
    EXPECT_EQ(meaningOf({key, false, false, true}, {true, false}).action, WindowAction::None);
  }
}

TEST(WindowKeys, WhilePausedNoKeyReachesTheGameButTheWindowKeysAct) {
  for (const std::uint16_t key :
       std::initializer_list<std::uint16_t>{'H', 'Q', 'A', ' ', 0x0D, 0x11, kKeyF1, kKeyF2}) {
    const KeyMeaning meaning = paused(key);
    EXPECT_FALSE(meaning.played) << key;
    EXPECT_FALSE(meaning.toWidget) << key << ": a button would still be pressed";
    EXPECT_EQ(meaning.action, WindowAction::None) << key;
  }
  EXPECT_EQ(paused(kKeyEscape).action, WindowAction::LeaveFullScreen);
  EXPECT_FALSE(paused(kKeyEscape).played);
  // An open box still closes with Escape; F11 still reaches the window.
  EXPECT_TRUE(paused(kKeyEscape, true).toWidget);
  EXPECT_EQ(paused(kKeyEscape, true).action, WindowAction::None);
  EXPECT_TRUE(paused(kKeyF11).toWidget);
  EXPECT_FALSE(paused(kKeyF11).played);
}

TEST(WindowKeys, EscapeF1AndF2WhileRiding) {
  // Escape reaches the game as always; it leaves full screen only when no box
  // is open to be closed by it.
  EXPECT_TRUE(running(kKeyEscape).played);
  EXPECT_EQ(running(kKeyEscape).action, WindowAction::LeaveFullScreen);
  EXPECT_TRUE(running(kKeyEscape, true).played);
  EXPECT_TRUE(running(kKeyEscape, true).toWidget);
  EXPECT_EQ(running(kKeyEscape, true).action, WindowAction::None);
  // F1 is a click on "How to", never a key, and nothing with a box open.
  EXPECT_EQ(running(kKeyF1).action, WindowAction::HowTo);
  EXPECT_FALSE(running(kKeyF1).played);
  EXPECT_EQ(running(kKeyF1, true).action, WindowAction::None);
  EXPECT_FALSE(running(kKeyF1, true).played);
  EXPECT_EQ(meaningOf({kKeyF1, false, false, true}, {}).action, WindowAction::None);
  // F2 is the window's alone.
  EXPECT_EQ(running(kKeyF2).action, WindowAction::TogglePoints);
  EXPECT_FALSE(running(kKeyF2).played);
  // Every other key is played as it always was.
  for (const std::uint16_t key :
       std::initializer_list<std::uint16_t>{'H', 'Q', ' ', 0x11, kKeyF11, 0x72}) {
    EXPECT_TRUE(running(key).played) << key;
    EXPECT_TRUE(running(key).toWidget) << key;
    EXPECT_EQ(running(key).action, WindowAction::None) << key;
  }
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t found = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++found;
  }
  return found;
}

// The last line torvin-sim prints for a script, with the pictures of `folder`.
std::string lastDump(const std::string& script, const std::string& folder) {
  std::istringstream in(script);
  std::ostringstream out;
  sim::Simulator simulator({folder, std::nullopt, false, {}}, script::readScript(in), out);
  simulator.run();
  std::string text = out.str();
  text.pop_back();
  return text.substr(text.rfind('\n') + 1);
}

// A recorded game in a shown window, and its keys pressed where the focus is.
class KeyedWindow : public testing::ShownWindow {
 protected:
  void SetUp() override {
    ShownWindow::SetUp();
    host.record(recording);
  }
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &host.window(), key, modifiers);
  }
  // Start clicked, and a manual under way that adds a point every 100 ms.
  void ride() {
    QTest::mouseClick(&start(), Qt::LeftButton);
    press(Qt::Key_A);
    ASSERT_TRUE(playUntil(host, [this] { return host.form().game.runScore > 0; }));
  }
  std::string script() { return readFile(path); }

  QTemporaryDir folder;  // of this test alone: tests may run side by side
  std::string path = folder.filePath(QStringLiteral("keys.script")).toStdString();
  Recording recording{path};
};

TEST_F(KeyedWindow, WhilePausedTheClockStandsStillAndTheRecordingReplaysWithoutThePause) {
  ride();
  press(Qt::Key_P);
  ASSERT_TRUE(host.paused());
  EXPECT_TRUE(host.window().showsPaused());
  playFor(host, 50);  // the P itself is played
  const long long pausedAt = host.clock();
  const GameState before = host.form().game;

  // Nothing reaches the game meanwhile, however long the pause; a button with
  // the focus is not pressed by Space either.
  start().setEnabled(true);
  start().setFocus();
  for (const Qt::Key key : {Qt::Key_H, Qt::Key_A, Qt::Key_F1, Qt::Key_F2, Qt::Key_Space}) {
    press(key);
  }
  playFor(host, 600);
  EXPECT_EQ(host.clock(), pausedAt);
  EXPECT_TRUE(host.form().game == before) << "the game went on while paused";
  EXPECT_TRUE(host.openMessageBoxes().empty());
  EXPECT_FALSE(host.window().showsPoints());

  // Pause resumes as P does, unplayed, and the clock goes on from where it
  // stood.
  press(Qt::Key_Pause);
  EXPECT_FALSE(host.paused());
  EXPECT_FALSE(host.window().showsPaused());
  QElapsedTimer resumed;
  resumed.start();
  ASSERT_TRUE(playUntil(host, [&] { return host.form().game.runScore > before.runScore; }));
  EXPECT_GT(host.clock(), pausedAt);
  EXPECT_LE(host.clock() - pausedAt, resumed.elapsed() + 1);

  const std::string recorded = script();
  EXPECT_EQ(count(recorded, " key 80\n"), 1U) << "the P that paused";
  EXPECT_EQ(count(recorded, " key 19\n"), 0U) << "the Pause that resumed";
  for (const char* unplayed : {" key 72\n", " key 112\n", " key 113\n", " key 32\n", "Command2"}) {
    EXPECT_EQ(count(recorded, unplayed), 0U) << unplayed << " in\n" << recorded;
  }
  EXPECT_EQ(lastDump(recorded, pictures.path()), host.snapshot()) << recorded;
}

TEST_F(KeyedWindow, AnotherProgramTakingTheFocusPausesAndAClickResumesWithoutClicking) {
  ride();
  emit qApp->applicationStateChanged(Qt::ApplicationInactive);
  ASSERT_TRUE(host.paused());
  playFor(host, 50);
  const long long pausedAt = host.clock();
  // The focus coming back does not resume: the player may not be looking yet.
  emit qApp->applicationStateChanged(Qt::ApplicationActive);
  EXPECT_TRUE(host.paused());
  playFor(host, 300);
  EXPECT_EQ(host.clock(), pausedAt);

  // A click on the window resumes, and is no click on the button under it.
  QTest::mouseClick(&howTo(), Qt::LeftButton);
  EXPECT_FALSE(host.paused());
  playFor(host, 200);
  EXPECT_GT(host.clock(), pausedAt);
  EXPECT_TRUE(host.openMessageBoxes().empty());
  EXPECT_EQ(count(script(), "Command2"), 0U) << script();
  EXPECT_EQ(lastDump(script(), pictures.path()), host.snapshot());
}

TEST_F(KeyedWindow, CtrlQEndsTheGameWithItsLastStateAndNoLetter) {
  ride();
  press(Qt::Key_H, Qt::ControlModifier);  // no hop
  press(Qt::Key_W, Qt::AltModifier);
  press(Qt::Key_Q, Qt::ControlModifier);
  {
    const Deadline deadline(std::chrono::seconds(10), "Ctrl+Q did not end the game");
    host.run();
  }
  EXPECT_EQ(host.form().game.hopState, 0);
  const std::string recorded = script();
  for (const char* letter : {" key 72\n", " key 87\n", " key 81\n"}) {
    EXPECT_EQ(count(recorded, letter), 0U) << letter << " in\n" << recorded;
  }
  EXPECT_GE(count(recorded, " key 17\n"), 2U) << "Ctrl itself reaches the game";
  EXPECT_EQ(recorded.substr(recorded.rfind('\n', recorded.size() - 2) + 1),
            std::to_string(host.clock()) + " dump\n");
  EXPECT_EQ(lastDump(recorded, pictures.path()), host.snapshot());
}

TEST_F(KeyedWindow, F1IsAClickOnHowToAndNothingWithABoxOpen) {
  press(Qt::Key_F1);
  QString first;
  std::size_t most = 0;
  bool pausedByBox = false;
  QElapsedTimer opened;
  playUntil(host, [&] {
    const std::vector<QMessageBox*>& boxes = host.openMessageBoxes();
    most = std::max(most, boxes.size());
    pausedByBox = pausedByBox || host.paused();
    if (!boxes.empty() && first.isEmpty()) {
      first = boxes.back()->text();
      opened.start();
      press(Qt::Key_F1);  // in the box: no second "How to"
    }
    return !first.isEmpty() && opened.elapsed() > 200;
  });
  EXPECT_TRUE(first.startsWith(QStringLiteral("Trick list: Bunny hop - H;")))
      << first.toStdString();
  EXPECT_EQ(most, 1U);
  EXPECT_FALSE(pausedByBox) << "the game's own box paused it";
  const std::string recorded = script();
  EXPECT_EQ(count(recorded, " click Command2\n"), 1U) << recorded;
  EXPECT_EQ(count(recorded, " key 112\n"), 0U) << recorded;
}

TEST_F(KeyedWindow, F2ShowsThePointsAsTheyChangeAndTheGameNeverHearsOfIt) {
  ride();
  EXPECT_FALSE(host.window().showsPoints());
  press(Qt::Key_F2);
  ASSERT_TRUE(host.window().showsPoints());
  const QRect box = host.window().pointsBox();
  ASSERT_FALSE(box.isEmpty());
  EXPECT_TRUE(host.window().fit().sceneRect().contains(box));
  const QImage shown = host.window().grab(box).toImage();
  const std::int16_t points = host.form().game.runScore;
  ASSERT_TRUE(playUntil(host, [&] { return host.form().game.runScore > points + 1; }));
  const QRect later = host.window().pointsBox();
  EXPECT_NE(host.window().grab(later.united(box)).toImage(), shown) << "the points did not change";
  press(Qt::Key_F2);
  EXPECT_FALSE(host.window().showsPoints());
  EXPECT_EQ(count(script(), " key 113\n"), 0U) << script();
  EXPECT_EQ(lastDump(script(), pictures.path()), host.snapshot());
}

TEST_F(KeyedWindow, EscapeLeavesFullScreenAndStillReachesTheGame) {
  host.window().toggleFullScreen();
  ASSERT_TRUE(testing::spinUntil([this] { return host.window().fullScreen(); }));
  press(Qt::Key_Escape);
  EXPECT_TRUE(testing::spinUntil([this] { return !host.window().fullScreen(); }));
  playFor(host, 50);
  EXPECT_EQ(count(script(), " key 27\n"), 1U) << script();
}

}  // namespace
}  // namespace torvin::desktop
