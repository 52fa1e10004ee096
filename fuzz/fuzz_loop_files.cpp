// The synchronous baseline files (through the loop check and the formation of independent
// baselines) and the loop files of both loop checks (kept and computed).
#include <filesystem>

#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const int choice = input.Select(4);
  const std::string bytes = input.Rest();
  const std::string sync = session.ScratchFile("S1.GPS3DVector_S");
  switch (choice) {
    case 0:
      std::filesystem::remove(session.ProjectFile("GPS3dSyncLoop"));
      session.Write(sync, bytes);
      session.Run("sync-loops", {sync});
      break;
    case 1:
      session.Write(sync, bytes);
      session.Run("form-independent", {sync});
      break;
    case 2:  // the loop file exists and is kept (the safe answer): its loops are computed
      session.Write(session.ProjectFile("GPS3dSyncLoop"), bytes);
      session.Run("sync-loops", {});
      break;
    default:
      session.Write(session.ProjectFile("GPS3dLoop"), bytes);
      session.Run("async-loops", {});
      break;
  }
  return 0;
}
