#include "project/ProjectFile.h"

#include <cstdio>

#include "project/AppState.h"
#include "project/Archive.h"
#include "project/GradeTable.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Platform.h"

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

bool DeserializeConfiguration(const std::string& bytes, CGPSConfiguration& c) {
  ArchiveReader in(bytes);
  try {
    c.m_ProjectName = in.ReadString();
    c.m_ProjectDir = in.ReadString();
    c.m_GradeIndex = in.ReadInt32();
    c.m_BaselineType = in.ReadInt32();
    for (double& v : c.m_NetClass.m_Value) v = in.ReadDouble();
    c.m_NetClass.m_LoopSideLimit = in.ReadInt32();
    c.m_CentralMeridian = in.ReadDouble();
    c.m_XConstant = in.ReadDouble();
    c.m_YConstant = in.ReadDouble();
    c.m_ModifyBaselineCov = in.ReadInt32();
    c.m_BaselineVarianceFactor = in.ReadDouble();
    // The stored precision values survive only for the custom grade; the instrument errors
    // always survive.
    ApplyGrade(c);
    ReadStringList(in, c.m_SyncBaselineFiles);
    ReadStringList(in, c.m_IndependentBaselineFiles);
    c.m_CurrentCoorsSystem = ReadCoorsSystem(in);
    // The set is not emptied: built-in entries win over stored ones of the same name, and
    // user entries of every project opened in the run accumulate.
    int32_t k = in.ReadCount(kMinCoorsRecordSize);
    for (int32_t i = 0; i < k; ++i) {
      CCoorsSystemSet cs = ReadCoorsSystem(in);
      if (c.m_CoorsSystems.Lookup(cs.m_Name)) continue;
      std::string key = cs.m_Name;
      cs.m_Name = NormalizeName(cs.m_Name);
      c.m_CoorsSystems.SetAt(key, cs);
    }
    c.m_MeanLatitude = in.ReadDouble();
    c.m_Reserved1 = in.ReadDouble();
    c.m_Reserved2 = in.ReadDouble();
    c.m_IndependentBaselineCount = in.ReadInt32();
    c.m_UseAprioriUnitWeight = in.ReadInt32();
    c.m_ProjectionType = in.ReadInt32();
  } catch (const ArchiveError&) {
    return false;
  }
  return true;
}

int SaveProjectFile() {
  CProjectState& p = Project();
  if (p.projectName.empty()) return 0;
  std::string path = CurrentProjectFile("prj");
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
  std::string path = CurrentProjectFile("prj");
  if (!FileExists(path)) return 0;
  auto bytes = ReadWholeFile(path);
  if (!bytes) return 0;
  if (DeserializeConfiguration(*bytes, p.configuration)) {
    p.configurationFromFile = true;
    p.projectFileDir = p.projectDir;
    return 1;
  }
  bool goOn = AskYesNo(T(u8"无效的工程文件或该文件\n已被破坏,继续进行？"), AppTitle(), MessageIcon::Question,
                       1, MessageAnswer::No);
  if (!goOn) return 0;
  p.configuration.ResetCoorsSystems();
  p.configurationFromFile = true;
  p.projectFileDir = p.projectDir;
  return 1;
}

}  // namespace vemo
