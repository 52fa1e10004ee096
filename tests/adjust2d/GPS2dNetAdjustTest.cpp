// Tests of the plane adjustment engine: an independent least-squares solution in another
// parameterisation (scale and rotation angle instead of c, s; absolute coordinates; a dense
// Cholesky solve iterated to full convergence), A^T P v = 0, the recovery of an imposed rotation
// and scale, the placement, the unit weight rules, and the refused networks.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "adjust2d/GPS2dNetAdjust.h"
#include "app/commands/Handlers.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "tests/adjust2d/PlaneNetwork.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace vemo::test {
namespace {

constexpr double kRho = 206264.80624709636;

// Dense symmetric solve and inverse by Cholesky, for the reference solution.
bool Cholesky(std::vector<double>& a, int n) {
  for (int j = 0; j < n; ++j) {
    double d = a[j * n + j];
    for (int k = 0; k < j; ++k) d -= a[j * n + k] * a[j * n + k];
    if (!(d > 0)) return false;
    a[j * n + j] = std::sqrt(d);
    for (int i = j + 1; i < n; ++i) {
      double s = a[i * n + j];
      for (int k = 0; k < j; ++k) s -= a[i * n + k] * a[j * n + k];
      a[i * n + j] = s / a[j * n + j];
    }
  }
  return true;
}

std::vector<double> CholeskySolve(const std::vector<double>& L, int n, std::vector<double> b) {
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < i; ++k) b[i] -= L[i * n + k] * b[k];
    b[i] /= L[i * n + i];
  }
  for (int i = n - 1; i >= 0; --i) {
    for (int k = i + 1; k < n; ++k) b[i] -= L[k * n + i] * b[k];
    b[i] /= L[i * n + i];
  }
  return b;
}

// The least-squares solution of the loaded data set, computed on its own: unknowns the
// absolute X, Y of the new points, then the scale mu and rotation w (GPS -> ground), with the
// model DX = (cos w dX - sin w dY) / mu, DY = (sin w dX + cos w dY) / mu.
struct Reference {
  std::vector<double> X, Y, mx, my;  // m, cm
  double scale = 1, rotation = 0, M0 = 0, pvv = 0;
  std::vector<double> normalizedGradient;  // |A^T P v|_i / sqrt(N_ii) at the engine's solution
};

class ReferenceModel {
 public:
  explicit ReferenceModel(const CGPS2dNetAdjust& n) : net(n), k(n.m_KnownPointCount) {
    u = 2 * (net.m_PointCount - k) + 2;
    double sum = 0;
    for (int j = 0; j < net.m_VectorCount; ++j) sum += (net.m_Dxx[j] + net.m_Dyy[j]) / 2;
    sigma2 = sum / net.m_VectorCount;
  }

