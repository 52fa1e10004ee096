// How the desktop runs a menu command: the command's dialog as a form over its record, then
// the command layer, exactly as the command line's handler does after parsing its options.
#pragma once

class QWidget;

namespace vemo {

struct CommandSpec;

// Runs a command that has a handler; returns its exit status. A usage error of the handler
// (an input the desktop did not give) and running out of memory become message boxes.
int RunDesktopCommand(const CommandSpec& command, QWidget* parent);

}  // namespace vemo
