// The statistical tests of the adjustment commands (their --alpha0, --alpha, --power and
// --confidence options, remembered per user) and the GIS exports of the adjusted network
// ("export-geojson", "export-kml").
#include <filesystem>

#include "adjust2d/GPS1dHeightTests.h"
#include "adjust2d/GPS2dNetTests.h"
#include "adjust3d/GPS3dCombinedTests.h"
#include "adjust3d/GPS3dNetTests.h"
#include "app/commands/GeoidOption.h"
#include "app/commands/Handlers.h"
#include "app/commands/PlaneResults.h"
#include "app/commands/StatisticsCommands.h"
#include "project/AppState.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/Settings.h"
#include "tools/GisExport.h"

namespace vemo {

const char* const kAdjustTestSynopsis =
    "[--alpha0 PERCENT | --alpha PERCENT] [--power PERCENT] [--confidence PERCENT]";
const char* const kAdjustTestHelp =
    "Besides the result files the adjustment writes a statistics report (GPS3dTest or GPS2dTest):\n"
    "the global model test, data snooping with reliability, and confidence regions.\n"
    "  --alpha0 P       significance of each outlier (w-) test, percent (default 0.1: |w| > 3.29);\n"
    "                   the global test's significance is derived from it and the power\n"
    "  --alpha P        significance of the global test, percent; the outlier tests' is then\n"
    "                   derived from it (the earlier rule: their critical value grows with the\n"
    "                   network). Give one of --alpha0 and --alpha: the level given is fixed\n"
    "  --power P        power of the outlier test, percent (default 80)\n"
    "  --confidence P   probability of the confidence regions, percent (default 95)\n"
    "The levels lie from 1e-10 to 10 (--alpha0) or to 50 (--alpha), the probabilities from 50\n"
    "to 99.9999. Values given are remembered for the next runs once the adjustment succeeded,\n"
    "and so is which level was fixed; the result files do not depend on them.\n";
const char* const kEllipsoidTestHelp =
    "Besides the result file the adjustment writes a statistics report (GPS3dBLHTest): the global\n"
    "model test, data snooping of the vectors with their residuals and reliability, and the\n"
    "frame parameters GPS -> ground with their standard errors. The options are adjust-3d's:\n"
    "  --alpha0 P | --alpha P, --power P, --confidence P   (percent; see help adjust-3d)\n";
const char* const kHeightTestHelp =
    "Besides the result file the fit writes a statistics report (GPS1dTest): the global test and\n"
    "the outlier test and reliability of every known height.\n"
    "  --sigma0 CM      a-priori standard error of a known height's anomaly (levelling, GPS height\n"
    "                   and model error together), from 0.001 to 1000 cm (default 2)\n"
    "  --alpha0 P | --alpha P, --power P, --confidence P   (percent; see help adjust-3d)\n";
const char* const kExportGisHelp =
    "  OUTPUT  the file to write (default: the project's name with .geojson or .kml in its folder)\n"
    "Points and baselines of the last 3D adjustment (GPS3dResult), in WGS-84 longitude and latitude.\n"
    "  --geoid egm96|FILE  add each point's orthometric height on the geoid model (egm96: the\n"
    "        EGM96 grid of proj-data; FILE a GTX or GeoTIFF grid): GeoJSON properties\n"
    "        geoid_undulation_m and orthometric_height_m; in KML the positions' altitudes\n"
    "        become orthometric (KML's altitudes are above sea level) and the description\n"
    "        gives both heights\n";

TestOptions TakeTestOptions(Args& args) {
  TestOptions options;
  std::string refused;
  options.settings = CTestSettings::Remembered(&refused);
  if (!refused.empty()) {
    ShowMessage(Format(T(u8"用户设置文件%s中[Adjustment Tests]的%s无效，改用默认值!"),
                       PathToGbk(CSettingsStore::FilePath()).c_str(), Utf8ToGbk(refused).c_str()),
                AppTitle(), MessageIcon::Warning);
    options.given = true;  // a run that succeeds remembers the defaults in their place
  }
  auto take = [&](const char* name, double& value, bool (*valid)(double), const char* domain) {
    const std::optional<double> percent = args.TakeDouble(name);
    if (!percent) return false;
    if (!valid(*percent / 100.0)) throw UsageError(std::string(name) + " must be " + domain);
    value = *percent / 100.0;
    options.given = true;
    return true;
  };
  const bool alpha0 =
      take("--alpha0", options.settings.alpha0, CTestSettings::ValidAlpha0, "a percentage from 1e-10 to 10");
  const bool alpha =
      take("--alpha", options.settings.alpha, CTestSettings::ValidAlpha, "a percentage from 1e-10 to 50");
  if (alpha0 && alpha)
    throw UsageError("give --alpha0 (the outlier tests' level fixed) or --alpha (the global test's), not both: "
                     "the power derives the other");
  if (alpha0) options.settings.rule = TestLevelRule::FixedAlpha0;
  if (alpha) options.settings.rule = TestLevelRule::FixedAlpha;
  take("--power", options.settings.power, CTestSettings::ValidPower, "a percentage from 50 to 99.9999");
  take("--confidence", options.settings.confidence, CTestSettings::ValidConfidence, "a percentage from 50 to 99.9999");
  return options;
}

int RememberTestOptions(const TestOptions& options, int status) {
  // A settings file that cannot be written keeps the old values; the run itself used these.
  if (status == kCommandDone && options.given) options.settings.Remember();
  return status;
}

namespace {

// After an adjustment: its statistics report when it succeeded, and no stale report of an
// earlier run beside a failed one.
int WithTests(int adjusted, const std::string& resultPath, const std::function<bool()>& writeTests) {
  if (adjusted == 1) {
    writeTests();
  } else {
    std::error_code ignored;
    std::filesystem::remove(TestReportPath(resultPath), ignored);
  }
  return adjusted;
}

}  // namespace

int AdjustGPS3dWithTests(CGPS3dNetAdjust& network, const CTestSettings& settings) {
  return WithTests(network.Adjust(), CurrentProjectFile(ProjectFile::Result3d),
                   [&] { return WriteGPS3dTestReport(network, settings); });
}

int AdjustGPS2dWithTests(CGPS2dNetAdjust& network, const CTestSettings& settings) {
  const int adjusted = network.Adjust();
  if (adjusted == 1) ExtractBreakthroughOf(network);
  return WithTests(adjusted, CurrentProjectFile(ProjectFile::Result2d),
                   [&] { return WriteGPS2dTestReport(network, settings); });
}

int AdjustEllipsoidWithTests(CGPS3dCombinedAdjust& network, const CTestSettings& settings) {
  return WithTests(network.Adjust(), CurrentProjectFile(ProjectFile::Combined3dResult),
                   [&] { return WriteGPS3dCombinedTestReport(network, settings); });
}

double TakeHeightSigma(Args& args) {
  const std::optional<double> cm = args.TakeDouble("--sigma0");
  if (!cm) return kDefaultHeightSigmaCm;
  if (!(*cm >= kLeastHeightSigmaCm && *cm <= kGreatestHeightSigmaCm))
    throw UsageError("--sigma0 must be a standard error from 0.001 to 1000 cm");
  return *cm;
}

int WithHeightTests(int fitted, const CGPS1dHeightFit& fit, const CTestSettings& settings, double sigma0Cm) {
  return WithTests(fitted, CurrentProjectFile(ProjectFile::Result1d),
                   [&] { return WriteGPS1dTestReport(fit, settings, sigma0Cm); });
}

namespace {

int RunExport(CommandContext& context, GisFormat format) {
  const std::optional<std::string> geoidOption = TakeGeoidOption(context.args);
  std::vector<std::string> rest = context.args.Positionals();
  if (rest.size() > 1) throw UsageError("takes at most one OUTPUT");
  const std::string output =
      rest.empty() ? CurrentProjectFile(format == GisFormat::GeoJson ? ProjectFile::GeoJson : ProjectFile::Kml) : rest[0];
  std::unique_ptr<CGeoidModel> geoid;
  if (geoidOption && !(geoid = OpenGeoidModel(*geoidOption))) return kCommandFailed;
  return ExportAdjustedNetwork(format, output, geoid.get()) ? kCommandDone : kCommandFailed;
}

}  // namespace

int RunExportGeoJson(CommandContext& context) { return RunExport(context, GisFormat::GeoJson); }
int RunExportKml(CommandContext& context) { return RunExport(context, GisFormat::Kml); }

}  // namespace vemo
