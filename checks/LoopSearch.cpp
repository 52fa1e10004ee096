#include "checks/LoopSearch.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <queue>
#include <span>
#include <unordered_set>

#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/Encoding.h"
#include "geodesy/LibraryState.h"
#include "geodesy/UiText.h"

namespace {

uint64_t DirectedKey(int32_t from, int32_t to) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(from)) << 32) | static_cast<uint32_t>(to);
}

// The graph in which chords are closed: the tree plus the chords added so far, as adjacency
// lists, with each point's rank in the point set (first appearance in the edge list, from-point
// before to-point). Ranks decide every tie of the shortest path search.
//
// Both queries grow a breadth-first search from each end of a chord, always the side whose
// frontier is smaller, so that a network that branches widely is searched to about half the
// loop's length from either end rather than to its whole length from one.
class CurrentGraph {
 public:
  // edges: every edge that will be added. Each point's neighbours lie in one array, those of
  // the edges added so far first (the order of neighbours decides nothing).
  CurrentGraph(size_t pointCount, const std::vector<line>& edges)
      : m_Start(pointCount + 1, 0), m_Active(pointCount, 0), m_Rank(pointCount, -1), m_OnPath(pointCount, 0) {
    for (auto& label : m_Label) label.assign(pointCount, -1);
    for (const line& e : edges) ++m_Start[e.from + 1], ++m_Start[e.to + 1];
    for (size_t p = 0; p < pointCount; ++p) m_Start[p + 1] += m_Start[p];
    m_Neighbour.resize(m_Start[pointCount]);
    std::vector<uint32_t> fill(m_Start.begin(), m_Start.end() - 1);
    for (const line& e : edges) m_Neighbour[fill[e.from]++] = e.to, m_Neighbour[fill[e.to]++] = e.from;
  }

  void Add(const line& e) {
    for (int32_t p : {e.from, e.to})
      if (m_Rank[p] < 0) m_Rank[p] = m_NextRank++;
    Activate(e.from, e.to);
    Activate(e.to, e.from);
  }

  // The number of edges between p and q, or -1 when it exceeds maxEdges.
  int Distance(int32_t p, int32_t q, int maxEdges) {
    Start(p, q);
    int found = -1;
    // Before a level is added no point carries both labels, so the ends are more than
    // depth[0] + depth[1] edges apart; a point labelled from both sides while the level is
    // added closes a path of exactly one edge more.
    while (found < 0 && m_Depth[0] + m_Depth[1] < maxEdges && !m_Levels[0].back().empty() &&
           !m_Levels[1].back().empty())
      found = GrowLevel(SmallerSide(), true);
    Clear();
    return found;
  }

  // The shortest path from p to q of the given length (the exact number of edges between
  // them), as q, predecessor of q, ..., p. A point's predecessor is its neighbour one edge
  // nearer to p of lowest rank: the choice of a search from p that visits points by distance
  // and, within a distance, by rank, taking as predecessor the first visited neighbour one
  // edge nearer.
  std::vector<int32_t> ShortestPath(int32_t p, int32_t q, int length) {
    Start(p, q);
    while (m_Depth[0] + m_Depth[1] < length) GrowLevel(SmallerSide(), false);
    // The points on some shortest path: on the level where the two searches meet, those
    // labelled from both sides; nearer each end, those with a neighbour on a shortest path one
    // level farther from that end.
    for (int side = 0; side < 2; ++side) {
      const std::vector<int>& own = m_Label[side];
      const std::vector<int>& other = m_Label[1 - side];
      const int outer = m_Depth[side];
      for (int32_t u : m_Levels[side][outer])
        if (other[u] == length - outer) m_OnPath[u] = 1;
      for (int level = outer - 1; level >= 0; --level)
        for (int32_t u : m_Levels[side][level])
          for (int32_t w : Neighbours(u))
            if (m_OnPath[w] && own[w] == level + 1) {
              m_OnPath[u] = 1;
              break;
            }
    }
    // On a shortest path a point's distance from p is its label from p, or the length less
    // its label from q.
    auto fromP = [&](int32_t u) { return m_Label[0][u] >= 0 ? m_Label[0][u] : length - m_Label[1][u]; };
    std::vector<int32_t> path{q};
    for (int32_t v = q; v != p;) {
      const int nearer = fromP(v) - 1;
      int32_t best = -1;
      for (int32_t u : Neighbours(v))
        if (m_OnPath[u] && fromP(u) == nearer && (best < 0 || m_Rank[u] < m_Rank[best])) best = u;
      v = best;
      path.push_back(v);
    }
    Clear();
    return path;
  }

