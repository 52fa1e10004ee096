#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <deque>
#include <random>
#include <set>

#include "checks/LoopSearch.h"

namespace {

std::vector<std::string> Names(int n) {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("P" + std::to_string(i));
  return names;
}

TEST(LoopSearch, TriangleGivesOneLoopAlongTheTree) {
  // A, B, C with A->B, B->C, A->C: the tree grows from B (list index 1) over A->B and B->C;
  // the chord A->C closes along C, B, A.
  CLoopSearch search({"A", "B", "C"}, {{0, 1}, {1, 2}, {0, 2}});
  auto result = search.Search();
  ASSERT_EQ(result.loops.size(), 1u);
  EXPECT_EQ(search.FormatLoops(result), "C B A \n");
}

TEST(LoopSearch, TreeNetworkHasNoLoop) {
  CLoopSearch search(Names(5), {{0, 1}, {1, 2}, {1, 3}, {3, 4}});
  auto result = search.Search();
  EXPECT_TRUE(result.noLoopGraph);
  EXPECT_TRUE(result.loops.empty());
  EXPECT_EQ(search.FormatLoops(result), "");
}

TEST(LoopSearch, ParallelAndReversedVectorsAreOneEdge) {
  // A-B twice (once reversed) plus B-C, C-A: still one triangle; the dangling D is pruned.
  CLoopSearch search({"A", "B", "C", "D"}, {{0, 1}, {1, 0}, {1, 2}, {2, 0}, {2, 3}, {1, 1}});
  EXPECT_EQ(search.LoopGraph().size(), 3u);
  auto result = search.Search();
  ASSERT_EQ(result.loops.size(), 1u);
  EXPECT_EQ(result.loops[0].size(), 3u);
}

TEST(LoopSearch, ShortestLoopsComeFirstInRounds) {
  // A square with one diagonal: two triangles, each of three points.
  CLoopSearch search(Names(4), {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 2}});
  auto result = search.Search();
  ASSERT_EQ(result.loops.size(), 2u);
  for (const auto& loop : result.loops) EXPECT_EQ(loop.size(), 3u);
}

TEST(LoopSearch, DisconnectedNetworkClosesTheLoopsOfEveryPiece) {
  // Two separate triangles: each piece grows its own tree, so both loops are found.
  CLoopSearch search(Names(6), {{0, 1}, {1, 2}, {2, 0}, {3, 4}, {4, 5}, {5, 3}});
  auto result = search.Search();
  EXPECT_EQ(result.loops.size(), 2u);
  EXPECT_EQ(result.unreachableChords, 0);
  EXPECT_EQ(search.Tree().size(), 4u);
}

// Random connected networks: a spanning chain of vectors in random order plus extra vectors,
// some duplicated or reversed, some dangling points.
struct RandomNetwork {
  int points;
  std::vector<line> vectors;
};

RandomNetwork MakeNetwork(int n, unsigned seed) {
  std::mt19937 rng(seed);
  RandomNetwork net{n, {}};
  std::vector<int> order(n);
  for (int i = 0; i < n; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), rng);
  for (int i = 1; i < n; ++i) {
    int j = order[rng() % i];  // attach to an earlier point: connected
    net.vectors.push_back({order[i], j, 0.0});
  }
  int extra = n + static_cast<int>(rng() % (2 * n));
  for (int e = 0; e < extra; ++e) {
    int a = static_cast<int>(rng() % n), b = static_cast<int>(rng() % n);
    if (a != b) net.vectors.push_back({a, b, 0.0});
  }
  std::shuffle(net.vectors.begin(), net.vectors.end(), rng);
  return net;
}

class LoopSearchProperty : public testing::TestWithParam<int> {};

