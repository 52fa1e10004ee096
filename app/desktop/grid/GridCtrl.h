// The grid control of the data-entry dialogs: editable cells under column titles, at least
// a given number of rows and more on demand, in-place editing, copy, cut and paste of cell
// ranges (tab-, comma- or blank-separated text, as spreadsheets, reports and files give it),
// rows inserted, deleted and reordered by dragging their headers, sorting by a column (a
// click on its title), undo and redo of every change of the cells, a check at the end of
// each cell edit, cells whose text cannot stand marked red with the reason as their tip, and
// title tips for cells too narrow for their text. Enter moves down a row; it never reaches
// the dialog's buttons. The cells hold Unicode; the dialogs exchange GBK rows with their
// records.
#pragma once

#include <QTableWidget>
#include <QUndoStack>
#include <functional>
#include <string>
#include <vector>

#include "app/desktop/grid/GridState.h"

namespace vemo {

class CGridCtrl final : public QTableWidget {
  Q_OBJECT

 public:
  explicit CGridCtrl(QWidget* parent = nullptr);

  void SetColumnTitles(const QStringList& titles);
  // Columns that hold numbers: they sort by value. The others sort as text.
  void SetNumericColumns(const QList<int>& columns);
  // Fills the grid with GBK rows, padded to at least minRows rows; no edit to undo after it.
  void SetRows(const std::vector<std::vector<std::string>>& rows, int minRows);
  // The rows as they are shown, GBK, one cell a column.
  std::vector<std::vector<std::string>> Rows() const;
  void SetRowReadOnly(int row, bool readOnly);

  void AddRow();
  // The selected range as tab-separated lines.
  QString SelectedText() const;
  // Pastes a block (SplitPastedText) with its top left at the current cell; rows are added
  // as needed. A block wider than the columns from the current one asks before the columns
  // beyond are dropped; a block that would land on read-only rows is refused with a message.
  // One step to undo.
  void PasteText(const QString& text);
  void Copy();
  void Cut();
  void Paste();
  void ClearSelectedCells();
  // Empty rows inserted above the current one, as many as rows are selected (at least one).
  void InsertRows();
  // The selected rows removed (read-only ones are refused with a message).
  void DeleteRows();
  void SortByColumn(int column, Qt::SortOrder order);

  QUndoStack* UndoStack() { return &m_Undo; }
  // Whether the cells differ from what SetRows gave or SetUnmodified last saw (an edit that
  // was undone is no difference).
  bool IsModified() const { return !m_Undo.isClean(); }
  void SetUnmodified() { m_Undo.setClean(); }
  // Ends an open cell edit, keeping what was typed.
  void CommitEdit();
  // Makes a cell current and selected, scrolled into view.
  void SelectCell(int row, int column);

  // Called at the end of a cell edit by the person (not while the grid is filled, nor for
  // paste, undo or redo); the dialog's check.
  std::function<void(int column, const QString& text)> cellEdited;
  // Why a cell's text cannot stand, or an empty string: such cells are shown red with the
  // reason as their tip.
  std::function<QString(int column, const QString& text)> cellProblem;
  // A short note shown after the row's number in its header (how the row reads), or empty.
  std::function<QString(const QStringList& cells)> rowNote;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  friend class GridCellCommand;
  friend class GridStateCommand;

  GridState State() const;
  void Apply(const GridState& state);
  void PushState(const GridState& next, const QString& text);
  void SetCell(int row, int column, const QString& text);
  void CellChanged(QTableWidgetItem* item);
  void RowMoved(int logical, int oldVisual, int newVisual);
  void MoveDown();
  void Mark(QTableWidgetItem* item);
  void RefreshRowHeaders();
  QList<int> SelectedRows() const;
  bool RefuseReadOnly(const QList<int>& rows);

  bool m_Filling = false;
  int m_MinRows = 0;
  QList<int> m_NumericColumns;
  int m_SortColumn = -1;
  Qt::SortOrder m_SortOrder = Qt::AscendingOrder;
  QUndoStack m_Undo;
};

}  // namespace vemo
