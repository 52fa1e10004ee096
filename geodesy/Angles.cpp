#include "geodesy/Angles.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>

extern const double PI = std::numbers::pi;

namespace {

// Splits |x| printed with the given number of decimals into the whole part and the value of
// the first two decimals, as the packed readers do (the minutes come from the rounded text).
void SplitPacked(double a, const char* format, double& whole, int& firstTwo) {
  char text[400];  // "%.6lf" of the largest double has 316 characters
  std::snprintf(text, sizeof text, format, a);
  char* point = std::strchr(text, '.');
  if (point) *point = '\0';
  whole = std::strtod(text, nullptr);
  firstTwo = 0;
  if (point) {
    const char* digits = point + 1;
    for (int i = 0; i < 2 && digits[i] >= '0' && digits[i] <= '9'; ++i) firstTwo = firstTwo * 10 + (digits[i] - '0');
  }
}

}  // namespace

double DegreeToDms(double x) {
  double a = std::fabs(x);
  double d = std::floor(a);
  double m = (a - d) * 60.0;
  double mi = std::floor(m);
  double s = (m - mi) * 60.0 + 1e-7;
  if (60.0 - s < 5e-6) {
    mi += 1.0;
    s = 0.0;
  }
  if (mi > 59.0) {
    mi -= 60.0;
    d += 1.0;
  }
  double r = d + mi * 0.01 + s * 0.0001;
  return x < 0 ? -r : r;
}

double DmsToDegree(double x) {
  if (!std::isfinite(x)) return x;
  double a = std::fabs(x);
  double d;
  int mm;
  SplitPacked(a, "%.5lf", d, mm);
  double r = d + mm / 60.0 + (a - d - mm / 100.0) * 10000.0 / 3600.0;
  return x < 0 ? -r : r;
}

double DmsToRadian(double x) { return DmsToDegree(x) * PI / 180.0; }

double RadianToDms(double x) { return DegreeToDms(x * 180.0 / PI); }

double RadianToDms(double x, int decimals, double wrapDegrees) {
  // With nine decimals or more, the conversion's own carry (within 5e-6" of a minute) already
  // lies inside the last printed digit, and the files written so far keep their digits.
  if (decimals < 4 || decimals >= 9) {
    const double r = RadianToDms(x);
    return wrapDegrees > 0.0 && std::fabs(r) >= wrapDegrees ? r - std::copysign(wrapDegrees, r) : r;
  }
  int secondDecimals = decimals - 4;
  long long unitsPerSecond = 1;
  while (secondDecimals-- > 0) unitsPerSecond *= 10;
  // The angle in units of the last printed digit of its seconds, rounded once.
  const double units = std::fabs(x) * 180.0 / PI * 3600.0 * static_cast<double>(unitsPerSecond);
  if (!(units < 9e15)) return RadianToDms(x);  // not finite, or beyond exact integers
  long long n = std::llround(units);
  const long long perMinute = 60 * unitsPerSecond, perDegree = 3600 * unitsPerSecond;
  if (wrapDegrees > 0.0 && n >= std::llround(wrapDegrees) * perDegree) n -= std::llround(wrapDegrees) * perDegree;
  const long long degrees = n / perDegree, minutes = n % perDegree / perMinute, rest = n % perMinute;
  const double r = static_cast<double>(degrees) + static_cast<double>(minutes) * 0.01 +
                   static_cast<double>(rest) / static_cast<double>(unitsPerSecond) * 0.0001;
  return x < 0 && r != 0.0 ? -r : r;
}

double DegreeToRadian(const double& x) { return x / 180.0 * PI; }

double gDegreeToDms(const double& x) {
  double a = std::fabs(x);
  double d = std::floor(a + 1e-7);
  double m = (a - d) * 100.0;
  double mi = std::floor(m + 1e-7);
  double s = (m - mi) * 100.0;
  if (s >= 100.0) {
    mi += 1.0;
    s -= 100.0;
  }
  if (mi >= 100.0) {
    mi -= 100.0;
    d += 1.0;
  }
  double r = d + mi * 0.01 + s * 0.0001;
  return x < 0 ? -r : r;
}

double gDmsToDegree(const double& x) {
  if (!std::isfinite(x)) return x;
  double a = std::fabs(x);
  double d;
  int mm;
  SplitPacked(a, "%.6lf", d, mm);
  double r = d + mm / 100.0 + (a - d - mm / 100.0) * 10000.0 / 10000.0;
  return x < 0 ? -r : r;
}

double gDmsToRadian(const double& x) { return gDmsToDegree(x) * PI / 200.0; }

double gDegreeToRadian(const double& x) { return x / 200.0 * PI; }

double gRadianToDms(const double& x) { return gDegreeToDms(std::fabs(x) * 200.0 / PI); }

double Azimuth(const double& dX, const double& dY) {
  if (std::fabs(dX) < 1e-5 && std::fabs(dY) < 1e-5) return 0.0;
  double alpha = std::atan2(dY, dX);
  if (alpha < 0) alpha += 2.0 * PI;
  // A tiny negative angle would round up to 2 pi itself, outside the half-open range.
  if (alpha >= 2.0 * PI) alpha = 0.0;
  return alpha;
}
