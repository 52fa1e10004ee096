// VemoGPS: with a command it runs headless on the command line; without one (or with only a
// project file to open) it starts the desktop front end.
#include <clocale>
#include <string>
#include <vector>

#include "app/cli/CommandLine.h"
#include "app/desktop/DesktopApp.h"

int main(int argc, char** argv) {
  // Numbers are read and written in the "C" locale whatever the user's locale is.
  std::setlocale(LC_ALL, "C");
  std::vector<std::string> arguments(argv + 1, argv + argc);
  vemo::DesktopStart start;
  if (vemo::ParseDesktopArguments(arguments, start)) return vemo::RunDesktop(argc, argv, start);
  return vemo::RunCommandLine(arguments);
}
