// Feeds arbitrary bytes to the script reader of every host: it must take the script or
// refuse it with a line number, never crash or misbehave.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "script/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const auto script = torvin::script::readScript(in);
    long long last = 0;
    for (const auto& action : script) {
      if (action.time < last || action.time > torvin::script::kMaxScriptTime || action.line < 1) {
        __builtin_trap();  // the reader let a bad line through
      }
      last = action.time;
    }
  } catch (const torvin::script::ScriptError& error) {
    if (error.line() < 1) {
      __builtin_trap();
    }
  }
  return 0;
}
