#include "app/print/ReportPages.h"

#include <QBuffer>
#include <QDate>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "tools/NetworkMapFiles.h"

namespace vemo {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kMmPerPoint = kMmPerInch / 72.0;
constexpr int kPdfResolution = 1200;  // dots an inch: glyph positions to 0.02 mm
constexpr int kTabColumns = 8;
// The head is a line of type, a rule half a line below it and half a line of space; the foot
// is half a line of space and a line of type.
constexpr double kHeadLines = 1.5, kFootLines = 1.5;

// A character's columns at column: one for ASCII and for a byte that did not decode (one
// byte, one column), two for a GBK character of two bytes.
int ColumnsOf(QChar c, int column) {
  const char16_t u = c.unicode();
  if (u == u'\t') return kTabColumns - column % kTabColumns;
  return u < 0x80 || u == 0xFFFD ? 1 : 2;
}

QFont ReportFont(double points) {
  QFont font(ReportFontFamily());
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setKerning(false);
  // Unhinted advances scale with the size, so that the page's columns are the face's own.
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::PreferOutline);
  font.setPointSizeF(points);
  return font;
}

// A column is half the advance of a Chinese character, which is the type size: the
// proportions of the original platform's printed reports, whose Latin letters were half as
// wide as its Chinese characters.
constexpr QChar kWide(0x6D4B);  // 测

// The face's column and line spacing, as fractions of the type size.
struct FaceMetrics {
  double cell, line;
};
FaceMetrics MeasureFace() {
  QFont font = ReportFont(10);
  font.setPixelSize(1000);
  const QFontMetricsF metrics(font);
  return {metrics.horizontalAdvance(kWide) / 2000.0, metrics.lineSpacing() / 1000.0};
}

}  // namespace

QString ReportFontFamily() { return QStringLiteral("WenQuanYi Micro Hei Mono"); }

ReportPages::ReportPages(std::string_view textGbk, ReportHeading heading, const ReportPaper& paper)
    : m_Heading(std::move(heading)) {
  // Lines end in LF; the CR of a Windows line end goes; a last line end closes the last line.
  for (size_t start = 0; start < textGbk.size();) {
    size_t end = textGbk.find('\n', start);
    if (end == std::string_view::npos) end = textGbk.size();
    std::string_view line = textGbk.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    m_Lines.push_back(QString::fromStdString(GbkToUtf8(line)));
    start = end + 1;
  }
  for (const QString& line : m_Lines) {
    int column = 0;
    for (QChar c : line) column += ColumnsOf(c, column);
    m_Columns = std::max(m_Columns, column);
  }
  Choose(paper);
  // Lines wider than the page continue on the next printed line; a Chinese character is never
  // cut in two.
  for (int i = 0; i < static_cast<int>(m_Lines.size()); ++i) {
    const QString& line = m_Lines[static_cast<size_t>(i)];
    int from = 0, column = 0;  // column: within the printed line
    for (int k = 0; k < line.size(); ++k) {
      int width = ColumnsOf(line[k], column);
      if (column + width > m_PageColumns && k > from) {
        m_Printed.push_back({i, from, k});
        from = k;
        column = 0;
        width = ColumnsOf(line[k], column);
      }
      column += width;
    }
    m_Printed.push_back({i, from, static_cast<int>(line.size())});
  }
}

void ReportPages::Choose(const ReportPaper& paper) {
  const FaceMetrics face = MeasureFace();
  auto layout = [&](QPageLayout::Orientation orientation) {
    return QPageLayout(paper.size, orientation, paper.margins, QPageLayout::Millimeter);
  };
  auto width = [&](const QPageLayout& l) { return l.paintRect(QPageLayout::Millimeter).width(); };
  // The largest size in quarter points at which the widest line fits the width.
  auto fitting = [&](const QPageLayout& l) {
    if (m_Columns == 0) return paper.largestPoints;
    return std::floor(4 * width(l) / (m_Columns * face.cell * kMmPerPoint)) / 4;
  };
  m_Layout = layout(QPageLayout::Portrait);
  double points = fitting(m_Layout);
  if (points < paper.smallestPoints) {
    const QPageLayout landscape = layout(QPageLayout::Landscape);
    // Landscape when it takes the report at a larger size than portrait does.
    if (fitting(landscape) > points) {
      m_Layout = landscape;
      points = fitting(m_Layout);
    }
  }
  m_Points = std::clamp(points, paper.smallestPoints, paper.largestPoints);
  const double cellMm = face.cell * m_Points * kMmPerPoint, lineMm = face.line * m_Points * kMmPerPoint;
  m_PageColumns = std::max(1, static_cast<int>(std::floor(width(m_Layout) / cellMm + 1e-9)));
  const double height = m_Layout.paintRect(QPageLayout::Millimeter).height();
  m_LinesPerPage = std::max(1, static_cast<int>(std::floor(height / lineMm - kHeadLines - kFootLines)));
}

