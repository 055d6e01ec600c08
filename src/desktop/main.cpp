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
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "desktop/desktop_host.h"
#include "desktop/message_box.h"
#include "desktop/run_stats.h"
#include "platform/program_folder.h"

namespace {

constexpr const char* kHelp =
    "Usage: torvin [--help] [--version] [--stats] [--quit-after SECONDS]\n"
    "\n"
    "Torvin, a side-view BMX stunt game.\n"
    "\n"
    "Click Start and ride. In the air, press letter keys for tricks:\n"
    "  H bunny hop, Q can-can, W no hander, E superman, R backflip, T frontflip,\n"
    "  Y candy bar, U 360, I tabletop, D nothing, F tailwhip, G barspin.\n"
    "On the ground keep pressing A (manual) or S (nose manual).\n"
    "Land with a trick still running and the run ends: \"Fail!\".\n"
    "\n"
    "  -h, --help             show this help\n"
    "  -v, --version          show the version\n"
    "  --stats                print the game's own figures at exit (CPU, memory,\n"
    "                         first frame, course ticks, picture decodes)\n"
    "  --quit-after SECONDS   end the game after SECONDS of wall-clock time\n"
    "                         (0.001 to 604800)\n";

// SIGTERM and SIGINT end the game as closing its window does: the handler only
// writes a byte, and the event loop reads it and quits.
int signalPipe[2] = {-1, -1};

void onSignal(int /*signal*/) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
  errno = saved;
}

void quitOnSignals(QObject* owner) {
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
  QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = read(signalPipe[0], &byte, 1);
    QCoreApplication::quit();
  });
}

struct Options {
  bool stats = false;
  std::optional<double> quitAfter;  // seconds
};

// The range --quit-after takes: from a millisecond to a week.
constexpr double kShortestRun = 0.001;
constexpr double kLongestRun = 7 * 24 * 3600.0;

// A number of seconds in plain decimals ("30", "2.5", ".5"), read the same in
// every locale. No sign, exponent, "nan" or "inf".
std::optional<double> parseSeconds(const QString& text) {
  const std::string digits = text.toStdString();
  const auto plain = [](char c) { return (c >= '0' && c <= '9') || c == '.'; };
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), plain) ||
      std::count(digits.begin(), digits.end(), '.') > 1 || digits == ".") {
    return std::nullopt;
  }
  double seconds = 0.0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
  if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(seconds) ||
      seconds < kShortestRun || seconds > kLongestRun) {
    return std::nullopt;
  }
  return seconds;
}

// The game's own options, from what Qt left of the command line; each also
// as --option=value. Prints the problem and returns nothing when the command
// line is wrong.
std::optional<Options> parseOptions(const QStringList& args) {
  Options options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    QString name = args[i];
    std::optional<QString> value;  // given as --option=value
    if (const qsizetype equals = name.indexOf(QLatin1Char('='));
        name.startsWith(QLatin1String("--")) && equals > 0) {
      value = name.mid(equals + 1);
      name.truncate(equals);
    }
    if (name == QLatin1String("--stats")) {
      if (value) {
        std::fprintf(stderr, "torvin: --stats takes no value\n");
        return std::nullopt;
      }
      options.stats = true;
    } else if (name == QLatin1String("--quit-after")) {
      if (!value && i + 1 < args.size()) {
        value = args[++i];
      }
      options.quitAfter = value ? parseSeconds(*value) : std::nullopt;
      if (!options.quitAfter) {
        std::fprintf(stderr,
                     "torvin: --quit-after needs a number of seconds from %g to %g, not '%s'\n",
                     kShortestRun, kLongestRun, value ? value->toLocal8Bit().constData() : "");
        return std::nullopt;
      }
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

  QApplication app(argc, argv);
  // Qt has set the C library's locale from the environment: numbers would be
  // printed with a decimal comma under a German one. Figures stay C.
  std::setlocale(LC_NUMERIC, "C");
  // Qt has taken its own options (such as -platform); the rest are the game's.
  const std::optional<Options> options = parseOptions(QCoreApplication::arguments().mid(1));
  if (!options) {
    return 2;
  }

  const std::string folder = torvin::picturesFolder();
  if (const QIcon icon = windowIcon(folder); !icon.isNull()) {
    QApplication::setWindowIcon(icon);
  }

  torvin::desktop::DesktopHost host(folder);
  stats.watch(host);
  try {
    host.load();
  } catch (const torvin::PictureError& error) {
    torvin::desktop::reportError(nullptr, error.what());
    return EXIT_FAILURE;
  }
  quitOnSignals(&app);
  if (options->quitAfter) {
    QTimer::singleShot(static_cast<int>(std::lround(*options->quitAfter * 1000.0)), &app,
                       &QCoreApplication::quit);
  }
  host.window().show();
  const int status = QApplication::exec();
  if (options->stats) {
    stats.print(host, stdout);
  }
  return status;
}
