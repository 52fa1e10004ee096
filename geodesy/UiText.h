// Texts shown to the person (messages, questions, captions, progress texts, dialog titles and
// filters) in the interface language. Report and data files never go through here: they keep
// the system's own texts whatever the interface speaks.
//
// Each such text is written once in the source, in Chinese, as UiText(u8"...") where it is
// used or TrNoop(u8"...") in a table that is translated where it is shown. The build collects
// these literals (and the desktop's Tr) into the translation catalogs of i18n/.
#pragma once

#include <functional>
#include <string>

namespace vemo {

// Marks a literal for the catalogs without translating it: for tables whose entries are shown
// later through UiText or the desktop's Tr.
constexpr const char* TrNoop(const char* utf8Literal) { return utf8Literal; }

// The GBK form of utf8Literal in the interface language: the installed catalog's translation,
// or the literal itself when there is no catalog or the catalog lacks it (a missing
// translation shows the Chinese, never an empty text). The pointer stays valid until the
// program ends.
const char* UiText(const char* utf8Literal);

// The interface's catalog: given one of the system's UTF-8 texts, its UTF-8 translation, or
// an empty string when it has none. Installed once by a host that speaks another language
// (the desktop); nullptr removes it. Texts already looked up are forgotten.
using UiCatalog = std::function<std::string(const char* utf8Source)>;
void InstallUiCatalog(UiCatalog catalog);

}  // namespace vemo
