// The exports whose covariance is an upper triangle over three labelled rows in m²: Sokkia
// (type 3), Lip (type 5, with the station coordinates for the reference station) and Novatel
// (type 9).
#include "geodesy/BaselineImport.h"

namespace vemo::baseline {
namespace {

// "Variance covariance matrix" at line i: one line skipped, the three rows, the baseline
// written at the last row. Returns the index of the last row.
size_t ReadCovarianceRows(CImportFile& file, size_t i, CBaselineRecord& r) {
  ReadUpperRows(file, i + 2, r.e);
  i += 4;
  if (i < file.size()) file.Write(i, r.Complete(), r.Covariance(kUpperByRows, SquareMetresToCm2(file.k())), SyncFormat::Long);
  return i;
}

}  // namespace

void ReadSokkiaFile(CImportFile& file) {
  CBaselineRecord r;
  bool on = false;
  std::string word;
  for (size_t i = 0; i < file.size(); ++i) {
    const std::string line = Trim(file.line(i));
    if (!on) {
      on = line == "Fixed double difference solution";
    } else if (StartsWith(line, "Sta. ID")) {
      SetStationWords(r, line, 3);
    } else if (StartsWith(line, "WGS84_X")) {
      // This line and the next two: the components X, Y, Z as their seventh word.
      for (int a = 0; a < 3; ++a)
        Scan(file.line(i + a), "%s %s %s %s %s %s %lf %s", {&word, &word, &word, &word, &word, &word, &r.d[a], &word});
      i += 2;
    } else if (StartsWith(line, "Variance covariance matrix")) {
      i = ReadCovarianceRows(file, i, r);
    }
  }
}

void ReadLipFile(CImportFile& file) {
  // The records of a baseline, in the order in which they are looked for.
  enum Step { kClosed, kStations, kCoordinates, kCovariance } step = kClosed;
  CBaselineRecord r;
  std::string word;
  for (size_t i = 0; i < file.size(); ++i) {
    const std::string line = TrimLeft(file.line(i));
    if (StartsWith(line, "Fixed double difference solution")) {
      step = kStations;
    } else if (step == kStations && StartsWith(line, "Sta. name")) {
      SetStationWords(r, line, 3);
      step = kCoordinates;
    } else if (step == kCoordinates && StartsWith(line, "WGS84_X")) {
      // This line and the next two: from-station coordinate, to-station coordinate and
      // component of X, Y, Z.
      for (int a = 0; a < 3; ++a) {
        CReadNumber fromXyz, toXyz;
        Scan(TrimLeft(file.line(i + a)), "%s %lf %s %lf %s %s %lf %s",
             {&word, &fromXyz, &word, &toXyz, &word, &word, &r.d[a], &word});
        if (fromXyz.read && r.from.read) file.reference().Offer(r.from.value, a, fromXyz.value);
        if (toXyz.read && r.to.read) file.reference().Offer(r.to.value, a, toXyz.value);
      }
      i += 2;
      step = kCovariance;
    } else if (step == kCovariance && StartsWith(line, "Variance covariance matrix")) {
      i = ReadCovarianceRows(file, i, r);
      step = kClosed;
    }
  }
}

void ReadNovatelFile(CImportFile& file) {
  CBaselineRecord r;
  std::string word;
  for (size_t i = 1; i < file.size(); ++i) {  // the first line is skipped
    if (!StartsWith(file.line(i), " DXYZ")) continue;
    CReadWord from, to;
    Scan(file.line(i), "%s %s %s %lf %lf %lf", {&word, &from, &to, &r.d[0], &r.d[1], &r.d[2]});
    if (from.read) SetName(r.from, from.value);
    if (to.read) SetName(r.to, to.value);
    i = ReadCovarianceRows(file, i, r);
  }
}

}  // namespace vemo::baseline
