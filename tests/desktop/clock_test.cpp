// The window on the game's one clock: a run played in it is a script that the
// simulator replays to the very same state; an idle window sleeps; message
// boxes do not keep the player from quitting; a replay plays on its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QPushButton>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "desktop/desktop_host.h"
#include "desktop/line_output.h"
#include "desktop/recording.h"
#include "script/reader.h"
#include "sim/simulator.h"
#include "support/deadline.h"
#include "support/desktop_support.h"

namespace torvin::desktop {
namespace {

using testing::BoxCloser;
using testing::PictureFolder;
using testing::playFor;
using testing::playUntil;
using torvin::testing::Deadline;

std::string temporaryFile(const std::string& name) {
  return ::testing::TempDir() + name;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A file for the host's output, written as standard output is.
struct OutputFile {
  explicit OutputFile(const std::string& path)
      : fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)), out(fd, path) {}
  ~OutputFile() { ::close(fd); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  int fd;
  LineOutput out;
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    result.push_back(line);
  }
  return result;
}

// What torvin-sim prints for a script, with the pictures of `folder`.
std::string simulate(const std::string& script, const std::string& folder) {
  std::istringstream in(script);
  std::ostringstream out;
  sim::Simulator simulator({folder, std::nullopt, false, {}}, script::readScript(in), out);
  simulator.run();
  return out.str();
}

// A shown and active window, and a player who acts later.
class PlayedWindow : public testing::ShownWindow {
 protected:
  // The key goes to the widget with the focus, as the window system sends it;
  // right after a box has closed, once the window has the focus back.
  void pressLater(int ms, Qt::Key key) {
    QTimer::singleShot(ms, &host, [this, key] {
      QWidget* focus = QApplication::focusWidget();
      if (focus != nullptr && focus->isVisible()) {
        QTest::keyClick(focus, key);
      } else {
        pressLater(5, key);
      }
    });
  }
  void clickLater(int ms, int number) {
    QTimer::singleShot(ms, &host, [this, number] {
      QTest::mouseClick(number == 1 ? &start() : &howTo(), Qt::LeftButton);
    });
  }
};

TEST_F(PlayedWindow, ARunIsAScriptThatTheSimulatorReplaysToTheSameState) {
  const std::string recorded = temporaryFile("run.script");
  const std::string atExit = temporaryFile("exit.json");
  Recording recording(recorded);
  OutputFile exitDump(atExit);
  host.record(recording);
  host.dumpAtExit(exitDump.out);

  // A quick player: Start, hops with tricks, manuals, "How to" read for a while.
  clickLater(60, 1);
  const Qt::Key keys[] = {Qt::Key_H, Qt::Key_Q, Qt::Key_A, Qt::Key_H, Qt::Key_W, Qt::Key_S,
                          Qt::Key_H, Qt::Key_R, Qt::Key_A, Qt::Key_H, Qt::Key_T, Qt::Key_E,
                          Qt::Key_H, Qt::Key_D, Qt::Key_A, Qt::Key_H, Qt::Key_Y, Qt::Key_G};
  int at = 200;
  for (const Qt::Key key : keys) {
    pressLater(at, key);
    at += 130;
  }
  clickLater(1300, 2);
  BoxCloser player(host, 120);
  // Ended once every box is closed (later on a busy machine), so that the
  // state after the game is the state at its end.
  QElapsedTimer played;
  played.start();
  playUntil(
      host, [&] { return played.elapsed() >= at + 400 && host.openMessageBoxes().empty(); }, 20000);

  const std::string script = readFile(recorded);
  EXPECT_NE(script.find(" click Command1\n"), std::string::npos) << script;
  EXPECT_NE(script.find(" close\n"), std::string::npos) << script;
  EXPECT_EQ(stats.keys(), static_cast<long long>(std::size(keys)));
  const std::vector<std::string> replayed = lines(simulate(script, pictures.path()));
  ASSERT_EQ(replayed.size(), 1U) << "one dump, when the game ended";
  EXPECT_EQ(replayed[0], lines(readFile(atExit)).at(0));
  EXPECT_EQ(replayed[0], host.snapshot()) << script;
}

// A window that runs behind: every course tick takes longer than the course's
// 40 ms, and keys arrive in the middle of one, as the window system hands them
// over while a slow handler runs. The game performs each key at the millisecond
// it arrived, after the ticks due before it, when the wall clock is already
// later; the recording must keep the game's millisecond, or a replay presses
// the key later than the game did.
class SlowCourse final : public DesktopHost::Watcher {
 public:
  SlowCourse(DesktopHost& host, DesktopHost::Watcher& stats) : host_(host), stats_(stats) {
    wall_.start();
  }

