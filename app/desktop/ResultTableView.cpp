#include "app/desktop/ResultTableView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {
namespace {

// A cell's value for sorting: numbers by value, before text.
struct SortKey {
  bool number;
  double value;
  QString text;
};
SortKey KeyOf(const std::string& cell) {
  const QString text = QString::fromStdString(cell);
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (ok && std::isfinite(value)) return {true, value, text};
  return {false, 0.0, text};
}
bool Less(const SortKey& a, const SortKey& b) {
  if (a.number != b.number) return a.number;
  if (a.number) return a.value < b.value;
  return a.text.localeAwareCompare(b.text) < 0;
}

}  // namespace

ResultTableModel::ResultTableModel(ResultTable table, QObject* parent)
    : QAbstractTableModel(parent), m_Table(std::move(table)) {}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_Table.rows.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_Table.columns.size());
}

QColor ResultTableModel::FailingBackground() { return QColor(255, 214, 214); }
QColor ResultTableModel::FailingText() { return QColor(160, 0, 0); }

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const ResultTable::Row& row = m_Table.rows[index.row()];
  const std::string cell = index.column() < static_cast<int>(row.cells.size()) ? row.cells[index.column()] : std::string();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return QString::fromStdString(cell);
    case Qt::TextAlignmentRole:
      return static_cast<int>((KeyOf(cell).number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::BackgroundRole: return row.failing ? QVariant(FailingBackground()) : QVariant();
    case Qt::ForegroundRole: return row.failing ? QVariant(FailingText()) : QVariant();
    case Qt::ToolTipRole: return row.failing ? Tr(u8"超限: 超出限差") : QVariant();
    default: return {};
  }
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= columnCount()) return {};
  return Tr(m_Table.columns[section].c_str());
}

void ResultTableModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= columnCount()) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<std::pair<SortKey, int>> keys;
  keys.reserve(m_Table.rows.size());
  for (size_t i = 0; i < m_Table.rows.size(); ++i) {
    const auto& cells = m_Table.rows[i].cells;
    keys.emplace_back(KeyOf(column < static_cast<int>(cells.size()) ? cells[column] : std::string()), static_cast<int>(i));
  }
  std::stable_sort(keys.begin(), keys.end(), [order](const auto& a, const auto& b) {
    return order == Qt::AscendingOrder ? Less(a.first, b.first) : Less(b.first, a.first);
  });
  std::vector<ResultTable::Row> rows;
  std::vector<int> newRow(keys.size());
  rows.reserve(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    rows.push_back(std::move(m_Table.rows[keys[i].second]));
    newRow[keys[i].second] = static_cast<int>(i);
  }
  m_Table.rows = std::move(rows);
  QModelIndexList after;
  for (const QModelIndex& index : before) after << this->index(newRow[index.row()], index.column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::string ResultTableModel::Csv() const {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(m_Table.rows.size());
  for (const auto& row : m_Table.rows) rows.push_back(row.cells);
  return ToCsv(m_Table.columns, rows);
}

QString ResultTableGrid::SelectionText() const {
  const QModelIndexList selected = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
  if (selected.isEmpty()) return {};
  int top = selected.front().row(), bottom = top, left = selected.front().column(), right = left;
  for (const QModelIndex& index : selected) {
    top = std::min(top, index.row());
    bottom = std::max(bottom, index.row());
    left = std::min(left, index.column());
    right = std::max(right, index.column());
  }
  QString text;
  for (int row = top; row <= bottom; ++row) {
    QStringList cells;
    for (int column = left; column <= right; ++column) {
      const QModelIndex index = model()->index(row, column);
      cells << (selectionModel()->isSelected(index) ? index.data().toString() : QString());
    }
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  return text;
}

void ResultTableGrid::CopySelection() const { QApplication::clipboard()->setText(SelectionText()); }

bool ResultTableGrid::event(QEvent* event) {
  // The copy key belongs to the table while it has the focus: the edit menu's copy, a window
  // shortcut of the main window, acts on text documents only.
  if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    event->accept();
    return true;
  }
  return QTableView::event(event);
}

void ResultTableGrid::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

ResultTableView::ResultTableView(ResultTable table, const QString& sourcePath, QWidget* parent)
    : QWidget(parent), m_Source(sourcePath) {
  setAttribute(Qt::WA_DeleteOnClose);
  const int failing = static_cast<int>(std::count_if(table.rows.begin(), table.rows.end(), [](const auto& r) { return r.failing; }));
  const int rows = static_cast<int>(table.rows.size());
  const int skipped = table.skippedLines;
  setWindowTitle(Tr(table.title.c_str()) + QStringLiteral(" - ") + QFileInfo(sourcePath).fileName());
  m_Model = new ResultTableModel(std::move(table), this);
  m_Grid = new ResultTableGrid(this);
  m_Grid->setModel(m_Model);
  // The file's own order until a column is chosen (sorting starts by the indicator's column).
  m_Grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  m_Grid->setSortingEnabled(true);
  m_Grid->horizontalHeader()->setSortIndicatorShown(true);
  // A column the file left empty throughout (the evaluation stage of an ordinary grade, the
  // geodetic coordinates without their file) takes no room; the CSV keeps it.
  const ResultTable& rowsShown = m_Model->Table();
  for (int column = 0; column < m_Model->columnCount(); ++column) {
    const bool empty = std::all_of(rowsShown.rows.begin(), rowsShown.rows.end(), [column](const ResultTable::Row& r) {
      return column >= static_cast<int>(r.cells.size()) || r.cells[column].empty();
    });
    m_Grid->setColumnHidden(column, empty && !rowsShown.rows.empty());
  }
  m_Grid->setSelectionBehavior(QAbstractItemView::SelectItems);
  m_Grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_Grid->setAlternatingRowColors(true);
  m_Grid->verticalHeader()->setDefaultSectionSize(m_Grid->fontMetrics().height() + 6);
  m_Grid->resizeColumnsToContents();

  auto* bar = new QToolBar(this);
  QAction* copy = bar->addAction(Tr(u8"复制(&C)"), m_Grid, &ResultTableGrid::CopySelection);
  copy->setToolTip(Tr(u8"复制选中的单元格(制表符分隔)  Ctrl+C"));
  QAction* exportCsv = bar->addAction(Tr(u8"导出CSV(&E)..."), this, &ResultTableView::ExportCsvCommand);
  exportCsv->setToolTip(Tr(u8"全部行按当前顺序导出为CSV文件(UTF-8)"));
  m_Grid->setContextMenuPolicy(Qt::ActionsContextMenu);
  m_Grid->addAction(copy);
  m_Grid->addAction(exportCsv);
  auto* summary = new QLabel(this);
  QString text = Tr(u8"共 %1 行").arg(rows);
  if (failing > 0) text += Tr(u8"，<span style='color:#a00000'>超限 %1 行</span>").arg(failing);
  if (skipped > 0) text += Tr(u8"，%1 行不是表格行(标题、分隔线或无法识别的行)").arg(skipped);
  summary->setText(text);
  bar->addSeparator();
  bar->addWidget(summary);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(m_Grid);
  resize(760, 420);
}

bool ResultTableView::ExportCsv(const QString& path) {
  std::string error;
  if (WriteFileAtomically(ToPath(path), m_Model->Csv(), &error)) return true;
  ShowMessage(Format(UiText(u8"写入文件%s出错: %s"), PathToGbk(ToPath(path)).c_str(), error.c_str()), AppTitle(),
              MessageIcon::Warning);
  return false;
}

void ResultTableView::ExportCsvCommand() {
  const QFileInfo source(m_Source);
  FileDialogRequest request;
  request.open = false;
  request.title = UiText(u8"导出CSV");
  request.filters = {{UiText(u8"CSV文件(*.csv)"), "*.csv"}};
  request.initialDirectory = ToPath(source.absolutePath());
  request.defaultName = ToPath(source.fileName() + QStringLiteral(".csv"));
  const auto chosen = Platform().ChooseFiles(request);
  if (!chosen || chosen->empty()) return;
  ExportCsv(FromPath(chosen->front()));
}

}  // namespace vemo
