// The language of the desktop: Qt's own catalogs (standard dialogs, the MDI system menu, the
// context menus of its widgets) and the program's catalog of its own texts, loaded for the
// interface language before any window is made.
//
// The program's texts are written in Chinese. Under English the desktop's texts (Tr) and the
// messages of the commands (UiText) come from the English catalog; a text it lacks stays
// Chinese. Reports and data files are the same in both languages.
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace vemo {

// The interface language, decided here only: the "Language" setting of the [Interface]
// section ("zh_CN", "en"; empty or "system" follows the locale), else the user's locale: a
// Chinese locale, and the C/POSIX locale of a bare system, give Chinese; any other English.
QLocale InterfaceLocale();

// The setting's values and the language they name; SetInterfaceLanguage stores one ("system",
// "zh_CN" or "en"), to take effect at the next start. False when settings.ini cannot be written.
QString InterfaceLanguageSetting();
bool SetInterfaceLanguage(const QString& value);

// True when locale speaks English (the program's catalog is used), false for Chinese.
bool IsEnglish(const QLocale& locale);

// Loads the toolkit's catalogs for locale from folder (by default Qt's translations folder)
// and, for English, the program's own catalog; installs them on application, which owns them;
// makes locale the default for the widgets (dates in the file dialog, metric units in the page
// set-up). A catalog that is missing or unreadable is left out: the toolkit's dialogs then speak
// English, the program's texts Chinese, and start-up goes on. Returns the number of the
// toolkit's catalogs installed.
int InstallTranslations(QCoreApplication& application, const QLocale& locale, const QString& folder = {});

// The command line speaks the interface language too: its messages (standard error) come from
// the program's catalog under English. Needs no application object.
void InstallCommandLineLanguage();

// Removes what InstallTranslations installed (the tests switch languages in one process).
void RemoveTranslations(QCoreApplication& application);

// One of the desktop's own texts (a UTF-8 literal written in Chinese) in the interface
// language. Write the literal in the call, Tr(u8"..."), so that the catalogs collect it; a
// text from a table marked with TrNoop is translated the same way.
QString Tr(const char* utf8Literal);

// The title of the program's message boxes in the interface language (the GBK AppTitle of
// the engines names the program in Chinese, with the version).
QString ApplicationTitle();

}  // namespace vemo
