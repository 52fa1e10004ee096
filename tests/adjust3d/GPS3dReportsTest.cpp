// The reports of the 3D adjustment: golden files of a small network, the residual test and the
// relative precision on a network whose cofactors are set by hand, and the command.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "adjust3d/GPS3dNetAdjust.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

// Three points on the X axis, K fixed at the origin, P at 0.03 m and Q at 1000 m; the normal
// matrix 16 I, so that every cofactor is 1/16 and, with M0 = 10 mm, a standard error of
// 0.25 cm along X. Vectors: K->P observed 0 (residual 3.00 cm), K->P observed -0.1 mm
// (3.01 cm), K->Q observed 1000 m.
class HandSetNetwork : public testing::Test {
 protected:
  void SetUp() override {
    net.m_GradeFixedMm = 10.0;  // grade: 10 mm + 0 ppm, a tolerance of 3.00 cm whatever the length
    net.m_GradePpm = 0.0;
    net.m_KnownPointCount = 1;
    net.m_PointCount = 3;
    net.m_PointName = {"K", "P", "Q"};
    net.m_X = {0.0, 0.03, 1000.0}, net.m_Y = {0, 0, 0}, net.m_Z = {0, 0, 0};
    net.m_VectorCount = 3;
    net.m_From = {0, 0, 0}, net.m_To = {1, 1, 2};
    net.m_DX = {0.0, -0.0001, 1000.0}, net.m_DY = {0, 0, 0}, net.m_DZ = {0, 0, 0};
    net.m_Dxx = net.m_Dyy = net.m_Dzz = {0.25, 0.25, 0.25};
    net.m_Dxy = net.m_Dxz = net.m_Dyz = {0, 0, 0};
    net.m_MeanVariance = 0.25;
    net.m_UnknownCount = 6;
    net.m_M0mm = 10.0;
    net.m_Normal = std::make_unique<CDenseNormalEquations>();
    net.m_Normal->Allocate(6);
    for (int p = 0; p < 6; ++p) {
      const double sixteen = 16.0, zero = 0.0;
      net.m_Normal->Add(&p, 1, &sixteen, &zero);
    }
    ASSERT_EQ(net.m_Normal->Factorize(), 1);
    ASSERT_EQ(net.Qxx(0, 0), 0.0625);
    net.FillSolution();
  }
  std::vector<std::string> Network() {
    EXPECT_TRUE(net.m_ResultFile.Create(project.File("GPS3dResult")));
    net.WriteAdjustedNetwork();
    EXPECT_TRUE(net.m_ResultFile.Close());
    return Lines(project.Read("GPS3dResult"));
  }
  static bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  AdjustProject project;
  CGPS3dNetAdjust net{0};
};

TEST_F(HandSetNetwork, ResidualEqualToItsTolerancePasses) {
  const auto lines = Network();
  EXPECT_TRUE(Has(lines, Format("%4d %16s %16s %10.2f %10.2f %10.2f %10.2f", 1, "K", "P", 3.0, 0.0, 0.0, 3.0) +
                             G(u8"  合格")));
  EXPECT_TRUE(Has(lines, Format("%4d %16s %16s %10.2f %10.2f %10.2f %10.2f", 2, "K", "P", 3.01, 0.0, 0.0, 3.0) +
                             G(u8"  超限")));
}

TEST_F(HandSetNetwork, RelativePrecisionToTheNearestThousand) {
  const auto lines = Network();
  // S = 1000 m, MS = 0.25 cm: 1 : 400000 and 2.50 ppm.
  EXPECT_TRUE(Has(lines, "   3                K                Q        1000.000    0.25    1/400000       2.50"));
}

TEST_F(HandSetNetwork, WeakestPointAndSide) {
  const auto lines = Network();
  // P and Q are equally weak: the earlier one is reported.
  const std::string weakest = Format("%4d %16s %7.2lf %7.2lf %7.2lf %7.2lf", 2, "P", 0.25, 0.25, 0.25,
                                     std::sqrt(3 * 0.0625));
  EXPECT_TRUE(Has(lines, weakest));
  // The smallest T is that of the 3 cm sides (T rounds to 0); the first of them.
  const auto title = std::find(lines.begin(), lines.end(), G(u8"　　　　　　　　　　　　　　最弱边"));
  ASSERT_NE(title, lines.end());
  ASSERT_LT(title + 4, lines.end());
  EXPECT_EQ(*(title + 4), Format("%4d %16s %16s %15.3lf %7.2lf    1/%-10.0lf %6.2lf", 1, "K", "P", 0.03, 0.25, 0.0,
                                 0.25 / 0.03 * 10000.0));
}

TEST_F(HandSetNetwork, WithoutPrecisionNoWeakestPointIsChosen) {
  net.m_M0mm = 0.0;
  net.FillSolution();
  const auto lines = Network();
  const auto title = std::find(lines.begin(), lines.end(), G(u8"                         最弱点"));
  ASSERT_NE(title, lines.end());
  ASSERT_LT(title + 4, lines.end());
  EXPECT_EQ(*(title + 3), std::string(96, '-'));
  EXPECT_EQ(*(title + 4), std::string(96, '-'));  // straight on to the residuals
}

