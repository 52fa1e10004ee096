// The dialog "输入固定点和方位角[固定一点一方位的工程网]" of the one-point-one-direction
// engineering network as a record: the fixed point (name, plane x, y, normal height h, B, L and
// the height h0 of the projection surface) and the fixed azimuth (from point, to point,
// azimuth). The dialog opens prefilled from the remembered "<project>.OneFix"; its OK writes
// that file and the three input files of the run ("GPS3dKnownXYZ1", "GPS2dKnownXY1",
// "GPS2dAzimuth1"). The command line fills it from its options, the desktop from its fields.
#pragma once

#include <string>

#include "geodesy/UiText.h"

namespace vemo {

class OneFixOneAzimuth {
 public:
  static constexpr const char* kTitle = TrNoop(u8"输入固定点和方位角[固定一点一方位的工程网]");
  static constexpr const char* kGroups[2] = {TrNoop(u8"固定点信息"), TrNoop(u8"固定方位角信息")};
  // Labels of the fields, in the order of the members below (UTF-8).
  // The line of the remembered file that holds each field (from 0).
  static constexpr int kFieldLine[10] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2};
  static constexpr const char* kLabels[10] = {
      TrNoop(u8"点名"),           TrNoop(u8"平面坐标x[m]"),   TrNoop(u8"平面坐标y[m]"),
      TrNoop(u8"正常高h[m]"),     TrNoop(u8"大地纬度B[dms]"), TrNoop(u8"大地经度L[dms]"),
      TrNoop(u8"投影面正常高h0[m]"), TrNoop(u8"起点"),        TrNoop(u8"终点"),
      TrNoop(u8"方位角[dms]")};
  // The loaders' name buffers hold 19 characters.
  static constexpr size_t kNameLimit = 19;
  // What the fields can mean: plane coordinates within 1e8 m, heights within 1e5 m (beyond
  // them a coordinate is no survey's, and its "%.4lf" would not read back as the file's
  // number); B within ±90°, L from -180° up to (not including) 360°, the azimuth below 360° in
  // magnitude (a negative one counts from north the other way), each angle with minutes and
  // seconds below 60.
  static constexpr double kMaxPlaneCoordinate = 1e8;
  static constexpr double kMaxHeight = 1e5;

  std::string m_PointName;  // GBK
  double m_x = 0.0, m_y = 0.0;  // plane coordinates, m
  double m_h = 0.0;             // normal height, m
  double m_B = 0.0, m_L = 0.0;  // packed D.MMSS
  double m_h0 = 0.0;            // normal height of the projection surface, m
  std::string m_From, m_To;     // GBK
  double m_Azimuth = 0.0;       // packed D.MMSS

  // The fields (bit i for kLabels[i]) that the remembered file holds no readable value for:
  // an item missing or not a finite number, and those after it on its line. 0 when the file
  // read whole or does not exist. A field given afresh clears its bit (Given).
  unsigned m_UnreadFields = 0;

  // Dialog start: the fields of "<project>.OneFix" when the file exists (in each line commas
  // count as blanks; each field is taken as its line gives it, as far as its items read; a
  // field that does not read keeps its value and is marked in m_UnreadFields).
  void OnInitDialog();
  // The field kLabels[field] was given by the person: its remembered value no longer matters.
  void Given(int field) { m_UnreadFields &= ~(1u << field); }
  // 1, or 0 after the message naming the remembered file, and the lines and fields that were
  // not given, when a field still stands on a value the file did not hold: the run would take
  // its default (a fixed point at 0, 0, 0) for the person's input.
  int CheckRemembered() const;

  // OK: checks the fields (names, and numbers within what they can mean: kMaxPlaneCoordinate,
  // kMaxHeight, the angles) and that the three names are points of the project's vector file,
  // then writes "<project>.OneFix" and the three input files in this order, each replaced
  // whole. Returns 1; 0 after the message of the first failure, before any file is written
  // when a check fails (the dialog stays open).
  int OnOK();

  // The text of "<project>.OneFix": three lines, the last without its line end.
  std::string OneFixText() const;

 private:
  int CheckFields() const;
  int CheckNamesInNetwork() const;
};

}  // namespace vemo
