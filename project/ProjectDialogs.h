// The project life cycle: the project dialog (creation and settings mode), the custom
// precision dialog, the coordinate system dialog, open project, start-up restore and exit
// save. Each dialog is a plain record; a host (command line, desktop, test) fills it and
// calls the operation that its OK button stands for.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "project/GradeTable.h"
#include "geodesy/GPSConfiguration.h"

namespace vemo {

struct CProjectDlgRecord {
  bool creationMode = true;
  std::string name;       // GBK; "工程名"
  std::string directory;  // native path; "路  径"
  int32_t gradeIndex = 0;
  std::string coordinateSystem;  // GBK key of the selected entry of the set
  int32_t baselineType = 0;
  double instrumentFixedError = 5.0;         // mm
  double instrumentProportionalError = 1.0;  // ppm
  int32_t independentBaselineCount = -1;
  double baselineVarianceFactor = 1.0;
  int32_t modifyBaselineCov = 0;
  int32_t useAprioriUnitWeight = 0;
  double centralMeridian = 117.0;  // D.MMSS
  int32_t projectionType = 0;
  double meanLatitude = 0.0;  // D.MMSS
  double xConstant = 0.0;     // km
  double yConstant = 0.0;     // km
  double reserved1 = 0.0;
  double reserved2 = 0.0;
  // Creation mode: the dialog's own coordinate system set, the five built-in entries, and the
  // custom precision values confirmed in it. They reach the configuration only when the new
  // project is created, so that a cancelled or refused dialog leaves the open project as it is.
  CCoorsSystemMap coordinateSystems;
  std::optional<CCustomPrecisionRecord> customPrecision;
};

// Opens the project dialog in creation mode ("新建工程"): the record holds the creation-mode
// values and a coordinate system set of the five built-in entries with "北京54" selected. The
// configuration is not touched: the user entries of the open project are dropped only when
// the new project is created.
CProjectDlgRecord OpenNewProjectDialog(const CGPSConfiguration& configuration);

// The settings-mode record ("工程参数设置"): every field shows the configuration's value.
CProjectDlgRecord OpenSettingsDialog(const CGPSConfiguration& configuration);

enum class DialogOutcome { Accepted, StaysOpen };

// OK of the creation-mode dialog. Stays open when the name or directory is empty or when the
// project file exists and "工程'%s'已存在,覆盖该工程?" is answered No. Otherwise creates every
// missing directory level, makes the project current and open with the dialog's coordinate
// system set, applies the grade, saves the project file and hands the project to the library.
// A directory that cannot be created, or holds a character without a GBK form, and a project
// file that cannot be saved keep the dialog open after a message, and the open project stays
// as it was. saved receives the save result.
DialogOutcome AcceptNewProject(const CProjectDlgRecord& record, bool* saved = nullptr);

// The values of the dialogs must be ones a project can mean (the bounds of the project file,
// ProjectFile.h): false after "%s的值%g超出范围(%g～%g)!" naming the first that is not, so
// that no host stores a value the next load would call damaged, or a computation would turn
// into numbers that are no numbers. OK of the dialogs checks them first.
bool CheckProjectDialogValues(const CProjectDlgRecord& record);
bool CheckCustomPrecisionValues(const CCustomPrecisionRecord& record);

// OK of the settings dialog: copies the fields back, selects the chosen coordinate system
// (when found), applies the grade and saves. Returns the save result.
int AcceptSettings(const CProjectDlgRecord& record);

// Selecting "自定义" and confirming the custom precision dialog: the values go into the
// configuration at once, whatever the project dialog does next. Values out of their bounds
// change nothing (CheckCustomPrecisionValues says which).
void AcceptCustomPrecision(const CCustomPrecisionRecord& record);
// The same inside a project dialog: in settings mode the values go into the configuration at
// once; in creation mode they wait in the dialog for the new project.
void AcceptCustomPrecision(const CCustomPrecisionRecord& record, CProjectDlgRecord& dialog);

// The coordinate system dialog ("定义坐标系统"): one row a coordinate system.
struct CCoorsSystemRow {
  std::string name;          // GBK
  std::string semiMajorAxis;  // cell text, "%lf"
  std::string flatteningDenominator;  // cell text, "%.9lf"
  bool readOnly = false;      // built-in entries
};
constexpr int kCoorsGridMinRows = 9;
std::vector<CCoorsSystemRow> OpenCoorsSystemDialog(const CGPSConfiguration& configuration);
// The same grid over a set of its own (the creation-mode project dialog's).
std::vector<CCoorsSystemRow> OpenCoorsSystemDialog(const CCoorsSystemMap& set);
// "确认" over such a set: it is rebuilt from the rows whose name is not blank; nothing is saved.
void AcceptCoorsSystemDialog(const std::vector<CCoorsSystemRow>& rows, CCoorsSystemMap& set);
// "确认": rebuilds the set from the rows whose name is not blank, then saves the project file
// when a project name is set. Returns the save result (0 when nothing was saved).
int AcceptCoorsSystemDialog(const std::vector<CCoorsSystemRow>& rows);

// Open project ("打开工程") of an existing .prj file. The project is loaded unless it is the
// current one (name and directory equal without regard to case). Returns 1 when the project
// is open, 0 when its file could not be read (No answered to the damaged-file question, or
// the file unreadable); the project is then not opened.
int OpenProject(const std::string& prjPath);

// Start-up: the last project from the settings, loaded, handed to the library; the project
// stays closed (commands needing a project disabled).
void RestoreLastProject();
// The desktop's start-up: the last project restored as above and, when its file was read,
// opened (its commands enabled), so that work goes on where it stopped. Returns 1 then.
int ReopenLastProject();

// Exit: remembers the project in the settings and saves its file (only when the
// configuration mirrors the file; an unchanged file is not rewritten). False, after a
// message naming the file, when the project file could not be written; a settings file that
// cannot be written is only reported.
bool SaveOnExit();

}  // namespace vemo
