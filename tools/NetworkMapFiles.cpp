#include "tools/NetworkMapFiles.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Encoding.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {

namespace {

constexpr double kMmPerInch = 25.4;
// SVG user units are millimetres; the generator's pixel grid is ten per millimetre.
constexpr int kSvgDotsPerMm = 10;
constexpr int kPdfResolution = 1200;

// Qt's notes about its own run-time folder say nothing to a person who asked for a map.
QtMessageHandler g_QtHandler = nullptr;
void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
  if (g_QtHandler) g_QtHandler(type, context, message);
}

// The picture's size in pixels; false beyond the limits (checked before any conversion to
// int, which a page of 536870912.125 mm would wrap to one pixel).
bool PngSize(const CMapPage& page, double dotsPerMm, double& width, double& height) {
  width = std::round(page.width * dotsPerMm);
  height = std::round(page.height * dotsPerMm);
  return width >= 1 && height >= 1 && width <= kMaxPngSide && height <= kMaxPngSide &&
         width * height <= kMaxPngPixels;
}

// File bytes a drawn point and a drawn line add at most to an SVG or PDF (the ellipse's 61
// vertices, symbol and name; one line), measured on generated networks with some margin.
constexpr double kVectorBytesPerPoint = 2500.0;
constexpr double kVectorBytesPerLine = 200.0;
// The document while drawing: the points on paper and a name in UTF-16.
constexpr double kDrawingBytesPerPoint = 64.0;

// Whether the memory can be had, asked of the allocator without touching it (under a limit of
// the address space, or beyond what the system would ever grant, it says no).
bool MemoryAvailable(double bytes) {
  if (!(bytes < 0.5 * static_cast<double>(std::numeric_limits<size_t>::max()))) return false;
  void* probe = std::malloc(static_cast<size_t>(bytes));
  std::free(probe);
  return probe != nullptr;
}

// The threads that draw a picture: one per processor, up to a few (each band costs the items
// that straddle its edges once more).
constexpr int kMostDrawingThreads = 4;
int DrawingThreads() { return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMostDrawingThreads); }

// The rows where the picture is split into bands of as many points each (the work follows
// the points), from 0 to the picture's height.
std::vector<int> BandEdges(const CMapNetworkDrawing& network, double dotsPerMm, int height, int bands) {
  std::vector<double> rows;
  rows.reserve(network.Paper().size());
  for (const QPointF& p : network.Paper())
    if (std::isfinite(p.y())) rows.push_back(std::clamp(p.y() * dotsPerMm, 0.0, static_cast<double>(height)));
  std::vector<int> edges = {0};
  for (int band = 1; band < bands; ++band) {
    int edge = static_cast<int>(static_cast<long long>(height) * band / bands);
    if (!rows.empty()) {
      auto at = rows.begin() + static_cast<std::ptrdiff_t>(rows.size() * static_cast<size_t>(band) / static_cast<size_t>(bands));
      std::nth_element(rows.begin(), at, rows.end());
      edge = static_cast<int>(std::lround(*at));
    }
    edges.push_back(std::clamp(edge, edges.back(), height));
  }
  edges.push_back(height);
  return edges;
}

// Draws the network into the picture in horizontal bands, a thread a band. A band is drawn on
// a picture of the whole page of its own (whose rows outside the band are never read and
// mostly never touched), unclipped, with every item that reaches into the band in the
// drawing's order; then its rows are copied into the picture. Each item is thus rasterised
// exactly as by a single painter (a clip, or a picture of the band's size, would make the
// thin-line rasteriser place lines differently) and the rows get the same pixels.
void DrawWhole(QImage& image, double dotsPerMm, const CMapNetworkDrawing& network) {
  QPainter painter(&image);
  painter.scale(dotsPerMm, dotsPerMm);
  network.Draw(painter);
}

