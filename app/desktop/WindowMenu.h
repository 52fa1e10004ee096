// The document windows of the MDI frame and the window menu that lists them.
//
// A surveyor's job opens a dozen reports and maps; each must open fully in view and stay
// readable when arranged:
// - a new window opens maximized when the person works maximized (remembered across
//   sessions in the settings), else in the first free cascade slot: about 7/10 of the area,
//   offset by a title bar's height from the slot before, the offsets wrapping round before
//   the window would leave the area;
// - 层叠 puts every window into those slots (the active one on top), 平铺 splits the area
//   into cells no smaller than a readable report, stacking windows in a cell when there are
//   more windows than cells;
// - the menu lists the open windows numbered (&1 to &9 as accelerators), the active one
//   checked; choosing one activates it. "全部关闭" closes them all, each with unsaved edits
//   asking as closing it alone does.
#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <vector>

class QAction;
class QActionGroup;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace vemo {

class WindowMenu final : public QObject {
  Q_OBJECT

 public:
  // Appends "全部关闭" and the window list to menu, which stays the caller's.
  WindowMenu(QMdiArea* area, QMenu* menu, QObject* parent);

  // Shows a window just added to the area where it is fully visible (see above).
  void Show(QMdiSubWindow* window);
  void Cascade();
  void Tile();
  // Closes every document window; false when one with unsaved edits stayed open.
  bool CloseAll();

  // The entries of the open windows as the menu lists them now, and "全部关闭".
  QList<QAction*> WindowActions() const { return m_WindowActions; }
  QAction* CloseAllAction() const { return m_CloseAll; }
  // Lists the windows again (the menu does so whenever it opens or the active window changes).
  void UpdateList();

  // The geometry of cascade slot `slot` (counted from 0, taken modulo SlotCount) in an area
  // (viewport coordinates); step is the offset between slots in pixels.
  static QRect CascadeSlot(const QRect& area, int slot, int step);
  static int SlotCount(const QRect& area, int step);
  // The cells of a tiling of count windows: window i goes into cell i % cells.size().
  static std::vector<QRect> TileCells(const QRect& area, int count);

 private:
  QRect Area() const;
  int Step() const;
  // The first slot no normal window sits in, or the next one round after the last.
  int FreeSlot() const;
  // The open windows, the active one last (it ends up on top).
  QList<QMdiSubWindow*> ArrangedOrder() const;
  void RememberMaximized(bool maximized);

  QMdiArea* m_Area;
  QMenu* m_Menu;
  QAction* m_CloseAll;
  QAction* m_ListSeparator;
  QActionGroup* m_Group;
  QList<QAction*> m_WindowActions;
  bool m_Maximized;  // as remembered in the settings
};

}  // namespace vemo
