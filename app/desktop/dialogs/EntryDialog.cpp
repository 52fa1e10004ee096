// The five data-entry dialogs over the grid control.
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "app/desktop/grid/GridCtrl.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {

EntryDialog::EntryDialog(CEntryGridRecord record, QWidget* parent) : QDialog(parent), m_Record(std::move(record)) {
  setWindowTitle(TrGbk(m_Record.title));
  auto* layout = new QVBoxLayout(this);
  m_Grid = new CGridCtrl(this);
  // The headings carry the unit or angle form of their values; the record keeps the titles.
  QStringList titles;
  const auto headers = EntryColumnHeaders(m_Record.kind);
  QList<int> numeric;
  for (size_t c = 0; c < m_Record.columns.size(); ++c) {
    titles << (headers.size() == m_Record.columns.size() ? Tr(headers[c].c_str()) : TrGbk(m_Record.columns[c]));
    if (IsEntryValueColumn(m_Record.kind, c)) numeric << static_cast<int>(c);
  }
  m_Grid->SetColumnTitles(titles);
  m_Grid->SetNumericColumns(numeric);
  const EntryKind kind = m_Record.kind;
  m_Grid->cellProblem = [kind](int column, const QString& text) {
    return FromGbk(EntryCellProblem(kind, static_cast<size_t>(column), ToGbk(text)));
  };
  if (kind == EntryKind::KnownXYZ) {
    // Each row says how the adjustments will read it: X, Y, Z or B, L, H.
    m_Grid->rowNote = [](const QStringList& cells) {
      std::vector<std::string> row;
      for (const QString& c : cells) row.push_back(ToGbk(c));
      return QString::fromStdString(KnownXyzRowReading(row));
    };
  }
  m_Grid->SetRows(m_Record.rows, kEntryGridMinRows);
  // The value cells pass the dialog's IsDigit check at the end of each edit (warning only).
  m_Grid->cellEdited = [this](int column, const QString& text) {
    EndEntryCellEdit(m_Record, static_cast<size_t>(column), ToGbk(text));
  };
  layout->addWidget(m_Grid);
  auto* buttons = new QHBoxLayout;
  auto* add = new QPushButton(Tr(u8"增加行"), this);
  connect(add, &QPushButton::clicked, m_Grid, &CGridCtrl::AddRow);
  buttons->addWidget(add);
  buttons->addStretch();
  // "确认" is a press of its button only: Enter belongs to the grid (it moves down a row).
  auto* ok = new QPushButton(Tr(u8"确认"), this);
  ok->setObjectName(QStringLiteral("ok"));
  auto* cancel = new QPushButton(Tr(u8"取消"), this);
  cancel->setObjectName(QStringLiteral("cancel"));
  for (QPushButton* b : {add, ok, cancel}) b->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &EntryDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  int width = 60 + m_Grid->verticalHeader()->sizeHint().width();
  for (int c = 0; c < m_Grid->columnCount(); ++c) width += m_Grid->columnWidth(c);
  resize(std::min(width, 1000), 420);
}

void EntryDialog::accept() {
  m_Grid->CommitEdit();
  m_Record.rows = m_Grid->Rows();
  // A cell that cannot be written is shown, not only named by its row.
  if (auto problem = FindEntryProblem(m_Record)) {
    m_Grid->SelectCell(static_cast<int>(problem->row), static_cast<int>(problem->column));
    ShowMessage(problem->message, AppTitle(), MessageIcon::Warning);
    m_Grid->setFocus();
    return;
  }
  if (!m_Record.linesNotLoaded.empty()) {
    // These lines of the file have no row in the grid; writing the file anew drops them.
    std::string lines;
    for (size_t i = 0; i < m_Record.linesNotLoaded.size() && i < 10; ++i)
      lines += Format(i ? ",%d" : "%d", m_Record.linesNotLoaded[i]);
    if (m_Record.linesNotLoaded.size() > 10) lines += ",...";
    if (!AskYesNo(Format(UiText(u8"文件%s的第%s行不能读入表格,确认后这些行将被删除。是否继续?"),
                         PathToGbk(m_Record.fileName).c_str(), lines.c_str()),
                  AppTitle(), MessageIcon::Question, 1, MessageAnswer::No))
      return;
  }
  if (!AcceptEntryDialog(m_Record)) return;  // the message is shown; the grid stays
  m_Grid->SetUnmodified();
  QDialog::accept();
}

std::optional<MessageAnswer> AskAboutGridEdits(CGridCtrl* grid) {
  grid->CommitEdit();
  if (!grid->IsModified()) return std::nullopt;
  return ShowMessage(UiText(u8"表格中的数据已修改,是否保存?\n\n是: 保存修改并关闭\n否: 放弃修改并关闭\n取消: 继续编辑"),
                     AppTitle(), MessageIcon::Question, MessageButtons::YesNoCancel, 0);
}

void EntryDialog::reject() {
  // Esc, the window's close button and "取消" all come here: typed rows are never dropped
  // without a question.
  if (const auto answer = AskAboutGridEdits(m_Grid)) {
    if (*answer == MessageAnswer::Yes) return accept();  // stays open when the grid cannot be saved
    if (*answer != MessageAnswer::No) return;
  }
  QDialog::reject();
}

int RunEntryCommand(EntryKind kind, QWidget* parent) {
  CEntryGridRecord record;
  if (!OpenEntryDialog(kind, record)) return 1;
  EntryDialog dialog(std::move(record), parent);
  dialog.exec();
  return 0;
}

}  // namespace vemo
