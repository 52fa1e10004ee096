// The five entry dialogs as grid records: loading their files, the exact row formats written
// on "确认", and the value check of the cells.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "project/AppState.h"
#include "project/data/EntryDialogs.h"
#include "project/data/ReadGPS3dVector.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;
using Rows = std::vector<std::vector<std::string>>;

class DataEntryTest : public testing::Test {
 protected:
  DataEntryTest() {
    Project().projectDir = dir.str();
    Project().projectName = "t";
  }
  std::string PathOf(const std::string& extension) { return dir.str() + "/t." + extension; }
  void Write(const std::string& extension, const std::string& content) {
    std::ofstream(PathOf(extension), std::ios::binary) << content;
  }
  CEntryGridRecord Open(EntryKind kind) {
    CEntryGridRecord grid;
    EXPECT_TRUE(OpenEntryDialog(kind, grid));
    return grid;
  }
  // The non-empty rows of a grid.
  static Rows Filled(const CEntryGridRecord& grid) {
    Rows rows;
    for (const auto& r : grid.rows) {
      bool empty = true;
      for (const auto& c : r) empty = empty && c.empty();
      if (!empty) rows.push_back(r);
    }
    return rows;
  }

  test::ScopedTestHost scoped;
  test::TempDir dir;
};

TEST_F(DataEntryTest, AbsentFileGivesAnEmptyGridOfNineRowsWithTitleAndColumns) {
  struct Expected {
    EntryKind kind;
    const char* title;
    std::vector<const char*> columns;
    const char* extension;
  };
  const std::vector<Expected> kinds = {
      {EntryKind::KnownXYZ, u8"输入三维已知坐标", {u8"点名", u8"X坐标/B", u8"Y坐标/L", u8"Z坐标/H"}, "GPS3dKnownXYZ"},
      {EntryKind::KnownXY, u8"输入二维已知坐标", {u8"点名", u8"X坐标", u8"Y坐标"}, "GPS2dKnownXY"},
      {EntryKind::KnownH, u8"输入一维高程点", {u8"点名", u8"H高程"}, "GPS1dKnownH"},
      {EntryKind::Distance, u8"  输入地面边长", {u8"起点", u8"终点", u8"边长值", u8"中误差(cm)"}, "GPS2dDistance"},
      {EntryKind::Azimuth, u8"输入地面方位角", {u8"起点", u8"终点", u8"方位角", u8"中误差(秒)"}, "GPS2dAzimuth"},
  };
  for (const auto& e : kinds) {
    CEntryGridRecord grid = Open(e.kind);
    EXPECT_EQ(grid.title, G(e.title));
    ASSERT_EQ(grid.columns.size(), e.columns.size());
    for (size_t i = 0; i < e.columns.size(); ++i) EXPECT_EQ(grid.columns[i], G(e.columns[i]));
    EXPECT_EQ(grid.fileName, PathOf(e.extension));
    ASSERT_EQ(grid.rows.size(), 9u);
    EXPECT_EQ(grid.rows[8].size(), e.columns.size());
    EXPECT_TRUE(Filled(grid).empty());
  }
  EXPECT_TRUE(scoped.host.messages.empty());
}

TEST_F(DataEntryTest, KnownXyzLinesLoadByTheirNumberOfValues) {
  Write("GPS3dKnownXYZ", "A 1 2 3\r\nB 30.1522 114.2\n\nC 25.3\nD\nE,1,2,3\n!\t\n");
  CEntryGridRecord grid = Open(EntryKind::KnownXYZ);
  EXPECT_EQ(Filled(grid), (Rows{{"A", "1.000000000", "2.000000000", "3.000000000"},
                                {"B", "30.152200000", "114.200000000", ""},
                                {"C", "", "", "25.300000000"},
                                {"D", "", "", ""},
                                {"E", "1.000000000", "2.000000000", "3.000000000"},
                                {"!", "", "", ""}}));
  EXPECT_TRUE(grid.linesNotLoaded.empty());
}

