// Times the whole 3D vector network adjustment command (load, approximate coordinates and 2D
// vectors, assembly of the normal equations, ordering and factorisation, selected inverse,
// every report and point file, the statistics report) on generated networks of about five vectors per point and three
// known points. Each run is a fresh process, so that its peak resident size and processor time
// are its own. Usage: bench_adjust3d [--runs N] [POINTS...] (default 1000 2000 4000 8000 20000,
// three runs each); the median is reported.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust3d/GPS3dNetTests.h"
#include "adjust/SparseNormalEquations.h"
#include "bench/BenchProcess.h"
#include "bench/BenchProject.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
namespace fs = std::filesystem;
using vemo::bench::Median;

struct Split {
  double load = 0, approximate = 0, build = 0, solve = 0, inverse = 0, reports = 0, tests = 0;
  long long factor = 0;
  int unknowns = 0, vectors = 0;
};

// The child: one adjustment of the project in dir, its figures on standard output.
int RunOnce(const std::string& dir) {
  vemo::bench::OpenBenchProject(dir);
  const auto start = std::chrono::steady_clock::now();
  CGPS3dNetAdjust network(0);
  if (!network.Load()) return 1;
  const double load = vemo::bench::SecondsSince(start);
  if (!network.Adjust()) return 1;
  const auto testStart = std::chrono::steady_clock::now();
  if (!vemo::WriteGPS3dTestReport(network, vemo::CTestSettings{})) return 1;
  const double tests = vemo::bench::SecondsSince(testStart);
  const auto& t = network.m_Times;
  const auto* sparse = dynamic_cast<const vemo::CSparseNormalEquations*>(network.m_Normal.get());
  std::printf("%.6f %.6f %.6f %.6f %.6f %.6f %.6f %lld %d %d\n", load, t.approximate, t.build, t.solve, t.inverse,
              t.reports, tests, sparse ? sparse->FactorNonZeros() : 0LL, network.m_UnknownCount, network.m_VectorCount);
  return 0;
}

bool Parse(const std::string& text, Split& s) {
  return std::sscanf(text.c_str(), "%lf %lf %lf %lf %lf %lf %lf %lld %d %d", &s.load, &s.approximate, &s.build,
                     &s.solve, &s.inverse, &s.reports, &s.tests, &s.factor, &s.unknowns, &s.vectors) == 10;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--run") return RunOnce(argv[2]);
  int runs = 3;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else sizes.push_back(std::atoi(argv[i]));
  }
  if (sizes.empty()) sizes = {1000, 2000, 4000, 8000, 20000};

  std::printf("adjust-3d, median of %d runs; seconds; assembly = normal equations, factor = ordering,\n"
              "factorisation and solution, selinv = selected inverse, tests = statistics report; nnz(L) in\n"
              "thousands; peak resident MB\n",
              runs);
  std::printf("%6s %6s %7s %6s %6s %8s %7s %7s %7s %6s %7s %7s %7s %7s\n", "points", "u", "vectors", "load", "approx",
              "assembly", "factor", "selinv", "reports", "tests", "total", "cpu", "peakMB", "nnzL/k");
  for (int points : sizes) {
    if (points < 4) continue;
    const fs::path dir = fs::temp_directory_path() / ("vemo-bench-adjust3d-" + std::to_string(getpid()));
    fs::create_directories(dir);
    vemo::test::WriteSyntheticProject(vemo::test::MakeSyntheticNetwork(points, 7u + points), dir.string(), "bench");
    std::vector<double> load, approximate, build, solve, inverse, reports, tests, wall, cpu, peak;
    Split any;
    for (int r = 0; r < runs; ++r) {
      vemo::bench::ChildRun run;
      Split s;
      if (!vemo::bench::RunChild({"--run", dir.string()}, run) || !Parse(run.output, s)) {
        std::fprintf(stderr, "the adjustment of %d points failed\n", points);
        return 1;
      }
      any = s;
      load.push_back(s.load), approximate.push_back(s.approximate), build.push_back(s.build);
      solve.push_back(s.solve), inverse.push_back(s.inverse), reports.push_back(s.reports), tests.push_back(s.tests);
      wall.push_back(run.wall), cpu.push_back(run.cpu), peak.push_back(run.peakMb);
    }
    fs::remove_all(dir);
    std::printf("%6d %6d %7d %6.3f %6.3f %8.3f %7.3f %7.3f %7.3f %6.3f %7.3f %7.3f %7.1f %7lld\n", points,
                any.unknowns, any.vectors, Median(load), Median(approximate), Median(build), Median(solve),
                Median(inverse), Median(reports), Median(tests), Median(wall), Median(cpu), Median(peak), any.factor / 1000);
    vemo::bench::PrintBenchLine("adjust-3d", points, Median(wall), Median(cpu), Median(peak));
  }
  return 0;
}
