// A report (any GBK text file the viewer shows) set on printed pages. The type is a fixed-pitch
// CJK face and every character stands at its own column, worked out in the page's own units:
// a Chinese character is two columns wide, as it is two bytes in the file, so the columns of a
// report line up on paper as they do in the file. The size of the type is chosen so that the
// widest line fits the page width, the page turning to landscape only when the smallest
// readable size does not fit in portrait. Every page carries a head (project, file, date) and
// its number ("第 x 页 / 共 y 页"). The printer, the print preview and the PDF file all draw
// these same pages; the text stays text in a PDF, so it can be searched and copied.
#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace vemo {

// The fixed-pitch CJK face of reports, on screen and on paper: its Latin letters all have one
// advance (0.6 of the type size), its Chinese characters another (the type size). On paper a
// column is half the type size; Latin letters are narrowed to it.
QString ReportFontFamily();

// What the head of every page names.
struct ReportHeading {
  QString project;  // the project's name; empty when the report belongs to none
  QString file;     // the report's file name
  QString date;     // the day of printing, "yyyy-MM-dd"
};

// The paper and the range of type sizes a report is set in.
struct ReportPaper {
  QPageSize size = QPageSize(QPageSize::A4);
  QMarginsF margins{15, 12, 10, 12};  // mm: left (binding), top, right, bottom; head and foot inside
  // The size of a report that fits the page at it (五号), and the smallest size before the
  // page turns to landscape: at 10 pt a digit is 2.6 mm high, a capital 2.5 mm, a Chinese
  // character 3.2 mm.
  double largestPoints = 10.5;
  double smallestPoints = 10;
};

class ReportPages {
 public:
  // Lays the GBK text (lines ending in LF or CR LF) out on pages of the paper. A tab runs to
  // the next multiple of eight columns; a byte that is no GBK character shows as one column
  // of U+FFFD.
  ReportPages(std::string_view textGbk, ReportHeading heading, const ReportPaper& paper = {});

  // The page chosen: the paper's size, portrait or landscape, and the margins.
  const QPageLayout& Layout() const { return m_Layout; }
  bool Landscape() const { return m_Layout.orientation() == QPageLayout::Landscape; }
  // The size of the type in points (1/72 inch), a multiple of a quarter point.
  double PointSize() const { return m_Points; }
  // The height of a Chinese character's body on paper, in mm: the type size.
  double CharacterHeightMm() const;
  // The columns of the widest line, and the columns of a printed line: a line wider than
  // the page even in landscape at the smallest size continues on the next printed line.
  int Columns() const { return m_Columns; }
  int PageColumns() const { return m_PageColumns; }
  int LinesPerPage() const { return m_LinesPerPage; }
  // The printed lines, in order, and the text of one (a line, or the piece of a wide one).
  int PrintedLineCount() const { return static_cast<int>(m_Printed.size()); }
  QString PrintedText(int index) const;
  int PageCount() const;
  const ReportHeading& Heading() const { return m_Heading; }
  // "第 x 页 / 共 y 页" of the 0-based page.
  QString PageNumber(int page) const;

  // Draws the 0-based page with a painter open on a paged device whose page layout is
  // Layout() (its origin at the top left corner inside the margins).
  void DrawPage(QPainter& painter, int page) const;
  // Gives the device the layout and draws every page; false when painting cannot begin on
  // it (a printer that is not available, a file that cannot be opened).
  bool Print(QPagedPaintDevice& device) const;
  // The pages as a PDF document; empty when it cannot be made.
  std::string Pdf() const;

 private:
  // A printed line: the characters [from, to) of a line of the text.
  struct PrintedLine {
    int line;
    int from, to;
  };
  void Choose(const ReportPaper& paper);
  void DrawCells(QPainter& painter, const PrintedLine& printed, double top) const;

  ReportHeading m_Heading;
  std::vector<QString> m_Lines;
  std::vector<PrintedLine> m_Printed;
  QPageLayout m_Layout;
  double m_Points = 10;
  int m_Columns = 0, m_PageColumns = 1, m_LinesPerPage = 1;
};

// The heading of a report file printed today: the name of the open project when the file
// lies in its folder, else of the one project file beside it; the file's name; the date. An
// empty path (a document that is no file) names the open project, if any.
ReportHeading HeadingOfFile(const std::string& path);

// Writes the report file as a PDF of its printed pages on the paper. The PDF replaces out
// atomically: a file that was there stays whole until the new one is complete. A message and
// false when the report cannot be read, out is one of the inputs or the project's data, or
// the PDF cannot be written.
bool WriteReportPdf(const std::string& report, const std::string& out, const ReportPaper& paper = {});

}  // namespace vemo
