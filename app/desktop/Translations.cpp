#include "app/desktop/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vemo {
namespace {

// The toolkit's catalogs the desktop needs: qtbase holds the texts of the widgets, dialogs and
// menus. The umbrella catalog "qt_" only lists module catalogs (multimedia, declarative...)
// whose windows the desktop never shows, so loading it would cost start-up time for nothing.
constexpr const char* kCatalogs[] = {"qtbase"};

// Texts Qt 6 asks for under a context its Chinese catalog of 6.4 does not know yet (the file
// icon provider was renamed): without them the file dialog's type column says "Folder".
class FileTypeTexts final : public QTranslator {
 public:
  explicit FileTypeTexts(QObject* parent) : QTranslator(parent) {}
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                    int /*n*/) const override {
    static constexpr const char* kTexts[][2] = {
        {"Folder", u8"文件夹"}, {"Drive", u8"驱动器"}, {"File", u8"文件"}, {"%1 File", u8"%1 文件"}};
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
    for (const auto& [english, chinese] : kTexts)
      if (qstrcmp(source, english) == 0) return QString::fromUtf8(chinese);
    return {};
  }
};

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
  // They complete the Chinese catalog, so they come with it (never a half-translated dialog).
  if (installed > 0 && locale.language() == QLocale::Chinese)
    QCoreApplication::installTranslator(new FileTypeTexts(&application));
  return installed;
}

}  // namespace vemo
