#include "geodesy/GPSTransfer.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSConfiguration.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/Settings.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

namespace fs = std::filesystem;

const char* const kDataPathSection = u8"坐标转换";
const char* const kDataPathKey = "Recent Data Path";

namespace {

struct DataFileState {
  std::string directory;  // with trailing '/'
  std::string name;       // file name without extension
};

DataFileState& DataFile() {
  static DataFileState state;
  return state;
}

struct ModeDialog {
  const char* description;  // UTF-8
  const char* pattern;
  const char* title;  // UTF-8
};

constexpr ModeDialog kModeDialogs[] = {
    {vemo::TrNoop(u8"三维直角坐标文件(*.XYZ)"), "*.XYZ", vemo::TrNoop(u8"输入三维直角坐标文件")},
    {vemo::TrNoop(u8"三维大地坐标文件(*.BLH)"), "*.BLH", vemo::TrNoop(u8"输入三维大地坐标文件")},
    {vemo::TrNoop(u8"大地经纬度文件(*.BL)"), "*.BL", vemo::TrNoop(u8"输入大地经纬度文件")},
    {vemo::TrNoop(u8"二维直角坐标文件(*.XY)"), "*.XY", vemo::TrNoop(u8"输入二维直角坐标文件")},
    {vemo::TrNoop(u8"二维直角坐标变换文件(*.XYXY)"), "*.XYXY", vemo::TrNoop(u8"输入二维直角坐标变换文件")},
    {vemo::TrNoop(u8"三维直角坐标变换文件(*.XYZXYZ)"), "*.XYZXYZ", vemo::TrNoop(u8"输入三维直角坐标变换文件")},
};

// Scale factor on the central meridian of the UTM form of the projection.
constexpr double kUtmScale = 0.9996;

// Stop rule of the XYZBLH iteration (signed differences, as the design gives them), and a
// bound on the number of steps that the rule needs in practice (it settles in a handful),
// so that no input can keep the loop running.
constexpr double kLatitudeStep = 1e-14;  // rad
constexpr double kHeightStep = 1e-4;     // m
constexpr int kMaxIterations = 100;

int ProjectionType() {
  const CGPSConfiguration* c = GlobalConfiguration();
  return c ? c->m_ProjectionType : 0;
}

bool AllFinite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace

const std::string& GlobalDataDir() { return DataFile().directory; }
const std::string& GlobalDataName() { return DataFile().name; }

std::string CommasToBlanks(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (size_t i = 0; i < line.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (vemo::IsGbkLeadByte(c) && i + 1 < line.size()) {
      if (c == 0xA3 && static_cast<unsigned char>(line[i + 1]) == 0xAC) {
        out += ' ';  // the full-width comma
      } else {
        out += line[i];
        out += line[i + 1];
      }
      ++i;
    } else {
      out += c == ',' ? ' ' : line[i];
    }
  }
  return out;
}

int ScanPointLine(std::string_view line, std::string& name, double* values, int maxValues) {
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
  size_t i = 0;
  while (i < line.size() && isSpace(line[i])) ++i;
  if (i == line.size()) return 0;
  size_t start = i;
  while (i < line.size() && !isSpace(line[i])) ++i;
  name.assign(line.substr(start, i - start));
  int count = 1;
  // strtod needs a terminated string; the rest of the line is copied once.
  std::string rest(line.substr(i));
  const char* p = rest.c_str();
  for (int k = 0; k < maxValues; ++k) {
    char* end = nullptr;
    double v = std::strtod(p, &end);
    if (end == p || !std::isfinite(v)) break;
    values[k] = v;
    ++count;
    p = end;
  }
  return count;
}

bool CheckEllipsoid(double a, double invF, const char* captionGbk) {
  if (std::isfinite(a) && std::isfinite(invF) && a > 0.0 && invF > 1.0) return true;
  vemo::ShowMessage(vemo::Format(vemo::UiText(u8"椭球参数无效(a=%.3lf, 1/f=%.9lf)，无法进行坐标转换!"), a, invF), captionGbk,
                    vemo::MessageIcon::Warning);
  return false;
}

bool IsSameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  return ec ? fs::path(a).lexically_normal() == fs::path(b).lexically_normal() : same;
}

