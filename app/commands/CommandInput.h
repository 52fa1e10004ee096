// What the desktop asks a person for before it runs a command: a form over the command's
// dialog record, the coordinate file dialog of the conversion engine, or file dialogs whose
// paths become the handler's arguments. The command line takes the same input from the
// command's arguments (its synopsis); the desktop takes it from here, so that no host has to
// read a help text to know which dialogs a command has.
#pragma once

#include <utility>
#include <vector>

#include "project/data/EntryDialogs.h"

namespace vemo {

enum class CommandForm {
  None,                  // no form: the selector, then the paths of the file dialogs
  NewProject,            // the project dialog in creation mode
  Settings,              // the project dialog in settings mode
  DataEntry,             // the entry grid of the row's entry kind
  CoordinateFile,        // the coordinate file dialog of the row's conversion mode
  ImportBaselines,       // the baseline file chooser with "合并文件"
  IndependentBaselines,  // the baseline file chooser with the selection rule
  SyncLoops,             // the chooser of the synchronous baseline files
  HeightModel,           // "选择高程拟合模型"
  OneFix,                // the fixed point and azimuth of the one-point-one-direction network
  ChangeZone,            // the zone change dialog, then the coordinate file dialog of the row's mode
};

// A file asked for with a file dialog; its path becomes an argument of the handler.
struct FileArgument {
  const char* name;              // as the synopsis names it ("FILE", "OUTPUT")
  const char* option = nullptr;  // the option that the path follows ("--approx"), or nullptr
  bool save = false;             // a file the command writes; otherwise an existing file to open
  // UTF-8 description and pattern of each filter, the first naming what is asked for; none:
  // any file, and the dialog's title says the argument's name.
  std::vector<std::pair<const char*, const char*>> filters = {};
  const char* defaultExtension = nullptr;  // given to a saved name that has none
};

struct CommandInput {
  CommandForm form = CommandForm::None;
  EntryKind entry = EntryKind::KnownXYZ;  // the grid of DataEntry
  int coordinateMode = 0;                 // CoordinateFile, ChangeZone: a GPSTransfer::kMode...
  std::vector<FileArgument> files = {};   // None: asked for in this order
};

}  // namespace vemo
