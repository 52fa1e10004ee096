// The repeated baseline comparison: every group of vectors with the same two end points is
// compared with its shortest member, by length for every grade and, for the high grades, by
// component with tolerances from the scatter of the repeats themselves.
#pragma once

#include <string>
#include <vector>

class CReadGPS3dVector;
class CGPSConfiguration;

namespace vemo {

// The two reports of a loaded data set: the length comparison (every grade) and, for the
// grades 0, 1 and 10, the component comparison (empty string otherwise).
struct CRepeatBaselineReports {
  std::string lengths;
  std::string components;
  // Numbers of the reference baselines of groups whose tolerance cannot be computed (a
  // variance that is not positive): left out of the reports rather than shown as "nan".
  std::vector<int> notComputed;
};
CRepeatBaselineReports CompareRepeatedBaselines(const CReadGPS3dVector& set, const CGPSConfiguration& configuration);

// The command "重复基线差": loads the project's 3D data set, writes "%s\%s.GPS3dRepeatBaseline"
// and, for the grades 0, 1 and 10, "%s\%s.GPS3dRepeatBaselineClassAB", and opens them. A
// failed load leaves the reports empty; they are still opened. Returns 1 when the data set
// loaded and the reports were written.
int RunRepeatBaselineComparison();

}  // namespace vemo
