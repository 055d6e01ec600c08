#include "desktop/recording.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "script/recording_line.h"

namespace torvin::desktop {

namespace {

constexpr std::string_view kHeader = "# A game of Torvin, played in the window\n";

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
  throw std::runtime_error("cannot write the recording " + path + " (" + why + ")");
}

// The file, open for writing, locked and empty, with the recording's first
// line; a named pipe without a reader is refused rather than waited for.
int openRecording(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    refuse(path, errno == ENXIO ? "a named pipe that nobody reads" : std::strerror(errno));
  }
  struct Closer {
    int fd;
    ~Closer() {
      if (fd >= 0) {
        close(fd);
      }
    }
  } closer{fd};
  struct stat file {};
  fstat(fd, &file);
  // Locked before it is emptied: a second game leaves the first one's file as
  // it is. Devices (/dev/null, a terminal) are not locked.
  if ((S_ISREG(file.st_mode) || S_ISFIFO(file.st_mode)) && flock(fd, LOCK_EX | LOCK_NB) != 0 &&
      errno == EWOULDBLOCK) {
    throw std::runtime_error("another game is recording into " + path);
  }
  // From now on a slow reader is waited for, as by any program writing to a pipe.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (S_ISREG(file.st_mode) && ftruncate(fd, 0) != 0) {
    refuse(path, std::strerror(errno));
  }
  const ssize_t written = ::write(fd, kHeader.data(), kHeader.size());
  if (written != static_cast<ssize_t>(kHeader.size())) {
    const int error = written < 0 ? errno : ENOSPC;
    if (S_ISREG(file.st_mode)) {
      [[maybe_unused]] const int cut = ftruncate(fd, 0);
    }
    refuse(path, std::strerror(error));
  }
  closer.fd = -1;
  return fd;
}

}  // namespace

Recording::Recording(const std::string& path) : Recording(openRecording(path), path) {}

Recording::Recording(int fd, const std::string& path)
    : fd_(fd), out_(LineOutput::wholeLines(fd, "the recording " + path)) {}

Recording::~Recording() {
  close(fd_);
}

void Recording::write(long long time, const script::Action& action) {
  out_.write(script::recordingLine(time, action));
}

}  // namespace torvin::desktop
