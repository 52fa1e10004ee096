#include "project/GradeTable.h"

#include "geodesy/Encoding.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace {

// One row of the grade table: a, b (mm, ppm; NaN-free sentinel kInstrument means "copied from
// the instrument errors"), rows 4..14, the loop side limit. The coefficients are the decimal
// numbers of the standards (4.243, 2.828, 1.1547, 1.732), not 3 sqrt 2 and the like.
constexpr double kInstrument = -1000.0;

struct GradeRow {
  const char* name;  // UTF-8
  double a, b;
  double rows[11];  // rows 4..14
  int loopSideLimit;
};

constexpr GradeRow kGrades[kGradeCount - 1] = {
    {TrNoop(u8"国标A级"), kInstrument, kInstrument, {4.243, 0.2, 2.0, 3.0, 2.0, -1, -1, 100000000, -1, 2, 3}, -1},
    {TrNoop(u8"国标B级"), kInstrument, kInstrument, {4.243, 0.2, 2.0, 3.0, 2.0, -1, -1, 10000000, -1, 5, 10}, 6},
    {TrNoop(u8"国标C级"), kInstrument, kInstrument, {2.828, 0.2, 3.0, 3.0, 2.0, -1, -1, 1000000, -1, 10, 20}, 6},
    {TrNoop(u8"国标D级"), kInstrument, kInstrument, {2.828, 0.2, 3.0, 3.0, 2.0, -1, -1, 100000, -1, 20, 40}, 8},
    {TrNoop(u8"国标E级"), kInstrument, kInstrument, {2.828, 0.2, 3.0, 3.0, 2.0, -1, -1, -1, -1, 20, 40}, 10},
    {TrNoop(u8"城市二等"), 10, 2, {-1, 2.0, 2.0, 3.0, 2.0, -1, -1, 120000, -1, -1, -1}, 6},
    {TrNoop(u8"城市三等"), 10, 5, {-1, 3.0, 2.0, 3.0, 2.0, -1, -1, 80000, -1, -1, -1}, 8},
    {TrNoop(u8"城市四等"), 10, 10, {-1, 6.0, 2.0, 3.0, 2.0, -1, -1, 45000, -1, -1, -1}, 10},
    {TrNoop(u8"城市一级"), 10, 10, {-1, 9.0, 2.0, 3.0, 2.0, -1, -1, 20000, -1, -1, -1}, 10},
    {TrNoop(u8"城市二级"), 15, 20, {-1, 9.0, 2.0, 3.0, 2.0, -1, -1, 10000, -1, -1, -1}, 10},
    {TrNoop(u8"高铁CP0"), 5, 0.2, {4.243, -1, 2.0, 3.0, 2.0, -1, 20, 2000000, -1, -1, -1}, -1},
    {TrNoop(u8"高铁一等"), 5, 1, {2.828, -1, 3.0, 3.0, 2.0, 0.9, 10, 250000, 500000, -1, -1}, -1},
    {TrNoop(u8"高铁CPI/二等"), 5, 1, {2.828, -1, 3.0, 3.0, 2.0, 1.3, 10, 180000, 250000, -1, -1}, -1},
    {TrNoop(u8"高铁CPII/三等"), 5, 1, {2.828, -1, 3.0, 3.0, 2.0, 1.7, 8, 100000, 180000, -1, -1}, -1},
    {TrNoop(u8"高铁四等"), 5, 2, {2.828, -1, 3.0, 3.0, 2.0, 2.0, -1, 70000, 100000, -1, -1}, -1},
    {TrNoop(u8"高铁五等"), 10, 2, {2.828, -1, 3.0, 3.0, 2.0, 3.0, -1, 40000, 70000, -1, -1}, -1},
    {TrNoop(u8"公路二等"), 5, 1, {2.828, 0.2, 1.1547, 1.732, 1.1547, -1, -1, 100000, -1, -1, -1}, -1},
    {TrNoop(u8" 公路三等"), 5, 2, {2.828, 0.2, 1.1547, 1.732, 1.1547, -1, -1, 70000, -1, -1, -1}, -1},
    {TrNoop(u8" 公路四等"), 5, 3, {2.828, 0.2, 1.1547, 1.732, 1.1547, -1, -1, 35000, -1, -1, -1}, -1},
    {TrNoop(u8" 公路一级"), 10, 3, {2.828, 0.2, 1.1547, 1.732, 1.1547, -1, -1, 20000, -1, -1, -1}, -1},
    {TrNoop(u8" 公路二级"), 10, 5, {2.828, 0.2, 1.1547, 1.732, 1.1547, -1, -1, 10000, -1, -1, -1}, -1},
    {TrNoop(u8"水利水电勘测二等"), 10, 5, {2.828, 1.5, 3.0, -1, -1, -1, -1, 150000, -1, -1, -1}, 5},
    {TrNoop(u8"水利水电勘测三等"), 10, 10, {2.828, 1.5, 3.0, -1, -1, -1, -1, 80000, -1, -1, -1}, 5},
    {TrNoop(u8"水利水电勘测四等"), 10, 20, {2.828, 1.5, 3.0, -1, -1, -1, -1, 40000, -1, -1, -1}, 5},
    {TrNoop(u8"水利水电勘测五等"), 10, 40, {2.828, 1.5, 3.0, -1, -1, -1, -1, 20000, -1, -1, -1}, 5},
    {TrNoop(u8"水电水利施工二等"), 5, 1, {2.828, 2.0, 2.0, 3.0, 2.0, -1, -1, 250000, -1, -1, -1}, 6},
    {TrNoop(u8"水电水利施工三等"), 5, 2, {2.828, 2.0, 2.0, 3.0, 2.0, -1, -1, 150000, -1, -1, -1}, 8},
    {TrNoop(u8"水电水利施工四等"), 10, 2, {2.828, 6.0, 2.0, 3.0, 2.0, -1, -1, 100000, -1, -1, -1}, 10},
    {TrNoop(u8"工程测量二等"), 10, 2, {2.828, 0.2, 2.0, 3.0, -1, -1, -1, 120000, 250000, -1, -1}, -1},
    {TrNoop(u8"工程测量三等"), 10, 5, {2.828, 0.2, 2.0, 3.0, -1, -1, -1, 70000, 150000, -1, -1}, -1},
    {TrNoop(u8"工程测量四等"), 10, 10, {2.828, 0.2, 2.0, 3.0, -1, -1, -1, 40000, 100000, -1, -1}, -1},
    {TrNoop(u8"工程测量一级"), 10, 20, {2.828, 0.2, 2.0, 3.0, -1, -1, -1, 20000, 40000, -1, -1}, -1},
    {TrNoop(u8"工程测量二级"), 10, 40, {2.828, 0.2, 2.0, 3.0, -1, -1, -1, 10000, 20000, -1, -1}, -1},
    {TrNoop(u8"城市轨道交通"), 10, 2, {2.828, 0.2, 2.0, 3.0, 2.0, -1, 10, 100000, -1, -1, -1}, -1},
};

