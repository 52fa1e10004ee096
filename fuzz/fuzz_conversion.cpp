// The input files of the coordinate conversions, the zone change and the similarity
// transformations.
#include "fuzz/FuzzHarness.h"

namespace {
struct Case {
  const char* command;
  const char* file;
};
constexpr Case kCases[] = {
    {"xyz2blh", "in.XYZ"},        {"blh2xyz", "in.BLH"},        {"bl2xy", "in.BL"},
    {"xy2bl", "in.XY"},           {"change-zone", "in.XY"},     {"transform-3", "in.XYXY"},
    {"transform-4", "in.XYXY"},   {"transform-6", "in.XYXY"},   {"transform-7", "in.XYZXYZ"},
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const Case& c = kCases[input.Select(static_cast<int>(std::size(kCases)))];
  const std::string path = session.ScratchFile(c.file);
  session.Write(path, input.Rest());
  if (std::string(c.command) == "change-zone")
    session.Run(c.command, {path, "--h1", "0", "--l01", "114", "--h2", "50", "--l02", "117", "--method", "1"});
  else
    session.Run(c.command, {path});
  return 0;
}
