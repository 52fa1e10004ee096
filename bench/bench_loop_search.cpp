// Times the loop search on a generated network. Usage: bench_loop_search [POINTS] (default 2000).
// The network is a jittered grid of points with vectors to near neighbours, like a real
// control network of several sessions: about three vectors a point.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "checks/LoopSearch.h"

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 2000;
  const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
  std::mt19937 rng(2026);
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("G" + std::to_string(i));
  std::vector<line> vectors;
  for (int i = 0; i < n; ++i) {
    int r = i / side, c = i % side;
    if (c + 1 < side && i + 1 < n) vectors.push_back({i, i + 1, 0.0});
    if (i + side < n) vectors.push_back({i, i + side, 0.0});
    if (c + 1 < side && i + side + 1 < n && rng() % 2) vectors.push_back({i + side + 1, i, 0.0});
    (void)r;
  }
  std::shuffle(vectors.begin(), vectors.end(), rng);
  auto t0 = std::chrono::steady_clock::now();
  CLoopSearch search(names, vectors);
  CLoopSearchResult result = search.Search();
  std::string text = search.FormatLoops(result);
  auto t1 = std::chrono::steady_clock::now();
  std::printf("points %d, vectors %zu, loops %zu, seconds %.3f\n", n, vectors.size(), result.loops.size(),
              std::chrono::duration<double>(t1 - t0).count());
  return 0;
}
