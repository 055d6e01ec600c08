// Runs a script through the simulator in-process and hands back its JSON lines.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/simulator.h"

namespace torvin::testing {

struct SimRun {
  std::vector<nlohmann::json> lines;

  std::vector<nlohmann::json> dumps() const {
    std::vector<nlohmann::json> result;
    for (const auto& line : lines) {
      if (line.contains("GameState")) {
        result.push_back(line);
      }
    }
    return result;
  }
  std::vector<nlohmann::json> events(const std::string& kind) const {
    std::vector<nlohmann::json> result;
    for (const auto& line : lines) {
      if (line.value("event", "") == kind) {
        result.push_back(line);
      }
    }
    return result;
  }
};

inline SimRun simulate(const std::string& script, bool trace = true,
                       std::optional<long long> autoclose = std::nullopt) {
  std::istringstream in(script);
  std::ostringstream out;
  sim::Options options{TORVIN_TEST_ASSETS, autoclose, trace, {}};
  sim::Simulator simulator(options, sim::readScript(in), out);
  simulator.run();
  SimRun run;
  std::istringstream lines(out.str());
  std::string line;
  while (std::getline(lines, line)) {
    run.lines.push_back(nlohmann::json::parse(line));
  }
  return run;
}

}  // namespace torvin::testing
