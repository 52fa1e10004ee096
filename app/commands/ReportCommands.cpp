#include "app/commands/Handlers.h"
#include "app/print/ReportPages.h"

namespace vemo {

const char* const kReportPdfHelp =
    "  REPORT    a report or any other text file of the project (GBK), as the text viewer shows it\n"
    "  OUTPUT    the PDF of the printed pages: A4, type of 10-10.5 pt sized so that the widest line\n"
    "            fits (landscape when portrait would take less than 10 pt), a head with the project,\n"
    "            the file and the date, \"第 x 页 / 共 y 页\" at the foot; the text can be searched\n"
    "            and copied. A PDF already there is replaced only once the new one is complete.\n";

int RunReportPdf(CommandContext& context) {
  std::vector<std::string> rest = context.args.Positionals();
  if (rest.size() != 2) throw UsageError("report-pdf takes REPORT OUTPUT");
  return WriteReportPdf(rest[0], rest[1]) ? kCommandDone : kCommandFailed;
}

}  // namespace vemo
