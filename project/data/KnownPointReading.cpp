#include "project/data/KnownPointReading.h"

#include <cmath>

#include "geodesy/Angles.h"

namespace vemo {

// The minutes are cut with a small allowance, so that 30.1560 (60 seconds, stored as
// 30.15599999...) is caught and 30.155959 is not.
bool IsPossibleAngle(double dms, double maxDegrees) {
  if (!std::isfinite(dms)) return false;
  const double a = std::fabs(dms);
  const double degrees = std::floor(a);
  const double minutes100 = (a - degrees) * 100.0;
  const double minutes = std::floor(minutes100 + 1e-7);
  const double seconds = (minutes100 - minutes) * 100.0;
  return minutes < 60.0 && seconds < 60.0 - 1e-5 && DmsToDegree(a) <= maxDegrees;
}

bool IsPossibleLatitudeLongitude(double b, double l) { return IsPossibleAngle(b, 90.0) && IsPossibleAngle(l, 360.0); }

bool IsNearEarthSurface(double x, double y, double z) {
  const double r = std::sqrt(x * x + y * y + z * z);
  return r >= kNearSurfaceMinRadius && r <= kNearSurfaceMaxRadius;
}

KnownPointReading ReadKnownPointValues(double v1, double v2, double v3, GeodeticBound bound) {
  const double a = std::fabs(v1);
  const bool small = bound == GeodeticBound::UpTo1000 ? a <= 1000.0 : a < 1000.0;
  if (!small) return KnownPointReading::Geocentric;
  if (IsNearEarthSurface(v1, v2, v3)) return KnownPointReading::Geocentric;
  if (IsPossibleLatitudeLongitude(v1, v2)) return KnownPointReading::Geodetic;
  return KnownPointReading::Impossible;
}

}  // namespace vemo
