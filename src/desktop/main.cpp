// torvin: the desktop game.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "desktop/desktop_host.h"
#include "desktop/message_box.h"
#include "desktop/run_stats.h"
#include "desktop/scene_fit.h"
#include "desktop/window_settings.h"
#include "desktop/window_system.h"
#include "platform/program_folder.h"

namespace {

constexpr const char* kHelp =
    "Usage: torvin [--help] [--version] [--stats] [--quit-after SECONDS] [--zoom FACTOR]\n"
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
  std::optional<double> zoom;
};

constexpr double kLargestZoom = 10.0;

// The game's own options, from what Qt left of the command line. Prints the
// problem and returns nothing when the command line is wrong.
std::optional<Options> parseOptions(const QStringList& args) {
  Options options;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--stats")) {
      options.stats = true;
    } else if (args[i] == QLatin1String("--quit-after")) {
      bool ok = false;
      const double seconds = i + 1 < args.size() ? args[i + 1].toDouble(&ok) : 0.0;
      if (!ok || seconds <= 0.0) {
        std::fprintf(stderr, "torvin: --quit-after needs a number of seconds above 0\n");
        return std::nullopt;
      }
      options.quitAfter = seconds;
      ++i;
    } else if (args[i] == QLatin1String("--zoom")) {
      bool ok = false;
      const double zoom = i + 1 < args.size() ? args[i + 1].toDouble(&ok) : 0.0;
      if (!ok || !(zoom >= 1.0 && zoom <= kLargestZoom)) {
        std::fprintf(stderr, "torvin: --zoom needs a factor from 1 to 10\n");
        return std::nullopt;
      }
      options.zoom = zoom;
      ++i;
    } else {
      std::fprintf(stderr, "torvin: unknown argument '%s' (see torvin --help)\n",
                   args[i].toLocal8Bit().constData());
      return std::nullopt;
    }
  }
  return options;
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
  // Qt has taken its own options (such as -platform); the rest are the game's.
  const std::optional<Options> options = parseOptions(QCoreApplication::arguments().mid(1));
  if (!options) {
    return 2;
  }

  const std::string folder = torvin::picturesFolder();
  const QString icon = QString::fromStdString(folder) + QStringLiteral("/torvin.png");
  // Installed, the icon theme has it in every size (the small ones drawn apart).
  if (QFileInfo::exists(icon)) {
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("torvin"), QIcon(icon)));
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
    QTimer::singleShot(static_cast<int>(*options->quitAfter * 1000.0), &app,
                       &QCoreApplication::quit);
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
  const int status = QApplication::exec();
  if (keepsSize) {
    torvin::desktop::saveWindowSize(host.window());
  }
  if (options->stats) {
    stats.print(host, stdout);
  }
  return status;
}
