#include "project/ProjectDialogs.h"

#include <cstdlib>
#include <filesystem>

#include "project/AppState.h"
#include "project/ProjectFile.h"
#include "project/data/DataFileReader.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/Settings.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace fs = std::filesystem;

namespace {

constexpr const char* kSettingsSection = "Gps Settings";
constexpr const char* kLastPathKey = "Last GPS Project Path";
constexpr const char* kLastProjectKey = "Last GPS Project";

void HandProjectToLibrary() {
  CProjectState& p = Project();
  SetGlobalVal(&p.configuration, p.projectDir, p.projectName);
}

// Step 2 of OK in both modes: the fields that the dialog edits.
void CopyDialogFields(const CProjectDlgRecord& r, CGPSConfiguration& c) {
  c.m_NetClass[NetClassParameters::kInstrumentFixedError] = r.instrumentFixedError;
  c.m_NetClass[NetClassParameters::kInstrumentProportionalError] = r.instrumentProportionalError;
  c.m_ModifyBaselineCov = r.modifyBaselineCov;
  c.m_CentralMeridian = r.centralMeridian;
  c.m_GradeIndex = r.gradeIndex;
  c.m_XConstant = r.xConstant;
  c.m_YConstant = r.yConstant;
  c.m_BaselineType = r.baselineType;
  c.m_UseAprioriUnitWeight = r.useAprioriUnitWeight;
  c.m_BaselineVarianceFactor = r.baselineVarianceFactor;
  c.m_ProjectionType = r.projectionType;
  c.m_MeanLatitude = r.meanLatitude;
  c.m_IndependentBaselineCount = r.independentBaselineCount;
  c.m_Reserved1 = r.reserved1;
  c.m_Reserved2 = r.reserved2;
}

// Directory of a chosen file with trailing blanks and separators removed.
std::string StripDirectory(std::string dir) {
  while (!dir.empty() && (dir.back() == ' ' || dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

}  // namespace

CProjectDlgRecord OpenNewProjectDialog(const CGPSConfiguration&) {
  CProjectDlgRecord r;
  r.creationMode = true;
  for (const auto& cs : PredefinedCoorsSystems()) r.coordinateSystems.SetAt(cs.m_Name, cs);
  r.coordinateSystem = PredefinedCoorsSystems().front().m_Name;
  return r;
}

CProjectDlgRecord OpenSettingsDialog(const CGPSConfiguration& c) {
  CProjectDlgRecord r;
  r.creationMode = false;
  r.name = Project().projectName;
  r.directory = Project().projectDir;
  r.gradeIndex = c.m_GradeIndex;
  r.coordinateSystem = c.m_CurrentCoorsSystem.m_Name;
  r.baselineType = c.m_BaselineType;
  r.instrumentFixedError = c.m_NetClass[NetClassParameters::kInstrumentFixedError];
  r.instrumentProportionalError = c.m_NetClass[NetClassParameters::kInstrumentProportionalError];
  r.independentBaselineCount = c.m_IndependentBaselineCount;
  r.baselineVarianceFactor = c.m_BaselineVarianceFactor;
  r.modifyBaselineCov = c.m_ModifyBaselineCov;
  r.useAprioriUnitWeight = c.m_UseAprioriUnitWeight;
  r.centralMeridian = c.m_CentralMeridian;
  r.projectionType = c.m_ProjectionType;
  r.meanLatitude = c.m_MeanLatitude;
  r.xConstant = c.m_XConstant;
  r.yConstant = c.m_YConstant;
  r.reserved1 = c.m_Reserved1;
  r.reserved2 = c.m_Reserved2;
  return r;
}

DialogOutcome AcceptNewProject(const CProjectDlgRecord& r, bool* saved) {
  if (saved) *saved = false;
  if (r.name.empty() || r.directory.empty()) return DialogOutcome::StaysOpen;
  if (!CheckProjectDialogValues(r)) return DialogOutcome::StaysOpen;
  std::string prj = ProjectFileName(r.directory, r.name, Extension(ProjectFile::Project));
  if (FileExists(prj)) {
    std::string text = Format(UiText(u8"工程'%s'已存在,覆盖该工程?"), PathToGbk(prj).c_str());
    if (!AskYesNo(text, AppTitle(), MessageIcon::Question, 0, MessageAnswer::No))
      return DialogOutcome::StaysOpen;
  }
  // The directory is stored in the project file as GBK text.
  if (!CheckGbkPath(r.directory)) return DialogOutcome::StaysOpen;
  // Every missing level. A directory that cannot be made would leave the project file nowhere
  // (or, at the exit save, in the previous project's folder): the new project is refused.
  std::error_code ec;
  fs::create_directories(r.directory, ec);
  if (!DirectoryExists(r.directory)) {
    std::string cause = ec ? ec.message() : std::string("not a directory");
    ShowMessage(Format(UiText(u8"不能创建工程路径%s(%s),新工程未建立!"), PathToGbk(r.directory).c_str(),
                       Utf8ToGbk(cause).c_str()),
                AppTitle(), MessageIcon::Warning);
    return DialogOutcome::StaysOpen;
  }

  CProjectState& p = Project();
  const CProjectState previous = p;
  CGPSConfiguration& c = p.configuration;
  c.m_ProjectName = r.name;
  c.m_ProjectDir = PathToGbk(r.directory);
  CopyDialogFields(r, c);
  // The dialog's set replaces the open project's, user entries and all.
  if (r.coordinateSystems.GetCount() > 0) c.m_CoorsSystems = r.coordinateSystems;
  else c.ResetCoorsSystems();
  c.m_CurrentCoorsSystem = PredefinedCoorsSystems().front();
  if (const CCoorsSystemSet* cs = c.m_CoorsSystems.Lookup(r.coordinateSystem)) c.m_CurrentCoorsSystem = *cs;
  if (r.customPrecision) ApplyCustomPrecision(*r.customPrecision, c.m_NetClass);
  p.projectName = r.name;
  p.projectDir = r.directory;
  ApplyGrade(c);
  if (!SaveProjectFile()) {
    p = previous;
    ShowMessage(Format(UiText(u8"不能创建工程文件%s,新工程未建立!"), PathToGbk(prj).c_str()), AppTitle(),
                MessageIcon::Warning);
    return DialogOutcome::StaysOpen;
  }
  p.projectOpen = 1;
  if (saved) *saved = true;
  HandProjectToLibrary();
  return DialogOutcome::Accepted;
}

namespace {

struct ValueRange {
  const char* label;  // UTF-8, the dialog's label
  double value, low, high;
};

bool CheckRanges(std::initializer_list<ValueRange> ranges) {
  for (const ValueRange& r : ranges) {
    if (r.value >= r.low && r.value <= r.high) continue;
    ShowMessage(Format(UiText(u8"%s的值%g超出范围(%g～%g)!"), UiText(r.label), r.value, r.low, r.high), AppTitle(),
                MessageIcon::Warning);
    return false;
  }
  return true;
}

}  // namespace

bool CheckCustomPrecisionValues(const CCustomPrecisionRecord& r) {
  const double k = kMaxPrecisionValue;
  return CheckRanges({{TrNoop(u8"固定误差(mm)"), r.fixedError, -1, k},
                      {TrNoop(u8"比例误差(ppm)"), r.proportionalError, -1, k},
                      {TrNoop(u8"重复基线差系数"), r.repeatBaselineCoefficient, -1, k},
                      {TrNoop(u8"同步环闭合差系数"), r.syncLoopCoefficient, -1, k},
                      {TrNoop(u8"异步环闭合差系数"), r.asyncLoopCoefficient, -1, k},
                      {TrNoop(u8"基线向量改正数系数"), r.vectorCorrectionCoefficient, -1, k},
                      {TrNoop(u8"向量改正数系数(无约束－约束)"), r.vectorCorrectionDifferenceCoefficient, -1, k},
                      {TrNoop(u8"基线方向中误差(\")"), r.baselineDirectionError, -1, k},
                      {TrNoop(u8"相邻点坐标差中误差(mm)"), r.adjacentPointError, -1, k},
                      {TrNoop(u8"最弱边相对中误差(1/N)"), r.weakestSideRelativeError, -1, k},
                      {TrNoop(u8"约束点间相对中误差(1/N)"), r.constrainedRelativeError, -1, k},
                      {TrNoop(u8"基线水平分量中误差(mm)"), r.horizontalComponentError, -1, k},
                      {TrNoop(u8"基线垂直分量中误差(mm)"), r.verticalComponentError, -1, k},
                      {TrNoop(u8"环边数限值"), static_cast<double>(r.loopSideLimit), -1, kMaxIndependentBaselines}});
}

bool CheckProjectDialogValues(const CProjectDlgRecord& r) {
  if (!(r.baselineVarianceFactor > 0)) {
    ShowMessage(Format(UiText(u8"%s的值%g超出范围(%g～%g)!"), UiText(u8"基线方差因子"), r.baselineVarianceFactor, 0.0,
                       kMaxPrecisionValue),
                AppTitle(), MessageIcon::Warning);
    return false;
  }
  if (!CheckRanges({{TrNoop(u8"仪器固定误差(mm)"), r.instrumentFixedError, 0, 1e6},
                    {TrNoop(u8"仪器比例误差(ppm)"), r.instrumentProportionalError, 0, 1e6},
                    {TrNoop(u8"基线方差因子"), r.baselineVarianceFactor, 0, kMaxPrecisionValue},
                    {TrNoop(u8"中央子午线(dms)"), r.centralMeridian, -180, 360},
                    {TrNoop(u8"测区平均纬度(dms)"), r.meanLatitude, -90, 90},
                    {TrNoop(u8"X坐标加常数(km)"), r.xConstant, -kMaxAddConstantKm, kMaxAddConstantKm},
                    {TrNoop(u8"Y坐标加常数(km)"), r.yConstant, -kMaxAddConstantKm, kMaxAddConstantKm},
                    {TrNoop(u8"独立基线条数"), static_cast<double>(r.independentBaselineCount), -1,
                     kMaxIndependentBaselines}}))
    return false;
  return !r.customPrecision || CheckCustomPrecisionValues(*r.customPrecision);
}

int AcceptSettings(const CProjectDlgRecord& r) {
  if (!CheckProjectDialogValues(r)) return 0;
  CGPSConfiguration& c = Project().configuration;
  CopyDialogFields(r, c);
  if (const CCoorsSystemSet* cs = c.m_CoorsSystems.Lookup(r.coordinateSystem)) c.m_CurrentCoorsSystem = *cs;
  ApplyGrade(c);
  return SaveProjectFile();
}

void AcceptCustomPrecision(const CCustomPrecisionRecord& record) {
  if (!CheckCustomPrecisionValues(record)) return;
  ApplyCustomPrecision(record, Project().configuration.m_NetClass);
}

void AcceptCustomPrecision(const CCustomPrecisionRecord& record, CProjectDlgRecord& dialog) {
  if (dialog.creationMode) dialog.customPrecision = record;
  else AcceptCustomPrecision(record);
}

std::vector<CCoorsSystemRow> OpenCoorsSystemDialog(const CGPSConfiguration& c) {
  return OpenCoorsSystemDialog(c.m_CoorsSystems);
}

std::vector<CCoorsSystemRow> OpenCoorsSystemDialog(const CCoorsSystemMap& set) {
  std::vector<CCoorsSystemRow> rows;
  for (const auto& [key, cs] : set.Entries())
    rows.push_back({cs.m_Name, Format("%lf", cs.m_a), Format("%.9lf", cs.m_InvF), cs.m_Predefined != 0});
  while (rows.size() < static_cast<size_t>(kCoorsGridMinRows)) rows.push_back({});
  return rows;
}

int AcceptCoorsSystemDialog(const std::vector<CCoorsSystemRow>& rows) {
  AcceptCoorsSystemDialog(rows, Project().configuration.m_CoorsSystems);
  if (Project().projectName.empty()) return 0;
  return SaveProjectFile();
}

void AcceptCoorsSystemDialog(const std::vector<CCoorsSystemRow>& rows, CCoorsSystemMap& set) {
  set.RemoveAll();
  for (const auto& row : rows) {
    if (IsSpaceString(row.name.c_str()) || Trim(row.name).empty()) continue;
    CCoorsSystemSet cs;
    cs.m_Name = NormalizeName(row.name);
    // As the grid converts its cells: text that is no number gives 0.
    cs.m_a = std::atof(row.semiMajorAxis.c_str());
    cs.m_InvF = std::atof(row.flatteningDenominator.c_str());
    cs.m_Predefined = row.readOnly ? 1 : 0;
    set.SetAt(cs.m_Name, cs);
  }
}

int OpenProject(const std::string& prjPath) {
  CProjectState& p = Project();
  // The project is remembered for the next start, which may run in another folder: a path
  // given relative to the working folder ("f.prj" too) is made absolute first.
  std::error_code ec;
  fs::path path = fs::absolute(fs::path(prjPath), ec);
  if (ec) path = prjPath;
  path = path.lexically_normal();
  std::string newDir = StripDirectory(path.parent_path().string());
  std::string newName = path.has_parent_path() ? Utf8ToGbk(path.stem().string()) : std::string();

  const bool same = EqualNoCase(newName, p.projectName) && EqualNoCase(newDir, p.projectDir);
  if (!same || !p.configurationFromFile) {
    // A project that cannot be read is not opened: the previous one stays current as it was.
    CProjectState previous = p;
    p.projectDir = newDir;
    p.projectName = newName;
    if (!FileExists(CurrentProjectFile(ProjectFile::Project)) || !ReadWholeFile(CurrentProjectFile(ProjectFile::Project))) {
      std::string shown = PathToGbk(prjPath);
      ShowMessage(Format(UiText(u8"打开文件%s出错!"), shown.c_str()), AppTitle(), MessageIcon::Warning);
      p = previous;
      return 0;
    }
    if (!LoadProjectFile()) {
      p = previous;
      return 0;
    }
  }
  p.projectOpen = 1;
  HandProjectToLibrary();
  return 1;
}

void RestoreLastProject() {
  CProjectState& p = Project();
  std::error_code ec;
  std::string cwd = fs::current_path(ec).string();
  p.projectDir = StripDirectory(CSettingsStore::GetString(kSettingsSection, kLastPathKey, cwd));
  if (p.projectDir.empty()) p.projectDir = cwd;
  p.projectName = Utf8ToGbk(CSettingsStore::GetString(kSettingsSection, kLastProjectKey, ""));
  LoadProjectFile();
  HandProjectToLibrary();
}

int ReopenLastProject() {
  RestoreLastProject();
  CProjectState& p = Project();
  if (p.projectName.empty() || !p.configurationFromFile) return 0;
  p.projectOpen = 1;
  return 1;
}

bool SaveOnExit() {
  CProjectState& p = Project();
  // The project is remembered, and its file saved, where the file is: "打开(&O)..." may have
  // moved the working directory to a data folder since.
  const bool mirrored = p.configurationFromFile && !p.projectFileDir.empty();
  const std::string dir = mirrored ? p.projectFileDir : p.projectDir;
  // Remembering the project is a convenience: a settings file that cannot be written is
  // reported, but the run's work is done.
  if (!CSettingsStore::SetString(kSettingsSection, kLastPathKey, dir) ||
      !CSettingsStore::SetString(kSettingsSection, kLastProjectKey, GbkToUtf8(p.projectName)))
    ShowMessage(Format(UiText(u8"不能保存设置文件%s,本次使用的工程未被记住!"), PathToGbk(CSettingsStore::FilePath()).c_str()),
                AppTitle(), MessageIcon::Warning);
  bool saved = true;
  if (!mirrored || p.projectName.empty()) return saved;
  const std::string workingDir = p.projectDir;
  p.projectDir = dir;
  auto onDisk = ReadWholeFile(CurrentProjectFile(ProjectFile::Project));
  if (!onDisk || *onDisk != SerializeConfiguration(p.configuration)) {
    if (!SaveProjectFile()) {
      ShowMessage(Format(UiText(u8"不能保存工程文件%s,工程参数的修改未保存!"), PathToGbk(CurrentProjectFile(ProjectFile::Project)).c_str()),
                  AppTitle(), MessageIcon::Warning);
      saved = false;
    }
  }
  p.projectDir = workingDir;
  return saved;
}

}  // namespace vemo
