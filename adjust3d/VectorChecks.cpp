#include "adjust3d/VectorChecks.h"

#include <cmath>

#include "project/AppState.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace vemo {

bool PositiveDefinite(double xx, double yy, double zz, double xy, double xz, double yz) {
  const double minor2 = xx * yy - xy * xy;
  const double det = xx * (yy * zz - yz * yz) - xy * (xy * zz - yz * xz) + xz * (xy * yz - yy * xz);
  return xx > 0.0 && minor2 > 0.0 && det > 0.0 && std::isfinite(det);
}

int RefuseVector(int number, const std::string& from, const std::string& to, bool sameEnds) {
  const char* text = sameEnds ? UiText(u8"第%d条基线向量%s-%s的起点与终点是同一点，不能平差!")
                              : UiText(u8"第%d条基线向量%s-%s的方差阵不是正定矩阵，不能平差!");
  ShowMessage(Format(text, number, from.c_str(), to.c_str()), AppTitle(), MessageIcon::Warning);
  return 0;
}

}  // namespace vemo
