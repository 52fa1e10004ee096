// Times the loop search on a generated network. Usage: bench_loop_search [POINTS] [grid|random]
// (default 2000 grid).
// grid: a jittered grid of points with vectors to near neighbours, like a real control network
//   of several sessions: about three vectors a point.
// random: every point tied to a random earlier one plus as many vectors between random
//   points; a network that branches widely, so that its loops are long and every search from
//   a point soon reaches most of the network (the hard case for the search).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "checks/LoopSearch.h"

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 2000;
  const bool random = argc > 2 && std::strcmp(argv[2], "random") == 0;
  if (n < 2 || (argc > 2 && !random && std::strcmp(argv[2], "grid") != 0)) {
    std::fprintf(stderr, "usage: bench_loop_search [POINTS] [grid|random]\n");
    return 2;
  }
  std::mt19937 rng(2026);
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("G" + std::to_string(i));
  std::vector<line> vectors;
  if (random) {
    for (int i = 1; i < n; ++i) vectors.push_back({i, static_cast<int32_t>(rng() % i), 0.0});
    for (int e = 0; e < n; ++e) {
      const int32_t a = static_cast<int32_t>(rng() % n), b = static_cast<int32_t>(rng() % n);
      if (a != b) vectors.push_back({a, b, 0.0});
    }
  } else {
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    for (int i = 0; i < n; ++i) {
      const int c = i % side;
      if (c + 1 < side && i + 1 < n) vectors.push_back({i, i + 1, 0.0});
      if (i + side < n) vectors.push_back({i, i + side, 0.0});
      if (c + 1 < side && i + side + 1 < n && rng() % 2) vectors.push_back({i + side + 1, i, 0.0});
    }
  }
  std::shuffle(vectors.begin(), vectors.end(), rng);
  auto t0 = std::chrono::steady_clock::now();
  CLoopSearch search(names, vectors);
  CLoopSearchResult result = search.Search();
  std::string text = search.FormatLoops(result);
  auto t1 = std::chrono::steady_clock::now();
  size_t points = 0;
  for (const auto& loop : result.loops) points += loop.size();
  std::printf("%s network: points %d, vectors %zu, loops %zu (mean %.2f points), seconds %.3f\n",
              random ? "random" : "grid", n, vectors.size(), result.loops.size(),
              result.loops.empty() ? 0.0 : static_cast<double>(points) / result.loops.size(),
              std::chrono::duration<double>(t1 - t0).count());
  return 0;
}