TEST_F(DataEntryTest, KnownXyzRowsAreWrittenByTheFourRules) {
  CEntryGridRecord grid = Open(EntryKind::KnownXYZ);
  grid.rows = {{"ONLY", "", " ", ""},      // 1: the name alone
               {"H1", "", "99", "25.3"},   // 2: height only, c2 ignored
               {"SKIP", "", "5", ""},      // 2: c1 and c3 blank: skipped
               {"BL", "30.1522", "114.2", ""},  // 3
               {"XYZ", "1", "2", "3"},     // 4
               {"  ", "1", "2", "3"},      // a blank name: skipped
               {"T", "abc", "2x", "3"}};   // text that is no number gives 0
  EXPECT_EQ(FormatEntryFile(grid),
            "                ONLY\n"
            "                  H1         25.300000000\n"
            "                  BL         30.152200000        114.200000000\n"
            "                 XYZ          1.000000000          2.000000000          3.000000000\n"
            "                   T          0.000000000          2.000000000          3.000000000\n");
}

TEST_F(DataEntryTest, OtherDialogsWriteTheirFormats) {
  CEntryGridRecord xy = Open(EntryKind::KnownXY);
  xy.rows = {{"K1", "3376498.6", ""}, {"", "1", "2"}};
  EXPECT_EQ(FormatEntryFile(xy), "                  K1   3376498.600000         0.000000\n");
  CEntryGridRecord h = Open(EntryKind::KnownH);
  h.rows = {{"K1", "12.5"}};
  EXPECT_EQ(FormatEntryFile(h), "                  K1        12.500000\n");
  for (EntryKind kind : {EntryKind::Distance, EntryKind::Azimuth}) {
    CEntryGridRecord d = Open(kind);
    d.rows = {{"K1", "N1", "1000.25", "0.5"}, {"K1", "", "1", "1"}};
    EXPECT_EQ(FormatEntryFile(d), "                  K1                   N1      1000.250000         0.500000\n");
  }
}

TEST_F(DataEntryTest, LinesThatTheGridCannotHoldAreListed) {
  Write("GPS2dKnownXY", "K1 1 2\nK2 1\nK3 1 2 3\n\nK4,1,2\n");
  CEntryGridRecord grid = Open(EntryKind::KnownXY);
  EXPECT_EQ(Filled(grid), (Rows{{"K1", "1.000000", "2.000000"}}));
  // Commas are no blanks here; a third value would be dropped by the rewrite.
  EXPECT_EQ(grid.linesNotLoaded, (std::vector<int>{2, 3, 5}));
  Write("GPS1dKnownH", "A,12.5\nB\n");
  grid = Open(EntryKind::KnownH);
  EXPECT_EQ(Filled(grid), (Rows{{"A", "12.500000"}}));  // the loader reads this comma as a blank
  EXPECT_EQ(grid.linesNotLoaded, (std::vector<int>{2}));
}

TEST_F(DataEntryTest, ValueCellsThatAreNoNumberWarnAndKeepTheText) {
  const std::string warning = G(u8"当前输入的不是一个有效的坐标值!");
  struct Case {
    EntryKind kind;
    size_t column;
    const char* text;
    bool warns;
  };
  for (const Case& c : {Case{EntryKind::KnownH, 1, "12.5", false}, Case{EntryKind::KnownH, 1, " 1e3 ", true},
                        Case{EntryKind::KnownH, 1, "", false}, Case{EntryKind::KnownH, 0, "abc", false},
                        Case{EntryKind::Distance, 2, "12,5", true}, Case{EntryKind::Distance, 3, "x", true},
                        Case{EntryKind::Azimuth, 2, "-45.3", false}, Case{EntryKind::Azimuth, 1, "x", false},
                        Case{EntryKind::KnownXY, 1, "x", false}, Case{EntryKind::KnownXYZ, 3, "x", false}}) {
    scoped.host.messages.clear();
    CEntryGridRecord grid = Open(c.kind);
    EXPECT_EQ(!EndEntryCellEdit(grid, c.column, c.text), c.warns) << c.text;
    ASSERT_EQ(scoped.host.messages.size(), c.warns ? 1u : 0u);
    if (c.warns) {
      EXPECT_EQ(scoped.host.messages[0].text, warning);
    }
  }
}

