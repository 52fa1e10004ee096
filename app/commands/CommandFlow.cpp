#include "app/commands/CommandFlow.h"

#include <algorithm>
#include <exception>
#include <new>
#include <filesystem>

#include "project/AppState.h"
#include "project/ProjectDependencies.h"
#include "app/commands/Args.h"
#include "app/commands/CommandTable.h"
#include "project/data/DataFileReader.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace vemo {

namespace {

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// The command that makes a project file of a kind: the entry form of a data file, or the
// computation that writes a result; None for the user's own files (the guide file).
CommandId MakerOf(ProjectFile kind, int variant) {
  using enum ProjectFile;
  switch (kind) {
    case KnownXYZ: return variant == 1 ? CommandId::AdjustOneFix : CommandId::EnterKnownXYZ;
    case KnownXY: return variant == 1 ? CommandId::AdjustOneFix : CommandId::EnterKnownXY;
    case KnownH: return CommandId::EnterKnownH;
    case Distance: return CommandId::EnterDistance;
    case Azimuth: return variant == 1 ? CommandId::AdjustOneFix : CommandId::EnterAzimuth;
    case Vector3d: return CommandId::FormIndependent;
    default: break;
  }
  if (variant == 1 && HasOneFixVariant(kind)) return CommandId::AdjustOneFix;
  switch (kind) {
    case ApproximateXYZ:
    case Result3d:
    case Test3d:
    case BLH3d:
    case XYHEFT3d:
    case XYH3d:
    case BLHVector3d:
    case Vector2d: return CommandId::Adjust3d;
    case Result2d:
    case Test2d:
    case XY2d:
    case XYEFT2d:
    case BreakthroughExtract: return CommandId::Adjust2d;
    case Result1d:
    case Test1d:
    case Heights1d: return CommandId::FitHeights;
    case Combined3dResult:
    case Combined3dTest: return CommandId::AdjustEllipsoid;
    case Loop:
    case Misclosure: return CommandId::AsyncLoops;
    case SyncLoop:
    case SyncMisclosure: return CommandId::SyncLoops;
    case RepeatBaseline:
    case RepeatBaselineClassAB: return CommandId::RepeatBaselines;
    case FreeXXInput:
    case FreeQxxInput:
    case FreeGxxInput:
    case FreeXXOut:
    case FreeQxxOut:
    case FreeMxxOut:
    case FreeXXQxx:
    case FreeENUQenu: return CommandId::FreeNetwork;
    case BreakthroughReport: return CommandId::Breakthrough;
    default: return CommandId::None;
  }
}

bool IsEntryForm(CommandId id) {
  const CommandSpec* row = FindMenuCommand(id);
  return row && row->input.form == CommandForm::DataEntry;
}

// The menu command's text in GBK, in the interface language, as a message names it.
std::string MenuTextOf(CommandId id) {
  const CommandSpec* row = FindMenuCommand(id);
  return row ? UiText(row->menuText) : std::string();
}

// A menu title without its access key: "数据输入(&D)" -> "数据输入", "&Data Entry" -> "Data Entry".
// '&' and '(' never occur inside a GBK character, so bytes can be dropped one by one.
std::string WithoutAccessKey(std::string title) {
  if (const size_t key = title.find("(&"); key != std::string::npos) return title.substr(0, key);
  std::erase(title, '&');
  return title;
}

}  // namespace

std::string CommandReference(CommandId id) {
  const char* menu = "";
  const CommandSpec* found = nullptr;
  for (const CommandSpec& row : MenuCommands()) {
    for (const MenuSpec& m : Menus())
      if (row.id == m.firstCommand) menu = m.title;
    if (row.id == id) {
      found = &row;
      break;
    }
  }
  if (!found) return std::string();
  std::string text = "\"" + WithoutAccessKey(UiText(menu)) + T(u8"→") + UiText(found->menuText) + "\"";
  if (found->name) {
    text += std::string("(") + found->name;
    if (found->selector) text += std::string(" ") + found->selector;
    text += ")";
  }
  return text;
}

void CResultFiles::Add(std::span<const ProjectFile> kinds, int variant) {
  for (ProjectFile kind : kinds)
    if (variant == 0 || HasOneFixVariant(kind)) m_Paths.push_back(CurrentProjectFile(kind, variant));
}