  // Normal equations and gradient of the weighted residuals at the given state.
  void Linearise(const std::vector<double>& X, const std::vector<double>& Y, double mu, double w,
                 std::vector<double>& N, std::vector<double>& g, double& pvv) const {
    N.assign(static_cast<size_t>(u) * u, 0.0);
    g.assign(u, 0.0);
    pvv = 0;
    auto add = [&](const int* idx, const double* J, int cols, const double* v, const double* P, int rows) {
      // rows x cols Jacobian J (row-major), weight P (rows x rows), residuals v.
      for (int a = 0; a < cols; ++a) {
        if (idx[a] < 0) continue;
        for (int b = 0; b < cols; ++b) {
          if (idx[b] < 0) continue;
          double s = 0;
          for (int r = 0; r < rows; ++r)
            for (int c = 0; c < rows; ++c) s += J[r * cols + a] * P[r * rows + c] * J[c * cols + b];
          N[idx[a] * u + idx[b]] += s;
        }
        double s = 0;
        for (int r = 0; r < rows; ++r)
          for (int c = 0; c < rows; ++c) s += J[r * cols + a] * P[r * rows + c] * v[c];
        g[idx[a]] += s;
      }
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < rows; ++c) pvv += v[r] * P[r * rows + c] * v[c];
    };
    auto ends = [&](int f, int t, int* idx) {
      idx[0] = f >= k ? 2 * (f - k) : -1, idx[1] = f >= k ? 2 * (f - k) + 1 : -1;
      idx[2] = t >= k ? 2 * (t - k) : -1, idx[3] = t >= k ? 2 * (t - k) + 1 : -1;
    };
    const double cw = std::cos(w), sw = std::sin(w);
    for (int j = 0; j < net.m_VectorCount; ++j) {
      const int f = net.m_From[j], t = net.m_To[j];
      const double dX = X[t] - X[f], dY = Y[t] - Y[f];
      const double px = (cw * dX - sw * dY) / mu, py = (sw * dX + cw * dY) / mu;
      const double v[2] = {px - net.m_DX[j], py - net.m_DY[j]};
      int idx[6];
      ends(f, t, idx);
      idx[4] = u - 2, idx[5] = u - 1;
      const double J[12] = {-cw / mu, sw / mu, cw / mu, -sw / mu, -px / mu, (-sw * dX - cw * dY) / mu,
                            -sw / mu, -cw / mu, sw / mu, cw / mu, -py / mu, (cw * dX - sw * dY) / mu};
      const double a = net.m_Dxx[j] / sigma2, b = net.m_Dxy[j] / sigma2, c = net.m_Dyy[j] / sigma2;
      const double det = a * c - b * b;
      const double P[4] = {c / det, -b / det, -b / det, a / det};
      add(idx, J, 6, v, P, 2);
    }
    for (int j = 0; j < net.m_DistanceCount; ++j) {
      const int f = net.m_DistanceFrom[j], t = net.m_DistanceTo[j];
      const double dX = X[t] - X[f], dY = Y[t] - Y[f], S = std::hypot(dX, dY);
      const double v = S - net.m_Distance[j];
      int idx[4];
      ends(f, t, idx);
      const double J[4] = {-dX / S, -dY / S, dX / S, dY / S};
      // The variance of unit weight is sigma2 (cm²): a distance's sd is in cm.
      const double P = sigma2 / (net.m_DistanceSd[j] * net.m_DistanceSd[j]);
      add(idx, J, 4, &v, &P, 1);
    }
    for (int j = 0; j < net.m_AzimuthCount; ++j) {
      const int f = net.m_AzimuthFrom[j], t = net.m_AzimuthTo[j];
      const double dX = X[t] - X[f], dY = Y[t] - Y[f], S2 = dX * dX + dY * dY;
      const double v = kRho * std::remainder(std::atan2(dY, dX) - net.m_Azimuth[j], 2 * PI);
      int idx[4];
      ends(f, t, idx);
      const double J[4] = {kRho * dY / S2, -kRho * dX / S2, -kRho * dY / S2, kRho * dX / S2};
      // An azimuth's sd and misclosure are in seconds, the weighted squares in m².
      const double P = sigma2 * 1e-4 / (net.m_AzimuthSd[j] * net.m_AzimuthSd[j]);
      add(idx, J, 4, &v, &P, 1);
    }
  }

  Reference Solve(std::vector<double> X, std::vector<double> Y) const {
    double mu = 1.0, w = 0.0;
    std::vector<double> N, g;
    double pvv = 0;
    for (int iteration = 0; iteration < 50; ++iteration) {
      Linearise(X, Y, mu, w, N, g, pvv);
      std::vector<double> L = N;
      EXPECT_TRUE(Cholesky(L, u));
      for (double& e : g) e = -e;
      const std::vector<double> d = CholeskySolve(L, u, g);
      double largest = 0;
      for (int i = k; i < net.m_PointCount; ++i) {
        X[i] += d[2 * (i - k)], Y[i] += d[2 * (i - k) + 1];
        largest = std::max({largest, std::fabs(d[2 * (i - k)]), std::fabs(d[2 * (i - k) + 1])});
      }
      mu += d[u - 2], w += d[u - 1];
      if (largest < 1e-10 && std::fabs(d[u - 2]) < 1e-13 && std::fabs(d[u - 1]) < 1e-13) break;
    }
    Linearise(X, Y, mu, w, N, g, pvv);
    Reference ref;
    ref.X = X, ref.Y = Y, ref.scale = mu, ref.rotation = w, ref.pvv = pvv;
    const int r = net.m_DistanceCount + 2 * net.m_VectorCount + net.m_AzimuthCount - u;
    ref.M0 = std::sqrt(pvv / r);
    std::vector<double> L = N;
    EXPECT_TRUE(Cholesky(L, u));
    for (int i = k; i < net.m_PointCount; ++i)
      for (int c = 0; c < 2; ++c) {
        std::vector<double> e(u, 0.0);
        e[2 * (i - k) + c] = 1.0;
        const double q = CholeskySolve(L, u, e)[2 * (i - k) + c];
        (c == 0 ? ref.mx : ref.my).push_back(ref.M0 * std::sqrt(q) * 100.0);
      }
    return ref;
  }

  // |A^T P v|_i / sqrt(N_ii) at the engine's coordinates, scale and rotation (m).
  std::vector<double> NormalizedGradient() const {
    std::vector<double> N, g;
    double pvv;
    Linearise(net.m_X, net.m_Y, net.m_Scale, net.m_Rotation, N, g, pvv);
    for (int i = 0; i < u; ++i) g[i] = std::fabs(g[i]) / std::sqrt(N[i * u + i]);
    return g;
  }

  const CGPS2dNetAdjust& net;
  int k, u;
  double sigma2;
};

