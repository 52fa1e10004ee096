#include "app/desktop/grid/GridCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QToolTip>
#include <QUndoCommand>
#include <utility>

#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {
namespace {

// The text a cell had after the last change that went through the undo stack: an edit that
// arrives from outside (the cell editor, a setText) is told from it, and undone back to it.
constexpr int kCommittedRole = Qt::UserRole + 1;
// Why the cell's text cannot stand; empty for a good cell.
constexpr int kProblemRole = Qt::UserRole + 2;

const QColor kBadCellColor(255, 190, 190);

}  // namespace

// One cell's edit by the person. Its first redo finds the text already in the cell.
class GridCellCommand final : public QUndoCommand {
 public:
  GridCellCommand(CGridCtrl* grid, int row, int column, QString before, QString after)
      : QUndoCommand(Tr(u8"编辑")), m_Grid(grid), m_Row(row), m_Column(column),
        m_Before(std::move(before)), m_After(std::move(after)) {}
  void undo() override { Set(m_Before); }
  void redo() override {
    if (std::exchange(m_First, false)) return m_Grid->SetCell(m_Row, m_Column, m_After);
    Set(m_After);
  }

 private:
  void Set(const QString& text) {
    m_Grid->SetCell(m_Row, m_Column, text);
    m_Grid->setCurrentCell(m_Row, m_Column);
  }
  CGridCtrl* m_Grid;
  int m_Row, m_Column;
  QString m_Before, m_After;
  bool m_First = true;
};

// A change of several cells or of the rows: the grid before and after it.
class GridStateCommand final : public QUndoCommand {
 public:
  GridStateCommand(CGridCtrl* grid, GridState before, GridState after, const QString& text)
      : QUndoCommand(text), m_Grid(grid), m_Before(std::move(before)), m_After(std::move(after)) {}
  void undo() override { m_Grid->Apply(m_Before); }
  void redo() override { m_Grid->Apply(m_After); }

 private:
  CGridCtrl* m_Grid;
  GridState m_Before, m_After;
};

CGridCtrl::CGridCtrl(QWidget* parent) : QTableWidget(parent) {
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  // Rows are dragged to a new place by their headers; the move goes into the cells at once
  // (RowMoved), so that the rows shown are the rows held, and it can be undone.
  verticalHeader()->setSectionsMovable(true);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setSectionsClickable(true);
  setAlternatingRowColors(false);
  connect(this, &QTableWidget::itemChanged, this, &CGridCtrl::CellChanged);
  connect(verticalHeader(), &QHeaderView::sectionMoved, this, &CGridCtrl::RowMoved);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    const bool again = column == m_SortColumn && m_SortOrder == Qt::AscendingOrder;
    SortByColumn(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
  });
}

void CGridCtrl::SetColumnTitles(const QStringList& titles) {
  setColumnCount(static_cast<int>(titles.size()));
  setHorizontalHeaderLabels(titles);
  for (int c = 0; c < columnCount(); ++c)
    setColumnWidth(c, std::max(110, fontMetrics().horizontalAdvance(titles[c]) + 24));
}

void CGridCtrl::SetNumericColumns(const QList<int>& columns) { m_NumericColumns = columns; }

void CGridCtrl::SetRows(const std::vector<std::vector<std::string>>& rows, int minRows) {
  m_MinRows = minRows;
  GridState state;
  for (int r = 0; r < std::max(minRows, static_cast<int>(rows.size())); ++r) {
    QStringList cells;
    for (int c = 0; c < columnCount(); ++c) {
      const bool has = r < static_cast<int>(rows.size()) && c < static_cast<int>(rows[r].size());
      cells << (has ? FromGbk(rows[r][c]) : QString());
    }
    state.rows << cells;
    state.readOnly << false;
  }
  Apply(state);
  m_Undo.clear();
}

