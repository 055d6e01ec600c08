#include "script/recording_line.h"

namespace torvin::script {

std::string recordingLine(long long time, const Action& action) {
  std::string line = std::to_string(time);
  switch (action.kind) {
    case ActionKind::Click:
      line += " click ";
      line += buttonName(action.button);
      break;
    case ActionKind::Key:
      line += " key " + std::to_string(action.keyCode);
      break;
    case ActionKind::Close:
      line += " close";
      break;
    case ActionKind::Dump:
      line += " dump";
      break;
    case ActionKind::End:
      line += " end";
      break;
  }
  line += '\n';
  return line;
}

}  // namespace torvin::script
