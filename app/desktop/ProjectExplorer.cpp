#include "app/desktop/ProjectExplorer.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "app/commands/CommandTable.h"
#include "app/desktop/MainWindow.h"
#include "app/desktop/QtText.h"
#include "app/desktop/ResultTableView.h"
#include "app/desktop/Translations.h"
#include "geodesy/FileUtil.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/ProjectDependencies.h"
#include "project/data/DataFileReader.h"

namespace vemo {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;     // the catalogue kind, or -1
constexpr int kVariantRole = Qt::UserRole + 2;
constexpr int kStateRole = Qt::UserRole + 3;
constexpr int kOpenedRole = Qt::UserRole + 4;  // a group was expanded once it had a file

enum Column { FileColumn, DescriptionColumn };

// The extension of the synchronous baseline files the import writes into the project folder.
const QString kSessionSuffix = QStringLiteral("GPS3DVector_S");

QColor StaleColour() { return QColor(204, 102, 0); }
QColor MissingColour() { return QColor(150, 150, 150); }

QString TimeText(const QDateTime& time) { return time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")); }

// The tables of the 结果表格 menu, in the order of the work.
struct TableCommand {
  ResultTableKind kind;
  const char* text;  // UTF-8
};
const TableCommand kTableCommands[] = {
    {ResultTableKind::SyncLoops, TrNoop(u8"同步环闭合差")},
    {ResultTableKind::AsyncLoops, TrNoop(u8"异步环闭合差")},
    {ResultTableKind::RepeatBaselines, TrNoop(u8"重复基线长度差")},
    {ResultTableKind::RepeatBaselineComponents, TrNoop(u8"重复基线分量差")},
    {ResultTableKind::Coordinates3d, TrNoop(u8"三维平差坐标")},
    {ResultTableKind::Coordinates2d, TrNoop(u8"二维平差坐标")},
};

}  // namespace

const std::vector<ExplorerGroup>& ExplorerGroups() {
  using enum ProjectFile;
  static const std::vector<ExplorerGroup> groups = {
      {TrNoop(u8"工程"), {{Project, TrNoop(u8"工程文件")}, {OneFix, TrNoop(u8"一点一方向平差的起算数据")}}},
      {TrNoop(u8"基线向量"),
       {{Vector3d, TrNoop(u8"独立基线向量")},
        {CovScale3d, TrNoop(u8"基线方差阵缩放")},
        {Cluster3d, TrNoop(u8"相关基线的协方差")},
        {ImportLog, TrNoop(u8"导入记录")}}},
      {TrNoop(u8"已知数据"),
       {{KnownXYZ, TrNoop(u8"三维已知坐标")},
        {KnownXY, TrNoop(u8"二维已知坐标")},
        {KnownH, TrNoop(u8"已知高程")},
        {Distance, TrNoop(u8"地面边长")},
        {Azimuth, TrNoop(u8"地面方位角")},
        {KnownCov3d, TrNoop(u8"三维已知点协方差")},
        {KnownCov2d, TrNoop(u8"二维已知点协方差")},
        {RelativePairs, TrNoop(u8"相对精度点对")},
        {BreakthroughGuide, TrNoop(u8"贯通导线")}}},
      {TrNoop(u8"数据检核"),
       {{SyncLoop, TrNoop(u8"同步环")},
        {SyncMisclosure, TrNoop(u8"同步环闭合差")},
        {Loop, TrNoop(u8"异步环")},
        {Misclosure, TrNoop(u8"异步环闭合差")},
        {RepeatBaseline, TrNoop(u8"重复基线长度差")},
        {RepeatBaselineClassAB, TrNoop(u8"重复基线分量差")}}},
      {TrNoop(u8"三维平差"),
       {{Result3d, TrNoop(u8"三维平差结果")},
        {Test3d, TrNoop(u8"统计检验")},
        {ApproximateXYZ, TrNoop(u8"近似坐标")},
        {BLH3d, TrNoop(u8"大地坐标")},
        {XYHEFT3d, TrNoop(u8"平面坐标与误差椭圆")},
        {XYH3d, TrNoop(u8"平面坐标与高程")},
        {BLHVector3d, TrNoop(u8"大地坐标差向量")},
        {Vector2d, TrNoop(u8"二维基线向量")}}},
      {TrNoop(u8"二维平差"),
       {{Result2d, TrNoop(u8"二维平差结果")},
        {Test2d, TrNoop(u8"统计检验")},
        {XY2d, TrNoop(u8"二维平差坐标")},
        {XYEFT2d, TrNoop(u8"坐标与误差椭圆")}}},
      {TrNoop(u8"高程拟合"), {{Result1d, TrNoop(u8"高程拟合结果")}, {Test1d, TrNoop(u8"统计检验")}, {Heights1d, TrNoop(u8"拟合高程")}}},
      {TrNoop(u8"椭球面平差"), {{Combined3dResult, TrNoop(u8"椭球面三维平差结果")}, {Combined3dTest, TrNoop(u8"统计检验")}}},
      {TrNoop(u8"秩亏自由网"),
       {{FreeXXInput, TrNoop(u8"自由网输入坐标")},
        {FreeQxxInput, TrNoop(u8"自由网输入协因数")},
        {FreeGxxInput, TrNoop(u8"自由网基准")},
        {FreeXXOut, TrNoop(u8"自由网坐标")},
        {FreeQxxOut, TrNoop(u8"自由网协因数")},
        {FreeMxxOut, TrNoop(u8"自由网点位精度")},
        {FreeXXQxx, TrNoop(u8"稳定性分析用的一期数据")},
        {FreeENUQenu, TrNoop(u8"站心坐标与协因数")}}},
      {TrNoop(u8"贯通与输出"),
       {{BreakthroughExtract, TrNoop(u8"贯通点平面结果")},
        {BreakthroughReport, TrNoop(u8"贯通误差")},
        {GeoJson, TrNoop(u8"GeoJSON网图")},
        {Kml, TrNoop(u8"KML网图")}}},
  };
  return groups;
}

ProjectExplorer::ProjectExplorer(MainWindow& window)
    : QDockWidget(Tr(u8"工程文件"), &window), m_Window(window) {
  setObjectName(QStringLiteral("projectExplorer"));
  setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  m_Tree = new QTreeWidget(this);
  m_Tree->setObjectName(QStringLiteral("projectTree"));
  m_Tree->setColumnCount(2);
  m_Tree->setHeaderLabels({Tr(u8"文件"), Tr(u8"内容")});
  m_Tree->header()->setSectionResizeMode(FileColumn, QHeaderView::ResizeToContents);
  m_Tree->setContextMenuPolicy(Qt::CustomContextMenu);
  m_Tree->setUniformRowHeights(true);
  setWidget(m_Tree);
  connect(m_Tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { OpenItem(item); });
  connect(m_Tree, &QTreeWidget::customContextMenuRequested, this, &ProjectExplorer::ShowContextMenu);
  m_Settle.setSingleShot(true);
  m_Settle.setInterval(300);
  connect(&m_Settle, &QTimer::timeout, this, &ProjectExplorer::Refresh);
  connect(&m_Watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_Settle.start(); });
  connect(&m_Watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_Settle.start(); });
  hide();  // until a project is open
}