bool CheckOutputIsNotInput(const std::string& inputPath, const std::string& outputPath, const char* captionGbk) {
  if (!IsSameFile(inputPath, outputPath)) return true;
  vemo::ShowMessage(vemo::Format(vemo::UiText(u8"结果文件'%s'就是输入文件，请更改输入文件的扩展名后再计算!"),
                                 vemo::PathToGbk(outputPath).c_str()),
                    captionGbk, vemo::MessageIcon::Warning);
  return false;
}

bool CheckOutputIsRegular(const std::string& outputPath, const char* captionGbk) {
  if (!vemo::IsNonRegularFile(outputPath)) return true;
  vemo::ShowMessage(vemo::Format(vemo::UiText(u8"%s不是普通文件，不能写入!"), vemo::PathToGbk(outputPath).c_str()), captionGbk,
                    vemo::MessageIcon::Warning);
  return false;
}

void WriteFileError(const std::string& path, const char* captionGbk) {
  // A file left unwritten because the command was stopped is no write error: the stop is
  // reported once, at its end.
  if (vemo::StopRequested()) return;
  vemo::ShowMessage(vemo::Format(vemo::UiText(u8"写文件'%s'出错!"), vemo::PathToGbk(path).c_str()), captionGbk,
                    vemo::MessageIcon::Warning);
}

double WrapLongitude(double L) {
  // remainder() is exact, and 0 is the nearest multiple of 2 pi to any |L| <= pi.
  return std::remainder(L, 2.0 * PI);
}

GPSTransfer::GPSTransfer(int mode) : m_Mode(mode) {}

GPSTransfer::~GPSTransfer() = default;

int GPSTransfer::GetDataFile(const char* path) {
  std::string chosen;
  if (path && *path) {
    chosen = path;
  } else {
    vemo::FileDialogRequest request;
    request.open = true;
    request.mustExist = true;
    if (m_Mode >= 0 && m_Mode < static_cast<int>(std::size(kModeDialogs))) {
      const ModeDialog& d = kModeDialogs[m_Mode];
      request.title = vemo::UiText(d.title);
      request.filters.push_back({vemo::UiText(d.description), d.pattern});
    }
    request.filters.push_back({vemo::UiText(u8"所有文件(*.*)"), "*.*"});
    std::error_code ec;
    std::string current = fs::current_path(ec).string();
    if (current.empty() || current.back() != '/') current += '/';
    request.initialDirectory = vemo::CSettingsStore::GetString(kDataPathSection, kDataPathKey, current);
    auto files = vemo::Platform().ChooseFiles(request);
    if (!files || files->empty() || files->front().empty()) return 0;
    chosen = files->front();
  }

  std::error_code ec;
  fs::path absolute = fs::absolute(fs::path(chosen), ec);
  if (!ec) chosen = absolute.lexically_normal().string();
  m_DataFile = chosen;

  DataFileState& state = DataFile();
  state.directory.clear();
  GetPathFromFileName(chosen, state.directory);
  std::string fileName = chosen.substr(state.directory.size());
  size_t dot = fileName.find_last_of('.');
  state.name = dot == std::string::npos ? fileName : fileName.substr(0, dot);
  vemo::CSettingsStore::SetString(kDataPathSection, kDataPathKey, state.directory);
  return 1;
}

