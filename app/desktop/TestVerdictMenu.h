// The verdicts of the adjustments' statistical tests in the result menu ("结果显示(&R)"):
// one entry for the 3D vector network and one for the plane adjustment, each showing the
// verdict of its last statistics report and opening that report when chosen.
#pragma once

class QMenu;

namespace vemo {

class MainWindow;

// Adds the two entries to the window's result menu; their texts are read again each time the
// menu opens. Returns the menu, or nullptr when the window has no result menu.
QMenu* AddTestVerdictMenu(MainWindow& window);

}  // namespace vemo
