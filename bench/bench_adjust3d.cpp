// Times the whole 3D vector network adjustment command (load, approximate coordinates and 2D
// vectors, normal equations, solution, every report and point file) on generated networks of
// about five vectors per point and three known points, and measures its peak memory against
// the packed normal matrix. Each run is a fresh process, so that its peak resident size is its
// own. Usage: bench_adjust3d [POINTS...] (default 100 500 1000 2000); three runs each, the
// median is reported.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "adjust3d/GPS3dNetAdjust.h"
#include "bench/BenchProject.h"
#include "project/AppState.h"
#include "geodesy/LibraryState.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
namespace fs = std::filesystem;

constexpr int kRuns = 3;

struct RunResult {
  double load = 0, approximate = 0, build = 0, solve = 0, reports = 0, total = 0;
  double loadedKb = 0, peakKb = 0;  // KB
  int unknowns = 0, vectors = 0;
};

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The child: one adjustment of the project in dir, its figures on standard output.
int RunOnce(const std::string& dir) {
  vemo::bench::OpenBenchProject(dir);

  const auto start = std::chrono::steady_clock::now();
  CGPS3dNetAdjust network(0);
  if (!network.Load()) return 1;
  const double load = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long loadedKb = PeakKb();
  if (!network.Adjust()) return 1;
  const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto& t = network.m_Times;
  std::printf("%.6f %.6f %.6f %.6f %.6f %.6f %ld %d %d\n", load, t.approximate, t.build, t.solve, t.reports, total,
              loadedKb, network.m_UnknownCount, network.m_VectorCount);
  return 0;
}

bool Spawn(const std::string& dir, RunResult& result) {
  int pipeFd[2];
  if (pipe(pipeFd) != 0) return false;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFd[1], STDOUT_FILENO);
    close(pipeFd[0]);
    close(pipeFd[1]);
    execl("/proc/self/exe", "bench_adjust3d", "--run", dir.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFd[1]);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(pipeFd[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  close(pipeFd[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  result.peakKb = static_cast<double>(usage.ru_maxrss);
  return std::sscanf(text.c_str(), "%lf %lf %lf %lf %lf %lf %lf %d %d", &result.load, &result.approximate,
                     &result.build, &result.solve, &result.reports, &result.total, &result.loadedKb, &result.unknowns,
                     &result.vectors) == 9;
}

double Median(std::vector<RunResult> runs, double RunResult::*field) {
  std::sort(runs.begin(), runs.end(), [&](const RunResult& a, const RunResult& b) { return a.*field < b.*field; });
  return runs[runs.size() / 2].*field;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--run") return RunOnce(argv[2]);
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {100, 500, 1000, 2000};

  std::printf("median of %d runs, seconds; memory in MB (peak resident, packed normal matrix, resident after load)\n",
              kRuns);
  std::printf("%6s %6s %7s %7s %7s %7s %7s %7s %8s %8s %8s %8s %7s\n", "points", "u", "vectors", "load", "approx",
              "build", "solve", "reports", "total", "peak", "packed", "loaded", "ratio");
  for (int points : sizes) {
    if (points < 4) continue;
    const fs::path dir = fs::temp_directory_path() / ("vemo-bench-adjust3d-" + std::to_string(getpid()));
    fs::create_directories(dir);
    vemo::test::WriteSyntheticProject(vemo::test::MakeSyntheticNetwork(points, 7u + points), dir.string(), "bench");
    std::vector<RunResult> runs;
    for (int r = 0; r < kRuns; ++r) {
      RunResult result;
      if (!Spawn(dir.string(), result)) {
        std::fprintf(stderr, "the adjustment of %d points failed\n", points);
        return 1;
      }
      runs.push_back(result);
    }
    fs::remove_all(dir);
    const RunResult& any = runs.front();
    const double packedMb = static_cast<double>(any.unknowns) * (any.unknowns + 1) / 2 * 8 / 1048576.0;
    const double peakMb = Median(runs, &RunResult::peakKb) / 1024.0, loadedMb = any.loadedKb / 1024.0;
    std::printf("%6d %6d %7d %7.3f %7.3f %7.3f %7.3f %7.3f %8.3f %8.1f %8.1f %8.1f %7.2f\n", points, any.unknowns,
                any.vectors, Median(runs, &RunResult::load), Median(runs, &RunResult::approximate),
                Median(runs, &RunResult::build), Median(runs, &RunResult::solve), Median(runs, &RunResult::reports),
                Median(runs, &RunResult::total), peakMb, packedMb, loadedMb, (peakMb - loadedMb) / packedMb);
    std::fflush(stdout);
  }
  return 0;
}
