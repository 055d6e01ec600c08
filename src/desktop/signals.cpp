#include "desktop/signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace torvin::desktop {

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int /*signal*/) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

void ignoreBrokenPipes() {
  std::signal(SIGPIPE, SIG_IGN);
}

void endOnSignals(QObject* owner, std::function<void()> end) {
  if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    return;
  }
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner, [end = std::move(end)] {
    char byte = 0;
    while (read(signalPipe[0], &byte, 1) > 0) {
    }
    end();
  });
}

}  // namespace torvin::desktop
