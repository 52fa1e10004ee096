#include "adjust2d/GPS1dHeightFit.h"

#include <cmath>
#include <unordered_map>

#include "adjust/ReportSections.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

using namespace vemo;

namespace {

const char* const kDash = "----------------------------------------------------------------------------------\n";

// Lines named in one message about known heights left out of the fit; the rest is ",...".
constexpr size_t kListedLines = 10;

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

}  // namespace

int CGPS1dHeightFit::CoefficientCount(int model) {
  switch (model) {
    case CHeightModelDlg::kPlane: return 3;
    case CHeightModelDlg::kSurface: return 6;
    case CHeightModelDlg::kConstant: return 1;
    default: return 0;
  }
}

int CGPS1dHeightFit::SelectKnownPoints() {
  const std::string blhPath = CurrentProjectFile(ProjectFile::BLH3d);
  if (m_PointCount == 0) {
    Warn(Format(UiText(u8"文件%s中没有点的大地坐标，不能进行高程拟合!"), PathToGbk(blhPath).c_str()));
    return 0;
  }
  // The first point of a name is the one its known height refers to.
  std::unordered_map<std::string, int> index;
  for (int i = 0; i < m_PointCount; ++i) index.emplace(m_PointName[i], i);
  // A known height without its point would be fitted at another point's position: such a
  // line is left out, and said so.
  m_KnownPoint.clear();
  std::string refused;
  size_t refusedCount = 0, kept = 0;
  for (size_t j = 0; j < m_KnownName.size(); ++j) {
    auto it = index.find(m_KnownName[j]);
    if (it == index.end()) {
      if (refusedCount++ < kListedLines)
        refused += Format(UiText(u8"%s第 %d 行的点%s"), refused.empty() ? "" : ", ", m_KnownLine[j], m_KnownName[j].c_str());
      else if (refusedCount == kListedLines + 1)
        refused += ",...";
      continue;
    }
    m_KnownName[kept] = m_KnownName[j], m_KnownH[kept] = m_KnownH[j], m_KnownLine[kept] = m_KnownLine[j];
    m_KnownPoint.push_back(it->second);
    ++kept;
  }
  m_KnownName.resize(kept), m_KnownH.resize(kept), m_KnownLine.resize(kept);
  m_KnownCount = static_cast<int>(kept);
  if (refusedCount > 0)
    Warn(Format(UiText(u8"文件%s%s不在文件%s中，不参与高程拟合!"), PathToGbk(CurrentProjectFile(ProjectFile::KnownH)).c_str(),
                refused.c_str(), PathToGbk(blhPath).c_str()));
  return 1;
}

int CGPS1dHeightFit::SetModel(int model) {
  m_u = CoefficientCount(model);
  m_PackedSize = m_u * (m_u + 1) / 2;
  m_Redundancy = m_KnownCount - m_u;
  if (m_u == 0 || m_KnownCount < m_u) {
    Warn(UiText(u8"已知高程点太少,请选其他拟合模型"));
    return 0;
  }
  return 1;
}

void CGPS1dHeightFit::DesignRow(double B, double L, double* a) const {
  a[0] = 1.0;
  if (m_u == 1) return;
  a[1] = B, a[2] = L;
  if (m_u == 3) return;
  a[3] = B * B, a[4] = L * L, a[5] = B * L;
}

double CGPS1dHeightFit::Anomaly(double B, double L) const {
  double a[6];
  DesignRow(B, L, a);
  double zeta = 0.0;
  for (int p = 0; p < m_u; ++p) zeta += a[p] * m_x[static_cast<size_t>(p)];
  return zeta;
}

