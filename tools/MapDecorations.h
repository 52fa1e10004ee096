// What makes the network map readable on its own: a legend of its symbols (known and
// unknown points, baselines, error ellipses with a bar of a round error), a north arrow and a
// scale bar of a round length. Each stands in a white framed box in a corner of the drawing
// area, the corner that covers the fewest points; they are drawn with the network by
// DrawMapPage, so the view, the printer and the SVG, PDF and PNG files all show them.
//
// Ground lengths are metres, paper measures millimetres (x to the right, y downwards).
#pragma once

#include <QRectF>
#include <QString>

#include "tools/NetworkMapPainter.h"
#include "tools/VemoGPSDoc.h"

class QPainter;

namespace vemo {

struct CMapDecorations {
  // The boxes on paper (mm); an empty box is not drawn (the drawing area cannot hold it).
  QRectF legend, northArrow, scaleBar;
  // The scale bar: its ground length (m) and its length on paper (mm), measured east-west.
  double barMetres = 0, barMm = 0;
  // The legend's error bar: the error it stands for (cm) and its length on paper (mm); both 0
  // when no ellipse is drawn.
  double errorCm = 0, errorMm = 0;
  // Which rows the legend has besides the two point symbols.
  bool baselines = false, ellipses = false;
};

// The decorations of the document's map drawn at the placement on the document's page.
CMapDecorations PlaceMapDecorations(const CVemoGPSDoc& doc, const CMapDisplay& display,
                                    const CMapPlacement& placement);

void DrawMapDecorations(QPainter& painter, const CMapDecorations& decorations);

// The largest of 1, 2 and 5 times a power of ten that is not above limit (> 0, finite);
// 0 for any other limit.
double RoundLengthBelow(double limit);

// A ground length as the scale bar labels it: metres below a kilometre ("500 m", "0.5 m"),
// kilometres from one on ("2 km").
QString GroundLengthLabel(double metres);
// An error as the legend labels it: centimetres from one on ("2 cm"), millimetres below
// ("5 mm").
QString ErrorLengthLabel(double cm);

}  // namespace vemo
