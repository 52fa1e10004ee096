#include "adjust/StatisticsReport.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

std::string PercentText(double fraction) {
  const double percent = fraction * 100.0;
  // Levels derived from a large network can be far below 0.01 %: they keep two digits.
  return percent >= 0.01 || percent == 0.0 ? Format("%.2f", percent) : Format("%.2e", percent);
}

void WriteTestHeading(CReportFile& f, const char* dash, const std::string& titleGbk, int redundancy,
                      const CTestSettings& settings, const CNetworkTests& tests, double unitToCm) {
  const CSnoopingLimits& l = tests.limits;
  const bool alpha0Fixed = l.rule == TestLevelRule::FixedAlpha0;
  f.Write(dash);
  f.Printf("          %s\n", titleGbk.c_str());
  f.Printf(T(u8"              多余观测数=%10d\n"), redundancy);
  // The level the user fixed, and the one the power derives from it (none without redundancy).
  auto level = [&](const char* label, bool fixed, double value, const char* how) {
    f.Write(label);
    if (fixed)
      f.Printf(T(u8"%10s (给定%s)\n"), PercentText(value).c_str(), how);
    else if (l.derived)
      f.Printf(T(u8"%10s (由%s与检验功效导出%s)\n"), PercentText(value).c_str(), alpha0Fixed ? T(u8"α0") : T(u8"α"), how);
    else
      f.Write(T(u8"    无定义\n"));
  };
  level(T(u8"  单个观测显著水平α0(%)="), alpha0Fixed, l.alpha0, "");
  level(T(u8"   全局检验显著水平α(%)="), !alpha0Fixed, l.alpha, alpha0Fixed ? T(u8"，上侧") : T(u8"，双侧"));
  f.Printf(T(u8"             检验功效(%%)=%10.2f\n"), settings.power * 100.0);
  f.Printf(T(u8"             置信概率(%%)=%10.2f\n"), settings.confidence * 100.0);
  f.Printf(T(u8"        验前单位权中误差=%14.3f(cm)\n"), tests.sigma0 * unitToCm);
  if (tests.sigmaHat >= 0.0)
    f.Printf(T(u8"        验后单位权中误差=%14.3f(cm)\n"), tests.sigmaHat * unitToCm);
  else
    f.Write(T(u8"        验后单位权中误差=        无定义\n"));
}

std::vector<std::string> PlausibilityWarnings(const CNetworkTests& tests, bool shown) {
  const auto text = [shown](const char* utf8) { return shown ? UiText(utf8) : T(utf8); };
  const CPlausibility& p = tests.plausibility;
  std::vector<std::string> warnings;
  if (p.sigmaImplausible)
    warnings.push_back(Format(text(TrNoop(u8"基线向量的验前中误差过小: %d条基线中%d条低于其边长可达的精度(中误差中位数%.3fmm，"
                                u8"边长%.1f~%.1fkm；20km以上应不小于0.5mm)。协方差可能以m^2给出却按cm^2读入"
                                u8"(方差小了10^4倍)，统计检验结果不可信。")),
                              p.vectorCount, p.tooPrecise, p.medianSigmaMm, p.shortestKm, p.longestKm));
  if (p.varianceFactorHigh)
    warnings.push_back(Format(text(TrNoop(u8"验后/验前方差因子%.4g大于100: 协方差可能以m^2给出却按cm^2读入(方差小了10^4倍)，"
                                u8"统计检验结果不可信。")),
                              tests.global.varianceFactor));
  if (p.varianceFactorLow)
    warnings.push_back(Format(text(TrNoop(u8"验后/验前方差因子%.4g小于0.01: 协方差可能以mm^2给出却按cm^2读入(方差大了100倍)，"
                                u8"或基线向量不含观测误差(如设计网)；统计检验结果不可信。")),
                              tests.global.varianceFactor));
  return warnings;
}

void WriteNoRedundancy(CReportFile& f, const char* dash) {
  f.Write(dash);
  f.Write(T(u8"多余观测数为0：验后方差因子、全局检验、标准化残差检验与可靠性均无定义，不输出检验数值。\n"));
}

