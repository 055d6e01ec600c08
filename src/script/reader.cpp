#include "script/reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace torvin::script {

namespace {

// A line the reader cannot take, and why; said with the script's name by
// readFrom.
struct BadLine {
  long long line;
  std::string what;
};

// The input failed: why.
struct Unreadable {
  std::string what;
};

// Fills a buffer with the next bytes of the script; 0 at its end. Throws
// Unreadable when the input fails.
using ByteSource = std::function<std::size_t(char* to, std::size_t room)>;

// Splits the input into lines at LF, never holding more than one line (of at
// most kMaxLineBytes) and one buffer.
class LineReader {
 public:
  explicit LineReader(ByteSource source) : source_(std::move(source)), buffer_(64 * 1024) {}

  // The next line without its line end (a CR right before the LF dropped);
  // false at the end of the input.
  bool next(std::string& line) {
    line.clear();
    for (;;) {
      if (at_ == end_) {
        if (done_ || !fill()) {
          done_ = true;
          if (line.empty() && !partial_) {
            return false;
          }
          partial_ = false;
          ++number_;
          checkLength(line);
          return true;
        }
      }
      const char* start = buffer_.data() + at_;
      const auto* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - at_));
      const std::size_t take = lf != nullptr ? static_cast<std::size_t>(lf - start) : end_ - at_;
      // A line that is already too long is refused here, before more is read.
      if (line.size() + take > kMaxLineBytes + 1) {
        throw BadLine{number_ + 1, tooLong()};
      }
      line.append(start, take);
      at_ += take;
      if (lf == nullptr) {
        partial_ = true;
        continue;
      }
      ++at_;  // the LF
      partial_ = false;
      ++number_;
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      checkLength(line);
      return true;
    }
  }

  long long number() const { return number_; }

 private:
  bool fill() {
    at_ = 0;
    end_ = source_(buffer_.data(), buffer_.size());
    return end_ > 0;
  }
  void checkLength(const std::string& line) const {
    if (line.size() > kMaxLineBytes) {
      throw BadLine{number_, tooLong()};
    }
  }
  static std::string tooLong() {
    return "the line is longer than " + std::to_string(kMaxLineBytes) + " bytes";
  }

  ByteSource source_;
  std::vector<char> buffer_;
  std::size_t at_ = 0;
  std::size_t end_ = 0;
  bool done_ = false;
  bool partial_ = false;  // bytes of a line without its LF yet
  long long number_ = 0;  // 64-bit: a script cannot have enough lines to wrap it
};

// A field as the message shows it: printable, and not too long.
std::string quoted(std::string_view field) {
  constexpr std::size_t kShown = 40;
  std::string text = "'";
  for (std::size_t i = 0; i < field.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(field[i]);
    if (c >= 0x20 && c < 0x7F) {
      text += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      text += escaped;
    }
  }
  text += field.size() > kShown ? "...'" : "'";
  return text;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

bool isControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// The fields of a line, split at runs of spaces and tabs. Only the first few
// are kept: no action has more than three.
struct Fields {
  std::array<std::string_view, 4> w;
  std::size_t count = 0;
};

Fields split(std::string_view line) {
  Fields result;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) {
      ++i;
    }
    const std::size_t start = i;
    while (i < line.size() && !isBlank(line[i])) {
      ++i;
    }
    if (i > start) {
      if (result.count < result.w.size()) {
        result.w[result.count] = line.substr(start, i - start);
      }
      ++result.count;
    }
  }
  return result;
}

std::uint16_t parseKey(std::string_view text, long long line) {
  if (text.size() == 1) {
    const char c = text[0];
    if (c >= 'a' && c <= 'z') {
      return static_cast<std::uint16_t>(c - 'a' + 'A');
    }
    if (c >= 'A' && c <= 'Z') {
      return static_cast<std::uint16_t>(c);
    }
  }
  const std::optional<long long> code = parseWholeNumber(text, 65535);
  if (!code) {
    throw BadLine{line,
                  "key wants a letter A-Z or a key code from 0 to 65535, not " + quoted(text)};
  }
  return static_cast<std::uint16_t>(*code);
}

