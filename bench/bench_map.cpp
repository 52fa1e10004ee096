// Times the map command that writes the network map as a PNG picture ("map wgs84 --png"):
// reading the coordinate and vector files, drawing the baselines, the error ellipses, the
// symbols and the names of every point, and encoding and writing the picture. The networks are
// generated (about five vectors per point, three known points, an error ellipse at every
// other point) on the A4 page. Each run is a fresh process, so that its peak resident size and
// processor time are its own. Usage: bench_map [--runs N] [--svg|--pdf] [POINTS...] (default
// 2000 20000 100000, three runs each); the median is reported. For a profiler:
// bench_map --make DIR POINTS, then bench_map --run DIR --png [the map's switches].
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/commands/Args.h"
#include "app/commands/CommandTable.h"
#include "bench/BenchProcess.h"
#include "bench/BenchProject.h"
#include "geodesy/Format.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
namespace fs = std::filesystem;
using vemo::bench::Median;

// The child: the command in the project of dir, its own time on standard output.
int RunOnce(const std::string& dir, const std::string& format, std::vector<std::string> switches = {}) {
  vemo::bench::OpenBenchProject(dir);
  const auto start = std::chrono::steady_clock::now();
  const vemo::CommandSpec* map = vemo::FindCommand("map");
  if (!map) return 1;
  switches.insert(switches.begin(), {"wgs84", format, dir + "/map." + format.substr(2)});
  vemo::CommandContext context{vemo::Args(switches)};
  if (map->run(context) != vemo::kCommandDone) return 1;
  std::printf("%.6f %lld\n", vemo::bench::SecondsSince(start),
              static_cast<long long>(fs::file_size(dir + "/map." + format.substr(2))));
  return 0;
}

// The vectors and known points as the adjustment benchmarks have them, and the adjusted
// coordinate file (northing, easting, height, ellipse) that the adjustment would write, the
// known points first.
void WriteMapProject(int points, const std::string& dir) {
  const vemo::test::SyntheticNetwork net = vemo::test::MakeSyntheticNetwork(points, 7u + points);
  vemo::test::WriteSyntheticProject(net, dir, "bench");
  std::mt19937_64 rng(points);
  std::uniform_real_distribution<double> axis(0.3, 2.5), azimuth(0.0, 179.5959);
  std::vector<int> order(net.known);
  std::vector<char> isKnown(net.names.size(), 0);
  for (int k : net.known) isKnown[k] = 1;
  for (int p = 0; p < static_cast<int>(net.names.size()); ++p)
    if (!isKnown[p]) order.push_back(p);
  std::string text;
  for (int p : order) {
    GPSTransfer t(0);
    t.m_a = 6378137.0, t.m_InvF = 298.257223563;
    t.m_X = net.x[p], t.m_Y = net.y[p], t.m_Z = net.z[p];
    t.XYZBLH();
    const double north = t.m_B * 6371000.0, east = 500000.0 + (t.m_L - 2.0) * 6371000.0 * std::cos(t.m_B);
    double e = 0, f = 0, az = 0;
    if (!isKnown[p]) {
      e = axis(rng), f = e * 0.6, az = azimuth(rng);
    }
    text += vemo::Format("%16s %15.4lf %15.4lf %10.4lf %10.2lf %10.2lf %10.4lf\n", net.names[p].c_str(), north, east,
                         t.m_H, e, f, az);
  }
  std::FILE* file = std::fopen((dir + "/bench.GPS3dXYHEFT").c_str(), "w");
  if (!file) return;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--run") return RunOnce(argv[2], argv[3], {argv + 4, argv + argc});
  if (argc == 4 && std::string(argv[1]) == "--make") {  // a project to profile: --make DIR POINTS
    fs::create_directories(argv[2]);
    WriteMapProject(std::atoi(argv[3]), argv[2]);
    return 0;
  }
  int runs = 3;
  std::string format = "--png";
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else if (a == "--svg" || a == "--pdf" || a == "--png") format = a;
    else sizes.push_back(std::atoi(argv[i]));
  }
  if (sizes.empty()) sizes = {2000, 20000, 100000};

  std::printf("map wgs84 %s, median of %d runs: the command's time, the process's wall and processor time (s),\n"
              "peak resident MB, the file's size (kB)\n",
              format.c_str(), runs);
  std::printf("%7s %8s %8s %8s %8s %8s\n", "points", "command", "wall", "cpu", "peakMB", "kB");
  for (int points : sizes) {
    if (points < 4) continue;
    const fs::path dir = fs::temp_directory_path() / ("vemo-bench-map-" + std::to_string(getpid()));
    fs::create_directories(dir);
    WriteMapProject(points, dir.string());
    std::vector<double> command, wall, cpu, peak;
    long long bytes = 0;
    for (int r = 0; r < runs; ++r) {
      vemo::bench::ChildRun run;
      double seconds = 0;
      if (!vemo::bench::RunChild({"--run", dir.string(), format}, run) ||
          std::sscanf(run.output.c_str(), "%lf %lld", &seconds, &bytes) != 2) {
        std::fprintf(stderr, "the map of %d points failed\n", points);
        fs::remove_all(dir);
        return 1;
      }
      command.push_back(seconds), wall.push_back(run.wall), cpu.push_back(run.cpu), peak.push_back(run.peakMb);
    }
    fs::remove_all(dir);
    std::printf("%7d %8.3f %8.3f %8.3f %8.1f %8lld\n", points, Median(command), Median(wall), Median(cpu),
                Median(peak), bytes / 1024);
    std::fflush(stdout);
  }
  return 0;
}
