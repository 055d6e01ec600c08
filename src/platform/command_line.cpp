#include "platform/command_line.h"

#include <algorithm>
#include <optional>

namespace torvin {

std::string readCommandLine(const std::vector<std::string>& arguments,
                            const std::vector<OptionRule>& rules, const OperandRule& operand) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::optional<std::string> value;  // given after an equals sign
    if (const std::size_t equals = name.find('=');
        name.starts_with("--") && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const auto rule = std::find_if(rules.begin(), rules.end(), [&name](const OptionRule& r) {
      return name == r.name || (!r.shortName.empty() && name == r.shortName);
    });
    if (rule == rules.end()) {
      if (name.size() > 1 && name[0] == '-') {
        return "unknown option '" + arguments[i] + "'";
      }
      if (!operand) {
        return "unknown argument '" + arguments[i] + "'";
      }
      if (std::string refused = operand(arguments[i]); !refused.empty()) {
        return refused;
      }
      continue;
    }
    if (!rule->takesValue && value) {
      return name + " takes no value";
    }
    if (rule->takesValue && !value) {
      if (i + 1 >= arguments.size()) {
        return name + " needs a value";
      }
      value = arguments[++i];
    }
    if (rule->takesValue && value->empty()) {
      return name + " needs a value, not an empty one";
    }
    if (std::string refused = rule->take(value.value_or("")); !refused.empty()) {
      return refused;
    }
    if (rule->answersAtOnce) {
      break;
    }
  }
  return "";
}

}  // namespace torvin
