// Known plane points weighted by their covariances: with σ -> 0 they are the fixed ones, with
// σ -> ∞ the network is as if the point were not known; the reports list and test them.
#include <gtest/gtest.h>

#include <cmath>

#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust2d/GPS2dNetTests.h"
#include "tests/adjust2d/PlaneNetwork.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;

class PlaneWeightedDatumTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PlaneNetworkOptions o;
    o.points = 40, o.knownCount = 3, o.seed = 11;
    net = MakePlaneNetwork(o);
    for (PlaneVector& v : net.vectors) v.xx *= 1e4, v.yy *= 1e4, v.xy *= 1e4;  // cm², as the files hold them
    WritePlaneProject(net, project.dir.str(), "net");
  }
  std::unique_ptr<CGPS2dNetAdjust> Run() {
    auto adjust = std::make_unique<CGPS2dNetAdjust>();
    EXPECT_EQ(adjust->Load(), 1);
    EXPECT_EQ(adjust->Adjust(), 1) << ::testing::PrintToString(project.MessagesUtf8());
    return adjust;
  }
  std::string Known(int k) const { return net.names[static_cast<size_t>(net.known[static_cast<size_t>(k)])]; }
  // The coordinates of a run by point name.
  static double At(const CGPS2dNetAdjust& a, const std::string& name, int c) {
    for (int i = 0; i < a.m_PointCount; ++i)
      if (a.m_PointName[i] == name) return c == 0 ? a.m_X[i] : a.m_Y[i];
    return NAN;
  }

  AdjustProject project;
  PlaneNetwork net;
};

TEST_F(PlaneWeightedDatumTest, TendsToTheFixedPointAndToTheUnknownOne) {
  const auto fixed = Run();
  project.Write("GPS2dKnownCov", "GROUP 2\n" + Known(0) + "\n" + Known(1) + "\n1e-10 0 0 0\n1e-10 0 0\n1e-10 0\n1e-10\n");
  const auto tight = Run();
  EXPECT_EQ(tight->m_Redundancy, fixed->m_Redundancy);
  for (int i = 0; i < fixed->m_PointCount; ++i) {
    EXPECT_NEAR(tight->m_X[i], fixed->m_X[i], 2e-5) << i;
    EXPECT_NEAR(tight->m_Y[i], fixed->m_Y[i], 2e-5) << i;
  }

  // The third known point loosened: as if it were one of the points to be determined.
  project.Write("GPS2dKnownCov", Known(2) + " 1e8 1e8 0\n");
  const auto loose = Run();
  const std::string all = project.Read("GPS2dKnownXY");
  project.Write("GPS2dKnownXY", all.substr(0, all.find('\n', all.find('\n') + 1) + 1));
  std::filesystem::remove(project.File("GPS2dKnownCov"));
  const auto unknown = Run();
  for (int i = 0; i < unknown->m_PointCount; ++i) {
    const std::string& name = unknown->m_PointName[i];
    EXPECT_NEAR(At(*loose, name, 0), unknown->m_X[i], 5e-5) << name;
    EXPECT_NEAR(At(*loose, name, 1), unknown->m_Y[i], 5e-5) << name;
  }
}

TEST_F(PlaneWeightedDatumTest, ReportsListAndTestTheWeightedPoints) {
  project.Write("GPS2dKnownCov", Known(0) + " 0.25 0.36 0.05\n" + Known(1) + " 0.25 0.25 0\n");
  const auto weighted = Run();
  const std::string result = project.Read("GPS2dResult");
  const size_t section = result.find(G("加权已知点(约束点)平差值"));
  ASSERT_NE(section, std::string::npos);
  const std::string row = Lines(result.substr(section))[4];
  EXPECT_NE(row.find(Known(0)), std::string::npos) << row;
  EXPECT_NE(row.find(Format(" %9.2lf", (weighted->m_X[0] - weighted->m_KnownX[0]) * 100.0)), std::string::npos) << row;
  ASSERT_TRUE(WriteGPS2dTestReport(*weighted, CTestSettings{}));
  EXPECT_NE(project.Read("GPS2dTest").find(G("加权已知点(约束点)坐标改正数检验")), std::string::npos);
  // The precisions of the weighted points exist: their ellipses are not those of fixed points.
  EXPECT_GT(weighted->m_Solution.Ellipse(0).major, 0.0);
}

}  // namespace
