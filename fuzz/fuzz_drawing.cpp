// The readers of the drawing tools: the point and line files of the DXF export, the
// coordinate and line files of the network design, and the coordinate, vector and page files
// of the network map.
#include "fuzz/FuzzHarness.h"
#include "tools/VemoGPSDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const int choice = input.Select(8);
  const std::string bytes = input.Rest();
  const std::string fuzzed = session.ScratchFile("fuzzed.txt");
  const std::string points = session.ProjectFile("GPS3dXYHEFT"), lines = session.ProjectFile("GPS3dVector");
  const std::string plan = session.ProjectDir() + "/design/plan.xyz", planLines = session.ProjectDir() + "/design/plan.line";
  const std::string svg = session.ScratchFile("map.svg");
  switch (choice) {
    case 0:
    case 1:
      session.Write(fuzzed, bytes);
      session.Run("export-dxf", {choice == 0 ? fuzzed : points, choice == 0 ? lines : fuzzed, session.ScratchFile("o.dxf")});
      break;
    case 2:
    case 3:
      session.Write(fuzzed, bytes);
      session.Run("design", {choice == 2 ? fuzzed : plan, choice == 2 ? planLines : fuzzed});
      break;
    case 4:
    case 5: {
      const vemo::MapKind kind = choice == 4 ? vemo::MapKind::Wgs84 : vemo::MapKind::Local;
      session.Write(session.ProjectFile(vemo::CVemoGPSDoc::CoordinateExtension(kind)), bytes);
      session.Run("map", {choice == 4 ? "wgs84" : "local", "--svg", svg});
      break;
    }
    case 6:
      session.Write(lines, bytes);
      session.Run("map", {"wgs84", "--svg", svg});
      break;
    default: {
      const std::string coordinates = session.ProjectFile(vemo::CVemoGPSDoc::CoordinateExtension(vemo::MapKind::Wgs84));
      session.Write(vemo::MapPageFileName(coordinates), bytes);
      session.Run("map", {"wgs84", "--svg", svg});
      break;
    }
  }
  return 0;
}
