// The covariance files of a network's weighted observations: the covariances of known points
// ("<project>.GPS3dKnownCov", "<project>.GPS2dKnownCov"), which turn those points into weighted
// observations of their coordinates, and (ClusterFile.h) the full covariances of correlated
// baseline sessions. Both share one line grammar: '#' comments and blank lines skipped; a
// block keyword with its member count on its own line, one member per line, then the upper
// triangle of the block's matrix by rows as a stream of numbers over any number of lines; the
// known-point files also take a one-point line "NAME v1 .. vk".
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vemo {

// One block of a covariance file: its members (known points, or vectors) and the full
// symmetric matrix of their coordinates, member by member, row-major, cm².
struct CCovarianceBlock {
  std::vector<int> members;
  std::vector<double> cov;  // (dimension n)², n = members.size()
  int line = 0;             // the block's first line, for messages
};

// What a file of blocks looks like to the common reader.
struct CCovarianceFileForm {
  const char* keyword = "GROUP";  // the block keyword, matched case-blind
  int dimension = 3;              // coordinates per member
  int minMembers = 1;             // the smallest member count of a block
  bool singleLines = true;        // whether "NAME v1 .. vk" one-member lines exist
  const char* caption = nullptr;  // the caption of the messages (the application title when null)
};

// Resolves the items of a member line (a one-member line: its first item) to a member index,
// or returns -1 after its own message naming the file and the line.
using CMemberResolver = std::function<int(const std::vector<std::string>& items, int line)>;

// Reads every block of the file at path. Returns false after the message of the first fault
// (a line that does not scan, a member named twice, a short block, a matrix that is not
// positive definite), each naming the file and the line.
bool ReadCovarianceBlocks(const std::string& path, const CCovarianceFileForm& form, const CMemberResolver& resolve,
                          std::vector<CCovarianceBlock>& blocks);

// C_ij <- S_i C_ij S_jᵀ over the members' d x d sub-blocks, S(k) the row-major d x d matrix of
// member k: a change of frame per member (north, east, up to X, Y, Z) or a per-member scaling.
void TransformCovarianceBlock(CCovarianceBlock& block, int d, const std::function<const double*(size_t k)>& S);

// Whether the n x n symmetric matrix (row-major) is positive definite, by Cholesky.
bool IsPositiveDefinite(const std::vector<double>& matrix, int n);

// The covariances of the known points of a plane (dimension 2: x north, y east) or space
// network (dimension 3: X, Y, Z, or north, east, up for a point given as B, L, H; the
// engine rotates them). Members are indices into knownNames (trimmed, upper-cased). A
// missing file gives no blocks and true.
bool ReadKnownCovariance(const std::string& path, int dimension, const std::vector<std::string>& knownNames,
                         std::vector<CCovarianceBlock>& blocks);

}  // namespace vemo