TEST_P(LoopSearchProperty, WritesTheCyclomaticNumberOfClosedLoops) {
  const int n = GetParam();
  for (unsigned seed = 1; seed <= 3; ++seed) {
    RandomNetwork net = MakeNetwork(n, seed * 7919u + static_cast<unsigned>(n));
    CLoopSearch search(Names(n), net.vectors);
    auto result = search.Search();
    // m unique edges and n' points of the pruned graph: m - n' + 1 independent loops.
    std::set<int32_t> graphPoints;
    std::set<std::pair<int32_t, int32_t>> joined;
    for (const line& e : search.LoopGraph()) {
      graphPoints.insert(e.from);
      graphPoints.insert(e.to);
    }
    for (const line& v : net.vectors) joined.insert({std::min(v.from, v.to), std::max(v.from, v.to)});
    const size_t expected = search.LoopGraph().size() - graphPoints.size() + 1;
    ASSERT_EQ(result.loops.size(), expected) << "n = " << n << " seed " << seed;
    EXPECT_EQ(result.unreachableChords, 0);
    for (const auto& loop : result.loops) {
      ASSERT_GE(loop.size(), 3u);
      EXPECT_EQ(std::set<int32_t>(loop.begin(), loop.end()).size(), loop.size()) << "a point repeats";
      for (size_t i = 0; i < loop.size(); ++i) {
        int32_t a = loop[i], b = loop[(i + 1) % loop.size()];
        EXPECT_TRUE(joined.count({std::min(a, b), std::max(a, b)})) << "no vector joins " << a << " and " << b;
      }
    }
  }
}

// The closing of chords exactly as the surveyors' procedure words it: point set by first
// appearance, distances relaxed from the current point, the unvisited point of smallest
// distance selected (first in point-set order), predecessor the first visited neighbour one
// nearer. Slow, but an independent statement of every tie-break.
std::vector<int32_t> LiteralPath(const std::vector<line>& graph, int32_t p, int32_t q) {
  std::vector<int32_t> set;
  auto indexOf = [&](int32_t v) {
    for (size_t i = 0; i < set.size(); ++i)
      if (set[i] == v) return static_cast<int>(i);
    return -1;
  };
  for (const line& e : graph)
    for (int32_t v : {e.from, e.to})
      if (indexOf(v) < 0) set.push_back(v);
  auto neighbours = [&](int32_t a, int32_t b) {
    for (const line& e : graph)
      if ((e.from == a && e.to == b) || (e.from == b && e.to == a)) return true;
    return false;
  };
  const size_t n = set.size();
  std::vector<int> dist(n, -1), pred(n, -1);
  std::vector<char> visited(n, 0);
  std::vector<int> visitOrder;
  int ip = indexOf(p);
  dist[ip] = 0;
  for (size_t i = 0; i < n; ++i)
    if (neighbours(p, set[i])) dist[i] = 1;
  int current = -1;
  for (size_t i = 0; i < n; ++i)
    if (neighbours(p, set[i])) { current = static_cast<int>(i); break; }
  visited[ip] = 1;
  visitOrder.push_back(ip);
  visited[current] = 1;
  visitOrder.push_back(current);
  pred[current] = ip;
  while (set[current] != q && visitOrder.size() < n) {
    for (size_t r = 0; r < n; ++r)
      if (!visited[r] && neighbours(set[current], set[r]) && (dist[r] < 0 || dist[r] > dist[current] + 1))
        dist[r] = dist[current] + 1;
    int sel = -1;
    for (size_t r = 0; r < n; ++r)
      if (!visited[r] && dist[r] > 0 && dist[r] < 9999 && (sel < 0 || dist[r] < dist[sel])) sel = static_cast<int>(r);
    if (sel < 0) break;
    for (int v : visitOrder)
      if (neighbours(set[v], set[sel]) && dist[v] == dist[sel] - 1) { pred[sel] = v; break; }
    visited[sel] = 1;
    visitOrder.push_back(sel);
    current = sel;
  }
  std::vector<int32_t> path;
  for (int v = indexOf(q); v >= 0; v = pred[v]) {
    path.push_back(set[v]);
    if (v == ip) break;
  }
  return path;
}

