// The project file (.prj): the configuration read from its bytes, and a project opened from it
// and then saved as the program does at exit.
#include "fuzz/FuzzHarness.h"
#include "project/ProjectDialogs.h"
#include "project/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  if (input.Select(2) == 0) {
    CGPSConfiguration configuration;
    if (vemo::DeserializeConfiguration(input.Rest(), configuration))
      vemo::DeserializeConfiguration(vemo::SerializeConfiguration(configuration), configuration);
    return 0;
  }
  const std::string prj = session.ScratchFile("fz.prj");
  session.Write(prj, input.Rest());
  if (vemo::OpenProject(prj)) session.Run("settings", {});
  vemo::SaveOnExit();
  return 0;
}