void WriteGlobalTest(CReportFile& f, const char* dash, const CGlobalTest& test, const CSnoopingLimits& limits) {
  f.Write(dash);
  f.Write(T(u8"                    全局模型检验(chi^2检验，双侧)\n"));
  f.Write(dash);
  f.Printf(T(u8"         PVV/验前方差=%14.4f\n"), test.omega);
  f.Printf(T(u8"       验后/验前方差因子=%14.4f\n"), test.varianceFactor);
  f.Printf(T(u8"     接受区间(下侧概率%s%%，上侧概率%s%%)=[%.4f, %.4f]\n"), PercentText(limits.lowerTail).c_str(),
           PercentText(limits.upperTail).c_str(), test.lower, test.upper);
  f.Write(test.passed ? T(u8"                    结论=    通过\n") : T(u8"                    结论=  不通过\n"));
  if (test.varianceFactor > test.upper)
    f.Write(T(u8"方差因子大于上限: 有粗差，或验前方差偏小(协方差过于乐观)。\n"));
  else if (test.varianceFactor < test.lower)
    f.Write(T(u8"方差因子小于下限: 验前方差偏大(协方差过于悲观)，w检验随之偏宽。\n"));
  if (limits.rule == TestLevelRule::FixedAlpha0)
    f.Write(T(u8"注: α由α0与检验功效按B法导出(与w检验以相同功效发现同一粗差)，随多余观测数增大而增大，"
              u8"大网中全局检验常不通过；此时以w检验判断粗差。\n"));
}

void WriteDataSnooping(CReportFile& f, const CTestReportNames& names, const CDataSnooping& snooping,
                       const CSnoopingLimits& limits, double unitToCm) {
  f.Write(names.dash);
  f.Write(T(u8"                    粗差探测(数据探测法)与可靠性\n"));
  f.Write(names.dash);
  f.Printf(T(u8"  单个观测显著水平α0(%%)=%s (B法: 与全局检验以相同功效发现同一粗差)\n"), PercentText(limits.alpha0).c_str());
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
    const GroupVerdict group = VerdictOf(snooping.groups[g]);
    const char* verdict = group == GroupVerdict::Suspect      ? T(u8"可疑")
                          : group == GroupVerdict::Untestable ? T(u8"不可检验")
                                                              : T(u8"合格");
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
  if (snooping.untestableGroups > 0)
    f.Printf(T(u8"不可检验: %d条基线含无多余观测的分量(r_i<%.3f)，其中的粗差无法发现；请增加与其端点相连的观测。\n"),
             snooping.untestableGroups, kUncontrolledRedundancy);
}

namespace {

// The level of a test of several components, and the rule that set it.
void WriteMultipleLimit(CReportFile& f, const CMultipleLimit& limit) {
  f.Printf(T(u8"  临界值T(chi^2, %d自由度)=%8.3f    显著水平(%%)=%s (B法: 与w检验以相同功效发现同一粗差)\n"),
           limit.degrees, limit.critical, PercentText(limit.alpha).c_str());
}

const char* RowVerdict(bool rejected, bool worst) {
  return worst ? T(u8"超限最大") : rejected ? T(u8"超限") : T(u8"通过");
}

}  // namespace

void WriteWholeGroupTests(CReportFile& f, bool opening, const CTestReportNames& names, const std::string& titleGbk,
                          const char* const axisNames[3], const std::vector<CGroupTest>& tests,
                          const CMultipleLimit& limit) {
  if (opening) f.Write(names.dash);
  f.Printf("          %s\n", titleGbk.c_str());
  f.Write(names.dash);
  WriteMultipleLimit(f, limit);
  f.Write(names.dash);
  f.Printf(T(u8" No.            From               To %8s %8s %8s        T 检验\n"), axisNames[0], axisNames[1],
           axisNames[2]);
  f.Write(names.dash);
  int worst = -1, rejected = 0, untestable = 0;
  for (size_t g = 0; g < tests.size(); ++g)
    if (tests[g].rejected) {
      ++rejected;
      if (worst < 0 || tests[g].statistic > tests[static_cast<size_t>(worst)].statistic) worst = static_cast<int>(g);
    }
  for (size_t g = 0; g < tests.size(); ++g) {
    const CGroupTest& t = tests[g];
    f.Printf("%4d %16s %16s ", static_cast<int>(g) + 1, names.pointNames[static_cast<size_t>(names.from[g])].c_str(),
             names.pointNames[static_cast<size_t>(names.to[g])].c_str());
    if (!t.defined) {
      ++untestable;
      f.Printf(T(u8"%8s %8s %8s %8s 不可检验\n"), "-", "-", "-", "-");
      continue;
    }
    f.Printf("%8.2f %8.2f %8.2f %8.2f %s\n", t.w[0], t.w[1], t.w[2], t.statistic,
             RowVerdict(t.rejected, static_cast<int>(g) == worst));
  }
  f.Write(names.dash);
  if (worst < 0) {
    f.Write(T(u8"检验结论(整体检验): 所有基线向量均通过整体检验。\n"));
  } else {
    const size_t g = static_cast<size_t>(worst);
    f.Printf(T(u8"检验结论(整体检验): %d条基线向量未通过整体检验；最大为第%d条基线 %s->%s，T=%.2f。\n"), rejected,
             worst + 1, names.pointNames[static_cast<size_t>(names.from[g])].c_str(),
             names.pointNames[static_cast<size_t>(names.to[g])].c_str(), tests[g].statistic);
  }
  if (untestable > 0) f.Printf(T(u8"不可检验(整体检验): %d条基线含无多余观测的分量。\n"), untestable);
}

