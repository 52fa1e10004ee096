#include "adjust3d/StabilityAnalysis.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>
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
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

namespace {

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

}  // namespace

std::vector<double> DisplacementWeights(const std::vector<double>& d) {
  std::vector<double> p(d.size());
  for (size_t k = 0; k < d.size(); ++k) p[k] = 1.0 / (std::fabs(d[k]) + kDisplacementWeightFloorMm);
  return p;
}

std::string CStabilityAnalysis::CofactorFileName(const std::string& output) {
  const size_t slash = output.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::string lower = output;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  const size_t cut = lower.find(".gps3d", nameStart);
  return output.substr(0, cut) + ".GPS3dFreeQdd";
}

int CStabilityAnalysis::Run(const std::string& first, const std::string& second, const std::string& output) {
  const std::string cofactorPath = CofactorFileName(output);
  // The results must not take the place of an input, nor of each other.
  for (const std::string* result : {&output, &cofactorPath})
    for (const std::string* input : {&first, &second})
      if (IsSameFile(*result, *input)) {
        Warn(Format(T(u8"结果文件%s就是输入文件，请另选输出位移文件!"), PathToGbk(*result).c_str()));
        return 0;
      }
  if (cofactorPath == output) {
    Warn(Format(T(u8"输出位移文件%s与位移协因数阵文件同名，请另选输出位移文件!"), PathToGbk(output).c_str()));
    return 0;
  }

  CDisplayMessageDlg progress;
  progress.Create();
  progress.SetTitle(T(u8"稳定性分析"));
  progress.SetRange(0, 10);
  if (progress.CancelRequested()) return 0;

  CFreeCampaign one, two;
  if (!one.Read(first, m_Q)) return 0;
  progress.SetPosition(3);
  if (progress.CancelRequested()) return 0;
  if (!two.Read(second, m_Q, &one, first)) return 0;
  progress.SetPosition(6);
  if (progress.CancelRequested()) return 0;
  m_PointCount = two.pointCount;
  m_PointName = two.names;
  if (m_PointCount < 2) {
    Warn(Format(T(u8"文件%s只有%d个点，稳定性分析至少需要两个点!"), PathToGbk(second).c_str(), m_PointCount));
    return 0;
  }
  // The degrees of freedom of a campaign cannot be negative, and a point is one point: the
  // campaigns match name for name, so a name given twice in the first is given twice in both.
  for (const auto& [campaign, path] : {std::pair{&one, &first}, std::pair{&two, &second}})
    if (campaign->redundancy < 0) {
      Warn(Format(T(u8"文件%s的多余观测数为%d，不能为负数，该文件不是秩亏自由网的结果!"), PathToGbk(*path).c_str(),
                  campaign->redundancy));
      return 0;
    }
  {
    std::unordered_set<std::string> names;
    for (const std::string& name : one.names)
      if (!names.insert(NormalizeName(name)).second) {
        Warn(Format(T(u8"文件%s中点名%s出现了不止一次，稳定性分析的点名必须各不相同!"), PathToGbk(first).c_str(),
                    name.c_str()));
        return 0;
      }
  }
  m_d.resize(one.x.size());
  for (size_t k = 0; k < m_d.size(); ++k) m_d[k] = two.x[k] - one.x[k];
  m_Variance = (one.m0 * one.m0 + two.m0 * two.m0) * 0.5;
  m_Freedom = one.redundancy + two.redundancy;
  m_Test.clear();
  if (!CheckFiniteDisplacements(first, second)) return 0;

  if (!Iterate()) return 0;
  progress.SetPosition(8);
  if (progress.CancelRequested()) return 0;

  m_Test.resize(m_d.size());
  for (size_t k = 0; k < m_d.size(); ++k) {
    const double q = m_Q[PackedIndex(k, k)];
    if (!(q > 0.0 && m_Variance > 0.0)) {
      Warn(Format(T(u8"点%s的位移协因数为%.4lf，两期单位权中误差为%.2lf和%.2lf，无法计算检验统计量!"),
                  m_PointName[k / 3].c_str(), q, one.m0, two.m0));
      return 0;
    }
    m_Test[k] = m_d[k] * m_d[k] / q / m_Variance;
  }
  if (!CheckFiniteDisplacements(first, second)) return 0;
  if (!WriteDisplacements(output) || !WriteCofactors(cofactorPath)) return 0;
  progress.SetPosition(10);
  return 1;
}

int CStabilityAnalysis::CheckFiniteDisplacements(const std::string& first, const std::string& second) const {
  for (size_t k = 0; k < m_d.size(); ++k)
    if (!std::isfinite(m_d[k]) || (k < m_Test.size() && !std::isfinite(m_Test[k]))) {
      Warn(Format(T(u8"点%s的位移(%g mm)或其检验统计量不是有限数值：文件%s与%s中该点的坐标数值过大，不能进行稳定性分析!"),
                  m_PointName[k / 3].c_str(), m_d[k], PathToGbk(first).c_str(), PathToGbk(second).c_str()));
      return 0;
    }
  return 1;
}

int CStabilityAnalysis::Iterate() {
  const std::vector<double> G = TranslationDatum(static_cast<size_t>(m_PointCount));
  CSTransformation S;
  std::vector<double> next;
  for (m_Iterations = 1; m_Iterations <= m_IterationLimit; ++m_Iterations) {
    m_Weights = DisplacementWeights(m_d);
    // Positive weights on the translation datum always fix it; a failure here means values
    // beyond the range of a double.
    if (!S.Build(G, m_Weights)) break;
    S.Apply(m_d, next);
    double change = 0.0;
    for (size_t k = 0; k < m_d.size(); ++k) change = std::max(change, std::fabs(next[k] - m_d[k]));
    m_d.swap(next);
    if (!(change > kStabilityStopMm)) {
      S.ApplyToCofactor(m_Q);
      return 1;
    }
  }
  Warn(Format(T(u8"稳定性分析迭代%d次后位移仍未收敛(每次变化超过%.1lf mm)，不输出结果!"), m_IterationLimit,
              kStabilityStopMm));
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

}  // namespace vemo
