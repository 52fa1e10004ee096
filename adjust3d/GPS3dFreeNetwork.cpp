#include "adjust3d/GPS3dFreeNetwork.h"

#include <cmath>

#include "adjust3d/FreeNetworkFiles.h"
#include "adjust/ReportFile.h"
#include "adjust3d/STransformation.h"
#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

namespace {

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

}  // namespace

std::vector<std::string> CGPS3dFreeNetwork::Reports() {
  return {CurrentProjectFile(ProjectFile::FreeXXOut), CurrentProjectFile(ProjectFile::FreeQxxOut),
          CurrentProjectFile(ProjectFile::FreeMxxOut)};
}

int CGPS3dFreeNetwork::Load() {
  return ReadPoints(CurrentProjectFile(ProjectFile::FreeXXInput)) && ReadDatumMatrix(CurrentProjectFile(ProjectFile::FreeGxxInput)) &&
                 ReadCofactors(CurrentProjectFile(ProjectFile::FreeQxxInput))
             ? 1
             : 0;
}

int CGPS3dFreeNetwork::ReadPoints(const std::string& path) {
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  CNumberReader reader(path, content);
  // A point record takes at least 16 characters ("A 1 0 0 0 0 0 0\n").
  if (!reader.Header(m_PointCount, m_Redundancy, m_M0mm, 1, 16, false)) return 0;
  const size_t n = static_cast<size_t>(m_PointCount);
  m_PointName.assign(n, std::string());
  m_Weight.assign(n, 0.0);
  m_x.assign(3 * n, 0.0);
  m_X0.assign(n, 0.0), m_Y0.assign(n, 0.0), m_Z0.assign(n, 0.0);
  reader.Section(UiText(u8"点的记录"), m_PointCount, 8 * n);
  for (size_t i = 0; i < n; ++i) {
    if (!reader.Item(m_PointName[i]) || !reader.Number(m_Weight[i]) || !reader.Number(m_x[3 * i]) ||
        !reader.Number(m_x[3 * i + 1]) || !reader.Number(m_x[3 * i + 2]) || !reader.Number(m_X0[i]) ||
        !reader.Number(m_Y0[i]) || !reader.Number(m_Z0[i]))
      return 0;
    // A negative weight would pull the datum away from the point it names.
    if (m_Weight[i] < 0.0) {
      Warn(Format(UiText(u8"文件%s中点%s的基准权%g为负数，基准权应为0(不参与基准)、1(基准点)或其间的值!"),
                  PathToGbk(path).c_str(), m_PointName[i].c_str(), m_Weight[i]));
      return 0;
    }
  }
  return reader.AtEnd() ? 1 : 0;
}

int CGPS3dFreeNetwork::ReadDatumMatrix(const std::string& path) {
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  CNumberReader reader(path, content);
  const size_t size = 9 * static_cast<size_t>(m_PointCount);
  m_G.assign(size, 0.0);
  reader.Section(UiText(u8"基准矩阵G"), m_PointCount, size);
  for (double& g : m_G)
    if (!reader.Number(g)) return 0;
  return reader.AtEnd() ? 1 : 0;
}

int CGPS3dFreeNetwork::ReadCofactors(const std::string& path) {
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  CNumberReader reader(path, content);
  if (!reader.Triangle(m_Q, m_PointCount, false, UiText(u8"协因数阵"))) return 0;
  return reader.AtEnd() ? 1 : 0;
}

int CGPS3dFreeNetwork::LocalFrame() {
  double X = 0, Y = 0, Z = 0;
  for (int i = 0; i < m_PointCount; ++i) X += m_X0[i], Y += m_Y0[i], Z += m_Z0[i];
  X /= m_PointCount, Y /= m_PointCount, Z /= m_PointCount;
  const CGPSConfiguration& c = Project().configuration;
  if (!CheckEllipsoid(c.m_CurrentCoorsSystem.m_a, c.m_CurrentCoorsSystem.m_InvF, AppTitle())) return 0;
  GPSTransfer t(0);
  t.m_a = c.m_CurrentCoorsSystem.m_a;
  t.m_InvF = c.m_CurrentCoorsSystem.m_InvF;
  t.m_X = X, t.m_Y = Y, t.m_Z = Z;
  if (!t.XYZBLH()) {
    Warn(Format(UiText(u8"网的重心(%.4lf, %.4lf, %.4lf)不能换算为大地坐标，无法建立站心坐标系，请检查近似坐标!"), X, Y, Z));
    return 0;
  }
  m_B = t.m_B, m_L = t.m_L;
  const double sB = std::sin(m_B), cB = std::cos(m_B), sL = std::sin(m_L), cL = std::cos(m_L);
  const double R[3][3] = {{-sL, cL, 0.0}, {-sB * cL, -sB * sL, cB}, {cB * cL, cB * sL, sB}};
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) m_R[a][b] = R[a][b];
  return 1;
}

