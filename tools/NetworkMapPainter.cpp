#include "tools/NetworkMapPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <QStringList>
#include <cmath>

#include "geodesy/Encoding.h"
#include "tools/MapDecorations.h"

namespace vemo {

namespace {

// Symbols and texts in millimetres of paper.
constexpr double kPointRadius = 0.8;
constexpr double kTriangleHalfBase = 0.8;
constexpr double kTriangleHalfHeight = 0.6928203230275201;  // 0.8 x sqrt(3) / 2
constexpr double kNameHeight = 4.0;
constexpr double kNameOffset = 1.0;  // east of the point, on the text's baseline
constexpr double kLineWidth = kBaselineWidthMm;
constexpr double kSymbolLineWidth = 0.2;
constexpr double kEllipseLineWidth = kEllipseWidthMm;
constexpr int kEllipseVertices = kEllipseOutlineVertices;
// Half the size of a symbol with its outline.
constexpr double kSymbolExtent = kPointRadius + kSymbolLineWidth;
// On a picture: strokes up to this width (pixels) are drawn one pixel wide, just under the
// engine's bound of its thin-line rasteriser; symbols are copied up to this size (pixels).
constexpr double kThinPixels = 1.5;
constexpr double kOnePixel = 0.999;
constexpr int kLargestSprite = 96;
// How far beyond its extent an item may leave pixels on a picture (its antialiased fringe, a
// copied symbol rounded to the nearest pixel), and in millimetres on any other painter.
constexpr double kReachPixels = 4.0;
constexpr double kReachMm = 1.0;
// A name's glyphs stay within this many em heights above and below its baseline (a face's
// ascent and descent are about one and a quarter).
constexpr double kNameRise = 2.0, kNameFall = 1.0;
// Texts are laid out at this pixel size and scaled down to their height in millimetres, so
// that no target rounds a font of a few millimetres to whole pixels.
constexpr int kFontLayoutSize = 100;

bool IsFinite(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// Positions as far out as this are far beyond any page or zoom; a device would overflow.
constexpr double kFarPaper = 1e7;
bool IsDrawable(const QPointF& p) { return IsFinite(p) && std::fabs(p.x()) < kFarPaper && std::fabs(p.y()) < kFarPaper; }

// The points' names as text, converted from GBK in one piece (one line a name: a name is one
// item of its line and holds no line end).
QStringList NamesOf(const std::vector<CMapPoint>& points) {
  std::string joined;
  for (const CMapPoint& p : points) {
    joined += p.name;
    if (!p.label.empty()) (joined += ' ') += p.label;
    joined += '\n';
  }
  QStringList names = GbkToQString(joined).split(QLatin1Char('\n'));
  names.resize(static_cast<qsizetype>(points.size()));
  return names;
}

// The symbol drawn once, centred in a transparent square of size pixels.
QImage SymbolSprite(bool known, double pixelsPerMm, int size) {
  QImage sprite(size, size, QImage::Format_ARGB32_Premultiplied);
  sprite.fill(Qt::transparent);
  QPainter painter(&sprite);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.translate(size * 0.5, size * 0.5);
  painter.scale(pixelsPerMm, pixelsPerMm);
  DrawPointSymbol(painter, QPointF(0, 0), known);
  return sprite;
}

// Pixels per millimetre of a painter on a picture (the raster engine: the PNG, the desktop's
// view) whose transform only scales, equally in both directions, and moves; 0 for every other
// painter (vector files, printers), which draws each item as it is.
double PictureScale(QPainter& painter) {
  const QPaintEngine* engine = painter.paintEngine();
  if (!engine || engine->type() != QPaintEngine::Raster) return 0;
  const QTransform t = painter.deviceTransform();
  if (t.type() > QTransform::TxScale || !(t.m11() > 0) || t.m11() != t.m22()) return 0;
  return t.m11();
}

}  // namespace

QFont LayoutFont(const QString& family, bool bold) {
  QFont font(family);
  font.setPixelSize(kFontLayoutSize);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferOutline);
  return font;
}

void DrawMapText(QPainter& painter, const QFont& font, double heightMm, const QPointF& position, const QString& text,
                 int align) {
  painter.save();
  painter.setFont(font);
  painter.translate(position);
  const double factor = heightMm / kFontLayoutSize;
  painter.scale(factor, factor);
  double dx = 0;
  if (align != 0) {
    double width = painter.fontMetrics().horizontalAdvance(text);
    dx = align == 1 ? -width / 2 : -width;
  }
  painter.drawText(QPointF(dx, 0), text);
  painter.restore();
}

double MapTextWidth(const QFont& font, double heightMm, const QString& text) {
  return QFontMetricsF(font).horizontalAdvance(text) * heightMm / kFontLayoutSize;
}

// Round caps and joins are arcs that the stroker builds for every end and vertex: they are
// asked for only where they show. A baseline's ends lie under its points' symbols, and an
// ellipse turns by 6 degrees at a vertex, where a bevel differs from an arc by a thousandth of
// the line's width.
QPen MillimetrePen(const QColor& colour, double width, Qt::PenCapStyle cap, Qt::PenJoinStyle join) {
  QPen pen(colour);
  pen.setWidthF(width);
  pen.setCapStyle(cap);
  pen.setJoinStyle(join);
  return pen;
}

void DrawPointSymbol(QPainter& painter, const QPointF& c, bool known) {
  painter.setPen(MillimetrePen(Qt::black, kSymbolLineWidth));
  painter.setBrush(Qt::white);
  if (known) {
    const QPointF triangle[3] = {{c.x() - kTriangleHalfBase, c.y() + kTriangleHalfHeight},
                                 {c.x(), c.y() - kTriangleHalfHeight},
                                 {c.x() + kTriangleHalfBase, c.y() + kTriangleHalfHeight}};
    painter.drawPolygon(triangle, 3);
  } else {
    painter.drawEllipse(c, kPointRadius, kPointRadius);
  }
}

void EllipseOutline(QPolygonF& outline, const QPointF& centre, double a, double b, double azimuth) {
  // The unit circle's vertices once for the run: a sine and cosine per vertex of 100,000
  // ellipses would cost more than drawing them.
  struct UnitCircle {
    double cos[kEllipseVertices], sin[kEllipseVertices];
    UnitCircle() {
      for (int k = 0; k < kEllipseVertices; ++k) {
        const double phi = k * 6.0 * M_PI / 180.0;
        cos[k] = std::cos(phi), sin[k] = std::sin(phi);
      }
    }
  };
  static const UnitCircle unit;
  outline.resize(kEllipseVertices);
  const double sinT = std::sin(azimuth), cosT = std::cos(azimuth);
  for (int k = 0; k < kEllipseVertices; ++k) {
    const double along = a * unit.cos[k], across = b * unit.sin[k];
    const double north = along * cosT - across * sinT;
    const double east = along * sinT + across * cosT;
    outline[k] = QPointF(centre.x() + east, centre.y() - north);
  }
}

QString GbkToQString(const std::string& gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

QString TitleFontFamily() { return QStringLiteral("WenQuanYi Micro Hei"); }
QString NameFontFamily() { return QStringLiteral("Liberation Sans Narrow"); }

CMapPlacement PagePlacement(const CVemoGPSDoc& doc, bool sameScale) {
  const CMapPage& page = doc.Page();
  CMapPlacement placement;
  placement.scaleX = sameScale ? doc.Scale() : doc.ScaleX();
  placement.scaleY = sameScale ? doc.Scale() : doc.ScaleY();
  placement.x0 = (doc.XMin() + doc.XMax()) * 0.5;
  placement.y0 = (doc.YMin() + doc.YMax()) * 0.5;
  placement.originX = page.AreaLeft() + page.AreaWidth() * 0.5;
  placement.originY = page.AreaTop() + page.AreaHeight() * 0.5;
  return placement;
}

CMapNetworkDrawing::CMapNetworkDrawing(const CVemoGPSDoc& doc, const CMapPlacement& placement,
                                       const CMapDisplay& display)
    : m_Doc(doc), m_Display(display) {
  const auto& points = doc.Points();
  m_Paper.resize(points.size());
  for (size_t i = 0; i < points.size(); ++i) m_Paper[i] = placement.ToPaper(points[i].x, points[i].y);
  if (display.names) m_Names = NamesOf(points);
}

void CMapNetworkDrawing::Draw(QPainter& painter, const QRectF& part) const {
  const auto& points = m_Doc.Points();
  const std::vector<QPointF>& paper = m_Paper;

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);

  // On a picture every stroke as thin as a pixel or a little more is drawn one pixel wide:
  // the raster engine then takes its thin-line rasteriser instead of outlining each stroke,
  // which draws 100,000 ellipses and 500,000 baselines in one second instead of ten. Vector
  // files keep every width in millimetres.
  const double pixelsPerMm = PictureScale(painter);
  auto pen = [pixelsPerMm](const QColor& colour, double widthMm, Qt::PenCapStyle cap, Qt::PenJoinStyle join) {
    if (pixelsPerMm > 0 && widthMm * pixelsPerMm <= kThinPixels) widthMm = kOnePixel / pixelsPerMm;
    return MillimetrePen(colour, widthMm, cap, join);
  };

  // What can reach into the part: an item whose extent (with its stroke, the antialiased
  // fringe and the rounding of a copied symbol, all within a few pixels) misses the part
  // leaves no pixel in it.
  const bool everything = part.isEmpty();
  const double slack = pixelsPerMm > 0 ? kReachPixels / pixelsPerMm : kReachMm;
  const double top = part.top() - slack, bottom = part.bottom() + slack;
  const double left = part.left() - slack, right = part.right() + slack;
  auto reaches = [&](double x0, double y0, double x1, double y1) {
    return everything || (y1 >= top && y0 <= bottom && x1 >= left && x0 <= right);
  };
  auto around = [&](const QPointF& c, double r) { return reaches(c.x() - r, c.y() - r, c.x() + r, c.y() + r); };

  // Baselines first, so that the symbols cover their ends.
  const QPen linePen = pen(Qt::black, kLineWidth, Qt::FlatCap, Qt::RoundJoin);
  const double lineReach = linePen.widthF();
  painter.setPen(linePen);
  painter.setBrush(Qt::NoBrush);
  for (const CMapLine& line : m_Doc.Lines()) {
    const QPointF& a = paper[line.from];
    const QPointF& b = paper[line.to];
    if (!IsDrawable(a) || !IsDrawable(b)) continue;
    if (!reaches(std::min(a.x(), b.x()) - lineReach, std::min(a.y(), b.y()) - lineReach,
                 std::max(a.x(), b.x()) + lineReach, std::max(a.y(), b.y()) + lineReach))
      continue;
    painter.drawLine(a, b);
  }

  if (m_Display.ellipses && m_Doc.HasEllipses()) {
    const QPen ellipsePen = pen(Qt::red, kEllipseLineWidth, Qt::RoundCap, Qt::BevelJoin);
    painter.setPen(ellipsePen);
    QPolygonF outline(kEllipseVertices);
    for (size_t i = 0; i < points.size(); ++i) {
      const CMapPoint& p = points[i];
      if ((p.E == 0.0f && p.F == 0.0f) || !IsDrawable(paper[i])) continue;
      const double a = std::fabs(m_Doc.EllipseOnPaper(p.E)), b = std::fabs(m_Doc.EllipseOnPaper(p.F));
      if (!around(paper[i], std::max(a, b) + ellipsePen.widthF())) continue;
      EllipseOutline(outline, paper[i], a, b, p.T);
      painter.drawPolyline(outline);
    }
  }

  // The symbols: on a picture each of the two is drawn once and then copied to every point
  // (to the nearest pixel), which costs a hundredth of drawing it there.
  const int spriteSize = pixelsPerMm > 0 ? 2 * static_cast<int>(std::ceil(kSymbolExtent * pixelsPerMm)) + 2 : 0;
  if (spriteSize > 0 && spriteSize <= kLargestSprite) {
    const QImage sprites[2] = {SymbolSprite(false, pixelsPerMm, spriteSize), SymbolSprite(true, pixelsPerMm, spriteSize)};
    // The world transform, not the device's: a widget painted into its window (the view on
    // screen, a grab) keeps the widget's offset in the device transform, and the painter
    // still adds that offset once the world transform is reset.
    const QTransform device = painter.worldTransform();
    painter.save();
    painter.resetTransform();
    const double half = spriteSize * 0.5;
    for (size_t i = 0; i < points.size(); ++i) {
      if (!IsDrawable(paper[i]) || !around(paper[i], kSymbolExtent)) continue;
      const QPointF at = device.map(paper[i]);
      if (!(std::fabs(at.x()) < kFarPaper && std::fabs(at.y()) < kFarPaper)) continue;
      painter.drawImage(QPoint(static_cast<int>(std::lround(at.x() - half)), static_cast<int>(std::lround(at.y() - half))),
                        sprites[m_Doc.IsKnown(i) ? 1 : 0]);
    }
    painter.restore();
  } else {
    for (size_t i = 0; i < points.size(); ++i)
      if (IsDrawable(paper[i]) && around(paper[i], kSymbolExtent)) DrawPointSymbol(painter, paper[i], m_Doc.IsKnown(i));
  }

  if (m_Display.names) {
    // One font, one transform and one conversion for every name: a state change or a converter
    // opened per name costs more than drawing it.
    painter.save();
    painter.setPen(Qt::black);
    painter.setFont(LayoutFont(NameFontFamily(), false));
    const double factor = kNameHeight / kFontLayoutSize;
    painter.scale(factor, factor);
    for (size_t i = 0; i < points.size(); ++i) {
      if (!IsDrawable(paper[i])) continue;
      // A name starts east of its point; how far it runs is only known once it is laid out.
      const QPointF at = paper[i] + QPointF(kNameOffset, 0);
      if (!reaches(at.x(), at.y() - kNameRise * kNameHeight, kFarPaper, at.y() + kNameFall * kNameHeight)) continue;
      painter.drawText(at / factor, m_Names[static_cast<qsizetype>(i)]);
    }
    painter.restore();
  }
  painter.restore();
}

void DrawNetworkMap(QPainter& painter, const CVemoGPSDoc& doc, const CMapPlacement& placement,
                    const CMapDisplay& display) {
  CMapNetworkDrawing(doc, placement, display).Draw(painter);
}

QRectF TitleBlockRect(const CMapPage& page) {
  return QRectF(page.left, page.height - page.bottom - page.titleBlock, page.width - page.left - page.right,
                page.titleBlock);
}

void DrawTitleBlock(QPainter& painter, const CVemoGPSDoc& doc, const CMapDisplay& display, const QRectF& block) {
  painter.save();
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setPen(Qt::black);
  // The title over the upper part of the block, the scale line under it.
  const double titleHeight = block.height() * 0.5;
  const double scaleHeight = block.height() * 0.3;
  const double centre = block.center().x();
  DrawMapText(painter, LayoutFont(TitleFontFamily(), true), titleHeight,
           QPointF(centre, block.top() + titleHeight * 0.95), GbkToQString(doc.Title()), 1);
  DrawMapText(painter, LayoutFont(TitleFontFamily(), false), scaleHeight, QPointF(centre, block.bottom() - scaleHeight * 0.2),
           GbkToQString(doc.ScaleLine(display.sameScale)), 1);
  painter.restore();
}

void DrawMapPage(QPainter& painter, const CVemoGPSDoc& doc, const CMapDisplay& display) {
  const CMapPage& page = doc.Page();
  painter.fillRect(QRectF(0, 0, page.width, page.height), Qt::white);
  const CMapPlacement placement = PagePlacement(doc, display.sameScale);
  DrawNetworkMap(painter, doc, placement, display);
  DrawMapFurniture(painter, doc, display, placement);
}

void DrawMapFurniture(QPainter& painter, const CVemoGPSDoc& doc, const CMapDisplay& display,
                      const CMapPlacement& placement) {
  DrawMapDecorations(painter, PlaceMapDecorations(doc, display, placement));
  DrawTitleBlock(painter, doc, display, TitleBlockRect(doc.Page()));
}

CMapPage PrinterMapPage(double widthMm, double heightMm) {
  CMapPage page;
  page.width = widthMm;
  page.height = heightMm;
  page.left += 10.0;
  page.top += 20.0;
  page.right += 10.0;
  page.bottom += 10.0;
  return page;
}

}  // namespace vemo
