// The bash completion of the program, written from the command references.
#include <algorithm>

#include "app/cli/CommandReference.h"
#include "app/commands/GlobalOptions.h"

namespace vemo {
namespace {

// The helpers and the frame of the completion function; @COMMANDS@, @GLOBALS@, @OPTIONS@ and
// @ARGUMENTS@ are filled from the table.
constexpr const char* kScript = R"(# bash completion for VemoGPS, written by the build from the command table: do not edit.

# Files whose names end in one of the extensions ("dxf|GPS3dVector"), in any letter case as
# the program finds them, and folders to go through; no extensions: any file.
_VemoGPS_files() {
  local IFS=$'\n' saved
  saved=$(shopt -p extglob nocasematch)
  shopt -s extglob nocasematch
  compopt -o filenames 2>/dev/null
  if [[ -n $1 ]]; then
    local path
    COMPREPLY+=($(compgen -d -- "$cur"))
    for path in $(compgen -f -- "$cur"); do
      [[ ! -d $path && $path == *.@($1) ]] && COMPREPLY+=("$path")
    done
  else
    COMPREPLY+=($(compgen -f -- "$cur"))
  fi
  eval "$saved"
}

_VemoGPS_directories() {
  local IFS=$'\n'
  compopt -o filenames 2>/dev/null
  COMPREPLY+=($(compgen -d -- "$cur"))
}

_VemoGPS_words() {
  local IFS=$' \n'
  COMPREPLY+=($(compgen -W "$1" -- "$cur"))
}

_VemoGPS() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  local commands='@COMMANDS@'
  COMPREPLY=()
  # The options before the command, then the command.
  local i=1 command=
  while ((i < COMP_CWORD)); do
    case ${COMP_WORDS[i]} in
      --project) ((i += 2)) ;;
      -*) ((i += 1)) ;;
      *) command=${COMP_WORDS[i]}; break ;;
    esac
  done
  if [[ -z $command ]]; then
    if [[ $prev == --project ]]; then
      _VemoGPS_files prj
    elif [[ $cur == -* ]]; then
      _VemoGPS_words '@GLOBALS@'
    else
      _VemoGPS_words "$commands"
      # VemoGPS FILE.prj opens the project in the desktop.
      _VemoGPS_files prj
    fi
    return 0
  fi
  # The command's options ("valued" take a value) and the values that can be offered.
  local options= valued=
  case $command in
@OPTIONS@  esac
  if [[ " $valued " == *" $prev "* ]]; then
    return 0
  fi
  if [[ $cur == -* ]]; then
    _VemoGPS_words "$options"
    return 0
  fi
  # Which argument of the command this word is: options and their values do not count.
  local n=0 j
  for ((j = i + 1; j < COMP_CWORD; j++)); do
    if [[ ${COMP_WORDS[j]} == -* ]]; then
      [[ " $valued " == *" ${COMP_WORDS[j]} "* ]] && ((j++))
    else
      ((n++))
    fi
  done
  case $command:$n in
@ARGUMENTS@  esac
  return 0
}
complete -F _VemoGPS VemoGPS
)";

void Replace(std::string& text, const std::string& key, const std::string& value) {
  text.replace(text.find(key), key.size(), value);
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : " ") + item;
  return out;
}

// "*.dxf" -> "dxf"; patterns of other forms ("*.GPS*") cannot be told by an ending and offer
// any file.
std::string Extensions(const std::vector<std::string>& patterns) {
  std::string out;
  for (const std::string& p : patterns) {
    if (p.rfind("*.", 0) != 0 || p.find_first_of("*?[", 2) != std::string::npos) return "";
    out += (out.empty() ? "" : "|") + p.substr(2);
  }
  return out;
}

// The completion of one value or argument, or nothing when none can be offered.
std::string Offer(const ValueReference& value) {
  std::vector<std::string> calls;
  if (!value.words.empty()) calls.push_back("_VemoGPS_words '" + Join(value.words) + "'");
  switch (value.kind) {
    case ValueKind::File: calls.push_back("_VemoGPS_files '" + Extensions(value.patterns) + "'"); break;
    case ValueKind::Directory: calls.push_back("_VemoGPS_directories"); break;
    case ValueKind::Command: calls.push_back("_VemoGPS_words \"$commands\""); break;
    case ValueKind::None:
    case ValueKind::Words: break;
  }
  std::string out;
  for (const std::string& call : calls) out += (out.empty() ? "" : "; ") + call;
  return out;
}

}  // namespace

std::string BashCompletion(const std::vector<CommandReference>& commands) {
  std::vector<std::string> names;
  for (const CommandReference& c : commands) names.push_back(c.name);
  std::vector<std::string> globals;
  for (const GlobalOption& o : GlobalOptions()) globals.push_back(o.name);

  std::string options;
  std::string arguments;
  for (const CommandReference& c : commands) {
    std::vector<std::string> all;
    std::vector<std::string> valued;
    std::string values;
    for (const OptionReference& o : c.options) {
      all.push_back(o.name);
      if (o.value.hint.empty()) continue;
      valued.push_back(o.name);
      const std::string offer = Offer(o.value);
      if (!offer.empty()) values += "        " + o.name + ") " + offer + "; return 0 ;;\n";
    }
    options += "    " + c.name + ")\n      options='" + Join(all) + "'\n      valued='" + Join(valued) + "'\n";
    if (!values.empty()) options += "      case $prev in\n" + values + "      esac\n";
    options += "      ;;\n";
    // Each argument at its place; one that repeats takes every place after the others.
    for (size_t k = 0; k < c.arguments.size(); ++k) {
      const ArgumentReference& a = c.arguments[k];
      const std::string offer = Offer(a.value);
      if (offer.empty()) continue;
      const std::string place = a.repeats ? "*" : std::to_string(k);
      arguments += "    " + c.name + ":" + place + ") " + offer + " ;;\n";
    }
  }
  std::string script = kScript;
  Replace(script, "@COMMANDS@", Join(names));
  Replace(script, "@GLOBALS@", Join(globals));
  Replace(script, "@OPTIONS@", options);
  Replace(script, "@ARGUMENTS@", arguments);
  return script;
}

}  // namespace vemo
