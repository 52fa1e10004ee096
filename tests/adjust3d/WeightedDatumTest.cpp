// Known points weighted by their covariances and correlated vector clusters in the 3D vector
// network, against a dense generalised least-squares solution written here from the model
// (absolute coordinates as unknowns, the full covariance of every observation group inverted
// and the normal equations solved in long double), and the refusals of bad covariance files.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "adjust3d/GPS3dCombinedAdjust.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust3d/GPS3dNetTests.h"
#include "geodesy/Angles.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;
using Real = long double;
using Matrix = std::vector<std::vector<Real>>;

Matrix Zeros(size_t r, size_t c) { return Matrix(r, std::vector<Real>(c, 0)); }

// The inverse of a symmetric positive definite matrix by Cholesky.
Matrix InverseSpd(const Matrix& a) {
  const size_t n = a.size();
  Matrix L = Zeros(n, n), inv = Zeros(n, n);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j <= i; ++j) {
      Real s = a[i][j];
      for (size_t k = 0; k < j; ++k) s -= L[i][k] * L[j][k];
      L[i][j] = i == j ? std::sqrt(s) : s / L[j][j];
    }
  for (size_t c = 0; c < n; ++c) {
    std::vector<Real> y(n), x(n);
    for (size_t i = 0; i < n; ++i) {
      Real s = i == c ? 1 : 0;
      for (size_t k = 0; k < i; ++k) s -= L[i][k] * y[k];
      y[i] = s / L[i][i];
    }
    for (size_t i = n; i-- > 0;) {
      Real s = y[i];
      for (size_t k = i + 1; k < n; ++k) s -= L[k][i] * x[k];
      x[i] = s / L[i][i];
    }
    for (size_t i = 0; i < n; ++i) inv[i][c] = x[i];
  }
  return inv;
}

// One observation group: rows of the design over the free coordinates, the observed values
// (fixed coordinates moved over), and the full covariance (cm²).
struct Group {
  std::vector<std::map<int, Real>> rows;
  std::vector<Real> observed;  // m
  Matrix cov;
  std::vector<int> vectorRow;  // for vector rows: 3 j + component; -1 otherwise
};

struct Reference {
  std::vector<Real> x;   // free coordinates, m
  Real pvv = 0;          // mm², in the vectors' unit weight
  std::map<int, Real> redundancy;  // 3 j + component
};

Reference Solve(const std::vector<Group>& groups, size_t unknowns, Real meanVariance) {
  Matrix N = Zeros(unknowns, unknowns);
  std::vector<Real> b(unknowns, 0);
  std::vector<Matrix> weights;
  for (const Group& g : groups) {
    Matrix P = InverseSpd(g.cov);
    for (auto& row : P)
      for (Real& e : row) e *= meanVariance;
    for (size_t r = 0; r < g.rows.size(); ++r)
      for (size_t s = 0; s < g.rows.size(); ++s)
        for (auto [cr, ar] : g.rows[r]) {
          b[cr] += ar * P[r][s] * g.observed[s];
          for (auto [cs, as] : g.rows[s]) N[cr][cs] += ar * P[r][s] * as;
        }
    weights.push_back(std::move(P));
  }
  const Matrix Q = InverseSpd(N);
  Reference ref;
  ref.x.assign(unknowns, 0);
  for (size_t i = 0; i < unknowns; ++i)
    for (size_t j = 0; j < unknowns; ++j) ref.x[i] += Q[i][j] * b[j];
  for (size_t k = 0; k < groups.size(); ++k) {
    const Group& g = groups[k];
    const Matrix& P = weights[k];
    const size_t n = g.rows.size();
    std::vector<Real> v(n);
    for (size_t r = 0; r < n; ++r) {
      v[r] = -g.observed[r];
      for (auto [c, a] : g.rows[r]) v[r] += a * ref.x[c];
      v[r] *= 1000;
    }
    for (size_t r = 0; r < n; ++r)
      for (size_t s = 0; s < n; ++s) ref.pvv += v[r] * P[r][s] * v[s];
    // r_i = (I - A Qxx Aᵀ P)_ii over the group.
    for (size_t r = 0; r < n; ++r) {
      if (g.vectorRow[r] < 0) continue;
      Real aqa_p = 0;
      for (size_t s = 0; s < n; ++s) {
        Real aqa = 0;
        for (auto [cr, ar] : g.rows[r])
          for (auto [cs, as] : g.rows[s]) aqa += ar * Q[cr][cs] * as;
        aqa_p += aqa * P[s][r];
      }
      ref.redundancy[g.vectorRow[r]] = 1 - aqa_p;
    }
  }
  return ref;
}

