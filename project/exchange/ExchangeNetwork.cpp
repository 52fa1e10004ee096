#include "project/exchange/ExchangeNetwork.h"

#include <cmath>

#include "geodesy/GPSTransfer.h"

namespace vemo::exchange {
namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kF = 1.0 / kGrs80InvF, kE2 = kF * (2.0 - kF);
}  // namespace

std::array<double, 3> GeodeticToGeocentric(double lat, double lon, double h, double a, double invF) {
  // The library's conversion, so that a known point reads here as the adjustments read it.
  GPSTransfer transfer(0);
  transfer.m_a = a, transfer.m_InvF = invF;
  transfer.m_B = lat, transfer.m_L = lon, transfer.m_H = h;
  transfer.BLHXYZ();
  return {transfer.m_X, transfer.m_Y, transfer.m_Z};
}

std::array<double, 3> GeocentricToGeodetic(const std::array<double, 3>& xyz) {
  const double p = std::hypot(xyz[0], xyz[1]);
  const double lon = std::atan2(xyz[1], xyz[0]);
  double lat = std::atan2(xyz[2], p * (1.0 - kE2)), h = 0.0;
  for (int i = 0; i < 10; ++i) {
    const double s = std::sin(lat), n = kGrs80A / std::sqrt(1.0 - kE2 * s * s);
    h = std::abs(std::cos(lat)) > 1e-12 ? p / std::cos(lat) - n : std::abs(xyz[2]) - n * (1.0 - kE2);
    lat = std::atan2(xyz[2], p * (1.0 - kE2 * n / (n + h)));
  }
  return {lat, lon, h};
}

std::array<double, 2> UtmToGeodetic(double easting, double northing, int zone, bool south) {
  // Krueger's series in the third flattening, good to a fraction of a millimetre in a zone.
  const double n = kF / (2.0 - kF), n2 = n * n, n3 = n2 * n, n4 = n3 * n;
  const double A = kGrs80A / (1.0 + n) * (1.0 + n2 / 4.0 + n4 / 64.0);
  const double beta[4] = {n / 2.0 - 2.0 * n2 / 3.0 + 37.0 * n3 / 96.0, n2 / 48.0 + n3 / 15.0 - 437.0 * n4 / 1440.0,
                          17.0 * n3 / 480.0 - 37.0 * n4 / 840.0, 4397.0 * n4 / 161280.0};
  const double xi0 = (northing - (south ? 10000000.0 : 0.0)) / (0.9996 * A);
  const double eta0 = (easting - 500000.0) / (0.9996 * A);
  double xi = xi0, eta = eta0;
  for (int j = 1; j <= 4; ++j) {
    xi -= beta[j - 1] * std::sin(2.0 * j * xi0) * std::cosh(2.0 * j * eta0);
    eta -= beta[j - 1] * std::cos(2.0 * j * xi0) * std::sinh(2.0 * j * eta0);
  }
  const double chi = std::asin(std::sin(xi) / std::cosh(eta));
  // Conformal latitude to geodetic latitude by iteration.
  const double e = std::sqrt(kE2);
  double lat = chi;
  for (int i = 0; i < 12; ++i)
    lat = 2.0 * std::atan(std::tan(kPi / 4.0 + chi / 2.0) *
                          std::pow((1.0 + e * std::sin(lat)) / (1.0 - e * std::sin(lat)), e / 2.0)) -
          kPi / 2.0;
  const double lon0 = (zone * 6.0 - 183.0) * kPi / 180.0;
  return {lat, lon0 + std::atan2(std::sinh(eta), std::cos(xi))};
}

Matrix LocalFrame(double lat, double lon) {
  const std::array<double, 9> R = LocalFrameRows(lat, lon);
  return Matrix(R.begin(), R.end());
}

Matrix Multiply(const Matrix& a, const Matrix& b, size_t n) {
  Matrix c(n * n, 0.0);
  for (size_t i = 0; i < n; ++i)
    for (size_t k = 0; k < n; ++k)
      for (size_t j = 0; j < n; ++j) c[i * n + j] += a[i * n + k] * b[k * n + j];
  return c;
}

Matrix Transpose(const Matrix& a, size_t n) {
  Matrix t(n * n);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) t[j * n + i] = a[i * n + j];
  return t;
}

bool IsPositiveDefinite(const Matrix& a, size_t n) {
  Matrix l(n * n, 0.0);
  for (size_t j = 0; j < n; ++j) {
    double d = a[j * n + j];
    for (size_t k = 0; k < j; ++k) d -= l[j * n + k] * l[j * n + k];
    if (!(d > 0.0) || !std::isfinite(d)) return false;
    l[j * n + j] = std::sqrt(d);
    for (size_t i = j + 1; i < n; ++i) {
      double s = a[i * n + j];
      for (size_t k = 0; k < j; ++k) s -= l[i * n + k] * l[j * n + k];
      l[i * n + j] = s / l[j * n + j];
    }
  }
  return true;
}

}  // namespace vemo::exchange
