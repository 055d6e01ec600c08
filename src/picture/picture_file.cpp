#include "picture/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "picture/decoding.h"

namespace torvin::picture {

namespace {

[[noreturn]] void refuse(Reason reason, std::string text) {
  throw Failure{reason, std::move(text)};
}

std::string megabytes(std::uint64_t bytes) {
  return std::to_string((bytes + (1ULL << 20) - 1) >> 20) + " MB";
}

// Refuses a path that the system would not let us look at or open.
[[noreturn]] void refuseFor(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      refuse(Reason::Missing, "the file is missing");
    case EACCES:
    case EPERM:
      refuse(Reason::NoPermission, "no permission to read the file");
    case ELOOP:
      refuse(Reason::NotAFile, "not a picture file but a loop of links");
    default:
      refuse(Reason::Unreadable,
             std::string("the file cannot be read (") + std::strerror(error) + ")");
  }
}

void refuseUnlessRegular(const struct stat& status) {
  const mode_t type = status.st_mode & S_IFMT;
  if (type == S_IFREG) {
    return;
  }
  const char* what = type == S_IFDIR                      ? "a folder"
                     : type == S_IFIFO                    ? "a named pipe"
                     : type == S_IFCHR || type == S_IFBLK ? "a device"
                     : type == S_IFSOCK                   ? "a socket"
                                                          : "something else";
  refuse(Reason::NotAFile, std::string("not a picture file but ") + what);
}

void refuseIfTooLarge(std::uint64_t size, std::uint64_t maxBytes) {
  if (size > maxBytes) {
    refuse(Reason::TooLarge,
           "the file is too large (" + megabytes(size) + "; at most " + megabytes(maxBytes) + ")");
  }
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { ::close(fd_); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::vector<std::uint8_t> readPictureFile(const std::string& path, std::uint64_t maxBytes) {
  // Look before opening: a device or a pipe is refused without being opened.
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    refuseFor(errno);
  }
  refuseUnlessRegular(status);
  // Non-blocking, in case the file was swapped for a pipe meanwhile; the open
  // file itself is checked again.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    refuseFor(errno);
  }
  const Descriptor file(fd);
  if (::fstat(file.get(), &status) != 0) {
    refuseFor(errno);
  }
  refuseUnlessRegular(status);
  refuseIfTooLarge(static_cast<std::uint64_t>(status.st_size), maxBytes);

  // Read to the end, as the file may have grown since fstat; never past the limit.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.st_size) + 1);
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      refuseIfTooLarge(got, maxBytes);
      bytes.resize(
          static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size() * 2, maxBytes + 1)));
    }
    const ssize_t n = ::read(file.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      refuseFor(errno);
    }
    if (n == 0) {
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  refuseIfTooLarge(got, maxBytes);
  bytes.resize(got);
  return bytes;
}

}  // namespace torvin::picture