std::vector<std::vector<std::string>> CGridCtrl::Rows() const {
  std::vector<std::vector<std::string>> rows;
  for (int visual = 0; visual < rowCount(); ++visual) {
    const int r = verticalHeader()->logicalIndex(visual);
    std::vector<std::string> cells;
    for (int c = 0; c < columnCount(); ++c) {
      const QTableWidgetItem* it = item(r, c);
      cells.push_back(it ? ToGbk(it->text()) : std::string());
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

void CGridCtrl::SetRowReadOnly(int row, bool readOnly) {
  const bool filling = std::exchange(m_Filling, true);
  for (int c = 0; c < columnCount(); ++c) {
    QTableWidgetItem* it = item(row, c);
    if (!it) continue;
    it->setFlags(readOnly ? (it->flags() & ~Qt::ItemIsEditable) : (it->flags() | Qt::ItemIsEditable));
    it->setForeground(readOnly ? palette().color(QPalette::Disabled, QPalette::Text) : palette().color(QPalette::Text));
  }
  m_Filling = filling;
}

void CGridCtrl::AddRow() {
  const bool filling = std::exchange(m_Filling, true);
  const int r = rowCount();
  insertRow(r);
  for (int c = 0; c < columnCount(); ++c) setItem(r, c, new QTableWidgetItem);
  m_Filling = filling;
  RefreshRowHeaders();
}

GridState CGridCtrl::State() const {
  GridState state;
  for (int r = 0; r < rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < columnCount(); ++c) cells << (item(r, c) ? item(r, c)->text() : QString());
    state.rows << cells;
    state.readOnly << (item(r, 0) && !(item(r, 0)->flags() & Qt::ItemIsEditable));
  }
  return state;
}

void CGridCtrl::Apply(const GridState& state) {
  const int row = currentRow(), column = currentColumn();
  const bool filling = std::exchange(m_Filling, true);
  setRowCount(static_cast<int>(state.rows.size()));
  for (int r = 0; r < rowCount(); ++r) {
    for (int c = 0; c < columnCount(); ++c) SetCell(r, c, state.rows[r].value(c));
    SetRowReadOnly(r, state.readOnly.value(r, false));
  }
  m_Filling = filling;
  RefreshRowHeaders();
  if (row >= 0 && row < rowCount() && column >= 0) setCurrentCell(row, column);
}

void CGridCtrl::PushState(const GridState& next, const QString& text) {
  GridState now = State();
  if (next == now) return;
  m_Undo.push(new GridStateCommand(this, std::move(now), next, text));
}

void CGridCtrl::SetCell(int row, int column, const QString& text) {
  const bool filling = std::exchange(m_Filling, true);
  while (rowCount() <= row) AddRow();
  QTableWidgetItem* it = item(row, column);
  if (!it) setItem(row, column, it = new QTableWidgetItem);
  it->setText(text);
  it->setData(kCommittedRole, text);
  Mark(it);
  m_Filling = filling;
  if (!m_Filling) RefreshRowHeaders();
}

void CGridCtrl::CellChanged(QTableWidgetItem* item) {
  if (m_Filling) return;
  const QString before = item->data(kCommittedRole).toString();
  const QString after = item->text();
  if (before == after) return;
  m_Undo.push(new GridCellCommand(this, item->row(), item->column(), before, after));
  if (cellEdited) cellEdited(item->column(), after);
}

void CGridCtrl::RowMoved(int, int oldVisual, int newVisual) {
  if (m_Filling) return;
  // The header is put back and the row moved in the cells instead.
  const bool filling = std::exchange(m_Filling, true);
  verticalHeader()->moveSection(newVisual, oldVisual);
  m_Filling = filling;
  GridState next = State();
  MoveRow(next, oldVisual, newVisual);
  PushState(next, Tr(u8"移动行"));
  setCurrentCell(newVisual, std::max(0, currentColumn()));
}

void CGridCtrl::Mark(QTableWidgetItem* item) {
  const bool filling = std::exchange(m_Filling, true);
  const QString problem = cellProblem ? cellProblem(item->column(), item->text()) : QString();
  item->setData(kProblemRole, problem.isEmpty() ? QVariant() : QVariant(problem));
  item->setData(Qt::BackgroundRole, problem.isEmpty() ? QVariant() : QVariant(kBadCellColor));
  m_Filling = filling;
}

void CGridCtrl::RefreshRowHeaders() {
  if (!rowNote) return;
  const bool filling = std::exchange(m_Filling, true);
  for (int r = 0; r < rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < columnCount(); ++c) cells << (item(r, c) ? item(r, c)->text() : QString());
    const QString note = rowNote(cells);
    const QString label = note.isEmpty() ? QString::number(r + 1) : QStringLiteral("%1 %2").arg(r + 1).arg(note);
    if (QTableWidgetItem* header = verticalHeaderItem(r)) header->setText(label);
    else setVerticalHeaderItem(r, new QTableWidgetItem(label));
  }
  m_Filling = filling;
}

QString CGridCtrl::SelectedText() const {
  const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
  if (ranges.isEmpty()) return QString();
  const QTableWidgetSelectionRange range = ranges.first();
  QString text;
  for (int r = range.topRow(); r <= range.bottomRow(); ++r) {
    for (int c = range.leftColumn(); c <= range.rightColumn(); ++c) {
      if (c > range.leftColumn()) text += QLatin1Char('\t');
      if (const QTableWidgetItem* it = item(r, c)) text += it->text();
    }
    text += QLatin1Char('\n');
  }
  return text;
}

QList<int> CGridCtrl::SelectedRows() const {
  QList<int> rows;
  for (const QTableWidgetSelectionRange& range : selectedRanges())
    for (int r = range.topRow(); r <= range.bottomRow(); ++r)
      if (!rows.contains(r)) rows << r;
  if (rows.isEmpty() && currentRow() >= 0) rows << currentRow();
  std::sort(rows.begin(), rows.end());
  return rows;
}

bool CGridCtrl::RefuseReadOnly(const QList<int>& rows) {
  for (int r : rows) {
    if (r >= rowCount() || !item(r, 0) || (item(r, 0)->flags() & Qt::ItemIsEditable)) continue;
    ShowMessage(Format(UiText(u8"第%d行是只读的,不能修改!"), r + 1), AppTitle(), MessageIcon::Warning);
    return true;
  }
  return false;
}

void CGridCtrl::PasteText(const QString& text) {
  const QList<QStringList> block = SplitPastedText(text);
  if (block.isEmpty()) return;
  const int top = std::max(0, currentRow());
  const int left = std::max(0, currentColumn());
  const int width = BlockWidth(block);
  if (left + width > columnCount() &&
      !AskYesNo(Format(UiText(u8"粘贴的数据有%d列,从当前列起表格只有%d列,多出的%d列将被舍去。是否继续粘贴?"), width,
                       columnCount() - left, left + width - columnCount()),
                AppTitle(), MessageIcon::Question, 1, MessageAnswer::No))
    return;
  QList<int> rows;
  for (int i = 0; i < block.size(); ++i) rows << top + static_cast<int>(i);
  if (RefuseReadOnly(rows)) return;
  GridState next = State();
  PasteBlock(next, top, left, block, columnCount());
  PushState(next, Tr(u8"粘贴"));
}

void CGridCtrl::Copy() { QApplication::clipboard()->setText(SelectedText()); }

void CGridCtrl::Cut() {
  Copy();
  ClearSelectedCells();
}

void CGridCtrl::Paste() { PasteText(QApplication::clipboard()->text()); }

void CGridCtrl::ClearSelectedCells() {
  GridState next = State();
  for (QTableWidgetItem* it : selectedItems())
    if (it->flags() & Qt::ItemIsEditable) next.rows[it->row()][it->column()].clear();
  PushState(next, Tr(u8"清除"));
}

void CGridCtrl::InsertRows() {
  const QList<int> rows = SelectedRows();
  GridState next = State();
  vemo::InsertRows(next, rows.isEmpty() ? rowCount() : rows.first(), std::max(1, static_cast<int>(rows.size())),
                   columnCount());
  PushState(next, Tr(u8"插入行"));
}

void CGridCtrl::DeleteRows() {
  const QList<int> rows = SelectedRows();
  if (rows.isEmpty() || RefuseReadOnly(rows)) return;
  GridState next = State();
  RemoveRows(next, rows, m_MinRows, columnCount());
  PushState(next, Tr(u8"删除行"));
}

void CGridCtrl::SortByColumn(int column, Qt::SortOrder order) {
  if (column < 0 || column >= columnCount()) return;
  m_SortColumn = column;
  m_SortOrder = order;
  horizontalHeader()->setSortIndicatorShown(true);
  horizontalHeader()->setSortIndicator(column, order);
  GridState next = State();
  SortRows(next, column, order, m_NumericColumns.contains(column));
  PushState(next, Tr(u8"排序"));
}

void CGridCtrl::CommitEdit() {
  if (state() != QAbstractItemView::EditingState) return;
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void CGridCtrl::SelectCell(int row, int column) {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return;
  clearSelection();
  setCurrentCell(row, column);
  scrollToItem(item(row, column), QAbstractItemView::PositionAtCenter);
}

void CGridCtrl::MoveDown() {
  const int row = currentRow() + 1;
  if (row >= rowCount()) AddRow();
  setCurrentCell(row, std::max(0, currentColumn()));
}

void CGridCtrl::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Enter ends a cell edit with SubmitModelCache: the edit is kept and the next row's cell
  // becomes current, as in a spreadsheet.
  if (hint != QAbstractItemDelegate::SubmitModelCache) return QTableWidget::closeEditor(editor, hint);
  QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
  MoveDown();
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (state() == QAbstractItemView::EditingState) {
    // The editor has taken Enter (closeEditor moves down); the dialog must not see it too.
    if (enter) return event->accept();
  } else {
    if (enter) return MoveDown();
    if (event->matches(QKeySequence::Copy)) return Copy();
    if (event->matches(QKeySequence::Cut)) return Cut();
    if (event->matches(QKeySequence::Paste)) return Paste();
    if (event->matches(QKeySequence::Undo)) return m_Undo.undo();
    if (event->matches(QKeySequence::Redo) || event->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y))
      return m_Undo.redo();
    if (event->key() == Qt::Key_Delete) return ClearSelectedCells();
    // Moving down from the last row adds a row, as the entry grid grows on demand.
    if (event->key() == Qt::Key_Down && currentRow() == rowCount() - 1) AddRow();
  }
  QTableWidget::keyPressEvent(event);
}

