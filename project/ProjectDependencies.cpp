#include "project/ProjectDependencies.h"

#include <filesystem>
#include <map>
#include <vector>

#include "geodesy/FileUtil.h"
#include "project/AppState.h"

namespace vemo {
namespace {

using enum ProjectFile;

// What each computation reads. Every reader of the vector file applies the covariance scaling
// file; the 3D networks take weighted known points and correlated sessions when their files
// exist.
const std::vector<ProjectFile> kVectors = {Vector3d, CovScale3d};
const std::vector<ProjectFile> kNetwork3d = {KnownXYZ, Vector3d, CovScale3d, KnownCov3d, Cluster3d};
const std::vector<ProjectFile> kNetwork2d = {KnownXY, Vector2d, XYH3d, Distance, Azimuth, KnownCov2d};
const std::vector<ProjectFile> kFreeNetworkInput = {FreeXXInput, FreeQxxInput, FreeGxxInput};

std::vector<ProjectFile> Plus(std::vector<ProjectFile> inputs, std::initializer_list<ProjectFile> more) {
  inputs.insert(inputs.end(), more);
  return inputs;
}

const std::map<ProjectFile, std::vector<ProjectFile>>& Table() {
  static const std::map<ProjectFile, std::vector<ProjectFile>> table = [] {
    std::map<ProjectFile, std::vector<ProjectFile>> t;
    // 三维向量网平差: the report, the coordinates and the vectors reduced to the ellipsoid and
    // the plane, which the plane adjustment and the height fitting read next.
    for (ProjectFile result : {ApproximateXYZ, Result3d, Test3d, BLH3d, XYHEFT3d, XYH3d, BLHVector3d, Vector2d})
      t[result] = kNetwork3d;
    // 二维网联合/约束平差; the report lists the relative precision of the user's point pairs, the
    // tunnel extract takes the guide file's points.
    for (ProjectFile result : {Test2d, XY2d, XYEFT2d}) t[result] = kNetwork2d;
    t[Result2d] = Plus(kNetwork2d, {RelativePairs});
    t[BreakthroughExtract] = Plus(kNetwork2d, {BreakthroughGuide});
    t[BreakthroughReport] = {BreakthroughExtract, BreakthroughGuide};
    // GPS高程拟合 and 椭球面三维平差.
    for (ProjectFile result : {Heights1d, Result1d, Test1d}) t[result] = {KnownH, BLH3d};
    for (ProjectFile result : {Combined3dResult, Combined3dTest}) t[result] = kNetwork3d;
    // The checks. The misclosures are computed from the loop file, which the user may edit;
    // the synchronous loops come from session files that are no files of the catalogue.
    t[Loop] = Plus(kVectors, {KnownXYZ});
    t[Misclosure] = Plus(kVectors, {KnownXYZ, Loop, Cluster3d});
    t[SyncMisclosure] = {SyncLoop};
    for (ProjectFile result : {RepeatBaseline, RepeatBaselineClassAB}) t[result] = Plus(kVectors, {KnownXYZ});
    // GPS三维秩亏自由网: its inputs come from a 3D run, its outputs from those inputs (whose datum
    // weights the user may edit).
    for (ProjectFile result : kFreeNetworkInput) t[result] = Plus(kVectors, {KnownXYZ});
    for (ProjectFile result : {FreeXXOut, FreeQxxOut, FreeMxxOut, FreeXXQxx, FreeENUQenu}) t[result] = kFreeNetworkInput;
    // The GIS exports of the adjusted network.
    for (ProjectFile result : {GeoJson, Kml}) t[result] = {Result3d};
    return t;
  }();
  return table;
}

}  // namespace

std::span<const ProjectFile> InputsOf(ProjectFile result) {
  const auto& table = Table();
  const auto it = table.find(result);
  if (it == table.end()) return {};
  return it->second;
}

ResultCurrency CheckResultCurrency(ProjectFile result, int variant) {
  namespace fs = std::filesystem;
  ResultCurrency currency;
  std::error_code ec;
  const fs::file_time_type made = fs::last_write_time(ResolvePathNoCase(CurrentProjectFile(result, variant)), ec);
  if (ec) return currency;
  currency.exists = true;
  for (ProjectFile input : InputsOf(result)) {
    const fs::file_time_type changed = fs::last_write_time(ResolvePathNoCase(CurrentProjectFile(input, variant)), ec);
    if (ec || changed <= made) continue;
    currency.newerInput = input;
    break;
  }
  return currency;
}

}  // namespace vemo