class PlaneAdjustTest : public ::testing::Test {
 protected:
  // The plane vector file holds covariances in cm², as the 3D adjustment writes it.
  void Write(PlaneNetwork net) {
    for (PlaneVector& v : net.vectors) v.xx *= 1e4, v.yy *= 1e4, v.xy *= 1e4;
    WritePlaneProject(net, project.dir.str(), "net");
  }
  std::string Header(const char* key) {
    for (const std::string& line : Lines(project.Read("GPS2dResult")))
      if (line.find(G(key)) != std::string::npos) return line;
    return "<none>";
  }
  AdjustProject project;
};

TEST_F(PlaneAdjustTest, AgreesWithAnIndependentSolutionForTwoToFourKnownPoints) {
  for (int known : {2, 3, 4}) {
    SCOPED_TRACE(known);
    PlaneNetworkOptions o;
    o.points = 100, o.knownCount = known, o.seed = 40 + known;
    o.rotationSeconds = 2.0 + known, o.scalePpm = 15.0 * known;
    Write(MakePlaneNetwork(o));
    CGPS2dNetAdjust net;
    ASSERT_EQ(net.Load(), 1);
    ASSERT_EQ(net.Adjust(), 1) << ::testing::PrintToString(project.MessagesUtf8());
    ASSERT_GE(net.m_PointCount, 100);
    EXPECT_EQ(net.m_Redundancy, net.m_DistanceCount + 2 * net.m_VectorCount + net.m_AzimuthCount -
                                    2 * (net.m_PointCount - known) - 2);
    ReferenceModel model(net);
    // Start the reference away from the engine's answer: the least-squares minimum is unique.
    std::vector<double> X = net.m_X, Y = net.m_Y;
    for (int i = known; i < net.m_PointCount; ++i) X[i] += 0.3, Y[i] -= 0.2;
    const Reference ref = model.Solve(X, Y);
    for (int i = known; i < net.m_PointCount; ++i) {
      EXPECT_NEAR(net.m_X[i], ref.X[i], 5e-5) << net.m_PointName[i];
      EXPECT_NEAR(net.m_Y[i], ref.Y[i], 5e-5) << net.m_PointName[i];
      const int p = net.UnknownOf(i);
      // Printed with two decimals (cm): agree to a tenth of the last digit and better.
      EXPECT_NEAR(net.m_M0m * std::sqrt(net.Qxx(p, p)) * 100.0, ref.mx[i - known], 1e-4);
      EXPECT_NEAR(net.m_M0m * std::sqrt(net.Qxx(p + 1, p + 1)) * 100.0, ref.my[i - known], 1e-4);
    }
    EXPECT_NEAR(net.m_M0m * 100.0, ref.M0 * 100.0, 1e-4);                     // printed %.3f cm
    EXPECT_NEAR((net.m_Scale - 1) * 1e6, (ref.scale - 1) * 1e6, 1e-5);       // printed %.4f ppm
    EXPECT_NEAR(RadianToDms(net.m_Rotation), RadianToDms(ref.rotation), 1e-10);  // printed %.9f dms
    // A^T P v = 0 at the engine's solution.
    for (double gi : model.NormalizedGradient()) EXPECT_LT(gi, 1e-7);
  }
}

