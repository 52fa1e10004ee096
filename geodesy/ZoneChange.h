// Zone change and height-surface conversion: plane coordinates of a transverse Mercator grid
// projected onto a first surface (central meridian L01, the reference ellipsoid enlarged to
// the height H1) are carried to a second zone (L02) and/or surface (H2): inverse projection
// on the first enlarged ellipsoid, the latitude change between the two ellipsoids, forward
// projection on the second.
#pragma once

#include <string>

#include "geodesy/UiText.h"

class GPSTransfer;

// The dialog "坐标换带与高程面转换计算": a plain record, filled by the host.
struct CChangZoneOfXY {
  static constexpr double kMinHeight = -500.0, kMaxHeight = 9000.0;  // m
  static constexpr double kMinMeridian = 0.0, kMaxMeridian = 360.0;  // D.MMSS

  // The dialog's texts (UTF-8): title, the labels of the four fields in order, the radio
  // group and its buttons, the two buttons.
  static constexpr const char* kTitle = vemo::TrNoop(u8"坐标换带与高程面转换计算");
  static constexpr const char* kFieldLabels[4] = {vemo::TrNoop(u8"第一带投影面大地高(m):"), vemo::TrNoop(u8"第一带中央子午线(dms):"),
                                                  vemo::TrNoop(u8"第二带投影面大地高(m):"), vemo::TrNoop(u8"第二带中央子午线(dms):")};
  static constexpr const char* kMethodGroup = vemo::TrNoop(u8"高程投影椭球膨胀方法");
  static constexpr const char* kMethodNames[3] = {"da=dH", "da=f(dH,B)", "da=db=dH"};
  static constexpr const char* kButtons[2] = {vemo::TrNoop(u8"确定"), vemo::TrNoop(u8"取消")};

  enum Method {
    kEnlargeAxis = 0,          // "da=dH": a grows by the height, flattening kept
    kEnlargeAxisByLatitude = 1,  // "da=f(dH,B)": a grows by dH / (1 - 2 B0 / (invF pi))
    kEnlargeBothAxes = 2,      // "da=db=dH": both semi-axes grow by the height
  };

  double m_H1 = 0.0;   // first projection-surface height, m
  double m_L01 = 0.0;  // first central meridian, D.MMSS
  double m_H2 = 0.0;   // second projection-surface height, m
  double m_L02 = 0.0;  // second central meridian, D.MMSS
  int m_Method = kEnlargeAxis;

  // The range validation of "确定": an empty string when every field is in its range,
  // otherwise the message (GBK) for the first field that is not; the dialog then stays open.
  std::string Validate() const;
};

// The two enlarged ellipsoids of a zone change, computed once per run.
struct CZoneChangeEllipsoids {
  double a1 = 0.0, f1 = 0.0, invF1 = 0.0;  // first projection surface
  double a2 = 0.0, f2 = 0.0, invF2 = 0.0;  // second projection surface
  double da = 0.0, df = 0.0;               // a2 - a1, f2 - f1
  double e2 = 0.0;                         // first eccentricity squared of the first surface

  // From the reference ellipsoid (a in m, invF), the mean latitude of the survey area
  // (D.MMSS, used by method 1) and the dialog's heights and method.
  CZoneChangeEllipsoids(double a, double invF, double meanLatitudeDms, const CChangZoneOfXY& dialog);
};

// One point: x, y (m, without the coordinate constants) of the first zone and its height h
// above the first surface (m) -> x2, y2 of the second zone. The projection type is that of
// the configuration given to SetGlobalVal. Returns 0 when the result is not finite.
int ChangeZoneOfPoint(GPSTransfer& transfer, const CZoneChangeEllipsoids& ellipsoids, const CChangZoneOfXY& dialog,
                      double x, double y, double h, double& x2, double& y2);

// "<directory><name>-<L02 %.4lf>-<H2 %.0lf>.xy".
std::string ZoneChangeOutputName(const std::string& dataDirectory, const std::string& dataName, double L02, double H2);

// The command after its dialog: the input file (path, or the file dialog of mode 3 when it is
// empty), each line "name x y" or "name x y h" (m, coordinate constants included; blanks,
// ASCII or full-width commas between the fields) converted to the second zone and appended
// as one block to ZoneChangeOutputName(...); the input and the result are opened in the text
// viewer. Reads the configuration given to SetGlobalVal. Returns 1 when the result was
// written, 0 when the choice was cancelled or the input is missing (silently), or on a
// failure that was reported.
int ChangeZoneOfXY(const CChangZoneOfXY& dialog, const std::string& path);
