#include "app/cli/CommandLine.h"

#include <cstdio>
#include <exception>

#include "project/AppState.h"
#include "app/cli/ConsoleHost.h"
#include "app/commands/Args.h"
#include "app/commands/CommandTable.h"
#include "project/ProjectDialogs.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"

namespace vemo {
namespace {

int Usage(const std::string& text, const char* command) {
  std::fprintf(stderr, "VemoGPS: %s\n", text.c_str());
  if (command) std::fprintf(stderr, "see: VemoGPS help %s\n", command);
  else std::fprintf(stderr, "see: VemoGPS help\n");
  return 2;
}

}  // namespace

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

  RestoreLastProject();
  int status = kCommandDone;
  if (!projectPath.empty()) {
    if (!OpenProject(projectPath)) status = kCommandFailed;
  }
  if (status == kCommandDone && !IsCommandEnabled(*command)) {
    std::fprintf(stderr, "VemoGPS: %s needs an open project: create one with new-project or name it with --project FILE.prj\n",
                 command->name);
    status = kCommandUsage;
  }
  if (status == kCommandDone) {
    try {
      status = command->run(context);
    } catch (const UsageError& e) {
      status = Usage(e.what(), command->name);
    } catch (const std::bad_alloc&) {
      ShowMessage(T(u8"内存不足!"), AppTitle(), MessageIcon::Warning);
      status = kCommandFailed;
    }
  }
  // A run whose work could not be kept has not completed.
  if (!SaveOnExit() && status == kCommandDone) status = kCommandFailed;
  if (StopRequested()) {
    ShowMessage(T(u8"命令已被中断(Ctrl-C)，未完成的结果没有写入文件!"), AppTitle(), MessageIcon::Warning);
    status = kCommandInterrupted;
  }
  return status;
}

}  // namespace vemo