constexpr const char* kCustomGradeName = TrNoop(u8"自定义");

}  // namespace

const char* GradeName(int index) {
  if (index < 0 || index >= kGradeCount) return nullptr;
  return T(index == kCustomGrade ? kCustomGradeName : kGrades[index].name);
}

const char* UiGradeName(int index) {
  if (index < 0 || index >= kGradeCount) return nullptr;
  return UiText(index == kCustomGrade ? kCustomGradeName : kGrades[index].name);
}

void ApplyGrade(CGPSConfiguration& configuration) {
  const int g = configuration.m_GradeIndex;
  if (g < 0 || g >= kCustomGrade) return;
  NetClassParameters& p = configuration.m_NetClass;
  const GradeRow& row = kGrades[g];
  using R = NetClassParameters;
  if (row.a == kInstrument) {
    p[R::kFixedError] = p[R::kInstrumentFixedError];
    p[R::kProportionalError] = p[R::kInstrumentProportionalError];
  } else {
    p[R::kFixedError] = row.a;
    p[R::kProportionalError] = row.b;
  }
  for (int i = 0; i < 11; ++i) p.m_Value[4 + i] = row.rows[i];
  p.m_LoopSideLimit = row.loopSideLimit;
}

void ApplyCustomPrecision(const CCustomPrecisionRecord& r, NetClassParameters& p) {
  using R = NetClassParameters;
  p[R::kFixedError] = r.fixedError;
  p[R::kProportionalError] = r.proportionalError;
  p[R::kRepeatBaselineCoefficient] = r.repeatBaselineCoefficient;
  p[R::kSyncLoopCoefficient] = r.syncLoopCoefficient;
  p[R::kAsyncLoopCoefficient] = r.asyncLoopCoefficient;
  p[R::kVectorCorrectionCoefficient] = r.vectorCorrectionCoefficient;
  p[R::kVectorCorrectionDifferenceCoefficient] = r.vectorCorrectionDifferenceCoefficient;
  p[R::kBaselineDirectionError] = r.baselineDirectionError;
  p[R::kAdjacentPointError] = r.adjacentPointError;
  p[R::kWeakestSideRelativeError] = r.weakestSideRelativeError;
  p[R::kConstrainedRelativeError] = r.constrainedRelativeError;
  p[R::kHorizontalComponentError] = r.horizontalComponentError;
  p[R::kVerticalComponentError] = r.verticalComponentError;
  p.m_LoopSideLimit = r.loopSideLimit;
}

namespace {
constexpr const char* kProjectionNames[2] = {TrNoop(u8"高斯投影"), TrNoop(u8"UTM投影")};
}  // namespace

const char* ProjectionName(int index) { return index == 0 || index == 1 ? T(kProjectionNames[index]) : nullptr; }

const char* UiProjectionName(int index) {
  return index == 0 || index == 1 ? UiText(kProjectionNames[index]) : nullptr;
}

}  // namespace vemo
