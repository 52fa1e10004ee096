// A result file shown as a table: sortable by any column (numbers by value), rows that exceed
// their tolerance highlighted, the selection copied as tab-separated text (Ctrl+C, for a
// spreadsheet or a report), and every row exported as CSV in the order shown.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <QWidget>

#include "app/desktop/ResultTables.h"

class QLabel;

namespace vemo {

class ResultTableModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ResultTableModel(ResultTable table, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  // Numbers compare by value and come before text; equal cells keep their order.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  const ResultTable& Table() const { return m_Table; }
  bool IsFailing(int row) const { return m_Table.rows[row].failing; }
  // The rows in the order shown, as CSV (ToCsv).
  std::string Csv() const;

  // The colours of a failing row.
  static QColor FailingBackground();
  static QColor FailingText();

 private:
  ResultTable m_Table;
};

// The table view: its copy key copies the selection rather than leaving it to the main
// window's edit menu, which acts on text documents.
class ResultTableGrid final : public QTableView {
  Q_OBJECT

 public:
  using QTableView::QTableView;
  // The selected cells as rows of tab-separated text, from the top-left to the bottom-right
  // selected cell (cells inside that range but not selected are empty).
  QString SelectionText() const;
  void CopySelection() const;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

class ResultTableView final : public QWidget {
  Q_OBJECT

 public:
  explicit ResultTableView(ResultTable table, const QString& sourcePath, QWidget* parent = nullptr);
  ResultTableGrid* Grid() const { return m_Grid; }
  ResultTableModel* Model() const { return m_Model; }
  QString SourcePath() const { return m_Source; }
  // Writes the CSV to path (atomically); false after a message when it cannot be written.
  bool ExportCsv(const QString& path);
  // Asks for the file name (beside the source, named after it) and exports.
  void ExportCsvCommand();

 private:
  ResultTableGrid* m_Grid;
  ResultTableModel* m_Model;
  QString m_Source;
};

}  // namespace vemo
