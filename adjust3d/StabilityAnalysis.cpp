#include "adjust3d/StabilityAnalysis.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "adjust3d/FreeNetworkFiles.h"
#include "adjust/ReportFile.h"
#include "adjust3d/STransformation.h"
#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

namespace {

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// The output path cut before the first ".GPS3d" of its file name, in any letter case.
std::string CutBeforeGps3d(const std::string& output) {
  const size_t slash = output.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::string lower = output;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return output.substr(0, lower.find(".gps3d", nameStart));
}

// The names of a list, blank-separated, at most `shown` of them and then the count of the rest.
std::string NameList(const std::vector<std::string>& names, size_t shown) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < shown; ++i) text += (i ? " " : "") + names[i];
  if (names.size() > shown)
    text += Format(UiText(u8" 等共%d个点"), static_cast<int>(names.size()));
  return text;
}

// The points of one campaign a message names; the congruence report names them all.
constexpr size_t kNamesInMessage = 50;

}  // namespace

std::vector<double> DisplacementWeights(const std::vector<double>& d) {
  std::vector<double> p(d.size());
  for (size_t k = 0; k < d.size(); ++k) p[k] = 1.0 / (std::fabs(d[k]) + kDisplacementWeightFloorMm);
  return p;
}

std::string CStabilityAnalysis::CofactorFileName(const std::string& output) {
  return CutBeforeGps3d(output) + ".GPS3dFreeQdd";
}

std::string CStabilityAnalysis::CongruenceFileName(const std::string& output) {
  return CutBeforeGps3d(output) + ".GPS3dFreeCongruence";
}

int CStabilityAnalysis::Run(const std::string& first, const std::string& second, const std::string& output) {
  const std::string cofactorPath = CofactorFileName(output);
  const std::string congruencePath = CongruenceFileName(output);
  std::vector<const std::string*> results{&output, &cofactorPath};
  if (m_Congruence) results.push_back(&congruencePath);
  // The results must not take the place of an input, nor of each other.
  for (const std::string* result : results)
    for (const std::string* input : {&first, &second})
      if (IsSameFile(*result, *input)) {
        Warn(Format(UiText(u8"结果文件%s就是输入文件，请另选输出位移文件!"), PathToGbk(*result).c_str()));
        return 0;
      }
  if (cofactorPath == output || (m_Congruence && congruencePath == output)) {
    Warn(Format(UiText(u8"输出位移文件%s与位移协因数阵文件同名，请另选输出位移文件!"), PathToGbk(output).c_str()));
    return 0;
  }

  CDisplayMessageDlg progress;
  progress.Create();
  progress.SetTitle(UiText(u8"稳定性分析"));
  progress.SetRange(0, 10);
  if (progress.CancelRequested()) return 0;
  if (!ReadCampaigns(first, second)) return 0;
  progress.SetPosition(6);
  if (progress.CancelRequested()) return 0;
  m_Test.clear();
  if (!CheckFiniteDisplacements(first, second)) return 0;

  const std::vector<double> initial = m_Congruence ? m_d : std::vector<double>();
  CSTransformation S;
  if (!Iterate(m_d, kStabilityStopMm, m_Iterations, m_Weights, S)) return 0;
  S.ApplyToCofactor(m_Q);
  progress.SetPosition(8);
  if (progress.CancelRequested()) return 0;

  // Campaigns that fit their vectors exactly have no variance of their own; a given a-priori
  // one stands in for it.
  if (m_Congruence && m_AprioriSigma0 > 0.0 && !(m_Variance > 0.0)) m_Variance = m_AprioriSigma0 * m_AprioriSigma0;
  m_Test.resize(m_d.size());
  for (size_t k = 0; k < m_d.size(); ++k) {
    const double q = m_Q[PackedIndex(k, k)];
    if (!(q > 0.0 && m_Variance > 0.0)) {
      Warn(Format(UiText(u8"点%s的位移协因数为%.4lf，两期单位权中误差为%.2lf和%.2lf，无法计算检验统计量!"),
                  m_PointName[k / 3].c_str(), q, m_M0[0], m_M0[1]));
      return 0;
    }
    m_Test[k] = m_d[k] * m_d[k] / q / m_Variance;
  }
  if (!CheckFiniteDisplacements(first, second)) return 0;
  if (m_Congruence) {
    m_Converged = initial;
    std::vector<double> weights;
    CSTransformation last;
    if (!Iterate(m_Converged, kStabilityConvergedMm, m_ConvergedIterations, weights, last) || !Congruence())
      return 0;
  }
  if (!WriteDisplacements(output) || !WriteCofactors(cofactorPath)) return 0;
  if (m_Congruence && !WriteCongruence(congruencePath, first, second)) return 0;
  progress.SetPosition(10);
  return 1;
}

