// The main window of the desktop: an MDI frame whose menus and toolbar are built from the one
// command table, enabled by its rule, with the status bar's prompt and line panes, the recent
// files, the text viewer and the network map as document windows. A menu command runs on the
// user-interface thread from start to end (DesktopCommands); while it runs every command is
// disabled and the progress window keeps the frame painted.
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "app/commands/CommandTable.h"
#include "app/desktop/TextView.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolBar;

namespace vemo {

class DesktopHost;
class MapView;
class ProjectExplorer;
class WindowMenu;

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(DesktopHost& host);
  ~MainWindow() override;

  // The action of a menu command, or nullptr.
  QAction* CommandAction(CommandId id) const;
  // The menu that holds a command's item (the view menu of ViewStatusBar), or nullptr.
  QMenu* MenuOf(CommandId id) const;
  // Runs a menu command as its menu item does.
  void RunMenuCommand(CommandId id);
  bool IsRunning() const { return m_Running; }
  // The exit status of the last command the desktop ran (0 done, 1 failed, 2 refused).
  int LastStatus() const { return m_LastStatus; }

  // Opens a file in the text viewer; an open document of the same file is activated instead.
  // Returns the view, or nullptr when the file cannot be read (after the message).
  TextView* OpenTextDocument(const QString& path);
  MapView* OpenNetworkMap(const QString& path);
  // An untitled text document holding a text that is no file.
  TextView* ShowText(const QString& title, const std::string& textGbk);

  TextView* ActiveTextView() const;
  MapView* ActiveMapView() const;
  QMdiArea* Mdi() const { return m_Mdi; }
  QLabel* LinePane() const { return m_LinePane; }
  QToolBar* ToolBar() const { return m_ToolBar; }
  ProjectExplorer* Explorer() const { return m_Explorer; }
  WindowMenu* Windows() const { return m_Windows; }

  // Start-up: the last project of the settings reopened (its commands enabled, its name in
  // the title) when its file can be read; then the project named on the command line, if any.
  void ReopenLastProject(const std::string& named = {});
  QMenu* RecentProjectMenu() const { return m_RecentProjectMenu; }

  // Enables the commands by the rule (and the edit and map menus by the active window).
  void UpdateMenus();
  // Brings every open text document up to its file after a command (or another program) has
  // written or removed it: an unedited document is read again, or closed when its file is
  // gone; one with unsaved edits asks before it is read again, and keeps them when its file is
  // gone. Runs after each menu command and when the program becomes active again.
  void RefreshTextDocuments();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  QAction* CreateCommandAction(const CommandSpec& command);
  QMenu* CreateEditMenu();
  QMenu* CreateMapMenu();
  // "界面语言" in the view menu: the language the next start speaks.
  void CreateLanguageMenu();
  bool IsShellCommand(CommandId id) const;
  void RunShellCommand(CommandId id);
  void UpdateTitle();
  void UpdateRecentFiles();
  void UpdateRecentProjects();
  // The open project goes to the top of the recent projects.
  void RememberProject();
  void ShowLine(int line);
  QMdiSubWindow* FindDocumentWindow(const QString& path) const;
  QMdiSubWindow* AddDocumentWindow(QWidget* view, const QString& title);
  void RefreshTextDocument(TextView* view, TextView::FileChange change);
  void AddMapWindow(MapView* view, const QString& title);

  // The file menu's own commands.
  void OpenProjectFile();
  void OpenAnyFileCommand();
  void NewWindow();
  void Print();
  void PrintPreview();
  void PageSetup();
  void ArrangeIcons();
  void About();
  QPrinter& Printer();

  DesktopHost& m_Host;
  QMdiArea* m_Mdi = nullptr;
  QToolBar* m_ToolBar = nullptr;
  QToolBar* m_MapToolBar = nullptr;
  QLabel* m_LinePane = nullptr;
  QMenu* m_EditMenu = nullptr;
  QMenu* m_MapMenu = nullptr;
  QMenu* m_FileMenu = nullptr;
  WindowMenu* m_Windows = nullptr;
  std::map<CommandId, QAction*> m_Actions;
  std::map<QString, QAction*> m_MapActions;
  QList<QAction*> m_EditActions;
  QList<QAction*> m_RecentActions;
  QAction* m_RecentSeparator = nullptr;
  QMenu* m_RecentProjectMenu = nullptr;
  ProjectExplorer* m_Explorer = nullptr;
  // The folder "打开(&O)..." last opened a file from: its dialog starts there, while the
  // project keeps its own folder.
  QString m_OpenDir;
  std::unique_ptr<QPrinter> m_Printer;
  bool m_Running = false;
  bool m_Loading = false;  // a text file is going into its view
  bool m_Refreshing = false;  // the open documents are compared with their files
  bool m_QuitAfterCommand = false;
  int m_LastStatus = 0;
};

}  // namespace vemo
