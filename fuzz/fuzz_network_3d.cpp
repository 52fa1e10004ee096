// The readers of the 3D networks: the vector and known point files through the 3D and the
// ellipsoidal adjustments and the repeated baselines, the approximate coordinates of the free
// network, and the cofactor files of the stability analysis.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const int choice = input.Select(8);
  const std::string bytes = input.Rest();
  switch (choice) {
    case 0:
    case 1:
      session.Write(session.ProjectFile(choice == 0 ? "GPS3dVector" : "GPS3dKnownXYZ"), bytes);
      session.Run("adjust-3d", {});
      break;
    case 2:
    case 3:
      session.Write(session.ProjectFile(choice == 2 ? "GPS3dVector" : "GPS3dKnownXYZ"), bytes);
      session.Run("adjust-ellipsoid", {});
      break;
    case 4:
      session.Write(session.ProjectFile("GPS3dVector"), bytes);
      session.Run("repeat-baselines", {});
      break;
    case 5:
      session.Write(session.ScratchFile("approximate.xyz"), bytes);
      session.Run("free-network", {"--approx", session.ScratchFile("approximate.xyz")});
      break;
    default: {
      const std::string fuzzed = session.ScratchFile("fuzzed.GPS3dFreeXXQxx");
      const std::string good = session.TestDataFile("freenet/two.GPS3dFreeXXQxx");
      session.Write(fuzzed, bytes);
      // With the congruence test: the campaigns matched by name, the test of the common points.
      session.Run("stability", {"--congruence", choice == 6 ? fuzzed : good, choice == 6 ? good : fuzzed,
                                session.ScratchFile("out.GPS3dFreeD")});
      break;
    }
  }
  return 0;
}
