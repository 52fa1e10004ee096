#include "app/desktop/DesktopCommands.h"

#include <filesystem>

#include "app/commands/CommandFlow.h"
#include "app/commands/CommandTable.h"
#include "app/commands/DialogArguments.h"
#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {
namespace {

// The file dialog of one file argument; the chosen path, or nothing when cancelled. With the
// argument's filters (and "All File(*.*)" after them) the title names what is asked for;
// without any, every file is offered and the title names the argument.
std::optional<std::string> ChooseFileArgument(const CommandSpec& command, const FileArgument& file) {
  QString title = Tr(command.menuText);
  title.remove(QLatin1Char('&'));
  FileDialogRequest request;
  request.open = !file.save;
  request.mustExist = request.open;
  request.initialDirectory = Project().projectDir;
  if (!file.filters.empty()) {
    for (const auto& [description, pattern] : file.filters) request.filters.push_back({UiText(description), pattern});
    request.filters.push_back({"All File(*.*)", "*.*"});
    // What is asked for: the first filter's description without its pattern.
    QString what = Tr(file.filters.front().first);
    what.truncate(what.indexOf(QLatin1Char('(')));
    request.title = ToGbk(title + QStringLiteral(": ") + what);
  } else {
    request.filters = {{UiText(u8"所有文件(*.*)"), "*.*"}};
    request.title = ToGbk(title) + ": " + file.name;
  }
  auto files = Platform().ChooseFiles(request);
  if (!files) return std::nullopt;
  std::string path = files->front();
  if (file.save && file.defaultExtension &&
      std::filesystem::path(path).filename().string().find('.') == std::string::npos)
    path += std::string(".") + file.defaultExtension;
  return path;
}

// The coordinate file dialog of the conversion engine in one of its modes (its title, filter
// and remembered folder); the chosen path, or nothing when cancelled.
std::optional<std::string> ChooseCoordinateFile(int mode) {
  GPSTransfer transfer(mode);
  if (!transfer.GetDataFile(nullptr)) return std::nullopt;
  return transfer.m_DataFile;
}

// The arguments of the command's handler from the form or the file dialogs of its row;
// nothing when one was cancelled.
std::optional<std::vector<std::string>> DialogArguments(const CommandSpec& command, QWidget* parent) {
  const CommandInput& input = command.input;
  switch (input.form) {
    case CommandForm::CoordinateFile:
      if (auto file = ChooseCoordinateFile(input.coordinateMode)) return std::vector<std::string>{*file};
      return std::nullopt;
    case CommandForm::ImportBaselines:
      if (auto dialog = RunImportBaselineDialog(parent)) return ImportBaselineArguments(*dialog);
      return std::nullopt;
    case CommandForm::IndependentBaselines:
      if (auto dialog = RunIndependentBaselineDialog(parent)) return IndependentBaselineArguments(*dialog);
      return std::nullopt;
    case CommandForm::SyncLoops: return RunSyncLoopDialog(parent);
    case CommandForm::HeightModel:
      if (auto dialog = RunHeightModelDialog(parent)) return HeightModelArguments(*dialog);
      return std::nullopt;
    case CommandForm::OneFix:
      // The command fills the same record from these options and writes the same files.
      if (auto dialog = RunOneFixDialog(parent)) return OneFixArguments(*dialog);
      return std::nullopt;
    case CommandForm::ChangeZone: {
      auto dialog = RunChangeZoneDialog(parent);
      if (!dialog) return std::nullopt;
      auto file = ChooseCoordinateFile(input.coordinateMode);
      if (!file) return std::nullopt;
      return ChangeZoneArguments(*dialog, *file);
    }
    case CommandForm::None:
    case CommandForm::NewProject:
    case CommandForm::Settings:
    case CommandForm::DataEntry: break;
  }
  // Without a form: the selector, then each file in turn, after its option if it has one.
  std::vector<std::string> arguments;
  if (command.selector) arguments.push_back(command.selector);
  for (const FileArgument& file : input.files) {
    auto path = ChooseFileArgument(command, file);
    if (!path) return std::nullopt;
    if (file.option) arguments.push_back(file.option);
    arguments.push_back(*path);
  }
  return arguments;
}

int RunWithDialogs(const CommandSpec& command, QWidget* parent) {
  // The project and entry forms call their records' operations themselves.
  switch (command.input.form) {
    case CommandForm::NewProject: return RunNewProjectCommand(parent);
    case CommandForm::Settings: return RunSettingsCommand(parent);
    case CommandForm::DataEntry: return RunEntryCommand(command.input.entry, parent);
    default: break;
  }
  auto arguments = DialogArguments(command, parent);
  if (!arguments) return kCommandDone;  // cancelled: the command does nothing
  CommandContext context{Args(std::move(*arguments))};
  return command.run(context);
}

}  // namespace

int RunDesktopCommand(const CommandSpec& command, QWidget* parent) {
  ClearStopRequest();  // "取消" of an earlier command's progress window is no request to stop this one
  // Whatever a command lets escape would end the program inside the event loop with the
  // person's unsaved documents: it becomes a message and a failed command, and the window
  // takes the next one.
  return RunCatchingFailures([&] { return RunWithDialogs(command, parent); }, [](const UsageError& e) {
    // The desktop gave the handler less than it needs (a command whose dialog the desktop
    // does not have yet).
    ShowMessage(Format(UiText(u8"此命令缺少输入: %s"), e.what()), AppTitle(), MessageIcon::Warning);
    return kCommandUsage;
  });
}

}  // namespace vemo
