// The language of the desktop: Qt's own catalogs (standard dialogs, the MDI system menu, the
// context menus of its widgets) loaded for the interface language before any window is made.
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace vemo {

// The interface language: Chinese (zh_CN) today. This is the one place where a language
// chosen by the user or the locale will be decided.
QLocale InterfaceLocale();

// Loads the toolkit's catalogs for locale from folder (by default Qt's translations folder)
// and installs them on application, which owns them; makes locale the default for the
// widgets (dates in the file dialog, metric units in the page set-up). A catalog that is
// missing or unreadable is left out: the dialogs then speak English and start-up goes on.
// Returns the number of catalogs installed.
int InstallTranslations(QCoreApplication& application, const QLocale& locale, const QString& folder = {});

}  // namespace vemo
