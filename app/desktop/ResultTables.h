// The results a surveyor compares row by row, read from their files into tables: the adjusted
// coordinates of the 3D and the plane adjustment, the synchronous and asynchronous loop
// misclosures and the repeated-baseline comparisons. The files are the reports the checks and
// the adjustments write (GBK text, fixed layouts); a line that holds no row of the layout
// (a heading, a separator, a damaged or foreign line) is counted and passed over, never
// guessed at. Cells are UTF-8 text as the file shows them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geodesy/ProjectFiles.h"

namespace vemo {

enum class ResultTableKind {
  Coordinates3d,           // GPS3dXYHEFT, with B, L from GPS3dBLH
  Coordinates2d,           // GPS2dXYEFT, with the K/U code from GPS2dXY
  SyncLoops,               // GPS3dSyncMisclosure
  AsyncLoops,              // GPS3dMisclosure
  RepeatBaselines,         // GPS3dRepeatBaseline: lengths
  RepeatBaselineComponents,  // GPS3dRepeatBaselineClassAB: components
};

struct ResultTable {
  struct Row {
    std::vector<std::string> cells;  // one a column
    bool failing = false;            // the row exceeds its tolerance (超限)
  };
  // UTF-8, in Chinese: the view shows them in the interface language, the CSV file as they
  // are (a file is the same whatever the interface speaks).
  std::string title;
  std::vector<std::string> columns;
  std::vector<Row> rows;
  int skippedLines = 0;  // non-blank lines that hold no row
};

// The table a project file is read as, if it is one.
std::optional<ResultTableKind> ResultTableOf(ProjectFile kind);
// The file of the table (the main one, for a table joined from two).
ProjectFile ResultTableFile(ResultTableKind kind);

// Builds a table from file contents (GBK). extra is the second file of a joined table
// (GPS3dBLH, GPS2dXY), empty when absent: its columns stay empty.
ResultTable ParseResultTable(ResultTableKind kind, std::string_view content, std::string_view extra = {});
// Reads the current project's files of the table (variant 0). nullopt when the main file
// cannot be read.
std::optional<ResultTable> ReadResultTable(ResultTableKind kind);

// The rows as comma-separated values for a spreadsheet: UTF-8 with a byte order mark (which
// spreadsheets need to take the file for UTF-8 rather than the system's code page), the
// column titles first, CR LF line ends, and a field quoted when it holds a comma, a quote or
// a line end (its quotes doubled).
std::string ToCsv(const std::vector<std::string>& columns, const std::vector<std::vector<std::string>>& rows);

}  // namespace vemo
