// Independent baseline formation: the chosen synchronous baseline files (one an observation
// period) merged into the project's vector file, each baseline flagged 0 (use) or 1 (leave
// out) by the chosen rule, so that each period contributes only independent baselines.
#pragma once

#include <string>
#include <vector>

#include "baselines/BaselineFileChooser.h"

namespace vemo {

enum class IndependentRule { Chain = 0, Radial = 1, All = 2 };  // "顺序连线型", "射线型", "全选"

// The dialog "生成独立基线文件" as a record.
struct CIndependentBaselineDlg {
  CBaselineFileChooser files{"", "*.GPS3DVector_S", {}, {}};
  IndependentRule rule = IndependentRule::Chain;
  bool randomStart = false;  // "随机选择"
};

// "确定": the chosen list becomes the configuration's list of independent baseline source
// files and the output name is noted in the configuration. Returns 0, and changes nothing,
// after a message when a chosen name holds a character that GBK cannot hold.
int AcceptIndependentBaselineDlg(const CIndependentBaselineDlg& dialog);

// One synchronous baseline of a period.
struct CPeriodBaseline {
  std::string from, to;  // trimmed, upper-cased
  double dx = 0, dy = 0, dz = 0;
  double dxx = 0, dyy = 0, dzz = 0, dxy = 0, dxz = 0, dyz = 0;
  int flag = 1;  // 0: use, 1: leave out
};

// The selection within one period. startIndex is the start baseline (0 without "随机选择").
void SelectIndependentBaselines(std::vector<CPeriodBaseline>& baselines, IndependentRule rule, size_t startIndex);

// The random start of a period of n baselines, from a generator value r in 0..32767.
size_t RandomStartIndex(unsigned r, size_t n);

// The line that names a source file before its baselines: the full name in GBK, written so
// that it always has fewer than eleven items.
std::string SourceFileLine(const std::string& path);

// Forms "%s\%s.GPS3dVector" of the current project from the files, in order. Returns 1, or
// 0 after the message ("打开文件%s出错!" for the output, "基线文件:%s不存在!" for an input, a
// name too long, no files); the file is written only when the whole formation succeeds, so a
// failure leaves the existing vector file, with its hand-edited flags, as it was.
int FormIndependentBaselines(const std::vector<std::string>& files, IndependentRule rule, bool randomStart);

}  // namespace vemo