void CGridCtrl::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  auto add = [&menu](QMenu* to, const char* text, QKeySequence keys, auto slot) {
    QAction* a = to->addAction(Tr(text), slot);
    a->setShortcut(keys);
    return a;
  };
  add(&menu, TrNoop(u8"剪切(&T)"), QKeySequence::Cut, [this] { Cut(); });
  add(&menu, TrNoop(u8"复制(&C)"), QKeySequence::Copy, [this] { Copy(); });
  add(&menu, TrNoop(u8"粘贴(&P)"), QKeySequence::Paste, [this] { Paste(); });
  add(&menu, TrNoop(u8"清除(&E)"), QKeySequence::Delete, [this] { ClearSelectedCells(); });
  menu.addSeparator();
  add(&menu, TrNoop(u8"插入行(&I)"), {}, [this] { InsertRows(); });
  add(&menu, TrNoop(u8"删除行(&D)"), {}, [this] { DeleteRows(); });
  menu.addSeparator();
  add(&menu, TrNoop(u8"撤销(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { m_Undo.undo(); })->setEnabled(m_Undo.canUndo());
  add(&menu, TrNoop(u8"重做(&R)"), QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { m_Undo.redo(); })->setEnabled(m_Undo.canRedo());
  menu.addSeparator();
  QMenu* sort = menu.addMenu(Tr(u8"排序(&S)"));
  for (int c = 0; c < columnCount(); ++c) {
    const QString title = horizontalHeaderItem(c) ? horizontalHeaderItem(c)->text() : QString::number(c + 1);
    sort->addAction(title + Tr(u8" 升序"), [this, c] { SortByColumn(c, Qt::AscendingOrder); });
    sort->addAction(title + Tr(u8" 降序"), [this, c] { SortByColumn(c, Qt::DescendingOrder); });
  }
  menu.exec(event->globalPos());
}

bool CGridCtrl::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    // A bad cell tells why; else the title tip: a cell whose text does not fit shows all of it.
    auto* help = static_cast<QHelpEvent*>(event);
    QTableWidgetItem* it = itemAt(help->pos());
    const QString problem = it ? it->data(kProblemRole).toString() : QString();
    if (!problem.isEmpty()) {
      QToolTip::showText(help->globalPos(), problem, viewport(), visualItemRect(it));
    } else if (it && !it->text().isEmpty() &&
               fontMetrics().horizontalAdvance(it->text()) + 8 > visualItemRect(it).width()) {
      QToolTip::showText(help->globalPos(), it->text(), viewport(), visualItemRect(it));
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QTableWidget::viewportEvent(event);
}

}  // namespace vemo