  void handled(int timer) override {
    stats_.handled(timer);
    if (timer != 2 || courseTicks_ >= 40) {
      return;
    }
    if (++courseTicks_ % 4 == 0) {
      QWidget* focus = QApplication::focusWidget();
      pressedAt_.push_back(wall_.elapsed());
      QTest::keyClick(focus != nullptr ? focus : &host_.window(),
                      kKeys[keys_++ % std::size(kKeys)]);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(55));
  }
  void performed(const script::Action& action) override {
    stats_.performed(action);
    if (action.kind == script::ActionKind::Key) {
      performedAt_.push_back(host_.clock());
      // The key waited this long between arriving and being performed.
      behind_ = std::max(behind_, wall_.elapsed() - pressedAt_.at(performedAt_.size() - 1));
    }
  }
  void intervalChanged(const Timer& timer) override { stats_.intervalChanged(timer); }
  void pictureLoaded(const std::string& path, std::size_t decodes) override {
    stats_.pictureLoaded(path, decodes);
  }

  // The game's clock at each key it performed.
  const std::vector<long long>& performedAt() const { return performedAt_; }
  // The longest a key waited from its arrival to its turn, in wall-clock ms.
  long long behind() const { return behind_; }

 private:
  static constexpr Qt::Key kKeys[] = {Qt::Key_H, Qt::Key_Q, Qt::Key_A, Qt::Key_W, Qt::Key_S};
  DesktopHost& host_;
  DesktopHost::Watcher& stats_;
  QElapsedTimer wall_;
  int courseTicks_ = 0;
  std::size_t keys_ = 0;
  std::vector<long long> pressedAt_;  // wall-clock ms
  std::vector<long long> performedAt_;
  long long behind_ = 0;
};

TEST_F(PlayedWindow, AWindowThatRunsBehindRecordsTheGamesMillisecondOfEachKey) {
  const std::string recorded = temporaryFile("behind.script");
  const std::string atExit = temporaryFile("behind.json");
  Recording recording(recorded);
  OutputFile exitDump(atExit);
  host.record(recording);
  host.dumpAtExit(exitDump.out);
  SlowCourse slow(host, stats);
  host.watch(slow);

  clickLater(20, 1);
  BoxCloser player(host, 50);  // a trick that lands too late says "Fail!"
  playUntil(
      host, [&] { return slow.performedAt().size() == 10; }, 20000);

  ASSERT_EQ(slow.performedAt().size(), 10U) << "the keys pressed in the slow ticks";
  EXPECT_GE(slow.behind(), 40) << "the window never ran behind: the test proves nothing";
  const std::string script = readFile(recorded);
  std::vector<long long> keyTimes;
  for (const std::string& line : lines(script)) {
    if (line.find(" key ") != std::string::npos) {
      keyTimes.push_back(std::stoll(line));
    }
  }
  EXPECT_EQ(keyTimes, slow.performedAt())
      << "the recording stamps the keys with other times than the game's clock:\n"
      << script;
  const std::vector<std::string> replayed = lines(simulate(script, pictures.path()));
  ASSERT_EQ(replayed.size(), 1U) << "one dump, when the game ended";
  EXPECT_EQ(replayed[0], host.snapshot()) << script;
  EXPECT_EQ(replayed[0], lines(readFile(atExit)).at(0));
}

TEST_F(PlayedWindow, AnIdleWindowRunsNoTicksAndTheCourseKeepsItsTime) {
  // Before "Start" nothing moves: each trick timer finds nothing to do once, and
  // the window then sleeps until the player does something.
  playFor(host, 500);
  EXPECT_LE(host.scheduler().ticksRun(), 5);

  const std::string recorded = temporaryFile("course.script");
  {
    Recording recording(recorded);
    host.record(recording);
    clickLater(10, 1);
    playFor(host, 1000);
  }
  // The course ticks every 40 ms of the game's clock from "Start" on, however
  // late the window woke; the referee only after the events that could change
  // what it judges.
  const std::vector<std::string> script = lines(readFile(recorded));
  ASSERT_GE(script.size(), 2U);
  const long long started = std::stoll(script[1]);
  EXPECT_EQ(stats.ticks(2), (host.clock() - started) / 40);
  EXPECT_LE(stats.ticks(4), stats.ticks(2) + 2);
}

// Before "Start" every timer soon finds nothing to do, and the game waits for
// the player alone, with no wake-up of its own: the key must wake it.
TEST_F(PlayedWindow, AKeyWakesTheWaitingGame) {
  const Deadline deadline(std::chrono::seconds(10),
                          "a key that arrived did not wake the waiting game: neither the key "
                          "nor the end asked for after it was handled");
  pressLater(300, Qt::Key_H);
  EXPECT_TRUE(playUntil(
      host, [this] { return stats.keys() == 1; }, 3000))
      << "the key was not handled";
}

TEST_F(PlayedWindow, ClosingTheWindowEndsTheGameWithMessageBoxesOpen) {
  const std::string atExit = temporaryFile("closed.json");
  OutputFile exitDump(atExit);
  host.dumpAtExit(exitDump.out);
  int opened = 0;
  BoxCloser reader(host, 60000, {}, [&opened](QMessageBox&) { ++opened; });
  clickLater(20, 2);
  QTimer::singleShot(300, &host, [this] { host.window().close(); });
  playFor(host, 5000);

  EXPECT_EQ(opened, 1) << "the game ended with its first help box, not after the third";
  EXPECT_LT(host.clock(), 2000);
  EXPECT_TRUE(host.openMessageBoxes().empty());
  const std::string dump = readFile(atExit);
  EXPECT_NE(dump.find("\"MessageBox\":\"Trick list: Bunny hop - H;"), std::string::npos) << dump;
}

TEST_F(PlayedWindow, AReplayPlaysItsScriptAloneAtItsTimesAndEndsWithIt) {
  const std::string script =
      "0 click Command1\n200 key H\n450 key Q\n600 dump\n700 click Command2\n900 close\n"
      "1000 close\n1100 dump\n1200 close\n1300 key A\n1400 dump\n";
  std::istringstream in(script);
  host.replay(script::readScript(in));
  const std::string dumps = temporaryFile("replay.json");
  OutputFile out(dumps);
  host.dumpsTo(out.out);

  // The player's own keys, clicks and box closes do nothing meanwhile.
  pressLater(100, Qt::Key_S);
  pressLater(300, Qt::Key_W);
  BoxCloser player(host, 10);
  {
    const Deadline deadline(std::chrono::seconds(10),
                            "the replay did not end with its last line, at 1400 ms");
    host.run();
  }

  EXPECT_EQ(host.clock(), 1400);
  EXPECT_EQ(stats.keys(), 3);
  EXPECT_EQ(readFile(dumps), simulate(script, pictures.path()));
}

TEST_F(PlayedWindow, AReplayWithoutALineEndsAtOnce) {
  for (const char* script : {"", "# only a comment\n\n"}) {
    std::istringstream in(script);
    host.replay(script::readScript(in));
    const std::string atExit = temporaryFile("empty.json");
    {
      OutputFile exitDump(atExit);
      host.dumpAtExit(exitDump.out);
      QTimer::singleShot(5000, &host, [this] { host.end(); });  // were it to wait
      host.run();
    }
    EXPECT_LT(host.clock(), 1000) << script;
    EXPECT_EQ(lines(readFile(atExit)).size(), 1U) << "the state at the end, once";
  }
}

TEST_F(PlayedWindow, EscapeEndsAReplay) {
  std::istringstream in("0 click Command1\n60000 key H\n");
  host.replay(script::readScript(in));
  pressLater(200, Qt::Key_Escape);
  const Deadline deadline(std::chrono::seconds(10), "Escape did not end the replay");
  host.run();
  EXPECT_LT(host.clock(), 5000);
  EXPECT_EQ(stats.keys(), 0);
}

}  // namespace
}  // namespace torvin::desktop
