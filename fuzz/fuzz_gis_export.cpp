// The 3D result file as the GIS exports read it (adjusted coordinates and vector residuals),
// into GeoJSON or KML.
#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const bool kml = input.Select(2) == 1;
  session.Write(session.ProjectFile("GPS3dResult"), input.Rest());
  session.Run(kml ? "export-kml" : "export-geojson", {session.ScratchFile(kml ? "out.kml" : "out.geojson")});
  return 0;
}
