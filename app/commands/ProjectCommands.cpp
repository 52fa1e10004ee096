// The project commands on the command line: the options carry the fields of the project
// dialog, the custom precision dialog and the coordinate system dialog.
#include <filesystem>

#include "project/AppState.h"
#include "app/commands/Handlers.h"
#include "project/GradeTable.h"
#include "project/ProjectDialogs.h"
#include "project/ProjectFile.h"
#include "project/data/DataFileReader.h"
#include "geodesy/Angles.h"
#include "geodesy/BaselinePackages.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace fs = std::filesystem;

// Built at start-up: the range of --baseline-type is the package table's.
const char* const kProjectOptionsHelp = [] {
  static const std::string text =
      std::string(
        "  --grade INDEX             precision grade, 0..34 (34 = custom, see --custom-precision)\n"
        "  --custom-precision LIST   the fourteen values of the custom precision dialog, comma-\n"
        "                            separated: a (mm), b (ppm), repeated baseline, synchronous loop,\n"
        "                            asynchronous loop, vector correction and (unconstrained -\n"
        "                            constrained) coefficients, baseline direction error (\"),\n"
        "                            adjacent point error (mm), weakest side and constrained points\n"
        "                            relative errors (N of 1/N), horizontal and vertical component\n"
        "                            errors (mm), loop side limit; values left out keep the dialog's\n"
        "                            start values (5, 1, 2.828, 0.2, 3, 3, 2, -1 ...). Selects grade 34.\n"
        "  --ellipsoid NAME          coordinate system of the set (see coordinate-systems)\n"
        "  --baseline-type INDEX     receiver software of the baselines, 0..") +
      std::to_string(BaselinePackages().size() - 1) +
      "\n"
      "  --central-meridian DMS    central meridian, D.MMSS\n"
      "  --projection gauss|utm    map projection\n"
      "  --x-constant KM, --y-constant KM   coordinate add constants\n"
      "  --instrument-a MM, --instrument-b PPM   instrument fixed and proportional errors\n"
      "  --independent-baselines N number of independent baselines (-1: not given)\n"
      "  --variance-factor K       baseline variance factor\n"
      "  --modify-covariance, --no-modify-covariance      remodel the baseline covariance\n"
      "  --apriori-unit-weight, --no-apriori-unit-weight  use the a-priori unit weight (1 cm)\n"
      "  --mean-latitude DMS       mean latitude of the survey area, D.MMSS\n"
      "An option not given keeps the dialog's value.\n";
  return text.c_str();
}();

const char* const kCoorsSystemsHelp =
    "  --add NAME A INVF   add (or change) a user coordinate system: name, semi-major axis (m),\n"
    "                      flattening denominator\n"
    "  --remove NAME       remove a user coordinate system (built-in ones cannot be removed)\n"
    "Without options the set is listed.\n";

namespace {

std::string NotProjectSaved() { return UiText(u8"当前没有工程，设置未能保存!"); }

double RequireRange(const std::string& option, double value, double low, double high) {
  if (!(value >= low && value <= high))
    throw UsageError(Format("option %s: %g is outside %g..%g", option.c_str(), value, low, high));
  return value;
}

CCustomPrecisionRecord ParseCustomPrecision(const std::string& list) {
  CCustomPrecisionRecord r;
  double* fields[13] = {&r.fixedError, &r.proportionalError, &r.repeatBaselineCoefficient,
                        &r.syncLoopCoefficient, &r.asyncLoopCoefficient, &r.vectorCorrectionCoefficient,
                        &r.vectorCorrectionDifferenceCoefficient, &r.baselineDirectionError,
                        &r.adjacentPointError, &r.weakestSideRelativeError, &r.constrainedRelativeError,
                        &r.horizontalComponentError, &r.verticalComponentError};
  std::vector<std::string> values;
  size_t start = 0;
  for (;;) {
    size_t comma = list.find(',', start);
    values.push_back(Trim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() > 14) throw UsageError("--custom-precision takes at most fourteen values");
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i].empty()) continue;  // keep the start value
    if (i < 13) {
      auto v = ParseNumber(values[i]);
      if (!v) throw UsageError("--custom-precision: '" + values[i] + "' is not a number");
      // -1 stands for "not given"; beyond the bound a tolerance has no meaning and its square
      // would not be a number.
      *fields[i] = RequireRange("--custom-precision", *v, -1, kMaxPrecisionValue);
    } else {
      auto v = ParseInteger(values[i]);
      if (!v) throw UsageError("--custom-precision: loop side limit '" + values[i] + "' is not an integer");
      r.loopSideLimit = static_cast<int>(RequireRange("--custom-precision", *v, -1, kMaxIndependentBaselines));
    }
  }
  return r;
}

