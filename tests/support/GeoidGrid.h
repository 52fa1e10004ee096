// Small geoid grids written by the tests themselves: the GTX layout (a big-endian header: south
// latitude, west longitude, latitude and longitude spacing in degrees, rows, columns; then the
// rows from the south as big-endian floats) and a minimal GeoTIFF (one strip of floats, rows
// from the north, the node-registered tie point and spacing, WGS 84 geographic).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

namespace vemo::test {

inline void AppendBigEndian(std::string& out, const void* value, size_t size) {
  const char* bytes = static_cast<const char*>(value);
  for (size_t i = 0; i < size; ++i) out += bytes[std::endian::native == std::endian::little ? size - 1 - i : i];
}

// The grid of value(latitude, longitude) (degrees) at its nodes.
inline std::string GtxGrid(double south, double west, double spacing, int rows, int columns,
                           const std::function<double(double, double)>& value) {
  std::string out;
  const double header[4] = {south, west, spacing, spacing};
  for (double h : header) AppendBigEndian(out, &h, sizeof h);
  const int32_t size[2] = {rows, columns};
  for (int32_t s : size) AppendBigEndian(out, &s, sizeof s);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      const float v = static_cast<float>(value(south + r * spacing, west + c * spacing));
      AppendBigEndian(out, &v, sizeof v);
    }
  return out;
}

// The same grid as a little-endian GeoTIFF.
inline std::string GeoTiffGrid(double south, double west, double spacing, int rows, int columns,
                               const std::function<double(double, double)>& value) {
  static_assert(std::endian::native == std::endian::little);
  auto put = [](std::string& out, const auto& v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); };
  std::string data, extra;
  for (int r = rows - 1; r >= 0; --r)
    for (int c = 0; c < columns; ++c) put(data, static_cast<float>(value(south + r * spacing, west + c * spacing)));
  const uint32_t extraAt = 8 + static_cast<uint32_t>(data.size());
  auto add = [&](const std::string& bytes) {
    const uint32_t at = extraAt + static_cast<uint32_t>(extra.size());
    extra += bytes;
    return at;
  };
  std::string scale, tie, keys;
  for (double d : {spacing, spacing, 0.0}) put(scale, d);
  for (double d : {0.0, 0.0, 0.0, west, south + (rows - 1) * spacing, 0.0}) put(tie, d);
  // model type geographic, raster type pixel-is-point, WGS 84
  for (uint16_t k : {1, 1, 0, 3, 1024, 0, 1, 2, 1025, 0, 1, 2, 2048, 0, 1, 4326}) put(keys, k);
  struct Entry {
    uint16_t tag, type;
    uint32_t count, value;
  };
  const Entry entries[] = {{256, 3, 1, static_cast<uint32_t>(columns)}, {257, 3, 1, static_cast<uint32_t>(rows)},
                           {258, 3, 1, 32}, {259, 3, 1, 1}, {262, 3, 1, 1}, {273, 4, 1, 8}, {277, 3, 1, 1},
                           {278, 3, 1, static_cast<uint32_t>(rows)}, {279, 4, 1, static_cast<uint32_t>(data.size())},
                           {284, 3, 1, 1}, {339, 3, 1, 3}, {33550, 12, 3, add(scale)}, {33922, 12, 6, add(tie)},
                           {34735, 3, 16, add(keys)}};
  std::string out = "II";
  put(out, uint16_t{42});
  put(out, static_cast<uint32_t>(extraAt + extra.size()));
  out += data + extra;
  put(out, static_cast<uint16_t>(std::size(entries)));
  for (const Entry& e : entries) put(out, e.tag), put(out, e.type), put(out, e.count), put(out, e.value);
  put(out, uint32_t{0});
  return out;
}

}  // namespace vemo::test
