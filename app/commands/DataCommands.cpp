// The data commands on the command line: the five entry dialogs ("enter KIND"), "打开(&O)..."
// ("view FILE") and the result viewing commands ("show-result KIND").
#include <unistd.h>

#include <cstdio>

#include "project/AppState.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"
#include "project/data/DataFileReader.h"
#include "project/data/EntryDialogs.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace vemo {

const char* const kEnterSynopsis = "known-xyz|known-xy|known-h|distance|azimuth [ROWS_FILE] [--replace]";
const char* const kEnterHelp =
    "  KIND        known-xyz (三维已知坐标), known-xy (二维已知坐标), known-h (一维高程点),\n"
    "              distance (输入地面边长), azimuth (输入地面方位)\n"
    "  ROWS_FILE   rows of the grid, one a line, cells separated by tabs (an empty cell is a\n"
    "              blank cell), in UTF-8; '-' or no file: standard input\n"
    "  --replace   the rows given replace the whole grid\n"
    "The dialog opens with its file loaded into the grid. A row given replaces the row of the\n"
    "same point (known-*) or the same pair of points (distance, azimuth), otherwise it is\n"
    "added; then \"确认\" writes the whole file anew. Without rows the grid is only shown.\n"
    "Lines of the file that the grid cannot hold would be dropped: that needs --yes.\n";
const char* const kViewHelp =
    "Prints FILE as text. As in the menu, the folder of FILE becomes the project directory for\n"
    "the rest of the command; the remembered project stays where it was.\n";
const char* const kShowResultSynopsis = "3d|2d|1d|ellipsoid|vector-3d|vector-2d|misclosure";
const char* const kShowResultHelp =
    "  3d GPS3dResult, 2d GPS2dResult, 1d GPS1dResult, ellipsoid GPS3dBLHResult,\n"
    "  vector-3d GPS3dVector, vector-2d GPS2dVector, misclosure GPS3dMisclosure\n"
    "Prints that file of the current project as text.\n";

namespace {

struct EntryKindName {
  const char* name;
  EntryKind kind;
};
constexpr EntryKindName kEntryKinds[] = {{"known-xyz", EntryKind::KnownXYZ},
                                         {"known-xy", EntryKind::KnownXY},
                                         {"known-h", EntryKind::KnownH},
                                         {"distance", EntryKind::Distance},
                                         {"azimuth", EntryKind::Azimuth}};

struct ResultFile {
  const char* name;
  ProjectFile file;
};
constexpr ResultFile kResultFiles[] = {{"3d", ProjectFile::Result3d},         {"2d", ProjectFile::Result2d},
                                       {"1d", ProjectFile::Result1d},         {"ellipsoid", ProjectFile::Combined3dResult},
                                       {"vector-3d", ProjectFile::Vector3d},  {"vector-2d", ProjectFile::Vector2d},
                                       {"misclosure", ProjectFile::Misclosure}};

// On the command line a document that opens is printed with its content.
void PrintDocuments() { Platform().ShowDocumentContents(); }

// The rows text from the named file or from standard input; false after the message when it
// cannot be read (a folder, a FIFO, a read error).
bool ReadRowsText(const std::string& source, std::string& text) {
  if (source.empty() || source == "-") {
    text.clear();
    if (ReadDescriptor(STDIN_FILENO, text)) return true;
    ShowMessage(UiText(u8"读取标准输入出错!"), AppTitle(), MessageIcon::Warning);
    return false;
  }
  return ReadRequiredFile(source, text);
}

struct GivenRow {
  int line;  // in the rows text, from 1
  std::vector<std::string> cells;
};

std::vector<GivenRow> SplitRows(const std::string& text, size_t columns) {
  std::vector<GivenRow> rows;
  for (const auto& [number, line] : SplitLines(text)) {
    std::vector<std::string> cells;
    size_t from = 0;
    for (;;) {
      size_t tab = line.find('\t', from);
      cells.push_back(Utf8ToGbk(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from)));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    bool blank = true;
    for (const auto& c : cells) blank = blank && Trim(c).empty();
    if (blank) continue;
    if (cells.size() > columns)
      throw UsageError(Format("row %d has %zu cells; this grid has %zu columns", number, cells.size(), columns));
    cells.resize(columns);
    rows.push_back({number, std::move(cells)});
  }
  return rows;
}

// The key by which a given row finds the grid row it replaces.
std::string RowKey(EntryKind kind, const std::vector<std::string>& cells) {
  if (kind == EntryKind::Distance || kind == EntryKind::Azimuth)
    return NormalizeName(cells[0]) + '\n' + NormalizeName(cells[1]);
  return NormalizeName(cells[0]);
}

bool IsEmptyRow(const std::vector<std::string>& cells) { return IsEntryRowEmpty(cells); }

void MergeRow(CEntryGridRecord& grid, std::vector<std::string> cells) {
  const std::string key = RowKey(grid.kind, cells);
  std::vector<std::string>* target = nullptr;
  for (auto& row : grid.rows)
    if (!IsEmptyRow(row) && RowKey(grid.kind, row) == key) target = &row;
  if (!target)
    for (auto& row : grid.rows)
      if (IsEmptyRow(row)) {
        target = &row;
        break;
      }
  if (!target) target = &grid.rows.emplace_back();
  *target = std::move(cells);
}

std::string DescribeGrid(const CEntryGridRecord& grid) {
  std::string text;
  for (size_t i = 0; i < grid.columns.size(); ++i) text += (i ? "\t" : "") + grid.columns[i];
  text += '\n';
  for (const auto& row : grid.rows) {
    if (IsEmptyRow(row)) continue;
    for (size_t i = 0; i < row.size(); ++i) text += (i ? "\t" : "") + row[i];
    text += '\n';
  }
  return text;
}

}  // namespace

