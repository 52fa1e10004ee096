#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/CaseNames.h"

namespace {
using vemo::test::CaseName;

TEST(CaseNames, RunsOfOtherCharactersBecomeOneUnderscore) {
  EXPECT_EQ(CaseName("Wuhan, X < 0"), "Wuhan_X_0");
  EXPECT_EQ(CaseName(" every E = 0 "), "every_E_0");
  EXPECT_EQ(CaseName("session.ISB"), "session_ISB");
  EXPECT_EQ(CaseName("\xB1\xB1\xBE\xA9" "54"), "54");  // GBK letters are no ASCII
}

// A case named by its index (what a suite without a name generator gets) is found in no
// failure line and in no `ctest -R` pattern.
TEST(CaseNames, NoParameterizedCaseIsNamedByItsIndex) {
  const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
  for (int i = 0; i < unit.total_test_suite_count(); ++i) {
    const testing::TestSuite& suite = *unit.GetTestSuite(i);
    for (int j = 0; j < suite.total_test_count(); ++j) {
      const testing::TestInfo& test = *suite.GetTestInfo(j);
      if (!test.value_param()) continue;
      const std::string name = test.name(), last = name.substr(name.rfind('/') + 1);
      EXPECT_FALSE(std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; }))
          << suite.name() << "." << name;
    }
  }
}

}  // namespace
