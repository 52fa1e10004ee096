// Times the free network and the stability analysis on generated networks of about five
// vectors per point and one known point: the 3D adjustment in free-network mode that writes
// the input files (for reference), the free network's reading of its three inputs, its
// S-transformation of the cofactor matrix alone, the whole free network (transformation and
// the five files), and the stability analysis of that campaign against a second one (the
// network shifted, two points moved by 3 cm, fresh noise), alone and with the congruence test
// (its O(n^3) inverse and the datum iterated to 0.1 mm). Each size runs in a fresh process,
// so that its peak resident size is its own; files go to a temporary directory that is
// removed afterwards (a campaign of 2000 points writes about 1.3 GB).
// Beyond 2500 points the files hold 200 points spread over the network (--points).
// Usage: bench_free_network [POINTS...] (default 200 2000).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "adjust3d/FreeNetworkFiles.h"
#include "adjust3d/GPS3dFreeNetwork.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust3d/STransformation.h"
#include "adjust3d/StabilityAnalysis.h"
#include "bench/BenchProcess.h"
#include "bench/BenchProject.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "project/AppState.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double SizeMb(const fs::path& path) {
  std::error_code ec;
  return static_cast<double>(fs::file_size(path, ec)) / 1048576.0;
}

// Networks up to this size write every point's cofactors, larger ones 200 points' (the
// command's default refuses every point's beyond 2 GB of files).
constexpr int kAllPointsUpTo = 2500;

