// The rank-deficient free network ("GPS三维秩亏自由网") and the stability analysis of two
// campaigns ("稳定性分析").
#include <filesystem>

#include "adjust3d/GPS3dFreeNetwork.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust3d/StabilityAnalysis.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

const char* const kFreeNetworkHelp =
    "  --approx FILE   the approximate coordinate file (the file dialog of the adjustment): its\n"
    "                  first line must be the project's one known point\n"
    "The 3D adjustment runs on it and writes the free-network input files; an existing input file\n"
    "is kept unless --yes asks to regenerate it (so edited datum weights survive).\n";

const char* const kStabilityHelp =
    "  FIRST    campaign file of the first campaign (.GPS3dFreeXXQxx or .GPS3dFreeENUQenu)\n"
    "  SECOND   campaign file of the second campaign, the same points in the same order\n"
    "  OUTPUT   the displacement file to write (.GPS3dFreeD added when it has no extension); the\n"
    "           cofactors go beside it, in .GPS3dFreeQdd\n";

int RunFreeNetwork(CommandContext& context) {
  std::optional<std::string> approximate = context.args.TakeValue("--approx");
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
    if (!RequireInputs(CommandId::FreeNetwork, {ProjectFile::KnownXYZ, ProjectFile::Vector3d}) || !network.Load() ||
        !network.Adjust())
      return writes.Finish(kCommandFailed);
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
  CStabilityAnalysis analysis;
  return RunComputation([] { return 1; }, [&] { return analysis.Run(files[0], files[1], output); },
                        {CStabilityAnalysis::CofactorFileName(output), output});
}

}  // namespace vemo
