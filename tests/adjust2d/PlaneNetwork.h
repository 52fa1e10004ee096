// A generated plane network for the tests and the benchmark of the plane adjustment: true
// ground coordinates on a jittered grid of about 2 km, vectors to the grid neighbours in
// shuffled order and direction, carried into a GPS frame that differs from the ground grid by
// a rotation and a scale, each with a 2 x 2 covariance (3 mm + 0.5 ppm, a small correlation)
// and noise drawn from it; ground distances and azimuths between neighbours; approximate
// coordinates in the GPS frame, as the 3D adjustment writes them.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "geodesy/Angles.h"
#include "geodesy/Format.h"

namespace vemo::test {

struct PlaneObservation {
  int from, to;
  double value, sd;  // distance m and cm, or azimuth rad and seconds
};

struct PlaneVector {
  int from, to;
  double dx, dy;         // GPS frame, m
  double xx, yy, xy;     // covariance, m²
};

struct PlaneNetwork {
  std::vector<std::string> names;
  std::vector<double> X, Y;  // true ground coordinates, m
  std::vector<int> known;    // in the order of the known file
  std::vector<PlaneVector> vectors;
  std::vector<PlaneObservation> distances, azimuths;
  double rotation = 0;  // GPS -> ground, rad
  double scale = 1;     // GPS -> ground
};

struct PlaneNetworkOptions {
  int points = 100;
  unsigned seed = 1;
  int knownCount = 3;
  double rotationSeconds = 3.5;
  double scalePpm = 25.0;
  double noise = 1.0;  // multiple of the covariance's standard errors
  int distances = 5, azimuths = 3;
  double distanceSdCm = 1.0, azimuthSdSeconds = 2.0;
};

inline PlaneNetwork MakePlaneNetwork(const PlaneNetworkOptions& o) {
  constexpr double kSpacing = 2000.0;
  std::mt19937_64 rng(o.seed);
  std::uniform_real_distribution<double> jitter(-300.0, 300.0), unit(0.0, 1.0);
  std::normal_distribution<double> gauss(0.0, 1.0);
  PlaneNetwork net;
  net.rotation = o.rotationSeconds / 206264.80624709636;
  net.scale = 1.0 + o.scalePpm * 1e-6;
  const int columns = std::max(2, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(o.points)))));
  for (int p = 0; p < o.points; ++p) {
    const int r = p / columns, c = p % columns;
    net.names.push_back(Format("Q%04d", p + 1));
    net.X.push_back(3400000.0 + r * kSpacing + jitter(rng));
    net.Y.push_back(500000.0 + c * kSpacing + jitter(rng));
  }
  const int rows = (o.points + columns - 1) / columns;
  for (int p : {0, (rows - 1) * columns + columns - 1, columns - 1, (rows - 1) * columns, columns / 2})
    if (static_cast<int>(net.known.size()) < o.knownCount && p < o.points &&
        std::find(net.known.begin(), net.known.end(), p) == net.known.end())
      net.known.push_back(p);

  std::vector<std::pair<int, int>> pairs;
  for (int p = 0; p < o.points; ++p) {
    const int r = p / columns, c = p % columns;
    for (auto [dr, dc] : {std::pair{0, 1}, {1, 0}, {1, 1}}) {
      const int rr = r + dr, cc = c + dc;
      if (cc >= columns || rr * columns + cc >= o.points) continue;
      pairs.push_back(unit(rng) < 0.5 ? std::pair{p, rr * columns + cc} : std::pair{rr * columns + cc, p});
    }
  }
  std::shuffle(pairs.begin(), pairs.end(), rng);
  const double cw = std::cos(net.rotation), sw = std::sin(net.rotation);
  for (auto [f, t] : pairs) {
    const double gx = net.X[t] - net.X[f], gy = net.Y[t] - net.Y[f];
    const double d = std::hypot(gx, gy);
    const double sigma = 0.003 + 0.5e-6 * d, rho = 0.1;  // m
    const double z1 = gauss(rng), z2 = gauss(rng);
    const double nx = sigma * z1 * o.noise, ny = sigma * (rho * z1 + std::sqrt(1 - rho * rho) * z2) * o.noise;
    // ground = scale R(rotation) gps, so gps = R(-rotation) ground / scale.
    net.vectors.push_back({f, t, (cw * gx - sw * gy) / net.scale + nx, (sw * gx + cw * gy) / net.scale + ny,
                           sigma * sigma, sigma * sigma * 1.2, rho * sigma * sigma});
  }
  for (int j = 0; j < o.distances && j < static_cast<int>(pairs.size()); ++j) {
    const auto [f, t] = pairs[pairs.size() - 1 - j];
    const double d = std::hypot(net.X[t] - net.X[f], net.Y[t] - net.Y[f]);
    net.distances.push_back({f, t, d + o.noise * o.distanceSdCm / 100.0 * gauss(rng), o.distanceSdCm});
  }
  for (int j = 0; j < o.azimuths && j < static_cast<int>(pairs.size()); ++j) {
    const auto [f, t] = pairs[pairs.size() / 2 + j];
    double a = std::atan2(net.Y[t] - net.Y[f], net.X[t] - net.X[f]);
    if (a < 0) a += 2 * PI;
    a += o.noise * o.azimuthSdSeconds / 206264.80624709636 * gauss(rng);
    net.azimuths.push_back({f, t, a, o.azimuthSdSeconds});
  }
  return net;
}