// The rows north, east, up at the geocentric position on WGS-84, by the closed form for the
// latitude (no code of the library).
std::array<std::array<Real, 3>, 3> LocalFrame(Real X, Real Y, Real Z) {
  const Real a = 6378137.0L, f = 1 / 298.257223563L, e2 = f * (2 - f);
  const Real L = std::atan2(Y, X), p = std::hypot(X, Y);
  Real B = std::atan2(Z, p * (1 - e2));
  for (int i = 0; i < 10; ++i) {
    const Real N = a / std::sqrt(1 - e2 * std::sin(B) * std::sin(B));
    const Real H = p / std::cos(B) - N;
    B = std::atan2(Z, p * (1 - e2 * N / (N + H)));
  }
  const Real sb = std::sin(B), cb = std::cos(B), sl = std::sin(L), cl = std::cos(L);
  return {{{-sb * cl, -sb * sl, cb}, {-sl, cl, 0}, {cb * cl, cb * sl, sb}}};
}

class WeightedDatumTest : public testing::Test {
 protected:
  // A synthetic network of 25 points and 3 known ones, the given positions of the first two
  // moved by a few mm so that the weighted datum has something to do.
  void SetUp() override {
    truth = MakeSyntheticNetwork(25, 77);
    WriteSyntheticProject(truth, project.dir.str(), "net");
    std::string known;
    const double shift[3][3] = {{0.003, -0.002, 0.004}, {-0.002, 0.003, -0.005}, {0, 0, 0}};
    for (int k = 0; k < 3; ++k) {
      const int p = truth.known[static_cast<size_t>(k)];
      known += KnownXYZ(truth.names[p], truth.x[p] + shift[k][0], truth.y[p] + shift[k][1], truth.z[p] + shift[k][2]);
    }
    project.Write("GPS3dKnownXYZ", known);
  }
  // Writes the third known point as B, L, H instead.
  void ThirdKnownAsGeodetic() {
    std::string known = project.Read("GPS3dKnownXYZ");
    known = known.substr(0, known.find('\n', known.find('\n') + 1) + 1);
    const int p = truth.known[2];
    GPSTransfer t(0);
    t.m_a = 6378137.0, t.m_InvF = 298.257223563;
    t.m_X = truth.x[p], t.m_Y = truth.y[p], t.m_Z = truth.z[p];
    t.XYZBLH();
    known += Format("%20s %20.12lf %20.12lf %15.5lf\n", truth.names[p].c_str(), RadianToDms(t.m_B, 12),
                    RadianToDms(t.m_L, 12), t.m_H);
    project.Write("GPS3dKnownXYZ", known);
  }
  int Run() {
    network = std::make_unique<CGPS3dNetAdjust>(0);
    if (!network->Load()) return -1;
    return network->Adjust();
  }
  std::string Name(int point) const { return truth.names[static_cast<size_t>(point)]; }
  // "FROM TO K" of vector j of the synthetic file.
  std::string VectorRef(size_t j) const {
    const SyntheticVector& v = truth.vectors[j];
    int k = 0;
    for (size_t i = 0; i <= j; ++i)
      if (truth.vectors[i].from == v.from && truth.vectors[i].to == v.to) ++k;
    return Format("%s %s %d\n", Name(v.from).c_str(), Name(v.to).c_str(), k);
  }
  // The covariance of the vectors' cluster: their own blocks, and between two vectors the
  // matching components correlated by rho.
  Matrix ClusterCovariance(const std::vector<size_t>& vectors, Real rho) const {
    const size_t n = vectors.size();
    Matrix C = Zeros(3 * n, 3 * n);
    for (size_t a = 0; a < n; ++a) {
      const auto& c = truth.vectors[vectors[a]].cov;
      const Real own[3][3] = {{c[0], c[3], c[4]}, {c[3], c[1], c[5]}, {c[4], c[5], c[2]}};
      for (size_t b = 0; b < n; ++b)
        for (int r = 0; r < 3; ++r)
          for (int s = 0; s < 3; ++s) {
            const auto& d = truth.vectors[vectors[b]].cov;
            const Real other = r == s ? (r == 0 ? d[0] : r == 1 ? d[1] : d[2]) : 0;
            C[3 * a + r][3 * b + s] = a == b ? own[r][s] : r == s ? rho * std::sqrt(own[r][r] * other) : 0;
          }
    }
    return C;
  }
  static std::string UpperTriangle(const Matrix& C) {
    std::string text;
    for (size_t r = 0; r < C.size(); ++r) {
      for (size_t c = r; c < C.size(); ++c) text += Format(" %.15Lg", C[r][c]);
      text += "\n";
    }
    return text;
  }