int GPSTransfer::XYZBLH() {
  // The latitude is computed for the northern half and the sign put back at the end; the
  // member keeps |Z|, as callers of the design expect.
  const double sign = m_Z < 0 ? -1.0 : 1.0;
  m_Z = std::fabs(m_Z);
  m_b = m_a * (1.0 - 1.0 / m_InvF);
  m_e = std::sqrt(1.0 - m_b * m_b / (m_a * m_a));
  const double a = m_a, b = m_b, e2 = m_e * m_e;
  const double p = std::sqrt(m_X * m_X + m_Y * m_Y);
  if (!AllFinite({a, b, e2, p, m_Z}) || !(p > 0.0)) return 0;  // polar axis: Z/p undefined
  const double r = std::sqrt(p * p + m_Z * m_Z);

  double H = r - std::sqrt(a * b);
  double B = std::atan((m_Z / p) / (1.0 - a * e2 / (a + H)));
  for (int i = 0;; ++i) {
    if (i == kMaxIterations || !AllFinite({B, H})) return 0;
    const double sinB = std::sin(B);
    const double N = a / std::sqrt(1.0 - e2 * sinB * sinB);
    const double newH = p / std::cos(B) - N;
    const double newB = std::atan((m_Z / p) / (1.0 - e2 * N / (N + newH)));
    // Signed differences: a step that decreases B and H ends the loop.
    const bool settled = newB - B <= kLatitudeStep && newH - H <= kHeightStep;
    B = newB;
    H = newH;
    if (settled) break;
  }
  if (!AllFinite({B, H})) return 0;
  m_L = std::atan2(m_Y, m_X);
  m_B = sign * B;
  m_H = H;
  return 1;
}

int GPSTransfer::BLHXYZ() {
  m_b = m_a * (1.0 - 1.0 / m_InvF);
  m_e = std::sqrt(1.0 - m_b * m_b / (m_a * m_a));
  const double sinB = std::sin(m_B), cosB = std::cos(m_B);
  const double N = m_a / std::sqrt(1.0 - (m_e * sinB) * (m_e * sinB));
  m_X = (m_H + N) * cosB * std::cos(m_L);
  m_Y = (m_H + N) * cosB * std::sin(m_L);
  m_Z = (N + m_H) * sinB - m_e * m_e * N * sinB;
  return AllFinite({m_X, m_Y, m_Z}) ? 1 : 0;
}

int GPSTransfer::BLXY() {
  const double sign = m_B < 0 ? -1.0 : 1.0;
  m_B = std::fabs(m_B);
  const double B = m_B;
  const double l = WrapLongitude(m_L - m_L0);
  m_b = m_a * (1.0 - 1.0 / m_InvF);
  m_e = std::sqrt(1.0 - m_b * m_b / (m_a * m_a));
  const double a = m_a;
  const double e2 = m_e * m_e, e4 = e2 * e2, e6 = e4 * e2;
  const double ep2 = a * a / (m_b * m_b) - 1.0;  // second eccentricity squared
  const double sinB = std::sin(B), cosB = std::cos(B);
  const double N = a / std::sqrt(1.0 - e2 * sinB * sinB);
  const double t = std::tan(B), t2 = t * t, t4 = t2 * t2;
  const double eta2 = e2 * cosB * cosB / (1.0 - e2);
  const double m = l * cosB, m2 = m * m;

  // Meridian arc from the equator, series in e^2 to the third power.
  const double S = a * ((1.0 - e2 / 4.0 - 3.0 * e4 / 64.0 - 5.0 * e6 / 256.0) * B -
                        (3.0 * e2 / 8.0 + 3.0 * e4 / 32.0 + 45.0 * e6 / 1024.0) * std::sin(2.0 * B) +
                        (15.0 * e4 / 256.0 + 45.0 * e6 / 1024.0) * std::sin(4.0 * B) -
                        (35.0 * e6 / 3072.0) * std::sin(6.0 * B));
  const double y = N * (m + (1.0 - t2 + eta2) * m2 * m / 6.0 +
                        (5.0 - 18.0 * t2 + t4 + 72.0 * eta2 - 58.0 * ep2) * m2 * m2 * m / 120.0);
  const double x = S + N * t *
                           (m2 / 2.0 + (5.0 - t2 + 9.0 * eta2 + 4.0 * eta2 * eta2) * m2 * m2 / 24.0 +
                            (61.0 - 58.0 * t2 + t4 + 600.0 * eta2 - 330.0 * ep2) * m2 * m2 * m2 / 720.0);
  switch (ProjectionType()) {
    case 0:
      m_X = sign * x;
      m_Y = y;
      break;
    case 1:
      m_X = sign * x * kUtmScale;
      m_Y = y * kUtmScale;
      break;
    default:
      break;
  }
  return AllFinite({m_X, m_Y}) ? 1 : 0;
}