// Writes the plane adjustment's inputs "<dir>/<name>.GPS2dKnownXY", ".GPS2dVector",
// ".GPS3dXYH" (the GPS frame about the first point, shifted, with decimetre noise),
// ".GPS2dDistance" and ".GPS2dAzimuth" (only when there are such observations).
inline void WritePlaneProject(const PlaneNetwork& net, const std::string& dir, const std::string& name,
                              unsigned seed = 7) {
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> gauss(0.0, 0.05);
  std::string known, vectors, xyh, distances, azimuths;
  for (int p : net.known) known += Format("%s %.10f %.10f\n", net.names[p].c_str(), net.X[p], net.Y[p]);
  for (const PlaneVector& v : net.vectors)
    vectors += Format("%16s %16s %20.10f %20.10f %.12e %.12e %.12e\n", net.names[v.from].c_str(),
                      net.names[v.to].c_str(), v.dx, v.dy, v.xx, v.yy, v.xy);
  const double cw = std::cos(net.rotation), sw = std::sin(net.rotation);
  for (size_t p = 0; p < net.names.size(); ++p) {
    const double gx = net.X[p] - net.X[0], gy = net.Y[p] - net.Y[0];
    xyh += Format("%8s %15.4lf %15.4lf %15.4lf\n", net.names[p].c_str(),
                  net.X[0] + 12.0 + (cw * gx - sw * gy) / net.scale + gauss(rng),
                  net.Y[0] - 7.0 + (sw * gx + cw * gy) / net.scale + gauss(rng), 50.0);
  }
  for (const auto& d : net.distances)
    distances += Format("%s %s %.10f %.4f\n", net.names[d.from].c_str(), net.names[d.to].c_str(), d.value, d.sd);
  for (const auto& a : net.azimuths)
    azimuths += Format("%s %s %.14f %.4f\n", net.names[a.from].c_str(), net.names[a.to].c_str(),
                       RadianToDms(a.value), a.sd);
  auto write = [&](const char* extension, const std::string& text) {
    std::FILE* f = std::fopen((dir + "/" + name + "." + extension).c_str(), "w");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  };
  write("GPS2dKnownXY", known);
  write("GPS2dVector", vectors);
  write("GPS3dXYH", xyh);
  if (!net.distances.empty()) write("GPS2dDistance", distances);
  if (!net.azimuths.empty()) write("GPS2dAzimuth", azimuths);
}

}  // namespace vemo::test
