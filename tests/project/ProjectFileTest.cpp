#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>

#include "project/AppState.h"
#include "project/GradeTable.h"
#include "project/ProjectDialogs.h"
#include "project/ProjectFile.h"
#include "geodesy/FileUtil.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;

// An independent writer of the record layout, to check the bytes of the project file.
struct Bytes {
  std::string b;
  Bytes& I(int32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); return *this; }
  Bytes& D(double v) { b.append(reinterpret_cast<const char*>(&v), 8); return *this; }
  Bytes& S(const std::string& s) {
    if (s.size() < 255) {
      b += static_cast<char>(s.size());
    } else {
      b += '\xFF';
      uint16_t n = static_cast<uint16_t>(s.size());
      b.append(reinterpret_cast<const char*>(&n), 2);
    }
    b += s;
    return *this;
  }
  Bytes& Cs(const std::string& name, double a, double f, int32_t flag) { return S(name).D(a).D(f).I(flag); }
};

// Records 14 to 21 of a configuration fresh from the constructor or the creation-mode dialog.
void AppendCreationTail(Bytes& x) {
  x.Cs(G(u8"北京54"), 6378245.0, 298.3, 1);
  x.I(5);
  x.Cs(G(u8"北京54"), 6378245.0, 298.3, 1).Cs(G(u8"西安80"), 6378140.0, 298.257, 1);
  x.Cs("CGCS2000", 6378137.0, 298.257222101, 1).Cs("WRS80", 6378137.0, 298.257222101, 1);
  x.Cs("WGS84", 6378137.0, 298.257223563, 1);
  x.D(0.0).D(0.0).D(0.0).I(-1).I(0).I(0);
}

std::string FreshConfigurationBytes() {
  Bytes x;
  x.S("").S("").I(2).I(0);
  for (double v : {5.0, 1.0, 5.0, 1.0, 2.828, 0.2, 3.0, 3.0, 2.0, -1.0, -1.0, -1.0, -1.0, -1.0, -1.0}) x.D(v);
  x.I(-1).D(120.0).D(0.0).D(0.0).I(0).D(1.0).I(0).I(0);
  AppendCreationTail(x);
  return x.b;
}

TEST(ProjectFile, FreshConfigurationLayoutIsExact) {
  test::ScopedTestHost scope;
  CGPSConfiguration fresh;
  EXPECT_EQ(SerializeConfiguration(fresh), FreshConfigurationBytes());
}

TEST(ProjectFile, NewProjectFileLayoutIsExact) {
  test::ScopedTestHost scope;
  test::TempDir dir;
  CProjectDlgRecord r = OpenNewProjectDialog(Project().configuration);
  r.name = "demo";
  r.directory = dir.str() + "/sub";
  ASSERT_EQ(AcceptNewProject(r), DialogOutcome::Accepted);
  // Creation-mode values with grade 0 applied: a and b from the instrument errors.
  Bytes x;
  x.S("demo").S(r.directory).I(0).I(0);
  for (double v : {5.0, 1.0, 5.0, 1.0, 4.243, 0.2, 2.0, 3.0, 2.0, -1.0, -1.0, 100000000.0, -1.0, 2.0, 3.0}) x.D(v);
  x.I(-1).D(117.0).D(0.0).D(0.0).I(0).D(1.0).I(0).I(0);
  AppendCreationTail(x);
  EXPECT_EQ(ReadWholeFile(r.directory + "/demo.prj").value_or(""), x.b);
}

TEST(ProjectFile, SaveAndLoadGiveTheSameValues) {
  test::ScopedTestHost scope;
  CGPSConfiguration fresh;
  fresh.m_SyncBaselineFiles = {"/a/b.asc", G(u8"/数据/c.ssf")};
  fresh.m_IndependentBaselineFiles = {"x.GPS3DVector_S"};
  std::string bytes = SerializeConfiguration(fresh);
  CGPSConfiguration loaded;
  ASSERT_TRUE(DeserializeConfiguration(bytes, loaded));
  EXPECT_EQ(loaded.m_GradeIndex, 2);
  EXPECT_EQ(loaded.m_CentralMeridian, 120.0);
  EXPECT_EQ(loaded.m_CoorsSystems.GetCount(), 5);
  EXPECT_EQ(loaded.m_CurrentCoorsSystem.m_Name, G(u8"北京54"));
  EXPECT_EQ(loaded.m_SyncBaselineFiles, fresh.m_SyncBaselineFiles);
  EXPECT_EQ(loaded.m_IndependentBaselineFiles, fresh.m_IndependentBaselineFiles);
  // Loading applies grade 2 to the precision parameters of a fresh object (its own defaults
  // are not grade 2's); from then on save and load are a fixed point.
  EXPECT_EQ(loaded.m_NetClass[NetClassParameters::kWeakestSideRelativeError], 1000000.0);
  std::string again = SerializeConfiguration(loaded);
  CGPSConfiguration reloaded;
  ASSERT_TRUE(DeserializeConfiguration(again, reloaded));
  EXPECT_EQ(SerializeConfiguration(reloaded), again);
}

