// The readers of other adjustment programs' files through their import commands: a DynaML file
// (stations and measurements in one), a DNA station file followed by its measurement file (cut
// at the second "!#=DNA" header), and a gama-local input; the project's files are replaced.
#include <string>

#include "fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vemo::fuzz::Session session;
  vemo::fuzz::Input input(data, size);
  const int choice = input.Select(3);
  const std::string bytes = input.Rest();
  session.host.QueueAnswer(vemo::MessageAnswer::Yes);
  if (choice == 0) {
    const std::string path = session.ScratchFile("net.xml");
    session.Write(path, bytes);
    session.Run("import-dynaml", {path});
  } else if (choice == 1) {
    const size_t cut = bytes.find("!#=DNA", 1);
    const std::string stn = session.ScratchFile("net.stn"), msr = session.ScratchFile("net.msr");
    session.Write(stn, bytes.substr(0, cut));
    session.Write(msr, cut == std::string::npos ? std::string() : bytes.substr(cut));
    session.Run("import-dna", {stn, msr});
  } else {
    const std::string path = session.ScratchFile("net.xml");
    session.Write(path, bytes);
    session.Run("import-gama", {path});
  }
  // The imported network written back out.
  session.Run("export-gama", {session.ScratchFile("out.xml")});
  return 0;
}
