#include "app/desktop/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <utility>

#include "app/commands/CommandFlow.h"
#include "app/commands/CommandTable.h"
#include "app/desktop/Accelerators.h"
#include "app/desktop/DesktopCommands.h"
#include "app/desktop/DesktopHost.h"
#include "app/desktop/Icons.h"
#include "app/desktop/HelpWindow.h"
#include "app/desktop/MapView.h"
#include "app/desktop/ProjectExplorer.h"
#include "app/desktop/QtText.h"
#include "app/desktop/TestVerdictMenu.h"
#include "app/desktop/TextView.h"
#include "app/desktop/Translations.h"
#include "app/desktop/WindowMenu.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/Settings.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"

namespace vemo {
namespace {

// The commands the main window runs itself (document, window and view commands of the
// framework, and opening a project file).
constexpr CommandId kShellCommands[] = {
    CommandId::OpenProject,    CommandId::FileNew,       CommandId::FileOpen,         CommandId::FileClose,
    CommandId::FileSave,       CommandId::FileSaveAs,    CommandId::FilePrint,        CommandId::FilePrintPreview,
    CommandId::FilePrintSetup, CommandId::RecentFiles,   CommandId::AppExit,          CommandId::ViewToolBar,
    CommandId::ViewStatusBar,  CommandId::WindowNew,     CommandId::WindowCascade,    CommandId::WindowTile,
    CommandId::WindowArrange,  CommandId::About};
// Commands that act on the active document window.
constexpr CommandId kDocumentCommands[] = {CommandId::FileClose,     CommandId::FileSave,         CommandId::FileSaveAs,
                                           CommandId::FilePrint,     CommandId::FilePrintPreview, CommandId::WindowNew,
                                           CommandId::WindowCascade, CommandId::WindowTile,       CommandId::WindowArrange};

// The filters of "打开(&O)...".
const std::pair<const char*, const char*> kOpenFilters[] = {
    {TrNoop(u8"GPS数据文件(*.GPS*)"), "*.GPS*"},
    {TrNoop(u8"三维基线向量文件(*.GPS3dVector)"), "*.GPS3dVector"},
    {TrNoop(u8"二维基线向量文件(*.GPS2dVector)"), "*.GPS2dVector"},
    {TrNoop(u8"三维平差坐标文件(*.GPS3dXYHEFT)"), "*.GPS3dXYHEFT"},
    {TrNoop(u8"三维平差结果文件(*.GPS3dResult)"), "*.GPS3dResult"},
    {TrNoop(u8"二维平差坐标文件(*.GPS2dXYEFT)"), "*.GPS2dXYEFT"},
    {TrNoop(u8"二维平差结果文件(*.GPS2dResult)"), "*.GPS2dResult"},
    {TrNoop(u8"三维已知坐标文件(*.GPS3dKnownXYZ)"), "*.GPS3dKnownXYZ"},
    {TrNoop(u8"二维已知坐标文件(*.GPS2dKnownXY)"), "*.GPS2dKnownXY"},
    {TrNoop(u8"一维已知高程文件(*.GPS1dKnownH)"), "*.GPS1dKnownH"},
    {TrNoop(u8"一维拟合结果文件(*.GPS1dResult)"), "*.GPS1dResult"},
    {TrNoop(u8"地面边长文件(*.GPS2dDistance)"), "*.GPS2dDistance"},
    {TrNoop(u8"地面方位角文件(*.GPS2dAzimuth)"), "*.GPS2dAzimuth"},
    {TrNoop(u8"所有文件(*.*)"), "*.*"},
};

// The commands on the toolbar (None: a separator); their pictures come from Icons.cpp.
constexpr CommandId kToolButtons[] = {
    CommandId::FileNew,   CommandId::FileOpen,    CommandId::FileSave,   CommandId::None,
    CommandId::NewProject, CommandId::OpenProject, CommandId::Settings,  CommandId::None,
    CommandId::Adjust3d,  CommandId::Adjust2d,    CommandId::FitHeights, CommandId::None,
    CommandId::SyncLoops, CommandId::AsyncLoops,  CommandId::None,
    CommandId::MapWgs84,  CommandId::MapLocal,    CommandId::None,
    CommandId::FilePrint, CommandId::About,
};

// The status-bar prompt and the tooltip of a command: its string table entry split at "\n";
// a command without an entry prompts with its menu text.
std::pair<QString, QString> PromptOf(const CommandSpec& command) {
  QString plain = Tr(command.menuText);
  plain.remove(QLatin1Char('&'));
  if (plain.endsWith(QStringLiteral("..."))) plain.chop(3);
  const int paren = plain.indexOf(QLatin1Char('('));
  if (paren > 0 && plain.endsWith(QLatin1Char(')')) && plain.size() - paren <= 3) plain.truncate(paren);
  if (!command.prompt) return {plain, plain};
  const QString entry = Tr(command.prompt);
  const int newline = entry.indexOf(QLatin1Char('\n'));
  if (newline < 0) return {entry, plain};
  return {entry.left(newline), entry.mid(newline + 1)};
}

QString CanonicalPath(const QString& path) {
  QFileInfo info(path);
  QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

MainWindow::MainWindow(DesktopHost& host) : m_Host(host) {
  m_Mdi = new QMdiArea(this);
  m_Mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_Mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(m_Mdi);
  connect(m_Mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
    if (auto* text = window ? qobject_cast<TextView*>(window->widget()) : nullptr) ShowLine(text->CaretLine());
    else if (window) m_LinePane->clear();  // a map has no lines
    UpdateMenus();
  });
  // Another program (the command line in a terminal) may have rewritten an open result.
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) RefreshTextDocuments();
  });
  CreateMenus();
  AddTestVerdictMenu(*this);
  CreateToolBar();
  CreateStatusBar();
  m_Explorer = InstallProjectExplorer(*this);
  CreateLanguageMenu();
  UpdateTitle();
  UpdateMenus();
  resize(1024, 720);
}

