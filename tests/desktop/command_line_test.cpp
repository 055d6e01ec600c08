// The game's command line, read in-process: every option in both spellings,
// and every refusal with its sentence.
#include <gtest/gtest.h>

#include "desktop/options.h"

namespace torvin::desktop {
namespace {

using Arguments = std::vector<std::string>;

TEST(GameCommandLine, TakesEveryOptionBothWays) {
  for (const Arguments& arguments :
       {Arguments{"--stats", "--quit-after", "2.5", "--record", "r.script", "--replay", "p.script",
                  "--dump-at-exit", "--zoom", "1.5", "--show-points"},
        Arguments{"--zoom=1.5", "--show-points", "--replay=p.script", "--dump-at-exit",
                  "--record=r.script", "--quit-after=2.5", "--stats"}}) {
    const CommandLine line = readOptions(arguments);
    ASSERT_EQ(line.refusal, "") << arguments[0];
    const Options& o = line.options;
    EXPECT_TRUE(o.stats);
    EXPECT_EQ(o.quitAfter, 2.5);
    EXPECT_EQ(o.record, "r.script");
    EXPECT_EQ(o.replay, "p.script");
    EXPECT_TRUE(o.dumpAtExit);
    EXPECT_EQ(o.zoom, 1.5);
    EXPECT_TRUE(o.showPoints);
  }
  const Options none = readOptions({}).options;
  EXPECT_FALSE(none.stats || none.dumpAtExit || none.quitAfter || none.record || none.replay ||
               none.zoom || none.showPoints);
  // File names are bytes, equals signs and all.
  EXPECT_EQ(readOptions({"--record=caf\xE9=1"}).options.record, "caf\xE9=1");
  EXPECT_EQ(readOptions({"--quit-after", ".5"}).options.quitAfter, 0.5);
  EXPECT_EQ(readOptions({"--quit-after", "604800"}).options.quitAfter, 604800.0);
  EXPECT_EQ(readOptions({"--zoom", "10"}).options.zoom, 10.0);
}

TEST(GameCommandLine, RefusesWithASentence) {
  const std::string seconds = "--quit-after needs a number of seconds from 0.001 to 604800, not ";
  const std::string factor = "--zoom needs a factor from 1 to 10, not ";
  const struct {
    Arguments arguments;
    std::string refusal;
  } cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"play.script"}, "unknown argument 'play.script'"},
      {{"--stats=1"}, "--stats takes no value"},
      {{"--dump-at-exit=no"}, "--dump-at-exit takes no value"},
      {{"--show-points=yes"}, "--show-points takes no value"},
      {{"--record"}, "--record needs a value"},
      {{"--record="}, "--record needs a value, not an empty one"},
      {{"--replay", ""}, "--replay needs a value, not an empty one"},
      {{"--quit-after"}, "--quit-after needs a value"},
      {{"--quit-after="}, "--quit-after needs a value, not an empty one"},
      {{"--quit-after", "0"}, seconds + "'0'"},
      {{"--quit-after", "604801"}, seconds + "'604801'"},
      {{"--quit-after", "1e3"}, seconds + "'1e3'"},
      {{"--quit-after", "nan"}, seconds + "'nan'"},
      {{"--quit-after", "-1"}, seconds + "'-1'"},
      {{"--quit-after", "1,5"}, seconds + "'1,5'"},
      {{"--quit-after", "."}, seconds + "'.'"},
      {{"--zoom", "0.5"}, factor + "'0.5'"},
      {{"--zoom", "11"}, factor + "'11'"},
      {{"--zoom=abc"}, factor + "'abc'"},
  };
  for (const auto& [arguments, refusal] : cases) {
    EXPECT_EQ(readOptions(arguments).refusal, refusal) << arguments[0];
  }
}

TEST(GameCommandLine, HelpAndVersionAnywhere) {
  EXPECT_NE(answerAtOnce({"--zoom", "2", "--help"}).value_or("").find("--record FILE"),
            std::string::npos);
  EXPECT_EQ(answerAtOnce({"-h"}), answerAtOnce({"--help"}));
  EXPECT_EQ(answerAtOnce({"-v"}).value_or("").rfind("torvin ", 0), 0U);
  EXPECT_EQ(answerAtOnce({"--stats"}), std::nullopt);
}

}  // namespace
}  // namespace torvin::desktop
