#include "geodesy/ReadGPS3dBaseline.h"

#include <filesystem>

#include "geodesy/BaselineImport.h"
#include "geodesy/BaselinePackages.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

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
  vemo::ShowMessage(vemo::UiText(u8"基线向量文件有误，请检查设置对话框中的基线解软件类型!"), ApplicationTitle(),
                    vemo::MessageIcon::Warning);
  return 1;
}

int CReadGPS3dBaseline::Import(int type, vemo::CBaselineImportSummary* summary) {
  const vemo::CBaselinePackage* package = vemo::BaselinePackageOf(type);
  return package && package->reader ? RunImport(*package, summary) : 1;
}

int CReadGPS3dBaseline::TrimbleBaseline() { return Import(0); }
int CReadGPS3dBaseline::AshtechBaseline() { return Import(1); }
int CReadGPS3dBaseline::LeicaBaseline() { return Import(2); }
int CReadGPS3dBaseline::SokkiaBaseline() { return Import(3); }
int CReadGPS3dBaseline::LipBaseline() { return Import(5); }
int CReadGPS3dBaseline::VemogpsBaseline() { return Import(6); }
int CReadGPS3dBaseline::JavadBaseline() { return Import(7); }
int CReadGPS3dBaseline::GamitBaseline() { return Import(8); }
int CReadGPS3dBaseline::NovatelBaseline() { return Import(9); }
int CReadGPS3dBaseline::ZhonghaidaBaseline() { return Import(10); }
int CReadGPS3dBaseline::SouthBaseline() { return Import(11); }
int CReadGPS3dBaseline::HuaceBaseline() { return Import(12); }