void DrawInBands(QImage& image, double dotsPerMm, const CMapNetworkDrawing& network, int threads) {
  const int width = image.width(), height = image.height();
  if (threads <= 1 || height < threads) return DrawWhole(image, dotsPerMm, network);
  const std::vector<int> edges = BandEdges(network, dotsPerMm, height, threads);
  uchar* const pixels = image.bits();  // detached here, before any thread shares them
  const size_t rowBytes = static_cast<size_t>(image.bytesPerLine());
  std::atomic<int> next{0};
  std::atomic<bool> failed{false};
  auto drawBands = [&] {
    for (int band = next++; band < threads; band = next++) {
      const int top = edges[static_cast<size_t>(band)], bottom = edges[static_cast<size_t>(band) + 1];
      if (bottom <= top) continue;
      QImage page(width, height, image.format());
      if (page.isNull()) {
        failed = true;
        continue;
      }
      page.setDotsPerMeterX(image.dotsPerMeterX());
      page.setDotsPerMeterY(image.dotsPerMeterY());
      // The band starts as the picture's rows are: white.
      for (int y = top; y < bottom; ++y) std::memcpy(page.scanLine(y), pixels + rowBytes * static_cast<size_t>(y), rowBytes);
      {
        QPainter painter(&page);
        painter.scale(dotsPerMm, dotsPerMm);
        network.Draw(painter, QRectF(0, top / dotsPerMm, width / dotsPerMm, (bottom - top) / dotsPerMm));
      }
      for (int y = top; y < bottom; ++y) std::memcpy(pixels + rowBytes * static_cast<size_t>(y), page.constScanLine(y), rowBytes);
    }
  };
  std::vector<std::thread> helpers;
  try {
    for (int i = 1; i < threads; ++i) helpers.emplace_back(drawBands);
  } catch (const std::system_error&) {
    // Fewer threads: the bands are taken by those that started.
  }
  drawBands();
  for (std::thread& helper : helpers) helper.join();
  // A band whose page could not be had is not drawn: the picture is drawn again as a whole.
  if (failed) {
    image.fill(Qt::white);
    DrawWhole(image, dotsPerMm, network);
  }
}

}  // namespace

double MapMemoryEstimate(const CVemoGPSDoc& doc, MapFormat format, double dotsPerMm) {
  const double points = static_cast<double>(doc.Points().size()), lines = static_cast<double>(doc.Lines().size());
  const double drawing = points * kDrawingBytesPerPoint;
  if (format == MapFormat::Png) {
    double width = 0, height = 0;
    PngSize(doc.Page(), dotsPerMm, width, height);
    // The picture, and its PNG bytes (at most about as large) with their copy.
    return drawing + width * height * 4.0 * 3.0;
  }
  // The bytes grow by doubling in their buffer and are copied once.
  return drawing + (points * kVectorBytesPerPoint + lines * kVectorBytesPerLine) * 3.0;
}

bool EnsureDrawingApplication() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return true;
  if (QCoreApplication::instance()) return false;  // a console application cannot lay out text
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  g_QtHandler = qInstallMessageHandler(FilterQtMessages);
  // The application lives for the rest of the run, as the desktop's does.
  static int argc = 1;
  static char name[] = "VemoGPS";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* application = new QGuiApplication(argc, argv);
  return application != nullptr;
}

std::string RenderMapSvg(const CVemoGPSDoc& doc, const CMapDisplay& display) {
  const CMapPage& page = doc.Page();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(static_cast<int>(std::lround(page.width * kSvgDotsPerMm)),
                    static_cast<int>(std::lround(page.height * kSvgDotsPerMm))));
  svg.setViewBox(QRectF(0, 0, page.width, page.height));
  svg.setResolution(static_cast<int>(std::lround(kSvgDotsPerMm * kMmPerInch)));
  svg.setTitle(GbkToQString(doc.Title()));
  QPainter painter;
  if (!painter.begin(&svg)) return {};
  DrawMapPage(painter, doc, display);
  painter.end();
  return buffer.data().toStdString();
}

