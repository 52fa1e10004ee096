// "读取同步基线数据" on the command line: the files given are the dialog's chosen files,
// --merge checks "合并文件" with the merged file's path.
#include <filesystem>

#include "app/commands/DialogArguments.h"
#include "app/commands/Handlers.h"
#include "baselines/SelectBaselineDlg.h"

namespace vemo {

const char* const kImportBaselinesHelp =
    "  FILE...       the exports of the receiver software, imported in this order\n"
    "  --merge FILE  all baselines go into FILE (\"合并文件\"); without it each FILE gives\n"
    "                <project directory>/<FILE's base name>.GPS3DVector_S\n"
    "The format is the project's baseline type (settings --baseline-type): 0 Trimble, 1 Ashtech,\n"
    "2 Leica, 3 Sokkia, 5 Lip, 6 VemoGPS, 7 Javad, 8 Gamit, 9 Novatel, 10 Zhonghaida, 11 South,\n"
    "12 Huace; type 4 has no importer and does nothing. The synchronous files are printed as\n"
    "their paths (contents with --print).\n";

namespace {

std::string Absolute(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

}  // namespace

int RunImportBaselines(CommandContext& context) {
  auto merged = context.args.TakeValue("--merge");
  std::vector<std::string> files = context.args.Positionals();
  if (files.empty()) throw UsageError("import-baselines takes at least one FILE");
  CSelectBaselineDlg dialog = CSelectBaselineDlg::Open();
  dialog.files.directory = std::filesystem::path(Absolute(files.front())).parent_path().string();
  dialog.ListCandidates();
  dialog.files.chosen.clear();
  for (const auto& f : files) dialog.files.ChoosePath(Absolute(f));
  dialog.merge = merged.has_value();
  if (merged) dialog.mergedFile = Absolute(*merged);
  if (!AcceptSelectBaselineDlg(dialog)) return kCommandFailed;
  return ImportChosenBaselines() ? kCommandDone : kCommandFailed;
}

std::vector<std::string> ImportBaselineArguments(const CSelectBaselineDlg& dialog) {
  std::vector<std::string> arguments;
  if (dialog.merge) arguments = {"--merge", dialog.mergedFile};
  arguments.insert(arguments.end(), dialog.files.chosen.begin(), dialog.files.chosen.end());
  return arguments;
}

}  // namespace vemo