  // Distances (in edges) from the nearest of sources, up to radius; calls reached(point,
  // distance) once for every point within the radius.
  template <class Reached>
  void ForEachNear(const std::vector<int32_t>& sources, int radius, Reached reached) {
    std::vector<int>& label = m_Label[0];
    std::vector<int32_t> level, next;
    for (int32_t s : sources)
      if (label[s] < 0) {
        Mark(0, s, 0);
        level.push_back(s);
        reached(s, 0);
      }
    for (int depth = 1; depth <= radius && !level.empty(); ++depth) {
      next.clear();
      for (int32_t u : level)
        for (int32_t r : Neighbours(u))
          if (label[r] < 0) {
            Mark(0, r, depth);
            next.push_back(r);
            reached(r, depth);
          }
      level.swap(next);
    }
    Clear();
  }

 private:
  std::span<const int32_t> Neighbours(int32_t u) const {
    return {m_Neighbour.data() + m_Start[u], static_cast<size_t>(m_Active[u])};
  }
  void Activate(int32_t p, int32_t q) {
    int32_t* first = m_Neighbour.data() + m_Start[p] + m_Active[p];
    std::iter_swap(first, std::find(first, m_Neighbour.data() + m_Start[p + 1], q));
    ++m_Active[p];
  }

  void Start(int32_t p, int32_t q) {
    for (int side = 0; side < 2; ++side) {
      m_Depth[side] = 0;
      m_Levels[side].resize(1);
      m_Levels[side][0].assign(1, side == 0 ? p : q);
    }
    Mark(0, p, 0);
    Mark(1, q, 0);
  }

  int SmallerSide() const { return m_Levels[0].back().size() <= m_Levels[1].back().size() ? 0 : 1; }

  // Adds the next level of one side's search. With stopAtMeeting, returns the length of the
  // path closed by the first point found labelled from the other side (and leaves the level
  // unfinished); otherwise completes the level and returns -1.
  int GrowLevel(int side, bool stopAtMeeting) {
    std::vector<int>& own = m_Label[side];
    const std::vector<int>& other = m_Label[1 - side];
    const int depth = m_Depth[side] + 1;
    if (m_Levels[side].size() <= static_cast<size_t>(depth)) m_Levels[side].resize(depth + 1);
    std::vector<int32_t>& next = m_Levels[side][depth];
    next.clear();
    m_Depth[side] = depth;
    for (int32_t u : m_Levels[side][depth - 1])
      for (int32_t r : Neighbours(u)) {
        if (own[r] >= 0) continue;
        if (stopAtMeeting && other[r] >= 0) return depth + other[r];
        Mark(side, r, depth);
        next.push_back(r);
      }
    return -1;
  }

  void Mark(int side, int32_t v, int d) {
    m_Label[side][v] = d;
    m_Touched.push_back(v);
  }
  void Clear() {
    for (int32_t t : m_Touched) m_Label[0][t] = m_Label[1][t] = -1, m_OnPath[t] = 0;
    m_Touched.clear();
  }

  std::vector<uint32_t> m_Start;  // the neighbours of p: m_Neighbour[m_Start[p] ..]
  std::vector<int32_t> m_Neighbour;
  std::vector<int32_t> m_Active;  // how many of them the edges added so far join
  std::vector<int> m_Rank;
  int m_NextRank = 0;
  std::vector<int> m_Label[2];  // distance from p (or the sources) and from q; -1 unset
  std::vector<char> m_OnPath;
  std::vector<std::vector<int32_t>> m_Levels[2];  // the points of each level of each side
  int m_Depth[2] = {0, 0};
  std::vector<int32_t> m_Touched;
};

}  // namespace

CLoopSearch::CLoopSearch(std::vector<std::string> pointNames, const std::vector<line>& vectors)
    : m_Names(std::move(pointNames)) {
  BuildUniqueEdges(vectors);
  Prune(vectors);
  GrowTree();
}

void CLoopSearch::BuildUniqueEdges(const std::vector<line>& vectors) {
  std::unordered_set<uint64_t> joined;
  const int32_t count = static_cast<int32_t>(m_Names.size());
  for (const line& v : vectors) {
    if (v.from == v.to || v.from < 0 || v.to < 0 || v.from >= count || v.to >= count) continue;
    if (joined.insert(PointPairKey(v.from, v.to)).second) m_Unique.push_back({v.from, v.to, 0.0});
  }
}

