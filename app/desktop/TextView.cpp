#include "app/desktop/TextView.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextDocument>

#include "app/desktop/GbkText.h"
#include "app/desktop/PagedText.h"
#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "app/print/ReportPages.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {
namespace {

// The find and replace dialogs ("查找", "替换"): modal, ending in a search or a cancel.
class FindDialog final : public QDialog {
 public:
  FindDialog(QWidget* parent, bool replace) : QDialog(parent), m_Replace(replace) {
    setWindowTitle(replace ? Tr(u8"替换") : Tr(u8"查找"));
    auto* grid = new QGridLayout(this);
    const TextView::Search& last = LastSearch();
    grid->addWidget(new QLabel(Tr(u8"查找内容(&N):")), 0, 0);
    m_Text = new QLineEdit(last.text);
    grid->addWidget(m_Text, 0, 1);
    if (replace) {
      grid->addWidget(new QLabel(Tr(u8"替换为(&P):")), 1, 0);
      m_Replacement = new QLineEdit(last.replacement);
      grid->addWidget(m_Replacement, 1, 1);
    }
    m_WholeWord = new QCheckBox(Tr(u8"全字匹配(&W)"));
    m_WholeWord->setChecked(last.wholeWord);
    m_MatchCase = new QCheckBox(Tr(u8"区分大小写(&C)"));
    m_MatchCase->setChecked(last.matchCase);
    grid->addWidget(m_WholeWord, 2, 0, 1, 2);
    grid->addWidget(m_MatchCase, 3, 0, 1, 2);
    if (!replace) {
      m_Up = new QRadioButton(Tr(u8"向上(&U)"));
      auto* down = new QRadioButton(Tr(u8"向下(&D)"));
      (last.backward ? m_Up : down)->setChecked(true);
      grid->addWidget(m_Up, 4, 0);
      grid->addWidget(down, 4, 1);
    }
    auto* next = new QPushButton(Tr(u8"查找下一个(&F)"));
    next->setDefault(true);
    grid->addWidget(next, 0, 2);
    connect(next, &QPushButton::clicked, this, [this] { Finish(kFindNext); });
    if (replace) {
      auto* one = new QPushButton(Tr(u8"替换(&R)"));
      auto* all = new QPushButton(Tr(u8"全部替换(&A)"));
      grid->addWidget(one, 1, 2);
      grid->addWidget(all, 2, 2);
      connect(one, &QPushButton::clicked, this, [this] { Finish(kReplaceOne); });
      connect(all, &QPushButton::clicked, this, [this] { Finish(kReplaceAll); });
    }
    auto* cancel = new QPushButton(Tr(u8"取消"));
    grid->addWidget(cancel, replace ? 3 : 1, 2);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }
  enum Action { kFindNext = 1, kReplaceOne, kReplaceAll };

 private:
  void Finish(Action action) {
    TextView::Search& s = LastSearch();
    s.text = m_Text->text();
    if (m_Replacement) s.replacement = m_Replacement->text();
    s.wholeWord = m_WholeWord->isChecked();
    s.matchCase = m_MatchCase->isChecked();
    s.backward = m_Up && m_Up->isChecked();
    if (s.text.isEmpty()) return;
    done(action);
  }
  bool m_Replace;
  QLineEdit* m_Text = nullptr;
  QLineEdit* m_Replacement = nullptr;
  QCheckBox* m_WholeWord = nullptr;
  QCheckBox* m_MatchCase = nullptr;
  QRadioButton* m_Up = nullptr;
};

QTextDocument::FindFlags FlagsOf(const TextView::Search& s) {
  QTextDocument::FindFlags flags;
  if (s.matchCase) flags |= QTextDocument::FindCaseSensitively;
  if (s.wholeWord) flags |= QTextDocument::FindWholeWords;
  if (s.backward) flags |= QTextDocument::FindBackward;
  return flags;
}

int g_Untitled = 0;

// A Chinese character is two bytes in a GBK file and takes two columns in a report, while the
// fixed-pitch CJK face draws it 5/3 as wide as a Latin letter. This highlighter widens every
// character outside ASCII to exactly two Latin columns by letter spacing. Its formats belong
// to the layout only: the text, the undo history and the modified flag stay untouched.
class ColumnHighlighter final : public QSyntaxHighlighter {
 public:
  explicit ColumnHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    QFontMetricsF metrics(TextViewFont());
    m_Column = metrics.horizontalAdvance(QLatin1Char('0'));
    m_Metrics = std::make_unique<QFontMetricsF>(TextViewFont());
  }