// Fills the dialog record from the project options, as the person fills the dialog.
void FillProjectDialog(Args& args, CProjectDlgRecord& r) {
  const CGPSConfiguration& c = Project().configuration;
  const int previousGrade = r.gradeIndex;
  if (auto g = args.TakeInt("--grade")) r.gradeIndex = static_cast<int>(RequireRange("--grade", *g, 0, kGradeCount - 1));
  auto custom = args.TakeValue("--custom-precision");
  if (custom) r.gradeIndex = kCustomGrade;
  // Selecting "自定义" opens the custom precision dialog at once; its "确认" stores the values.
  if (custom || (r.gradeIndex == kCustomGrade && previousGrade != kCustomGrade))
    AcceptCustomPrecision(custom ? ParseCustomPrecision(*custom) : CCustomPrecisionRecord{}, r);

  if (auto e = args.TakeValue("--ellipsoid")) {
    // The creation-mode dialog offers its own set, the built-in entries.
    const CCoorsSystemMap& set = r.creationMode ? r.coordinateSystems : c.m_CoorsSystems;
    std::string name = Utf8ToGbk(*e);
    if (!set.Lookup(name)) name = NormalizeName(name);
    if (!set.Lookup(name)) {
      std::string known;
      for (const auto& [key, cs] : set.Entries()) known += " " + GbkToUtf8(key);
      throw UsageError("--ellipsoid: no coordinate system '" + *e + "'; the set holds:" + known);
    }
    r.coordinateSystem = name;
  }
  if (auto t = args.TakeInt("--baseline-type")) {
    const double last = static_cast<double>(BaselinePackages().size() - 1);
    r.baselineType = static_cast<int>(RequireRange("--baseline-type", *t, 0, last));
  }
  if (auto v = args.TakeDouble("--central-meridian")) r.centralMeridian = RequireRange("--central-meridian", *v, -180, 360);
  if (auto p = args.TakeValue("--projection")) {
    if (*p == "gauss" || *p == "0") r.projectionType = 0;
    else if (*p == "utm" || *p == "1") r.projectionType = 1;
    else throw UsageError("--projection: expected gauss or utm, not '" + *p + "'");
  }
  if (auto v = args.TakeDouble("--x-constant"))
    r.xConstant = RequireRange("--x-constant", *v, -kMaxAddConstantKm, kMaxAddConstantKm);
  if (auto v = args.TakeDouble("--y-constant"))
    r.yConstant = RequireRange("--y-constant", *v, -kMaxAddConstantKm, kMaxAddConstantKm);
  if (auto v = args.TakeDouble("--instrument-a")) r.instrumentFixedError = RequireRange("--instrument-a", *v, 0, 1e6);
  if (auto v = args.TakeDouble("--instrument-b")) r.instrumentProportionalError = RequireRange("--instrument-b", *v, 0, 1e6);
  if (auto n = args.TakeInt("--independent-baselines"))
    r.independentBaselineCount = static_cast<int>(RequireRange("--independent-baselines", *n, -1, kMaxIndependentBaselines));
  if (auto v = args.TakeDouble("--variance-factor")) {
    if (!(*v > 0)) throw UsageError("--variance-factor must be positive");
    r.baselineVarianceFactor = RequireRange("--variance-factor", *v, 0, kMaxPrecisionValue);
  }
  if (args.TakeFlag("--modify-covariance")) r.modifyBaselineCov = 1;
  if (args.TakeFlag("--no-modify-covariance")) r.modifyBaselineCov = 0;
  if (args.TakeFlag("--apriori-unit-weight")) r.useAprioriUnitWeight = 1;
  if (args.TakeFlag("--no-apriori-unit-weight")) r.useAprioriUnitWeight = 0;
  if (auto v = args.TakeDouble("--mean-latitude")) r.meanLatitude = RequireRange("--mean-latitude", *v, -90, 90);
}

