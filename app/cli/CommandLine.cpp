#include "app/cli/CommandLine.h"

#include <cstdio>

#include "project/AppState.h"
#include "app/cli/ConsoleHost.h"
#include "app/commands/Args.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/CommandTable.h"
#include "project/ProjectDialogs.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "geodesy/Version.h"

namespace vemo {
namespace {

int Usage(const std::string& text, const char* command) {
  std::fprintf(stderr, "VemoGPS: %s\n", text.c_str());
  if (command) std::fprintf(stderr, "see: VemoGPS help %s\n", command);
  else std::fprintf(stderr, "see: VemoGPS help\n");
  return 2;
}

}  // namespace

int RunGuarded(const std::function<int()>& handler, const char* command) {
  return RunCatchingFailures(handler, [command](const UsageError& e) { return Usage(e.what(), command); });
}

int RunCommandLine(const std::vector<std::string>& arguments) {
  ConsoleHost host;
  PlatformHost* previous = InstallPlatformHost(&host);
  struct Restore {
    PlatformHost* previous;
    ~Restore() { InstallPlatformHost(previous); }
  } restore{previous};

  std::string projectPath;
  size_t i = 0;
  for (; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--project") {
      if (i + 1 >= arguments.size()) return Usage("--project needs a FILE.prj", nullptr);
      projectPath = arguments[++i];
    } else if (a.rfind("--project=", 0) == 0) {
      projectPath = a.substr(10);
    } else if (a == "--yes") {
      host.SetAnswers(ConsoleHost::Answers::Yes);
    } else if (a == "--no") {
      host.SetAnswers(ConsoleHost::Answers::No);
    } else if (a == "--print") {
      host.SetPrintDocuments(true);
    } else if (a == "--version") {
      std::printf("VemoGPS %s\n", kVemoVersion);
      return kCommandDone;
    } else if (a == "--help" || a == "-h") {
      return RunCommandLine({"help"});
    } else if (a.rfind("--", 0) == 0) {
      return Usage("unknown option " + a, nullptr);
    } else {
      break;
    }
  }
  if (i >= arguments.size()) return Usage("no command given", nullptr);
  const CommandSpec* command = FindCommand(arguments[i]);
  if (!command) return Usage("no command '" + arguments[i] + "'", nullptr);
  CommandContext context{Args({arguments.begin() + static_cast<long>(i) + 1, arguments.end()})};

  // Start-up, the command and the saving of its work: nothing thrown on the way aborts.
  int status = RunGuarded(
      [&] {
        RestoreLastProject();
        if (!projectPath.empty() && !OpenProject(projectPath)) return kCommandFailed;
        if (!IsCommandEnabled(*command)) {
          std::fprintf(stderr,
                       "VemoGPS: %s needs an open project: create one with new-project or name it with --project "
                       "FILE.prj\n",
                       command->name);
          return kCommandUsage;
        }
        return command->run(context);
      },
      command->name);
  // A run whose work could not be kept has not completed.
  const int saved = RunGuarded([] { return SaveOnExit() ? kCommandDone : kCommandFailed; }, command->name);
  if (saved != kCommandDone && status == kCommandDone) status = kCommandFailed;
  if (StopRequested()) {
    ShowMessage(UiText(u8"命令已被中断(Ctrl-C)，未完成的结果没有写入文件!"), AppTitle(), MessageIcon::Warning);
    status = kCommandInterrupted;
  }
  return status;
}

}  // namespace vemo
