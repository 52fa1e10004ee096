// The test options of the adjustment commands and the adjustments followed by their tests.
#pragma once

#include "adjust2d/GPS1dHeightFit.h"
#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust3d/GPS3dCombinedAdjust.h"
#include "adjust/AdjustmentStatistics.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "app/commands/Args.h"

namespace vemo {

struct TestOptions {
  CTestSettings settings;  // the remembered values with the given ones in their place
  bool given = false;      // an option was given, or a remembered value refused: remember the
                           // values once the command has succeeded
};
// Takes --alpha0 or --alpha (which fixes that level), --power and --confidence (percent) over
// the remembered values (a remembered value outside its domain is named in a warning and its
// default taken); UsageError for a value outside its domain or for both levels at once.
TestOptions TakeTestOptions(Args& args);
// Remembers the options given once the command has succeeded (status kCommandDone): a run that
// failed, or was refused, leaves the remembered values as they were. Returns status.
int RememberTestOptions(const TestOptions& options, int status);

// The variance component options: --vce GROUPING (estimate, and report in the statistics
// report) and --vce-apply (estimate, then adjust with the factors; implies --vce).
struct VceOptions {
  bool estimate = false;
  bool apply = false;
};
// Takes the options; grouping is the one value --vce accepts for the command ("session",
// "kind"). UsageError for another value.
VceOptions TakeVceOptions(Args& args, const char* grouping);
extern const char* const kVceHelp3d;
extern const char* const kVceHelp2d;

// Adjust, then the statistics report beside the result file (removed when Adjust fails).
// Returns what Adjust returned; 0 after a message when the variance components were asked
// for and could not be estimated. The lines the vectors' data set states for the reports (the
// covariance scaling, the factors applied) go at the top of the result and statistics reports.
int AdjustGPS3dWithTests(CGPS3dNetAdjust& network, const CTestSettings& settings, const VceOptions& vce = {});
int AdjustGPS2dWithTests(CGPS2dNetAdjust& network, const CTestSettings& settings, const VceOptions& vce = {});
int AdjustEllipsoidWithTests(CGPS3dCombinedAdjust& network, const CTestSettings& settings);
// The a-priori standard error of the known heights' anomalies (--sigma0 CM, default 2 cm);
// UsageError outside its domain.
double TakeHeightSigma(Args& args);
// After a height fit (fit-heights or height-parameters, whose return value fitted is), the
// statistics report beside its result, or no stale one. Returns fitted.
int WithHeightTests(int fitted, const CGPS1dHeightFit& fit, const CTestSettings& settings, double sigma0Cm);

}  // namespace vemo