TEST_F(PlaneAdjustTest, RecoversTheImposedRotationAndScaleFromNoiseFreeData) {
  PlaneNetworkOptions o;
  o.points = 64, o.knownCount = 3, o.noise = 0.0, o.rotationSeconds = -4.25, o.scalePpm = 37.5;
  const PlaneNetwork truth = MakePlaneNetwork(o);
  Write(truth);
  CGPS2dNetAdjust net;
  ASSERT_EQ(net.Load(), 1);
  ASSERT_EQ(net.Adjust(), 1);
  EXPECT_NEAR(net.m_Rotation, truth.rotation, 1e-12);
  EXPECT_NEAR(net.m_Scale, truth.scale, 1e-12);
  for (int i = 0; i < net.m_PointCount; ++i) {
    const int p = std::stoi(net.m_PointName[i].substr(1)) - 1;
    EXPECT_NEAR(net.m_X[i], truth.X[p], 1e-6);
    EXPECT_NEAR(net.m_Y[i], truth.Y[p], 1e-6);
  }
  EXPECT_EQ(Header(u8"旋转角"), G(u8"       旋转角(GPS->地面)=   -0.000425000(dms)"));
  EXPECT_EQ(Header(u8"尺度"), G(u8"         尺度(GPS->地面)=   37.5000(ppm)"));
}

TEST_F(PlaneAdjustTest, VectorsThatAgreeExactlyPrintNoRotationAndNoScaleWithoutSign) {
  PlaneNetworkOptions o;
  o.points = 25, o.knownCount = 2, o.noise = 0.0, o.rotationSeconds = 0.0, o.scalePpm = 0.0;
  Write(MakePlaneNetwork(o));
  CGPS2dNetAdjust net;
  ASSERT_EQ(net.Load(), 1);
  ASSERT_EQ(net.Adjust(), 1);
  EXPECT_EQ(Header(u8"旋转角"), G(u8"       旋转角(GPS->地面)=    0.000000000(dms)"));
  EXPECT_EQ(Header(u8"尺度"), G(u8"         尺度(GPS->地面)=    0.0000(ppm)"));
}

TEST_F(PlaneAdjustTest, OneKnownPointIsPlacedByTheFirstAzimuthAndDistance) {
  PlaneNetworkOptions o;
  o.points = 36, o.knownCount = 1, o.noise = 0.0, o.rotationSeconds = 30.0, o.scalePpm = -80.0;
  o.distances = 2, o.azimuths = 2, o.distanceSdCm = 0.0, o.azimuthSdSeconds = 0.0;
  const PlaneNetwork truth = MakePlaneNetwork(o);
  Write(truth);
  CGPS2dNetAdjust net;
  ASSERT_EQ(net.Load(), 1);
  // A standard error of 0 is taken as 0.001 (cm, seconds): nearly fixed, which makes the
  // normal matrix ill-conditioned enough to need the element-by-element elimination.
  EXPECT_EQ(net.m_DistanceSd[0], 0.001);
  EXPECT_EQ(net.m_AzimuthSd[0], 0.001);
  ASSERT_EQ(net.Adjust(), 1) << ::testing::PrintToString(project.MessagesUtf8());
  EXPECT_NEAR(net.m_Rotation, truth.rotation, 1e-11);
  EXPECT_NEAR(net.m_Scale, truth.scale, 1e-11);
  for (int i = 0; i < net.m_PointCount; ++i) {
    const int p = std::stoi(net.m_PointName[i].substr(1)) - 1;
    EXPECT_NEAR(net.m_X[i], truth.X[p], 1e-5);
    EXPECT_NEAR(net.m_Y[i], truth.Y[p], 1e-5);
  }
  EXPECT_EQ(net.m_Iterations, 2);  // the placement is 30" and 80 ppm off: one step, one check
  ASSERT_FALSE(project.scope.host.progress.empty());
  EXPECT_EQ(project.scope.host.progress.front().titles.back(), G(u8"二维平差，第1次迭代"));
  EXPECT_EQ(project.scope.host.progress.back().titles.back(), G(u8"二维平差，第2次迭代"));
}

TEST_F(PlaneAdjustTest, IterationThatDoesNotConvergeWithinTheCapIsReportedWithoutAReport) {
  // The placement of one known point is 30" and 80 ppm off: the first step moves points by
  // decimetres, so a cap of one iteration is not enough.
  PlaneNetworkOptions o;
  o.points = 36, o.knownCount = 1, o.noise = 0.0, o.rotationSeconds = 30.0, o.scalePpm = -80.0;
  o.distances = 2, o.azimuths = 2, o.distanceSdCm = 0.0, o.azimuthSdSeconds = 1.0;
  Write(MakePlaneNetwork(o));
  CGPS2dNetAdjust net;
  net.m_MaxIterations = 1;
  ASSERT_EQ(net.Load(), 1);
  EXPECT_EQ(net.Adjust(), 0);
  EXPECT_EQ(project.MessagesUtf8(),
            std::vector<std::string>{u8"二维平差迭代1次仍未收敛，请检查已知点坐标、近似坐标与观测值!"});
  EXPECT_FALSE(project.Exists("GPS2dResult"));
  EXPECT_FALSE(project.Exists("GPS2dXY"));
}

