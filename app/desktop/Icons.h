// The pictures of the desktop: the application's icon and the icons of the commands in the
// menus and on the toolbar.
#pragma once

#include <QIcon>

#include "app/commands/CommandTable.h"

namespace vemo {

// The picture of a command: the icon theme's picture of its freedesktop name (document-new,
// document-print ...) where the theme has one, else the program's own drawing; a null icon
// for a command without a picture. The toolbar's commands always have one.
QIcon CommandIcon(CommandId id);

// The program's own drawing of a command alone, without the theme; null when it has none.
QIcon BundledCommandIcon(CommandId id);

// The application's icon: the installed theme's "vemogps", else the bundled drawing.
QIcon ApplicationIcon();

}  // namespace vemo
