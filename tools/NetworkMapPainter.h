// The one drawing routine of the network map, for every target: the desktop view, the
// printer, and the SVG, PDF and PNG files. It draws into a QPainter in millimetres of paper
// (x to the right, y downwards); the caller's world transform maps millimetres to the device
// (for a file or a printer the page's dots per millimetre, for a view also its zoom and
// scrolling). Nothing here owns a window or a widget.
#pragma once

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "tools/VemoGPSDoc.h"

class QPainter;

namespace vemo {

// The switches of the map view: "误差椭圆", "控制点名" and "相同比例".
struct CMapDisplay {
  bool ellipses = true;
  bool names = true;
  bool sameScale = true;
};

// Where the ground lies on paper: the ground point (x0 northing, y0 easting) is at the paper
// point (originX, originY) mm; northing grows upwards by scaleX metres per millimetre and
// easting to the right by scaleY metres per millimetre.
struct CMapPlacement {
  double x0 = 0, y0 = 0;
  double originX = 0, originY = 0;
  double scaleX = 1, scaleY = 1;

  QPointF ToPaper(double x, double y) const { return {originX + (y - y0) / scaleY, originY - (x - x0) / scaleX}; }
  // The ground point (x northing, y easting) under a paper point; for the "窗口" rectangle.
  void FromPaper(const QPointF& paper, double& x, double& y) const {
    x = x0 + (originY - paper.y()) * scaleX;
    y = y0 + (paper.x() - originX) * scaleY;
  }
};

// The placement of the page: the document's scales ("相同比例": the larger one for both axes),
// the network centred in the page's drawing area.
CMapPlacement PagePlacement(const CVemoGPSDoc& doc, bool sameScale);

// Baselines, error ellipses (red, 61-vertex polylines), point symbols (known points as
// triangles, the others as circles of radius 0.8 mm) and names (4 mm high, narrow face,
// 1 mm east of the point). Symbols and texts keep their size in millimetres whatever the
// placement; primitives that would fall outside any finite device position are left out. On a
// picture (the raster engine, a transform that only scales and moves) strokes up to 1.5 pixels
// wide are drawn one pixel wide and the symbols are copied to the nearest pixel, which keeps
// the drawing of 100,000 points within seconds.
void DrawNetworkMap(QPainter& painter, const CVemoGPSDoc& doc, const CMapPlacement& placement,
                    const CMapDisplay& display);

// The network prepared once for drawing: the points on paper and their names as text. Drawing
// only reads it, so that several painters (each on its own thread) may draw it at once.
class CMapNetworkDrawing {
 public:
  CMapNetworkDrawing(const CVemoGPSDoc& doc, const CMapPlacement& placement, const CMapDisplay& display);
  // Draws the network as DrawNetworkMap does. Given a part of the paper (mm), what cannot
  // reach into it is left out: a painter clipped to that part gets the same pixels as from
  // drawing everything, in a fraction of the time.
  void Draw(QPainter& painter, const QRectF& part = QRectF()) const;
  // The points on paper (mm), in the document's order.
  const std::vector<QPointF>& Paper() const { return m_Paper; }

 private:
  const CVemoGPSDoc& m_Doc;
  CMapDisplay m_Display;
  std::vector<QPointF> m_Paper;
  QStringList m_Names;  // with the names shown
};

// The title block: the title "%s控制网网图" in a bold CJK face and the scale line.
void DrawTitleBlock(QPainter& painter, const CVemoGPSDoc& doc, const CMapDisplay& display, const QRectF& block);

// The title block's rectangle on the document's page, at its foot.
QRectF TitleBlockRect(const CMapPage& page);

// The whole page of the document, as printed: the network at its page placement, the legend,
// north arrow and scale bar (tools/MapDecorations.h) and the title block. The page is white.
void DrawMapPage(QPainter& painter, const CVemoGPSDoc& doc, const CMapDisplay& display);
// What the page shows besides the network: the decorations and the title block.
void DrawMapFurniture(QPainter& painter, const CVemoGPSDoc& doc, const CMapDisplay& display,
                      const CMapPlacement& placement);

// The page of a printer of the given printable size (mm): the drawing area starts 10 mm in
// from the left margin and 20 mm below the top margin and ends 10 mm inside the right and
// bottom margins; a printed map rounds its scales up to one decimal.
CMapPage PrinterMapPage(double widthMm, double heightMm);
constexpr int kPrinterScaleDecimals = 1;

// The pieces that the legend draws exactly as the network does (tools/MapDecorations.h).
// Strokes in millimetres of paper: the baselines and the ellipses.
constexpr double kBaselineWidthMm = 0.15;
constexpr double kEllipseWidthMm = 0.15;
// An ellipse is a polyline of this many vertices, from parameter 0 in steps of 6 degrees round
// to 360 (the last closes it).
constexpr int kEllipseOutlineVertices = 61;
// The outline of the ellipse with the semi-axes a and b (mm) whose major axis has the azimuth
// (radians from north, clockwise), centred at a paper point; outline is resized to the vertices.
void EllipseOutline(QPolygonF& outline, const QPointF& centre, double a, double b, double azimuth);
// Known points as triangles (apex to the north), the others as circles, white inside.
void DrawPointSymbol(QPainter& painter, const QPointF& centre, bool known);
// A pen whose width is in millimetres of paper.
QPen MillimetrePen(const QColor& colour, double width, Qt::PenCapStyle cap = Qt::RoundCap,
                   Qt::PenJoinStyle join = Qt::RoundJoin);
// A face laid out at a size of 100 pixels, which DrawMapText scales to its height.
QFont LayoutFont(const QString& family, bool bold);
// Draws text with its baseline starting at position (mm), the font's em height heightMm.
// align: 0 left, 1 centre (at position), 2 right.
void DrawMapText(QPainter& painter, const QFont& font, double heightMm, const QPointF& position, const QString& text,
                 int align = 0);
// The advance width (mm) of text in a layout font at the em height heightMm.
double MapTextWidth(const QFont& font, double heightMm, const QString& text);

// GBK text of the system as a QString.
QString GbkToQString(const std::string& gbk);

// The faces that stand in for "黑体" (the title) and "Arial Narrow" (the point names).
QString TitleFontFamily();
QString NameFontFamily();

}  // namespace vemo
