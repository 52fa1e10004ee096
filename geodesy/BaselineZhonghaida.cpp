// Zhonghaida (type 10) and Huace (type 12) exports: station lines followed by blocks of the
// integer solution, whose covariance is already in cm²; Zhonghaida also writes one-line
// "Vector=1" records in m².
#include "geodesy/BaselineImport.h"

namespace vemo::baseline {
namespace {

// "Vector=1:...": colons read as blanks, 13 words: 3 from, 4 to, 5-7 components, 8-13 the
// upper triangle in m², word 11 (YY) without its first character.
void ReadVectorRecord(CImportFile& file, size_t i) {
  std::string fields(file.line(i));
  for (char& c : fields)
    if (c == ':') c = ' ';
  auto w = Words(fields);
  CBaselineRecord r;
  if (w.size() >= 13) {
    SetName(r.from, w[2]);
    SetName(r.to, w[3]);
    double v;
    for (int a = 0; a < 3; ++a)
      if (ReadNumber(w[4 + a], v)) r.d[a].Set(v);
    for (int j = 0; j < 6; ++j) {
      std::string_view word = w[7 + j];
      if (j == 3) word = word.empty() ? word : word.substr(1);
      if (ReadNumber(word, v)) r.e[j].Set(v);
    }
  }
  file.Write(i, r.Complete(), r.Covariance(kUpperByRows, SquareMetresToCm2(file.k())), SyncFormat::Long);
}

}  // namespace

void ReadZhonghaidaFile(CImportFile& file) {
  CBaselineRecord r;
  for (size_t i = 1; i < file.size(); ++i) {  // the first line is skipped
    std::string_view line = file.line(i);
    if (StartsWith(line, "Vector=1"))
      ReadVectorRecord(file, i);
    else if (ContainsGbk(line, T(u8"站　名：")))
      SetStationWords(r, line, 2);
    else if (ContainsGbk(line, T(u8"双差整数解")))
      i = ReadIntegerSolutionBlock(file, i, r);
  }
}

void ReadHuaceFile(CImportFile& file) {
  CBaselineRecord r;
  for (size_t i = 1; i < file.size(); ++i) {  // the first line is skipped
    std::string_view line = file.line(i);
    if (line.find("Station:") != std::string_view::npos)
      SetStationWords(r, line, 2);
    else if (ContainsGbk(line, T(u8"整数解")))
      i = ReadIntegerSolutionBlock(file, i, r);
  }
}

}  // namespace vemo::baseline