TEST_F(PlaneAdjustTest, UnitWeightIsOneCentimetreWithoutRedundancyOrWhenAskedFor) {
  // Two known points and one new point tied by two vectors: r = 4 - 4 = 0.
  project.Write("GPS2dKnownXY", "A 1000.0 1000.0\nB 1000.0 3000.0\n");
  project.Write("GPS2dVector", "A C 1000.01 1000.0 1e-6 1e-6 0\nB C 1000.0 -1000.02 1e-6 1e-6 0\n");
  project.Write("GPS3dXYH", "A 1000 1000 0\nB 1000 3000 0\nC 2000 2000 0\n");
  {
    CGPS2dNetAdjust net;
    ASSERT_EQ(net.Load(), 1);
    ASSERT_EQ(net.Adjust(), 1);
    EXPECT_EQ(net.m_Redundancy, 0);
    EXPECT_EQ(net.m_M0m, 0.01);
    EXPECT_EQ(Header("M0="), "                      M0=         1.000(cm)");
  }
  // With a redundant network the a-priori option still takes 1 cm.
  project.Write("GPS2dVector", "A C 1000.01 1000.0 1e-6 1e-6 0\nB C 1000.0 -1000.02 1e-6 1e-6 0\n"
                               "A B 0.0 2000.03 1e-6 1e-6 0\n");
  project.Configuration().m_UseAprioriUnitWeight = 1;
  CGPS2dNetAdjust net;
  ASSERT_EQ(net.Load(), 1);
  ASSERT_EQ(net.Adjust(), 1);
  EXPECT_EQ(net.m_Redundancy, 2);
  EXPECT_EQ(net.m_M0m, 0.01);
}

TEST_F(PlaneAdjustTest, IndependentBaselineCountReplacesTheVectorsInTheRedundancy) {
  PlaneNetworkOptions o;
  o.points = 16, o.knownCount = 2;
  Write(MakePlaneNetwork(o));
  project.Configuration().m_IndependentBaselineCount = 20;
  CGPS2dNetAdjust net;
  ASSERT_EQ(net.Load(), 1);
  ASSERT_EQ(net.Adjust(), 1);
  EXPECT_EQ(net.m_Redundancy, net.m_DistanceCount + 40 + net.m_AzimuthCount - (2 * 14 + 2));
}

// A known point that no observation reaches has no say: listed first or second, with one or
// two known points on the vectors, the adjustment is that of the network without it (it
// used to place the network from its coordinates, 0, 0 in the GPS frame).
TEST_F(PlaneAdjustTest, AKnownPointWithoutObservationsChangesNothing) {
  for (int known : {1, 2})
    for (size_t position : {0u, 1u}) {
      SCOPED_TRACE(testing::Message() << known << " known, the unobserved one at line " << position + 1);
      PlaneNetworkOptions o;
      o.points = 25, o.knownCount = known, o.seed = 60 + known;
      Write(MakePlaneNetwork(o));
      CGPS2dNetAdjust alone;
      ASSERT_EQ(alone.Load(), 1);
      ASSERT_EQ(alone.Adjust(), 1);
      std::vector<std::string> lines = Lines(project.Read("GPS2dKnownXY"));
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(position), "ZZ 3390000.0 495000.0");
      std::string knownFile;
      for (const std::string& line : lines) knownFile += line + "\n";
      project.Write("GPS2dKnownXY", knownFile);
      CGPS2dNetAdjust net;
      ASSERT_EQ(net.Load(), 1);
      ASSERT_EQ(net.Adjust(), 1) << testing::PrintToString(project.MessagesUtf8());
      EXPECT_TRUE(project.scope.host.messages.empty());
      ASSERT_EQ(net.m_PointCount, alone.m_PointCount + 1);
      for (int i = 0; i < alone.m_PointCount; ++i) {
        const int j = net.m_NameIndex.at(alone.m_PointName[i]);
        EXPECT_NEAR(net.m_X[j], alone.m_X[i], 1e-9) << alone.m_PointName[i];
        EXPECT_NEAR(net.m_Y[j], alone.m_Y[i], 1e-9) << alone.m_PointName[i];
        if (i >= alone.m_KnownPointCount) {
          EXPECT_NEAR(net.Qxx(net.UnknownOf(j), net.UnknownOf(j)) / alone.Qxx(alone.UnknownOf(i), alone.UnknownOf(i)),
                      1.0, 1e-9);
        }
      }
      EXPECT_NEAR(net.m_Scale, alone.m_Scale, 1e-12);
      EXPECT_NEAR(net.m_Rotation, alone.m_Rotation, 1e-12);
      EXPECT_NEAR(net.m_M0m, alone.m_M0m, 1e-12);
      EXPECT_EQ(net.m_Iterations, alone.m_Iterations);
    }
}

