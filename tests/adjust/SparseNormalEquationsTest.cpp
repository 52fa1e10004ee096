// The sparse normal equations against the dense ones: the same observation groups added to
// both, every cofactor and the solution compared, on networks of several shapes.
#include <gtest/gtest.h>

#include <cmath>
#include <new>
#include <random>
#include <vector>

#include "adjust/NormalEquations.h"
#include "adjust/SparseNormalEquations.h"

namespace {
using vemo::CDenseNormalEquations;
using vemo::CNormalEquations;
using vemo::CSparseNormalEquations;

struct Edge {
  int from, to;
};

// A 3D vector network of `points` points whose first `known` are fixed: each edge adds the
// 6 x 6 block A^T P A of a vector with A = [-I | +I] and a random positive definite 3 x 3
// weight, and a random right-hand side.
void AddNetwork(CNormalEquations& n, int points, int known, const std::vector<Edge>& edges, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  n.Allocate(3 * (points - known));
  for (const Edge& e : edges) {
    double B[3][3];
    for (auto& row : B)
      for (double& v : row) v = uniform(random);
    double P[3][3];  // B B^T + I: positive definite
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) {
        P[r][c] = r == c ? 1.0 : 0.0;
        for (int k = 0; k < 3; ++k) P[r][c] += B[r][k] * B[c][k];
      }
    int index[6];
    for (int r = 0; r < 3; ++r) {
      index[r] = e.from < known ? -1 : 3 * (e.from - known) + r;
      index[r + 3] = e.to < known ? -1 : 3 * (e.to - known) + r;
    }
    double block[36], rhs[6];
    for (int a = 0; a < 6; ++a) {
      rhs[a] = uniform(random);
      for (int b = 0; b < 6; ++b) {
        const double sign = (a < 3) == (b < 3) ? 1.0 : -1.0;
        block[a * 6 + b] = sign * P[a % 3][b % 3];
      }
    }
    n.Add(index, 6, block, rhs);
  }
}

// Both sparse methods: the supernodal one the adjustments use and its simplicial reference.
void ExpectSameSolution(int points, int known, const std::vector<Edge>& edges,
                        CSparseNormalEquations::Method method);
void ExpectSameSolution(int points, int known, const std::vector<Edge>& edges) {
  ExpectSameSolution(points, known, edges, CSparseNormalEquations::Method::Supernodal);
  ExpectSameSolution(points, known, edges, CSparseNormalEquations::Method::Simplicial);
}

void ExpectSameSolution(int points, int known, const std::vector<Edge>& edges,
                        CSparseNormalEquations::Method method) {
  CDenseNormalEquations dense;
  CSparseNormalEquations sparse(method);
  AddNetwork(dense, points, known, edges, 7);
  AddNetwork(sparse, points, known, edges, 7);
  const int u = dense.Unknowns();
  ASSERT_EQ(sparse.Unknowns(), u);
  for (int p = 0; p < u; ++p) ASSERT_DOUBLE_EQ(sparse.RightHandSide(p), dense.RightHandSide(p));
  ASSERT_EQ(dense.Factorize(), 1);
  ASSERT_EQ(sparse.Factorize(), 1);
  std::vector<double> xd, xs;
  ASSERT_EQ(dense.Solve(xd), 1);
  ASSERT_EQ(sparse.Solve(xs), 1);
  for (int p = 0; p < u; ++p) EXPECT_NEAR(xs[p], xd[p], 1e-10 * (1 + std::fabs(xd[p]))) << p;
  // Every element, in both orders: on the factor's pattern from the selected inverse,
  // elsewhere from solved columns.
  double largest = 0;
  for (int p = 0; p < u; ++p) largest = std::max(largest, std::fabs(dense.Cofactor(p, p)));
  for (int p = 0; p < u; ++p)
    for (int q = 0; q < u; ++q)
      ASSERT_NEAR(sparse.Cofactor(p, q), dense.Cofactor(p, q), 1e-12 * largest) << p << "," << q;
  // Blocks of the reports (a point, the two ends of an observation, a known point's -1) give
  // the elements one by one gives (outside the pattern from whichever column was solved); a
  // solve after the selected inverse still solves.
  for (int p = 0; p + 5 < u; p += 4) {
    const int index[6] = {p, p + 1, p + 2, u - 3, -1, u - 1};
    double block[36];
    sparse.Cofactors(index, 6, block);
    for (int a = 0; a < 6; ++a)
      for (int b = 0; b < 6; ++b)
        ASSERT_NEAR(block[a * 6 + b], index[a] < 0 || index[b] < 0 ? 0.0 : sparse.Cofactor(index[a], index[b]),
                    1e-12 * largest);
  }
  std::vector<double> again;
  ASSERT_EQ(sparse.Solve(again), 1);
  for (int p = 0; p < u; ++p) EXPECT_NEAR(again[p], xd[p], 1e-10 * (1 + std::fabs(xd[p]))) << p;
}

