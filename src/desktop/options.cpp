#include "desktop/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/command_line.h"

namespace torvin::desktop {

namespace {

constexpr const char* kHelp =
    "Usage: torvin [--help] [--version] [--stats] [--quit-after SECONDS] [--zoom FACTOR]\n"
    "              [--record FILE] [--replay FILE] [--dump-at-exit] [--show-points]\n"
    "\n"
    "Torvin, a side-view BMX stunt game.\n"
    "\n"
    "Click Start and ride. In the air, press letter keys for tricks:\n"
    "  H bunny hop, Q can-can, W no hander, E superman, R backflip, T frontflip,\n"
    "  Y candy bar, U 360, I tabletop, D nothing, F tailwhip, G barspin.\n"
    "On the ground keep pressing A (manual) or S (nose manual).\n"
    "Land with a trick still running and the run ends: \"Fail!\".\n"
    "The window can take any size; F11 switches full screen on and off, Escape\n"
    "leaves it. P or Pause pauses and resumes, F1 shows how to play, F2 shows the\n"
    "points of the run and the total, Ctrl+Q quits.\n"
    "\n"
    "  -h, --help             show this help\n"
    "  -v, --version          show the version\n"
    "  --stats                print the game's own figures at exit (CPU, memory,\n"
    "                         first frame, course ticks, picture decodes)\n"
    "  --quit-after SECONDS   end the game after SECONDS of wall-clock time\n"
    "                         (0.001 to 604800)\n"
    "  --record FILE          write the game to FILE as a torvin-sim script, as it\n"
    "                         is played: torvin-sim FILE ends in the same state\n"
    "  --replay FILE          play the torvin-sim script FILE in the window at real\n"
    "                         speed; Escape or closing the window ends it\n"
    "  --dump-at-exit         when the game ends, print the game's state as one\n"
    "                         JSON line in torvin-sim's dump format\n"
    "  --zoom FACTOR          open the window at FACTOR (1 to 10) times its size\n"
    "                         instead of the size it had last time\n"
    "  --show-points          show the run's points and the total over the scene\n"
    "                         (as F2 does; kept for the next game)\n"
    "\n"
    "Exit status: 0 the game ended, 1 a picture or the display failed, 2 a bad\n"
    "command line, --record file or --replay script, 3 output (the recording,\n"
    "--dump-at-exit, --stats, a replay's dumps) could not be written.\n";

// A number in plain decimals ("30", "2.5", ".5"), read the same in every
// locale. No sign, exponent, "nan" or "inf".
std::optional<double> parseDecimal(const std::string& digits) {
  const auto plain = [](char c) { return (c >= '0' && c <= '9') || c == '.'; };
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), plain) ||
      std::count(digits.begin(), digits.end(), '.') > 1 || digits == ".") {
    return std::nullopt;
  }
  double number = 0.0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(number)) {
    return std::nullopt;
  }
  return number;
}

// A number as the messages write it: "0.001", "604800".
std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// A switch: sets `flag`.
OptionRule flag(std::string_view name, bool& flag) {
  return {name, "", false, [&flag](const std::string&) {
            flag = true;
            return std::string();
          }};
}

// An option naming a file.
OptionRule file(std::string_view name, std::optional<std::string>& file) {
  return {name, "", true, [&file](const std::string& value) {
            file = value;
            return std::string();
          }};
}

}  // namespace

CommandLine readOptions(const std::vector<std::string>& arguments) {
  CommandLine line;
  Options& o = line.options;
  const std::vector<OptionRule> rules = {
      flag("--stats", o.stats),
      {"--quit-after", "", true,
       [&o](const std::string& value) {
         o.quitAfter = parseDecimal(value);
         if (!o.quitAfter || *o.quitAfter < kShortestRun || *o.quitAfter > kLongestRun) {
           return "--quit-after needs a number of seconds from " + number(kShortestRun) + " to " +
                  number(kLongestRun) + ", not '" + value + "'";
         }
         return std::string();
       }},
      file("--record", o.record),
      file("--replay", o.replay),
      flag("--dump-at-exit", o.dumpAtExit),
      flag("--show-points", o.showPoints),
      {"--zoom", "", true,
       [&o](const std::string& value) {
         o.zoom = parseDecimal(value);
         if (!o.zoom || !(*o.zoom >= 1.0 && *o.zoom <= kLargestZoom)) {
           return "--zoom needs a factor from 1 to " + number(kLargestZoom) + ", not '" + value +
                  "'";
         }
         return std::string();
       }},
  };
  line.refusal = readCommandLine(arguments, rules);
  return line;
}

std::optional<std::string> answerAtOnce(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      return kHelp;
    }
    if (argument == "--version" || argument == "-v") {
      return std::string("torvin ") + TORVIN_VERSION + "\n";
    }
  }
  return std::nullopt;
}

}  // namespace torvin::desktop
