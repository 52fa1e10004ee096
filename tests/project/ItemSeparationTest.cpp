// Items of the data files: tabs separate them as blanks do (files made on Linux and by
// spreadsheets), and the entry dialogs never rewrite a line without the items it holds.
#include <gtest/gtest.h>

#include "geodesy/FileUtil.h"
#include "project/AppState.h"
#include "project/data/EntryDialogs.h"
#include "project/data/ReadGPS3dCombinedNet.h"
#include "project/data/ReadGPS3dVector.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;

class ItemSeparation : public testing::Test {
 protected:
  ItemSeparation() {
    Project().projectDir = dir.str();
    Project().projectName = "t";
    Project().configuration.m_CurrentCoorsSystem = {"WGS84", 6378137.0, 298.257223563, 1};
  }
  void Write(const std::string& extension, const std::string& content) {
    ASSERT_TRUE(WriteFileAtomically(dir.str() + "/t." + extension, content));
  }
  std::string Messages() {
    std::string all;
    for (const auto& m : scoped.host.messages) all += m.Utf8Text() + "\n";
    return all;
  }

  test::ScopedTestHost scoped;
  test::TempDir dir;
};

TEST_F(ItemSeparation, TabSeparatedVectorAndKnownFilesReadAsBlankSeparatedOnes) {
  const std::string known = "K1 -2263483.8885 5013061.1228 3218279.9226\nk2 30.1522 114.2030 25.3\n";
  const std::string vectors =
      "path of a source file\n"
      "K1 N1 10 20 30 1 1 1 0 0 0\n"
      " 0 K2 N1 11 21 31 1 1 1 0 0 0\n"
      " 1 N1 K1 -10 -20 -30 1 1 1 0 0 0\n";
  auto tabbed = [](std::string text) {
    for (size_t i = 0; i < text.size(); ++i)
      if (text[i] == ' ') text[i] = '\t';
    return text;
  };
  Write("GPS3dKnownXYZ", known);
  Write("GPS3dVector", vectors);
  CReadGPS3dVector blanks(0);
  ASSERT_EQ(blanks.Load(), 1) << Messages();

  // Tabs, a tab-only line, and blanks and tabs mixed.
  Write("GPS3dKnownXYZ", tabbed(known) + "\t\t\n");
  Write("GPS3dVector", tabbed(vectors) + "\t\n" + "K2 \tN1\t 11 21 31 1 1 1 0 0 0\n");
  CReadGPS3dVector tabs(0);
  ASSERT_EQ(tabs.Load(), 1) << Messages();
  EXPECT_TRUE(scoped.host.messages.empty()) << Messages();
  EXPECT_EQ(tabs.m_KnownName, blanks.m_KnownName);
  EXPECT_EQ(tabs.m_KnownX, blanks.m_KnownX);
  EXPECT_EQ(tabs.m_KnownZ, blanks.m_KnownZ);
  ASSERT_EQ(tabs.m_VectorCount, 3);  // no line dropped without a word
  EXPECT_EQ(tabs.m_FromName, (std::vector<std::string>{"K1", "K2", "K2"}));
  EXPECT_EQ(tabs.m_DX, (std::vector<double>{10, 11, 11}));

  // The ellipsoidal set reads the tab-separated known points as well.
  Write("GPS3dVector", "K1\tN1\t10\t20\t30\t1\t1\t1\t0\t0\t0\n");
  CReadGPS3dCombinedNet ellipsoidal;
  ASSERT_EQ(ellipsoidal.Load(), 1) << Messages();
  EXPECT_EQ(ellipsoidal.m_KnownPointCount, 2);
}

TEST_F(ItemSeparation, EntryLinesWhoseItemsTheGridCannotHoldAreAskedAbout) {
  Write("GPS3dKnownXYZ", "K1 30.1522 114.2030 25.3\nK3 abc 1 2\nK4 1 2 3 4\nK5\t1\t2\t3\n");
  CEntryGridRecord grid;
  ASSERT_TRUE(OpenEntryDialog(EntryKind::KnownXYZ, grid));
  EXPECT_EQ(grid.linesNotLoaded, (std::vector<int>{2, 3}));
  EXPECT_EQ(grid.rows[0][0], "K1");
  EXPECT_EQ(grid.rows[1], (std::vector<std::string>{"K5", "1.000000000", "2.000000000", "3.000000000"}));

  // On the command line the rewrite that would drop them is asked about (safe answer No).
  test::TempDir work;
  const std::string config = work.str() + "/config", project = work.str() + "/p";
  ASSERT_EQ(test::RunProgram({"new-project", "--name", "t", "--dir", project}, config).status, 0);
  const std::string file = project + "/t.GPS3dKnownXYZ";
  const std::string content = "K1 30.1522 114.2030 25.3\nK3 abc 1 2\n";
  ASSERT_TRUE(WriteFileAtomically(file, content));
  ASSERT_TRUE(WriteFileAtomically(work.str() + "/rows", "N1\t30.1\t114.1\t10\n"));
  auto run = test::RunProgram({"--project", project + "/t.prj", "enter", "known-xyz", work.str() + "/rows"}, config);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"的第2行不能读入表格"), std::string::npos) << run.err;
  EXPECT_EQ(ReadWholeFile(file).value_or(""), content);
}

}  // namespace
