// VemoGPS: with a command it runs headless on the command line; the desktop front end will
// start when no command is given.
#include <clocale>
#include <string>
#include <vector>

#include "app/cli/CommandLine.h"

int main(int argc, char** argv) {
  // Numbers are read and written in the "C" locale whatever the user's locale is.
  std::setlocale(LC_ALL, "C");
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty()) arguments.push_back("help");
  return vemo::RunCommandLine(arguments);
}
