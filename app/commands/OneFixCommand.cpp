// The one-point-one-direction engineering network ("工程网(一点一方向)平差"): the dialog from the
// options, the variant-1 3D adjustment, then the plane adjustment held on the fixed point and
// turned onto the fixed azimuth.
#include <string>

#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust/StatisticsReport.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/DialogArguments.h"
#include "app/commands/Handlers.h"
#include "app/commands/PlaneResults.h"
#include "project/AppState.h"
#include "project/OneFixOneAzimuth.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"

namespace vemo {

const char* const kOneFixHelp =
    "  --point NAME   the fixed point (点名)        --from NAME  start of the fixed azimuth (起点)\n"
    "  --x M, --y M   its plane coordinates         --to NAME    its end (终点)\n"
    "  --h M          its normal height             --azimuth DMS  the fixed azimuth, D.MMSS\n"
    "  --lat DMS, --lon DMS  its latitude and longitude, D.MMSS\n"
    "  --h0 M         normal height of the projection surface\n"
    "Values not given come from the remembered OneFix file, as the dialog prefills them (a value\n"
    "that file does not hold readably must be given). Coordinates lie within 1e8 m, heights\n"
    "within 1e5 m; B within +-90, L from -180 to below 360, the azimuth within +-360 (not\n"
    "included) degrees, minutes and seconds below 60. Writes\n"
    "OneFix, GPS3dKnownXYZ1, GPS2dKnownXY1 and GPS2dAzimuth1, runs the 3D adjustment on them\n"
    "(GPS3dResult1 ...) and the plane adjustment (GPS2dResult1, GPS2dXY1, GPS2dXYEFT1); the\n"
    "project's other files stay as they are.\n"
    "  --legacy-rules   ground distances weighted 1/sd^2 with sd in cm as their file gives it,\n"
    "                   not on the vectors' unit weight, as the original rules did.\n";

namespace {

// The dialog as the options fill it over the remembered values; each option is the field of
// kLabels in its order.
OneFixOneAzimuth OneFixFromArgs(Args& args) {
  OneFixOneAzimuth dialog;
  dialog.OnInitDialog();
  int field = 0;
  auto name = [&](const char* option, std::string& value) {
    if (auto given = args.TakeValue(option)) value = Utf8ToGbk(*given), dialog.Given(field);
    ++field;
  };
  auto number = [&](const char* option, double& value) {
    if (auto given = args.TakeDouble(option)) value = *given, dialog.Given(field);
    ++field;
  };
  name("--point", dialog.m_PointName);
  number("--x", dialog.m_x);
  number("--y", dialog.m_y);
  number("--h", dialog.m_h);
  number("--lat", dialog.m_B);
  number("--lon", dialog.m_L);
  number("--h0", dialog.m_h0);
  name("--from", dialog.m_From);
  name("--to", dialog.m_To);
  number("--azimuth", dialog.m_Azimuth);
  return dialog;
}

}  // namespace

std::vector<std::string> OneFixArguments(const OneFixOneAzimuth& dialog) {
  // %.17g: the handler reads back the very numbers of the dialog.
  auto number = [](double v) { return Format("%.17g", v); };
  return {"--point", GbkToUtf8(dialog.m_PointName), "--x",       number(dialog.m_x),
          "--y",     number(dialog.m_y),            "--h",       number(dialog.m_h),
          "--lat",   number(dialog.m_B),            "--lon",     number(dialog.m_L),
          "--h0",    number(dialog.m_h0),           "--from",    GbkToUtf8(dialog.m_From),
          "--to",    GbkToUtf8(dialog.m_To),        "--azimuth", number(dialog.m_Azimuth)};
}

int RunAdjustOneFix(CommandContext& context) {
  OneFixOneAzimuth dialog = OneFixFromArgs(context.args);
  CGPS2dNetAdjust plane(1);
  TakeLegacyRules(context.args, plane);
  if (!context.args.Positionals().empty()) throw UsageError("adjust-one-fix takes no positional arguments");
  // A value the remembered file did not hold is never taken as zero; refused before any file
  // is written, the remembered one included.
  if (!dialog.CheckRemembered() || !dialog.OnOK()) return kCommandFailed;

  // The 3D adjustment of the "1" files, then the plane adjustment on the plane vectors it
  // reduced: when the 3D step fails, those of an earlier run would pass for this one's.
  CResultFiles writes(kGPS3dNetResults, 1);
  writes.Add({ProjectFile::ApproximateXYZ}, 1);
  writes.Add(kGPS2dNetResults, 1);
  if (!writes.Remove()) return kCommandFailed;
  SetApproximateFileMode(0);
  {
    CGPS3dNetAdjust network(1);
    if (!network.Load() || !network.Adjust()) return writes.Finish(kCommandFailed);
    // The covariance scaling used is stated at the top of the report.
    if (!network.m_ReportPreamble.empty() &&
        !AmendReport(CurrentProjectFile(ProjectFile::Result3d, 1), network.m_ReportPreamble, nullptr))
      return writes.Finish(kCommandFailed);
    Platform().OpenTextDocument(CurrentProjectFile(ProjectFile::Result3d, 1));
  }
  return writes.Finish(RunComputation([&] { return plane.Load(); },
                                      [&] {
                                        const int adjusted = plane.AdjustOneFix();
                                        if (adjusted == 1) ExtractBreakthroughOf(plane);
                                        return adjusted;
                                      },
                                      {CurrentProjectFile(ProjectFile::Result2d, 1)}));
}

}  // namespace vemo
