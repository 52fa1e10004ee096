#include "tools/NetworkDesign.h"

#include <cmath>
#include <filesystem>
#include <unordered_map>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

namespace {

constexpr int kDesignLineBuffer = 300;
// WGS84 as the design uses it.
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84E2 = 0.0066943799013;
constexpr double kLatitudeTolerance = 1e-5;  // rad
constexpr int kLatitudeIterations = 100;     // the iteration settles in a handful
// A baseline shorter than this in the horizontal has no direction that the model could use:
// a vertical one, to the rounding of the latitude, or both ends the same point.
constexpr double kShortestHorizontal = 1e-3;  // m
// Bounds of what the design file can mean: geocentric coordinates within 1e8 m (a point of a
// survey lies within 6.4e6 m of the centre) and precision terms within 1e6 (mm, ppm, seconds).
// Within them every square and sum of the simulation stays finite, so no vector of not-a-number
// values is written.
constexpr double kMaxDesignCoordinate = 1e8;
constexpr double kMaxPrecisionTerm = 1e6;

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle()); }

}  // namespace

void CGPSNetDesign::LatitudeLongitude(double X, double Y, double Z, double& B, double& L) {
  // atan2: the longitude of a point with X < 0 (all of China east of 90 degrees) lies in the
  // second or third quadrant, which the one-argument arctangent would put 180 degrees off.
  L = std::atan2(Y, X);
  const double p = std::sqrt(X * X + Y * Y);
  double b = std::atan2(Z, p);
  for (int k = 0; k < kLatitudeIterations; ++k) {
    const double sinB = std::sin(b);
    const double W = std::sqrt(1.0 - kWgs84E2 * sinB * sinB);
    const double next = std::atan2(kWgs84A / W * kWgs84E2 * sinB + Z, p);
    // The latitude used is the iterate before the last update.
    if (std::fabs(b - next) <= kLatitudeTolerance) break;
    b = next;
  }
  B = b;
}

bool CGPSNetDesign::SimulateVector(const CDesignPoint& p1, const CDesignPoint& p2, const CDesignPrecision& precision,
                                   CDesignVector& vector) {
  vector.from = p1.name;
  vector.to = p2.name;
  vector.dX = p2.X - p1.X;
  vector.dY = p2.Y - p1.Y;
  vector.dZ = p2.Z - p1.Z;
  const double dX = vector.dX, dY = vector.dY, dZ = vector.dZ;
  const double S = std::sqrt(dX * dX + dY * dY + dZ * dZ);

  double B, L;
  LatitudeLongitude(p1.X, p1.Y, p1.Z, B, L);
  const double sinB = std::sin(B), cosB = std::cos(B), sinL = std::sin(L), cosL = std::cos(L);
  const double N = dZ * cosB - (sinL * sinB * dY + cosL * sinB * dX);
  const double E = cosL * dY - sinL * dX;
  const double U = dY * sinL * cosB + dX * cosB * cosL + sinB * dZ;
  const double H = std::sqrt(N * N + E * E);
  if (!(H >= kShortestHorizontal)) return false;
  const double sinA = E / H, cosA = N / H;

  // Standard deviations in cm: a in mm, b in ppm of a length in m (S b / 1000 is mm).
  const double a = precision.a, b = precision.b;
  const double sh2 = (Square(S * b / 1000) + a * a) / 100;
  const double sv2 = (Square(U * 2 * b / 1000) + Square(2 * a)) / 100;
  // Across the line H c / rho is metres; x 100 makes it cm like the other terms.
  const double st2 = Square(H * precision.c / kRho * 100);

  // Local covariance, order north, east, up.
  const double C[3][3] = {{cosA * cosA * sh2 + sinA * sinA * st2, sinA * cosA * (sh2 - st2), 0},
                          {sinA * cosA * (sh2 - st2), sinA * sinA * sh2 + cosA * cosA * st2, 0},
                          {0, 0, sv2}};
  // Columns north, east, up in the geocentric axes.
  const double R[3][3] = {{-sinB * cosL, -sinL, cosB * cosL}, {-sinB * sinL, cosL, cosB * sinL}, {cosB, 0, sinB}};
  double RC[3][3], Sigma[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      RC[i][j] = 0;
      for (int k = 0; k < 3; ++k) RC[i][j] += R[i][k] * C[k][j];
    }
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      Sigma[i][j] = 0;
      for (int k = 0; k < 3; ++k) Sigma[i][j] += RC[i][k] * R[j][k];
    }
  vector.covariance = {Sigma[0][0], Sigma[1][1], Sigma[2][2], Sigma[0][1], Sigma[0][2], Sigma[1][2]};
  return true;
}

