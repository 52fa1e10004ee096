// The five data entry dialogs (3D known coordinates, 2D known coordinates, known heights,
// ground distances, ground azimuths) as plain records: a grid of cell texts with its title
// and column headings. Opening a dialog loads its file into the grid; "确认" writes the
// whole file anew from the grid (atomically); "取消" writes nothing. The desktop grid edits
// the same record.
#pragma once

#include <optional>
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
// The headings as the desktop grid shows them: each value column with the unit or angle form
// in which its file holds it ("边长值(m)", "方位角(D.MMSS)"). UTF-8.
std::vector<std::string> EntryColumnHeaders(EntryKind kind);
// Whether a column holds numbers (the others hold point names).
bool IsEntryValueColumn(EntryKind kind, size_t column);

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

// Why a cell's text cannot be written as it stands (a short GBK reason), or "" when it can:
// a name of one item of at most kMaxPointName characters, a value that reads whole as a
// finite number (IsDigit and more: "abc", "1 2" and "12x" are never written as 0, 1 and 12).
// Blank cells pass here; whether a row may leave them blank is the row's check.
std::string EntryCellProblem(EntryKind kind, size_t column, const std::string& text);

// The first cell of a grid that "确认" refuses, counted from 0, with the message that says
// why (GBK, naming the row counted from 1).
struct EntryProblem {
  size_t row = 0;
  size_t column = 0;
  std::string message;
};

// A row that "确认" can write so that the loaders read it back as entered: every cell passes
// EntryCellProblem, and nothing typed is dropped or written as a number it is not: a row with
// values has its names (a nameless row would be skipped), and a named row has the values that
// its record needs (a blank value would be written as 0; in the 3D dialog B without L or L
// without B would be lost). Rows that hold nothing pass, and so does a name alone in the 3D
// dialog (it is written as a name). Empty when the row passes.
std::optional<EntryProblem> FindEntryRowProblem(EntryKind kind, const std::vector<std::string>& cells, size_t row);
// The first row problem of the grid, or in the 3D dialog the first row whose values are
// neither a possible B, L (H) nor X, Y, Z near the Earth's surface.
std::optional<EntryProblem> FindEntryProblem(const CEntryGridRecord& grid);
// FindEntryRowProblem with its message shown; row counted from 1. False when it was shown.
bool CheckEntryRow(EntryKind kind, const std::vector<std::string>& cells, int row);

// How the loaders read a row of the 3D dialog: "X,Y,Z", "B,L,H", "B,L" (horizontal only) or
// "H" (height only); "" for a name alone, an empty row, and values that read neither way.
std::string KnownXyzRowReading(const std::vector<std::string>& cells);

// "确认": writes the whole file anew. The grid is checked first (FindEntryProblem); nothing is
// written when it fails. Returns false after the message of the failure.
bool AcceptEntryDialog(const CEntryGridRecord& grid);

}  // namespace vemo
