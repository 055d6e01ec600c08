// A recording: the player's run written down as a script while it is played,
// one whole line per key, click and box close, each on its way to the file at
// once, so that a game that is killed loses nothing it handled, and a file
// that fills up still holds a script of the game up to its last whole line.
#pragma once

#include <string>

#include "desktop/line_output.h"
#include "script/action.h"

namespace torvin::desktop {

class Recording {
 public:
  // Opens the file and empties it. A named pipe is opened only when someone
  // reads it, without waiting for one; a regular file or pipe is locked for
  // the whole game, so that no second game records into it. Throws
  // std::runtime_error with a sentence saying why when the file cannot be
  // written.
  explicit Recording(const std::string& path);
  ~Recording();
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  // The action as a script line at the millisecond `time` it was handled.
  void write(long long time, const script::Action& action);
  // Whether a line could not be written (and the recording stopped there).
  bool failed() const { return out_.failed(); }

 private:
  Recording(int fd, const std::string& path);

  int fd_;
  LineOutput out_;
};

}  // namespace torvin::desktop
