// The data entry: the rows given to a grid, and the data file a grid starts from.
#include "fuzz/FuzzHarness.h"

namespace {
struct Kind {
  const char* name;
  const char* extension;
};
constexpr Kind kKinds[] = {{"known-xyz", "GPS3dKnownXYZ"}, {"known-xy", "GPS2dKnownXY"}, {"known-h", "GPS1dKnownH"},
                           {"distance", "GPS2dDistance"},  {"azimuth", "GPS2dAzimuth"}};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const int choice = input.Select(2 * static_cast<int>(std::size(kKinds)));
  const Kind& kind = kKinds[choice / 2];
  const std::string rows = session.ScratchFile("rows.txt");
  if (choice % 2 == 0) {
    session.Write(rows, input.Rest());
  } else {
    session.Write(rows, "");
    session.Write(session.ProjectFile(kind.extension), input.Rest());
  }
  session.Run("enter", {kind.name, rows});
  return 0;
}
