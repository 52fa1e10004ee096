// The baseline file dialogs: the import selection ("基线文件格式转换"), the independent
// baselines ("生成独立基线文件") and the synchronous loop files ("选取同步环基线文件"), over
// the file chooser record they share; the height model and the zone change dialogs.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "baselines/IndependentBaselines.h"
#include "baselines/SelectBaselineDlg.h"
#include "geodesy/BaselinePackages.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "geodesy/ZoneChange.h"
#include "project/AppState.h"
#include "project/HeightModelDlg.h"

namespace vemo {
namespace {

// The chooser part: the folder with "浏览", the candidates, "选定─〉", "全选─〉",
// "删除已选" and the chosen list.
class ChooserPanel final : public QWidget {
 public:
  ChooserPanel(CBaselineFileChooser& files, std::function<bool()> browse, QWidget* parent)
      : QWidget(parent), m_Files(files) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(Tr(u8"基线文件路径:")), 0, 0);
    m_Directory = new QLineEdit;
    m_Directory->setReadOnly(true);
    grid->addWidget(m_Directory, 0, 1, 1, 2);
    auto* browseButton = new QPushButton(Tr(u8"浏览..."));
    grid->addWidget(browseButton, 0, 3);
    connect(browseButton, &QPushButton::clicked, this, [this, browse] {
      if (browse()) Refresh();
    });
    grid->addWidget(new QLabel(Tr(u8"待选基线文件")), 1, 0);
    grid->addWidget(new QLabel(Tr(u8"已选基线文件")), 1, 2, 1, 2);
    m_Candidates = new QListWidget;
    m_Candidates->setObjectName(QStringLiteral("candidates"));
    m_Candidates->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->addWidget(m_Candidates, 2, 0, 4, 1);
    m_Chosen = new QListWidget;
    m_Chosen->setObjectName(QStringLiteral("chosen"));
    m_Chosen->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->addWidget(m_Chosen, 2, 2, 4, 2);
    auto* choose = new QPushButton(Tr(u8"选定─〉"));
    auto* all = new QPushButton(Tr(u8"全选─〉"));
    auto* remove = new QPushButton(Tr(u8"删除已选"));
    grid->addWidget(choose, 2, 1);
    grid->addWidget(all, 3, 1);
    grid->addWidget(remove, 4, 1);
    connect(choose, &QPushButton::clicked, this, [this] {
      std::vector<std::string> names;
      for (QListWidgetItem* it : m_Candidates->selectedItems()) names.push_back(ToPath(it->text()));
      m_Files.Choose(names);
      Refresh();
    });
    connect(all, &QPushButton::clicked, this, [this] {
      m_Files.ChooseAll();
      Refresh();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
      std::vector<std::string> paths;
      for (QListWidgetItem* it : m_Chosen->selectedItems()) paths.push_back(ToPath(it->text()));
      m_Files.RemoveChosen(paths);
      Refresh();
    });
    Refresh();
  }
  void Refresh() {
    m_Directory->setText(FromPath(m_Files.directory));
    m_Candidates->clear();
    for (const auto& name : m_Files.candidates) m_Candidates->addItem(FromPath(name));
    m_Chosen->clear();
    for (const auto& path : m_Files.chosen) m_Chosen->addItem(FromPath(path));
  }

 private:
  CBaselineFileChooser& m_Files;
  QLineEdit* m_Directory;
  QListWidget* m_Candidates;
  QListWidget* m_Chosen;
};


// Return in a field that lists again (the mask) applies the field instead of pressing the
// dialog's default button, which would import before the person saw the new list.
class ReturnAppliesField final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if (auto* field = qobject_cast<QLineEdit*>(watched)) emit field->editingFinished();
    return true;
  }
};

// A folder browse for the choosers that have no record operation of their own.
std::function<bool()> BrowseFolder(CBaselineFileChooser& files) {
  return [&files] {
    auto folder = Platform().ChooseFolder(UiText(u8"选择基线文件路径"), files.directory);
    if (!folder) return false;
    files.directory = *folder;
    files.ListCandidates();
    return true;
  };
}

}  // namespace

QString TrGbk(const std::string& gbk) { return Tr(GbkToUtf8(gbk).c_str()); }

