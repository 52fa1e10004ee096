#include <gtest/gtest.h>

#include <filesystem>
#include <cmath>
#include <random>
#include <sstream>

#include "project/data/ReadGPS3dVector.h"
#include "checks/LoopChecks.h"
#include "tests/checks/CheckFixture.h"

namespace {
using namespace vemo;
using test::G;
using test::TruePoint;

// Geocentric points of a small network near 30 N, 114 E (m).
const TruePoint A{"A", -2263483.8885, 5013061.1228, 3218279.9226};
const TruePoint B{"B", -2268000.0000, 5010000.0000, 3220000.0000};
const TruePoint C{"C", -2261000.0000, 5009000.0000, 3225000.0000};
const TruePoint D{"D", -2266000.0000, 5016000.0000, 3214000.0000};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

TEST(SyncLoops, TrianglePeriodWritesLoopFileAndReport) {
  test::CheckProject project(2);  // "国标C级": a, b from the instrument errors (5 mm, 1 ppm)
  project.Write("GPS3dKnownXYZ", "");
  std::string vectors = test::VectorLine(A, B) + test::VectorLine(B, C) + test::VectorLine(A, C);
  std::string sync = project.WriteSync("s1.GPS3DVector_S", vectors);
  ASSERT_EQ(RunSyncLoopCheck({sync}), 1);
  std::string loopFile = project.Read("GPS3dSyncLoop");
  EXPECT_EQ(loopFile, G(u8"同步基线文件：") + sync + "\n" + vectors +
                          G(u8"\n=============================同步环==========================\n") + "C B A \n");
  auto report = Lines(project.Read("GPS3dSyncMisclosure"));
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[1], G(u8"同步基线文件：") + sync);
  // Noise-free vectors rounded to 0.1 mm: the loop closes within the rounding.
  EXPECT_EQ(report[2].substr(0, 37), "     1,         C         B         A");
  EXPECT_EQ(report[2].find(G(u8"超限")), std::string::npos) << report[2];
  ASSERT_EQ(project.scope.host.openedDocuments.size(), 1u);
  EXPECT_EQ(project.scope.host.openedDocuments[0], project.File("GPS3dSyncMisclosure"));
}

// The report is computed while the loop file is written: a loop file that cannot be written
// still means no report, and the one message says why.
TEST(SyncLoops, ALoopFileThatCannotBeWrittenGivesNoReport) {
  test::CheckProject project(2);
  project.Write("GPS3dKnownXYZ", "");
  std::string sync = project.WriteSync(
      "s1.GPS3DVector_S", test::VectorLine(A, B) + test::VectorLine(B, C) + test::VectorLine(A, C));
  std::filesystem::create_directory(project.File("GPS3dSyncLoop"));
  EXPECT_EQ(RunSyncLoopCheck({sync}), 0);
  auto& messages = project.scope.host.messages;
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(G(u8"出错")), std::string::npos) << messages[0].text;
  EXPECT_FALSE(std::filesystem::exists(project.File("GPS3dSyncMisclosure")));
  EXPECT_TRUE(project.scope.host.openedDocuments.empty());
}

