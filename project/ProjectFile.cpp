#include "project/ProjectFile.h"

#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "project/AppState.h"
#include "project/Archive.h"
#include "project/GradeTable.h"
#include "geodesy/BaselinePackages.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace {

// The smallest coordinate system record: an empty name (1 byte), two doubles, an int32.
constexpr size_t kMinCoorsRecordSize = 1 + 8 + 8 + 4;

void WriteCoorsSystem(ArchiveWriter& out, const CCoorsSystemSet& cs) {
  out.WriteString(cs.m_Name);
  out.WriteDouble(cs.m_a);
  out.WriteDouble(cs.m_InvF);
  out.WriteInt32(cs.m_Predefined);
}

CCoorsSystemSet ReadCoorsSystem(ArchiveReader& in) {
  CCoorsSystemSet cs;
  cs.m_Name = in.ReadString();
  cs.m_a = in.ReadDouble();
  cs.m_InvF = in.ReadDouble();
  cs.m_Predefined = in.ReadInt32();
  return cs;
}

// A coordinate system whose values are numbers at all; whether they make an ellipsoid is
// checked where one is used (a grid cell that is no number is stored as 0).
bool SoundCoorsSystem(const CCoorsSystemSet& cs) {
  return std::isfinite(cs.m_a) && std::isfinite(cs.m_InvF) && cs.m_a >= 0.0 && cs.m_InvF >= 0.0 &&
         (cs.m_Predefined == 0 || cs.m_Predefined == 1);
}

void ReadStringList(ArchiveReader& in, std::vector<std::string>& list) {
  list.clear();
  int32_t n = in.ReadCount(1);
  for (int32_t i = 0; i < n; ++i) list.push_back(in.ReadString());
}

}  // namespace

std::string SerializeConfiguration(const CGPSConfiguration& c) {
  ArchiveWriter out;
  out.WriteString(c.m_ProjectName);
  out.WriteString(c.m_ProjectDir);
  out.WriteInt32(c.m_GradeIndex);
  out.WriteInt32(c.m_BaselineType);
  for (double v : c.m_NetClass.m_Value) out.WriteDouble(v);
  out.WriteInt32(c.m_NetClass.m_LoopSideLimit);
  out.WriteDouble(c.m_CentralMeridian);
  out.WriteDouble(c.m_XConstant);
  out.WriteDouble(c.m_YConstant);
  out.WriteInt32(c.m_ModifyBaselineCov);
  out.WriteDouble(c.m_BaselineVarianceFactor);
  out.WriteInt32(static_cast<int32_t>(c.m_SyncBaselineFiles.size()));
  for (const auto& s : c.m_SyncBaselineFiles) out.WriteString(s);
  out.WriteInt32(static_cast<int32_t>(c.m_IndependentBaselineFiles.size()));
  for (const auto& s : c.m_IndependentBaselineFiles) out.WriteString(s);
  WriteCoorsSystem(out, c.m_CurrentCoorsSystem);
  out.WriteInt32(c.m_CoorsSystems.GetCount());
  for (const auto& entry : c.m_CoorsSystems.Entries()) WriteCoorsSystem(out, entry.second);
  out.WriteDouble(c.m_MeanLatitude);
  out.WriteDouble(c.m_Reserved1);
  out.WriteDouble(c.m_Reserved2);
  out.WriteInt32(c.m_IndependentBaselineCount);
  out.WriteInt32(c.m_UseAprioriUnitWeight);
  out.WriteInt32(c.m_ProjectionType);
  return out.Bytes();
}

