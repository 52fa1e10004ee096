// Approximate coordinates of a network by chaining its vectors outward from the known points,
// the reduction of the 3D baseline vectors to geodetic (dB, dL, dH) and plane grid (dx, dy)
// differences with propagated covariance, and the 3 x 3 covariance propagation R = A C A^T.
//
// The routines read and write the network records only (the program's loaders fill them);
// an index outside the arrays is a caller error and raises std::invalid_argument before
// anything is changed.
#pragma once

#include <vector>

#include "geodesy/NetworkRecords.h"

// X, Y, Z of every point from the known-point count on: set to 0, then filled pass by pass
// over the vectors in file order (a point set in a pass is used by later vectors of the same
// pass; the first determination of a point wins; a vector between two placed points, known
// ones included, changes nothing). Whether a point is placed is a flag, never read from its
// coordinates, so points on the meridians of +-90 degrees (X near 0) chain like any other.
// Returns 1 when every point was placed; 0 after the message "计算近似坐标错误" when some
// point is not connected to a known point (such points keep 0, 0, 0). When placedPoints is
// given it receives the flag of every point (1: known or placed). Shows the wait cursor.
int GetApproximateGPS3dXYZ(CGPS3dNetworkRecord* network, std::vector<char>* placedPoints = nullptr);

// The plane twin: x, y of the points from the known-point count on are marked -1e8 and filled
// from the plane vectors (a vector is used when exactly one end has x > -9e7). Returns 1, or
// 0 after "近似坐标计算失败!" when more than 4000 passes would be needed.
int GetApproximateGPS2dXY(CGPS2dNetworkRecord* network);

// Writes, from the current X, Y, Z of the from-points and the vector components, the plane
// vector file "<project>.GPS2dVector" (dx, dy in m with their covariance in cm²) and the
// geodetic vector file "<project>.GPS3dBLHVector" (dB, dL in D.MMSS and dH in m with their
// covariance: seconds of arc and cm), or the "1" files for variant 1. The ellipsoid is a (m)
// and invF; the central meridian and the projection are the project's (SetGlobalVal). Returns
// 1; 0 after "打开文件:%s出错!" when a file cannot be written, or after a message naming the
// point when a from-point's coordinates cannot be converted to B, L, H (nothing is written).
int GPS3dVectorTo2d(CGPS3dNetworkRecord* network, double a, double invF);

// R = A C A^T for 3 x 3 matrices (C taken as it stands). Returns 1.
int Cov1ToCov2(const double A[3][3], const double C[3][3], double R[3][3]);

// The meridian radius M and the prime vertical radius N (m) at latitude B (radians) of the
// ellipsoid a (m) with first eccentricity squared e2.
void RadiiOfCurvature(double B, double a, double e2, double& M, double& N);

// The Jacobian of (B, L, H) (radians, m) with respect to geocentric (X, Y, Z) (m) at the
// point B, L, H of the ellipsoid a (m) with first eccentricity squared e2.
void GeodeticJacobian(double B, double L, double H, double a, double e2, double J[3][3]);

// The Jacobian of the Gauss plane (x, y, H) with respect to (B, L, H) at latitude B and
// longitude difference l = L - L0 from the central meridian (radians), to the third order
// in l.
void PlaneJacobian(double B, double l, double a, double e2, double K[3][3]);
