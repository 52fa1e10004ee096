// The 35 network grades of the project dialog and the values that applying a grade writes
// into the precision parameters.
#pragma once

#include "geodesy/GPSConfiguration.h"

namespace vemo {

constexpr int kGradeCount = 35;
constexpr int kCustomGrade = 34;  // "自定义": the values come from the custom precision dialog

// Name of grade index (GBK), as the drop-down list shows it; nullptr out of range.
const char* GradeName(int index);
// The same name in the interface language (GBK), for the dialog's list; GradeName keeps the
// system's own name for the project's text descriptions.
const char* UiGradeName(int index);

// Writes the grade table row of configuration.m_GradeIndex into its precision parameters:
// grades 0..4 take a and b from the instrument errors, grades 5..33 take them from the table
// (instrument errors untouched), grade 34 and indices out of range change nothing.
void ApplyGrade(CGPSConfiguration& configuration);

// The fourteen start values of the custom precision dialog ("自定义精度指标").
struct CCustomPrecisionRecord {
  double fixedError = 5.0;               // mm
  double proportionalError = 1.0;        // ppm
  double repeatBaselineCoefficient = 2.828;
  double syncLoopCoefficient = 0.2;
  double asyncLoopCoefficient = 3.0;
  double vectorCorrectionCoefficient = 3.0;
  double vectorCorrectionDifferenceCoefficient = 2.0;
  double baselineDirectionError = -1.0;
  double adjacentPointError = -1.0;
  double weakestSideRelativeError = -1.0;
  double constrainedRelativeError = -1.0;
  double horizontalComponentError = -1.0;
  double verticalComponentError = -1.0;
  int32_t loopSideLimit = -1;
};

// "确认" of the custom dialog: rows 0, 1 and 4..14 and the loop side limit take the record's
// values; the instrument rows 2 and 3 are not touched.
void ApplyCustomPrecision(const CCustomPrecisionRecord& record, NetClassParameters& parameters);

// "高斯投影" or "UTM投影" (GBK); nullptr out of range.
const char* ProjectionName(int index);
// The same in the interface language (GBK), for the dialog's list.
const char* UiProjectionName(int index);

}  // namespace vemo
