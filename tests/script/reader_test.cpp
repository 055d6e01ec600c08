// The script reader: what it takes and what it refuses, with the line number.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <streambuf>

#include "script/reader.h"

namespace torvin::script {
namespace {

std::vector<Action> read(const std::string& text) {
  std::istringstream in(text);
  return readScript(in);
}

// A string literal with the NUL bytes in it.
template <std::size_t N>
std::string bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

// What the reader said when it refused a script.
struct Refusal {
  long long line = -1;
  std::string what;
  bool operator==(const Refusal&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Refusal& refusal) {
  return out << "line " << refusal.line << ": " << refusal.what;
}

template <class Reading>
Refusal refusal(Reading reading) {
  try {
    reading();
  } catch (const ScriptError& error) {
    return {error.line(), error.what()};
  }
  return {};
}

long long badLine(const std::string& text) {
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
      "10\tkey\t65535\n"
      "20 close\n"
      " \t\n"
      "20 dump\n"
      "30 click Command2\n"
      "30 end");  // the last line may lack its line feed
  ASSERT_EQ(script.size(), 7U);
  EXPECT_EQ(script[0].kind, ActionKind::Click);
  EXPECT_EQ(script[0].button, Button::Command1);
  EXPECT_EQ(script[0].line, 3);
  EXPECT_EQ(script[1].keyCode, 'R');
  EXPECT_EQ(script[2].keyCode, 65535);
  EXPECT_EQ(script[5].button, Button::Command2);
  EXPECT_EQ(script[6].kind, ActionKind::End);
  EXPECT_EQ(script[6].time, 30);
  EXPECT_EQ(script[6].line, 10);
}

TEST(ScriptReader, RefusesBadLinesNamingThem) {
  EXPECT_EQ(badLine("0 dump\n5 jump\n"), 2);
  EXPECT_EQ(badLine("10 dump\n5 dump\n"), 2);  // time goes backwards
  EXPECT_EQ(badLine("-1 dump\n"), 1);
  EXPECT_EQ(badLine("+1 dump\n"), 1);
  EXPECT_EQ(badLine("1.5 dump\n"), 1);
  EXPECT_EQ(badLine("1e3 dump\n"), 1);
  EXPECT_EQ(badLine("0x10 dump\n"), 1);
  EXPECT_EQ(badLine("0 click Command3\n"), 1);
  EXPECT_EQ(badLine("0 click\n"), 1);
  EXPECT_EQ(badLine("0 click Command1 Command2\n"), 1);
  EXPECT_EQ(badLine("0 key 65536\n"), 1);
  EXPECT_EQ(badLine("0 key -1\n"), 1);
  EXPECT_EQ(badLine("0 key AB\n"), 1);
  EXPECT_EQ(badLine("0 key \xC3\xA9\n"), 1);
  EXPECT_EQ(badLine("0 key\n"), 1);
  EXPECT_EQ(badLine("0 key A B\n"), 1);
  EXPECT_EQ(badLine("0 dump now\n"), 1);
  EXPECT_EQ(badLine("0\n"), 1);
  EXPECT_EQ(badLine("99999999999999999999 dump\n"), 1);
  EXPECT_EQ(badLine("0 DUMP\n"), 1);
  EXPECT_EQ(badLine("0 dump\n\n# fine\n7 end\n"), 0);
}

TEST(ScriptReader, EveryRefusalIsOneSentenceNamingTheScript) {
  std::istringstream in("0 dump\n5 jump\n");
  EXPECT_EQ(refusal([&] { readScript(in, "play.script"); }),
            (Refusal{2,
                     "play.script: line 2: unknown action 'jump' (click, key, close, dump or "
                     "end)"}));

  const std::string folder = ::testing::TempDir();
  const std::string missing = folder + "no-such.script";
  EXPECT_EQ(refusal([&] { readScriptFile(missing); }),
            (Refusal{0, "cannot read the script " + missing + " (No such file or directory)"}));
  EXPECT_EQ(refusal([&] { readScriptFile(folder); }),
            (Refusal{0, folder + " is a folder, not a script"}));
  // A file that opens but cannot be read.
  EXPECT_EQ(refusal([&] { readScriptFile("/proc/self/mem"); }),
            (Refusal{0, "/proc/self/mem: it cannot be read (Input/output error)"}));
}

TEST(ScriptReader, NumbersTakeAnyDigitsUpToTheirLargestValue) {
  const auto script = read(
      "000000000000000000000000000000000000000042 key 0000000000000000000000065\n"
      "9007199254740991 key 65535\n");
  EXPECT_EQ(script[0].time, 42);
  EXPECT_EQ(script[0].keyCode, 65);
  EXPECT_EQ(script[1].time, kMaxScriptTime);
  EXPECT_EQ(badLine("9007199254740992 dump\n"), 1);
  EXPECT_EQ(badLine("0 key 000000000000065536\n"), 1);
  EXPECT_EQ(badLine("18446744073709551617 dump\n"), 1);  // past 64 bits: no wrap to 1

  EXPECT_EQ(parseWholeNumber("007", 10), 7);
  EXPECT_EQ(parseWholeNumber("", 10), std::nullopt);
  EXPECT_EQ(parseWholeNumber("11", 10), std::nullopt);
  EXPECT_EQ(parseWholeNumber(" 1", 10), std::nullopt);
  EXPECT_EQ(parseWholeNumber("\xD9\xA1", 10), std::nullopt);  // an Arabic-Indic one
}

TEST(ScriptReader, ControlCharactersOnlyInComments) {
  // Space and tab separate fields; every other control character is an error...
  for (const char* bad :
       {"0\vdump\n", "0 dump\f\n", "0 du\rmp\n", "0 dump\x7F\n", "0 dump\x1B[0m\n"}) {
    EXPECT_EQ(badLine(std::string("# ok\n") + bad), 2) << bad;
  }
  EXPECT_EQ(badLine(bytes("0 dump\n5 dump\0\n")), 2);
  EXPECT_EQ(badLine("0 dump\r"), 1);  // a CR is dropped only right before a LF
  EXPECT_EQ(badLine("0 dump\r\r\n"), 1);
  // ...but a comment may hold any bytes.
  const auto script = read(bytes("#\0\x01\r\x7F\xFF\xFE any bytes\r\n  # indented\v\n5 dump\n"));
  ASSERT_EQ(script.size(), 1U);
  EXPECT_EQ(script[0].line, 3);
}

// An endless source of one byte, that counts how much was taken from it.
class Endless : public std::streambuf {
 public:
  explicit Endless(char byte) { chunk_.assign(4096, byte); }
  std::size_t served = 0;