TEST(SyncLoops, ToleranceFormulasOfTheGrades) {
  // Three vectors of 30 km in all (collinear, so the lengths add up exactly); the misclosure
  // is put into DZ of the last one, which changes the total length by less than 1e-6 m.
  auto computeWith = [](int grade, double wzMm, double coefficient) {
    test::CheckProject project(grade);
    Project().configuration.m_NetClass[NetClassParameters::kFixedError] = 5.0;
    Project().configuration.m_NetClass[NetClassParameters::kProportionalError] = 1.0;
    Project().configuration.m_NetClass[NetClassParameters::kSyncLoopCoefficient] = coefficient;
    std::string loop = G(u8"同步基线文件：x\n") + test::VectorLine("P", "Q", 15000, 0, 0) +
                       test::VectorLine("Q", "R", -7500, 0, 0) + test::VectorLine("R", "P", -7500, 0, wzMm / 1000) +
                       G(u8"\n=============================同步环==========================\n") + "P Q R\n";
    project.Write("GPS3dSyncLoop", loop);
    EXPECT_EQ(ComputeSyncMisclosure(project.File("GPS3dSyncLoop"), project.File("GPS3dSyncMisclosure"),
                                    Project().configuration),
              1);
    return Lines(project.Read("GPS3dSyncMisclosure")).back();
  };
  // Grade 2: sigma = sqrt(25 + 100) mm, tolerance 0.2 sqrt(3) sigma = 3.873 mm.
  const double sigma = std::sqrt(125.0);
  std::string row = computeWith(2, 3.0, 0.2);
  EXPECT_NE(row.find(Format(", %10.1f, %10.1f, %10.1f, %10.1f,", 0.2 * std::sqrt(3.0) * sigma, 0.0, 0.0, 3.0)),
            std::string::npos)
      << row;
  EXPECT_EQ(row.find(G(u8"超限")), std::string::npos);
  row = computeWith(2, 4.0, 0.2);
  EXPECT_NE(row.find(G(u8",超限")), std::string::npos) << row;
  // Grade 5 ("城市二等", k = 2): 30 km gives 60 mm for the components and 90 mm for the length.
  row = computeWith(5, 60.0, 2.0);
  EXPECT_NE(row.find(Format(", %10.1f, %10.1f, %10.1f, %10.1f, %10.1f, %10.1f,", 60.0, 0.0, 0.0, 60.0, 90.0, 60.0)),
            std::string::npos)
      << row;
  EXPECT_EQ(row.find(G(u8"超限")), std::string::npos) << "a misclosure equal to its tolerance passes";
  row = computeWith(5, 60.2, 2.0);
  EXPECT_NE(row.find(G(u8",超限")), std::string::npos) << row;
  // A grade without this index (k < 0): blanks in place of both tolerances, no verdict.
  row = computeWith(11, 1.0, -1.0);
  EXPECT_EQ(row.find(Format(", %10s,", "")), 7u + 3 * 10) << row;  // right after "%6d," and the names
  EXPECT_EQ(row.find(G(u8"超限")), std::string::npos);
}

TEST(SyncLoops, HandEditedLoopFilesGiveMessagesNotCrashes) {
  test::CheckProject project(2);
  std::string loop = G(u8"同步基线文件：x\n") + test::VectorLine(A, B) + test::VectorLine(B, C) +
                     test::VectorLine(A, C) + G(u8"\n=============================同步环==========================\n") +
                     "C B A\nC Z A\nC B A\n" + G(u8"同步基线文件：y\n") + test::VectorLine(A, B) +
                     G(u8"=同步环=\n") + "A\nA B\nA B A B\n";
  project.Write("GPS3dSyncLoop", loop);
  ASSERT_EQ(ComputeSyncMisclosure(project.File("GPS3dSyncLoop"), project.File("GPS3dSyncMisclosure"),
                                  Project().configuration),
            1);
  auto& messages = project.scope.host.messages;
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, G(u8"点Z不存在!"));
  EXPECT_EQ(messages[0].icon, MessageIcon::Information);
  auto report = Lines(project.Read("GPS3dSyncMisclosure"));
  // Period x: loop 1 only (the unknown name stops the period); period y: "A" alone has no
  // vector from A to A, which stops the period without a message.
  ASSERT_EQ(report.size(), 4u) << project.Read("GPS3dSyncMisclosure");
  EXPECT_EQ(report[3], G(u8"同步基线文件：y"));
  // Too short a loop file: nothing computed.
  project.Write("GPS3dSyncLoop", "C B A\n");
  EXPECT_EQ(ComputeSyncMisclosure(project.File("GPS3dSyncLoop"), project.File("x"), Project().configuration), 0);
}

// A synchronous file with a value no vector has is refused with its line (the loop file stays
// as it was); a hand-edited loop file with such values gives no "inf" or "nan" row.
TEST(SyncLoops, ValuesBeyondAnyVectorNeverReachTheReport) {
  test::CheckProject project(2);
  const std::string kept = G(u8"同步基线文件：earlier\n");
  project.Write("GPS3dSyncLoop", kept);
  std::string sync = project.WriteSync("s1.GPS3DVector_S", test::VectorLine(A, B) + test::VectorLine(B, C) +
                                                              "A C 1e308 1 1 0.01 0.01 0.01 0 0 0\n");
  project.scope.host.QueueAnswer(MessageAnswer::Yes);
  EXPECT_EQ(RunSyncLoopCheck({sync}), 0);
  auto& m = project.scope.host.messages;
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[1].Utf8Text(), u8"文件" + sync + u8"第 3 行的数值超出范围!");
  EXPECT_EQ(project.Read("GPS3dSyncLoop"), kept);

  m.clear();
  project.Write("GPS3dSyncLoop", G(u8"同步基线文件：x\n") + test::VectorLine(A, B) + test::VectorLine(B, C) +
                                     "A C 1e300 1 1 0.01 0.01 0.01 0 0 0\n" +
                                     G(u8"\n=============================同步环==========================\n") +
                                     "C B A\n");
  ASSERT_EQ(ComputeSyncMisclosure(project.File("GPS3dSyncLoop"), project.File("GPS3dSyncMisclosure"),
                                  Project().configuration),
            1);
  const std::string report = project.Read("GPS3dSyncMisclosure");
  EXPECT_EQ(report.find("inf"), std::string::npos) << report;
  EXPECT_EQ(report.find("nan"), std::string::npos) << report;
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].Utf8Text(), u8"同步环文件" + project.File("GPS3dSyncLoop") +
                                 u8"中有1个同步环的数值超出范围,闭合差无法计算,未列入结果!");
}

