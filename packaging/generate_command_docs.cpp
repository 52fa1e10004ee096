// Writes the manual page and the bash completion of VemoGPS from the command table; the build
// runs it, so neither is kept by hand:
//   generate_command_docs MANPAGE COMPLETION
#include <cstdio>
#include <fstream>

#include "app/cli/CommandReference.h"
#include "geodesy/Version.h"

namespace {

bool Write(const char* path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (out) return true;
  std::fprintf(stderr, "generate_command_docs: cannot write %s\n", path);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: generate_command_docs MANPAGE COMPLETION\n");
    return 2;
  }
  const auto commands = vemo::DescribeCommands(vemo::MenuCommands());
  const bool written = Write(argv[1], vemo::ManPage(commands, vemo::kVemoVersion)) &&
                       Write(argv[2], vemo::BashCompletion(commands));
  return written ? 0 : 1;
}
