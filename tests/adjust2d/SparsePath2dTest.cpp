// The plane and the ellipsoidal adjustments through the sparse normal equations against the
// dense reference: every file they write, on generated networks; a value on a rounding tie of
// its format may print one unit apart, anything more is a fault.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust3d/GPS3dCombinedAdjust.h"
#include "adjust/NormalEquations.h"
#include "tests/adjust2d/PlaneNetwork.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/ReportComparison.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace vemo::test {
namespace {

struct FormScope {
  explicit FormScope(NormalForm form) { SetNormalForm(form); }
  ~FormScope() { SetNormalForm(NormalForm::Sparse); }
};

template <typename Run>
std::vector<std::string> Outputs(AdjustProject& project, NormalForm form, const std::vector<const char*>& files,
                                 Run run) {
  FormScope scope(form);
  run();
  std::vector<std::string> texts;
  for (const char* ext : files) texts.push_back(project.Read(ext));
  return texts;
}

template <typename Run>
int CompareForms(AdjustProject& project, const std::vector<const char*>& files, Run run) {
  const auto dense = Outputs(project, NormalForm::Dense, files, run);
  const auto sparse = Outputs(project, NormalForm::Sparse, files, run);
  int ties = 0;
  for (size_t f = 0; f < files.size(); ++f) {
    EXPECT_FALSE(dense[f].empty()) << files[f];
    const ReportDifference d = CompareReports(sparse[f], dense[f]);
    EXPECT_EQ(d.faults, 0) << files[f] << " " << d.firstFault;
    ties += d.ties;
  }
  return ties;
}

TEST(SparsePath2d, PlaneNetworksWithGroundObservationsGiveTheSameFiles) {
  for (unsigned seed : {21u, 22u}) {
    AdjustProject project;
    PlaneNetworkOptions o;
    o.points = 150, o.seed = seed, o.knownCount = 2 + static_cast<int>(seed % 2) * 2;
    WritePlaneProject(MakePlaneNetwork(o), project.dir.str(), "net");
    const int ties = CompareForms(project, {"GPS2dResult", "GPS2dXY", "GPS2dXYEFT"}, [] {
      CGPS2dNetAdjust net(0);
      EXPECT_EQ(net.Load(), 1);
      EXPECT_EQ(net.Adjust(), 1);
    });
    EXPECT_LE(ties, 3) << seed;
  }
}

TEST(SparsePath2d, EllipsoidalNetworksGiveTheSameReport) {
  AdjustProject project;
  WriteSyntheticProject(MakeSyntheticNetwork(120, 31), project.dir.str(), "net");
  const int ties = CompareForms(project, {"GPS3dBLHResult"}, [] {
    CGPS3dCombinedAdjust net;
    EXPECT_EQ(net.Load(), 1);
    EXPECT_EQ(net.Adjust(), 1);
  });
  // The known points are held by weights 10^8 times the vectors' (standard errors of 10^-4 of
  // the others'): the dense inversion keeps fewer digits of the free points there, so its
  // 9-decimal precisions may differ by a unit or two in the last place on several lines.
  EXPECT_LE(ties, 40);
}

}  // namespace
}  // namespace vemo::test
