#include "checks/RepeatBaselines.h"

#include <cmath>
#include <unordered_map>

#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "project/data/ReadGPS3dVector.h"
#include "checks/LoopSearch.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace {

using R = NetClassParameters;

bool HighGrade(int grade) { return grade == 0 || grade == 1 || grade == 10; }

std::string Dashes(int n) { return std::string(static_cast<size_t>(n), '-') + "\n"; }

struct Member {
  int number;  // the vector's number in the file, from 1
  double dx, dy, dz, s;
  double varX, varY, varZ, varS;
};

// Weighted mean of values with the variances as weights. Members without a positive variance
// cannot be weighted by it; then every member counts alike.
double WeightedMean(const std::vector<Member>& m, double Member::*value, double Member::*variance,
                    bool& equalWeights) {
  equalWeights = false;
  for (const auto& x : m)
    if (!(x.*variance > 0)) equalWeights = true;
  double sum = 0, weights = 0;
  for (const auto& x : m) {
    double w = equalWeights ? 1.0 : 1.0 / (x.*variance);
    sum += w * (x.*value);
    weights += w;
  }
  return sum / weights;
}

// The standard error of the group's values from their scatter about the weighted mean (mm).
double ScatterError(const std::vector<Member>& m, double Member::*value, double Member::*variance) {
  bool equal;
  const double mean = WeightedMean(m, value, variance, equal);
  double num = 0, den = 0;
  for (const auto& x : m) {
    double w = equal ? 1.0 : 1.0 / (x.*variance);
    double d = x.*value - mean;
    num += d * d * w;
    den += w;
  }
  const double r = static_cast<double>(m.size() - 1);
  return 1000.0 * std::sqrt((1.0 + 1.0 / r) * num / den);
}

}  // namespace