int CStabilityAnalysis::ReadCampaigns(const std::string& first, const std::string& second) {
  CFreeCampaign one, two;
  if (!one.ReadPoints(first) || !one.ReadCofactors(m_Q, false) || !two.ReadPoints(second)) return 0;
  // The degrees of freedom of a campaign cannot be negative, and a point is one point.
  std::unordered_map<std::string, size_t> atSecond;
  for (const auto& [campaign, path] : {std::pair{&one, &first}, std::pair{&two, &second}}) {
    if (campaign->redundancy < 0) {
      Warn(Format(UiText(u8"文件%s的多余观测数为%d，不能为负数，该文件不是秩亏自由网的结果!"), PathToGbk(*path).c_str(),
                  campaign->redundancy));
      return 0;
    }
    std::unordered_map<std::string, size_t> names;
    for (size_t i = 0; i < campaign->names.size(); ++i)
      if (!names.emplace(NormalizeName(campaign->names[i]), i).second) {
        Warn(Format(UiText(u8"文件%s中点名%s出现了不止一次，稳定性分析的点名必须各不相同!"), PathToGbk(*path).c_str(),
                    campaign->names[i].c_str()));
        return 0;
      }
    if (campaign == &two) atSecond = std::move(names);
  }
  // The common points in the order of the first campaign, each with its place in the second.
  std::vector<size_t> common, partner;
  std::vector<char> matched(two.names.size(), 0);
  m_PointName.clear(), m_OnlyFirst.clear(), m_OnlySecond.clear();
  for (size_t i = 0; i < one.names.size(); ++i) {
    const auto at = atSecond.find(NormalizeName(one.names[i]));
    if (at == atSecond.end()) {
      m_OnlyFirst.push_back(one.names[i]);
      continue;
    }
    common.push_back(i), partner.push_back(at->second);
    matched[at->second] = 1;
    m_PointName.push_back(one.names[i]);
  }
  for (size_t j = 0; j < two.names.size(); ++j)
    if (!matched[j]) m_OnlySecond.push_back(two.names[j]);
  m_PointCount = static_cast<int>(common.size());
  for (const auto& [campaign, path] : {std::pair{&two, &second}, std::pair{&one, &first}})
    if (campaign->pointCount < 2) {
      Warn(Format(UiText(u8"文件%s只有%d个点，稳定性分析至少需要两个点!"), PathToGbk(*path).c_str(), campaign->pointCount));
      return 0;
    }
  if (m_PointCount < 2) {
    Warn(Format(UiText(u8"第一期文件%s与第二期文件%s只有%d个共同的点，稳定性分析至少需要两个共同点!"),
                PathToGbk(first).c_str(), PathToGbk(second).c_str(), m_PointCount));
    return 0;
  }
  bool inOrder = m_OnlyFirst.empty() && m_OnlySecond.empty();
  for (size_t k = 0; k < common.size() && inOrder; ++k) inOrder = partner[k] == k;
  if (inOrder) {
    if (!two.ReadCofactors(m_Q, true)) return 0;
  } else {
    // Qd of the common points: each campaign's rows and columns of them, added.
    std::vector<double> second;
    if (!two.ReadCofactors(second, false)) return 0;
    const size_t order = 3 * common.size();
    std::vector<double> sum(order * (order + 1) / 2);
    for (size_t r = 0; r < order; ++r)
      for (size_t c = 0; c <= r; ++c) {
        const size_t r1 = 3 * common[r / 3] + r % 3, c1 = 3 * common[c / 3] + c % 3;
        const size_t r2 = 3 * partner[r / 3] + r % 3, c2 = 3 * partner[c / 3] + c % 3;
        sum[r * (r + 1) / 2 + c] = m_Q[PackedIndex(r1, c1)] + second[PackedIndex(r2, c2)];
      }
    m_Q.swap(sum);
  }
  if (!m_OnlyFirst.empty() || !m_OnlySecond.empty())
    ShowMessage(Format(UiText(u8"两期观测按点名对应，共同点%d个参与稳定性分析。只在第一期文件%s中的点：%s；只在第二期文件%s中的点：%s"),
                       m_PointCount, PathToGbk(first).c_str(),
                       m_OnlyFirst.empty() ? UiText(u8"无") : NameList(m_OnlyFirst, kNamesInMessage).c_str(),
                       PathToGbk(second).c_str(),
                       m_OnlySecond.empty() ? UiText(u8"无") : NameList(m_OnlySecond, kNamesInMessage).c_str()),
                AppTitle(), MessageIcon::Information);
  m_d.resize(3 * common.size());
  for (size_t k = 0; k < m_d.size(); ++k) m_d[k] = two.x[3 * partner[k / 3] + k % 3] - one.x[3 * common[k / 3] + k % 3];
  m_Redundancy[0] = one.redundancy, m_Redundancy[1] = two.redundancy;
  m_M0[0] = one.m0, m_M0[1] = two.m0;
  m_Variance = (one.m0 * one.m0 + two.m0 * two.m0) * 0.5;
  m_Freedom = one.redundancy + two.redundancy;
  return 1;
}

