// settings.ini: start-up (the last project), the recently used files, the statistics options
// the 3D adjustment remembers, and the exit that writes the file again.
#include "fuzz/FuzzHarness.h"
#include "geodesy/Settings.h"
#include "project/ProjectDialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const int choice = input.Select(4);
  session.Write(session.SettingsFile(), input.Rest());
  switch (choice) {
    case 0:
      vemo::RestoreLastProject();
      break;
    case 1:
      vemo::CSettingsStore::RecentFiles();
      vemo::CSettingsStore::AddRecentFile(session.ProjectFile("prj"));
      break;
    case 2:
      session.Run("adjust-3d", {});
      break;
    default:
      vemo::SaveOnExit();
      break;
  }
  return 0;
}
