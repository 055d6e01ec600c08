// torvin-sim: plays the game on a virtual clock from a script and prints
// snapshots (and, with --trace, events) as JSON lines.
#include <fstream>
#include <iostream>
#include <string>

#include "platform/program_folder.h"
#include "sim/script.h"
#include "sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: torvin-sim [--assets DIR] [--autoclose MS] [--trace] [SCRIPT]\n"
    "\n"
    "Plays Torvin with no display on a virtual clock, from a script of timed\n"
    "player actions (a file, or standard input without SCRIPT or with -).\n"
    "\n"
    "  --assets DIR     the folder holding the pictures (default: the game's own)\n"
    "  --autoclose MS   the player closes every message box MS ms after it opens\n"
    "  --trace          also print a line for every game event\n"
    "  --every-tick     run every timer tick, also those that would change\n"
    "                   nothing (slower; the output is the same)\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "\n"
    "Script lines: TIME click Command1|Command2, TIME key LETTER|CODE,\n"
    "TIME close, TIME dump, TIME end. Exit status: 0 done, 1 a picture\n"
    "failed, 2 a bad command line or script.\n";

int usageError(const std::string& what) {
  std::cerr << "torvin-sim: " << what << "\n" << kUsage;
  return 2;
}

bool parseMs(const std::string& text, long long& value) {
  if (text.empty() || text.size() > 15 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  value = std::stoll(text);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  torvin::sim::Options options;
  std::string scriptPath = "-";
  bool haveScript = false;
  bool haveAssets = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string attached;  // the value of --option=value
    if (const auto equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
      attached = arg.substr(equals + 1);
      arg.resize(equals);
      if (arg != "--assets" && arg != "--autoclose") {
        return usageError("unknown option " + std::string(argv[i]));
      }
    }
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--version") {
      std::cout << "torvin-sim " << TORVIN_VERSION << "\n";
      return 0;
    }
    if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--every-tick") {
      options.skipIdleTicks = false;
    } else if (arg == "--assets" || arg == "--autoclose") {
      if (attached.empty() && i + 1 >= argc) {
        return usageError(arg + " needs a value");
      }
      const std::string value = attached.empty() ? argv[++i] : attached;
      if (arg == "--assets") {
        options.assets = value;
        haveAssets = true;
      } else {
        long long ms = 0;
        if (!parseMs(value, ms)) {
          return usageError("--autoclose wants a whole number of milliseconds, not '" + value +
                            "'");
        }
        options.autoclose = ms;
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usageError("unknown option " + arg);
    } else if (haveScript) {
      return usageError("only one script, please");
    } else {
      scriptPath = arg;
      haveScript = true;
    }
  }
  if (!haveAssets) {
    options.assets = torvin::picturesFolder();
  }
  while (options.assets.size() > 1 && options.assets.back() == '/') {
    options.assets.pop_back();  // the game's folder has no trailing separator
  }

  std::vector<torvin::sim::Action> script;
  try {
    if (scriptPath == "-") {
      script = torvin::sim::readScript(std::cin);
    } else {
      std::ifstream file(scriptPath);
      if (!file) {
        std::cerr << "torvin-sim: cannot read the script " << scriptPath << "\n";
        return 2;
      }
      script = torvin::sim::readScript(file);
    }
  } catch (const torvin::sim::ScriptError& error) {
    std::cerr << "torvin-sim: " << (scriptPath == "-" ? "<stdin>" : scriptPath) << ": "
              << error.what() << "\n";
    return 2;
  }

  std::ios::sync_with_stdio(false);
  try {
    torvin::sim::Simulator simulator(options, std::move(script), std::cout);
    simulator.run();
  } catch (const torvin::PictureError& error) {
    std::cout.flush();
    std::cerr << "torvin-sim: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
