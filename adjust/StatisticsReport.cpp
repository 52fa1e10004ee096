#include "adjust/StatisticsReport.h"

#include <cmath>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"

namespace vemo {

void WriteTestHeading(CReportFile& f, const char* dash, const std::string& titleGbk, int redundancy,
                      const CTestSettings& settings, double sigma0Cm, double sigmaHatCm) {
  f.Write(dash);
  f.Printf("          %s\n", titleGbk.c_str());
  f.Printf(T(u8"              多余观测数=%10d\n"), redundancy);
  f.Printf(T(u8"             显著水平(%%)=%10.2f\n"), settings.alpha * 100.0);
  f.Printf(T(u8"             检验功效(%%)=%10.2f\n"), settings.power * 100.0);
  f.Printf(T(u8"             置信概率(%%)=%10.2f\n"), settings.confidence * 100.0);
  f.Printf(T(u8"        验前单位权中误差=%14.3f(cm)\n"), sigma0Cm);
  if (sigmaHatCm >= 0.0)
    f.Printf(T(u8"        验后单位权中误差=%14.3f(cm)\n"), sigmaHatCm);
  else
    f.Write(T(u8"        验后单位权中误差=        无定义\n"));
}

void WriteNoRedundancy(CReportFile& f, const char* dash) {
  f.Write(dash);
  f.Write(T(u8"多余观测数为0：验后方差因子、全局检验、标准化残差检验与可靠性均无定义，不输出检验数值。\n"));
}

void WriteGlobalTest(CReportFile& f, const char* dash, const CGlobalTest& test, double alpha) {
  f.Write(dash);
  f.Write(T(u8"                    全局模型检验(chi^2检验，双侧)\n"));
  f.Write(dash);
  f.Printf(T(u8"         PVV/验前方差=%14.4f\n"), test.omega);
  f.Printf(T(u8"       验后/验前方差因子=%14.4f\n"), test.varianceFactor);
  f.Printf(T(u8"     接受区间(α=%5.2f%%)=[%.4f, %.4f]\n"), alpha * 100.0, test.lower, test.upper);
  f.Write(test.passed ? T(u8"                    结论=    通过\n") : T(u8"                    结论=  不通过\n"));
}

void WriteDataSnooping(CReportFile& f, const CTestReportNames& names, const CDataSnooping& snooping,
                       const CSnoopingLimits& limits, double unitToCm) {
  f.Write(names.dash);
  f.Write(T(u8"                    粗差探测(数据探测法)与可靠性\n"));
  f.Write(names.dash);
  f.Printf(T(u8"  单个观测显著水平α0(%%)=%.6f (B法: 与全局检验以相同功效发现同一粗差)\n"), limits.alpha0 * 100.0);
  f.Printf(T(u8"  w检验临界值=%8.3f"), limits.w);
  if (limits.tauDefined)
    f.Printf(T(u8"    tau检验临界值=%8.3f"), limits.tau);
  else
    f.Write(T(u8"    tau检验临界值=  无定义"));
  f.Printf(T(u8"    delta0=%8.3f\n"), limits.delta0);
  f.Write(names.dash);
  f.Write(T(u8" No.            From               To 分量    V(cm)    r_i        w      tau  MDB(cm) 影响(cm)"
            u8"           影响点 检验       基线\n"));
  f.Write(names.dash);
  for (size_t g = 0; g < snooping.groups.size(); ++g) {
    bool suspect = false;
    for (const CComponentTest& t : snooping.groups[g]) suspect = suspect || t.rejected;
    const char* verdict = suspect ? T(u8"可疑") : T(u8"合格");
    const std::string& from = names.pointNames[static_cast<size_t>(names.from[g])];
    const std::string& to = names.pointNames[static_cast<size_t>(names.to[g])];
    for (size_t c = 0; c < snooping.groups[g].size(); ++c) {
      const CComponentTest& t = snooping.groups[g][c];
      f.Printf("%4d %16s %16s %4s %8.2f %6.3f ", static_cast<int>(g) + 1, from.c_str(), to.c_str(), names.components[c],
               t.v * unitToCm, t.redundancy);
      if (!t.controlled) {
        f.Printf(T(u8"%8s %8s %8s %8s %16s %-10s %s\n"), "-", "-", "-", "-", "-", T(u8"无多余"), verdict);
        continue;
      }
      const bool worst = static_cast<int>(g) == snooping.worstGroup && static_cast<int>(c) == snooping.worstComponent;
      const char* test = worst ? T(u8"超限最大") : t.rejected ? T(u8"超限") : T(u8"通过");
      const std::string tau = t.tauDefined ? Format("%8.2f", t.tau) : std::string("       -");
      const std::string point =
          t.effectPoint >= 0 ? names.pointNames[static_cast<size_t>(t.effectPoint)] : std::string("-");
      f.Printf("%8.2f %s %8.2f %8.2f %16s %-10s %s\n", t.w, tau.c_str(), t.mdb * unitToCm, t.effect * unitToCm,
               point.c_str(), test, verdict);
    }
  }
  f.Write(names.dash);
  if (snooping.worstGroup < 0) {
    f.Write(T(u8"检验结论: 所有标准化残差均未超过临界值，未发现粗差。\n"));
  } else {
    const size_t g = static_cast<size_t>(snooping.worstGroup);
    const CComponentTest& t = snooping.groups[g][static_cast<size_t>(snooping.worstComponent)];
    f.Printf(T(u8"检验结论: %d条基线可疑；最可疑为第%d条基线 %s->%s 的分量%s，w=%.2f。"
               u8"请检查或剔除该基线后重新平差(一次只剔除一条)。\n"),
             snooping.rejectedGroups, static_cast<int>(g) + 1, names.pointNames[static_cast<size_t>(names.from[g])].c_str(),
             names.pointNames[static_cast<size_t>(names.to[g])].c_str(),
             names.components[static_cast<size_t>(snooping.worstComponent)], t.w);
  }
}

CTestVerdicts Verdicts(const CGlobalTest& global, const CDataSnooping& snooping) {
  CTestVerdicts v;
  v.defined = global.defined;
  v.globalPassed = global.passed;
  v.rejectedGroups = snooping.rejectedGroups;
  v.worstGroup = snooping.worstGroup;
  v.worstComponent = snooping.worstComponent;
  return v;
}

const char* UnitWeightBasis(const CNetworkTests& tests) {
  return tests.unitWeightEstimated ? T(u8"按验后单位权中误差") : T(u8"按验前单位权中误差");
}

bool WriteTestReport(const std::string& path, const CTestReportNames& names, const std::string& titleGbk,
                     int redundancy, const CTestSettings& settings, const CNetworkTests& tests, double unitToCm,
                     const std::function<void(CReportFile&)>& notes,
                     const std::function<void(CReportFile&)>& regions, CTestVerdicts* verdicts) {
  CReportFile f;
  if (!f.Create(path)) {
    ShowMessage(Format(T(u8"打开文件%s出错!"), PathToGbk(path).c_str()), AppTitle(), MessageIcon::Warning);
    return false;
  }
  WriteTestHeading(f, names.dash, titleGbk, redundancy, settings, tests.sigma0 * unitToCm,
                   tests.sigmaHat < 0 ? -1.0 : tests.sigmaHat * unitToCm);
  if (!tests.global.defined) {
    WriteNoRedundancy(f, names.dash);
  } else {
    WriteGlobalTest(f, names.dash, tests.global, settings.alpha);
    notes(f);
    WriteDataSnooping(f, names, tests.snooping, tests.limits, unitToCm);
  }
  regions(f);
  if (verdicts) *verdicts = Verdicts(tests.global, tests.snooping);
  if (!f.Close()) {
    WriteFileError(path, AppTitle());
    return false;
  }
  return true;
}

std::string TestReportSummary(const std::string& reportGbk) {
  auto contains = [&](const char* utf8) { return reportGbk.find(T(utf8)) != std::string::npos; };
  if (contains(u8"多余观测数为0：")) return T(u8"多余观测数为0，检验无定义");
  const bool passed = contains(u8"结论=    通过\n"), failed = contains(u8"结论=  不通过\n");
  if (!passed && !failed) return "";
  std::string summary = passed ? T(u8"全局检验通过") : T(u8"全局检验不通过");
  // The conclusion line of data snooping: its count of suspect vectors, up to the first "；".
  const std::string conclusion = T(u8"检验结论: ");
  const size_t at = reportGbk.find(conclusion);
  if (at == std::string::npos) return summary;
  if (reportGbk.compare(at + conclusion.size(), std::string(T(u8"所有")).size(), T(u8"所有")) == 0)
    return summary + T(u8"，未发现粗差");
  const size_t end = reportGbk.find(T(u8"；"), at);
  return summary + T(u8"，") + reportGbk.substr(at + conclusion.size(), end == std::string::npos ? 0 : end - at - conclusion.size());
}

std::string TestReportPath(const std::string& resultPath) {
  const size_t at = resultPath.rfind("Result");
  if (at == std::string::npos) return resultPath + "Test";
  return resultPath.substr(0, at) + "Test" + resultPath.substr(at + 6);
}

}  // namespace vemo
