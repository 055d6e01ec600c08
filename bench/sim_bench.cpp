// How fast the simulator plays the game: virtual hours of random play per
// wall-clock second, on this machine.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/program_folder.h"
#include "script/reader.h"
#include "sim/simulator.h"
#include "support/random_play.h"

namespace {

std::string cpuName() {
  std::ifstream info("/proc/cpuinfo");
  std::string line;
  while (std::getline(info, line)) {
    if (line.rfind("model name", 0) == 0) {
      return line.substr(line.find(':') + 2);
    }
  }
  return "unknown processor";
}

}  // namespace

int main(int argc, char** argv) {
  const int hours = argc > 1 ? std::atoi(argv[1]) : 4;
  const std::string pictures = argc > 2 ? argv[2] : torvin::picturesFolder();
  constexpr long long kHour = 3600LL * 1000;

  std::cout << "machine: " << cpuName() << ", " << std::thread::hardware_concurrency()
            << " cores\n";
  // Played twice: passing over the ticks that would change nothing, as
  // torvin-sim does, and running every tick.
  for (const bool skipIdleTicks : {true, false}) {
    double seconds = 0;
    long long ticksRun = 0;
    long long ticksSkipped = 0;
    for (int hour = 0; hour < hours; ++hour) {
      std::istringstream in(
          torvin::testing::randomPlayScript(static_cast<std::uint32_t>(100 + hour), kHour));
      auto script = torvin::script::readScript(in);
      std::ostringstream out;
      torvin::sim::Options options{pictures, 700, false, {}};
      options.skipIdleTicks = skipIdleTicks;
      torvin::sim::Simulator simulator(options, std::move(script), out);
      const auto start = std::chrono::steady_clock::now();
      simulator.run();
      seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      ticksRun += simulator.scheduler().ticksRun();
      ticksSkipped += simulator.scheduler().ticksSkipped();
    }
    std::cout << "simulator" << (skipIdleTicks ? "" : " --every-tick") << ": " << hours
              << " virtual hours of random play in " << seconds << " s: " << (hours / seconds)
              << " virtual hours per second, " << (seconds / hours)
              << " s per virtual hour (goal: under 0.25 s); " << ticksRun << " ticks run, "
              << ticksSkipped << " passed over as idle\n";
  }
  return 0;
}
