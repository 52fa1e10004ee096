// The readers of the plane and height networks: the files of the 2D adjustment, the height
// fitting and its parameters, the plane parameters, the one-point-one-direction network and
// the tunnel files of the breakthrough estimate, and the point pairs whose relative precision
// the plane report gives.
#include "fuzz/FuzzHarness.h"

namespace {
struct Case {
  const char* extension;
  const char* command;
};
constexpr Case kCases[] = {
    {"GPS2dVector", "adjust-2d"},   {"GPS2dKnownXY", "adjust-2d"},    {"GPS2dDistance", "adjust-2d"},
    {"GPS2dAzimuth", "adjust-2d"},  {"GPS3dXYH", "adjust-2d"},        {"gti", "adjust-2d"},
    {"GPS1dKnownH", "fit-heights"}, {"GPS3dBLH", "fit-heights"},      {"GPS1dKnownH", "height-parameters"},
    {"GPS2dKnownXY", "plane-parameters"}, {"OneFix", "adjust-one-fix"}, {"gtt", "breakthrough"},
    {"GPS2dRel", "adjust-2d"},
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const Case& c = kCases[input.Select(static_cast<int>(std::size(kCases)))];
  session.Write(session.ProjectFile(c.extension), input.Rest());
  session.Run(c.command, {});
  return 0;
}
