// torvin-sim: plays the game on a virtual clock from a script and prints
// snapshots (and, with --trace, events) as JSON lines.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "platform/program_folder.h"
#include "sim/output_error.h"
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
    "failed, 2 a bad command line or script, 3 the output could not be written.\n";

constexpr int kBadPicture = 1;
constexpr int kBadInput = 2;
constexpr int kBadOutput = 3;

int usageError(const std::string& what) {
  std::cerr << "torvin-sim: " << what << "\n" << kUsage;
  return kBadInput;
}

// Ends with what was written: 0, or 3 when the output could not be written.
int finish(int status) {
  errno = 0;
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "torvin-sim: " << torvin::sim::OutputError(errno).what() << "\n";
    return kBadOutput;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // A closed pipe on standard output is an error to report (status 3), not a
  // signal that ends the program without a word.
  std::signal(SIGPIPE, SIG_IGN);

  torvin::sim::Options options;
  std::string scriptPath = "-";
  bool haveScript = false;
  bool haveAssets = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::optional<std::string> attached;  // the value of --option=value
    if (const auto equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
      attached = arg.substr(equals + 1);
      arg.resize(equals);
      if (arg != "--assets" && arg != "--autoclose") {
        return usageError("unknown option " + std::string(argv[i]));
      }
    }
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return finish(0);
    }
    if (arg == "--version") {
      std::cout << "torvin-sim " << TORVIN_VERSION << "\n";
      return finish(0);
    }
    if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--every-tick") {
      options.skipIdleTicks = false;
    } else if (arg == "--assets" || arg == "--autoclose") {
      if (!attached && i + 1 >= argc) {
        return usageError(arg + " needs a value");
      }
      const std::string value = attached ? *attached : argv[++i];
      if (value.empty()) {
        return usageError(arg + " needs a value, not an empty one");
      }
      if (arg == "--assets") {
        options.assets = value;
        haveAssets = true;
      } else {
        const std::optional<long long> ms =
            torvin::sim::parseWholeNumber(value, torvin::sim::kMaxScriptTime);
        if (!ms) {
          return usageError("--autoclose wants a whole number of milliseconds from 0 to " +
                            std::to_string(torvin::sim::kMaxScriptTime) + ", not '" + value + "'");
        }
        options.autoclose = *ms;
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

  const bool fromStdin = scriptPath == "-";
  const std::string scriptName = fromStdin ? "<stdin>" : scriptPath;
  std::vector<torvin::sim::Action> script;
  try {
    if (fromStdin) {
      script = torvin::sim::readScript(STDIN_FILENO);
    } else {
      script = torvin::sim::readScriptFile(scriptPath);
    }
  } catch (const torvin::sim::ScriptError& error) {
    std::cerr << "torvin-sim: " << scriptName << ": " << error.what() << "\n";
    return kBadInput;
  } catch (const torvin::sim::ScriptUnreadable& error) {
    std::cerr << "torvin-sim: " << (fromStdin ? scriptName + ": " : "") << error.what() << "\n";
    return kBadInput;
  }

  std::ios::sync_with_stdio(false);
  try {
    torvin::sim::Simulator simulator(options, std::move(script), std::cout);
    simulator.run();
  } catch (const torvin::PictureError& error) {
    std::cerr << "torvin-sim: " << error.what() << "\n";
    return finish(kBadPicture);
  } catch (const torvin::sim::OutputError& error) {
    std::cerr << "torvin-sim: " << error.what() << "\n";
    return kBadOutput;
  }
  return finish(0);
}
