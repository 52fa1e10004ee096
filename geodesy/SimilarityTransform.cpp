// The plane (3, 4, 6 parameters) and spatial (7 parameters) similarity transformations of
// GPSTransfer: least squares on coordinates reduced to the centroid of the common points,
// then the transformed coordinates are corrected by inverse-distance interpolation of the
// residuals at the common points (collocation).
#include <cmath>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

using vemo::Format;
using vemo::T;
using vemo::UiText;

namespace {

// Seconds of arc in one radian.
constexpr double kSecondsPerRadian = 206264.80624709636;

constexpr const char* kDashes =
    "-------------------------------------------------------------------------------\n";

void Warn(const std::string& textGbk) {
  vemo::ShowMessage(textGbk, ApplicationTitle(), vemo::MessageIcon::Warning);
}

}  // namespace

void GPSTransfer::Write(const std::string& text) { m_OutputStream << text; }

void GPSTransfer::WarnUndetermined() {
  Warn(UiText(u8"公共点的分布不能确定转换参数(点位重合或共线)，法方程奇异，无法计算!"));
}

// The common points get their means back once the parameters are known.
void GPSTransfer::RestoreCommonPoints() {
  for (size_t i = 0; i < static_cast<size_t>(m_CommonCount); ++i) {
    m_x1[i] += m_MeanX1;
    m_y1[i] += m_MeanY1;
    m_z1[i] += m_MeanZ1;
    m_x2[i] += m_MeanX2;
    m_y2[i] += m_MeanY2;
    m_z2[i] += m_MeanZ2;
  }
}

// The first block of the plane reports: the common points in both systems, then the header
// of the parameters.
void GPSTransfer::WritePlaneCommonPoints() {
  Write(kDashes);
  Write(T(u8"                                   公共点坐标\n"));
  Write(kDashes);
  Write(T(u8"            点名           旧坐标(X,Y)                     新坐标(X,Y)\n"));
  Write(kDashes);
  for (size_t i = 0; i < static_cast<size_t>(m_CommonCount); ++i)
    Write(Format("%16s %14.4lf %14.4lf | %14.4lf %14.4lf\n", m_PointNames[i].c_str(), m_x1[i], m_y1[i], m_x2[i],
                 m_y2[i]));
  Write(kDashes);
  Write(T(u8"       转换参数\n"));
  Write(kDashes);
}

int GPSTransfer::ReadXY() { return ReadPoints(2); }
int GPSTransfer::ReadXYZ() { return ReadPoints(3); }