std::string DescribeConfiguration() {
  const CProjectState& p = Project();
  const CGPSConfiguration& c = p.configuration;
  const NetClassParameters& n = c.m_NetClass;
  using R = NetClassParameters;
  std::string s;
  s += Format(T(u8"工程名: %s\n"), p.projectName.c_str());
  s += Format(T(u8"路  径: %s\n"), PathToGbk(p.projectDir).c_str());
  const char* grade = GradeName(c.m_GradeIndex);
  s += Format(T(u8"等级: %d %s\n"), c.m_GradeIndex, grade ? grade : "?");
  s += Format(T(u8"坐标系统: %s  a = %.3lf  1/f = %.9lf\n"), c.m_CurrentCoorsSystem.m_Name.c_str(),
              c.m_CurrentCoorsSystem.m_a, c.m_CurrentCoorsSystem.m_InvF);
  const char* type = BaselineTypeName(c.m_BaselineType);
  s += Format(T(u8"基线类型: %d %s\n"), c.m_BaselineType, type ? type : "?");
  s += Format(T(u8"仪器固定误差: %g mm\n"), n[R::kInstrumentFixedError]);
  s += Format(T(u8"仪器比例误差: %g ppm\n"), n[R::kInstrumentProportionalError]);
  s += Format(T(u8"独立基线条数: %d\n"), c.m_IndependentBaselineCount);
  s += Format(T(u8"基线方差因子: %g\n"), c.m_BaselineVarianceFactor);
  s += Format(T(u8"改造基线解方差阵: %d\n"), c.m_ModifyBaselineCov);
  s += Format(T(u8"用验前单位权中误差(1cm): %d\n"), c.m_UseAprioriUnitWeight);
  s += Format(T(u8"中央子午线: %.6lf dms\n"), c.m_CentralMeridian);
  const char* projection = ProjectionName(c.m_ProjectionType);
  s += Format(T(u8"投影类型: %s\n"), projection ? projection : "?");
  s += Format(T(u8"测区平均纬度: %.6lf dms\n"), c.m_MeanLatitude);
  s += Format(T(u8"坐标加常数: X常数 %g km  Y常数 %g km\n"), c.m_XConstant, c.m_YConstant);
  static const char* const labels[R::kRowCount] = {
      u8"固定误差(mm)", u8"比例误差(ppm)", u8"仪器固定误差(mm)", u8"仪器比例误差(ppm)", u8"重复基线差系数",
      u8"同步环闭合差系数", u8"异步环闭合差系数", u8"基线向量改正数系数", u8"向量改正数系数(无约束－约束)",
      u8"基线方向中误差(\")", u8"相邻点坐标差中误差(mm)", u8"最弱边相对中误差(1/N)",
      u8"约束点间相对中误差(1/N)", u8"基线水平分量中误差(mm)", u8"基线垂直分量中误差(mm)"};
  s += T(u8"精度指标:\n");
  for (int i = 0; i < R::kRowCount; ++i) s += Format("  %s: %g\n", T(labels[i]), n.m_Value[i]);
  s += Format(T(u8"  环边数限值: %d\n"), n.m_LoopSideLimit);
  return s;
}

std::string DescribeCoorsSystems(const std::vector<CCoorsSystemRow>& rows) {
  std::string s = Format("%-20s %-18s %-18s\n", T(u8"坐标系统"), T(u8"椭球长半轴"), T(u8"椭球扁率分母"));
  for (const auto& row : rows) {
    if (Trim(row.name).empty()) continue;
    s += Format("%-20s %-18s %-18s%s\n", row.name.c_str(), row.semiMajorAxis.c_str(), row.flatteningDenominator.c_str(),
                row.readOnly ? T(u8" (预定义)") : "");
  }
  return s;
}

// Directory as given on the command line, made absolute, without trailing separator.
std::string ProjectDirectoryArgument(const std::string& dir) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(dir), ec);
  if (ec) p = dir;
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

}  // namespace

