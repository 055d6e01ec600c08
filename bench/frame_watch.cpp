// frame_watch: plays the benchmark's ride in a game window on an X server and
// writes down, on the machine's monotonic clock, when each input was sent and
// when each painted rectangle reached the X server (its DAMAGE notification).
// It works the same for any build of the game, so the frames of two builds are
// timed by one watch.
//
//   frame_watch WINDOW START_X START_Y AWAY_X AWAY_Y SECONDS [--measure FROM CMD_ON CMD_OFF]
//
// Clicks at (START_X, START_Y) on the screen (the "Start" button), moves the
// pointer to (AWAY_X, AWAY_Y) and presses H, Q, A 0.1 s apart every 1.5 s
// (a hop, a can-can in the hop, a manual after the landing) for SECONDS. With
// --measure it runs CMD_ON FROM seconds after the click and CMD_OFF at the end
// (to count a callgrind run's instructions over the ride alone). Prints lines
//   click NS | key LETTER NS | damage NS X Y WIDTH HEIGHT | on NS | off NS
// with NS the monotonic clock in nanoseconds.
#include <poll.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

long long monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "frame_watch: %s\n", what);
  std::exit(1);
}

struct Watch {
  xcb_connection_t* x = nullptr;
  xcb_window_t root = 0;
  std::uint8_t damageEvent = 0;

  // Reads and writes down every event that has arrived, waiting for one at
  // most until `until` (monotonic ns).
  void take(long long until) {
    xcb_flush(x);
    for (;;) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
        const long long now = monotonicNs();
        if ((event->response_type & 0x7F) == damageEvent + XCB_DAMAGE_NOTIFY) {
          const auto* damage = reinterpret_cast<xcb_damage_notify_event_t*>(event);
          std::printf("damage %lld %d %d %d %d\n", now, damage->area.x, damage->area.y,
                      damage->area.width, damage->area.height);
        }
        std::free(event);
      }
      if (xcb_connection_has_error(x) != 0) {
        fail("the X connection broke");
      }
      const long long left = until - monotonicNs();
      if (left <= 0) {
        return;
      }
      pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(left / 1000000 + 1));
    }
  }

  void fake(std::uint8_t type, std::uint8_t detail, std::int16_t atX = 0, std::int16_t atY = 0) {
    xcb_test_fake_input(x, type, detail, XCB_CURRENT_TIME, root, atX, atY, 0);
  }
};

// The key that types `letter` on the server's keyboard.
std::uint8_t keycodeOf(xcb_connection_t* x, char letter) {
  const xcb_setup_t* setup = xcb_get_setup(x);
  const std::uint8_t first = setup->min_keycode;
  const auto count = static_cast<std::uint8_t>(setup->max_keycode - first + 1);
  xcb_get_keyboard_mapping_reply_t* map =
      xcb_get_keyboard_mapping_reply(x, xcb_get_keyboard_mapping(x, first, count), nullptr);
  if (map == nullptr) {
    fail("no keyboard mapping");
  }
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
  const int perKey = map->keysyms_per_keycode;
  std::uint8_t found = 0;
  for (int key = 0; key < count && found == 0; ++key) {
    for (int i = 0; i < perKey; ++i) {
      if (syms[key * perKey + i] == static_cast<xcb_keysym_t>(letter)) {
        found = static_cast<std::uint8_t>(first + key);
        break;
      }
    }
  }
  std::free(map);
  if (found == 0) {
    fail("a letter has no key");
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7 && argc != 11) {
    std::fprintf(stderr,
                 "usage: frame_watch WINDOW START_X START_Y AWAY_X AWAY_Y SECONDS"
                 " [--measure FROM CMD_ON CMD_OFF]\n");
    return 2;
  }
  const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  const auto startX = static_cast<std::int16_t>(std::atoi(argv[2]));
  const auto startY = static_cast<std::int16_t>(std::atoi(argv[3]));
  const auto awayX = static_cast<std::int16_t>(std::atoi(argv[4]));
  const auto awayY = static_cast<std::int16_t>(std::atoi(argv[5]));
  const double seconds = std::atof(argv[6]);
  const bool measure = argc == 11;
  const double measureFrom = measure ? std::atof(argv[8]) : 0.0;

  Watch watch;
  watch.x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(watch.x) != 0) {
    fail("cannot open the display");
  }
  watch.root = xcb_setup_roots_iterator(xcb_get_setup(watch.x)).data->root;
  const xcb_query_extension_reply_t* damage = xcb_get_extension_data(watch.x, &xcb_damage_id);
  if (damage == nullptr || damage->present == 0) {
    fail("the X server has no DAMAGE extension");
  }
  watch.damageEvent = damage->first_event;
  std::free(xcb_damage_query_version_reply(
      watch.x,
      xcb_damage_query_version(watch.x, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
      nullptr));
  xcb_damage_create(watch.x, xcb_generate_id(watch.x), window,
                    XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
  const std::vector<std::uint8_t> keys = {keycodeOf(watch.x, 'h'), keycodeOf(watch.x, 'q'),
                                          keycodeOf(watch.x, 'a')};
  const char* const letters = "hqa";
  watch.take(monotonicNs() + 300000000LL);  // what the window shows already

  watch.fake(XCB_MOTION_NOTIFY, 0, startX, startY);
  watch.take(monotonicNs() + 50000000LL);
  const long long click = monotonicNs();
  watch.fake(XCB_BUTTON_PRESS, 1);
  watch.fake(XCB_BUTTON_RELEASE, 1);
  xcb_flush(watch.x);
  std::printf("click %lld\n", click);
  watch.take(click + 50000000LL);
  watch.fake(XCB_MOTION_NOTIFY, 0, awayX, awayY);

  const long long end = click + static_cast<long long>(seconds * 1e9);
  bool measuring = false;
  for (long long beat = click + 500000000LL; beat < end; beat += 1500000000LL) {
    if (measure && !measuring && beat >= click + static_cast<long long>(measureFrom * 1e9)) {
      measuring = true;
      xcb_flush(watch.x);
      std::fflush(stdout);
      if (std::system(argv[9]) != 0) {
        fail("the command that starts measuring failed");
      }
      std::printf("on %lld\n", monotonicNs());
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
      watch.take(beat + static_cast<long long>(i) * 100000000LL);
      const long long sent = monotonicNs();
      watch.fake(XCB_KEY_PRESS, keys[i]);
      watch.fake(XCB_KEY_RELEASE, keys[i]);
      xcb_flush(watch.x);
      std::printf("key %c %lld\n", letters[i], sent);
    }
  }
  watch.take(end);
  if (measuring) {
    std::printf("off %lld\n", monotonicNs());
    std::fflush(stdout);
    if (std::system(argv[10]) != 0) {
      fail("the command that ends measuring failed");
    }
  }
  xcb_disconnect(watch.x);
  return 0;
}
