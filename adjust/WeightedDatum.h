// A weighted datum: known points whose given coordinates are observations with a covariance
// (per point or a full block over a group of points), so that the network may move them as
// far as their precision allows. Each such point owns unknowns after the network's others;
// the known points not listed stay fixed. The same object serves the space and the plane
// adjustments: it forms the weights, adds the observations to the normal equations, and gives
// the engines the rows and the tests of their reports.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "adjust/AdjustmentStatistics.h"
#include "adjust/ReportFile.h"
#include "adjust/Solution.h"
#include "project/data/KnownCovariance.h"

namespace vemo {

class CNormalEquations;
struct CVarianceBlock;

class CWeightedDatum {
 public:
  // The blocks read from the file, their members point indices (the known points come first
  // in every network, so a known point's index is its point index), covariances in the
  // engine's frame, cm².
  void Set(int dimension, std::vector<CCovarianceBlock> blocks);
  bool Empty() const { return m_Blocks.empty(); }
  int Dimension() const { return m_Dimension; }
  // The weighted points in the order of their unknowns.
  const std::vector<int>& Points() const { return m_Points; }

  // Gives the weighted points dimension unknowns each from firstUnknown on and records them
  // in layout.weighted. Returns the number of unknowns added.
  int AssignUnknowns(CPointUnknowns& layout, int firstUnknown) const;

  // The cofactors Q = C / sigma0² (sigma0² in cm², the engine's unit weight) and the weights
  // P = Q^-1 of every block.
  void SetUnitVariance(double sigma0Squared);

  // misclosure(point, c): the point's current coordinate c minus its given one, in the unit of
  // the engine's misclosures (its unknowns' unit).
  using Misclosure = std::function<double(int point, int c)>;
  // Adds the observations to the normal equations; returns their lᵀPl.
  double AddToNormal(CNormalEquations& normal, const CPointUnknowns& layout, const Misclosure& misclosure) const;
  // vᵀPv of the observations with v = x + l at the solution x of the normal equations.
  double SumOfSquares(const CPointUnknowns& layout, const Misclosure& misclosure, const std::vector<double>& x) const;
  // One test group per weighted point: its correction (adjusted minus given, from misclosure
  // after the solution) with the point's own block of Q.
  std::vector<CObservationGroup> TestGroups(const CPointUnknowns& layout, const Misclosure& misclosure) const;

  // Multiplies every block's covariance by factor (a variance component); SetUnitVariance
  // forms the weights anew.
  void Scale(double factor);
  // Appends one block of variance components per block of points, in group: design I on the
  // points' unknowns, Ql its cofactors, v adjusted minus given (misclosure after the solution).
  void AddVarianceBlocks(const CPointUnknowns& layout, const Misclosure& misclosure, int group,
                         std::vector<CVarianceBlock>& blocks) const;

  // The result report's section: each weighted point's adjusted coordinates (coordinates[c],
  // m), corrections and standard deviations (cm); toCm converts the misclosure unit.
  void WriteValues(CReportFile& f, const char* dash, const CAdjustmentSolution& solution,
                   const std::vector<std::string>& names, const std::vector<const std::vector<double>*>& coordinates,
                   const std::vector<const char*>& components, const Misclosure& misclosure, double toCm) const;
  // The statistics report's section: the w-test of every correction.
  void WriteTests(CReportFile& f, const char* dash, const CDataSnooping& snooping, double w,
                  const std::vector<std::string>& names, const std::vector<const char*>& components,
                  double toCm) const;

 private:
  struct Block {
    std::vector<int> points;
    std::vector<double> C, Q, P;  // (dimension n)², row-major
  };
  int m_Dimension = 3;
  std::vector<Block> m_Blocks;
  std::vector<int> m_Points;
};

}  // namespace vemo
