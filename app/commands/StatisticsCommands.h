// The test options of the adjustment commands and the adjustments followed by their tests.
#pragma once

#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust/AdjustmentStatistics.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "app/commands/Args.h"

namespace vemo {

struct TestOptions {
  CTestSettings settings;  // the remembered values with the given ones in their place
  bool given = false;      // an option was given: remember the values once the command is valid
};
// Takes --alpha0 or --alpha (which fixes that level), --power and --confidence (percent);
// UsageError for a value outside its domain or for both levels at once.
TestOptions TakeTestOptions(Args& args);
void RememberTestOptions(const TestOptions& options);

// Adjust, then the statistics report beside the result file (removed when Adjust fails).
// Returns what Adjust returned.
int AdjustGPS3dWithTests(CGPS3dNetAdjust& network, const CTestSettings& settings);
int AdjustGPS2dWithTests(CGPS2dNetAdjust& network, const CTestSettings& settings);

}  // namespace vemo