void ProjectExplorer::Rebuild() {
  m_Tree->clear();
  m_Sessions = m_OneFix = nullptr;
  if (m_Project.isEmpty()) return;
  const auto addFile = [](QTreeWidgetItem* parent, ProjectFile kind, int variant, const char* description) {
    auto* item = new QTreeWidgetItem(parent);
    item->setData(FileColumn, kKindRole, static_cast<int>(kind));
    item->setData(FileColumn, kVariantRole, variant);
    item->setText(DescriptionColumn, Tr(description));
    return item;
  };
  for (const ExplorerGroup& group : ExplorerGroups()) {
    auto* top = new QTreeWidgetItem(m_Tree, {Tr(group.title)});
    top->setFirstColumnSpanned(true);
    for (const ExplorerEntry& entry : group.entries) addFile(top, entry.kind, 0, entry.description);
    if (group.entries.front().kind == ProjectFile::Vector3d) {
      m_Sessions = new QTreeWidgetItem(top, {Tr(u8"同步基线文件")});
    }
  }
  // The one-point-one-direction network keeps files of its own beside the ordinary ones.
  m_OneFix = new QTreeWidgetItem(m_Tree, {Tr(u8"工程网(一点一方向)")});
  m_OneFix->setFirstColumnSpanned(true);
  for (const ExplorerGroup& group : ExplorerGroups())
    for (const ExplorerEntry& entry : group.entries)
      if (HasOneFixVariant(entry.kind)) addFile(m_OneFix, entry.kind, 1, entry.description);
}

