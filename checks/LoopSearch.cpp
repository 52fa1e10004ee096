#include "checks/LoopSearch.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <unordered_set>

#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/Encoding.h"
#include "geodesy/LibraryState.h"

namespace {

uint64_t PairKey(int32_t a, int32_t b) {
  uint32_t lo = static_cast<uint32_t>(std::min(a, b)), hi = static_cast<uint32_t>(std::max(a, b));
  return (static_cast<uint64_t>(hi) << 32) | lo;
}

uint64_t DirectedKey(int32_t from, int32_t to) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(from)) << 32) | static_cast<uint32_t>(to);
}

// The graph in which chords are closed: the tree plus the chords added so far, as adjacency
// lists, with each point's rank in the point set (first appearance in the edge list, from-point
// before to-point). Ranks decide every tie of the shortest path search.
class CurrentGraph {
 public:
  explicit CurrentGraph(size_t pointCount) : m_Adjacent(pointCount), m_Rank(pointCount, -1) {}

  void Add(const line& e) {
    for (int32_t p : {e.from, e.to})
      if (m_Rank[p] < 0) m_Rank[p] = m_NextRank++;
    m_Adjacent[e.from].push_back(e.to);
    m_Adjacent[e.to].push_back(e.from);
  }

  // The shortest path from p to q counting edges, limited to maxEdges (INT_MAX: no limit).
  // Returns the path q, predecessor of q, ..., p; empty when q is farther or unreachable.
  // Points are visited by distance and, within a distance, by rank; a point's predecessor is
  // the first visited neighbour one edge nearer to p, that is the one of lowest rank.
  std::vector<int32_t> ShortestPath(int32_t p, int32_t q, int maxEdges) {
    std::vector<int32_t> levelPoints{p};
    m_Touched.clear();
    Mark(p, 0);
    int depth = 0;
    bool reached = p == q;
    while (!reached && depth < maxEdges && !levelPoints.empty()) {
      std::vector<int32_t> next;
      for (int32_t u : levelPoints)
        for (int32_t r : m_Adjacent[u])
          if (Distance(r) < 0) {
            Mark(r, depth + 1);
            next.push_back(r);
            if (r == q) reached = true;
          }
      ++depth;
      levelPoints.swap(next);
    }
    std::vector<int32_t> path;
    if (reached) {
      int32_t v = q;
      path.push_back(v);
      while (v != p) {
        const int d = Distance(v);
        int32_t best = -1;
        for (int32_t u : m_Adjacent[v])
          if (Distance(u) == d - 1 && (best < 0 || m_Rank[u] < m_Rank[best])) best = u;
        v = best;
        path.push_back(v);
      }
    }
    for (int32_t t : m_Touched) m_Distance[t] = -1;
    return path;
  }

 private:
  int Distance(int32_t v) const { return v < static_cast<int32_t>(m_Distance.size()) ? m_Distance[v] : -1; }
  void Mark(int32_t v, int d) {
    if (m_Distance.size() < m_Adjacent.size()) m_Distance.assign(m_Adjacent.size(), -1);
    m_Distance[v] = d;
    m_Touched.push_back(v);
  }

  std::vector<std::vector<int32_t>> m_Adjacent;
  std::vector<int> m_Rank;
  int m_NextRank = 0;
  std::vector<int> m_Distance;
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
    if (joined.insert(PairKey(v.from, v.to)).second) m_Unique.push_back({v.from, v.to, 0.0});
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
  size_t graphPoints = 0;
  for (const line& e : m_Graph)
    for (int32_t p : {e.from, e.to})
      if (!inGraph[p]) inGraph[p] = 1, ++graphPoints;
  int32_t start = m_Names.size() > 1 && inGraph[1] ? 1 : m_Graph.front().from;
  inTree[start] = 1;
  size_t treePoints = 1;
  while (treePoints < graphPoints) {
    bool grew = true;
    while (grew && treePoints < graphPoints) {
      grew = false;
      for (size_t i = 0; i < m_Graph.size() && treePoints < graphPoints; ++i) {
        const line& e = m_Graph[i];
        if (edgeInTree[i] || inTree[e.from] == inTree[e.to]) continue;
        inTree[e.from] = inTree[e.to] = 1;
        edgeInTree[i] = 1;
        m_Tree.push_back(e);
        ++treePoints;
        grew = true;
      }
    }
    // A network in several pieces: the tree of the next piece starts at the from-point of its
    // first edge, so that the loops of every piece are searched.
    for (const line& e : m_Graph)
      if (treePoints < graphPoints && !inTree[e.from] && !inTree[e.to]) {
        inTree[e.from] = 1;
        ++treePoints;
        break;
      }
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
    progress->SetTitle(vemo::T(u8"GPS网"));
    progress->SetDisplayMessage(vemo::T(u8"GPS网闭合环"));
    progress->SetRange(0, static_cast<int>(m_Chords.size()));
  }
  CurrentGraph graph(m_Names.size());
  for (const line& e : m_Tree) graph.Add(e);
  std::vector<line> chords = m_Chords;
  while (!chords.empty()) {
    // The shortest path of every chord, limited to the best length found so far this round:
    // a chord farther than that cannot be output in this round.
    int best = INT_MAX;
    std::vector<std::vector<int32_t>> paths(chords.size());
    for (size_t c = 0; c < chords.size(); ++c) {
      paths[c] = graph.ShortestPath(chords[c].from, chords[c].to, best);
      if (!paths[c].empty()) best = std::min(best, static_cast<int>(paths[c].size()) - 1);
    }
    if (best == INT_MAX) {  // no remaining chord closes in the graph: a disconnected network
      result.unreachableChords = static_cast<int>(chords.size());
      break;
    }
    std::vector<line> remaining;
    std::vector<line> added;
    for (size_t c = 0; c < chords.size(); ++c) {
      if (!paths[c].empty() && static_cast<int>(paths[c].size()) - 1 == best) {
        result.loops.push_back(std::move(paths[c]));
        added.push_back(chords[c]);
        if (progress) {
          progress->SetPosition(static_cast<int>(result.loops.size()));
          GetWindowMessage();
        }
      } else {
        remaining.push_back(chords[c]);
      }
    }
    for (const line& e : added) graph.Add(e);
    chords.swap(remaining);
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