MainWindow::~MainWindow() {
  // The document windows close with the frame; the frame's menus are no longer there to update.
  delete m_Windows;
  disconnect(m_Mdi, nullptr, this, nullptr);
  for (QMdiSubWindow* window : m_Mdi->subWindowList()) disconnect(window, nullptr, this, nullptr);
}

QAction* MainWindow::CommandAction(CommandId id) const {
  auto it = m_Actions.find(id);
  return it == m_Actions.end() ? nullptr : it->second;
}

bool MainWindow::IsShellCommand(CommandId id) const {
  for (CommandId c : kShellCommands)
    if (c == id) return true;
  return false;
}

QAction* MainWindow::CreateCommandAction(const CommandSpec& command) {
  auto* action = new QAction(Tr(command.menuText), this);
  auto [prompt, tip] = PromptOf(command);
  action->setStatusTip(prompt);
  action->setToolTip(tip);
  action->setData(static_cast<int>(command.id));  // the menu identifier of the design
  action->setIcon(CommandIcon(command.id));
  const CommandId id = command.id;
  connect(action, &QAction::triggered, this, [this, id] { RunMenuCommand(id); });
  m_Actions[id] = action;
  return action;
}

void MainWindow::CreateMenus() {
  const auto& commands = MenuCommands();
  const auto& menus = Menus();
  QMenu* current = nullptr;
  size_t nextMenu = 0;
  for (const CommandSpec& command : commands) {
    if (nextMenu < menus.size() && command.id == menus[nextMenu].firstCommand) {
      current = menuBar()->addMenu(Tr(menus[nextMenu].title));
      if (nextMenu == 0) {
        m_FileMenu = current;
        m_EditMenu = CreateEditMenu();
        m_MapMenu = CreateMapMenu();
      }
      ++nextMenu;
    }
    if (!current || command.id == CommandId::None) continue;
    QAction* action = CreateCommandAction(command);
    if (command.id == CommandId::RecentFiles) {
      // The recently used files take the place of their entry; the entry shows while there
      // are none.
      m_RecentSeparator = current->addSeparator();
      for (int i = 0; i < CSettingsStore::kRecentFileCount; ++i) {
        auto* recent = new QAction(this);
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, recent] { OpenTextDocument(recent->data().toString()); });
        m_RecentActions << recent;
        current->addAction(recent);
      }
      current->addAction(action);
      current->addSeparator();
      continue;
    }
    if (command.id == CommandId::ViewToolBar || command.id == CommandId::ViewStatusBar) action->setCheckable(true);
    current->addAction(action);
    if (command.id == CommandId::WindowArrange) m_Windows = new WindowMenu(m_Mdi, current, this);
    if (command.id == CommandId::OpenProject) {
      // The projects apart from the recent files: choosing one opens it as "打开工程" does.
      m_RecentProjectMenu = current->addMenu(Tr(u8"最近工程(&J)"));
      m_RecentProjectMenu->setObjectName(QStringLiteral("recentProjects"));
    }
    // Separators between the groups of the file menu, as the framework's menu has them.
    if (command.id == CommandId::OpenProject || command.id == CommandId::FileSaveAs ||
        command.id == CommandId::FilePrintSetup)
      current->addSeparator();
  }
  if (auto* a = CommandAction(CommandId::FileNew)) a->setShortcut(QKeySequence::New);
  if (auto* a = CommandAction(CommandId::FileOpen)) a->setShortcut(QKeySequence::Open);
  if (auto* a = CommandAction(CommandId::FileSave)) a->setShortcut(QKeySequence::Save);
  if (auto* a = CommandAction(CommandId::FilePrint)) a->setShortcut(QKeySequence::Print);
  AssignAccelerators([this](CommandId id) { return CommandAction(id); });
  UpdateRecentFiles();
  UpdateRecentProjects();
}