// Reads the common points ("name x1 y1 x2 y2", spatial with z) and the points to transform
// ("name x1 y1", spatial with z1), then reduces the common points to their centroid. The
// output file is opened only when the report is written, so a run that cannot determine its
// parameters leaves the output untouched.
int GPSTransfer::ReadPoints(int dimension) {
  if (!GetDataFile(m_DataFile.empty() ? nullptr : m_DataFile.c_str())) return 0;
  m_OutputFile = GlobalDataDir() + GlobalDataName() + (dimension == 2 ? ".XYXY_O" : ".XYZXYZ_O");
  m_OutputFile = vemo::ResolvePathNoCase(m_OutputFile);
  if (!CheckOutputIsNotInput(m_DataFile, m_OutputFile, ApplicationTitle())) return 0;

  auto text = vemo::ReadWholeFile(m_DataFile);
  if (!text) {
    OpenFileError(m_DataFile);
    return 0;
  }
  m_InputStream.clear();
  m_InputStream.str(std::move(*text));
  m_CommonCount = m_PointCount = 0;
  for (auto* v : {&m_x1, &m_y1, &m_z1, &m_x2, &m_y2, &m_z2}) v->clear();
  m_PointNames.clear();

  const int commonFields = 1 + 2 * dimension, pointFields = 1 + dimension;
  int lineNumber = 0;
  while (std::getline(m_InputStream, m_Line)) {
    ++lineNumber;
    if (!m_Line.empty() && m_Line.back() == '\r') m_Line.pop_back();
    if (IsSpaceString(m_Line.c_str())) continue;
    int fields = ScanPointLine(m_Line, m_ScanName, m_ScanValue, 2 * dimension);
    if (fields != commonFields && fields != pointFields) continue;
    if (m_ScanName.size() > kTransformNameLimit) {
      Warn(Format(UiText(u8"第%d行的点名%s超过%d个字符，该行未参与计算!"), lineNumber, m_ScanName.c_str(),
                  static_cast<int>(kTransformNameLimit)));
      continue;
    }
    // Coordinates beyond any on the Earth (zone prefixes included) would make the sums of
    // squares of the fit overflow into results that are no numbers.
    bool possible = true;
    for (int k = 0; k + 1 < fields; ++k) possible = possible && std::fabs(m_ScanValue[k]) <= kTransformCoordinateLimit;
    if (!possible) {
      Warn(Format(UiText(u8"第%d行的点%s的坐标超出范围，该行未参与计算!"), lineNumber, m_ScanName.c_str()));
      continue;
    }
    const double* v = m_ScanValue;
    if (fields == commonFields) {
      // A common point after a point to transform would take that point's place.
      if (m_PointCount > m_CommonCount) {
        Warn(Format(UiText(u8"第%d行的公共点%s位于待转换点之后，公共点必须全部排在待转换点之前!"), lineNumber,
                    m_ScanName.c_str()));
        m_InputStream.str({});
        return 0;
      }
      ++m_CommonCount;
    }
    m_PointNames.push_back(m_ScanName);
    m_x1.push_back(v[0]);
    m_y1.push_back(v[1]);
    m_z1.push_back(dimension == 3 ? v[2] : 0.0);
    bool common = fields == commonFields;
    m_x2.push_back(common ? v[dimension] : 0.0);
    m_y2.push_back(common ? v[dimension + 1] : 0.0);
    m_z2.push_back(common && dimension == 3 ? v[5] : 0.0);
    ++m_PointCount;
  }
  m_InputStream.str({});

  m_MeanX1 = m_MeanY1 = m_MeanZ1 = m_MeanX2 = m_MeanY2 = m_MeanZ2 = 0.0;
  const size_t n = static_cast<size_t>(m_CommonCount);
  for (size_t i = 0; i < n; ++i) {
    m_MeanX1 += m_x1[i];
    m_MeanY1 += m_y1[i];
    m_MeanZ1 += m_z1[i];
    m_MeanX2 += m_x2[i];
    m_MeanY2 += m_y2[i];
    m_MeanZ2 += m_z2[i];
  }
  if (n > 0) {
    for (double* mean : {&m_MeanX1, &m_MeanY1, &m_MeanZ1, &m_MeanX2, &m_MeanY2, &m_MeanZ2}) *mean /= double(n);
  }
  for (size_t i = 0; i < n; ++i) {
    m_x1[i] -= m_MeanX1;
    m_y1[i] -= m_MeanY1;
    m_z1[i] -= m_MeanZ1;
    m_x2[i] -= m_MeanX2;
    m_y2[i] -= m_MeanY2;
    m_z2[i] -= m_MeanZ2;
  }
  return 1;
}

void GPSTransfer::AddToNormalEquation() {
  for (int i = 0; i < m_UnknownCount; ++i) {
    const double ai = m_Coefficient[static_cast<size_t>(i)];
    for (int j = i; j < m_UnknownCount; ++j)
      m_N[static_cast<size_t>(j * (j + 1) / 2 + i)] += ai * m_p * m_Coefficient[static_cast<size_t>(j)];
    m_W[static_cast<size_t>(i)] += m_l * m_p * ai;
  }
}

int GPSTransfer::GetNormalEquation_xx() { return ::GetNormalEquation_xx(m_N, m_W, m_Unknown, m_UnknownCount); }

// Inverts the normal matrix and solves for the unknowns. The design inverts without any
// test; here a singular matrix (too few common points, coincident or collinear points) is
// reported instead of filling the report with non-finite parameters.
int GPSTransfer::SolveParameters(int minimumCommonPoints) {
  if (m_CommonCount < minimumCommonPoints) {
    Warn(Format(UiText(u8"公共点数目不足(%d个)，求解转换参数至少需要%d个公共点!"), m_CommonCount, minimumCommonPoints));
    return 0;
  }
  if (!IsWellConditioned(m_N, m_UnknownCount)) {
    WarnUndetermined();
    return 0;
  }
  std::vector<long double> inverse(m_N.begin(), m_N.end());
  MatrixInverse(inverse, m_UnknownCount);
  for (size_t i = 0; i < m_N.size(); ++i) m_N[i] = static_cast<double>(inverse[i]);
  GetNormalEquation_xx();
  for (double v : m_Unknown)
    if (!std::isfinite(v)) {
      WarnUndetermined();
      return 0;
    }
  return 1;
}