TEST(ProjectFile, GradeIsAppliedAfterRecordEleven) {
  test::ScopedTestHost scope;
  CGPSConfiguration stored;
  stored.m_GradeIndex = 3;
  stored.m_NetClass.m_Value.fill(1.0);  // a = b = 1 and every coefficient 1
  stored.m_NetClass[NetClassParameters::kInstrumentFixedError] = 7.5;
  stored.m_NetClass[NetClassParameters::kInstrumentProportionalError] = 2.5;
  CGPSConfiguration loaded;
  ASSERT_TRUE(DeserializeConfiguration(SerializeConfiguration(stored), loaded));
  const auto& p = loaded.m_NetClass;
  EXPECT_EQ(p[NetClassParameters::kFixedError], 7.5);  // grades 0..4 take the instrument errors
  EXPECT_EQ(p[NetClassParameters::kProportionalError], 2.5);
  EXPECT_EQ(p[NetClassParameters::kRepeatBaselineCoefficient], 2.828);
  EXPECT_EQ(p[NetClassParameters::kSyncLoopCoefficient], 0.2);
  EXPECT_EQ(p[NetClassParameters::kAsyncLoopCoefficient], 3.0);
  EXPECT_EQ(p[NetClassParameters::kVectorCorrectionCoefficient], 3.0);
  EXPECT_EQ(p[NetClassParameters::kVectorCorrectionDifferenceCoefficient], 2.0);
  EXPECT_EQ(p[NetClassParameters::kWeakestSideRelativeError], 100000);
  EXPECT_EQ(p.m_LoopSideLimit, 8);

  stored.m_GradeIndex = kCustomGrade;
  stored.m_NetClass.m_LoopSideLimit = 42;
  ASSERT_TRUE(DeserializeConfiguration(SerializeConfiguration(stored), loaded));
  EXPECT_EQ(loaded.m_NetClass, stored.m_NetClass);  // grade 34 keeps every stored value
}

TEST(GradeTable, CityAndRailGradesLeaveInstrumentErrorsAlone) {
  CGPSConfiguration c;
  c.m_NetClass[NetClassParameters::kInstrumentFixedError] = 3.0;
  c.m_GradeIndex = 10;  // "高铁CP0"
  ApplyGrade(c);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kFixedError], 5.0);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kProportionalError], 0.2);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kInstrumentFixedError], 3.0);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kSyncLoopCoefficient], -1.0);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kAdjacentPointError], 20.0);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kWeakestSideRelativeError], 2000000.0);
  c.m_GradeIndex = 21;  // "水利水电勘测二等"
  ApplyGrade(c);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kVectorCorrectionCoefficient], -1.0);
  EXPECT_EQ(c.m_NetClass.m_LoopSideLimit, 5);
  EXPECT_STREQ(GradeName(17), G(u8" 公路三等").c_str());  // the blank is part of the name
  EXPECT_STREQ(GradeName(34), G(u8"自定义").c_str());
  EXPECT_EQ(GradeName(35), nullptr);
  NetClassParameters before = c.m_NetClass;
  c.m_GradeIndex = 99;  // out of range: nothing applied
  ApplyGrade(c);
  EXPECT_EQ(c.m_NetClass, before);
}

TEST(ProjectFile, StoredBuiltInNamesLoseAndNewNamesAccumulate) {
  test::ScopedTestHost scope;
  CGPSConfiguration stored;
  stored.m_CoorsSystems.RemoveAll();
  stored.m_CoorsSystems.SetAt("WGS84", {"WGS84", 1.0, 2.0, 0});
  stored.m_CoorsSystems.SetAt(" local ", {" local ", 6378000.0, 300.0, 0});
  CGPSConfiguration loaded;
  ASSERT_TRUE(DeserializeConfiguration(SerializeConfiguration(stored), loaded));
  EXPECT_EQ(loaded.m_CoorsSystems.GetCount(), 6);
  EXPECT_EQ(loaded.m_CoorsSystems.Lookup("WGS84")->m_a, 6378137.0);
  // Keyed by its name in normal form, as the dialogs look it up.
  EXPECT_EQ(loaded.m_CoorsSystems.Lookup(" local "), nullptr);
  const CCoorsSystemSet* local = loaded.m_CoorsSystems.Lookup("LOCAL");
  ASSERT_NE(local, nullptr);
  EXPECT_EQ(local->m_Name, "LOCAL");  // named trimmed and upper-cased
  EXPECT_EQ(local->m_a, 6378000.0);
}

