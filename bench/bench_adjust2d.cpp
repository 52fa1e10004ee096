// Times the whole plane adjustment command (load, placement, the iterations with their
// assembly, factorisation and solution, the final factorisation, the selected inverse, every
// report and file, the statistics report) on generated networks. A 3D vector network adjustment of the same network,
// run once beforehand, writes the plane vectors and the plane coordinates that the plane
// adjustment reads; the known plane points are the 3D known points' plane coordinates turned by
// 3" and scaled by 20 ppm about the first one, so that the plane adjustment has a rotation and
// a scale to find. Each run is a fresh process, so that its peak resident size and processor
// time are its own. Usage: bench_adjust2d [--runs N] [POINTS...] (default 1000 2000 4000 8000
// 20000, three runs each); the median is reported.
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
#include "adjust2d/GPS2dNetTests.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust/SparseNormalEquations.h"
#include "bench/BenchProcess.h"
#include "bench/BenchProject.h"
#include "project/AppState.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
namespace fs = std::filesystem;

using vemo::bench::Median;

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

// The child that prepares the project: the 3D adjustment and the known plane points.
int Prepare(const std::string& dir, int points) {
  vemo::bench::OpenBenchProject(dir);
  CGPS3dNetAdjust network(0);
  if (!network.Load() || !network.Adjust()) return 1;
  return WriteKnownPlanePoints(vemo::test::MakeSyntheticNetwork(points, 7u + points)) ? 0 : 1;
}

// The child that measures: one plane adjustment, its figures on standard output.
int RunOnce(const std::string& dir) {
  vemo::bench::OpenBenchProject(dir);
  const auto start = std::chrono::steady_clock::now();
  CGPS2dNetAdjust network(0);
  if (!network.Load()) return 1;
  const double load = vemo::bench::SecondsSince(start);
  if (!network.Adjust()) return 1;
  const auto testStart = std::chrono::steady_clock::now();
  if (!vemo::WriteGPS2dTestReport(network, vemo::CTestSettings{})) return 1;
  const double tests = vemo::bench::SecondsSince(testStart);
  const auto& t = network.m_Times;
  const auto* sparse = dynamic_cast<const vemo::CSparseNormalEquations*>(network.m_Normal.get());
  std::printf("%.6f %.6f %.6f %.6f %.6f %.6f %d %lld %d %d\n", load, t.iterations, t.factorization, t.inversion,
              t.reports, tests, network.m_Iterations, sparse ? sparse->FactorNonZeros() : 0LL, network.m_UnknownCount,
              network.m_VectorCount);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--prepare") return Prepare(argv[2], std::atoi(argv[3]));
  if (argc == 3 && std::string(argv[1]) == "--run") return RunOnce(argv[2]);
  int runs = 3;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else sizes.push_back(std::atoi(argv[i]));
  }
  if (sizes.empty()) sizes = {1000, 2000, 4000, 8000, 20000};

  std::printf("adjust-2d, median of %d runs; seconds; iterate = assembly, factorisation and solution of every\n"
              "iteration, factor = the final factorisation, selinv = selected inverse, tests = statistics\n"
              "report; nnz(L) in thousands; peak resident MB\n",
              runs);
  std::printf("%6s %6s %7s %6s %5s %7s %7s %7s %7s %6s %7s %7s %7s %7s\n", "points", "u", "vectors", "load", "iter",
              "iterate", "factor", "selinv", "reports", "tests", "total", "cpu", "peakMB", "nnzL/k");
  for (int points : sizes) {
    if (points < 4) continue;
    const fs::path dir = fs::temp_directory_path() / ("vemo-bench-adjust2d-" + std::to_string(getpid()));
    fs::create_directories(dir);
    vemo::test::WriteSyntheticProject(vemo::test::MakeSyntheticNetwork(points, 7u + points), dir.string(), "bench");
    vemo::bench::ChildRun run;
    if (!vemo::bench::RunChild({"--prepare", dir.string(), std::to_string(points)}, run)) {
      std::fprintf(stderr, "the 3D adjustment of %d points, which the plane adjustment reads, failed\n", points);
      return 1;
    }
    std::vector<double> load, iterate, factor, inverse, reports, tests, wall, cpu, peak;
    int iterations = 0, unknowns = 0, vectors = 0;
    long long nonZeros = 0;
    for (int r = 0; r < runs; ++r) {
      double l, it, f, i, rep, te;
      if (!vemo::bench::RunChild({"--run", dir.string()}, run) ||
          std::sscanf(run.output.c_str(), "%lf %lf %lf %lf %lf %lf %d %lld %d %d", &l, &it, &f, &i, &rep, &te,
                      &iterations, &nonZeros, &unknowns, &vectors) != 10) {
        std::fprintf(stderr, "the plane adjustment of %d points failed\n", points);
        return 1;
      }
      load.push_back(l), iterate.push_back(it), factor.push_back(f), inverse.push_back(i), reports.push_back(rep);
      tests.push_back(te);
      wall.push_back(run.wall), cpu.push_back(run.cpu), peak.push_back(run.peakMb);
    }
    fs::remove_all(dir);
    std::printf("%6d %6d %7d %6.3f %5d %7.3f %7.3f %7.3f %7.3f %6.3f %7.3f %7.3f %7.1f %7lld\n", points, unknowns,
                vectors, Median(load), iterations, Median(iterate), Median(factor), Median(inverse), Median(reports),
                Median(tests), Median(wall), Median(cpu), Median(peak), nonZeros / 1000);
    vemo::bench::PrintBenchLine("adjust-2d", points, Median(wall), Median(cpu), Median(peak));
  }
  return 0;
}
