// The legend, north arrow and scale bar of the network map: their texts and geometry in the
// SVG that every export shares, their round lengths, and the corners they take so as not to
// hide points.
#include <gtest/gtest.h>

#include <QRectF>
#include <regex>

#include "tests/support/TestHost.h"
#include "tools/MapDecorations.h"
#include "tools/NetworkMapFiles.h"

namespace vemo::test {
namespace {

// Known K1 and K2, adjusted P3 (2.5 cm ellipse) and P4: 5240 m south to north on the A4 page,
// 20 m/mm; the largest ellipse is 10 mm on paper, 4 mm a centimetre.
std::shared_ptr<CVemoGPSDoc> TallNetwork() {
  auto doc = std::make_shared<CVemoGPSDoc>();
  doc->Assign({{"K1", 3000000, 500000, 0, 0, 0, ""},
               {"K2", 3005240, 500000, 0, 0, 0, ""},
               {"P3", 3002000, 501000, 2.5f, 1.0f, 0.5f, ""},
               {"P4", 3003000, 500500, 1.25f, 0.5f, 2.0f, ""}},
              {{0, 2}, {2, 1}, {3, 1}}, 2, "net");
  return doc;
}

std::vector<QPointF> PaperPoints(const CVemoGPSDoc& doc, const CMapPlacement& placement) {
  std::vector<QPointF> paper;
  for (const CMapPoint& p : doc.Points()) paper.push_back(placement.ToPaper(p.x, p.y));
  return paper;
}

// The texts of the SVG, each ended by "|": a text is the runs of one group (a line of mixed
// scripts comes in several runs).
std::string SvgTexts(const std::string& svg) {
  std::string all;
  const std::regex group("<g[^>]*>([\\s\\S]*?)</g>"), text("<text[^>]*>([^<]*)</text>");
  for (auto g = std::sregex_iterator(svg.begin(), svg.end(), group); g != std::sregex_iterator(); ++g) {
    const std::string inside = (*g)[1];
    std::string runs;
    for (auto t = std::sregex_iterator(inside.begin(), inside.end(), text); t != std::sregex_iterator(); ++t)
      runs += (*t)[1].str();
    if (!runs.empty()) all += runs + "|";
  }
  return all;
}

// The left and right edges of the <rect> elements that lie within box (mm).
std::vector<std::pair<double, double>> RectsWithin(const std::string& svg, const QRectF& box) {
  std::vector<std::pair<double, double>> rects;
  const std::regex rect("<rect[^>]*\\sx=\"([^\"]*)\"[^>]*\\sy=\"([^\"]*)\"[^>]*\\swidth=\"([^\"]*)\"[^>]*\\sheight=\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect); it != std::sregex_iterator(); ++it) {
    const QRectF r(std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4]));
    if (box.adjusted(-0.01, -0.01, 0.01, 0.01).contains(r)) rects.emplace_back(r.left(), r.right());
  }
  return rects;
}

class MapDecorations : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(EnsureDrawingApplication()); }
  ScopedTestHost scope;
};

TEST_F(MapDecorations, TheExportedMapHasALegendANorthArrowAndAScaleBarOfRoundLength) {
  const auto doc = TallNetwork();
  const CMapDisplay display;
  const CMapPlacement placement = PagePlacement(*doc, display.sameScale);
  const CMapDecorations d = PlaceMapDecorations(*doc, display, placement);
  // 40 mm of bar would be 800 m: the bar is 500 m, 25 mm; 10 mm of ellipse bar would be
  // 2.5 cm: it stands for 2 cm, 8 mm.
  EXPECT_DOUBLE_EQ(d.barMetres, 500.0);
  EXPECT_NEAR(d.barMm, 25.0, 1e-9);
  EXPECT_DOUBLE_EQ(d.errorCm, 2.0);
  EXPECT_NEAR(d.errorMm, 8.0, 1e-9);

  const std::string svg = RenderMapSvg(*doc, display);
  const std::string texts = SvgTexts(svg);
  for (const char* text : {u8"图例", u8"已知点", u8"未知点", u8"基线向量", u8"误差椭圆", u8"误差 2 cm", "N", "500 m"})
    EXPECT_NE(texts.find(std::string(text) + "|"), std::string::npos) << text;
  // The bar's segments, read back from the file, span the 25 mm that the label promises.
  auto segments = RectsWithin(svg, d.scaleBar.adjusted(0.3, 0.3, -0.3, -0.3));
  ASSERT_EQ(segments.size(), 4u);
  EXPECT_NEAR(segments.back().second - segments.front().first, 25.0, 2e-3);
  // Every box is in the drawing area, none meets another, none hides a point.
  const CMapPage& page = doc->Page();
  const QRectF area(page.AreaLeft(), page.AreaTop(), page.AreaWidth(), page.AreaHeight());
  const QRectF boxes[] = {d.legend, d.northArrow, d.scaleBar};
  for (const QRectF& box : boxes) {
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(area.contains(box));
    for (const QPointF& p : PaperPoints(*doc, placement)) EXPECT_FALSE(box.adjusted(-12, -1, 1, 5).contains(p));
    for (const QRectF& other : boxes)
      if (&other != &box) {
        EXPECT_FALSE(box.intersects(other));
      }
  }

  // Without ellipses the legend has no ellipse rows; separate scales measure the bar east-west:
  // 1000 m over 190 mm is 5.27 m/mm, 40 mm of bar 210.8 m, so 200 m.
  const CMapDisplay plain{false, true, false};
  const CMapDecorations p = PlaceMapDecorations(*doc, plain, PagePlacement(*doc, false));
  EXPECT_DOUBLE_EQ(p.barMetres, 200.0);
  EXPECT_NEAR(p.barMm, 200.0 / 5.27, 1e-9);
  const std::string plainTexts = SvgTexts(RenderMapSvg(*doc, plain));
  EXPECT_EQ(plainTexts.find(u8"误差"), std::string::npos);
  EXPECT_NE(plainTexts.find("200 m|"), std::string::npos);
  EXPECT_LT(p.legend.height(), d.legend.height());
}

