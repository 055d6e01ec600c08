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
#include "platform/program_folder.h"
#include "sim/script.h"

namespace {

constexpr const char* kHelp =
    "Usage: torvin [--help] [--version] [--stats] [--quit-after SECONDS]\n"
    "              [--record FILE] [--replay FILE] [--dump-at-exit]\n"
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
    "  --record FILE          write the game to FILE as a torvin-sim script, as it\n"
    "                         is played: torvin-sim FILE ends in the same state\n"
    "  --replay FILE          play the torvin-sim script FILE in the window at real\n"
    "                         speed; Escape or closing the window ends it\n"
    "  --dump-at-exit         when the game ends, print the game's state as one\n"
    "                         JSON line in torvin-sim's dump format\n";

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
};

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
    } else if (args[i] == QLatin1String("--record") || args[i] == QLatin1String("--replay")) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "torvin: %s needs a file\n", args[i].toLocal8Bit().constData());
        return std::nullopt;
      }
      (args[i] == QLatin1String("--record") ? options.record : options.replay) =
          args[i + 1].toLocal8Bit().toStdString();
      ++i;
    } else if (args[i] == QLatin1String("--dump-at-exit")) {
      options.dumpAtExit = true;
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

  QApplication app(argc, argv);
  // Qt has taken its own options (such as -platform); the rest are the game's.
  const std::optional<Options> options = parseOptions(QCoreApplication::arguments().mid(1));
  if (!options) {
    return 2;
  }

  const std::string folder = torvin::picturesFolder();
  const QString icon = QString::fromStdString(folder) + QStringLiteral("/torvin.png");
  if (QFileInfo::exists(icon)) {
    QApplication::setWindowIcon(QIcon(icon));
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
    QTimer::singleShot(static_cast<int>(*options->quitAfter * 1000.0), &host,
                       [&host] { host.end(); });
  }
  host.window().show();
  host.run();
  if (options->stats) {
    stats.print(host, stdout);
  }
  return EXIT_SUCCESS;
}
