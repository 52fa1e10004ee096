#include "tools/MapDecorations.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace vemo {

namespace {

// Measures of the boxes in millimetres of paper.
constexpr double kPadding = 1.5;
constexpr double kFrameWidth = 0.2;
constexpr double kTextHeight = 2.6;
constexpr double kHeadingHeight = 3.0;
constexpr double kRowHeight = 4.5;
constexpr double kSampleWidth = 10.0;   // the column of the legend's samples
constexpr double kSampleGap = 1.5;      // between a sample and its text
constexpr double kBaselineSample = 8.0;
constexpr double kSampleEllipseA = 3.0, kSampleEllipseB = 1.6, kSampleEllipseAzimuth = 1.0;  // mm, radians
constexpr double kLongestErrorBar = 10.0;
constexpr double kTickHeight = 1.0;     // the ends of the error bar
constexpr double kNorthWidth = 9.0, kNorthHeight = 15.0, kNorthLetter = 3.5, kArrowHalfWidth = 2.5;
constexpr double kLongestScaleBar = 40.0;
constexpr double kScaleBarShare = 0.3;  // of the drawing area's width, on small pages
constexpr double kBarHeight = 1.5;
constexpr int kBarSegments = 4;
// A point is covered by a box when its symbol or its name would run into the box: names start
// east of their point and stand above its baseline.
constexpr double kNameReach = 12.0, kNameRise = 4.5, kSymbolReach = 1.0;

// Where a box may stand in the drawing area, as fractions of the room the area leaves it
// (0 left or top, 1 right or bottom): the corners, then the middles of the edges.
struct Anchor {
  double across, down;
};
constexpr Anchor kTopLeft{0, 0}, kTopRight{1, 0}, kBottomLeft{0, 1}, kBottomRight{1, 1};
constexpr Anchor kEdgeMiddles[] = {{0.5, 0}, {0.5, 1}, {0, 0.5}, {1, 0.5}};

QFont TextFont(bool bold = false) { return LayoutFont(TitleFontFamily(), bold); }

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// The legend's rows, top to bottom, after its heading.
enum class Row { Known, Unknown, Baseline, Ellipse, ErrorBar };
std::vector<Row> LegendRows(const CMapDecorations& d) {
  std::vector<Row> rows = {Row::Known, Row::Unknown};
  if (d.baselines) rows.push_back(Row::Baseline);
  if (d.ellipses) rows.insert(rows.end(), {Row::Ellipse, Row::ErrorBar});
  return rows;
}

QString RowText(Row row, const CMapDecorations& d) {
  switch (row) {
    case Row::Known: return Utf8(u8"已知点");
    case Row::Unknown: return Utf8(u8"未知点");
    case Row::Baseline: return Utf8(u8"基线向量");
    case Row::Ellipse: return Utf8(u8"误差椭圆");
    case Row::ErrorBar: return Utf8(u8"误差 ") + ErrorLengthLabel(d.errorCm);
  }
  return {};
}

QString LegendHeading() { return Utf8(u8"图例"); }

QSizeF LegendSize(const CMapDecorations& d) {
  double text = MapTextWidth(TextFont(true), kHeadingHeight, LegendHeading()) - kSampleWidth - kSampleGap;
  const std::vector<Row> rows = LegendRows(d);
  for (Row row : rows) text = std::max(text, MapTextWidth(TextFont(), kTextHeight, RowText(row, d)));
  return {2 * kPadding + kSampleWidth + kSampleGap + text,
          2 * kPadding + kHeadingHeight + 1.0 + kRowHeight * static_cast<double>(rows.size())};
}

QSizeF ScaleBarSize(const CMapDecorations& d) {
  const double zero = MapTextWidth(TextFont(), kTextHeight, QStringLiteral("0"));
  const double label = MapTextWidth(TextFont(), kTextHeight, GroundLengthLabel(d.barMetres));
  return {2 * kPadding + zero / 2 + d.barMm + label / 2, 2 * kPadding + kBarHeight + 1.0 + kTextHeight};
}

QRectF At(const QRectF& area, const QSizeF& size, const Anchor& anchor) {
  return {QPointF(area.left() + anchor.across * (area.width() - size.width()),
                  area.top() + anchor.down * (area.height() - size.height())),
          size};
}

// The points whose symbol or name the box would hide.
size_t Covered(const QRectF& box, const std::vector<QPointF>& paper) {
  const QRectF reach = box.adjusted(-kNameReach, -kSymbolReach, kSymbolReach, kNameRise);
  return static_cast<size_t>(std::count_if(paper.begin(), paper.end(), [&](const QPointF& p) { return reach.contains(p); }));
}

void DrawBox(QPainter& painter, const QRectF& box) {
  painter.setPen(MillimetrePen(Qt::black, kFrameWidth, Qt::SquareCap, Qt::MiterJoin));
  painter.setBrush(Qt::white);
  painter.drawRect(box);
}

void DrawLegend(QPainter& painter, const CMapDecorations& d) {
  const QRectF& box = d.legend;
  DrawBox(painter, box);
  painter.setPen(Qt::black);
  DrawMapText(painter, TextFont(true), kHeadingHeight, QPointF(box.center().x(), box.top() + kPadding + kHeadingHeight * 0.9),
              LegendHeading(), 1);
  double top = box.top() + kPadding + kHeadingHeight + 1.0;
  const double sampleX = box.left() + kPadding + kSampleWidth / 2;
  const double textX = box.left() + kPadding + kSampleWidth + kSampleGap;
  for (Row row : LegendRows(d)) {
    const QPointF sample(sampleX, top + kRowHeight / 2);
    painter.setBrush(Qt::NoBrush);
    switch (row) {
      case Row::Known:
      case Row::Unknown: DrawPointSymbol(painter, sample, row == Row::Known); break;
      case Row::Baseline:
        painter.setPen(MillimetrePen(Qt::black, kBaselineWidthMm, Qt::FlatCap));
        painter.drawLine(sample - QPointF(kBaselineSample / 2, 0), sample + QPointF(kBaselineSample / 2, 0));
        break;
      case Row::Ellipse: {
        QPolygonF outline;
        EllipseOutline(outline, sample, kSampleEllipseA, kSampleEllipseB, kSampleEllipseAzimuth);
        painter.setPen(MillimetrePen(Qt::red, kEllipseWidthMm, Qt::RoundCap, Qt::BevelJoin));
        painter.drawPolyline(outline);
        break;
      }
      case Row::ErrorBar: {
        // The bar is as long on paper as an ellipse's semi-axis of that error.
        const double left = sample.x() - d.errorMm / 2, right = sample.x() + d.errorMm / 2;
        painter.setPen(MillimetrePen(Qt::red, kEllipseWidthMm, Qt::FlatCap, Qt::MiterJoin));
        const QPointF bar[4] = {{left, sample.y() - kTickHeight / 2},
                                {left, sample.y() + kTickHeight / 2},
                                {right, sample.y() + kTickHeight / 2},
                                {right, sample.y() - kTickHeight / 2}};
        painter.drawPolyline(bar, 4);
        break;
      }
    }
    painter.setPen(Qt::black);
    DrawMapText(painter, TextFont(), kTextHeight, QPointF(textX, sample.y() + kTextHeight * 0.4), RowText(row, d));
    top += kRowHeight;
  }
}

void DrawNorthArrow(QPainter& painter, const QRectF& box) {
  DrawBox(painter, box);
  const double x = box.center().x();
  painter.setPen(Qt::black);
  DrawMapText(painter, TextFont(true), kNorthLetter, QPointF(x, box.top() + kPadding + kNorthLetter * 0.85),
              QStringLiteral("N"), 1);
  // A pointer split along its axis: the western half black, the eastern half white.
  const QPointF tip(x, box.top() + kPadding + kNorthLetter + 1.0);
  const QPointF notch(x, box.bottom() - kPadding - 2.0);
  const QPointF west(x - kArrowHalfWidth, box.bottom() - kPadding), east(x + kArrowHalfWidth, box.bottom() - kPadding);
  painter.setPen(MillimetrePen(Qt::black, kFrameWidth, Qt::RoundCap, Qt::MiterJoin));
  painter.setBrush(Qt::black);
  const QPointF dark[3] = {tip, west, notch};
  painter.drawPolygon(dark, 3);
  painter.setBrush(Qt::white);
  const QPointF light[3] = {tip, notch, east};
  painter.drawPolygon(light, 3);
}

void DrawScaleBar(QPainter& painter, const CMapDecorations& d) {
  const QRectF& box = d.scaleBar;
  DrawBox(painter, box);
  const double zero = MapTextWidth(TextFont(), kTextHeight, QStringLiteral("0"));
  const double left = box.left() + kPadding + zero / 2, top = box.top() + kPadding;
  // Alternate black and white segments, each a quarter of the round length.
  painter.setPen(MillimetrePen(Qt::black, kFrameWidth, Qt::SquareCap, Qt::MiterJoin));
  const double segment = d.barMm / kBarSegments;
  for (int i = 0; i < kBarSegments; ++i) {
    painter.setBrush(i % 2 == 0 ? Qt::black : Qt::white);
    painter.drawRect(QRectF(left + i * segment, top, segment, kBarHeight));
  }
  painter.setPen(Qt::black);
  const double baseline = top + kBarHeight + 1.0 + kTextHeight * 0.85;
  DrawMapText(painter, TextFont(), kTextHeight, QPointF(left, baseline), QStringLiteral("0"), 1);
  DrawMapText(painter, TextFont(), kTextHeight, QPointF(left + d.barMm, baseline), GroundLengthLabel(d.barMetres), 1);
}

QString Number(double value) { return QString::number(value, 'g', 6); }

}  // namespace

