// The fixture of the baseline importer tests: a project in a temporary directory handed to
// the library, the exports written into a second directory, the importer of a type run on
// them with the test host recording its messages.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "project/AppState.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/ReadGPS3dBaseline.h"
#include "tests/support/TestHost.h"

namespace vemo::test {

inline std::string BaselineData(const std::string& name) { return std::string(VEMO_TEST_DATA_DIR) + "/baselines/" + name; }

inline std::string Content(const std::string& path) { return ReadWholeFile(path).value_or("<missing>"); }

class BaselineFixture : public testing::Test {
 protected:
  ScopedTestHost scoped;
  TempDir work;
  std::string projectDir = (work.path() / "project").string();
  std::string exportsDir = (work.path() / "exports").string();

  void SetUp() override {
    std::filesystem::create_directories(projectDir);
    std::filesystem::create_directories(exportsDir);
    CProjectState& p = Project();
    p.projectName = "demo";
    p.projectDir = projectDir;
    p.projectOpen = 1;
    SetGlobalVal(&p.configuration, p.projectDir, p.projectName);
  }

  CGPSConfiguration& config() { return Project().configuration; }
  TestHost& host() { return scoped.host; }

  // Writes an export (GBK bytes as given) and returns its path.
  std::string Export(const std::string& name, const std::string& content) {
    std::string path = exportsDir + "/" + name;
    WriteTestFile(path, content);
    return path;
  }
  // Plain writes: the atomic replacement syncs to disk, which the sweeps cannot afford.
  static void WriteTestFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    EXPECT_TRUE(out.good()) << path;
  }
  // A copy of a sample export of tests/data/baselines.
  std::string Sample(const std::string& name) {
    return Export(std::filesystem::path(name).filename().string(), Content(BaselineData(name)));
  }

  // The known-coordinate file of the project.
  std::string KnownFile() const { return projectDir + "/demo.GPS3dKnownXYZ"; }
  void WriteKnown(const std::string& content) { WriteTestFile(KnownFile(), content); }

  // Runs the importer of type on files; merged: the merged file's path (merging on).
  int Import(int type, const std::vector<std::string>& files, std::optional<std::string> merged = std::nullopt,
             double k = 1.0) {
    CGPSConfiguration& c = config();
    c.m_BaselineType = type;
    c.m_BaselineVarianceFactor = k;
    c.m_SyncBaselineFiles.clear();
    for (const auto& f : files) c.m_SyncBaselineFiles.push_back(PathToGbk(f));
    c.m_MergeFiles = merged.has_value();
    c.m_ConvertedBaselineFile = merged ? PathToGbk(*merged) : std::string();
    const CBaselinePackage* package = BaselinePackageOf(type);
    EXPECT_TRUE(package && package->reader) << "type " << type;
    CReadGPS3dBaseline baselines;
    return package && package->reader ? baselines.Import(type) : -1;
  }

  std::string SyncPath(const std::string& stem) const { return projectDir + "/" + stem + ".GPS3DVector_S"; }
  std::string Output(const std::string& stem) const { return Content(SyncPath(stem)); }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& m : scoped.host.messages) texts.push_back(m.Utf8Text());
    return texts;
  }
};

}  // namespace vemo::test