// Ground observations weigh sigma0²/sd² in the vectors' units. A - P is observed by a vector
// (sd 5 mm each way, north 1000 m), a distance 1 cm longer (sd 0.5 cm) and an azimuth 1 cm to
// the east (sd 1.0313", i.e. 0.5 cm across 1000 m); A - B, a vector of sd 0.01 mm, holds c
// and s. Equal weights put P half-way: 5 mm north and 5 mm east of the vector's end. The
// original rule (1/sd² with sd in cm and seconds) holds the distance 8 times and the azimuth
// 80000 times as strongly as the vector (whose weight is 1/2: sigma0² is the mean variance of
// the two vectors). The one-point-one-direction network weighs the distance alike.
TEST_F(PlaneAdjustTest, GroundObservationsWeighInTheVectorsUnits) {
  project.Write("GPS2dKnownXY", "A 1000.0 1000.0\nB 1000.0 3000.0\n");
  project.Write("GPS2dVector", "A B 0.0 2000.0 1e-6 1e-6 0\nA P 1000.0 0.0 0.25 0.25 0\n");
  project.Write("GPS3dXYH", "A 1000 1000 0\nB 1000 3000 0\nP 2000 1000 0\n");
  project.Write("GPS2dDistance", "A P 1000.01 0.5\n");
  project.Write("GPS2dAzimuth", Format("A P %.16f 1.0313240312\n", RadianToDms(std::atan2(0.01, 1000.0))));
  for (bool legacy : {false, true}) {
    SCOPED_TRACE(legacy ? "legacy" : "consistent");
    CGPS2dNetAdjust net;
    net.m_LegacyGroundWeights = legacy;
    ASSERT_EQ(net.Load(), 1);
    ASSERT_EQ(net.Adjust(), 1) << testing::PrintToString(project.MessagesUtf8());
    EXPECT_NEAR(net.m_X[2] - 2000.0, legacy ? 0.04 / 4.5 : 0.005, 1e-6);
    EXPECT_NEAR(net.m_Y[2] - 1000.0, legacy ? 400.0 / 40000.5 : 0.005, 1e-6);
  }
  project.Write("GPS2dKnownXY1", "A 1000.0 1000.0\n");
  project.Write("GPS2dVector1", "A P 1000.0 0.0 0.25 0.25 0\n");
  project.Write("GPS3dXYH1", "A 0 0 0\nP 1000 0 0\n");
  project.Write("GPS2dAzimuth1", "A P 0.0 0.00001\n");
  for (bool legacy : {false, true}) {
    CGPS2dNetAdjust oneFix(1);
    oneFix.m_LegacyGroundWeights = legacy;
    ASSERT_EQ(oneFix.Load(), 1);
    ASSERT_EQ(oneFix.AdjustOneFix(), 1);
    // One vector: its weight is 1, the distance's 1 or, by the original rule, 1 / 0.5².
    EXPECT_NEAR(oneFix.m_X[1] - 2000.0, legacy ? 0.04 / 5.0 : 0.005, 1e-6) << legacy;
  }
}