QMenu* MainWindow::CreateEditMenu() {
  auto* menu = menuBar()->addMenu(Tr(u8"编辑(&E)"));
  struct Item {
    const char* text;
    QKeySequence key;
    void (TextView::*run)();
  };
  const Item items[] = {
      {TrNoop(u8"撤消(&U)"), QKeySequence::Undo, &TextView::undo},
      {nullptr, {}, nullptr},
      {TrNoop(u8"剪切(&T)"), QKeySequence::Cut, &TextView::cut},
      {TrNoop(u8"复制(&C)"), QKeySequence::Copy, &TextView::copy},
      {TrNoop(u8"粘贴(&P)"), QKeySequence::Paste, &TextView::paste},
      {nullptr, {}, nullptr},
      {TrNoop(u8"查找(&F)..."), QKeySequence::Find, &TextView::Find},
      {TrNoop(u8"查找下一个(&I)"), QKeySequence::FindNext, &TextView::FindNext},
      {TrNoop(u8"替换(&E)"), QKeySequence(Qt::CTRL | Qt::Key_H), &TextView::Replace},
  };

  for (const Item& item : items) {
    if (!item.text) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(Tr(item.text));
    action->setShortcut(item.key);
    action->setShortcutContext(Qt::WindowShortcut);
    auto run = item.run;
    connect(action, &QAction::triggered, this, [this, run] {
      if (TextView* view = ActiveTextView()) (view->*run)();
    });
    m_EditActions << action;
  }
  return menu;
}

QMenu* MainWindow::CreateMapMenu() {
  // The map view's own commands and switches, acting on the active map view.
  auto* menu = menuBar()->addMenu(Tr(u8"网图(&M)"));
  m_MapToolBar = new QToolBar(Tr(u8"网图"), this);
  m_MapToolBar->setObjectName(QStringLiteral("mapToolbar"));
  for (const MapView::Command& item : MapView::Commands()) {
    QAction* action = menu->addAction(Tr(item.text));
    auto run = item.run;
    connect(action, &QAction::triggered, this, [this, run] {
      if (MapView* view = ActiveMapView()) (view->*run)();
    });
    m_MapActions[FromUtf8(item.text)] = action;
    m_MapToolBar->addAction(action);
  }
  menu->addSeparator();
  m_MapToolBar->addSeparator();
  for (const MapView::Switch& item : MapView::Switches()) {
    QAction* action = menu->addAction(Tr(item.text));
    action->setCheckable(true);
    auto set = item.set;
    connect(action, &QAction::triggered, this, [this, set](bool on) {
      if (MapView* view = ActiveMapView()) (view->*set)(on);
    });
    m_MapActions[FromUtf8(item.text)] = action;
    m_MapToolBar->addAction(action);
  }
  return menu;
}

QMenu* MainWindow::MenuOf(CommandId id) const {
  QAction* action = CommandAction(id);
  for (QObject* object : action ? action->associatedObjects() : QList<QObject*>())
    if (auto* menu = qobject_cast<QMenu*>(object)) return menu;
  return nullptr;
}

