// The rank-deficient free network ("GPS三维秩亏自由网") and the stability analysis of two
// campaigns ("稳定性分析").
#include <algorithm>
#include <filesystem>

#include "adjust3d/GPS3dFreeNetwork.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust3d/StabilityAnalysis.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

const char* const kFreeNetworkHelp =
    "  --approx FILE   the approximate coordinate file (the file dialog of the adjustment): its\n"
    "                  first line must be the project's one known point\n"
    "  --points A,B,..  the points (besides the known one) whose cofactors the files hold: the free\n"
    "                  network of those points, the datum they define, for the stability analysis\n"
    "  --full-cofactors every point, when the cofactor files would exceed 2 GB (their size is\n"
    "                  stated first; refused when the machine's memory cannot hold the matrix)\n"
    "The 3D adjustment runs on it and writes the free-network input files; an existing input file\n"
    "is kept unless --yes asks to regenerate it (so edited datum weights survive). Without\n"
    "--points every point is taken while the cofactor files stay within 2 GB.\n";

const char* const kStabilityHelp =
    "  FIRST    campaign file of the first campaign (.GPS3dFreeXXQxx or .GPS3dFreeENUQenu)\n"
    "  SECOND   campaign file of the second campaign (its points matched with the first by name)\n"
    "  OUTPUT   the displacement file to write (.GPS3dFreeD added when it has no extension); the\n"
    "           cofactors go beside it, in .GPS3dFreeQdd\n"
    "The campaigns are matched by point name; points of one campaign only are listed and left out.\n"
    "  --congruence  also the congruence test of the common points (.GPS3dFreeCongruence beside\n"
    "                OUTPUT): the global test, the moved points found one by one with each point's\n"
    "                test (3 degrees of freedom) and verdict, and the displacements of the datum\n"
    "                iterated to 0.1 mm beside those of the 3 mm rule, which the displacement file\n"
    "                keeps. Without it only the displacement and cofactor files are written.\n"
    "  --alpha P     significance of the congruence tests, percent (default 5)\n"
    "  --sigma0 MM   a-priori standard error of unit weight of both campaigns, mm: a chi-squared\n"
    "                test; by default an F test against the campaigns' a-posteriori variances,\n"
    "                pooled by their redundancies\n";

namespace {

// The cofactor files of every point stay within this size unless --full-cofactors asks for more.
constexpr double kDefaultCofactorFilesBytes = 2.0 * (1u << 30);

// The five cofactor triangles the free network writes for `points` points (its input, the
// report's Q and QS, the two campaign files), "%13.4lf " a value.
double CofactorFilesBytes(int points) {
  const double order = 3.0 * points;
  return 5.0 * (order * (order + 1.0) / 2.0 * 14.0 + order);
}

// The memory the free network needs for the triangle (Q and its transformed copy).
double CofactorMemoryBytes(int points) {
  const double order = 3.0 * points;
  return 2.0 * order * (order + 1.0) / 2.0 * sizeof(double);
}

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// Whether the cofactors of `points` points may be written: the default stops at the size limit,
// --full-cofactors states the size and stops where the memory ends. A refusal names the size.
bool CofactorsFit(int points, bool full, bool asked) {
  constexpr double kGb = 1u << 30;
  const double files = CofactorFilesBytes(points), memory = CofactorMemoryBytes(points);
  if (!full && !asked && files > kDefaultCofactorFilesBytes) {
    Warn(Format(UiText(u8"网有%d个点，全部点的协因数阵文件共约%.1f GB，超过%.0f GB，不予计算。请用--points指定需要协因数的点(稳定性分析的点)，或用--full-cofactors写出全部点的协因数阵!"),
                points, files / kGb, kDefaultCofactorFilesBytes / kGb));
    return false;
  }
  const double available = static_cast<double>(AvailableMemory());
  if (available > 0 && memory > available) {
    Warn(Format(UiText(u8"%d个点的协因数阵文件共约%.1f GB，计算需要内存约%.1f GB，超过本机可用内存%.1f GB，不予计算。请用--points指定较少的点!"),
                points, files / kGb, memory / kGb, available / kGb));
    return false;
  }
  if (full)
    ShowMessage(Format(UiText(u8"%d个点的协因数阵文件共约%.1f GB，计算需要内存约%.1f GB。"), points, files / kGb, memory / kGb),
                AppTitle(), MessageIcon::Information);
  return true;
}

}  // namespace

