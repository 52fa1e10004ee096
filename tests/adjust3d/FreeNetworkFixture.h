// What the tests of the free network and the stability analysis share: writers of the three
// free-network input files and of campaign files, random cofactor matrices, readers of the
// numbers of a result file, and an S-transformation solved independently of the engine, as
// the constrained least-squares problem with Lagrange multipliers:
//
//   minimise  1/2 xS^T P xS   subject to  xS + G t = x   (t free, multipliers lambda),
//
// whose conditions P xS - lambda = 0, G^T lambda = 0, xS + G t = x form one linear system of
// order 6n + 3, solved densely by Gaussian elimination with partial pivoting. Its solution for
// the unit vectors gives S column by column; S Q S^T is then multiplied out densely.
#pragma once

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/Format.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace vemo::test {

using Dense = std::vector<std::vector<double>>;

// Solves A z = b (A square) by Gaussian elimination with partial pivoting.
inline std::vector<double> SolveDense(Dense A, std::vector<double> b) {
  const size_t n = b.size();
  for (size_t c = 0; c < n; ++c) {
    size_t pivot = c;
    for (size_t r = c + 1; r < n; ++r)
      if (std::fabs(A[r][c]) > std::fabs(A[pivot][c])) pivot = r;
    std::swap(A[c], A[pivot]);
    std::swap(b[c], b[pivot]);
    for (size_t r = c + 1; r < n; ++r) {
      const double f = A[r][c] / A[c][c];
      if (f == 0.0) continue;
      for (size_t k = c; k < n; ++k) A[r][k] -= f * A[c][k];
      b[r] -= f * b[c];
    }
  }
  std::vector<double> z(n);
  for (size_t r = n; r-- > 0;) {
    double s = b[r];
    for (size_t k = r + 1; k < n; ++k) s -= A[r][k] * z[k];
    z[r] = s / A[r][r];
  }
  return z;
}

// The S matrix (order 3n) of the datum G (3n rows of 3) and weights p, from the Lagrange
// system above.
inline Dense LagrangeS(const std::vector<double>& G, const std::vector<double>& p) {
  const size_t m = p.size(), size = 2 * m + 3;
  // Unknowns: xS (0..m-1), t (m..m+2), lambda (m+3..2m+2).
  Dense A(size, std::vector<double>(size, 0.0));
  for (size_t k = 0; k < m; ++k) {
    A[k][k] = p[k];  // P xS - lambda = 0
    A[k][m + 3 + k] = -1.0;
    for (int a = 0; a < 3; ++a) {
      A[m + a][m + 3 + k] = G[3 * k + a];  // G^T lambda = 0
      A[m + 3 + k][m + a] = G[3 * k + a];  // xS + G t = x
    }
    A[m + 3 + k][k] = 1.0;
  }
  Dense S(m, std::vector<double>(m));
  for (size_t c = 0; c < m; ++c) {
    std::vector<double> b(size, 0.0);
    b[m + 3 + c] = 1.0;
    const std::vector<double> z = SolveDense(A, b);
    for (size_t r = 0; r < m; ++r) S[r][c] = z[r];
  }
  return S;
}

// S Q S^T with Q packed.
inline Dense DenseTransform(const Dense& S, const std::vector<double>& Q) {
  const size_t m = S.size();
  Dense SQ(m, std::vector<double>(m, 0.0)), R(m, std::vector<double>(m, 0.0));
  auto q = [&](size_t i, size_t j) { return i >= j ? Q[i * (i + 1) / 2 + j] : Q[j * (j + 1) / 2 + i]; };
  for (size_t i = 0; i < m; ++i)
    for (size_t j = 0; j < m; ++j)
      for (size_t k = 0; k < m; ++k) SQ[i][j] += S[i][k] * q(k, j);
  for (size_t i = 0; i < m; ++i)
    for (size_t j = 0; j < m; ++j)
      for (size_t k = 0; k < m; ++k) R[i][j] += SQ[i][k] * S[j][k];
  return R;
}

// A cofactor matrix as the 3D adjustment leaves it for a network held at its last point: a
// random positive-definite block for the first n - 1 points, zeros for the last (packed).
inline std::vector<double> RandomCofactors(int points, unsigned seed) {
  const size_t m = 3 * static_cast<size_t>(points), u = m - 3;
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> uniform(-0.3, 0.3);
  Dense A(u, std::vector<double>(u));
  for (auto& row : A)
    for (double& v : row) v = uniform(rng);
  std::vector<double> Q(m * (m + 1) / 2, 0.0);
  for (size_t i = 0; i < u; ++i)
    for (size_t j = 0; j <= i; ++j) {
      double s = i == j ? 0.2 : 0.0;
      for (size_t k = 0; k < u; ++k) s += A[i][k] * A[j][k];
      Q[i * (i + 1) / 2 + j] = s;
    }
  return Q;
}

// The inputs of one free-network run, written with the formats of the 3D adjustment.
struct FreeInputs {
  std::vector<std::string> names;
  std::vector<double> weights, x, X0, Y0, Z0, G, Q;
  int redundancy = 12;
  double m0 = 2.5;

  void Write(const AdjustProject& project) const {
    std::string xx = Format("%8d %8d %13.4lf\n", static_cast<int>(names.size()), redundancy, m0);
    for (size_t i = 0; i < names.size(); ++i)
      xx += Format("%16s %.4g  %13.4lf %13.4lf %13.4lf %13.4lf %13.4lf %13.4lf\n", names[i].c_str(), weights[i],
                   x[3 * i], x[3 * i + 1], x[3 * i + 2], X0[i], Y0[i], Z0[i]);
    std::string g;
    for (size_t k = 0; k < G.size(); k += 3) g += Format("%g   %g   %g\n", G[k], G[k + 1], G[k + 2]);
    std::string q;
    const size_t m = x.size();
    for (size_t r = 0; r < m; ++r) {
      for (size_t c = 0; c <= r; ++c) q += Format("%13.4lf ", Q[r * (r + 1) / 2 + c]);
      q += "\n";
    }
    project.Write("GPS3dFreeXXInput", xx);
    project.Write("GPS3dFreeGxxInput", g);
    project.Write("GPS3dFreeQxxInput", q);
  }
};

// A network of n points about 30°30'N 114°18'E with random increments (mm), the last point the
// held one (increments 0), every datum weight 1, the translation datum; cofactors rounded to
// the four decimals of the file, so that the file and the arrays agree exactly.
inline FreeInputs RandomInputs(int points, unsigned seed) {
  FreeInputs in;
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> mm(-40.0, 40.0), km(-5000.0, 5000.0);
  for (int i = 0; i < points; ++i) {
    in.names.push_back(Format("P%03d", i + 1));
    in.weights.push_back(1.0);
    for (int a = 0; a < 3; ++a) in.x.push_back(i + 1 < points ? std::round(mm(rng) * 1e4) / 1e4 : 0.0);
    in.X0.push_back(-2267000.0 + std::round(km(rng) * 1e4) / 1e4);
    in.Y0.push_back(5009000.0 + std::round(km(rng) * 1e4) / 1e4);
    in.Z0.push_back(3221000.0 + std::round(km(rng) * 1e4) / 1e4);
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) in.G.push_back(a == b ? 1.0 : 0.0);
  }
  in.Q = RandomCofactors(points, seed + 1);
  for (double& q : in.Q) q = std::round(q * 1e4) / 1e4;
  return in;
}

// The numbers of the lines of a text from the line after the one equal to title (or from the
// start when title is empty) up to the next blank or title line; names are dropped.
inline std::vector<std::vector<double>> NumbersAfter(const std::string& text, const std::string& title) {
  std::vector<std::vector<double>> rows;
  bool inside = title.empty();
  for (const std::string& line : Lines(text)) {
    if (!inside) {
      inside = line == title;
      continue;
    }
    if (line.empty() || std::isalpha(static_cast<unsigned char>(line[0]))) break;
    std::istringstream in(line);
    std::vector<double> row;
    std::string item;
    while (in >> item) {
      char* end = nullptr;
      const double v = std::strtod(item.c_str(), &end);
      if (end && *end == '\0') row.push_back(v);
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace vemo::test
