#include "support/scenario.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "script/reader.h"
#include "sim/simulator.h"
#include "support/deadline.h"

namespace torvin::scenario {

Script& Script::line(long long t, const std::string& text) {
  lines_.emplace(t, std::to_string(t) + " " + text);
  return *this;
}

Script& Script::click(long long t, const std::string& button) {
  return line(t, "click " + button);
}
Script& Script::key(long long t, const std::string& key) {
  return line(t, "key " + key);
}
Script& Script::close(long long t) {
  return line(t, "close");
}
Script& Script::dump(long long t) {
  return line(t, "dump");
}
Script& Script::end(long long t) {
  return line(t, "end");
}

Script& Script::dumps(long long from, long long to, long long step) {
  for (long long t = from; t <= to; t += step) {
    dump(t);
  }
  return *this;
}

std::string Script::text() const {
  std::string out;
  for (const auto& [t, text] : lines_) {
    out += text + "\n";
  }
  return out;
}

std::vector<json> Played::dumps() const {
  std::vector<json> out;
  for (const json& line : lines_) {
    if (!line.contains("event")) {
      out.push_back(line);
    }
  }
  return out;
}

json Played::dumpAt(long long t) const {
  for (const json& line : lines_) {
    if (!line.contains("event") && line["t"].get<long long>() == t) {
      return line;
    }
  }
  ADD_FAILURE() << "no snapshot at t=" << t;
  return json::object();
}

std::vector<json> Played::events(const std::string& kind) const {
  std::vector<json> out;
  for (const json& line : lines_) {
    if (line.contains("event") && line["event"] == kind) {
      out.push_back(line);
    }
  }
  return out;
}

std::vector<std::pair<long long, std::string>> Played::timedPictures(long long from,
                                                                     long long to) const {
  std::vector<std::pair<long long, std::string>> out;
  for (const json& e : events("picture")) {
    const auto t = e["t"].get<long long>();
    if (t >= from && t <= to) {
      out.emplace_back(t, e["file"].get<std::string>());
    }
  }
  return out;
}

std::vector<std::string> Played::pictures(long long from, long long to) const {
  std::vector<std::string> out;
  for (const auto& [t, file] : timedPictures(from, to)) {
    out.push_back(file);
  }
  return out;
}

std::vector<std::pair<long long, int>> Played::intervals(const std::string& timer, long long from,
                                                         long long to) const {
  std::vector<std::pair<long long, int>> out;
  for (const json& e : events("interval")) {
    const auto t = e["t"].get<long long>();
    if (e["timer"] == timer && t >= from && t <= to) {
      out.emplace_back(t, e["value"].get<int>());
    }
  }
  return out;
}

std::vector<std::string> Played::scoreItems() const {
  std::vector<std::string> out;
  for (const json& e : events("score")) {
    out.push_back(e["item"].get<std::string>());
  }
  return out;
}

std::vector<std::pair<long long, std::string>> Played::messages() const {
  std::vector<std::pair<long long, std::string>> out;
  for (const json& e : events("message")) {
    out.emplace_back(e["t"].get<long long>(), e["text"].get<std::string>());
  }
  return out;
}

std::string assetsFolder() {
  return TORVIN_TEST_ASSETS;
}

namespace {

// With TORVIN_KEEP_SCRIPTS naming a folder, every script a test plays is also
// written there, named after the test, with its options on a "# options:"
// line, so that another build of torvin-sim can play the same scripts.
void keepScript(const std::string& script, const Options& options) {
  const char* folder = std::getenv("TORVIN_KEEP_SCRIPTS");
  if (folder == nullptr) {
    return;
  }
  static std::atomic<int> played{0};
  std::string name = "script";
  if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
    name = std::string(test->test_suite_name()) + "." + test->name();
  }
  for (char& c : name) {
    c = c == '/' ? '_' : c;
  }
  std::ofstream out(std::string(folder) + "/" + name + "-" + std::to_string(++played) + ".script");
  if (options.autoclose) {
    out << "# options: --autoclose " << *options.autoclose << "\n";
  }
  out << script;
}

}  // namespace

Played play(const std::string& script, const Options& options) {
  keepScript(script, options);
  std::istringstream in(script);
  std::ostringstream out;
  sim::Options simOptions;
  simOptions.assets = assetsFolder();
  simOptions.autoclose = options.autoclose;
  simOptions.trace = options.trace;
  sim::Simulator simulator(simOptions, script::readScript(in), out);
  {
    // Every script here plays in well under a second.
    const testing::Deadline deadline(std::chrono::seconds(60),
                                     "the script was never played to its last line");
    simulator.run();
  }
  std::vector<json> lines;
  std::istringstream printed(out.str());
  for (std::string text; std::getline(printed, text);) {
    lines.push_back(json::parse(text));
  }
  return Played(std::move(lines));
}

CoreGame::CoreGame(bool started) {
  platform.defaultSize = {100, 90, 0};
  form.Form_Load();
  if (started) {
    form.Command1_Click();
  }
  platform.shown.clear();
  platform.intervals.clear();
}

std::vector<std::string> CoreGame::takePictures() {
  std::vector<std::string> out;
  out.swap(platform.shown);
  return out;
}

}  // namespace torvin::scenario
