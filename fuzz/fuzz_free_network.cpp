// The input files of the free network (the solution, its cofactors and the datum matrix that
// the 3D adjustment writes and the person may edit): one of the three fuzzed, the other two
// those of a small sound network, then the transformation and its five result files.
#include "adjust3d/GPS3dFreeNetwork.h"
#include "fuzz/FuzzHarness.h"
#include "geodesy/FileUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const char* const kinds[] = {"GPS3dFreeXXInput", "GPS3dFreeQxxInput", "GPS3dFreeGxxInput"};
  const int choice = input.Select(3);
  for (int k = 0; k < 3; ++k) {
    if (k == choice) {
      session.Write(session.ProjectFile(kinds[k]), input.Rest());
    } else {
      const std::string seed = session.TestDataFile(std::string("freenet/net.") + kinds[k]);
      session.Write(session.ProjectFile(kinds[k]), vemo::ReadWholeFile(seed).value_or(""));
    }
  }
  vemo::CGPS3dFreeNetwork network;
  if (network.Load()) network.Compute();
  return 0;
}