// The iteration stops when c and s have settled too, so that the precisions are those of the
// solution. A network of 20 m about its one known point, placed 0.4 % too small (the
// approximate coordinates of the first distance's end are 8 cm out): the first step moves
// the points by 8 cm, within the 0.1 m of the coordinates, while c changes by 0.4 %, more
// than the 0.1 m over the network's 57 m; its cofactors would be those of the wrong scale.
TEST_F(PlaneAdjustTest, IterationStopsOnceTheRotationAndScaleHaveSettled) {
  project.Write("GPS2dKnownXY", "O 1000.0 1000.0\n");
  std::string vectors;
  const char* names[] = {"N", "E", "S", "W"};
  const double dx[] = {20, 0, -20, 0}, dy[] = {0, 20, 0, -20};
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    vectors += Format("O %s %.4f %.4f 0.01 0.01 0\n", names[i], dx[i], dy[i]);
    vectors += Format("%s %s %.4f %.4f 0.01 0.01 0\n", names[i], names[j], dx[j] - dx[i], dy[j] - dy[i]);
  }
  project.Write("GPS2dVector", vectors);
  project.Write("GPS2dDistance", "O N 20.0 0.1\n");
  project.Write("GPS2dAzimuth", "O E 90.0 1.0\n");
  std::vector<double> cofactors[2];
  for (int start = 0; start < 2; ++start) {  // exact approximate coordinates, then N 8 cm out
    project.Write("GPS3dXYH", Format("O 1000 1000 0\nN %.2f 1000 0\nE 1000 1020 0\nS 980 1000 0\nW 1000 980 0\n",
                                     start == 0 ? 1020.0 : 1020.08));
    CGPS2dNetAdjust net;
    ASSERT_EQ(net.Load(), 1);
    ASSERT_EQ(net.Adjust(), 1) << testing::PrintToString(project.MessagesUtf8());
    for (int p = 0; p < net.m_UnknownCount - 2; ++p) cofactors[start].push_back(net.Qxx(p, p));
  }
  for (size_t p = 0; p < cofactors[0].size(); ++p) EXPECT_NEAR(cofactors[1][p] / cofactors[0][p], 1.0, 1e-4) << p;
}

struct RefusedCase {
  const char* name;
  const char* known;
  const char* vectors;
  const char* distances;  // nullptr: no file
  const char* azimuths;
  const char* message;    // UTF-8, a part of the message
};

class PlaneAdjustRefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(PlaneAdjustRefusedTest, SaysWhyAndWritesNoReport) {
  const RefusedCase& c = GetParam();
  AdjustProject project;
  project.Write("GPS2dKnownXY", c.known);
  project.Write("GPS2dVector", c.vectors);
  project.Write("GPS3dXYH", "A 1000 1000 0\nB 1000 3000 0\nC 2000 2000 0\nD 3000 2000 0\nE 5000 5000 0\n"
                            "F 6000 5000 0\n");
  if (c.distances) project.Write("GPS2dDistance", c.distances);
  if (c.azimuths) project.Write("GPS2dAzimuth", c.azimuths);
  CGPS2dNetAdjust net;
  int loaded = net.Load();
  if (loaded) {
    EXPECT_EQ(net.Adjust(), 0);
  }
  const auto messages = project.MessagesUtf8();
  ASSERT_EQ(messages.size(), 1u) << ::testing::PrintToString(messages);
  EXPECT_NE(messages[0].find(c.message), std::string::npos) << messages[0];
  EXPECT_FALSE(project.Exists("GPS2dResult"));
  EXPECT_FALSE(project.Exists("GPS2dXY"));
}

