// The covariance files of the 3D adjustment: the known points' covariances (a weighted datum)
// and the correlated vector clusters, each read by adjust-3d over the sample project.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const int choice = input.Select(2);
  session.Write(session.ProjectFile(choice == 0 ? "GPS3dKnownCov" : "GPS3dCluster"), input.Rest());
  session.Run("adjust-3d", {});
  return 0;
}
