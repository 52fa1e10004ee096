// The program's command line: global options, start-up, one command, exit.
//   VemoGPS [--project FILE.prj] [--yes | --no] [--print] COMMAND [ARGUMENTS...]
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vemo {

class PlatformHost;

// Runs one command line (without the program name) with the given host installed; returns
// the exit status: 0 done, 1 a failure the system reported, 2 a usage error or a disabled
// command. Usage errors are written to standard error.
int RunCommandLine(const std::vector<std::string>& arguments);

// Runs a command's handler so that nothing it throws ends the program: a usage error is
// written as RunCommandLine writes one, naming the command's help (status 2); a lack of memory
// or any other exception is a message through the platform layer and status 1. Otherwise the
// handler's own status.
int RunGuarded(const std::function<int()>& handler, const char* command);

}  // namespace vemo
