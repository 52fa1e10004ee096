// A small geoid grid in the GTX layout (a big-endian header: south latitude, west longitude,
// latitude and longitude spacing in degrees, rows, columns; then the rows from the south as
// big-endian floats), written by the tests themselves.
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

}  // namespace vemo::test
