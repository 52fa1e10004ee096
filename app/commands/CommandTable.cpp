#include "app/commands/CommandTable.h"

#include "app/commands/Handlers.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {

namespace {

// The desktop's input of a command, for the rows below.
CommandInput Form(CommandForm form) { return {.form = form}; }
CommandInput EntryForm(EntryKind kind) { return {.form = CommandForm::DataEntry, .entry = kind}; }
CommandInput CoordinateFile(int mode) { return {.form = CommandForm::CoordinateFile, .coordinateMode = mode}; }
CommandInput FileDialogs(std::vector<FileArgument> files) { return {.files = std::move(files)}; }

}  // namespace

// One row a menu command, in the order of the menus. A command gets its handler when its
// engine exists; until then the row is nullptr there and the command line neither lists nor
// accepts it. After the handler: what the desktop asks for before it runs the handler (the
// forms and file dialogs of the design, with the system's filters), and the selector.
const std::vector<CommandSpec>& MenuCommands() {
  static const std::vector<CommandSpec> table = {
      // 文件
      {CommandId::NewProject, TrNoop(u8"新建工程"), nullptr, false, "new-project", "--name N --dir D [project options]",
       "create a project (directory and project file) and make it current", kProjectOptionsHelp, RunNewProject,
       Form(CommandForm::NewProject)},
      {CommandId::OpenProject, TrNoop(u8"打开工程"), nullptr, false, nullptr, "",
       "open a project file (command line: --project FILE.prj)", "", nullptr},
      {CommandId::FileNew, TrNoop(u8"新建(&N)"), nullptr, false, nullptr, "", "new empty text document", "", nullptr},
      // The desktop's frame opens a file itself, with its own filters; this is the file dialog
      // of any other caller.
      {CommandId::FileOpen, TrNoop(u8"打开(&O)..."), nullptr, false, "view", "FILE", "open any file as text (prints it)",
       kViewHelp, RunView, FileDialogs({{.name = "FILE"}})},
      {CommandId::FileClose, TrNoop(u8"关闭(&C)"), nullptr, false, nullptr, "", "close the text document", "", nullptr},
      {CommandId::FileSave, TrNoop(u8"保存(&S)"), nullptr, false, nullptr, "", "save the text document", "", nullptr},
      {CommandId::FileSaveAs, TrNoop(u8"另存为(&A)..."), nullptr, false, nullptr, "", "save the text document as", "", nullptr},
      {CommandId::FilePrint, TrNoop(u8"打印(&P)..."), nullptr, false, nullptr, "", "print the active view", "", nullptr},
      {CommandId::FilePrintPreview, TrNoop(u8"打印预览(&V)"), nullptr, false, nullptr, "", "print preview of the active view",
       "", nullptr},
      {CommandId::FilePrintSetup, TrNoop(u8"打印设置(&R)..."), nullptr, false, nullptr, "", "printer set-up", "", nullptr},
      {CommandId::None, TrNoop(u8"输出PDF报告"), nullptr, false, "report-pdf", "REPORT OUTPUT",
       "write the printed pages of a report to a PDF file", kReportPdfHelp, RunReportPdf,
       FileDialogs({{.name = "REPORT"},
                    {.name = "OUTPUT", .save = true, .filters = {{TrNoop(u8"PDF文件(*.pdf)"), "*.pdf"}}, .defaultExtension = "pdf"}})},
      {CommandId::RecentFiles, TrNoop(u8"最近文件"), nullptr, false, nullptr, "", "the four most recently used files", "",
       nullptr},
      {CommandId::AppExit, TrNoop(u8"退出(&X)"), nullptr, false, nullptr, "", "exit", "", nullptr},
      // 数据输入
      {CommandId::EnterKnownXYZ, TrNoop(u8"三维已知坐标"), nullptr, true, "enter", kEnterSynopsis,
       "edit a known data file of the project as its entry dialog does", kEnterHelp, RunEnter,
       EntryForm(EntryKind::KnownXYZ), "known-xyz"},
      {CommandId::EnterKnownXY, TrNoop(u8"二维已知坐标"), nullptr, true, "enter", kEnterSynopsis, "", kEnterHelp, RunEnter,
       EntryForm(EntryKind::KnownXY), "known-xy"},
      {CommandId::EnterKnownH, TrNoop(u8"一维高程点"), nullptr, true, "enter", kEnterSynopsis, "", kEnterHelp, RunEnter,
       EntryForm(EntryKind::KnownH), "known-h"},
      {CommandId::EnterDistance, TrNoop(u8"输入地面边长"), nullptr, true, "enter", kEnterSynopsis, "", kEnterHelp, RunEnter,
       EntryForm(EntryKind::Distance), "distance"},
      {CommandId::EnterAzimuth, TrNoop(u8"输入地面方位"), nullptr, true, "enter", kEnterSynopsis, "", kEnterHelp, RunEnter,
       EntryForm(EntryKind::Azimuth), "azimuth"},
      {CommandId::ImportBaselines, TrNoop(u8"读取同步基线数据"), nullptr, true, "import-baselines",
       "[--baseline-type INDEX] [--merge FILE] FILE...",
       "import synchronous baselines from receiver software exports", kImportBaselinesHelp, RunImportBaselines,
       Form(CommandForm::ImportBaselines)},
      {CommandId::FormIndependent, TrNoop(u8"形成独立基线文件"), nullptr, true, "form-independent",
       "[--rule chain|radial|all] [--random] FILE...",
       "form the independent baseline file from synchronous baseline files", kFormIndependentHelp,
       RunFormIndependent, Form(CommandForm::IndependentBaselines)},
      // 平差计算
      {CommandId::Adjust3d, TrNoop(u8"三维向量网平差"), TrNoop(u8"用独立的GPS三维基线向量进行平差\nGPS三维向量网"), true, "adjust-3d",
       Adjust3dSynopsis(), "3D vector network adjustment", Adjust3dHelp(), RunAdjust3d},
      {CommandId::Adjust2d, TrNoop(u8"二维网联合/约束平差"), nullptr, true, "adjust-2d", Adjust2dSynopsis(),
       "2D combined or constrained adjustment", Adjust2dHelp(), RunAdjust2d},
      {CommandId::AdjustEllipsoid, TrNoop(u8"椭球面三维平差"), nullptr, true, "adjust-ellipsoid", kAdjustTestSynopsis,
       "ellipsoidal 3D combined adjustment", kEllipsoidTestHelp, RunAdjustEllipsoid},
      {CommandId::AdjustOneFix, TrNoop(u8"工程网(一点一方向)平差"), nullptr, true, "adjust-one-fix", "[one-fix options] [--legacy-rules]",
       "one-point-one-direction engineering network", kOneFixHelp, RunAdjustOneFix, Form(CommandForm::OneFix)},
      {CommandId::FitHeights, TrNoop(u8"GPS高程拟合"), nullptr, true, "fit-heights", FitHeightsSynopsis(),
       "GPS height fitting", FitHeightsHelp(), RunFitHeights, Form(CommandForm::HeightModel)},
      {CommandId::FreeNetwork, TrNoop(u8"GPS三维秩亏自由网"), nullptr, true, "free-network", "--approx FILE",
       "rank-deficient free network", kFreeNetworkHelp, RunFreeNetwork,
       FileDialogs({{.name = "FILE",
                     .option = "--approx",
                     .filters = {{"GPS 3d Approximate XYZ(*.GPS3dApproximateXYZ)", "*.GPS3dApproximateXYZ"}}}})},
      {CommandId::Stability, TrNoop(u8"稳定性分析"), nullptr, false, "stability",
       "[--congruence] [--alpha P] [--sigma0 MM] FIRST SECOND OUTPUT",
       "stability analysis of two free-network campaigns", kStabilityHelp, RunStability,
       FileDialogs({{.name = "FIRST",
                     .filters = {{"x of Session One(*.GPS3dFreeXXQxx)", "*.GPS3dFreeXXQxx"},
                                 {"ENU(*.GPS3dFreeENUQenu)", "*.GPS3dFreeENUQenu"}}},
                    {.name = "SECOND", .filters = {{"x of Session Two(*.GPS3dFreeXXQxx)", "*.GPS3dFreeXXQxx"}}},
                    {.name = "OUTPUT",
                     .save = true,
                     .filters = {{"output displacement(*.GPS3dFreeD)", "*.GPS3dFreeD"}},
                     .defaultExtension = "GPS3dFreeD"}})},
      {CommandId::Settings, TrNoop(u8"设置"), nullptr, false, "settings", "[project options]",
       "show or change the settings of the current project", kProjectOptionsHelp, RunSettings,
       Form(CommandForm::Settings)},
      {CommandId::None, TrNoop(u8"定义坐标系统"), nullptr, false, "coordinate-systems",
       "[--add NAME A INVF]... [--remove NAME]...",
       "list, add or remove the reference ellipsoids offered for selection", kCoorsSystemsHelp,
       RunCoordinateSystems},
      // 结果显示
      {CommandId::ShowResult3d, TrNoop(u8"三维向量网"), nullptr, true, "show-result", kShowResultSynopsis,
       "open a result file of the project as text", kShowResultHelp, RunShowResult, {}, "3d"},
      {CommandId::ShowResult2d, TrNoop(u8"二维联合平差"), nullptr, true, "show-result", kShowResultSynopsis, "",
       kShowResultHelp, RunShowResult, {}, "2d"},
      {CommandId::ShowResult1d, TrNoop(u8"一维高程结果"), nullptr, true, "show-result", kShowResultSynopsis, "",
       kShowResultHelp, RunShowResult, {}, "1d"},
      {CommandId::ShowResultEllipsoid, TrNoop(u8"三维椭球面平差"), nullptr, true, "show-result", kShowResultSynopsis, "",
       kShowResultHelp, RunShowResult, {}, "ellipsoid"},
      {CommandId::ShowVector3d, TrNoop(u8"三维基线向量"), nullptr, true, "show-result", kShowResultSynopsis, "",
       kShowResultHelp, RunShowResult, {}, "vector-3d"},
      {CommandId::ShowVector2d, TrNoop(u8"二维基线向量"), nullptr, true, "show-result", kShowResultSynopsis, "",
       kShowResultHelp, RunShowResult, {}, "vector-2d"},
      {CommandId::ShowMisclosure, TrNoop(u8"环闭合差"), nullptr, true, "show-result", kShowResultSynopsis, "",
       kShowResultHelp, RunShowResult, {}, "misclosure"},
      // 查看
      {CommandId::ViewToolBar, TrNoop(u8"工具栏(&T)"), nullptr, false, nullptr, "", "show or hide the toolbar", "", nullptr},
      {CommandId::ViewStatusBar, TrNoop(u8"状态栏(&S)"), nullptr, false, nullptr, "", "show or hide the status bar", "",
       nullptr},
      // 数据检核
      {CommandId::SyncLoops, TrNoop(u8"同步环闭合差计算"), nullptr, true, "sync-loops", "FILE...",
       "synchronous loop misclosures", kSyncLoopsHelp, RunSyncLoops, Form(CommandForm::SyncLoops)},
      {CommandId::AsyncLoops, TrNoop(u8"异步环闭合差计算"), nullptr, true, "async-loops", "", "asynchronous loop misclosures",
       "", RunAsyncLoops},
      {CommandId::RepeatBaselines, TrNoop(u8"重复基线差"), nullptr, true, "repeat-baselines", "",
       "repeated baseline comparison", "", RunRepeatBaselines},
      // 工具
      {CommandId::MapWgs84, TrNoop(u8"网图显绘[WGS84]"), nullptr, true, "map", kMapSynopsis,
       "network map of the adjusted coordinates", kMapHelp, RunMap, {}, "wgs84"},
      {CommandId::MapLocal, TrNoop(u8"网图显绘[地方坐标]"), nullptr, true, "map", kMapSynopsis, "", kMapHelp, RunMap, {},
       "local"},
      {CommandId::ExportDxf, TrNoop(u8"输出ACAD_DXF网图"), nullptr, false, "export-dxf", "POINTS LINES OUTPUT",
       "DXF export of the network", kExportDxfHelp, RunExportDxf,
       FileDialogs({{.name = "POINTS", .filters = {{TrNoop(u8"坐标文件(*.GPS3dXYHEFT)"), "*.GPS3dXYHEFT"}}},
                    {.name = "LINES", .filters = {{TrNoop(u8"基线向量文件(*.GPS3dVector)"), "*.GPS3dVector"}}},
                    {.name = "OUTPUT",
                     .save = true,
                     .filters = {{TrNoop(u8"DXF文件(*.dxf)"), "*.dxf"}},
                     .defaultExtension = "dxf"}})},
      {CommandId::None, TrNoop(u8"输出GeoJSON网图"), nullptr, true, "export-geojson", "[--geoid egm96|FILE] [OUTPUT]",
       "GeoJSON export of the adjusted 3D network", kExportGisHelp, RunExportGeoJson},
      {CommandId::None, TrNoop(u8"输出KML网图"), nullptr, true, "export-kml", "[--geoid egm96|FILE] [OUTPUT]",
       "KML export of the adjusted 3D network", kExportGisHelp, RunExportKml},
      {CommandId::None, TrNoop(u8"导入DynaML网"), nullptr, true, "import-dynaml", "STN MSR",
       "import stations, GNSS baselines and clusters from DynaML files", kImportDynaHelp, RunImportDynaml,
       FileDialogs({{.name = "STN", .filters = {{TrNoop(u8"DynaML文件(*.xml)"), "*.xml"}}},
                    {.name = "MSR", .filters = {{TrNoop(u8"DynaML文件(*.xml)"), "*.xml"}}}})},
      {CommandId::None, TrNoop(u8"导入DNA网"), nullptr, true, "import-dna", "STN MSR",
       "import stations and GNSS baselines from DNA files", kImportDynaHelp, RunImportDna,
       FileDialogs({{.name = "STN", .filters = {{TrNoop(u8"DNA测站文件(*.stn)"), "*.stn"}}},
                    {.name = "MSR", .filters = {{TrNoop(u8"DNA观测文件(*.msr)"), "*.msr"}}}})},
      {CommandId::None, TrNoop(u8"导入gama-local网"), nullptr, true, "import-gama", "FILE",
       "import points, vectors and clusters from a gama-local XML input", kImportGamaHelp, RunImportGama,
       FileDialogs({{.name = "FILE", .filters = {{TrNoop(u8"gama-local文件(*.xml)"), "*.xml"}}}})},
      {CommandId::None, TrNoop(u8"输出gama-local网"), nullptr, true, "export-gama", "OUTPUT",
       "write the 3D vector network as a gama-local XML input", kExportGamaHelp, RunExportGama,
       FileDialogs({{.name = "OUTPUT",
                     .save = true,
                     .filters = {{TrNoop(u8"gama-local文件(*.xml)"), "*.xml"}},
                     .defaultExtension = "xml"}})},
      {CommandId::Breakthrough, TrNoop(u8"贯通误差影响值计算"), nullptr, false, "breakthrough", "",
       "tunnel breakthrough error estimation", "", RunBreakthrough},
      {CommandId::Design, TrNoop(u8"GPS网设计"), nullptr, false, "design", "COORDINATES LINES",
       "GPS network design simulation", kDesignHelp, RunDesign,
       FileDialogs({{.name = "COORDINATES", .filters = {{TrNoop(u8"GPS设计坐标文件(*.xyz)"), "*.xyz"}}},
                    {.name = "LINES", .filters = {{TrNoop(u8"GPS设计网图连线文件(*.line)"), "*.line"}}}})},
      // 坐标转换
      {CommandId::XyzToBlh, TrNoop(u8"XYZ->BLH"), nullptr, false, "xyz2blh", "FILE", "convert geocentric XYZ to geodetic BLH",
       kConversionHelp, RunXyzToBlh, CoordinateFile(GPSTransfer::kModeXYZ)},
      {CommandId::BlhToXyz, TrNoop(u8"BLH->XYZ"), nullptr, false, "blh2xyz", "FILE", "convert geodetic BLH to geocentric XYZ",
       kConversionHelp, RunBlhToXyz, CoordinateFile(GPSTransfer::kModeBLH)},
      {CommandId::BlToXy, TrNoop(u8"BL ->XY"), nullptr, false, "bl2xy", "FILE", "project geodetic BL to plane XY",
       kConversionHelp, RunBlToXy, CoordinateFile(GPSTransfer::kModeBL)},
      {CommandId::XyToBl, TrNoop(u8"XY ->BL"), nullptr, false, "xy2bl", "FILE", "inverse projection of plane XY to BL",
       kConversionHelp, RunXyToBl, CoordinateFile(GPSTransfer::kModeXY)},
      {CommandId::ChangeZone, TrNoop(u8"坐标换带与高程面转换计算"), nullptr, false, "change-zone",
       "FILE --h1 M --l01 DMS --h2 M --l02 DMS [--method 0|1|2]", "zone change and height-surface conversion",
       kChangeZoneHelp, RunChangeZone, {.form = CommandForm::ChangeZone, .coordinateMode = GPSTransfer::kModeXY}},
      {CommandId::Transform3, TrNoop(u8"三参数相似变换"), nullptr, false, "transform-3", "FILE",
       "3-parameter plane similarity transformation", kTransformHelp, RunTransform3,
       CoordinateFile(GPSTransfer::kModeXYXY)},
      {CommandId::Transform4, TrNoop(u8"四参数相似变换"), nullptr, false, "transform-4", "FILE",
       "4-parameter plane similarity transformation", kTransformHelp, RunTransform4,
       CoordinateFile(GPSTransfer::kModeXYXY)},
      {CommandId::Transform6, TrNoop(u8"六参数相似变换"), nullptr, false, "transform-6", "FILE",
       "6-parameter plane similarity transformation", kTransformHelp, RunTransform6,
       CoordinateFile(GPSTransfer::kModeXYXY)},
      {CommandId::Transform7, TrNoop(u8"XYZ->XYZ"), nullptr, false, "transform-7", "FILE",
       "7-parameter spatial similarity transformation", kTransformHelp, RunTransform7,
       CoordinateFile(GPSTransfer::kModeXYZXYZ)},
      {CommandId::PlaneParameters, TrNoop(u8"二维转换参数"), nullptr, true, "plane-parameters", "",
       "plane transformation parameters", kPlaneParametersHelp, RunPlaneParameters},
      {CommandId::HeightParameters, TrNoop(u8"一维转换参数"), nullptr, true, "height-parameters", HeightParametersSynopsis(),
       "height fitting parameters", HeightParametersHelp(), RunHeightParameters, Form(CommandForm::HeightModel)},
      // 窗口
      {CommandId::WindowNew, TrNoop(u8"新建窗口(&N)"), nullptr, false, nullptr, "", "new window", "", nullptr},
      {CommandId::WindowCascade, TrNoop(u8"层叠(&C)"), nullptr, false, nullptr, "", "cascade windows", "", nullptr},
      {CommandId::WindowTile, TrNoop(u8"平铺(&T)"), nullptr, false, nullptr, "", "tile windows", "", nullptr},
      {CommandId::WindowArrange, TrNoop(u8"排列图标(&A)"), nullptr, false, nullptr, "", "arrange icons", "", nullptr},
      // 帮助
      {CommandId::HelpTopics, TrNoop(u8"帮助主题(&H)"), nullptr, false, "help", "[COMMAND]",
       "list the commands, or show one command's options", "", RunHelp},
      {CommandId::About, TrNoop(u8"关于VemoGPS(&A)"), nullptr, false, nullptr, "", "about box", "", nullptr},
  };
  return table;
}