int RunFreeNetwork(CommandContext& context) {
  std::optional<std::string> approximate = context.args.TakeValue("--approx");
  const std::optional<std::string> pointList = context.args.TakeValue("--points");
  const bool full = context.args.TakeFlag("--full-cofactors");
  if (pointList && full) throw UsageError("free-network takes --points or --full-cofactors, not both");
  std::vector<std::string> points;
  for (size_t start = 0; pointList && start <= pointList->size();) {
    const size_t comma = std::min(pointList->find(',', start), pointList->size());
    if (comma > start) points.push_back(Utf8ToGbk(pointList->substr(start, comma - start)));
    start = comma + 1;
  }
  if (pointList && points.empty()) throw UsageError("--points needs point names");
  if (!context.args.Positionals().empty()) throw UsageError("free-network takes no positional arguments");
  if (!approximate) throw UsageError("free-network needs --approx FILE");
  // The dialog lets only an existing file be chosen.
  if (!FileExists(*approximate)) {
    ShowOpenFileError(*approximate);
    return kCommandFailed;
  }
  SetApproximateFileMode(1);
  // The free network's input files are not among them: the person may have edited their datum
  // weights, and the adjustment asks before it replaces them.
  CResultFiles writes(kGPS3dNetResults);
  writes.Add({ProjectFile::FreeXXOut, ProjectFile::FreeQxxOut, ProjectFile::FreeMxxOut, ProjectFile::FreeXXQxx,
              ProjectFile::FreeENUQenu});
  writes.Spare(*approximate);
  if (!writes.Remove()) return kCommandFailed;
  {
    CGPS3dNetAdjust network(0);
    network.m_ApproximateFile = *approximate;
    network.m_FreeNetworkPoints = points;
    if (!RequireInputs(CommandId::FreeNetwork, {ProjectFile::KnownXYZ, ProjectFile::Vector3d}) || !network.Load())
      return writes.Finish(kCommandFailed);
    for (const std::string& name : points)
      if (std::find(network.m_PointName.begin(), network.m_PointName.begin() + network.m_PointCount, name) ==
          network.m_PointName.begin() + network.m_PointCount) {
        Warn(Format(UiText(u8"点%s不在网中，不产生秩亏自由网的输入文件!"), name.c_str()));
        return writes.Finish(kCommandFailed);
      }
    // The size is known before the adjustment writes the first cofactor.
    const int written = points.empty() ? network.m_PointCount : static_cast<int>(points.size()) + 1;
    if (!CofactorsFit(written, full, !points.empty()) || !network.Adjust()) return writes.Finish(kCommandFailed);
    // With another number of known points the adjustment said why it wrote no input files;
    // older ones must not be taken for this network's.
    if (network.m_KnownPointCount != 1) return writes.Finish(kCommandFailed);
  }
  Platform().OpenTextDocument(CurrentProjectFile(ProjectFile::FreeXXInput));
  CGPS3dFreeNetwork freeNetwork;
  return writes.Finish(RunComputation([&] { return freeNetwork.Load(); }, [&] { return freeNetwork.Compute(); },
                                      CGPS3dFreeNetwork::Reports()));
}

int RunStability(CommandContext& context) {
  CStabilityAnalysis analysis;
  analysis.m_Congruence = context.args.TakeFlag("--congruence");
  const std::optional<double> alpha = context.args.TakeDouble("--alpha");
  const std::optional<double> sigma0 = context.args.TakeDouble("--sigma0");
  if ((alpha || sigma0) && !analysis.m_Congruence) throw UsageError("--alpha and --sigma0 belong to --congruence");
  if (alpha && !(*alpha >= 1e-10 && *alpha <= 50.0)) throw UsageError("--alpha must be a percentage from 1e-10 to 50");
  if (sigma0 && !(*sigma0 > 0.0 && *sigma0 < 1e6)) throw UsageError("--sigma0 must be a positive number of mm");
  if (alpha) analysis.m_Alpha = *alpha / 100.0;
  if (sigma0) analysis.m_AprioriSigma0 = *sigma0;
  std::vector<std::string> files = context.args.Positionals();
  if (files.size() != 3) throw UsageError("stability needs FIRST SECOND OUTPUT");
  for (int i = 0; i < 2; ++i)
    if (!FileExists(files[i])) {
      ShowOpenFileError(files[i]);
      return kCommandFailed;
    }
  // The save dialog's default extension.
  std::string output = files[2];
  if (!std::filesystem::path(output).has_extension()) output += ".GPS3dFreeD";
  std::vector<std::string> opened{CStabilityAnalysis::CofactorFileName(output), output};
  if (analysis.m_Congruence) opened.push_back(CStabilityAnalysis::CongruenceFileName(output));
  return RunComputation([] { return 1; }, [&] { return analysis.Run(files[0], files[1], output); }, opened);
}

}  // namespace vemo
