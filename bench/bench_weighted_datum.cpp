// Times adjust-3d on a generated network twice: as it is (six known points held fixed) and
// with a weighted datum (the six known points one correlated group) and every four
// consecutive vectors one correlated cluster. Each run is a fresh process; the median of the
// runs is reported with the ratio of the two. Usage: bench_weighted_datum [--runs N] [POINTS]
// (default 20000 points, three runs).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "adjust3d/GPS3dNetAdjust.h"
#include "bench/BenchProcess.h"
#include "bench/BenchProject.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
namespace fs = std::filesystem;
using vemo::Format;
using vemo::bench::Median;

int RunOnce(const std::string& dir) {
  vemo::bench::OpenBenchProject(dir);
  CGPS3dNetAdjust network(0);
  if (!network.Load() || !network.Adjust()) return 1;
  std::printf("%d %d\n", network.m_UnknownCount, network.m_Redundancy);
  return 0;
}

// The weighted datum: the known points as one group, 1 cm horizontal and 2 cm vertical,
// correlated 0.2 between points on the same axis.
std::string KnownCovariance(const vemo::test::SyntheticNetwork& net) {
  const size_t n = net.known.size(), order = 3 * n;
  std::string text = Format("GROUP %d\n", static_cast<int>(n));
  for (int p : net.known) text += net.names[static_cast<size_t>(p)] + "\n";
  for (size_t r = 0; r < order; ++r) {
    for (size_t c = r; c < order; ++c) {
      const double own = r % 3 == 2 ? 4.0 : 1.0;
      text += r == c ? Format(" %.1f", own) : (c - r) % 3 == 0 ? Format(" %.2f", 0.2 * own) : std::string(" 0");
    }
    text += "\n";
  }
  return text;
}

// Clusters of four vectors observed together: taken in the order of their lower-numbered end
// (the grid's order), so that a cluster's vectors meet at or near one station as a session's
// do. Their own blocks, matching components correlated 0.3.
std::string Clusters(const vemo::test::SyntheticNetwork& net) {
  std::map<std::pair<int, int>, int> seen;
  std::vector<std::string> refs;
  std::vector<size_t> order;
  for (const auto& v : net.vectors) {
    const int k = ++seen[{v.from, v.to}];
    refs.push_back(Format("%s %s %d\n", net.names[static_cast<size_t>(v.from)].c_str(),
                          net.names[static_cast<size_t>(v.to)].c_str(), k));
    order.push_back(order.size());
  }
  auto low = [&](size_t j) { return std::min(net.vectors[j].from, net.vectors[j].to); };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return low(a) < low(b); });
  std::string text;
  for (size_t first = 0; first + 4 <= order.size(); first += 4) {
    text += "CLUSTER 4\n";
    for (size_t a = 0; a < 4; ++a) text += refs[order[first + a]];
    for (size_t r = 0; r < 12; ++r) {
      const auto& ca = net.vectors[order[first + r / 3]].cov;
      for (size_t c = r; c < 12; ++c) {
        const auto& cb = net.vectors[order[first + c / 3]].cov;
        const size_t i = r % 3, j = c % 3;
        double e = 0.0;
        if (r / 3 == c / 3) {
          const size_t at[3][3] = {{0, 3, 4}, {3, 1, 5}, {4, 5, 2}};
          e = ca[at[i][j]];
        } else if (i == j) {
          e = 0.3 * std::sqrt(ca[i] * cb[j]);
        }
        text += Format(" %.10g", e);
      }
      text += "\n";
    }
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--run") return RunOnce(argv[2]);
  int runs = 3, points = 20000;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else points = std::atoi(argv[i]);
  }
  const fs::path root = fs::temp_directory_path() / ("vemo-bench-datum-" + std::to_string(getpid()));
  const vemo::test::SyntheticNetwork net = vemo::test::MakeSyntheticNetwork(points, 7u + points, 1.0, 6);
  const fs::path plain = root / "plain", weighted = root / "weighted";
  for (const fs::path& dir : {plain, weighted}) {
    fs::create_directories(dir);
    vemo::test::WriteSyntheticProject(net, dir.string(), "bench");
  }
  vemo::WriteFileAtomically((weighted / "bench.GPS3dKnownCov").string(), KnownCovariance(net));
  vemo::WriteFileAtomically((weighted / "bench.GPS3dCluster").string(), Clusters(net));
  std::printf("adjust-3d of %d points, %d vectors; median of %d runs (fresh processes), seconds\n", points,
              static_cast<int>(net.vectors.size()), runs);
  double medians[2] = {0, 0};
  const char* labels[2] = {"fixed datum, own covariances", "weighted datum (6 points), clusters of 4"};
  for (int which = 0; which < 2; ++which) {
    std::vector<double> wall, cpu, peak;
    std::string output;
    for (int r = 0; r < runs; ++r) {
      vemo::bench::ChildRun run;
      if (!vemo::bench::RunChild({"--run", (which == 0 ? plain : weighted).string()}, run)) {
        std::fprintf(stderr, "the adjustment failed\n");
        return 1;
      }
      wall.push_back(run.wall), cpu.push_back(run.cpu), peak.push_back(run.peakMb);
      output = run.output;
    }
    medians[which] = Median(wall);
    std::printf("%-42s wall %7.3f  cpu %7.3f  peak %7.1f MB  (u, r: %s)\n", labels[which], Median(wall), Median(cpu),
                Median(peak), output.substr(0, output.find('\n')).c_str());
  }
  std::printf("ratio %.2f\n", medians[1] / medians[0]);
  fs::remove_all(root);
  return 0;
}
