// The program's command line: global options, start-up, one command, exit.
//   VemoGPS [--project FILE.prj] [--yes | --no] [--print] COMMAND [ARGUMENTS...]
#pragma once

#include <string>
#include <vector>

namespace vemo {

class PlatformHost;

// Runs one command line (without the program name) with the given host installed; returns
// the exit status: 0 done, 1 a failure the system reported, 2 a usage error or a disabled
// command. Usage errors are written to standard error.
int RunCommandLine(const std::vector<std::string>& arguments);

}  // namespace vemo
