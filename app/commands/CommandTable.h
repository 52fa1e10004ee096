// The command set: one row a menu command, from which the command line, the desktop's menus
// and the desktop's dialogs of each command are built. A row without a handler is a menu command whose engine does not exist
// yet: the desktop may show it disabled, the command line neither lists nor accepts it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/commands/Args.h"
#include "app/commands/CommandInput.h"

namespace vemo {

// What a command's handler gets: its own arguments, already separated from the global ones.
struct CommandContext {
  Args args;
};

// Exit statuses of a command.
constexpr int kCommandDone = 0;
constexpr int kCommandFailed = 1;  // a failure the system reported in a message
constexpr int kCommandUsage = 2;   // a usage error or a disabled command
constexpr int kCommandInterrupted = 130;  // stopped by Ctrl-C (128 + SIGINT, as a shell reports it)

// The menu commands. The values are the menu identifiers of the design: the menu's actions
// carry them, and nothing else should depend on them.
enum class CommandId : int {
  None = 0,  // a dialog button without a menu entry
  // 文件
  NewProject = 32816,
  OpenProject = 32817,
  FileNew = 57600,
  FileOpen = 57601,
  FileClose = 57602,
  FileSave = 57603,
  FileSaveAs = 57604,
  FilePrint = 57607,
  FilePrintPreview = 57609,
  FilePrintSetup = 57606,
  RecentFiles = 57616,
  AppExit = 57665,
  // 数据输入
  EnterKnownXYZ = 32820,
  EnterKnownXY = 32821,
  EnterKnownH = 32822,
  EnterDistance = 32823,
  EnterAzimuth = 32824,
  ImportBaselines = 32819,
  FormIndependent = 32853,
  // 平差计算
  Adjust3d = 32815,
  Adjust2d = 32825,
  AdjustEllipsoid = 32829,
  AdjustOneFix = 32847,
  FitHeights = 32826,
  FreeNetwork = 32842,
  Stability = 32843,
  Settings = 32828,
  // 结果显示
  ShowResult3d = 32830,
  ShowResult2d = 32831,
  ShowResult1d = 32837,
  ShowResultEllipsoid = 32832,
  ShowVector3d = 32833,
  ShowVector2d = 32834,
  ShowMisclosure = 32841,
  // 查看
  ViewToolBar = 59392,
  ViewStatusBar = 59393,
  // 数据检核
  SyncLoops = 32856,
  AsyncLoops = 32840,
  RepeatBaselines = 32844,
  // 工具
  MapWgs84 = 32784,
  MapLocal = 32839,
  ExportDxf = 32850,
  Breakthrough = 32780,
  Design = 32848,
  // 坐标转换
  XyzToBlh = 32783,
  BlhToXyz = 32787,
  BlToXy = 32788,
  XyToBl = 32789,
  ChangeZone = 32851,
  Transform3 = 32790,
  Transform4 = 32799,
  Transform6 = 61448,
  Transform7 = 32811,
  PlaneParameters = 32835,
  HeightParameters = 32836,
  // 窗口
  WindowNew = 57648,
  WindowCascade = 57650,
  WindowTile = 57651,
  WindowArrange = 57649,
  // 帮助
  HelpTopics = 57667,
  About = 57664,
};

struct CommandSpec {
  CommandId id;
  const char* menuText;    // UTF-8, as the menu shows it
  const char* prompt;      // UTF-8 string table entry "status-bar prompt\ntooltip", or nullptr
  bool needsProject;       // subject to the enabling rule (a project is open)
  const char* name;        // command-line name, or nullptr for desktop-only commands
  const char* synopsis;    // arguments, for help
  const char* summary;     // one line, for help
  const char* details;     // option descriptions, for "help COMMAND"
  int (*run)(CommandContext&);  // nullptr while the command's engine does not exist
  CommandInput input = {};      // the desktop's form or file dialogs for the handler's arguments
  // Several menu commands share one command-line name and are told apart by its first
  // argument ("enter known-xyz", "show-result 3d"); that argument, or nullptr.
  const char* selector = nullptr;
};

// Every menu command, in menu order, with or without a handler.
const std::vector<CommandSpec>& MenuCommands();
const CommandSpec* FindMenuCommand(CommandId id);

// The menus of the desktop's main window: each menu holds the rows of MenuCommands() from its
// first command up to the first command of the next menu (rows of CommandId::None are dialog
// buttons and stay out of the menus).
struct MenuSpec {
  const char* title;  // UTF-8
  CommandId firstCommand;
};
const std::vector<MenuSpec>& Menus();

// The commands of the command line: one row per name, only those whose handler exists.
const std::vector<CommandSpec>& Commands();
const CommandSpec* FindCommand(std::string_view name);

// The enabling rule: a command that needs a project is enabled exactly when one is open.
bool IsCommandEnabled(const CommandSpec& command);

}  // namespace vemo