TEST(SyncLoops, TreePeriodSaysNoCloseCircle) {
  test::CheckProject project(2);
  std::string sync = project.WriteSync("s.GPS3DVector_S", test::VectorLine(A, B) + test::VectorLine(B, C));
  std::string empty = project.WriteSync("e.GPS3DVector_S", "\n \n");
  RunSyncLoopCheck({sync, empty, project.dir.str() + "/missing"});
  auto& m = project.scope.host.messages;
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].text, "No Close Circle");
  EXPECT_EQ(m[0].caption, "Program");
  EXPECT_EQ(m[1].text, G(u8"基线向量文件有误!"));
  EXPECT_EQ(m[2].text, G(u8"打开文件") + project.dir.str() + G(u8"/missing出错,请检查基线向量文件!"));
  // A second run asks before overwriting; No keeps the loop file and computes it again.
  std::string before = project.Read("GPS3dSyncLoop");
  project.scope.host.QueueAnswer(MessageAnswer::No);
  RunSyncLoopCheck({});
  EXPECT_EQ(m[3].text, G(u8"同步环文件：") + project.File("GPS3dSyncLoop") + G(u8"已经存在，是否覆盖？"));
  EXPECT_EQ(m[3].caption, G(u8"同步环闭合差计算"));
  EXPECT_EQ(project.Read("GPS3dSyncLoop"), before);
}

TEST(SyncLoops, PeriodWithAnOverlongNameIsSkippedWhole) {
  test::CheckProject project(2);
  std::string longName = project.WriteSync(
      "l.GPS3DVector_S", test::VectorLine(A, B) + test::VectorLine("B", std::string(25, 'N'), 1, 2, 3));
  std::string good = project.WriteSync("g.GPS3DVector_S", test::VectorLine(A, B) + test::VectorLine(B, C) +
                                                              test::VectorLine(A, C));
  ASSERT_EQ(RunSyncLoopCheck({longName, good}), 1);
  std::string loopFile = project.Read("GPS3dSyncLoop");
  EXPECT_EQ(loopFile.find(longName), std::string::npos) << "nothing of the skipped period is left";
  EXPECT_EQ(loopFile.rfind(G(u8"同步基线文件：") + good, 0), 0u);
  auto& m = project.scope.host.messages;
  ASSERT_EQ(m.size(), 1u);
  EXPECT_NE(m[0].Utf8Text().find(std::string(25, 'N')), std::string::npos) << m[0].Utf8Text();
}

// A project with known point A and the vectors of a square with a diagonal, plus one line per
// loop in the loop file.
void WriteAsyncProject(test::CheckProject& project, const std::string& loops) {
  project.Write("GPS3dKnownXYZ", test::KnownLine(A));
  project.Write("GPS3dVector", test::VectorLine(A, B) + test::VectorLine(B, C) + test::VectorLine(C, D) +
                                   test::VectorLine(D, A) + test::VectorLine(A, C));
  if (!loops.empty()) project.Write("GPS3dLoop", loops);
}

TEST(AsyncLoops, SearchWritesTheLoopsAndTheReport) {
  test::CheckProject project(2);
  WriteAsyncProject(project, "");
  ASSERT_EQ(RunAsyncLoopCheck(), 1);
  EXPECT_EQ(Lines(project.Read("GPS3dLoop")).size(), 2u);  // 5 edges, 4 points: two loops
  auto report = Lines(project.Read("GPS3dMisclosure"));
  ASSERT_EQ(report.size(), 4u);
  EXPECT_EQ(report[0], G(u8"异步环闭合差计算结果"));
  EXPECT_EQ(report[2].substr(0, 6), "   1, ");
  EXPECT_NE(report[2].find(G(u8", 合格")), std::string::npos);
  EXPECT_EQ(project.scope.host.messages.back().text, G(u8"2条线路推算完成!"));
  // Asked before the loop file is made again; No keeps an edited one.
  project.Write("GPS3dLoop", "A B C\n");
  project.scope.host.QueueAnswer(MessageAnswer::No);
  ASSERT_EQ(RunAsyncLoopCheck(), 1);
  EXPECT_EQ(project.Read("GPS3dLoop"), "A B C\n");
}