int CStabilityAnalysis::CheckFiniteDisplacements(const std::string& first, const std::string& second) const {
  for (size_t k = 0; k < m_d.size(); ++k)
    if (!std::isfinite(m_d[k]) || (k < m_Test.size() && !std::isfinite(m_Test[k]))) {
      Warn(Format(UiText(u8"点%s的位移(%g mm)或其检验统计量不是有限数值：文件%s与%s中该点的坐标数值过大，不能进行稳定性分析!"),
                  m_PointName[k / 3].c_str(), m_d[k], PathToGbk(first).c_str(), PathToGbk(second).c_str()));
      return 0;
    }
  return 1;
}

int CStabilityAnalysis::Iterate(std::vector<double>& d, double stop, int& iterations, std::vector<double>& weights,
                                CSTransformation& S) const {
  const std::vector<double> G = TranslationDatum(d.size() / 3);
  std::vector<double> next;
  for (iterations = 1; iterations <= m_IterationLimit; ++iterations) {
    weights = DisplacementWeights(d);
    // Positive weights on the translation datum always fix it; a failure here means values
    // beyond the range of a double.
    if (!S.Build(G, weights)) break;
    S.Apply(d, next);
    double change = 0.0;
    for (size_t k = 0; k < d.size(); ++k) change = std::max(change, std::fabs(next[k] - d[k]));
    d.swap(next);
    if (!(change > stop)) return 1;
  }
  Warn(Format(UiText(u8"稳定性分析迭代%d次后位移仍未收敛(每次变化超过%.1lf mm)，不输出结果!"), m_IterationLimit, stop));
  return 0;
}

int CStabilityAnalysis::WriteDisplacements(const std::string& path) {
  CReportFile f;
  if (!CreateResultFile(f, path)) return 0;
  for (int i = 0; i < m_PointCount; ++i) {
    const size_t k = 3 * static_cast<size_t>(i);
    f.Printf("%16s %10.2lf %10.2lf %10.2lf %5d %10.2lf %10.2lf %10.2lf\n", m_PointName[i].c_str(), m_d[k], m_d[k + 1],
             m_d[k + 2], m_Freedom, m_Test[k], m_Test[k + 1], m_Test[k + 2]);
  }
  return CloseResultFile(f) ? 1 : 0;
}

