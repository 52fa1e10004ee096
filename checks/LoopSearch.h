// The search for a set of independent closed loops in a network of baseline vectors: unique
// edges, pruning of dangling edges, a spanning tree (one per piece of a network in several
// pieces), one loop per chord, closed along the shortest path in the graph grown so far. The loops come out in rounds: each round takes
// every remaining chord whose shortest path is the shortest of that round.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDisplayMessageDlg;

// One edge of the loop graph: point indices into the data set's point list.
struct line {
  int32_t from = 0;
  int32_t to = 0;
  double weight = 0.0;  // set to 0.0; the search does not use it
};

// A key for the two points of an edge in either direction.
inline uint64_t PointPairKey(int32_t a, int32_t b) {
  const uint32_t lo = static_cast<uint32_t>(a < b ? a : b), hi = static_cast<uint32_t>(a < b ? b : a);
  return (static_cast<uint64_t>(hi) << 32) | lo;
}

struct CLoopSearchResult {
  // Each loop as its point indices, in the order written: from the chord's to-point back along
  // the path to its from-point. The loop closes from the last point back to the first.
  std::vector<std::vector<int32_t>> loops;
  bool noLoopGraph = false;  // every vector was pruned: "No Close Circle"
  int unreachableChords = 0;  // chords whose ends the graph does not join (a disconnected network)
};

class CLoopSearch {
 public:
  // pointNames: the data set's point list; vectors: from and to indices per vector, in file
  // order. Vectors from a point to itself close no loop and are left out.
  CLoopSearch(std::vector<std::string> pointNames, const std::vector<line>& vectors);

  // Runs the search. With a progress dialog, the loops written are counted on it.
  CLoopSearchResult Search(CDisplayMessageDlg* progress = nullptr);

  // The loop lines: every name followed by one blank, then "\n".
  std::string FormatLoops(const CLoopSearchResult& result) const;
  // The same lines appended to out.
  void AppendLoops(const CLoopSearchResult& result, std::string& out) const;

  // The graph after pruning (exposed for checks of the cyclomatic number).
  const std::vector<line>& LoopGraph() const { return m_Graph; }
  const std::vector<line>& Tree() const { return m_Tree; }
  const std::vector<line>& Chords() const { return m_Chords; }

 private:
  // Returns how many vectors run against the direction of their pair's edge.
  size_t BuildUniqueEdges(const std::vector<line>& vectors);
  void Prune(size_t reversed);
  void GrowTree();

  std::vector<std::string> m_Names;
  std::vector<line> m_Unique, m_Graph, m_Tree, m_Chords;
};
