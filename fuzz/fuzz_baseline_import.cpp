// The importers of the receiver makers' baseline files, one per baseline type of the project.
#include "fuzz/FuzzHarness.h"
#include "geodesy/BaselinePackages.h"
#include "project/AppState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const int type = input.Select(static_cast<int>(vemo::BaselinePackages().size()));
  vemo::Project().configuration.m_BaselineType = type;
  // The file named with the extension of the type's file dialog filter.
  std::string mask = vemo::BaselineFileMask(type);
  std::string extension = mask.size() > 2 && mask.find('*', 1) == std::string::npos ? mask.substr(1) : ".txt";
  const std::string path = session.ScratchFile("S1" + extension);
  session.Write(path, input.Rest());
  session.Run("import-baselines", {path});
  return 0;
}
