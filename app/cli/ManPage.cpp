// The manual page of the program, written from the command references.
#include <cstdio>

#include "app/cli/CommandReference.h"
#include "app/commands/GlobalOptions.h"

namespace vemo {
namespace {

// Text for a man page: a hyphen stays the ASCII one that a shell takes ("\-"), a backslash is
// printed as one, a line that would start with a control character is guarded, and every
// character outside ASCII becomes a named glyph, so the page is plain ASCII whatever the
// formatter's input encoding.
std::string Roff(const std::string& text) {
  std::string out;
  bool lineStart = true;
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (lineStart && (byte == '.' || byte == '\'')) out += "\\&";
    lineStart = byte == '\n';
    if (byte < 0x80) {
      if (byte == '\\') out += "\\e";
      else if (byte == '-') out += "\\-";
      else out += static_cast<char>(byte);
      ++i;
      continue;
    }
    // UTF-8: the lead byte says how many continuation bytes follow.
    const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    char32_t code = byte & (length == 4 ? 0x07 : length == 3 ? 0x0F : 0x1F);
    int taken = 1;
    for (; taken < length && i + taken < text.size(); ++taken)
      code = (code << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
    char glyph[16];
    std::snprintf(glyph, sizeof glyph, "\\[u%04X]", static_cast<unsigned>(code));
    out += glyph;
    i += taken;
  }
  return out;
}

std::string Join(const std::vector<std::string>& items, const char* separator) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : separator) + item;
  return out;
}

}  // namespace

std::string ManPage(const std::vector<CommandReference>& commands, const std::string& version) {
  std::string page;
  page += ".\\\" The manual page of VemoGPS, written by the build from the command table: do not edit.\n";
  page += ".TH VEMOGPS 1 \"\" \"VemoGPS " + Roff(version) + "\" \"User Commands\"\n";
  // Ragged right without hyphenation: option names and placeholders are never split or spread.
  page += ".nh\n.ad l\n";
  page += ".SH NAME\nVemoGPS \\- adjustment of GPS control networks for geodetic and engineering surveys\n";
  page += ".SH SYNOPSIS\n.B VemoGPS\n.RI [ FILE.prj ]\n.br\n.B VemoGPS\n";
  page += "[\\fB\\-\\-project\\fR \\fIFILE.prj\\fR] [\\fB\\-\\-yes\\fR | \\fB\\-\\-no\\fR] [\\fB\\-\\-print\\fR] "
          "\\fICOMMAND\\fR [\\fIARGUMENTS\\fR...]\n";
  page += ".SH DESCRIPTION\n"
          "VemoGPS processes GPS control networks: it imports the baselines of receiver software, "
          "checks loop misclosures and repeated baselines against the tolerances of the precision grade, "
          "adjusts 3D vector, 2D, ellipsoidal, one-point-one-direction and free networks, fits heights, "
          "converts and transforms coordinates and draws the network map.\n"
          ".PP\n"
          "Without a command, or with only a project file, it starts the desktop, which opens that project. "
          "With a command it runs headless and needs no display: messages go to standard error, and every "
          "document a command opens is printed as its path on standard output.\n"
          ".PP\n"
          "A project is a folder with a binary project file (.prj) and text files named after the project "
          "with one extension a kind of data; data files and reports are GBK text.\n";
  page += ".SH OPTIONS\n";
  for (const GlobalOption& o : GlobalOptions()) {
    page += o.value ? ".TP\n.BI \"" + Roff(o.name) + " \" " + Roff(o.value) + "\n" : ".TP\n.B " + Roff(o.name) + "\n";
    page += Roff(o.help) + ".\n";
  }
  page += ".SH COMMANDS\n";
  for (const CommandReference& c : commands) {
    page += ".SS " + Roff(c.name) + "\n";
    page += ".B VemoGPS " + Roff(c.name) + "\n";
    if (!c.synopsis.empty()) page += Roff(c.synopsis) + "\n";
    page += ".PP\n" + Roff(c.summary) + ".\n";
    page += "Menu: " + Roff(Join(c.menuTexts, ", ")) + ".\n";
    if (c.needsProject) page += "Needs an open project.\n";
    if (!c.details.empty()) page += ".PP\n.nf\n" + Roff(c.details) + (c.details.back() == '\n' ? "" : "\n") + ".fi\n";
  }
  page += ".SH EXIT STATUS\n"
          ".TP\n.B 0\nThe command completed.\n"
          ".TP\n.B 1\nThe command ended on a failure that its message on standard error describes.\n"
          ".TP\n.B 2\nA usage error, or a command that needs an open project was given none.\n"
          ".TP\n.B 130\nInterrupted (Ctrl\\-C); unfinished results were not written.\n";
  page += ".SH ENVIRONMENT\n"
          ".TP\n.B VEMOGPS_CONFIG_DIR\nThe folder of the per-user settings, in place of the default below.\n"
          ".TP\n.B XDG_CONFIG_HOME\nThe settings are in its folder VemoGPS when set.\n";
  page += ".SH FILES\n"
          ".TP\n.I ~/.config/VemoGPS/settings.ini\n"
          "The per-user settings: the last project and the recently used files.\n";
  page += ".SH EXAMPLES\n.nf\n"
          "VemoGPS new\\-project \\-\\-name demo \\-\\-dir ~/gps/demo \\-\\-grade 3\n"
          "VemoGPS \\-\\-project ~/gps/demo/demo.prj import\\-baselines session1.txt\n"
          "VemoGPS \\-\\-project ~/gps/demo/demo.prj adjust\\-3d\n"
          "VemoGPS help adjust\\-3d\n"
          ".fi\n";
  return page;
}

}  // namespace vemo