void ProjectExplorer::UpdateItem(QTreeWidgetItem* item) {
  const auto kind = static_cast<ProjectFile>(item->data(FileColumn, kKindRole).toInt());
  const int variant = item->data(FileColumn, kVariantRole).toInt();
  const QString path = FromPath(ResolvePathNoCase(CurrentProjectFile(kind, variant)));
  const QFileInfo info(path);
  const ResultCurrency currency = CheckResultCurrency(kind, variant);
  FileState state = FileState::Present;
  QString tip = QDir::toNativeSeparators(path);
  if (info.exists()) tip += Tr(u8"\n修改时间: %1").arg(TimeText(info.lastModified()));
  if (!info.exists()) {
    state = FileState::Missing;
    tip += Tr(u8"\n文件不存在");
  } else if (currency.IsStale()) {
    state = FileState::Stale;
    const QFileInfo input(FromPath(ResolvePathNoCase(CurrentProjectFile(*currency.newerInput, variant))));
    tip += Tr(u8"\n比输入文件旧: %1 (%2) 修改于本文件 (%3) 之后，请重新计算")
               .arg(input.fileName(), TimeText(input.lastModified()), TimeText(info.lastModified()));
  }
  // The dock's title names the project: its files show by their extensions.
  item->setText(FileColumn, info.fileName().mid(info.completeBaseName().size()));
  item->setData(FileColumn, kPathRole, path);
  item->setData(FileColumn, kStateRole, static_cast<int>(state));
  QFont font = m_Tree->font();
  font.setItalic(state == FileState::Missing);
  const QBrush brush = state == FileState::Stale     ? QBrush(StaleColour())
                       : state == FileState::Missing ? QBrush(MissingColour())
                                                     : QBrush();
  for (int column = 0; column < m_Tree->columnCount(); ++column) {
    item->setFont(column, font);
    item->setForeground(column, brush);
    item->setToolTip(column, tip);
  }
}

void ProjectExplorer::UpdateSessionFiles() {
  if (!m_Sessions) return;
  qDeleteAll(m_Sessions->takeChildren());
  const QDir dir(FromPath(Project().projectDir));
  for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name)) {
    if (info.suffix().compare(kSessionSuffix, Qt::CaseInsensitive) != 0) continue;
    auto* item = new QTreeWidgetItem(m_Sessions, {info.fileName()});
    item->setData(FileColumn, kKindRole, -1);
    item->setData(FileColumn, kPathRole, info.absoluteFilePath());
    item->setData(FileColumn, kStateRole, static_cast<int>(FileState::Present));
    item->setToolTip(FileColumn, QDir::toNativeSeparators(info.absoluteFilePath()) +
                                     Tr(u8"\n修改时间: %1").arg(TimeText(info.lastModified())));
  }
  m_Sessions->setText(DescriptionColumn, Tr(u8"%1 个时段").arg(m_Sessions->childCount()));
}

void ProjectExplorer::Refresh() {
  const QString project = Project().projectOpen ? FromPath(CurrentProjectFile(ProjectFile::Project)) : QString();
  if (project != m_Project) {
    m_Project = project;
    Rebuild();
    // A project that was just opened shows its files; the user may close the dock again.
    if (!m_Project.isEmpty()) show();
    setWindowTitle(m_Project.isEmpty() ? Tr(u8"工程文件")
                                       : Tr(u8"工程文件 - %1").arg(FromGbk(Project().projectName)));
  }
  if (m_Project.isEmpty()) return;
  UpdateSessionFiles();
  for (int g = 0; g < m_Tree->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = m_Tree->topLevelItem(g);
    bool any = false;
    for (int i = 0; i < group->childCount(); ++i) {
      QTreeWidgetItem* item = group->child(i);
      if (item != m_Sessions) UpdateItem(item);
      any = any || StateOf(item) != FileState::Missing || (item == m_Sessions && item->childCount() > 0);
    }
    // A group opens when its first file appears (the groups of work not yet done stay short);
    // after that it stays as the user leaves it.
    if (any && !group->data(FileColumn, kOpenedRole).toBool()) {
      group->setData(FileColumn, kOpenedRole, true);
      group->setExpanded(true);
      if (m_Sessions && m_Sessions->parent() == group) m_Sessions->setExpanded(true);
    }
  }
  // The one-point-one-direction files only while that network has any.
  if (m_OneFix) {
    bool any = false;
    for (int i = 0; i < m_OneFix->childCount(); ++i) {
      const bool missing = StateOf(m_OneFix->child(i)) == FileState::Missing;
      m_OneFix->child(i)->setHidden(missing);
      any = any || !missing;
    }
    m_OneFix->setHidden(!any);
  }
  Watch();
}

void ProjectExplorer::Watch() {
  if (!m_Watcher.files().isEmpty()) m_Watcher.removePaths(m_Watcher.files());
  if (!m_Watcher.directories().isEmpty()) m_Watcher.removePaths(m_Watcher.directories());
  const QString dir = FromPath(Project().projectDir);
  if (QFileInfo(dir).isDir()) m_Watcher.addPath(dir);
  // A file written in place changes no directory entry.
  QStringList files;
  for (QTreeWidgetItemIterator it(m_Tree); *it; ++it)
    if (StateOf(*it) != FileState::Missing && !PathOf(*it).isEmpty()) files << PathOf(*it);
  if (!files.isEmpty()) m_Watcher.addPaths(files);
}

