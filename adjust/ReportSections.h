// The sections that the adjustment reports share, each written from the solution and the
// network's points, with the engine's own dash lines, titles and number formats given as data:
// every engine keeps its report byte for byte and no engine writes a section of its own that
// another already writes. Texts are GBK; field widths count GBK bytes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "adjust/ReportFile.h"
#include "adjust/Solution.h"

namespace vemo {

// The opening of a table: dash line, title, dash line, column heads (one or more lines), dash
// line. The title and the heads are GBK and end with their newline.
void WriteSectionOpening(CReportFile& f, const std::string& dash, const std::string& title,
                         const std::string& columns);

// The summary block at the top of a result file: the title, the redundancy and the counts,
// the engine's own lines (observation counts, transformation), the central meridian and the
// ellipsoid, PVV and M0 (cm), and the engine's lines that follow them.
struct CSummaryHeader {
  std::string dash;
  std::string title;              // GBK, with its newline
  int redundancy = 0, knownPoints = 0, totalPoints = 0;
  std::vector<std::string> countLines;  // GBK lines after the point counts
  bool withCentralMeridian = true;
  double centralMeridianDms = 0;
  const char* axisFormat = nullptr;     // GBK printf format of the semi-axis line
  double a = 0, invF = 0;
  double pvvCm2 = 0, m0Cm = 0;
  std::vector<std::string> trailerLines;  // GBK lines after M0
};
void WriteSummaryHeader(CReportFile& f, const CSummaryHeader& header);
// The summary header of the current project: its name in the title (titleFormat is GBK with one
// %s), its central meridian and ellipsoid, the semi-axis to the millimetre; the engine adds its
// own lines and changes what differs.
CSummaryHeader ProjectSummaryHeader(const std::string& dash, const char* titleFormat, int redundancy,
                                    int knownPoints, int totalPoints, double pvvCm2, double m0Cm);

// The points of a network as the tables see them: names (GBK) and coordinates by point index.
struct CReportPoints {
  const std::vector<std::string>* names = nullptr;
  std::vector<const std::vector<double>*> coordinates;  // X, Y(, Z), m
};

// The formats of a point table: each row is "%4d %16s" (number, name), a coordinate format per
// coordinate, a precision format per standard deviation (cm), then a newline.
struct CPointTableFormats {
  const char* coordinate = " %13.4lf";
  const char* precision = " %6.2f";
};

// The weakest point: the largest position error (the last precision of its row).
struct CWeakestPoint {
  int point = -1;  // -1 when no point has a precision above 0
  std::vector<double> precisionsCm;
};

// The rows of the adjusted coordinates: known points with their coordinates only, the others
// with the standard deviation of each coordinate and the position error, in cm. row (when
// given) sees each point with its precisions, e.g. to write a coordinate file alongside.
// Returns the weakest point.
CWeakestPoint WriteAdjustedCoordinates(
    CReportFile& f, const CAdjustmentSolution& solution, const CReportPoints& points, const CPointTableFormats& formats,
    const std::function<void(int point, const std::vector<double>& precisionsCm)>& row = nullptr);
// The row of the weakest point, precision format per value; nothing when there is none.
void WriteWeakestPoint(CReportFile& f, const CWeakestPoint& weakest, const std::vector<std::string>& names,
                       const char* precisionFormat);

// The standard error ellipse of a plane point in the report's units: E, F in cm and the
// direction T in D.MMSS.
struct CReportEllipse {
  double E = 0, F = 0, T = 0;
};
CReportEllipse ReportEllipse(const CEllipse& ellipse, double metresToCm = 100.0);

// A relative precision 1 : T of a side from its length S (m) and standard error MS (cm): T to
// the nearest thousand, and ppm.
struct CRelativePrecision {
  double S = 0, MS = 0, T = 0, ppm = 0;
};
CRelativePrecision RelativePrecision(double S, double MSCm);

}  // namespace vemo
