#include "script/perform.h"

#include "script/json_output.h"

namespace torvin::script {

std::optional<std::string> perform(const Action& action, Scheduler& scheduler, const Form1& form) {
  switch (action.kind) {
    case ActionKind::Click:
      scheduler.click(action.button == Button::Command1 ? 1 : 2);
      break;
    case ActionKind::Key:
      scheduler.pressKey(action.keyCode);
      break;
    case ActionKind::Close:
      scheduler.close();
      break;
    case ActionKind::Dump:
      return snapshotJson(scheduler.clock(), form, scheduler.openBox());
    case ActionKind::End:
      break;
  }
  return std::nullopt;
}

}  // namespace torvin::script
