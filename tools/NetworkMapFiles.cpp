#include "tools/NetworkMapFiles.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>
#include <cstdlib>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Encoding.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
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

}  // namespace

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

std::string RenderMapPng(const CVemoGPSDoc& doc, const CMapDisplay& display, double dotsPerMm) {
  const CMapPage& page = doc.Page();
  QImage image(static_cast<int>(std::lround(page.width * dotsPerMm)),
               static_cast<int>(std::lround(page.height * dotsPerMm)), QImage::Format_RGB32);
  if (image.isNull()) return {};
  image.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMm * 1000)));
  image.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMm * 1000)));
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.scale(dotsPerMm, dotsPerMm);
    DrawMapPage(painter, doc, display);
  }
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};
  return buffer.data().toStdString();
}

bool WriteNetworkMapFiles(const CVemoGPSDoc& doc, const CMapDisplay& display, const CMapFiles& files) {
  if (!EnsureDrawingApplication()) return false;
  bool ok = true;
  auto write = [&](const std::string& path, std::string (*render)(const CVemoGPSDoc&, const CMapDisplay&)) {
    if (path.empty()) return;
    std::string bytes = render(doc, display);
    std::string error;
    if (bytes.empty() || !WriteFileAtomically(path, bytes, &error)) {
      ShowMessage(Format(T(u8"写文件'%s'出错!"), PathToGbk(path).c_str()), AppTitle());
      ok = false;
    }
  };
  write(files.svg, RenderMapSvg);
  write(files.pdf, RenderMapPdf);
  write(files.png, [](const CVemoGPSDoc& d, const CMapDisplay& s) { return RenderMapPng(d, s); });
  return ok;
}

}  // namespace vemo
