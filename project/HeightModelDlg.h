// The dialog "选择高程拟合模型" of the two height fitting commands as a record: three radio
// buttons, the first selected when the dialog opens. The command line fills it from --model,
// the desktop from its buttons.
#pragma once

#include "geodesy/UiText.h"

namespace vemo {

struct CHeightModelDlg {
  enum Model { kPlane = 0, kSurface = 1, kConstant = 2 };
  // Labels of the radio buttons, by index (UTF-8).
  static constexpr const char* kTitle = TrNoop(u8"选择高程拟合模型");
  static constexpr const char* kButtons[3] = {TrNoop(u8"平面模型"), TrNoop(u8"曲面模型"), TrNoop(u8"常数模型")};

  int m_Model = kPlane;  // index of the selected button
};

}  // namespace vemo
