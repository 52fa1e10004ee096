// Drives the desktop through its menu actions on a project and saves a PNG of each window:
//   desktop_screenshots --project FILE.prj --out DIR
// The main window after the 3D and 2D adjustments with their reports (the 3D one also in its
// print preview), the project explorer and
// result tables, more documents cascaded with the window menu open, the import dialog, a data-entry
// grid, the project settings and one-point-one-direction forms, the toolbar, the file dialog, the user
// guide, the two network maps (the WGS-84 one also zoomed in on its middle, and its print preview).
// Message boxes that come up are answered with their default
// button and printed on standard error, so a run never waits for a person.
#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QToolBar>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "app/commands/CommandTable.h"
#include "app/desktop/DesktopHost.h"
#include "app/desktop/HelpWindow.h"
#include "app/desktop/MainWindow.h"
#include "app/desktop/MapView.h"
#include "app/desktop/ProjectExplorer.h"
#include "app/desktop/ResultTableView.h"
#include "app/desktop/TextView.h"
#include "app/desktop/Translations.h"
#include "app/desktop/grid/GridCtrl.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"

namespace {

QString g_Out;
// The name under which the next dialog that opens is saved (it is then cancelled).
QString g_DialogName = QStringLiteral("dialog");
// Done to the next dialog before it is saved (once).
std::function<void(QDialog*)> g_BeforeSave;

// Saves NAME.png; with small also NAME-small.png in a palette of 256 colours (the pictures in
// docs/: a fraction of the bytes, every pixel where it was).
void Save(QWidget* widget, const QString& name, bool small = false) {
  QCoreApplication::processEvents();
  const QPixmap picture = widget->grab();
  const QString path = g_Out + QLatin1Char('/') + name + QStringLiteral(".png");
  if (picture.save(path)) std::fprintf(stderr, "saved %s\n", path.toUtf8().constData());
  else std::fprintf(stderr, "could not save %s\n", path.toUtf8().constData());
  if (small)
    picture.toImage().convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither).save(g_Out + QLatin1Char('/') + name + QStringLiteral("-small.png"));
}

// Saves NAME.png of the screen where the window is, so that an open menu (a window of its
// own) is in the picture.
void SaveScreen(QWidget* window, const QString& name) {
  QCoreApplication::processEvents();
  const QRect frame = window->frameGeometry();
  const QPixmap picture = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  const QString path = g_Out + QLatin1Char('/') + name + QStringLiteral(".png");
  std::fprintf(stderr, "%s %s\n", picture.save(path) ? "saved" : "could not save", path.toUtf8().constData());
}

// The menu of the menu bar whose title is text (UTF-8).
QMenu* MenuTitled(QMainWindow& window, const char* text) {
  for (QAction* action : window.menuBar()->actions())
    if (action->text() == vemo::Tr(text)) return action->menu();  // in the interface's language
  return nullptr;
}

// Answers message boxes; grabs and closes the data-entry dialog.
void WatchModals() {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      std::fprintf(stderr, "message: %s\n", box->text().toUtf8().constData());
      if (QAbstractButton* b = box->defaultButton()) b->click();
      else box->reject();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      if (g_BeforeSave) std::exchange(g_BeforeSave, nullptr)(dialog);
      Save(dialog, g_DialogName);
      dialog->reject();
    }
  });
  timer->start(200);
}