 protected:
  void highlightBlock(const QString& text) override {
    int start = -1;
    double spacing = 0;
    auto flush = [&](int end) {
      if (start < 0) return;
      QTextCharFormat format;
      format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
      format.setFontLetterSpacing(spacing);
      setFormat(start, end - start, format);
      start = -1;
    };
    for (int i = 0; i < text.size(); ++i) {
      const char16_t c = text[i].unicode();
      // ASCII and the held raw bytes are one byte, one column.
      if (c < 0x80 || (c >= kRawByteBase && c <= kRawByteBase + 0xFF) || text[i].isSurrogate()) {
        flush(i);
        continue;
      }
      const double wanted = 2 * m_Column - m_Metrics->horizontalAdvance(text[i]);
      if (start >= 0 && wanted != spacing) flush(i);
      if (start < 0) {
        start = i;
        spacing = wanted;
      }
    }
    flush(static_cast<int>(text.size()));
  }

 private:
  double m_Column = 0;
  std::unique_ptr<QFontMetricsF> m_Metrics;
};

}  // namespace

TextView::Search& LastSearch() {
  static TextView::Search search;
  return search;
}

QFont TextViewFont() {
  QFont font(ReportFontFamily());
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  // At 15 pixels a Latin letter of this face is 9 pixels wide, a whole pixel, so that columns
  // do not drift along a line.
  font.setPixelSize(15);
  font.setBold(false);
  return font;
}

TextView::TextView(const QString& untitledName, const std::string& textGbk, QWidget* parent)
    : QPlainTextEdit(parent), m_State(std::make_shared<TextDocumentState>()) {
  m_State->untitledName = untitledName.isEmpty() ? QStringLiteral("Vemowi%1").arg(++g_Untitled) : untitledName;
  DecodedText decoded = DecodeGbkPreserving(textGbk);
  setPlainText(decoded.text);
  new ColumnHighlighter(document());
  SetUp();
  // Text that is no file (a listing) is nothing to save until the person edits it.
  document()->setModified(false);
}

TextView::TextView(TextView& other, QWidget* parent) : QPlainTextEdit(parent), m_State(other.m_State) {
  setDocument(other.document());
  SetUp();
  if (m_State->pages) ShowPages();
}

TextView::~TextView() { --m_State->views; }

void TextView::SetUp() {
  ++m_State->views;
  setAttribute(Qt::WA_DeleteOnClose);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(TextViewFont());
  setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')) * 8);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  connect(document(), &QTextDocument::modificationChanged, this, [this] { emit titleChanged(); });
}

namespace {

// A long file (a report of a few thousand points runs to megabytes) goes into the document in
// pieces of about this many characters, whole lines each, with the window's messages
// dispatched between them: the window repaints while the file opens. The text is the same as
// one setPlainText gives (which inserts it the same way), and nothing of it is undoable.
constexpr qsizetype kLoadPiece = qsizetype{1} << 18;

void FillDocument(QPlainTextEdit& view, const QString& text) {
  if (text.size() <= kLoadPiece) {
    view.setPlainText(text);
    return;
  }
  QTextDocument* document = view.document();
  document->setUndoRedoEnabled(false);
  view.setPlainText(QString());
  QTextCursor cursor(document);
  for (qsizetype start = 0; start < text.size();) {
    qsizetype end = start + kLoadPiece;
    if (end < text.size()) {
      const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), end);
      end = lineEnd < 0 ? text.size() : lineEnd + 1;
    } else {
      end = text.size();
    }
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text.mid(start, end - start));
    start = end;
    Platform().PumpMessage();
  }
  document->setUndoRedoEnabled(true);
  view.moveCursor(QTextCursor::Start);
}

// The time and size of a file; false when it does not exist (or cannot be looked at).
bool StampOf(const QString& path, std::filesystem::file_time_type& time, std::uintmax_t& size) {
  std::error_code ec;
  const std::filesystem::path file(ToPath(path));
  time = std::filesystem::last_write_time(file, ec);
  if (ec) return false;
  size = std::filesystem::file_size(file, ec);
  return !ec;
}

}  // namespace

