// torvin: the desktop game.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/desktop_host.h"
#include "desktop/message_box.h"
#include "desktop/recording.h"
#include "desktop/run_stats.h"
#include "desktop/scene_fit.h"
#include "desktop/window_settings.h"
#include "desktop/window_system.h"
#include "platform/program_folder.h"
#include "sim/script.h"

namespace {

constexpr const char* kHelp =
    "Usage: torvin [--help] [--version] [--stats] [--quit-after SECONDS] [--zoom FACTOR]\n"
    "              [--record FILE] [--replay FILE] [--dump-at-exit]\n"
    "\n"
    "Torvin, a side-view BMX stunt game.\n"
    "\n"
    "Click Start and ride. In the air, press letter keys for tricks:\n"
    "  H bunny hop, Q can-can, W no hander, E superman, R backflip, T frontflip,\n"
    "  Y candy bar, U 360, I tabletop, D nothing, F tailwhip, G barspin.\n"
    "On the ground keep pressing A (manual) or S (nose manual).\n"
    "Land with a trick still running and the run ends: \"Fail!\".\n"
    "The window can take any size; F11 switches full screen on and off.\n"
    "\n"
    "  -h, --help             show this help\n"
    "  -v, --version          show the version\n"
    "  --stats                print the game's own figures at exit (CPU, memory,\n"
    "                         first frame, course ticks, picture decodes)\n"
    "  --quit-after SECONDS   end the game after SECONDS of wall-clock time\n"
    "                         (0.001 to 604800)\n"
    "  --record FILE          write the game to FILE as a torvin-sim script, as it\n"
    "                         is played: torvin-sim FILE ends in the same state\n"
    "  --replay FILE          play the torvin-sim script FILE in the window at real\n"
    "                         speed; Escape or closing the window ends it\n"
    "  --dump-at-exit         when the game ends, print the game's state as one\n"
    "                         JSON line in torvin-sim's dump format\n"
    "  --zoom FACTOR          open the window at FACTOR (1 to 10) times its size\n"
    "                         instead of the size it had last time\n";

// SIGTERM and SIGINT end the game as closing its window does: the handler only
// writes a byte, and the event loop reads it and quits.
int signalPipe[2] = {-1, -1};

void onSignal(int /*signal*/) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
  errno = saved;
}

void quitOnSignals(QObject* owner, torvin::desktop::DesktopHost& host) {
  if (pipe(signalPipe) != 0) {
    return;
  }
  for (const int end : signalPipe) {
    fcntl(end, F_SETFD, FD_CLOEXEC);
  }
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner, [&host] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = read(signalPipe[0], &byte, 1);
    host.end();
  });
}

struct Options {
  bool stats = false;
  std::optional<double> quitAfter;  // seconds
  std::optional<std::string> record;
  std::optional<std::string> replay;
  bool dumpAtExit = false;
  std::optional<double> zoom;
};

constexpr double kLargestZoom = 10.0;

// The range --quit-after takes: from a millisecond to a week.
constexpr double kShortestRun = 0.001;
constexpr double kLongestRun = 7 * 24 * 3600.0;

// A number in plain decimals ("30", "2.5", ".5"), read the same in every
// locale. No sign, exponent, "nan" or "inf".
std::optional<double> parseDecimal(const QString& text) {
  const std::string digits = text.toStdString();
  const auto plain = [](char c) { return (c >= '0' && c <= '9') || c == '.'; };
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), plain) ||
      std::count(digits.begin(), digits.end(), '.') > 1 || digits == ".") {
    return std::nullopt;
  }
  double number = 0.0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(number)) {
    return std::nullopt;
  }
  return number;
}

// A number of seconds for --quit-after, in its range.
std::optional<double> parseSeconds(const QString& text) {
  const std::optional<double> seconds = parseDecimal(text);
  if (!seconds || *seconds < kShortestRun || *seconds > kLongestRun) {
    return std::nullopt;
  }
  return seconds;
}

// The game's own options, from what Qt left of the command line (`args`, and
// the same as bytes in `rawArgs`); each also as --option=value. Prints the
// problem and returns nothing when the command line is wrong.
std::optional<Options> parseOptions(const QStringList& args, char** rawArgs) {
  Options options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    QString name = args[i];
    std::optional<QString> value;  // given as --option=value
    if (const qsizetype equals = name.indexOf(QLatin1Char('='));
        name.startsWith(QLatin1String("--")) && equals > 0) {
      value = name.mid(equals + 1);
      name.truncate(equals);
    }
    // An option's value: after its equals sign, else the next argument.
    const auto takeValue = [&] {
      if (!value && i + 1 < args.size()) {
        value = args[++i];
      }
    };
    // A switch takes no value.
    const auto noValue = [&] {
      if (value) {
        std::fprintf(stderr, "torvin: %s takes no value\n", name.toLocal8Bit().constData());
      }
      return !value;
    };
    if (name == QLatin1String("--stats")) {
      if (!noValue()) {
        return std::nullopt;
      }
      options.stats = true;
    } else if (name == QLatin1String("--quit-after")) {
      takeValue();
      options.quitAfter = value ? parseSeconds(*value) : std::nullopt;
      if (!options.quitAfter) {
        std::fprintf(stderr,
                     "torvin: --quit-after needs a number of seconds from %g to %g, not '%s'\n",
                     kShortestRun, kLongestRun, value ? value->toLocal8Bit().constData() : "");
        return std::nullopt;
      }
    } else if (name == QLatin1String("--record") || name == QLatin1String("--replay")) {
      // File names are kept as the bytes they were given in, whatever the locale.
      const char* raw = rawArgs[i];
      std::string file = value ? std::string(std::strchr(raw, '=') + 1) : std::string();
      if (!value) {
        takeValue();
        file = value ? rawArgs[i] : "";
      }
      if (!value || file.empty()) {
        std::fprintf(stderr, "torvin: %s needs a file\n", name.toLocal8Bit().constData());
        return std::nullopt;
      }
      (name == QLatin1String("--record") ? options.record : options.replay) = file;
    } else if (name == QLatin1String("--dump-at-exit")) {
      if (!noValue()) {
        return std::nullopt;
      }
      options.dumpAtExit = true;
    } else if (name == QLatin1String("--zoom")) {
      takeValue();
      const std::optional<double> zoom = value ? parseDecimal(*value) : std::nullopt;
      if (!zoom || !(*zoom >= 1.0 && *zoom <= kLargestZoom)) {
        std::fprintf(stderr, "torvin: --zoom needs a factor from 1 to 10\n");
        return std::nullopt;
      }
      options.zoom = zoom;
    } else {
      std::fprintf(stderr, "torvin: unknown argument '%s' (see torvin --help)\n",
                   args[i].toLocal8Bit().constData());
      return std::nullopt;
    }
  }
  return options;
}

