#include "desktop/recording.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace torvin::desktop {

Recording::Recording(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "w")) {
  if (file_ == nullptr) {
    throw std::runtime_error("cannot write the recording " + path + ": " + std::strerror(errno));
  }
  write("# A game of Torvin, played in the window\n");
}

Recording::~Recording() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

void Recording::line(long long time, const std::string& action) {
  write(std::to_string(time) + " " + action + "\n");
}

void Recording::write(const std::string& text) {
  if (file_ == nullptr) {
    return;
  }
  if (std::fputs(text.c_str(), file_) < 0 || std::fflush(file_) != 0) {
    // The game goes on; the recording stops where the disk gave out.
    std::fprintf(stderr, "torvin: the recording %s stopped: %s\n", path_.c_str(),
                 std::strerror(errno));
    std::fclose(file_);
    file_ = nullptr;
  }
}

}  // namespace torvin::desktop
