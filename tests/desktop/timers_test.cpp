// The game's timers on Qt clocks: countdowns kept or restarted as the model's
// Interval says, and a timer that waits on a message box not ticking again.
#include <gtest/gtest.h>

#include "desktop/desktop_host.h"
#include "desktop_support.h"

namespace torvin::desktop {
namespace {

using testing::BoxCloser;
using testing::PictureFolder;
using testing::spin;

TEST(Timers, SameIntervalKeepsTheCountdownAnotherRestartsItZeroStops) {
  PictureFolder pictures;
  DesktopHost host(pictures.path());
  Timer& timer = host.form().Timer1;
  const QTimer& clock = host.clock(1);

  timer.setInterval(400);
  EXPECT_TRUE(clock.isActive());
  EXPECT_EQ(clock.timerType(), Qt::PreciseTimer);
  spin(150);
  const int left = clock.remainingTime();
  ASSERT_LT(left, 300);

  // The host hears of the same value again (as after 40 -> 40): nothing restarts.
  host.intervalChanged(timer);
  EXPECT_LE(clock.remainingTime(), left);

  timer.setInterval(500);
  EXPECT_GT(clock.remainingTime(), 400);
  EXPECT_EQ(clock.interval(), 500);

  timer.setInterval(0);
  EXPECT_FALSE(clock.isActive());
  timer.setInterval(500);
  EXPECT_TRUE(clock.isActive());
}

TEST(Timers, AFailBoxKeepsTheOtherTimersTickingAndItsOwnTimerOut) {
  PictureFolder pictures;
  DesktopHost host(pictures.path());
  host.load();  // the hop timer ticks every 200 ms from now on
  Form1& form = host.form();
  form.Command1_Click();

  // A trick still running as the rider touches the ground: the referee's next
  // tick (right after the next event) opens "Fail!".
  form.game.trickBusy = 1;

  DesktopHost::TickCounts hopAtOpen;
  DesktopHost::TickCounts refereeAtOpen;
  DesktopHost::TickCounts hopAtClose;
  DesktopHost::TickCounts refereeAtClose;
  int boxesAtClose = 0;
  BoxCloser player(
      300,
      [&](QMessageBox&) {
        hopAtClose = host.ticks(1);
        refereeAtClose = host.ticks(4);
        boxesAtClose = host.openMessageBoxes();
      },
      [&](QMessageBox&) {
        hopAtOpen = host.ticks(1);
        refereeAtOpen = host.ticks(4);
        // Re-timed while its tick waits on the box, the referee must still not
        // run again.
        form.Timer4.setInterval(2);
      });
  ASSERT_TRUE(testing::spinUntil([&] { return !form.Score.items().empty(); }));

  ASSERT_EQ(player.texts().size(), 1U);
  EXPECT_EQ(player.texts()[0], QStringLiteral("Fail!"));
  EXPECT_EQ(boxesAtClose, 1);
  EXPECT_GE(hopAtClose.delivered, hopAtOpen.delivered + 1) << "the hop timer ticks behind the box";
  EXPECT_EQ(refereeAtClose.delivered, refereeAtOpen.delivered) << "the referee waits on its box";
  EXPECT_GT(refereeAtClose.dropped, refereeAtOpen.dropped) << "its ticks came and were dropped";
  EXPECT_EQ(form.Timer2.Interval(), 40) << "the course runs again after the box";
  EXPECT_EQ(form.Score.items(), std::vector<std::string>{"0"});
  EXPECT_EQ(form.game.trickBusy, 0);

  // After the box and the pause the referee ticks again.
  const long long after = host.ticks(4).delivered;
  spin(50);
  EXPECT_GT(host.ticks(4).delivered, after);
}

// The referee has no clock: it judges right after the event that changed the
// game, and once more right after its own tick that waited on a box.
TEST(Timers, TheRefereeJudgesRightAfterEachEventWithoutAClock) {
  PictureFolder pictures;
  DesktopHost host(pictures.path());
  host.load();
  Form1& form = host.form();
  host.window().show();
  QTest::mouseClick(&host.window().button(form.Command1), Qt::LeftButton);
  ASSERT_EQ(form.Timer4.Interval(), 1);
  EXPECT_FALSE(host.clock(4).isActive());

  // Landing with a trick running, then a key that is no trick: the fall is
  // judged before the key event returns.
  form.game.trickBusy = 1;
  {
    BoxCloser player(0);
    QTest::keyClick(&host.window(), Qt::Key_B);
    EXPECT_EQ(form.Score.items(), std::vector<std::string>{"0"});
  }
  EXPECT_FALSE(host.clock(4).isActive());

  // A trick left running on the ground while "New Bike!" is open, with every
  // other clock stopped: only the referee's own next tick can see it.
  form.game.totalScore = 600;
  long long othersAtClose = -1;
  long long othersAtFail = -1;
  auto others = [&host] {
    long long sum = host.keysDelivered();
    for (const int number : {1, 2, 3, 5, 6, 7, 8}) {
      sum += host.ticks(number).delivered;
    }
    return sum;
  };
  BoxCloser biker(
      50,
      [&](QMessageBox& box) {
        if (box.text() == QStringLiteral("New Bike!")) {
          for (const int number : {1, 2, 3, 5, 6, 7, 8}) {
            form.timer(number).setInterval(0);
          }
          form.Image1.Top = kGroundTop;
          form.game.trickBusy = 1;
          othersAtClose = others();
        }
      },
      [&](QMessageBox& box) {
        if (box.text() == QStringLiteral("Fail!")) {
          othersAtFail = others();
        }
      });
  ASSERT_TRUE(testing::spinUntil([&] { return form.Score.items().size() == 2; }));
  EXPECT_EQ(form.game.bikeId, "02");
  EXPECT_EQ(othersAtFail, othersAtClose) << "no other event came between the two boxes";
}

}  // namespace
}  // namespace torvin::desktop