std::string RenderMapPdf(const CVemoGPSDoc& doc, const CMapDisplay& display) {
  const CMapPage& page = doc.Page();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QSizeF(page.width, page.height), QPageSize::Millimeter));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(kPdfResolution);
    pdf.setTitle(GbkToQString(doc.Title()));
    pdf.setCreator(QStringLiteral("VemoGPS"));
    QPainter painter;
    if (!painter.begin(&pdf)) return {};
    const double dotsPerMm = kPdfResolution / kMmPerInch;
    painter.scale(dotsPerMm, dotsPerMm);
    DrawMapPage(painter, doc, display);
    painter.end();
  }
  return buffer.data().toStdString();
}

QImage RenderMapPicture(const CVemoGPSDoc& doc, const CMapDisplay& display, double dotsPerMm, int threads) {
  double width = 0, height = 0;
  if (!PngSize(doc.Page(), dotsPerMm, width, height)) return {};
  QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  if (image.isNull()) return {};
  image.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMm * 1000)));
  image.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMm * 1000)));
  // The page is white: the picture starts so.
  image.fill(Qt::white);
  const CMapPlacement placement = PagePlacement(doc, display.sameScale);
  const CMapNetworkDrawing network(doc, placement, display);
  DrawInBands(image, dotsPerMm, network, threads > 0 ? threads : DrawingThreads());
  QPainter painter(&image);
  painter.scale(dotsPerMm, dotsPerMm);
  DrawMapFurniture(painter, doc, display, placement);
  return image;
}

std::string RenderMapPng(const CVemoGPSDoc& doc, const CMapDisplay& display, double dotsPerMm) {
  const QImage image = RenderMapPicture(doc, display, dotsPerMm);
  if (image.isNull()) return {};
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};
  return buffer.data().toStdString();
}

bool WriteNetworkMapFiles(const CVemoGPSDoc& doc, const CMapDisplay& display, const CMapFiles& files) {
  if (!EnsureDrawingApplication()) return false;
  struct Output {
    const std::string& path;
    MapFormat format;
    std::string (*render)(const CVemoGPSDoc&, const CMapDisplay&);
  };
  const Output outputs[] = {
      {files.svg, MapFormat::Svg, RenderMapSvg},
      {files.pdf, MapFormat::Pdf, RenderMapPdf},
      {files.png, MapFormat::Png, [](const CVemoGPSDoc& d, const CMapDisplay& s) { return RenderMapPng(d, s); }}};
  // Every output is checked before the first is written, so that a refusal writes nothing.
  const std::vector<std::string> inputs = doc.InputPaths();
  for (const Output& out : outputs) {
    if (out.path.empty()) continue;
    if (!CheckOutputReplacesNoData(out.path, inputs)) return false;
    double width = 0, height = 0;
    if (out.format == MapFormat::Png && !PngSize(doc.Page(), kPngDotsPerMm, width, height)) {
      ShowMessage(Format(UiText(u8"网图页面%.0lf×%.0lf毫米的PNG图片为%.0lf×%.0lf像素，每边不能超过%.0lf像素，"
                           u8"总数不能超过%.0lf百万像素，未生成网图文件%s!"),
                         doc.Page().width, doc.Page().height, std::round(doc.Page().width * kPngDotsPerMm),
                         std::round(doc.Page().height * kPngDotsPerMm), kMaxPngSide, kMaxPngPixels / 1e6,
                         PathToGbk(out.path).c_str()),
                  AppTitle());
      return false;
    }
    const double bytes = MapMemoryEstimate(doc, out.format);
    if (!MemoryAvailable(bytes)) {
      ShowMessage(Format(UiText(u8"生成网图文件%s约需%.0lfMB内存。内存不足,请关闭一些应用程序后再试!"),
                         PathToGbk(out.path).c_str(), bytes / (1024.0 * 1024.0)),
                  AppTitle());
      return false;
    }
  }
  bool ok = true;
  for (const Output& out : outputs) {
    if (out.path.empty()) continue;
    const std::string bytes = out.render(doc, display);
    if (bytes.empty() || !WriteFileAtomically(out.path, bytes)) {
      ShowMessage(Format(UiText(u8"写文件'%s'出错!"), PathToGbk(out.path).c_str()), AppTitle());
      ok = false;
    }
  }
  return ok;
}

}  // namespace vemo
