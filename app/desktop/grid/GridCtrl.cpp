#include "app/desktop/grid/GridCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>

#include "app/desktop/QtText.h"

namespace vemo {

CGridCtrl::CGridCtrl(QWidget* parent) : QTableWidget(parent) {
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  // Rows are dragged to a new place by their headers.
  verticalHeader()->setSectionsMovable(true);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  horizontalHeader()->setStretchLastSection(true);
  setAlternatingRowColors(false);
  connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!m_Filling && cellEdited) cellEdited(item->column(), item->text());
  });
}

void CGridCtrl::SetColumnTitles(const QStringList& titles) {
  setColumnCount(static_cast<int>(titles.size()));
  setHorizontalHeaderLabels(titles);
  for (int c = 0; c < columnCount(); ++c)
    setColumnWidth(c, std::max(110, fontMetrics().horizontalAdvance(titles[c]) + 24));
}

void CGridCtrl::SetRows(const std::vector<std::vector<std::string>>& rows, int minRows) {
  m_Filling = true;
  clearContents();
  setRowCount(std::max(minRows, static_cast<int>(rows.size())));
  for (int r = 0; r < rowCount(); ++r)
    for (int c = 0; c < columnCount(); ++c) {
      const bool has = r < static_cast<int>(rows.size()) && c < static_cast<int>(rows[r].size());
      setItem(r, c, new QTableWidgetItem(has ? FromGbk(rows[r][c]) : QString()));
    }
  m_Filling = false;
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
  for (int c = 0; c < columnCount(); ++c) {
    QTableWidgetItem* it = item(row, c);
    if (!it) continue;
    it->setFlags(readOnly ? (it->flags() & ~Qt::ItemIsEditable) : (it->flags() | Qt::ItemIsEditable));
    it->setForeground(readOnly ? palette().color(QPalette::Disabled, QPalette::Text) : palette().color(QPalette::Text));
  }
}

void CGridCtrl::AddRow() {
  m_Filling = true;
  const int r = rowCount();
  insertRow(r);
  for (int c = 0; c < columnCount(); ++c) setItem(r, c, new QTableWidgetItem);
  m_Filling = false;
}

QString CGridCtrl::SelectedText() const {
  const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
  if (ranges.isEmpty()) return QString();
  const QTableWidgetSelectionRange range = ranges.first();
  QString text;
  // Visual order, so that dragged rows copy as they are shown.
  for (int visual = range.topRow(); visual <= range.bottomRow(); ++visual) {
    const int r = verticalHeader()->logicalIndex(visual);
    for (int c = range.leftColumn(); c <= range.rightColumn(); ++c) {
      if (c > range.leftColumn()) text += QLatin1Char('\t');
      if (const QTableWidgetItem* it = item(r, c)) text += it->text();
    }
    text += QLatin1Char('\n');
  }
  return text;
}

void CGridCtrl::PasteText(const QString& text) {
  QString block = text;
  block.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (block.endsWith(QLatin1Char('\n'))) block.chop(1);
  if (block.isEmpty()) return;
  const QStringList lines = block.split(QLatin1Char('\n'));
  const int top = std::max(0, visualRow(currentRow()));
  const int left = std::max(0, currentColumn());
  while (rowCount() < top + static_cast<int>(lines.size())) AddRow();
  for (int i = 0; i < lines.size(); ++i) {
    const int r = verticalHeader()->logicalIndex(top + i);
    const QStringList cells = lines[i].split(QLatin1Char('\t'));
    for (int j = 0; j < cells.size() && left + j < columnCount(); ++j) {
      QTableWidgetItem* it = item(r, left + j);
      if (!it) setItem(r, left + j, it = new QTableWidgetItem);
      if (it->flags() & Qt::ItemIsEditable) it->setText(cells[j].trimmed());
    }
  }
}

void CGridCtrl::Copy() { QApplication::clipboard()->setText(SelectedText()); }

void CGridCtrl::Paste() { PasteText(QApplication::clipboard()->text()); }

void CGridCtrl::ClearSelectedCells() {
  for (QTableWidgetItem* it : selectedItems())
    if (it->flags() & Qt::ItemIsEditable) it->setText(QString());
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
  if (state() != QAbstractItemView::EditingState) {
    if (event->matches(QKeySequence::Copy)) return Copy();
    if (event->matches(QKeySequence::Paste)) return Paste();
    if (event->key() == Qt::Key_Delete) return ClearSelectedCells();
    // Moving down from the last row adds a row, as the entry grid grows on demand.
    if (event->key() == Qt::Key_Down && currentRow() >= 0 && visualRow(currentRow()) == rowCount() - 1) AddRow();
  }
  QTableWidget::keyPressEvent(event);
}

bool CGridCtrl::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    // The title tip: a cell whose text does not fit shows all of it.
    auto* help = static_cast<QHelpEvent*>(event);
    QTableWidgetItem* it = itemAt(help->pos());
    if (it && !it->text().isEmpty() &&
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
