// Ashtech exports (type 1): the o-files of versions 3.1 and 5.2.00, whose fixed double
// difference solutions are blocks of a few labelled lines, and the program's own solution
// list. Every line is read upper-cased.
#include "geodesy/BaselineImport.h"

namespace vemo::baseline {
namespace {

void ReadSolutionList(CImportFile& file) {
  for (size_t i = 0; i < file.size(); ++i) {
    CBaselineRecord r;
    CReadNumber* e = r.e;
    if (Scan(UpperGbk(file.line(i)), "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf",
             {&r.from, &r.to, &r.d[0], &r.d[1], &r.d[2], &e[0], &e[1], &e[2], &e[3], &e[4], &e[5]}) != 11)
      continue;
    SetName(r.from, r.from.value);
    SetName(r.to, r.to.value);
    file.Write(i, true, r.Sigmas(kMetresToCm, 1.0, file.k()), SyncFormat::Long);
  }
}

// A station name of the names line without its first and last character ("[A001]").
void SetBracketedName(CReadWord& field, const std::vector<std::string>& words, size_t index) {
  if (index >= words.size()) return;
  const std::string& w = words[index];
  SetName(field, w.size() >= 2 ? std::string_view(w).substr(1, w.size() - 2) : std::string_view());
}

void ReadSolutions(CImportFile& file, bool version31) {
  CBaselineRecord r;
  bool inBlock = false;
  std::string word;
  auto upper = [&](size_t i) { return UpperGbk(TrimLeft(file.line(i))); };
  for (size_t i = 0; i < file.size(); ++i) {
    const std::string line = upper(i);
    if (StartsWith(line, "THE FIXED DOUBLE DIFFERENCE SOLUTION")) {
      inBlock = true;
    } else if (!inBlock) {
      continue;
    } else if (StartsWith(line, "BASELINE VECTOR:")) {
      Scan(line, "%s %s %lf %lf %lf", {&word, &word, &r.d[0], &r.d[1], &r.d[2]});
      file.Write(i, r.Complete(), r.Sigmas(kMetresToCm, 1.0, file.k()), SyncFormat::Long);
      inBlock = false;
    } else if (StartsWith(line, "SIGMA")) {
      // This line and the next two: sigma X, Y, Z.
      for (int a = 0; a < 3; ++a) {
        if (version31)
          Scan(upper(i + a), "%s %s %s %lf", {&word, &word, &word, &r.e[a]});
        else
          Scan(upper(i + a), "%s %s %lf %s", {&word, &word, &r.e[a], &word});
      }
      i += 2;
    } else if (StartsWith(line, "STATION")) {
      auto w = Words(upper(++i));
      SetBracketedName(r.from, w, version31 ? 0 : 1);
      SetBracketedName(r.to, w, version31 ? 1 : 3);
    } else if (StartsWith(line, "Y")) {
      Scan(line, "Y %lf", {&r.e[3]});
    } else if (StartsWith(line, "Z")) {
      Scan(line, "Z %lf Z %lf", {&r.e[4], &r.e[5]});
    }
  }
}

}  // namespace

void ReadAshtechFile(CImportFile& file) {
  const std::string first = file.size() ? NormalizeName(file.line(0)) : std::string();
  if (first.find("VEMOGPS FOR SOLUTION") != std::string::npos)
    ReadSolutionList(file);
  else
    ReadSolutions(file, first.find("VERSION: 3.1") != std::string::npos);
}

}  // namespace vemo::baseline