// The golden files of a small network: two known points with a vector between them, three
// unknown points, and one vector with a 5 cm error in dX.
class GoldenReports : public testing::Test {
 protected:
  void SetUp() override {
    project.Write("GPS3dKnownXYZ", KnownXYZ("K1", -2260788.2828, 5016590.7313, 3214662.3666) +
                                       KnownXYZ("K2", -2259692.1703, 5012208.3513, 3222226.2457));
    project.Write("GPS3dVector",
                  Vector("K1", "P1", -2563.1762, -1874.4797, 1118.4343, 0.21, 0.34, 0.27, 0.02, -0.01, 0.03) +
                      Vector("P1", "P2", 3764.3950, 916.3582, 1200.5152, 0.25, 0.31, 0.29, -0.02, 0.01, 0.02) +
                      Vector("P2", "K2", -105.0943, -3424.2539, 5244.9247, 0.33, 0.38, 0.41, 0.03, 0.02, -0.01) +
                      Vector("P1", "P3", 1819.0578, -620.2995, 2234.7497, 0.22, 0.30, 0.26, 0.01, 0.01, 0.01) +
                      Vector("P3", "K2", 1840.2366, -1887.5952, 4210.6898, 0.30, 0.36, 0.35, 0.02, -0.02, 0.03) +
                      Vector("P2", "P3", -1945.3379, -1536.6685, 1034.2276, 0.24, 0.28, 0.27, -0.01, 0.02, 0.01) +
                      Vector("K1", "K2", 1096.1060, -4382.3810, 7563.8784, 0.40, 0.45, 0.50, 0.02, 0.01, 0.02) +
                      Vector("P3", "P2", 1945.3867, 1536.6641, -1034.2322, 0.24, 0.28, 0.27, -0.01, 0.02, 0.01));
  }
  AdjustProject project;
};

TEST_F(GoldenReports, EveryFileByteForByte) {
  // The golden files were checked by hand against the dense reference solution; the sparse
  // path is compared with it in SparsePathTest (one mean lies on a rounding tie here).
  SetNormalForm(NormalForm::Dense);
  struct Restore {
    ~Restore() { SetNormalForm(NormalForm::Sparse); }
  } restore;
  CGPS3dNetAdjust net(0);
  ASSERT_EQ(net.Load(), 1);
  ASSERT_EQ(net.Adjust(), 1);
  EXPECT_TRUE(project.scope.host.messages.empty());
  const std::string golden = std::string(VEMO_TEST_DATA_DIR) + "/adjust3d/";
  const bool update = std::getenv("VEMO_UPDATE_GOLDEN") != nullptr;
  for (const char* ext : {"GPS3dResult", "GPS3dApproximateXYZ", "GPS3dBLH", "GPS3dXYHEFT", "GPS3dXYH", "GPS2dVector",
                          "GPS3dBLHVector"}) {
    const std::string actual = project.Read(ext), path = golden + "net." + ext;
    if (update) WriteFileAtomically(path, actual);
    EXPECT_EQ(actual, ReadWholeFile(path).value_or("<missing golden file>")) << ext;
  }
}

TEST_F(GoldenReports, CommandOpensTheResultAndShowResultPrintsIt) {
  test::TempDir config, work;
  const std::string dir = (work.path() / "prj").string();
  auto created = CreateProgramProject(dir, config.str());
  ASSERT_EQ(created.status, 0) << created.err;
  for (const char* ext : {"GPS3dKnownXYZ", "GPS3dVector"}) fs::copy_file(project.File(ext), dir + "/net." + ext);
  const std::string prj = dir + "/net.prj";
  auto run = RunProgram({"--project", prj, "adjust-3d"}, config.str());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, dir + "/net.GPS3dResult\n");
  EXPECT_EQ(run.err, "");
  auto shown = RunProgram({"--project", prj, "show-result", "3d"}, config.str());
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.out.find(u8"三维网平差结果"), std::string::npos);
  auto plane = RunProgram({"--project", prj, "show-result", "vector-2d"}, config.str());
  EXPECT_EQ(plane.status, 0);
  EXPECT_NE(plane.out.find("P1"), std::string::npos);
  EXPECT_EQ(RunProgram({"--project", prj, "adjust-3d", "extra"}, config.str()).status, 2);
  // A project without its vector file: a message naming it and the command that makes it,
  // status 1, nothing opened.
  fs::remove(dir + "/net.GPS3dVector");
  auto failed = RunProgram({"--project", prj, "adjust-3d"}, config.str());
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_NE(failed.err.find(dir + u8"/net.GPS3dVector不存在!\n请先执行\"数据输入→形成独立基线文件\"(form-independent)。"),
            std::string::npos)
      << failed.err;
}

}  // namespace
