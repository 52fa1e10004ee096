// The command set: one row a menu command, from which the command line is built (and, later,
// the desktop menus). A command is listed only when its engine exists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/cli/Args.h"

namespace vemo {

// What a command's handler gets: its own arguments, already separated from the global ones.
struct CommandContext {
  Args args;
};

// Exit statuses of a command.
constexpr int kCommandDone = 0;
constexpr int kCommandFailed = 1;  // a failure the system reported in a message
constexpr int kCommandUsage = 2;   // a usage error or a disabled command

struct CommandSpec {
  int id;                  // menu command identifier
  const char* menuText;    // UTF-8, as the menu shows it
  const char* prompt;      // UTF-8 status-bar prompt, or nullptr
  bool needsProject;       // subject to the enabling rule (a project is open)
  const char* name;        // command-line name
  const char* synopsis;    // arguments, for help
  const char* summary;     // one line, for help
  const char* details;     // option descriptions, for "help COMMAND"
  int (*run)(CommandContext&);
};

const std::vector<CommandSpec>& Commands();
const CommandSpec* FindCommand(std::string_view name);

// The enabling rule: a command that needs a project is enabled exactly when one is open.
bool IsCommandEnabled(const CommandSpec& command);

}  // namespace vemo
