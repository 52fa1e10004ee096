#include "app/desktop/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <vector>

#include "geodesy/Settings.h"
#include "geodesy/UiText.h"
#include "geodesy/Version.h"

namespace vemo {
namespace {

constexpr const char* kContext = "VemoGPS";
constexpr const char* kSettingsSection = "Interface";
constexpr const char* kLanguageKey = "Language";
// The program's English catalog, built from i18n/*.ts into the resources.
constexpr const char* kProgramCatalog = ":/i18n/vemogps_en.qm";

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

std::vector<QPointer<QTranslator>>& Installed() {
  static std::vector<QPointer<QTranslator>> installed;
  return installed;
}

bool Install(QCoreApplication& application, QTranslator* translator) {
  if (!QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  (void)application;
  Installed().emplace_back(translator);
  return true;
}

}  // namespace

bool IsEnglish(const QLocale& locale) { return locale.language() == QLocale::English; }

QString InterfaceLanguageSetting() {
  return QString::fromStdString(CSettingsStore::GetString(kSettingsSection, kLanguageKey, "system"));
}

bool SetInterfaceLanguage(const QString& value) {
  return CSettingsStore::SetString(kSettingsSection, kLanguageKey, value.toStdString());
}

QLocale InterfaceLocale() {
  const QLocale chinese(QLocale::Chinese, QLocale::China);
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const QString setting = InterfaceLanguageSetting().trimmed();
  if (setting.startsWith(QLatin1String("zh"), Qt::CaseInsensitive)) return chinese;
  if (setting.startsWith(QLatin1String("en"), Qt::CaseInsensitive)) return english;
  const QLocale system = QLocale::system();
  if (system.language() == QLocale::Chinese || system.language() == QLocale::C) return chinese;
  return english;
}

int InstallTranslations(QCoreApplication& application, const QLocale& locale, const QString& folder) {
  const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  QLocale::setDefault(locale);
  int installed = 0;
  for (const char* catalog : kCatalogs) {
    auto* translator = new QTranslator(&application);
    // Tries catalog_zh_CN.qm, then catalog_zh.qm, for the locale's UI languages; English has
    // no catalog of the toolkit's (its texts are English), so nothing is found then.
    if (translator->load(locale, QString::fromLatin1(catalog), QStringLiteral("_"), from)) {
      if (Install(application, translator)) ++installed;
    } else {
      delete translator;
    }
  }
  // They complete the Chinese catalog, so they come with it (never a half-translated dialog).
  if (installed > 0 && locale.language() == QLocale::Chinese)
    Install(application, new FileTypeTexts(&application));

  if (IsEnglish(locale)) {
    auto* program = new QTranslator(&application);
    if (program->load(QString::fromLatin1(kProgramCatalog)) && Install(application, program)) {
      // The commands' messages take their texts from the same catalog.
      InstallUiCatalog([](const char* source) {
        return QCoreApplication::translate(kContext, source).toStdString();
      });
    } else {
      delete program;
    }
  }
  return installed;
}

void InstallCommandLineLanguage() {
  if (!IsEnglish(InterfaceLocale())) return;
  static QTranslator* program = new QTranslator;  // lives as long as the program
  if (!program->load(QString::fromLatin1(kProgramCatalog))) return;
  InstallUiCatalog([](const char* source) { return program->translate(kContext, source).toStdString(); });
}

void RemoveTranslations(QCoreApplication& application) {
  for (const QPointer<QTranslator>& translator : Installed()) {
    if (!translator) continue;
    QCoreApplication::removeTranslator(translator);
    if (translator->parent() == &application) delete translator.data();
  }
  Installed().clear();
  InstallUiCatalog(nullptr);
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

QString Tr(const char* utf8Literal) { return QCoreApplication::translate(kContext, utf8Literal); }

QString ApplicationTitle() {
  return Tr(u8"VemoGPS－GPS工程测量网通用平差软件包  V%1").arg(QString::fromLatin1(kVemoVersion));
}

}  // namespace vemo
