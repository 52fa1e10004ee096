// What the manual page and the shell completion say about the command line, read from the
// command table (names, synopses, option texts, the desktop's file dialogs with their
// filters), so that neither is ever kept by hand: the build writes both with
// packaging/generate_command_docs.
#pragma once

#include <string>
#include <vector>

#include "app/commands/CommandTable.h"

namespace vemo {

// What may stand where a value or an argument goes.
enum class ValueKind {
  None,       // a switch, or a value nothing can suggest (a number, a name)
  Words,      // one of fixed words
  File,       // a path to a file (of the kinds in patterns; none: any file), perhaps also a word
  Directory,  // a path to a folder
  Command,    // the name of a command
};

struct ValueReference {
  std::string hint;                   // as the synopsis writes it: "FILE", "chain|radial|all", ""
  ValueKind kind = ValueKind::None;
  std::vector<std::string> words = {};     // the fixed words it may be
  std::vector<std::string> patterns = {};  // file name patterns ("*.dxf") of a File
};

struct OptionReference {
  std::string name;  // "--rule"
  ValueReference value = {};
};

struct ArgumentReference {
  ValueReference value;  // its hint is the argument's name ("OUTPUT") or its words
  bool optional = false;
  bool repeats = false;  // "FILE...": the last argument, as many as given
};

struct CommandReference {
  std::string name;
  std::string synopsis;
  std::string summary;
  std::string details;
  std::vector<std::string> menuTexts = {};  // UTF-8, every menu command the name stands for
  bool needsProject = false;
  std::vector<OptionReference> options = {};  // in the order the synopsis, then the details, name them
  std::vector<ArgumentReference> arguments = {};
};

// One entry a command-line command (menu rows without a handler or a name stay out), in the
// order of the table, from menu rows as MenuCommands() gives them.
std::vector<CommandReference> DescribeCommands(const std::vector<CommandSpec>& menuCommands);

// The manual page VemoGPS(1) in man(7) markup; ASCII only (other characters as \[uXXXX]).
std::string ManPage(const std::vector<CommandReference>& commands, const std::string& version);

// A bash completion script for VemoGPS: command names, each command's options and their
// values, and its arguments (fixed words, files of the kind the command reads).
std::string BashCompletion(const std::vector<CommandReference>& commands);

}  // namespace vemo