  // The reference of the loaded network: fixed[i] for each known point i says whether it is
  // held; weighted blocks (known point indices, covariance in X, Y, Z) and clusters (vector
  // indices, covariance) as the files give them.
  Reference Independent(const CReadGPS3dVector& net, const std::vector<bool>& fixed,
                        const std::vector<std::pair<std::vector<int>, Matrix>>& weighted,
                        const std::vector<std::pair<std::vector<size_t>, Matrix>>& clusters, std::vector<int>& column) {
    column.assign(static_cast<size_t>(net.m_PointCount), -1);
    size_t u = 0;
    for (int i = 0; i < net.m_PointCount; ++i)
      if (i >= net.m_KnownPointCount || !fixed[static_cast<size_t>(i)]) column[static_cast<size_t>(i)] = static_cast<int>(3 * u++);
    std::vector<Matrix> vectorCov(static_cast<size_t>(net.m_VectorCount));
    std::vector<int> inCluster(static_cast<size_t>(net.m_VectorCount), -1);
    for (int j = 0; j < net.m_VectorCount; ++j) {
      vectorCov[j] = {{net.m_Dxx[j], net.m_Dxy[j], net.m_Dxz[j]}, {net.m_Dxy[j], net.m_Dyy[j], net.m_Dyz[j]},
                      {net.m_Dxz[j], net.m_Dyz[j], net.m_Dzz[j]}};
    }
    for (size_t c = 0; c < clusters.size(); ++c)
      for (size_t a = 0; a < clusters[c].first.size(); ++a) {
        const size_t j = clusters[c].first[a];
        inCluster[j] = static_cast<int>(c);
        for (int r = 0; r < 3; ++r)
          for (int s = 0; s < 3; ++s) vectorCov[j][r][s] = clusters[c].second[3 * a + r][3 * a + s];
      }
    Real trace = 0;
    for (const Matrix& C : vectorCov) trace += C[0][0] + C[1][1] + C[2][2];
    const Real meanVariance = trace / (3 * net.m_VectorCount);
    const double* observed[3] = {net.m_DX.data(), net.m_DY.data(), net.m_DZ.data()};
    auto coordinate = [&](int p, int r) -> Real { return r == 0 ? net.m_KnownX[p] : r == 1 ? net.m_KnownY[p] : net.m_KnownZ[p]; };
    auto addVector = [&](Group& g, int j) {
      for (int r = 0; r < 3; ++r) {
        std::map<int, Real> row;
        Real y = observed[r][j];
        for (auto [point, sign] : {std::pair{net.m_From[j], -1}, std::pair{net.m_To[j], 1}}) {
          if (column[point] >= 0) row[column[point] + r] += sign;
          else y -= sign * coordinate(point, r);
        }
        g.rows.push_back(row), g.observed.push_back(y), g.vectorRow.push_back(3 * j + r);
      }
    };
    std::vector<Group> groups;
    for (int j = 0; j < net.m_VectorCount; ++j) {
      if (inCluster[j] >= 0) continue;
      Group& g = groups.emplace_back();
      addVector(g, j);
      g.cov = vectorCov[j];
    }
    for (const auto& [members, cov] : clusters) {
      Group& g = groups.emplace_back();
      for (size_t j : members) addVector(g, static_cast<int>(j));
      g.cov = cov;
    }
    for (const auto& [points, cov] : weighted) {
      Group& g = groups.emplace_back();
      for (int p : points)
        for (int r = 0; r < 3; ++r) {
          g.rows.push_back({{column[p] + r, 1}});
          g.observed.push_back(coordinate(p, r));
          g.vectorRow.push_back(-1);
        }
      g.cov = cov;
    }
    return Solve(groups, 3 * u, meanVariance);
  }