QHBoxLayout* OkCancelRow(QDialog* dialog, const char* okText) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  auto* ok = new QPushButton(Tr(okText), dialog);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(Tr(u8"取消"), dialog);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

std::optional<CSelectBaselineDlg> RunImportBaselineDialog(QWidget* parent) {
  CSelectBaselineDlg record = CSelectBaselineDlg::Open();
  QDialog dialog(parent);
  dialog.setWindowTitle(Tr(u8"基线文件格式转换"));
  auto* layout = new QVBoxLayout(&dialog);
  // The receiver package of this import (the project's as the dialog opens; another one here
  // leaves the project's setting alone) and the file mask the candidates are listed by.
  auto* packageRow = new QHBoxLayout;
  auto* package = new QComboBox;
  package->setObjectName(QStringLiteral("package"));
  for (const CBaselinePackage& p : BaselinePackages()) package->addItem(Tr(p.name), p.type);
  package->setCurrentIndex(package->findData(record.baselineType));
  auto* mask = new QLineEdit(FromPath(record.mask.empty() ? std::string("*.*") : record.mask));
  mask->setObjectName(QStringLiteral("mask"));
  mask->installEventFilter(new ReturnAppliesField(mask));
  packageRow->addWidget(new QLabel(Tr(u8"基线解算软件:")));
  packageRow->addWidget(package, 1);
  packageRow->addWidget(new QLabel(Tr(u8"文件类型:")));
  packageRow->addWidget(mask);
  layout->addLayout(packageRow);
  auto* chooser = new ChooserPanel(record.files, [&record] { return record.BrowseDirectory(); }, &dialog);
  layout->addWidget(chooser);
  QObject::connect(package, &QComboBox::currentIndexChanged, &dialog, [&record, package, mask, chooser] {
    record.ChooseBaselineType(package->currentData().toInt());
    mask->setText(FromPath(record.mask.empty() ? std::string("*.*") : record.mask));
    chooser->Refresh();
  });
  QObject::connect(mask, &QLineEdit::editingFinished, &dialog, [&record, mask, chooser] {
    const std::string typed = ToPath(mask->text().trimmed());
    if (typed == record.mask) return;
    record.mask = typed;
    record.ListCandidates();
    chooser->Refresh();
  });
  auto* mergeRow = new QHBoxLayout;
  auto* merge = new QCheckBox(Tr(u8"合并文件"));
  merge->setChecked(record.merge);
  auto* merged = new QLineEdit(FromPath(record.mergedFile));
  auto* browse = new QPushButton(Tr(u8"浏览..."));
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&record, merged] {
    record.mergedFile = ToPath(merged->text());
    if (record.BrowseMergedFile()) merged->setText(FromPath(record.mergedFile));
  });
  mergeRow->addWidget(merge);
  mergeRow->addWidget(new QLabel(Tr(u8"转换后同步基线文件:")));
  mergeRow->addWidget(merged, 1);
  mergeRow->addWidget(browse);
  layout->addLayout(mergeRow);
  layout->addLayout(OkCancelRow(&dialog, TrNoop(u8"确定")));
  dialog.resize(720, 420);
  if (dialog.exec() != QDialog::Accepted || record.files.chosen.empty()) return std::nullopt;
  record.merge = merge->isChecked();
  if (record.merge) {
    std::string file = ToPath(merged->text().trimmed());
    record.mergedFile = file.empty() ? record.DefaultMergedFile() : file;
  }
  return record;
}