CRepeatBaselineReports CompareRepeatedBaselines(const CReadGPS3dVector& set, const CGPSConfiguration& c) {
  CRepeatBaselineReports out;
  const bool high = HighGrade(c.m_GradeIndex);
  if (high) {
    out.components = T(u8"精处理重复基线差值比较,每部分第一行为参考基线及限差(mm)，后续为重复基线及其与参考基线的差值(mm)\n");
    out.components += Dashes(133);
    out.components +=
        T(u8"    序号     起点     终点       DX(m)         DY(m)         DZ(m)         S(m)     X限差/差值 Y限差/差值 "
          u8"Z限差/差值 S限差/差值(mm)\n");
    out.components += Dashes(133);
  }
  out.lengths = T(u8"重复基线长度差值比较,每部分第一行为参考基线及长度差限差(mm)，后续为重复基线及其与参考基线的差值(mm)\n");
  out.lengths += Dashes(100);
  out.lengths += T(u8"    序号     起点     终点       DX(m)         DY(m)         DZ(m)         S(m)     S限差/差值(mm)\n");
  out.lengths += Dashes(100);

  const double a = c.m_NetClass[R::kFixedError], b = c.m_NetClass[R::kProportionalError];
  const double kRep = c.m_NetClass[R::kRepeatBaselineCoefficient];
  const int m = set.m_VectorCount;

  // Groups by end points in either order, each in the order of its first vector.
  std::unordered_map<uint64_t, std::vector<int>> groups;
  std::vector<uint64_t> order;
  for (int i = 0; i < m; ++i) {
    const uint64_t key = PointPairKey(set.m_From[i], set.m_To[i]);
    auto [it, inserted] = groups.try_emplace(key);
    if (inserted) order.push_back(key);
    it->second.push_back(i);
  }

  for (uint64_t key : order) {
    const std::vector<int>& g = groups[key];
    if (g.size() < 2) continue;
    const int first = g[0];
    std::vector<Member> members;
    for (int v : g) {
      const double sign = set.m_From[v] == set.m_From[first] ? 1.0 : -1.0;
      Member x{v + 1, sign * set.m_DX[v], sign * set.m_DY[v], sign * set.m_DZ[v], 0, set.m_Dxx[v], set.m_Dyy[v],
               set.m_Dzz[v], 0};
      x.s = std::sqrt(x.dx * x.dx + x.dy * x.dy + x.dz * x.dz);
      const double u[3] = {x.s > 0 ? x.dx / x.s : 0, x.s > 0 ? x.dy / x.s : 0, x.s > 0 ? x.dz / x.s : 0};
      x.varS = u[0] * u[0] * set.m_Dxx[v] + u[1] * u[1] * set.m_Dyy[v] + u[2] * u[2] * set.m_Dzz[v] +
               2 * (u[0] * u[1] * set.m_Dxy[v] + u[0] * u[2] * set.m_Dxz[v] + u[1] * u[2] * set.m_Dyz[v]);
      members.push_back(x);
    }
    // The reference is the shortest member, the first one on equal lengths.
    size_t ref = 0;
    for (size_t k = 1; k < members.size(); ++k)
      if (members[k].s < members[ref].s) ref = k;
    const Member& r = members[ref];
    const char* from = set.m_PointName[set.m_From[first]].c_str();
    const char* to = set.m_PointName[set.m_To[first]].c_str();

    bool equal;
    const double meanS = WeightedMean(members, &Member::s, &Member::varS, equal);
    const double t = kRep * std::sqrt(a * a + std::pow(b * meanS / 1000.0, 2));
    const double k3 = 3.0 * std::sqrt(2.0);
    const double tx = high ? k3 * ScatterError(members, &Member::dx, &Member::varX) : 0.0;
    const double ty = high ? k3 * ScatterError(members, &Member::dy, &Member::varY) : 0.0;
    const double tz = high ? k3 * ScatterError(members, &Member::dz, &Member::varZ) : 0.0;
    const double ts = high ? k3 * ScatterError(members, &Member::s, &Member::varS) : 0.0;
    if (!std::isfinite(t) || !std::isfinite(tx) || !std::isfinite(ty) || !std::isfinite(tz) || !std::isfinite(ts)) {
      out.notComputed.push_back(r.number);
      continue;
    }
    if (high) {
      out.components += Format("%8d %8s %8s %13.4lf %13.4lf %13.4lf %13.4lf %10.4lf %10.4lf %10.4lf %10.4lf\n",
                               r.number, from, to, r.dx, r.dy, r.dz, r.s, tx, ty, tz, ts);
      for (size_t k = 0; k < members.size(); ++k) {
        if (k == ref) continue;
        const Member& x = members[k];
        const double ddx = (x.dx - r.dx) * 1000, ddy = (x.dy - r.dy) * 1000, ddz = (x.dz - r.dz) * 1000,
                     dds = (x.s - r.s) * 1000;
        out.components += Format("%8d %8s %8s %13.4lf %13.4lf %13.4lf %13.4lf %10.4lf %10.4lf %10.4lf %10.4lf",
                                 x.number, from, to, x.dx, x.dy, x.dz, x.s, ddx, ddy, ddz, dds);
        const bool exceeded = std::fabs(ddx) > tx || std::fabs(ddy) > ty || std::fabs(ddz) > tz || std::fabs(dds) > ts;
        out.components += exceeded ? T(u8"  超限!\n") : T(u8"  合格!\n");
      }
      out.components += Dashes(133);
    }

    out.lengths += Format("%8d %8s %8s %13.4lf %13.4lf %13.4lf %13.4lf %10.4lf\n", r.number, from, to, r.dx, r.dy,
                          r.dz, r.s, t);
    for (size_t k = 0; k < members.size(); ++k) {
      if (k == ref) continue;
      const Member& x = members[k];
      const double ds = (x.s - r.s) * 1000;
      out.lengths += Format("%8d %8s %8s %13.4lf %13.4lf %13.4lf %13.4lf %10.4lf", x.number, from, to, x.dx, x.dy,
                            x.dz, x.s, ds);
      out.lengths += std::fabs(ds) > t ? T(u8"  超限\n") : T(u8"  合格\n");
    }
    out.lengths += Dashes(100);
  }
  return out;
}

int RunRepeatBaselineComparison() {
  CProjectState& p = Project();
  const bool high = HighGrade(p.configuration.m_GradeIndex);
  const std::string lengthFile = CurrentProjectFile(ProjectFile::RepeatBaseline);
  const std::string componentFile = CurrentProjectFile(ProjectFile::RepeatBaselineClassAB);
  for (const std::string* f : {&lengthFile, &componentFile}) {
    if (f == &componentFile && !high) continue;
    if (!WriteFileAtomically(*f, "")) {
      OpenFileError(*f);
      return 0;
    }
  }
  SetApproximateFileMode(0);  // the data set as the 3D vector adjustment loads it
  CReadGPS3dVector set(0);
  int loaded = set.Load();
  if (loaded) {
    CRepeatBaselineReports reports = CompareRepeatedBaselines(set, p.configuration);
    if (!WriteFileAtomically(lengthFile, reports.lengths)) {
      OpenFileError(lengthFile);
      return 0;
    }
    if (high && !WriteFileAtomically(componentFile, reports.components)) {
      OpenFileError(componentFile);
      return 0;
    }
    if (!reports.notComputed.empty()) {
      ShowMessage(Format(UiText(u8"第%s条基线所在的重复基线组的限差无法计算(基线方差不为正),未列入比较结果!"),
                         NumberList(reports.notComputed).c_str()),
                  AppTitle(), MessageIcon::Warning);
    }
  }
  Platform().OpenTextDocument(lengthFile);
  if (high) Platform().OpenTextDocument(componentFile);
  return loaded;
}

}  // namespace vemo
