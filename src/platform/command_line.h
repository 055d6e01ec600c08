// How the programs read their command lines: a table of options, walked by one
// routine. An option is named in full (`--zoom`, and a few by one letter,
// `-h`); one that takes a value takes it as the next argument or after an
// equals sign (`--zoom 2`, `--zoom=2`). An empty value, a value given to a
// switch and an unknown option are refused, each with a sentence.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvin {

struct OptionRule {
  std::string_view name;       // "--zoom"
  std::string_view shortName;  // "-h", or empty
  bool takesValue = false;
  // Takes the option, with its value (empty for a switch). Returns why the
  // value is refused, or an empty string.
  std::function<std::string(const std::string& value)> take;
  // Answered at once (--help, --version): the rest of the command line is not
  // looked at.
  bool answersAtOnce = false;
};

// Takes an argument that is not an option (a file name; "-" alone is one).
// Returns why it is refused, or an empty string.
using OperandRule = std::function<std::string(const std::string& argument)>;

// Walks `arguments` (without the program's name) with `rules`. Arguments that
// are no option go to `operand`; without one they are refused. Returns why
// the command line is refused, or an empty string.
std::string readCommandLine(const std::vector<std::string>& arguments,
                            const std::vector<OptionRule>& rules, const OperandRule& operand = {});

}  // namespace torvin
