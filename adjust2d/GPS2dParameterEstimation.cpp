#include "adjust2d/GPS2dParameterEstimation.h"

#include <cmath>

#include "geodesy/Angles.h"
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

}  // namespace

int CGPS2dParameterEstimation::Estimate() {
  const std::string path = DirectoryFileName(Project().projectDir, "Parameter.2d");
  CReportFile file;
  if (!file.Append(path)) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()));
    return 0;
  }
  m_UnknownCount = 2 * (m_PointCount - m_KnownPointCount) + ParameterCount();
  m_PackedSize = static_cast<size_t>(m_UnknownCount) * (static_cast<size_t>(m_UnknownCount) + 1) / 2;
  if (!CheckNetwork()) return 0;
  // Every point starts where GPS3dXYH puts it; one that file does not name would start at the
  // origin of the grid, thousands of kilometres from its neighbours.
  for (int i = 0; i < m_PointCount; ++i)
    if (m_X[i] == 0.0 && m_Y[i] == 0.0) {
      Warn(Format(UiText(u8"点%s不在文件%s中，没有近似坐标，不能计算转换参数!"), m_PointName[i].c_str(),
                  PathToGbk(ResultName(ProjectFile::XYH3d)).c_str()));
      return 0;
    }
  m_MeanVariance = 1.0;  // the weight of a vector is the inverse of its covariance itself
  // Ground observations weigh 1/σ² as the files give σ: on these vector weights (cm⁻², on
  // misclosures in m) a distance's 1/σ² (σ in cm) is in their units already, and the
  // azimuths' 1/σ² in seconds holds them far more strongly, so that they set the rotation.
  m_LegacyGroundWeights = true;
  m_c0 = 1.0, m_s0 = 0.0;
  if (!AllocateOrReport([&] { AllocateNormalEquations(); }, m_Normal)) return 0;
  if (!Iterate()) return 0;

  const double c = m_x[static_cast<size_t>(m_UnknownCount - 2)], s = m_x[static_cast<size_t>(m_UnknownCount - 1)];
  m_Scale = 1.0 / std::sqrt(c * c + s * s);
  m_Rotation = -std::atan2(s, c);
  m_Redundancy = m_DistanceCount + 2 * m_VectorCount + m_AzimuthCount - m_UnknownCount;
  m_M0m = m_Redundancy > 0 ? std::sqrt(m_PVVm2 / m_Redundancy) : 1.0;
  file.Printf("%25s %15.9lf %15.9lf\n", Project().projectName.c_str(), RadianToDms(m_Rotation, 9),
              (m_Scale - 1.0) * 1000000.0);
  if (file.Close()) return 1;
  WriteFileError(path, AppTitle());
  return 0;
}
