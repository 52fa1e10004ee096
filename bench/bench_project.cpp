// Writes a generated project for timing the commands in fresh processes (scripts/bench.sh):
// the network of the adjustment benchmarks (about five vectors per point, three known points)
// as the project "bench" in DIR with
//   bench.prj, bench.GPS3dKnownXYZ, bench.GPS3dVector   the 3D adjustment and async-loops;
//   session.GPS3dVector_S   every vector as one observation period (sync-loops, the import's
//                           exports are made from it);
//   plan.xyz, plan.line     the design command's points and planned baselines;
//   free/                   the same network with one known point and the approximate
//                           coordinates of a plan (free-network).
// After adjust-3d has run, `bench_project --plane-known DIR` writes bench.GPS2dKnownXY from the
// adjusted plane coordinates of the known points, for adjust-2d.
// Usage: bench_project POINTS DIR | bench_project --plane-known DIR
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/BenchProject.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "project/AppState.h"
#include "project/ProjectFile.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
namespace fs = std::filesystem;
using vemo::Format;

bool Write(const fs::path& path, const std::string& text) {
  if (vemo::WriteFileAtomically(path.string(), text)) return true;
  std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
  return false;
}

bool WriteProject(const vemo::test::SyntheticNetwork& net, const fs::path& dir) {
  fs::create_directories(dir);
  vemo::bench::OpenBenchProject(dir.string());
  vemo::Project().configuration.m_BaselineType = 0;  // the exports of scripts/bench.sh
  if (!vemo::SaveProjectFile()) return false;
  vemo::test::WriteSyntheticProject(net, dir.string(), "bench");
  return true;
}

int Generate(int points, const fs::path& dir) {
  const vemo::test::SyntheticNetwork net = vemo::test::MakeSyntheticNetwork(points, 7u + points);
  if (!WriteProject(net, dir)) return 1;
  std::string session, plan = "3.0 0.5 1.0\n", lines;
  for (const auto& v : net.vectors) {
    const auto& c = v.cov;
    session += Format("%16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n",
                      net.names[v.from].c_str(), net.names[v.to].c_str(), v.dx, v.dy, v.dz, c[0], c[1], c[2], c[3],
                      c[4], c[5]);
    lines += net.names[v.from] + " " + net.names[v.to] + "\n";
  }
  for (size_t p = 0; p < net.names.size(); ++p)
    plan += Format("%s %.4lf %.4lf %.4lf\n", net.names[p].c_str(), net.x[p], net.y[p], net.z[p]);
  if (!Write(dir / "session.GPS3dVector_S", session) || !Write(dir / "plan.xyz", plan) ||
      !Write(dir / "plan.line", lines))
    return 1;

  // The free network: one known point, approximate coordinates to the decimetre with the known
  // point first.
  const fs::path free = dir / "free";
  const vemo::test::SyntheticNetwork one = vemo::test::MakeSyntheticNetwork(points, 17u + points, 1.0, 1);
  if (!WriteProject(one, free)) return 1;
  std::string approximate =
      Format("%16s %15.3lf %15.3lf %15.3lf\n", one.names[0].c_str(), one.x[0], one.y[0], one.z[0]);
  for (int i = 1; i < points; ++i)
    approximate += Format("%16s %15.1lf %15.1lf %15.1lf\n", one.names[i].c_str(), one.x[i], one.y[i], one.z[i]);
  return Write(free / "plan.GPS3dApproximateXYZ", approximate) ? 0 : 1;
}

// The known points' lines of bench.GPS3dXYH ("name x y h") as bench.GPS2dKnownXY.
int WritePlaneKnown(const fs::path& dir) {
  const auto known = vemo::ReadWholeFile((dir / "bench.GPS3dKnownXYZ").string());
  const auto xyh = vemo::ReadWholeFile((dir / "bench.GPS3dXYH").string());
  if (!known || !xyh) {
    std::fprintf(stderr, "run adjust-3d in %s first\n", dir.string().c_str());
    return 1;
  }
  std::string text;
  for (size_t start = 0, end; (end = known->find('\n', start)) != std::string::npos; start = end + 1) {
    char name[64];
    if (std::sscanf(known->c_str() + start, "%63s", name) != 1) continue;
    for (size_t at = 0, stop; (stop = xyh->find('\n', at)) != std::string::npos; at = stop + 1) {
      char other[64];
      double x, y;
      if (std::sscanf(xyh->c_str() + at, "%63s %lf %lf", other, &x, &y) == 3 && std::string(other) == name) {
        text += Format("%s %.4lf %.4lf\n", name, x, y);
        break;
      }
    }
  }
  return Write(dir / "bench.GPS2dKnownXY", text) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--plane-known") return WritePlaneKnown(argv[2]);
  const int points = argc == 3 ? std::atoi(argv[1]) : 0;
  if (points < 4) {
    std::fprintf(stderr, "usage: bench_project POINTS DIR | bench_project --plane-known DIR\n");
    return 2;
  }
  return Generate(points, argv[2]);
}
