// The text viewer: a plain-text editor view of a GBK file (reports, data and result files).
// A file of kPagedFrom bytes or more (the report of a large network) is shown read-only
// through its line index (PagedText.h), without a document of its whole text. Lines are not
// wrapped; a fixed-pitch CJK face stands in for "宋体", so that a Chinese
// character takes two columns as it takes two bytes and report columns line up. Bytes that
// do not decode are kept (see GbkText.h): saving an unchanged file writes the same bytes.
#pragma once

#include <QPlainTextEdit>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class QPrinter;

namespace vemo {

class PagedText;
class PagedTextArea;

// Files of this size and more open read-only in pages: a document of their whole text would
// take seconds to build and about ten times the file's size in memory.
constexpr std::uintmax_t kPagedFrom = std::uintmax_t{2} << 20;

// What the views of one document share ("新建窗口(&N)" opens a second view of it).
struct TextDocumentState {
  QString path;          // empty for an untitled document
  QString untitledName;  // "Vemowi1", ...
  bool crlf = false;
  std::string loadedBytes;  // the file as read, written back while the text is unchanged
  QString loadedText;
  // The file's time and size when it was read or saved (or when its change was seen), to
  // notice cheaply that a command has written it since.
  std::filesystem::file_time_type fileTime{};
  std::uintmax_t fileSize = 0;
  int views = 0;
  std::shared_ptr<PagedText> pages;  // a long file's index, for read-only views
};

class TextView final : public QPlainTextEdit {
  Q_OBJECT

 public:
  // An untitled document, or one holding GBK text that is no file (a listing).
  TextView(const QString& untitledName, const std::string& textGbk, QWidget* parent = nullptr);
  // A second view of another view's document.
  explicit TextView(TextView& other, QWidget* parent = nullptr);
  ~TextView() override;

  // Reads a file (one of pagedFrom bytes or more into pages); nullptr when it cannot be read.
  static TextView* Load(const QString& path, QWidget* parent = nullptr, std::uintmax_t pagedFrom = kPagedFrom);

  const QString& Path() const { return m_State->path; }
  QString DisplayName() const;
  // The 1-based number of the line that holds the caret.
  int CaretLine() const;
  // The read-only view of a long file, or nullptr.
  PagedTextArea* Pages() const { return m_Pages; }

  bool Save();
  bool SaveAs();
  bool SaveTo(const QString& path);
  // Asks before a document with unsaved edits is closed; false: the person keeps it open.
  bool MaybeSave();
  bool IsLastView() const { return m_State->views <= 1; }

  // What became of the file since the view read it, saved it or was told of a change: written
  // with other bytes (a command ran again), or removed (a command failed and took its result
  // away). A document that is no file never changes.
  enum class FileChange { None, Rewritten, Removed };
  FileChange CheckFile();
  // Reads the file again into every view of the document: its text replaces the document's
  // (not undoable, the caret kept on its line where the file still has it). False when the
  // file cannot be read; the document stays as it was.
  bool Reload();
  // The change of the file is seen and the document's own text is kept: CheckFile answers
  // None until the file changes again.
  void KeepText();

  // The editing commands of the edit menu and the context menu.
  void Find();
  void FindNext();
  void Replace();
  void DeleteSelection() { textCursor().removeSelectedText(); }
  // The editor's copy and select all, which a long file's view does itself.
  void copy();
  void selectAll();
  // Prints the document's pages as a report (app/print/ReportPages.h), in the printer's
  // paper size; a message and false when the printer cannot be used.
  bool PrintTo(QPrinter* printer);

  // The searched text and the options of the last find, for "查找下一个(&I)".
  struct Search {
    QString text, replacement;
    bool matchCase = false, wholeWord = false, backward = false;
  };
  // Finds the next match from the caret; false (after a message) when there is none.
  bool FindText(const Search& search, bool quiet = false);
  // Replaces every match of the search in the document; returns the count.
  int ReplaceAll(const Search& search);

 signals:
  // The line pane of the status bar shows "当前行:%d".
  void caretLineReported(int line);
  void titleChanged();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetUp();
  // The view of a long file over the document's pages.
  void ShowPages();
  // The file's bytes become the document, unmodified.
  void Show(std::string bytes);
  std::shared_ptr<TextDocumentState> m_State;
  PagedTextArea* m_Pages = nullptr;
  bool m_Searching = false;
};

// Whether the line pane shows the caret's line after this key is released.
bool KeyMovesCaretLine(int key);

// The viewer's face: a fixed-pitch CJK font whose Chinese characters are two columns wide.
QFont TextViewFont();

// The last search, shared by every view.
TextView::Search& LastSearch();

}  // namespace vemo
