#include "geodesy/ZoneChange.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSConfiguration.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

using vemo::Format;
using vemo::T;
using vemo::UiText;

namespace {

// A whole item as a finite number, or false.
bool ParseItem(const std::string& item, double& value) {
  if (item.empty()) return false;
  char* end = nullptr;
  value = std::strtod(item.c_str(), &end);
  return end == item.c_str() + item.size() && std::isfinite(value);
}

std::string RangeMessage(const char* labelUtf8, double low, double high) {
  return Format(UiText(u8"%s 请输入一个介于 %g 和 %g 之间的数。"), UiText(labelUtf8), low, high);
}

}  // namespace

std::string CChangZoneOfXY::Validate() const {
  auto inside = [](double v, double low, double high) { return v >= low && v <= high; };  // NaN fails
  const double values[4] = {m_H1, m_L01, m_H2, m_L02};
  for (int i = 0; i < 4; ++i) {
    const bool height = i % 2 == 0;
    const double low = height ? kMinHeight : kMinMeridian, high = height ? kMaxHeight : kMaxMeridian;
    if (!inside(values[i], low, high)) return RangeMessage(kFieldLabels[i], low, high);
  }
  if (m_Method < kEnlargeAxis || m_Method > kEnlargeBothAxes)
    return Format(UiText(u8"%s: 请选择 %s、%s 或 %s。"), UiText(kMethodGroup), kMethodNames[0], kMethodNames[1], kMethodNames[2]);
  return {};
}

CZoneChangeEllipsoids::CZoneChangeEllipsoids(double a, double invF, double meanLatitudeDms,
                                             const CChangZoneOfXY& dialog) {
  const double f = 1.0 / invF;
  const double B0 = DmsToRadian(meanLatitudeDms);
  switch (dialog.m_Method) {
    case CChangZoneOfXY::kEnlargeAxisByLatitude: {
      const double k = 1.0 - 2.0 * B0 / invF / PI;
      a1 = a + dialog.m_H1 / k;
      a2 = a + dialog.m_H2 / k;
      f1 = f2 = f;
      break;
    }
    case CChangZoneOfXY::kEnlargeBothAxes:
      a1 = a + dialog.m_H1;
      a2 = a + dialog.m_H2;
      // f a / ai, written as the design computes it.
      f1 = (a / a1 - 1.0) * f + f;
      f2 = (a / a2 - 1.0) * f + f;
      break;
    default:
      a1 = a + dialog.m_H1;
      a2 = a + dialog.m_H2;
      f1 = f2 = f;
      break;
  }
  da = a2 - a1;
  df = f2 - f1;
  invF1 = 1.0 / f1;
  invF2 = 1.0 / f2;
  e2 = 2.0 * f1 - f1 * f1;
}

int ChangeZoneOfPoint(GPSTransfer& transfer, const CZoneChangeEllipsoids& z, const CChangZoneOfXY& dialog, double x,
                      double y, double h, double& x2, double& y2) {
  transfer.m_a = z.a1;
  transfer.m_InvF = z.invF1;
  transfer.m_L0 = DmsToRadian(dialog.m_L01);
  transfer.m_X = x;
  transfer.m_Y = y;
  if (!transfer.XYBL()) return 0;

  // Latitude change for the change of ellipsoid (flattening and semi-major axis), at the
  // point's height above the first surface; the longitude is kept.
  double B = transfer.m_B;
  const double e2 = z.e2, sinB = std::sin(B), sin2B = std::sin(2.0 * B);
  const double W = std::sqrt(1.0 - e2 * sinB * sinB);
  const double M = (1.0 - e2) * z.a1 / (W * W * W);
  B = B + M * (2.0 - e2 * sinB * sinB) * sin2B * 0.5 / (h + M) / (1.0 - z.f1) * z.df +
      sin2B * e2 * z.da / (2.0 * (h + M) * W);

  transfer.m_a = z.a2;
  transfer.m_InvF = z.invF2;
  transfer.m_L0 = DmsToRadian(dialog.m_L02);
  transfer.m_B = B;
  if (!transfer.BLXY()) return 0;
  x2 = transfer.m_X;
  y2 = transfer.m_Y;
  return 1;
}

std::string ZoneChangeOutputName(const std::string& dataDirectory, const std::string& dataName, double L02, double H2) {
  return Format("%s%s-%.4lf-%.0lf.xy", dataDirectory.c_str(), dataName.c_str(), L02, H2);
}

int ChangeZoneOfXY(const CChangZoneOfXY& dialog, const std::string& path) {
  static const CGPSConfiguration kNoProject;
  const CGPSConfiguration& c = GlobalConfiguration() ? *GlobalConfiguration() : kNoProject;
  const char* caption = ApplicationTitle();

  GPSTransfer transfer(GPSTransfer::kModeXY);
  if (!transfer.GetDataFile(path.empty() ? nullptr : path.c_str())) return 0;
  const std::string output =
      vemo::ResolvePathNoCase(ZoneChangeOutputName(GlobalDataDir(), GlobalDataName(), dialog.m_L02, dialog.m_H2));
  if (!vemo::FileExists(transfer.m_DataFile)) return 0;
  vemo::Platform().OpenTextDocument(transfer.m_DataFile);

  const double a = c.m_CurrentCoorsSystem.m_a, invF = c.m_CurrentCoorsSystem.m_InvF;
  if (!CheckEllipsoid(a, invF, caption)) return 0;
  const CZoneChangeEllipsoids ellipsoids(a, invF, c.m_MeanLatitude, dialog);
  const double xConstant = 1000.0 * c.m_XConstant, yConstant = 1000.0 * c.m_YConstant;

  auto text = vemo::ReadWholeFile(transfer.m_DataFile);
  if (!text) {
    OpenFileError(transfer.m_DataFile);
    return 0;
  }
  std::istringstream in(std::move(*text));
  if (!CheckOutputIsRegular(output, caption)) return 0;
  std::ofstream out(output, std::ios::binary | std::ios::app);
  if (!out) {
    OpenFileError(output);
    return 0;
  }
  std::string line;
  std::vector<std::string> items;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsSpaceString(line.c_str())) continue;
    const int count = GetItemsValue(CommasToBlanks(line).c_str(), items, ' ');
    if (count != 3 && count != 4) continue;
    double x, y, h = dialog.m_H1;
    if (!ParseItem(items[1], x) || !ParseItem(items[2], y) || (count == 4 && !ParseItem(items[3], h))) continue;
    double x2, y2;
    if (!ChangeZoneOfPoint(transfer, ellipsoids, dialog, x - xConstant, y - yConstant, h - dialog.m_H1, x2, y2)) {
      vemo::ShowMessage(Format(UiText(u8"点%s的坐标无法换带计算，已跳过!"), items[0].c_str()), caption);
      continue;
    }
    out << Format("%16s %15.4lf %15.4lf\n", items[0].c_str(), x2 + xConstant, y2 + yConstant);
  }
  out << "\n\n";
  out.close();
  if (out.fail()) {
    WriteFileError(output, caption);
    return 0;
  }
  vemo::Platform().OpenTextDocument(output);
  return 1;
}