int CGPS3dFreeNetwork::Compute() {
  CDisplayMessageDlg progress;
  progress.Create();
  progress.SetTitle(UiText(u8"GPS三维秩亏自由网"));
  progress.SetRange(0, 10);
  if (progress.CancelRequested()) return 0;

  const size_t order = 3 * static_cast<size_t>(m_PointCount);
  std::vector<double> p(order);
  for (size_t k = 0; k < order; ++k) p[k] = m_Weight[k / 3];
  CSTransformation S;
  if (!S.Build(m_G, p)) {
    Warn(Format(UiText(u8"文件%s中的基准权(或%s中的基准矩阵G)确定不了网的基准：法方程N=G'PG奇异，无法进行S变换。请至少给一个点非零的基准权!"),
                PathToGbk(CurrentProjectFile(ProjectFile::FreeXXInput)).c_str(),
                PathToGbk(CurrentProjectFile(ProjectFile::FreeGxxInput)).c_str()));
    return 0;
  }
  S.Apply(m_x, m_xS);
  if (!Finite(m_xS, ProjectFile::FreeXXInput)) return 0;
  if (!LocalFrame()) return 0;
  progress.SetPosition(1);

  if (progress.CancelRequested()) return 0;
  // The cofactor report holds Q and then QS. QS is formed on a copy before any file is
  // written: cofactors so large that it overflows (1e308 in the input) are refused then.
  m_QDiagonal.resize(order);
  for (size_t k = 0; k < order; ++k) m_QDiagonal[k] = m_Q[PackedIndex(k, k)];
  std::vector<double> QS = m_Q;
  S.ApplyToCofactor(QS);
  if (!Finite(QS, ProjectFile::FreeQxxInput)) return 0;
  progress.SetPosition(3);
  if (progress.CancelRequested()) return 0;
  if (!WriteIncrements(CurrentProjectFile(ProjectFile::FreeXXOut))) return 0;
  CReportFile file;
  if (!CreateResultFile(file, CurrentProjectFile(ProjectFile::FreeQxxOut))) return 0;
  file.Write("Classical Free Network Result of Qxx\n");
  WritePackedTriangle(file, m_Q, order);
  m_Q = std::move(QS);
  progress.SetPosition(5);
  if (progress.CancelRequested()) return 0;
  file.Write("\n");
  file.Write("Free Network with Rank Defect Result of Qxx\n");
  WritePackedTriangle(file, m_Q, order);
  if (!CloseResultFile(file)) return 0;
  progress.SetPosition(7);
  if (progress.CancelRequested()) return 0;

  if (!WritePrecisions(CurrentProjectFile(ProjectFile::FreeMxxOut))) return 0;
  if (!WriteCampaign(CurrentProjectFile(ProjectFile::FreeXXQxx), false)) return 0;
  progress.SetPosition(8);
  if (progress.CancelRequested()) return 0;
  if (!WriteCampaign(CurrentProjectFile(ProjectFile::FreeENUQenu), true)) return 0;
  progress.SetPosition(10);
  return 1;
}

int CGPS3dFreeNetwork::Finite(const std::vector<double>& values, ProjectFile input) {
  for (double v : values)
    if (!std::isfinite(v)) {
      Warn(Format(UiText(u8"文件%s中的数值过大，S变换的结果超出了数值范围(非有限值)，请检查该文件，不输出结果!"),
                  PathToGbk(CurrentProjectFile(input)).c_str()));
      return 0;
    }
  return 1;
}

