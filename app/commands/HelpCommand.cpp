#include "app/commands/GlobalOptions.h"
#include "app/commands/Handlers.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/Version.h"

namespace vemo {

int RunHelp(CommandContext& context) {
  std::vector<std::string> rest = context.args.Positionals();
  if (rest.size() > 1) throw UsageError("help takes at most one command name");
  std::string text;
  if (rest.empty()) {
    text = Format("VemoGPS %s\n\n", kVemoVersion) +
           "usage: VemoGPS [--project FILE.prj] [--yes | --no] [--print] COMMAND [ARGUMENTS...]\n\n";
    for (const GlobalOption& o : GlobalOptions()) {
      const std::string option = o.value ? std::string(o.name) + " " + o.value : std::string(o.name);
      text += Format("  %-20s %s\n", option.c_str(), o.help);
    }
    text += "\ncommands:\n";
    for (const auto& c : Commands())
      text += Format("  %-20s %s%s\n", c.name, c.summary, c.needsProject ? " (needs an open project)" : "");
    text += "\nVemoGPS help COMMAND shows the options of one command.\n";
  } else {
    const CommandSpec* c = FindCommand(rest[0]);
    if (!c) throw UsageError("no command '" + rest[0] + "'");
    text = Format("usage: VemoGPS %s %s\n\n%s (%s)%s\n", c->name, c->synopsis, c->summary, c->menuText,
                  c->needsProject ? ", needs an open project" : "");
    if (c->details && *c->details) text += std::string("\n") + c->details;
  }
  // Help is written in UTF-8 source text; the host shows GBK, so convert it once here.
  Platform().ShowText("help", Utf8ToGbk(text));
  return kCommandDone;
}

}  // namespace vemo
