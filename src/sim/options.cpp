#include "sim/options.h"

#include "platform/command_line.h"
#include "script/reader.h"

namespace torvin::sim {

const char* const kUsage =
    "usage: torvin-sim [--assets DIR] [--autoclose MS] [--trace] [--every-tick]\n"
    "                  [--frames DIR] [SCRIPT]\n"
    "\n"
    "Plays Torvin with no display on a virtual clock, from a script of timed\n"
    "player actions (a file, or standard input without SCRIPT or with -).\n"
    "\n"
    "  --assets DIR     the folder holding the pictures (default: the game's own)\n"
    "  --autoclose MS   the player closes every message box MS ms after it opens\n"
    "  --trace          also print a line for every game event\n"
    "  --every-tick     run every timer tick, also those that would change\n"
    "                   nothing (slower; the output is the same)\n"
    "  --frames DIR     also write the scene at every dump line as a PNG in DIR,\n"
    "                   named by its time (0000000000007200.png)\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "\n"
    "Script lines: TIME click Command1|Command2, TIME key LETTER|CODE,\n"
    "TIME close, TIME dump, TIME end. Exit status: 0 done, 1 a picture\n"
    "failed, 2 a bad command line or script, 3 the output could not be written.\n";

namespace {

// A switch: sets `flag` to `value`.
OptionRule flag(std::string_view name, std::string_view shortName, bool& flag, bool value = true,
                bool answersAtOnce = false) {
  return {name, shortName, false,
          [&flag, value](const std::string&) {
            flag = value;
            return std::string();
          },
          answersAtOnce};
}

}  // namespace

CommandLine readOptions(const std::vector<std::string>& arguments) {
  CommandLine line;
  Options& o = line.options;
  bool haveScript = false;
  const std::vector<OptionRule> rules = {
      {"--assets", "", true,
       [&o](const std::string& value) {
         o.assets = value;
         while (o.assets.size() > 1 && o.assets.back() == '/') {
           o.assets.pop_back();  // the game's folder has no trailing separator
         }
         return std::string();
       }},
      {"--autoclose", "", true,
       [&o](const std::string& value) {
         o.autoclose = script::parseWholeNumber(value, script::kMaxScriptTime);
         if (!o.autoclose) {
           return "--autoclose wants a whole number of milliseconds from 0 to " +
                  std::to_string(script::kMaxScriptTime) + ", not '" + value + "'";
         }
         return std::string();
       }},
      {"--frames", "", true,
       [&line](const std::string& value) {
         line.frames = value;
         while (line.frames.size() > 1 && line.frames.back() == '/') {
           line.frames.pop_back();  // "shots/" names its files "shots/0000000000007080.png"
         }
         return std::string();
       }},
      flag("--trace", "", o.trace),
      flag("--every-tick", "", o.skipIdleTicks, false),
      flag("--help", "-h", line.help, true, true),
      flag("--version", "", line.version, true, true),
  };
  line.refusal = readCommandLine(arguments, rules, [&](const std::string& script) {
    if (haveScript) {
      return std::string("only one script, please");
    }
    haveScript = true;
    line.script = script;
    return std::string();
  });
  return line;
}

}  // namespace torvin::sim