void CLoopSearch::Prune(const std::vector<line>& vectors) {
  std::unordered_set<uint64_t> directed;
  for (const line& e : m_Unique) directed.insert(DirectedKey(e.from, e.to));
  size_t reversed = 0;
  for (const line& v : vectors)
    if (directed.count(DirectedKey(v.to, v.from))) ++reversed;
  m_Graph = m_Unique;
  if (reversed == m_Unique.size()) return;

  // Remove edges at points of degree 1 until none is left; each removal may expose another.
  std::vector<int> degree(m_Names.size(), 0);
  for (const line& e : m_Graph) ++degree[e.from], ++degree[e.to];
  std::vector<char> removed(m_Graph.size(), 0);
  std::vector<std::vector<size_t>> incident(m_Names.size());
  for (size_t i = 0; i < m_Graph.size(); ++i) {
    incident[m_Graph[i].from].push_back(i);
    incident[m_Graph[i].to].push_back(i);
  }
  std::vector<int32_t> leaves;
  for (size_t p = 0; p < degree.size(); ++p)
    if (degree[p] == 1) leaves.push_back(static_cast<int32_t>(p));
  while (!leaves.empty()) {
    int32_t p = leaves.back();
    leaves.pop_back();
    for (size_t i : incident[p]) {
      if (removed[i]) continue;
      removed[i] = 1;
      for (int32_t end : {m_Graph[i].from, m_Graph[i].to})
        if (--degree[end] == 1) leaves.push_back(end);
    }
  }
  std::vector<line> kept;
  for (size_t i = 0; i < m_Graph.size(); ++i)
    if (!removed[i]) kept.push_back(m_Graph[i]);
  m_Graph.swap(kept);
}

void CLoopSearch::GrowTree() {
  if (m_Graph.empty()) return;
  std::vector<char> inGraph(m_Names.size(), 0), inTree(m_Names.size(), 0), edgeInTree(m_Graph.size(), 0);
  std::vector<std::vector<uint32_t>> incident(m_Names.size());
  size_t graphPoints = 0;
  for (size_t i = 0; i < m_Graph.size(); ++i)
    for (int32_t p : {m_Graph[i].from, m_Graph[i].to}) {
      if (!inGraph[p]) inGraph[p] = 1, ++graphPoints;
      incident[p].push_back(static_cast<uint32_t>(i));
    }
  // The tree grows in passes over the edge list: each edge with one end in the tree joins it,
  // until a pass adds nothing. Scanning every edge in every pass costs passes x edges, and the
  // passes grow with the network's diameter; instead an edge is visited only when one of its
  // points joins the tree: at its place in the current pass when it comes later in the list,
  // else in the next pass. Visiting these in pass and list order adds the same edges in the
  // same order as the scans.
  using Visit = std::pair<uint64_t, uint32_t>;  // (pass, edge)
  std::priority_queue<Visit, std::vector<Visit>, std::greater<Visit>> visits;
  auto join = [&](int32_t p, uint64_t pass, int64_t at) {
    inTree[p] = 1;
    for (uint32_t i : incident[p])
      if (!edgeInTree[i]) visits.push({static_cast<int64_t>(i) > at ? pass : pass + 1, i});
  };
  size_t treePoints = 0, nextPiece = 0;
  uint64_t pass = 0;
  // The first piece starts at point 1 (when it has edges); each further piece of a network in
  // several pieces at the from-point of its first edge, so that the loops of every piece are
  // searched.
  int32_t start = m_Names.size() > 1 && inGraph[1] ? 1 : m_Graph.front().from;
  while (true) {
    join(start, pass, -1);
    ++treePoints;
    while (!visits.empty() && treePoints < graphPoints) {
      const auto [visitPass, i] = visits.top();
      visits.pop();
      const line& e = m_Graph[i];
      if (edgeInTree[i] || inTree[e.from] == inTree[e.to]) continue;
      pass = visitPass;
      edgeInTree[i] = 1;
      m_Tree.push_back(e);
      ++treePoints;
      join(inTree[e.from] ? e.to : e.from, pass, i);
    }
    visits = {};
    if (treePoints >= graphPoints) break;
    while (nextPiece < m_Graph.size() && (inTree[m_Graph[nextPiece].from] || inTree[m_Graph[nextPiece].to])) ++nextPiece;
    if (nextPiece == m_Graph.size()) break;
    start = m_Graph[nextPiece].from;
    pass += 2;  // a fresh scan from the start of the list
  }
  // Unique edges: an edge joins the same two points as a tree edge only if it is that edge.
  for (size_t i = 0; i < m_Graph.size(); ++i)
    if (!edgeInTree[i]) m_Chords.push_back(m_Graph[i]);
}

