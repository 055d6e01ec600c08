// torvin-sim: plays the game on a virtual clock from a script and prints
// snapshots (and, with --trace, events) as JSON lines.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/program_folder.h"
#include "script/exit_status.h"
#include "script/reader.h"
#include "sim/frame_folder.h"
#include "sim/options.h"
#include "sim/output_error.h"
#include "sim/simulator.h"

namespace {

using namespace torvin::script;

// Ends with what was written: `status`, or 3 when the output could not be
// written.
int finish(int status) {
  errno = 0;
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "torvin-sim: " << torvin::sim::OutputError(errno).what() << "\n";
    return kOutputFailed;
  }
  return status;
}

// The whole script, read and checked before anything runs.
std::vector<Action> readTheScript(const std::string& path) {
  return path == "-" ? readScript(STDIN_FILENO, "<stdin>") : readScriptFile(path);
}

}  // namespace

int main(int argc, char** argv) {
  // A closed pipe on standard output is an error to report (status 3), not a
  // signal that ends the program without a word.
  std::signal(SIGPIPE, SIG_IGN);

  torvin::sim::CommandLine line = torvin::sim::readOptions({argv + 1, argv + argc});
  if (!line.refusal.empty()) {
    std::cerr << "torvin-sim: " << line.refusal << "\n" << torvin::sim::kUsage;
    return kBadInput;
  }
  if (line.help || line.version) {
    std::cout << (line.help ? torvin::sim::kUsage : "torvin-sim " TORVIN_VERSION "\n");
    return finish(kEndedNormally);
  }
  if (line.options.assets.empty()) {
    line.options.assets = torvin::picturesFolder();
  }

  // The folder for the frames is looked at before anything runs: a run that
  // could not keep its pictures is refused as a bad command line.
  std::optional<torvin::sim::FrameFolder> frames;
  if (!line.frames.empty()) {
    if (const std::string refusal = torvin::sim::FrameFolder::refusal(line.frames);
        !refusal.empty()) {
      std::cerr << "torvin-sim: " << refusal << "\n";
      return kBadInput;
    }
    frames.emplace(line.frames);
    line.options.frames = [&frames](long long time, const torvin::scene::Frame& frame) {
      frames->write(time, frame);
    };
  }

  std::vector<Action> script;
  try {
    script = readTheScript(line.script);
  } catch (const ScriptError& error) {
    std::cerr << "torvin-sim: " << error.what() << "\n";
    return kBadInput;
  }

  std::ios::sync_with_stdio(false);
  try {
    torvin::sim::Simulator simulator(line.options, std::move(script), std::cout);
    simulator.run();
  } catch (const torvin::PictureError& error) {
    std::cerr << "torvin-sim: " << error.what() << "\n";
    return finish(kGameFailed);
  } catch (const torvin::sim::OutputError& error) {
    std::cerr << "torvin-sim: " << error.what() << "\n";
    return kOutputFailed;
  }
  return finish(kEndedNormally);
}