TEST(AsyncLoops, TwoEvaluationsForTheHighGrades) {
  test::CheckProject project(0);  // "国标A级"
  WriteAsyncProject(project, "A B C\n");
  project.scope.host.QueueAnswer(MessageAnswer::No);
  ASSERT_EQ(RunAsyncLoopCheck(), 1);
  auto report = Lines(project.Read("GPS3dMisclosure"));
  ASSERT_EQ(report.size(), 4u);
  EXPECT_EQ(report[2].rfind(G(u8"预处理   1, ") + Format("%10s %10s %10s , ", "A", "B", "C"), 0), 0u) << report[2];
  EXPECT_EQ(report[3].rfind(G(u8"精处理   1, "), 0), 0u) << report[3];
  // The second tolerances from the variances: 0.01 cm² a component, three vectors.
  const double tx = 2 * std::sqrt(0.03) * 10;
  EXPECT_NE(report[3].find(Format(", %10.2lf, ", tx)), std::string::npos) << report[3];
}

TEST(AsyncLoops, BadLoopLinesGiveTheSystemsMessages) {
  test::CheckProject project(2);
  WriteAsyncProject(project, "A B\n\nA B C\nA A A\nA B D\nA X C\nA B C\n");
  project.scope.host.QueueAnswer(MessageAnswer::No);
  ASSERT_EQ(RunAsyncLoopCheck(), 1);
  auto& m = project.scope.host.messages;
  ASSERT_GE(m.size(), 4u);
  EXPECT_EQ(m[1].text, G(u8"第1条线路点太少,计算失败!"));
  EXPECT_EQ(m[2].text, G(u8"第6行点X不存在!"));
  EXPECT_EQ(m[2].icon, MessageIcon::Information);
  // "A A A" and "A B D" have no closing vectors: named, not dropped in silence.
  EXPECT_EQ(m[3].text, G(u8"第3,4条线路(共2条)有相邻两点之间没有基线向量,未计算!"));
  EXPECT_EQ(m[4].text, G(u8"1条线路推算完成!"));
  EXPECT_EQ(Lines(project.Read("GPS3dMisclosure")).size(), 3u);
}

// Values no vector has, and variances that are not positive, never reach the report as "nan"
// or "inf" with a verdict: the vector file is refused with its line, the loop is named.
TEST(AsyncLoops, ValuesBeyondAnyVectorAreRefusedAndNoNumberIsPrinted) {
  test::CheckProject project(0);
  WriteAsyncProject(project, "A B C\nA C D\n");
  project.Write("GPS3dVector", test::VectorLine(A, B) + "B C 1e308 1 1 0.01 0.01 0.01 0 0 0\n");
  EXPECT_EQ(RunAsyncLoopCheck(), 0);
  EXPECT_EQ(project.scope.host.messages.back().Utf8Text(),
            u8"文件" + project.File("GPS3dVector") + u8"第 2 行的数值超出范围!");

  project.scope.host.messages.clear();
  project.Write("GPS3dVector", test::VectorLine(A, B, -0.01) + test::VectorLine(B, C, -0.01) +
                                   test::VectorLine(C, D) + test::VectorLine(D, A) + test::VectorLine(A, C));
  project.scope.host.QueueAnswer(MessageAnswer::No);
  ASSERT_EQ(RunAsyncLoopCheck(), 1);
  const std::string report = project.Read("GPS3dMisclosure");
  EXPECT_EQ(report.find("nan"), std::string::npos) << report;
  EXPECT_EQ(Lines(report).size(), 4u) << report;  // the second loop only, in its two evaluations
  auto& m = project.scope.host.messages;
  ASSERT_GE(m.size(), 2u);
  EXPECT_EQ(m[m.size() - 2].Utf8Text(), u8"第1条线路(共1条)的闭合差限差无法计算(基线方差不为正),未计算!");
  EXPECT_EQ(m.back().Utf8Text(), u8"1条线路推算完成!");
}

