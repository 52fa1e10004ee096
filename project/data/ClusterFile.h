// The correlated baseline sessions of a project ("<project>.GPS3dCluster"): blocks
// "CLUSTER n" naming n vectors of the vector file ("FROM TO", or "FROM TO K" for the K-th
// vector of that pair in file order), then the upper triangle of their 3n x 3n covariance
// (cm², DX, DY, DZ of each vector in turn) as a stream of numbers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "project/data/KnownCovariance.h"

namespace vemo {

// A vector of the vector file as the cluster file may name it: its ends (trimmed,
// upper-cased), its line, and its index in the network, or -1 when its flag "1" leaves it out.
struct CClusterCandidate {
  std::string from, to;
  int line = 0;
  int index = -1;
};

// The vectors of the vector file at vectorPath in file order: the network's own (from, to and
// line of each, as the network read them) with their index, and between them the ones that
// the flag "1" leaves out.
std::vector<CClusterCandidate> ClusterCandidates(const std::string& vectorPath, const std::vector<std::string>& from,
                                                 const std::vector<std::string>& to, const std::vector<int>& lines);

// Reads the cluster file at path; the members of each block are network vector indices. A
// missing file gives no blocks and true; any fault a message naming the file and the line,
// and false. The candidates are asked for only when the file is there: a national network
// without clusters does not pay for them.
bool ReadClusterFile(const std::string& path, const std::function<std::vector<CClusterCandidate>()>& candidates,
                     std::vector<CCovarianceBlock>& blocks);

}  // namespace vemo
