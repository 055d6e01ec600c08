// The script reader: what it takes and what it refuses, with the line number.
#include <gtest/gtest.h>

#include <sstream>

#include "sim/script.h"

namespace torvin::sim {
namespace {

std::vector<Action> read(const std::string& text) {
  std::istringstream in(text);
  return readScript(in);
}

int badLine(const std::string& text) {
  try {
    read(text);
  } catch (const ScriptError& error) {
    return error.line();
  }
  return 0;
}

TEST(ScriptReader, TakesEveryActionAndSkipsBlanksAndComments) {
  const auto script = read(
      "# a comment\n"
      "\n"
      "0 click Command1\r\n"
      "  10   key   r  \n"
      "10 key 65535\n"
      "20 close\n"
      "20 dump\n"
      "30 end\n");
  ASSERT_EQ(script.size(), 6U);
  EXPECT_EQ(script[0].kind, ActionKind::Click);
  EXPECT_EQ(script[0].button, "Command1");
  EXPECT_EQ(script[0].line, 3);
  EXPECT_EQ(script[1].keyCode, 'R');
  EXPECT_EQ(script[2].keyCode, 65535);
  EXPECT_EQ(script[5].kind, ActionKind::End);
  EXPECT_EQ(script[5].time, 30);
}

TEST(ScriptReader, RefusesBadLinesNamingThem) {
  EXPECT_EQ(badLine("0 dump\n5 jump\n"), 2);
  EXPECT_EQ(badLine("10 dump\n5 dump\n"), 2);  // time goes backwards
  EXPECT_EQ(badLine("-1 dump\n"), 1);
  EXPECT_EQ(badLine("1.5 dump\n"), 1);
  EXPECT_EQ(badLine("0 click Command3\n"), 1);
  EXPECT_EQ(badLine("0 click\n"), 1);
  EXPECT_EQ(badLine("0 key 65536\n"), 1);
  EXPECT_EQ(badLine("0 key AB\n"), 1);
  EXPECT_EQ(badLine("0 key\n"), 1);
  EXPECT_EQ(badLine("0 dump now\n"), 1);
  EXPECT_EQ(badLine("0\n"), 1);
  EXPECT_EQ(badLine("99999999999999999999 dump\n"), 1);
  EXPECT_EQ(badLine("0 DUMP\n"), 1);
  EXPECT_EQ(badLine("0 dump\n\n# fine\n7 end\n"), 0);
}

}  // namespace
}  // namespace torvin::sim