bool CGPSNetDesign::ReadCoordinates(const std::string& path) {
  m_Points.clear();
  std::string content;
  if (!ReadRequiredFile(path, content)) return false;
  CTextLineReader reader(content, kDesignLineBuffer);
  std::string line;
  double model[3];
  std::string first;
  reader.Next(first);
  // Line 1 is the precision model: three numbers, the first standing where a name would.
  {
    const char* p = first.c_str();
    int n = 0;
    for (; n < 3; ++n) {
      char* end = nullptr;
      model[n] = std::strtod(p, &end);
      if (end == p || !std::isfinite(model[n])) break;
      p = end;
    }
    if (n < 3) {
      Warn(Format(UiText(u8"设计坐标文件%s的第1行应为接收机精度指标: a(mm) b(ppm) c(秒)!"), PathToGbk(path).c_str()));
      return false;
    }
    for (double m : model)
      if (!(std::fabs(m) <= kMaxPrecisionTerm)) {
        ShowValueOutOfRange(path, 1, AppTitle());
        return false;
      }
  }
  m_Precision = {model[0], model[1], model[2]};
  while (reader.Next(line)) {
    std::string name;
    double v[3];
    if (ScanPointLine(line, name, v, 3) != 4) continue;
    for (double c : v)
      if (!(std::fabs(c) <= kMaxDesignCoordinate)) {
        ShowValueOutOfRange(path, reader.LineCount(), AppTitle());
        return false;
      }
    m_Points.push_back({NormalizeName(name), v[0], v[1], v[2]});
  }
  return true;
}

bool CGPSNetDesign::ReadLines(const std::string& path) {
  m_Lines.clear();
  std::string content;
  if (!ReadRequiredFile(path, content)) return false;
  CTextLineReader reader(content, kDesignLineBuffer);
  std::string line, from, to;
  while (reader.Next(line)) {
    std::string_view rest = TakeToken(line, &from);
    TakeToken(rest, &to);
    if (from.empty() || to.empty()) continue;
    m_Lines.push_back({NormalizeName(from), NormalizeName(to)});
  }
  return true;
}

std::vector<CDesignVector> CGPSNetDesign::Simulate() const {
  std::unordered_map<std::string, const CDesignPoint*> byName;
  for (const auto& p : m_Points) byName[p.name] = &p;  // the last of a repeated name wins
  std::vector<CDesignVector> vectors;
  for (const auto& line : m_Lines) {
    auto a = byName.find(line.from), b = byName.find(line.to);
    if (a == byName.end() || b == byName.end()) {
      const std::string& missing = a == byName.end() ? line.from : line.to;
      Warn(Format(UiText(u8"设计基线%s-%s的点%s不在设计坐标文件中，该基线未模拟!"), line.from.c_str(), line.to.c_str(),
                  missing.c_str()));
      continue;
    }
    CDesignVector vector;
    if (!SimulateVector(*a->second, *b->second, m_Precision, vector)) {
      Warn(Format(UiText(u8"设计基线%s-%s的水平长度为0(铅垂或两端同点)，方向不定，该基线未模拟!"), line.from.c_str(),
                  line.to.c_str()));
      continue;
    }
    vectors.push_back(std::move(vector));
  }
  return vectors;
}

std::string CGPSNetDesign::OutputName(const std::string& linePath) {
  // The name is cut at its own first dot; a dot of a directory does not count.
  std::filesystem::path path(linePath);
  const std::string file = path.filename().string();
  const size_t dot = file.find('.');
  if (dot == std::string::npos || dot == 0) return {};
  return (path.parent_path() / (file.substr(0, dot) + ".GPS3dVector")).string();
}

int RunNetworkDesign(const std::string& coordinatePath, const std::string& linePath) {
  CGPSNetDesign design;
  if (!design.ReadCoordinates(coordinatePath) || !design.ReadLines(linePath)) return 0;
  const std::string output = CGPSNetDesign::OutputName(linePath);
  if (output.empty()) {
    Warn(Format(UiText(u8"设计连线文件名%s没有扩展名(应为 名称.line)，无法确定向量文件名!"), PathToGbk(linePath).c_str()));
    return 0;
  }
  // The vector file must not take the place of an input.
  if (!CheckOutputIsNotInput(linePath, output, AppTitle()) || !CheckOutputIsNotInput(coordinatePath, output, AppTitle()))
    return 0;
  const std::vector<CDesignVector> vectors = design.Simulate();
  // Nothing to simulate: the vector file of an earlier simulation stays as it is.
  if (vectors.empty()) {
    Warn(Format(UiText(u8"设计连线文件%s中没有可以模拟的基线，未生成基线向量文件%s!"), PathToGbk(linePath).c_str(),
                PathToGbk(output).c_str()));
    return 0;
  }
  std::string text;
  for (const auto& v : vectors)
    text += Format("%8s %8s %12.3lf %12.3lf %12.3lf %12.8lf %12.8lf %12.8lf %12.8lf %12.8lf %12.8lf\n", v.from.c_str(),
                   v.to.c_str(), v.dX, v.dY, v.dZ, v.covariance[0], v.covariance[1], v.covariance[2], v.covariance[3],
                   v.covariance[4], v.covariance[5]);
  std::string error;
  if (!WriteFileAtomically(output, text, &error)) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(output).c_str()));
    return 0;
  }
  return OpenProjectDocument(output) ? 1 : 0;
}

int RunNetworkDesign() {
  auto choose = [](const char* description, const char* pattern) {
    FileDialogRequest request;
    request.filters = {{UiText(description), pattern}, {"All File(*.*)", "*.*"}};
    auto chosen = Platform().ChooseFiles(request);
    return chosen && !chosen->empty() ? chosen->front() : std::string();
  };
  const std::string coordinates = choose(TrNoop(u8"GPS设计坐标文件(*.xyz)"), "*.xyz");
  if (coordinates.empty()) return 0;
  const std::string lines = choose(TrNoop(u8"GPS设计网图连线文件(*.line)"), "*.line");
  if (lines.empty()) return 0;
  return RunNetworkDesign(coordinates, lines);
}

}  // namespace vemo