const char* const kThreeVectors = "A C 1000 1000 1e-6 1e-6 0\nB C 1000 -1000 1e-6 1e-6 0\nC D 1000 0 1e-6 1e-6 0\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaneAdjustRefusedTest,
    ::testing::Values(
        RefusedCase{"NoKnownPoint", "", kThreeVectors, nullptr, nullptr, u8"没有二维已知点"},
        RefusedCase{"OneKnownPointWithoutAzimuth", "A 1000 1000\n", kThreeVectors, "A C 1414.2 1\n", nullptr,
                    u8"只有一个二维已知点时"},
        RefusedCase{"OneKnownPointWithoutDistance", "A 1000 1000\n", kThreeVectors, nullptr, "A C 45 1\n",
                    u8"只有一个二维已知点时"},
        RefusedCase{"EmptyVectorFile", "A 1000 1000\nB 1000 3000\n", "\n", nullptr, nullptr, u8"中没有基线向量"},
        RefusedCase{"TwoUnconnectedParts", "A 1000 1000\nB 1000 3000\n",
                    "A C 1000 1000 1e-6 1e-6 0\nB C 1000 -1000 1e-6 1e-6 0\nA B 0 2000 1e-6 1e-6 0\n"
                    "E F 1000 0 1e-6 1e-6 0\nF E -1000 0 1e-6 1e-6 0\n",
                    nullptr, nullptr, u8"点E等2个点与已知点之间没有观测值连接"},
        RefusedCase{"TwoPartsWithAKnownPointEachLeaveScaleAndRotationFree", "A 1000 1000\nB 1000 3000\n",
                    "A C 1000 1000 1e-6 1e-6 0\nC D 1000 0 1e-6 1e-6 0\nA D 2000 1000 1e-6 1e-6 0\n"
                    "B E 4000 2000 1e-6 1e-6 0\nE F 1000 0 1e-6 1e-6 0\nB F 5000 2000 1e-6 1e-6 0\n",
                    nullptr, nullptr, u8"法方程系数阵奇异或严重病态"},
        RefusedCase{"OneOfTwoKnownPointsOnTheVectorsWithoutGroundObservations", "A 1000 1000\nB 1000 3000\n",
                    "A C 1000 1000 1e-6 1e-6 0\nC D 1000 0 1e-6 1e-6 0\n", nullptr, nullptr,
                    u8"二维已知点中只有点A与基线向量相连"},
        RefusedCase{"TooFewObservations", "A 1000 1000\nB 1000 3000\n",
                    "A C 1000 1000 1e-6 1e-6 0\nC D 1000 0 1e-6 1e-6 0\nB E 4000 2000 1e-6 1e-6 0\n", nullptr,
                    nullptr, u8"基线向量数目不足，或者点名有误，请检查后再计算!"},
        RefusedCase{"CovarianceNotPositiveDefinite", "A 1000 1000\nB 1000 3000\n",
                    "A C 1000 1000 1e-6 1e-6 2e-6\nB C 1000 -1000 1e-6 1e-6 0\nA B 0 2000 1e-6 1e-6 0\n", nullptr,
                    nullptr, u8"第1条基线向量A-C的方差阵不是正定矩阵"},
        RefusedCase{"DistanceToAPointOutsideTheNetwork", "A 1000 1000\nB 1000 3000\n", kThreeVectors,
                    "A X 100 1\n", nullptr, u8"的点X不是网中的点"},
        // Vectors of zeros gave a scale of 8.7e11 ppm; one of them among others, a point where
        // the network holds none.
        RefusedCase{"AllZeroVectors", "A 1000 1000\nB 1000 3000\n",
                    "A C 0 0 1e-6 1e-6 0\nB C 0 0 1e-6 1e-6 0\nA B 0.0 -0.0 1e-6 1e-6 0\n", nullptr, nullptr,
                    u8"第 1 行的基线向量A-C长度为0(0.0000, 0.0000)，不能参与平差!"},
        RefusedCase{"AZeroVectorAmongOthers", "A 1000 1000\nB 1000 3000\n",
                    "A C 1000 1000 1e-6 1e-6 0\nB C 0.0004 -0.0006 1e-6 1e-6 0\nA B 0 2000 1e-6 1e-6 0\n",
                    nullptr, nullptr, u8"第 2 行的基线向量B-C长度为0(0.0004, -0.0006)"},
        RefusedCase{"DuplicateKnownName", "A 1000 1000\nB 1000 3000\nA 1001 1000\n", kThreeVectors, nullptr,
                    nullptr, u8"的点A已在第 1 行给出"}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST_F(PlaneAdjustTest, CommandOpensTheReportOnSuccessOnly) {
  PlaneNetworkOptions o;
  o.points = 16, o.knownCount = 2;
  Write(MakePlaneNetwork(o));
  CommandContext context{Args({})};
  EXPECT_EQ(RunAdjust2d(context), kCommandDone);
  ASSERT_EQ(project.scope.host.openedDocuments.size(), 1u);
  EXPECT_EQ(project.scope.host.openedDocuments[0], project.File("GPS2dResult"));
  EXPECT_TRUE(project.Exists("GPS2dXY"));
  EXPECT_TRUE(project.Exists("GPS2dXYEFT"));
  EXPECT_FALSE(project.Exists("gtt"));  // no guide file, no extract
  project.Write("GPS2dKnownXY", "");
  EXPECT_EQ(RunAdjust2d(context), kCommandFailed);
  EXPECT_EQ(project.scope.host.openedDocuments.size(), 1u);
}

}  // namespace
}  // namespace vemo::test
