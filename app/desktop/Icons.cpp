#include "app/desktop/Icons.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace vemo {
namespace {

struct CommandPicture {
  CommandId id;
  const char* themeName;  // freedesktop icon name, or nullptr: always the bundled drawing
  const char* bundled;    // the drawing in the resources (:/icons/NAME.svg), or nullptr
};

// The project and the domain commands have no freedesktop names: their drawings are ours. A
// project is drawn apart from a plain file, so the project commands do not take the theme's
// folder pictures either.
const CommandPicture kPictures[] = {
    {CommandId::NewProject, nullptr, "project-new"},
    {CommandId::OpenProject, nullptr, "project-open"},
    {CommandId::FileNew, "document-new", "document-new"},
    {CommandId::FileOpen, "document-open", "document-open"},
    {CommandId::FileSave, "document-save", "document-save"},
    {CommandId::FileSaveAs, "document-save-as", "document-save"},
    {CommandId::FilePrint, "document-print", "document-print"},
    {CommandId::FilePrintPreview, "document-print-preview", "document-print"},
    {CommandId::AppExit, "application-exit", nullptr},
    {CommandId::ImportBaselines, "document-import", nullptr},
    {CommandId::Adjust3d, nullptr, "adjust-3d"},
    {CommandId::AdjustEllipsoid, nullptr, "adjust-3d"},
    {CommandId::Adjust2d, nullptr, "adjust-2d"},
    {CommandId::AdjustOneFix, nullptr, "adjust-2d"},
    {CommandId::FitHeights, nullptr, "fit-heights"},
    {CommandId::HeightParameters, nullptr, "fit-heights"},
    {CommandId::Settings, "document-properties", "settings"},
    {CommandId::SyncLoops, nullptr, "sync-loops"},
    {CommandId::AsyncLoops, nullptr, "async-loops"},
    {CommandId::RepeatBaselines, nullptr, "repeat-baselines"},
    {CommandId::MapWgs84, nullptr, "map-wgs84"},
    {CommandId::MapLocal, nullptr, "map-local"},
    {CommandId::HelpTopics, "help-contents", nullptr},
    {CommandId::About, "help-about", "help-about"},
};

const CommandPicture* PictureOf(CommandId id) {
  for (const CommandPicture& p : kPictures)
    if (p.id == id) return &p;
  return nullptr;
}

// A drawing of the resources rendered at each size of menus and toolbars at every scale, so
// that every size is drawn sharp rather than scaled from another; rendered with the SVG
// library the program links, so no plugin lookup stands between a button and its picture.
QIcon Drawing(const char* name) {
  static QHash<QString, QIcon> cache;
  const QString key = QString::fromLatin1(name);
  auto it = cache.find(key);
  if (it != cache.end()) return *it;
  QIcon icon;
  QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(key));
  if (renderer.isValid()) {
    for (int size : {16, 20, 22, 24, 32, 48, 64, 96, 128, 256}) {
      QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      QPainter painter(&image);
      renderer.render(&painter);
      painter.end();
      icon.addPixmap(QPixmap::fromImage(image));
    }
  }
  cache.insert(key, icon);
  return icon;
}

}  // namespace

QIcon BundledCommandIcon(CommandId id) {
  const CommandPicture* picture = PictureOf(id);
  return picture && picture->bundled ? Drawing(picture->bundled) : QIcon();
}

QIcon CommandIcon(CommandId id) {
  const CommandPicture* picture = PictureOf(id);
  if (!picture) return QIcon();
  const QIcon bundled = BundledCommandIcon(id);
  if (!picture->themeName) return bundled;
  // A theme without the name (or no theme at all) gives the bundled drawing, never a blank.
  return QIcon::fromTheme(QString::fromLatin1(picture->themeName), bundled);
}

QIcon ApplicationIcon() { return QIcon::fromTheme(QStringLiteral("vemogps"), Drawing("vemogps")); }

}  // namespace vemo