  AdjustProject project;
  SyntheticNetwork truth;
  std::unique_ptr<CGPS3dNetAdjust> network;
};

// Two known points weighted as a correlated group, the third given as B, L, H with a north,
// east, up covariance (no point held fixed), and two clusters of four correlated vectors.
TEST_F(WeightedDatumTest, WeightedDatumAndClustersAgreeWithTheIndependentSolution) {
  ThirdKnownAsGeodetic();
  Matrix group = Zeros(6, 6);
  for (int r = 0; r < 6; ++r) group[r][r] = r % 3 == 2 ? 0.64 : 0.25;
  for (int r = 0; r < 3; ++r) group[r][r + 3] = group[r + 3][r] = 0.08;
  group[0][1] = group[1][0] = 0.05;
  const Matrix neu = {{0.16, 0.02, 0.0}, {0.02, 0.20, 0.01}, {0.0, 0.01, 0.49}};
  std::string knownCov = "# weighted datum\nGROUP 2\n" + Name(truth.known[0]) + "\n  " + Name(truth.known[1]) +
                         "\n" + UpperTriangle(group);
  knownCov += Format("%s %.2Lf %.2Lf %.2Lf %.2Lf %.2Lf %.2Lf\n", Name(truth.known[2]).c_str(), neu[0][0], neu[1][1],
                     neu[2][2], neu[0][1], neu[0][2], neu[1][2]);
  project.Write("GPS3dKnownCov", knownCov);
  const std::vector<std::vector<size_t>> members = {{0, 1, 2, 3}, {5, 7, 9, 11}};
  std::string clusterText;
  std::vector<std::pair<std::vector<size_t>, Matrix>> clusters;
  for (const auto& m : members) {
    clusters.push_back({m, ClusterCovariance(m, 0.35)});
    clusterText += "CLUSTER 4\n";
    for (size_t j : m) clusterText += VectorRef(j);
    clusterText += UpperTriangle(clusters.back().second);
  }
  project.Write("GPS3dCluster", clusterText);

  ASSERT_EQ(Run(), 1) << (project.MessagesUtf8().empty() ? "" : project.MessagesUtf8().front());
  const CGPS3dNetAdjust& net = *network;
  // The vectors were read in the synthetic order: vector j of the file is j of the network.
  ASSERT_EQ(net.m_VectorCount, static_cast<int>(truth.vectors.size()));
  CReadGPS3dVector loaded(0);
  ASSERT_EQ(loaded.Load(), 1);
  // The third point's covariance turned from north, east, up to X, Y, Z: Rᵀ C R.
  const auto R = LocalFrame(loaded.m_KnownX[2], loaded.m_KnownY[2], loaded.m_KnownZ[2]);
  Matrix xyz = Zeros(3, 3);
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      for (int m = 0; m < 3; ++m)
        for (int n = 0; n < 3; ++n) xyz[a][b] += R[m][a] * neu[m][n] * R[n][b];
  std::vector<int> column;
  const Reference ref = Independent(loaded, {false, false, false}, {{{0, 1}, group}, {{2}, xyz}}, clusters, column);

  EXPECT_EQ(net.m_Redundancy, 3 * (net.m_VectorCount - (net.m_PointCount - 3)));
  double worst = 0;
  for (int i = 0; i < net.m_PointCount; ++i) {
    const double adjusted[3] = {net.m_X[i], net.m_Y[i], net.m_Z[i]};
    for (int c = 0; c < 3; ++c)
      worst = std::max(worst, std::fabs(adjusted[c] - static_cast<double>(ref.x[column[i] + c])));
  }
  EXPECT_LT(worst, 5e-6);  // m; the reports print 0.1 mm
  EXPECT_NEAR(net.m_PVVmm2, static_cast<double>(ref.pvv), 1e-6 * static_cast<double>(ref.pvv));
  for (const auto& [row, r] : ref.redundancy)
    EXPECT_NEAR(net.m_RedundancyNumber[static_cast<size_t>(row)], static_cast<double>(r), 1e-6) << row;

  // The result report lists the weighted points with their corrections, and the statistics
  // report tests them.
  const std::string result = project.Read("GPS3dResult");
  const size_t section = result.find(G("加权已知点(约束点)平差值"));
  ASSERT_NE(section, std::string::npos);
  const std::string firstRow = Lines(result.substr(section))[4];
  EXPECT_NE(firstRow.find(Name(truth.known[0])), std::string::npos) << firstRow;
  const double dX = (net.m_X[0] - loaded.m_KnownX[0]) * 100.0;
  EXPECT_NE(firstRow.find(Format(" %9.2lf", dX)), std::string::npos) << firstRow;
  ASSERT_TRUE(WriteGPS3dTestReport(net, CTestSettings{}));
  const std::string tests = project.Read("GPS3dTest");
  EXPECT_NE(tests.find(G("加权已知点(约束点)坐标改正数检验")), std::string::npos);
}