int CStabilityAnalysis::WriteCofactors(const std::string& path) {
  CReportFile f;
  if (!CreateResultFile(f, path)) return 0;
  const size_t order = m_d.size();
  WritePackedTriangle(f, m_Q, order);
  f.Write("The final iterated Pxx of displacement in X,Y,Z\n");
  WriteLowerTriangle(f, order, [&](size_t r, size_t c) { return r == c ? m_Weights[r] : 0.0; });
  return CloseResultFile(f) ? 1 : 0;
}

int CStabilityAnalysis::Congruence() {
  CCongruenceTest& test = m_CongruenceTest;
  test.m_Alpha = m_Alpha;
  if (m_AprioriSigma0 > 0.0) {
    test.m_KnownVariance = true;
    test.m_Variance = m_AprioriSigma0 * m_AprioriSigma0;
    test.m_Freedom = 0;
  } else {
    // The a-posteriori variances pooled by their degrees of freedom.
    const int f = m_Redundancy[0] + m_Redundancy[1];
    const double pooled =
        f > 0 ? (m_Redundancy[0] * m_M0[0] * m_M0[0] + m_Redundancy[1] * m_M0[1] * m_M0[1]) / f : 0.0;
    if (!(pooled > 0.0)) {
      Warn(Format(UiText(u8"两期观测的多余观测数为%d和%d，单位权中误差为%.2lf和%.2lf，没有验后方差，请给出验前单位权中误差再进行全等检验!"),
                  m_Redundancy[0], m_Redundancy[1], m_M0[0], m_M0[1]));
      return 0;
    }
    test.m_KnownVariance = false;
    test.m_Variance = pooled;
    test.m_Freedom = f;
  }
  return test.Run(m_d, m_Q, m_PointName);
}

namespace {

const char* VerdictText(CongruenceVerdict verdict) {
  switch (verdict) {
    case CongruenceVerdict::Stable: return T(u8"稳定");
    case CongruenceVerdict::Moved: return T(u8"移动");
    case CongruenceVerdict::Undetermined: break;
  }
  return T(u8"未定");
}

void WriteNames(CReportFile& f, const char* titleGbk, const std::vector<std::string>& names) {
  f.Printf("%s%d\n", titleGbk, static_cast<int>(names.size()));
  for (size_t i = 0; i < names.size(); ++i) f.Printf("%16s%s", names[i].c_str(), i % 8 == 7 || i + 1 == names.size() ? "\n" : " ");
}

}  // namespace

