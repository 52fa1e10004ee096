// The statistical tests of the adjustment commands (their --alpha0, --alpha, --power and
// --confidence options, remembered per user) and the GIS exports of the adjusted network
// ("export-geojson", "export-kml").
#include <filesystem>

#include "adjust2d/GPS1dHeightTests.h"
#include "adjust2d/GPS2dNetTests.h"
#include "adjust2d/GPS2dVarianceComponents.h"
#include "adjust3d/GPS3dCombinedTests.h"
#include "adjust3d/GPS3dNetTests.h"
#include "adjust3d/GPS3dVarianceComponents.h"
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
#include "geodesy/UiText.h"
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
    ShowMessage(Format(UiText(u8"用户设置文件%s中[Adjustment Tests]的%s无效，改用默认值!"),
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

const char* const kVceHelp3d =
    "  --vce session    estimate a variance factor for the covariances of each session (the\n"
    "                   synchronous baseline file a vector came from) by iterated variance\n"
    "                   component estimation, with its standard error and a test of factor 1,\n"
    "                   in the statistics report; a correlated cluster counts whole with its\n"
    "                   first vector's session, weighted known points are one group more\n"
    "  --vce-apply      estimate the factors, multiply each session's covariances by its factor\n"
    "                   and adjust with them (the reports state the factors); implies --vce\n"
    "A file <project>.GPS3dCovScale, when there is one, scales the vectors' covariances as they\n"
    "are read, per project (session *) and per session: SESSION scale centring_h_mm\n"
    "centring_v_mm floor_mm floor_ppm; every report computed from them says so at its top.\n";
const char* const kVceHelp2d =
    "  --vce kind       estimate a variance factor for each kind of observation (plane vectors,\n"
    "                   ground distances, ground azimuths), with its standard error and a test\n"
    "                   of factor 1, in the statistics report\n"
    "  --vce-apply      estimate the factors, apply them to the weights and adjust again (the\n"
    "                   reports state the factors); implies --vce\n";

VceOptions TakeVceOptions(Args& args, const char* grouping) {
  VceOptions options;
  if (const std::optional<std::string> value = args.TakeValue("--vce")) {
    if (*value != grouping) throw UsageError(std::string("--vce takes ") + grouping);
    options.estimate = true;
  }
  if (args.TakeFlag("--vce-apply")) options.estimate = options.apply = true;
  return options;
}

namespace {

// The significance of the tests of the variance factors: the global test's, as the run sets it.
double ComponentTestLevel(int redundancy, const CTestSettings& settings) {
  const CSnoopingLimits limits = SnoopingLimits(redundancy, settings);
  return limits.derived ? limits.alpha : settings.alpha;
}

void ComponentsFailed() {
  ShowMessage(UiText(u8"方差分量估计失败(平差不收敛或法方程奇异)，未输出结果!"), AppTitle(), MessageIcon::Warning);
}

}  // namespace

int AdjustGPS3dWithTests(CGPS3dNetAdjust& network, const CTestSettings& settings, const VceOptions& vce) {
  CVarianceComponents components;
  bool estimated = false;
  if (vce.estimate) {
    // The estimation's groups take in the clusters and the weighted known points.
    if (!network.ReadCovarianceFiles()) return 0;
    const CVectorGroups groups = VarianceGroups(network);
    const int redundancy = 3 * (network.m_VectorCount - (network.m_PointCount - network.m_KnownPointCount));
    estimated = EstimateGPS3dVarianceComponents(network, groups, ComponentTestLevel(redundancy, settings), components);
    if (estimated && vce.apply) ApplyVarianceFactors(network, groups, components);
  }
  int adjusted = network.Adjust();
  if (adjusted == 1 && vce.estimate && !estimated) {
    ComponentsFailed();
    adjusted = 0;
  }
  const std::string resultPath = CurrentProjectFile(ProjectFile::Result3d);
  return WithTests(adjusted, resultPath, [&] {
    if (!WriteGPS3dTestReport(network, settings)) return false;
    const std::vector<std::string>& top = network.m_ReportPreamble;
    if (top.empty() && !vce.estimate) return true;
    const char* dash =
        "------------------------------------------------------------------------------------------------\n";
    return AmendReport(resultPath, top, nullptr) &&
           AmendReport(TestReportPath(resultPath), top, [&](CReportFile& f) {
             if (vce.estimate) WriteVarianceComponents(f, dash, components, T(u8"按时段"), vce.apply);
           });
  });
}

int AdjustGPS2dWithTests(CGPS2dNetAdjust& network, const CTestSettings& settings, const VceOptions& vce) {
  if (!vce.estimate) {
    const int adjusted = network.Adjust();
    if (adjusted == 1) ExtractBreakthroughOf(network);
    return WithTests(adjusted, CurrentProjectFile(ProjectFile::Result2d),
                     [&] { return WriteGPS2dTestReport(network, settings); });
  }
  // The plane model is not linear: the factors are estimated once the network is known to
  // adjust (its refusals said by the adjustment itself), then applied to a fresh copy of the
  // data read.
  const CReadGPS2dVector given = network;
  int adjusted = network.Adjust();
  CVarianceComponents components;
  std::vector<std::string> top;
  if (adjusted == 1) {
    if (!EstimateGPS2dVarianceComponents(given, ComponentTestLevel(network.m_Redundancy, settings), components)) {
      ComponentsFailed();
      adjusted = 0;
    } else if (vce.apply) {
      static_cast<CReadGPS2dVector&>(network) = given;
      ApplyVarianceFactors(network, components);
      top = FactorsAppliedStatement(components);
      adjusted = network.Adjust();
    }
  }
  if (adjusted == 1) ExtractBreakthroughOf(network);
  const std::string resultPath = CurrentProjectFile(ProjectFile::Result2d);
  return WithTests(adjusted, resultPath, [&] {
    const char* dash =
        "------------------------------------------------------------------------------------------------\n";
    return WriteGPS2dTestReport(network, settings) && (top.empty() || AmendReport(resultPath, top, nullptr)) &&
           AmendReport(TestReportPath(resultPath), top, [&](CReportFile& f) {
             WriteVarianceComponents(f, dash, components, T(u8"按观测类型"), vce.apply);
           });
  });
}

int AdjustEllipsoidWithTests(CGPS3dCombinedAdjust& network, const CTestSettings& settings) {
  const std::string resultPath = CurrentProjectFile(ProjectFile::Combined3dResult);
  return WithTests(network.Adjust(), resultPath, [&] {
    if (!WriteGPS3dCombinedTestReport(network, settings)) return false;
    // The covariance scaling used is stated at the top of both reports.
    const std::vector<std::string>& top = network.m_ReportPreamble;
    return top.empty() || (AmendReport(resultPath, top, nullptr) && AmendReport(TestReportPath(resultPath), top, nullptr));
  });
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
