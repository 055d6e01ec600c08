// torvin-sim's command line, read in-process: every option in both spellings,
// and every refusal with its sentence.
#include <gtest/gtest.h>

#include "sim/options.h"

namespace torvin::sim {
namespace {

using Arguments = std::vector<std::string>;

TEST(SimCommandLine, TakesEveryOptionBothWays) {
  for (const Arguments& arguments :
       {Arguments{"--assets", "pics/", "--autoclose", "0700", "--trace", "--every-tick", "--frames",
                  "shots/", "a.script"},
        Arguments{"a.script", "--autoclose=700", "--every-tick", "--assets=pics//", "--trace",
                  "--frames=shots"}}) {
    const CommandLine line = readOptions(arguments);
    ASSERT_EQ(line.refusal, "") << arguments[0];
    EXPECT_EQ(line.options.assets, "pics");
    EXPECT_EQ(line.options.autoclose, 700);
    EXPECT_TRUE(line.options.trace);
    EXPECT_FALSE(line.options.skipIdleTicks);
    EXPECT_EQ(line.script, "a.script");
    EXPECT_EQ(line.frames, "shots");
  }
  const CommandLine plain = readOptions({});
  EXPECT_EQ(plain.refusal, "");
  EXPECT_EQ(plain.script, "-");
  EXPECT_EQ(plain.options.assets, "");
  EXPECT_EQ(plain.options.autoclose, std::nullopt);
  EXPECT_FALSE(plain.options.trace);
  EXPECT_TRUE(plain.options.skipIdleTicks);
  EXPECT_EQ(plain.frames, "");
  EXPECT_EQ(readOptions({"--assets", "/"}).options.assets, "/");
  EXPECT_EQ(readOptions({"--frames", "/"}).frames, "/");
  EXPECT_EQ(readOptions({"-"}).script, "-");
  EXPECT_EQ(readOptions({"--autoclose", "9007199254740991"}).options.autoclose, 9007199254740991LL);
}

TEST(SimCommandLine, HelpAndVersionAreAnsweredAtOnce) {
  EXPECT_TRUE(readOptions({"--help"}).help);
  EXPECT_TRUE(readOptions({"-h"}).help);
  EXPECT_TRUE(readOptions({"--version"}).version);
  // What follows them is not looked at.
  const CommandLine line = readOptions({"--help", "--bogus"});
  EXPECT_TRUE(line.help);
  EXPECT_EQ(line.refusal, "");
}

TEST(SimCommandLine, RefusesWithASentence) {
  const struct {
    Arguments arguments;
    const char* refusal;
  } cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--bogus=1"}, "unknown option '--bogus=1'"},
      {{"--trace=yes"}, "--trace takes no value"},
      {{"--assets"}, "--assets needs a value"},
      {{"--assets="}, "--assets needs a value, not an empty one"},
      {{"--assets", ""}, "--assets needs a value, not an empty one"},
      {{"--autoclose="}, "--autoclose needs a value, not an empty one"},
      {{"--autoclose", "soon"},
       "--autoclose wants a whole number of milliseconds from 0 to 9007199254740991, not 'soon'"},
      {{"--autoclose", "9007199254740992"},
       "--autoclose wants a whole number of milliseconds from 0 to 9007199254740991, not "
       "'9007199254740992'"},
      {{"--autoclose", "-1"},
       "--autoclose wants a whole number of milliseconds from 0 to 9007199254740991, not '-1'"},
      {{"a.script", "b.script"}, "only one script, please"},
      {{"--help=1"}, "--help takes no value"},
  };
  for (const auto& [arguments, refusal] : cases) {
    EXPECT_EQ(readOptions(arguments).refusal, refusal) << arguments[0];
  }
}

}  // namespace
}  // namespace torvin::sim
