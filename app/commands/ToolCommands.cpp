// The drawing and engineering tools on the command line: the network map ("map"), the DXF
// export ("export-dxf") and the network design ("design").
#include <unordered_map>

#include "app/commands/GeoidOption.h"
#include "app/commands/Handlers.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "tools/DXF.h"
#include "tools/GisExport.h"
#include "tools/NetworkDesign.h"
#include "tools/NetworkMapFiles.h"

namespace vemo {

const char* const kMapSynopsis =
    "wgs84|local [--svg F] [--pdf F] [--png F] [--no-ellipses] [--no-names] [--separate-scales] "
    "[--geoid egm96|FILE]";
const char* const kMapHelp =
    "  wgs84              the map of the 3D adjustment (GPS3dXYHEFT), 网图显绘[WGS84]\n"
    "  local              the map of the 2D adjustment (GPS2dXYEFT), 网图显绘[地方坐标]\n"
    "  --svg F, --pdf F, --png F   write the printed page of the map to these files (no display\n"
    "                     needed); without any of them the map opens as the menu command does\n"
    "  --no-ellipses      switch 误差椭圆 off       --no-names   switch 控制点名 off\n"
    "  --separate-scales  switch 相同比例 off: the northing and the easting get their own scales\n"
    "  --geoid egm96|FILE (wgs84, with a file) each name followed by the point's orthometric height\n"
    "                     (m) on the geoid model: egm96 the EGM96 grid of proj-data, FILE a GTX or\n"
    "                     GeoTIFF grid; the heights of the 3D adjustment's result (GPS3dResult)\n"
    "The lines come from the project's GPS3dVector; a page file NAME.PAR beside the coordinate\n"
    "file (one line: width height left right top bottom title-block, in mm) replaces the A4 page.\n";
const char* const kExportDxfHelp =
    "  POINTS  the adjusted coordinate file (GPS3dXYHEFT)\n"
    "  LINES   the baseline vector file (GPS3dVector)\n"
    "  OUTPUT  the drawing; \".dxf\" is appended to the name, as the menu command does\n";
const char* const kDesignHelp =
    "  COORDINATES  the design coordinates (.xyz): line 1 the precision model a (mm) b (ppm)\n"
    "               c (seconds across the line), then \"name X Y Z\" per point\n"
    "  LINES        the planned baselines (.line), \"from to\" per line\n"
    "The simulated vectors go to the LINES file's name up to its first dot + \".GPS3dVector\".\n";

namespace {

// Each point of the map gets its orthometric height on the model as its label: the ellipsoidal
// height of the 3D result less the model's undulation. false after a message.
bool LabelOrthometricHeights(CVemoGPSDoc& doc, const std::string& model) {
  const std::unique_ptr<CGeoidModel> geoid = OpenGeoidModel(model);
  if (!geoid) return false;
  CGisNetwork network;
  std::string error;
  if (!ReadProjectAdjustedNetwork(network)) return false;
  if (!AddGeoidHeights(network, *geoid, error)) {
    ShowMessage(error, AppTitle(), MessageIcon::Warning);
    return false;
  }
  std::unordered_map<std::string, double> heights;
  for (const CGisPoint& p : network.points) heights.emplace(NormalizeName(p.name), p.height - *p.undulation);
  for (size_t i = 0; i < doc.Points().size(); ++i)
    if (auto it = heights.find(doc.Points()[i].name); it != heights.end()) doc.SetLabel(i, Format("%.3f", it->second));
  return true;
}

}  // namespace

int RunMap(CommandContext& context) {
  Args& args = context.args;
  CMapFiles files;
  files.svg = args.TakeValue("--svg").value_or("");
  files.pdf = args.TakeValue("--pdf").value_or("");
  files.png = args.TakeValue("--png").value_or("");
  CMapDisplay display;
  display.ellipses = !args.TakeFlag("--no-ellipses");
  display.names = !args.TakeFlag("--no-names");
  display.sameScale = !args.TakeFlag("--separate-scales");
  const std::optional<std::string> geoidOption = TakeGeoidOption(args);
  std::vector<std::string> rest = args.Positionals();
  if (rest.size() != 1 || (rest[0] != "wgs84" && rest[0] != "local"))
    throw UsageError("map takes wgs84 or local");
  const MapKind kind = rest[0] == "wgs84" ? MapKind::Wgs84 : MapKind::Local;
  const bool toFiles = !files.svg.empty() || !files.pdf.empty() || !files.png.empty();
  // The heights come from the 3D result, whose points are those of the WGS-84 map.
  if (geoidOption && (kind != MapKind::Wgs84 || !toFiles))
    throw UsageError("--geoid goes with the wgs84 map written to --svg, --pdf or --png");

  if (!toFiles) {
    // The menu command: the map opens in the host's map view, which loads the document.
    const std::string coordinates = CurrentProjectFile(CVemoGPSDoc::CoordinateExtension(kind));
    if (!FileExists(coordinates)) {
      ShowMessage(Format(UiText(u8"工程%s的坐标数据不存在，请平差后再进行此项处理!"), Project().projectName.c_str()),
                  AppTitle());
      return kCommandFailed;
    }
    Platform().OpenNetworkMap(coordinates);
    return kCommandDone;
  }
  if (!EnsureDrawingApplication()) {
    ShowMessage(UiText(u8"无法启动绘图环境，网图未能生成!"), AppTitle());
    return kCommandFailed;
  }
  CVemoGPSDoc doc;
  if (!doc.LoadProject(kind)) return kCommandFailed;
  if (geoidOption && !LabelOrthometricHeights(doc, *geoidOption)) return kCommandFailed;
  return WriteNetworkMapFiles(doc, display, files) ? kCommandDone : kCommandFailed;
}

int RunExportDxf(CommandContext& context) {
  std::vector<std::string> rest = context.args.Positionals();
  if (rest.size() != 3) throw UsageError("export-dxf takes POINTS LINES OUTPUT");
  CDXF dxf;
  if (!dxf.LoadPoints(rest[0]) || !dxf.LoadLines(rest[1])) return kCommandFailed;
  if (dxf.Points().empty()) {
    ShowMessage(Format(UiText(u8"坐标文件%s中没有点的坐标，未生成网图文件!"), PathToGbk(rest[0]).c_str()), AppTitle());
    return kCommandFailed;
  }
  // In a project the known points are those of its known-point file, not every point whose
  // ellipse happens to round to zero.
  if (Project().projectOpen == 1)
    if (auto known = CVemoGPSDoc::ProjectKnownNames(MapKind::Wgs84)) dxf.SetKnownNames(std::move(*known));
  return dxf.WriteDXF(rest[2]) ? kCommandDone : kCommandFailed;
}

int RunDesign(CommandContext& context) {
  std::vector<std::string> rest = context.args.Positionals();
  if (rest.size() != 2) throw UsageError("design takes COORDINATES LINES");
  return RunNetworkDesign(rest[0], rest[1]) ? kCommandDone : kCommandFailed;
}

}  // namespace vemo