// One size, in the child process: the figures on one line of standard output.
int RunOnce(int points, const fs::path& dir) {
  vemo::bench::OpenBenchProject(dir.string());

  const vemo::test::SyntheticNetwork net = vemo::test::MakeSyntheticNetwork(points, 17u + points, 1.0, 1);
  vemo::test::WriteSyntheticProject(net, dir.string(), "bench");
  // The approximate coordinates of the plan: the truth to the decimetre, the known point first.
  std::string plan = vemo::Format("%16s %15.3lf %15.3lf %15.3lf\n", net.names[0].c_str(), net.x[0], net.y[0], net.z[0]);
  for (int i = 1; i < points; ++i)
    plan += vemo::Format("%16s %15.1lf %15.1lf %15.1lf\n", net.names[i].c_str(), net.x[i], net.y[i], net.z[i]);
  const std::string approximate = (dir / "plan.GPS3dApproximateXYZ").string();
  if (!vemo::WriteFileAtomically(approximate, plan)) return 1;

  auto start = Clock::now();
  {
    vemo::SetApproximateFileMode(1);
    CGPS3dNetAdjust adjust(0);
    adjust.m_ApproximateFile = approximate;
    // Beyond a few thousand points the command refuses every point's cofactors by default: the
    // run takes 200 points spread over the network, as with --points.
    if (points > kAllPointsUpTo)
      for (int i = 1; i < points; i += std::max(1, points / 200)) adjust.m_FreeNetworkPoints.push_back(net.names[i]);
    if (!adjust.Load() || !adjust.Adjust()) return 1;
  }
  const double adjustSeconds = Since(start);

  vemo::CGPS3dFreeNetwork freeNetwork;
  start = Clock::now();
  if (!freeNetwork.Load()) return 1;
  const double readSeconds = Since(start);
  // The transformation of the cofactors alone, on a copy.
  std::vector<double> p3(3 * static_cast<size_t>(freeNetwork.m_PointCount));
  for (size_t k = 0; k < p3.size(); ++k) p3[k] = freeNetwork.m_Weight[k / 3];
  double transformSeconds = 0.0;
  {
    std::vector<double> Q = freeNetwork.m_Q;
    vemo::CSTransformation S;
    if (!S.Build(freeNetwork.m_G, p3)) return 1;
    start = Clock::now();
    S.ApplyToCofactor(Q);
    transformSeconds = Since(start);
  }
  start = Clock::now();
  if (!freeNetwork.Compute()) return 1;
  const double computeSeconds = Since(start);
  {
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    const double cpu = static_cast<double>(used.ru_utime.tv_sec + used.ru_stime.tv_sec) +
                       static_cast<double>(used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e6;
    // The free-network command: the adjustment that writes the inputs, then the free network.
    vemo::bench::PrintBenchLine("free-network", points, adjustSeconds + readSeconds + computeSeconds, cpu,
                                used.ru_maxrss / 1024.0);
  }
  const fs::path one = dir / "bench.GPS3dFreeXXQxx";
  double outputMb = 0.0;
  for (const char* ext : {"GPS3dFreeXXOut", "GPS3dFreeQxxOut", "GPS3dFreeMxxOut", "GPS3dFreeXXQxx", "GPS3dFreeENUQenu"})
    outputMb += SizeMb(dir / (std::string("bench.") + ext));

  // The second campaign: the first one's displacements shifted, two points moved, new noise.
  {
    vemo::CFreeCampaign campaign;
    std::vector<double> Q;
    if (!campaign.Read(one.string(), Q)) return 1;
    std::mt19937_64 rng(5);
    std::normal_distribution<double> noise(0.0, 2.0);
    const double shift[3] = {41.0, -23.0, 17.0};
    for (size_t k = 0; k < campaign.x.size(); ++k) {
      campaign.x[k] += shift[k % 3] + noise(rng);
      if (k / 3 == 7 || k / 3 == campaign.x.size() / 6) campaign.x[k] += 17.3;
    }
    vemo::CReportFile file;
    if (!file.Create((dir / "two.GPS3dFreeXXQxx").string())) return 1;
    vemo::WriteCampaignHead(file, campaign.redundancy, campaign.m0, campaign.names, campaign.x);
    vemo::WritePackedTriangle(file, Q, campaign.x.size());
    if (!file.Close()) return 1;
  }
  freeNetwork = vemo::CGPS3dFreeNetwork();  // its arrays are freed before the analysis

  vemo::CStabilityAnalysis analysis;
  start = Clock::now();
  if (!analysis.Run(one.string(), (dir / "two.GPS3dFreeXXQxx").string(), (dir / "dam.GPS3dFreeD").string())) return 1;
  const double stabilitySeconds = Since(start);
  // The same analysis with the congruence test and the datum iterated to 0.1 mm.
  vemo::CStabilityAnalysis congruence;
  congruence.m_Congruence = true;
  start = Clock::now();
  if (!congruence.Run(one.string(), (dir / "two.GPS3dFreeXXQxx").string(), (dir / "dam.GPS3dFreeD").string()))
    return 1;
  const double congruenceSeconds = Since(start);

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double order = 3.0 * analysis.m_PointCount;  // of the points whose cofactors were written
  std::printf("%6d %6.0f %9.3f %8.3f %9.3f %8.3f %9.3f %10.3f %5d %8.0f %8.1f %8.1f\n", points, order,
              adjustSeconds, readSeconds, transformSeconds, computeSeconds, stabilitySeconds, congruenceSeconds,
              analysis.m_Iterations, outputMb,
              order * (order + 1) / 2 * 8 / 1048576.0, usage.ru_maxrss / 1024.0);
  std::fflush(stdout);  // the child ends with _exit
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {200, 2000};
  std::printf("seconds; output of the free network and packed triangle in MB; peak resident MB\n");
  std::printf("%6s %6s %9s %8s %9s %8s %9s %10s %5s %8s %8s %8s\n", "points", "order", "adjust3d", "read", "SQS^T",
              "free net", "stability", "congruence", "iter", "output", "packed", "peak");
  std::fflush(stdout);
  for (int points : sizes) {
    if (points < 4) continue;
    const fs::path dir = fs::temp_directory_path() / ("vemo-bench-free-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const pid_t pid = fork();
    if (pid == 0) _exit(RunOnce(points, dir));
    int status = 0;
    waitpid(pid, &status, 0);
    fs::remove_all(dir);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "the free network of %d points failed\n", points);
      return 1;
    }
  }
  return 0;
}