TEST_F(DataEntryTest, AcceptWritesTheFileThatTheLoaderReads) {
  CEntryGridRecord grid = Open(EntryKind::KnownXYZ);
  grid.rows[0] = {"k1", "30.1522", "114.2030", "25.3"};
  grid.rows[1] = {"K2", "-2263483.8885", "5013061.1228", "3218279.9226"};
  ASSERT_TRUE(AcceptEntryDialog(grid));
  Write("GPS3dVector", "K1 K2 1 1 1 1 1 1 0 0 0\n");
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_EQ(set.m_PointName, (std::vector<std::string>{"K1", "K2"}));
  EXPECT_EQ(set.m_X[1], -2263483.8885);
  // Opening again shows what was written.
  CEntryGridRecord again = Open(EntryKind::KnownXYZ);
  EXPECT_EQ(again.rows[1][1], "-2263483.888500000");
}

TEST_F(DataEntryTest, FileThatCannotBeReadOrWrittenIsReported) {
  Write("GPS2dDistance", "K1 N1 1 1\n");
  ASSERT_EQ(::chmod(PathOf("GPS2dDistance").c_str(), 0), 0);
  if (::geteuid() != 0) {  // root reads any file
    CEntryGridRecord grid;
    EXPECT_FALSE(OpenEntryDialog(EntryKind::Distance, grid));
    ASSERT_EQ(scoped.host.messages.size(), 1u);
    EXPECT_EQ(scoped.host.messages[0].text, Format(G(u8"打开文件%s出错!").c_str(), PathOf("GPS2dDistance").c_str()));
  }
  scoped.host.messages.clear();
  Project().projectDir = dir.str() + "/missing";
  CEntryGridRecord grid = Open(EntryKind::KnownXY);
  EXPECT_FALSE(AcceptEntryDialog(grid));
  ASSERT_EQ(scoped.host.messages.size(), 1u);
  EXPECT_EQ(scoped.host.messages[0].text,
            Format(G(u8"打开文件%s出错!").c_str(), (dir.str() + "/missing/t.GPS2dKnownXY").c_str()));
}

TEST_F(DataEntryTest, RowsWhoseTypedValuesWouldBeDroppedOrZeroedAreRefusedAtTheirCell) {
  struct Case {
    EntryKind kind;
    std::vector<std::string> row;
    size_t column;  // of the cell at fault
    const char* message;
  };
  for (const Case& c : {
           Case{EntryKind::KnownXYZ, {"", "30.1", "114.2", "25"}, 0, u8"第3行有数据但点名为空,请输入点名或删除该行后再确认!"},
           Case{EntryKind::KnownXYZ, {"K1", "", "114.2", ""}, 1, u8"第3行点K1的X坐标/B为空,请输入数值或删除该行后再确认!"},
           Case{EntryKind::KnownXYZ, {"K1", "30.1", "", "25"}, 2, u8"第3行点K1的Y坐标/L为空,请输入数值或删除该行后再确认!"},
           Case{EntryKind::KnownXY, {"K1", "3376498.6", " "}, 2, u8"第3行点K1的Y坐标为空,请输入数值或删除该行后再确认!"},
           Case{EntryKind::Distance, {"K1", "", "1000", "0.5"}, 1, u8"第3行有数据但终点为空,请输入点名或删除该行后再确认!"},
           Case{EntryKind::Azimuth, {"K1", "N1", "45.3", ""}, 3, u8"第3行点K1的中误差(秒)为空,请输入数值或删除该行后再确认!"},
       }) {
    CEntryGridRecord grid = Open(c.kind);
    grid.rows[2] = c.row;
    auto problem = FindEntryProblem(grid);
    ASSERT_TRUE(problem.has_value()) << c.message;
    EXPECT_EQ(problem->row, 2u);
    EXPECT_EQ(problem->column, c.column) << c.message;
    EXPECT_EQ(problem->message, G(c.message));
    EXPECT_FALSE(AcceptEntryDialog(grid));
    EXPECT_FALSE(std::ifstream(PathOf(EntryExtension(c.kind))).good());
  }
  // What the 3D dialog writes as entered stays allowed: a name alone, a height, B and L.
  CEntryGridRecord grid = Open(EntryKind::KnownXYZ);
  grid.rows[0] = {"N", "", "", ""};
  grid.rows[1] = {"H", "", "", "12"};
  grid.rows[2] = {"BL", "30.1", "114.2", ""};
  EXPECT_FALSE(FindEntryProblem(grid).has_value());
  EXPECT_EQ(KnownXyzRowReading(grid.rows[1]), "H");
  EXPECT_EQ(KnownXyzRowReading(grid.rows[2]), "B,L");
}

}  // namespace