// The window's icon, read by the bytes of its path (which need not be UTF-8).
QIcon windowIcon(const std::string& folder) {
  std::ifstream file(folder + "/torvin.png", std::ios::binary | std::ios::ate);
  std::string png(file ? static_cast<std::size_t>(std::max<std::streamoff>(file.tellg(), 0)) : 0,
                  '\0');
  file.seekg(0);
  file.read(png.data(), static_cast<std::streamsize>(png.size()));
  QPixmap pixmap;
  if (file) {
    pixmap.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<uint>(png.size()),
                        "PNG");
  }
  return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

}  // namespace

int main(int argc, char** argv) {
  torvin::desktop::RunStats stats;  // its clocks start here
  QCoreApplication::setApplicationName(QStringLiteral("torvin"));
  QCoreApplication::setApplicationVersion(QStringLiteral(TORVIN_VERSION));

  // --help and --version work without a display, so they are answered before
  // the window system is opened.
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return EXIT_SUCCESS;
    }
    if (arg == "--version" || arg == "-v") {
      std::printf("torvin %s\n", TORVIN_VERSION);
      return EXIT_SUCCESS;
    }
  }

  // No display: one line and status 1, before Qt would abort.
  if (const std::string problem = torvin::desktop::displayProblem(argc, argv); !problem.empty()) {
    std::fprintf(stderr, "torvin: %s\n", problem.c_str());
    return EXIT_FAILURE;
  }
  auto start = std::make_unique<torvin::desktop::WindowSystemStart>();
  QApplication app(argc, argv);
  start.reset();
  // Qt has set the C library's locale from the environment: numbers would be
  // printed with a decimal comma under a German one. Figures stay C.
  std::setlocale(LC_NUMERIC, "C");
  // Qt has taken its own options (such as -platform) out of argv; the rest are
  // the game's.
  const std::optional<Options> options =
      parseOptions(QCoreApplication::arguments().mid(1), argv + 1);
  if (!options) {
    return 2;
  }

  const std::string folder = torvin::picturesFolder();
  // Installed, the icon theme has it in every size (the small ones drawn apart).
  if (const QIcon icon = windowIcon(folder); !icon.isNull()) {
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("torvin"), icon));
  }

  // A script to replay is read and checked whole first, as torvin-sim does.
  std::vector<torvin::sim::Action> script;
  if (options->replay) {
    std::ifstream in(*options->replay);
    if (!in) {
      std::fprintf(stderr, "torvin: cannot read the script %s\n", options->replay->c_str());
      return 2;
    }
    try {
      script = torvin::sim::readScript(in);
    } catch (const torvin::sim::ScriptError& error) {
      std::fprintf(stderr, "torvin: %s: %s\n", options->replay->c_str(), error.what());
      return 2;
    }
  }
  // A recording that cannot be written is said now, not when the game ends.
  std::unique_ptr<torvin::desktop::Recording> recording;
  if (options->record) {
    try {
      recording = std::make_unique<torvin::desktop::Recording>(*options->record);
    } catch (const std::runtime_error& error) {
      std::fprintf(stderr, "torvin: %s\n", error.what());
      return 2;
    }
  }

  torvin::desktop::DesktopHost host(folder);
  stats.watch(host);
  if (recording) {
    host.record(*recording);
  }
  if (options->dumpAtExit) {
    host.dumpAtExit(stdout);
  }
  if (options->replay) {
    host.replay(std::move(script));
  }
  try {
    host.load();
  } catch (const torvin::PictureError& error) {
    torvin::desktop::reportError(nullptr, error.what());
    return EXIT_FAILURE;
  }
  quitOnSignals(&app, host);
  if (options->quitAfter) {
    QTimer::singleShot(static_cast<int>(std::lround(*options->quitAfter * 1000.0)), &host,
                       [&host] { host.end(); });
  }
  // The window opens at the size asked for, else at the size it had last time.
  // A screen nobody sees (the unattended tests) neither reads nor keeps one.
  const QString platform = QGuiApplication::platformName();
  const bool keepsSize = !options->zoom && platform != QLatin1String("offscreen") &&
                         platform != QLatin1String("minimal");
  if (options->zoom) {
    host.window().resize(torvin::desktop::zoomedSize(*options->zoom));
  } else if (keepsSize) {
    torvin::desktop::restoreWindowSize(host.window());
  }
  host.window().show();
  host.run();
  if (keepsSize) {
    torvin::desktop::saveWindowSize(host.window());
  }
  if (options->stats) {
    stats.print(host, stdout);
  }
  return EXIT_SUCCESS;
}
