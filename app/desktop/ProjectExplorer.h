// The project explorer: a dock beside the documents listing the open project's files by kind
// (the inputs a surveyor enters or imports, the results each computation writes), which of
// them exist, and which results are older than an input they were computed from (stale: the
// input changed after the run, so the result is not the result of the data as they are). It
// follows the files: after every command and whenever a file of the project folder changes.
// A double click opens a file in the text viewer as "打开(&O)..." does; the results that read
// as rows (coordinates, loops, repeated baselines) also open as tables.
#pragma once

#include <QDockWidget>
#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>
#include <optional>
#include <vector>

#include "app/desktop/ResultTables.h"
#include "geodesy/ProjectFiles.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace vemo {

class MainWindow;
class ResultTableView;

// The explorer's groups: a title and the kinds of the catalogue it lists, each with what it
// holds. Every kind of the catalogue is in exactly one group.
struct ExplorerEntry {
  ProjectFile kind;
  const char* description;  // UTF-8
};
struct ExplorerGroup {
  const char* title;  // UTF-8
  std::vector<ExplorerEntry> entries;
};
const std::vector<ExplorerGroup>& ExplorerGroups();

class ProjectExplorer final : public QDockWidget {
  Q_OBJECT

 public:
  enum class FileState { Present, Missing, Stale };

  explicit ProjectExplorer(MainWindow& window);

  // Reads the project state and the files again; shows the dock when a project was opened
  // since the last look.
  void Refresh();

  QTreeWidget* Tree() const { return m_Tree; }
  // The item of a catalogue kind (in the one-point-one-direction network's variant 1, listed
  // only while such a file exists), or nullptr.
  QTreeWidgetItem* ItemOf(ProjectFile kind, int variant = 0) const;
  static FileState StateOf(const QTreeWidgetItem* item);
  static QString PathOf(const QTreeWidgetItem* item);

  // Opens an item's file as "打开(&O)..." does (the project file opens its settings).
  void OpenItem(QTreeWidgetItem* item);
  // Opens a result as a table in a document window (an open table of the same file is
  // replaced); nullptr after the message when the file cannot be read.
  ResultTableView* OpenTable(ResultTableKind kind);

 private:
  void Rebuild();
  void UpdateItem(QTreeWidgetItem* item);
  void UpdateSessionFiles();
  void Watch();
  void ShowContextMenu(const QPoint& position);

  MainWindow& m_Window;
  QTreeWidget* m_Tree;
  QTreeWidgetItem* m_Sessions = nullptr;  // the synchronous baseline files of the folder
  QTreeWidgetItem* m_OneFix = nullptr;    // the one-point-one-direction network's own files
  QFileSystemWatcher m_Watcher;
  QTimer m_Settle;  // a command writes many files: one refresh after they settle
  QString m_Project;  // the project file the tree shows
};

// Creates the explorer docked at the left of the main window, its switch in the 查看 menu
// beside the toolbar's and the status bar's, and the 结果表格 commands.
ProjectExplorer* InstallProjectExplorer(MainWindow& window);

}  // namespace vemo
