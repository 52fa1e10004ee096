// The network map written to files without a display: SVG and PDF keep every text as text
// (searchable, copyable), PNG is a picture of the page. All three come from DrawMapPage.
#pragma once

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

// Renders the page of the document into each requested file. Every file is written whole or
// not at all; a file that cannot be written gets "写文件'%s'出错!" and the result is false.
bool WriteNetworkMapFiles(const CVemoGPSDoc& doc, const CMapDisplay& display, const CMapFiles& files);

// The same pictures in memory, for tests and previews.
std::string RenderMapSvg(const CVemoGPSDoc& doc, const CMapDisplay& display);
std::string RenderMapPdf(const CVemoGPSDoc& doc, const CMapDisplay& display);
std::string RenderMapPng(const CVemoGPSDoc& doc, const CMapDisplay& display, double dotsPerMm = kPngDotsPerMm);

}  // namespace vemo
