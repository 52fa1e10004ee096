#include "app/commands/GlobalOptions.h"

namespace vemo {

const std::vector<GlobalOption>& GlobalOptions() {
  static const std::vector<GlobalOption> options = {
      {"--project", "FILE.prj", "open that project first (enables the project commands)"},
      {"--yes", nullptr, "answer every question with yes"},
      {"--no", nullptr, "answer every question with no; without either, the answer that keeps files"},
      {"--print", nullptr, "print the content of every document that opens"},
      {"--version", nullptr, "show the program's version and exit"},
      {"--help", nullptr, "the same as the help command"},
  };
  return options;
}

}  // namespace vemo
