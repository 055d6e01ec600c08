#include "desktop/line_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace torvin::desktop {

LineOutput::LineOutput(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}

LineOutput LineOutput::wholeLines(int fd, std::string name) {
  LineOutput out(fd, std::move(name));
  out.cutsBack_ = true;
  return out;
}

LineOutput LineOutput::standardOutput() {
  LineOutput out(STDOUT_FILENO, "the standard output");
  for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (fcntl(stream, F_GETFD) < 0 && errno == EBADF) {
      out.closed_ = out.closed_ || stream == STDOUT_FILENO;
      // open() takes the lowest free descriptor: the closed stream's own, as
      // the lower ones are open by now.
      const int null = open("/dev/null", O_RDWR);
      if (null >= 0 && null != stream) {
        dup2(null, stream);
        close(null);
      }
    }
  }
  return out;
}

bool LineOutput::write(std::string_view text) {
  if (failed_) {
    return false;
  }
  if (closed_) {
    fail(EBADF);
    return false;
  }
  const off_t before = cutsBack_ ? lseek(fd_, 0, SEEK_CUR) : -1;
  while (!text.empty()) {
    const ssize_t written = ::write(fd_, text.data(), text.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      const int error = written < 0 ? errno : ENOSPC;
      struct stat file {};
      if (before >= 0 && fstat(fd_, &file) == 0 && S_ISREG(file.st_mode)) {
        // The part of the line that got onto the disk is taken off again.
        [[maybe_unused]] const int cut = ftruncate(fd_, before);
      }
      fail(error);
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void LineOutput::fail(int error) {
  failed_ = true;
  std::fprintf(stderr, "torvin: cannot write %s (%s)%s\n", name_.c_str(), std::strerror(error),
               cutsBack_ ? "; it ends with its last whole line, and the game goes on" : "");
}

}  // namespace torvin::desktop
