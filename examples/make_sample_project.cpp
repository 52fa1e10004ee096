// Generates the sample project: from one set of true coordinates of 15 points (3 of them
// known), the files a survey of them would give, with realistic noise:
//   - seven observation periods of four receivers each, one synchronous baseline file each
//     ("S01.GPS3DVector_S" ...), the covariance of each baseline from a receiver model;
//   - the independent baseline file (".GPS3dVector", chain rule) formed from them;
//   - known 3D points (".GPS3dKnownXYZ", one as B, L, H on the project ellipsoid, two as X,
//     Y, Z), known plane points (".GPS2dKnownXY", on the project's projection with its add
//     constants) and known normal heights (".GPS1dKnownH", from a smooth height anomaly),
//     written as the entry dialogs write them;
//   - ground distances and azimuths (".GPS2dDistance", ".GPS2dAzimuth");
//   - a tunnel guide file (".gti") and the design files of a planned network
//     ("design/plan.xyz", "design/plan.line");
//   - "truth.txt": the true coordinates, to judge the results against.
// The project itself must exist (new-project); its ellipsoid, central meridian, projection and
// constants are those the files are computed on.
//
// With --campaign 2 it writes the same survey repeated later, for deformation monitoring: the
// first campaign's truth moved by a translation (which the vectors of a campaign cannot see)
// with P05 and P09 moved by a few centimetres, observed with new noise.
//
// Usage: make_sample_project --project FILE.prj [--seed N] [--campaign 1|2]
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "project/AppState.h"
#include "baselines/IndependentBaselines.h"
#include "app/cli/ConsoleHost.h"
#include "project/data/EntryDialogs.h"
#include "project/ProjectDialogs.h"
#include "geodesy/Angles.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"

namespace {
namespace fs = std::filesystem;
using vemo::Format;

// The WGS-84 frame of the baselines.
constexpr double kWgs84A = 6378137.0, kWgs84InvF = 298.257223563;

struct Point {
  const char* name;
  double north, east;  // offset from the centre of the area, m
  double height;       // ellipsoidal height, m
  double x = 0, y = 0, z = 0;   // true geocentric coordinates (WGS-84), m
  double b = 0, l = 0, h = 0;   // geodetic on the project ellipsoid, radians and m
  double gridX = 0, gridY = 0;  // plane coordinates with the add constants, m
};

// A survey area of about 12 x 10 km around 30°30'N, 114°18'E.
std::vector<Point> TruePoints() {
  return {{"K01", -4200, -3900, 32.512},  {"K02", 4600, -3100, 41.207},  {"K03", 300, 5200, 27.884},
          {"P01", -2900, -800, 35.120},   {"P02", -1500, -4600, 30.417}, {"P03", -300, -2200, 36.902},
          {"P04", 1800, -4400, 44.615},   {"P05", 2600, -1300, 38.333},  {"P06", 5200, 600, 46.071},
          {"P07", 3100, 2400, 33.748},    {"P08", 1200, 300, 29.560},    {"P09", -1100, 2900, 25.194},
          {"P10", -3600, 1700, 28.803},   {"P11", 2400, 5600, 31.466},   {"P12", -2800, 4700, 24.039}};
}

// Observation periods: four receivers each, the network connected through shared points.
const std::vector<std::vector<int>> kPeriods = {
    {0, 3, 4, 5}, {5, 6, 7, 1}, {1, 8, 9, 10}, {10, 11, 12, 2}, {2, 13, 14, 0}, {3, 5, 10, 12}, {7, 10, 9, 13}};

// Receiver model of the baseline solutions: a + b·d horizontally, twice that vertically.
constexpr double kReceiverFixedMm = 3.0, kReceiverPpm = 0.5;
// Centring error of a receiver over its mark, per period, mm.
constexpr double kCentringMm = 1.0;

class Generator {
 public:
  explicit Generator(unsigned seed) : m_Rng(seed) {}

  double Gauss(double sigma) { return std::normal_distribution<double>(0.0, sigma)(m_Rng); }

