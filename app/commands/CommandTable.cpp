#include "app/commands/CommandTable.h"

#include "project/AppState.h"
#include "app/commands/Handlers.h"

namespace vemo {

// One row a menu command, in the order of the menus. A command gets its handler (last column
// before the selector) when its engine exists; until then the row is nullptr there and the
// command line neither lists nor accepts it.
const std::vector<CommandSpec>& MenuCommands() {
  static const std::vector<CommandSpec> table = {
      // 文件
      {32816, u8"新建工程", nullptr, false, "new-project", "--name N --dir D [project options]",
       "create a project (directory and project file) and make it current", kProjectOptionsHelp,
       RunNewProject},
      {32817, u8"打开工程", nullptr, false, nullptr, "", "open a project file (command line: --project FILE.prj)", "",
       nullptr},
      {57600, u8"新建(&N)", nullptr, false, nullptr, "", "new empty text document", "", nullptr},
      {57601, u8"打开(&O)...", nullptr, false, "view", "FILE",
       "open any file as text (prints it)", kViewHelp,
       RunView},
      {57602, u8"关闭(&C)", nullptr, false, nullptr, "", "close the text document", "", nullptr},
      {57603, u8"保存(&S)", nullptr, false, nullptr, "", "save the text document", "", nullptr},
      {57604, u8"另存为(&A)...", nullptr, false, nullptr, "", "save the text document as", "", nullptr},
      {57607, u8"打印(&P)...", nullptr, false, nullptr, "", "print the active view", "", nullptr},
      {57609, u8"打印预览(&V)", nullptr, false, nullptr, "", "print preview of the active view", "", nullptr},
      {57606, u8"打印设置(&R)...", nullptr, false, nullptr, "", "printer set-up", "", nullptr},
      {57616, u8"最近文件", nullptr, false, nullptr, "", "the four most recently used files", "", nullptr},
      {57665, u8"退出(&X)", nullptr, false, nullptr, "", "exit", "", nullptr},
      // 数据输入
      {32820, u8"三维已知坐标", nullptr, true, "enter", kEnterSynopsis,
       "edit a known data file of the project as its entry dialog does", kEnterHelp, RunEnter, "known-xyz"},
      {32821, u8"二维已知坐标", nullptr, true, "enter", kEnterSynopsis, "", kEnterHelp, RunEnter, "known-xy"},
      {32822, u8"一维高程点", nullptr, true, "enter", kEnterSynopsis, "", kEnterHelp, RunEnter, "known-h"},
      {32823, u8"输入地面边长", nullptr, true, "enter", kEnterSynopsis, "", kEnterHelp, RunEnter, "distance"},
      {32824, u8"输入地面方位", nullptr, true, "enter", kEnterSynopsis, "", kEnterHelp, RunEnter, "azimuth"},
      {32819, u8"读取同步基线数据", nullptr, true, "import-baselines", "[--merge FILE] FILE...",
       "import synchronous baselines from receiver software exports", kImportBaselinesHelp, RunImportBaselines},
      {32853, u8"形成独立基线文件", nullptr, true, "form-independent", "[--rule chain|radial|all] [--random] FILE...",
       "form the independent baseline file from synchronous baseline files", kFormIndependentHelp,
       RunFormIndependent},
      // 平差计算
      {32815, u8"三维向量网平差", u8"用独立的GPS三维基线向量进行平差\nGPS三维向量网", true, "adjust-3d",
       kAdjustTestSynopsis, "3D vector network adjustment", kAdjustTestHelp, RunAdjust3d},
      {32825, u8"二维网联合/约束平差", nullptr, true, "adjust-2d", kAdjustTestSynopsis,
       "2D combined or constrained adjustment", kAdjustTestHelp, RunAdjust2d},
      {32829, u8"椭球面三维平差", nullptr, true, "adjust-ellipsoid", "", "ellipsoidal 3D combined adjustment", "",
       RunAdjustEllipsoid},
      {32847, u8"工程网(一点一方向)平差", nullptr, true, "adjust-one-fix", "[one-fix options]",
       "one-point-one-direction engineering network", kOneFixHelp, RunAdjustOneFix},
      {32826, u8"GPS高程拟合", nullptr, true, "fit-heights", "[--model plane|surface|constant]", "GPS height fitting",
       kHeightModelHelp, RunFitHeights},
      {32842, u8"GPS三维秩亏自由网", nullptr, true, "free-network", "--approx FILE", "rank-deficient free network",
       kFreeNetworkHelp, RunFreeNetwork},
      {32843, u8"稳定性分析", nullptr, false, "stability", "FIRST SECOND OUTPUT",
       "stability analysis of two free-network campaigns", kStabilityHelp, RunStability},
      {32828, u8"设置", nullptr, false, "settings", "[project options]",
       "show or change the settings of the current project", kProjectOptionsHelp, RunSettings},
      {0, u8"定义坐标系统", nullptr, false, "coordinate-systems", "[--add NAME A INVF]... [--remove NAME]...",
       "list, add or remove the reference ellipsoids offered for selection", kCoorsSystemsHelp,
       RunCoordinateSystems},
      // 结果显示
      {32830, u8"三维向量网", nullptr, true, "show-result", kShowResultSynopsis,
       "open a result file of the project as text", kShowResultHelp, RunShowResult, "3d"},
      {32831, u8"二维联合平差", nullptr, true, "show-result", kShowResultSynopsis, "", kShowResultHelp, RunShowResult,
       "2d"},
      {32837, u8"一维高程结果", nullptr, true, "show-result", kShowResultSynopsis, "", kShowResultHelp, RunShowResult,
       "1d"},
      {32832, u8"三维椭球面平差", nullptr, true, "show-result", kShowResultSynopsis, "", kShowResultHelp,
       RunShowResult, "ellipsoid"},
      {32833, u8"三维基线向量", nullptr, true, "show-result", kShowResultSynopsis, "", kShowResultHelp, RunShowResult,
       "vector-3d"},
      {32834, u8"二维基线向量", nullptr, true, "show-result", kShowResultSynopsis, "", kShowResultHelp, RunShowResult,
       "vector-2d"},
      {32841, u8"环闭合差", nullptr, true, "show-result", kShowResultSynopsis, "", kShowResultHelp, RunShowResult,
       "misclosure"},
      // 查看
      {59392, u8"工具栏(&T)", nullptr, false, nullptr, "", "show or hide the toolbar", "", nullptr},
      {59393, u8"状态栏(&S)", nullptr, false, nullptr, "", "show or hide the status bar", "", nullptr},
      // 数据检核
      {32856, u8"同步环闭合差计算", nullptr, true, "sync-loops", "FILE...", "synchronous loop misclosures",
       kSyncLoopsHelp, RunSyncLoops},
      {32840, u8"异步环闭合差计算", nullptr, true, "async-loops", "", "asynchronous loop misclosures", "",
       RunAsyncLoops},
      {32844, u8"重复基线差", nullptr, true, "repeat-baselines", "", "repeated baseline comparison", "",
       RunRepeatBaselines},
      // 工具
      {32784, u8"网图显绘[WGS84]", nullptr, true, "map", kMapSynopsis,
       "network map of the adjusted coordinates", kMapHelp, RunMap, "wgs84"},
      {32839, u8"网图显绘[地方坐标]", nullptr, true, "map", kMapSynopsis, "", kMapHelp,
       RunMap, "local"},
      {32850, u8"输出ACAD_DXF网图", nullptr, false, "export-dxf", "POINTS LINES OUTPUT", "DXF export of the network",
       kExportDxfHelp, RunExportDxf},
      {0, u8"输出GeoJSON网图", nullptr, true, "export-geojson", "[OUTPUT]",
       "GeoJSON export of the adjusted 3D network", kExportGisHelp, RunExportGeoJson},
      {0, u8"输出KML网图", nullptr, true, "export-kml", "[OUTPUT]", "KML export of the adjusted 3D network",
       kExportGisHelp, RunExportKml},
      {32780, u8"贯通误差影响值计算", nullptr, false, "breakthrough", "", "tunnel breakthrough error estimation", "",
       RunBreakthrough},
      {32848, u8"GPS网设计", nullptr, false, "design", "COORDINATES LINES", "GPS network design simulation", kDesignHelp,
       RunDesign},
      // 坐标转换
      {32783, u8"XYZ->BLH", nullptr, false, "xyz2blh", "FILE", "convert geocentric XYZ to geodetic BLH", kConversionHelp,
       RunXyzToBlh},
      {32787, u8"BLH->XYZ", nullptr, false, "blh2xyz", "FILE", "convert geodetic BLH to geocentric XYZ", kConversionHelp,
       RunBlhToXyz},
      {32788, u8"BL ->XY", nullptr, false, "bl2xy", "FILE", "project geodetic BL to plane XY", kConversionHelp, RunBlToXy},
      {32789, u8"XY ->BL", nullptr, false, "xy2bl", "FILE", "inverse projection of plane XY to BL", kConversionHelp,
       RunXyToBl},
      {32851, u8"坐标换带与高程面转换计算", nullptr, false, "change-zone",
       "FILE --h1 M --l01 DMS --h2 M --l02 DMS [--method 0|1|2]", "zone change and height-surface conversion", kChangeZoneHelp,
       RunChangeZone},
      {32790, u8"三参数相似变换", nullptr, false, "transform-3", "FILE", "3-parameter plane similarity transformation",
       kTransformHelp, RunTransform3},
      {32799, u8"四参数相似变换", nullptr, false, "transform-4", "FILE", "4-parameter plane similarity transformation",
       kTransformHelp, RunTransform4},
      {61448, u8"六参数相似变换", nullptr, false, "transform-6", "FILE", "6-parameter plane similarity transformation",
       kTransformHelp, RunTransform6},
      {32811, u8"XYZ->XYZ", nullptr, false, "transform-7", "FILE", "7-parameter spatial similarity transformation",
       kTransformHelp, RunTransform7},
      {32835, u8"二维转换参数", nullptr, true, "plane-parameters", "", "plane transformation parameters",
       kPlaneParametersHelp, RunPlaneParameters},
      {32836, u8"一维转换参数", nullptr, true, "height-parameters", "[--model ...]", "height fitting parameters",
       kHeightParametersHelp, RunHeightParameters},
      // 窗口
      {57648, u8"新建窗口(&N)", nullptr, false, nullptr, "", "new window", "", nullptr},
      {57650, u8"层叠(&C)", nullptr, false, nullptr, "", "cascade windows", "", nullptr},
      {57651, u8"平铺(&T)", nullptr, false, nullptr, "", "tile windows", "", nullptr},
      {57649, u8"排列图标(&A)", nullptr, false, nullptr, "", "arrange icons", "", nullptr},
      // 帮助
      {57667, u8"帮助主题(&H)", nullptr, false, "help", "[COMMAND]", "list the commands, or show one command's options",
       "", RunHelp},
      {57664, u8"关于VemoGPS(&A)", nullptr, false, nullptr, "", "about box", "", nullptr},
  };
  return table;
}

const std::vector<MenuSpec>& Menus() {
  static const std::vector<MenuSpec> menus = {
      {u8"文件(&F)", 32816},     {u8"数据输入(&D)", 32820}, {u8"平差计算(&A)", 32815}, {u8"结果显示(&R)", 32830},
      {u8"查看(&V)", 59392},     {u8"数据检核(&C)", 32856}, {u8"工具(&T)", 32784},     {u8"坐标转换(&Z)", 32783},
      {u8"窗口(&W)", 57648},     {u8"帮助(&H)", 57667},
  };
  return menus;
}

const CommandSpec* FindMenuCommand(int id) {
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