// Two stored names of one normal form were two entries named alike, and the second was lost
// at the next load after a save: now they are one entry at once, and a difference is said.
TEST(ProjectFile, NamesOfOneNormalFormAreOneEntryThatSurvivesSaving) {
  test::ScopedTestHost scope;
  CGPSConfiguration stored;
  stored.m_CoorsSystems.SetAt(" mine", {" mine", 6378000.0, 300.0, 0});
  stored.m_CoorsSystems.SetAt("MINE", {"MINE", 6378000.0, 300.0, 0});
  stored.m_CoorsSystems.SetAt("wgs84", {"wgs84", 6378137.0, 298.257223563, 0});
  CGPSConfiguration once;
  ASSERT_TRUE(DeserializeConfiguration(SerializeConfiguration(stored), once));
  EXPECT_EQ(once.m_CoorsSystems.GetCount(), 6);
  EXPECT_TRUE(scope.host.messages.empty());  // the same values: nothing to say
  CGPSConfiguration twice;
  ASSERT_TRUE(DeserializeConfiguration(SerializeConfiguration(once), twice));
  EXPECT_EQ(twice.m_CoorsSystems, once.m_CoorsSystems);

  stored.m_CoorsSystems.SetAt("MINE", {"MINE", 6378001.0, 300.0, 0});
  CGPSConfiguration differing;
  ASSERT_TRUE(DeserializeConfiguration(SerializeConfiguration(stored), differing));
  EXPECT_EQ(differing.m_CoorsSystems.Lookup("MINE")->m_a, 6378000.0);
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_EQ(scope.host.messages[0].Utf8Text(), u8"工程文件中的坐标系统MINE出现了两次且参数不同,只保留第一次的参数!");
}

// Loading is linear in the number of coordinate systems (it was quadratic: 160,000 took
// minutes), and a count beyond what any project holds is a damaged file.
TEST(ProjectFile, ManyCoordinateSystemsLoadQuicklyAndTooManyAreRefused) {
  test::ScopedTestHost scope;
  CGPSConfiguration stored;
  for (int i = 0; i < kMaxCoorsSystems - 5; ++i) {
    const std::string name = "CS" + std::to_string(i);
    stored.m_CoorsSystems.SetAt(name, {name, 6378000.0 + i, 300.0, 0});
  }
  const std::string bytes = SerializeConfiguration(stored);
  CGPSConfiguration loaded;
  const auto start = std::chrono::steady_clock::now();
  // Ten loads: about 0.05 s here (0.5 s under the sanitizers), several seconds when each
  // insertion searched the entries before it.
  for (int run = 0; run < 10; ++run) {
    loaded = CGPSConfiguration{};
    ASSERT_TRUE(DeserializeConfiguration(bytes, loaded));
  }
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0);
  EXPECT_EQ(loaded.m_CoorsSystems.GetCount(), kMaxCoorsSystems);

  stored.m_CoorsSystems.SetAt("ONE MORE", {"ONE MORE", 6378000.0, 300.0, 0});
  std::string field;
  EXPECT_FALSE(DeserializeConfiguration(SerializeConfiguration(stored), loaded, &field));
  EXPECT_EQ(field, u8"坐标系统个数");
}

TEST(ProjectFile, LongStringsUseTheWidePrefix) {
  test::ScopedTestHost scope;
  CGPSConfiguration c;
  c.m_ProjectName = std::string(300, 'n');
  std::string bytes = SerializeConfiguration(c);
  EXPECT_EQ(bytes.substr(0, 3), std::string("\xFF\x2C\x01", 3));
  CGPSConfiguration loaded;
  ASSERT_TRUE(DeserializeConfiguration(bytes, loaded));
  EXPECT_EQ(loaded.m_ProjectName, c.m_ProjectName);
  c.m_ProjectName = std::string(70000, 'm');  // 0xFF 0xFFFF and a 32-bit length
  bytes = SerializeConfiguration(c);
  EXPECT_EQ(bytes.substr(0, 7), std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7));
  ASSERT_TRUE(DeserializeConfiguration(bytes, loaded));
  EXPECT_EQ(loaded.m_ProjectName.size(), 70000u);
}

