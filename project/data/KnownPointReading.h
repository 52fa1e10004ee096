// How the three values of a known 3D point are read. The files give B, L (D.MMSS) and the
// ellipsoidal height when the first value is small, geocentric X, Y, Z otherwise; near
// longitude ±90° a geocentric X is small too, so a small first value is taken as B, L, H only
// when that reading is possible, and as X, Y, Z when the values lie near the Earth's surface.
#pragma once

namespace vemo {

enum class KnownPointReading { Geodetic, Geocentric, Impossible };

// Geocentric radius of a point near the Earth's surface, m: every point from 57 km below the
// poles to 21 km above the equator.
constexpr double kNearSurfaceMinRadius = 6.3e6;
constexpr double kNearSurfaceMaxRadius = 6.4e6;

// The rule's bound on |first value| for B, L, H: below 1000 for the 3D vector network, up to
// 1000 inclusive for the ellipsoidal data set.
enum class GeodeticBound { Below1000, UpTo1000 };

// Whether a packed D.MMSS angle is finite, has minutes and seconds below 60 and a magnitude of
// at most maxDegrees.
bool IsPossibleAngle(double dms, double maxDegrees);

// Whether B and L (D.MMSS) are a possible latitude and longitude: |B| at most 90°, |L| at
// most 360°, minutes and seconds below 60, all finite.
bool IsPossibleLatitudeLongitude(double b, double l);

// Whether X, Y, Z (m) lie near the Earth's surface.
bool IsNearEarthSurface(double x, double y, double z);

// The reading of the values v1, v2, v3 of one line. A first value at or beyond the bound is
// X, Y, Z as before. A small one is X, Y, Z when the three values lie near the Earth's
// surface (as B, L, H their height would be thousands of kilometres), B, L, H when that is a
// possible latitude and longitude, and Impossible otherwise.
KnownPointReading ReadKnownPointValues(double v1, double v2, double v3, GeodeticBound bound);

}  // namespace vemo
