#include "app/cli/CommandReference.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "app/commands/GlobalOptions.h"

namespace vemo {
namespace {

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

void AddOnce(std::vector<std::string>& list, const std::string& item) {
  if (!item.empty() && !Contains(list, item)) list.push_back(item);
}

std::vector<std::string> Split(const std::string& text, const char* separators) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (std::string_view(separators).find(c) != std::string_view::npos) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// A placeholder of the synopses: capitals, digits and '_' ("FILE", "ROWS_FILE", "DMS").
bool IsPlaceholder(const std::string& word) {
  bool letter = false;
  for (char c : word) {
    if (std::islower(static_cast<unsigned char>(c))) return false;
    if (std::isupper(static_cast<unsigned char>(c))) letter = true;
    else if (!std::isdigit(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return letter;
}

// Whether the placeholder of an option's value stands for a file: the synopses call a file
// FILE, F or OUTPUT (a positional placeholder is always a file but COMMAND).
bool NamesFile(const std::string& placeholder) {
  return placeholder == "F" || placeholder == "OUTPUT" || placeholder.find("FILE") != std::string::npos;
}

ValueReference Classify(const std::string& hint, bool positional) {
  ValueReference value{.hint = hint};
  if (hint.find('|') != std::string::npos) {
    for (const std::string& word : Split(hint, "|")) {
      if (IsPlaceholder(word)) value.kind = ValueKind::File;
      else value.words.push_back(word);
    }
    if (value.kind == ValueKind::None) value.kind = ValueKind::Words;
  } else if (hint == "COMMAND") {
    value.kind = ValueKind::Command;
  } else if (hint == "D" || hint == "DIR") {
    value.kind = ValueKind::Directory;
  } else if (IsPlaceholder(hint) && (positional || NamesFile(hint))) {
    value.kind = ValueKind::File;
  }
  return value;
}

bool IsGlobalOption(const std::string& name) {
  for (const GlobalOption& o : GlobalOptions())
    if (name == o.name) return true;
  return false;
}

OptionReference* FindOption(CommandReference& command, const std::string& name) {
  for (OptionReference& o : command.options)
    if (o.name == name) return &o;
  return nullptr;
}

// A synopsis word without its brackets, its "..." and a trailing comma.
struct SynopsisWord {
  std::string text;
  int opens = 0;
  int closes = 0;
  bool repeats = false;
};

SynopsisWord ReadWord(std::string raw) {
  SynopsisWord word;
  while (!raw.empty() && raw.front() == '[') {
    raw.erase(0, 1);
    ++word.opens;
  }
  for (;;) {
    if (raw.size() >= 3 && raw.compare(raw.size() - 3, 3, "...") == 0) {
      raw.resize(raw.size() - 3);
      word.repeats = true;
    } else if (!raw.empty() && (raw.back() == ']' || raw.back() == ',')) {
      if (raw.back() == ']') ++word.closes;
      raw.pop_back();
    } else {
      break;
    }
  }
  word.text = raw;
  return word;
}

// The options and the arguments of a synopsis: "--name VALUE" (a value follows an option
// unless the option's brackets close on it), "[...]" optional, "X..." repeated; words in
// lower case without '|' ("[project options]") only point at the details.
void ReadSynopsis(CommandReference& command) {
  const std::vector<std::string> raw = Split(command.synopsis, " ");
  int depth = 0;
  for (size_t i = 0; i < raw.size(); ++i) {
    SynopsisWord word = ReadWord(raw[i]);
    depth += word.opens;
    if (word.text == "|") {  // "[--alpha0 P | --alpha P]": either option
      depth = std::max(0, depth - word.closes);
      continue;
    }
    const bool optional = depth > 0;
    if (word.text.rfind("--", 0) == 0) {
      OptionReference option{.name = word.text};
      if (word.closes == 0 && i + 1 < raw.size() && raw[i + 1][0] != '[' && raw[i + 1][0] != '-') {
        const SynopsisWord value = ReadWord(raw[++i]);
        option.value = Classify(value.text, false);
        word.closes = value.closes;
        // "--add NAME A INVF": the rest of a bracketed tuple is the same option's.
        while (optional && word.closes == 0 && i + 1 < raw.size()) word.closes = ReadWord(raw[++i]).closes;
      }
      if (!FindOption(command, option.name)) command.options.push_back(option);
    } else if (word.text.find('|') != std::string::npos || IsPlaceholder(word.text)) {
      command.arguments.push_back({Classify(word.text, true), optional, word.repeats});
    }
    depth = std::max(0, depth - word.closes);
  }
}

// Whether "--" at this place of the details describes an option: at the start of a line, in
// a column after two blanks, or after ", " in a list ("--svg F, --pdf F"); an option named in
// a sentence ("settings --baseline-type") may be another command's.
bool DescribesOption(const std::string& text, size_t at) {
  size_t before = at;
  while (before > 0 && text[before - 1] == ' ') --before;
  if (before == 0 || text[before - 1] == '\n') return true;
  return at - before >= 2 || (at - before == 1 && text[before - 1] == ',');
}

// Options that only the details name ("--custom-precision LIST" among the project options),
// and the values of options that the synopsis names without one ("[--model ...]").
void ReadDetails(CommandReference& command) {
  const std::string& text = command.details;
  for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
    if (!DescribesOption(text, at)) continue;
    size_t end = at + 2;
    while (end < text.size() && (std::islower(static_cast<unsigned char>(text[end])) ||
                                 std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '-'))
      ++end;
    const std::string name = text.substr(at, end - at);
    if (name.size() <= 2 || IsGlobalOption(name)) continue;
    OptionReference* known = FindOption(command, name);
    if (known && !known->value.hint.empty()) continue;
    OptionReference option{.name = name};
    // A value follows on the same line after one blank: a placeholder or words with '|'.
    if (end + 1 < text.size() && text[end] == ' ' && text[end + 1] != ' ') {
      size_t stop = end + 1;
      while (stop < text.size() && !std::strchr(" \n", text[stop])) ++stop;
      std::string value = text.substr(end + 1, stop - end - 1);
      while (!value.empty() && std::strchr(",.)", value.back())) value.pop_back();
      if (IsPlaceholder(value) || value.find('|') != std::string::npos) option.value = Classify(value, false);
    }
    if (!known) command.options.push_back(option);
    else if (!option.value.hint.empty()) known->value = option.value;
  }
}

// The filters of the desktop's file dialogs become the kinds of files an argument takes.
void AddPatterns(ValueReference& value, const FileArgument& file) {
  for (const auto& filter : file.filters)
    for (const std::string& pattern : Split(filter.second, "; "))
      if (pattern != "*.*" && pattern != "*") AddOnce(value.patterns, pattern);
}

void ReadFileDialogs(CommandReference& command, const CommandSpec& row) {
  for (const FileArgument& file : row.input.files) {
    if (file.option) {
      if (OptionReference* option = FindOption(command, file.option)) AddPatterns(option->value, file);
      continue;
    }
    for (ArgumentReference& argument : command.arguments)
      if (argument.value.hint == file.name) AddPatterns(argument.value, file);
  }
}

std::string PlainMenuText(std::string text) {
  // "打开(&O)..." is "打开..." outside a menu.
  for (size_t at = text.find("(&"); at != std::string::npos; at = text.find("(&"))
    text.erase(at, text.find(')', at) == std::string::npos ? 2 : text.find(')', at) - at + 1);
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  return text;
}

}  // namespace

std::vector<CommandReference> DescribeCommands(const std::vector<CommandSpec>& menuCommands) {
  std::vector<CommandReference> commands;
  for (const CommandSpec& row : menuCommands) {
    if (!row.name || !row.run) continue;
    auto it = std::find_if(commands.begin(), commands.end(),
                           [&](const CommandReference& c) { return c.name == row.name; });
    if (it == commands.end()) {
      CommandReference command{.name = row.name,
                               .synopsis = row.synopsis ? row.synopsis : "",
                               .summary = row.summary ? row.summary : "",
                               .details = row.details ? row.details : "",
                               .needsProject = row.needsProject};
      ReadSynopsis(command);
      ReadDetails(command);
      commands.push_back(std::move(command));
      it = commands.end() - 1;
    }
    AddOnce(it->menuTexts, PlainMenuText(row.menuText));
    // The rows that share a name are told apart by their first argument.
    if (row.selector && !it->arguments.empty()) {
      ValueReference& first = it->arguments.front().value;
      AddOnce(first.words, row.selector);
      if (first.kind == ValueKind::None) first.kind = ValueKind::Words;
    }
    ReadFileDialogs(*it, row);
  }
  return commands;
}

}  // namespace vemo
