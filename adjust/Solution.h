// What every adjustment derives from its solved normal equations, computed in one place: the
// layout of the unknowns over the points, the cofactors Qxx, the standard error of unit
// weight, the standard deviations, the error ellipses and the precision of a side; and the
// datum check that every engine runs before it builds its normal equations.
//
// Units: lengths in metres (m0 in m, pvv in m²); Qxx is a cofactor matrix (the unknowns'
// covariance over the variance of unit weight), so a standard deviation is m0 sqrt(Qxx).
// The engines keep their own internal units and convert once when they fill the solution.
#pragma once

#include <string>
#include <vector>

namespace vemo {

class CNormalEquations;

// Where the coordinates of each point are among the unknowns: point i >= knownCount owns the
// unknowns perPoint (i - knownCount) + 0 .. perPoint - 1; known points own none. Further
// unknowns (transformation parameters) may follow the coordinates.
// A known point whose coordinates are weighted observations (a weighted datum) owns unknowns
// too, at weighted[i] (negative: held fixed); weighted is empty when every known point is
// fixed.
struct CPointUnknowns {
  int knownCount = 0, pointCount = 0, perPoint = 3;
  std::vector<int> weighted;

  CPointUnknowns() = default;
  CPointUnknowns(int known, int points, int per, std::vector<int> weightedUnknowns = {})
      : knownCount(known), pointCount(points), perPoint(per), weighted(std::move(weightedUnknowns)) {}

  // The first unknown of point i; negative for a fixed known point.
  int UnknownOf(int point) const {
    if (point < knownCount && static_cast<size_t>(point) < weighted.size() && weighted[point] >= 0)
      return weighted[point];
    return perPoint * (point - knownCount);
  }
  bool IsKnown(int point) const { return point < knownCount && UnknownOf(point) < 0; }
};

// The error ellipse of a 2 x 2 cofactor or covariance block (xx, yy, xy): the squared
// semi-axes are the eigenvalues mean ± radius, the direction of the major semi-axis runs from
// the first axis towards the second, radians in [0, pi). The semi-axes are in the block's
// unit (the square root of it); rounding may leave the minor eigenvalue a hair below 0, which
// is a semi-axis of 0, not a NaN.
struct CEllipse {
  double mean = 0, radius = 0;
  double major = 0, minor = 0, direction = 0;
};
CEllipse ErrorEllipse(double qxx, double qyy, double qxy);

// The cofactors of a side between two points: of its length and, in the plane, of its
// direction (per radian), from the unit vector of the side over the unknowns of both ends.
struct CSideCofactors {
  double length = 0;     // S, m
  double qLength = 0;    // cofactor of S
  double qDirection = 0; // cofactor of the azimuth (plane networks only)
};

class CAdjustmentSolution {
 public:
  CPointUnknowns layout;
  const CNormalEquations* normal = nullptr;  // Qxx after the solution
  int redundancy = 0;
  double pvv = 0;  // vᵀPv, m²
  double m0 = 0;   // standard error of unit weight, m

  // Qxx(p, q), either order; 0 when either index is negative (a known point's coordinate).
  double Qxx(int p, int q) const;
  int UnknownOf(int point) const { return layout.UnknownOf(point); }

  // m0 sqrt(Qxx(u, u)), m; 0 for a negative index.
  double StdDev(int unknown) const;
  // The standard error ellipse of a point's first two coordinates (semi-axes in m); all 0 for
  // a known point.
  CEllipse Ellipse(int point) const;
  // The side from -> to whose coordinate differences (to - from, m) are d[0 .. perPoint - 1].
  CSideCofactors SidePrecision(int from, int to, const double* d) const;
  // The cofactor of the difference of one coordinate component between two points.
  double DifferenceCofactor(int from, int to, int component) const;
};

// Why a network has no datum where it needs one: no known point at all, or points that no
// chain of observations ties to a known point (the first of them in the point order, and how
// many). Each engine turns a refusal into its own message.
struct CDatumRefusal {
  enum class Kind { None, NoKnownPoint, Unconnected };
  Kind kind = Kind::None;
  int firstPoint = -1;
  int count = 0;
  explicit operator bool() const { return kind != Kind::None; }
};

// The parts of a network that its observations connect (union-find). The known points
// (indices below knownCount) form one part from the start; each part is represented by its
// smallest point, so the known points' part is represented by point 0.
class CPointPartition {
 public:
  CPointPartition(int pointCount, int knownCount);
  void Join(int a, int b);
  // Joins from[j] with to[j] for every j.
  void Join(const std::vector<int>& from, const std::vector<int>& to);
  int Root(int point);
  // The representatives of the parts, in point order.
  std::vector<int> Parts();
  // Whether every point is tied to the known points: a refusal otherwise (also when there
  // are points but no known point).
  CDatumRefusal CheckDatum();

 private:
  std::vector<int> m_Parent;
  int m_KnownCount = 0;
};

}  // namespace vemo
