// Times the loaders of the network data sets on a generated project of 2,000 points and
// 10,000 vectors (3D baselines, plane vectors, approximate plane coordinates, distances and
// azimuths). Usage: bench_loaders [POINTS VECTORS] (default 2000 10000).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <unistd.h>

#include "project/AppState.h"
#include "project/data/ReadGPS2dVector.h"
#include "project/data/ReadGPS3dVector.h"
#include "geodesy/Format.h"

namespace {
namespace fs = std::filesystem;
using vemo::Format;

void WriteProject(const fs::path& dir, int points, int vectors) {
  std::mt19937_64 rng(20240601);
  std::uniform_real_distribution<double> offset(-5000.0, 5000.0);
  auto name = [](int i) { return Format("P%04d", i); };
  std::ofstream known(dir / "b.GPS3dKnownXYZ"), known2(dir / "b.GPS2dKnownXY");
  for (int i = 0; i < 3; ++i) {
    known << Format("%20s %20.9lf %20.9lf %20.9lf\n", name(i).c_str(), -2263483.8885 + i, 5013061.1228, 3218279.9226);
    known2 << Format("%20s %16.6lf %16.6lf\n", name(i).c_str(), 3376498.6 + i, 144006.4);
  }
  std::ofstream v3(dir / "b.GPS3dVector"), v2(dir / "b.GPS2dVector"), xyh(dir / "b.GPS3dXYH");
  std::ofstream dist(dir / "b.GPS2dDistance"), azim(dir / "b.GPS2dAzimuth");
  for (int j = 0; j < vectors; ++j) {
    // A chain through every point, then random pairs.
    int from = j < points - 1 ? j : static_cast<int>(rng() % points);
    int to = j < points - 1 ? j + 1 : static_cast<int>((from + 1 + rng() % (points - 1)) % points);
    v3 << Format(" 0 %16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n",
                 name(from).c_str(), name(to).c_str(), offset(rng), offset(rng), offset(rng), 0.25, 0.25, 0.36, 0.01,
                 -0.02, 0.03);
    v2 << Format("%20s %20s %15.4lf %15.4lf %20.9lf %20.9lf %20.9lf\n", name(from).c_str(), name(to).c_str(),
                 offset(rng), offset(rng), 1e-6, 1e-6, 1e-8);
  }
  for (int i = 0; i < points; ++i) {
    xyh << Format("%16s %15.4lf %15.4lf %12.4lf\n", name(i).c_str(), 3376498.6 + offset(rng), 144006.4 + offset(rng),
                  50.0);
    if (i + 1 < points) {
      dist << Format("%20s %20s %16.6lf %16.6lf\n", name(i).c_str(), name(i + 1).c_str(), 1000.0, 0.5);
      azim << Format("%20s %20s %16.6lf %16.6lf\n", name(i).c_str(), name(i + 1).c_str(), 45.3, 1.0);
    }
  }
}

template <class Load>
double Seconds(Load load, int repeats) {
  double best = 1e300;
  for (int r = 0; r < repeats; ++r) {
    auto start = std::chrono::steady_clock::now();
    if (!load()) {
      std::fprintf(stderr, "load failed\n");
      std::exit(1);
    }
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int points = argc > 2 ? std::atoi(argv[1]) : 2000;
  int vectors = argc > 2 ? std::atoi(argv[2]) : 10000;
  if (points < 2 || vectors < points - 1) {
    std::fprintf(stderr, "usage: bench_loaders [POINTS VECTORS] (VECTORS >= POINTS - 1)\n");
    return 2;
  }
  fs::path dir = fs::temp_directory_path() / Format("vemo-bench-loaders-%d", static_cast<int>(getpid()));
  fs::create_directories(dir);
  WriteProject(dir, points, vectors);
  vemo::Project().projectDir = dir.string();
  vemo::Project().projectName = std::string(1, 'b');  // the name of the files written above

  int loadedPoints = 0;
  double t3 = Seconds([&] {
    CReadGPS3dVector set(0);
    int ok = set.Load();
    loadedPoints = set.m_PointCount;
    return ok;
  }, 5);
  double t2 = Seconds([] { CReadGPS2dVector set(0); return set.Load(); }, 5);
  std::printf("network: %d points, %d vectors (loaded %d points)\n", points, vectors, loadedPoints);
  std::printf("CReadGPS3dVector::Load  %8.1f ms\n", t3 * 1e3);
  std::printf("CReadGPS2dVector::Load  %8.1f ms (with %d distances and %d azimuths)\n", t2 * 1e3, points - 1,
              points - 1);
  fs::remove_all(dir);
  return 0;
}
