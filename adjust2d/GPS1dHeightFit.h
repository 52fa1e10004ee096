// GPS height fitting: the height anomaly zeta = H - h (ellipsoidal less normal height) modelled
// as a low-order polynomial of latitude and longitude, fitted by least squares to the points
// whose normal height is known, then subtracted from every GPS point's ellipsoidal height.
//
// The fit runs on latitudes and longitudes reduced to their means (the loader's B - B̄, L - L̄),
// where the design is well scaled; the coefficients are then rewritten for absolute B and L in
// radians, which is the form printed and stored, so that a user can evaluate them anywhere.
//
// Units: heights, anomalies and PVV in m (PVV printed in cm²), M0 in cm, B and L in radians.
#pragma once

#include <string>
#include <vector>

#include "adjust/ReportFile.h"
#include "project/HeightModelDlg.h"
#include "project/data/ReadGPS1dHeight.h"

namespace vemo {
class CGeoidModel;
}

class CGPS1dHeightFit : public CReadGPS1dHeight {
 public:
  // Number of model coefficients of a dialog index: 3 (plane), 6 (surface), 1 (constant);
  // 0 for an index outside the dialog.
  static int CoefficientCount(int model);

  // After Load: refuses a height fit that has nothing to fit to. A geodetic coordinate file
  // without points is an error; a known height whose point is not among the geodetic
  // coordinates is left out of the fit (one message names every such line). Returns 1, or 0
  // after the message.
  int SelectKnownPoints();
  // Sets u and the packed size from the model dialog's index. Returns 0 after
  // "已知高程点太少,请选其他拟合模型" when there are fewer known heights than coefficients.
  int SetModel(int model);

  // Geoid-assisted fitting: the model's undulation N at every point is removed from the
  // ellipsoidal heights before the fit and restored after it, so that the polynomial takes up
  // only what the geoid model misses (and the offset and tilt between its datum and the
  // heights'). Call after Load. Returns 0 after a message when a point lies outside the grid
  // or the grid cannot be read.
  int UseGeoid(const vemo::CGeoidModel& geoid);

  // "GPS高程拟合": fits, writes the report "<project>.GPS1dResult" and the height file
  // "<project>.GPS1dH". Returns 1, or 0 after the message of the failure.
  int FitHeights();
  // "一维转换参数": fits, writes the report with 8-character name columns and appends the
  // coefficients to "Parameter.1d" in the project directory. Returns 1, or 0 after the message.
  int FitParameters();

  // The fitted anomaly (m) of the model at absolute B, L (radians), once fitted.
  double Anomaly(double B, double L) const;

  // Own fields.
  int m_u = 0;                 // number of coefficients
  int m_Redundancy = 0;        // r = k - u
  int m_PackedSize = 0;        // u (u + 1) / 2
  double m_PVVm2 = 0.0;          // sum of squared residuals, m²
  double m_M0cm = 0.0;           // standard deviation of unit weight, cm
  std::vector<double> m_N, m_W, m_x;  // normal matrix (packed; its inverse after the fit), N x + W = 0, coefficients
  vemo::CReportFile m_ResultFile;
  vemo::CReportFile m_ParameterFile;  // "Parameter.1d", appended to by FitParameters
  std::vector<int> m_KnownPoint;  // index of each known height's point among the geodetic coordinates
  std::vector<double> m_Zeta;     // fitted anomaly of every point, m (the undulation included)
  std::string m_GeoidName, m_GeoidPath;  // GBK; empty without a geoid model
  std::vector<double> m_Undulation;      // N of every point, m; empty without a geoid model

 private:
  // Normal equations, solution, precision and the rewriting for absolute coordinates; B and
  // L get their means back. Returns 0 after a message when the known points cannot determine
  // the model (a singular normal matrix) or the results are not finite (CheckFinite).
  int Fit();
  // After the fit: 0 after a message naming the input whose height is largest (of the known
  // heights and the ellipsoidal heights) when a coefficient, an anomaly or PVV is not finite.
  int CheckFinite() const;
  int CreateReport();
  // The report up to the model block; parameters selects the wording of "一维转换参数".
  void WriteHeader(bool parameters);
  // The three tables and the closing line; nameWidth is 16, or 8 for "一维转换参数".
  void WriteTables(bool parameters);
  int WriteHeightFile();
  // Closes the report (and the parameter file when open); 0 after the message of a write
  // that failed.
  int CloseFiles();
  // H - N before the fit; H and the fitted anomalies get N back after it.
  void ReduceByGeoid();
  void RestoreByGeoid();
  // The model and the known points' residuals before and after the fit.
  void WriteGeoidBlock(bool parameters);
  // Design row of the model at (B, L) (centred or absolute).
  void DesignRow(double B, double L, double* a) const;
};
