// The printed pages of a report: the size and orientation chosen by the widest line, columns
// counted as the file's bytes, the page count and the head, and the PDF file written safely.
#include "app/print/ReportPages.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <cmath>
#include <filesystem>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "project/AppState.h"
#include "tests/support/TestHost.h"
#include "tools/NetworkMapFiles.h"

namespace vemo {
namespace {

using test::G;

// A column is half the type size (a Chinese character's advance); A4 less the margins (15 mm
// left, 10 mm right) leaves 185 mm of width in portrait and 272 mm in landscape.
constexpr double kCellEm = 0.5, kMmPerPoint = 25.4 / 72;

std::string Line(int columns) { return std::string(static_cast<size_t>(columns), '8') + "\n"; }

class ReportPagesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(EnsureDrawingApplication()); }
  test::ScopedTestHost scope;
  test::TempDir dir;
};

TEST_F(ReportPagesTest, ColumnsAreTheFileBytes) {
  // "点名" is four bytes and four columns; a tab runs to column 8; a stray lead byte is one.
  EXPECT_EQ(ReportPages(G(u8"点名") + "\tX\r\n", {}).Columns(), 9);
  EXPECT_EQ(ReportPages(G(u8"测站") + "\x81" + "A\n", {}).Columns(), 6);
  EXPECT_EQ(ReportPages("", {}).Columns(), 0);
  EXPECT_EQ(ReportPages("", {}).PageCount(), 1);
}

TEST_F(ReportPagesTest, SizeAndOrientationFollowTheWidestLine) {
  struct Case {
    int columns;
    bool landscape;
    double points;
  };
  const Case cases[] = {
      {80, false, 10.5},   // fits at the largest size
      {100, false, 10.25}, // 185 mm / (100 x 0.5 x 0.3528 mm) = 10.49 pt, in quarter points down
      {104, false, 10},    // 10.09 pt
      {110, true, 10.5},   // portrait would take 9.5 pt: landscape takes it at the largest size
      {150, true, 10.25},  // 272 mm / 150 columns
      {200, true, 10},     // wider than landscape at the smallest size: continued lines
  };
  for (const Case& c : cases) {
    ReportPages pages(Line(40) + Line(c.columns) + Line(10), {});
    SCOPED_TRACE(c.columns);
    EXPECT_EQ(pages.Landscape(), c.landscape);
    EXPECT_DOUBLE_EQ(pages.PointSize(), c.points);
    const double width = c.landscape ? 272 : 185;
    EXPECT_LE(std::min(c.columns, pages.PageColumns()) * kCellEm * c.points * kMmPerPoint, width + 1e-6);
    EXPECT_EQ(pages.PrintedLineCount(), c.columns > pages.PageColumns() ? 4 : 3);
  }
}

TEST_F(ReportPagesTest, WideLinesContinueWithoutCuttingACharacter) {
  std::string wide = "a";
  for (int i = 0; i < 250; ++i) wide += G(u8"测");
  ReportPages pages(wide + "\n", {});
  ASSERT_TRUE(pages.Landscape());
  ASSERT_GT(pages.PrintedLineCount(), 2);
  QString joined;
  for (int i = 0; i < pages.PrintedLineCount(); ++i) {
    const QString piece = pages.PrintedText(i);
    int columns = 0;
    for (QChar c : piece) columns += c.unicode() < 0x80 ? 1 : 2;
    EXPECT_LE(columns, pages.PageColumns());
    if (i + 1 < pages.PrintedLineCount()) {
      EXPECT_GE(columns, pages.PageColumns() - 1);  // full but for half a character
    }
    joined += piece;
  }
  EXPECT_EQ(joined, QString::fromStdString(GbkToUtf8(wide)));
}

TEST_F(ReportPagesTest, PagesCarryTheHeadAndTheirNumbers) {
  std::string text;
  for (int i = 0; i < 218; ++i) text += G(u8"多余观测数 = ") + std::to_string(i) + "\n";
  const ReportPages pages(text, {QString::fromUtf8(u8"武汉D级网"), "net.GPS3dAdjust", "2026-12-08"});
  // A4 portrait less the margins is 273 mm high; the lines of a page and the head and foot
  // (three lines between them) fill it.
  const int perPage = pages.LinesPerPage();
  EXPECT_GT(perPage, 40);
  EXPECT_LT(perPage, 273 / (pages.PointSize() * kMmPerPoint));
  EXPECT_EQ(pages.PageCount(), (218 + perPage - 1) / perPage);
  EXPECT_GT(pages.PageCount(), 1);
  EXPECT_EQ(pages.PageNumber(1), QString::fromUtf8(u8"第 2 页 / 共 %1 页").arg(pages.PageCount()));
  EXPECT_GE(pages.CharacterHeightMm(), 2.5);
  const std::string pdf = pages.Pdf();
  ASSERT_EQ(pdf.rfind("%PDF-", 0), 0u);
  // One page object a page ("/Type /Pages" is the tree above them).
  const QString bytes = QString::fromLatin1(pdf.data(), static_cast<qsizetype>(pdf.size()));
  EXPECT_EQ(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), pages.PageCount());
}

TEST_F(ReportPagesTest, HeadingNamesTheProjectBesideTheFile) {
  const std::string report = dir.Write("net.GPS3dAdjust", "x\n");
  dir.Write(u8"武汉D级网.prj", "");
  const ReportHeading heading = HeadingOfFile(report);
  EXPECT_EQ(heading.project, QString::fromUtf8(u8"武汉D级网"));
  EXPECT_EQ(heading.file, QStringLiteral("net.GPS3dAdjust"));
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$")).match(heading.date).hasMatch());
  // Two project files: the report's project is not known.
  dir.Write("other.PRJ", "");
  EXPECT_TRUE(HeadingOfFile(report).project.isEmpty());
}

TEST_F(ReportPagesTest, APdfThatCannotBeWrittenLeavesEveryFileAsItWas) {
  const std::string report = dir.Write("net.GPS3dAdjust", G(u8"多余观测数 = 27") + "\n");
  const std::string good = dir.Write("good.pdf", "%PDF-1.4 the old one");
  EXPECT_FALSE(WriteReportPdf(report, dir.str() + "/missing/out.pdf"));
  EXPECT_FALSE(WriteReportPdf(report, dir.str()));  // a directory stands there
  ASSERT_EQ(scope.host.messages.size(), 2u);
  EXPECT_NE(scope.host.messages[0].Utf8Text().find(u8"写文件"), std::string::npos);
  // The report itself is never replaced by its PDF.
  EXPECT_FALSE(WriteReportPdf(report, report));
  EXPECT_EQ(ReadWholeFile(report), G(u8"多余观测数 = 27") + "\n");
  EXPECT_FALSE(WriteReportPdf(dir.str() + "/none.txt", good));
  EXPECT_EQ(ReadWholeFile(good), "%PDF-1.4 the old one");
  EXPECT_EQ(scope.host.messages.size(), 4u);
  ASSERT_TRUE(WriteReportPdf(report, good));
  EXPECT_EQ(ReadWholeFile(good).value_or("").rfind("%PDF-", 0), 0u);
}

}  // namespace
}  // namespace vemo
