// The network map written to files without a display: SVG and PDF keep every text as text
// (searchable, copyable), PNG is a picture of the page. All three come from DrawMapPage.
#pragma once

#include <QImage>
#include <string>

#include "tools/NetworkMapPainter.h"

namespace vemo {

// Makes sure a Qt GUI application exists, which fonts and painting need. When none does, one
// is created for the rest of the run on the offscreen platform (unless QT_QPA_PLATFORM names
// another), so a machine without a display draws as well. False when it cannot be created.
bool EnsureDrawingApplication();

struct CMapFiles {
  std::string svg, pdf, png;  // native paths; an empty one is not written
};

// Dots per millimetre of the PNG picture (about 200 dpi: the names stay readable).
constexpr double kPngDotsPerMm = 8.0;

// The largest PNG picture: a side beyond the raster painter's coordinates, or a picture of
// more than a gigabyte, is refused rather than drawn.
constexpr double kMaxPngSide = 32000.0;      // pixels
constexpr double kMaxPngPixels = 256.0e6;

// What drawing the document into a file of the format needs in memory (bytes, an estimate
// on the safe side): the picture, the file's bytes as they grow and their copy.
enum class MapFormat { Svg, Pdf, Png };
double MapMemoryEstimate(const CVemoGPSDoc& doc, MapFormat format, double dotsPerMm = kPngDotsPerMm);

// Renders the page of the document into each requested file. Every file is written whole or
// not at all. Refused before anything is drawn, with a message and false: an output that is
// one of the document's input files or a project data file, a PNG beyond the limits above,
// and a file whose estimated memory cannot be had. A file that cannot be written gets
// "写文件'%s'出错!" and the result is false.
bool WriteNetworkMapFiles(const CVemoGPSDoc& doc, const CMapDisplay& display, const CMapFiles& files);

// The same pictures in memory, for tests and previews; empty when the picture cannot be made
// (a PNG beyond the limits).
std::string RenderMapSvg(const CVemoGPSDoc& doc, const CMapDisplay& display);
std::string RenderMapPdf(const CVemoGPSDoc& doc, const CMapDisplay& display);
std::string RenderMapPng(const CVemoGPSDoc& doc, const CMapDisplay& display, double dotsPerMm = kPngDotsPerMm);
// The picture itself, drawn by that many threads (0: one per processor, up to a few); every
// count gives the same pixels. A null image beyond the limits.
QImage RenderMapPicture(const CVemoGPSDoc& doc, const CMapDisplay& display, double dotsPerMm = kPngDotsPerMm,
                        int threads = 0);

}  // namespace vemo
