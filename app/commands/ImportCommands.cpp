// "读取同步基线数据" on the command line: the files given are the dialog's chosen files,
// --merge checks "合并文件" with the merged file's path.
#include <filesystem>
#include <sstream>

#include "app/commands/DialogArguments.h"
#include "app/commands/Handlers.h"
#include "baselines/SelectBaselineDlg.h"
#include "geodesy/BaselinePackages.h"

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

}  // namespace

// Built at start-up from the package table; the paragraph on the formats keeps within the 91
// columns it has always had.
const char* const kImportBaselinesHelp = [] {
  static const std::string text =
      "  FILE...       the exports of the receiver software, imported in this order\n"
      "  --merge FILE  all baselines go into FILE (\"合并文件\"); without it each FILE gives\n"
      "                <project directory>/<FILE's base name>.GPS3DVector_S\n" +
      FillLines("The format is the project's baseline type (settings --baseline-type): " + PackageParagraph() +
                    " The synchronous files are printed as their paths (contents with --print).",
                91);
  return text.c_str();
}();

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
