#include "app/desktop/WindowMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "geodesy/Settings.h"

namespace vemo {
namespace {

// Where the choice to work maximized is remembered.
constexpr const char* kSettingsSection = "Desktop";
constexpr const char* kMaximizedKey = "Maximized Windows";

// A cascaded window takes this share of the area in each direction, and never less than a
// report needs to be read (unless the area itself is smaller).
constexpr double kCascadeShare = 0.7;
constexpr int kReadableWidth = 480, kReadableHeight = 300;
// The smallest cell of a tiling: about 40 columns and 10 lines of a report.
constexpr int kTileWidth = 360, kTileHeight = 220;

QSize CascadeSize(const QRect& area) {
  const int width = std::max(static_cast<int>(area.width() * kCascadeShare), kReadableWidth);
  const int height = std::max(static_cast<int>(area.height() * kCascadeShare), kReadableHeight);
  return {std::min(width, area.width()), std::min(height, area.height())};
}

// The title a window has in the list: its caption with the modified mark resolved, the
// ampersands of a file name kept as text.
QString ListTitle(const QMdiSubWindow* window) {
  QString title = window->windowTitle();
  title.replace(QStringLiteral("[*]"), window->isWindowModified() ? QStringLiteral("*") : QString());
  title.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return title;
}

}  // namespace

WindowMenu::WindowMenu(QMdiArea* area, QMenu* menu, QObject* parent)
    : QObject(parent), m_Area(area), m_Menu(menu), m_Group(new QActionGroup(this)) {
  m_Maximized = CSettingsStore::GetInt(kSettingsSection, kMaximizedKey, 0) != 0;
  m_Group->setExclusive(true);
  menu->addSeparator();
  m_CloseAll = menu->addAction(Tr(u8"全部关闭(&L)"));
  m_CloseAll->setObjectName(QStringLiteral("closeAll"));
  m_CloseAll->setStatusTip(Tr(u8"关闭所有窗口，未保存的修改逐个询问"));
  connect(m_CloseAll, &QAction::triggered, this, [this] { CloseAll(); });
  m_ListSeparator = menu->addSeparator();
  connect(menu, &QMenu::aboutToShow, this, &WindowMenu::UpdateList);
  connect(area, &QMdiArea::subWindowActivated, this, &WindowMenu::UpdateList);
  UpdateList();
}

QRect WindowMenu::Area() const { return m_Area->viewport()->rect(); }

int WindowMenu::Step() const {
  // One title bar down and across, so that each caption of a cascade can be read and clicked.
  return std::max(20, m_Area->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, m_Area));
}

int WindowMenu::SlotCount(const QRect& area, int step) {
  const QSize size = CascadeSize(area);
  step = std::max(step, 1);
  return 1 + std::max(0, std::min((area.width() - size.width()) / step, (area.height() - size.height()) / step));
}

QRect WindowMenu::CascadeSlot(const QRect& area, int slot, int step) {
  const int k = std::max(slot, 0) % SlotCount(area, step);
  return QRect(area.topLeft() + QPoint(k * step, k * step), CascadeSize(area));
}

std::vector<QRect> WindowMenu::TileCells(const QRect& area, int count) {
  if (count <= 0 || area.isEmpty()) return {};
  const int maxColumns = std::max(1, area.width() / kTileWidth);
  const int maxRows = std::max(1, area.height() / kTileHeight);
  const int columns = std::min(maxColumns, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count)))));
  const int rows = std::min(maxRows, (count + columns - 1) / columns);
  // No empty cell: the last row of a grid that is not full has fewer, wider cells.
  const int total = std::min(count, columns * rows);
  std::vector<QRect> cells;
  for (int r = 0; r < rows; ++r) {
    const int top = area.top() + area.height() * r / rows, bottom = area.top() + area.height() * (r + 1) / rows;
    const int inRow = r == rows - 1 ? total - columns * (rows - 1) : columns;
    for (int c = 0; c < inRow; ++c) {
      const int left = area.left() + area.width() * c / inRow, right = area.left() + area.width() * (c + 1) / inRow;
      cells.emplace_back(QPoint(left, top), QPoint(right - 1, bottom - 1));
    }
  }
  return cells;
}

