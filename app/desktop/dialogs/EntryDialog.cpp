// The five data-entry dialogs over the grid control.
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/desktop/QtText.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "app/desktop/grid/GridCtrl.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"

namespace vemo {

EntryDialog::EntryDialog(CEntryGridRecord record, QWidget* parent) : QDialog(parent), m_Record(std::move(record)) {
  setWindowTitle(FromGbk(m_Record.title));
  auto* layout = new QVBoxLayout(this);
  m_Grid = new CGridCtrl(this);
  QStringList titles;
  for (const auto& c : m_Record.columns) titles << FromGbk(c);
  m_Grid->SetColumnTitles(titles);
  m_Grid->SetRows(m_Record.rows, kEntryGridMinRows);
  // The value cells pass the dialog's IsDigit check at the end of each edit (warning only).
  m_Grid->cellEdited = [this](int column, const QString& text) {
    EndEntryCellEdit(m_Record, static_cast<size_t>(column), ToGbk(text));
  };
  layout->addWidget(m_Grid);
  auto* buttons = new QHBoxLayout;
  auto* add = new QPushButton(FromUtf8(u8"增加行"), this);
  connect(add, &QPushButton::clicked, m_Grid, &CGridCtrl::AddRow);
  buttons->addWidget(add);
  buttons->addStretch();
  auto* ok = new QPushButton(FromUtf8(u8"确认"), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(FromUtf8(u8"取消"), this);
  connect(ok, &QPushButton::clicked, this, &EntryDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  int width = 60;
  for (int c = 0; c < m_Grid->columnCount(); ++c) width += m_Grid->columnWidth(c);
  resize(std::min(width, 1000), 420);
}

void EntryDialog::accept() {
  m_Record.rows = m_Grid->Rows();
  if (!m_Record.linesNotLoaded.empty()) {
    // These lines of the file have no row in the grid; writing the file anew drops them.
    std::string lines;
    for (size_t i = 0; i < m_Record.linesNotLoaded.size() && i < 10; ++i)
      lines += Format(i ? ",%d" : "%d", m_Record.linesNotLoaded[i]);
    if (m_Record.linesNotLoaded.size() > 10) lines += ",...";
    if (!AskYesNo(Format(T(u8"文件%s的第%s行不能读入表格,确认后这些行将被删除。是否继续?"),
                         PathToGbk(m_Record.fileName).c_str(), lines.c_str()),
                  AppTitle(), MessageIcon::Question, 1, MessageAnswer::No))
      return;
  }
  if (!AcceptEntryDialog(m_Record)) return;  // the message is shown; the grid stays
  QDialog::accept();
}

int RunEntryCommand(EntryKind kind, QWidget* parent) {
  CEntryGridRecord record;
  if (!OpenEntryDialog(kind, record)) return 1;
  EntryDialog dialog(std::move(record), parent);
  dialog.exec();
  return 0;
}

}  // namespace vemo
