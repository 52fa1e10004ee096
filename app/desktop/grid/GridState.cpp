#include "app/desktop/grid/GridState.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>

#include "app/desktop/QtText.h"
#include "geodesy/TextTools.h"

namespace vemo {
namespace {

QStringList EmptyRow(int columns) { return QStringList(columns, QString()); }

bool IsEmptyRow(const QStringList& row) {
  return std::all_of(row.begin(), row.end(), [](const QString& c) { return c.trimmed().isEmpty(); });
}

}  // namespace

QList<QStringList> SplitPastedText(const QString& text) {
  QString block = text;
  block.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  // A full-width comma, as Chinese input methods type it, separates as a comma does.
  block.replace(QChar(0xFF0C), QLatin1Char(','));
  if (block.endsWith(QLatin1Char('\n'))) block.chop(1);
  QList<QStringList> lines;
  if (block.isEmpty()) return lines;
  const bool tabs = block.contains(QLatin1Char('\t'));
  const bool commas = !tabs && block.contains(QLatin1Char(','));
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  for (const QString& line : block.split(QLatin1Char('\n'))) {
    QStringList cells;
    if (tabs || commas) {
      if (!line.trimmed().isEmpty()) cells = line.split(QLatin1Char(tabs ? '\t' : ','));
    } else {
      cells = line.split(blanks, Qt::SkipEmptyParts);
    }
    for (QString& c : cells) c = c.trimmed();
    lines.push_back(cells);
  }
  return lines;
}

int BlockWidth(const QList<QStringList>& block) {
  int width = 0;
  for (const auto& line : block) width = std::max(width, static_cast<int>(line.size()));
  return width;
}

void PasteBlock(GridState& state, int top, int left, const QList<QStringList>& block, int columns) {
  const int needed = top + static_cast<int>(block.size());
  if (state.rows.size() < needed) InsertRows(state, static_cast<int>(state.rows.size()), needed - static_cast<int>(state.rows.size()), columns);
  for (int i = 0; i < block.size(); ++i)
    for (int j = 0; j < block[i].size() && left + j < columns; ++j) state.rows[top + i][left + j] = block[i][j];
}

void InsertRows(GridState& state, int row, int count, int columns) {
  row = std::clamp(row, 0, static_cast<int>(state.rows.size()));
  for (int i = 0; i < count; ++i) {
    state.rows.insert(row, EmptyRow(columns));
    state.readOnly.insert(row, false);
  }
}

void RemoveRows(GridState& state, QList<int> rows, int minRows, int columns) {
  std::sort(rows.begin(), rows.end(), std::greater<int>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (int r : rows) {
    if (r < 0 || r >= state.rows.size()) continue;
    state.rows.removeAt(r);
    state.readOnly.removeAt(r);
  }
  if (state.rows.size() < minRows) InsertRows(state, static_cast<int>(state.rows.size()), minRows - static_cast<int>(state.rows.size()), columns);
}

void MoveRow(GridState& state, int from, int to) {
  const int n = static_cast<int>(state.rows.size());
  if (from < 0 || from >= n || to < 0 || to >= n || from == to) return;
  state.rows.move(from, to);
  state.readOnly.move(from, to);
}

void SortRows(GridState& state, int column, Qt::SortOrder order, bool numeric) {
  struct Key {
    int rank;  // 0 a number, 1 a text, 2 a blank cell, 3 an empty row
    double number;
    std::string text;
    int index;
  };
  std::vector<Key> keys;
  for (int r = 0; r < state.rows.size(); ++r) {
    const QStringList& row = state.rows[r];
    const QString cell = column < row.size() ? row[column].trimmed() : QString();
    Key key{1, 0.0, ToGbk(cell), r};
    const std::optional<double> number = numeric ? ParseNumber(cell.toStdString()) : std::nullopt;
    if (IsEmptyRow(row)) {
      key.rank = 3;
    } else if (cell.isEmpty()) {
      key.rank = 2;
    } else if (number) {
      key.rank = 0;
      key.number = *number;
    }
    keys.push_back(std::move(key));
  }
  const bool descending = order == Qt::DescendingOrder;
  std::stable_sort(keys.begin(), keys.end(), [descending](const Key& a, const Key& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    if (a.rank == 0 && a.number != b.number) return descending ? a.number > b.number : a.number < b.number;
    if (a.rank <= 1 && a.text != b.text) return descending ? a.text > b.text : a.text < b.text;
    return false;
  });
  GridState sorted;
  for (const Key& k : keys) {
    sorted.rows.push_back(state.rows[k.index]);
    sorted.readOnly.push_back(state.readOnly.value(k.index, false));
  }
  state = std::move(sorted);
}

}  // namespace vemo