int CStabilityAnalysis::WriteCongruence(const std::string& path, const std::string& first, const std::string& second) {
  const CCongruenceTest& test = m_CongruenceTest;
  CReportFile f;
  if (!CreateResultFile(f, path)) return 0;
  f.Printf("%s\n\n", T(u8"稳定性分析：两期观测的全等检验"));
  const std::string* paths[2] = {&first, &second};
  for (int c = 0; c < 2; ++c)
    f.Printf(T(u8"第%s期文件：%s  多余观测数%d  单位权中误差%.2lf mm\n"), c == 0 ? T(u8"一") : T(u8"二"),
             PathToGbk(*paths[c]).c_str(), m_Redundancy[c], m_M0[c]);
  f.Printf(T(u8"两期按点名对应，共同点%d个\n"), m_PointCount);
  WriteNames(f, T(u8"只在第一期出现的点："), m_OnlyFirst);
  WriteNames(f, T(u8"只在第二期出现的点："), m_OnlySecond);
  f.Write("\n");
  if (test.m_KnownVariance)
    f.Printf(T(u8"验前单位权中误差 σ0 = %.3lf mm，检验统计量 Ω/σ0^2 服从自由度为 h 的 χ^2 分布\n"), m_AprioriSigma0);
  else
    f.Printf(T(u8"两期验后方差按多余观测数合并：σ0 = %.3lf mm，自由度 f = %d，检验统计量 Ω/(h·σ0^2) 服从 F(h, f) 分布\n"),
             std::sqrt(test.m_Variance), test.m_Freedom);
  f.Printf(T(u8"显著水平 α = %g%%，Ω = d^T·Qdd^+·d 为共同点位移的二次型，h = 3(点数-1)\n\n"), m_Alpha * 100.0);

  f.Printf("%s\n", T(u8"全等检验与移动点的定位：每步移去对Ω贡献最大的点，直至其余各点通过检验"));
  f.Printf("%s\n", T(u8"步骤  点数      h            Ω     统计量     临界值  结论            移去的点 点统计量"));
  for (size_t k = 0; k < test.m_Steps.size(); ++k) {
    const CCongruenceStep& step = test.m_Steps[k];
    f.Printf("%4d %5d %6d %12.3lf %10.3lf %10.3lf  %s", static_cast<int>(k + 1), step.points, step.degrees, step.omega,
             step.statistic, step.critical, step.passed ? T(u8"通过") : T(u8"拒绝"));
    if (step.removed >= 0)
      f.Printf(" %19s %8.3lf", m_PointName[static_cast<size_t>(step.removed)].c_str(), step.removedStatistic);
    f.Write("\n");
  }
  if (!test.m_Steps.back().passed)
    f.Printf("%s\n", T(u8"余下的两点互不相容，无法判定其中哪一点移动"));
  f.Write("\n");

  f.Printf(T(u8"各点位移(以稳定点为基准，mm)与单点检验(自由度3，临界值%.3lf)\n"), test.m_PointCritical);
  f.Printf("%s\n", T(u8"            点名     dX(dE)     dY(dN)     dZ(dU)       位移     统计量  结论"));
  for (int i = 0; i < m_PointCount; ++i) {
    const double* d = &test.m_Displacement[3 * static_cast<size_t>(i)];
    f.Printf("%16s %10.2lf %10.2lf %10.2lf %10.2lf %10.3lf  %s\n", m_PointName[i].c_str(), d[0], d[1], d[2],
             std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), test.m_PointStatistic[i],
             VerdictText(test.m_Verdict[i]));
  }
  for (int i = 0; i < m_PointCount; ++i)
    if (test.m_Verdict[i] == CongruenceVerdict::Stable && test.m_PointStatistic[i] > test.m_PointCritical) {
      // Each point's test is one of many; the verdict follows the test of the whole set.
      f.Printf("%s\n", T(u8"注：统计量超过单点临界值的稳定点，所在的稳定点组已整体通过全等检验，结论以整体检验为准"));
      break;
    }
  f.Write("\n");

  f.Printf(T(u8"L1基准的位移(mm)：3.0 mm停止规则(迭代%d次，即位移文件的结果)与迭代至0.1 mm(迭代%d次)\n"), m_Iterations,
           m_ConvergedIterations);
  f.Printf("%s\n", T(u8"            点名  dX(3.0mm)  dY(3.0mm)  dZ(3.0mm)  dX(0.1mm)  dY(0.1mm)  dZ(0.1mm)       差值"));
  double largest = 0.0;
  int at = 0;
  for (int i = 0; i < m_PointCount; ++i) {
    const size_t k = 3 * static_cast<size_t>(i);
    double difference = 0.0;
    for (int a = 0; a < 3; ++a) difference = std::max(difference, std::fabs(m_Converged[k + a] - m_d[k + a]));
    if (difference > largest) largest = difference, at = i;
    f.Printf("%16s %10.2lf %10.2lf %10.2lf %10.2lf %10.2lf %10.2lf %10.2lf\n", m_PointName[i].c_str(), m_d[k], m_d[k + 1],
             m_d[k + 2], m_Converged[k], m_Converged[k + 1], m_Converged[k + 2], difference);
  }
  f.Printf(T(u8"两种停止规则的位移分量之差最大为%.2lf mm(点%s)\n"), largest, m_PointName[static_cast<size_t>(at)].c_str());
  return CloseResultFile(f) ? 1 : 0;
}

}  // namespace vemo
