#include "geodesy/Geoid.h"

#include <proj.h>

#include <cmath>
#include <filesystem>
#include <numbers>

#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/UiText.h"

namespace vemo {

namespace {

// The grid file of proj-data that "egm96" stands for, found in PROJ's data folder.
constexpr const char* kEgm96Grid = "egm96_15.gtx";

std::string Unreadable(const std::string& pathGbk) {
  return Format(UiText(u8"大地水准面模型文件%s无法读取(文件不存在，或不是PROJ能读的GTX、GeoTIFF格网，或已损坏)!"),
                pathGbk.c_str());
}

}  // namespace

// PROJ's objects live here only, so that no other header sees PROJ.
struct CGeoidModel::Proj {
  PJ_CONTEXT* context = nullptr;
  PJ* shift = nullptr;
  ~Proj() {
    if (shift) proj_destroy(shift);
    if (context) proj_context_destroy(context);
  }
};

CGeoidModel::~CGeoidModel() = default;

std::unique_ptr<CGeoidModel> CGeoidModel::Open(const std::string& model, std::string& error) {
  std::unique_ptr<CGeoidModel> geoid(new CGeoidModel);
  std::string grid;  // as PROJ is to look it up
  if (model == kEgm96) {
    grid = kEgm96Grid;
    geoid->m_Name = "EGM96";
    geoid->m_GridPath = kEgm96Grid;
  } else {
    std::error_code ignored;
    const std::filesystem::path path = std::filesystem::absolute(model, ignored);
    grid = path.string();
    geoid->m_Name = PathToGbk(path.filename().string());
    geoid->m_GridPath = PathToGbk(grid);
    // PROJ splits its grid list at commas and ends a quoted value at a quote: such a name
    // would open another file.
    if (grid.empty() || grid.find_first_of(",\"") != std::string::npos) {
      error = Unreadable(geoid->m_GridPath);
      return nullptr;
    }
  }
  geoid->m_Proj = std::make_unique<Proj>();
  Proj& proj = *geoid->m_Proj;
  proj.context = proj_context_create();
  // PROJ's own log would reach the terminal; its failures are said by the messages here. A
  // grid is never fetched from the network: the computation depends on the file named.
  proj_log_level(proj.context, PJ_LOG_NONE);
  proj_context_set_enable_network(proj.context, 0);
  // Forward, the vertical shift adds multiplier x grid value to the height: from 0 it gives N.
  const std::string definition = "+proj=vgridshift +multiplier=1 +grids=\"" + grid + "\"";
  proj.shift = proj_create(proj.context, definition.c_str());
  if (!proj.shift) {
    error = model == kEgm96 ? Format(UiText(u8"PROJ的数据目录中没有大地水准面模型EGM96的格网文件%s，请安装proj-data!"), kEgm96Grid)
                            : Unreadable(geoid->m_GridPath);
    return nullptr;
  }
  // The file PROJ found in its data folder, for the report.
  const char *shortName = nullptr, *fullName = nullptr, *package = nullptr, *url = nullptr;
  int direct = 0, openLicense = 0, available = 0;
  if (model == kEgm96 && proj_coordoperation_get_grid_used(proj.context, proj.shift, 0, &shortName, &fullName, &package,
                                                           &url, &direct, &openLicense, &available) &&
      fullName && *fullName)
    geoid->m_GridPath = PathToGbk(fullName);
  return geoid;
}

bool CGeoidModel::Undulations(const std::vector<std::string>& names, const std::vector<double>& B,
                              const std::vector<double>& L, std::vector<double>& N, std::string& error) const {
  N.assign(B.size(), 0.0);
  PJ* shift = m_Proj->shift;
  for (size_t i = 0; i < B.size(); ++i) {
    proj_errno_reset(shift);
    const PJ_COORD out = proj_trans(shift, PJ_FWD, proj_coord(L[i], B[i], 0.0, 0.0));
    const int failure = proj_errno(shift);
    if (failure == 0 && std::isfinite(out.xyz.z)) {
      N[i] = out.xyz.z;
      continue;
    }
    // A grid whose header was read but whose values were cut off fails only here.
    if (failure == PROJ_ERR_INVALID_OP_FILE_NOT_FOUND_OR_INVALID) {
      error = Unreadable(m_GridPath);
    } else {
      constexpr double kDegrees = 180.0 / std::numbers::pi;
      error = Format(UiText(u8"点%s(纬度%.6f°, 经度%.6f°)不在大地水准面模型%s的格网范围内(或该处格网无数值)!"),
                     i < names.size() ? names[i].c_str() : "", B[i] * kDegrees, L[i] * kDegrees, m_Name.c_str());
    }
    return false;
  }
  return true;
}

}  // namespace vemo