TextView* TextView::Load(const QString& path, QWidget* parent, std::uintmax_t pagedFrom) {
  std::error_code ec;
  if (std::filesystem::file_size(ToPath(path), ec) >= pagedFrom && !ec) {
    auto pages = std::make_shared<PagedText>();
    if (!pages->Open(path)) return nullptr;
    auto* view = new TextView(QString(), std::string(), parent);
    --g_Untitled;
    view->m_State->path = path;
    view->m_State->pages = std::move(pages);
    StampOf(path, view->m_State->fileTime, view->m_State->fileSize);
    view->ShowPages();
    view->m_State->pages->IndexInBackground();
    return view;
  }
  auto bytes = ReadWholeFile(ToPath(path));
  if (!bytes) return nullptr;
  auto* view = new TextView(QString(), std::string(), parent);
  --g_Untitled;  // the name was not used
  view->m_State->path = path;
  view->Show(std::move(*bytes));
  return view;
}

void TextView::ShowPages() {
  setReadOnly(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_Pages = new PagedTextArea(m_State->pages, this);
  m_Pages->setGeometry(rect());
  m_Pages->show();
  setFocusProxy(m_Pages);
  connect(m_Pages, &PagedTextArea::caretMoved, this, [this] { emit caretLineReported(CaretLine()); });
}

void TextView::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  if (m_Pages) m_Pages->setGeometry(rect());
}

int TextView::CaretLine() const { return m_Pages ? m_Pages->CaretLine() : textCursor().blockNumber() + 1; }

void TextView::copy() {
  if (m_Pages) m_Pages->Copy();
  else QPlainTextEdit::copy();
}

void TextView::selectAll() {
  if (m_Pages) m_Pages->SelectAll();
  else QPlainTextEdit::selectAll();
}

void TextView::Show(std::string bytes) {
  TextDocumentState& state = *m_State;
  StampOf(state.path, state.fileTime, state.fileSize);
  DecodedText decoded = DecodeGbkPreserving(bytes);
  state.crlf = decoded.crlf;
  state.loadedBytes = std::move(bytes);
  state.loadedText = decoded.text;
  FillDocument(*this, decoded.text);
  document()->setModified(false);
}

TextView::FileChange TextView::CheckFile() {
  TextDocumentState& state = *m_State;
  if (state.path.isEmpty()) return FileChange::None;
  std::filesystem::file_time_type time;
  std::uintmax_t size = 0;
  if (!StampOf(state.path, time, size)) return FileChange::Removed;
  if (time == state.fileTime && size == state.fileSize) return FileChange::None;
  // Written again, perhaps with the same bytes (a run on the same data): only other bytes are
  // a change.
  if (state.pages) {
    if (!state.pages->SameAsFile(state.path)) return FileChange::Rewritten;
    state.fileTime = time, state.fileSize = size;
    return FileChange::None;
  }
  auto bytes = ReadWholeFile(ToPath(state.path));
  if (!bytes) return FileChange::Removed;
  if (*bytes != state.loadedBytes) return FileChange::Rewritten;
  state.fileTime = time, state.fileSize = size;
  return FileChange::None;
}

bool TextView::Reload() {
  if (m_State->pages) {
    const int line = CaretLine();
    if (!m_State->pages->Open(m_State->path)) return false;
    StampOf(m_State->path, m_State->fileTime, m_State->fileSize);
    m_State->pages->IndexInBackground();
    m_Pages->SetCaretLine(line - 1);
    emit titleChanged();
    return true;
  }
  auto bytes = ReadWholeFile(ToPath(m_State->path));
  if (!bytes) return false;
  const int line = CaretLine();
  Show(std::move(*bytes));
  const QTextBlock block = document()->findBlockByNumber(std::min(line, document()->blockCount()) - 1);
  setTextCursor(QTextCursor(block));
  emit titleChanged();
  return true;
}

void TextView::KeepText() { StampOf(m_State->path, m_State->fileTime, m_State->fileSize); }