void MainWindow::CreateLanguageMenu() {
  QMenu* view = MenuOf(CommandId::ViewStatusBar);
  if (!view) return;
  view->addSeparator();
  QMenu* menu = view->addMenu(Tr(u8"界面语言(&L)"));
  menu->setObjectName(QStringLiteral("interfaceLanguage"));
  struct Choice {
    const char* text;
    const char* setting;
  };
  static constexpr Choice kChoices[] = {
      {TrNoop(u8"跟随系统(&S)"), "system"}, {TrNoop(u8"中文(&C)"), "zh_CN"}, {TrNoop(u8"English(&E)"), "en"}};
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);
  const QString current = InterfaceLanguageSetting().trimmed();
  bool known = false;
  for (const Choice& choice : kChoices) {
    QAction* action = menu->addAction(Tr(choice.text));
    const QString setting = QString::fromLatin1(choice.setting);
    action->setData(setting);
    action->setCheckable(true);
    group->addAction(action);
    // The setting is read as the start-up reads it: "zh", "en_GB" name the same languages.
    const bool chosen = setting != QLatin1String("system") && current.startsWith(setting.left(2), Qt::CaseInsensitive);
    action->setChecked(chosen);
    known = known || chosen;
  }
  if (!known) menu->actions().front()->setChecked(true);  // empty, "system" or unknown: the locale decides
  connect(group, &QActionGroup::triggered, this, [](QAction* action) {
    if (!SetInterfaceLanguage(action->data().toString())) {
      ShowMessage(UiText(u8"无法写入设置文件，界面语言未能保存。"), AppTitle(), MessageIcon::Warning);
      return;
    }
    ShowMessage(UiText(u8"界面语言将在下次启动程序时更改。"), AppTitle(), MessageIcon::Information);
  });
}

void MainWindow::CreateToolBar() {
  m_ToolBar = addToolBar(Tr(u8"工具栏"));
  m_ToolBar->setObjectName(QStringLiteral("toolbar"));
  m_ToolBar->setMovable(true);
  m_ToolBar->setFloatable(true);
  m_ToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  m_ToolBar->setIconSize(QSize(24, 24));
  for (CommandId id : kToolButtons) {
    if (id == CommandId::None) {
      m_ToolBar->addSeparator();
      continue;
    }
    if (QAction* action = CommandAction(id)) m_ToolBar->addAction(action);
  }
  addToolBar(m_MapToolBar);
  m_MapToolBar->setVisible(false);
}

void MainWindow::CreateStatusBar() {
  // The message pane, a wide pane, the line pane, and the caps, num and scroll indicators.
  QStatusBar* bar = statusBar();
  bar->showMessage(Tr(u8"就绪"));
  auto* wide = new QLabel(this);
  wide->setObjectName(QStringLiteral("positionPane"));  // the map's position under the mouse
  wide->setMinimumWidth(120);
  bar->addPermanentWidget(wide);
  m_LinePane = new QLabel(this);
  m_LinePane->setObjectName(QStringLiteral("linePane"));
  m_LinePane->setMinimumWidth(60);
  bar->addPermanentWidget(m_LinePane);
  for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
    auto* label = new QLabel(QString::fromLatin1(indicator), this);
    label->setEnabled(false);
    bar->addPermanentWidget(label);
  }
}

void MainWindow::ShowLine(int line) {
  m_LinePane->setText(FromGbk(Format(UiText(u8"当前行:%d"), line)));
  m_LinePane->setMinimumWidth(m_LinePane->sizeHint().width());  // the pane widens to fit
}

void MainWindow::UpdateTitle() {
  // The program's title in the interface language, the project's name as it is.
  const QString title = ApplicationTitle();
  setWindowTitle(Project().projectOpen ? Tr(u8"%1—[%2]").arg(title, FromGbk(Project().projectName)) : title);
}

