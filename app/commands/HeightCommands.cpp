// GPS height fitting ("GPS高程拟合") on the command line; the model dialog is --model.
#include <string>

#include "adjust2d/GPS1dHeightFit.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"
#include "project/AppState.h"
#include "project/HeightModelDlg.h"

namespace vemo {

const char* const kHeightModelHelp =
    "  --model plane|surface|constant  the model of the height anomaly (选择高程拟合模型):\n"
    "        plane    f1 + f2 B + f3 L (平面模型, the default; at least 3 known heights)\n"
    "        surface  f1 + f2 B + f3 L + f4 B^2 + f5 L^2 + f6 B L (曲面模型; at least 6)\n"
    "        constant f1 (常数模型; at least 1)\n"
    "Reads the known normal heights (GPS1dKnownH) and the geodetic coordinates (GPS3dBLH).\n";

namespace {

// The model dialog filled from --model; the first button when the option is absent.
CHeightModelDlg HeightModelFromArgs(Args& args) {
  CHeightModelDlg dialog;
  if (auto model = args.TakeValue("--model")) {
    static const char* const kNames[] = {"plane", "surface", "constant"};
    int index = -1;
    for (int i = 0; i < 3; ++i)
      if (*model == kNames[i]) index = i;
    if (index < 0) throw UsageError("--model must be plane, surface or constant, not '" + *model + "'");
    dialog.m_Model = index;
  }
  return dialog;
}

// Loads the height data set for the model of the dialog: the files, the known heights that
// have their point, enough of them for the model.
int LoadHeights(CGPS1dHeightFit& fit, const CHeightModelDlg& dialog) {
  return fit.Load() && fit.SelectKnownPoints() && fit.SetModel(dialog.m_Model);
}

}  // namespace

int RunFitHeights(CommandContext& context) {
  const CHeightModelDlg dialog = HeightModelFromArgs(context.args);
  if (!context.args.Positionals().empty()) throw UsageError("fit-heights takes no arguments");
  CGPS1dHeightFit fit;
  return RunComputation([&] { return LoadHeights(fit, dialog); }, [&] { return fit.FitHeights(); },
                        {CurrentProjectFile("GPS1dResult")});
}

}  // namespace vemo
