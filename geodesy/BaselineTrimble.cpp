// Trimble exports (type 0): the survey report of the post-processing software, the
// data-exchange text, and the program's own TGO list.
#include "geodesy/BaselineImport.h"

namespace vemo::baseline {
namespace {

// "%s %s" and nine numbers: the one-line records of the own list and the exchange text.
bool ScanVectorLine(std::string_view line, CBaselineRecord& r) {
  CBaselineRecord scanned;
  CReadNumber* e = scanned.e;
  if (Scan(line, "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf",
           {&scanned.from, &scanned.to, &scanned.d[0], &scanned.d[1], &scanned.d[2], &e[0], &e[1], &e[2], &e[3],
            &e[4], &e[5]}) != 11)
    return false;
  r = scanned;
  return true;
}

void ReadOwnList(CImportFile& file) {
  for (size_t i = 0; i < file.size(); ++i) {
    CBaselineRecord r;
    if (file.line(i).size() >= 2 && ScanVectorLine(file.line(i), r))  // names as they stand
      file.Write(i, true, r.Covariance(kOutputOrder, SquareMetresToCm2(file.k())), SyncFormat::Long);
  }
}

// The survey report: each baseline is a "From Station:" and a "To Station:" line, its
// components and its a-posteriori covariance (lower triangle by rows over three lines).
void ReadSurveyReport(CImportFile& file) {
  CBaselineRecord r;
  std::string word;
  for (size_t i = 0; i < file.size(); ++i) {
    std::string_view line = file.line(i);
    if (line.find("From Station:") != std::string_view::npos) {
      auto w = Words(line);
      if (w.size() >= 3) SetName(r.from, w[2]);
    } else if (line.find("To Station:") != std::string_view::npos) {
      auto w = Words(line);
      if (w.size() >= 3) SetName(r.to, w[2]);
    } else if (line.find("Baseline Components (meters):") != std::string_view::npos) {
      Scan(line, "%s %s %s %s %lf %s %lf %s %lf", {&word, &word, &word, &word, &r.d[0], &word, &r.d[1], &word, &r.d[2]});
    } else if (line.find("Aposteriori Covariance Matrix:") != std::string_view::npos) {
      Scan(line, "%s %s %s %lf", {&word, &word, &word, &r.e[0]});
      Scan(file.line(i + 1), "%lf %lf", {&r.e[1], &r.e[2]});
      Scan(file.line(i + 2), "%lf %lf %lf", {&r.e[3], &r.e[4], &r.e[5]});
      i += 2;
      if (i < file.size())
        file.Write(i, r.Complete(), r.Covariance(kLowerByRows, SquareMetresToCm2(file.k())), SyncFormat::Long);
    }
  }
}

}  // namespace

void ReadExchangeRecords(CImportFile& file, const ElementOrder& order) {
  static constexpr std::string_view kTag = "Vector=1:?:";
  for (size_t i = 0; i < file.size(); ++i) {
    if (!StartsWith(file.line(i), kTag)) continue;
    std::string fields(file.line(i).substr(kTag.size()));
    for (char& c : fields)
      if (c == ':') c = ' ';
    CBaselineRecord r;
    bool scanned = ScanVectorLine(fields, r);  // names as they stand
    file.Write(i, scanned, r.Covariance(order, SquareMetresToCm2(file.k())), SyncFormat::Short);
  }
}

void ReadTrimbleFile(CImportFile& file) {
  const size_t first = FirstLineOf(file, 2);
  // The data-exchange software writes its section header "[General]"; the letter case of the
  // markers is not significant.
  const std::string marker = first < file.size() ? UpperGbk(file.line(first)) : std::string();
  if (marker.find("VEMOGPS FOR TGO") != std::string::npos)
    ReadOwnList(file);
  else if (marker.find("[GENERAL]") != std::string::npos)
    ReadExchangeRecords(file, kUpperByRows);
  else
    ReadSurveyReport(file);
}

}  // namespace vemo::baseline
