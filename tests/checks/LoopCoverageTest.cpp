// The loop checks do all their work or say what they left out: every piece of a network is
// searched, a long loop of the program's own loop file reads back whole, and loops or files
// that cannot be computed are named.
#include <gtest/gtest.h>

#include <sstream>

#include "checks/LoopChecks.h"
#include "checks/LoopSearch.h"
#include "tests/checks/CheckFixture.h"

namespace {
using namespace vemo;
using test::G;

std::vector<std::string> NonBlankLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    if (!l.empty()) lines.push_back(l);
  return lines;
}

std::string AllMessages(const test::TestHost& host) {
  std::string all;
  for (const auto& m : host.messages) all += m.Utf8Text() + "\n";
  return all;
}

// A closed ring of vectors through the named points (a loop that closes exactly).
std::string Ring(const std::vector<std::string>& names, double step = 1000.0) {
  std::string text;
  const size_t n = names.size();
  for (size_t i = 0; i < n; ++i) {
    const double dx = i + 1 < n ? step : -step * static_cast<double>(n - 1);
    text += test::VectorLine(names[i], names[(i + 1) % n], dx, 0.0, 0.0);
  }
  return text;
}

TEST(LoopCoverage, EveryPieceOfANetworkIsSearched) {
  // Two sub-networks, each a triangle with a cross-tie (two loops each), no vector between.
  std::vector<line> vectors = {{0, 1}, {1, 2}, {2, 0}, {2, 3}, {3, 0},   // piece of 0..3
                               {4, 5}, {5, 6}, {6, 4}, {6, 7}, {7, 4}};  // piece of 4..7
  std::vector<std::string> names = {"K1", "A", "B", "C", "K2", "D", "E", "F"};
  CLoopSearch search(names, vectors);
  CLoopSearchResult result = search.Search();
  // Independent loops: edges - points + pieces (the cyclomatic number).
  EXPECT_EQ(result.loops.size(), 10u - 8u + 2u);
  EXPECT_EQ(result.unreachableChords, 0);
  int inSecondPiece = 0;
  for (const auto& loop : result.loops) {
    const bool second = loop.front() >= 4;
    for (int32_t p : loop) EXPECT_EQ(p >= 4, second) << "a loop crosses between pieces";
    inSecondPiece += second;
  }
  EXPECT_EQ(inSecondPiece, 2);
  // The tree of a connected network is the one it always was.
  CLoopSearch one(names, {{0, 1}, {1, 2}, {2, 0}});
  EXPECT_EQ(one.Tree().size(), 2u);
  EXPECT_EQ(one.Tree()[0].from, 0);
  EXPECT_EQ(one.Tree()[0].to, 1);
}

TEST(LoopCoverage, AsynchronousCheckOfTwoSubNetworksComputesBoth) {
  test::CheckProject project(2);
  project.Write("GPS3dKnownXYZ", "K1 -2263483.8885 5013061.1228 3218279.9226\nK2 -2268000 5010000 3220000\n");
  project.Write("GPS3dVector", Ring({"K1", "A", "B"}) + Ring({"K2", "D", "E"}));
  ASSERT_EQ(RunAsyncLoopCheck(), 1) << AllMessages(project.scope.host);
  EXPECT_EQ(NonBlankLines(project.Read("GPS3dLoop")).size(), 2u) << project.Read("GPS3dLoop");
  EXPECT_EQ(NonBlankLines(project.Read("GPS3dMisclosure")).size(), 2u + 2u);  // the heading, a row a loop
  EXPECT_EQ(project.scope.host.messages.back().Utf8Text(), u8"2条线路推算完成!");
}