void MainWindow::UpdateMenus() {
  UpdateTitle();
  // Every command and every change of project ends here: the explorer looks at the files again.
  if (m_Explorer && !m_Running) m_Explorer->Refresh();
  const bool document = m_Mdi->activeSubWindow() != nullptr;
  for (auto& [id, action] : m_Actions) {
    const CommandSpec* command = FindMenuCommand(id);
    if (!command) continue;
    const bool shell = IsShellCommand(id);
    bool enabled = !m_Running && IsCommandEnabled(*command) && (shell || command->run);
    for (CommandId d : kDocumentCommands)
      if (d == id) enabled = enabled && document;
    if (id == CommandId::RecentFiles) enabled = false;  // a placeholder while the list is empty
    action->setEnabled(enabled);
    if (!shell && !command->run) {
      action->setToolTip(PromptOf(*command).second + Tr(u8"(此功能的计算程序尚未提供)"));
      action->setStatusTip(Tr(u8"此功能的计算程序尚未提供"));
    }
  }
  if (auto* a = CommandAction(CommandId::ViewToolBar)) a->setChecked(m_ToolBar && m_ToolBar->isVisible());
  if (auto* a = CommandAction(CommandId::ViewStatusBar)) a->setChecked(statusBar()->isVisible());
  // While a command runs the person can still look at the documents, but start nothing.
  if (auto* a = CommandAction(CommandId::ViewToolBar)) a->setEnabled(!m_Running);
  if (auto* a = CommandAction(CommandId::ViewStatusBar)) a->setEnabled(!m_Running);
  TextView* text = ActiveTextView();
  MapView* map = ActiveMapView();
  m_EditMenu->menuAction()->setVisible(text != nullptr || !map);
  for (QAction* a : m_EditActions) a->setEnabled(text != nullptr && !m_Running);
  m_MapMenu->menuAction()->setVisible(map != nullptr);
  m_MapToolBar->setVisible(map != nullptr);
  for (auto& [name, a] : m_MapActions) a->setEnabled(map != nullptr && !m_Running);
  if (map)
    for (const MapView::Switch& item : MapView::Switches()) m_MapActions[FromUtf8(item.text)]->setChecked((map->*item.get)());
  for (QAction* a : m_RecentActions) a->setEnabled(!m_Running);
  m_RecentProjectMenu->setEnabled(!m_RecentProjectMenu->isEmpty() && !m_Running);
}

void MainWindow::UpdateRecentFiles() {
  const std::vector<std::string> files = CSettingsStore::RecentFiles();
  for (int i = 0; i < m_RecentActions.size(); ++i) {
    QAction* a = m_RecentActions[i];
    if (i < static_cast<int>(files.size())) {
      const QString path = FromPath(files[static_cast<size_t>(i)]);
      a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
      a->setData(path);
      a->setVisible(true);
    } else {
      a->setVisible(false);
    }
  }
  if (QAction* placeholder = CommandAction(CommandId::RecentFiles)) placeholder->setVisible(files.empty());
}

void MainWindow::UpdateRecentProjects() {
  m_RecentProjectMenu->clear();
  const std::vector<std::string> projects = CSettingsStore::RecentProjects();
  int n = 0;
  for (const std::string& project : projects) {
    const QString path = FromPath(project);
    QAction* a = m_RecentProjectMenu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(path));
    connect(a, &QAction::triggered, this, [this, path] {
      if (m_Running || m_Loading) return;
      OpenProject(ToPath(path));
      RememberProject();
      UpdateMenus();
    });
  }
  m_RecentProjectMenu->setEnabled(!projects.empty() && !m_Running);
}

void MainWindow::RememberProject() {
  const CProjectState& p = Project();
  if (!p.projectOpen || p.projectName.empty() || !p.configurationFromFile) return;
  const std::string prj = CurrentProjectFile(ProjectFile::Project);
  const std::vector<std::string> projects = CSettingsStore::RecentProjects();
  if (!projects.empty() && projects.front() == prj) return;  // the settings file is not rewritten for nothing
  CSettingsStore::AddRecentProject(prj);
  UpdateRecentProjects();
}

void MainWindow::ReopenLastProject(const std::string& named) {
  vemo::ReopenLastProject();
  if (!named.empty()) OpenProject(named);
  RememberProject();
  UpdateMenus();
}