double RoundLengthBelow(double limit) {
  if (!(std::isfinite(limit) && limit > 0)) return 0;
  double power = std::pow(10.0, std::floor(std::log10(limit)));
  // log10 may land a hair beside an exact power of ten.
  if (power > limit) power /= 10;
  if (power * 10 <= limit) power *= 10;
  for (double step : {5.0, 2.0, 1.0})
    if (step * power <= limit) return step * power;
  return power;
}

QString GroundLengthLabel(double metres) {
  return metres >= 1000 ? Number(metres / 1000) + QStringLiteral(" km") : Number(metres) + QStringLiteral(" m");
}

QString ErrorLengthLabel(double cm) {
  return cm >= 1 ? Number(cm) + QStringLiteral(" cm") : Number(cm * 10) + QStringLiteral(" mm");
}

CMapDecorations PlaceMapDecorations(const CVemoGPSDoc& doc, const CMapDisplay& display,
                                    const CMapPlacement& placement) {
  CMapDecorations d;
  d.baselines = !doc.Lines().empty();
  if (display.ellipses && doc.HasEllipses()) {
    const double mmPerCm = doc.EllipseOnPaper(1.0);
    d.errorCm = RoundLengthBelow(kLongestErrorBar / mmPerCm);
    d.errorMm = doc.EllipseOnPaper(d.errorCm);
    d.ellipses = d.errorCm > 0 && std::isfinite(d.errorMm);
  }
  const CMapPage& page = doc.Page();
  const QRectF area(page.AreaLeft(), page.AreaTop(), page.AreaWidth(), page.AreaHeight());
  // The bar measures east-west, on the easting's scale.
  d.barMetres = RoundLengthBelow(std::min(kLongestScaleBar, area.width() * kScaleBarShare) * placement.scaleY);
  d.barMm = d.barMetres / placement.scaleY;

  std::vector<QPointF> paper;
  paper.reserve(doc.Points().size());
  for (const CMapPoint& p : doc.Points()) paper.push_back(placement.ToPaper(p.x, p.y));

  // Each box in turn takes the free place that hides the fewest points, the first of its
  // preferred corners (then the middles of the edges) where several hide as few.
  struct Item {
    QRectF* box;
    QSizeF size;
    std::array<Anchor, 4> corners;
  };
  const Item items[] = {
      {&d.legend, LegendSize(d), {kBottomLeft, kBottomRight, kTopLeft, kTopRight}},
      {&d.scaleBar, d.barMetres > 0 ? ScaleBarSize(d) : QSizeF(), {kBottomRight, kBottomLeft, kTopRight, kTopLeft}},
      {&d.northArrow, QSizeF(kNorthWidth, kNorthHeight), {kTopRight, kTopLeft, kBottomRight, kBottomLeft}}};
  std::vector<QRectF> placed;
  for (const Item& item : items) {
    if (item.size.isEmpty()) continue;
    std::vector<Anchor> places(item.corners.begin(), item.corners.end());
    places.insert(places.end(), std::begin(kEdgeMiddles), std::end(kEdgeMiddles));
    QRectF best;
    size_t fewest = 0;
    for (const Anchor& anchor : places) {
      const QRectF box = At(area, item.size, anchor);
      // A box that leaves the area or meets another is no choice.
      if (!area.contains(box) ||
          std::any_of(placed.begin(), placed.end(), [&](const QRectF& other) { return other.intersects(box); }))
        continue;
      const size_t covered = Covered(box, paper);
      if (best.isEmpty() || covered < fewest) best = box, fewest = covered;
      if (fewest == 0) break;
    }
    if (best.isEmpty()) continue;
    *item.box = best;
    placed.push_back(best);
  }
  return d;
}

void DrawMapDecorations(QPainter& painter, const CMapDecorations& decorations) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  if (!decorations.legend.isEmpty()) DrawLegend(painter, decorations);
  if (!decorations.northArrow.isEmpty()) DrawNorthArrow(painter, decorations.northArrow);
  if (!decorations.scaleBar.isEmpty()) DrawScaleBar(painter, decorations);
  painter.restore();
}

}  // namespace vemo
