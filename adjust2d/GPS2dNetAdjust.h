// The plane (2D) combined and constrained adjustment: the GPS vectors reduced to the plane,
// with their 2 x 2 covariance, optionally combined with ground distances and azimuths, held
// to the known plane points. Two further unknowns, c and s, carry a ground coordinate
// difference into the GPS frame (DX = c dX + s dY, DY = -s dX + c dY), so the result also
// gives the rotation and scale GPS -> ground. The model is bilinear in coordinates and c, s:
// Gauss-Newton from a placement of the approximate network, each step solved by a
// factorisation, the normal matrix inverted once after convergence for the precisions.
//
// The same engine serves the one-point-one-direction network (variant 1: every file except
// the ground distances carries "1"; without the transformation unknowns, see
// m_WithTransformation), whose own solution step and orientation live with that command.
//
// Units: coordinates, corrections, residuals, PVV (m²) and M0 in m; the vectors' covariances
// are in cm² and their weights unitless (covariance over the mean variance σ̄²), so the
// variance of unit weight is σ̄² and every ground observation weighs σ̄²/σ² in the same
// units: a distance with σ in cm (misclosure in m), an azimuth with σ and misclosure in
// seconds of arc (σ̄² taken in m²). The legacy rule (m_LegacyGroundWeights) weighs them 1/σ²
// with σ as the file gives it. The reports print cm.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "adjust/NormalEquations.h"
#include "adjust/ReportFile.h"
#include "adjust/Solution.h"
#include "adjust/WeightedDatum.h"
#include "geodesy/ProjectFiles.h"
#include "project/data/ReadGPS2dVector.h"

class CGPS2dNetAdjust : public CReadGPS2dVector {
 public:
  // Gauss-Newton stops with a message after this many iterations without convergence.
  static constexpr int kMaxIterations = 30;
  // Convergence: every coordinate correction of an iteration at most this, m; and c, s each
  // changed by at most this over the extent of the network (ParameterConvergence).
  static constexpr double kConvergence = 0.1;
  // The extent below which c, s are held to kConvergence per metre, m.
  static constexpr double kMinimumExtent = 1.0;

  explicit CGPS2dNetAdjust(int variant = 0);
  ~CGPS2dNetAdjust();

  // The whole plane adjustment: checks, placement, iterations, M0, then the report
  // "<project>.GPS2dResult", GPS2dXY and GPS2dXYEFT (the commands then write the tunnel
  // breakthrough extract from the result). Returns 1 when the report was written; 0 after the
  // message of the failure.
  int Adjust();
  // The plane adjustment of the one-point-one-direction network (variant 1; OneFixAdjust.cpp):
  // the approximate network shifted onto its one fixed point, one solution without rotation
  // and scale, then the network turned about the fixed point onto the first (fixed) azimuth,
  // its cofactors with it; the report "<project>.GPS2dResult1" with GPS2dXY1 and GPS2dXYEFT1.
  // Returns 1 when the report was written; 0 after the message of the failure.
  int AdjustOneFix();

  // Sizes N, W and x for m_UnknownCount unknowns. Returns 1; throws std::bad_alloc.
  int AllocateNormalEquations();
  // Clears N, W and [pll] and adds every observation, linearised at the current coordinates
  // and c0, s0.
  void BuildNormalEquations();

  // Report writers (GPS2dNetReports.cpp), called by Adjust in this order after M0 is known.
  void WriteResultHeader();
  void WriteAdjustedNetwork();
  // The sections of WriteAdjustedNetwork after the coordinates and the weakest point.
  void WriteEllipses();
  void WriteResiduals();
  void WriteReliability();
  void WriteSides();
  void WriteAdjacentPoints();
  // Fills m_Solution from the counts, M0, PVV and the cofactors as they stand.
  void FillSolution();
  // Redundancy numbers of the vector components (DX, DY of each vector) from Q of the
  // unknowns and the design at the adjusted coordinates and the last c0, s0.
  void ComputeReliability();

  // Q(p, q) of the unknowns after the inversion; 0 when either index is negative (a known
  // point's coordinate).
  double Qxx(int p, int q) const;
  // Unknown index of point i's X (its Y is the next); negative for a fixed known point.
  int UnknownOf(int point) const {
    return m_Layout.weighted.empty() ? 2 * (point - m_KnownPointCount) : m_Layout.UnknownOf(point);
  }
  // The known points weighted by "<project>.GPS2dKnownCov" (the ordinary network only): their
  // unknowns come after the other points' and before c, s. Empty without the file.
  vemo::CWeightedDatum m_WeightedDatum;
  vemo::CPointUnknowns m_Layout;
  // Reads the file before anything is written; 0 after the message naming the file and line.
  int ReadKnownCovariance();
  // The weighted point's coordinate c now minus its given one, m.
  double KnownMisclosure(int point, int c) const;
  // The statistics report's section of the weighted points (nothing without them).
  void WriteWeightedDatumTests(vemo::CReportFile& f, const vemo::CNetworkTests& tests) const;
  // The unknowns c, s (when present) follow the coordinate corrections.
  int ParameterCount() const { return m_WithTransformation ? 2 : 0; }