TEST_F(MapDecorations, BoxesLeaveTheCornersThatHoldPoints) {
  // Points crowd the south-west corner, where the legend would go by preference; two more
  // points in the middle of the north and the east edge make the network fill the drawing
  // area (2620 m over 262 mm, 1900 m over 190 mm: 10 m/mm both ways).
  std::vector<CMapPoint> points;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) points.push_back({"S" + std::to_string(i * 5 + j), 100.0 * i, 100.0 * j, 0, 0, 0, ""});
  points.push_back({"N", 2620, 950, 0, 0, 0, ""});
  points.push_back({"E", 1310, 1900, 0, 0, 0, ""});
  auto doc = std::make_shared<CVemoGPSDoc>();
  doc->Assign(points, {}, 1, "crowd");
  const CMapPlacement placement = PagePlacement(*doc, true);
  const CMapDecorations d = PlaceMapDecorations(*doc, CMapDisplay{}, placement);
  const CMapPage& page = doc->Page();
  const QRectF area(page.AreaLeft(), page.AreaTop(), page.AreaWidth(), page.AreaHeight());
  for (const QRectF& box : {d.legend, d.northArrow, d.scaleBar}) {
    ASSERT_FALSE(box.isEmpty());
    for (const QPointF& p : PaperPoints(*doc, placement)) EXPECT_FALSE(box.adjusted(-12, -1, 1, 5).contains(p));
  }
  // The legend moved to the south-east, the scale bar took the north-east (its corner taken)
  // and the north arrow the north-west.
  EXPECT_DOUBLE_EQ(d.legend.right(), area.right());
  EXPECT_DOUBLE_EQ(d.legend.bottom(), area.bottom());
  EXPECT_DOUBLE_EQ(d.scaleBar.right(), area.right());
  EXPECT_DOUBLE_EQ(d.scaleBar.top(), area.top());
  EXPECT_DOUBLE_EQ(d.northArrow.left(), area.left());
  EXPECT_DOUBLE_EQ(d.northArrow.top(), area.top());
  // No baselines and no ellipses: the legend names the two symbols only.
  EXPECT_FALSE(d.baselines);
  EXPECT_FALSE(d.ellipses);

  // A page too small for a box leaves it out rather than letting it out of the drawing area.
  CVemoGPSDoc tiny = *doc;
  CMapPage small;
  small.width = 40, small.height = 40, small.titleBlock = 4;
  tiny.SetPage(small);
  ASSERT_DOUBLE_EQ(tiny.Page().width, 40.0);
  const CMapDecorations fitted = PlaceMapDecorations(tiny, CMapDisplay{}, PagePlacement(tiny, true));
  EXPECT_TRUE(fitted.legend.isEmpty());
  EXPECT_TRUE(fitted.northArrow.isEmpty());
  const QRectF tinyArea(small.AreaLeft(), small.AreaTop(), small.AreaWidth(), small.AreaHeight());
  EXPECT_TRUE(fitted.scaleBar.isEmpty() || tinyArea.contains(fitted.scaleBar));
}

TEST(MapRoundLengths, AreOneTwoOrFiveTimesAPowerOfTenAndLabelledInTheirUnit) {
  const std::pair<double, double> cases[] = {{800, 500},  {1, 1},       {0.7, 0.5},   {2500, 2000},
                                             {9.99, 5},   {1000, 1000}, {0.001, 0.001}, {199.99, 100}};
  for (const auto& [limit, round] : cases) EXPECT_DOUBLE_EQ(RoundLengthBelow(limit), round) << limit;
  for (double bad : {0.0, -5.0, std::nan(""), HUGE_VAL}) EXPECT_EQ(RoundLengthBelow(bad), 0.0);
  EXPECT_EQ(GroundLengthLabel(500).toStdString(), "500 m");
  EXPECT_EQ(GroundLengthLabel(2000).toStdString(), "2 km");
  EXPECT_EQ(GroundLengthLabel(0.5).toStdString(), "0.5 m");
  EXPECT_EQ(ErrorLengthLabel(2).toStdString(), "2 cm");
  EXPECT_EQ(ErrorLengthLabel(0.5).toStdString(), "5 mm");
}

}  // namespace
}  // namespace vemo::test