  // True geometry: positions on the WGS-84 ellipsoid, then geodetic and plane coordinates on
  // the project's ellipsoid and projection.
  void Place(std::vector<Point>& points, int campaign = 1) {
    const CGPSConfiguration& c = vemo::Project().configuration;
    const double b0 = DmsToRadian(30.30), l0 = DmsToRadian(114.18);
    GPSTransfer wgs(0);
    wgs.m_a = kWgs84A, wgs.m_InvF = kWgs84InvF;
    GPSTransfer local(0);
    local.m_a = c.m_CurrentCoorsSystem.m_a, local.m_InvF = c.m_CurrentCoorsSystem.m_InvF;
    local.m_L0 = DmsToRadian(c.m_CentralMeridian);
    const double metresPerRadian = 6371000.0;
    for (auto& p : points) {
      wgs.m_B = b0 + p.north / metresPerRadian;
      wgs.m_L = l0 + p.east / (metresPerRadian * std::cos(b0));
      wgs.m_H = p.height;
      wgs.BLHXYZ();
      p.x = wgs.m_X, p.y = wgs.m_Y, p.z = wgs.m_Z;
      if (campaign == 2) MoveForSecondCampaign(p, wgs.m_B, wgs.m_L);
      local.m_X = p.x, local.m_Y = p.y, local.m_Z = p.z;
      local.XYZBLH();
      p.b = local.m_B, p.l = local.m_L, p.h = local.m_H;
      local.BLXY();
      p.gridX = local.m_X + 1000.0 * c.m_XConstant;
      p.gridY = local.m_Y + 1000.0 * c.m_YConstant;
    }
  }

  // The second campaign's truth: the whole network shifted by (6.2, -4.1, 3.5) cm in X, Y, Z,
  // P05 moved 2.5 cm east and 1.5 cm north, P09 sunk by 3 cm (local axes at the point, whose
  // geodetic latitude and longitude are b and l).
  static void MoveForSecondCampaign(Point& p, double b, double l) {
    double east = 0.0, north = 0.0, up = 0.0;
    if (std::string(p.name) == "P05") east = 0.025, north = 0.015;
    if (std::string(p.name) == "P09") up = -0.030;
    const double sb = std::sin(b), cb = std::cos(b), sl = std::sin(l), cl = std::cos(l);
    p.x += 0.062 - sl * east - sb * cl * north + cb * cl * up;
    p.y += -0.041 + cl * east - sb * sl * north + cb * sl * up;
    p.z += 0.035 + cb * north + sb * up;
  }

  // Local north, east, up axes at a point, as geocentric unit vectors.
  static void LocalAxes(const Point& p, double axes[3][3]) {
    const double sb = std::sin(p.b), cb = std::cos(p.b), sl = std::sin(p.l), cl = std::cos(p.l);
    const double a[3][3] = {{-sb * cl, -sb * sl, cb}, {-sl, cl, 0.0}, {cb * cl, cb * sl, sb}};
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < 3; ++i) axes[k][i] = a[k][i];
  }

  // One baseline of a period: the difference of the two receivers' positions as the period
  // solved them (geocentric, m), and the covariance of the receiver model reported with it
  // (cm²). The vectors of one period share their receivers' errors, so that its loops close.
  static std::string Baseline(const Point& from, const Point& to, const double observedFrom[3],
                              const double observedTo[3]) {
    const double d[3] = {to.x - from.x, to.y - from.y, to.z - from.z};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const double sh = (kReceiverFixedMm + kReceiverPpm * length / 1000.0) / 10.0;  // cm
    const double sigma[3] = {sh, sh, 2.0 * sh};                                       // north, east, up
    double axes[3][3];
    LocalAxes(from, axes);
    double cov[3][3] = {};
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) cov[i][j] += sigma[k] * sigma[k] * axes[k][i] * axes[k][j];
    double v[3];
    for (int i = 0; i < 3; ++i) v[i] = observedTo[i] - observedFrom[i];
    return Format("%16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n",
                  from.name, to.name, v[0], v[1], v[2], cov[0][0], cov[1][1], cov[2][2], cov[0][1], cov[0][2],
                  cov[1][2]);
  }

  std::vector<std::string> WritePeriods(const std::vector<Point>& points, const std::string& dir) {
    std::vector<std::string> files;
    for (size_t s = 0; s < kPeriods.size(); ++s) {
      const auto& receivers = kPeriods[s];
      // Each receiver's position as the period solved it: the truth, a scale error of the
      // period about its first receiver, the centring error and the receiver's own noise
      // (the receiver model's fixed part shared out over the two ends of a baseline).
      const double scale = Gauss(kReceiverPpm / std::sqrt(2.0)) * 1e-6;
      const Point& origin = points[receivers[0]];
      std::vector<std::array<double, 3>> observed(receivers.size());
      for (size_t r = 0; r < receivers.size(); ++r) {
        const Point& p = points[receivers[r]];
        const double truth[3] = {p.x, p.y, p.z}, base[3] = {origin.x, origin.y, origin.z};
        double axes[3][3];
        LocalAxes(p, axes);
        double error[3] = {};
        for (int i = 0; i < 3; ++i) error[i] = Gauss(kCentringMm) / 1000.0;
        const double receiverMm = kReceiverFixedMm / std::sqrt(2.0);
        const double own[3] = {Gauss(receiverMm), Gauss(receiverMm), Gauss(2.0 * receiverMm)};  // n, e, u
        for (int k = 0; k < 3; ++k)
          for (int i = 0; i < 3; ++i) error[i] += own[k] / 1000.0 * axes[k][i];
        for (int i = 0; i < 3; ++i) observed[r][i] = truth[i] + scale * (truth[i] - base[i]) + error[i];
      }
      std::string text;
      for (size_t i = 0; i < receivers.size(); ++i)
        for (size_t j = i + 1; j < receivers.size(); ++j)
          text += Baseline(points[receivers[i]], points[receivers[j]], observed[i].data(), observed[j].data());
      files.push_back(Format("%s/S%02zu.GPS3DVector_S", dir.c_str(), s + 1));
      Write(files.back(), text);
    }
    return files;
  }

  static void Write(const std::string& path, const std::string& text) {
    std::string error;
    if (!vemo::WriteFileAtomically(path, text, &error)) {
      std::fprintf(stderr, "make_sample_project: cannot write %s: %s\n", path.c_str(), error.c_str());
      std::exit(1);
    }
  }

  // Writes a data file as its entry dialog does on "确认".
  static void WriteEntry(vemo::EntryKind kind, const std::vector<std::vector<std::string>>& rows) {
    vemo::CEntryGridRecord grid;
    vemo::OpenEntryDialog(kind, grid);
    grid.rows = rows;
    if (!vemo::AcceptEntryDialog(grid)) std::exit(1);
  }

 private:
  std::mt19937_64 m_Rng;
};

