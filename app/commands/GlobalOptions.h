// The options that come before a command on the command line. One table, so that help, the
// manual page and the shell completion say the same; the command line parses them itself.
#pragma once

#include <vector>

namespace vemo {

struct GlobalOption {
  const char* name;   // "--project"
  const char* value;  // what follows it ("FILE.prj"), or nullptr for a switch
  const char* help;   // one line
};

const std::vector<GlobalOption>& GlobalOptions();

}  // namespace vemo
