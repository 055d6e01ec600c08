// The game's command line: its options, read by one table.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torvin::desktop {

struct Options {
  bool stats = false;
  std::optional<double> quitAfter;  // seconds
  std::optional<std::string> record;
  std::optional<std::string> replay;
  bool dumpAtExit = false;
  std::optional<double> zoom;
  bool showPoints = false;
};

// The command line read: the options, or why it is refused.
struct CommandLine {
  Options options;
  std::string refusal;  // empty when the command line is good
};

// The game's own options: what is left of the command line once Qt has taken
// its own (-platform, -display, ...), without the program's name. File names
// are kept as the bytes they were given in, whatever the locale.
CommandLine readOptions(const std::vector<std::string>& arguments);

// --help or --version anywhere on the command line: the text to print before
// the window system is opened, so that both work without a display.
std::optional<std::string> answerAtOnce(const std::vector<std::string>& arguments);

// The range --quit-after takes: from a millisecond to a week.
inline constexpr double kShortestRun = 0.001;
inline constexpr double kLongestRun = 7 * 24 * 3600.0;
inline constexpr double kLargestZoom = 10.0;

}  // namespace torvin::desktop
