// VemoGPS: with a command it runs headless on the command line; without one (or with only a
// project file to open) it starts the desktop front end.
#include <QHashSeed>
#include <clocale>
#include <string>
#include <vector>

#include "app/cli/CommandLine.h"
#include "app/cli/HugePages.h"
#include "app/desktop/DesktopApp.h"
#include "app/desktop/Translations.h"

int main(int argc, char** argv) {
  vemo::PreferHugePages(argv);
  // Numbers are read and written in the "C" locale whatever the user's locale is.
  std::setlocale(LC_ALL, "C");
  // The same input gives the same bytes: Qt's PDF writer lists the fonts of a map or printed
  // report in the order of a hash, which a random seed would change from run to run.
  QHashSeed::setDeterministicGlobalSeed();
  std::vector<std::string> arguments(argv + 1, argv + argc);
  vemo::DesktopStart start;
  if (vemo::ParseDesktopArguments(arguments, start)) return vemo::RunDesktop(argc, argv, start);
  vemo::InstallCommandLineLanguage();
  return vemo::RunCommandLine(arguments);
}
