// Writes the baselines of synchronous baseline files as the receiver makers' processing
// software exports them, so that the sample project's periods can arrive through the
// importers ("读取同步基线数据") as a survey's would:
//   trimble  the data-exchange text ("[General]" ... "Vector=1:?:FROM:TO:dX:dY:dZ:" and the
//            covariance in m² as xx, xy, xz, yy, yz, zz), "<period>.asc";
//   leica    the "@" records ("@#" stations, "@+" from-station, "@-" to-station and vector,
//            "@=" s0 and cofactors XX, XY, XZ, YY, YZ, ZZ), "<period>.asc";
//   gamit    the O-file baseline summary lines in their fixed columns (components and sigmas
//            in m, the three correlations), after the marker line, "<period>.txt".
// The vectors and their covariance (cm²) are those of each synchronous file given; the
// station coordinates of the Leica records come from --stations (lines "name X Y Z ...", the
// generator's truth.txt).
//
// Usage: make_baseline_exports --format trimble|leica|gamit [--stations FILE] --out DIR
//            SYNC_FILE...
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "geodesy/BaselineImport.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"

namespace {
namespace fs = std::filesystem;
using vemo::Format;

struct Vector {
  std::string from, to;
  double d[3];
  double c[6];  // XX, YY, ZZ, XY, XZ, YZ (cm²)
};

using Stations = std::map<std::string, std::array<double, 3>>;

// The items "%s %s" and nine numbers of every line that has them.
std::vector<Vector> ReadVectors(const std::string& text) {
  std::vector<Vector> vectors;
  for (const auto& line : vemo::baseline::SplitLines(text)) {
    Vector v;
    if (vemo::baseline::Scan(line, "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf",
                             {&v.from, &v.to, &v.d[0], &v.d[1], &v.d[2], &v.c[0], &v.c[1], &v.c[2], &v.c[3],
                              &v.c[4], &v.c[5]}) == 11)
      vectors.push_back(v);
  }
  return vectors;
}

Stations ReadStations(const std::string& text) {
  Stations stations;
  for (const auto& line : vemo::baseline::SplitLines(text)) {
    std::string name;
    std::array<double, 3> xyz;
    if (vemo::baseline::Scan(line, "%s %lf %lf %lf", {&name, &xyz[0], &xyz[1], &xyz[2]}) == 4) stations[name] = xyz;
  }
  return stations;
}

// Covariance in m² in the order xx, xy, xz, yy, yz, zz.
std::string ExchangeCovariance(const Vector& v) {
  const double m2[6] = {v.c[0], v.c[3], v.c[4], v.c[1], v.c[5], v.c[2]};
  std::string text;
  for (double e : m2) text += Format(":%.10e", e / 10000.0);
  return text;
}

std::string TrimbleExchange(const std::vector<Vector>& vectors, const std::string& period) {
  std::string text =
      "[General]\r\nSource=VemoGPS sample project\r\nProjName=" + period +
      "\r\nGPSVectors=MarkToMark\r\nCoordinateUnits=meters\r\nMissingValue=?\r\nSeparator=:\r\n\r\n\r\n[GPS]\r\n";
  for (const auto& v : vectors)
    text += Format("Vector=1:?:%s:%s:%.4lf:%.4lf:%.4lf", v.from.c_str(), v.to.c_str(), v.d[0], v.d[1], v.d[2]) +
            ExchangeCovariance(v) + ":1.5000:1.5000:PostProcessed:?:?:?:?:?:?:?:E:Static:Static:Fixed:L1\r\n";
  return text + "\r\n\r\n[Terrestrial]\r\n";
}

std::string LeicaRecords(const std::vector<Vector>& vectors, const Stations& stations) {
  // s0 of 1 mm: the cofactors are the covariance in units of s0² = 0.01 cm².
  constexpr double kS0 = 0.001;
  const double toCofactor = 1.0 / (kS0 * kS0 * 10000.0);
  auto station = [&](const char* tag, const std::string& name) {
    auto it = stations.find(name);
    if (it == stations.end()) return Format("%s%s\r\n", tag, name.c_str());
    return Format("%s%-8s %15.4lf %15.4lf %15.4lf\r\n", tag, name.c_str(), it->second[0], it->second[1],
                  it->second[2]);
  };
  std::string text = "@%Unit: m\r\n@%Coordinate type: Cartesian\r\n@%Reference ellipsoid: WGS 1984\r\n\r\n";
  std::vector<std::string> names;
  for (const auto& v : vectors)
    for (const auto* n : {&v.from, &v.to})
      if (std::find(names.begin(), names.end(), *n) == names.end()) names.push_back(*n);
  for (const auto& n : names) text += station("@#", n);
  std::string current;
  for (const auto& v : vectors) {
    if (v.from != current) text += station("@+", current = v.from);
    text += Format("@-%-8s %15.4lf %15.4lf %15.4lf\r\n", v.to.c_str(), v.d[0], v.d[1], v.d[2]);
    const double q[6] = {v.c[0], v.c[3], v.c[4], v.c[1], v.c[5], v.c[2]};
    text += Format("@= %.5lf", kS0);
    for (double e : q) text += Format(" %.8lf", e * toCofactor);
    text += "\r\n";
  }
  return text;
}

// False when a site code does not fit its four columns.
bool GamitSummary(const std::vector<Vector>& vectors, std::string& text) {
  text = "VEMOGPS FOR GAMIT O-FILE\n\n Baseline vector summary (m)\n\n";
  for (const auto& v : vectors) {
    if (v.from.size() > 4 || v.to.size() > 4) return false;
    double s[3];
    for (int a = 0; a < 3; ++a) s[a] = std::sqrt(v.c[a]) / 100.0;
    const double rho[3] = {v.c[3] / (s[0] * s[1] * 10000.0), v.c[4] / (s[0] * s[2] * 10000.0),
                           v.c[5] / (s[1] * s[2] * 10000.0)};
    const double length = std::sqrt(v.d[0] * v.d[0] + v.d[1] * v.d[1] + v.d[2] * v.d[2]);
    text += Format("%-4s_%-4s 2024.163R X%14.4lf +-%9.4lf Y%14.4lf +-%9.4lf Z%14.4lf +-%9.4lf L%14.4lf +-%9.4lf"
                   "  Correlations (X-Y,X-Z,Y-Z) = %10.5lf%10.5lf%10.5lf\n",
                   v.from.c_str(), v.to.c_str(), v.d[0], s[0], v.d[1], s[1], v.d[2], s[2], length, s[0], rho[0],
                   rho[1], rho[2]);
  }
  return true;
}

int Usage() {
  std::fprintf(stderr, "usage: make_baseline_exports --format trimble|leica|gamit [--stations FILE] --out DIR "
                       "SYNC_FILE...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string format, stationsFile, out;
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--format" && i + 1 < argc) format = argv[++i];
    else if (a == "--stations" && i + 1 < argc) stationsFile = argv[++i];
    else if (a == "--out" && i + 1 < argc) out = argv[++i];
    else if (a.rfind("--", 0) == 0) return Usage();
    else inputs.push_back(a);
  }
  if ((format != "trimble" && format != "leica" && format != "gamit") || out.empty() || inputs.empty()) return Usage();
  Stations stations;
  if (!stationsFile.empty()) {
    auto text = vemo::ReadWholeFile(stationsFile);
    if (!text) {
      std::fprintf(stderr, "make_baseline_exports: cannot read %s\n", stationsFile.c_str());
      return 1;
    }
    stations = ReadStations(*text);
  }
  std::error_code ec;
  fs::create_directories(out, ec);
  for (const auto& input : inputs) {
    auto text = vemo::ReadWholeFile(input);
    if (!text) {
      std::fprintf(stderr, "make_baseline_exports: cannot read %s\n", input.c_str());
      return 1;
    }
    const std::vector<Vector> vectors = ReadVectors(*text);
    const std::string period = fs::path(input).stem().string();
    std::string exported, path = out + "/" + period + (format == "gamit" ? ".txt" : ".asc");
    if (format == "trimble") {
      exported = TrimbleExchange(vectors, period);
    } else if (format == "leica") {
      exported = LeicaRecords(vectors, stations);
    } else if (!GamitSummary(vectors, exported)) {
      std::fprintf(stderr, "make_baseline_exports: %s: a site code longer than 4 characters\n", input.c_str());
      return 1;
    }
    std::string error;
    if (!vemo::WriteFileAtomically(path, exported, &error)) {
      std::fprintf(stderr, "make_baseline_exports: cannot write %s: %s\n", path.c_str(), error.c_str());
      return 1;
    }
    std::printf("%s: %zu baselines as %s\n", path.c_str(), vectors.size(), format.c_str());
  }
  return 0;
}