std::optional<CIndependentBaselineDlg> RunIndependentBaselineDialog(QWidget* parent) {
  CIndependentBaselineDlg record;
  record.files.directory = Project().projectDir;
  record.files.ListCandidates();
  for (const auto& f : Project().configuration.m_IndependentBaselineFiles) record.files.ChoosePath(GbkToUtf8(f));
  QDialog dialog(parent);
  dialog.setWindowTitle(Tr(u8"生成独立基线文件"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new ChooserPanel(record.files, BrowseFolder(record.files), &dialog));
  auto* rules = new QGroupBox(Tr(u8"独立基线选取方式"));
  auto* rulesRow = new QHBoxLayout(rules);
  auto* group = new QButtonGroup(&dialog);
  const char* names[] = {TrNoop(u8"顺序连线型"), TrNoop(u8"射线型"), TrNoop(u8"全选")};
  for (int i = 0; i < 3; ++i) {
    auto* button = new QRadioButton(Tr(names[i]));
    group->addButton(button, i);
    rulesRow->addWidget(button);
  }
  group->button(static_cast<int>(record.rule))->setChecked(true);
  auto* random = new QCheckBox(Tr(u8"随机选择"));
  rulesRow->addWidget(random);
  layout->addWidget(rules);
  layout->addLayout(OkCancelRow(&dialog, TrNoop(u8"确定")));
  dialog.resize(720, 420);
  if (dialog.exec() != QDialog::Accepted || record.files.chosen.empty()) return std::nullopt;
  record.rule = static_cast<IndependentRule>(std::clamp(group->checkedId(), 0, 2));
  record.randomStart = random->isChecked();
  return record;
}

std::vector<std::string> RunSyncLoopDialog(QWidget* parent) {
  CBaselineFileChooser files{Project().projectDir, "*.GPS3dVector_S", {}, {}};
  files.ListCandidates();
  QDialog dialog(parent);
  dialog.setWindowTitle(Tr(u8"选取同步环基线文件"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new ChooserPanel(files, BrowseFolder(files), &dialog));
  layout->addLayout(OkCancelRow(&dialog, TrNoop(u8"确定")));
  dialog.resize(720, 400);
  // A cancelled dialog is the command without files (it computes the kept loop file again).
  if (dialog.exec() != QDialog::Accepted) return {};
  return files.chosen;
}

std::optional<CHeightModelDlg> RunHeightModelDialog(QWidget* parent) {
  CHeightModelDlg record;
  QDialog dialog(parent);
  dialog.setWindowTitle(Tr(CHeightModelDlg::kTitle));
  auto* layout = new QVBoxLayout(&dialog);
  auto* group = new QButtonGroup(&dialog);
  for (int i = 0; i < 3; ++i) {
    auto* button = new QRadioButton(Tr(CHeightModelDlg::kButtons[i]));
    group->addButton(button, i);
    layout->addWidget(button);
  }
  group->button(record.m_Model)->setChecked(true);
  layout->addLayout(OkCancelRow(&dialog, TrNoop(u8"确定")));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  record.m_Model = std::clamp(group->checkedId(), 0, 2);
  return record;
}

std::optional<CChangZoneOfXY> RunChangeZoneDialog(QWidget* parent) {
  CChangZoneOfXY record;
  QDialog dialog(parent);
  dialog.setWindowTitle(Tr(CChangZoneOfXY::kTitle));
  auto* layout = new QVBoxLayout(&dialog);
  auto* grid = new QGridLayout;
  double* values[4] = {&record.m_H1, &record.m_L01, &record.m_H2, &record.m_L02};
  QLineEdit* fields[4];
  for (int i = 0; i < 4; ++i) {
    grid->addWidget(new QLabel(Tr(CChangZoneOfXY::kFieldLabels[i])), i, 0);
    fields[i] = new QLineEdit(QString::fromStdString(Format("%g", *values[i])));
    grid->addWidget(fields[i], i, 1);
  }
  layout->addLayout(grid);
  auto* methods = new QGroupBox(Tr(CChangZoneOfXY::kMethodGroup));
  auto* methodRow = new QHBoxLayout(methods);
  auto* group = new QButtonGroup(&dialog);
  for (int i = 0; i < 3; ++i) {
    auto* button = new QRadioButton(QString::fromLatin1(CChangZoneOfXY::kMethodNames[i]));
    group->addButton(button, i);
    methodRow->addWidget(button);
  }
  group->button(record.m_Method)->setChecked(true);
  layout->addWidget(methods);
  layout->addLayout(OkCancelRow(&dialog, CChangZoneOfXY::kButtons[0]));
  for (;;) {
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    bool ok = true;
    for (int i = 0; i < 4 && ok; ++i) ok = ReadNumberField(fields[i], Tr(CChangZoneOfXY::kFieldLabels[i]), *values[i]);
    if (!ok) continue;
    record.m_Method = group->checkedId();
    const std::string refused = record.Validate();
    if (!refused.empty()) {
      ShowMessage(refused, AppTitle(), MessageIcon::Warning);
      continue;
    }
    return record;
  }
}

}  // namespace vemo