double ReportPages::CharacterHeightMm() const { return m_Points * kMmPerPoint; }

int ReportPages::PageCount() const {
  return std::max(1, static_cast<int>((m_Printed.size() + static_cast<size_t>(m_LinesPerPage) - 1) /
                                      static_cast<size_t>(m_LinesPerPage)));
}

QString ReportPages::PrintedText(int index) const {
  const PrintedLine& printed = m_Printed[static_cast<size_t>(index)];
  return m_Lines[static_cast<size_t>(printed.line)].mid(printed.from, printed.to - printed.from);
}

QString ReportPages::PageNumber(int page) const {
  // Part of the printed report, like its text: the same pages in every interface language.
  return QString::fromUtf8(u8"第 %1 页 / 共 %2 页").arg(page + 1).arg(PageCount());
}

void ReportPages::DrawCells(QPainter& painter, const PrintedLine& printed, double top) const {
  const QFontMetricsF metrics(painter.font(), painter.device());
  const double cell = metrics.horizontalAdvance(kWide) / 2;
  const double baseline = top + metrics.ascent();
  const QString& line = m_Lines[static_cast<size_t>(printed.line)];
  // A run of characters of one width and one advance is drawn as one text, scaled across to
  // exactly its cells: Chinese characters keep their shape, Latin letters are narrowed to
  // half the type size. The characters of a run touch as they do in the face, so a word is
  // extracted from a PDF whole, and every character sits on its own columns.
  QString run;
  int runColumn = 0, runWidth = 0;
  double runAdvance = 0;
  auto flush = [&] {
    if (run.isEmpty()) return;
    const QTransform page = painter.transform();
    const double scale = runAdvance > 0 ? runWidth * cell / runAdvance : 1;
    painter.setTransform(QTransform(scale, 0, 0, 1, runColumn * cell, baseline) * page);
    painter.drawText(QPointF(0, 0), run);
    painter.setTransform(page);
    run.clear();
  };
  int column = 0;
  for (int k = printed.from; k < printed.to; ++k) {
    const QChar c = line[k];
    const int width = ColumnsOf(c, column);
    if (c.unicode() < 0x20) {  // a tab or another control character: a gap
      flush();
    } else {
      const double advance = metrics.horizontalAdvance(c);
      if (width != runWidth || advance != runAdvance) flush();
      if (run.isEmpty()) runColumn = column, runWidth = width, runAdvance = advance;
      run += c;
    }
    column += width;
  }
  flush();
}

