// A recording: the player's run written down as a torvin-sim script while it is
// played, one line per key, click and box close, each flushed at once so that
// a crash or a kill loses nothing already handled.
#pragma once

#include <cstdio>
#include <string>

namespace torvin::desktop {

class Recording {
 public:
  // Creates (or empties) the file. Throws std::runtime_error saying why when it
  // cannot be written.
  explicit Recording(const std::string& path);
  ~Recording();
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  // "TIME ACTION": the action as a script line at the millisecond it was handled.
  void line(long long time, const std::string& action);

 private:
  void write(const std::string& text);

  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace torvin::desktop
