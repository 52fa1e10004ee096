// The command set: one row a menu command, from which the command line is built (and, later,
// the desktop menus). A row without a handler is a menu command whose engine does not exist
// yet: the desktop may show it disabled, the command line neither lists nor accepts it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/commands/Args.h"

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
  int id;                  // menu command identifier (0: a dialog button without a menu entry)
  const char* menuText;    // UTF-8, as the menu shows it
  const char* prompt;      // UTF-8 string table entry "status-bar prompt\ntooltip", or nullptr
  bool needsProject;       // subject to the enabling rule (a project is open)
  const char* name;        // command-line name, or nullptr for desktop-only commands
  const char* synopsis;    // arguments, for help
  const char* summary;     // one line, for help
  const char* details;     // option descriptions, for "help COMMAND"
  int (*run)(CommandContext&);  // nullptr while the command's engine does not exist
  // Several menu commands share one command-line name and are told apart by its first
  // argument ("enter known-xyz", "show-result 3d"); that argument, or nullptr.
  const char* selector = nullptr;
};

// Every menu command, in menu order, with or without a handler.
const std::vector<CommandSpec>& MenuCommands();
const CommandSpec* FindMenuCommand(int id);

// The menus of the desktop's main window: each menu holds the rows of MenuCommands() from its
// first command up to the first command of the next menu (rows without an identifier are
// dialog buttons and stay out of the menus).
struct MenuSpec {
  const char* title;  // UTF-8
  int firstCommand;
};
const std::vector<MenuSpec>& Menus();

// The commands of the command line: one row per name, only those whose handler exists.
const std::vector<CommandSpec>& Commands();
const CommandSpec* FindCommand(std::string_view name);

// The enabling rule: a command that needs a project is enabled exactly when one is open.
bool IsCommandEnabled(const CommandSpec& command);

}  // namespace vemo
