#include "adjust/WeightedDatum.h"

#include <Eigen/Dense>
#include <cmath>

#include "adjust/NormalEquations.h"
#include "adjust/VarianceComponents.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"

namespace vemo {

void CWeightedDatum::Set(int dimension, std::vector<CCovarianceBlock> blocks) {
  m_Dimension = dimension;
  m_Blocks.clear();
  m_Points.clear();
  for (CCovarianceBlock& b : blocks) {
    m_Blocks.push_back({b.members, std::move(b.cov), {}, {}});
    m_Points.insert(m_Points.end(), b.members.begin(), b.members.end());
  }
}

int CWeightedDatum::AssignUnknowns(CPointUnknowns& layout, int firstUnknown) const {
  layout.weighted.assign(static_cast<size_t>(layout.knownCount), -1);
  int next = firstUnknown;
  for (int p : m_Points) {
    layout.weighted[static_cast<size_t>(p)] = next;
    next += m_Dimension;
  }
  return next - firstUnknown;
}

void CWeightedDatum::SetUnitVariance(double sigma0Squared) {
  for (Block& b : m_Blocks) {
    const Eigen::Index n = static_cast<Eigen::Index>(b.points.size()) * m_Dimension;
    Eigen::MatrixXd Q = Eigen::Map<const Eigen::MatrixXd>(b.C.data(), n, n) / sigma0Squared;
    // The reader refused every matrix that is not positive definite.
    const Eigen::MatrixXd P = Q.llt().solve(Eigen::MatrixXd::Identity(n, n));
    b.Q.assign(Q.data(), Q.data() + n * n);
    b.P.assign(P.data(), P.data() + n * n);
  }
}

void CWeightedDatum::Scale(double factor) {
  for (Block& b : m_Blocks)
    for (double& e : b.C) e *= factor;
}

void CWeightedDatum::AddVarianceBlocks(const CPointUnknowns& layout, const Misclosure& misclosure, int group,
                                       std::vector<CVarianceBlock>& blocks) const {
  for (const Block& b : m_Blocks) {
    CVarianceBlock& out = blocks.emplace_back();
    const size_t n = b.points.size() * static_cast<size_t>(m_Dimension);
    out.group = group;
    out.Ql = b.Q;
    out.a.assign(n * n, 0.0);
    for (size_t k = 0; k < n; ++k) out.a[k * n + k] = 1.0;
    for (int p : b.points)
      for (int c = 0; c < m_Dimension; ++c) {
        out.index.push_back(layout.UnknownOf(p) + c);
        out.v.push_back(misclosure(p, c));
      }
  }
}

double CWeightedDatum::AddToNormal(CNormalEquations& normal, const CPointUnknowns& layout,
                                   const Misclosure& misclosure) const {
  double lPl = 0.0;
  std::vector<int> index;
  std::vector<double> l, rhs;
  for (const Block& b : m_Blocks) {
    const size_t n = b.points.size() * static_cast<size_t>(m_Dimension);
    index.clear(), l.clear();
    for (int p : b.points)
      for (int c = 0; c < m_Dimension; ++c) {
        index.push_back(layout.UnknownOf(p) + c);
        l.push_back(misclosure(p, c));
      }
    // The design of a coordinate observation is the identity: N += P, U += P l.
    rhs.assign(n, 0.0);
    for (size_t a = 0; a < n; ++a)
      for (size_t c = 0; c < n; ++c) {
        rhs[a] += b.P[a * n + c] * l[c];
        lPl += l[a] * b.P[a * n + c] * l[c];
      }
    normal.Add(index.data(), static_cast<int>(n), b.P.data(), rhs.data());
  }
  return lPl;
}

double CWeightedDatum::SumOfSquares(const CPointUnknowns& layout, const Misclosure& misclosure,
                                    const std::vector<double>& x) const {
  double sum = 0.0;
  std::vector<double> v;
  for (const Block& b : m_Blocks) {
    const size_t n = b.points.size() * static_cast<size_t>(m_Dimension);
    v.clear();
    for (int p : b.points)
      for (int c = 0; c < m_Dimension; ++c) v.push_back(misclosure(p, c) + x[static_cast<size_t>(layout.UnknownOf(p) + c)]);
    for (size_t a = 0; a < n; ++a)
      for (size_t c = 0; c < n; ++c) sum += v[a] * b.P[a * n + c] * v[c];
  }
  return sum;
}

std::vector<CObservationGroup> CWeightedDatum::TestGroups(const CPointUnknowns& layout,
                                                          const Misclosure& misclosure) const {
  std::vector<CObservationGroup> groups;
  const int d = m_Dimension;
  for (const Block& b : m_Blocks) {
    const size_t n = b.points.size() * static_cast<size_t>(d);
    for (size_t k = 0; k < b.points.size(); ++k) {
      CObservationGroup& g = groups.emplace_back();
      g.dimension = d;
      const int p = b.points[k];
      for (int r = 0; r < 6; ++r) g.index[r] = -1;
      for (int r = 0; r < d; ++r) {
        g.v[r] = misclosure(p, r);
        g.index[r] = layout.UnknownOf(p) + r;
        g.a[r][r] = 1.0;
        for (int c = 0; c < d; ++c) g.Ql[r][c] = b.Q[(k * d + r) * n + k * d + c];
      }
    }
  }
  return groups;
}

void CWeightedDatum::WriteValues(CReportFile& f, const char* dash, const CAdjustmentSolution& solution,
                                 const std::vector<std::string>& names,
                                 const std::vector<const std::vector<double>*>& coordinates,
                                 const std::vector<const char*>& components, const Misclosure& misclosure,
                                 double toCm) const {
  const int d = m_Dimension;
  f.Write(dash);
  f.Write(T(u8"                 加权已知点(约束点)平差值、改正数(平差值-已知值)与中误差\n"));
  f.Write(dash);
  std::string head = " No.             Name";
  for (int c = 0; c < d; ++c) head += Format("%14s(m)", components[static_cast<size_t>(c)]);
  for (int c = 0; c < d; ++c) head += Format("%6s(cm)", (std::string("d") + components[static_cast<size_t>(c)]).c_str());
  for (int c = 0; c < d; ++c) head += Format("%6s(cm)", (std::string("M") + components[static_cast<size_t>(c)]).c_str());
  f.Write(head + "\n");
  f.Write(dash);
  for (int p : m_Points) {
    std::string row = Format("%4d %16s", p + 1, names[static_cast<size_t>(p)].c_str());
    for (int c = 0; c < d; ++c) row += Format(" %16.4lf", (*coordinates[static_cast<size_t>(c)])[static_cast<size_t>(p)]);
    for (int c = 0; c < d; ++c) row += Format(" %9.2lf", misclosure(p, c) * toCm);
    for (int c = 0; c < d; ++c) row += Format(" %9.2lf", solution.StdDev(solution.UnknownOf(p) + c) * 100.0);
    f.Write(row + "\n");
  }
}

void CWeightedDatum::WriteTests(CReportFile& f, const char* dash, const CDataSnooping& snooping, double w,
                                const std::vector<std::string>& names, const std::vector<const char*>& components,
                                double toCm) const {
  f.Write(dash);
  f.Write(T(u8"                 加权已知点(约束点)坐标改正数检验(w检验)\n"));
  f.Write(dash);
  f.Printf(T(u8"  w检验临界值=%8.3f\n"), w);
  f.Write(T(u8" No.             Name 分量   改正(cm)    r_i        w  MDB(cm) 检验\n"));
  f.Write(dash);
  int suspects = 0;
  for (size_t g = 0; g < snooping.groups.size() && g < m_Points.size(); ++g) {
    const int p = m_Points[g];
    for (size_t c = 0; c < snooping.groups[g].size(); ++c) {
      const CComponentTest& t = snooping.groups[g][c];
      f.Printf("%4d %16s %4s %10.2f %6.3f ", p + 1, names[static_cast<size_t>(p)].c_str(), components[c], t.v * toCm,
               t.redundancy);
      if (!t.controlled) {
        f.Printf(T(u8"%8s %8s %s\n"), "-", "-", T(u8"无多余"));
        continue;
      }
      if (t.rejected) ++suspects;
      f.Printf("%8.2f %8.2f %s\n", t.w, t.mdb * toCm, t.rejected ? T(u8"超限") : T(u8"通过"));
    }
  }
  f.Write(dash);
  if (suspects == 0)
    f.Write(T(u8"检验结论: 加权已知点的坐标改正数均未超过临界值。\n"));
  else
    f.Printf(T(u8"检验结论: 加权已知点有%d个坐标分量的改正数超限，其已知坐标或方差阵可疑。\n"), suspects);
}

}  // namespace vemo