TEST(SparseNormalEquations, AgreeWithTheDenseFormOnAChain) {
  std::vector<Edge> edges;
  for (int i = 0; i + 1 < 40; ++i) edges.push_back({i, i + 1});
  ExpectSameSolution(40, 1, edges);
}

TEST(SparseNormalEquations, AgreeWithTheDenseFormOnAStar) {
  std::vector<Edge> edges;
  for (int i = 1; i < 30; ++i) edges.push_back({0, i});
  for (int i = 1; i + 1 < 30; i += 3) edges.push_back({i, i + 1});
  ExpectSameSolution(30, 1, edges);  // the hub is the known point
  ExpectSameSolution(30, 2, edges);  // the hub is unknown, tied to everything
}

TEST(SparseNormalEquations, AgreeWithTheDenseFormOnADenseClusterAndAGrid) {
  std::vector<Edge> cluster;
  for (int i = 0; i < 12; ++i)
    for (int j = i + 1; j < 12; ++j) cluster.push_back({i, j});
  ExpectSameSolution(12, 2, cluster);
  // A 7 x 7 grid with diagonals and repeated vectors, three known points in the corners.
  std::vector<Edge> grid;
  auto at = [](int r, int c) { return r * 7 + c; };
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 7; ++c) {
      if (c + 1 < 7) grid.push_back({at(r, c), at(r, c + 1)});
      if (r + 1 < 7) grid.push_back({at(r, c), at(r + 1, c)});
      if (r + 1 < 7 && c + 1 < 7 && (r + c) % 2 == 0) grid.push_back({at(r + 1, c + 1), at(r, c)});
    }
  grid.push_back({at(3, 3), at(3, 4)});
  ExpectSameSolution(49, 3, grid);
}

TEST(SparseNormalEquations, RefactorisingWithTheSamePatternGivesTheNewSolution) {
  // An iteration rebuilds N with other values on the same pattern: the kept ordering must not
  // keep the old numbers.
  std::vector<Edge> edges;
  for (int i = 0; i + 1 < 10; ++i) edges.push_back({i, i + 1});
  CSparseNormalEquations sparse;
  AddNetwork(sparse, 10, 1, edges, 1);
  ASSERT_EQ(sparse.Factorize(), 1);
  const double first = sparse.Cofactor(5, 7);
  sparse.Clear();
  CDenseNormalEquations dense;
  AddNetwork(dense, 10, 1, edges, 2);
  AddNetwork(sparse, 10, 1, edges, 2);  // Allocate again, as the engines do
  // A step solved by the kept factorisation, then the cofactors of the same N.
  std::vector<double> x, xd;
  ASSERT_EQ(sparse.SolveKeeping(x), 1);
  ASSERT_EQ(dense.SolveKeeping(xd), 1);
  for (size_t p = 0; p < x.size(); ++p) EXPECT_NEAR(x[p], xd[p], 1e-10 * (1 + std::fabs(xd[p])));
  ASSERT_EQ(dense.Factorize(), 1);
  ASSERT_EQ(sparse.Factorize(), 1);
  EXPECT_NE(sparse.Cofactor(5, 7), first);
  EXPECT_NEAR(sparse.Cofactor(5, 7), dense.Cofactor(5, 7), 1e-12);
}

TEST(SparseNormalEquations, TheSameNumbersAgainKeepTheirFactorUnlessTheInverseTookItsPlace) {
  // A step that leaves N as it was reuses the factor; once the cofactors were formed in the
  // factor's place, the same N must be factorised again.
  std::vector<Edge> edges;
  for (int i = 0; i + 1 < 10; ++i) edges.push_back({i, i + 1});
  for (auto method : {CSparseNormalEquations::Method::Supernodal, CSparseNormalEquations::Method::Simplicial}) {
    CSparseNormalEquations sparse(method);
    std::vector<double> first, again;
    AddNetwork(sparse, 10, 1, edges, 1);
    ASSERT_EQ(sparse.SolveKeeping(first), 1);
    for (int round = 0; round < 2; ++round) {
      sparse.Clear();
      AddNetwork(sparse, 10, 1, edges, 1);
      ASSERT_EQ(sparse.SolveKeeping(again), 1);
      EXPECT_EQ(again, first);
      sparse.PrepareCofactors();
    }
  }
}

