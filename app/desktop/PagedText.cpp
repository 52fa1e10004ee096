#include "app/desktop/PagedText.h"

#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstring>

#include "app/desktop/GbkText.h"
#include "app/desktop/TextView.h"

namespace vemo {
namespace {

constexpr qint64 kIndexPiece = qint64{1} << 20;  // bytes read at a time while indexing
constexpr qint64 kFindPiece = qint64{4} << 20;   // bytes searched at a time
constexpr int kMargin = 4;                        // px left of the first column
constexpr int kTabColumns = 8;

bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// The bytes of the character at p: a lead and a trail byte are one character.
int CharBytes(const char* p, const char* end) {
  return IsLead(static_cast<unsigned char>(p[0])) && p + 1 < end && IsTrail(static_cast<unsigned char>(p[1])) ? 2 : 1;
}

bool IsWordChar(const char* p, const char* end) {
  const auto b = static_cast<unsigned char>(*p);
  return CharBytes(p, end) == 2 || std::isalnum(b) || b == '_';
}

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The characters of one line with the byte and the column where each starts (and the line's
// end after the last): a character outside ASCII is two columns, as its two bytes; a tab runs
// to the next tab stop.
struct LineLayout {
  QString text;
  std::vector<int> byteAt, columnAt;

  explicit LineLayout(const std::string& bytes) : text(DecodeGbkPreserving(bytes).text) {
    int byte = 0, column = 0;
    for (QChar c : text) {
      byteAt.push_back(byte);
      columnAt.push_back(column);
      const char16_t u = c.unicode();
      const bool single = u < 0x80 || (u >= kRawByteBase && u <= kRawByteBase + 0xFF);
      byte += single ? 1 : 2;
      column += u == u'\t' ? kTabColumns - column % kTabColumns : single ? 1 : 2;
    }
    byteAt.push_back(byte);
    columnAt.push_back(column);
  }
  // The column where the character holding byte starts (the end for a byte past the line).
  int ColumnOf(int byte) const {
    const auto it = std::upper_bound(byteAt.begin(), byteAt.end(), byte);
    return columnAt[static_cast<size_t>(std::max<std::ptrdiff_t>(0, it - byteAt.begin() - 1))];
  }
  // The byte of the character boundary nearest to the column.
  int ByteAt(double column) const {
    size_t best = 0;
    for (size_t i = 1; i < columnAt.size(); ++i)
      if (std::abs(columnAt[i] - column) < std::abs(columnAt[best] - column)) best = i;
    return byteAt[best];
  }
};

}  // namespace

bool PagedText::Open(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  m_File.close();
  m_File.setFileName(path);
  if (!m_File.open(QIODevice::ReadOnly)) return false;
  m_Size = m_File.size();
  m_Indexed = m_Longest = m_LineEnds = m_CrlfEnds = 0;
  m_LastByte = 0;
  m_Starts.assign(1, 0);
  IndexMore(0);
  emit grown();
  return true;
}

PagedText::PagedText() {
  connect(&m_Indexer, &QTimer::timeout, this, [this] {
    // A piece at a time, short enough that the window's events wait no longer than that.
    const bool more = IndexMore(30);
    emit grown();
    if (!more) {
      m_Indexer.stop();
      emit indexed();
    }
  });
}

void PagedText::IndexInBackground() {
  if (!Indexed()) m_Indexer.start(0);
}

bool PagedText::ReadAt(qint64 offset, qint64 size, std::string& out) const {
  out.resize(static_cast<size_t>(std::max<qint64>(0, size)));
  if (size <= 0) return true;
  if (!m_File.seek(offset)) return false;
  const qint64 got = m_File.read(out.data(), size);
  out.resize(static_cast<size_t>(std::max<qint64>(0, got)));
  return got == size;
}

bool PagedText::IndexMore(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  std::string piece;
  do {
    if (Indexed()) break;
    if (!ReadAt(m_Indexed, std::min(kIndexPiece, m_Size - m_Indexed), piece) || piece.empty()) {
      m_Size = m_Indexed;  // the file became shorter: what was read is the text
      break;
    }
    const char* begin = piece.data();
    const char* end = begin + piece.size();
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p) {
      const char before = p > begin ? p[-1] : m_LastByte;
      ++m_LineEnds;
      if (before == '\r') ++m_CrlfEnds;
      const qint64 next = m_Indexed + (p - begin) + 1;
      m_Longest = std::max(m_Longest, next - 1 - m_Starts.back());
      m_Starts.push_back(next);
    }
    m_LastByte = piece.back();
    m_Indexed += static_cast<qint64>(piece.size());
  } while (clock.elapsed() < milliseconds);
  if (Indexed()) m_Longest = std::max(m_Longest, m_Size - m_Starts.back());
  return !Indexed();
}

std::string PagedText::LineBytes(qint64 line) const {
  const qint64 start = LineStart(line);
  const bool last = line + 1 >= LineCount();
  const qint64 end = last ? m_Indexed : LineStart(line + 1);
  std::string bytes;
  ReadAt(start, end - start, bytes);
  if (!last && !bytes.empty() && bytes.back() == '\n') {
    bytes.pop_back();
    if (Crlf() && !bytes.empty() && bytes.back() == '\r') bytes.pop_back();
  }
  return bytes;
}

qint64 PagedText::LineOf(qint64 offset) const {
  return std::max<qint64>(0, std::upper_bound(m_Starts.begin(), m_Starts.end(), offset) - m_Starts.begin() - 1);
}

std::string PagedText::Bytes(qint64 from, qint64 to) const {
  std::string bytes;
  ReadAt(from, to - from, bytes);
  return bytes;
}

QString PagedText::Text(qint64 from, qint64 to) const {
  const std::string bytes = Bytes(from, to);
  // A span of a file with a CR of its own (not of a uniform CR LF ending) is decoded line by
  // line, so that each CR is kept as the editor keeps it.
  if (Crlf() || bytes.find('\r') == std::string::npos) return DecodeGbkPreserving(bytes).text;
  QString text;
  for (size_t start = 0; start <= bytes.size();) {
    size_t end = bytes.find('\n', start);
    text += DecodeGbkPreserving(std::string_view(bytes).substr(start, (end == std::string::npos ? bytes.size() : end) - start)).text;
    if (end == std::string::npos) break;
    text += QLatin1Char('\n');
    start = end + 1;
  }
  return text;
}

qint64 PagedText::Find(const std::string& pattern, qint64 offset, bool backward, bool matchCase, bool wholeWord,
                       const std::function<bool()>& between) const {
  if (pattern.empty() || m_Size == 0) return -1;
  std::string folded = pattern;
  if (!matchCase) std::transform(folded.begin(), folded.end(), folded.begin(), Fold);
  // Without a letter in the pattern nothing needs folding in the file either.
  const bool fold = !matchCase && std::any_of(pattern.begin(), pattern.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
  // Whether a candidate at p starts at a character and matches: lead bytes and their trail
  // bytes exactly, ASCII letters folded unless matchCase. A piece starts at a line, and the
  // characters are walked from there once, as the candidates come in order.
  const char* walked = nullptr;    // the character boundary reached
  const char* previous = nullptr;  // the character before it
  auto matches = [&](const char* end, const char* p) {
    while (walked < p) previous = walked, walked += CharBytes(walked, end);
    if (walked != p || end - p < static_cast<std::ptrdiff_t>(pattern.size())) return false;
    for (size_t i = 0; i < pattern.size();) {
      if (IsLead(static_cast<unsigned char>(pattern[i])) && i + 1 < pattern.size()) {
        if (p[i] != pattern[i] || p[i + 1] != pattern[i + 1]) return false;
        i += 2;
      } else {
        if (matchCase ? p[i] != pattern[i] : Fold(p[i]) != folded[i]) return false;
        ++i;
      }
    }
    if (!wholeWord) return true;
    const char* after = p + pattern.size();
    return !(previous && IsWordChar(previous, end)) && !(after < end && IsWordChar(after, end));
  };
  std::string piece, lowered;
  auto search = [&](qint64 from, qint64 to, qint64 limit) -> qint64 {
    if (!ReadAt(from, to - from, piece)) return -1;
    const std::string* haystack = &piece;
    if (fold) {
      lowered.resize(piece.size());
      std::transform(piece.begin(), piece.end(), lowered.begin(), Fold);
      haystack = &lowered;
    }
    qint64 found = -1;
    const char* base = haystack->data();
    const char* end = base + haystack->size();
    walked = piece.data(), previous = nullptr;
    for (const char* p = base; p < end;) {
      p = static_cast<const char*>(memmem(p, static_cast<size_t>(end - p), folded.data(), folded.size()));
      if (!p) break;
      const qint64 at = from + (p - base);
      if (backward ? at >= limit : at < limit) {
        if (backward) break;
        ++p;
        continue;
      }
      if (matches(piece.data() + piece.size(), piece.data() + (p - base))) {
        found = at;
        if (!backward) break;
      }
      ++p;
    }
    return found;
  };
  // Pieces of whole lines, so that no match is cut.
  auto lineEndAfter = [&](qint64 at) {
    if (at >= m_Size) return m_Size;
    const qint64 line = LineOf(at);
    return line + 1 < LineCount() ? LineStart(line + 1) : m_Size;
  };
  if (!backward) {
    for (qint64 from = LineStart(LineOf(offset)); from < m_Size;) {
      const qint64 to = lineEndAfter(std::min(m_Size, from + kFindPiece) - 1);
      if (const qint64 found = search(from, to, offset); found >= 0) return found;
      if (between && !between()) return -1;
      from = to;
    }
  } else {
    for (qint64 to = lineEndAfter(offset); to > 0;) {
      const qint64 from = LineStart(LineOf(std::max<qint64>(0, to - kFindPiece)));
      if (const qint64 found = search(from, to, offset); found >= 0) return found;
      if (between && !between()) return -1;
      to = from;
    }
  }
  return -1;
}

bool PagedText::SameAsFile(const QString& path) const {
  QFile other(path);
  if (!other.open(QIODevice::ReadOnly) || other.size() != m_Size) return false;
  // Written in place the file under the index has changed with it: no longer the one indexed.
  struct stat mine {}, theirs {};
  if (fstat(m_File.handle(), &mine) == 0 && fstat(other.handle(), &theirs) == 0 && mine.st_ino == theirs.st_ino &&
      mine.st_dev == theirs.st_dev)
    return false;
  std::string a, b;
  for (qint64 at = 0; at < m_Size; at += kFindPiece) {
    const qint64 n = std::min(kFindPiece, m_Size - at);
    b.resize(static_cast<size_t>(n));
    if (!ReadAt(at, n, a) || other.read(b.data(), n) != n || a != b) return false;
  }
  return true;
}

PagedTextArea::PagedTextArea(std::shared_ptr<PagedText> text, QWidget* parent)
    : QAbstractScrollArea(parent), m_Text(std::move(text)) {
  setObjectName(QStringLiteral("pagedText"));
  setFont(TextViewFont());
  viewport()->setFont(TextViewFont());
  viewport()->setCursor(Qt::IBeamCursor);
  setFocusPolicy(Qt::StrongFocus);
  QFontMetricsF metrics(TextViewFont());
  m_Column = metrics.horizontalAdvance(QLatin1Char('0'));
  m_LineHeight = static_cast<int>(std::ceil(metrics.lineSpacing()));
  viewport()->setBackgroundRole(QPalette::Base);
  connect(m_Text.get(), &PagedText::grown, this, [this] {
    m_Caret = std::min(m_Caret, m_Text->Size());
    m_Anchor = std::min(m_Anchor, m_Text->Size());
    UpdateScrollBars();
    viewport()->update();
  });
  UpdateScrollBars();
}

void PagedTextArea::UpdateScrollBars() {
  const int rows = std::max(1, viewport()->height() / m_LineHeight);
  verticalScrollBar()->setRange(0, static_cast<int>(std::max<qint64>(0, m_Text->LineCount() - rows)));
  verticalScrollBar()->setPageStep(rows);
  verticalScrollBar()->setSingleStep(1);
  const int width = static_cast<int>(static_cast<double>(m_Text->LongestLine() + 2) * m_Column) + kMargin;
  horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(static_cast<int>(m_Column) * 4);
}

void PagedTextArea::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void PagedTextArea::DrawLines(QPainter& painter, qint64 first, int count, int top, int left, bool selection) const {
  const QFontMetricsF metrics(painter.font());
  const double column = metrics.horizontalAdvance(QLatin1Char('0'));
  const int height = static_cast<int>(std::ceil(metrics.lineSpacing()));
  const QPalette& colours = palette();
  for (qint64 line = first; line < std::min(m_Text->LineCount(), first + count); ++line) {
    const int y = top + static_cast<int>(line - first) * height;
    const LineLayout layout(m_Text->LineBytes(line));
    auto x = [&](int col) { return left + col * column; };
    const qint64 start = m_Text->LineStart(line);
    double selectedFrom = -1, selectedTo = -1;
    if (selection && HasSelection() && SelectionEnd() > start &&
        SelectionStart() <= start + static_cast<qint64>(layout.byteAt.back())) {
      selectedFrom = x(layout.ColumnOf(static_cast<int>(std::max<qint64>(0, SelectionStart() - start))));
      const bool pastEnd = SelectionEnd() > start + layout.byteAt.back();
      selectedTo = pastEnd ? x(layout.columnAt.back()) + column
                           : x(layout.ColumnOf(static_cast<int>(SelectionEnd() - start)));
      painter.fillRect(QRectF(selectedFrom, y, selectedTo - selectedFrom, height), colours.highlight());
    }
    // Runs of one-column characters in one call; every wider character at its own columns.
    QString run;
    int runColumn = 0;
    auto flush = [&] {
      if (run.isEmpty()) return;
      painter.drawText(QPointF(x(runColumn), y + metrics.ascent()), run);
      run.clear();
    };
    for (qsizetype i = 0; i < layout.text.size(); ++i) {
      const QChar c = layout.text[i];
      const int col = layout.columnAt[static_cast<size_t>(i)];
      const int width = layout.columnAt[static_cast<size_t>(i) + 1] - col;
      if (c == QLatin1Char('\t') || width == 2) {
        flush();
        if (width == 2) painter.drawText(QPointF(x(col), y + metrics.ascent()), QString(c));
        continue;
      }
      if (run.isEmpty()) runColumn = col;
      run += c;
    }
    flush();
    if (selectedTo > selectedFrom) {  // the selected part again, in the selection's colour
      painter.save();
      painter.setClipRect(QRectF(selectedFrom, y, selectedTo - selectedFrom, height), Qt::IntersectClip);
      painter.fillRect(QRectF(selectedFrom, y, selectedTo - selectedFrom, height), colours.highlight());
      painter.setPen(colours.highlightedText().color());
      DrawLines(painter, line, 1, y, left, false);
      painter.restore();
    }
  }
}

void PagedTextArea::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setFont(TextViewFont());
  painter.setPen(palette().text().color());
  const qint64 first = verticalScrollBar()->value();
  const int rows = viewport()->height() / m_LineHeight + 1;
  const int left = kMargin - horizontalScrollBar()->value();
  DrawLines(painter, first, rows, 0, left, true);
  // The caret.
  const qint64 line = m_Text->LineOf(m_Caret);
  if (hasFocus() && line >= first && line < first + rows) {
    const LineLayout layout(m_Text->LineBytes(line));
    const double cx = left + layout.ColumnOf(static_cast<int>(m_Caret - m_Text->LineStart(line))) * m_Column;
    const int y = static_cast<int>(line - first) * m_LineHeight;
    painter.fillRect(QRectF(cx, y, 1, m_LineHeight), palette().text());
  }
}

qint64 PagedTextArea::OffsetAt(const QPoint& point) const {
  const qint64 line = std::clamp<qint64>(verticalScrollBar()->value() + point.y() / m_LineHeight, 0,
                                         std::max<qint64>(0, m_Text->LineCount() - 1));
  const LineLayout layout(m_Text->LineBytes(line));
  const double column = (point.x() - kMargin + horizontalScrollBar()->value()) / m_Column;
  return m_Text->LineStart(line) + layout.ByteAt(column);
}

void PagedTextArea::EnsureVisible(qint64 offset) {
  const qint64 line = m_Text->LineOf(offset);
  const int rows = std::max(1, viewport()->height() / m_LineHeight);
  QScrollBar* v = verticalScrollBar();
  if (line < v->value()) v->setValue(static_cast<int>(line));
  else if (line >= v->value() + rows) v->setValue(static_cast<int>(line - rows + 1));
  const LineLayout layout(m_Text->LineBytes(line));
  const int x = static_cast<int>(layout.ColumnOf(static_cast<int>(offset - m_Text->LineStart(line))) * m_Column);
  QScrollBar* h = horizontalScrollBar();
  if (x < h->value()) h->setValue(std::max(0, x - viewport()->width() / 3));
  else if (x + kMargin + 2 * m_Column > h->value() + viewport()->width()) h->setValue(x - viewport()->width() * 2 / 3);
}

void PagedTextArea::MoveCaret(qint64 offset, bool extend) {
  m_Caret = std::clamp<qint64>(offset, 0, m_Text->Size());
  if (!extend) m_Anchor = m_Caret;
  EnsureVisible(m_Caret);
  viewport()->update();
}

void PagedTextArea::Select(qint64 from, qint64 to) {
  MoveCaret(from, false);
  MoveCaret(to, true);
  emit caretMoved();
}

void PagedTextArea::SetCaretLine(qint64 line) {
  MoveCaret(m_Text->LineStart(std::clamp<qint64>(line, 0, m_Text->LineCount() - 1)), false);
}

void PagedTextArea::Copy() const {
  if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

void PagedTextArea::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Copy) return Copy();
  if (event == QKeySequence::SelectAll) return SelectAll();
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const bool control = event->modifiers() & Qt::ControlModifier;
  const qint64 line = m_Text->LineOf(m_Caret);
  const LineLayout here(m_Text->LineBytes(line));
  const int byte = static_cast<int>(m_Caret - m_Text->LineStart(line));
  const int column = here.ColumnOf(byte);
  const int rows = std::max(1, viewport()->height() / m_LineHeight);
  // To the same column of another line.
  auto toLine = [&](qint64 target) {
    target = std::clamp<qint64>(target, 0, m_Text->LineCount() - 1);
    return m_Text->LineStart(target) + LineLayout(m_Text->LineBytes(target)).ByteAt(column);
  };
  qint64 to = m_Caret;
  switch (event->key()) {
    case Qt::Key_Up: to = toLine(line - 1); break;
    case Qt::Key_Down: to = toLine(line + 1); break;
    case Qt::Key_PageUp: to = toLine(line - rows); break;
    case Qt::Key_PageDown: to = toLine(line + rows); break;
    case Qt::Key_Home: to = control ? 0 : m_Text->LineStart(line); break;
    case Qt::Key_End: to = control ? m_Text->Size() : m_Text->LineStart(line) + here.byteAt.back(); break;
    case Qt::Key_Left: {
      const auto it = std::lower_bound(here.byteAt.begin(), here.byteAt.end(), byte);
      to = it == here.byteAt.begin() ? (line > 0 ? m_Text->LineStart(line - 1) + LineLayout(m_Text->LineBytes(line - 1)).byteAt.back() : 0)
                                     : m_Text->LineStart(line) + *(it - 1);
      break;
    }
    case Qt::Key_Right: {
      const auto it = std::upper_bound(here.byteAt.begin(), here.byteAt.end(), byte);
      to = it == here.byteAt.end() ? (line + 1 < m_Text->LineCount() ? m_Text->LineStart(line + 1) : m_Caret)
                                   : m_Text->LineStart(line) + *it;
      break;
    }
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  MoveCaret(to, extend);
}

void PagedTextArea::keyReleaseEvent(QKeyEvent* event) {
  QAbstractScrollArea::keyReleaseEvent(event);
  if (KeyMovesCaretLine(event->key())) emit caretMoved();
}

void PagedTextArea::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) MoveCaret(OffsetAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void PagedTextArea::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) MoveCaret(OffsetAt(event->position().toPoint()), true);
}

void PagedTextArea::mouseReleaseEvent(QMouseEvent* event) {
  QAbstractScrollArea::mouseReleaseEvent(event);
  emit caretMoved();
}

void PagedTextArea::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
  emit caretMoved();
}

}  // namespace vemo