const std::vector<MenuSpec>& Menus() {
  static const std::vector<MenuSpec> menus = {
      {TrNoop(u8"文件(&F)"), CommandId::NewProject},      {TrNoop(u8"数据输入(&D)"), CommandId::EnterKnownXYZ},
      {TrNoop(u8"平差计算(&A)"), CommandId::Adjust3d},    {TrNoop(u8"结果显示(&R)"), CommandId::ShowResult3d},
      {TrNoop(u8"查看(&V)"), CommandId::ViewToolBar},     {TrNoop(u8"数据检核(&C)"), CommandId::SyncLoops},
      {TrNoop(u8"工具(&T)"), CommandId::MapWgs84},        {TrNoop(u8"坐标转换(&Z)"), CommandId::XyzToBlh},
      {TrNoop(u8"窗口(&W)"), CommandId::WindowNew},       {TrNoop(u8"帮助(&H)"), CommandId::HelpTopics},
  };
  return menus;
}

const CommandSpec* FindMenuCommand(CommandId id) {
  for (const auto& c : MenuCommands())
    if (c.id == id) return &c;
  return nullptr;
}

const std::vector<CommandSpec>& Commands() {
  static const std::vector<CommandSpec> commands = [] {
    std::vector<CommandSpec> list;
    for (const auto& c : MenuCommands()) {
      if (!c.name || !c.run) continue;
      bool listed = false;
      for (const auto& l : list) listed = listed || std::string_view(l.name) == c.name;
      if (!listed) list.push_back(c);
    }
    return list;
  }();
  return commands;
}

const CommandSpec* FindCommand(std::string_view name) {
  for (const auto& c : Commands())
    if (name == c.name) return &c;
  return nullptr;
}

bool IsCommandEnabled(const CommandSpec& command) {
  return !command.needsProject || Project().projectOpen == 1;
}

}  // namespace vemo
