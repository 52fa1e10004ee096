#include <gtest/gtest.h>

#include "geodesy/Encoding.h"
#include "geodesy/TextTools.h"

namespace {

std::vector<std::string> Items(const char* line, char delimiter) {
  std::vector<std::string> items{"stale"};
  int n = GetItemsValue(line, items, delimiter);
  EXPECT_EQ(n, static_cast<int>(items.size()));
  return items;
}

TEST(GetItemsValue, BlankDelimiterMergesRunsOfBlanksAndTabs) {
  EXPECT_EQ(Items("   K1    30.5  \t ", ' '), (std::vector<std::string>{"K1", "30.5"}));
  EXPECT_EQ(Items("A  \t  B C", ' '), (std::vector<std::string>{"A", "B", "C"}));
  // A tab alone does not separate items: only the blank is the delimiter.
  EXPECT_EQ(Items("A\tB", ' '), (std::vector<std::string>{"A\tB"}));
  EXPECT_EQ(Items("K1 1.0 2.0\r\n", ' '), (std::vector<std::string>{"K1", "1.0", "2.0"}));
}

TEST(GetItemsValue, CommaDelimiterKeepsEmptyFields) {
  EXPECT_EQ(Items("a,,b", ','), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(Items(" a , b ,", ','), (std::vector<std::string>{"a", "b", ""}));
}

TEST(GetItemsValue, EmptyAndBlankLinesGiveOneEmptyItem) {
  EXPECT_EQ(Items("", ' '), (std::vector<std::string>{""}));
  EXPECT_EQ(Items("    ", ' '), (std::vector<std::string>{""}));
  EXPECT_EQ(Items("single", ','), (std::vector<std::string>{"single"}));
}

TEST(GetItemsValue, GbkNamesPassThroughUnchanged) {
  std::string line = vemo::Utf8ToGbk(u8"  测站一  12.5 ");
  auto items = Items(line.c_str(), ' ');
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0], vemo::Utf8ToGbk(u8"测站一"));
}

TEST(GetItemsValue, LongLineIsLinearEnough) {
  std::string line;
  for (int i = 0; i < 20000; ++i) line += "1.5 ";
  EXPECT_EQ(Items(line.c_str(), ' ').size(), 20000u);
}

TEST(StringPredicates, BlankAndDigit) {
  EXPECT_EQ(IsSpaceString(""), -1);
  EXPECT_EQ(IsSpaceString(" \r\n "), -1);
  EXPECT_EQ(IsSpaceString("\t"), 0);
  EXPECT_EQ(IsSpaceString("  x "), 0);
  EXPECT_EQ(IsDigit(""), 1);
  EXPECT_EQ(IsDigit("1-2."), 1);  // characters, not the form of a number
  EXPECT_EQ(IsDigit("+12.5"), 1);
  EXPECT_EQ(IsDigit("1e5"), 0);
  EXPECT_EQ(IsDigit(" 1"), 0);
}

TEST(FormatSpace, FillsBlanksAndTerminates) {
  char buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), 'x');
  FormatSpace(buffer, 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'x');
  FormatSpace(buffer, -3);
  EXPECT_EQ(buffer[0], '\0');
  FormatSpace(buffer, 5);
  EXPECT_STREQ(buffer, "     ");
}

TEST(PathHelpers, DirectoryOfFileName) {
  std::string dir = "unchanged";
  EXPECT_EQ(GetPathFromFileName("file.txt", dir), 0);
  EXPECT_EQ(dir, "unchanged");
  EXPECT_EQ(GetPathFromFileName("/data/run/file.txt", dir), 1);
  EXPECT_EQ(dir, "/data/run/");
  EXPECT_EQ(GetPathFromFileName("C:\\survey\\a.GPS3dVector", dir), 1);
  EXPECT_EQ(dir, "C:\\survey\\");
  std::string launched;
  GetLaunchedDir(launched);
  ASSERT_FALSE(launched.empty());
  EXPECT_EQ(launched.back(), '/');
}

}  // namespace