int GPSTransfer::XYBL() {
  const int type = ProjectionType();
  const double sign = m_X < 0 ? -1.0 : 1.0;
  m_X = std::fabs(m_X);
  const double a = m_a;
  m_b = a * (1.0 - 1.0 / m_InvF);
  m_e = std::sqrt(1.0 - m_b * m_b / (a * a));
  const double e2 = 2.0 / m_InvF - 1.0 / (m_InvF * m_InvF), e4 = e2 * e2, e6 = e4 * e2;
  const double ep2 = e2 / (1.0 - e2);
  const double root = std::sqrt(1.0 - e2);
  const double e1 = (1.0 - root) / (1.0 + root);
  const double e1_2 = e1 * e1, e1_3 = e1_2 * e1, e1_4 = e1_2 * e1_2;
  const double scale = type == 1 ? kUtmScale : 1.0;

  // Footpoint latitude: the rectifying latitude mu of the meridian arc, corrected by the
  // series in e1.
  const double M = m_X / scale;
  const double mu = M / (a * (1.0 - e2 / 4.0 - 3.0 * e4 / 64.0 - 5.0 * e6 / 256.0));
  const double phi1 = mu + (3.0 * e1 / 2.0 - 27.0 * e1_3 / 32.0) * std::sin(2.0 * mu) +
                      (21.0 * e1_2 / 16.0 - 55.0 * e1_4 / 32.0) * std::sin(4.0 * mu) +
                      (151.0 * e1_3 / 96.0) * std::sin(6.0 * mu) + (1097.0 * e1_4 / 512.0) * std::sin(8.0 * mu);
  const double sinP = std::sin(phi1), cosP = std::cos(phi1), tanP = std::tan(phi1);
  const double W = std::sqrt(1.0 - e2 * sinP * sinP);
  const double N1 = a / W;
  const double R1 = a * (1.0 - e2) / (W * W * W);
  const double T1 = tanP * tanP;
  const double C1 = ep2 * cosP * cosP;
  const double D = m_Y / (scale * N1), D2 = D * D;

  const double B = sign * (phi1 - (N1 * tanP / R1) *
                                      (D2 / 2.0 -
                                       (5.0 + 3.0 * T1 + 10.0 * C1 - 4.0 * C1 * C1 - 9.0 * ep2) * D2 * D2 / 24.0 +
                                       (61.0 + 90.0 * T1 + 298.0 * C1 + 45.0 * T1 * T1 - 252.0 * ep2 - 3.0 * C1 * C1) *
                                           D2 * D2 * D2 / 720.0));
  const double L = m_L0 + (D - (1.0 + 2.0 * T1 + C1) * D2 * D / 6.0 +
                           (5.0 - 2.0 * C1 + 28.0 * T1 - 3.0 * C1 * C1 + 8.0 * ep2 + 24.0 * T1 * T1) * D2 * D2 * D /
                               120.0) /
                              cosP;
  if (type == 0 || type == 1) {
    m_B = B;
    m_L = L;
  }
  return AllFinite({m_B, m_L}) ? 1 : 0;
}

std::array<double, 9> LocalFrameRows(double B, double L) {
  const double sb = std::sin(B), cb = std::cos(B), sl = std::sin(L), cl = std::cos(L);
  return {-sb * cl, -sb * sl, cb, -sl, cl, 0.0, cb * cl, cb * sl, sb};
}
