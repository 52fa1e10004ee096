// A geoid (or quasi-geoid) model: the undulation N, the height of the model's surface above
// the ellipsoid, interpolated bilinearly in a grid that PROJ reads (GTX or GeoTIFF). "egm96"
// names the EGM96 15' grid that proj-data installs; any other name is a grid file of the
// user's, such as a national quasi-geoid.
//
// The grid is evaluated at the latitude and longitude it is given, whatever ellipsoid they
// refer to. Between the usual datums they differ by at most a few hundred metres, over which
// a geoid changes by millimetres; the difference of the datums' ellipsoids (an offset and a
// tilt of some metres over a survey area) is left to the surface fitted to the residuals.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vemo {

class CGeoidModel {
 public:
  // The option value that stands for the EGM96 grid of proj-data.
  static constexpr const char* kEgm96 = "egm96";

  // Opens the model: "egm96" or the path of a grid file. nullptr, with the reason (GBK, naming
  // the file) in error, when the grid cannot be found or is not one PROJ can read.
  static std::unique_ptr<CGeoidModel> Open(const std::string& model, std::string& error);
  ~CGeoidModel();
  CGeoidModel(const CGeoidModel&) = delete;
  CGeoidModel& operator=(const CGeoidModel&) = delete;

  // The model as reports name it (GBK): "EGM96" or the grid file's name, and the grid file
  // itself (GBK path).
  const std::string& Name() const { return m_Name; }
  const std::string& GridPath() const { return m_GridPath; }

  // The undulation N (m) of every point at latitude B, longitude L (radians). false with the
  // reason (GBK) in error when a point lies outside the grid or on a cell without data (the
  // first such point is named) or the grid's values cannot be read (the file is named).
  bool Undulations(const std::vector<std::string>& names, const std::vector<double>& B, const std::vector<double>& L,
                   std::vector<double>& N, std::string& error) const;

 private:
  struct Proj;
  CGeoidModel() = default;
  std::unique_ptr<Proj> m_Proj;
  std::string m_Name, m_GridPath;
};

}  // namespace vemo
