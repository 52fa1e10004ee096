#include "app/desktop/DesktopCommands.h"

#include <filesystem>
#include <new>
#include <sstream>

#include "app/commands/CommandTable.h"
#include "app/desktop/QtText.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"

namespace vemo {
namespace {

// The commands whose dialog is the coordinate file dialog of the conversion engine, with the
// engine's mode (its title, filter and remembered folder).
struct FileCommand {
  int id;
  int mode;
};
constexpr FileCommand kFileCommands[] = {
    {32783, GPSTransfer::kModeXYZ},  {32787, GPSTransfer::kModeBLH},  {32788, GPSTransfer::kModeBL},
    {32789, GPSTransfer::kModeXY},   {32790, GPSTransfer::kModeXYXY}, {32799, GPSTransfer::kModeXYXY},
    {61448, GPSTransfer::kModeXYXY}, {32811, GPSTransfer::kModeXYZXYZ},
};

constexpr std::pair<int, EntryKind> kEntryCommands[] = {{32820, EntryKind::KnownXYZ},
                                                        {32821, EntryKind::KnownXY},
                                                        {32822, EntryKind::KnownH},
                                                        {32823, EntryKind::Distance},
                                                        {32824, EntryKind::Azimuth}};

// The file dialogs of the commands whose synopsis names files, with the filters the system
// gives them (each followed by "All File(*.*)"); OUTPUT is a save dialog whose name gets the
// default extension when it has none. A file argument without an entry is asked for with
// "所有文件(*.*)".
struct FileArgumentDialog {
  int command;
  const char* argument;  // the synopsis token
  std::vector<std::pair<const char*, const char*>> filters;  // UTF-8 description, pattern
  const char* defaultExtension = nullptr;
};
const std::vector<FileArgumentDialog>& FileArgumentDialogs() {
  static const std::vector<FileArgumentDialog> dialogs = {
      {32842, "FILE", {{"GPS 3d Approximate XYZ(*.GPS3dApproximateXYZ)", "*.GPS3dApproximateXYZ"}}},
      {32843, "FIRST",
       {{"x of Session One(*.GPS3dFreeXXQxx)", "*.GPS3dFreeXXQxx"}, {"ENU(*.GPS3dFreeENUQenu)", "*.GPS3dFreeENUQenu"}}},
      {32843, "SECOND", {{"x of Session Two(*.GPS3dFreeXXQxx)", "*.GPS3dFreeXXQxx"}}},
      {32843, "OUTPUT", {{"output displacement(*.GPS3dFreeD)", "*.GPS3dFreeD"}}, "GPS3dFreeD"},
      {32850, "POINTS", {{u8"坐标文件(*.GPS3dXYHEFT)", "*.GPS3dXYHEFT"}}},
      {32850, "LINES", {{u8"基线向量文件(*.GPS3dVector)", "*.GPS3dVector"}}},
      {32850, "OUTPUT", {{u8"DXF文件(*.dxf)", "*.dxf"}}, "dxf"},
      {32848, "COORDINATES", {{u8"GPS设计坐标文件(*.xyz)", "*.xyz"}}},
      {32848, "LINES", {{u8"GPS设计网图连线文件(*.line)", "*.line"}}},
  };
  return dialogs;
}

// The file dialog of one file argument; the chosen path, or nothing when cancelled.
std::optional<std::string> ChooseFileArgument(const CommandSpec& command, const std::string& token) {
  const FileArgumentDialog* known = nullptr;
  for (const FileArgumentDialog& d : FileArgumentDialogs())
    if (d.command == command.id && token == d.argument) known = &d;
  QString title = FromUtf8(command.menuText);
  title.remove(QLatin1Char('&'));
  FileDialogRequest request;
  request.open = token != "OUTPUT";
  request.mustExist = request.open;
  request.initialDirectory = Project().projectDir;
  if (known) {
    for (const auto& [description, pattern] : known->filters) request.filters.push_back({T(description), pattern});
    request.filters.push_back({"All File(*.*)", "*.*"});
    // The title names what is asked for: the first filter's description without its pattern.
    QString what = FromUtf8(known->filters.front().first);
    what.truncate(what.indexOf(QLatin1Char('(')));
    request.title = ToGbk(title + QStringLiteral(": ") + what);
  } else {
    request.filters = {{T(u8"所有文件(*.*)"), "*.*"}};
    request.title = ToGbk(title) + ": " + token;
  }
  auto files = Platform().ChooseFiles(request);
  if (!files) return std::nullopt;
  std::string path = files->front();
  if (known && known->defaultExtension && !request.open &&
      std::filesystem::path(path).filename().string().find('.') == std::string::npos)
    path += std::string(".") + known->defaultExtension;
  return path;
}

// A file named in a command's synopsis (FILE, POINTS, OUTPUT...): upper-case letters.
bool IsFileArgument(const std::string& token) {
  if (token.empty()) return false;
  for (char c : token)
    if (!(c >= 'A' && c <= 'Z') && c != '_') return false;
  return true;
}

// The arguments of a command without a form of its own, from its synopsis: each file it
// names is asked for with a file dialog (a save dialog for OUTPUT), the selector comes first,
// optional arguments keep the values the command gives them. Nothing when a dialog was
// cancelled.
std::optional<std::vector<std::string>> SynopsisArguments(const CommandSpec& command) {
  std::vector<std::string> arguments;
  if (command.selector) arguments.push_back(command.selector);
  std::istringstream tokens(command.synopsis ? command.synopsis : "");
  std::string token, option;
  int optionalDepth = 0;
  while (tokens >> token) {
    if (token.front() == '[') ++optionalDepth;
    if (optionalDepth > 0) {
      if (token.back() == ']') --optionalDepth;
      continue;
    }
    if (token.rfind("--", 0) == 0) {
      option = token;
      continue;
    }
    if (!IsFileArgument(token)) continue;  // the selector's alternatives
    auto file = ChooseFileArgument(command, token);
    if (!file) return std::nullopt;
    if (!option.empty()) arguments.push_back(option);
    option.clear();
    arguments.push_back(*file);
  }
  return arguments;
}

// The arguments of the command's handler, from its dialog; nothing when it was cancelled.
std::optional<std::vector<std::string>> DialogArguments(const CommandSpec& command, QWidget* parent) {
  for (const FileCommand& f : kFileCommands)
    if (f.id == command.id) {
      GPSTransfer transfer(f.mode);
      if (!transfer.GetDataFile(nullptr)) return std::nullopt;
      return std::vector<std::string>{transfer.m_DataFile};
    }
  switch (command.id) {
    case 32819: return RunImportBaselineDialog(parent);
    case 32853: return RunIndependentBaselineDialog(parent);
    case 32856: return RunSyncLoopDialog(parent);
    case 32851: return RunChangeZoneDialog(parent);
    case 32826:
    case 32836: return RunHeightModelDialog(parent);
    case 32847: return RunOneFixDialog(parent);
    default: break;
  }
  return SynopsisArguments(command);
}

int RunWithDialogs(const CommandSpec& command, QWidget* parent) {
  for (const auto& [id, kind] : kEntryCommands)
    if (id == command.id) return RunEntryCommand(kind, parent);
  if (command.id == 32816) return RunNewProjectCommand(parent);
  if (command.id == 32828) return RunSettingsCommand(parent);
  auto arguments = DialogArguments(command, parent);
  if (!arguments) return kCommandDone;  // cancelled: the command does nothing
  CommandContext context{Args(std::move(*arguments))};
  return command.run(context);
}

}  // namespace

int RunDesktopCommand(const CommandSpec& command, QWidget* parent) {
  try {
    return RunWithDialogs(command, parent);
  } catch (const UsageError& e) {
    // The desktop gave the handler less than it needs (a command whose dialog the desktop
    // does not have yet).
    ShowMessage(Format(T(u8"此命令缺少输入: %s"), e.what()), AppTitle(), MessageIcon::Warning);
    return kCommandUsage;
  } catch (const std::bad_alloc&) {
    ShowMessage(T(u8"内存不足!"), AppTitle(), MessageIcon::Warning);
    return kCommandFailed;
  } catch (const std::exception& e) {
    // Anything else a command lets escape (a file system error, say) would end the program
    // inside the event loop with the person's unsaved documents: it becomes a message and a
    // failed command instead, and the window takes the next one.
    ShowMessage(Format(T(u8"命令因意外错误而中止: %s"), Utf8ToGbk(e.what()).c_str()), AppTitle(), MessageIcon::Error);
    return kCommandFailed;
  }
}

}  // namespace vemo