void Run(vemo::MainWindow& window, vemo::CommandId id) {
  const vemo::CommandSpec* command = vemo::FindMenuCommand(id);
  QAction* action = window.CommandAction(id);
  if (!command || !action || !action->isEnabled()) {
    std::fprintf(stderr, "command %d is not available\n", static_cast<int>(id));
    return;
  }
  action->trigger();
  QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  application.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 10));
  vemo::InstallTranslations(application, vemo::InterfaceLocale());
  QString project;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--project") project = QString::fromLocal8Bit(argv[i + 1]);
    else if (option == "--out") g_Out = QString::fromLocal8Bit(argv[i + 1]);
  }
  if (project.isEmpty() || g_Out.isEmpty()) {
    std::fprintf(stderr, "usage: desktop_screenshots --project FILE.prj --out DIR\n");
    return 2;
  }
  QDir().mkpath(g_Out);
  vemo::DesktopHost host;
  vemo::InstallPlatformHost(&host);
  vemo::MainWindow window(host);
  host.SetMainWindow(&window);
  window.resize(1400, 900);
  window.show();
  vemo::RestoreLastProject();
  if (!vemo::OpenProject(project.toStdString())) return 1;
  window.UpdateMenus();
  WatchModals();

  QTimer::singleShot(300, [&] {
    Save(&window, QStringLiteral("main-window"));
    // The toolbar's buttons at their size and at twice it (toolbar.png, toolbar-large.png).
    if (auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("toolbar"))) {
      for (int size : {24, 48}) {
        toolbar->setIconSize(QSize(size, size));
        QCoreApplication::processEvents();
        const QString name = size == 24 ? QStringLiteral("toolbar") : QStringLiteral("toolbar-large");
        toolbar->grab(toolbar->childrenRect().adjusted(-4, -4, 4, 4)).save(g_Out + QLatin1Char('/') + name + QStringLiteral(".png"));
      }
      toolbar->setIconSize(QSize(24, 24));
    }
    Run(window, vemo::CommandId::Adjust3d);
    Save(&window, QStringLiteral("main-3d-report"), true);
    g_DialogName = QStringLiteral("report-print-preview");
    Run(window, vemo::CommandId::FilePrintPreview);  // the 3D report on the printer's pages
    Run(window, vemo::CommandId::Adjust2d);
    Save(&window, QStringLiteral("main-2d-report"));
    // The explorer after the loop check, with the plane results gone stale by a later edit of
    // the known plane points; the loops and the 3D coordinates as tables.
    Run(window, vemo::CommandId::AsyncLoops);
    std::filesystem::last_write_time(vemo::CurrentProjectFile(vemo::ProjectFile::KnownXY),
                                     std::filesystem::file_time_type::clock::now());
    window.UpdateMenus();
    Save(&window, QStringLiteral("project-explorer"));
    for (auto [kind, name] : {std::pair{vemo::ResultTableKind::AsyncLoops, "table-loops"},
                              std::pair{vemo::ResultTableKind::Coordinates3d, "table-coordinates-3d"}})
      if (vemo::ResultTableView* table = window.Explorer()->OpenTable(kind)) {
        table->parentWidget()->showMaximized();
        if (kind == vemo::ResultTableKind::AsyncLoops) table->Grid()->sortByColumn(10, Qt::DescendingOrder);  // S闭合差
        Save(&window, QString::fromLatin1(name));
      }
    window.Mdi()->closeAllSubWindows();
    // A job's worth of documents, cascaded, with the window menu listing them.
    const QString folder = QString::fromStdString(vemo::Project().projectDir) + QLatin1Char('/');
    for (const char* file : {"sample.GPS3dVector", "sample.GPS3dKnownXYZ", "sample.GPS2dKnownXY", "S01.GPS3DVector_S"})
      window.OpenTextDocument(folder + QLatin1String(file));
    Run(window, vemo::CommandId::WindowCascade);
    Save(&window, QStringLiteral("main-cascaded"));
    if (QMenu* menu = MenuTitled(window, u8"窗口(&W)")) {
      menu->popup(window.mapToGlobal(QPoint(window.width() / 2, 60)));
      SaveScreen(&window, QStringLiteral("window-menu"));
      menu->hide();
    }
    // The import dialog with the project's package, the mask and the folder's exports.
    g_DialogName = QStringLiteral("import-dialog");
    Run(window, vemo::CommandId::ImportBaselines);
    // The forms, grabbed by the watcher and cancelled.
    g_DialogName = QStringLiteral("entry-grid");
    Run(window, vemo::CommandId::EnterKnownXY);
    // The 3D grid with a value mistyped (a letter O for a zero): the cell is marked red, and
    // each row's header says whether it reads as X, Y, Z or B, L, H.
    g_DialogName = QStringLiteral("entry-grid-bad-cell");
    g_BeforeSave = [](QDialog* dialog) {
      if (auto* grid = dialog->findChild<vemo::CGridCtrl*>()) {
        grid->item(1, 2)->setText(QStringLiteral("114.2O30"));
        grid->setCurrentCell(3, 0);  // the marked cell unselected, its red in view
        grid->SetUnmodified();  // cancelled without the question
      }
    };
    Run(window, vemo::CommandId::EnterKnownXYZ);
    g_DialogName = QStringLiteral("settings-form");
    Run(window, vemo::CommandId::Settings);
    g_DialogName = QStringLiteral("one-fix-form");
    Run(window, vemo::CommandId::AdjustOneFix);
    g_DialogName = QStringLiteral("file-dialog");
    Run(window, vemo::CommandId::FileOpen);  // the toolkit's own dialog, in Chinese
    Run(window, vemo::CommandId::HelpTopics);
    if (auto* help = window.findChild<vemo::HelpWindow*>()) {
      help->Browser()->setSource(vemo::HelpWindow::Chapter(QStringLiteral("workflow.md")));
      Save(help, QStringLiteral("help-window"));
      help->close();
    }
    window.Mdi()->closeAllSubWindows();
    Run(window, vemo::CommandId::MapWgs84);
    if (QMdiSubWindow* map = window.Mdi()->activeSubWindow()) {
      map->showMaximized();
      Save(&window, QStringLiteral("map-wgs84"), true);
      if (auto* view = qobject_cast<vemo::MapView*>(map->widget())) {
        // The legend, north arrow and scale bar, and the first known point's position under
        // the mouse in the status bar.
        const vemo::CMapPoint& known = view->Document().Points().front();
        const QPointF at = view->ToDevice(known.x, known.y);
        QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &move);
        Save(&window, QStringLiteral("map-legend"));
        for (int i = 0; i < 4; ++i) view->ZoomIn();
        Save(&window, QStringLiteral("map-wgs84-zoomed"));
        view->PreviousView();
      }
      g_DialogName = QStringLiteral("map-print-preview");
      Run(window, vemo::CommandId::FilePrintPreview);  // 打印预览(&V): the map on the printer's page
    }
    Run(window, vemo::CommandId::MapLocal);
    if (QMdiSubWindow* map = window.Mdi()->activeSubWindow()) {
      map->showMaximized();
      Save(&window, QStringLiteral("map-local"));
    }
    vemo::SaveOnExit();
    application.quit();
  });
  const int status = application.exec();
  host.SetMainWindow(nullptr);
  vemo::InstallPlatformHost(nullptr);
  return status;
}
