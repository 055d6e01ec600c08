// Output that the game writes in whole lines: the dumps and figures on
// standard output, the lines of a recording. Each line goes out in one write;
// a write that fails is said at once on standard error (what and why), the
// game goes on, and it ends with exit status 3. Nothing more is written there
// after a failure.
#pragma once

#include <string>
#include <string_view>

namespace torvin::desktop {

class LineOutput {
 public:
  // Writes to the open file `fd` (not closed here), called `name` in messages.
  LineOutput(int fd, std::string name);
  // The same for a file that must end with a whole line: a line the disk
  // could take only part of is cut off again (in a regular file), and the
  // message says so.
  static LineOutput wholeLines(int fd, std::string name);

  // Standard output. One that was closed when the game started (`>&-`) is
  // held open on /dev/null, as are a closed standard input and standard
  // error, so that no file the game opens lands on one of them (standard
  // error's messages would go into a recording); every write to a closed
  // standard output fails as a write to a closed file does. Call before the
  // game opens any file.
  static LineOutput standardOutput();

  // Writes `text`, one or more whole lines. Returns whether it was written.
  bool write(std::string_view text);
  // Whether a write has failed.
  bool failed() const { return failed_; }

 private:
  void fail(int error);

  int fd_;
  std::string name_;
  bool cutsBack_ = false;
  bool closed_ = false;  // standard output was closed at the start
  bool failed_ = false;
};

}  // namespace torvin::desktop