int CGPS1dHeightFit::Fit() {
  const size_t u = static_cast<size_t>(m_u);
  ReduceByGeoid();
  m_N.assign(static_cast<size_t>(m_PackedSize), 0.0);
  m_W.assign(u, 0.0);
  m_x.assign(u, 0.0);
  // Misclosure l = h - H, the anomaly observed with its sign turned; weight 1.
  double a[6];
  for (int j = 0; j < m_KnownCount; ++j) {
    const int i = m_KnownPoint[static_cast<size_t>(j)];
    const double l = m_KnownH[static_cast<size_t>(j)] - m_H[i];
    DesignRow(m_B[i], m_L[i], a);
    for (size_t p = 0; p < u; ++p) {
      m_W[p] += a[p] * l;
      for (size_t q = 0; q <= p; ++q) m_N[PackedIndex(p, q)] += a[p] * a[q];
    }
  }
  // Known points at one position, on one line (plane) or on too few distinct positions
  // (surface) leave the model undetermined: the inversion would give infinite coefficients.
  bool solved = IsWellConditioned(m_N, m_u);
  if (solved) {
    MatrixInverseForDouble(m_N, m_u);
    GetNormalEquation_xx(m_N, m_W, m_x, m_u);
    for (double f : m_x) solved = solved && std::isfinite(f);
  }
  if (!solved) {
    for (int i = 0; i < m_PointCount; ++i) m_B[i] += m_MeanB, m_L[i] += m_MeanL;
    Warn(UiText(u8"已知高程点的分布不能确定拟合模型(点位重合、共线或过少)，法方程奇异，请选其他拟合模型!"));
    return 0;
  }
  // [vv] from the residuals themselves: [ll] + x'W would subtract two sums of anomalies
  // squared (some 100 m² a point) to keep a few mm².
  m_PVVm2 = 0.0;
  for (int j = 0; j < m_KnownCount; ++j) {
    const int i = m_KnownPoint[static_cast<size_t>(j)];
    const double v = Anomaly(m_B[i], m_L[i]) + (m_KnownH[static_cast<size_t>(j)] - m_H[i]);
    m_PVVm2 += v * v;
  }
  m_M0cm = m_Redundancy > 0 ? 100.0 * std::sqrt(m_PVVm2 / m_Redundancy) : 0.0;

  // Back to absolute B, L: the polynomial of B - B̄, L - L̄ expanded (each line from the
  // values before rewriting).
  for (int i = 0; i < m_PointCount; ++i) m_B[i] += m_MeanB, m_L[i] += m_MeanL;
  const double B0 = m_MeanB, L0 = m_MeanL;
  std::vector<double>& f = m_x;
  if (m_u == 3) {
    f[0] = f[0] - f[1] * B0 - f[2] * L0;
  } else if (m_u == 6) {
    const double f1 = f[0] - f[1] * B0 - f[2] * L0 + f[3] * B0 * B0 + f[4] * L0 * L0 + f[5] * B0 * L0;
    const double f2 = f[1] - 2.0 * f[3] * B0 - f[5] * L0;
    const double f3 = f[2] - 2.0 * f[4] * L0 - f[5] * B0;
    f[0] = f1, f[1] = f2, f[2] = f3;
  }
  m_Zeta.resize(static_cast<size_t>(m_PointCount));
  for (int i = 0; i < m_PointCount; ++i) m_Zeta[static_cast<size_t>(i)] = Anomaly(m_B[i], m_L[i]);
  RestoreByGeoid();
  return CheckFinite();
}

int CGPS1dHeightFit::CheckFinite() const {
  bool finite = std::isfinite(m_PVVm2);
  for (double f : m_x) finite = finite && std::isfinite(f);
  for (double z : m_Zeta) finite = finite && std::isfinite(z);
  if (finite) return 1;
  // Heights beyond what a double can square: the input with the largest one is named.
  std::string path = CurrentProjectFile(ProjectFile::KnownH), name;
  double largest = -1.0, value = 0.0;
  for (int j = 0; j < m_KnownCount; ++j)
    if (!(std::fabs(m_KnownH[j]) <= largest)) {
      largest = std::fabs(m_KnownH[j]), value = m_KnownH[j], name = m_KnownName[j];
    }
  for (int i = 0; i < m_PointCount; ++i)
    if (!(std::fabs(m_H[i]) <= largest)) {
      largest = std::fabs(m_H[i]), value = m_H[i], name = m_PointName[i];
      path = CurrentProjectFile(ProjectFile::BLH3d);
    }
  Warn(Format(UiText(u8"高程拟合的结果不是有限数值：文件%s中点%s的高程%g超出范围，请检查高程数据!"), PathToGbk(path).c_str(),
              name.c_str(), value));
  return 0;
}

int CGPS1dHeightFit::CreateReport() {
  const std::string path = CurrentProjectFile(ProjectFile::Result1d);
  if (m_ResultFile.Create(path)) return 1;
  Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()));
  return 0;
}

int CGPS1dHeightFit::CloseFiles() {
  bool ok = true;
  for (CReportFile* file : {&m_ResultFile, &m_ParameterFile}) {
    if (!file->IsOpen()) continue;
    if (!file->Close()) {
      WriteFileError(file->Path(), AppTitle());
      ok = false;
    }
  }
  return ok ? 1 : 0;
}

void CGPS1dHeightFit::WriteHeader(bool parameters) {
  CReportFile& f = m_ResultFile;
  CSummaryHeader header = ProjectSummaryHeader(kDash, T(u8"             %s 高程拟合结果\n"), m_Redundancy, m_KnownCount,
                                               m_PointCount, m_PVVm2 * 10000.0, m_M0cm);
  header.withCentralMeridian = false;
  header.axisFormat = T(u8"                椭球长轴=%15.5lf(dms)\n");
  WriteSummaryHeader(f, header);
  f.Write(kDash);
  if (m_u == 1) {
    f.Write(T(parameters ? u8"拟合模型:  N=f1\n" : u8"拟合模型: N=f1\n"));
    f.Printf("          f1=%15.7lf\n", m_x[0]);
    return;
  }
  f.Write(T(m_u == 3 ? u8"拟合模型: N=f(B,L)=f1+f2*B+f3*L\n" : u8"拟合模型: N=f(B,L)=f1+f2*B+f3*L+f4*B^2+f5*L^2+f6*B*L\n"));
  for (int p = 0; p < m_u; ++p) f.Printf("                f%d=%15.7lf\n", p + 1, m_x[static_cast<size_t>(p)]);
  f.Write(T(u8"                (B,L)以弧度为单位\n"));
}