// The action on a line that is neither blank nor a comment.
Action parseLine(std::string_view text, long long line) {
  for (const char c : text) {
    if (isControl(c) && c != '\t') {
      char code[8];
      std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(c));
      throw BadLine{line, std::string("a control character (") + code + ") outside a comment"};
    }
  }
  const Fields fields = split(text);
  const auto& w = fields.w;
  Action action;
  action.line = line;
  const std::optional<long long> time = parseWholeNumber(w[0], kMaxScriptTime);
  if (!time) {
    throw BadLine{line, "the time must be a whole number of milliseconds from 0 to " +
                            std::to_string(kMaxScriptTime) + ", not " + quoted(w[0])};
  }
  action.time = *time;
  if (fields.count < 2) {
    throw BadLine{line, "an action must follow the time"};
  }
  const std::string_view verb = w[1];
  const std::size_t arguments = fields.count - 2;
  if (verb == "click") {
    action.kind = ActionKind::Click;
    if (arguments != 1 || (w[2] != "Command1" && w[2] != "Command2")) {
      throw BadLine{line, "click wants one button: Command1 or Command2"};
    }
    action.button = w[2] == "Command1" ? Button::Command1 : Button::Command2;
  } else if (verb == "key") {
    action.kind = ActionKind::Key;
    if (arguments != 1) {
      throw BadLine{line, "key wants one key: a letter A-Z or a key code"};
    }
    action.keyCode = parseKey(w[2], line);
  } else if (verb == "close" || verb == "dump" || verb == "end") {
    action.kind = verb == "close"  ? ActionKind::Close
                  : verb == "dump" ? ActionKind::Dump
                                   : ActionKind::End;
    if (arguments != 0) {
      throw BadLine{line, std::string(verb) + " takes no argument"};
    }
  } else {
    throw BadLine{line, "unknown action " + quoted(verb) + " (click, key, close, dump or end)"};
  }
  return action;
}

// The actions read so far, in blocks, so that a long script is never held
// twice while it grows.
class ActionBlocks {
 public:
  void push(const Action& action) {
    if (blocks_.empty() || blocks_.back().size() == kBlock) {
      blocks_.emplace_back().reserve(kBlock);
    }
    blocks_.back().push_back(action);
    ++count_;
  }
  const Action* last() const { return blocks_.empty() ? nullptr : &blocks_.back().back(); }

  // All of them in one vector; each block is let go as soon as it is copied.
  std::vector<Action> take() {
    std::vector<Action> all;
    all.reserve(count_);
    for (std::vector<Action>& block : blocks_) {
      all.insert(all.end(), block.begin(), block.end());
      std::vector<Action>().swap(block);
    }
    blocks_.clear();
    count_ = 0;
    return all;
  }

 private:
  static constexpr std::size_t kBlock = 64 * 1024;
  std::vector<std::vector<Action>> blocks_;
  std::size_t count_ = 0;
};

std::vector<Action> readLines(ByteSource source) {
  LineReader lines(std::move(source));
  ActionBlocks script;
  std::string text;
  while (lines.next(text)) {
    const std::string_view view = text;
    const std::size_t first = view.find_first_not_of(" \t");
    if (first == std::string_view::npos || view[first] == '#') {
      continue;  // a blank line, or a comment that may hold any bytes
    }
    const Action action = parseLine(view, lines.number());
    if (const Action* last = script.last(); last != nullptr && action.time < last->time) {
      throw BadLine{lines.number(), "the time " + std::to_string(action.time) +
                                        " is earlier than the line before (" +
                                        std::to_string(last->time) + ")"};
    }
    script.push(action);
  }
  return script.take();
}

// The whole script from `source`, every problem said as a ScriptError that
// names the script `name` (when it has one).
std::vector<Action> readFrom(ByteSource source, const std::string& name) {
  const std::string prefix = name.empty() ? std::string() : name + ": ";
  try {
    return readLines(std::move(source));
  } catch (const BadLine& bad) {
    throw ScriptError(bad.line, prefix + "line " + std::to_string(bad.line) + ": " + bad.what);
  } catch (const Unreadable& unreadable) {
    throw ScriptError(0, prefix + unreadable.what);
  }
}

}  // namespace

std::optional<long long> parseWholeNumber(std::string_view text, long long max) {
  if (text.empty()) {
    return std::nullopt;
  }
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
    if (value > max) {  // max is far below the type's limit, so this never overflows
      return std::nullopt;
    }
  }
  return value;
}

std::vector<Action> readScript(std::istream& in, const std::string& name) {
  return readFrom(
      [&in](char* to, std::size_t room) {
        in.read(to, static_cast<std::streamsize>(room));
        if (in.bad()) {
          throw Unreadable{"it cannot be read"};
        }
        return static_cast<std::size_t>(in.gcount());
      },
      name);
}

std::vector<Action> readScript(int fd, const std::string& name) {
  return readFrom(
      [fd](char* to, std::size_t room) {
        for (;;) {
          const ssize_t got = ::read(fd, to, room);
          if (got >= 0) {
            return static_cast<std::size_t>(got);
          }
          if (errno != EINTR) {
            throw Unreadable{errno == EISDIR
                                 ? std::string("it is a folder, not a script")
                                 : std::string("it cannot be read (") + std::strerror(errno) + ")"};
          }
        }
      },
      name);
}

std::vector<Action> readScriptFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    throw ScriptError(0, "cannot read the script " + path + " (" + std::strerror(errno) + ")");
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
    throw ScriptError(0, path + " is a folder, not a script");
  }
  return readScript(fd, path);
}

}  // namespace torvin::script