int GPSTransfer::OpenReport() {
  m_OutputStream.close();
  m_OutputStream.clear();
  if (!CheckOutputIsRegular(m_OutputFile, ApplicationTitle())) return 0;
  m_OutputStream.open(m_OutputFile, std::ios::binary | std::ios::app);
  if (!m_OutputStream) {
    OpenFileError(m_OutputFile);
    return 0;
  }
  return 1;
}

int GPSTransfer::CloseReport() {
  m_OutputStream.flush();
  bool ok = static_cast<bool>(m_OutputStream);
  m_OutputStream.close();
  if (!ok || m_OutputStream.fail()) {
    WriteFileError(m_OutputFile, ApplicationTitle());
    return 0;
  }
  vemo::Platform().OpenTextDocument(m_OutputFile);
  return 1;
}

// The observation equations v = a x + l (weight 1) of one coordinate of common point i, on
// centred coordinates, for the form with m_UnknownCount unknowns:
//   4: dx, dy, c, d                 x2 = dx + c x1 + d y1,  y2 = dy - d x1 + c y1
//   6: ax, ay, bx, cx, by, cy       x2 = ax + bx x1 + cx y1, y2 = ay + by x1 + cy y1
//   7: dX, dY, dZ, k, eX, eY, eZ    X2 = dX + k X1 + eZ Y1 - eY Z1, Y2 = dY + k Y1 - eZ X1 + eX Z1,
//                                   Z2 = dZ + k Z1 + eY X1 - eX Y1
void GPSTransfer::SetObservation(size_t i, int coordinate) {
  const double x1 = m_x1[i], y1 = m_y1[i], z1 = m_z1[i];
  m_p = 1.0;
  switch (m_UnknownCount) {
    case 4:
      if (coordinate == 0) m_Coefficient = {-1.0, 0.0, -x1, -y1};
      else m_Coefficient = {0.0, -1.0, -y1, x1};
      break;
    case 6:
      if (coordinate == 0) m_Coefficient = {-1.0, 0.0, -x1, -y1, 0.0, 0.0};
      else m_Coefficient = {0.0, -1.0, 0.0, 0.0, -x1, -y1};
      break;
    default:
      if (coordinate == 0) m_Coefficient = {-1.0, 0.0, 0.0, -x1, 0.0, z1, -y1};
      else if (coordinate == 1) m_Coefficient = {0.0, -1.0, 0.0, -y1, -z1, 0.0, x1};
      else m_Coefficient = {0.0, 0.0, -1.0, -z1, y1, -x1, 0.0};
      break;
  }
  m_l = coordinate == 0 ? m_x2[i] : coordinate == 1 ? m_y2[i] : m_z2[i];
}

int GPSTransfer::ObservedCoordinates() const { return m_UnknownCount == 7 ? 3 : 2; }

void GPSTransfer::FormNormalEquations(int unknownCount) {
  m_UnknownCount = unknownCount;
  m_PackedSize = m_UnknownCount * (m_UnknownCount + 1) / 2;
  m_N.assign(static_cast<size_t>(m_PackedSize), 0.0);
  m_Unknown.assign(static_cast<size_t>(m_UnknownCount), 0.0);
  m_W.assign(static_cast<size_t>(m_UnknownCount), 0.0);
  for (size_t i = 0; i < static_cast<size_t>(m_CommonCount); ++i)
    for (int k = 0; k < ObservedCoordinates(); ++k) {
      SetObservation(i, k);
      AddToNormalEquation();
    }
}

// [vv] summed from the residuals of the current unknowns. The shortcut [ll] + x'W gives the
// same value in exact arithmetic but loses it to cancellation when the fit is close: over a
// network of 10 km it leaves about 0.01 cm in M0 for a perfect fit.
double GPSTransfer::SumOfSquaredResiduals() {
  m_vv = 0.0;
  for (size_t i = 0; i < static_cast<size_t>(m_CommonCount); ++i)
    for (int k = 0; k < ObservedCoordinates(); ++k) {
      SetObservation(i, k);
      double v = m_l;
      for (size_t j = 0; j < m_Coefficient.size(); ++j) v += m_Coefficient[j] * m_Unknown[j];
      m_vv += v * v * m_p;
    }
  return m_vv;
}

