// The keyboard accelerators of the main road of a job: project, import, checks, adjustments,
// map and print. The document commands keep the platform's standard keys (new, open, save,
// print); these are chosen so that none is a standard key of Qt on any desktop, none is a key
// of the edit menu or the text and map views, and the three adjustments read as their
// dimension (Ctrl+3 the 3D network, Ctrl+2 the 2D one, Ctrl+1 the heights).
#pragma once

#include <QKeySequence>
#include <functional>
#include <span>

#include "app/commands/CommandTable.h"

class QAction;

namespace vemo {

struct Accelerator {
  CommandId id;
  const char* key;  // in QKeySequence's portable text ("Ctrl+Shift+I")
};

std::span<const Accelerator> Accelerators();

// Sets each accelerator on the action of its command (nullptr actions are skipped), so that
// the menus show it.
void AssignAccelerators(const std::function<QAction*(CommandId)>& actionOf);

}  // namespace vemo