// "取消" during the loop search: the loop file is not written and the command ends.
TEST(AsyncLoops, ACancelledSearchLeavesTheLoopFileAsItWas) {
  test::CheckProject project(2);
  WriteAsyncProject(project, "");
  project.scope.host.CancelAtPump(1);
  EXPECT_EQ(RunAsyncLoopCheck(), 0);
  EXPECT_EQ(project.scope.host.messages.back().Utf8Text(), u8"计算已取消!");
  EXPECT_FALSE(FileExists(project.File("GPS3dLoop")));
  EXPECT_FALSE(FileExists(project.File("GPS3dMisclosure")));
}

// Generated connected networks of noise-free vectors written with 0.1 mm resolution: every
// loop closes within the rounding, n x 0.05 mm a component for a loop of n vectors.
TEST(AsyncLoops, NoiseFreeNetworksCloseWithinTheRounding) {
  for (int n : {10, 60, 300}) {
    test::CheckProject project(2);
    std::mt19937 rng(static_cast<unsigned>(n));
    std::uniform_real_distribution<double> u(-20000.0, 20000.0);
    std::vector<TruePoint> pts;
    for (int i = 0; i < n; ++i)
      pts.push_back({"P" + std::to_string(i), -2263000.0 + u(rng), 5013000.0 + u(rng), 3218000.0 + u(rng)});
    std::string vectors;
    for (int i = 1; i < n; ++i) vectors += test::VectorLine(pts[rng() % i], pts[i]);
    for (int e = 0; e < n; ++e) {
      int a = static_cast<int>(rng() % n), b = static_cast<int>(rng() % n);
      if (a != b) vectors += test::VectorLine(pts[a], pts[b]);
    }
    project.Write("GPS3dKnownXYZ", test::KnownLine(pts[0]));
    project.Write("GPS3dVector", vectors);
    ASSERT_EQ(RunAsyncLoopCheck(), 1) << n;
    auto report = Lines(project.Read("GPS3dMisclosure"));
    ASSERT_GT(report.size(), 2u);
    for (size_t i = 2; i < report.size(); ++i) {
      std::vector<std::string> fields;
      std::istringstream row(report[i]);
      for (std::string f; std::getline(row, f, ',');) fields.push_back(f);
      ASSERT_GE(fields.size(), 12u);
      std::istringstream names(fields[1]);
      int count = 0;
      for (std::string s; names >> s;) ++count;
      for (int c : {3, 5, 7}) EXPECT_LE(std::fabs(std::stod(fields[c])), count * 0.05 + 0.005) << report[i];
    }
  }
}

// The covariance-based tolerances of a loop with two vectors of one cluster take their
// covariance.
TEST(ClusterLoops, CovariancesOfAClusterWidenTheSecondTolerances) {
  test::CheckProject project(0);  // "国标A级": the covariance-based evaluation
  project.Write("GPS3dKnownXYZ", test::KnownLine(A));
  project.Write("GPS3dVector", test::VectorLine(A, B) + test::VectorLine(B, C) + test::VectorLine(A, C));
  project.Write("GPS3dLoop", "A B C\n");
  // A-B and B-C: own variances 0.01 cm², the same components correlated by 0.005 cm².
  project.Write("GPS3dCluster", "CLUSTER 2\nA B\nB C\n"
                                "0.01 0 0 0.005 0 0\n0.01 0 0 0.005 0\n0.01 0 0 0.005\n0.01 0 0\n0.01 0\n0.01\n");
  project.scope.host.QueueAnswer(MessageAnswer::No);
  ASSERT_EQ(RunAsyncLoopCheck(), 1);
  std::string report = project.Read("GPS3dMisclosure");
  const std::string line = report.substr(report.find(G("精处理")));
  // A->B and B->C enter with the same sign: 0.03 + 2 * 0.005 cm².
  EXPECT_NE(line.find(Format(", %10.2lf, ", 2 * std::sqrt(0.04) * 10)), std::string::npos) << line;

  // A cluster naming a vector that is not there: the message, and no report.
  std::filesystem::remove(project.File("GPS3dMisclosure"));
  project.Write("GPS3dCluster", "CLUSTER 2\nA B\nB A\n1 0 0 0 0 0\n1 0 0 0 0\n1 0 0 0\n1 0 0\n1 0\n1\n");
  EXPECT_EQ(RunAsyncLoopCheck(), 0);
  EXPECT_FALSE(std::filesystem::exists(project.File("GPS3dMisclosure")));
}

}  // namespace
