#include "app/desktop/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vemo {
namespace {

// The toolkit's catalogs, in the order they are asked: the widgets' own strings. The
// umbrella catalog "qt_" is only a list of module catalogs (multimedia, declarative...) the
// desktop never shows, so loading it would cost start-up time for nothing.
constexpr const char* kCatalogs[] = {"qtbase"};

}  // namespace

QLocale InterfaceLocale() { return QLocale(QLocale::Chinese, QLocale::China); }

int InstallTranslations(QCoreApplication& application, const QLocale& locale, const QString& folder) {
  const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  QLocale::setDefault(locale);
  int installed = 0;
  for (const char* catalog : kCatalogs) {
    auto* translator = new QTranslator(&application);
    // Tries catalog_zh_CN.qm, then catalog_zh.qm, for the locale's UI languages.
    if (translator->load(locale, QString::fromLatin1(catalog), QStringLiteral("_"), from) &&
        QCoreApplication::installTranslator(translator)) {
      ++installed;
    } else {
      delete translator;
    }
  }
  return installed;
}

}  // namespace vemo
