// "读取同步基线数据" on the command line: the files given are the dialog's chosen files,
// --merge checks "合并文件" with the merged file's path.
#include <filesystem>
#include <sstream>

#include "app/commands/DialogArguments.h"
#include "app/commands/Handlers.h"
#include "baselines/SelectBaselineDlg.h"
#include "geodesy/BaselinePackages.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {
namespace {

// text's words in lines of at most width characters, each ended by a line feed.
std::string FillLines(const std::string& text, size_t width) {
  std::string filled, line;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      filled += line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  return filled + line + "\n";
}

// "0 Trimble, 1 Ashtech, ..." for the packages with an importer, and what the others do.
std::string PackageParagraph() {
  std::string importers, others;
  size_t otherCount = 0;
  for (const CBaselinePackage& package : BaselinePackages()) {
    std::string& list = package.reader ? importers : others;
    if (!list.empty()) list += ", ";
    list += std::to_string(package.type);
    if (package.reader) list += std::string(" ") + package.helpName;
    else ++otherCount;
  }
  if (otherCount == 0) return importers + ".";
  return importers + (otherCount == 1 ? "; type " + others + " has no importer and does nothing."
                                      : "; types " + others + " have no importer and do nothing.");
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

// What the person sees when the import ends: the files and baselines read, and the files of
// which nothing was read, each named, so that a session missing from the job shows at once.
std::string ImportSummaryText(int type, const CBaselineImportSummary& summary) {
  const CBaselinePackage* package = BaselinePackageOf(type);
  if (!package || !package->reader)
    return Format(UiText(u8"基线解算软件%s没有读取程序，没有读取任何基线文件。"),
                  package ? BaselineTypeName(type) : std::to_string(type).c_str());
  std::string text = Format(UiText(u8"读取完毕: 基线文件%d个，基线%d条。"), summary.filesRead, summary.baselinesRead);
  if (!summary.filesWithNothingRead.empty()) {
    text += Format(UiText(u8"\n其中%d个文件没有读出基线:"), static_cast<int>(summary.filesWithNothingRead.size()));
    for (const auto& file : summary.filesWithNothingRead) text += "\n" + PathToGbk(file);
  }
  return text;
}

}  // namespace

// Built at start-up from the package table; the paragraph on the formats keeps within the 91
// columns it has always had.
const char* const kImportBaselinesHelp = [] {
  static const std::string text =
      "  FILE...       the exports of the receiver software, imported in this order\n"
      "  --merge FILE  all baselines go into FILE (\"合并文件\"); without it each FILE gives\n"
      "                <project directory>/<FILE's base name>.GPS3DVector_S\n"
      "  --baseline-type INDEX  the receiver software of these files, for this import only\n" +
      FillLines("The format is the project's baseline type (settings --baseline-type): " + PackageParagraph() +
                    " The synchronous files are printed as their paths (contents with --print); a summary"
                    " of the files and baselines read follows on standard error.",
                91);
  return text.c_str();
}();

int RunImportBaselines(CommandContext& context) {
  auto merged = context.args.TakeValue("--merge");
  const auto type = context.args.TakeInt("--baseline-type");
  const int packages = static_cast<int>(BaselinePackages().size());
  if (type && (*type < 0 || *type >= packages))
    throw UsageError("--baseline-type: expected 0.." + std::to_string(packages - 1) + ", not " + std::to_string(*type));
  std::vector<std::string> files = context.args.Positionals();
  if (files.empty()) throw UsageError("import-baselines takes at least one FILE");
  CSelectBaselineDlg dialog = CSelectBaselineDlg::Open();
  if (type) dialog.ChooseBaselineType(*type);
  dialog.files.directory = std::filesystem::path(Absolute(files.front())).parent_path().string();
  dialog.ListCandidates();
  dialog.files.chosen.clear();
  for (const auto& f : files) dialog.files.ChoosePath(Absolute(f));
  dialog.merge = merged.has_value();
  if (merged) dialog.mergedFile = Absolute(*merged);
  if (!AcceptSelectBaselineDlg(dialog)) return kCommandFailed;
  CBaselineImportSummary summary;
  if (!ImportChosenBaselines(dialog.baselineType, summary)) return kCommandFailed;
  ShowMessage(ImportSummaryText(dialog.baselineType, summary), AppTitle(), MessageIcon::Information);
  return kCommandDone;
}

std::vector<std::string> ImportBaselineArguments(const CSelectBaselineDlg& dialog) {
  std::vector<std::string> arguments;
  if (dialog.baselineType != Project().configuration.m_BaselineType)
    arguments = {"--baseline-type", std::to_string(dialog.baselineType)};
  if (dialog.merge) arguments.insert(arguments.end(), {"--merge", dialog.mergedFile});
  arguments.insert(arguments.end(), dialog.files.chosen.begin(), dialog.files.chosen.end());
  return arguments;
}

}  // namespace vemo
