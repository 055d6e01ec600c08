// The simulator with its pictures in a folder whose name is not UTF-8: the
// pictures are found, and the output is still valid JSON.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "script/reader.h"
#include "sim/simulator.h"

namespace torvin::sim {
namespace {

namespace fs = std::filesystem;

TEST(FolderName, ALatin1FolderNameFindsThePicturesAndMakesValidJson) {
  const fs::path folder = fs::path(::testing::TempDir()) / "caf\xE9-\xFF";
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const char* part : {"01", "02", "03", "bg001.gif", "bg003.gif", "bg004.gif", "bg005.gif",
                           "bg006.gif", "bg007.gif"}) {
    fs::copy(fs::path(TORVIN_TEST_ASSETS) / part, folder / part, fs::copy_options::recursive);
  }
  std::istringstream in("0 dump\n");
  std::ostringstream out;
  Simulator simulator({folder.string(), std::nullopt, false, {}}, script::readScript(in), out);
  simulator.run();
  const nlohmann::json dump = nlohmann::json::parse(out.str());  // throws on bad UTF-8
  const std::string appPath = dump["GameState"]["appPath"];
  EXPECT_TRUE(appPath.ends_with("caf\xC3\xA9-\xC3\xBF")) << appPath;
  fs::remove_all(folder);
}

}  // namespace
}  // namespace torvin::sim