int RunNewProject(CommandContext& context) {
  Args& args = context.args;
  auto name = args.TakeValue("--name");
  auto dir = args.TakeValue("--dir");
  CProjectDlgRecord record = OpenNewProjectDialog(Project().configuration);
  if (name && !CheckGbkPath(*name)) return kCommandFailed;  // the name lives as GBK
  if (name) record.name = Utf8ToGbk(*name);
  if (dir && !dir->empty()) record.directory = ProjectDirectoryArgument(*dir);
  FillProjectDialog(args, record);
  if (!args.Positionals().empty()) throw UsageError("new-project takes no positional arguments");
  if (record.name.empty() || record.directory.empty())
    throw UsageError("new-project needs --name N and --dir D");
  if (record.name.find('/') != std::string::npos || record.name == "." || record.name == "..")
    throw UsageError("the project name must be a plain file name (no '/')");

  bool saved = false;
  if (AcceptNewProject(record, &saved) == DialogOutcome::StaysOpen) return kCommandFailed;
  if (!saved) return kCommandFailed;
  Platform().ShowText(UiText(u8"新建工程"), PathToGbk(CurrentProjectFile(ProjectFile::Project)));
  return kCommandDone;
}

int RunSettings(CommandContext& context) {
  Args& args = context.args;
  CProjectDlgRecord record = OpenSettingsDialog(Project().configuration);
  const bool changing = !args.Empty();
  FillProjectDialog(args, record);
  if (!args.Positionals().empty()) throw UsageError("settings takes no positional arguments");
  if (changing) {
    if (!AcceptSettings(record)) {
      if (Project().projectName.empty()) ShowMessage(NotProjectSaved(), AppTitle(), MessageIcon::Warning);
      Platform().ShowText(UiText(u8"工程参数设置"), DescribeConfiguration());
      return kCommandFailed;
    }
  }
  Platform().ShowText(UiText(u8"工程参数设置"), DescribeConfiguration());
  return kCommandDone;
}

int RunCoordinateSystems(CommandContext& context) {
  Args& args = context.args;
  std::vector<CCoorsSystemRow> rows = OpenCoorsSystemDialog(Project().configuration);
  auto removes = args.TakeValues("--remove");
  auto adds = args.TakeTuples("--add", 3);
  if (!args.Positionals().empty()) throw UsageError("coordinate-systems takes no positional arguments");

  auto findRow = [&rows](const std::string& name) -> CCoorsSystemRow* {
    for (auto& row : rows)
      if (!Trim(row.name).empty() && NormalizeName(row.name) == name) return &row;
    return nullptr;
  };
  for (const auto& r : removes) {
    std::string name = NormalizeName(Utf8ToGbk(r));
    CCoorsSystemRow* row = findRow(name);
    if (!row) throw UsageError("--remove: no coordinate system '" + r + "'");
    if (row->readOnly) {
      ShowMessage(Format(UiText(u8"预定义的坐标系统'%s'不能删除!"), name.c_str()), AppTitle(), MessageIcon::Warning);
      return kCommandFailed;
    }
    *row = CCoorsSystemRow{};
  }
  for (const auto& a : adds) {
    std::string name = NormalizeName(Utf8ToGbk(a[0]));
    auto axis = ParseNumber(a[1]);
    auto invf = ParseNumber(a[2]);
    if (name.empty()) throw UsageError("--add: the name is blank");
    if (!axis || !(*axis > 0)) throw UsageError("--add: semi-major axis '" + a[1] + "' is not a positive number");
    if (!invf || !(*invf > 1)) throw UsageError("--add: flattening denominator '" + a[2] + "' must be a number above 1");
    CCoorsSystemRow* row = findRow(name);
    if (row && row->readOnly) {
      ShowMessage(Format(UiText(u8"预定义的坐标系统'%s'不能修改!"), name.c_str()), AppTitle(), MessageIcon::Warning);
      return kCommandFailed;
    }
    if (!row) {
      for (auto& r : rows)
        if (Trim(r.name).empty()) {
          row = &r;
          break;
        }
      if (!row) row = &rows.emplace_back();
    }
    *row = CCoorsSystemRow{name, Format("%lf", *axis), Format("%.9lf", *invf), false};
  }
  if (!removes.empty() || !adds.empty()) {
    if (!AcceptCoorsSystemDialog(rows)) {
      if (Project().projectName.empty()) ShowMessage(NotProjectSaved(), AppTitle(), MessageIcon::Warning);
      return kCommandFailed;
    }
    rows = OpenCoorsSystemDialog(Project().configuration);
  }
  Platform().ShowText(UiText(u8"定义坐标系统"), DescribeCoorsSystems(rows));
  return kCommandDone;
}

}  // namespace vemo
