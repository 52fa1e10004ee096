// Exchange with other adjustment programs: the DynaML and DNA files of one, the gama-local XML
// input of another, read into the current project, and the project's 3D vector network
// written as a gama-local input.
#include <filesystem>
#include <functional>

#include "app/commands/Handlers.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/exchange/DynaReader.h"
#include "project/exchange/GamaExchange.h"
#include "project/exchange/ProjectExchange.h"

namespace vemo {

const char* const kImportDynaHelp =
    "  STN MSR   the station file and the measurement file (a combined DynaML file holding both\n"
    "            may be given alone). Constrained stations (CCC) become the known points, every station an\n"
    "            approximate point; GNSS baselines (G) the vectors, baseline clusters (X) vectors\n"
    "            and GPS3dCluster, point clusters (Y) weighted known points (GPS3dKnownCov).\n"
    "            Covariances: m² times the V scale, the P, L, H scales applied to the latitude,\n"
    "            longitude and height variances at the first station, written in cm². Other\n"
    "            measurement types are counted, not imported. Renamed stations, frames and epochs\n"
    "            are printed and kept in <project>.GPS3dImportLog. Existing files are replaced\n"
    "            only after the question (--yes).\n";

const char* const kImportGamaHelp =
    "  FILE      a gama-local XML input: points (fix=\"xyz\": known), <vectors> blocks (several\n"
    "            vectors: a cluster) and <coordinates> blocks (weighted known points); mm² -> cm².\n";

const char* const kExportGamaHelp =
    "  OUTPUT    the gama-local XML input written: known points fixed (weighted ones adjusted with\n"
    "            a <coordinates> block), the other points with the approximate coordinates of\n"
    "            GPS3dApproximateXYZ when present, the vectors in use (clusters as one block) with\n"
    "            their covariances in mm², sigma-apr = 1.\n";

namespace {

int Import(const std::function<exchange::Network()>& read, const char* format, const std::vector<std::string>& sources) {
  try {
    exchange::Network network = read();
    return exchange::ImportIntoProject(network, format, sources) ? kCommandDone : kCommandFailed;
  } catch (const exchange::ExchangeError& e) {
    if (*e.what()) ShowMessage(e.what(), ApplicationTitle(), MessageIcon::Warning);
    return kCommandFailed;
  }
}

}  // namespace

int RunImportDynaml(CommandContext& context) {
  std::vector<std::string> files = context.args.Positionals();
  if (files.empty() || files.size() > 2) throw UsageError("import-dynaml takes STN [MSR]");
  const std::string& measurements = files.back();  // a combined file is both
  return Import([&] { return exchange::ReadDynaml(files.front(), measurements); }, "DynaML", files);
}

int RunImportDna(CommandContext& context) {
  std::vector<std::string> files = context.args.Positionals();
  if (files.size() != 2) throw UsageError("import-dna takes STN MSR");
  return Import([&] { return exchange::ReadDna(files[0], files[1]); }, "DNA", files);
}

int RunImportGama(CommandContext& context) {
  std::vector<std::string> files = context.args.Positionals();
  if (files.size() != 1) throw UsageError("import-gama takes FILE");
  return Import([&] { return exchange::ReadGama(files[0]); }, "gama-local", files);
}

int RunExportGama(CommandContext& context) {
  std::vector<std::string> files = context.args.Positionals();
  if (files.size() != 1) throw UsageError("export-gama takes OUTPUT");
  try {
    const exchange::Network network = exchange::ReadProjectNetwork();
    const std::string xml =
        exchange::WriteGama(network, Format(T(u8"VemoGPS工程%s的三维基线向量网"), GlobalProjectName().c_str()));
    std::string error;
    if (IsNonRegularFile(files[0]) || !WriteFileAtomically(files[0], xml, &error)) {
      WriteFileError(files[0], ApplicationTitle());
      return kCommandFailed;
    }
    int fixed = 0;
    for (const auto& s : network.stations) fixed += s.constrained;
    Platform().ShowText(UiText(u8"输出"), Format(T(u8"已输出gama-local文件%s: 点%d个(固定%d个),基线%d条,基线簇%d个,"
                                              u8"带协方差的已知点组%d个\n"),
                                            PathToGbk(files[0]).c_str(), static_cast<int>(network.stations.size()), fixed,
                                            static_cast<int>(network.baselines.size()),
                                            static_cast<int>(network.clusters.size()),
                                            static_cast<int>(network.pointClusters.size())));
    return kCommandDone;
  } catch (const exchange::ExchangeError& e) {
    if (*e.what()) ShowMessage(e.what(), ApplicationTitle(), MessageIcon::Warning);
    return kCommandFailed;
  }
}

}  // namespace vemo