// The end of the plane reports: M0, every point transformed with x' = ax + bx x1 + cx y1,
// y' = ay + by x1 + cy y1 (the result replaces its source coordinates), the collocation.
int GPSTransfer::FinishPlaneReport(double m0, double ax, double bx, double cx, double ay, double by, double cy) {
  Write(Format("    M0=%15.2lf(cm)\n", m0 * 100.0));
  Write(kDashes);
  Write(T(u8"            点名             旧坐标(X,Y)                  转换坐标(X,Y)\n"));
  Write(kDashes);
  for (size_t i = 0; i < static_cast<size_t>(m_PointCount); ++i) {
    const double x1 = m_x1[i], y1 = m_y1[i];
    m_TransformedX = ax + bx * x1 + cx * y1;
    m_TransformedY = ay + by * x1 + cy * y1;
    Write(Format("%16s %14.4lf %14.4lf | %14.4lf %14.4lf\n", m_PointNames[i].c_str(), x1, y1, m_TransformedX,
                 m_TransformedY));
    m_x1[i] = m_TransformedX;
    m_y1[i] = m_TransformedY;
  }
  OutCollocatedXY();
  return CloseReport();
}

int GPSTransfer::XYXY4() {
  if (!ReadXY()) return 0;
  FormNormalEquations(4);
  if (!SolveParameters(2)) return 0;
  const int f = 2 * m_CommonCount - m_ParameterCount;

  double& dx = m_Unknown[0];
  double& dy = m_Unknown[1];
  double& c = m_Unknown[2];
  double& d = m_Unknown[3];
  double K = std::sqrt(c * c + d * d);
  const double A = std::atan2(d, c);
  if (m_ParameterCount == 3) {  // rotation and shift only
    c /= K;
    d /= K;
    K = 1.0;
  }
  if (!(K > 0.0 && std::isfinite(c) && std::isfinite(d))) {  // every target at one place
    WarnUndetermined();
    return 0;
  }
  // Residuals of the model applied, so without the scale the 3-parameter form shows its misfit.
  const double m0 = f < 1 ? 1.0 : std::sqrt(SumOfSquaredResiduals() / f);
  dx = dx + m_MeanX2 - c * m_MeanX1 - d * m_MeanY1;
  dy = dy + m_MeanY2 + d * m_MeanX1 - c * m_MeanY1;
  RestoreCommonPoints();

  if (!OpenReport()) return 0;
  WritePlaneCommonPoints();
  Write(Format(T(u8"平移X0=%15.4lf(m)\n平移Y0=%15.4lf(m)\n尺度 K=%15.10lf(ppm)\n旋转 A=%15.10lf(dms)\n"), dx, dy,
               (K - 1.0) * 1e6, RadianToDms(A, 10)));
  // x' = dx + c x1 + d y1, y' = dy - d x1 + c y1
  return FinishPlaneReport(m0, dx, c, d, dy, -d, c);
}

int GPSTransfer::XYXY6() {
  if (!ReadXY()) return 0;
  FormNormalEquations(6);
  if (!SolveParameters(3)) return 0;
  const int f = 2 * m_CommonCount - 6;
  const double m0 = f < 1 ? 1.0 : std::sqrt(SumOfSquaredResiduals() / f);

  double& ax = m_Unknown[0];
  double& ay = m_Unknown[1];
  const double bx = m_Unknown[2], cx = m_Unknown[3], by = m_Unknown[4], cy = m_Unknown[5];
  const double scaleX = std::sqrt(bx * bx + by * by), scaleY = std::sqrt(cx * cx + cy * cy);
  const double rotationX = std::atan2(-by, bx), rotationY = std::atan2(cx, cy);
  ax = ax + m_MeanX2 - bx * m_MeanX1 - cx * m_MeanY1;
  ay = ay + m_MeanY2 - by * m_MeanX1 - cy * m_MeanY1;
  RestoreCommonPoints();

  if (!OpenReport()) return 0;
  WritePlaneCommonPoints();
  Write(Format(T(u8"平移X0=%15.4lf(m)\n平移Y0=%15.4lf(m)\n"), ax, ay));
  Write(Format(T(u8"旋转 X=%15.10lf(dms)\n旋转 Y=%15.10lf(dms)\n"), RadianToDms(rotationX, 10), RadianToDms(rotationY, 10)));
  Write(Format(T(u8"尺度 X=%15.10lf(ppm)\n尺度 Y=%15.10lf(ppm)\n"), (scaleX - 1.0) * 1e6, (scaleY - 1.0) * 1e6));
  Write(Format("ax=%15.4lf  bx=%15.12lf  cx=%15.12lf\n", ax, bx, cx));
  Write(Format("ay=%15.4lf  by=%15.12lf  cy=%15.12lf\n", ay, by, cy));
  return FinishPlaneReport(m0, ax, bx, cx, ay, by, cy);
}

