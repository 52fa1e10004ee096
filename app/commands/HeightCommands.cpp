// GPS height fitting ("GPS高程拟合") and the transformation parameters ("二维转换参数",
// "一维转换参数") on the command line; the height model dialog is --model.
#include <algorithm>
#include <string>

#include "adjust2d/GPS1dHeightFit.h"
#include "adjust2d/GPS2dParameterEstimation.h"
#include "adjust2d/GPS3dPreparation.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/DialogArguments.h"
#include "app/commands/GeoidOption.h"
#include "app/commands/Handlers.h"
#include "app/commands/StatisticsCommands.h"
#include "project/AppState.h"
#include "project/HeightModelDlg.h"
#include "geodesy/FileUtil.h"

namespace vemo {

const char* const kHeightModelHelp =
    "  --model plane|surface|constant  the model of the height anomaly (选择高程拟合模型):\n"
    "        plane    f1 + f2 B + f3 L (平面模型, the default; at least 3 known heights)\n"
    "        surface  f1 + f2 B + f3 L + f4 B^2 + f5 L^2 + f6 B L (曲面模型; at least 6)\n"
    "        constant f1 (常数模型; at least 1)\n"
    "  --geoid egm96|FILE  fit on a geoid model: its undulation is removed at every point, the\n"
    "        model above fitted to what remains and the undulation restored; egm96 is the EGM96\n"
    "        15' grid of proj-data, FILE a GTX or GeoTIFF grid (a national quasi-geoid, say).\n"
    "        The report names the model and lists the known points' residuals before and after.\n"
    "Reads the known normal heights (GPS1dKnownH) and the geodetic coordinates (GPS3dBLH).\n";
const char* const kHeightParametersHelp =
    "  --model plane|surface|constant, --geoid egm96|FILE  as for fit-heights; with --geoid the\n"
    "        line of Parameter.1d ends with the model's name\n"
    "First computes the WGS-84 coordinates of every point from the vectors (GPS3dKnownXYZ,\n"
    "GPS3dVector) and writes them as GPS3dBLH and GPS3dXYH; then fits the known normal heights\n"
    "and appends the coefficients to Parameter.1d in the project directory.\n";

const char* const kPlaneParametersHelp =
    "First computes the WGS-84 coordinates of every point from the vectors (GPS3dKnownXYZ,\n"
    "GPS3dVector) and writes them as GPS3dBLH, GPS3dXYH and the plane vector files (when the 3D\n"
    "files do not exist, the project's existing plane files are used); then estimates the rotation\n"
    "and scale GPS -> ground from the plane vectors, the ground distances and azimuths, and\n"
    "appends them to Parameter.2d in the project directory.\n";

namespace {

// The values of --model, by the dialog's button.
constexpr const char* kModelNames[] = {"plane", "surface", "constant"};

// The model dialog filled from --model; the first button when the option is absent.
CHeightModelDlg HeightModelFromArgs(Args& args) {
  CHeightModelDlg dialog;
  if (auto model = args.TakeValue("--model")) {
    int index = -1;
    for (int i = 0; i < 3; ++i)
      if (*model == kModelNames[i]) index = i;
    if (index < 0) throw UsageError("--model must be plane, surface or constant, not '" + *model + "'");
    dialog.m_Model = index;
  }
  return dialog;
}

// Loads the height data set for the model of the dialog: the files, the known heights that
// have their point, enough of them for the model, the undulations of a geoid model.
int LoadHeights(CGPS1dHeightFit& fit, const CHeightModelDlg& dialog, const CGeoidModel* geoid) {
  return fit.Load() && fit.SelectKnownPoints() && fit.SetModel(dialog.m_Model) && (!geoid || fit.UseGeoid(*geoid));
}

}  // namespace

std::vector<std::string> HeightModelArguments(const CHeightModelDlg& dialog) {
  return {"--model", kModelNames[std::clamp(dialog.m_Model, 0, 2)]};
}

const char* FitHeightsSynopsis() {
  static const std::string synopsis = std::string("[--model plane|surface|constant] ") + kAdjustTestSynopsis + " [--sigma0 CM] [--geoid egm96|FILE]";
  return synopsis.c_str();
}

const char* FitHeightsHelp() {
  static const std::string help = std::string(kHeightModelHelp) + kHeightTestHelp;
  return help.c_str();
}

const char* HeightParametersSynopsis() {
  static const std::string synopsis = std::string("[--model ...] ") + kAdjustTestSynopsis + " [--sigma0 CM] [--geoid egm96|FILE]";
  return synopsis.c_str();
}

const char* HeightParametersHelp() {
  static const std::string help = std::string(kHeightParametersHelp) + kHeightTestHelp;
  return help.c_str();
}

int RunFitHeights(CommandContext& context) {
  const CHeightModelDlg dialog = HeightModelFromArgs(context.args);
  const TestOptions tests = TakeTestOptions(context.args);
  const double sigma0Cm = TakeHeightSigma(context.args);
  const std::optional<std::string> geoidOption = TakeGeoidOption(context.args);
  if (!context.args.Positionals().empty()) throw UsageError("fit-heights takes no arguments");
  std::unique_ptr<CGeoidModel> geoid;
  if (geoidOption && !(geoid = OpenGeoidModel(*geoidOption))) return kCommandFailed;
  const CResultFiles writes({ProjectFile::Result1d, ProjectFile::Heights1d, ProjectFile::Test1d});
  CGPS1dHeightFit fit;
  const int status = RunComputation(
      [&] {
        return RequireInputs(CommandId::FitHeights, {ProjectFile::KnownH, ProjectFile::BLH3d}) &&
               LoadHeights(fit, dialog, geoid.get());
      },
      [&] { return WithHeightTests(fit.FitHeights(), fit, tests.settings, sigma0Cm); },
      {CurrentProjectFile(ProjectFile::Result1d)}, writes);
  return RememberTestOptions(tests, status);
}

int RunPlaneParameters(CommandContext& context) {
  if (!context.args.Positionals().empty()) throw UsageError("plane-parameters takes no arguments");
  // A project without the 3D files (neither the known points nor the vectors) estimates from
  // the plane files it has. Otherwise the 3D network must be read and prepared: one that fails
  // has said why, and the parameters of older files would pass for its own.
  if (FileExists(CurrentProjectFile(ProjectFile::KnownXYZ)) || FileExists(CurrentProjectFile(ProjectFile::Vector3d))) {
    CGPS3dPreparation network;
    if (!network.Load() || !network.Prepare()) return kCommandFailed;
  }
  CGPS2dParameterEstimation estimation;
  return RunComputation([&] { return estimation.Load(); }, [&] { return estimation.Estimate(); },
                        {DirectoryFileName(Project().projectDir, "Parameter.2d")});
}

int RunHeightParameters(CommandContext& context) {
  const CHeightModelDlg dialog = HeightModelFromArgs(context.args);
  const TestOptions tests = TakeTestOptions(context.args);
  const double sigma0Cm = TakeHeightSigma(context.args);
  const std::optional<std::string> geoidOption = TakeGeoidOption(context.args);
  if (!context.args.Positionals().empty()) throw UsageError("height-parameters takes no arguments");
  std::unique_ptr<CGeoidModel> geoid;
  if (geoidOption && !(geoid = OpenGeoidModel(*geoidOption))) return kCommandFailed;
  CGPS3dPreparation network;
  CGPS1dHeightFit fit;
  // The fit rewrites the height fitting's report: its statistics report follows it.
  const int status =
      RunComputation([&] { return network.Load() && network.Prepare() && LoadHeights(fit, dialog, geoid.get()); },
                     [&] { return WithHeightTests(fit.FitParameters(), fit, tests.settings, sigma0Cm); },
                     {CurrentProjectFile(ProjectFile::Result1d), DirectoryFileName(Project().projectDir, "Parameter.1d")});
  return RememberTestOptions(tests, status);
}

}  // namespace vemo