std::string Number(const char* format, double v) { return Format(format, v); }

}  // namespace

int main(int argc, char** argv) {
  std::string prj;
  unsigned seed = 1;
  int campaign = 1;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--project" && i + 1 < argc) prj = argv[++i];
    else if (a == "--seed" && i + 1 < argc) seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    else if (a == "--campaign" && i + 1 < argc && (std::string(argv[i + 1]) == "1" || std::string(argv[i + 1]) == "2"))
      campaign = std::atoi(argv[++i]);
    else {
      std::fprintf(stderr, "usage: make_sample_project --project FILE.prj [--seed N] [--campaign 1|2]\n");
      return 2;
    }
  }
  if (prj.empty()) {
    std::fprintf(stderr, "usage: make_sample_project --project FILE.prj [--seed N] [--campaign 1|2]\n");
    return 2;
  }
  vemo::ConsoleHost host;
  vemo::InstallPlatformHost(&host);
  if (!vemo::OpenProject(prj)) return 1;
  const std::string dir = vemo::Project().projectDir;
  const CGPSConfiguration& c = vemo::Project().configuration;

  // The second campaign is observed anew: other noise.
  Generator g(campaign == 2 ? seed + 7919 : seed);
  std::vector<Point> points = TruePoints();
  g.Place(points, campaign);

  // Baselines of every period, then the independent baseline file of the project.
  std::vector<std::string> periods = g.WritePeriods(points, dir);
  if (!vemo::FormIndependentBaselines(periods, vemo::IndependentRule::Chain, false)) return 1;

  // Known 3D points in the frame of the baselines: K01 as B, L, H (D.MMSS) on the project
  // ellipsoid, which the loader converts back; K02 and K03 as X, Y, Z.
  const Point &k1 = points[0], &k2 = points[1], &k3 = points[2];
  g.WriteEntry(vemo::EntryKind::KnownXYZ,
               {{k1.name, Number("%.9lf", RadianToDms(k1.b)), Number("%.9lf", RadianToDms(k1.l)), Number("%.4lf", k1.h)},
                {k2.name, Number("%.4lf", k2.x), Number("%.4lf", k2.y), Number("%.4lf", k2.z)},
                {k3.name, Number("%.4lf", k3.x), Number("%.4lf", k3.y), Number("%.4lf", k3.z)}});
  // Known plane points of the local grid, with a few millimetres of their own survey's error.
  std::vector<std::vector<std::string>> plane;
  for (const Point* p : {&k1, &k2, &k3})
    plane.push_back({p->name, Number("%.4lf", p->gridX + g.Gauss(0.003)), Number("%.4lf", p->gridY + g.Gauss(0.003))});
  g.WriteEntry(vemo::EntryKind::KnownXY, plane);
  // Normal heights: the ellipsoidal height less a smooth height anomaly (about 12 m, sloping
  // 2.5 cm/km northwards and 1.5 cm/km eastwards, bending by a few cm across the area, so
  // that the surface model of the height fit has something to find), levelled to a few mm.
  // The last three points draw their noise from a generator of their own, so that the files
  // after this one keep the noise they had before these points were added.
  auto anomaly = [](const Point& p) {
    return 12.0 + 2.5e-5 * p.north + 1.5e-5 * p.east + 1.5e-9 * p.north * p.north - 1e-9 * p.east * p.east +
           8e-10 * p.north * p.east;
  };
  std::vector<std::vector<std::string>> heights;
  for (int i : {0, 1, 2, 5, 9, 12, 14}) {
    const Point& p = points[i];
    heights.push_back({p.name, Number("%.4lf", p.h - anomaly(p) + g.Gauss(0.004))});
  }
  Generator levelling(seed + 1000);
  for (int i : {7, 10, 13}) {
    const Point& p = points[i];
    heights.push_back({p.name, Number("%.4lf", p.h - anomaly(p) + levelling.Gauss(0.004))});
  }
  g.WriteEntry(vemo::EntryKind::KnownH, heights);
  // Ground distances (EDM, 5 mm) and azimuths (2") of a few sides.
  std::vector<std::vector<std::string>> distances, azimuths;
  for (auto [i, j] : {std::pair{3, 5}, std::pair{7, 10}, std::pair{11, 12}}) {
    const Point &a = points[i], &b = points[j];
    const double s = std::hypot(b.gridX - a.gridX, b.gridY - a.gridY);
    distances.push_back({a.name, b.name, Number("%.4lf", s + g.Gauss(0.005)), "0.5"});
  }
  for (auto [i, j] : {std::pair{0, 3}, std::pair{2, 13}}) {
    const Point &a = points[i], &b = points[j];
    const double azimuth = Azimuth(b.gridX - a.gridX, b.gridY - a.gridY) + g.Gauss(2.0 / 206264.806);
    azimuths.push_back({a.name, b.name, Number("%.6lf", RadianToDms(azimuth)), "2.0"});
  }
  g.WriteEntry(vemo::EntryKind::Distance, distances);
  g.WriteEntry(vemo::EntryKind::Azimuth, azimuths);

  // A tunnel from P02 (sighting P04) to P03 (sighting P01), holed through half-way; the
  // lateral error is measured across the tunnel axis.
  {
    const Point &entry = points[4], &exit = points[5];
    const double bx = (entry.gridX + exit.gridX) / 2, by = (entry.gridY + exit.gridY) / 2;
    const double across = std::fmod(Azimuth(exit.gridX - entry.gridX, exit.gridY - entry.gridY) + PI / 2, 2 * PI);
    g.Write(vemo::CurrentProjectFile("gti"),
            Format("%s %s %s %s %s %.4lf %.4lf %.6lf\n", entry.name, points[6].name, exit.name, points[3].name, "BP1",
                   bx, by, RadianToDms(across)));
  }

  // A planned densification network: design coordinates and planned baselines.
  fs::create_directories(dir + "/design");
  std::string xyz = Format("%.1lf %.1lf %.1lf\n", 5.0, 1.0, 1.0);
  for (const auto& p : points) xyz += Format("%s %.4lf %.4lf %.4lf\n", p.name, p.x, p.y, p.z);
  std::string lines;
  for (const auto& period : kPeriods)
    for (size_t i = 0; i + 1 < period.size(); ++i) lines += Format("%s %s\n", points[period[i]].name, points[period[i + 1]].name);
  g.Write(dir + "/design/plan.xyz", xyz);
  g.Write(dir + "/design/plan.line", lines);

  std::string truth = Format("# true coordinates: WGS-84 X Y Z (m); on %s: B L (D.MMSS) H (m); plane x y (m)\n",
                             c.m_CurrentCoorsSystem.m_Name.c_str());
  for (const auto& p : points)
    truth += Format("%-4s %15.4lf %15.4lf %15.4lf %15.9lf %15.9lf %9.4lf %14.4lf %14.4lf\n", p.name, p.x, p.y, p.z,
                    RadianToDms(p.b), RadianToDms(p.l), p.h, p.gridX, p.gridY);
  g.Write(dir + "/truth.txt", truth);
  std::printf("sample project %s: %zu points, %zu observation periods (seed %u)\n", prj.c_str(), points.size(),
              kPeriods.size(), seed);
  vemo::InstallPlatformHost(nullptr);
  return 0;
}