void CResultFiles::Spare(const std::string& path) {
  std::error_code ec;
  std::erase_if(m_Paths, [&](const std::string& result) { return std::filesystem::equivalent(result, path, ec); });
}

bool CResultFiles::Remove() const {
  std::string failed, error;
  if (RemoveFilesDurably(m_Paths, &failed, &error)) return true;
  Warn(Format(UiText(u8"不能删除结果文件%s(%s)，该文件不是本次计算的结果!"), PathToGbk(failed).c_str(), error.c_str()));
  return false;
}

int CResultFiles::Finish(int status) const {
  if (status != kCommandDone) Remove();
  return status;
}

int RunCatchingFailures(const std::function<int()>& handler, const std::function<int(const UsageError&)>& usage) {
  try {
    return handler();
  } catch (const UsageError& e) {
    return usage(e);
  } catch (const std::bad_alloc&) {
    ShowMessage(UiText(u8"内存不足!"), AppTitle(), MessageIcon::Warning);
  } catch (const std::exception& e) {
    ShowMessage(Format(UiText(u8"命令因意外错误而中止: %s"), Utf8ToGbk(e.what()).c_str()), AppTitle(),
                MessageIcon::Error);
  } catch (...) {
    ShowMessage(UiText(u8"命令因意外错误而中止!"), AppTitle(), MessageIcon::Error);
  }
  return kCommandFailed;
}

int RunComputation(const std::function<int()>& load, const std::function<int()>& run,
                   const std::vector<std::string>& resultFiles) {
  // A stop asked for during a stage ends the command after it: the engine's files were not
  // put in place (CReportFile), so its success would be none.
  if (!load() || StopRequested()) return kCommandFailed;
  if (!run() || StopRequested()) return kCommandFailed;
  for (const auto& file : resultFiles) Platform().OpenTextDocument(file);
  return kCommandDone;
}

int RunComputation(const std::function<int()>& load, const std::function<int()>& run,
                   const std::vector<std::string>& resultFiles, const CResultFiles& writes) {
  if (!writes.Remove()) return kCommandFailed;
  try {
    return writes.Finish(RunComputation(load, run, resultFiles));
  } catch (...) {
    // What the run had begun is partial whatever ended it; the command's entry reports it.
    writes.Remove();
    throw;
  }
}

bool RequireInputs(CommandId command, std::initializer_list<ProjectFile> kinds, int variant) {
  for (ProjectFile kind : kinds) {
    const std::string path = CurrentProjectFile(kind, variant);
    if (FileExists(path)) continue;
    std::string text = Format(UiText(u8"%s所需的文件%s不存在!"), MenuTextOf(command).c_str(), PathToGbk(path).c_str());
    const CommandId maker = MakerOf(kind, variant);
    if (maker != CommandId::None)
      text += Format(IsEntryForm(maker) ? UiText(u8"\n请先用%s输入。") : UiText(u8"\n请先执行%s。"), CommandReference(maker).c_str());
    Warn(text);
    return false;
  }
  return true;
}

bool RequireCurrentResult(CommandId command, ProjectFile result, CommandId maker) {
  const ResultCurrency currency = CheckResultCurrency(result);
  if (!currency.IsStale()) return true;
  Warn(Format(UiText(u8"%s所需的文件%s是在文件%s修改之前产生的，不是现有数据的计算结果!\n请重新执行%s。"),
              MenuTextOf(command).c_str(), PathToGbk(CurrentProjectFile(result)).c_str(),
              PathToGbk(CurrentProjectFile(*currency.newerInput)).c_str(), CommandReference(maker).c_str()));
  return false;
}

int OpenResultFile(const std::string& path) {
  return OpenProjectDocument(path) ? kCommandDone : kCommandFailed;
}

int OpenAnyFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::string content;
  if (!ReadRequiredFile(path, content)) return kCommandFailed;
  std::error_code ec;
  fs::path absolute = fs::absolute(fs::path(path), ec);
  if (ec) absolute = path;
  // The project keeps its folder: a file viewed from elsewhere (another job's report) must
  // not make the project's commands look for their files there.
  Platform().OpenTextDocument(absolute.lexically_normal().string());
  return kCommandDone;
}

}  // namespace vemo
