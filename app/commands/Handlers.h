// Command-line handlers of the commands, grouped by subsystem in their own source files.
#pragma once

#include "app/commands/CommandTable.h"

namespace vemo {

extern const char* const kProjectOptionsHelp;
extern const char* const kCoorsSystemsHelp;

// Project life cycle (ProjectCommands.cpp).
int RunNewProject(CommandContext& context);
int RunSettings(CommandContext& context);
int RunCoordinateSystems(CommandContext& context);

// Help (HelpCommand.cpp).
int RunHelp(CommandContext& context);

}  // namespace vemo
