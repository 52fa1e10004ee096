// The check of a test's false-alarm rate over generated noise-only networks: the observed
// rate must lie within four binomial standard deviations of the test's level, which a sound
// test leaves with a probability below 1e-4 (tests within one network are correlated a
// little, which widens the spread slightly; four deviations leave room for it).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "adjust/AdjustmentStatistics.h"

namespace vemo::test {

// The default settings with alpha0 = 5 %: a level that a count over 200 networks can see.
inline CTestSettings Lenient() {
  CTestSettings s;
  s.alpha0 = 0.05;
  return s;
}

inline void ExpectFalseAlarmRate(const char* what, int rejected, int tests, double level) {
  ASSERT_GT(tests, 0) << what;
  const double rate = static_cast<double>(rejected) / tests;
  std::printf("%s at %.2f %%: %d of %d tests rejected (%.2f %%)\n", what, level * 100.0, rejected, tests, rate * 100.0);
  EXPECT_NEAR(rate, level, 4.0 * std::sqrt(level * (1.0 - level) / tests)) << what;
}

}  // namespace vemo::test