TEST(ProjectFile, Utf16StringsAreConvertedToGbk) {
  test::ScopedTestHost scope;
  std::string fresh = FreshConfigurationBytes();
  // Replace the empty project name (first byte 0) with the Unicode form of "测试".
  std::string unicode("\xFF\xFE\xFF\x02\x4B\x6D\xD5\x8B", 8);  // U+6D4B U+8BD5
  std::string bytes = unicode + fresh.substr(1);
  CGPSConfiguration loaded;
  ASSERT_TRUE(DeserializeConfiguration(bytes, loaded));
  EXPECT_EQ(loaded.m_ProjectName, G(u8"测试"));
}

// Every prefix of a valid file is a damaged file: the reader stops cleanly.
TEST(ProjectFile, TruncatedAtEveryOffsetFailsCleanly) {
  test::ScopedTestHost scope;
  CGPSConfiguration c;
  c.m_SyncBaselineFiles = {"one", "two"};
  std::string bytes = SerializeConfiguration(c);
  for (size_t n = 0; n < bytes.size(); ++n) {
    CGPSConfiguration loaded;
    EXPECT_FALSE(DeserializeConfiguration(bytes.substr(0, n), loaded)) << n;
  }
}

// Random damage anywhere in the file: the reader either loads or fails, never crashes (this is
// what the sanitizer build checks).
TEST(ProjectFile, RandomlyDamagedFilesNeverCrash) {
  test::ScopedTestHost scope;
  CGPSConfiguration c;
  c.m_SyncBaselineFiles = {"one", std::string(300, 's')};
  c.m_CoorsSystems.SetAt("MINE", {"MINE", 1, 2, 0});
  const std::string bytes = SerializeConfiguration(c);
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    std::string damaged = bytes;
    int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) damaged[rng() % damaged.size()] = static_cast<char>(rng() & 0xFF);
    if (rng() % 3 == 0) damaged.resize(rng() % damaged.size());
    CGPSConfiguration loaded;
    DeserializeConfiguration(damaged, loaded);
  }
}

TEST(ProjectFile, AbsurdCountsAndLengthsAreRefusedWithoutAllocating) {
  test::ScopedTestHost scope;
  std::string fresh = FreshConfigurationBytes();
  const size_t listOffset = 2 + 4 + 4 + 15 * 8 + 4 + 8 * 3 + 4 + 8;  // record 12
  auto withInt = [&](size_t offset, uint32_t v) {
    std::string b = fresh;
    std::memcpy(&b[offset], &v, 4);
    return b;
  };
  CGPSConfiguration loaded;
  EXPECT_FALSE(DeserializeConfiguration(withInt(listOffset, 0x80000000u), loaded));  // negative
  EXPECT_FALSE(DeserializeConfiguration(withInt(listOffset, 0x7FFFFFFFu), loaded));  // 2^31 - 1 strings
  // A 4 GB string length for the project name.
  std::string huge = std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7) + fresh.substr(1);
  EXPECT_FALSE(DeserializeConfiguration(huge, loaded));
  std::string hugeUnicode = std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 10) + fresh.substr(1);
  EXPECT_FALSE(DeserializeConfiguration(hugeUnicode, loaded));
  // A coordinate system count that the remaining bytes cannot hold.
  const size_t csCountOffset = listOffset + 8 + (1 + G(u8"北京54").size()) + 8 + 8 + 4;
  EXPECT_FALSE(DeserializeConfiguration(withInt(csCountOffset, 1000000u), loaded));
}

TEST(ProjectFile, DamagedFileAsksAndYesKeepsWhatWasRead) {
  test::ScopedTestHost scope;
  test::TempDir dir;
  Project().projectDir = dir.str();
  Project().projectName = "p";
  CGPSConfiguration c;
  c.m_GradeIndex = 7;
  c.m_CoorsSystems.SetAt("MINE", {"MINE", 1, 2, 0});
  std::string bytes = SerializeConfiguration(c);
  ASSERT_TRUE(WriteFileAtomically(dir.str() + "/p.prj", bytes.substr(0, bytes.size() - 30)));

  EXPECT_EQ(LoadProjectFile(), 0);  // no person to ask: the safe answer No
  ASSERT_EQ(scope.host.messages.size(), 1u);
  const auto& m = scope.host.messages[0];
  EXPECT_EQ(m.text, G(u8"无效的工程文件或该文件\n已被破坏,继续进行？"));
  EXPECT_EQ(m.icon, MessageIcon::Question);
  EXPECT_EQ(m.buttons, MessageButtons::YesNo);
  EXPECT_EQ(m.defaultButton, 1);
  EXPECT_EQ(Project().configuration.m_GradeIndex, 7);  // read before the damage

  Project().configuration = CGPSConfiguration{};
  Project().configuration.m_CoorsSystems.SetAt("OTHER", {"OTHER", 1, 2, 0});
  scope.host.QueueAnswer(MessageAnswer::Yes);
  EXPECT_EQ(LoadProjectFile(), 1);
  EXPECT_EQ(Project().configuration.m_GradeIndex, 7);
  EXPECT_EQ(Project().configuration.m_CoorsSystems.GetCount(), 5);  // reset to the built-in set
  EXPECT_EQ(Project().configuration.m_CurrentCoorsSystem.m_Name, G(u8"北京54"));
}

