// torvin: the desktop game.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "desktop/desktop_host.h"
#include "platform/program_folder.h"

namespace {

constexpr const char* kHelp =
    "Usage: torvin [--help] [--version]\n"
    "\n"
    "Torvin, a side-view BMX stunt game.\n"
    "\n"
    "Click Start and ride. In the air, press letter keys for tricks:\n"
    "  H bunny hop, Q can-can, W no hander, E superman, R backflip, T frontflip,\n"
    "  Y candy bar, U 360, I tabletop, D nothing, F tailwhip, G barspin.\n"
    "On the ground keep pressing A (manual) or S (nose manual).\n"
    "Land with a trick still running and the run ends: \"Fail!\".\n"
    "\n"
    "  -h, --help     show this help\n"
    "  -v, --version  show the version\n";

}  // namespace

int main(int argc, char** argv) {
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
  // Qt has taken its own options (such as -platform); anything left is a mistake.
  const QStringList rest = QCoreApplication::arguments().mid(1);
  if (!rest.isEmpty()) {
    std::fprintf(stderr, "torvin: unknown argument '%s' (see torvin --help)\n",
                 rest.constFirst().toLocal8Bit().constData());
    return 2;
  }

  const std::string folder = torvin::picturesFolder();
  const QString icon = QString::fromStdString(folder) + QStringLiteral("/torvin.png");
  if (QFileInfo::exists(icon)) {
    QApplication::setWindowIcon(QIcon(icon));
  }

  torvin::desktop::DesktopHost host(folder);
  try {
    host.load();
  } catch (const torvin::PictureError& error) {
    std::fprintf(stderr, "torvin: %s\n", error.what());
    torvin::desktop::showMessage(nullptr, QString::fromLocal8Bit(error.what()));
    return EXIT_FAILURE;
  }
  host.window().show();
  return QApplication::exec();
}
