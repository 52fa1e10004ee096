// Drives the desktop through its menu actions on a project and saves a PNG of each window:
//   desktop_screenshots --project FILE.prj --out DIR
// The main window after the 3D and 2D adjustments with their reports, a data-entry grid, the
// project settings and one-point-one-direction forms, the two network maps (the WGS-84 one
// also zoomed in on its middle, and its print preview). Message boxes that come up are answered with their default
// button and printed on standard error, so a run never waits for a person.
#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/commands/CommandTable.h"
#include "app/desktop/DesktopHost.h"
#include "app/desktop/MainWindow.h"
#include "app/desktop/MapView.h"
#include "app/desktop/TextView.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"

namespace {

QString g_Out;
// The name under which the next dialog that opens is saved (it is then cancelled).
QString g_DialogName = QStringLiteral("dialog");

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
    Run(window, vemo::CommandId::Adjust3d);
    Save(&window, QStringLiteral("main-3d-report"), true);
    Run(window, vemo::CommandId::Adjust2d);
    Save(&window, QStringLiteral("main-2d-report"));
    // The forms, grabbed by the watcher and cancelled.
    g_DialogName = QStringLiteral("entry-grid");
    Run(window, vemo::CommandId::EnterKnownXY);
    g_DialogName = QStringLiteral("settings-form");
    Run(window, vemo::CommandId::Settings);
    g_DialogName = QStringLiteral("one-fix-form");
    Run(window, vemo::CommandId::AdjustOneFix);
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