void MainWindow::RunMenuCommand(CommandId id) {
  if (m_Running || m_Loading) return;
  const CommandSpec* command = FindMenuCommand(id);
  if (!command || !IsCommandEnabled(*command)) return;
  if (id == CommandId::HelpTopics) {  // the user guide; the command line keeps its usage text
    HelpWindow::Show(this);
    return;
  }
  if (IsShellCommand(id)) {
    RunShellCommand(id);
    RememberProject();
    UpdateMenus();
    return;
  }
  if (!command->run) return;
  m_Running = true;
  UpdateMenus();
  statusBar()->showMessage(PromptOf(*command).first);
  m_LastStatus = RunDesktopCommand(*command, this);
  m_Running = false;
  RefreshTextDocuments();
  statusBar()->showMessage(Tr(u8"就绪"));
  RememberProject();
  UpdateMenus();
  if (m_QuitAfterCommand) {
    m_QuitAfterCommand = false;
    close();
  }
}

void MainWindow::RunShellCommand(CommandId id) {
  TextView* text = ActiveTextView();
  switch (id) {
    case CommandId::OpenProject: OpenProjectFile(); break;
    case CommandId::FileNew: ShowText(QString(), std::string()); break;
    case CommandId::FileOpen: OpenAnyFileCommand(); break;
    case CommandId::FileClose:
      if (QMdiSubWindow* w = m_Mdi->activeSubWindow()) w->close();
      break;
    case CommandId::FileSave:
      if (text) text->Save();
      break;
    case CommandId::FileSaveAs:
      if (text) text->SaveAs();
      break;
    case CommandId::FilePrint: Print(); break;
    case CommandId::FilePrintPreview: PrintPreview(); break;
    case CommandId::FilePrintSetup: PageSetup(); break;
    case CommandId::AppExit: close(); break;
    case CommandId::ViewToolBar: m_ToolBar->setVisible(!m_ToolBar->isVisible()); break;
    case CommandId::ViewStatusBar: statusBar()->setVisible(!statusBar()->isVisible()); break;
    case CommandId::WindowNew: NewWindow(); break;
    case CommandId::WindowCascade: m_Windows->Cascade(); break;
    case CommandId::WindowTile: m_Windows->Tile(); break;
    case CommandId::WindowArrange: ArrangeIcons(); break;
    case CommandId::About: About(); break;
    default: break;
  }
}

void MainWindow::OpenProjectFile() {
  FileDialogRequest request;
  request.open = true;
  request.title = UiText(u8"打开工程");
  request.filters = {{UiText(u8"GPS工程文件(*.PRJ)"), "*.PRJ"}, {UiText(u8"所有文件(*.*)"), "*.*"}};
  request.initialDirectory = Project().projectDir;
  auto files = Platform().ChooseFiles(request);
  if (!files) return;
  OpenProject(files->front());
}

void MainWindow::OpenAnyFileCommand() {
  FileDialogRequest request;
  request.open = true;
  request.mustExist = true;
  for (const auto& [description, pattern] : kOpenFilters) request.filters.push_back({UiText(description), pattern});
  request.initialDirectory = m_OpenDir.isEmpty() ? Project().projectDir : ToPath(m_OpenDir);
  auto files = Platform().ChooseFiles(request);
  if (!files) return;
  m_OpenDir = QFileInfo(FromPath(files->front())).absolutePath();
  OpenAnyFile(files->front());
}

QMdiSubWindow* MainWindow::FindDocumentWindow(const QString& path) const {
  const QString wanted = CanonicalPath(path);
  for (QMdiSubWindow* window : m_Mdi->subWindowList()) {
    QString open;
    if (auto* text = qobject_cast<TextView*>(window->widget())) open = text->Path();
    else if (auto* map = qobject_cast<MapView*>(window->widget())) open = map->Path();
    if (!open.isEmpty() && CanonicalPath(open) == wanted) return window;
  }
  return nullptr;
}

QMdiSubWindow* MainWindow::AddDocumentWindow(QWidget* view, const QString& title) {
  QMdiSubWindow* window = m_Mdi->addSubWindow(view);
  window->setWindowTitle(title);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(window, &QObject::destroyed, this, [this] { QMetaObject::invokeMethod(this, [this] { UpdateMenus(); }, Qt::QueuedConnection); });
  m_Windows->Show(window);
  m_Mdi->setActiveSubWindow(window);
  view->setFocus();
  return window;
}