void WriteKnownPointTests(CReportFile& f, bool opening, const char* dash, const std::vector<std::string>& pointNames,
                          const char* const axisNames[3], const CKnownPointTests& tests, double unitToCm) {
  const int k = tests.limit.degrees;
  if (opening) f.Write(dash);
  f.Write(T(u8"          已知点相容性检验(各已知点的已知坐标与其余已知点所确定的网比较)\n"));
  f.Write(dash);
  if (tests.points.empty()) {
    // Every known point is weighted: each is tested by its own coordinate corrections.
    f.Write(T(u8"没有固定的已知点: 加权已知点的相容性见其坐标改正数检验。\n"));
    return;
  }
  WriteMultipleLimit(f, tests.limit);
  f.Write(T(u8"  差值=由其余已知点与观测值推得的位置-已知坐标\n"));
  f.Write(dash);
  f.Write(T(u8" No.             Name"));
  for (int c = 0; c < k; ++c) f.Printf(" %8s", (std::string(axisNames[c]) + "(cm)").c_str());
  f.Write(T(u8"        T 检验\n"));
  f.Write(dash);
  int defined = 0, undefined = 0;
  for (size_t i = 0; i < tests.points.size(); ++i) {
    const CKnownPointTest& t = tests.points[i];
    const int point = tests.pointOf[i];
    f.Printf("%4d %16s", point + 1, pointNames[static_cast<size_t>(point)].c_str());
    if (!t.defined) {
      for (int c = 0; c <= k; ++c) f.Printf(" %8s", "-");
      f.Printf(" %s\n", t.connected ? T(u8"无法检验") : T(u8"未连接"));
      if (t.connected) ++undefined;
      continue;
    }
    ++defined;
    for (int c = 0; c < k; ++c) f.Printf(" %8.2f", t.discrepancy[c] * unitToCm);
    f.Printf(" %8.2f %s\n", t.statistic, RowVerdict(t.rejected, static_cast<int>(i) == tests.worst));
  }
  f.Write(dash);
  if (tests.worst < 0)
    f.Write(T(u8"检验结论(已知点): 已知点之间相容，未发现有误的已知点。\n"));
  else
    f.Printf(T(u8"检验结论(已知点): %d个已知点不相容；最不相容为已知点%s，T=%.2f。请检查该点的已知坐标(一次只改正一个点)。\n"),
             tests.rejected, pointNames[static_cast<size_t>(tests.pointOf[static_cast<size_t>(tests.worst)])].c_str(),
             tests.points[static_cast<size_t>(tests.worst)].statistic);
  if (defined == 2)
    f.Write(T(u8"注: 只有两个已知点可检验时两点的检验量相同，无法判断哪一点有误。\n"));
  if (undefined > 0)
    f.Printf(T(u8"注: %d个已知点无法检验: 去掉该点后其余已知点不足以确定网的基准。\n"), undefined);
}

void WriteSingleObservationSnooping(CReportFile& f, bool opening, const char* dash, const CSingleObservationRows& rows,
                                    const CDataSnooping& snooping, double effectToCm,
                                    const std::vector<std::string>& pointNames) {
  if (opening) f.Write(dash);
  f.Printf("          %s\n", rows.titleGbk.c_str());
  f.Write(dash);
  f.Write(rows.headerGbk);
  f.Write(dash);
  int untestable = 0;
  for (size_t g = 0; g < snooping.groups.size(); ++g) {
    const CComponentTest& t = snooping.groups[g][0];
    const double unit = rows.toReport[g];
    f.Printf("%4d %s %8.2f %6.3f ", static_cast<int>(g) + 1, rows.labels[g].c_str(), t.v * unit, t.redundancy);
    if (!t.controlled) {
      ++untestable;
      f.Printf(T(u8"%8s %8s %8s %8s %16s %s\n"), "-", "-", "-", "-", "-", T(u8"无多余"));
      continue;
    }
    const std::string tau = t.tauDefined ? Format("%8.2f", t.tau) : std::string("       -");
    const std::string point =
        t.effectPoint >= 0 ? pointNames[static_cast<size_t>(t.effectPoint)] : std::string("-");
    f.Printf("%8.2f %s %8.2f %8.2f %16s %s\n", t.w, tau.c_str(), t.mdb * unit, t.effect * effectToCm, point.c_str(),
             RowVerdict(t.rejected, static_cast<int>(g) == snooping.worstGroup));
  }
  f.Write(dash);
  f.Write(rows.conclusionGbk);
  if (snooping.worstGroup < 0) {
    f.Write(T(u8"所有标准化残差均未超过临界值，未发现粗差。\n"));
  } else {
    const size_t g = static_cast<size_t>(snooping.worstGroup);
    f.Printf(T(u8"%d%s可疑；最可疑为%s，w=%.2f。请检查或剔除后重新计算(一次只剔除一个)。\n"), snooping.rejectedGroups,
             rows.nounGbk.c_str(), rows.namesGbk[g].c_str(), snooping.groups[g][0].w);
  }
  if (untestable > 0)
    f.Printf(T(u8"注: %d%s无多余观测(r_i<%.3f)，其中的粗差无法发现。\n"), untestable, rows.nounGbk.c_str(),
             kUncontrolledRedundancy);
}

