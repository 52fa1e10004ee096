// Times the whole plane adjustment command (load, placement, iterations, inversion, every report
// and file) against the whole 3D vector network adjustment of the same generated network in the
// same run. The 3D adjustment writes the plane vectors and the plane coordinates that the plane
// adjustment reads; the known plane points are the 3D known points' plane coordinates turned by
// 3" and scaled by 20 ppm about the first one, so that the plane adjustment has a rotation and
// a scale to find. Usage: bench_adjust2d [POINTS...] (default 1000 2000); three runs of each
// adjustment, alternating, the median reported.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "bench/BenchProject.h"
#include "project/AppState.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
namespace fs = std::filesystem;

constexpr int kRuns = 3;

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The known plane points: the known points' lines of GPS3dXYH, turned and scaled about the first.
bool WriteKnownPlanePoints(const vemo::test::SyntheticNetwork& net) {
  const std::string xyh = vemo::ReadWholeFile(vemo::CurrentProjectFile("GPS3dXYH")).value_or("");
  std::vector<std::string> names;
  std::vector<double> x, y;
  for (size_t start = 0, end; (end = xyh.find('\n', start)) != std::string::npos; start = end + 1) {
    char name[64];
    double px, py, h;
    if (std::sscanf(xyh.c_str() + start, "%63s %lf %lf %lf", name, &px, &py, &h) != 4) continue;
    for (int k : net.known)
      if (net.names[k] == name) names.push_back(name), x.push_back(px), y.push_back(py);
  }
  if (names.size() != net.known.size()) return false;
  const double w = 3.0 / 206264.806, s = 1.0 + 20e-6;
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    const double dx = x[i] - x[0], dy = y[i] - y[0];
    text += vemo::Format("%s %.4lf %.4lf\n", names[i].c_str(), x[0] + s * (std::cos(w) * dx - std::sin(w) * dy),
                         y[0] + s * (std::sin(w) * dx + std::cos(w) * dy));
  }
  return vemo::WriteFileAtomically(vemo::CurrentProjectFile("GPS2dKnownXY"), text);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 2000};

  std::printf("median of %d runs, seconds of the whole command (load to the last report)\n", kRuns);
  std::printf("%6s %7s %7s %7s %9s %7s %9s %9s %9s %7s\n", "points", "vectors", "u(3d)", "u(2d)", "adjust-3d",
              "iter", "2d:iter", "2d:inv", "adjust-2d", "2d/3d");
  for (int points : sizes) {
    if (points < 4) continue;
    const fs::path dir = fs::temp_directory_path() / ("vemo-bench-adjust2d-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const vemo::test::SyntheticNetwork net = vemo::test::MakeSyntheticNetwork(points, 7u + points);
    vemo::test::WriteSyntheticProject(net, dir.string(), "bench");
    vemo::bench::OpenBenchProject(dir.string());
    std::vector<double> times3d, times2d, iterations, inversion;
    int u3 = 0, u2 = 0, vectors = 0, steps = 0;
    for (int r = 0; r < kRuns; ++r) {
      auto start = std::chrono::steady_clock::now();
      {
        CGPS3dNetAdjust network(0);
        if (!network.Load() || !network.Adjust()) {
          std::fprintf(stderr, "the 3D adjustment of %d points failed\n", points);
          return 1;
        }
        u3 = network.m_UnknownCount, vectors = network.m_VectorCount;
      }
      times3d.push_back(Since(start));
      if (r == 0 && !WriteKnownPlanePoints(net)) {
        std::fprintf(stderr, "the known plane points of %d points could not be written\n", points);
        return 1;
      }
      start = std::chrono::steady_clock::now();
      {
        CGPS2dNetAdjust network(0);
        if (!network.Load() || !network.Adjust()) {
          std::fprintf(stderr, "the plane adjustment of %d points failed\n", points);
          return 1;
        }
        u2 = network.m_UnknownCount, steps = network.m_Iterations;
        iterations.push_back(network.m_Times.iterations);
        inversion.push_back(network.m_Times.inversion);
      }
      times2d.push_back(Since(start));
    }
    fs::remove_all(dir);
    const double t3 = Median(times3d), t2 = Median(times2d);
    std::printf("%6d %7d %7d %7d %9.3f %7d %9.3f %9.3f %9.3f %7.2f\n", points, vectors, u3, u2, t3, steps,
                Median(iterations), Median(inversion), t2, t2 / t3);
    std::fflush(stdout);
  }
  return 0;
}
