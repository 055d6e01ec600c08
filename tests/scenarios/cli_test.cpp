// The real torvin-sim command, end to end: exit status, standard output and
// standard error.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "support/scenario.h"

namespace torvin::scenario {
namespace {

struct Result {
  int status = -1;
  std::string out;
};

// Runs a shell command line; returns its exit status and its standard output.
Result shell(const std::string& command) {
  Result result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return result;
  }
  std::array<char, 4096> buffer{};
  while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
    result.out += buffer.data();
  }
  const int raw = pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

std::string writeScript(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

const std::string kSim = TORVIN_SIM_EXE;

TEST(TorvinSimCommand, TheFirstFlightLandsOnStep434) {
  const std::string script =
      writeScript("flight.script", "0 click Command1\n8640 dump\n8680 dump\n");
  const Result r = shell(kSim + " --assets " + assetsFolder() + " " + script);
  ASSERT_EQ(r.status, 0);
  const auto first = json::parse(r.out.substr(0, r.out.find('\n')));
  const auto second = json::parse(r.out.substr(r.out.find('\n') + 1));
  EXPECT_EQ(first["GameState"]["rampLaunched"], 1);
  EXPECT_EQ(second["GameState"]["rampLaunched"], 0);
  EXPECT_EQ(second["Image1"]["Top"], 182);
  EXPECT_EQ(second["GameState"]["flightStep"], 32);
  // The default pictures folder is the one beside the program.
  EXPECT_EQ(shell(kSim + " " + script).out, r.out);
}

TEST(TorvinSimCommand, ExitStatusAndMessages) {
  const std::string bad = writeScript("bad.script", "0 click Command1\n10 jump\n");
  const Result badRun = shell(kSim + " " + bad + " 2>&1");
  EXPECT_EQ(badRun.status, 2);
  EXPECT_NE(badRun.out.find("line 2"), std::string::npos) << badRun.out;

  const std::string empty = ::testing::TempDir() + "no-pictures";
  const Result missing = shell("mkdir -p " + empty + " && " + kSim + " --assets " + empty + " " +
                               writeScript("ok.script", "0 dump\n") + " 2>&1 >/dev/null");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("002.jpg"), std::string::npos) << missing.out;
}

TEST(TorvinSimCommand, TheWholeGameScript) {
  const Result r = shell(kSim + " " + TORVIN_SCENARIO_DIR + "/whole_game.script");
  ASSERT_EQ(r.status, 0);
  const std::string lastLine = r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1);
  const json last = json::parse(lastLine);
  EXPECT_EQ(last["GameState"]["bikeId"], "03");
  EXPECT_EQ(last["Label5"]["Visible"], true);
}

}  // namespace
}  // namespace torvin::scenario
