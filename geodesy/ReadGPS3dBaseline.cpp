#include "geodesy/ReadGPS3dBaseline.h"

#include <filesystem>

#include "geodesy/BaselineImport.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"

using namespace vemo::baseline;

CReadGPS3dBaseline::CReadGPS3dBaseline() = default;
CReadGPS3dBaseline::~CReadGPS3dBaseline() = default;

void CReadGPS3dBaseline::CreateSyncFile(std::string& inputPath, std::string& outputPath) {
  const std::string base = std::filesystem::path(inputPath).stem().string();
  outputPath = vemo::DirectoryFileName(GlobalProjectDir(), base + ".GPS3DVector_S");
}

int CReadGPS3dBaseline::IsFileEmpty(std::string path) {
  auto content = vemo::DirectoryExists(path) ? std::nullopt : vemo::ReadWholeFile(path);
  if (content && content->size() >= 5) return 0;
  vemo::ShowMessage(vemo::T(u8"基线向量文件有误，请检查设置对话框中的基线解软件类型!"), ApplicationTitle(),
                    vemo::MessageIcon::Warning);
  return 1;
}

int CReadGPS3dBaseline::TrimbleBaseline() { return RunImport(ReferenceUse::None, ReadTrimbleFile); }
int CReadGPS3dBaseline::AshtechBaseline() { return RunImport(ReferenceUse::None, ReadAshtechFile); }
int CReadGPS3dBaseline::LeicaBaseline() { return RunImport(ReferenceUse::Collect, ReadLeicaFile); }
int CReadGPS3dBaseline::SokkiaBaseline() { return RunImport(ReferenceUse::None, ReadSokkiaFile); }
int CReadGPS3dBaseline::LipBaseline() { return RunImport(ReferenceUse::Collect, ReadLipFile); }
int CReadGPS3dBaseline::VemogpsBaseline() { return RunImport(ReferenceUse::None, ReadVemogpsFile); }
int CReadGPS3dBaseline::JavadBaseline() { return RunImport(ReferenceUse::None, ReadJavadFile); }
int CReadGPS3dBaseline::GamitBaseline() { return RunImport(ReferenceUse::None, ReadGamitFile); }
int CReadGPS3dBaseline::NovatelBaseline() { return RunImport(ReferenceUse::None, ReadNovatelFile); }
int CReadGPS3dBaseline::ZhonghaidaBaseline() { return RunImport(ReferenceUse::None, ReadZhonghaidaFile); }
int CReadGPS3dBaseline::SouthBaseline() { return RunImport(ReferenceUse::Require, ReadSouthFile); }
int CReadGPS3dBaseline::HuaceBaseline() { return RunImport(ReferenceUse::None, ReadHuaceFile); }

namespace {

struct BaselineType {
  BaselineImporter importer;
  const char* mask;
};

// Indexed by the configuration's baseline type.
const BaselineType kBaselineTypes[] = {
    {&CReadGPS3dBaseline::TrimbleBaseline, "*.asc"},   {&CReadGPS3dBaseline::AshtechBaseline, "o*.*"},
    {&CReadGPS3dBaseline::LeicaBaseline, "*.asc"},     {&CReadGPS3dBaseline::SokkiaBaseline, ""},
    {nullptr, ""},                                     {&CReadGPS3dBaseline::LipBaseline, ""},
    {&CReadGPS3dBaseline::VemogpsBaseline, "*.txt"},   {&CReadGPS3dBaseline::JavadBaseline, "*.txt"},
    {&CReadGPS3dBaseline::GamitBaseline, "*.txt"},     {&CReadGPS3dBaseline::NovatelBaseline, "*.iob"},
    {&CReadGPS3dBaseline::ZhonghaidaBaseline, "*.*"},  {&CReadGPS3dBaseline::SouthBaseline, "*.asc"},
    {&CReadGPS3dBaseline::HuaceBaseline, "*.isb"},
};

const BaselineType* TypeOf(int type) {
  if (type < 0 || type >= static_cast<int>(std::size(kBaselineTypes))) return nullptr;
  return &kBaselineTypes[type];
}

}  // namespace

BaselineImporter BaselineImporterOf(int type) {
  const BaselineType* t = TypeOf(type);
  return t ? t->importer : nullptr;
}

const char* BaselineFileMask(int type) {
  const BaselineType* t = TypeOf(type);
  return t ? t->mask : "";
}
