// The sections that the statistics reports of the 3D vector network and of the plane
// adjustment share: the heading with the chosen probabilities, the global model test and the
// data snooping table. Each writes GBK lines to an open report file; lengths in cm.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "adjust/AdjustmentStatistics.h"
#include "adjust/ReportFile.h"
#include "adjust/VarianceComponents.h"

namespace vemo {

// What a statistics report needs to name its rows.
struct CTestReportNames {
  const char* dash = "";                 // the report's dash line, newline included
  std::vector<std::string> pointNames;   // GBK, by point index
  std::vector<int> from, to;             // point indices of each group (vector)
  std::vector<const char*> components;   // "DX", "DY"(, "DZ")
};

// The verdicts of one run, for the summary line and for the viewers.
struct CTestVerdicts {
  bool defined = false;       // false when r = 0
  bool globalPassed = false;
  int rejectedGroups = 0;
  int worstGroup = -1, worstComponent = -1;
  int untestableGroups = 0;   // vectors with a component that no other observation controls
};

// The title line, the redundancy, both significance levels (which one the user fixed and
// which one the power derives), the power, the confidence and both standard errors of unit
// weight; unitToCm converts the tests' length unit.
void WriteTestHeading(CReportFile& f, const char* dash, const std::string& titleGbk, int redundancy,
                      const CTestSettings& settings, const CNetworkTests& tests, double unitToCm);
// A probability as a percentage that can be read however small: "5.00", "0.10", "1.23e-05".
std::string PercentText(double fraction);
// The warnings (GBK, one line each) of a likely slip of units in the vectors' covariances: in
// the report's own words, or in the interface language for the message (shown = true).
std::vector<std::string> PlausibilityWarnings(const CNetworkTests& tests, bool shown = false);
// The statement that replaces the tests when there is no redundancy.
void WriteNoRedundancy(CReportFile& f, const char* dash);
void WriteGlobalTest(CReportFile& f, const char* dash, const CGlobalTest& test, const CSnoopingLimits& limits);
// unitToCm converts the residuals and biases of the snooping into cm.
void WriteDataSnooping(CReportFile& f, const CTestReportNames& names, const CDataSnooping& snooping,
                       const CSnoopingLimits& limits, double unitToCm);
CTestVerdicts Verdicts(const CGlobalTest& global, const CDataSnooping& snooping);

// The words that say which unit weight scales the confidence regions.
const char* UnitWeightBasis(const CNetworkTests& tests);

// A whole statistics report at path: the heading, the warnings of a slip of units (also shown
// as a message once the report is written), then either the statement of no redundancy or
// the global test, the notes (may write nothing) and the data snooping, then the engine's
// confidence regions. unitToCm converts the tests' length unit. Returns false after a message
// when the file cannot be written; verdicts (when given) receive the outcome.
bool WriteTestReport(const std::string& path, const CTestReportNames& names, const std::string& titleGbk,
                     int redundancy, const CTestSettings& settings, const CNetworkTests& tests, double unitToCm,
                     const std::function<void(CReportFile&)>& notes,
                     const std::function<void(CReportFile&)>& regions, CTestVerdicts* verdicts);

// The test of each whole vector (all components at once) with the w-tests along named axes,
// after the component tests. The sections below open with a dash line when opening is set
// (not right after a section that closed with one).
void WriteWholeGroupTests(CReportFile& f, bool opening, const CTestReportNames& names, const std::string& titleGbk,
                          const char* const axisNames[3], const std::vector<CGroupTest>& tests,
                          const CMultipleLimit& limit);
// The compatibility test of each fixed known point: the network's point names (the tests name
// their points by index), the discrepancies (in the axes named) in the tests' unit times
// unitToCm.
void WriteKnownPointTests(CReportFile& f, bool opening, const char* dash, const std::vector<std::string>& pointNames,
                          const char* const axisNames[3], const CKnownPointTests& tests, double unitToCm);
// The data snooping of observations of one component each (ground distances and azimuths,
// known heights), one row each: its label (GBK, of a fixed width), the residual and bias in
// the row's unit (the tests' unit times toReport), the effect in cm at the point named.
struct CSingleObservationRows {
  std::string titleGbk, headerGbk;
  std::vector<std::string> labels;    // GBK
  std::vector<double> toReport;       // per row
  std::vector<std::string> namesGbk;  // how the conclusion names each observation
  std::string conclusionGbk;          // "检验结论...: "
  std::string nounGbk;                // the counted thing: "个地面观测"
};
void WriteSingleObservationSnooping(CReportFile& f, bool opening, const char* dash, const CSingleObservationRows& rows,
                                    const CDataSnooping& snooping, double effectToCm,
                                    const std::vector<std::string>& pointNames);

// One line (GBK) of the verdicts a statistics report holds, read back from its text: the
// global test, the conclusion of data snooping and the count of vectors that cannot be
// tested, or that no test was defined. Empty when the text is no statistics report.
std::string TestReportSummary(const std::string& reportGbk);

// The path of the statistics report beside a result file: its extension with "Test" in place
// of "Result" ("net.GPS3dResult1" -> "net.GPS3dTest1").
std::string TestReportPath(const std::string& resultPath);

// The section of the variance components: per group its redundancy, the estimated factor of
// its given covariances with the standard error, and the two-sided test of factor 1.
// groupingGbk names the grouping ("按时段"); applied says whether the adjustment's weights
// were multiplied by the factors.
void WriteVarianceComponents(CReportFile& f, const char* dash, const CVarianceComponents& components,
                             const std::string& groupingGbk, bool applied);

// Rewrites a finished report: lines (GBK, newline ended) put at its top, and what end writes
// appended. False after a message when the report cannot be read or written (it stays as it
// was then).
bool AmendReport(const std::string& path, const std::vector<std::string>& top,
                 const std::function<void(CReportFile&)>& end);

}  // namespace vemo
