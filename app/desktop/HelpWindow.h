// The user guide inside the program: the Markdown chapters built into it as resources, shown
// in a browser with the table of contents beside it, back, forward and home. The same files
// are docs/guide in the repository, so what the program shows is what the repository shows.
#pragma once

#include <QMainWindow>
#include <QTextBrowser>
#include <QUrl>
#include <utility>
#include <vector>

class QListWidget;

namespace vemo {

// The browser of the guide: Markdown chapters by their suffix, pictures scaled down to a
// width that reads beside the contents (the screenshots are taken at full screen size).
class GuideBrowser final : public QTextBrowser {
  Q_OBJECT

 public:
  explicit GuideBrowser(QWidget* parent = nullptr);
  QVariant loadResource(int type, const QUrl& name) override;
};

class HelpWindow final : public QMainWindow {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // The guide's window of owner, made on first use, shown and raised.
  static HelpWindow* Show(QWidget* owner);
  // The index page of the guide, and a chapter by its file name ("workflow.md").
  static QUrl Home();
  static QUrl Chapter(const QString& file);
  // The chapters the index lists, in order: (title, file name).
  static std::vector<std::pair<QString, QString>> Chapters();

  GuideBrowser* Browser() const { return m_Browser; }
  QListWidget* Contents() const { return m_Contents; }

 private:
  void SelectCurrentChapter();

  GuideBrowser* m_Browser = nullptr;
  QListWidget* m_Contents = nullptr;
};

}  // namespace vemo
