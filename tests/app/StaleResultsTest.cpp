// Results that must not pass for current: those of a computation that failed, a result read
// after the inputs of its computation changed, and a command that starts without its inputs.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/commands/CommandFlow.h"
#include "geodesy/FileUtil.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

class StaleResults : public testing::Test {
 protected:
  void SetUp() override { WriteSyntheticProject(MakeSyntheticNetwork(12, 5, 1.0, 2), source.dir.str(), "net"); }

  std::string File(const ProgramProject& p, const std::string& extension) const { return p.dir + "/net." + extension; }

  // Both adjustments of the network with a tunnel between P0003 and P0009: the known plane
  // points and the guide file from the 3D run's plane coordinates.
  void AdjustBoth(const ProgramProject& p) {
    ASSERT_EQ(p.Run({"adjust-3d"}).status, 0);
    std::ifstream xyh(File(p, "GPS3dXYH"));
    std::map<std::string, std::pair<double, double>> xy;
    std::string name;
    double x, y, h;
    while (xyh >> name >> x >> y >> h) xy[name] = {x, y};
    std::ofstream(File(p, "GPS2dKnownXY")) << "P0001 " << Format("%.4f %.4f", xy["P0001"].first, xy["P0001"].second)
                                           << "\nP0002 " << Format("%.4f %.4f", xy["P0002"].first, xy["P0002"].second)
                                           << "\n";
    const auto& a = xy["P0003"];
    const auto& c = xy["P0009"];
    std::ofstream(File(p, "gti")) << "P0003 P0004 P0009 P0010 T1 "
                                  << Format("%.4f %.4f 45.0000\n", (a.first + c.first) / 2, (a.second + c.second) / 2);
    const ProgramRun plane = p.Run({"adjust-2d"});
    ASSERT_EQ(plane.status, 0) << plane.err;
    ASSERT_TRUE(FileExists(File(p, "gtt")));
  }

  AdjustProject source;
};

TEST_F(StaleResults, AFailedAdjustmentLeavesNoneOfItsResultsForTheNextStep) {
  ProgramProject p(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  AdjustBoth(p);
  WriteFileAtomically(File(p, "GPS3dKnownXYZ"), "");  // no datum: the adjustment refuses
  EXPECT_EQ(p.Run({"adjust-3d"}).status, 1);
  for (const char* extension : {"GPS3dResult", "GPS3dTest", "GPS3dApproximateXYZ", "GPS3dBLH", "GPS3dXYHEFT",
                                "GPS3dXYH", "GPS3dBLHVector", "GPS2dVector"})
    EXPECT_FALSE(FileExists(File(p, extension))) << extension;
  // The next steps find no result to take for current, and say what makes their input.
  const ProgramRun map = p.Run({"map", "wgs84"});
  EXPECT_EQ(map.status, 1);
  EXPECT_NE(map.err.find(u8"的坐标数据不存在"), std::string::npos) << map.err;
  const ProgramRun plane = p.Run({"adjust-2d"});
  EXPECT_EQ(plane.status, 1);
  EXPECT_NE(plane.err.find(u8"二维网联合/约束平差所需的文件" + File(p, "GPS2dVector") + u8"不存在!"), std::string::npos)
      << plane.err;
  EXPECT_NE(plane.err.find(u8"请先执行\"平差计算→三维向量网平差\"(adjust-3d)。"), std::string::npos) << plane.err;
  // That failure took the plane results and the tunnel extract away in turn.
  for (const char* extension : {"GPS2dResult", "GPS2dTest", "GPS2dXY", "GPS2dXYEFT", "gtt"})
    EXPECT_FALSE(FileExists(File(p, extension))) << extension;
  const ProgramRun breakthrough = p.Run({"breakthrough"});
  EXPECT_EQ(breakthrough.status, 1);
  EXPECT_NE(breakthrough.err.find(File(p, "gtt") + u8"不存在!"), std::string::npos) << breakthrough.err;
}

TEST_F(StaleResults, BreakthroughRefusesAnExtractOlderThanThePlaneAdjustmentsInputs) {
  ProgramProject p(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  AdjustBoth(p);
  ASSERT_EQ(p.Run({"breakthrough"}).status, 0);
  // The known plane points changed after the adjustment: by the times, the extract was made an
  // hour before them (and after the guide file).
  const auto known = fs::last_write_time(File(p, "GPS2dKnownXY"));
  fs::last_write_time(File(p, "gtt"), known - std::chrono::hours(1));
  fs::last_write_time(File(p, "gti"), known - std::chrono::hours(2));
  const ProgramRun stale = p.Run({"breakthrough"});
  EXPECT_EQ(stale.status, 1);
  EXPECT_NE(stale.err.find(u8"贯通误差影响值计算所需的文件" + File(p, "gtt") + u8"是在文件" + File(p, "GPS2dKnownXY") +
                           u8"修改之前产生的"),
            std::string::npos)
      << stale.err;
  EXPECT_NE(stale.err.find(u8"请重新执行\"平差计算→二维网联合/约束平差\"(adjust-2d)。"), std::string::npos) << stale.err;
  EXPECT_FALSE(FileExists(File(p, "gto")));  // nor does the report of the earlier run stay
  ASSERT_EQ(p.Run({"adjust-2d"}).status, 0);
  EXPECT_EQ(p.Run({"breakthrough"}).status, 0);
}

TEST(MissingInputs, TheChecksNameTheMissingFileAndTheCommandThatMakesIt) {
  AdjustProject source;
  WriteSyntheticProject(MakeSyntheticNetwork(6, 3, 1.0, 1), source.dir.str(), "net");
  ProgramProject p(source, {"GPS3dVector"});  // the known points not yet entered
  for (const auto& [command, title] : {std::pair{"async-loops", u8"异步环闭合差计算"}, {"repeat-baselines", u8"重复基线差"}}) {
    const ProgramRun run = p.Run({command});
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE(run.err.find(title + std::string(u8"所需的文件") + p.dir + u8"/net.GPS3dKnownXYZ不存在!\n" +
                           u8"请先用\"数据输入→三维已知坐标\"(enter known-xyz)输入。"),
              std::string::npos)
        << run.err;
  }
  // Nothing of a check was written.
  for (const char* extension : {"GPS3dLoop", "GPS3dMisclosure", "GPS3dRepeatBaseline"})
    EXPECT_FALSE(FileExists(p.dir + "/net." + extension)) << extension;
}

TEST(ResultFiles, TheOneFixVariantNamesOnlyFilesOfItsOwn) {
  AdjustProject project;
  CResultFiles variant(kGPS3dNetResults, 1);
  variant.Add(kGPS2dNetResults, 1);
  variant.Add({ProjectFile::Vector3d, ProjectFile::Distance, ProjectFile::ApproximateXYZ}, 1);
  ASSERT_EQ(variant.Paths().size(), kGPS3dNetResults.size() + kGPS2dNetResults.size() + 1);
  for (const std::string& path : variant.Paths()) EXPECT_EQ(path.back(), '1') << path;
}

}  // namespace
