// torvin-sim --frames: the scene at a dump line written as a PNG that reads
// back as the very frame, named so that the files sort by time and none
// overwrites another, and a write that fails said and cleaned up.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "script/recording_line.h"
#include "sim/frame_folder.h"
#include "sim/output_error.h"
#include "sim/simulator.h"
#include "support/kept_frames.h"
#include "support/png_image.h"

namespace torvin::sim {
namespace {

namespace fs = std::filesystem;

const std::string kSource = TORVIN_SOURCE_DIR;

// A folder of its own for each test, removed afterwards.
class FrameFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "torvin-frames-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string folder_;
};

// Every pixel of `frame` against the picture in `path`; the number that differ.
int differences(const scene::Frame& frame, const std::string& path) {
  const torvin::testing::PngImage read = torvin::testing::readPng(path);
  EXPECT_EQ(read.width, scene::kWidth);
  EXPECT_EQ(read.height, scene::kHeight);
  if (read.width != scene::kWidth || read.height != scene::kHeight) {
    return -1;
  }
  int differ = 0;
  for (int y = 0; y < scene::kHeight; ++y) {
    for (int x = 0; x < scene::kWidth; ++x) {
      differ += frame.pixel(x, y) != read.pixels[static_cast<std::size_t>(y * scene::kWidth + x)];
    }
  }
  return differ;
}

TEST_F(FrameFiles, AFrameReadsBackAsTheSamePixels) {
  // Every value in every channel, in a pattern that tells the channels and
  // the rows apart, and then a real scene of the game.
  scene::Frame pattern;
  for (int y = 0; y < scene::kHeight; ++y) {
    for (int x = 0; x < scene::kWidth; ++x) {
      const auto red = static_cast<std::uint32_t>(x & 0xFF);
      const auto green = static_cast<std::uint32_t>((x + y * 7) & 0xFF);
      const auto blue = static_cast<std::uint32_t>((y * 3 + 11) & 0xFF);
      pattern.row(y)[x] = 0xFF000000U | red << 16 | green << 8 | blue;
    }
  }
  FrameFolder folder(folder_);
  folder.write(5, pattern);
  EXPECT_EQ(differences(pattern, folder_ + "/0000000000000005.png"), 0);

  int frames = 0;
  std::ostringstream out;
  Options real;
  real.assets = TORVIN_TEST_ASSETS;
  real.frames = [&](long long time, const scene::Frame& frame) {
    folder.write(time, frame);
    const std::string path = folder_ + "/0000000000007080.png";
    EXPECT_EQ(time, 7080);
    EXPECT_EQ(differences(frame, path), 0) << path;
    ++frames;
  };
  Simulator simulator(real,
                      {{0, script::ActionKind::Click, script::Button::Command1, 0, 1},
                       {7080, script::ActionKind::Dump, {}, 0, 2}},
                      out);
  simulator.run();
  EXPECT_EQ(frames, 1);
}

TEST_F(FrameFiles, NamesSortByTimeAndFramesOfOneTimeAreKeptApart) {
  FrameFolder folder(folder_);
  EXPECT_EQ(folder.nameFor(0), folder_ + "/0000000000000000.png");
  EXPECT_EQ(folder.nameFor(7080), folder_ + "/0000000000007080.png");
  EXPECT_EQ(folder.nameFor(7080), folder_ + "/0000000000007080_2.png");
  EXPECT_EQ(folder.nameFor(7080), folder_ + "/0000000000007080_3.png");
  EXPECT_EQ(folder.nameFor(7081), folder_ + "/0000000000007081.png");
  EXPECT_EQ(folder.nameFor(script::kMaxScriptTime), folder_ + "/9007199254740991.png");
  // In byte order a time comes before its later frames, and they before the next time.
  EXPECT_LT(std::string("0000000000007080.png"), "0000000000007080_2.png");
  EXPECT_LT(std::string("0000000000007080_3.png"), "0000000000007081.png");
}

TEST_F(FrameFiles, AFolderThatCannotTakeThemIsRefusedBeforeTheRun) {
  EXPECT_EQ(FrameFolder::refusal(folder_), "");
  EXPECT_EQ(FrameFolder::refusal(folder_ + "/none"),
            "cannot write frames in '" + folder_ + "/none': No such file or directory");
  std::ofstream(folder_ + "/file") << "not a folder";
  EXPECT_EQ(FrameFolder::refusal(folder_ + "/file"),
            "cannot write frames in '" + folder_ + "/file': it is not a folder");
}

TEST_F(FrameFiles, AWriteThatFailsIsSaidAndLeavesNoCutPicture) {
  const scene::Frame frame;
  FrameFolder folder(folder_);
  // A file that cannot be made: a folder stands in its place.
  fs::create_directory(folder_ + "/0000000000000001.png");
  try {
    folder.write(1, frame);
    ADD_FAILURE() << "a frame written over a folder";
  } catch (const OutputError& error) {
    EXPECT_STREQ(
        error.what(),
        ("cannot write the frame " + folder_ + "/0000000000000001.png (Is a directory)").c_str());
  }
  // A full disk: the picture is begun and cannot be finished.
  fs::create_symlink("/dev/full", folder_ + "/0000000000000002.png");
  try {
    folder.write(2, frame);
    ADD_FAILURE() << "a frame written to a full disk";
  } catch (const OutputError& error) {
    EXPECT_STREQ(error.what(), ("cannot write the frame " + folder_ +
                                "/0000000000000002.png (No space left on device)")
                                   .c_str());
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(folder_ + "/0000000000000002.png")));
}

// The command writes what the window painted: the kept scenes of real games,
// played by torvin-sim --frames from a script with a dump at each kept moment.
TEST_F(FrameFiles, TheCommandWritesTheKeptFramesOfTheWindow) {
  for (const torvin::testing::KeptMoments& moments : torvin::testing::kKeptMoments) {
    const std::string scriptPath = folder_ + "/" + moments.name + ".script";
    {
      std::ofstream script(scriptPath);
      for (const script::Action& action :
           torvin::testing::scriptWithDumps(kSource + "/" + moments.script, moments.times)) {
        script << script::recordingLine(action.time, action);
      }
    }
    const std::string frames = folder_ + "/" + moments.name;
    fs::create_directory(frames);
    std::string command =
        std::string(TORVIN_SIM) + " --assets " + TORVIN_TEST_ASSETS + " --frames " + frames;
    if (moments.autoclose) {
      command += " --autoclose " + std::to_string(*moments.autoclose);
    }
    command += " " + scriptPath + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    int files = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(frames)) {
      ++files;
    }
    EXPECT_EQ(files, static_cast<int>(moments.times.size())) << moments.name;
    for (const long long time : moments.times) {
      char name[32];
      std::snprintf(name, sizeof name, "/%016lld.png", time);
      const torvin::testing::PngImage written = torvin::testing::readPng(frames + name);
      const torvin::testing::PngImage kept = torvin::testing::readPng(
          kSource + "/tests/frames/" + moments.frame(time, "scene") + ".png");
      EXPECT_EQ(written.width, kept.width);
      EXPECT_EQ(written.height, kept.height);
      EXPECT_TRUE(written.pixels == kept.pixels) << moments.frame(time, "scene");
    }
  }
}

}  // namespace
}  // namespace torvin::sim