 protected:
  int_type underflow() override {
    setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
    served += chunk_.size();
    return traits_type::to_int_type(chunk_[0]);
  }

 private:
  std::string chunk_;
};

TEST(ScriptReader, ALineOverTheLimitIsRefusedWithoutReadingOn) {
  const std::string longest(kMaxLineBytes, 'x');
  EXPECT_EQ(badLine("0 dump\n#" + longest.substr(1) + "\n1 dump\n"), 0);
  EXPECT_EQ(badLine("0 dump\n#" + longest.substr(1) + "\r\n1 dump\n"), 0);
  EXPECT_EQ(badLine("0 dump\n#" + longest + "\n1 dump\n"), 2);
  EXPECT_EQ(badLine("0 dump\n1 dump " + longest + "\n"), 2);
  EXPECT_EQ(badLine("0 dump\n#" + longest), 2);  // also at the end, without a line feed

  for (const char byte : {'#', '\0', ' '}) {
    Endless source(byte);
    std::istream in(&source);
    try {
      readScript(in);
      FAIL() << "an endless line was taken";
    } catch (const ScriptError& error) {
      EXPECT_EQ(error.line(), 1);
    }
    EXPECT_LT(source.served, 4 * kMaxLineBytes) << "byte " << int{byte};
  }
}

// A source that fails after some good lines.
class Failing : public std::streambuf {
 protected:
  int_type underflow() override {
    if (lines_-- == 0) {
      throw std::runtime_error("the disk is failing");
    }
    setg(text_, text_, text_ + 7);
    return traits_type::to_int_type(text_[0]);
  }

 private:
  char text_[8] = "0 dump\n";
  int lines_ = 3;
};

TEST(ScriptReader, AnInputThatFailsOrIsAFolderIsNotAnEmptyScript) {
  Failing failing;
  std::istream in(&failing);
  EXPECT_EQ(refusal([&] { readScript(in, "disk.script"); }),
            (Refusal{0, "disk.script: it cannot be read"}));

  const int folder = ::open(::testing::TempDir().c_str(), O_RDONLY);
  ASSERT_GE(folder, 0);
  EXPECT_EQ(refusal([&] { readScript(folder, "<stdin>"); }),
            (Refusal{0, "<stdin>: it is a folder, not a script"}));
  ::close(folder);

  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_EQ(::write(ends[1], "0 dump\n4 end", 12), 12);
  ::close(ends[1]);
  const auto script = readScript(ends[0], "<stdin>");
  ::close(ends[0]);
  ASSERT_EQ(script.size(), 2U);
  EXPECT_EQ(script[1].time, 4);
}

// What the reader says about a bad line, whole, as the player reads it.
std::string refusal(const std::string& text) {
  try {
    read(text);
  } catch (const ScriptError& error) {
    return error.what();
  }
  return "(taken)";
}

TEST(ScriptReader, SaysWhatIsWrongInWholeSentences) {
  // A field is quoted whole up to 40 bytes; a longer one is cut there, with "...".
  const std::string forty(40, 'x');
  const std::string actions = " (click, key, close, dump or end)";
  const std::string times =
      "the time must be a whole number of milliseconds from 0 to "
      "9007199254740991, not ";
  const std::pair<std::string, std::string> cases[] = {
      {"0 " + forty + "\n", "line 1: unknown action '" + forty + "'" + actions},
      {"0 " + forty + "y\n", "line 1: unknown action '" + forty + "...'" + actions},
      {"0 dump\n" + forty + " dump\n", "line 2: " + times + "'" + forty + "'"},
      {"0 key \xC3\xA9\n",
       "line 1: key wants a letter A-Z or a key code from 0 to 65535, not '\\xC3\\xA9'"},
      // DEL is a control character, wherever it stands outside a comment.
      {"0 dump\n5 dump\x7F\n", "line 2: a control character (0x7F) outside a comment"},
      {"0 du\x7Fmp\n", "line 1: a control character (0x7F) outside a comment"},
      {"\x7F\n", "line 1: a control character (0x7F) outside a comment"},
      {"0 dump\x1B[0m\n", "line 1: a control character (0x1B) outside a comment"},
      {"-1 dump\n", "line 1: " + times + "'-1'"},
      {"10 dump\n5 dump\n", "line 2: the time 5 is earlier than the line before (10)"},
      {"0 click Command3\n", "line 1: click wants one button: Command1 or Command2"},
      {"0 key\n", "line 1: key wants one key: a letter A-Z or a key code"},
      {"0 dump now\n", "line 1: dump takes no argument"},
      {"0\n", "line 1: an action must follow the time"},
      {"0 dump\n#" + std::string(kMaxLineBytes, 'x') + "\n",
       "line 2: the line is longer than 65536 bytes"},
  };
  for (const auto& [script, sentence] : cases) {
    EXPECT_EQ(refusal(script), sentence);
  }
}

}  // namespace
}  // namespace torvin::script
