// The 3D vector network adjustment: the project's baseline vectors (dX, dY, dZ with their
// 3 x 3 covariance) adjusted in the Cartesian frame of the baselines, the known 3D points
// held fixed. The vectors are linear in the coordinates, so one solution of the normal
// equations gives the result; the approximate coordinates serve only as the point of
// expansion. The same engine serves the 3D adjustment command (variant 0), the
// one-point-one-direction network (variant 1: every project file name carries "1") and the
// free network's preparation (approximate-file mode, which also writes the free-network
// input files).
//
// Units inside: coordinates in m, misclosures, corrections, PVV and M0 in mm; the reports
// print precisions in cm.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "adjust/NormalEquations.h"
#include "adjust/ReportFile.h"
#include "adjust/Solution.h"
#include "adjust/WeightedDatum.h"
#include "geodesy/ProjectFiles.h"
#include "project/data/ReadGPS3dVector.h"

class CGPS3dNetAdjust : public CReadGPS3dVector {
 public:
  explicit CGPS3dNetAdjust(int variant = 0);
  ~CGPS3dNetAdjust();

  // Adjusts the loaded network and writes the result file "<project>.GPS3dResult" ("...1" for
  // variant 1) and its companion files. Returns 1 when the results were written; 0 after the
  // message of the failure, or without one when every point is known.
  int Adjust();

  // Sizes the normal equations for m_UnknownCount unknowns and the solution. Throws
  // std::bad_alloc.
  void AllocateNormalEquations();
  // Clears and accumulates the normal equations of all vectors from the current approximate
  // coordinates, and lPl into m_PVVmm2.
  void BuildNormalEquations();

  // Report writers, called by Adjust in this order after M0 is known (WriteApproximateXYZ
  // right after the approximate coordinates). Each returns 0 after a message when it cannot
  // go on.
  int WriteApproximateXYZ();
  void WriteResultHeader();
  void WriteAdjustedNetwork();
  void ComputeReliability();
  int WriteGeodeticResults();

  // Fills m_Solution from the counts, M0, PVV and the normal equations as they stand.
  void FillSolution();

  // Elements of the cofactor matrix of the unknowns after the solution.
  double Qxx(int p, int q) const { return m_Normal->Cofactor(p, q); }
  // The first unknown of point i (negative for a fixed known point).
  int UnknownOf(int point) const {
    return m_Layout.weighted.empty() ? 3 * (point - m_KnownPointCount) : m_Layout.UnknownOf(point);
  }

  // Own fields.
  int m_UnknownCount = 0;      // u = 3 (N - k)
  int m_Redundancy = 0;        // r
  size_t m_PackedSize = 0;     // u (u + 1) / 2
  double m_PVVmm2 = 0.0;       // weighted sum of squared residuals, mm²
  double m_M0mm = 0.0;         // standard error of unit weight, mm
  double m_MeanVariance = 0.0; // sigma0², the variance of unit weight (unit of the covariances)
  std::unique_ptr<vemo::CNormalEquations> m_Normal;  // N and U; Qxx after the solution
  std::vector<double> m_x;     // coordinate corrections, mm
  std::vector<double> m_RedundancyNumber;  // 3 per vector, by ComputeReliability
  vemo::CReportFile m_ResultFile;
  // The solution in metres (M0, PVV) with Qxx, once the normal equations are solved.
  vemo::CAdjustmentSolution m_Solution;

  // In approximate-file mode, the points (besides the known one) that the free network's input
  // files hold, by name; empty: every point. The cofactor triangle grows with the square of
  // their number (25 GB for 20,000 points); a free network of some of the points is the free
  // network whose datum they define.
  std::vector<std::string> m_FreeNetworkPoints;

  // The ordinary network's optional covariance files, read by Adjust before it writes
  // anything: the known points weighted by "<project>.GPS3dKnownCov" (the others stay fixed)
  // and the correlated sessions of "<project>.GPS3dCluster" (members: vector indices; cov, cm²,
  // after remodelling; their diagonal blocks are the vectors' own covariances). Empty without
  // the files.
  vemo::CWeightedDatum m_WeightedDatum;
  std::vector<vemo::CCovarianceBlock> m_Clusters;
  std::vector<int> m_ClusterOf;  // cluster of each vector or -1; empty without clusters
  vemo::CPointUnknowns m_Layout;  // weighted: the unknowns of the weighted known points
  // Reads both files (nothing in the one-point-one-direction variant or in approximate-file
  // mode). Returns 0 after the message naming the file and the line.
  int ReadCovarianceFiles();
  // Variance factors that ReadCovarianceFiles multiplies into what it read, after remodelling
  // and scaling: one per cluster in file order (missing: 1), each scaling the whole cluster
  // and its vectors' own covariances, and one for every weighted known point. The estimated
  // variance components reach the adjustment this way, since Adjust reads the files anew.
  std::vector<double> m_ClusterFactors;
  double m_WeightedDatumFactor = 1.0;
  // A weighted known point's current coordinate c minus its given one, mm.
  double KnownMisclosure(int point, int c) const;
  // Adds the solution m_x (mm) to the coordinates of every point that has unknowns.
  void UpdateCoordinates();
  // The statistics report's section of the weighted known points (nothing without them).
  void WriteWeightedDatumTests(vemo::CReportFile& f, const vemo::CNetworkTests& tests) const;

  // Seconds spent by the last Adjust in its stages, for the benchmark.
  struct StageTimes {
    double approximate = 0, build = 0, solve = 0, inverse = 0, reports = 0;
  } m_Times;

 protected:
  // Checks that make the normal equations regular, each failure with a message naming its
  // cause: a datum (a known point), every point tied to a known point by vectors, vectors
  // with two distinct ends and positive-definite covariances.
  int CheckNetwork();

 private:
  // The stages of Adjust, each 0 after its message.
  int CheckCounts();  // the redundancy, the point list of an approximate file, a datum
  int PrepareApproximateNetwork();  // approximate coordinates and the datum of every point
  int Singular();                   // the message of a singular normal matrix: always 0
  int TooFewVectors();              // the message of too few vectors: always 0
  void ApplySolution();             // coordinates, PVV, M0 and the solution object

 public:
  // The weight matrix P = (Sigma / sigma0²)^-1 of vector j, full 3 x 3.
  void WeightMatrix(int j, double P[3][3]) const;
  // The six unknown indices of vector j's ends (negative for a known end).
  void VectorUnknowns(int j, int index[6]) const;

 private:
  // The sections of the adjusted network after the coordinates and the weakest point.
  void WriteResiduals();
  void WriteReliability();
  void WriteSides();
  int WriteFreeNetworkFiles();
  // Adds one cluster's observations to the normal equations; its lᵀPl.
  double AddCluster(size_t cluster);
  void ClusterRedundancy(size_t cluster);
  // The distinct end points of a cluster's vectors, and each vector's from and to among them.
  void ClusterPoints(const vemo::CCovarianceBlock& cluster, std::vector<int>& points, std::vector<int>& slots) const;
  std::vector<std::vector<double>> m_ClusterWeight;  // P of each cluster, full, by BuildNormalEquations
  int WritePointFiles(const std::vector<std::string>& blh, const std::vector<std::string>& xyheft,
                      const std::vector<std::string>& xyh);
  std::string ResultName(vemo::ProjectFile file) const;
};