void MainWindow::RefreshTextDocuments() {
  if (m_Refreshing || m_Running || m_Loading) return;
  m_Refreshing = true;
  // The views of one document share it: each document once.
  std::vector<QTextDocument*> seen;
  for (QMdiSubWindow* window : m_Mdi->subWindowList()) {
    auto* view = qobject_cast<TextView*>(window->widget());
    if (!view || std::find(seen.begin(), seen.end(), view->document()) != seen.end()) continue;
    seen.push_back(view->document());
    RefreshTextDocument(view, view->CheckFile());
  }
  m_Refreshing = false;
}

void MainWindow::RefreshTextDocument(TextView* view, TextView::FileChange change) {
  if (change == TextView::FileChange::None) return;
  const bool edited = view->document()->isModified();
  if (change == TextView::FileChange::Removed) {
    // A result its command took away when it failed must not stay on screen as if current;
    // the person's edits stay, to be saved or dropped by them.
    if (edited) return;
    QTextDocument* document = view->document();
    for (QMdiSubWindow* window : m_Mdi->subWindowList()) {
      auto* other = qobject_cast<TextView*>(window->widget());
      if (other && other->document() == document) window->close();
    }
    return;
  }
  if (edited) {
    const std::string name = ToGbk(QFileInfo(view->Path()).fileName());
    if (!AskYesNo(Format(UiText(u8"文件%s已被重新写入。\n是否放弃对它所做的修改，读入新的内容?"), name.c_str()), AppTitle(),
                  MessageIcon::Question, 1, MessageAnswer::No)) {
      view->KeepText();
      return;
    }
  }
  const bool wasLoading = std::exchange(m_Loading, true);
  view->Reload();
  m_Loading = wasLoading;
}

TextView* MainWindow::OpenTextDocument(const QString& path) {
  if (QMdiSubWindow* open = FindDocumentWindow(path)) {
    if (auto* text = qobject_cast<TextView*>(open->widget())) {
      m_Mdi->setActiveSubWindow(open);
      // A command opening its report again has just written it.
      if (!m_Refreshing && text->CheckFile() == TextView::FileChange::Rewritten) {
        m_Refreshing = true;
        RefreshTextDocument(text, TextView::FileChange::Rewritten);
        m_Refreshing = false;
      }
      return text;
    }
  }
  // A long file loads with the pump running: no menu command starts in the middle of it.
  const bool wasLoading = std::exchange(m_Loading, true);
  TextView* view = TextView::Load(CanonicalPath(path));
  m_Loading = wasLoading;
  if (!view) {
    ShowMessage(Format(UiText(u8"打开文件%s出错!"), PathToGbk(ToPath(path)).c_str()), AppTitle(), MessageIcon::Warning);
    return nullptr;
  }
  connect(view, &TextView::caretLineReported, this, &MainWindow::ShowLine);
  QMdiSubWindow* window = AddDocumentWindow(view, view->DisplayName());
  connect(view, &TextView::titleChanged, window, [window, view] {
    window->setWindowTitle(view->DisplayName());
    window->setWindowModified(view->document()->isModified());
  });
  CSettingsStore::AddRecentFile(ToPath(view->Path()));
  UpdateRecentFiles();
  UpdateMenus();
  return view;
}

TextView* MainWindow::ShowText(const QString& title, const std::string& textGbk) {
  auto* view = new TextView(QString(), textGbk);
  connect(view, &TextView::caretLineReported, this, &MainWindow::ShowLine);
  QMdiSubWindow* window = AddDocumentWindow(view, title.isEmpty() ? view->DisplayName() : title + QStringLiteral("[*]"));
  connect(view, &TextView::titleChanged, window, [window, view] {
    if (!view->Path().isEmpty()) window->setWindowTitle(view->DisplayName());
    window->setWindowModified(view->document()->isModified());
  });
  UpdateMenus();
  return view;
}

MapView* MainWindow::OpenNetworkMap(const QString& path) {
  if (QMdiSubWindow* open = FindDocumentWindow(path)) {
    if (auto* map = qobject_cast<MapView*>(open->widget())) {
      m_Mdi->setActiveSubWindow(open);
      return map;
    }
  }
  MapView* view = MapView::Load(CanonicalPath(path));
  if (!view) return nullptr;
  AddMapWindow(view, QFileInfo(path).fileName());
  return view;
}

