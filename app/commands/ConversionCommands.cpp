// The coordinate commands: the four conversions "XYZ->BLH", "BLH->XYZ", "BL ->XY",
// "XY ->BL" (thin loops over a text file around one GPSTransfer conversion each), the
// similarity transformations and the zone change. None needs an open project: they use the
// configuration restored at start-up or opened with --project. On the command line the file
// dialog becomes the FILE argument.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "project/AppState.h"
#include "app/commands/DialogArguments.h"
#include "app/commands/Handlers.h"
#include "project/data/DataFileReader.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"
#include "geodesy/ZoneChange.h"

namespace vemo {

const char* const kConversionHelp =
    "FILE is a text file, one point a line, fields separated by blanks, commas or full-width\n"
    "commas; lines that do not scan are skipped. The results are appended to the result file\n"
    "next to FILE (one block a run). The ellipsoid, central meridian, projection and\n"
    "coordinate constants are those of the current project.\n";

const char* const kTransformHelp =
    "FILE holds the common points first (name, source and target coordinates), then the points\n"
    "to transform (name, source coordinates). The report is appended to FILE's name with the\n"
    "extension .XYXY_O (plane) or .XYZXYZ_O (spatial).\n";

const char* const kChangeZoneHelp =
    "  --h1 M       first projection-surface height, -500..9000 (default 0)\n"
    "  --l01 DMS    first central meridian, 0..360 (default 0)\n"
    "  --h2 M       second projection-surface height, -500..9000 (default 0)\n"
    "  --l02 DMS    second central meridian, 0..360 (default 0)\n"
    "  --method N   projection ellipsoid enlargement: 0 da=dH, 1 da=f(dH,B), 2 da=db=dH\n"
    "FILE holds lines \"name x y\" or \"name x y h\"; the result is appended to\n"
    "<FILE without extension>-<L02>-<H2>.xy.\n";

namespace {

// The name buffer of the conversion commands holds 100 characters.
constexpr size_t kConversionNameLimit = 99;

struct Conversion {
  int mode;
  const char* extension;
  int fields;  // name and numbers a line must scan to
};

const Conversion kConversions[] = {
    {GPSTransfer::kModeXYZ, ".blh", 4},
    {GPSTransfer::kModeBLH, ".XYZ", 4},
    {GPSTransfer::kModeBL, ".XY", 3},
    {GPSTransfer::kModeXY, ".BL", 3},
};

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// Converts one scanned point with the command's conversion and formats its result line;
// false (with a message) when the point cannot be converted.
bool ConvertPoint(GPSTransfer& t, int mode, const std::string& name, const double* v, const CGPSConfiguration& c,
                  std::string& line) {
  const double xConstant = 1000.0 * c.m_XConstant, yConstant = 1000.0 * c.m_YConstant;
  switch (mode) {
    case GPSTransfer::kModeXYZ:
      t.m_X = v[0];
      t.m_Y = v[1];
      t.m_Z = v[2];
      if (!t.XYZBLH()) {
        if (v[0] == 0.0 && v[1] == 0.0)
          Warn(Format(UiText(u8"点%s位于椭球旋转轴上(X=Y=0)，无法计算大地坐标，已跳过!"), name.c_str()));
        else
          Warn(Format(UiText(u8"点%s的坐标无法转换，已跳过!"), name.c_str()));
        return false;
      }
      line = Format("%16s %15.9lf %15.9lf %15.4lf\n", name.c_str(), RadianToDms(t.m_B, 9), RadianToDms(t.m_L, 9), t.m_H);
      return true;
    case GPSTransfer::kModeBLH:
      t.m_B = DmsToRadian(v[0]);
      t.m_L = WrapLongitude(DmsToRadian(v[1]));
      t.m_H = v[2];
      if (!t.BLHXYZ()) break;
      line = Format("%16s %15.4lf %15.4lf %15.4lf\n", name.c_str(), t.m_X, t.m_Y, t.m_Z);
      return true;
    case GPSTransfer::kModeBL:
      t.m_B = DmsToRadian(v[0]);
      t.m_L = WrapLongitude(DmsToRadian(v[1]));
      if (!t.BLXY()) break;
      line = Format("%16s %15.4lf %15.4lf\n", name.c_str(), t.m_X + xConstant, t.m_Y + yConstant);
      return true;
    case GPSTransfer::kModeXY:
      t.m_X = v[0] - xConstant;
      t.m_Y = v[1] - yConstant;
      if (!t.XYBL()) break;
      line = Format("%16s %15.9lf %15.9lf\n", name.c_str(), RadianToDms(t.m_B, 9), RadianToDms(t.m_L, 9));
      return true;
  }
  Warn(Format(UiText(u8"点%s的坐标无法转换，已跳过!"), name.c_str()));
  return false;
}

// The common frame of the four conversion commands. path empty: the file dialog.
int ConvertCoordinateFile(const Conversion& conversion, const std::string& path) {
  GPSTransfer t(conversion.mode);
  if (!t.GetDataFile(path.empty() ? nullptr : path.c_str())) return kCommandDone;
  const std::string output = ResolvePathNoCase(GlobalDataDir() + GlobalDataName() + conversion.extension);
  if (conversion.mode != GPSTransfer::kModeXYZ) {
    if (!FileExists(t.m_DataFile)) return kCommandDone;
    Platform().OpenTextDocument(t.m_DataFile);
  }
  const CGPSConfiguration& c = Project().configuration;
  t.m_a = c.m_CurrentCoorsSystem.m_a;
  t.m_InvF = c.m_CurrentCoorsSystem.m_InvF;
  if (!CheckEllipsoid(t.m_a, t.m_InvF, AppTitle())) return kCommandFailed;
  if (conversion.mode == GPSTransfer::kModeBL || conversion.mode == GPSTransfer::kModeXY)
    t.m_L0 = DmsToRadian(c.m_CentralMeridian);
  if (!CheckOutputIsNotInput(t.m_DataFile, output, AppTitle())) return kCommandFailed;

  auto text = ReadWholeFile(t.m_DataFile);
  if (!text) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(t.m_DataFile).c_str()));
    return kCommandFailed;
  }
  std::istringstream in(std::move(*text));
  if (!CheckOutputIsRegular(output, AppTitle())) return kCommandFailed;
  std::ofstream out(output, std::ios::binary | std::ios::app);
  if (!out) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(output).c_str()));
    return kCommandFailed;
  }
  std::string line, name, result;
  double values[3];
  for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsSpaceString(line.c_str())) continue;
    if (ScanPointLine(CommasToBlanks(line), name, values, conversion.fields - 1) != conversion.fields) continue;
    if (name.size() > kConversionNameLimit) {
      Warn(Format(UiText(u8"第%d行的点名超过%d个字符，该行未转换!"), lineNumber, static_cast<int>(kConversionNameLimit)));
      continue;
    }
    if (ConvertPoint(t, conversion.mode, name, values, c, result)) out << result;
  }
  out << "\n\n";
  out.close();
  if (out.fail()) {
    WriteFileError(output, AppTitle());
    return kCommandFailed;
  }
  Platform().OpenTextDocument(output);
  return kCommandDone;
}

