#include "desktop/window_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace torvin::desktop {

namespace {

// The value of Qt's command-line option `name` (as -name VALUE or --name VALUE).
const char* qtOption(int argc, char** argv, std::string_view name) {
  for (int i = 1; i + 1 < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg.starts_with("--")) {
      arg.remove_prefix(1);
    }
    if (arg == name) {
      return argv[i + 1];
    }
  }
  return nullptr;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Whether Qt will open an X display: its platform is xcb, named or by default.
// A Wayland session (XDG_SESSION_TYPE) makes Qt try Wayland first.
bool usesX11(int argc, char** argv) {
  std::string platform;
  if (const char* named = qtOption(argc, argv, "-platform")) {
    platform = named;
  } else {
    platform = environment("QT_QPA_PLATFORM");
    if (platform.empty() && environment("XDG_SESSION_TYPE") == "wayland" &&
        !environment("WAYLAND_DISPLAY").empty()) {
      return false;
    }
  }
  // "xcb", or "xcb:option=value"; a list ("wayland;xcb") tries more than X.
  return platform.empty() || platform == "xcb" || platform.starts_with("xcb:");
}

// An X server that turns a connection away says why, and xcb writes that
// straight to standard error. The words are caught here, to go into the game's
// one line.
class CaughtStandardError {
 public:
  CaughtStandardError() {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
      return;
    }
    saved_ = dup(STDERR_FILENO);
    if (saved_ < 0 || dup2(pipe_[1], STDERR_FILENO) < 0) {
      restore();
    }
  }
  ~CaughtStandardError() {
    restore();
    if (pipe_[0] >= 0) {
      close(pipe_[0]);
    }
  }
  CaughtStandardError(const CaughtStandardError&) = delete;
  CaughtStandardError& operator=(const CaughtStandardError&) = delete;

  // Gives standard error back, and what was written to it meanwhile on one line.
  std::string text() {
    restore();
    std::string caught;
    char buffer[512];
    ssize_t got = 0;
    while (pipe_[0] >= 0 && (got = read(pipe_[0], buffer, sizeof buffer)) > 0) {
      caught.append(buffer, static_cast<std::size_t>(got));
    }
    for (char& c : caught) {
      c = c == '\n' || c == '\r' ? ' ' : c;
    }
    while (!caught.empty() && caught.back() == ' ') {
      caught.pop_back();
    }
    return caught;
  }

 private:
  void restore() {
    if (saved_ >= 0) {
      dup2(saved_, STDERR_FILENO);
      close(saved_);
      saved_ = -1;
    }
    if (pipe_[1] >= 0) {
      close(pipe_[1]);
      pipe_[1] = -1;
    }
  }

  int pipe_[2] = {-1, -1};
  int saved_ = -1;
};

// Why a display that xcb could not connect to failed: on this machine, an X
// server's socket tells a server that refused from no server at all.
std::string whyNotConnected(const std::string& name, const std::string& serverSaid) {
  char* host = nullptr;
  int display = 0;
  if (xcb_parse_display(name.c_str(), &host, &display, nullptr) == 0) {
    return "not a display name";
  }
  const bool local = host == nullptr || *host == '\0' || std::string_view(host) == "unix";
  std::free(host);  // xcb_parse_display hands over a malloc'd string
  if (!local) {
    return "no X server answers there, or it refused the connection";
  }
  struct stat socket {};
  const std::string path = "/tmp/.X11-unix/X" + std::to_string(display);
  if (stat(path.c_str(), &socket) != 0) {
    return "no X server is running there";
  }
  return "the X server refused the connection" +
         (serverSaid.empty() ? std::string(" (not authorized?)") : ": " + serverSaid);
}

// Qt's messages while the window system starts, held back until it has.
struct HeldMessage {
  QtMsgType type;
  QByteArray file;
  int line;
  QByteArray function;
  QByteArray category;
  QString text;
};
std::mutex heldLock;
std::vector<HeldMessage> held;

void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  const std::lock_guard lock(heldLock);
  if (type == QtFatalMsg) {
    // Qt gives up (no platform plugin could start). Its own warnings said why.
    QString why;
    for (const HeldMessage& message : held) {
      if (message.category.startsWith("qt.qpa")) {
        why += (why.isEmpty() ? QString() : QStringLiteral("; ")) + message.text;
      }
    }
    if (why.isEmpty()) {
      why = text.section(QLatin1Char('\n'), 0, 0);
    }
    std::fprintf(stderr, "torvin: the window system could not be started: %s\n",
                 why.simplified().toLocal8Bit().constData());
    std::_Exit(EXIT_FAILURE);
  }
  held.push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

std::string displayProblem(int argc, char** argv) {
  if (!usesX11(argc, argv)) {
    return "";
  }
  const char* named = qtOption(argc, argv, "-display");
  const std::string display = named != nullptr ? named : environment("DISPLAY");
  if (display.empty()) {
    return "no display to open the window on: DISPLAY is not set";
  }
  int screen = 0;
  CaughtStandardError serverSaid;
  const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
      xcb_connect(display.c_str(), &screen), &xcb_disconnect);
  const std::string refusal = serverSaid.text();
  switch (xcb_connection_has_error(connection.get())) {
    case 0:
      return "";
    case XCB_CONN_CLOSED_PARSE_ERR:
      return "cannot open display '" + display + "': not a display name";
    case XCB_CONN_CLOSED_INVALID_SCREEN:
      return "cannot open display '" + display + "': it has no such screen";
    default:
      return "cannot open display '" + display + "': " + whyNotConnected(display, refusal);
  }
}

bool windowManagerDoesFullScreen() {
  const auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) {
    return true;
  }
  xcb_connection_t* connection = x11->connection();
  auto atom = [connection](std::string_view name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  };
  const xcb_atom_t supported = atom("_NET_SUPPORTED");
  const xcb_atom_t fullScreen = atom("_NET_WM_STATE_FULLSCREEN");
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  // The list is short (a few hundred atoms at most); 4096 words reads it whole.
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 4096);
  const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(connection, cookie, nullptr), &std::free);
  if (!reply || reply->format != 32) {
    return false;
  }
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  return std::find(atoms, atoms + count, fullScreen) != atoms + count;
}

WindowSystemStart::WindowSystemStart() : previous_(qInstallMessageHandler(hold)) {}

WindowSystemStart::~WindowSystemStart() {
  qInstallMessageHandler(previous_);
  std::vector<HeldMessage> messages;
  {
    const std::lock_guard lock(heldLock);
    messages.swap(held);
  }
  for (const HeldMessage& message : messages) {
    const QMessageLogContext context(message.file.constData(), message.line,
                                     message.function.constData(), message.category.constData());
    previous_(message.type, context, message.text);
  }
}

}  // namespace torvin::desktop
