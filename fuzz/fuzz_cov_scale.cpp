// GPS3dCovScale: the covariance scaling that the readers of the vectors apply, through the 3D
// adjustment (sessions, statement, statistics report with its variance components) and the
// ellipsoidal adjustment.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const int choice = input.Select(3);
  session.Write(session.ProjectFile("GPS3dCovScale"), input.Rest());
  if (choice == 0) session.Run("adjust-3d", {});
  else if (choice == 1) session.Run("adjust-3d", {"--vce-apply"});
  else session.Run("adjust-ellipsoid", {});
  return 0;
}
