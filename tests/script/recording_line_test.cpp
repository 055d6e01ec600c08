// A recording line reads back as the very action that was recorded, so that a
// recording replays the run that was played.
#include <gtest/gtest.h>

#include <sstream>

#include "script/reader.h"
#include "script/recording_line.h"

namespace torvin::script {
namespace {

TEST(RecordingLine, ReadsBackAsTheSameAction) {
  const Action actions[] = {
      {.time = 0, .kind = ActionKind::Click, .button = Button::Command1},
      {.time = 7, .kind = ActionKind::Click, .button = Button::Command2},
      {.time = 7, .kind = ActionKind::Key, .keyCode = 0},
      {.time = 40, .kind = ActionKind::Key, .keyCode = 'H'},
      {.time = 41, .kind = ActionKind::Key, .keyCode = 65535},
      {.time = 9000, .kind = ActionKind::Close},
      {.time = 9000, .kind = ActionKind::End},
      {.time = kMaxScriptTime, .kind = ActionKind::Dump},
  };
  std::string recording = "# a comment first, as a recording has\n";
  for (const Action& action : actions) {
    const std::string line = recordingLine(action.time, action);
    ASSERT_EQ(line.back(), '\n');
    ASSERT_EQ(line.find('\n'), line.size() - 1) << "one whole line: " << line;
    recording += line;
  }
  EXPECT_EQ(recordingLine(40, actions[3]), "40 key 72\n");
  EXPECT_EQ(recordingLine(0, actions[0]), "0 click Command1\n");

  std::istringstream in(recording);
  const std::vector<Action> read = readScript(in);
  ASSERT_EQ(read.size(), std::size(actions));
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i].time, actions[i].time) << i;
    EXPECT_EQ(read[i].kind, actions[i].kind) << i;
    EXPECT_EQ(read[i].keyCode, actions[i].keyCode) << i;
    EXPECT_EQ(read[i].button, actions[i].button) << i;
    EXPECT_EQ(read[i].line, static_cast<long long>(i) + 2);
  }
}

}  // namespace
}  // namespace torvin::script
