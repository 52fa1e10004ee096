// The grid control of the data-entry dialogs: editable cells under column titles, at least
// a given number of rows and more on demand, in-place editing, copy and paste of cell ranges
// as tab-separated text (as a spreadsheet exchanges them), rows reordered by dragging their
// headers, a check at the end of each cell edit, and title tips for cells too narrow for
// their text. The cells hold Unicode; the dialogs exchange GBK rows with their records.
#pragma once

#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

namespace vemo {

class CGridCtrl final : public QTableWidget {
  Q_OBJECT

 public:
  explicit CGridCtrl(QWidget* parent = nullptr);

  void SetColumnTitles(const QStringList& titles);
  // Fills the grid with GBK rows, padded to at least minRows rows.
  void SetRows(const std::vector<std::vector<std::string>>& rows, int minRows);
  // The rows as they are shown (dragged rows in their new place), GBK, one cell a column.
  std::vector<std::vector<std::string>> Rows() const;
  void SetRowReadOnly(int row, bool readOnly);

  void AddRow();
  // The selected range as tab-separated lines.
  QString SelectedText() const;
  // Pastes tab-separated lines with their top left at the current cell; rows are added as
  // needed; columns beyond the grid are dropped.
  void PasteText(const QString& text);
  void Copy();
  void Paste();
  void ClearSelectedCells();

  // Called at the end of a cell edit (not while the grid is filled); the dialog's check.
  std::function<void(int column, const QString& text)> cellEdited;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  bool m_Filling = false;
};

}  // namespace vemo
