#include "app/commands/CommandTable.h"

#include "app/AppState.h"
#include "app/commands/Handlers.h"

namespace vemo {

const std::vector<CommandSpec>& Commands() {
  static const std::vector<CommandSpec> table = {
      {32816, u8"新建工程", nullptr, false, "new-project", "--name N --dir D [project options]",
       "create a project (directory and project file) and make it current", kProjectOptionsHelp,
       RunNewProject},
      {32828, u8"设置", nullptr, false, "settings", "[project options]",
       "show or change the settings of the current project", kProjectOptionsHelp, RunSettings},
      {0, u8"定义坐标系统", nullptr, false, "coordinate-systems", "[--add NAME A INVF]... [--remove NAME]...",
       "list, add or remove the reference ellipsoids offered for selection", kCoorsSystemsHelp,
       RunCoordinateSystems},
      {57667, u8"帮助主题(&H)", nullptr, false, "help", "[COMMAND]", "list the commands, or show one command's options",
       "", RunHelp},
  };
  return table;
}

const CommandSpec* FindCommand(std::string_view name) {
  for (const auto& c : Commands())
    if (name == c.name) return &c;
  return nullptr;
}

bool IsCommandEnabled(const CommandSpec& command) {
  return !command.needsProject || Project().projectOpen == 1;
}

}  // namespace vemo
