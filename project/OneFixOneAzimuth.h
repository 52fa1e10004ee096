// The dialog "输入固定点和方位角[固定一点一方位的工程网]" of the one-point-one-direction
// engineering network as a record: the fixed point (name, plane x, y, normal height h, B, L and
// the height h0 of the projection surface) and the fixed azimuth (from point, to point,
// azimuth). The dialog opens prefilled from the remembered "<project>.OneFix"; its OK writes
// that file and the three input files of the run ("GPS3dKnownXYZ1", "GPS2dKnownXY1",
// "GPS2dAzimuth1"). The command line fills it from its options, the desktop from its fields.
#pragma once

#include <string>

namespace vemo {

class OneFixOneAzimuth {
 public:
  static constexpr const char* kTitle = u8"输入固定点和方位角[固定一点一方位的工程网]";
  static constexpr const char* kGroups[2] = {u8"固定点信息", u8"固定方位角信息"};
  // Labels of the fields, in the order of the members below (UTF-8).
  static constexpr const char* kLabels[10] = {u8"点名",           u8"平面坐标x[m]",     u8"平面坐标y[m]",
                                              u8"正常高h[m]",     u8"大地纬度B[dms]",   u8"大地经度L[dms]",
                                              u8"投影面正常高h0[m]", u8"起点",          u8"终点",
                                              u8"方位角[dms]"};
  // The loaders' name buffers hold 19 characters.
  static constexpr size_t kNameLimit = 19;

  std::string m_PointName;  // GBK
  double m_x = 0.0, m_y = 0.0;  // plane coordinates, m
  double m_h = 0.0;             // normal height, m
  double m_B = 0.0, m_L = 0.0;  // packed D.MMSS
  double m_h0 = 0.0;            // normal height of the projection surface, m
  std::string m_From, m_To;     // GBK
  double m_Azimuth = 0.0;       // packed D.MMSS

  // Dialog start: the fields of "<project>.OneFix" when the file exists (in each line commas
  // count as blanks; a line that is missing or does not scan leaves its fields as they are).
  void OnInitDialog();

  // OK: checks the fields and that the three names are points of the project's vector file,
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