void ReportPages::DrawPage(QPainter& painter, int page) const {
  const double dotsPerMm = painter.device()->logicalDpiX() / kMmPerInch;
  const QRectF area = m_Layout.paintRect(QPageLayout::Millimeter);
  const double width = area.width() * dotsPerMm, height = area.height() * dotsPerMm;
  const FaceMetrics face = MeasureFace();
  const double line = face.line * m_Points * kMmPerPoint * dotsPerMm;
  painter.save();
  painter.setFont(ReportFont(m_Points));
  painter.setPen(Qt::black);
  const QFontMetricsF metrics(painter.font(), painter.device());
  // The head: the project on the left, the date on the right, the file between them.
  const double gap = 2 * metrics.horizontalAdvance(QLatin1Char('0'));
  const double projectWidth = metrics.horizontalAdvance(m_Heading.project);
  const double dateWidth = metrics.horizontalAdvance(m_Heading.date);
  painter.drawText(QPointF(0, metrics.ascent()), m_Heading.project);
  painter.drawText(QPointF(width - dateWidth, metrics.ascent()), m_Heading.date);
  const double fileSpace = width - 2 * std::max(projectWidth, dateWidth) - 2 * gap;
  const QString file = metrics.elidedText(m_Heading.file, Qt::ElideMiddle, std::max(0.0, fileSpace));
  painter.drawText(QPointF((width - metrics.horizontalAdvance(file)) / 2, metrics.ascent()), file);
  painter.setPen(QPen(Qt::black, 0.2 * dotsPerMm));
  painter.drawLine(QPointF(0, 1.2 * line), QPointF(width, 1.2 * line));
  painter.setPen(Qt::black);
  // The body.
  const size_t first = static_cast<size_t>(page) * static_cast<size_t>(m_LinesPerPage);
  for (size_t i = first; i < std::min(m_Printed.size(), first + static_cast<size_t>(m_LinesPerPage)); ++i)
    DrawCells(painter, m_Printed[i], (kHeadLines + static_cast<double>(i - first)) * line);
  // The foot.
  const QString number = PageNumber(page);
  painter.drawText(QPointF((width - metrics.horizontalAdvance(number)) / 2, height - metrics.descent()), number);
  painter.restore();
}

bool ReportPages::Print(QPagedPaintDevice& device) const {
  // A printer may refuse margins below its own; the orientation it takes in any case.
  if (!device.setPageLayout(m_Layout)) device.setPageOrientation(m_Layout.orientation());
  QPainter painter;
  if (!painter.begin(&device)) return false;
  for (int page = 0; page < PageCount(); ++page) {
    if (page > 0 && !device.newPage()) return false;
    DrawPage(painter, page);
  }
  return painter.end();
}

std::string ReportPages::Pdf() const {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(kPdfResolution);
    pdf.setTitle(m_Heading.file);
    pdf.setCreator(QStringLiteral("VemoGPS"));
    if (!Print(pdf)) return {};
  }
  return buffer.data().toStdString();
}

ReportHeading HeadingOfFile(const std::string& path) {
  namespace fs = std::filesystem;
  ReportHeading heading;
  const fs::path file(path);
  heading.file = QString::fromStdString(file.filename().string());
  heading.date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
  const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
  if (Project().projectOpen == 1 && (path.empty() || IsSameFile(folder, Project().projectDir))) {
    heading.project = QString::fromStdString(GbkToUtf8(Project().projectName));
    return heading;
  }
  if (path.empty()) return heading;
  std::error_code ec;
  int found = 0;
  for (fs::directory_iterator entry(folder, ec), end; !ec && entry != end; entry.increment(ec)) {
    const fs::path name = entry->path();
    if (!EqualNoCase(name.extension().string(), ".prj") || !entry->is_regular_file(ec)) continue;
    if (++found > 1) {  // which of them is the report's is not for us to guess
      heading.project.clear();
      return heading;
    }
    heading.project = QString::fromStdString(name.stem().string());
  }
  return heading;
}

bool WriteReportPdf(const std::string& report, const std::string& out, const ReportPaper& paper) {
  const std::optional<std::string> text = ReadWholeFile(report);
  if (!text) {
    ShowMessage(Format(UiText(u8"打开文件%s出错!"), PathToGbk(report).c_str()), AppTitle());
    return false;
  }
  if (!CheckOutputReplacesNoData(out, {report})) return false;
  if (!EnsureDrawingApplication()) {
    ShowMessage(Format(UiText(u8"无法启动绘图环境，报告%s未能生成PDF文件!"), PathToGbk(report).c_str()), AppTitle());
    return false;
  }
  const std::string pdf = ReportPages(*text, HeadingOfFile(report), paper).Pdf();
  std::string error;
  if (pdf.empty() || !WriteFileAtomically(out, pdf, &error)) {
    ShowMessage(Format(UiText(u8"写文件'%s'出错!"), PathToGbk(out).c_str()) + (error.empty() ? "" : "\n" + error),
                AppTitle(), MessageIcon::Warning);
    return false;
  }
  return true;
}

}  // namespace vemo