// With σ -> 0 the weighted points are as good as fixed; with σ -> ∞ on every known point the
// network is free, its shape that of the minimally constrained network and its position the
// least-squares fit to the given points.
TEST_F(WeightedDatumTest, TendsToTheFixedAndToTheFreeNetwork) {
  ASSERT_EQ(Run(), 1);
  const std::vector<double> fixedX = network->m_X, fixedZ = network->m_Z;
  std::string tight;
  for (int k = 0; k < 2; ++k) tight += Name(truth.known[k]) + " 1e-10 1e-10 1e-10 0 0 0\n";
  project.Write("GPS3dKnownCov", tight);
  ASSERT_EQ(Run(), 1);
  for (int i = 0; i < network->m_PointCount; ++i) {
    EXPECT_NEAR(network->m_X[i], fixedX[i], 2e-5) << i;
    EXPECT_NEAR(network->m_Z[i], fixedZ[i], 2e-5) << i;
  }

  std::string loose;
  for (int k = 0; k < 3; ++k) loose += Name(truth.known[k]) + " 1e6 1e6 1e6 0 0 0\n";
  project.Write("GPS3dKnownCov", loose);
  ASSERT_EQ(Run(), 1);
  const std::vector<double> freeX = network->m_X, freeY = network->m_Y;
  CReadGPS3dVector given(0);
  ASSERT_EQ(given.Load(), 1);
  // The minimally constrained network: only the first known point given.
  std::filesystem::remove(project.File("GPS3dKnownCov"));
  const std::string all = project.Read("GPS3dKnownXYZ");
  project.Write("GPS3dKnownXYZ", all.substr(0, all.find('\n') + 1));
  ASSERT_EQ(Run(), 1);
  const CGPS3dNetAdjust& minimal = *network;
  // Its shift onto the three given points, in the mean.
  double shift[2] = {0, 0};
  for (int k = 0; k < 3; ++k) {
    const int i = static_cast<int>(std::find(minimal.m_PointName.begin(), minimal.m_PointName.end(), given.m_PointName[k]) -
                                   minimal.m_PointName.begin());
    shift[0] += (given.m_KnownX[k] - minimal.m_X[i]) / 3;
    shift[1] += (given.m_KnownY[k] - minimal.m_Y[i]) / 3;
  }
  for (int i = 0; i < given.m_PointCount; ++i) {
    const int m = static_cast<int>(std::find(minimal.m_PointName.begin(), minimal.m_PointName.end(), given.m_PointName[i]) -
                                   minimal.m_PointName.begin());
    EXPECT_NEAR(freeX[i], minimal.m_X[m] + shift[0], 2e-5) << i;
    EXPECT_NEAR(freeY[i], minimal.m_Y[m] + shift[1], 2e-5) << i;
  }
}

// Files of comments only change nothing: the reports are byte for byte those without files.
TEST_F(WeightedDatumTest, EmptyFilesLeaveTheReportsAsTheyAre) {
  ASSERT_EQ(Run(), 1);
  const std::string plain = project.Read("GPS3dResult");
  project.Write("GPS3dKnownCov", "# none\n\n");
  project.Write("GPS3dCluster", "  # none\n");
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(project.Read("GPS3dResult"), plain);
}