// The FILE argument that stands for the file dialog; the dialog lets only an existing file
// be chosen, so a missing one is reported here.
std::optional<std::string> InputFileArgument(CommandContext& context, const char* command) {
  std::vector<std::string> rest = context.args.Positionals();
  if (rest.size() != 1) throw UsageError(std::string(command) + " needs one FILE");
  if (!FileExists(rest[0])) {
    // A FIFO, a device or a folder is never opened (a FIFO would block the command).
    std::error_code ec;
    if (std::filesystem::exists(rest[0], ec)) ShowNotRegularFile(rest[0]);
    else Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(rest[0]).c_str()));
    return std::nullopt;
  }
  return rest[0];
}

int RunConversion(CommandContext& context, const char* command, int mode) {
  auto path = InputFileArgument(context, command);
  if (!path) return kCommandFailed;
  return ConvertCoordinateFile(kConversions[mode], *path);
}

int RunTransformation(CommandContext& context, const char* command, int parameterCount) {
  auto path = InputFileArgument(context, command);
  if (!path) return kCommandFailed;
  GPSTransfer t(parameterCount == 7 ? GPSTransfer::kModeXYZXYZ : GPSTransfer::kModeXYXY);
  t.m_ParameterCount = parameterCount;
  t.m_DataFile = *path;  // taken by GetDataFile in place of the dialog
  int done = parameterCount == 7 ? t.XYZXYZ7() : parameterCount == 6 ? t.XYXY6() : t.XYXY4();
  return done ? kCommandDone : kCommandFailed;
}

}  // namespace

int RunXyzToBlh(CommandContext& context) { return RunConversion(context, "xyz2blh", GPSTransfer::kModeXYZ); }
int RunBlhToXyz(CommandContext& context) { return RunConversion(context, "blh2xyz", GPSTransfer::kModeBLH); }
int RunBlToXy(CommandContext& context) { return RunConversion(context, "bl2xy", GPSTransfer::kModeBL); }
int RunXyToBl(CommandContext& context) { return RunConversion(context, "xy2bl", GPSTransfer::kModeXY); }

int RunTransform3(CommandContext& context) { return RunTransformation(context, "transform-3", 3); }
int RunTransform4(CommandContext& context) { return RunTransformation(context, "transform-4", 4); }
int RunTransform6(CommandContext& context) { return RunTransformation(context, "transform-6", 6); }
int RunTransform7(CommandContext& context) { return RunTransformation(context, "transform-7", 7); }

std::vector<std::string> ChangeZoneArguments(const CChangZoneOfXY& dialog, const std::string& file) {
  // %.17g: the handler reads back the very numbers of the dialog.
  return {file,
          "--h1",     Format("%.17g", dialog.m_H1),
          "--l01",    Format("%.17g", dialog.m_L01),
          "--h2",     Format("%.17g", dialog.m_H2),
          "--l02",    Format("%.17g", dialog.m_L02),
          "--method", std::to_string(dialog.m_Method)};
}

int RunChangeZone(CommandContext& context) {
  Args& args = context.args;
  CChangZoneOfXY dialog;
  if (auto v = args.TakeDouble("--h1")) dialog.m_H1 = *v;
  if (auto v = args.TakeDouble("--l01")) dialog.m_L01 = *v;
  if (auto v = args.TakeDouble("--h2")) dialog.m_H2 = *v;
  if (auto v = args.TakeDouble("--l02")) dialog.m_L02 = *v;
  if (auto v = args.TakeInt("--method")) dialog.m_Method = *v;
  // The dialog comes first: its range validation refuses the values before any file is read.
  std::string refused = dialog.Validate();
  if (!refused.empty()) {
    Warn(refused);
    return kCommandUsage;
  }
  auto path = InputFileArgument(context, "change-zone");
  if (!path) return kCommandFailed;
  return ChangeZoneOfXY(dialog, *path) ? kCommandDone : kCommandFailed;
}

}  // namespace vemo