QString TextView::DisplayName() const {
  QString name = m_State->path.isEmpty() ? m_State->untitledName : QFileInfo(m_State->path).fileName();
  return name + QStringLiteral("[*]");
}

bool TextView::SaveTo(const QString& path) {
  PagedText* pages = m_State->pages.get();
  const QString text = pages ? QString() : toPlainText();
  // An unchanged document writes the bytes it was read from; a long file's view (never
  // edited) writes a copy of its file, or nothing to the file itself.
  std::string bytes;
  if (pages) bytes = path != m_State->path ? pages->Bytes(0, pages->Size()) : std::string();
  else if (!m_State->path.isEmpty() && text == m_State->loadedText) bytes = m_State->loadedBytes;
  else bytes = EncodeGbkPreserving(text, m_State->crlf);
  std::string error;
  if ((!pages || path != m_State->path) && !WriteFileAtomically(ToPath(path), bytes, &error)) {
    ShowMessage(Format(UiText(u8"写文件'%s'出错!"), PathToGbk(ToPath(path)).c_str()) + (error.empty() ? "" : "\n" + error),
                AppTitle(), MessageIcon::Warning);
    return false;
  }
  m_State->path = path;
  if (!pages) {
    m_State->loadedBytes = std::move(bytes);
    m_State->loadedText = text;
  }
  StampOf(path, m_State->fileTime, m_State->fileSize);
  document()->setModified(false);
  emit titleChanged();
  return true;
}

bool TextView::Save() { return m_State->path.isEmpty() ? SaveAs() : SaveTo(m_State->path); }

bool TextView::SaveAs() {
  QString start = m_State->path.isEmpty() ? FromPath(Project().projectDir) + QLatin1Char('/') + m_State->untitledName
                                          : m_State->path;
  QString path = QFileDialog::getSaveFileName(this, Tr(u8"另存为"), start, Tr(u8"所有文件(*.*) (*)"),
                                              nullptr, QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return false;
  return SaveTo(path);
}

bool TextView::MaybeSave() {
  if (!document()->isModified() || !IsLastView()) return true;
  QString name = m_State->path.isEmpty() ? m_State->untitledName : QFileInfo(m_State->path).fileName();
  MessageAnswer answer = Platform().ShowMessage({Format(UiText(u8"是否保存对 %s 的修改?"), ToGbk(name).c_str()), AppTitle(),
                                                 MessageIcon::Question, MessageButtons::YesNoCancel, 0,
                                                 MessageAnswer::Cancel});
  if (answer == MessageAnswer::Yes) return Save();
  return answer == MessageAnswer::No;
}

void TextView::closeEvent(QCloseEvent* event) {
  if (MaybeSave()) event->accept();
  else event->ignore();
}

bool TextView::FindText(const Search& search, bool quiet) {
  if (search.text.isEmpty()) return false;
  if (m_Pages) {
    // A search through hundreds of megabytes lets the window's events through between its
    // pieces; it ends with the view when the view is closed meanwhile, and a second search
    // asked for meanwhile is not started.
    if (m_Searching) return false;
    const QPointer<TextView> self(this);
    const std::shared_ptr<PagedText> text = m_State->pages;
    auto between = [&self] {
      Platform().PumpMessage();
      return !self.isNull();
    };
    m_Searching = true;
    while (text->IndexMore(30))
      if (!between()) return false;
    const std::string pattern = EncodeGbkPreserving(search.text, false);
    const qint64 at = text->Find(pattern, search.backward ? m_Pages->SelectionStart() : m_Pages->SelectionEnd(),
                                 search.backward, search.matchCase, search.wholeWord, between);
    if (self.isNull()) return false;
    m_Searching = false;
    if (at >= 0) {
      m_Pages->Select(at, at + static_cast<qint64>(pattern.size()));
      return true;
    }
  } else if (find(search.text, FlagsOf(search))) {
    return true;
  }
  if (!quiet)
    ShowMessage(Format(UiText(u8"找不到\"%s\""), ToGbk(search.text).c_str()), AppTitle(), MessageIcon::Information);
  return false;
}

int TextView::ReplaceAll(const Search& search) {
  if (m_Pages) return 0;  // read-only
  Search forward = search;
  forward.backward = false;
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  int count = 0;
  QTextCursor found = document()->find(search.text, 0, FlagsOf(forward));
  while (!found.isNull()) {
    found.insertText(search.replacement);
    ++count;
    found = document()->find(search.text, found.position(), FlagsOf(forward));
  }
  cursor.endEditBlock();
  return count;
}

void TextView::Find() {
  FindDialog dialog(this, false);
  if (dialog.exec() == FindDialog::kFindNext) FindText(LastSearch());
}

void TextView::FindNext() {
  if (LastSearch().text.isEmpty()) Find();
  else FindText(LastSearch());
}

void TextView::Replace() {
  if (m_Pages) {
    ShowMessage(Format(UiText(u8"文件%s较大,只能查看,不能替换!"), ToGbk(DisplayName().chopped(3)).c_str()), AppTitle(),
                MessageIcon::Information);
    return;
  }
  FindDialog dialog(this, true);
  const int action = dialog.exec();
  const Search& s = LastSearch();
  if (action == FindDialog::kFindNext) {
    FindText(s);
  } else if (action == FindDialog::kReplaceOne) {
    // The selection that matches is replaced, then the next match is selected.
    QTextCursor cursor = textCursor();
    const Qt::CaseSensitivity cs = s.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (cursor.hasSelection() && cursor.selectedText().compare(s.text, cs) == 0) cursor.insertText(s.replacement);
    FindText(s);
  } else if (action == FindDialog::kReplaceAll) {
    ReplaceAll(s);
  }
}

bool TextView::PrintTo(QPrinter* printer) {
  // The document as it stands (edits included), in the file's bytes.
  std::string bytes;
  if (m_State->pages) {
    m_State->pages->IndexAll();
    bytes = m_State->pages->Bytes(0, m_State->pages->Size());
  } else {
    bytes = EncodeGbkPreserving(toPlainText(), false);
  }
  ReportHeading heading = HeadingOfFile(ToPath(m_State->path));
  if (m_State->path.isEmpty()) heading.file = m_State->untitledName;
  ReportPaper paper;
  paper.size = printer->pageLayout().pageSize();
  if (ReportPages(bytes, std::move(heading), paper).Print(*printer)) return true;
  ShowMessage(Format(UiText(u8"打印机不可用，%s未能打印!"), ToGbk(DisplayName().chopped(3)).c_str()), AppTitle(),
              MessageIcon::Warning);
  return false;
}

void TextView::focusInEvent(QFocusEvent* event) {
  QPlainTextEdit::focusInEvent(event);
  emit caretLineReported(CaretLine());
}

void TextView::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  emit caretLineReported(CaretLine());
}