TEST(ProjectFile, MissingFileLeavesConfigurationAndSaveFailureKeepsOldFile) {
  test::ScopedTestHost scope;
  test::TempDir dir;
  Project().projectDir = dir.str();
  Project().projectName = "absent";
  Project().configuration.m_GradeIndex = 9;
  EXPECT_EQ(LoadProjectFile(), 0);
  EXPECT_EQ(Project().configuration.m_GradeIndex, 9);
  EXPECT_TRUE(scope.host.messages.empty());

  Project().projectName = "";
  EXPECT_EQ(SaveProjectFile(), 0);  // no name: nothing written

  Project().projectDir = dir.str() + "/no/such/level";
  Project().projectName = "x";
  testing::internal::CaptureStdout();
  EXPECT_EQ(SaveProjectFile(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Couldn't open source file: ", 0), 0u);

  // A failed replacement leaves the previous file intact: the target is a directory here.
  Project().projectDir = dir.str();
  ASSERT_TRUE(WriteFileAtomically(dir.str() + "/keep.prj", "old"));
  Project().projectName = "keep";
  EXPECT_EQ(SaveProjectFile(), 1);
  std::filesystem::create_directory(dir.str() + "/blocked.prj");
  Project().projectName = "blocked";
  testing::internal::CaptureStdout();
  EXPECT_EQ(SaveProjectFile(), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::filesystem::is_directory(dir.str() + "/blocked.prj"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // no temporaries left
}

// Every host's OK refuses what the next load would call damaged (the desktop's fields take any
// number): the configuration keeps its values and nothing is saved.
TEST(ProjectFile, DialogValuesBeyondTheirBoundsAreRefusedOnOk) {
  test::ScopedTestHost scope;
  CProjectDlgRecord r = OpenSettingsDialog(Project().configuration);
  r.xConstant = 1e308;
  EXPECT_EQ(AcceptSettings(r), 0);
  EXPECT_EQ(Project().configuration.m_XConstant, 0.0);
  r.xConstant = 0, r.independentBaselineCount = 1000000000;
  EXPECT_EQ(AcceptSettings(r), 0);
  CCustomPrecisionRecord custom;
  custom.syncLoopCoefficient = 1e308;
  AcceptCustomPrecision(custom);
  EXPECT_NE(Project().configuration.m_NetClass[NetClassParameters::kSyncLoopCoefficient], 1e308);
  ASSERT_EQ(scope.host.messages.size(), 3u);
  EXPECT_EQ(scope.host.messages[0].Utf8Text(), u8"X坐标加常数(km)的值1e+308超出范围(-100000～100000)!");
  EXPECT_EQ(scope.host.messages[1].Utf8Text(), u8"独立基线条数的值1e+09超出范围(-1～1e+06)!");
}

// The exit save of a changed project that cannot be written is a failure of the run, named.
TEST(ProjectFile, AnExitSaveThatFailsIsReported) {
  test::ScopedTestHost scope;
  test::TempDir dir;
  CProjectState& p = Project();
  p.projectDir = p.projectFileDir = dir.str();
  p.projectName = "blocked";
  p.configurationFromFile = true;
  std::filesystem::create_directory(dir.str() + "/blocked.prj");
  testing::internal::CaptureStdout();
  EXPECT_FALSE(SaveOnExit());
  testing::internal::GetCapturedStdout();
  ASSERT_FALSE(scope.host.messages.empty());
  EXPECT_EQ(scope.host.messages.back().Utf8Text(),
            u8"不能保存工程文件" + dir.str() + u8"/blocked.prj,工程参数的修改未保存!");
  p.projectName = "fine";
  EXPECT_TRUE(SaveOnExit());
  EXPECT_TRUE(FileExists(dir.str() + "/fine.prj"));
}

}  // namespace