TEST(LoopCoverage, LoopsThatCannotBeClosedAreCountedAndNamed) {
  test::CheckProject project(3);
  project.Write("GPS3dKnownXYZ", "K1 -2263483.8885 5013061.1228 3218279.9226\n");
  project.Write("GPS3dVector", Ring({"K1", "A", "B"}) + Ring({"C", "D", "E"}));
  // The user's own loop file: a loop whose C-A has no vector, then two good ones.
  project.Write("GPS3dLoop", "K1 A B \nK1 C A \nC D E \nK1 B A \n");
  project.scope.host.QueueAnswer(MessageAnswer::No);  // keep it
  ASSERT_EQ(RunAsyncLoopCheck(), 1);
  const auto& m = project.scope.host.messages;
  ASSERT_EQ(m.size(), 3u) << AllMessages(project.scope.host);
  EXPECT_EQ(m[1].Utf8Text(), u8"第2条线路(共1条)有相邻两点之间没有基线向量,未计算!");
  EXPECT_EQ(m[2].Utf8Text(), u8"3条线路推算完成!");
}

TEST(LoopCoverage, ALongLoopOfTheLoopFileReadsBackWhole) {
  test::CheckProject project(3);
  // Sixteen points of 19-byte names: the loop line holds 320 characters.
  std::vector<std::string> names;
  for (int i = 0; i < 16; ++i) names.push_back(G(u8"测量控制点第一号") + Format("P%02d", i));
  ASSERT_EQ(names[0].size(), 19u);
  project.Write("GPS3dKnownXYZ", names[0] + " -2263483.8885 5013061.1228 3218279.9226\n");
  // The ring, and a short triangle on a second piece whose loop comes after it.
  project.Write("GPS3dVector", Ring(names) + Ring({"X1", "X2", "X3"}));
  ASSERT_EQ(RunAsyncLoopCheck(), 1) << AllMessages(project.scope.host);
  const auto loops = NonBlankLines(project.Read("GPS3dLoop"));
  ASSERT_EQ(loops.size(), 2u);
  EXPECT_GT(loops[1].size(), 300u);
  EXPECT_EQ(project.scope.host.messages.size(), 1u) << AllMessages(project.scope.host);
  EXPECT_EQ(project.scope.host.messages.back().Utf8Text(), u8"2条线路推算完成!");
  const std::string report = project.Read("GPS3dMisclosure");
  EXPECT_NE(report.find(names[15]), std::string::npos);
  EXPECT_NE(report.find(G(u8"合格")), std::string::npos);

  // The synchronous loop file reads its long loops whole as well.
  const std::string sync = project.WriteSync("s.GPS3DVector_S", Ring(names));
  ASSERT_EQ(RunSyncLoopCheck({sync}), 1) << AllMessages(project.scope.host);
  const auto rows = NonBlankLines(project.Read("GPS3dSyncMisclosure"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_NE(rows[2].find(names[15]), std::string::npos) << rows[2];
}

TEST(LoopCoverage, ASynchronousLoopFileWithoutLoopsSaysSo) {
  test::CheckProject project;
  // No files chosen (the dialog cancelled) and no loop file: said, and nothing is created.
  EXPECT_EQ(RunSyncLoopCheck({}), 0);
  ASSERT_EQ(project.scope.host.messages.size(), 1u);
  EXPECT_EQ(project.scope.host.messages[0].text, G(u8"没有选取同步基线文件,同步环文件") +
                                                     project.File("GPS3dSyncLoop") +
                                                     G(u8"也不存在,没有可计算的同步环!"));
  EXPECT_FALSE(FileExists(project.File("GPS3dSyncLoop")));
  // An existing loop file too short to hold a loop is computed again and says so.
  project.Write("GPS3dSyncLoop", "");
  project.scope.host.messages.clear();
  project.scope.host.QueueAnswer(MessageAnswer::Yes);  // replace it, but no file is chosen
  EXPECT_EQ(RunSyncLoopCheck({}), 0);
  ASSERT_EQ(project.scope.host.messages.size(), 2u);
  EXPECT_EQ(project.scope.host.messages[1].text,
            G(u8"同步环文件") + project.File("GPS3dSyncLoop") + G(u8"不足10个字节,没有可计算的同步环!"));
  EXPECT_TRUE(project.scope.host.openedDocuments.empty());
}

}  // namespace