void CGPS1dHeightFit::WriteTables(bool parameters) {
  CReportFile& f = m_ResultFile;
  auto open = [&](const char* title, const char* header) {
    f.Write(kDash);
    f.Write(T(title));
    f.Write(kDash);
    f.Write(T(header));
    f.Write(kDash);
  };
  open(u8"           已知正常高(m)\n",
       parameters ? u8"   点名          正常高\n" : u8"            点名       正常高(m)\n");
  const char* known = parameters ? "%8s %15.4lf\n" : "%16s %15.4lf\n";
  for (int j = 0; j < m_KnownCount; ++j) f.Printf(known, m_KnownName[j].c_str(), m_KnownH[j]);

  open(u8"                   GPS大地高(m)\n", parameters
                                                    ? u8"    点名        纬度(dms)       经度(dms)      大地高(m)\n"
                                                    : u8"            点名        纬度(dms)       经度(dms)      大地高(m)\n");
  const char* geodetic = parameters ? "%8s %15.4lf %15.4lf %15.4lf\n" : "%16s %15.4lf %15.4lf %15.4lf\n";
  for (int i = 0; i < m_PointCount; ++i)
    f.Printf(geodetic, m_PointName[i].c_str(), RadianToDms(m_B[i], 4), RadianToDms(m_L[i], 4), m_H[i]);

  open(u8"           拟合正常高(m)\n", parameters ? u8"   点名          正常高         高程异常\n"
                                                 : u8"            点名         正常高         高程异常\n");
  const char* fitted = parameters ? "%8s %15.4lf %15.4lf\n" : "%16s %15.4lf %15.4lf\n";
  for (int i = 0; i < m_PointCount; ++i)
    f.Printf(fitted, m_PointName[i].c_str(), m_H[i] - m_Zeta[static_cast<size_t>(i)], m_Zeta[static_cast<size_t>(i)]);
  f.Write(kDash);
}

int CGPS1dHeightFit::WriteHeightFile() {
  const std::string path = CurrentProjectFile(ProjectFile::Heights1d);
  CReportFile file;
  if (!file.Create(path)) {
    Warn(Format(UiText(u8"打开文件：%s出错!"), PathToGbk(path).c_str()));
    return 0;
  }
  const std::string title = Format(T(u8"%10s%sGPS网一维高程拟合结果\n"), "", Project().projectName.c_str());
  file.Write(title);
  file.Write(std::string(10, ' ') + std::string(title.size(), '=') + "\n");
  file.Write(T(u8"    点名      拟合正常高      代码\n"));
  for (int j = 0; j < m_KnownCount; ++j) file.Printf("%16s %15.4lf        K\n", m_KnownName[j].c_str(), m_KnownH[j]);
  for (int i = 0; i < m_PointCount; ++i)
    file.Printf("%16s %15.4lf        U\n", m_PointName[i].c_str(), m_H[i] - m_Zeta[static_cast<size_t>(i)]);
  if (file.Close()) return 1;
  WriteFileError(path, AppTitle());
  return 0;
}

int CGPS1dHeightFit::FitHeights() {
  if (!CreateReport()) return 0;
  if (!Fit()) return 0;
  WriteHeader(false);
  WriteGeoidBlock(false);
  if (!WriteHeightFile()) return 0;
  WriteTables(false);
  return CloseFiles();
}

int CGPS1dHeightFit::FitParameters() {
  if (!CreateReport()) return 0;
  const std::string parameterPath = DirectoryFileName(Project().projectDir, "Parameter.1d");
  if (!m_ParameterFile.Append(parameterPath)) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(parameterPath).c_str()));
    return 0;
  }
  if (!Fit()) return 0;
  WriteHeader(true);
  WriteGeoidBlock(true);
  m_ParameterFile.Printf("%25s", Project().projectName.c_str());
  for (double f : m_x) m_ParameterFile.Printf(" %20.9lf", f);
  // The coefficients of a geoid-assisted fit hold only with the model: it is named after them.
  if (!m_Undulation.empty()) m_ParameterFile.Printf(" \"%s\"", m_GeoidName.c_str());
  m_ParameterFile.Write("\n");
  if (!m_ParameterFile.Close()) {
    WriteFileError(parameterPath, AppTitle());
    return 0;
  }
  WriteTables(true);
  return CloseFiles();
}
