// The dialogs of the system as desktop forms over their records: each form fills its record
// from its widgets and calls the operation that its OK button stands for; it holds no file
// I/O and no computation of its own.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "baselines/IndependentBaselines.h"
#include "baselines/SelectBaselineDlg.h"
#include "geodesy/Platform.h"
#include "geodesy/ZoneChange.h"
#include "project/HeightModelDlg.h"
#include "project/OneFixOneAzimuth.h"
#include "project/ProjectDialogs.h"
#include "project/data/EntryDialogs.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace vemo {

class CGridCtrl;

// Before a dialog with a grid closes without "确认": the typed cell is committed, then, when the
// grid holds edits, the question whether to save them (Yes, No or Cancel). Nothing when there are
// no edits, so the dialog simply closes.
std::optional<MessageAnswer> AskAboutGridEdits(CGridCtrl* grid);

// A data-entry dialog (三维已知坐标 ... 输入地面方位): the grid over CEntryGridRecord; "确认"
// writes the file through AcceptEntryDialog and stays open when that fails, with the cell at
// fault selected. Esc, the window's close button and "取消" ask before edits are discarded.
class EntryDialog final : public QDialog {
  Q_OBJECT

 public:
  EntryDialog(CEntryGridRecord record, QWidget* parent = nullptr);
  CGridCtrl* Grid() const { return m_Grid; }
  const CEntryGridRecord& Record() const { return m_Record; }
  void accept() override;
  void reject() override;

 private:
  CEntryGridRecord m_Record;
  CGridCtrl* m_Grid;
};

// The project dialog in creation ("新建工程") or settings ("工程参数设置") mode.
class ProjectDialog final : public QDialog {
  Q_OBJECT

 public:
  ProjectDialog(CProjectDlgRecord record, QWidget* parent = nullptr);
  // The record as the widgets hold it; false (after a message) when a number does not read.
  bool ReadRecord(CProjectDlgRecord& record);
  void accept() override;

 private:
  void FillCoordinateSystems(const std::string& selected);
  void DefineCoordinateSystems();
  void GradeChosen(int index);

  CProjectDlgRecord m_Record;
  QLineEdit* m_Name;
  QLineEdit* m_Directory;
  QComboBox* m_Grade;
  QComboBox* m_CoordinateSystem;
  QComboBox* m_BaselineType;
  QComboBox* m_Projection;
  QCheckBox* m_ModifyCovariance;
  QCheckBox* m_AprioriUnitWeight;
  std::vector<std::pair<QLineEdit*, double CProjectDlgRecord::*>> m_Numbers;
  QLineEdit* m_IndependentCount;
  int m_LastGrade = 0;
};

// The commands' dialogs; each returns the command's exit status (0 also when cancelled).
int RunEntryCommand(EntryKind kind, QWidget* parent);
int RunNewProjectCommand(QWidget* parent);
int RunSettingsCommand(QWidget* parent);
// The custom precision dialog of grade "自定义"; true when confirmed. Chosen in a project
// dialog, its values go through that dialog's record (AcceptCustomPrecision).
bool RunCustomPrecisionDialog(QWidget* parent, CProjectDlgRecord* projectDialog = nullptr);
// The coordinate system dialog ("定义坐标系统"); true when its rows were accepted. With a set
// (the creation-mode project dialog's own) it edits that set and saves nothing.
bool RunCoordinateSystemDialog(QWidget* parent, CCoorsSystemMap* set = nullptr);
// The forms of the other commands return their record as accepted, or nothing when cancelled;
// the command layer makes the handler's arguments from it (DialogArguments.h).
// The baseline file dialogs: the import selection with its merge choice, the independent
// baselines with their rule.
std::optional<CSelectBaselineDlg> RunImportBaselineDialog(QWidget* parent);
std::optional<CIndependentBaselineDlg> RunIndependentBaselineDialog(QWidget* parent);
// The synchronous files of the loop check; none when cancelled (the command then computes the
// kept loop file again).
std::vector<std::string> RunSyncLoopDialog(QWidget* parent);
// "选择高程拟合模型" of the height fitting commands.
std::optional<CHeightModelDlg> RunHeightModelDialog(QWidget* parent);
// "输入固定点和方位角[固定一点一方位的工程网]": its OK writes the input files (the form stays
// open when the record refuses).
std::optional<OneFixOneAzimuth> RunOneFixDialog(QWidget* parent);
// The zone change dialog, its values checked by the record.
std::optional<CChangZoneOfXY> RunChangeZoneDialog(QWidget* parent);

// A GBK text of the project layer (a grade, a projection, a dialog title) in the interface
// language: the catalog knows it by its UTF-8 form. A text that is already translated, or one
// the catalog lacks, is shown as it is.
QString TrGbk(const std::string& gbk);

// The row of a form's two buttons: okText (the default button, accepting; a literal marked with
// TrNoop, shown translated) and "取消".
QHBoxLayout* OkCancelRow(QDialog* dialog, const char* okText);

// Reads a number typed into a field; shows "请输入一个数。" with the field's label when it
// does not read.
bool ReadNumberField(const QLineEdit* field, const QString& label, double& value);

}  // namespace vemo
