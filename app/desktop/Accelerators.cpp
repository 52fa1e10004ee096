#include "app/desktop/Accelerators.h"

#include <QAction>

namespace vemo {
namespace {

// Function keys F6 to F8 for the checks, which a surveyor runs again and again; letters with
// Ctrl+Shift where plain Ctrl is taken (Ctrl+I is italic, Ctrl+N new); Ctrl+Alt+N for the new
// project because KDE's Ctrl+Shift+N opens a tab; F1 opens the user guide, as everywhere.
constexpr Accelerator kAccelerators[] = {
    {CommandId::NewProject, "Ctrl+Alt+N"},
    {CommandId::OpenProject, "Ctrl+Shift+O"},
    {CommandId::ImportBaselines, "Ctrl+Shift+I"},
    {CommandId::FormIndependent, "Ctrl+Shift+B"},
    {CommandId::SyncLoops, "F6"},
    {CommandId::AsyncLoops, "F7"},
    {CommandId::RepeatBaselines, "F8"},
    {CommandId::Adjust3d, "Ctrl+3"},
    {CommandId::Adjust2d, "Ctrl+2"},
    {CommandId::FitHeights, "Ctrl+1"},
    {CommandId::MapWgs84, "Ctrl+M"},
    {CommandId::MapLocal, "Ctrl+Shift+M"},
    {CommandId::FilePrintPreview, "Ctrl+Shift+P"},
    {CommandId::HelpTopics, "F1"},
};

}  // namespace

std::span<const Accelerator> Accelerators() { return kAccelerators; }

void AssignAccelerators(const std::function<QAction*(CommandId)>& actionOf) {
  for (const Accelerator& accelerator : kAccelerators)
    if (QAction* action = actionOf(accelerator.id))
      action->setShortcut(QKeySequence(QString::fromLatin1(accelerator.key), QKeySequence::PortableText));
}

}  // namespace vemo
