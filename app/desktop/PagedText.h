// The text viewer's view of a long file (a report of a national network runs to hundreds of
// megabytes): the file stays on disk and only the start of each line is held, eight bytes a
// line; the lines on screen are read and decoded as they are drawn. The index is built in
// pieces, so that the first screen shows at once and the window answers while the rest of the
// file is read. The view is read-only; a position is a byte offset in the file, and a column
// is a byte of its line (a GBK character is two bytes and two columns wide).
#pragma once

#include <QAbstractScrollArea>
#include <QFile>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace vemo {

// The line index of a GBK file, which the views of one document share.
class PagedText final : public QObject {
  Q_OBJECT

 public:
  PagedText();
  // Opens the file (again) and indexes its first piece; false when it cannot be read (the
  // text is then as it was).
  bool Open(const QString& path);
  // Indexes further for about the given time; true while some of the file is left.
  bool IndexMore(int milliseconds);
  bool Indexed() const { return m_Indexed >= m_Size; }
  // Indexes the rest of the file in pieces between the window's events.
  void IndexInBackground();
  void IndexAll() {
    while (IndexMore(1000)) {
    }
  }

  qint64 Size() const { return m_Size; }
  // The lines indexed so far: the last one runs to the end of the file (an empty line after
  // a final line end, as an editor shows it).
  qint64 LineCount() const { return static_cast<qint64>(m_Starts.size()); }
  qint64 LineStart(qint64 line) const { return m_Starts[static_cast<size_t>(line)]; }
  // The line's bytes without its line end (and without the CR of a file whose every line ends
  // in CR LF).
  std::string LineBytes(qint64 line) const;
  // The line that holds the byte offset (of the lines indexed so far).
  qint64 LineOf(qint64 offset) const;
  // The longest line seen, in bytes.
  qint64 LongestLine() const { return m_Longest; }
  // Every line end seen so far is CR LF, as the editor's decoding sees it.
  bool Crlf() const { return m_LineEnds > 0 && m_LineEnds == m_CrlfEnds; }

  // The bytes [from, to) of the file.
  std::string Bytes(qint64 from, qint64 to) const;
  // The text [from, to), line ends as "\n".
  QString Text(qint64 from, qint64 to) const;

  // The next (or, backward, the last) match of the GBK pattern in the file that starts at a
  // character, from offset on (before offset); -1 when there is none. Case is folded for
  // ASCII letters unless matchCase; a whole word has no letter, digit, '_' or Chinese
  // character on either side. The file is searched in pieces; between them, between() is
  // called, and the search given up (-1) when it answers false.
  qint64 Find(const std::string& pattern, qint64 offset, bool backward, bool matchCase, bool wholeWord,
              const std::function<bool()>& between = {}) const;

  // Whether the file at path is still the one indexed, byte for byte.
  bool SameAsFile(const QString& path) const;

 signals:
  void grown();    // more lines are indexed, or the file was read again
  void indexed();  // the whole file is indexed

 private:
  bool ReadAt(qint64 offset, qint64 size, std::string& out) const;

  mutable QFile m_File;
  qint64 m_Size = 0, m_Indexed = 0, m_Longest = 0;
  qint64 m_LineEnds = 0, m_CrlfEnds = 0;
  char m_LastByte = 0;  // the byte before m_Indexed
  std::vector<qint64> m_Starts{0};
  QTimer m_Indexer;
};

// A read-only scroll area over a PagedText: the text in the viewer's face, Chinese characters
// two columns wide, a caret, a selection by mouse and keys.
class PagedTextArea final : public QAbstractScrollArea {
  Q_OBJECT

 public:
  PagedTextArea(std::shared_ptr<PagedText> text, QWidget* parent = nullptr);

  PagedText& Text() const { return *m_Text; }
  qint64 Caret() const { return m_Caret; }
  qint64 SelectionStart() const { return std::min(m_Anchor, m_Caret); }
  qint64 SelectionEnd() const { return std::max(m_Anchor, m_Caret); }
  bool HasSelection() const { return m_Anchor != m_Caret; }
  // Selects [from, to) with the caret at its end and scrolls it into view.
  void Select(qint64 from, qint64 to);
  void SelectAll() { Select(0, m_Text->Size()); }
  QString SelectedText() const { return m_Text->Text(SelectionStart(), SelectionEnd()); }
  void Copy() const;
  // The text's 1-based line of the caret.
  int CaretLine() const { return static_cast<int>(m_Text->LineOf(m_Caret)) + 1; }
  void SetCaretLine(qint64 line);

 signals:
  void caretMoved();  // by a key, a click or a search

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void UpdateScrollBars();
  void EnsureVisible(qint64 offset);
  void MoveCaret(qint64 offset, bool extend);
  qint64 OffsetAt(const QPoint& point) const;
  // Draws lines [first, first + count) at top, with the selection when selection is set.
  void DrawLines(QPainter& painter, qint64 first, int count, int top, int left, bool selection) const;

  std::shared_ptr<PagedText> m_Text;
  qint64 m_Caret = 0, m_Anchor = 0;
  double m_Column = 9;  // px of a Latin letter
  int m_LineHeight = 18;
};

}  // namespace vemo
