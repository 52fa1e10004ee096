#include "adjust/ReportSections.h"

#include "adjust/NormalEquations.h"

#include <cmath>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "project/AppState.h"

namespace vemo {

void WriteSectionOpening(CReportFile& f, const std::string& dash, const std::string& title,
                         const std::string& columns) {
  f.Write(dash);
  f.Write(title);
  f.Write(dash);
  f.Write(columns);
  f.Write(dash);
}

void WriteSummaryHeader(CReportFile& f, const CSummaryHeader& h) {
  f.Write(h.dash);
  f.Write(h.title);
  f.Printf(T(u8"              多余观测数=%10d\n"), h.redundancy);
  f.Printf(T(u8"                已知点数=%10d\n"), h.knownPoints);
  f.Printf(T(u8"                  总点数=%10d\n"), h.totalPoints);
  for (const std::string& line : h.countLines) f.Write(line);
  if (h.withCentralMeridian) f.Printf(T(u8"              中央子午线=%15.9lf(dms)\n"), h.centralMeridianDms);
  f.Printf(h.axisFormat, h.a);
  f.Printf(T(u8"            椭球扁率分母=%15.9lf\n"), h.invF);
  f.Printf("                     PVV=%14.3lf(cm^2)\n", h.pvvCm2);
  f.Printf("                      M0=%14.3f(cm)\n", h.m0Cm);
  for (const std::string& line : h.trailerLines) f.Write(line);
}

CSummaryHeader ProjectSummaryHeader(const std::string& dash, const char* titleFormat, int redundancy,
                                    int knownPoints, int totalPoints, double pvvCm2, double m0Cm) {
  const CGPSConfiguration& c = Project().configuration;
  CSummaryHeader h;
  h.dash = dash;
  h.title = Format(titleFormat, Project().projectName.c_str());
  h.redundancy = redundancy, h.knownPoints = knownPoints, h.totalPoints = totalPoints;
  h.centralMeridianDms = c.m_CentralMeridian;
  h.axisFormat = T(u8"                椭球长轴=%15.3lf(m)\n");
  h.a = c.m_CurrentCoorsSystem.m_a, h.invF = c.m_CurrentCoorsSystem.m_InvF;
  h.pvvCm2 = pvvCm2, h.m0Cm = m0Cm;
  return h;
}

// The loops over the points of a large network take long enough that they let the window
// repaint and see a click as they go (GetWindowMessage; the desktop dispatches at most every
// 15 ms, the command line not at all).
CWeakestPoint WriteAdjustedCoordinates(
    CReportFile& f, const CAdjustmentSolution& solution, const CReportPoints& points, const CPointTableFormats& formats,
    const std::function<void(int point, const std::vector<double>& precisionsCm)>& row) {
  CWeakestPoint weakest;
  const int dimension = static_cast<int>(points.coordinates.size());
  if (dimension < 2 || dimension > 3) return weakest;  // plane and space networks only
  // Each row is one formatted write: the whole row's format, made once.
  std::string known = "%4d %16s", unknown;
  for (int c = 0; c < dimension; ++c) known += formats.coordinate;
  unknown = known;
  for (int c = 0; c <= dimension; ++c) unknown += formats.precision;
  known += "\n", unknown += "\n";
  const std::vector<double> none;
  std::vector<double> m(static_cast<size_t>(dimension) + 1);
  for (int i = 0; i < solution.layout.pointCount; ++i) {
    GetWindowMessage();
    const size_t p = static_cast<size_t>(i);
    const char* name = (*points.names)[p].c_str();
    const double x = (*points.coordinates[0])[p], y = (*points.coordinates[1])[p];
    const double z = dimension == 3 ? (*points.coordinates[2])[p] : 0.0;
    if (solution.layout.IsKnown(i)) {
      if (dimension == 3)
        f.Printf(known.c_str(), i + 1, name, x, y, z);
      else
        f.Printf(known.c_str(), i + 1, name, x, y);
      if (row) row(i, none);
      continue;
    }
    const int u = solution.UnknownOf(i);
    const int index[3] = {u, u + 1, u + 2};
    double Q[9];
    solution.normal->Cofactors(index, dimension, Q);
    double sum = 0.0;
    for (int c = 0; c < dimension; ++c) {
      m[static_cast<size_t>(c)] = solution.m0 * std::sqrt(Q[c * dimension + c]) * 100.0;
      sum += m[static_cast<size_t>(c)] * m[static_cast<size_t>(c)];
    }
    m[static_cast<size_t>(dimension)] = std::sqrt(sum);
    if (dimension == 3)
      f.Printf(unknown.c_str(), i + 1, name, x, y, z, m[0], m[1], m[2], m[3]);
    else
      f.Printf(unknown.c_str(), i + 1, name, x, y, m[0], m[1], m[2]);
    if (row) row(i, m);
    if (ClearlyGreater(m.back(), weakest.point < 0 ? 0.0 : weakest.precisionsCm.back())) {
      weakest.point = i;
      weakest.precisionsCm = m;
    }
  }
  return weakest;
}

void WriteWeakestPoint(CReportFile& f, const CWeakestPoint& weakest, const std::vector<std::string>& names,
                       const char* precisionFormat) {
  if (weakest.point < 0) return;  // no point qualifies when every point is known or exact
  f.Printf("%4d %16s", weakest.point + 1, names[static_cast<size_t>(weakest.point)].c_str());
  for (double value : weakest.precisionsCm) f.Printf(precisionFormat, value);
  f.Write("\n");
}

CReportEllipse ReportEllipse(const CEllipse& ellipse, double metresToCm) {
  return {ellipse.major * metresToCm, ellipse.minor * metresToCm, RadianToDms(ellipse.direction, 4, 180.0)};
}

CRelativePrecision RelativePrecision(double S, double MSCm) {
  CRelativePrecision p{S, MSCm, 0.0, 0.0};
  if (S > 0.0) {
    p.T = 1000.0 * std::floor(S / MSCm / 10.0 + 0.5);  // an error of 0 gives an infinite T
    p.ppm = MSCm / S * 10000.0;
  }
  return p;
}

}  // namespace vemo
