#include "tools/NetworkMapPainter.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

#include "geodesy/Encoding.h"

namespace vemo {

namespace {

// Symbols and texts in millimetres of paper.
constexpr double kPointRadius = 0.8;
constexpr double kTriangleHalfBase = 0.8;
constexpr double kTriangleHalfHeight = 0.6928203230275201;  // 0.8 x sqrt(3) / 2
constexpr double kNameHeight = 4.0;
constexpr double kNameOffset = 1.0;  // east of the point, on the text's baseline
constexpr double kLineWidth = 0.15;
constexpr double kSymbolLineWidth = 0.2;
constexpr double kEllipseLineWidth = 0.15;
constexpr int kEllipseVertices = 61;  // from parameter 0 in steps of 6 degrees round to 360
// Texts are laid out at this pixel size and scaled down to their height in millimetres, so
// that no target rounds a font of a few millimetres to whole pixels.
constexpr int kFontLayoutSize = 100;

bool IsFinite(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

// Positions as far out as this are far beyond any page or zoom; a device would overflow.
constexpr double kFarPaper = 1e7;
bool IsDrawable(const QPointF& p) { return IsFinite(p) && std::fabs(p.x()) < kFarPaper && std::fabs(p.y()) < kFarPaper; }

QFont LayoutFont(const QString& family, bool bold) {
  QFont font(family);
  font.setPixelSize(kFontLayoutSize);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferOutline);
  return font;
}

// Draws text with its baseline starting at position (mm), the font's em height heightMm.
// align: 0 left, 1 centre (at position), 2 right.
void DrawText(QPainter& painter, const QFont& font, double heightMm, const QPointF& position, const QString& text,
              int align = 0) {
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

QPen MillimetrePen(const QColor& colour, double width) {
  QPen pen(colour);
  pen.setWidthF(width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

}  // namespace

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

void DrawNetworkMap(QPainter& painter, const CVemoGPSDoc& doc, const CMapPlacement& placement,
                    const CMapDisplay& display) {
  const auto& points = doc.Points();
  std::vector<QPointF> paper(points.size());
  for (size_t i = 0; i < points.size(); ++i) paper[i] = placement.ToPaper(points[i].x, points[i].y);

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);

  // Baselines first, so that the symbols cover their ends.
  painter.setPen(MillimetrePen(Qt::black, kLineWidth));
  painter.setBrush(Qt::NoBrush);
  for (const CMapLine& line : doc.Lines()) {
    const QPointF& a = paper[line.from];
    const QPointF& b = paper[line.to];
    if (IsDrawable(a) && IsDrawable(b)) painter.drawLine(a, b);
  }

  if (display.ellipses && doc.HasEllipses()) {
    painter.setPen(MillimetrePen(Qt::red, kEllipseLineWidth));
    QPolygonF outline(kEllipseVertices);
    for (size_t i = 0; i < points.size(); ++i) {
      const CMapPoint& p = points[i];
      if ((p.E == 0.0f && p.F == 0.0f) || !IsDrawable(paper[i])) continue;
      const double a = std::fabs(doc.EllipseOnPaper(p.E));
      const double b = std::fabs(doc.EllipseOnPaper(p.F));
      const double sinT = std::sin(p.T), cosT = std::cos(p.T);
      for (int k = 0; k < kEllipseVertices; ++k) {
        const double phi = k * 6.0 * M_PI / 180.0;
        const double along = a * std::cos(phi), across = b * std::sin(phi);
        const double north = along * cosT - across * sinT;
        const double east = along * sinT + across * cosT;
        outline[k] = QPointF(paper[i].x() + east, paper[i].y() - north);
      }
      painter.drawPolyline(outline);
    }
  }

  painter.setPen(MillimetrePen(Qt::black, kSymbolLineWidth));
  painter.setBrush(Qt::white);
  for (size_t i = 0; i < points.size(); ++i) {
    const QPointF& c = paper[i];
    if (!IsDrawable(c)) continue;
    if (doc.IsKnown(i)) {
      // Apex to the north.
      const QPointF triangle[3] = {{c.x() - kTriangleHalfBase, c.y() + kTriangleHalfHeight},
                                   {c.x(), c.y() - kTriangleHalfHeight},
                                   {c.x() + kTriangleHalfBase, c.y() + kTriangleHalfHeight}};
      painter.drawPolygon(triangle, 3);
    } else {
      painter.drawEllipse(c, kPointRadius, kPointRadius);
    }
  }

  if (display.names) {
    const QFont font = LayoutFont(NameFontFamily(), false);
    painter.setPen(Qt::black);
    for (size_t i = 0; i < points.size(); ++i) {
      if (!IsDrawable(paper[i])) continue;
      DrawText(painter, font, kNameHeight, paper[i] + QPointF(kNameOffset, 0), GbkToQString(points[i].name));
    }
  }
  painter.restore();
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
  DrawText(painter, LayoutFont(TitleFontFamily(), true), titleHeight,
           QPointF(centre, block.top() + titleHeight * 0.95), GbkToQString(doc.Title()), 1);
  DrawText(painter, LayoutFont(TitleFontFamily(), false), scaleHeight, QPointF(centre, block.bottom() - scaleHeight * 0.2),
           GbkToQString(doc.ScaleLine(display.sameScale)), 1);
  painter.restore();
}

void DrawMapPage(QPainter& painter, const CVemoGPSDoc& doc, const CMapDisplay& display) {
  const CMapPage& page = doc.Page();
  painter.fillRect(QRectF(0, 0, page.width, page.height), Qt::white);
  DrawNetworkMap(painter, doc, PagePlacement(doc, display.sameScale), display);
  DrawTitleBlock(painter, doc, display, TitleBlockRect(page));
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
