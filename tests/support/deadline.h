// A time limit for a test whose fault would be a hang: a loop that never ends,
// or a wait that nothing wakes. If the scope of a Deadline has not been left in
// time, the test program says which test it was and what went wrong, and ends
// at once with status 1 (a hung loop cannot be stopped from outside, and CTest
// would wait for minutes before it gives up).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <mutex>
#include <string>
#include <thread>

namespace torvin::testing {

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  // `what` says what went wrong if the time runs out ("the replay did not end
  // with its last line").
  Deadline(std::chrono::milliseconds limit, const std::string& what) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name =
        test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "a test";
    const auto seconds = std::chrono::duration<double>(limit).count();
    Watchdog& dog = watchdog();
    const std::lock_guard<std::mutex> lock(dog.mutex);
    char limitText[32];
    std::snprintf(limitText, sizeof limitText, "%.1f s", seconds);
    entry_ = dog.entries.insert(
        dog.entries.end(),
        {Clock::now() + limit, name + ": " + what + " (not done after " + limitText + ")"});
    dog.changed.notify_one();
  }
  ~Deadline() {
    Watchdog& dog = watchdog();
    const std::lock_guard<std::mutex> lock(dog.mutex);
    dog.entries.erase(entry_);
    dog.changed.notify_one();
  }
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;

 private:
  struct Entry {
    Clock::time_point at;
    std::string what;
  };

  // One thread watches every deadline of the program. It is never stopped nor
  // destroyed, so that it outlives every test.
  struct Watchdog {
    std::mutex mutex;
    std::condition_variable changed;
    std::list<Entry> entries;

    Watchdog() {
      std::thread([this] { watch(); }).detach();
    }
    [[noreturn]] void watch() {
      std::unique_lock<std::mutex> lock(mutex);
      for (;;) {
        const Entry* first = nullptr;
        for (const Entry& entry : entries) {
          if (first == nullptr || entry.at < first->at) {
            first = &entry;
          }
        }
        if (first == nullptr) {
          changed.wait(lock);
        } else if (Clock::now() >= first->at) {
          std::fprintf(stderr, "\nFAILED %s\n", first->what.c_str());
          std::fflush(stderr);
          std::fflush(stdout);
          std::_Exit(EXIT_FAILURE);
        } else {
          // A copy: the entry may be gone by the time the wait returns.
          const Clock::time_point at = first->at;
          changed.wait_until(lock, at);
        }
      }
    }
  };

  static Watchdog& watchdog() {
    static Watchdog* const dog = new Watchdog;  // never destroyed: see above
    return *dog;
  }

  std::list<Entry>::iterator entry_;
};

}  // namespace torvin::testing
