// The dialogs under the English interface: every form of the commands opens with no Chinese
// left in its title, labels, buttons, group boxes, choices or grid headings (what the person
// typed, file names and coordinate system names are data and may be Chinese), and the
// messages they raise on opening are English too.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

#include "app/desktop/Translations.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

bool HasCjk(const QString& text) {
  static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
  return text.contains(cjk);
}

// The Chinese texts a form shows, each with where it stands.
QStringList ChineseTexts(QWidget* form) {
  QStringList found;
  auto check = [&found](const QString& where, const QString& text) {
    if (HasCjk(text)) found << where + QStringLiteral(": ") + text;
  };
  check(QStringLiteral("title"), form->windowTitle());
  for (auto* label : form->findChildren<QLabel*>()) check(QStringLiteral("label"), label->text());
  for (auto* button : form->findChildren<QAbstractButton*>()) check(QStringLiteral("button"), button->text());
  for (auto* group : form->findChildren<QGroupBox*>()) check(QStringLiteral("group"), group->title());
  for (auto* combo : form->findChildren<QComboBox*>()) {
    if (combo->objectName() == QStringLiteral("coordinateSystem")) continue;  // names of the project's data
    for (int i = 0; i < combo->count(); ++i) check(QStringLiteral("choice"), combo->itemText(i));
  }
  for (auto* table : form->findChildren<QTableWidget*>())
    for (int c = 0; c < table->columnCount(); ++c)
      if (auto* header = table->horizontalHeaderItem(c)) check(QStringLiteral("heading"), header->text());
  return found;
}

}  // namespace

class EnglishDialogsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_Dir;
  QString m_Project;

 private slots:
  void initTestCase() {
    m_Project = MakeSampleProject(m_Dir.path());
    QVERIFY(QFile::exists(m_Project));
  }

  void cleanup() { RemoveTranslations(*qApp); }

  void everyFormSpeaksEnglish() {
    DesktopScope scope;
    Desktop d;
    QVERIFY(d.Open(m_Project));
    InstallTranslations(*qApp, QLocale(QLocale::English, QLocale::UnitedStates));
    QWidget* parent = &d.window;
    const std::vector<std::pair<const char*, std::function<void()>>> forms = {
        {"known XYZ", [parent] { RunEntryCommand(EntryKind::KnownXYZ, parent); }},
        {"known XY", [parent] { RunEntryCommand(EntryKind::KnownXY, parent); }},
        {"known H", [parent] { RunEntryCommand(EntryKind::KnownH, parent); }},
        {"distances", [parent] { RunEntryCommand(EntryKind::Distance, parent); }},
        {"azimuths", [parent] { RunEntryCommand(EntryKind::Azimuth, parent); }},
        {"new project", [parent] { RunNewProjectCommand(parent); }},
        {"settings", [parent] { RunSettingsCommand(parent); }},
        {"custom precision", [parent] { RunCustomPrecisionDialog(parent); }},
        {"coordinate systems", [parent] { RunCoordinateSystemDialog(parent); }},
        {"import baselines", [parent] { RunImportBaselineDialog(parent); }},
        {"independent baselines", [parent] { RunIndependentBaselineDialog(parent); }},
        {"synchronous loops", [parent] { RunSyncLoopDialog(parent); }},
        {"height model", [parent] { RunHeightModelDialog(parent); }},
        {"one fix", [parent] { RunOneFixDialog(parent); }},
        {"zone change", [parent] { RunChangeZoneDialog(parent); }},
    };
    QStringList chinese;
    for (const auto& [name, run] : forms) {
      ModalWatcher watcher;
      int shown = 0;
      watcher.handler = [&, name = name](QWidget* form) {
        ++shown;
        for (const QString& text : ChineseTexts(form)) chinese << QString::fromLatin1(name) + QStringLiteral(" ") + text;
        static_cast<QDialog*>(form)->reject();
      };
      run();
      QVERIFY2(shown >= 1, name);
      for (const QString& message : watcher.messages)
        if (HasCjk(message)) chinese << QString::fromLatin1(name) + QStringLiteral(" message: ") + message;
    }
    for (const QString& text : chinese) qWarning("untranslated: %s", qPrintable(text));
    QVERIFY2(chinese.isEmpty(), "the texts above are shown in Chinese");
  }
};

VEMO_DESKTOP_TEST(EnglishDialogsTest);

}  // namespace vemo::test

#include "EnglishDialogsTest.moc"