void MainWindow::AddMapWindow(MapView* view, const QString& title) {
  // The menu's switches follow the view's, also when the view's context menu changes them.
  connect(view, &MapView::viewChanged, this, [this] { UpdateMenus(); });
  connect(view, &MapView::positionReported, this, [this](const QString& text) {
    if (auto* pane = statusBar()->findChild<QLabel*>(QStringLiteral("positionPane"))) pane->setText(text);
  });
  AddDocumentWindow(view, title);
  UpdateMenus();
}

TextView* MainWindow::ActiveTextView() const {
  QMdiSubWindow* window = m_Mdi->activeSubWindow();
  return window ? qobject_cast<TextView*>(window->widget()) : nullptr;
}

MapView* MainWindow::ActiveMapView() const {
  QMdiSubWindow* window = m_Mdi->activeSubWindow();
  return window ? qobject_cast<MapView*>(window->widget()) : nullptr;
}

void MainWindow::NewWindow() {
  QMdiSubWindow* active = m_Mdi->activeSubWindow();
  if (!active) return;
  const int count = static_cast<int>(m_Mdi->subWindowList().size());
  if (auto* text = qobject_cast<TextView*>(active->widget())) {
    auto* view = new TextView(*text);
    connect(view, &TextView::caretLineReported, this, &MainWindow::ShowLine);
    AddDocumentWindow(view, active->windowTitle() + QStringLiteral(":%1").arg(count + 1));
  } else if (auto* map = qobject_cast<MapView*>(active->widget())) {
    AddMapWindow(map->Clone(nullptr), active->windowTitle() + QStringLiteral(":%1").arg(count + 1));
  }
}

QPrinter& MainWindow::Printer() {
  if (!m_Printer) {
    m_Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_Printer->setPageSize(QPageSize(QPageSize::A4));
  }
  return *m_Printer;
}

void MainWindow::Print() {
  TextView* text = ActiveTextView();
  MapView* map = ActiveMapView();
  if (!text && !map) return;
  QPrintDialog dialog(&Printer(), this);
  dialog.setWindowTitle(Tr(u8"打印"));
  if (dialog.exec() != QDialog::Accepted) return;
  if (text) text->PrintTo(&Printer());
  else map->PrintTo(&Printer());
}

void MainWindow::PrintPreview() {
  TextView* text = ActiveTextView();
  MapView* map = ActiveMapView();
  if (!text && !map) return;
  QPrintPreviewDialog preview(&Printer(), this);
  preview.setWindowTitle(Tr(u8"打印预览"));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [text, map](QPrinter* printer) {
    if (text) text->PrintTo(printer);
    else map->PrintTo(printer);
  });
  preview.exec();
}

void MainWindow::PageSetup() {
  QPageSetupDialog dialog(&Printer(), this);
  dialog.setWindowTitle(Tr(u8"打印设置"));
  dialog.exec();
}

void MainWindow::ArrangeIcons() {
  // The minimized document windows line up along the bottom of the frame.
  int x = 0;
  for (QMdiSubWindow* window : m_Mdi->subWindowList()) {
    if (!window->isMinimized()) continue;
    const QSize size = window->size();
    window->move(x, m_Mdi->viewport()->height() - size.height());
    x += size.width();
  }
}

void MainWindow::About() {
  QMessageBox box(QMessageBox::Information, Tr(u8"关于VemoGPS"),
                  ApplicationTitle() + QStringLiteral("\n\n") + Tr(u8"GPS控制网数据处理：基线导入、检核、平差、坐标转换与网图。"),
                  QMessageBox::Ok, this);
  box.button(QMessageBox::Ok)->setText(Tr(u8"确定"));
  box.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (m_Running) {
    // The computation ends first, with its files; the frame closes after it.
    if (AskYesNo(UiText(u8"计算正在进行。是否停止计算并退出?"), AppTitle(), MessageIcon::Question, 1, MessageAnswer::No)) {
      m_QuitAfterCommand = true;
      m_Host.CancelRunningComputation();
    }
    event->ignore();
    return;
  }
  m_Mdi->closeAllSubWindows();
  if (m_Mdi->currentSubWindow()) {  // a document with unsaved edits stays open
    event->ignore();
    return;
  }
  SaveOnExit();
  event->accept();
}

}  // namespace vemo