int GPSTransfer::XYZXYZ7() {
  if (!ReadXYZ()) return 0;
  FormNormalEquations(7);
  if (!SolveParameters(3)) return 0;
  const int f = 3 * m_CommonCount - 7;
  const double m0 = f < 1 ? 1.0 : std::sqrt(SumOfSquaredResiduals() / f);

  double& dX = m_Unknown[0];
  double& dY = m_Unknown[1];
  double& dZ = m_Unknown[2];
  const double k = m_Unknown[3], eX = m_Unknown[4], eY = m_Unknown[5], eZ = m_Unknown[6];
  const double rotationX = eX / k * kSecondsPerRadian, rotationY = eY / k * kSecondsPerRadian,
               rotationZ = eZ / k * kSecondsPerRadian;
  const double scale = (k - 1.0) * 1e6;
  if (!(std::isfinite(rotationX) && std::isfinite(rotationY) && std::isfinite(rotationZ))) {
    WarnUndetermined();
    return 0;
  }
  dX = dX + m_MeanX2 - k * m_MeanX1 - eZ * m_MeanY1 + eY * m_MeanZ1;
  dY = dY + m_MeanY2 - k * m_MeanY1 + eZ * m_MeanX1 - eX * m_MeanZ1;
  dZ = dZ + m_MeanZ2 - k * m_MeanZ1 - eY * m_MeanX1 + eX * m_MeanY1;
  RestoreCommonPoints();

  if (!OpenReport()) return 0;
  const char* pointFormat = "%16s %14.4lf %14.4lf %14.4lf\n";
  Write(kDashes);
  Write(T(u8"                         公共点坐标\n"));
  Write(kDashes);
  Write(T(u8"            点名                 旧坐标(X,Y,Z)\n"));
  Write(kDashes);
  for (int i = 0; i < m_CommonCount; ++i)
    Write(Format(pointFormat, m_PointNames[size_t(i)].c_str(), m_x1[size_t(i)], m_y1[size_t(i)], m_z1[size_t(i)]));
  Write(kDashes);
  Write(T(u8"            点名                 新坐标(X,Y,Z)\n"));
  Write(kDashes);
  for (int i = 0; i < m_CommonCount; ++i)
    Write(Format(pointFormat, m_PointNames[size_t(i)].c_str(), m_x2[size_t(i)], m_y2[size_t(i)], m_z2[size_t(i)]));
  Write(kDashes);
  Write(T(u8"         转换参数\n"));
  Write(kDashes);
  Write(Format(T(u8"平移X0=%15.4lf(m)\n平移Y0=%15.4lf(m)\n平移Z0=%15.4lf(m)\n"), dX, dY, dZ));
  Write(Format(T(u8"旋转 X=%15.10lf(s)\n旋转 Y=%15.10lf(s)\n旋转 Z=%15.10lf(s)\n"), rotationX, rotationY, rotationZ));
  Write(Format(T(u8"尺度 K=%15.10lf(ppm)\n"), scale));
  Write(Format("    M0=%15.2lf(cm)\n", m0 * 100.0));
  Write(kDashes);
  Write(T(u8"            点名                   旧坐标(X,Y,Z)\n"));
  Write(kDashes);
  for (int i = 0; i < m_PointCount; ++i)
    Write(Format(pointFormat, m_PointNames[size_t(i)].c_str(), m_x1[size_t(i)], m_y1[size_t(i)], m_z1[size_t(i)]));
  Write(kDashes);
  Write(T(u8"            点名                   转换坐标(X,Y,Z)\n"));
  Write(kDashes);
  for (int i = 0; i < m_PointCount; ++i) {
    const double X1 = m_x1[size_t(i)], Y1 = m_y1[size_t(i)], Z1 = m_z1[size_t(i)];
    m_TransformedX = dX + k * X1 + eZ * Y1 - eY * Z1;
    m_TransformedY = dY + k * Y1 + eX * Z1 - eZ * X1;
    m_TransformedZ = dZ + k * Z1 - eX * Y1 + eY * X1;
    Write(Format(pointFormat, m_PointNames[size_t(i)].c_str(), m_TransformedX, m_TransformedY, m_TransformedZ));
    m_x1[size_t(i)] = m_TransformedX;
    m_y1[size_t(i)] = m_TransformedY;
    m_z1[size_t(i)] = m_TransformedZ;
  }
  OutCollocatedXYZ();
  return CloseReport();
}

