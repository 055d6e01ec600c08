// Recordings round trip: a run written down with the recording writer always
// reads back, through the script reader of every host, as the very actions
// that were written; and a script the reader takes, written out again, reads
// back the same. A replay presses every key at the moment the game heard it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "script/reader.h"
#include "script/recording_line.h"

namespace {

using torvin::script::Action;
using torvin::script::ActionKind;

// What a recording keeps of an action: its time, its kind and its argument.
bool same(const Action& a, const Action& b) {
  if (a.time != b.time || a.kind != b.kind) {
    return false;
  }
  switch (a.kind) {
    case ActionKind::Click:
      return a.button == b.button;
    case ActionKind::Key:
      return a.keyCode == b.keyCode;
    default:
      return true;
  }
}

std::string written(const std::vector<Action>& actions) {
  std::string text;
  for (const Action& action : actions) {
    text += torvin::script::recordingLine(action.time, action);
  }
  return text;
}

// Reads `text` back and traps unless it holds `actions`, one per line.
void readsBackAs(const std::string& text, const std::vector<Action>& actions) {
  std::istringstream in(text);
  std::vector<Action> read;
  try {
    read = torvin::script::readScript(in);
  } catch (const torvin::script::ScriptError&) {
    __builtin_trap();  // the reader refused what the writer wrote
  }
  if (read.size() != actions.size()) {
    __builtin_trap();
  }
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (!same(read[i], actions[i]) || read[i].line != static_cast<long long>(i) + 1) {
      __builtin_trap();  // an action came back other than it was written
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The bytes as a run: actions at times that never go back, up to the
  // largest a script may name, with any key code and either button.
  FuzzedDataProvider bytes(data, size);
  std::vector<Action> run;
  long long time = 0;
  while (bytes.remaining_bytes() > 0 && run.size() < 4096) {
    Action action;
    const auto step = bytes.ConsumeIntegral<std::uint8_t>();
    time = step == 255
               ? bytes.ConsumeIntegralInRange<long long>(time, torvin::script::kMaxScriptTime)
               : std::min(time + step, torvin::script::kMaxScriptTime);
    action.time = time;
    action.kind = static_cast<ActionKind>(
        bytes.ConsumeIntegralInRange<int>(0, static_cast<int>(ActionKind::End)));
    action.button =
        bytes.ConsumeBool() ? torvin::script::Button::Command2 : torvin::script::Button::Command1;
    action.keyCode = bytes.ConsumeIntegral<std::uint16_t>();
    run.push_back(action);
  }
  readsBackAs(written(run), run);

  // The bytes as a script: what the reader takes, written again, is taken again.
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const std::vector<Action> script = torvin::script::readScript(in);
    readsBackAs(written(script), script);
  } catch (const torvin::script::ScriptError&) {
    // refused: nothing to write back
  }
  return 0;
}
