#include "app/desktop/TestVerdictMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "adjust/StatisticsReport.h"
#include "app/desktop/MainWindow.h"
#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "geodesy/FileUtil.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {

namespace {

struct VerdictEntry {
  const char* title;      // UTF-8
  ProjectFile report;  // the statistics report
};
const VerdictEntry kEntries[] = {{TrNoop(u8"三维网统计检验"), ProjectFile::Test3d},
                                 {TrNoop(u8"二维网统计检验"), ProjectFile::Test2d},
                                 {TrNoop(u8"椭球面平差统计检验"), ProjectFile::Combined3dTest},
                                 {TrNoop(u8"高程拟合统计检验"), ProjectFile::Test1d}};

// "三维网统计检验: 全局检验通过，未发现粗差"; without a report "...(尚无检验报告)", disabled.
void Refresh(QAction* action, const VerdictEntry& entry) {
  std::string summary;
  if (Project().projectOpen == 1)
    if (auto text = ReadWholeFile(CurrentProjectFile(entry.report))) summary = TestReportSummary(*text);
  const QString title = Tr(entry.title);
  action->setEnabled(!summary.empty());
  action->setText(summary.empty() ? title + Tr(u8"(尚无检验报告)") : title + QStringLiteral(": ") + FromGbk(summary));
}

}  // namespace

QMenu* AddTestVerdictMenu(MainWindow& window) {
  // The menu of the result commands, found by its commands: its title follows the language.
  QMenu* results = window.MenuOf(CommandId::ShowResult3d);
  if (!results) return nullptr;
  results->addSeparator();
  for (const VerdictEntry& entry : kEntries) {
    QAction* action = results->addAction(Tr(entry.title));
    action->setObjectName(QString::fromLatin1(Extension(entry.report)));
    QObject::connect(action, &QAction::triggered, &window, [&window, &entry] {
      window.OpenTextDocument(QString::fromStdString(CurrentProjectFile(entry.report)));
    });
    QObject::connect(results, &QMenu::aboutToShow, action, [action, &entry] { Refresh(action, entry); });
    Refresh(action, entry);
  }
  return results;
}

}  // namespace vemo