  // Runs the adjustment's checks of the data set (datum, placement data, vectors, ties of
  // every point to the datum), each failure with a message. Returns 1 when it can go on.
  int CheckNetwork();
  // Moves the approximate network into the ground grid by a similarity about the first known
  // point that a vector reaches, and sets c0, s0: with two such known points from the first
  // two of them, otherwise from the first ground azimuth and distance. Known points that no
  // vector reaches have no approximate coordinates in the GPS frame and take no part.
  // Returns 0 after a message when it cannot be placed.
  int PlaceApproximateNetwork();
  // The known points that are ends of vectors, in the order of the known-point file.
  std::vector<int> PlacingKnownPoints() const;
  // The largest change of c and s at convergence: kConvergence over the diagonal of the box
  // that holds the vectors' points (at least kMinimumExtent), i.e. the change of c or s that
  // moves a coordinate difference across the network by kConvergence.
  double ParameterConvergence() const;
  // vᵀPv at the current linearisation and solution x (exactly [pll] + xᵀW at the solution of
  // the normal equations, without its cancellation).
  double SumOfWeightedSquares() const;
  // Redundancy from the counts and the project's independent baselines.
  int RedundancyFromCounts() const;
  // The result files' names: "<project>.<extension>", with "1" appended for variant 1.
  std::string ResultName(vemo::ProjectFile file) const;

  // With the rotation and scale unknowns c, s (the ordinary network). The one-point-one-
  // direction network clears it: u = 2 (n - k), vectors enter with the design rows -I | +I
  // and misclosures X(t) - X(f) - DX, and azimuths are no observations.
  bool m_WithTransformation = true;
  int m_MaxIterations = kMaxIterations;
  // The original rules, for comparison with results computed by them: ground distances and
  // azimuths weighted 1/σ² with σ as the files give it (cm, seconds of arc), not scaled to
  // the vectors' unit weight; and convergence tested on the coordinate corrections alone.
  bool m_LegacyGroundWeights = false;
  bool m_LegacyConvergence = false;

  int m_UnknownCount = 0;   // u
  int m_Redundancy = 0;     // r
  size_t m_PackedSize = 0;  // u (u + 1) / 2
  double m_PVVm2 = 0.0;       // m²; [pll] of the last build until the solution
  double m_M0m = 0.0;        // m
  double m_MeanVariance = 0.0;  // σ̄², mean of (var DX + var DY) / 2 over the vectors
  std::unique_ptr<vemo::CNormalEquations> m_Normal;  // N and W; Q after the inversion
  std::vector<double> m_x;                           // solution of the last iteration
  std::vector<double> m_RedundancyNumber;            // 2 per vector, by ComputeReliability
  vemo::CReportFile m_ResultFile;
  // The solution in metres (M0, PVV) with Qxx, once the normal matrix is inverted.
  vemo::CAdjustmentSolution m_Solution;
  double m_c0 = 1.0, m_s0 = 0.0;  // the parameters of the current linearisation
  double m_ParameterConvergence = 0.0;  // ParameterConvergence() of the current iterations
  double m_Scale = 1.0;           // GPS -> ground, unitless
  double m_Rotation = 0.0;        // GPS -> ground, radians
  int m_Iterations = 0;

  // Seconds spent by the last Adjust, for the benchmark.
  struct StageTimes {
    double iterations = 0, factorization = 0, inversion = 0, reports = 0;
  } m_Times;

  // Design rows, unknown indices (negative: absent) and misclosures of vector j, linearised
  // at the current coordinates and c0, s0: v = a x + l for its DX and DY.
  void VectorRows(int j, int index[6], double a[2][6], double l[2]) const;
  // Rows of a ground distance or azimuth (4 unknowns), its misclosure and its weight.
  void DistanceRow(int j, int index[4], double a[4], double& l, double& p) const;
  void AzimuthRow(int j, int index[4], double a[4], double& l, double& p) const;

 protected:
  // The weight of a ground observation of standard error sd: σ̄² unitWeightScale / sd², or
  // 1 / sd² by the legacy rule.
  double GroundWeight(double sd, double unitWeightScale) const;
  // The weight matrix P = (covariance / σ̄²)^-1 of vector j, packed (xx, xy, yy).
  void WeightMatrix(int j, double P[3]) const;
  void ComputeMeanVariance();
  // The iterations of Gauss-Newton; 0 after a message when they fail.
  int Iterate();
  // One step in its progress window (titled with m_Iterations): build, solve, take vᵀPv at
  // this step's linearisation when it is the last, move the coordinates. An iteration solves
  // keeping N and has converged when every coordinate correction is within kConvergence and
  // c, s moved by at most m_ParameterConvergence (not tested by the legacy rule); the
  // final step of a linear model factorises N (its cofactors come with it) and is always the
  // last. Returns 0 after a message or a cancel.
  enum class StepKind { Iteration, Final };
  int SolutionStep(StepKind kind, bool& converged);
};