TEST(SparseNormalEquations, SingularSystemsAreRefusedWithTheUnknownWhereTheyBreak) {
  // Two pieces, the second without a known point: its unknowns have no datum.
  std::vector<Edge> edges = {{0, 1}, {1, 2}, {3, 4}, {4, 5}};
  CSparseNormalEquations n;
  AddNetwork(n, 6, 1, edges, 3);
  EXPECT_EQ(n.Factorize(), 0);
  EXPECT_GE(n.SingularUnknown(), 6);  // an unknown of points 3 to 5 (unknowns 6 to 14)
  EXPECT_LT(n.SingularUnknown(), 15);
  // The same small matrices the dense form refuses: zero, rank one, indefinite.
  for (const std::vector<double>& lower : {std::vector<double>{0, 0, 0}, std::vector<double>{1, 2, 1},
                                           std::vector<double>{-1, 0, 1}, std::vector<double>{1, 1, 1}}) {
    CSparseNormalEquations s;
    s.Allocate(2);
    const int index[2] = {0, 1};
    const double block[4] = {lower[0], 0, lower[1], lower[2]}, rhs[2] = {1, 1};
    s.Add(index, 2, block, rhs);
    EXPECT_EQ(s.Factorize(), 0) << lower[0] << " " << lower[1] << " " << lower[2];
  }
  // An unknown that no observation reaches.
  CSparseNormalEquations lonely;
  lonely.Allocate(2);
  const int index[1] = {0};
  const double block[1] = {2}, rhs[1] = {1};
  lonely.Add(index, 1, block, rhs);
  EXPECT_EQ(lonely.Factorize(), 0);
  EXPECT_EQ(lonely.SingularUnknown(), 1);
}

// The inverse of the lower triangle `lower` (by rows, n x n) in long double by Gauss-Jordan
// elimination on the full matrix: a reference with three more digits than the forms under test.
std::vector<long double> LongDoubleInverse(const std::vector<double>& full, int n) {
  std::vector<long double> a(full.begin(), full.end()), inv(static_cast<size_t>(n) * n, 0.0L);
  for (int i = 0; i < n; ++i) inv[static_cast<size_t>(i) * n + i] = 1.0L;
  for (int c = 0; c < n; ++c) {
    const long double pivot = a[static_cast<size_t>(c) * n + c];
    for (int k = 0; k < n; ++k) a[static_cast<size_t>(c) * n + k] /= pivot, inv[static_cast<size_t>(c) * n + k] /= pivot;
    for (int r = 0; r < n; ++r) {
      if (r == c) continue;
      const long double f = a[static_cast<size_t>(r) * n + c];
      for (int k = 0; k < n; ++k) {
        a[static_cast<size_t>(r) * n + k] -= f * a[static_cast<size_t>(c) * n + k];
        inv[static_cast<size_t>(r) * n + k] -= f * inv[static_cast<size_t>(c) * n + k];
      }
    }
  }
  return inv;
}

TEST(SparseNormalEquations, NearlyFixedUnknownsKeepTheDigitsOfTheFreeOnes) {
  // Known points held by weights 10^8 times those of the vectors, as the ellipsoidal
  // adjustment holds its known components: the free unknowns' cofactors must keep their
  // digits.
  std::vector<Edge> edges;
  for (int i = 0; i + 1 < 12; ++i) edges.push_back({i, i + 1});
  edges.push_back({0, 6}), edges.push_back({3, 11}), edges.push_back({2, 9});
  CSparseNormalEquations sparse;
  AddNetwork(sparse, 12, 0, edges, 5);
  const int u = sparse.Unknowns();
  std::vector<double> full(static_cast<size_t>(u) * u, 0.0);
  {
    CDenseNormalEquations dense;  // the same N, to read it back
    AddNetwork(dense, 12, 0, edges, 5);
    for (int p = 0; p < u; ++p)
      for (int q = 0; q <= p; ++q)
        full[static_cast<size_t>(p) * u + q] = full[static_cast<size_t>(q) * u + p] =
            dense.Packed()[static_cast<size_t>(p) * (p + 1) / 2 + q];
  }
  for (int p : {0, 1, 2, 15, 16, 17}) {  // points 0 and 5 nearly fixed
    const double w = 1e8 * full[static_cast<size_t>(p) * u + p], rhs = 0.0;
    sparse.Add(&p, 1, &w, &rhs);
    full[static_cast<size_t>(p) * u + p] += w;
  }
  ASSERT_EQ(sparse.Factorize(), 1);
  const auto reference = LongDoubleInverse(full, u);
  for (int p = 0; p < u; ++p)
    for (int q = 0; q <= p; ++q) {
      const long double r = reference[static_cast<size_t>(p) * u + q];
      const long double scale = std::sqrt(reference[static_cast<size_t>(p) * u + p] * reference[static_cast<size_t>(q) * u + q]);
      EXPECT_NEAR(sparse.Cofactor(p, q), static_cast<double>(r), 1e-12 * static_cast<double>(scale)) << p << "," << q;
    }
}