TEST(LoopSearch, AgreesWithTheLiteralProcedureOnEveryTieBreak) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    const int n = 8 + static_cast<int>(seed * 5);
    RandomNetwork net = MakeNetwork(n, seed);
    CLoopSearch search(Names(n), net.vectors);
    auto result = search.Search();
    std::vector<line> graph = search.Tree();
    std::vector<line> chords = search.Chords();
    std::vector<std::vector<int32_t>> literal;
    while (!chords.empty()) {
      std::vector<std::vector<int32_t>> paths;
      size_t best = SIZE_MAX;
      for (const line& c : chords) {
        paths.push_back(LiteralPath(graph, c.from, c.to));
        best = std::min(best, paths.back().size());
      }
      std::vector<line> remaining, added;
      for (size_t c = 0; c < chords.size(); ++c) {
        if (paths[c].size() == best) {
          literal.push_back(paths[c]);
          added.push_back(chords[c]);
        } else {
          remaining.push_back(chords[c]);
        }
      }
      graph.insert(graph.end(), added.begin(), added.end());
      chords.swap(remaining);
    }
    EXPECT_EQ(result.loops, literal) << "seed " << seed;
  }
}

// The rounds stated plainly: every remaining chord measured by a breadth-first search in every
// round. The search keeps bounds instead and measures few chords per round; on larger networks
// of several shapes (wide-branching random ones, planar-like ones, strips, pieces) both must
// give the same loops in the same order.
std::vector<std::vector<int32_t>> PlainRounds(int n, std::vector<line> graph, std::vector<line> chords) {
  std::vector<int> rank(n, -1);
  int nextRank = 0;
  std::vector<std::vector<int32_t>> adjacent(n);
  auto add = [&](const line& e) {
    for (int32_t p : {e.from, e.to})
      if (rank[p] < 0) rank[p] = nextRank++;
    adjacent[e.from].push_back(e.to);
    adjacent[e.to].push_back(e.from);
  };
  for (const line& e : graph) add(e);
  auto path = [&](int32_t p, int32_t q) {
    std::vector<int> dist(n, -1);
    std::deque<int32_t> open{p};
    dist[p] = 0;
    while (!open.empty() && dist[q] < 0) {
      int32_t u = open.front();
      open.pop_front();
      for (int32_t r : adjacent[u])
        if (dist[r] < 0) dist[r] = dist[u] + 1, open.push_back(r);
    }
    std::vector<int32_t> out;
    if (dist[q] < 0) return out;
    for (int32_t v = q;; ) {
      out.push_back(v);
      if (v == p) break;
      int32_t best = -1;
      for (int32_t u : adjacent[v])
        if (dist[u] == dist[v] - 1 && (best < 0 || rank[u] < rank[best])) best = u;
      v = best;
    }
    return out;
  };
  std::vector<std::vector<int32_t>> loops;
  while (!chords.empty()) {
    std::vector<std::vector<int32_t>> paths;
    size_t best = SIZE_MAX;
    for (const line& c : chords) {
      paths.push_back(path(c.from, c.to));
      if (!paths.back().empty()) best = std::min(best, paths.back().size());
    }
    if (best == SIZE_MAX) break;
    std::vector<line> remaining, added;
    for (size_t c = 0; c < chords.size(); ++c)
      (paths[c].size() == best ? added : remaining).push_back(chords[c]);
    for (size_t c = 0; c < chords.size(); ++c)
      if (paths[c].size() == best) loops.push_back(paths[c]);
    for (const line& e : added) add(e);
    chords.swap(remaining);
  }
  return loops;
}

