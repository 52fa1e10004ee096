// The S-transformation of a free network to the datum of a weight matrix:
//
//   S = I - G N^-1 G^T P,  N = G^T P G,
//
// with G the 3n x 3 datum matrix (for a translation datum each point contributes the rows of
// the 3 x 3 identity) and P = diag(p) the datum weights of the 3n coordinates. S x is the
// solution x moved by the datum parameters t = N^-1 G^T P x; S Q S^T its cofactor matrix.
//
// S is the identity less a rank-3 update, so it is never formed: S x costs O(n), and
// S Q S^T, for a packed Q of order 3n, one pass over Q to form Q P G and one to update each
// entry by two 3-term products, in place, O(n^2) for the n^2 entries of Q.
#pragma once

#include <cstddef>
#include <vector>

namespace vemo {

class CSTransformation {
 public:
  // G: 3n rows of 3 (row-major, 9n values); p: the 3n diagonal weights. False when N is
  // singular to working precision (every weight 0, or weights and G that fix no datum).
  bool Build(const std::vector<double>& G, const std::vector<double>& p);

  size_t Order() const { return m_p.size(); }
  // The datum parameters t = N^-1 G^T P x of x (3 values).
  void DatumParameters(const std::vector<double>& x, double t[3]) const;
  // xS = S x (x and xS of Order() values; they may be the same vector).
  void Apply(const std::vector<double>& x, std::vector<double>& xS) const;
  // Q := S Q S^T for the packed symmetric Q of order Order().
  void ApplyToCofactor(std::vector<double>& Q) const;

  // N^-1, for the tests.
  const double (&InverseN() const)[3][3] { return m_NInverse; }

 private:
  std::vector<double> m_G, m_p;
  std::vector<double> m_H;  // G N^-1, 3n x 3
  double m_NInverse[3][3] = {};
};

// The translation datum of n points: G with the rows 1 0 0, 0 1 0, 0 0 1 for every point.
std::vector<double> TranslationDatum(size_t points);

}  // namespace vemo
