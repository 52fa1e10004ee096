#include "geodesy/ApproximateCoordinates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSConfiguration.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/ProjectFiles.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace {

// The plane twin marks undetermined points with x = -1e8 and counts x > -9e7 as determined.
constexpr double kPlaneMarker = -1e8;
constexpr double kPlaneDetermined = -9e7;
// Passes after which the chaining gives up: a point still undetermined then is not connected
// to a known point.
constexpr int kMaxPasses = 4000;
// Below this many vectors the reduction takes milliseconds: no second thread.
constexpr size_t kVectorsWorthAThread = 20000;

void Require(bool condition, const char* what) {
  if (!condition) throw std::invalid_argument(what);
}

// The counts and indices that the routines rely on, checked before anything is changed.
template <class Network>
void CheckVectorIndices(const Network& n, size_t pointArrays) {
  Require(n.m_KnownPointCount >= 0 && n.m_PointCount >= 0 && n.m_VectorCount >= 0, "negative count");
  const size_t points = static_cast<size_t>(n.m_PointCount), vectors = static_cast<size_t>(n.m_VectorCount);
  Require(pointArrays >= points, "point arrays shorter than the point count");
  Require(n.m_From.size() >= vectors && n.m_To.size() >= vectors, "vector index arrays too short");
  for (size_t j = 0; j < vectors; ++j)
    Require(n.m_From[j] >= 0 && n.m_From[j] < n.m_PointCount && n.m_To[j] >= 0 && n.m_To[j] < n.m_PointCount,
            "vector end point outside the point list");
}

// Assigns value to target and tells whether that changed it.
bool Assign(double& target, double value) {
  const bool changed = target != value;
  target = value;
  return changed;
}

// One pass of the 3D chaining; returns whether it placed a point. A point's being placed is
// a flag, not a test of its coordinates: on the meridians of +-90 degrees a point lies near
// X = 0 and must count as placed all the same.
bool ChainPass3d(CGPS3dNetworkRecord& n, std::vector<char>& placed) {
  bool changed = false;
  for (int j = 0; j < n.m_VectorCount; ++j) {
    const int f = n.m_From[j], t = n.m_To[j];
    if (placed[f] == placed[t]) continue;
    if (placed[f]) {
      n.m_X[t] = n.m_X[f] + n.m_DX[j];
      n.m_Y[t] = n.m_Y[f] + n.m_DY[j];
      n.m_Z[t] = n.m_Z[f] + n.m_DZ[j];
      placed[t] = 1;
    } else {
      n.m_X[f] = n.m_X[t] - n.m_DX[j];
      n.m_Y[f] = n.m_Y[t] - n.m_DY[j];
      n.m_Z[f] = n.m_Z[t] - n.m_DZ[j];
      placed[f] = 1;
    }
    changed = true;
  }
  return changed;
}

bool ChainPass2d(CGPS2dNetworkRecord& n) {
  bool changed = false;
  for (int j = 0; j < n.m_VectorCount; ++j) {
    const int f = n.m_From[j], t = n.m_To[j];
    const bool knownFrom = n.m_X[f] > kPlaneDetermined, knownTo = n.m_X[t] > kPlaneDetermined;
    if (knownFrom == knownTo) continue;
    if (knownFrom) {
      changed |= Assign(n.m_X[t], n.m_X[f] + n.m_DX[j]);
      changed |= Assign(n.m_Y[t], n.m_Y[f] + n.m_DY[j]);
    } else {
      changed |= Assign(n.m_X[f], n.m_X[t] - n.m_DX[j]);
      changed |= Assign(n.m_Y[f], n.m_Y[t] - n.m_DY[j]);
    }
  }
  return changed;
}

// The pass-and-scan loop shared by both chainings: one pass, then scan the unknown points;
// at the first undetermined one make another pass and scan again, until every point is
// determined (1) or the pass counter exceeds its limit (0). A pass that changes nothing
// leaves every later pass with nothing to do, so the limit is then reached at once: the
// outcome is the one the full count of passes would give.
template <class Pass, class Undetermined>
int ChainFromKnownPoints(int known, int points, int vectors, Pass pass, Undetermined undetermined) {
  int passes = 1;
  bool settled = vectors <= 0 || !pass();
  for (;;) {
    int first = -1;
    for (int i = known; i < points; ++i) {
      if (passes > kMaxPasses) return 0;
      if (undetermined(i)) {
        first = i;
        break;
      }
    }
    if (first < 0) return 1;
    if (settled) {
      passes = kMaxPasses + 1;
      continue;
    }
    ++passes;
    GetWindowMessage();  // a pass over a large network: the window is painted between passes
    settled = !pass();
  }
}

