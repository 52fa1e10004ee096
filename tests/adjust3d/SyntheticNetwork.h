// A generated GPS network for the tests and the benchmark of the 3D adjustment: true positions
// on a jittered grid of about 2 km around 30°30'N 114°18'E on the WGS-84 ellipsoid, vectors
// to the grid neighbours (about five per point) in shuffled order and direction, each with a
// full 3 x 3 covariance from a receiver model (a + b·d, vertical twice the horizontal, a small
// north-east correlation) and an observation error drawn from that covariance.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "geodesy/Angles.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"

namespace vemo::test {

struct SyntheticVector {
  int from, to;
  double dx, dy, dz;              // observed, m
  std::array<double, 6> cov;      // xx, yy, zz, xy, xz, yz, cm²
};

struct SyntheticNetwork {
  std::vector<std::string> names;
  std::vector<double> x, y, z;  // true geocentric coordinates, m
  std::vector<int> known;       // indices of the known points, in the order of the known file
  std::vector<SyntheticVector> vectors;
};

// The geocentric X, Y, Z of a point given in D.MMSS and metres on the WGS-84 ellipsoid.
inline std::array<double, 3> Wgs84Geocentric(double Bdms, double Ldms, double H) {
  GPSTransfer t(0);
  t.m_a = 6378137.0, t.m_InvF = 298.257223563;
  t.m_B = DmsToRadian(Bdms), t.m_L = DmsToRadian(Ldms), t.m_H = H;
  t.BLHXYZ();
  return {t.m_X, t.m_Y, t.m_Z};
}

inline SyntheticNetwork MakeSyntheticNetwork(int points, unsigned seed, double noiseScale = 1.0,
                                             int knownCount = 3, double kSpacing = 2000.0 /* m */) {
  constexpr double kFixedMm = 3.0, kPpm = 0.5;      // receiver model
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> jitter(-300.0, 300.0), heights(20.0, 80.0), unit(0.0, 1.0);
  std::normal_distribution<double> gauss(0.0, 1.0);
  SyntheticNetwork net;
  const int columns = std::max(2, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(points)))));
  const double B0 = DmsToRadian(30.30), L0 = DmsToRadian(114.18), metresPerRadian = 6371000.0;
  GPSTransfer t(0);
  t.m_a = 6378137.0;
  t.m_InvF = 298.257223563;
  std::vector<double> lat(points), lon(points);
  for (int p = 0; p < points; ++p) {
    const int r = p / columns, c = p % columns;
    lat[p] = B0 + (r * kSpacing + jitter(rng)) / metresPerRadian;
    lon[p] = L0 + (c * kSpacing + jitter(rng)) / (metresPerRadian * std::cos(B0));
    t.m_B = lat[p], t.m_L = lon[p], t.m_H = heights(rng);
    t.BLHXYZ();
    net.names.push_back(Format("P%04d", p + 1));
    net.x.push_back(t.m_X), net.y.push_back(t.m_Y), net.z.push_back(t.m_Z);
  }
  // Known points spread over the area: the first and the last of the first row, the first of
  // the last row (more when asked).
  const int rows = (points + columns - 1) / columns;
  for (int p : {0, columns - 1, (rows - 1) * columns, points - 1, columns / 2})
    if (static_cast<int>(net.known.size()) < knownCount && p < points &&
        std::find(net.known.begin(), net.known.end(), p) == net.known.end())
      net.known.push_back(p);

  std::vector<std::pair<int, int>> pairs;
  for (int p = 0; p < points; ++p) {
    const int r = p / columns, c = p % columns;
    for (auto [dr, dc] : {std::pair{0, 1}, {1, 0}, {1, 1}, {1, -1}, {2, 1}}) {
      const int rr = r + dr, cc = c + dc;
      if (cc < 0 || cc >= columns || rr * columns + cc >= points) continue;
      pairs.push_back(unit(rng) < 0.5 ? std::pair{p, rr * columns + cc} : std::pair{rr * columns + cc, p});
    }
  }
  std::shuffle(pairs.begin(), pairs.end(), rng);
  for (auto [f, to] : pairs) {
    const double tx = net.x[to] - net.x[f], ty = net.y[to] - net.y[f], tz = net.z[to] - net.z[f];
    const double d = std::sqrt(tx * tx + ty * ty + tz * tz);
    const double sh = (kFixedMm + kPpm * d / 1000.0) / 10.0, sv = 2.0 * sh, rho = 0.1;  // cm
    // Local east, north, up at the from-point, and the covariance rotated into X, Y, Z.
    const double b = lat[f], l = lon[f];
    const double R[3][3] = {{-std::sin(l), -std::sin(b) * std::cos(l), std::cos(b) * std::cos(l)},
                            {std::cos(l), -std::sin(b) * std::sin(l), std::cos(b) * std::sin(l)},
                            {0.0, std::cos(b), std::sin(b)}};
    const double local[3][3] = {{sh * sh, rho * sh * sh, 0}, {rho * sh * sh, sh * sh, 0}, {0, 0, sv * sv}};
    double C[3][3] = {};
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k)
          for (int m = 0; m < 3; ++m) C[i][j] += R[i][k] * local[k][m] * R[j][m];
    // Noise with that covariance: local Cholesky factor, rotated.
    const double z1 = gauss(rng), z2 = gauss(rng), z3 = gauss(rng);
    const double e = sh * z1, n = sh * (rho * z1 + std::sqrt(1.0 - rho * rho) * z2), u = sv * z3;  // cm
    double noise[3];
    for (int i = 0; i < 3; ++i) noise[i] = (R[i][0] * e + R[i][1] * n + R[i][2] * u) / 100.0 * noiseScale;
    net.vectors.push_back({f, to, tx + noise[0], ty + noise[1], tz + noise[2],
                           {C[0][0], C[1][1], C[2][2], C[0][1], C[0][2], C[1][2]}});
  }
  return net;
}

// Writes "<dir>/<name>.GPS3dKnownXYZ" and "<dir>/<name>.GPS3dVector" as the entry dialog and
// the baseline import write them; every covariance multiplied by covarianceScale.
inline void WriteSyntheticProject(const SyntheticNetwork& net, const std::string& dir, const std::string& name,
                                  double covarianceScale = 1.0) {
  std::string known, vectors;
  for (int p : net.known)
    known += Format("%20s %20.9lf %20.9lf %20.9lf\n", net.names[p].c_str(), net.x[p], net.y[p], net.z[p]);
  for (const SyntheticVector& v : net.vectors) {
    const auto& c = v.cov;
    vectors += Format("%16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n",
                      net.names[v.from].c_str(), net.names[v.to].c_str(), v.dx, v.dy, v.dz, c[0] * covarianceScale,
                      c[1] * covarianceScale, c[2] * covarianceScale, c[3] * covarianceScale, c[4] * covarianceScale,
                      c[5] * covarianceScale);
  }
  auto write = [&](const char* extension, const std::string& text) {
    std::FILE* f = std::fopen((dir + "/" + name + "." + extension).c_str(), "w");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  };
  write("GPS3dKnownXYZ", known);
  write("GPS3dVector", vectors);
}

}  // namespace vemo::test