int RunEnter(CommandContext& context) {
  const bool replace = context.args.TakeFlag("--replace");
  std::vector<std::string> rest = context.args.Positionals();
  if (rest.empty() || rest.size() > 2) throw UsageError("enter takes KIND and at most one ROWS_FILE");
  const EntryKindName* kind = nullptr;
  for (const auto& k : kEntryKinds)
    if (rest[0] == k.name) kind = &k;
  if (!kind) throw UsageError("enter: no kind '" + rest[0] + "'");

  CEntryGridRecord grid;
  if (!OpenEntryDialog(kind->kind, grid)) return kCommandFailed;
  std::string text;
  if (!ReadRowsText(rest.size() > 1 ? rest[1] : std::string(), text)) return kCommandFailed;
  auto rows = SplitRows(text, grid.columns.size());
  if (rows.empty() && !replace) {  // nothing edited: the dialog is only looked at, then cancelled
    Platform().ShowText(grid.title, DescribeGrid(grid));
    return kCommandDone;
  }
  // A cell the file could not hold as given refuses the whole input, naming its line.
  for (const auto& row : rows)
    if (!CheckEntryRow(grid.kind, row.cells, row.line)) return kCommandFailed;
  if (replace && rows.empty()) {
    bool holdsData = false;
    for (const auto& row : grid.rows) holdsData = holdsData || !IsEmptyRow(row);
    if ((holdsData || !grid.linesNotLoaded.empty()) &&
        !AskYesNo(Format(UiText(u8"没有输入任何行,确认后文件%s中的数据将全部删除。是否继续?"),
                         PathToGbk(grid.fileName).c_str()),
                  AppTitle(), MessageIcon::Question, 1, MessageAnswer::No))
      return kCommandFailed;
  }
  if (replace) grid.rows.clear();
  for (auto& row : rows) MergeRow(grid, std::move(row.cells));
  while (grid.rows.size() < static_cast<size_t>(kEntryGridMinRows)) grid.rows.emplace_back(grid.columns.size());

  if (!grid.linesNotLoaded.empty() && !replace) {
    // The grid cannot hold these lines; writing the file anew would drop them unseen.
    if (!AskYesNo(Format(UiText(u8"文件%s的第%s行不能读入表格,确认后这些行将被删除。是否继续?"),
                         PathToGbk(grid.fileName).c_str(), NumberList(grid.linesNotLoaded).c_str()),
                  AppTitle(), MessageIcon::Question, 1, MessageAnswer::No))
      return kCommandFailed;
  }
  if (!AcceptEntryDialog(grid)) return kCommandFailed;
  Platform().ShowText(grid.title, DescribeGrid(grid));
  return kCommandDone;
}

int RunView(CommandContext& context) {
  std::vector<std::string> rest = context.args.Positionals();
  if (rest.size() != 1) throw UsageError("view takes one FILE");
  PrintDocuments();
  return OpenAnyFile(rest[0]);
}

int RunShowResult(CommandContext& context) {
  std::vector<std::string> rest = context.args.Positionals();
  if (rest.size() != 1) throw UsageError("show-result takes one KIND");
  for (const auto& r : kResultFiles)
    if (rest[0] == r.name) {
      PrintDocuments();
      return OpenResultFile(CurrentProjectFile(r.file));
    }
  throw UsageError("show-result: no kind '" + rest[0] + "'");
}

}  // namespace vemo
