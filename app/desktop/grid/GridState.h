// The cells of the grid control as plain data, and the edits that work on the whole grid
// (paste of a block, insertion, deletion and moving of rows, sorting): each takes a state and
// gives the next one, so that undo and redo keep the two and nothing else.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vemo {

struct GridState {
  QList<QStringList> rows;  // cell texts, each row as long as the grid is wide
  QList<bool> readOnly;     // per row
  bool operator==(const GridState&) const = default;
};

// A block of text copied from a spreadsheet, a report or a file, as lines of cells. A block
// with a tab anywhere is split at tabs (empty cells kept: a spreadsheet's blank cell); else
// one with a comma is split at commas; else each line is split at runs of blanks, as the
// project's files and the reports separate their items. Cells are trimmed; a trailing line
// end gives no empty line, blank lines in between do.
QList<QStringList> SplitPastedText(const QString& text);

// The number of cells of the widest line.
int BlockWidth(const QList<QStringList>& block);

// The block written with its top left cell at (top, left): rows are added at the end as
// needed, cells beyond the grid's columns are dropped, a short line leaves the cells to its
// right as they were.
void PasteBlock(GridState& state, int top, int left, const QList<QStringList>& block, int columns);

// count empty rows inserted before row (row == rows.size() appends).
void InsertRows(GridState& state, int row, int count, int columns);

// The rows removed; the grid is padded with empty rows at its end to minRows.
void RemoveRows(GridState& state, QList<int> rows, int minRows, int columns);

// Row from moved to the place of row to (the rows between shift by one).
void MoveRow(GridState& state, int from, int to);

// The rows ordered by one column, stably: numeric columns by value (texts that are no number
// after the numbers, as text), the others as text in the order of their GBK bytes (pinyin for
// the common characters). Rows with the column blank come after the others, and empty rows
// last, whatever the order.
void SortRows(GridState& state, int column, Qt::SortOrder order, bool numeric);

}  // namespace vemo
