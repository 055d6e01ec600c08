// The strict reader of scripts: every line checked, the whole script read
// before anything runs. torvin-sim's input and the window's replays are read
// by it, so both take and refuse exactly the same scripts, with the same
// sentence.
#pragma once

#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "script/action.h"

namespace torvin::script {

// Why a script cannot be played: a line the reader cannot take (its number and
// what is wrong with it), or a script that cannot be read at all (a folder, a
// file without permission, a failing disk). The message is a whole sentence
// that names the script when the reader was given its name.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(long long line, const std::string& message)
      : std::runtime_error(message), line_(line) {}
  // The line that is wrong; 0 when the script could not be read at all.
  long long line() const { return line_; }

 private:
  long long line_;
};

// The longest line, in bytes, without its line end.
inline constexpr std::size_t kMaxLineBytes = 65536;

// A whole number in ASCII digits (any number of them, leading zeros allowed, no
// sign) from 0 to `max`; nothing when the text is not one.
std::optional<long long> parseWholeNumber(std::string_view text, long long max);

// Reads and checks the whole script; `name` is how messages call it. Throws
// ScriptError for a bad line (the reading stops there) and when the input
// fails.
std::vector<Action> readScript(std::istream& in, const std::string& name = "");
// The same from a file descriptor, read to its end.
std::vector<Action> readScript(int fd, const std::string& name);
// The same from the file at `path`. A file that cannot be opened or read, or a
// folder, throws ScriptError saying so with the file's name.
std::vector<Action> readScriptFile(const std::string& path);

}  // namespace torvin::script