// Replaces a result file whole (never cut: a later command reads it); "打开文件:%s出错!" when
// it cannot be written.
bool WriteResultFile(const std::string& path, std::initializer_list<std::string_view> content) {
  const bool ok = !vemo::StopRequested() && vemo::WriteFileAtomically(path, content);
  if (!ok && !vemo::StopRequested())
    vemo::ShowMessage(vemo::Format(vemo::UiText(u8"打开文件:%s出错!"), vemo::PathToGbk(path).c_str()), ApplicationTitle());
  return ok;
}

// B, L, H (and the plane x, y) of a point for the vector reduction; false after a message
// naming the point when its coordinates lie outside the conversions' domain.
struct GeodeticPoint {
  double B = 0, L = 0, H = 0, x = 0, y = 0;
};

bool ConvertToGeodetic(GPSTransfer& transfer, double X, double Y, double Z, GeodeticPoint& p) {
  transfer.m_X = X, transfer.m_Y = Y, transfer.m_Z = Z;
  bool ok = transfer.XYZBLH() != 0;
  if (ok) {
    p.B = transfer.m_B, p.L = transfer.m_L, p.H = transfer.m_H;
    ok = transfer.BLXY() != 0;  // BLXY keeps |B| in m_B; B was taken before
    p.x = transfer.m_X, p.y = transfer.m_Y;
  }
  return ok;
}

bool ToGeodetic(GPSTransfer& transfer, double X, double Y, double Z, const std::string& name, GeodeticPoint& p) {
  const bool ok = ConvertToGeodetic(transfer, X, Y, Z, p);
  if (!ok)
    vemo::ShowMessage(vemo::Format(vemo::UiText(u8"点%s的坐标(%.4lf, %.4lf, %.4lf)不能换算为大地坐标!"), name.c_str(), X, Y, Z),
                      ApplicationTitle());
  return ok;
}

// What the reduction of the vectors needs besides the network: the ellipsoid and the
// projection, and B, L, H of every start point (converted once, not once per vector).
struct VectorReduction {
  double a = 0, invF = 0, e2 = 0, L0 = 0;
  std::vector<GeodeticPoint> start;
  std::vector<char> startConverted;
};

// The geodetic and the plane lines of the vectors [begin, end), appended to the two texts.
// Returns end, or the first vector whose start or end point cannot be converted.
size_t ReduceVectors(const CGPS3dNetworkRecord& n, const VectorReduction& r, size_t begin, size_t end, bool pump,
                     std::string& blhText, std::string& planeText) {
  GPSTransfer transfer(0);  // its members are the conversion's scratch: one per thread
  transfer.m_a = r.a;
  transfer.m_InvF = r.invF;
  transfer.m_L0 = r.L0;
  const double rho = 648000.0 / PI;  // seconds of arc per radian
  const char* blhFormat = "%20s %20s %15.9lf %15.9lf %15.4lf %15.9lf %15.9lf %15.9lf %15.9lf %15.9lf %15.9lf\n";
  const char* planeFormat = "%20s %20s %15.4lf %15.4lf %20.9lf %20.9lf %20.9lf\n";
  for (size_t i = begin; i < end; ++i) {
    if (pump) GetWindowMessage();
    const int f = n.m_From[i], t = n.m_To[i];
    if (!r.startConverted[static_cast<size_t>(f)]) return i;
    const GeodeticPoint& p1 = r.start[static_cast<size_t>(f)];
    // The end point from the start point and the observed vector, not from its own coordinates.
    GeodeticPoint p2;
    if (!ConvertToGeodetic(transfer, n.m_X[f] + n.m_DX[i], n.m_Y[f] + n.m_DY[i], n.m_Z[f] + n.m_DZ[i], p2)) return i;
    const double B = (p1.B + p2.B) / 2.0, L = (p1.L + p2.L) / 2.0, H = (p1.H + p2.H) / 2.0;
    const double C[3][3] = {{n.m_Dxx[i], n.m_Dxy[i], n.m_Dxz[i]},
                            {n.m_Dxy[i], n.m_Dyy[i], n.m_Dyz[i]},
                            {n.m_Dxz[i], n.m_Dyz[i], n.m_Dzz[i]}};
    double J[3][3], Q[3][3], K[3][3], R[3][3];
    GeodeticJacobian(B, L, H, r.a, r.e2, J);
    Cov1ToCov2(J, C, Q);
    vemo::AppendFormat(blhText, blhFormat, n.m_PointName[f].c_str(), n.m_PointName[t].c_str(),
                       RadianToDms(p2.B - p1.B, 9), RadianToDms(p2.L - p1.L, 9), p2.H - p1.H, rho * rho * Q[0][0],
                       rho * rho * Q[1][1], Q[2][2], rho * rho * Q[0][1], rho * Q[0][2], rho * Q[1][2]);
    PlaneJacobian(B, WrapLongitude(L - r.L0), r.a, r.e2, K);
    Cov1ToCov2(K, Q, R);
    vemo::AppendFormat(planeText, planeFormat, n.m_PointName[f].c_str(), n.m_PointName[t].c_str(), p2.x - p1.x,
                       p2.y - p1.y, R[0][0], R[1][1], R[0][1]);
  }
  return end;
}

}  // namespace