void GPSTransfer::OutCollocatedXY() { Collocate(2); }
void GPSTransfer::OutCollocatedXYZ() { Collocate(3); }

// The residuals V = target - transformed at the common points, interpolated to every other
// point with weights s^(-3/2) of the distance s between the transformed positions. A point
// that coincides with common points (s = 0, where the weight is undefined, or so close that
// it overflows) takes their residual (the mean, if several coincide).
void GPSTransfer::Collocate(int dimension) {
  const bool spatial = dimension == 3;
  const char* format = spatial ? "%16s %14.4lf %14.4lf %14.4lf %7.4lf %7.4lf %7.4lf\n"
                               : "%16s %14.4lf %14.4lf %14.4lf %14.4lf\n";
  Write(kDashes);
  Write(spatial ? T(u8"                      转换并配置后坐标(X,Y,Z)及改正数(Vx,Vy,Vz)\n")
                : T(u8"                      转换并配置后坐标(X,Y)及改正数(Vx,Vy)\n"));
  Write(kDashes);
  Write(spatial ? T(u8"            点名        X(m)           Y(m)        Z(m)        Vx(m)   Vy(m)   Vz(m)\n")
                : T(u8"            点名        X(m)           Y(m)            Vx(m)          Vy(m)\n"));
  Write(kDashes);

  const size_t n = static_cast<size_t>(m_CommonCount);
  std::vector<double> vx(n), vy(n), vz(n);
  for (size_t k = 0; k < n; ++k) {
    vx[k] = m_x2[k] - m_x1[k];
    vy[k] = m_y2[k] - m_y1[k];
    vz[k] = m_z2[k] - m_z1[k];
    const char* name = m_PointNames[k].c_str();
    if (spatial) Write(Format(format, name, m_x2[k], m_y2[k], m_z2[k], vx[k], vy[k], vz[k]));
    else Write(Format(format, name, m_x2[k], m_y2[k], vx[k], vy[k]));
  }
  for (size_t j = n; j < static_cast<size_t>(m_PointCount); ++j) {
    double sumP = 0.0, sumX = 0.0, sumY = 0.0, sumZ = 0.0;
    double zeroX = 0.0, zeroY = 0.0, zeroZ = 0.0;
    int coincident = 0;
    for (size_t k = 0; k < n; ++k) {
      const double dx = m_x1[j] - m_x1[k], dy = m_y1[j] - m_y1[k], dz = spatial ? m_z1[j] - m_z1[k] : 0.0;
      const double s = std::sqrt(dx * dx + dy * dy + dz * dz);
      const double p = std::pow(s, -1.5);
      if (!std::isfinite(p)) {
        ++coincident;
        zeroX += vx[k];
        zeroY += vy[k];
        zeroZ += vz[k];
        continue;
      }
      sumP += p;
      sumX += p * vx[k];
      sumY += p * vy[k];
      sumZ += p * vz[k];
    }
    double Vx, Vy, Vz;
    if (coincident > 0) {
      Vx = zeroX / coincident;
      Vy = zeroY / coincident;
      Vz = zeroZ / coincident;
    } else {
      Vx = sumX / sumP;
      Vy = sumY / sumP;
      Vz = sumZ / sumP;
    }
    const char* name = m_PointNames[j].c_str();
    if (spatial) Write(Format(format, name, m_x1[j] + Vx, m_y1[j] + Vy, m_z1[j] + Vz, Vx, Vy, Vz));
    else Write(Format(format, name, m_x1[j] + Vx, m_y1[j] + Vy, Vx, Vy));
  }
  Write(kDashes);
}
