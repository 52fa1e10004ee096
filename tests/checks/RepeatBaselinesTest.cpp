#include <gtest/gtest.h>

#include <sstream>

#include "project/data/ReadGPS3dVector.h"
#include "checks/RepeatBaselines.h"
#include "tests/checks/CheckFixture.h"

namespace {
using namespace vemo;
using test::G;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

void WriteProject(test::CheckProject& project, const std::string& vectors) {
  project.Write("GPS3dKnownXYZ", "A -2263483.8885 5013061.1228 3218279.9226\n");
  project.Write("GPS3dVector", vectors);
}

TEST(RepeatBaselines, ReversedRepeatIsComparedInTheFirstDirection) {
  test::CheckProject project(0);  // "国标A级": both reports
  WriteProject(project, test::VectorLine("A", "B", 100, 200, 300) + test::VectorLine("B", "C", 5, 5, 5) +
                            test::VectorLine("B", "A", -100.002, -200, -300));
  ASSERT_EQ(RunRepeatBaselineComparison(), 1);
  auto lengths = Lines(project.Read("GPS3dRepeatBaseline"));
  ASSERT_EQ(lengths.size(), 7u);
  EXPECT_EQ(lengths[1], std::string(100, '-'));
  // The reference is the shorter vector, the first one.
  EXPECT_EQ(lengths[4].rfind(Format("%8d %8s %8s %13.4lf %13.4lf %13.4lf %13.4lf", 1, "A", "B", 100.0,
                                              200.0, 300.0, std::sqrt(140000.0)), 0), 0u) << lengths[4];
  const double s2 = std::sqrt(100.002 * 100.002 + 200.0 * 200.0 + 300.0 * 300.0);
  EXPECT_EQ(lengths[5].rfind(Format("%8d %8s %8s %13.4lf %13.4lf %13.4lf %13.4lf %10.4lf", 3, "A", "B",
                                              100.002, 200.0, 300.0, s2, (s2 - std::sqrt(140000.0)) * 1000), 0), 0u) << lengths[5];
  auto components = Lines(project.Read("GPS3dRepeatBaselineClassAB"));
  ASSERT_EQ(components.size(), 7u);
  EXPECT_NE(components[5].find(Format("%10.4lf %10.4lf %10.4lf", 2.0, 0.0, 0.0)), std::string::npos) << components[5];
  EXPECT_EQ(project.scope.host.openedDocuments.size(), 2u);
}

TEST(RepeatBaselines, NegativeCoefficientFlagsEveryRepeat) {
  test::CheckProject project(5);  // "城市二等": repeated baseline coefficient -1
  Project().configuration.m_NetClass[NetClassParameters::kRepeatBaselineCoefficient] = -1.0;
  WriteProject(project, test::VectorLine("A", "B", 100, 200, 300) + test::VectorLine("A", "B", 100, 200, 300) +
                            test::VectorLine("B", "A", -100, -200, -300));
  ASSERT_EQ(RunRepeatBaselineComparison(), 1);
  auto lengths = Lines(project.Read("GPS3dRepeatBaseline"));
  ASSERT_EQ(lengths.size(), 8u);
  EXPECT_NE(lengths[5].find(G(u8"  超限")), std::string::npos);
  EXPECT_NE(lengths[6].find(G(u8"  超限")), std::string::npos);
  EXPECT_FALSE(FileExists(project.File("GPS3dRepeatBaselineClassAB")));
  EXPECT_EQ(project.scope.host.openedDocuments.size(), 1u);
}

TEST(RepeatBaselines, GradeTwoWritesOnlyTheLengthFileAndNoRepeatsGiveHeaders) {
  test::CheckProject project(2);
  WriteProject(project, test::VectorLine("A", "B", 100, 200, 300) + test::VectorLine("B", "C", 1, 2, 3));
  ASSERT_EQ(RunRepeatBaselineComparison(), 1);
  EXPECT_EQ(Lines(project.Read("GPS3dRepeatBaseline")).size(), 4u);
  EXPECT_FALSE(FileExists(project.File("GPS3dRepeatBaselineClassAB")));
}

TEST(RepeatBaselines, LargeGroupsAndZeroVariancesAreSound) {
  test::CheckProject project(1);
  std::string vectors;
  for (int i = 0; i < 150; ++i)  // more than the 100 members of the design
    vectors += test::VectorLine("A", "B", 1000 + i * 1e-4, 2000, 3000, i == 7 ? 0.0 : 0.01);
  WriteProject(project, vectors);
  ASSERT_EQ(RunRepeatBaselineComparison(), 1);
  auto components = Lines(project.Read("GPS3dRepeatBaselineClassAB"));
  ASSERT_EQ(components.size(), 4u + 150u + 1u);
  for (const auto& l : components) EXPECT_EQ(l.find("nan"), std::string::npos) << l;
}

// Values beyond any vector are refused by the reader with their line; a group whose values
// still overflow is named, never printed with "inf" or "nan" and a verdict.
TEST(RepeatBaselines, ValuesBeyondAnyVectorNeverReachTheReports) {
  test::CheckProject project(0);
  WriteProject(project, test::VectorLine("A", "B", 1000, 2000, 3000) + "A B 1e308 2000 3000 0.01 0.01 0.01 0 0 0\n");
  EXPECT_EQ(RunRepeatBaselineComparison(), 0);
  EXPECT_EQ(project.scope.host.messages.front().Utf8Text(),
            u8"文件" + project.File("GPS3dVector") + u8"第 2 行的数值超出范围!");

  WriteProject(project, test::VectorLine("A", "B", 1000, 2000, 3000) + test::VectorLine("A", "B", 1000.001, 2000, 3000) +
                            test::VectorLine("A", "C", 10, 20, 30) + test::VectorLine("A", "C", 10.001, 20, 30));
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  set.m_DX[0] = 1e300, set.m_DX[1] = -1e300;
  const CRepeatBaselineReports reports = CompareRepeatedBaselines(set, Project().configuration);
  EXPECT_EQ(reports.notComputed, std::vector<int>{1});
  for (const std::string* text : {&reports.lengths, &reports.components})
    for (const auto& l : Lines(*text)) {
      EXPECT_EQ(l.find("nan"), std::string::npos) << l;
      EXPECT_EQ(l.find("inf"), std::string::npos) << l;
      EXPECT_EQ(l.find("       B "), std::string::npos) << l;
    }
  EXPECT_NE(reports.lengths.find("       C "), std::string::npos);
}

TEST(RepeatBaselines, FailedLoadLeavesEmptyReportsStillOpened) {
  test::CheckProject project(10);
  project.Write("GPS3dKnownXYZ", "A 1 2\n");  // not enough values: the loader stops
  project.Write("GPS3dVector", test::VectorLine("A", "B", 1, 2, 3));
  EXPECT_EQ(RunRepeatBaselineComparison(), 0);
  EXPECT_EQ(project.Read("GPS3dRepeatBaseline"), "");
  EXPECT_EQ(project.Read("GPS3dRepeatBaselineClassAB"), "");
  EXPECT_EQ(project.scope.host.openedDocuments.size(), 2u);
}

}  // namespace
