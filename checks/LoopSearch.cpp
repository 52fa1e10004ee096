#include "checks/LoopSearch.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <queue>
#include <span>

#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/Encoding.h"
#include "geodesy/LibraryState.h"
#include "geodesy/UiText.h"

namespace {

// Lists of items per point in one array: the items of p are item[start[p] .. start[p + 1]), in
// the order they were added. One allocation for a national network, where a list per point
// costs a hundred thousand and scatters them over the heap.
template <class Item>
struct PointLists {
  std::vector<uint32_t> start;
  std::vector<Item> item;
  // ends(i, visit) calls visit(point) for each point whose list item i goes to, and
  // itemOf(i, point) gives the item; both are called in the same order twice, to count and to fill.
  template <class Ends, class ItemOf>
  PointLists(size_t pointCount, size_t count, Ends ends, ItemOf itemOf) : start(pointCount + 1, 0) {
    for (size_t i = 0; i < count; ++i) ends(i, [&](int32_t p) { ++start[static_cast<size_t>(p) + 1]; });
    for (size_t p = 0; p < pointCount; ++p) start[p + 1] += start[p];
    item.resize(start[pointCount]);
    std::vector<uint32_t> fill(start.begin(), start.end() - 1);
    for (size_t i = 0; i < count; ++i) ends(i, [&](int32_t p) { item[fill[p]++] = itemOf(i, p); });
  }
  std::span<const Item> operator[](int32_t p) const {
    return {item.data() + start[p], static_cast<size_t>(start[p + 1] - start[p])};
  }
};

// The edges at each point of an edge list, by edge index in list order.
PointLists<uint32_t> IncidentEdges(size_t pointCount, const std::vector<line>& edges) {
  return PointLists<uint32_t>(
      pointCount, edges.size(),
      [&](size_t i, auto add) {
        add(edges[i].from);
        add(edges[i].to);
      },
      [](size_t i, int32_t) { return static_cast<uint32_t>(i); });
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
      : m_Start(pointCount + 1, 0),
        m_Active(pointCount, 0),
        m_Rank(pointCount, -1),
        m_OnPath(pointCount, 0),
        m_Marked(pointCount, 0) {
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

  // The number of edges between p and q, known to be at least atLeast, or -1 when it exceeds
  // maxEdges.
  int Distance(int32_t p, int32_t q, int atLeast, int maxEdges) {
    // Most loops of a network are triangles: a common neighbour of two points that no edge
    // joins settles it without a search.
    if (atLeast <= 2 && maxEdges >= 2 && LeastRankedCommonNeighbour(p, q) >= 0) return 2;
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
    // Of length 2 the points on a shortest path are the common neighbours.
    if (length == 2) {
      const int32_t middle = LeastRankedCommonNeighbour(p, q);
      if (middle >= 0) return {q, middle, p};
    }
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
  // The common neighbour of p and q of lowest rank; -1 when they have none or an edge joins
  // them (they are then one edge apart).
  int32_t LeastRankedCommonNeighbour(int32_t p, int32_t q) {
    if (++m_Mark == 0) std::fill(m_Marked.begin(), m_Marked.end(), 0), m_Mark = 1;
    for (int32_t u : Neighbours(q)) m_Marked[u] = m_Mark;
    int32_t best = -1;
    for (int32_t u : Neighbours(p)) {
      if (u == q) return -1;
      if (m_Marked[u] == m_Mark && (best < 0 || m_Rank[u] < m_Rank[best])) best = u;
    }
    return best;
  }

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
  std::vector<uint32_t> m_Marked;  // the neighbours of the last query's q carry m_Mark
  uint32_t m_Mark = 0;
};

}  // namespace

CLoopSearch::CLoopSearch(std::vector<std::string> pointNames, const std::vector<line>& vectors)
    : m_Names(std::move(pointNames)) {
  const size_t reversed = BuildUniqueEdges(vectors);
  Prune(reversed);
  GrowTree();
}

size_t CLoopSearch::BuildUniqueEdges(const std::vector<line>& vectors) {
  // The first vector of each pair of points, found among the vectors at the lower point of the
  // pair (a point's few vectors at a time, not a hash set of all of them).
  const int32_t count = static_cast<int32_t>(m_Names.size());
  auto valid = [&](const line& v) { return v.from != v.to && v.from >= 0 && v.to >= 0 && v.from < count && v.to < count; };
  const PointLists<uint32_t> atLower(
      m_Names.size(), vectors.size(),
      [&](size_t i, auto add) {
        if (valid(vectors[i])) add(std::min(vectors[i].from, vectors[i].to));
      },
      [](size_t i, int32_t) { return static_cast<uint32_t>(i); });
  constexpr uint32_t kNone = UINT32_MAX;
  std::vector<uint32_t> first(vectors.size(), kNone);  // the first vector of the pair of each vector
  std::vector<int32_t> seenAt(m_Names.size(), -1);
  std::vector<uint32_t> seenFirst(m_Names.size(), kNone);
  for (int32_t lower = 0; lower < count; ++lower)
    for (uint32_t i : atLower[lower]) {
      const int32_t upper = std::max(vectors[i].from, vectors[i].to);
      if (seenAt[upper] != lower) seenAt[upper] = lower, seenFirst[upper] = i;
      first[i] = seenFirst[upper];
    }
  // Unique edges in the order of their first vectors. A vector counts as reversed when it runs
  // against its pair's edge.
  std::vector<uint32_t> edgeOf(vectors.size(), kNone);
  size_t reversed = 0;
  for (size_t i = 0; i < vectors.size(); ++i) {
    if (first[i] == kNone) continue;
    if (first[i] == i) {
      edgeOf[i] = static_cast<uint32_t>(m_Unique.size());
      m_Unique.push_back({vectors[i].from, vectors[i].to, 0.0});
    } else {
      edgeOf[i] = edgeOf[first[i]];
    }
    if (m_Unique[edgeOf[i]].from == vectors[i].to) ++reversed;
  }
  return reversed;
}

void CLoopSearch::Prune(size_t reversed) {
  m_Graph = m_Unique;
  if (reversed == m_Unique.size()) return;

  // Remove edges at points of degree 1 until none is left; each removal may expose another.
  std::vector<int> degree(m_Names.size(), 0);
  for (const line& e : m_Graph) ++degree[e.from], ++degree[e.to];
  std::vector<char> removed(m_Graph.size(), 0);
  const PointLists<uint32_t> incident = IncidentEdges(m_Names.size(), m_Graph);
  std::vector<int32_t> leaves;
  for (size_t p = 0; p < degree.size(); ++p)
    if (degree[p] == 1) leaves.push_back(static_cast<int32_t>(p));
  while (!leaves.empty()) {
    int32_t p = leaves.back();
    leaves.pop_back();
    for (uint32_t i : incident[p]) {
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
  const PointLists<uint32_t> incident = IncidentEdges(m_Names.size(), m_Graph);
  size_t graphPoints = 0;
  for (const line& e : m_Graph)
    for (int32_t p : {e.from, e.to})
      if (!inGraph[p]) inGraph[p] = 1, ++graphPoints;
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
    const PointLists<int32_t> treeAdjacent(
        m_Names.size(), m_Tree.size(),
        [&](size_t i, auto add) {
          add(m_Tree[i].from);
          add(m_Tree[i].to);
        },
        [&](size_t i, int32_t p) { return p == m_Tree[i].from ? m_Tree[i].to : m_Tree[i].from; });
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

  // The chords are numbered in the same way, by the nearer of their ends in the local
  // numbering: the chords measured one after the other, and those met around the points of
  // a round's additions, then lie together in memory. Each keeps its number in the chord list,
  // which orders the loops of a round.
  const size_t chordCount = m_Chords.size();
  struct Chord {
    int32_t from, to;    // local point numbers
    int32_t bound;       // a lower bound of its length in edges
    int32_t version;     // of its entry in the queue
    int32_t stamp;       // the last round that looked at it
    uint32_t listIndex;  // in m_Chords
    char exact, done;    // whether the bound is its length; whether its loop was written
  };
  // Two points joined by no edge of the graph are at least two edges apart.
  constexpr int kLeastLength = 2;
  std::vector<Chord> chords;
  {
    const PointLists<uint32_t> byNearerEnd(
        m_Names.size(), chordCount,
        [&](size_t c, auto add) { add(std::min(local[m_Chords[c].from], local[m_Chords[c].to])); },
        [](size_t c, int32_t) { return static_cast<uint32_t>(c); });
    chords.reserve(chordCount);
    for (uint32_t c : byNearerEnd.item) {
      const line e = toLocal(m_Chords[c]);
      chords.push_back({e.from, e.to, kLeastLength, 0, -1, c, 0, 0});
    }
  }

  std::vector<line> edges;
  edges.reserve(m_Graph.size());
  for (const line& e : m_Tree) edges.push_back(toLocal(e));
  for (const Chord& c : chords) edges.push_back({c.from, c.to, 0.0});
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
  const int pointCount = static_cast<int>(m_Names.size());
  // The chords at each point that still wait: the first waiting[p] of its list. A written
  // chord leaves the lists of its ends, so that the points around later additions meet only
  // chords that can still be shortened.
  PointLists<uint32_t> chordsAt(
      m_Names.size(), chordCount,
      [&](size_t c, auto add) {
        add(chords[c].from);
        add(chords[c].to);
      },
      [](size_t c, int32_t) { return static_cast<uint32_t>(c); });
  std::vector<uint32_t> waiting(m_Names.size());
  for (size_t p = 0; p < waiting.size(); ++p) waiting[p] = chordsAt.start[p + 1] - chordsAt.start[p];
  // The number of remaining chords of each bound, to know the largest; and the queue: a list of
  // chords for each bound, where an entry of an older version of a chord is stale. (Within a
  // bound the order of measuring decides nothing: a round outputs every chord of the shortest
  // length.)
  std::vector<size_t> boundCount(kLeastLength + 1, 0);
  boundCount[kLeastLength] = chordCount;
  size_t largestBound = kLeastLength;  // no remaining chord has a larger bound
  struct Entry {
    uint32_t chord;
    int version;
  };
  std::vector<std::vector<Entry>> queue(kLeastLength + 1);
  size_t lowest = kLeastLength;  // no entry has a lower bound
  for (size_t c = chordCount; c-- > 0;) queue[kLeastLength].push_back({static_cast<uint32_t>(c), 0});
  auto push = [&](uint32_t c, int v) {
    const size_t b = static_cast<size_t>(chords[c].bound);
    if (b >= queue.size()) queue.resize(b + 1);
    queue[b].push_back({c, v});
    lowest = std::min(lowest, b);
  };
  auto setBound = [&](Chord& chord, int b, bool isExact) {
    chord.exact = isExact;
    if (b == chord.bound) return;
    --boundCount[static_cast<size_t>(chord.bound)];
    if (static_cast<size_t>(b) >= boundCount.size()) boundCount.resize(static_cast<size_t>(b) + 1, 0);
    ++boundCount[static_cast<size_t>(b)];
    largestBound = std::max(largestBound, static_cast<size_t>(b));
    chord.bound = b;
  };
  // A chord has one valid entry in the queue while it waits, none while it is measured.
  auto requeue = [&](uint32_t c) { push(c, ++chords[c].version); };
  auto remove = [&](uint32_t c) {
    chords[c].done = 1;
    ++chords[c].version;
    --boundCount[static_cast<size_t>(chords[c].bound)];
    for (int32_t p : {chords[c].from, chords[c].to}) {
      uint32_t* list = chordsAt.item.data() + chordsAt.start[p];
      std::iter_swap(std::find(list, list + waiting[p], c), list + waiting[p] - 1);
      --waiting[p];
    }
  };

  size_t remaining = chordCount;
  std::vector<uint32_t> measured, output;
  std::vector<int32_t> ends;
  std::vector<int32_t> near;
  std::vector<std::pair<uint32_t, std::vector<int32_t>>> paths;  // of a round, by chord list index
  // The distance of each point near the chords added in a round, -1 elsewhere.
  std::vector<int> nearDistance(m_Names.size(), -1);
  for (int round = 0; remaining > 0; ++round) {
    int best = INT_MAX;
    measured.clear();
    while (true) {
      while (lowest < queue.size() && queue[lowest].empty()) ++lowest;
      if (lowest == queue.size()) break;
      const Entry top = queue[lowest].back();
      Chord& chord = chords[top.chord];
      if (chord.done || top.version != chord.version) {
        queue[lowest].pop_back();
        continue;
      }
      if (static_cast<int>(lowest) > best) break;
      queue[lowest].pop_back();
      const uint32_t c = top.chord;
      if (!chord.exact) {
        if (chord.bound >= pointCount) {  // longer than any path: its ends are not joined
          remove(c);
          --remaining;
          ++result.unreachableChords;
          continue;
        }
        // Look up to twice the bound (at least to the best length): a chord is measured a few
        // times at most before its length is known. One not closed within the limit gets the
        // next length as its bound and waits in the queue.
        const int limit = std::max(best != INT_MAX ? best : 0, 2 * chord.bound);
        const int length = graph.Distance(chord.from, chord.to, chord.bound, limit);
        if (length < 0) {
          setBound(chord, limit + 1, false);
          requeue(c);
          continue;
        }
        setBound(chord, length, true);
      }
      best = std::min(best, chord.bound);
      measured.push_back(c);
    }
    if (best == INT_MAX) {  // only chords whose ends are not joined were left
      result.unreachableChords += static_cast<int>(remaining);
      break;
    }

    // Output, in chord list order, every measured chord of the best length; the others wait
    // with their exact length. The paths are searched in the order of the local numbers (the
    // graph stays as it is until the round's chords are added).
    output.clear();
    for (uint32_t c : measured) {
      if (chords[c].bound == best)
        output.push_back(c);
      else
        requeue(c);
    }
    std::sort(output.begin(), output.end());
    paths.resize(output.size());
    for (size_t i = 0; i < output.size(); ++i) {
      const uint32_t c = output[i];
      paths[i] = {chords[c].listIndex, graph.ShortestPath(chords[c].from, chords[c].to, best)};
      remove(c);
      --remaining;
    }
    std::sort(paths.begin(), paths.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [listIndex, path] : paths) {
      for (int32_t& p : path) p = original[p];
      result.loops.push_back(std::move(path));
      if (progress) {
        progress->SetPosition(static_cast<int>(result.loops.size()));
        GetWindowMessage();
      }
    }
    ends.clear();
    for (uint32_t c : output) {
      graph.Add({chords[c].from, chords[c].to, 0.0});
      ends.push_back(chords[c].from);
      ends.push_back(chords[c].to);
    }
    if (remaining == 0) break;

    // Lower the bounds of the chords near the added ones. Searching to about half the largest
    // bound reaches every chord whose path the additions can shorten: through them, a chord
    // with no end within the radius is at least 2 (radius + 1) + 1 edges long, more than any
    // bound.
    while (boundCount[largestBound] == 0) --largestBound;
    const int radius = (static_cast<int>(largestBound) - 1) / 2;
    near.clear();
    graph.ForEachNear(ends, radius, [&](int32_t point, int distance) {
      near.push_back(point);
      nearDistance[point] = distance;
    });
    // Each point's distance is the same in any order; visited by number, the chords at them are
    // met in the order they lie in memory. When they are a good part of the network (one that
    // branches widely), a sweep over all points orders them faster than a sort.
    if (near.size() > m_Names.size() / 16) {
      near.clear();
      for (int32_t p = 0; p < pointCount; ++p)
        if (nearDistance[p] >= 0) near.push_back(p);
    } else {
      std::sort(near.begin(), near.end());
    }
    auto distanceOf = [&](int32_t point) { return nearDistance[point] >= 0 ? nearDistance[point] : radius + 1; };
    for (int32_t point : near)
      for (uint32_t c : std::span(chordsAt.item.data() + chordsAt.start[point], waiting[point])) {
        Chord& chord = chords[c];
        if (chord.stamp == round) continue;
        chord.stamp = round;
        // A shorter path runs from one end to an added chord, along it, and on to the other end.
        const int through = std::max(kLeastLength, distanceOf(chord.from) + 1 + distanceOf(chord.to));
        if (through < chord.bound) {
          setBound(chord, through, false);
          requeue(c);
        }
      }
    for (int32_t point : near) nearDistance[point] = -1;
  }
  return result;
}

std::string CLoopSearch::FormatLoops(const CLoopSearchResult& result) const {
  std::string out;
  AppendLoops(result, out);
  return out;
}

void CLoopSearch::AppendLoops(const CLoopSearchResult& result, std::string& out) const {
  // Sized first: a national network's loop lines are tens of megabytes, which growing by
  // doubling would copy over and over.
  size_t size = out.size();
  for (const auto& loop : result.loops) {
    for (int32_t p : loop) size += m_Names[p].size() + 1;
    ++size;
  }
  out.reserve(size);
  for (const auto& loop : result.loops) {
    for (int32_t p : loop) out.append(m_Names[p]).push_back(' ');
    out.push_back('\n');
  }
}