bool DeserializeConfiguration(const std::string& bytes, CGPSConfiguration& c, std::string* damagedField) {
  ArchiveReader in(bytes);
  // A field whose value has no meaning ends the reading like a missing record; it keeps the
  // value it had, so that going on after the question never computes with it.
  struct DamagedField {
    const char* label;
  };
  auto take = [](auto& field, auto value, bool sound, const char* label) {
    if (!sound) throw DamagedField{label};
    field = value;
  };
  auto finite = [](double v, double low, double high) { return std::isfinite(v) && v >= low && v <= high; };
  auto flag = [](int32_t v) { return v == 0 || v == 1; };
  try {
    c.m_ProjectName = in.ReadString();
    c.m_ProjectDir = in.ReadString();
    int32_t n = in.ReadInt32();
    take(c.m_GradeIndex, n, n >= 0 && n < kGradeCount, TrNoop(u8"等级"));
    n = in.ReadInt32();
    take(c.m_BaselineType, n, BaselinePackageOf(n) != nullptr, TrNoop(u8"基线类型"));
    NetClassParameters precision = c.m_NetClass;
    for (double& v : precision.m_Value) v = in.ReadDouble();
    precision.m_LoopSideLimit = in.ReadInt32();
    double v = in.ReadDouble();
    take(c.m_CentralMeridian, v, finite(v, -180.0, 360.0), TrNoop(u8"中央子午线"));
    v = in.ReadDouble();
    take(c.m_XConstant, v, finite(v, -kMaxAddConstantKm, kMaxAddConstantKm), TrNoop(u8"X常数"));
    v = in.ReadDouble();
    take(c.m_YConstant, v, finite(v, -kMaxAddConstantKm, kMaxAddConstantKm), TrNoop(u8"Y常数"));
    n = in.ReadInt32();
    take(c.m_ModifyBaselineCov, n, flag(n), TrNoop(u8"改造基线解方差阵"));
    v = in.ReadDouble();
    take(c.m_BaselineVarianceFactor, v, finite(v, 0.0, kMaxPrecisionValue) && v > 0.0, TrNoop(u8"基线方差因子"));
    // The stored precision values survive only for the custom grade (the table's rows are
    // sound); the instrument errors always survive.
    bool soundPrecision = precision.m_LoopSideLimit >= -1 && precision.m_LoopSideLimit <= kMaxIndependentBaselines;
    for (double value : precision.m_Value) soundPrecision = soundPrecision && finite(value, -1.0, kMaxPrecisionValue);
    CGPSConfiguration probe;
    probe.m_GradeIndex = c.m_GradeIndex;
    probe.m_NetClass = precision;
    ApplyGrade(probe);
    bool soundUsed = true;
    for (double value : probe.m_NetClass.m_Value) soundUsed = soundUsed && finite(value, -1.0, kMaxPrecisionValue);
    take(c.m_NetClass, precision, soundUsed && (soundPrecision || c.m_GradeIndex != kCustomGrade), TrNoop(u8"精度指标"));
    ApplyGrade(c);
    ReadStringList(in, c.m_SyncBaselineFiles);
    ReadStringList(in, c.m_IndependentBaselineFiles);
    const CCoorsSystemSet current = ReadCoorsSystem(in);
    take(c.m_CurrentCoorsSystem, current, SoundCoorsSystem(current), TrNoop(u8"坐标系统"));
    // The set is not emptied: built-in entries win over stored ones of the same name, and
    // user entries of every project opened in the run accumulate. Names are keyed in their
    // normal form, as the dialog stores them, so that a name given twice in two spellings
    // is one entry now rather than one lost on the next save.
    int32_t k = in.ReadCount(kMinCoorsRecordSize);
    if (k > kMaxCoorsSystems) throw DamagedField{TrNoop(u8"坐标系统个数")};
    std::unordered_set<std::string> fromThisFile;
    for (int32_t i = 0; i < k; ++i) {
      CCoorsSystemSet cs = ReadCoorsSystem(in);
      if (!SoundCoorsSystem(cs)) throw DamagedField{TrNoop(u8"坐标系统")};
      cs.m_Name = NormalizeName(cs.m_Name);
      if (const CCoorsSystemSet* existing = c.m_CoorsSystems.Lookup(cs.m_Name)) {
        if (fromThisFile.count(cs.m_Name) && (existing->m_a != cs.m_a || existing->m_InvF != cs.m_InvF))
          ShowMessage(Format(UiText(u8"工程文件中的坐标系统%s出现了两次且参数不同,只保留第一次的参数!"), cs.m_Name.c_str()),
                      AppTitle(), MessageIcon::Warning);
        continue;
      }
      fromThisFile.insert(cs.m_Name);
      c.m_CoorsSystems.SetAt(cs.m_Name, cs);
    }
    v = in.ReadDouble();
    take(c.m_MeanLatitude, v, finite(v, -90.0, 90.0), TrNoop(u8"测区平均纬度"));
    // The reserved values are carried unchanged and never used.
    c.m_Reserved1 = in.ReadDouble();
    c.m_Reserved2 = in.ReadDouble();
    n = in.ReadInt32();
    take(c.m_IndependentBaselineCount, n, n <= kMaxIndependentBaselines, TrNoop(u8"独立基线条数"));
    n = in.ReadInt32();
    take(c.m_UseAprioriUnitWeight, n, flag(n), TrNoop(u8"用验前单位权中误差(1cm)"));
    n = in.ReadInt32();
    take(c.m_ProjectionType, n, flag(n), TrNoop(u8"投影类型"));
  } catch (const ArchiveError&) {
    return false;
  } catch (const DamagedField& damaged) {
    if (damagedField) *damagedField = damaged.label;
    return false;
  }
  return true;
}

int SaveProjectFile() {
  CProjectState& p = Project();
  if (p.projectName.empty()) return 0;
  std::string path = CurrentProjectFile(ProjectFile::Project);
  std::string error;
  if (!WriteFileAtomically(path, SerializeConfiguration(p.configuration), &error)) {
    std::printf("Couldn't open source file: %s\n", error.c_str());
    std::fflush(stdout);
    return 0;
  }
  p.configurationFromFile = true;
  p.projectFileDir = p.projectDir;
  return 1;
}

int LoadProjectFile() {
  CProjectState& p = Project();
  p.configurationFromFile = false;
  if (p.projectName.empty()) return 0;
  // Opening a project is where its files start being used: a save that died here in an
  // earlier run (of the project file or of a data file) may have left its temporary file.
  RemoveLeftoverSaves(p.projectDir);
  std::string path = CurrentProjectFile(ProjectFile::Project);
  if (!FileExists(path)) return 0;
  auto bytes = ReadWholeFile(path);
  if (!bytes) return 0;
  std::string damaged;
  if (DeserializeConfiguration(*bytes, p.configuration, &damaged)) {
    p.configurationFromFile = true;
    p.projectFileDir = p.projectDir;
    return 1;
  }
  if (!damaged.empty())
    ShowMessage(Format(UiText(u8"工程文件%s中\"%s\"的值无效!"), PathToGbk(path).c_str(), UiText(damaged.c_str())), AppTitle(),
                MessageIcon::Warning);
  bool goOn = AskYesNo(UiText(u8"无效的工程文件或该文件\n已被破坏,继续进行？"), AppTitle(), MessageIcon::Question,
                       1, MessageAnswer::No);
  if (!goOn) return 0;
  p.configuration.ResetCoorsSystems();
  p.configurationFromFile = true;
  p.projectFileDir = p.projectDir;
  return 1;
}

}  // namespace vemo
