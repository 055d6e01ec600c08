// A player who presses random keys and buttons, as a torvin-sim script. The
// same seed always gives the same script.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace torvin::testing {

inline std::string randomPlayScript(std::uint32_t seed, long long lengthMs) {
  std::mt19937 random(seed);
  auto below = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
  static const std::string kKeys = "HQWERTDFGYUIASZXCV";
  std::string script;
  long long t = below(3000);
  while (t < lengthMs) {
    const std::uint32_t roll = below(1000);
    std::string action;
    if (roll < 3) {
      action = "click Command1";
    } else if (roll < 5) {
      action = "click Command2";
    } else if (roll < 60) {
      action = "close";
    } else if (roll < 80) {
      action = "key " + std::to_string(below(65536));  // any key at all
    } else if (roll < 120) {
      action = "key H";
    } else {
      action = std::string("key ") + kKeys[below(static_cast<std::uint32_t>(kKeys.size()))];
    }
    script += std::to_string(t) + " " + action + "\n";
    // Mostly quick presses, now and then a burst of auto-repeat, now and then a rest.
    const std::uint32_t gap = below(100);
    t += gap < 10 ? 33 : gap < 90 ? 40 + below(400) : 1000 + below(4000);
  }
  script += std::to_string(lengthMs) + " end\n";
  return script;
}

}  // namespace torvin::testing
