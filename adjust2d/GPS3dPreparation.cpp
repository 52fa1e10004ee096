#include "adjust2d/GPS3dPreparation.h"


#include "geodesy/Angles.h"
#include "geodesy/ApproximateCoordinates.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

using namespace vemo;

namespace {

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// Writes lines as the file of the project with the extension, anew.
bool WritePointFile(const char* extension, const std::string& lines) {
  const std::string path = CurrentProjectFile(extension);
  CReportFile file;
  if (!file.Create(path)) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()));
    return false;
  }
  file.Write(lines);
  if (file.Close()) return true;
  WriteFileError(path, AppTitle());
  return false;
}

}  // namespace

int CGPS3dPreparation::Prepare() {
  // A vector file without vectors would cut the coordinate files down to the known points and
  // hand the height and plane fits nothing but them: refused before any file is written.
  if (m_VectorCount == 0) {
    Warn(Format(UiText(u8"基线向量文件%s中没有基线向量，不能由基线向量计算各点坐标!"),
                PathToGbk(CurrentProjectFile(ProjectFile::Vector3d)).c_str()));
    return 0;
  }
  // Points that no chain of vectors reaches from a known point would keep 0, 0, 0, which no
  // conversion takes: the message of the chaining ends the step.
  if (!GetApproximateGPS3dXYZ(this)) return 0;
  if (!GPS3dVectorTo2d(this, kWgs84SemiMajorAxis, kWgs84InverseFlattening)) return 0;

  const int unknownPoints = m_PointCount - m_KnownPointCount;
  m_Redundancy = 3 * (m_VectorCount - unknownPoints);
  if (!CheckNetwork()) return 0;
  m_UnknownCount = 3 * unknownPoints;
  if (m_UnknownCount > 0) {
    // The engine's normal equations weight each vector by its covariance divided by the mean
    // variance; weighting by the covariance itself scales every weight alike, which leaves
    // the solution as it is.
    if (!AllocateOrReport([&] { AllocateNormalEquations(); }, m_Normal)) return 0;
    BuildNormalEquations();
    // No precision is wanted: a solve without the inverse.
    if (!m_Normal->SolveKeeping(m_x)) {
      Warn(UiText(u8"法方程系数阵奇异或严重病态，无法求解，请检查基线向量的方差阵与已知点!"));
      return 0;
    }
    for (int i = m_KnownPointCount; i < m_PointCount; ++i) {
      const size_t p = static_cast<size_t>(UnknownOf(i));
      m_X[i] += m_x[p] / 1000.0, m_Y[i] += m_x[p + 1] / 1000.0, m_Z[i] += m_x[p + 2] / 1000.0;
    }
  }

  const CGPSConfiguration& c = Project().configuration;
  GPSTransfer transfer(0);
  transfer.m_a = kWgs84SemiMajorAxis;
  transfer.m_InvF = kWgs84InverseFlattening;
  transfer.m_L0 = DmsToRadian(c.m_CentralMeridian);
  std::string blh, xyh;
  for (int i = 0; i < m_PointCount; ++i) {
    const char* name = m_PointName[i].c_str();
    transfer.m_X = m_X[i], transfer.m_Y = m_Y[i], transfer.m_Z = m_Z[i];
    bool converted = transfer.XYZBLH();
    const double B = transfer.m_B, L = transfer.m_L, H = transfer.m_H;
    converted = converted && transfer.BLXY();  // keeps |B| in m_B; B was taken before
    if (!converted) {
      Warn(Format(UiText(u8"点%s的坐标(%.4lf, %.4lf, %.4lf)不能换算为大地坐标!"), name, m_X[i], m_Y[i], m_Z[i]));
      return 0;
    }
    blh += Format("%8s %15.9lf %15.9lf %15.4lf\n", name, RadianToDms(B, 9), RadianToDms(L, 9), H);
    xyh += Format("%8s %15.4lf %15.4lf %15.4lf\n", name, transfer.m_X + 1000.0 * c.m_XConstant,
                  transfer.m_Y + 1000.0 * c.m_YConstant, H);
  }
  return WritePointFile(Extension(ProjectFile::BLH3d), blh) && WritePointFile(Extension(ProjectFile::XYH3d), xyh) ? 1 : 0;
}
