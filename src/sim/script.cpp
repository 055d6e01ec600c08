#include "sim/script.h"

#include <cctype>
#include <charconv>
#include <sstream>

namespace torvin::sim {

namespace {

bool parseWhole(const std::string& text, long long max, long long& value) {
  if (text.empty() || text.size() > 19) {
    return false;
  }
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && value <= max;
}

std::vector<std::string> words(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> result;
  std::string word;
  while (stream >> word) {
    result.push_back(word);
  }
  return result;
}

std::uint16_t parseKey(const std::string& text, int line) {
  if (text.size() == 1 && std::isalpha(static_cast<unsigned char>(text[0]))) {
    return static_cast<std::uint16_t>(std::toupper(static_cast<unsigned char>(text[0])));
  }
  long long code = 0;
  if (!parseWhole(text, 65535, code)) {
    throw ScriptError(line,
                      "key wants a letter A-Z or a key code from 0 to 65535, not '" + text + "'");
  }
  return static_cast<std::uint16_t>(code);
}

Action parseLine(const std::vector<std::string>& w, int line) {
  Action action;
  action.line = line;
  if (!parseWhole(w[0], kMaxScriptTime, action.time)) {
    throw ScriptError(line, "the time must be a whole number of milliseconds, not '" + w[0] + "'");
  }
  if (w.size() < 2) {
    throw ScriptError(line, "an action must follow the time");
  }
  const std::string& verb = w[1];
  const std::size_t arguments = w.size() - 2;
  if (verb == "click") {
    action.kind = ActionKind::Click;
    if (arguments != 1 || (w[2] != "Command1" && w[2] != "Command2")) {
      throw ScriptError(line, "click wants one button: Command1 or Command2");
    }
    action.button = w[2];
  } else if (verb == "key") {
    action.kind = ActionKind::Key;
    if (arguments != 1) {
      throw ScriptError(line, "key wants one key: a letter A-Z or a key code");
    }
    action.keyCode = parseKey(w[2], line);
  } else if (verb == "close" || verb == "dump" || verb == "end") {
    action.kind = verb == "close"  ? ActionKind::Close
                  : verb == "dump" ? ActionKind::Dump
                                   : ActionKind::End;
    if (arguments != 0) {
      throw ScriptError(line, verb + " takes no argument");
    }
  } else {
    throw ScriptError(line, "unknown action '" + verb + "' (click, key, close, dump or end)");
  }
  return action;
}

}  // namespace

std::vector<Action> readScript(std::istream& in) {
  std::vector<Action> script;
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    const std::vector<std::string> w = words(text);
    if (w.empty() || w[0][0] == '#') {
      continue;
    }
    Action action = parseLine(w, line);
    if (!script.empty() && action.time < script.back().time) {
      throw ScriptError(line, "the time " + std::to_string(action.time) +
                                  " is earlier than the line before (" +
                                  std::to_string(script.back().time) + ")");
    }
    script.push_back(std::move(action));
  }
  return script;
}

}  // namespace torvin::sim