CTestVerdicts Verdicts(const CGlobalTest& global, const CDataSnooping& snooping) {
  CTestVerdicts v;
  v.defined = global.defined;
  v.globalPassed = global.passed;
  v.rejectedGroups = snooping.rejectedGroups;
  v.worstGroup = snooping.worstGroup;
  v.worstComponent = snooping.worstComponent;
  v.untestableGroups = snooping.untestableGroups;
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
    ShowMessage(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()), AppTitle(), MessageIcon::Warning);
    return false;
  }
  WriteTestHeading(f, names.dash, titleGbk, redundancy, settings, tests, unitToCm);
  // A slip of units is said where it is read and where it is seen: the report and a message.
  const std::vector<std::string> warnings = PlausibilityWarnings(tests);
  if (!warnings.empty()) {
    f.Write(names.dash);
    for (const std::string& w : warnings) f.Printf(T(u8"警告: %s\n"), w.c_str());
  }
  if (!tests.global.defined) {
    WriteNoRedundancy(f, names.dash);
  } else {
    WriteGlobalTest(f, names.dash, tests.global, tests.limits);
    notes(f);
    WriteDataSnooping(f, names, tests.snooping, tests.limits, unitToCm);
  }
  regions(f);
  if (verdicts) *verdicts = Verdicts(tests.global, tests.snooping);
  if (!f.Close()) {
    WriteFileError(path, AppTitle());
    return false;
  }
  if (!warnings.empty()) {
    std::string text;
    for (const std::string& w : PlausibilityWarnings(tests, true)) text += (text.empty() ? "" : "\n") + w;
    ShowMessage(text, AppTitle(), MessageIcon::Warning);
  }
  return true;
}

namespace {

// A count the report states ("3条基线可疑"), in the interface language: the report's phrase is
// matched whole against the phrases it can hold; an unknown one is shown as the report has it.
std::string ShownCount(const std::string& phraseGbk) {
  static constexpr const char* kPhrases[] = {TrNoop(u8"%d条基线可疑"), TrNoop(u8"%d个地面观测可疑"),
                                             TrNoop(u8"%d个已知高程点可疑"), TrNoop(u8"%d个已知点不相容")};
  char* end = nullptr;
  const long count = std::strtol(phraseGbk.c_str(), &end, 10);
  if (end == phraseGbk.c_str() || count < 0 || count > INT_MAX) return phraseGbk;
  for (const char* phrase : kPhrases)
    if (Format(T(phrase), static_cast<int>(count)) == phraseGbk) return Format(UiText(phrase), static_cast<int>(count));
  return phraseGbk;
}

}  // namespace

