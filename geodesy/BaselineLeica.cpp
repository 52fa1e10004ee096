// Leica exports (type 2) and the South software's texts (type 11), which take the same
// "@" records or the data-exchange layout.
#include "geodesy/BaselineImport.h"

namespace vemo::baseline {

void ReadLgoRecords(CImportFile& file, const ElementOrder& order) {
  CBaselineRecord r;
  CReadNumber s0;
  for (size_t i = 0; i < file.size(); ++i) {
    std::string_view line = file.line(i);
    if (line.size() < 2 || line[0] != '@') continue;
    const char tag = line[1];
    if (tag == '#' || tag == '+' || tag == '-') {
      // The first word is the tag and the station name.
      CReadWord word;
      CReadNumber v[3];
      int n = Scan(line, "%s %lf %lf %lf", {&word, &v[0], &v[1], &v[2]});
      if (n < 1) continue;
      const std::string name = NormalizeName(std::string_view(word.value).substr(2));
      if (tag == '-') {
        r.to.Set(name);
        for (int a = 0; a < 3; ++a)
          if (v[a].read) r.d[a] = v[a];
        continue;
      }
      if (tag == '+') r.from.Set(name);
      for (int a = 0; a < 3; ++a)
        if (v[a].read) file.reference().Offer(name, a, v[a].value);
    } else if (tag == '=') {
      std::string word;
      CReadNumber* e = r.e;
      Scan(line, "%s %lf %lf %lf %lf %lf %lf %lf", {&word, &s0, &e[0], &e[1], &e[2], &e[3], &e[4], &e[5]});
      file.Write(i, r.Complete() && s0.read, r.Covariance(order, CofactorsToCm2(s0.value, file.k())),
                 SyncFormat::Long);
    }
  }
}

void ReadLeicaFile(CImportFile& file) { ReadLgoRecords(file, kUpperByRows); }

void ReadSouthFile(CImportFile& file) {
  const size_t first = FirstLineOf(file, 2);
  const std::string marker = first < file.size() ? NormalizeName(file.line(first)) : std::string();
  if (marker.find("@%UNIT:") != std::string::npos)
    ReadLgoRecords(file, kLowerByRows);
  else if (marker.find("[GENERAL]") != std::string::npos)
    ReadExchangeRecords(file, kLowerByRows);
}

}  // namespace vemo::baseline