int GetApproximateGPS3dXYZ(CGPS3dNetworkRecord* network, std::vector<char>* placedPoints) {
  vemo::CWaitCursor wait;
  CGPS3dNetworkRecord& n = *network;
  CheckVectorIndices(n, std::min({n.m_X.size(), n.m_Y.size(), n.m_Z.size(), n.m_PointName.size()}));
  const size_t m = static_cast<size_t>(n.m_VectorCount);
  Require(n.m_DX.size() >= m && n.m_DY.size() >= m && n.m_DZ.size() >= m, "vector component arrays too short");
  std::vector<char> placed(static_cast<size_t>(n.m_PointCount), 0);
  for (int i = 0; i < n.m_PointCount; ++i) {
    if (i < n.m_KnownPointCount) {
      placed[i] = 1;
    } else {
      n.m_X[i] = n.m_Y[i] = n.m_Z[i] = 0.0;
    }
  }
  const int ok = ChainFromKnownPoints(
      n.m_KnownPointCount, n.m_PointCount, n.m_VectorCount, [&] { return ChainPass3d(n, placed); },
      [&](int i) { return !placed[i]; });
  if (!ok) vemo::ShowMessage(vemo::UiText(u8"计算近似坐标错误"), ApplicationTitle());
  if (placedPoints) *placedPoints = std::move(placed);
  return ok;
}

int GetApproximateGPS2dXY(CGPS2dNetworkRecord* network) {
  CGPS2dNetworkRecord& n = *network;
  CheckVectorIndices(n, std::min(n.m_X.size(), n.m_Y.size()));
  Require(n.m_DX.size() >= static_cast<size_t>(n.m_VectorCount) && n.m_DY.size() >= static_cast<size_t>(n.m_VectorCount),
          "vector component arrays too short");
  for (int i = n.m_KnownPointCount; i < n.m_PointCount; ++i) n.m_X[i] = n.m_Y[i] = kPlaneMarker;
  const int ok = ChainFromKnownPoints(
      n.m_KnownPointCount, n.m_PointCount, n.m_VectorCount, [&] { return ChainPass2d(n); },
      [&](int i) { return n.m_X[i] < kPlaneDetermined; });
  if (!ok) vemo::ShowMessage(vemo::UiText(u8"近似坐标计算失败!"), ApplicationTitle());
  return ok;
}

int Cov1ToCov2(const double A[3][3], const double C[3][3], double R[3][3]) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      R[r][c] = 0.0;
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) R[r][c] += A[r][i] * C[i][j] * A[c][j];
    }
  return 1;
}

void RadiiOfCurvature(double B, double a, double e2, double& M, double& N) {
  const double sinB = std::sin(B);
  const double W = std::sqrt(1.0 - e2 * sinB * sinB);
  M = a * (1.0 - e2) / (W * W * W);
  N = a / W;
}

void GeodeticJacobian(double B, double L, double H, double a, double e2, double J[3][3]) {
  const double sinB = std::sin(B), cosB = std::cos(B), sinL = std::sin(L), cosL = std::cos(L);
  double M, N;
  RadiiOfCurvature(B, a, e2, M, N);
  J[0][0] = -cosL * sinB / (M + H), J[0][1] = -sinL * sinB / (M + H), J[0][2] = cosB / (M + H);
  J[1][0] = -sinL / ((N + H) * cosB), J[1][1] = cosL / ((N + H) * cosB), J[1][2] = 0.0;
  J[2][0] = cosB * cosL, J[2][1] = cosB * sinL, J[2][2] = sinB;
}

void PlaneJacobian(double B, double l, double a, double e2, double K[3][3]) {
  const double s = std::sin(B), c = std::cos(B);
  const double W = std::sqrt(1.0 - e2 * s * s);
  const double N = a / W;
  const double as = (1.0 - e2) / (W * W);
  const double t3 = l * l * l * (5.0 - 6.0 * s * s) / 6.0;
  K[0][0] = N * (as + l * l * (1.0 - 2.0 * s * s + c * c * s * s * e2) * 0.5);
  K[0][1] = N * (l + t3) * s * c;
  K[0][2] = 0.0;
  K[1][0] = -s * N * (as * l + t3);
  K[1][1] = c * N * (1.0 + l * l * (c * c * c * c * e2 + 1.0 - 2.0 * s * s) * 0.5);
  K[1][2] = 0.0;
  K[2][0] = 0.0, K[2][1] = 0.0, K[2][2] = 1.0;
}