QTreeWidgetItem* ProjectExplorer::ItemOf(ProjectFile kind, int variant) const {
  for (QTreeWidgetItemIterator it(m_Tree); *it; ++it) {
    const QVariant k = (*it)->data(FileColumn, kKindRole);
    if (k.isValid() && k.toInt() == static_cast<int>(kind) && (*it)->data(FileColumn, kVariantRole).toInt() == variant)
      return *it;
  }
  return nullptr;
}

ProjectExplorer::FileState ProjectExplorer::StateOf(const QTreeWidgetItem* item) {
  const QVariant state = item ? item->data(FileColumn, kStateRole) : QVariant();
  return state.isValid() ? static_cast<FileState>(state.toInt()) : FileState::Missing;
}

QString ProjectExplorer::PathOf(const QTreeWidgetItem* item) {
  return item ? item->data(FileColumn, kPathRole).toString() : QString();
}

void ProjectExplorer::OpenItem(QTreeWidgetItem* item) {
  const QString path = PathOf(item);
  if (path.isEmpty()) return;  // a group
  if (StateOf(item) == FileState::Missing) {
    m_Window.statusBar()->showMessage(Tr(u8"文件%1不存在").arg(QFileInfo(path).fileName()), 5000);
    return;
  }
  // The project file is binary: it opens as the settings it holds.
  if (item->data(FileColumn, kKindRole).toInt() == static_cast<int>(ProjectFile::Project)) {
    m_Window.RunMenuCommand(CommandId::Settings);
    return;
  }
  m_Window.OpenTextDocument(path);
}

ResultTableView* ProjectExplorer::OpenTable(ResultTableKind kind) {
  const QString path = FromPath(ResolvePathNoCase(CurrentProjectFile(ResultTableFile(kind))));
  std::optional<ResultTable> table = ReadResultTable(kind);
  if (!table) {
    ShowOpenFileError(ToPath(path));
    return nullptr;
  }
  for (QMdiSubWindow* window : m_Window.Mdi()->subWindowList())
    if (auto* open = qobject_cast<ResultTableView*>(window->widget()); open && open->SourcePath() == path)
      window->close();
  auto* view = new ResultTableView(std::move(*table), path);
  QMdiSubWindow* window = m_Window.Mdi()->addSubWindow(view);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  m_Window.Mdi()->setActiveSubWindow(window);
  return view;
}

void ProjectExplorer::ShowContextMenu(const QPoint& position) {
  QTreeWidgetItem* item = m_Tree->itemAt(position);
  QMenu menu(this);
  if (item && !PathOf(item).isEmpty()) {
    QAction* open = menu.addAction(Tr(u8"打开(&O)"), this, [this, item] { OpenItem(item); });
    open->setEnabled(StateOf(item) != FileState::Missing);
    const QVariant kind = item->data(FileColumn, kKindRole);
    const auto table = kind.toInt() >= 0 ? ResultTableOf(static_cast<ProjectFile>(kind.toInt())) : std::nullopt;
    if (table && item->data(FileColumn, kVariantRole).toInt() == 0) {
      QAction* asTable = menu.addAction(Tr(u8"以表格查看(&T)"), this, [this, table] { OpenTable(*table); });
      asTable->setEnabled(StateOf(item) != FileState::Missing);
    }
    menu.addSeparator();
  }
  menu.addAction(Tr(u8"刷新(&R)"), this, &ProjectExplorer::Refresh);
  menu.exec(m_Tree->viewport()->mapToGlobal(position));
}

ProjectExplorer* InstallProjectExplorer(MainWindow& window) {
  auto* explorer = new ProjectExplorer(window);
  window.addDockWidget(Qt::LeftDockWidgetArea, explorer);
  // Wide enough for the longest file names of a project beside what they hold.
  window.resizeDocks({explorer}, {350}, Qt::Horizontal);
  QMenu* view = window.MenuOf(CommandId::ViewStatusBar);
  if (!view) return explorer;
  QAction* toggle = explorer->toggleViewAction();
  toggle->setText(Tr(u8"工程文件(&P)"));
  toggle->setStatusTip(Tr(u8"显示或隐藏工程文件窗口"));
  view->addAction(toggle);
  QMenu* tables = view->addMenu(Tr(u8"结果表格(&B)"));
  tables->setObjectName(QStringLiteral("resultTables"));
  for (const TableCommand& command : kTableCommands) {
    const ResultTableKind kind = command.kind;
    tables->addAction(Tr(command.text), explorer, [explorer, kind] { explorer->OpenTable(kind); });
  }
  // A table needs a project's results.
  QObject::connect(tables, &QMenu::aboutToShow, tables, [tables] {
    for (QAction* action : tables->actions()) action->setEnabled(Project().projectOpen != 0);
  });
  return explorer;
}

}  // namespace vemo