bool KeyMovesCaretLine(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down: return true;
    default: return false;
  }
}

void TextView::keyReleaseEvent(QKeyEvent* event) {
  QPlainTextEdit::keyReleaseEvent(event);
  if (KeyMovesCaretLine(event->key())) emit caretLineReported(CaretLine());
}

void TextView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  const bool selection = m_Pages ? m_Pages->HasSelection() : textCursor().hasSelection();
  menu.addAction(Tr(u8"撤消(&U)"), this, &QPlainTextEdit::undo)->setEnabled(document()->isUndoAvailable());
  menu.addSeparator();
  menu.addAction(Tr(u8"剪切(&T)"), this, &QPlainTextEdit::cut)->setEnabled(selection && !isReadOnly());
  menu.addAction(Tr(u8"复制(&C)"), this, &TextView::copy)->setEnabled(selection);
  menu.addAction(Tr(u8"粘贴(&P)"), this, &QPlainTextEdit::paste)->setEnabled(canPaste());
  menu.addAction(Tr(u8"删除(&D)"), this, &TextView::DeleteSelection)->setEnabled(selection && !isReadOnly());
  menu.addSeparator();
  menu.addAction(Tr(u8"选择全部(&S)"), this, &TextView::selectAll);
  menu.addSeparator();
  menu.addAction(Tr(u8"查找(&F)..."), this, &TextView::Find);
  menu.addAction(Tr(u8"查找下一个(&I)"), this, &TextView::FindNext);
  menu.addAction(Tr(u8"替换(&E)"), this, &TextView::Replace)->setEnabled(!isReadOnly());
  menu.exec(event->globalPos());
}

}  // namespace vemo
