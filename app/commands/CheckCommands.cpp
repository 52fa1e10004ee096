// The observation checks on the command line: independent baseline formation, the loop
// misclosure checks and the repeated baseline comparison.
#include <algorithm>
#include <filesystem>

#include "project/AppState.h"
#include "baselines/IndependentBaselines.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/DialogArguments.h"
#include "app/commands/Handlers.h"
#include "checks/LoopChecks.h"
#include "checks/RepeatBaselines.h"
#include "adjust/StatisticsReport.h"
#include "project/data/ReadGPS3dVector.h"
#include "geodesy/Encoding.h"

namespace vemo {
namespace fs = std::filesystem;

const char* const kFormIndependentHelp =
    "  --rule chain|radial|all  selection within each period: sequential chain (default), radial\n"
    "                           from the start baseline's from-point, or every baseline\n"
    "  --random                 start each period at a random baseline instead of the first\n"
    "  FILE...                  the synchronous baseline files, in order; without files the\n"
    "                           list chosen last time (kept in the project) is used again\n";

const char* const kSyncLoopsHelp =
    "  FILE...  the synchronous baseline files whose loops are searched; without files the\n"
    "           existing loop file (when kept) is computed again\n";

namespace {

std::string Absolute(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

// The values of --rule, by IndependentRule.
constexpr const char* kRuleNames[] = {"chain", "radial", "all"};

}  // namespace

int RunFormIndependent(CommandContext& context) {
  Args& args = context.args;
  CIndependentBaselineDlg dialog;
  if (auto rule = args.TakeValue("--rule")) {
    int index = -1;
    for (int i = 0; i < 3; ++i)
      if (*rule == kRuleNames[i]) index = i;
    if (index < 0) throw UsageError("--rule: expected chain, radial or all, not '" + *rule + "'");
    dialog.rule = static_cast<IndependentRule>(index);
  }
  dialog.randomStart = args.TakeFlag("--random");
  for (const auto& f : args.Positionals()) dialog.files.ChoosePath(Absolute(f));
  if (dialog.files.chosen.empty())  // the list of the last formation, offered again
    for (const auto& f : Project().configuration.m_IndependentBaselineFiles) dialog.files.ChoosePath(GbkToUtf8(f));
  if (dialog.files.chosen.empty()) throw UsageError("form-independent needs the synchronous baseline files");
  if (!AcceptIndependentBaselineDlg(dialog)) return kCommandFailed;
  if (!FormIndependentBaselines(dialog.files.chosen, dialog.rule, dialog.randomStart)) return kCommandFailed;
  return OpenResultFile(CurrentProjectFile(ProjectFile::Vector3d));
}

std::vector<std::string> IndependentBaselineArguments(const CIndependentBaselineDlg& dialog) {
  std::vector<std::string> arguments = {"--rule", kRuleNames[std::clamp(static_cast<int>(dialog.rule), 0, 2)]};
  if (dialog.randomStart) arguments.push_back("--random");
  arguments.insert(arguments.end(), dialog.files.chosen.begin(), dialog.files.chosen.end());
  return arguments;
}

int RunSyncLoops(CommandContext& context) {
  // The dialog "选取同步环基线文件": the files come from the command line; none is a cancel.
  CBaselineFileChooser dialog{"", "*.GPS3dVector_S", {}, {}};
  for (const auto& f : context.args.Positionals()) dialog.ChoosePath(Absolute(f));
  return RunSyncLoopCheck(dialog.chosen) ? kCommandDone : kCommandFailed;
}

namespace {

// The checks read the vectors as the adjustment does, scaled when the project has a scaling
// file: their reports state it at their top as the adjustment's do. A report the check did not
// write (no loop found, say) is left alone.
int WithScalingStatement(int done, std::initializer_list<ProjectFile> reports) {
  if (!done || !FileExists(CurrentProjectFile(ProjectFile::CovScale3d))) return done;
  CReadGPS3dVector set;
  if (!set.Load()) return 0;
  for (ProjectFile report : reports) {
    const std::string path = CurrentProjectFile(report);
    if (FileExists(path) && !AmendReport(path, set.m_ReportPreamble, nullptr)) return 0;
  }
  return done;
}

}  // namespace

int RunAsyncLoops(CommandContext& context) {
  if (!context.args.Positionals().empty()) throw UsageError("async-loops takes no arguments");
  SetApproximateFileMode(0);
  // The loops are searched in the data set of the 3D adjustment, which holds the known points.
  if (!RequireInputs(CommandId::AsyncLoops, {ProjectFile::KnownXYZ, ProjectFile::Vector3d})) return kCommandFailed;
  return WithScalingStatement(RunAsyncLoopCheck(), {ProjectFile::Misclosure}) ? kCommandDone : kCommandFailed;
}

int RunRepeatBaselines(CommandContext& context) {
  if (!context.args.Positionals().empty()) throw UsageError("repeat-baselines takes no arguments");
  if (!RequireInputs(CommandId::RepeatBaselines, {ProjectFile::KnownXYZ, ProjectFile::Vector3d})) return kCommandFailed;
  return WithScalingStatement(RunRepeatBaselineComparison(),
                              {ProjectFile::RepeatBaseline, ProjectFile::RepeatBaselineClassAB})
             ? kCommandDone
             : kCommandFailed;
}

}  // namespace vemo