int CGPS3dFreeNetwork::WriteIncrements(const std::string& path) {
  CReportFile f;
  if (!CreateResultFile(f, path)) return 0;
  f.Write("Classical Free Network Result of delt_x delt_y delt_z in milimeter\n");
  for (int i = 0; i < m_PointCount; ++i)
    f.Printf("%16s      %13.2lf %13.2lf %13.2lf\n", m_PointName[i].c_str(), m_x[3 * i], m_x[3 * i + 1], m_x[3 * i + 2]);
  f.Write("\n");
  f.Write("Free Network with Rank Defect Result of delt_x delt_y delt_z in milimeter\n");
  for (int i = 0; i < m_PointCount; ++i)
    f.Printf("%16s %5.2lf  %13.2lf %13.2lf %13.2lf\n", m_PointName[i].c_str(), m_Weight[i], m_xS[3 * i],
             m_xS[3 * i + 1], m_xS[3 * i + 2]);
  return CloseResultFile(f) ? 1 : 0;
}

int CGPS3dFreeNetwork::WritePrecisions(const std::string& path) {
  CReportFile f;
  if (!CreateResultFile(f, path)) return 0;
  // m0 sqrt(Qii), mm; a diagonal that rounding leaves a hair below zero counts as zero.
  auto lines = [&](const std::vector<double>& x, auto diagonal) {
    for (int i = 0; i < m_PointCount; ++i) {
      const size_t k = 3 * static_cast<size_t>(i);
      double m[3];
      for (int a = 0; a < 3; ++a) m[a] = m_M0mm * std::sqrt(std::max(0.0, diagonal(k + a)));
      f.Printf("%16s %13.4lf %13.4lf %13.4lf %5.1lf %5.1lf %5.1lf\n", m_PointName[i].c_str(), m_X0[i] + x[k] / 1000.0,
               m_Y0[i] + x[k + 1] / 1000.0, m_Z0[i] + x[k + 2] / 1000.0, m[0], m[1], m[2]);
    }
  };
  f.Write("Classical Free Network Result of x(m), y(m), z(m) and Mx(mm), My(mm), Mz(mm)\n");
  lines(m_x, [&](size_t k) { return m_QDiagonal[k]; });
  f.Write("\n");
  f.Write("Free Network with Rank Defect Result of x(m), y(m), z(m) and Mx(mm), My(mm), Mz(mm)\n");
  lines(m_xS, [&](size_t k) { return m_Q[PackedIndex(k, k)]; });
  return CloseResultFile(f) ? 1 : 0;
}

int CGPS3dFreeNetwork::WriteCampaign(const std::string& path, bool local) {
  CReportFile f;
  if (!CreateResultFile(f, path)) return 0;
  const size_t order = 3 * static_cast<size_t>(m_PointCount);
  if (!local) {
    WriteCampaignHead(f, m_Redundancy, m_M0mm, m_PointName, m_xS);
    WritePackedTriangle(f, m_Q, order);
    return CloseResultFile(f) ? 1 : 0;
  }
  // Every point's triple rotated by R, and Qenu = R QS R^T with R block diagonal: block (i, j)
  // is R QS(i, j) R^T. The blocks of one block row are formed once and give its three rows.
  std::vector<double> enu(order);
  for (size_t k = 0; k < order; k += 3)
    for (int a = 0; a < 3; ++a) enu[k + a] = m_R[a][0] * m_xS[k] + m_R[a][1] * m_xS[k + 1] + m_R[a][2] * m_xS[k + 2];
  WriteCampaignHead(f, m_Redundancy, m_M0mm, m_PointName, enu);
  std::vector<double> strip(3 * order);  // rows 3i..3i+2 of Qenu, columns 0..3i+2
  size_t stripPoint = static_cast<size_t>(-1);
  auto element = [&](size_t r, size_t c) {
    const size_t i = r / 3;
    if (i != stripPoint) {
      stripPoint = i;
      for (size_t j = 0; j <= i; ++j) {
        double block[3][3], half[3][3];
        for (int a = 0; a < 3; ++a)
          for (int b = 0; b < 3; ++b) block[a][b] = m_Q[PackedIndex(3 * i + a, 3 * j + b)];
        for (int a = 0; a < 3; ++a)
          for (int b = 0; b < 3; ++b)
            half[a][b] = m_R[a][0] * block[0][b] + m_R[a][1] * block[1][b] + m_R[a][2] * block[2][b];
        for (int a = 0; a < 3; ++a)
          for (int b = 0; b < 3; ++b)
            strip[a * order + 3 * j + b] = half[a][0] * m_R[b][0] + half[a][1] * m_R[b][1] + half[a][2] * m_R[b][2];
      }
    }
    return strip[(r % 3) * order + c];
  };
  WriteLowerTriangle(f, order, element);
  return CloseResultFile(f) ? 1 : 0;
}

}  // namespace vemo
