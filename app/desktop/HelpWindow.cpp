#include "app/desktop/HelpWindow.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QRegularExpression>
#include <QStyle>
#include <QToolBar>

#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"

namespace vemo {
namespace {

// Where the guide's files live among the program's resources (docs/guide in the repository).
constexpr char kGuideRoot[] = "qrc:/guide/";
// Pictures wider than this many pixels are scaled down to it.
constexpr int kPictureWidth = 760;

}  // namespace

GuideBrowser::GuideBrowser(QWidget* parent) : QTextBrowser(parent) {
  setOpenExternalLinks(true);
  document()->setDocumentMargin(16);
}

QVariant GuideBrowser::loadResource(int type, const QUrl& name) {
  QVariant resource = QTextBrowser::loadResource(type, name);
  if (type != QTextDocument::ImageResource || !resource.isValid()) return resource;
  QImage picture;
  if (resource.canConvert<QByteArray>()) picture.loadFromData(resource.toByteArray());
  if (picture.isNull() || picture.width() <= kPictureWidth) return resource;
  return picture.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
}

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(Tr(u8"VemoGPS 用户指南"));
  m_Browser = new GuideBrowser(this);
  setCentralWidget(m_Browser);

  m_Contents = new QListWidget(this);
  for (const auto& [title, file] : Chapters()) {
    auto* item = new QListWidgetItem(title, m_Contents);
    item->setData(Qt::UserRole, Chapter(file));
  }
  auto* dock = new QDockWidget(Tr(u8"目录"), this);
  dock->setObjectName(QStringLiteral("HelpContents"));
  dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  dock->setWidget(m_Contents);
  addDockWidget(Qt::LeftDockWidgetArea, dock);
  m_Contents->setSpacing(2);
  // A click and the Enter key open the chapter; a style that activates on a single click sends
  // both, and the second must not add the chapter to the history again.
  const auto open = [this](QListWidgetItem* item) {
    const QUrl chapter = item->data(Qt::UserRole).toUrl();
    if (chapter != m_Browser->source()) m_Browser->setSource(chapter);
  };
  connect(m_Contents, &QListWidget::itemActivated, this, open);
  connect(m_Contents, &QListWidget::itemClicked, this, open);

  QToolBar* bar = addToolBar(Tr(u8"导航"));
  bar->setObjectName(QStringLiteral("HelpNavigation"));
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), Tr(u8"后退"), m_Browser,
                                 &QTextBrowser::backward);
  back->setShortcut(QKeySequence::Back);
  back->setEnabled(false);
  QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), Tr(u8"前进"), m_Browser,
                                    &QTextBrowser::forward);
  forward->setShortcut(QKeySequence::Forward);
  forward->setEnabled(false);
  bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), Tr(u8"首页"), m_Browser, &QTextBrowser::home);
  connect(m_Browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(m_Browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(m_Browser, &QTextBrowser::sourceChanged, this, &HelpWindow::SelectCurrentChapter);

  m_Browser->setSource(Home());
  resize(1100, 760);
}

HelpWindow* HelpWindow::Show(QWidget* owner) {
  auto* window = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
  if (!window) window = new HelpWindow(owner);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

QUrl HelpWindow::Home() { return Chapter(QStringLiteral("README.md")); }

QUrl HelpWindow::Chapter(const QString& file) { return QUrl(QLatin1String(kGuideRoot) + file); }

std::vector<std::pair<QString, QString>> HelpWindow::Chapters() {
  // The index's list of chapters is the table of contents: "- [title](file.md)" lines.
  QFile index(QStringLiteral(":/guide/README.md"));
  std::vector<std::pair<QString, QString>> chapters;
  if (!index.open(QIODevice::ReadOnly)) return chapters;
  static const QRegularExpression entry(QStringLiteral(R"(^\s*(?:[-*]|\d+\.)\s+\[([^\]]+)\]\(([^)#\s]+\.md)\))"),
                                        QRegularExpression::MultilineOption);
  const QString text = QString::fromUtf8(index.readAll());
  for (auto match = entry.globalMatch(text); match.hasNext();) {
    const QRegularExpressionMatch m = match.next();
    chapters.emplace_back(m.captured(1), m.captured(2));
  }
  return chapters;
}

void HelpWindow::SelectCurrentChapter() {
  const QString current = m_Browser->source().fileName();
  for (int i = 0; i < m_Contents->count(); ++i) {
    QListWidgetItem* item = m_Contents->item(i);
    if (item->data(Qt::UserRole).toUrl().fileName() == current) {
      m_Contents->setCurrentItem(item);
      return;
    }
  }
  m_Contents->clearSelection();
}

}  // namespace vemo
