// GAMIT solution files (type 8), read in fixed columns after the marker line that names the
// kind of file: the O-file summary lines (components, sigmas and correlations on one line)
// or the Q-file blocks of four lines. Site codes are taken as they stand.
#include "geodesy/BaselineImport.h"

namespace vemo::baseline {
namespace {

struct CField {
  size_t position, length;
};

// The number in a fixed column; the column is clipped to the line.
void TakeColumn(std::string_view line, CField f, CReadNumber& field) {
  double v;
  if (ReadNumber(Column(line, f.position, f.length), v)) field.Set(v);
}

void TakeSite(std::string_view line, CField f, CReadWord& field) {
  std::string site = Trim(Column(line, f.position, f.length));
  if (!site.empty()) field.Set(site);
}

// One O-file baseline line:
// "A36__AV23 1991.020R X    49577.5869 +-   0.1590 Y ... Correlations (X-Y,X-Z,Y-Z) = ..."
void ReadOFileLine(CImportFile& file, size_t i) {
  static constexpr CField kFrom{0, 4}, kTo{5, 4}, kMarker{146, 13};
  static constexpr CField kComponent[3] = {{21, 14}, {49, 14}, {77, 14}};
  static constexpr CField kSigma[3] = {{38, 9}, {66, 9}, {94, 9}};
  static constexpr CField kRho[3] = {{162, 10}, {172, 10}, {182, 10}};
  std::string_view line = file.line(i);
  if (line.size() <= 159 || Column(line, kMarker.position, kMarker.length) != "(X-Y,X-Z,Y-Z)") return;
  CBaselineRecord r;
  TakeSite(line, kFrom, r.from);
  TakeSite(line, kTo, r.to);
  for (int a = 0; a < 3; ++a) {
    TakeColumn(line, kComponent[a], r.d[a]);
    TakeColumn(line, kSigma[a], r.e[a]);
    TakeColumn(line, kRho[a], r.e[3 + a]);
  }
  file.Write(i, r.Complete(), r.Sigmas(kMetresToCm, 1.0, file.k()), SyncFormat::Long);
}

// A Q-file block: the "Baseline vector" line with the sites, then the components, the sigmas
// and the correlations on the next three lines. Returns the index of the block's last line.
size_t ReadQFileBlock(CImportFile& file, size_t i, CBaselineRecord& r) {
  static constexpr CField kFrom{23, 4}, kTo{47, 4};
  static constexpr CField kComponent[3] = {{2, 15}, {22, 15}, {39, 15}};
  static constexpr CField kSigma[3] = {{8, 9}, {28, 9}, {45, 9}};
  static constexpr CField kRho[3] = {{30, 10}, {40, 10}, {50, 10}};
  TakeSite(file.line(i), kFrom, r.from);
  TakeSite(file.line(i), kTo, r.to);
  for (int a = 0; a < 3; ++a) {
    TakeColumn(file.line(i + 1), kComponent[a], r.d[a]);
    TakeColumn(file.line(i + 2), kSigma[a], r.e[a]);
    TakeColumn(file.line(i + 3), kRho[a], r.e[3 + a]);
  }
  i += 3;
  if (i < file.size()) file.Write(i, r.Complete(), r.Sigmas(kMetresToCm, 1.0, file.k()), SyncFormat::Long);
  return i;
}

}  // namespace

void ReadGamitFile(CImportFile& file) {
  enum Kind { kNone, kOFile, kQFile } kind = kNone;
  CBaselineRecord q;
  for (size_t i = 0; i < file.size(); ++i) {
    std::string_view line = file.line(i);
    if (kind == kNone) {
      const std::string upper = UpperGbk(line);
      if (upper.find("VEMOGPS FOR GAMIT O-FILE") != std::string::npos) kind = kOFile;
      else if (upper.find("VEMOGPS FOR GAMIT Q-FILE") != std::string::npos) kind = kQFile;
    } else if (kind == kOFile) {
      ReadOFileLine(file, i);
    } else if (line.size() > 19 && Column(line, 1, 15) == "Baseline vector") {
      i = ReadQFileBlock(file, i, q);
    }
  }
}

}  // namespace vemo::baseline