int GPS3dVectorTo2d(CGPS3dNetworkRecord* network, double a, double invF) {
  const CGPS3dNetworkRecord& n = *network;
  CheckVectorIndices(n, std::min({n.m_X.size(), n.m_Y.size(), n.m_Z.size(), n.m_PointName.size()}));
  const size_t m = static_cast<size_t>(n.m_VectorCount);
  Require(n.m_DX.size() >= m && n.m_DY.size() >= m && n.m_DZ.size() >= m && n.m_Dxx.size() >= m &&
              n.m_Dyy.size() >= m && n.m_Dzz.size() >= m && n.m_Dxy.size() >= m && n.m_Dxz.size() >= m &&
              n.m_Dyz.size() >= m,
          "vector arrays too short");

  const double b = a * (1.0 - 1.0 / invF);
  const CGPSConfiguration* configuration = GlobalConfiguration();
  VectorReduction r;
  r.a = a;
  r.e2 = 1.0 - (b / a) * (b / a);
  r.L0 = configuration ? DmsToRadian(configuration->m_CentralMeridian) : 0.0;
  r.invF = invF;
  GPSTransfer transfer(0);
  transfer.m_a = a;
  transfer.m_InvF = invF;
  transfer.m_L0 = r.L0;
  r.start.resize(static_cast<size_t>(n.m_PointCount));
  r.startConverted.assign(static_cast<size_t>(n.m_PointCount), 0);
  std::vector<char> isStart(static_cast<size_t>(n.m_PointCount), 0);
  for (size_t i = 0; i < m; ++i) isStart[static_cast<size_t>(n.m_From[i])] = 1;
  for (size_t p = 0; p < isStart.size(); ++p)
    if (isStart[p])
      r.startConverted[p] = ConvertToGeodetic(transfer, n.m_X[p], n.m_Y[p], n.m_Z[p], r.start[p]) ? 1 : 0;

  // The two halves of a national network's vectors are reduced side by side: the lines are
  // the same, joined in their order. The first half stays on this thread, which keeps the
  // window painted.
  const size_t half = m >= kVectorsWorthAThread ? m / 2 : m;
  std::string blhText, planeText, blhRest, planeRest;
  size_t restStop = m;
  // The lines' lengths with names of up to 20 bytes: the texts are not copied as they grow,
  // and they are taken on this thread, whose memory goes back to the system once freed.
  blhText.reserve(half * 186), planeText.reserve(half * 137);
  blhRest.reserve((m - half) * 186), planeRest.reserve((m - half) * 137);
  std::exception_ptr restFailure;
  std::thread rest;
  if (half < m)
    rest = std::thread([&] {
      try {
        restStop = ReduceVectors(n, r, half, m, false, blhRest, planeRest);
      } catch (...) {
        restFailure = std::current_exception();
      }
    });
  size_t stop = m;
  try {
    stop = ReduceVectors(n, r, 0, half, true, blhText, planeText);
  } catch (...) {
    if (rest.joinable()) rest.join();
    throw;
  }
  if (rest.joinable()) rest.join();
  if (restFailure) std::rethrow_exception(restFailure);
  if (stop == half) stop = restStop;
  if (stop < m) {
    // The message of the sequential reduction: the first vector whose start, or else whose
    // end, cannot be converted.
    const int f = n.m_From[stop], t = n.m_To[stop];
    GeodeticPoint p;
    if (ToGeodetic(transfer, n.m_X[f], n.m_Y[f], n.m_Z[f], n.m_PointName[f], p))
      ToGeodetic(transfer, n.m_X[f] + n.m_DX[stop], n.m_Y[f] + n.m_DY[stop], n.m_Z[f] + n.m_DZ[stop],
                 n.m_PointName[t], p);
    return 0;
  }
  const std::string& dir = GlobalProjectDir();
  const std::string& name = GlobalProjectName();
  const std::string planePath = vemo::ProjectFileName(dir, name, vemo::Extension(vemo::ProjectFile::Vector2d, n.m_Variant));
  const std::string blhPath = vemo::ProjectFileName(dir, name, vemo::Extension(vemo::ProjectFile::BLHVector3d, n.m_Variant));
  if (!WriteResultFile(planePath, {planeText, planeRest}) || !WriteResultFile(blhPath, {blhText, blhRest})) return 0;
  return 1;
}