// Each fault of a covariance file: a message naming the file and the line, and no result.
TEST_F(WeightedDatumTest, BadCovarianceFilesAreRefusedNamingTheLine) {
  const std::string k0 = Name(truth.known[0]), k1 = Name(truth.known[1]), p = "NOSUCH";
  const std::string v0 = VectorRef(0), v1 = VectorRef(1), v2 = VectorRef(2);
  const std::string v0pair = v0.substr(0, v0.rfind(' ')) + "\n";
  const std::string fine3 = "1 0 0 1 0 1\n";
  struct Case {
    const char* file;
    std::string text;
    int line;
    const char* says;
  } cases[] = {
      {"GPS3dKnownCov", "#\n" + p + " 1 1 1 0 0 0\n", 2, "不是已知点"},
      {"GPS3dKnownCov", k0 + " 1 1 1 0 0 0\nGROUP 1\n" + k0 + "\n" + fine3, 3, "不能重复"},
      {"GPS3dKnownCov", k0 + " 1 1 1 2 0 0\n", 1, "不正定"},
      {"GPS3dKnownCov", "\nGROUP 2\n" + k0 + "\n" + k1 + "\n1 0 0 0 0 0\n", 2, "不完整"},
      {"GPS3dKnownCov", k0 + " 1 1 x 0 0 0\n", 1, "读取数据错误"},
      {"GPS3dKnownCov", k0 + " 1 1 1 0 0\n", 1, "读取数据错误"},
      {"GPS3dKnownCov", "GROUP 0\n", 1, "读取数据错误"},
      {"GPS3dKnownCov", "GROUP 1\n" + k0 + "\n1 0 0 1 0 1 7\n", 3, "读取数据错误"},
      {"GPS3dCluster", "CLUSTER 2\n" + k0 + " " + k1 + " 1\n" + v1, 2, "不存在"},
      {"GPS3dCluster", "CLUSTER 2\n" + v0 + v0, 3, "不能重复"},
      {"GPS3dCluster", "CLUSTER 2\n" + v0 + v1 + "1 0 0 0 0 0\n1 0 0 0 0\n1 0 0 0\n1 0 0\n1 0\n-1\n", 1, "不正定"},
      {"GPS3dCluster", "CLUSTER 1\n" + v0, 1, "读取数据错误"},
      {"GPS3dCluster", "CLUSTER 2\n" + v0 + v2 + "1 0 0 0 0 0\n", 1, "不完整"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(project.File("GPS3dKnownCov"));
    std::filesystem::remove(project.File("GPS3dCluster"));
    std::filesystem::remove(project.File("GPS3dResult"));
    project.scope.host.messages.clear();
    project.Write(c.file, c.text);
    EXPECT_EQ(Run(), 0) << c.text;
    EXPECT_FALSE(project.Exists("GPS3dResult")) << c.text;
    ASSERT_EQ(project.MessagesUtf8().size(), 1u) << c.text;
    const std::string message = project.MessagesUtf8().front();
    EXPECT_NE(message.find(Format("net.%s", c.file)), std::string::npos) << message;
    EXPECT_NE(message.find(Format("第 %d 行", c.line)), std::string::npos) << message;
    EXPECT_NE(message.find(c.says), std::string::npos) << message;
  }
  // A pair that the vector file holds twice needs its number; a vector left out by its flag
  // cannot be named.
  const SyntheticVector& v = truth.vectors[0];
  std::string vectors = project.Read("GPS3dVector");
  const std::string first = vectors.substr(0, vectors.find('\n') + 1);
  project.Write("GPS3dVector", vectors + first + "1 " + first);
  for (const auto& [text, says] : {std::pair{"CLUSTER 2\n" + v0pair + v1, "请在点名后给出其序号"},
                                   std::pair{"CLUSTER 2\n" + Name(v.from) + " " + Name(v.to) + " 3\n" + v1, "已被剔除"}}) {
    project.scope.host.messages.clear();
    project.Write("GPS3dCluster", text);
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(project.MessagesUtf8().size(), 1u);
    EXPECT_NE(project.MessagesUtf8().front().find(says), std::string::npos) << project.MessagesUtf8().front();
  }
}

// The ellipsoidal adjustment: known points weighted with σ -> 0 are its constrained ones, and
// a cluster without correlations is its vectors one by one (the cluster's rows, summed over
// shared ends and the frame parameters, give the same normal equations).
TEST_F(WeightedDatumTest, EllipsoidalAdjustmentTakesWeightsAndClusters) {
  auto run = [&](CGPS3dCombinedAdjust& adjust) {
    EXPECT_EQ(adjust.Load(), 1);
    return adjust.Adjust();
  };
  CGPS3dCombinedAdjust plain;
  ASSERT_EQ(run(plain), 1);
  std::string tight;
  for (int k = 0; k < 3; ++k) tight += Name(truth.known[k]) + " 1e-8 1e-8 1e-8 0 0 0\n";
  project.Write("GPS3dKnownCov", tight);
  CGPS3dCombinedAdjust weighted;
  ASSERT_EQ(run(weighted), 1) << (project.MessagesUtf8().empty() ? "" : project.MessagesUtf8().front());
  for (int i = 0; i < plain.m_PointCount; ++i) {
    EXPECT_NEAR(weighted.m_B[i], plain.m_B[i], 1e-10) << i;  // radians: 0.6 mm
    EXPECT_NEAR(weighted.m_L[i], plain.m_L[i], 1e-10) << i;
    EXPECT_NEAR(weighted.m_H[i], plain.m_H[i], 1e-4) << i;
  }
  EXPECT_NE(project.Read("GPS3dBLHResult").find(G("加权已知点(约束点)改正数")), std::string::npos);

  std::filesystem::remove(project.File("GPS3dKnownCov"));
  const std::vector<size_t> members = {0, 1, 2, 3};
  project.Write("GPS3dCluster", "CLUSTER 4\n" + VectorRef(0) + VectorRef(1) + VectorRef(2) + VectorRef(3) +
                                    UpperTriangle(ClusterCovariance(members, 0.0)));
  CGPS3dCombinedAdjust uncorrelated;
  ASSERT_EQ(run(uncorrelated), 1) << (project.MessagesUtf8().empty() ? "" : project.MessagesUtf8().front());
  EXPECT_NEAR(uncorrelated.m_PVVm2, plain.m_PVVm2, 1e-9 * plain.m_PVVm2);
  for (int i = 0; i < plain.m_PointCount; ++i) EXPECT_NEAR(uncorrelated.m_H[i], plain.m_H[i], 1e-7) << i;
  project.Write("GPS3dCluster", "CLUSTER 4\n" + VectorRef(0) + VectorRef(1) + VectorRef(2) + VectorRef(3) +
                                    UpperTriangle(ClusterCovariance(members, 0.35)));
  CGPS3dCombinedAdjust correlated;
  ASSERT_EQ(run(correlated), 1);
  EXPECT_GT(std::fabs(correlated.m_PVVm2 - plain.m_PVVm2), 1e-6 * plain.m_PVVm2);
}

}  // namespace

