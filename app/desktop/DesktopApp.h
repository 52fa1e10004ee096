// Start-up and exit of the desktop front end.
#pragma once

#include <string>
#include <vector>

namespace vemo {

struct DesktopStart {
  std::string projectFile;  // "VemoGPS FILE.prj": the project to open after start-up
  bool splash = true;       // "--no-splash" leaves the splash window out
};

// True when the arguments ask for the desktop: none at all, a single project file, and the
// desktop's own option "--no-splash". Anything else is a command line.
bool ParseDesktopArguments(const std::vector<std::string>& arguments, DesktopStart& start);

// Runs the desktop until its main window closes; returns the exit status. Without a display
// it says so and returns 2 instead of failing inside the toolkit.
int RunDesktop(int argc, char** argv, const DesktopStart& start);

}  // namespace vemo