CLoopSearchResult CLoopSearch::Search(CDisplayMessageDlg* progress) {
  CLoopSearchResult result;
  if (m_Graph.empty()) {
    result.noLoopGraph = true;
    return result;
  }
  if (progress) {
    progress->SetTitle(vemo::UiText(u8"GPS网"));
    progress->SetDisplayMessage(vemo::UiText(u8"GPS网闭合环"));
    progress->SetRange(0, static_cast<int>(m_Chords.size()));
  }
  // Every query walks the graph point by point. The data set numbers the points in the order of
  // its file, which scatters each walk over the whole of memory once the network outgrows the
  // processor's caches; numbered in the breadth-first order of the tree, neighbours in the
  // network are neighbours in memory. The numbering decides no tie (ranks do, which the order
  // of the edges sets): the search works in these numbers and hands back the data set's.
  std::vector<int32_t> original, local(m_Names.size(), -1);
  {
    std::vector<std::vector<int32_t>> treeAdjacent(m_Names.size());
    for (const line& e : m_Tree) treeAdjacent[e.from].push_back(e.to), treeAdjacent[e.to].push_back(e.from);
    auto visit = [&](int32_t p) {
      if (local[p] >= 0) return;
      local[p] = static_cast<int32_t>(original.size());
      original.push_back(p);
    };
    for (const line& e : m_Graph) {
      if (local[e.from] >= 0) continue;
      for (size_t head = original.size(), at = (visit(e.from), head); at < original.size(); ++at)
        for (int32_t q : treeAdjacent[original[at]]) visit(q);
    }
    for (int32_t p = 0; p < static_cast<int32_t>(m_Names.size()); ++p) visit(p);
  }
  auto toLocal = [&](const line& e) { return line{local[e.from], local[e.to], 0.0}; };
  std::vector<line> chords;
  chords.reserve(m_Chords.size());
  for (const line& e : m_Chords) chords.push_back(toLocal(e));

  std::vector<line> edges;
  edges.reserve(m_Graph.size());
  for (const line& e : m_Tree) edges.push_back(toLocal(e));
  edges.insert(edges.end(), chords.begin(), chords.end());
  CurrentGraph graph(m_Names.size(), edges);
  for (size_t i = 0; i < m_Tree.size(); ++i) graph.Add(edges[i]);

  // The loops come out in rounds: a round outputs every remaining chord whose shortest path is
  // the shortest of that round. Measuring every chord in every round costs rounds x chords
  // searches, which grows like the square of the network and worse. Instead each chord keeps a
  // lower bound of its length (in edges) and whether that bound is its exact length; a round
  // measures chords in the order of their bounds and stops as soon as the next bound exceeds
  // the best length found, so far chords are not searched at all. When a round adds chords,
  // a path that became shorter passes through an end of an added chord: its length is at least
  // the sum of the distances of the chord's ends from those points, which lowers the bounds of
  // the few chords near the additions and leaves all others exact.
  const size_t chordCount = m_Chords.size();
  const int pointCount = static_cast<int>(m_Names.size());
  // Two points joined by no edge of the graph are at least two edges apart.
  constexpr int kLeastLength = 2;
  std::vector<int> bound(chordCount, kLeastLength), version(chordCount, 0);
  std::vector<char> exact(chordCount, 0), done(chordCount, 0);
  std::vector<std::vector<uint32_t>> chordsAt(m_Names.size());
  for (size_t c = 0; c < chordCount; ++c) {
    chordsAt[chords[c].from].push_back(static_cast<uint32_t>(c));
    chordsAt[chords[c].to].push_back(static_cast<uint32_t>(c));
  }
  // The bounds of the remaining chords, to know the largest; and the queue: a list of chords
  // for each bound, where an entry of an older version of a chord is stale. (Within a bound the
  // order of measuring decides nothing: a round outputs every chord of the shortest length.)
  std::map<int, size_t> boundCount{{kLeastLength, chordCount}};
  struct Entry {
    uint32_t chord;
    int version;
  };
  std::vector<std::vector<Entry>> queue(kLeastLength + 1);
  size_t lowest = kLeastLength;  // no entry has a lower bound
  for (size_t c = chordCount; c-- > 0;) queue[kLeastLength].push_back({static_cast<uint32_t>(c), 0});
  auto push = [&](uint32_t c, int v) {
    const size_t b = static_cast<size_t>(bound[c]);
    if (b >= queue.size()) queue.resize(b + 1);
    queue[b].push_back({c, v});
    lowest = std::min(lowest, b);
  };
  auto dropCount = [&](int b) {
    auto it = boundCount.find(b);
    if (--it->second == 0) boundCount.erase(it);
  };
  auto setBound = [&](uint32_t c, int b, bool isExact) {
    exact[c] = isExact;
    if (b == bound[c]) return;
    dropCount(bound[c]);
    ++boundCount[b];
    bound[c] = b;
  };
  // A chord has one valid entry in the queue while it waits, none while it is measured.
  auto requeue = [&](uint32_t c) { push(c, ++version[c]); };
  auto remove = [&](uint32_t c) {
    done[c] = 1;
    ++version[c];
    dropCount(bound[c]);
  };

  size_t remaining = chordCount;
  std::vector<uint32_t> measured, output;
  std::vector<int32_t> ends;
  std::vector<int> stamp(chordCount, -1);
  // The distance of each point near the chords added in a round, -1 elsewhere.
  std::vector<int> nearDistance(m_Names.size(), -1);
  for (int round = 0; remaining > 0; ++round) {
    int best = INT_MAX;
    measured.clear();
    while (true) {
      while (lowest < queue.size() && queue[lowest].empty()) ++lowest;
      if (lowest == queue.size()) break;
      const Entry top = queue[lowest].back();
      if (done[top.chord] || top.version != version[top.chord]) {
        queue[lowest].pop_back();
        continue;
      }
      if (static_cast<int>(lowest) > best) break;
      queue[lowest].pop_back();
      const uint32_t c = top.chord;
      if (!exact[c]) {
        if (bound[c] >= pointCount) {  // longer than any path: its ends are not joined
          remove(c);
          --remaining;
          ++result.unreachableChords;
          continue;
        }
        // Look up to twice the bound (at least to the best length): a chord is measured a few
        // times at most before its length is known. One not closed within the limit gets the
        // next length as its bound and waits in the queue.
        const int limit = std::max(best != INT_MAX ? best : 0, 2 * bound[c]);
        const int length = graph.Distance(chords[c].from, chords[c].to, limit);
        if (length < 0) {
          setBound(c, limit + 1, false);
          requeue(c);
          continue;
        }
        setBound(c, length, true);
      }
      best = std::min(best, bound[c]);
      measured.push_back(c);
    }
    if (best == INT_MAX) {  // only chords whose ends are not joined were left
      result.unreachableChords += static_cast<int>(remaining);
      break;
    }

    // Output, in chord order, every measured chord of the best length; the others wait with
    // their exact length.
    output.clear();
    for (uint32_t c : measured) {
      if (bound[c] == best)
        output.push_back(c);
      else
        requeue(c);
    }
    std::sort(output.begin(), output.end());
    for (uint32_t c : output) {
      std::vector<int32_t> path = graph.ShortestPath(chords[c].from, chords[c].to, best);
      for (int32_t& p : path) p = original[p];
      result.loops.push_back(std::move(path));
      remove(c);
      --remaining;
      if (progress) {
        progress->SetPosition(static_cast<int>(result.loops.size()));
        GetWindowMessage();
      }
    }
    ends.clear();
    for (uint32_t c : output) {
      graph.Add(chords[c]);
      ends.push_back(chords[c].from);
      ends.push_back(chords[c].to);
    }
    if (remaining == 0) break;

    // Lower the bounds of the chords near the added ones. Searching to about half the largest
    // bound reaches every chord whose path the additions can shorten: through them, a chord
    // with no end within the radius is at least 2 (radius + 1) + 1 edges long, more than any
    // bound.
    const int radius = (boundCount.rbegin()->first - 1) / 2;
    std::vector<std::pair<int32_t, int>> near;
    graph.ForEachNear(ends, radius, [&](int32_t point, int distance) { near.emplace_back(point, distance); });
    for (const auto& [point, distance] : near) nearDistance[point] = distance;
    auto distanceOf = [&](int32_t point) { return nearDistance[point] >= 0 ? nearDistance[point] : radius + 1; };
    for (const auto& [point, distance] : near)
      for (uint32_t c : chordsAt[point]) {
        if (done[c] || stamp[c] == round) continue;
        stamp[c] = round;
        // A shorter path runs from one end to an added chord, along it, and on to the other end.
        const int through =
            std::max(kLeastLength, distanceOf(chords[c].from) + 1 + distanceOf(chords[c].to));
        if (through < bound[c]) {
          setBound(c, through, false);
          requeue(c);
        }
      }
    for (const auto& nearPoint : near) nearDistance[nearPoint.first] = -1;
  }
  return result;
}

std::string CLoopSearch::FormatLoops(const CLoopSearchResult& result) const {
  std::string out;
  for (const auto& loop : result.loops) {
    for (int32_t p : loop) out += m_Names[p] + " ";
    out += "\n";
  }
  return out;
}
