// The exports with one baseline a line: the system's own format (type 6) and the Javad table
// (type 7).
#include "geodesy/BaselineImport.h"

namespace vemo::baseline {

void ReadVemogpsFile(CImportFile& file) {
  for (size_t i = 0; i < file.size(); ++i) {
    std::string_view line = file.line(i);
    CSyncBaseline b;
    if (line.size() <= 9 ||
        Scan(line, "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf",
             {&b.from, &b.to, &b.dx, &b.dy, &b.dz, &b.xx, &b.yy, &b.zz, &b.xy, &b.xz, &b.yz}) != 11)
      continue;
    // Already in the output order and unit: copied as it stands.
    b.from = NormalizeName(b.from), b.to = NormalizeName(b.to);
    file.Write(i, true, b, SyncFormat::Long);
  }
}

void ReadJavadFile(CImportFile& file) {
  enum Step { kHeader, kSkip, kRows } step = kHeader;
  for (size_t i = 0; i < file.size(); ++i) {
    const std::string line = Trim(file.line(i));
    if (step == kHeader) {
      if (EqualNoCase(line.substr(0, 4), "from") || StartsWith(line, T(u8"从 - 到"))) step = kSkip;
      continue;
    }
    if (step == kSkip) {
      step = kRows;
      continue;
    }
    if (StartsWith(line, "-----")) {
      step = kHeader;
      continue;
    }
    if (line.empty()) continue;
    // Number, "FROM-TO", dX, dY, dZ, a value not used, sigma X, Y, Z (mm), rho XY, XZ, YZ (%).
    CBaselineRecord r;
    std::string number, pair;
    double unused;
    CReadNumber* e = r.e;
    bool scanned = Scan(line, "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf",
                        {&number, &pair, &r.d[0], &r.d[1], &r.d[2], &unused, &e[0], &e[1], &e[2], &e[3], &e[4],
                         &e[5]}) == 12;
    const size_t hyphen = pair.find('-');
    scanned = scanned && hyphen != std::string::npos;
    if (scanned) {
      SetName(r.from, std::string_view(pair).substr(0, hyphen));
      SetName(r.to, std::string_view(pair).substr(hyphen + 1));
    }
    file.Write(i, scanned, r.Sigmas(kMillimetresToCm, kPercent, file.k()), SyncFormat::Long);
  }
}

}  // namespace vemo::baseline
