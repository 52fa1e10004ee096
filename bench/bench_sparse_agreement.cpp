// Runs the 3D vector network adjustment and the plane adjustment of generated networks twice,
// through the dense and the sparse normal equations, and compares every file they write line
// by line: identical lines, lines that differ only by one unit of a last printed digit (a value
// on a rounding tie of its format), and lines that differ otherwise (a fault). Usage:
// bench_sparse_agreement [POINTS...] (default 200 2000). Exits 1 on any fault.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust/NormalEquations.h"
#include "bench/BenchProcess.h"
#include "bench/BenchProject.h"
#include "geodesy/FileUtil.h"
#include "project/AppState.h"
#include "tests/adjust2d/PlaneNetwork.h"
#include "tests/adjust3d/ReportComparison.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
namespace fs = std::filesystem;

std::vector<std::string> ReadAll(const std::vector<const char*>& files) {
  std::vector<std::string> texts;
  for (const char* ext : files) texts.push_back(vemo::ReadWholeFile(vemo::CurrentProjectFile(ext)).value_or(""));
  return texts;
}

template <typename Run>
bool Compare(const char* what, int points, const std::vector<const char*>& files, Run run) {
  std::vector<std::string> outputs[2];
  double seconds[2];
  for (int form = 0; form < 2; ++form) {
    vemo::SetNormalForm(form == 0 ? vemo::NormalForm::Dense : vemo::NormalForm::Sparse);
    const auto start = std::chrono::steady_clock::now();
    if (!run()) {
      std::printf("%s of %d points failed\n", what, points);
      return false;
    }
    seconds[form] = vemo::bench::SecondsSince(start);
    outputs[form] = ReadAll(files);
  }
  bool sound = true;
  for (size_t f = 0; f < files.size(); ++f) {
    const vemo::test::ReportDifference d = vemo::test::CompareReports(outputs[1][f], outputs[0][f]);
    const size_t lines = vemo::test::ReportLines(outputs[0][f]).size();
    std::printf("%-10s %6d %-14s %8zu lines %6d ties %4d faults   dense %7.2f s  sparse %6.2f s\n", what, points,
                files[f], lines, d.ties, d.faults, seconds[0], seconds[1]);
    if (d.faults) std::printf("  first fault: %s\n", d.firstFault.c_str());
    sound = sound && d.faults == 0 && lines > 1;
  }
  return sound;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {200, 2000};
  bool sound = true;
  for (int points : sizes) {
    const fs::path dir = fs::temp_directory_path() / ("vemo-bench-agreement-" + std::to_string(getpid()));
    fs::create_directories(dir);
    vemo::test::WriteSyntheticProject(vemo::test::MakeSyntheticNetwork(points, 7u + points), dir.string(), "bench");
    vemo::bench::OpenBenchProject(dir.string());
    sound &= Compare("adjust-3d", points,
                     {"GPS3dResult", "GPS3dBLH", "GPS3dXYHEFT", "GPS3dXYH", "GPS2dVector", "GPS3dBLHVector"}, [] {
                       CGPS3dNetAdjust net(0);
                       return net.Load() && net.Adjust();
                     });
    fs::remove_all(dir);
    fs::create_directories(dir);
    vemo::test::PlaneNetworkOptions o;
    o.points = points, o.seed = 7u + points;
    vemo::test::WritePlaneProject(vemo::test::MakePlaneNetwork(o), dir.string(), "bench");
    sound &= Compare("adjust-2d", points, {"GPS2dResult", "GPS2dXY", "GPS2dXYEFT"}, [] {
      CGPS2dNetAdjust net(0);
      return net.Load() && net.Adjust();
    });
    fs::remove_all(dir);
    std::fflush(stdout);
  }
  return sound ? 0 : 1;
}
