// The ellipsoidal 3D combined adjustment: the baseline vectors adjusted on the project's own
// (ground) ellipsoid. The unknowns are the latitude, longitude and ellipsoidal height of every
// point and four parameters that carry the GPS frame of the vectors onto the ground frame
// (three small rotations and a scale difference). Known points stay unknowns; they enter as
// pseudo-observations of what they fix (the height, the horizontal position, or both) with a
// weight that holds them all but fixed. One linear step around approximate coordinates gives
// the result; the report goes to "<project>.GPS3dBLHResult".
//
// Units inside: approximate coordinates, misclosures, PVV (m²) and M0 (m) in metres;
// corrections of B and L in seconds of arc, of H in metres; rotations in radians, the scale
// difference as a ratio. The report prints PVV in cm², M0 in cm, the frame parameters in
// seconds of arc and ppm, from the GPS frame to the ground frame.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "adjust/NormalEquations.h"
#include "adjust/ReportFile.h"
#include "project/data/KnownCovariance.h"
#include "project/data/ReadGPS3dCombinedNet.h"

class CGPS3dCombinedAdjust : public CReadGPS3dCombinedNet {
 public:
  CGPS3dCombinedAdjust();
  ~CGPS3dCombinedAdjust();

  // Weight of a known component's pseudo-observation (per second of arc squared for B and L,
  // per square metre for H), against vector weights of about 1 per square metre.
  static constexpr double kConstraintWeight = 100000000.0;
  // Seconds of arc per radian.
  static double Rho();

  // Adjusts the loaded network and writes "<project>.GPS3dBLHResult". Returns 1 when the
  // result file was completed; 0 after the message of the failure (the file then holds at
  // most the approximate coordinates and is not a result).
  int Adjust();

  // Approximate X, Y, Z (m) of every point: those of the known points that give all three
  // components, then chained along the vectors in file order, pass after pass. Returns 1
  // when every point was placed, else 0 after "计算近似坐标错误".
  int ComputeApproximateXYZ();
  // The table of approximate coordinates at the head of the result file.
  void WriteApproximateBLH();
  // Clears and accumulates the normal equations of the vectors and of the known components,
  // and lPl into m_PVVm2, with the progress dialog "组成法方程".
  void BuildCombinedNormalEquations();
  void WriteCombinedHeader();
  void WriteAdjustedBLH();

  // The number of constrained components: the sum of the known types.
  int ConstrainedComponents() const;
  // Qxx(p, q) after the solution.
  double Qxx(int p, int q) const { return m_Normal->Cofactor(p, q); }

  // Own fields.
  int m_UnknownCount = 0;   // u = 3 N + 4
  int m_Redundancy = 0;     // r = 3 m - u + c
  size_t m_PackedSize = 0;  // u (u + 1) / 2
  double m_PVVm2 = 0.0;       // m² (seconds of arc² and m² of the pseudo-observations, weighted)
  double m_M0m = 0.0;        // m
  std::unique_ptr<vemo::CNormalEquations> m_Normal;  // N and U; Qxx after the solution
  std::vector<double> m_x;                           // the solution, in the order of the unknowns
  vemo::CReportFile m_ResultFile;

 private:
  // Latitude, longitude (radians) and height (m) of the approximate coordinates of point i.
  // False for a point the conversion cannot take (on the polar axis).
  bool ApproximateBLH(int i, double& B, double& L, double& H) const;
  // The approximate coordinates of every point converted once; false after a message naming
  // the point that cannot be converted.
  bool ConvertApproximateCoordinates();
  // Whether the known components determine the position, orientation and scale of the network
  // beside the four frame parameters; false after a message naming the cause.
  bool CheckDatum();
  // Warns of each frame parameter that the network's geometry cannot determine.
  void WarnUndeterminedFrameParameters() const;

  // The optional covariance files (GPS3dKnownCov, GPS3dCluster), read before anything is
  // written; 0 after the message naming the file and the line.
  int ReadCovarianceFiles();
  // Design rows of vector j on its ten unknowns (its end, its start, the frame parameters),
  // their indices and the misclosure, m.
  void VectorDesign(int j, double e2, int index[10], double A[3][10], double l[3]) const;
  // Adds a cluster's vectors with their full weight; their lᵀPl.
  double AddCluster(const vemo::CCovarianceBlock& cluster, double e2, double meanVariance);
  // Adds the weighted known points' observations; their lᵀPl.
  double AddWeightedPoints(double meanVariance);
  // The misclosure (approximate or adjusted minus given; seconds of arc for B and L, m for H)
  // of component c of known point i.
  double WeightedMisclosure(int i, int c, bool adjusted) const;
  // The result file's section of the weighted known points.
  void WriteWeightedPoints();

  // A weighted known point's components (per its code) with their covariance in seconds of
  // arc² for B, L and m² for H; the given values of the known points.
  struct WeightedBlock {
    std::vector<int> unknowns;  // 3 point + component
    std::vector<double> C;      // full, row-major
  };
  std::vector<WeightedBlock> m_WeightedBlocks;
  std::vector<char> m_IsWeighted;  // per known point
  std::vector<double> m_GivenB, m_GivenL, m_GivenH;
  std::vector<vemo::CCovarianceBlock> m_Clusters;
  std::vector<int> m_ClusterOf;
  double m_UnitVariance = 0.0;  // of the last build, m²

  double m_a = 0.0, m_InvF = 0.0;                   // the project ellipsoid
  bool m_Cancelled = false;  // the person cancelled the building of the normal equations
  std::vector<double> m_ApproxB, m_ApproxL, m_ApproxH;  // of the approximate X, Y, Z
};

// The frame parameters (rotations about X, Y, Z in seconds of arc, scale in ppm, as the report
// states them) whose value is beyond what frames differ by while their standard error exceeds
// it: indices 0..3.
std::vector<int> UndeterminedFrameParameters(const double value[4], const double sigma[4]);