TEST(SparseNormalEquations, AFactorLargerThanTheMemoryIsRefusedBeforeItIsAllocated) {
  std::vector<Edge> edges;
  for (int i = 0; i + 1 < 50; ++i) edges.push_back({i, i + 1});
  struct Budget {
    explicit Budget(size_t bytes) { CSparseNormalEquations::SetMemoryBudget(bytes); }
    ~Budget() { CSparseNormalEquations::SetMemoryBudget(0); }
  };
  {
    Budget tiny(1000);  // 147 unknowns need more than this
    CSparseNormalEquations n;
    AddNetwork(n, 50, 1, edges, 4);
    EXPECT_THROW(n.Factorize(), std::bad_alloc);
  }
  CSparseNormalEquations n;  // the machine's own memory: no limit reached
  AddNetwork(n, 50, 1, edges, 4);
  EXPECT_EQ(n.Factorize(), 1);
}

}  // namespace

TEST(SparseNormalEquations, PointBlocksAreTheElementsOneByOne) {
  // The blocks the reports ask for (a point; the ends of a vector with the four absent frame
  // columns; any two points, on the factor's pattern or outside it; runs that straddle two
  // points; an unknown asked for twice) hold exactly the numbers the element lookups give.
  std::vector<Edge> grid;
  auto at = [](int r, int c) { return r * 6 + c; };
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 6; ++c) {
      if (c + 1 < 6) grid.push_back({at(r, c), at(r, c + 1)});
      if (r + 1 < 6) grid.push_back({at(r, c), at(r + 1, c)});
    }
  CSparseNormalEquations sparse;
  AddNetwork(sparse, 36, 2, grid, 5);
  ASSERT_EQ(sparse.Factorize(), 1);
  const int u = sparse.Unknowns();
  auto expectElements = [&](std::vector<int> index) {
    const int n = static_cast<int>(index.size());
    std::vector<double> block(static_cast<size_t>(n) * n, -7.0);
    sparse.Cofactors(index.data(), n, block.data());
    for (int a = 0; a < n; ++a)
      for (int b = 0; b < n; ++b)
        ASSERT_EQ(block[static_cast<size_t>(a) * n + b],
                  index[a] < 0 || index[b] < 0 ? 0.0 : sparse.Cofactor(index[a], index[b]))
            << index[a] << "," << index[b];
  };
  for (int p = 0; p < u; p += 3) {
    expectElements({p, p + 1, p + 2});
    for (int q = 0; q < u; q += 3) {
      if (q == p) continue;
      expectElements({p, p + 1, p + 2, q, q + 1, q + 2, -1, -1, -1, -1});
      expectElements({q + 2, -1, p, p + 1});
    }
  }
  expectElements({1, 2, 3, 4, 5, 6});
  expectElements({3, 4, 5, 3, 4, 5});
}

TEST(SparseNormalEquations, BlocksAskedForAgainFollowTheNumbersOfTheLatestFactorisation) {
  // The blocks of points are kept once read: asked for again they are the same numbers, and
  // a new N on the same pattern (an iteration, another adjustment) must not answer with the
  // old ones.
  std::vector<Edge> edges;
  for (int i = 0; i + 1 < 12; ++i) edges.push_back({i, i + 1});
  edges.push_back({0, 11});
  CSparseNormalEquations sparse;
  const int index[6] = {3, 4, 5, 6, 7, 8};  // two points a vector joins
  auto block = [&] {
    std::vector<double> out(36);
    sparse.Cofactors(index, 6, out.data());
    for (int a = 0; a < 6; ++a)
      for (int b = 0; b < 6; ++b) EXPECT_EQ(out[static_cast<size_t>(a * 6 + b)], sparse.Cofactor(index[a], index[b]));
    return out;
  };
  AddNetwork(sparse, 12, 1, edges, 1);
  ASSERT_EQ(sparse.Factorize(), 1);
  const std::vector<double> first = block();
  EXPECT_EQ(block(), first);
  AddNetwork(sparse, 12, 1, edges, 2);
  ASSERT_EQ(sparse.Factorize(), 1);
  EXPECT_NE(block(), first);
  // More observations added to the same N, factorised again.
  const std::vector<double> second = block();
  int more[6] = {0, 1, 2, 3, 4, 5};
  double add[36] = {}, rhs[6] = {};
  for (int a = 0; a < 6; ++a) add[a * 6 + a] = 1.0;
  sparse.Add(more, 6, add, rhs);
  ASSERT_EQ(sparse.Factorize(), 1);
  EXPECT_NE(block(), second);
}