// The covariance scaling reaches a cluster's full matrix as it reaches the vectors' own: a
// cluster without correlations between its vectors gives the scaled vectors exactly, and a
// scale alone multiplies the whole cluster (so the coordinates stay where they were).
TEST_F(WeightedDatumTest, CovarianceScalingReachesTheClusters) {
  const std::vector<size_t> members = {0, 1, 2, 3};
  auto clusterFile = [&](Real rho) {
    std::string text = "CLUSTER 4\n";
    for (size_t j : members) text += VectorRef(j);
    return text + UpperTriangle(ClusterCovariance(members, rho));
  };
  auto covariances = [&] {
    std::vector<double> c;
    for (size_t j : members)
      for (const auto* d : {&network->m_Dxx, &network->m_Dyy, &network->m_Dzz, &network->m_Dxy, &network->m_Dxz,
                            &network->m_Dyz})
        c.push_back((*d)[j]);
    return c;
  };
  auto expectNear = [](const std::vector<double>& a, const std::vector<double>& b, double factor) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], factor * b[i], 1e-9 * (std::abs(b[i]) + 1e-6)) << i;
  };

  project.Write("GPS3dCovScale", "* 2.0 1.5 3.0 4.0 1.0\n");
  ASSERT_EQ(Run(), 1);
  const std::vector<double> scaledVectors = covariances();
  const std::vector<double> x = network->m_X;
  project.Write("GPS3dCluster", clusterFile(0));
  ASSERT_EQ(Run(), 1);
  expectNear(covariances(), scaledVectors, 1.0);
  for (size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(network->m_X[i], x[i], 1e-7);

  project.Write("GPS3dCovScale", "");
  project.Write("GPS3dCluster", clusterFile(0.4));
  ASSERT_EQ(Run(), 1);
  const std::vector<double> raw = covariances();
  const std::vector<double> y = network->m_Y;
  project.Write("GPS3dCovScale", "* 4.0 0 0 0 0\n");
  ASSERT_EQ(Run(), 1);
  expectNear(covariances(), raw, 4.0);
  for (size_t i = 0; i < y.size(); ++i) EXPECT_NEAR(network->m_Y[i], y[i], 1e-7);
}
