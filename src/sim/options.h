// torvin-sim's command line: its options, read by one table.
#pragma once

#include <string>
#include <vector>

#include "sim/simulator.h"

namespace torvin::sim {

// The command line read: what to play and how, or why it is refused.
struct CommandLine {
  Options options;           // options.assets is empty when --assets is not given
  std::string script = "-";  // a file, or "-" for standard input
  std::string frames;        // --frames DIR: the folder for the scene's pictures, or empty
  bool help = false;
  bool version = false;
  std::string refusal;  // empty when the command line is good
};

// The options and the script, from the arguments after the program's name.
// --help and --version are answered at once: what follows them is not read.
CommandLine readOptions(const std::vector<std::string>& arguments);

// What --help prints.
extern const char* const kUsage;

}  // namespace torvin::sim