std::string TestReportSummary(const std::string& reportGbk) {
  auto contains = [&](const char* utf8) { return reportGbk.find(T(utf8)) != std::string::npos; };
  if (contains(u8"多余观测数为0：")) return UiText(u8"多余观测数为0，检验无定义");
  const bool passed = contains(u8"结论=    通过\n"), failed = contains(u8"结论=  不通过\n");
  if (!passed && !failed) return "";
  std::string summary = passed ? UiText(u8"全局检验通过") : UiText(u8"全局检验不通过");
  const std::string separator = UiText(u8"，");
  // The conclusion line of data snooping: its count of suspect vectors, up to the first "；".
  const std::string conclusion = T(u8"检验结论: ");
  const size_t at = reportGbk.find(conclusion);
  if (at == std::string::npos) return summary;
  if (reportGbk.compare(at + conclusion.size(), std::string(T(u8"所有")).size(), T(u8"所有")) == 0) {
    summary += UiText(u8"，未发现粗差");
  } else {
    const size_t end = reportGbk.find(T(u8"；"), at);
    summary += separator +
               ShownCount(reportGbk.substr(at + conclusion.size(), end == std::string::npos ? 0 : end - at - conclusion.size()));
  }
  // Vectors whose blunders cannot be seen: their count, up to "条".
  const std::string untestable = T(u8"\n不可检验: ");
  const size_t count = reportGbk.find(untestable);
  if (count != std::string::npos) {
    const size_t from = count + untestable.size(), end = reportGbk.find(T(u8"条"), from);
    if (end != std::string::npos)
      summary += Format(UiText(u8"，%s条基线不可检验"), reportGbk.substr(from, end - from).c_str());
  }
  // The ground observations and the known points found wrong: the count, up to "；".
  for (const char* section : {u8"\n检验结论(地面观测): ", u8"\n检验结论(已知点): "}) {
    const std::string head = T(section);
    const size_t found = reportGbk.find(head);
    if (found == std::string::npos) continue;
    const size_t from = found + head.size(), end = reportGbk.find(T(u8"；"), from);
    const size_t line = reportGbk.find('\n', from);
    if (end != std::string::npos && end < line) summary += separator + ShownCount(reportGbk.substr(from, end - from));
  }
  return summary;
}

std::string TestReportPath(const std::string& resultPath) {
  const size_t at = resultPath.rfind("Result");
  if (at == std::string::npos) return resultPath + "Test";
  return resultPath.substr(0, at) + "Test" + resultPath.substr(at + 6);
}

}  // namespace vemo

namespace vemo {

void WriteVarianceComponents(CReportFile& f, const char* dash, const CVarianceComponents& components,
                             const std::string& groupingGbk, bool applied) {
  f.Write(dash);
  f.Printf(T(u8"                    方差分量估计(%s，Helmert迭代估计)\n"), groupingGbk.c_str());
  f.Write(dash);
  f.Printf(T(u8"  迭代次数=%d(%s)   检验: 方差因子=1，双侧，显著水平α(%%)=%s\n"), components.iterations,
           components.converged ? T(u8"收敛") : T(u8"未收敛"), PercentText(components.alpha).c_str());
  f.Write(components.rigorous ? T(u8"  方差因子的中误差由Helmert矩阵求得(含组间相关)。\n")
                              : T(u8"  方差因子的中误差按2/r近似(网过大或Helmert矩阵不正定；未计组间相关，偏小)。\n"));
  f.Write(dash);
  f.Write(T(u8" No.             组名   观测数   多余观测数   方差因子     中误差        接受区间         检验\n"));
  f.Write(dash);
  int rejected = 0;
  for (size_t k = 0; k < components.groups.size(); ++k) {
    const CVarianceComponent& g = components.groups[k];
    f.Printf("%4d %16s %8d %12.3f ", static_cast<int>(k) + 1, g.name.c_str(), g.observations, g.redundancy);
    if (!g.estimable) {
      f.Write(T(u8"  不可估计(多余观测数过小)\n"));
      continue;
    }
    if (!g.passed) ++rejected;
    f.Printf("%10.4f %10.4f  [%8.4f,%9.4f]  %s\n", g.factor, g.sigma, g.lower, g.upper,
             g.passed ? T(u8"通过") : T(u8"不通过"));
  }
  f.Write(dash);
  if (rejected == 0)
    f.Write(T(u8"检验结论: 各组方差因子与1无显著差异。\n"));
  else
    f.Printf(T(u8"检验结论: %d组方差因子与1有显著差异(大于1: 给定协方差偏乐观；小于1: 偏悲观)。\n"), rejected);
  f.Write(applied ? T(u8"注: 已按上列方差因子调整各组协方差并重新平差，平差结果与本报告的检验均据此。\n")
                  : T(u8"注: 方差因子为各组给定协方差应乘的倍数；平差结果未据此调整(调整并重新平差: --vce-apply)。\n"));
}

bool AmendReport(const std::string& path, const std::vector<std::string>& top,
                 const std::function<void(CReportFile&)>& end) {
  std::string content;
  CReportFile f;
  if (!ReadFileContent(path, content) || !f.Create(path)) {
    ShowMessage(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()), AppTitle(), MessageIcon::Warning);
    return false;
  }
  for (const std::string& line : top) f.Write(line);
  f.Write(content);
  if (end) end(f);
  if (!f.Close()) {
    WriteFileError(path, AppTitle());
    return false;
  }
  return true;
}

}  // namespace vemo
