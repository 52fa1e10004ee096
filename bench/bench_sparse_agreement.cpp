// Runs the 3D vector network adjustment and the plane adjustment of generated networks through
// the dense normal equations (up to 4000 points), the simplicial sparse ones and the supernodal
// sparse ones the adjustments use, and compares every file they write with the first form's,
// line by line: identical lines, lines that differ only by one unit of a last printed digit (a
// value on a rounding tie of its format), and lines that differ otherwise (a fault). Usage:
// bench_sparse_agreement [POINTS...] (default 200 2000 20000). Exits 1 on any fault.
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

// The dense reference takes part up to this many points.
constexpr int kDenseUpTo = 4000;

std::vector<std::string> ReadAll(const std::vector<const char*>& files) {
  std::vector<std::string> texts;
  for (const char* ext : files) texts.push_back(vemo::ReadWholeFile(vemo::CurrentProjectFile(ext)).value_or(""));
  return texts;
}

// The forms compared: the first is the reference. The dense form grows with the cube of the
// network, so beyond a few thousand points the simplicial sparse form (the solver before the
// supernodal one) is the reference.
struct Form {
  vemo::NormalForm form;
  const char* name;
};

template <typename Run>
bool Compare(const char* what, int points, const std::vector<const char*>& files, const std::vector<Form>& forms,
             Run run) {
  std::vector<std::vector<std::string>> outputs(forms.size());
  std::vector<double> seconds(forms.size());
  for (size_t k = 0; k < forms.size(); ++k) {
    vemo::SetNormalForm(forms[k].form);
    const auto start = std::chrono::steady_clock::now();
    if (!run()) {
      std::printf("%s of %d points failed (%s)\n", what, points, forms[k].name);
      return false;
    }
    seconds[k] = vemo::bench::SecondsSince(start);
    outputs[k] = ReadAll(files);
  }
  vemo::SetNormalForm(vemo::NormalForm::Sparse);
  bool sound = true;
  for (size_t k = 1; k < forms.size(); ++k)
    for (size_t f = 0; f < files.size(); ++f) {
      const vemo::test::ReportDifference d = vemo::test::CompareReports(outputs[k][f], outputs[0][f]);
      const size_t lines = vemo::test::ReportLines(outputs[0][f]).size();
      std::printf("%-10s %6d %-14s %-10s vs %-10s %8zu lines %s %6d ties %4d faults   %7.2f s  %6.2f s\n", what,
                  points, files[f], forms[k].name, forms[0].name, lines,
                  outputs[k][f] == outputs[0][f] ? "identical" : "differ   ", d.ties, d.faults, seconds[0], seconds[k]);
      if (d.faults) std::printf("  first fault: %s\n", d.firstFault.c_str());
      sound = sound && d.faults == 0 && lines > 1;
    }
  return sound;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {200, 2000, 20000};
  bool sound = true;
  for (int points : sizes) {
    const fs::path dir = fs::temp_directory_path() / ("vemo-bench-agreement-" + std::to_string(getpid()));
    fs::create_directories(dir);
    vemo::test::WriteSyntheticProject(vemo::test::MakeSyntheticNetwork(points, 7u + points), dir.string(), "bench");
    vemo::bench::OpenBenchProject(dir.string());
    const Form dense{vemo::NormalForm::Dense, "dense"}, simplicial{vemo::NormalForm::SparseSimplicial, "simplicial"},
        supernodal{vemo::NormalForm::Sparse, "supernodal"};
    const std::vector<Form> forms = points <= kDenseUpTo ? std::vector<Form>{dense, simplicial, supernodal}
                                                         : std::vector<Form>{simplicial, supernodal};
    sound &= Compare("adjust-3d", points,
                     {"GPS3dResult", "GPS3dBLH", "GPS3dXYHEFT", "GPS3dXYH", "GPS2dVector", "GPS3dBLHVector"}, forms, [] {
                       CGPS3dNetAdjust net(0);
                       return net.Load() && net.Adjust();
                     });
    fs::remove_all(dir);
    fs::create_directories(dir);
    vemo::test::PlaneNetworkOptions o;
    o.points = points, o.seed = 7u + points;
    vemo::test::WritePlaneProject(vemo::test::MakePlaneNetwork(o), dir.string(), "bench");
    sound &= Compare("adjust-2d", points, {"GPS2dResult", "GPS2dXY", "GPS2dXYEFT"}, forms, [] {
      CGPS2dNetAdjust net(0);
      return net.Load() && net.Adjust();
    });
    fs::remove_all(dir);
    std::fflush(stdout);
  }
  return sound ? 0 : 1;
}