std::vector<line> ShapedNetwork(int n, int shape, std::mt19937& rng) {
  std::vector<line> v;
  if (shape == 0) {  // random: every point tied to an earlier one, plus random extra vectors
    return MakeNetwork(n, static_cast<unsigned>(rng())).vectors;
  } else if (shape == 1) {  // points scattered over a square, vectors to the points nearby
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) x[i] = u(rng), y[i] = u(rng);
    const double reach = 1.5 / std::sqrt(static_cast<double>(n));
    for (int a = 0; a < n; ++a)
      for (int b = a + 1; b < n; ++b)
        if (std::hypot(x[a] - x[b], y[a] - y[b]) < reach) v.push_back({a, b, 0.0});
  } else {  // a strip three points wide with some diagonals, cut into pieces
    for (int i = 0; i < n; ++i) {
      if (i % 3 != 2) v.push_back({i, i + 1, 0.0});
      if (i + 3 < n && i % 90 < 87) v.push_back({i, i + 3, 0.0});
      if (i % 3 != 2 && i + 4 < n && rng() % 2) v.push_back({i + 4, i, 0.0});
    }
  }
  std::shuffle(v.begin(), v.end(), rng);
  return v;
}

// The tree stated plainly: passes over the edge list, each edge with exactly one end in the
// tree joining it, until a pass adds none; a further piece starts at the from-point of its
// first edge.
std::vector<std::pair<int32_t, int32_t>> Ends(const std::vector<line>& edges) {
  std::vector<std::pair<int32_t, int32_t>> ends;
  for (const line& e : edges) ends.emplace_back(e.from, e.to);
  return ends;
}

std::vector<line> PlainTree(int n, const std::vector<line>& graph) {
  std::vector<char> inGraph(n, 0), in(n, 0), used(graph.size(), 0);
  size_t total = 0, points = 1;
  for (const line& e : graph)
    for (int32_t p : {e.from, e.to}) total += !inGraph[p], inGraph[p] = 1;
  in[n > 1 && inGraph[1] ? 1 : graph.front().from] = 1;
  std::vector<line> tree;
  for (bool grew = true; points < total;) {
    grew = false;
    for (size_t i = 0; i < graph.size() && points < total; ++i)
      if (!used[i] && in[graph[i].from] != in[graph[i].to]) {
        in[graph[i].from] = in[graph[i].to] = used[i] = 1;
        tree.push_back(graph[i]), ++points, grew = true;
      }
    if (!grew)
      for (const line& e : graph)
        if (!in[e.from] && !in[e.to]) {
          in[e.from] = 1, ++points;
          break;
        }
  }
  return tree;
}

TEST(LoopSearch, AgreesWithPlainRoundsOnLargerNetworks) {
  std::mt19937 rng(12);
  for (int shape = 0; shape < 3; ++shape)
    for (int n : {150, 400}) {
      std::vector<line> vectors = ShapedNetwork(n, shape, rng);
      CLoopSearch search(Names(n), vectors);
      auto result = search.Search();
      EXPECT_EQ(Ends(search.Tree()), Ends(PlainTree(n, search.LoopGraph()))) << "shape " << shape << ", " << n;
      EXPECT_EQ(result.loops, PlainRounds(n, search.Tree(), search.Chords())) << "shape " << shape << ", " << n;
      EXPECT_EQ(result.unreachableChords, 0);
    }
}

TEST(LoopSearch, ALargeWideBranchingNetworkTakesAMomentNotMinutes) {
  // 4,000 points and 8,000 vectors at random: measuring every chord in every round took tens
  // of seconds here; the bounded search takes a fraction of a second (10 s leaves room for a
  // loaded machine and the sanitizers).
  RandomNetwork net = MakeNetwork(4000, 47);
  const auto start = std::chrono::steady_clock::now();
  CLoopSearch search(Names(4000), net.vectors);
  auto result = search.Search();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 10.0);
  EXPECT_EQ(result.loops.size(), search.Chords().size());
}

INSTANTIATE_TEST_SUITE_P(Sizes, LoopSearchProperty, testing::Values(10, 37, 120, 300),
                         [](const testing::TestParamInfo<int>& info) { return "Points" + std::to_string(info.param); });

}  // namespace
