// torvin: the desktop game.
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop/desktop_host.h"
#include "desktop/line_output.h"
#include "desktop/message_box.h"
#include "desktop/options.h"
#include "desktop/recording.h"
#include "desktop/run_stats.h"
#include "desktop/scene_fit.h"
#include "desktop/signals.h"
#include "desktop/window_settings.h"
#include "desktop/window_system.h"
#include "platform/program_folder.h"
#include "script/exit_status.h"
#include "script/reader.h"

namespace {

using namespace torvin::desktop;
using namespace torvin::script;

// The window's icon, read by the bytes of its path (which need not be UTF-8).
// Installed, the icon theme has it in every size (the small ones drawn apart).
void setWindowIcon(const std::string& folder) {
  std::ifstream file(folder + "/torvin.png", std::ios::binary | std::ios::ate);
  std::string png(file ? static_cast<std::size_t>(std::max<std::streamoff>(file.tellg(), 0)) : 0,
                  '\0');
  file.seekg(0);
  file.read(png.data(), static_cast<std::streamsize>(png.size()));
  QPixmap pixmap;
  if (file && pixmap.loadFromData(reinterpret_cast<const uchar*>(png.data()),
                                  static_cast<uint>(png.size()), "PNG")) {
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("torvin"), QIcon(pixmap)));
  }
}

// What the command line asks of the game besides its options: the script to
// replay (read and checked whole first, as torvin-sim does) and the file to
// record into. Throws std::runtime_error saying why either cannot be used.
struct Files {
  std::vector<Action> replay;
  std::unique_ptr<Recording> recording;
};
Files openFiles(const Options& options) {
  Files files;
  if (options.replay) {
    files.replay = readScriptFile(*options.replay);
  }
  if (options.record) {
    files.recording = std::make_unique<Recording>(*options.record);
  }
  return files;
}

// Gives the host what the options ask of it: the recording, the dumps, the
// script to replay and the end after --quit-after.
void plug(DesktopHost& host, Files& files, const Options& options, LineOutput& out) {
  if (files.recording) {
    host.record(*files.recording);
  }
  if (options.dumpAtExit) {
    host.dumpAtExit(out);
  }
  if (options.replay) {
    host.replay(std::move(files.replay));
    host.dumpsTo(out);
  }
  if (options.quitAfter) {
    QTimer::singleShot(static_cast<int>(std::lround(*options.quitAfter * 1000.0)), &host,
                       [&host] { host.end(); });
  }
}

// What of the window is kept for the next game when this one ends.
struct Keeps {
  bool size = false;
  bool points = false;
};

// Opens the window at the size asked for, else at the size it had last time,
// with the points shown when asked for or when they were shown last time. A
// screen nobody sees (the unattended tests) neither reads nor keeps either.
Keeps showWindow(GameWindow& window, const Options& options) {
  const QString platform = QGuiApplication::platformName();
  const bool seen = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
  const Keeps keeps{seen && !options.zoom, seen};
  if (options.zoom) {
    window.resize(zoomedSize(*options.zoom));
  } else if (keeps.size) {
    restoreWindowSize(window);
  }
  window.setShowPoints(options.showPoints || (keeps.points && keptShowPoints()));
  window.show();
  return keeps;
}

}  // namespace

int main(int argc, char** argv) {
  RunStats stats;  // its clocks start here
  LineOutput out = LineOutput::standardOutput();
  ignoreBrokenPipes();
  QCoreApplication::setApplicationName(QStringLiteral("torvin"));
  QCoreApplication::setApplicationVersion(QStringLiteral(TORVIN_VERSION));
  if (const std::optional<std::string> answer = answerAtOnce({argv + 1, argv + argc})) {
    return out.write(*answer) ? kEndedNormally : kOutputFailed;
  }
  // No display: one line and status 1, before Qt would abort.
  if (const std::string problem = displayProblem(argc, argv); !problem.empty()) {
    std::fprintf(stderr, "torvin: %s\n", problem.c_str());
    return kGameFailed;
  }
  auto start = std::make_unique<WindowSystemStart>();
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  start.reset();
  // Qt has set the C library's locale from the environment: numbers would be
  // printed with a decimal comma under a German one. Figures stay C.
  std::setlocale(LC_NUMERIC, "C");

  const CommandLine line = readOptions({argv + 1, argv + argc});
  if (!line.refusal.empty()) {
    std::fprintf(stderr, "torvin: %s (see torvin --help)\n", line.refusal.c_str());
    return kBadInput;
  }
  const Options& options = line.options;
  Files files;
  try {
    files = openFiles(options);
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "torvin: %s\n", error.what());
    return kBadInput;
  }
  const std::string folder = torvin::picturesFolder();
  setWindowIcon(folder);

  DesktopHost host(folder);
  stats.watch(host);
  try {
    host.load();
  } catch (const torvin::PictureError& error) {
    reportError(nullptr, error.what());
    return kGameFailed;
  }
  plug(host, files, options, out);
  endOnSignals(&app, [&host] { host.end(); });
  const Keeps keeps = showWindow(host.window(), options);
  host.run();
  if (keeps.size) {
    saveWindowSize(host.window());
  }
  if (keeps.points) {
    keepShowPoints(host.window().showsPoints());
  }
  if (options.stats) {
    stats.print(host, out);
  }
  const bool unwritten = out.failed() || (files.recording && files.recording->failed());
  return unwritten ? kOutputFailed : kEndedNormally;
}
