// The project dialog (creation and settings mode), the custom precision dialog and the
// coordinate system dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "app/desktop/grid/GridCtrl.h"
#include "geodesy/BaselinePackages.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/GradeTable.h"

namespace vemo {
namespace {

QLineEdit* NumberField(double value, const char* format = "%g") {
  return new QLineEdit(QString::fromStdString(Format(format, value)));
}

void AddOkCancel(QDialog* dialog, QBoxLayout* layout) { layout->addLayout(OkCancelRow(dialog, TrNoop(u8"确定"))); }

}  // namespace

bool ReadNumberField(const QLineEdit* field, const QString& label, double& value) {
  auto v = ParseNumber(field->text().trimmed().toStdString());
  if (!v) {
    ShowMessage(ToGbk(label + Tr(u8" 请输入一个数。")), AppTitle(), MessageIcon::Warning);
    return false;
  }
  value = *v;
  return true;
}

ProjectDialog::ProjectDialog(CProjectDlgRecord record, QWidget* parent) : QDialog(parent), m_Record(std::move(record)) {
  setWindowTitle(m_Record.creationMode ? Tr(u8"新建工程") : Tr(u8"工程参数设置"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QGridLayout;
  int row = 0;
  auto label = [&](const QString& text, QWidget* widget, QWidget* extra = nullptr) {
    form->addWidget(new QLabel(text), row, 0);
    form->addWidget(widget, row, 1);
    if (extra) form->addWidget(extra, row, 2);
    ++row;
  };
  m_Name = new QLineEdit(FromGbk(m_Record.name));
  m_Name->setEnabled(m_Record.creationMode);
  label(Tr(u8"工程名:"), m_Name);
  m_Directory = new QLineEdit(FromPath(m_Record.directory));
  m_Directory->setEnabled(m_Record.creationMode);
  auto* browse = new QPushButton(Tr(u8"浏览..."));
  browse->setEnabled(m_Record.creationMode);
  connect(browse, &QPushButton::clicked, this, [this] {
    if (auto folder = Platform().ChooseFolder(UiText(u8"选择工程路径"), ToPath(m_Directory->text())))
      m_Directory->setText(FromPath(*folder));
  });
  label(Tr(u8"路  径:"), m_Directory, browse);

  m_Grade = new QComboBox;
  for (int i = 0; i < kGradeCount; ++i) m_Grade->addItem(TrGbk(GradeName(i)));
  m_Grade->setCurrentIndex(std::clamp(m_Record.gradeIndex, 0, kGradeCount - 1));
  m_LastGrade = m_Grade->currentIndex();
  connect(m_Grade, &QComboBox::activated, this, &ProjectDialog::GradeChosen);
  label(Tr(u8"网的等级:"), m_Grade);

  m_CoordinateSystem = new QComboBox;
  m_CoordinateSystem->setObjectName(QStringLiteral("coordinateSystem"));
  FillCoordinateSystems(m_Record.coordinateSystem);
  auto* define = new QPushButton(Tr(u8"定义坐标系统"));
  connect(define, &QPushButton::clicked, this, &ProjectDialog::DefineCoordinateSystems);
  label(Tr(u8"坐标系统:"), m_CoordinateSystem, define);

  m_BaselineType = new QComboBox;
  for (const CBaselinePackage& package : BaselinePackages())
    m_BaselineType->addItem(TrGbk(BaselineTypeName(package.type)));
  m_BaselineType->setCurrentIndex(std::clamp(m_Record.baselineType, 0, m_BaselineType->count() - 1));
  label(Tr(u8"基线解类型:"), m_BaselineType);

  struct Number {
    const char* label;
    double CProjectDlgRecord::*value;
  };
  const Number numbers[] = {
      {TrNoop(u8"仪器固定误差(mm):"), &CProjectDlgRecord::instrumentFixedError},
      {TrNoop(u8"仪器比例误差(ppm):"), &CProjectDlgRecord::instrumentProportionalError},
      {TrNoop(u8"基线方差因子:"), &CProjectDlgRecord::baselineVarianceFactor},
      {TrNoop(u8"中央子午线(dms):"), &CProjectDlgRecord::centralMeridian},
      {TrNoop(u8"测区平均纬度(dms):"), &CProjectDlgRecord::meanLatitude},
      {TrNoop(u8"X坐标加常数(km):"), &CProjectDlgRecord::xConstant},
      {TrNoop(u8"Y坐标加常数(km):"), &CProjectDlgRecord::yConstant},
  };
  for (const Number& n : numbers) {
    QLineEdit* field = NumberField(m_Record.*n.value);
    field->setObjectName(FromUtf8(n.label));
    m_Numbers.emplace_back(field, n.value);
    label(Tr(n.label), field);
  }
  m_IndependentCount = new QLineEdit(QString::number(m_Record.independentBaselineCount));
  label(Tr(u8"独立基线条数:"), m_IndependentCount);
  m_Projection = new QComboBox;
  for (int i = 0; i < 2; ++i) m_Projection->addItem(TrGbk(ProjectionName(i)));
  m_Projection->setCurrentIndex(std::clamp(m_Record.projectionType, 0, 1));
  label(Tr(u8"投影类型:"), m_Projection);
  m_ModifyCovariance = new QCheckBox(Tr(u8"改造基线解方差阵"));
  m_ModifyCovariance->setChecked(m_Record.modifyBaselineCov != 0);
  form->addWidget(m_ModifyCovariance, row++, 1);
  m_AprioriUnitWeight = new QCheckBox(Tr(u8"用验前单位权中误差(1cm)"));
  m_AprioriUnitWeight->setChecked(m_Record.useAprioriUnitWeight != 0);
  form->addWidget(m_AprioriUnitWeight, row++, 1);
  layout->addLayout(form);
  AddOkCancel(this, layout);
}

void ProjectDialog::FillCoordinateSystems(const std::string& selected) {
  m_CoordinateSystem->clear();
  int current = 0;
  // The creation-mode dialog offers its own set; the open project's reaches it only on OK.
  const CCoorsSystemMap& set =
      m_Record.creationMode ? m_Record.coordinateSystems : Project().configuration.m_CoorsSystems;
  for (const auto& [key, system] : set.Entries()) {
    if (key == selected) current = m_CoordinateSystem->count();
    m_CoordinateSystem->addItem(FromGbk(key), QByteArray::fromStdString(key));
  }
  m_CoordinateSystem->setCurrentIndex(current);
}

void ProjectDialog::DefineCoordinateSystems() {
  const std::string selected = m_CoordinateSystem->currentData().toByteArray().toStdString();
  if (RunCoordinateSystemDialog(this, m_Record.creationMode ? &m_Record.coordinateSystems : nullptr))
    FillCoordinateSystems(selected);
}

void ProjectDialog::GradeChosen(int index) {
  // Choosing "自定义" opens the custom precision dialog at once; in settings mode its values
  // stay even when this dialog is cancelled, in creation mode they wait for the new project.
  if (index == kCustomGrade && !RunCustomPrecisionDialog(this, &m_Record)) m_Grade->setCurrentIndex(m_LastGrade);
  m_LastGrade = m_Grade->currentIndex();
}

bool ProjectDialog::ReadRecord(CProjectDlgRecord& record) {
  record = m_Record;
  record.name = ToGbk(m_Name->text().trimmed());
  record.directory = ToPath(m_Directory->text().trimmed());
  record.gradeIndex = m_Grade->currentIndex();
  record.coordinateSystem = m_CoordinateSystem->currentData().toByteArray().toStdString();
  record.baselineType = m_BaselineType->currentIndex();
  record.projectionType = m_Projection->currentIndex();
  record.modifyBaselineCov = m_ModifyCovariance->isChecked() ? 1 : 0;
  record.useAprioriUnitWeight = m_AprioriUnitWeight->isChecked() ? 1 : 0;
  for (auto& [field, member] : m_Numbers) {
    double value = 0;
    if (!ReadNumberField(field, Tr(field->objectName().toUtf8().constData()), value)) return false;
    record.*member = value;
  }
  auto count = ParseInteger(m_IndependentCount->text().trimmed().toStdString());
  if (!count) {
    ShowMessage(UiText(u8"独立基线条数: 请输入一个整数。"), AppTitle(), MessageIcon::Warning);
    return false;
  }
  record.independentBaselineCount = static_cast<int32_t>(*count);
  return true;
}

void ProjectDialog::accept() {
  CProjectDlgRecord record;
  if (!ReadRecord(record) || !CheckProjectDialogValues(record)) return;  // stays open
  if (record.creationMode) {
    if (record.name.empty() || record.directory.empty()) {
      ShowMessage(UiText(u8"请输入工程名和路径!"), AppTitle(), MessageIcon::Warning);
      return;
    }
    if (record.name.find('/') != std::string::npos || record.name == "." || record.name == "..") {
      ShowMessage(UiText(u8"工程名不能含有'/'!"), AppTitle(), MessageIcon::Warning);
      return;
    }
    if (AcceptNewProject(record) == DialogOutcome::StaysOpen) return;
  } else if (!AcceptSettings(record) && Project().projectName.empty()) {
    ShowMessage(UiText(u8"当前没有工程，设置未能保存!"), AppTitle(), MessageIcon::Warning);
  }
  QDialog::accept();
}

int RunNewProjectCommand(QWidget* parent) {
  ProjectDialog dialog(OpenNewProjectDialog(Project().configuration), parent);
  dialog.exec();
  return 0;
}

int RunSettingsCommand(QWidget* parent) {
  ProjectDialog dialog(OpenSettingsDialog(Project().configuration), parent);
  dialog.exec();
  return 0;
}

bool RunCustomPrecisionDialog(QWidget* parent, CProjectDlgRecord* projectDialog) {
  QDialog dialog(parent);
  dialog.setWindowTitle(Tr(u8"自定义精度指标"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  CCustomPrecisionRecord r;
  struct Field {
    const char* label;
    double* value;
  };
  const Field fields[] = {
      {TrNoop(u8"固定误差(mm)"), &r.fixedError},
      {TrNoop(u8"比例误差(ppm)"), &r.proportionalError},
      {TrNoop(u8"重复基线差系数"), &r.repeatBaselineCoefficient},
      {TrNoop(u8"同步环闭合差系数"), &r.syncLoopCoefficient},
      {TrNoop(u8"异步环闭合差系数"), &r.asyncLoopCoefficient},
      {TrNoop(u8"基线向量改正数系数"), &r.vectorCorrectionCoefficient},
      {TrNoop(u8"向量改正数系数(无约束－约束)"), &r.vectorCorrectionDifferenceCoefficient},
      {TrNoop(u8"基线方向中误差(\")"), &r.baselineDirectionError},
      {TrNoop(u8"相邻点坐标差中误差(mm)"), &r.adjacentPointError},
      {TrNoop(u8"最弱边相对中误差(1/N)"), &r.weakestSideRelativeError},
      {TrNoop(u8"约束点间相对中误差(1/N)"), &r.constrainedRelativeError},
      {TrNoop(u8"基线水平分量中误差(mm)"), &r.horizontalComponentError},
      {TrNoop(u8"基线垂直分量中误差(mm)"), &r.verticalComponentError},
  };
  std::vector<std::pair<QLineEdit*, const Field*>> edits;
  for (const Field& f : fields) {
    QLineEdit* edit = NumberField(*f.value);
    form->addRow(Tr(f.label), edit);
    edits.emplace_back(edit, &f);
  }
  auto* loop = new QLineEdit(QString::number(r.loopSideLimit));
  form->addRow(Tr(u8"环边数限值"), loop);
  layout->addLayout(form);
  AddOkCancel(&dialog, layout);
  for (;;) {
    if (dialog.exec() != QDialog::Accepted) return false;
    bool ok = true;
    for (auto& [edit, field] : edits) ok = ok && ReadNumberField(edit, Tr(field->label), *field->value);
    auto limit = ParseInteger(loop->text().trimmed().toStdString());
    if (ok && !limit) {
      ShowMessage(UiText(u8"环边数限值: 请输入一个整数。"), AppTitle(), MessageIcon::Warning);
      ok = false;
    }
    if (!ok) continue;
    r.loopSideLimit = static_cast<int32_t>(*limit);
    if (!CheckCustomPrecisionValues(r)) continue;
    if (projectDialog) AcceptCustomPrecision(r, *projectDialog);
    else AcceptCustomPrecision(r);
    return true;
  }
}

bool RunCoordinateSystemDialog(QWidget* parent, CCoorsSystemMap* set) {
  std::vector<CCoorsSystemRow> rows = set ? OpenCoorsSystemDialog(*set) : OpenCoorsSystemDialog(Project().configuration);
  QDialog dialog(parent);
  dialog.setWindowTitle(Tr(u8"定义坐标系统"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* grid = new CGridCtrl(&dialog);
  grid->SetColumnTitles({Tr(u8"坐标系统"), Tr(u8"椭球长半轴"), Tr(u8"椭球扁率分母")});
  std::vector<std::vector<std::string>> cells;
  std::vector<std::string> builtIn;
  for (const auto& r : rows) {
    cells.push_back({r.name, r.semiMajorAxis, r.flatteningDenominator});
    if (r.readOnly) builtIn.push_back(NormalizeName(r.name));
  }
  grid->SetRows(cells, kCoorsGridMinRows);
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].readOnly) grid->SetRowReadOnly(static_cast<int>(i), true);
  layout->addWidget(grid);
  auto* add = new QPushButton(Tr(u8"增加行"), &dialog);
  QObject::connect(add, &QPushButton::clicked, grid, &CGridCtrl::AddRow);
  layout->addWidget(add, 0, Qt::AlignLeft);
  AddOkCancel(&dialog, layout);
  dialog.resize(520, 380);
  for (;;) {
    if (dialog.exec() != QDialog::Accepted) {
      // Esc, the close button and "取消": edited systems are not dropped without a question.
      const auto answer = AskAboutGridEdits(grid);
      if (!answer || *answer == MessageAnswer::No) return false;
      if (*answer != MessageAnswer::Yes) continue;
    }
    std::vector<CCoorsSystemRow> edited;
    bool ok = true;
    for (const auto& row : grid->Rows()) {
      if (Trim(row[0]).empty()) continue;
      CCoorsSystemRow r{NormalizeName(row[0]), Trim(row[1]), Trim(row[2]), false};
      for (const auto& b : builtIn) r.readOnly = r.readOnly || b == r.name;
      auto axis = ParseNumber(r.semiMajorAxis);
      auto invf = ParseNumber(r.flatteningDenominator);
      if (!r.readOnly && (!axis || !(*axis > 0) || !invf || !(*invf > 1))) {
        ShowMessage(Format(UiText(u8"坐标系统%s的椭球长半轴须为正数，扁率分母须大于1!"), r.name.c_str()), AppTitle(),
                    MessageIcon::Warning);
        ok = false;
        break;
      }
      edited.push_back(std::move(r));
    }
    if (!ok) continue;
    if (set) {
      AcceptCoorsSystemDialog(edited, *set);
      return true;
    }
    if (!AcceptCoorsSystemDialog(edited) && Project().projectName.empty())
      ShowMessage(UiText(u8"当前没有工程，设置未能保存!"), AppTitle(), MessageIcon::Warning);
    return true;
  }
}

}  // namespace vemo