int WindowMenu::FreeSlot() const {
  const QRect area = Area();
  const int step = Step();
  const int slotCount = SlotCount(area, step);
  int open = 0;
  std::vector<bool> taken(static_cast<size_t>(slotCount), false);
  for (QMdiSubWindow* window : m_Area->subWindowList()) {
    if (window->isHidden()) continue;
    ++open;
    if (window->isMaximized() || window->isMinimized()) continue;
    for (int k = 0; k < slotCount; ++k)
      if (window->pos() == CascadeSlot(area, k, step).topLeft()) taken[static_cast<size_t>(k)] = true;
  }
  for (int k = 0; k < slotCount; ++k)
    if (!taken[static_cast<size_t>(k)]) return k;
  return open % slotCount;
}

void WindowMenu::Show(QMdiSubWindow* window) {
  connect(window, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
    if (now & Qt::WindowMaximized) RememberMaximized(true);
    else if ((before & Qt::WindowMaximized) && !(now & Qt::WindowMinimized)) RememberMaximized(false);
  });
  if (m_Maximized) {
    window->showMaximized();
    return;
  }
  // The slot is taken before the window shows, so that it does not count itself.
  const QRect geometry = CascadeSlot(Area(), FreeSlot(), Step());
  window->show();
  window->setGeometry(geometry);
}

QList<QMdiSubWindow*> WindowMenu::ArrangedOrder() const {
  QList<QMdiSubWindow*> windows;
  QMdiSubWindow* active = m_Area->activeSubWindow();
  for (QMdiSubWindow* window : m_Area->subWindowList(QMdiArea::CreationOrder))
    if (!window->isHidden() && !window->isMinimized() && window != active) windows << window;
  if (active && !active->isHidden() && !active->isMinimized()) windows << active;
  return windows;
}

void WindowMenu::Cascade() {
  const QRect area = Area();
  const int step = Step();
  const QList<QMdiSubWindow*> windows = ArrangedOrder();
  for (int i = 0; i < windows.size(); ++i) {
    if (windows[i]->isMaximized()) windows[i]->showNormal();
    windows[i]->setGeometry(CascadeSlot(area, i, step));
    windows[i]->raise();
  }
  if (!windows.isEmpty()) m_Area->setActiveSubWindow(windows.back());
}

void WindowMenu::Tile() {
  const QList<QMdiSubWindow*> windows = ArrangedOrder();
  const std::vector<QRect> cells = TileCells(Area(), static_cast<int>(windows.size()));
  for (int i = 0; i < windows.size(); ++i) {
    if (windows[i]->isMaximized()) windows[i]->showNormal();
    windows[i]->setGeometry(cells[static_cast<size_t>(i) % cells.size()]);
    windows[i]->raise();
  }
  if (!windows.isEmpty()) m_Area->setActiveSubWindow(windows.back());
}

bool WindowMenu::CloseAll() {
  m_Area->closeAllSubWindows();
  const QList<QMdiSubWindow*> left = m_Area->subWindowList();
  const bool closed = std::none_of(left.begin(), left.end(), [](QMdiSubWindow* w) { return !w->isHidden(); });
  UpdateList();
  return closed;
}

void WindowMenu::UpdateList() {
  // An entry may be the one whose choice brought us here: it goes when its signal is done.
  for (QAction* action : m_WindowActions) {
    m_Menu->removeAction(action);
    m_Group->removeAction(action);
    action->deleteLater();
  }
  m_WindowActions.clear();
  // The current window is the active one also while the frame itself is not active.
  QMdiSubWindow* active = m_Area->currentSubWindow();
  int number = 0;
  for (QMdiSubWindow* window : m_Area->subWindowList(QMdiArea::CreationOrder)) {
    if (window->isHidden()) continue;
    ++number;
    const QString text = (number <= 9 ? QStringLiteral("&%1 %2") : QStringLiteral("%1 %2")).arg(number).arg(ListTitle(window));
    auto* action = new QAction(text, this);
    action->setCheckable(true);
    action->setChecked(window == active);
    m_Group->addAction(action);
    QPointer<QMdiSubWindow> target(window);
    connect(action, &QAction::triggered, this, [this, target] {
      if (!target) return;
      if (target->isMinimized()) target->showNormal();
      m_Area->setActiveSubWindow(target);
      if (QWidget* view = target->widget()) view->setFocus();
    });
    m_Menu->addAction(action);
    m_WindowActions << action;
  }
  m_ListSeparator->setVisible(number > 0);
  m_CloseAll->setEnabled(number > 0);
}

void WindowMenu::RememberMaximized(bool maximized) {
  if (maximized == m_Maximized) return;
  m_Maximized = maximized;
  CSettingsStore::SetInt(kSettingsSection, kMaximizedKey, maximized ? 1 : 0);
}

}  // namespace vemo
