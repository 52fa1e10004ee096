// The geoid model read through PROJ: where a grid's values land (a user's grid of a known
// function, the EGM96 file at its nodes) and the grids refused, each naming the file (a point
// off the grid is refused in the commands' tests).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Geoid.h"
#include "tests/support/GeoidGrid.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using namespace vemo::test;

constexpr double kRad = std::numbers::pi / 180.0;

// Bilinear in latitude and longitude, so that the grid's interpolation gives it exactly.
double Bilinear(double lat, double lon) { return 10.0 + 2.0 * (lat - 30.0) - 3.0 * (lon - 114.0) + 0.5 * (lat - 30.0) * (lon - 114.0); }

std::unique_ptr<CGeoidModel> OpenOk(const std::string& model) {
  std::string error;
  std::unique_ptr<CGeoidModel> geoid = CGeoidModel::Open(model, error);
  EXPECT_TRUE(geoid) << GbkToUtf8(error);
  return geoid;
}

TEST(Geoid, AUsersGtxOrGeoTiffGridGivesItsValuesWhereThePointsLie) {
  TempDir dir;
  // A folder with a blank and Chinese characters: the path reaches PROJ whole.
  const std::filesystem::path folder = dir.path() / u8"似大地水准面 grids";
  std::filesystem::create_directories(folder);
  for (const char* name : {"local.gtx", "local.tif"}) {
    const std::string path = (folder / name).string();
    ASSERT_TRUE(WriteFileAtomically(path, name == std::string("local.gtx") ? GtxGrid(30.0, 114.0, 0.25, 5, 9, Bilinear)
                                                                            : GeoTiffGrid(30.0, 114.0, 0.25, 5, 9, Bilinear)));
    auto geoid = OpenOk(path);
    ASSERT_TRUE(geoid);
    EXPECT_EQ(geoid->Name(), name);
    const std::vector<double> lat = {30.6, 30.1, 30.93, 30.5}, lon = {114.3, 115.9, 115.02, 115.0};
    std::vector<double> B, L, N;
    for (size_t i = 0; i < lat.size(); ++i) B.push_back(lat[i] * kRad), L.push_back(lon[i] * kRad);
    std::string error;
    ASSERT_TRUE(geoid->Undulations({"A", "B", "C", "D"}, B, L, N, error)) << GbkToUtf8(error);
    for (size_t i = 0; i < lat.size(); ++i) EXPECT_NEAR(N[i], Bilinear(lat[i], lon[i]), 2e-6) << name << i;
  }
}

TEST(Geoid, Egm96GivesTheValuesOfItsFileAtTheNodesAndBetweenThem) {
  auto geoid = OpenOk(CGeoidModel::kEgm96);
  ASSERT_TRUE(geoid);
  EXPECT_EQ(geoid->Name(), "EGM96");
  const std::optional<std::string> file = ReadWholeFile(geoid->GridPath());
  ASSERT_TRUE(file && file->size() == 40 + 721u * 1440u * 4u) << geoid->GridPath();
  // The file read here: rows from 90°S, columns from 180°W, every 15'.
  auto node = [&](int row, int column) {
    uint32_t bits = 0;
    std::memcpy(&bits, file->data() + 40 + (static_cast<size_t>(row) * 1440 + column) * 4, 4);
    bits = __builtin_bswap32(bits);
    float value;
    std::memcpy(&value, &bits, 4);
    return static_cast<double>(value);
  };
  struct Node {
    int row, column;
  };
  const Node nodes[] = {{470, 1090}, {360, 720}, {179, 1403}, {438, 97}};  // Himalaya, 0/0, New Zealand, Hawaii
  std::vector<double> B, L, N;
  std::vector<std::string> names;
  for (const Node& n : nodes) {
    B.push_back((-90.0 + n.row * 0.25) * kRad), L.push_back((-180.0 + n.column * 0.25) * kRad);
    // and the middle of the cell to its north-east: the mean of its corners
    B.push_back((-90.0 + n.row * 0.25 + 0.125) * kRad), L.push_back((-180.0 + n.column * 0.25 + 0.125) * kRad);
    names.insert(names.end(), {"node", "middle"});
  }
  std::string error;
  ASSERT_TRUE(geoid->Undulations(names, B, L, N, error)) << GbkToUtf8(error);
  for (size_t i = 0; i < std::size(nodes); ++i) {
    const auto [r, c] = nodes[i];
    EXPECT_NEAR(N[2 * i], node(r, c), 1e-6) << i;
    EXPECT_NEAR(N[2 * i + 1], (node(r, c) + node(r + 1, c) + node(r, c + 1) + node(r + 1, c + 1)) / 4, 1e-5) << i;
  }
  EXPECT_NEAR(N[2], 17.16, 0.01);  // EGM96 at 0°, 0°
}

TEST(Geoid, AGridThatCannotBeReadNamesItsFile) {
  TempDir dir;
  const std::string grid = GtxGrid(30.0, 114.0, 0.25, 5, 9, Bilinear);
  const std::string missing = (dir.path() / "missing.gtx").string();
  const std::string text = dir.Write("text.gtx", "this is no grid\n");
  const std::string comma = dir.Write("a,b.gtx", grid);
  for (const std::string& path : {missing, text, comma}) {
    std::string error;
    EXPECT_FALSE(CGeoidModel::Open(path, error)) << path;
    EXPECT_NE(GbkToUtf8(error).find(path), std::string::npos) << GbkToUtf8(error);
  }
  // The header is whole, the values are cut off: PROJ finds out at the first point.
  const std::string cut = dir.Write("cut.gtx", grid.substr(0, 60));
  auto geoid = OpenOk(cut);
  ASSERT_TRUE(geoid);
  std::vector<double> N;
  std::string error;
  EXPECT_FALSE(geoid->Undulations({"P1"}, {30.5 * kRad}, {115 * kRad}, N, error));
  EXPECT_NE(GbkToUtf8(error).find(cut), std::string::npos) << GbkToUtf8(error);
}

}  // namespace
