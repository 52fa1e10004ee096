#include <gtest/gtest.h>

#include <filesystem>

#include "baselines/IndependentBaselines.h"
#include "project/data/ReadGPS3dVector.h"
#include "tests/checks/CheckFixture.h"

namespace {
using namespace vemo;
using test::G;

std::vector<CPeriodBaseline> Period(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::vector<CPeriodBaseline> b;
  for (const auto& [f, t] : pairs) b.push_back({f, t});
  return b;
}

std::vector<int> Flags(const std::vector<CPeriodBaseline>& b) {
  std::vector<int> f;
  for (const auto& x : b) f.push_back(x.flag);
  return f;
}

TEST(IndependentSelection, ChainTakesTheNextBaselineAtTheEndWithoutBacktracking) {
  auto b = Period({{"A", "B"}, {"A", "C"}, {"B", "C"}});
  SelectIndependentBaselines(b, IndependentRule::Chain, 0);
  EXPECT_EQ(Flags(b), (std::vector<int>{0, 1, 0}));
  // Four receivers: A->B, then B->C (end B), then C->D or D->C (end C); A->D stays out.
  b = Period({{"A", "B"}, {"A", "D"}, {"B", "C"}, {"D", "C"}, {"B", "D"}, {"A", "C"}});
  SelectIndependentBaselines(b, IndependentRule::Chain, 0);
  EXPECT_EQ(Flags(b), (std::vector<int>{0, 1, 0, 0, 1, 1}));
  // A single baseline of two receivers.
  b = Period({{"A", "B"}});
  SelectIndependentBaselines(b, IndependentRule::Chain, 0);
  EXPECT_EQ(Flags(b), (std::vector<int>{0}));
}

TEST(IndependentSelection, RadialAndAll) {
  auto b = Period({{"A", "B"}, {"C", "A"}, {"B", "C"}, {"A", "D"}, {"D", "B"}});
  SelectIndependentBaselines(b, IndependentRule::Radial, 0);
  EXPECT_EQ(Flags(b), (std::vector<int>{0, 0, 1, 0, 1}));
  SelectIndependentBaselines(b, IndependentRule::All, 0);
  EXPECT_EQ(Flags(b), (std::vector<int>{0, 0, 0, 0, 0}));
  // A random start on the third baseline: radial from its from-point B.
  SelectIndependentBaselines(b, IndependentRule::Radial, 2);
  EXPECT_EQ(Flags(b), (std::vector<int>{0, 1, 0, 1, 0}));
}

TEST(IndependentSelection, RandomStartStaysInsideThePeriod) {
  EXPECT_EQ(RandomStartIndex(0, 10), 0u);
  EXPECT_EQ(RandomStartIndex(32767, 10), 8u);  // floor(32767 / 32768 * 9)
  EXPECT_EQ(RandomStartIndex(32767, 1), 0u);
  EXPECT_EQ(RandomStartIndex(5, 0), 0u);
}

TEST(IndependentSelection, LargePeriodsHaveNoFixedLimit) {
  // 2000 baselines among 150 receivers: beyond the 1300 baselines and 100 points of the design.
  std::vector<CPeriodBaseline> b;
  for (int i = 0; i < 150; ++i)
    for (int j = i + 1; j < 150 && b.size() < 2000; ++j) b.push_back({"R" + std::to_string(i), "R" + std::to_string(j)});
  SelectIndependentBaselines(b, IndependentRule::Chain, 0);
  int used = 0;
  for (const auto& x : b) used += x.flag == 0;
  EXPECT_GT(used, 1);
  EXPECT_LE(used, 149);
}

TEST(IndependentFormation, AllRuleEqualsTheMergedFilesWithLeadingFlag) {
  test::CheckProject project;
  std::string s1 = project.WriteSync("d1.GPS3DVector_S",
                                     "A B 1.0 2.0 3.0 0.01 0.02 0.03 0.001 0.002 0.003\n"
                                     "short\n"
                                     "B C -4.5 5.25 6.125 0.04 0.05 0.06 0 0 0\n");
  std::string s2 = project.WriteSync("d2.GPS3DVector_S", "a c 7 8 9 1 1 1 0 0 0\r\n");
  ASSERT_EQ(FormIndependentBaselines({s1, s2}, IndependentRule::All, false), 1);
  const char* fmt = "%2d %16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n";
  std::string expected = s1 + "\n" + Format(fmt, 0, "A", "B", 1.0, 2.0, 3.0, 0.01, 0.02, 0.03, 0.001, 0.002, 0.003) +
                         Format(fmt, 0, "B", "C", -4.5, 5.25, 6.125, 0.04, 0.05, 0.06, 0.0, 0.0, 0.0) + s2 + "\n" +
                         Format(fmt, 0, "A", "C", 7.0, 8.0, 9.0, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0);
  EXPECT_EQ(project.Read("GPS3dVector"), expected);
}

TEST(IndependentFormation, AFailedFormationLeavesTheVectorFileAsItWas) {
  test::CheckProject project;
  // The file of an earlier formation, with a flag turned by hand.
  const std::string edited = "/s/d0.GPS3DVector_S\n 1 A B 1 2 3 1 1 1 0 0 0\n 0 B C 1 2 3 1 1 1 0 0 0\n";
  project.Write("GPS3dVector", edited);
  std::string s1 = project.WriteSync("d1.GPS3DVector_S", "A B 1 2 3 1 1 1 0 0 0\n");
  std::string s3 = project.WriteSync("d3.GPS3DVector_S", "\nA " + std::string(30, 'N') + " 1 2 3 1 1 1 0 0 0\n");
  struct Case {
    const char* what;
    std::vector<std::string> files;
    const char* message;
  } cases[] = {
      {"a missing input", {s1, project.dir.str() + "/none"}, u8"/none不存在!"},
      {"a name of 30 characters", {s1, s3}, u8"超过29个字符!"},
      {"no files", {}, u8"没有选定同步基线文件"},
  };
  for (const auto& c : cases) {
    project.scope.host.messages.clear();
    EXPECT_EQ(FormIndependentBaselines(c.files, IndependentRule::All, true), 0) << c.what;
    ASSERT_EQ(project.scope.host.messages.size(), 1u) << c.what;
    EXPECT_NE(project.scope.host.messages[0].Utf8Text().find(c.message), std::string::npos)
        << project.scope.host.messages[0].Utf8Text();
    EXPECT_EQ(project.Read("GPS3dVector"), edited) << c.what;
  }
  // A formation that succeeds replaces it.
  ASSERT_EQ(FormIndependentBaselines({s1}, IndependentRule::All, false), 1);
  EXPECT_EQ(project.Read("GPS3dVector").substr(0, s1.size() + 1), s1 + "\n");
}

TEST(IndependentFormation, SourceFileLinesAlwaysReadBack) {
  test::CheckProject project;
  project.Write("GPS3dKnownXYZ", "A 30.1522 114.2030 25.3\n");
  const std::string folder = project.dir.str() + "/field data 2024 05 12 day 3 of 4 session a b";
  std::filesystem::create_directories(folder);
  const std::string sync = folder + "/p1.GPS3DVector_S";
  ASSERT_TRUE(WriteFileAtomically(sync, "A B 1 2 3 1 1 1 0 0 0\nB C 4 5 6 1 1 1 0 0 0\n"));
  const std::string plain = project.WriteSync("p2.GPS3DVector_S", "C A -5 -7 -9 1 1 1 0 0 0\n");
  ASSERT_EQ(FormIndependentBaselines({sync, plain}, IndependentRule::All, false), 1);
  const std::string written = project.Read("GPS3dVector");
  // The name of twelve blanks keeps its look with ideographic spaces; an ordinary one is exact.
  std::string shown = sync;
  for (size_t at; (at = shown.find(' ')) != std::string::npos;) shown.replace(at, 1, G(u8"\u3000"));
  EXPECT_EQ(written.substr(0, shown.size() + 1), shown + "\n");
  EXPECT_NE(written.find("\n" + plain + "\n"), std::string::npos);
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1) << (project.scope.host.messages.empty() ? "" : project.scope.host.messages[0].Utf8Text());
  EXPECT_EQ(set.m_VectorCount, 3);
  EXPECT_EQ(SourceFileLine(plain), plain + "\n");
}

}  // namespace

namespace {

TEST(BaselineFileChooser, ListsByPatternWithoutRegardToCase) {
  vemo::test::TempDir dir;
  for (const char* n : {"a.GPS3DVector_S", "b.gps3dvector_s", "c.txt", "d.GPS3dVector_S.bak"})
    vemo::WriteFileAtomically(dir.str() + "/" + n, "x");
  vemo::CBaselineFileChooser chooser{dir.str(), "*.GPS3dVector_S", {}, {}};
  chooser.ListCandidates();
  EXPECT_EQ(chooser.candidates, (std::vector<std::string>{"a.GPS3DVector_S", "b.gps3dvector_s"}));
  chooser.Choose({"b.gps3dvector_s"});
  chooser.ChooseAll();
  EXPECT_EQ(chooser.chosen, (std::vector<std::string>{dir.str() + "/b.gps3dvector_s", dir.str() + "/a.GPS3DVector_S"}));
  chooser.RemoveChosen({dir.str() + "/b.gps3dvector_s"});
  EXPECT_EQ(chooser.chosen.size(), 1u);
  chooser.filter = "*.*";
  chooser.ListCandidates();
  EXPECT_EQ(chooser.candidates.size(), 4u);
}

}  // namespace
