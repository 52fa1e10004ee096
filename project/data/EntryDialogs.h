// The five data entry dialogs (3D known coordinates, 2D known coordinates, known heights,
// ground distances, ground azimuths) as plain records: a grid of cell texts with its title
// and column headings. Opening a dialog loads its file into the grid; "确认" writes the
// whole file anew from the grid (atomically); "取消" writes nothing. The desktop grid edits
// the same record.
#pragma once

#include <string>
#include <vector>

namespace vemo {

enum class EntryKind { KnownXYZ, KnownXY, KnownH, Distance, Azimuth };

// The grid shows at least this many data rows; rows are added when more are needed.
constexpr int kEntryGridMinRows = 9;

struct CEntryGridRecord {
  EntryKind kind = EntryKind::KnownXYZ;
  std::string title;                           // GBK dialog title
  std::vector<std::string> columns;            // GBK column headings
  std::vector<std::vector<std::string>> rows;  // cell texts (GBK), one per column
  std::string fileName;                        // the project file the dialog reads and writes
  // Non-blank lines of the file that do not load into the grid; "确认" would drop them.
  std::vector<int> linesNotLoaded;
};

// Title, headings and project file extension of a kind.
const char* EntryTitle(EntryKind kind);          // UTF-8
std::vector<std::string> EntryColumns(EntryKind kind);  // UTF-8
const char* EntryExtension(EntryKind kind);

// Opens the dialog of the current project: the grid holds the lines of its file (an absent
// file gives an empty grid) and at least kEntryGridMinRows rows. Returns false when the file
// exists but cannot be read ("打开文件%s出错!" shown, or "存取二维已知点坐标错误!" for the 2D
// dialog and a message naming the failure for the height dialog).
bool OpenEntryDialog(EntryKind kind, CEntryGridRecord& grid);

// The grid loaded from a file's content (the loading rules of the dialog, without the file).
void LoadEntryGrid(CEntryGridRecord& grid, const std::string& content);

// The end of a cell edit: in the height dialog (value column) and the distance and azimuth
// dialog (the two value columns) a text that fails IsDigit shows "当前输入的不是一个有效的坐标
// 值!". The text is kept either way. Returns false when the warning was shown.
bool EndEntryCellEdit(const CEntryGridRecord& grid, size_t column, const std::string& text);

// The file content that "确认" writes, with the exact row formats.
std::string FormatEntryFile(const CEntryGridRecord& grid);

// Whether a row holds nothing but blank cells.
bool IsEntryRowEmpty(const std::vector<std::string>& cells);

// A row that "确认" can write so that the loaders read it back as entered: names of one item
// of at most kMaxPointName characters, values that read whole as finite numbers (IsDigit and
// more: "abc", "1 2" and "12x" are never written as 0, 1 and 12). False after the message
// naming row (counted from 1) and the cell.
bool CheckEntryRow(EntryKind kind, const std::vector<std::string>& cells, int row);

// "确认": writes the whole file anew. Every row is checked first (CheckEntryRow); nothing is
// written when one fails. Returns false after the message of the failure; in the
// 3D dialog a row whose values are neither a possible B, L (H) nor X, Y, Z near the Earth's
// surface is such a failure, and nothing is written.
bool AcceptEntryDialog(const CEntryGridRecord& grid);

}  // namespace vemo
