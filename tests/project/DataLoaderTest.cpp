// The loaders of the project data files: reading rules, data sets and their failure messages.
#include <fcntl.h>
#include <gtest/gtest.h>

#include "tests/support/LineReaderReference.h"
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cmath>
#include <fstream>
#include <random>

#include "adjust3d/GPS3dCombinedAdjust.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "project/data/ReadGPS1dHeight.h"
#include "project/data/ReadGPS2dVector.h"
#include "project/data/ReadGPS3dCombinedNet.h"
#include "project/data/ReadGPS3dVector.h"
#include "project/data/VectorFileReader.h"
#include "geodesy/Angles.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;

const char* const kReadError = u8"在第 %d 行读取数据错误!";

// A project "t" in a temporary directory on the WGS84 ellipsoid.
class DataLoaderTest : public testing::Test {
 protected:
  DataLoaderTest() {
    Project().projectDir = dir.str();
    Project().projectName = "t";
    Project().configuration.m_CurrentCoorsSystem = {"WGS84", 6378137.0, 298.257223563, 1};
  }
  std::string PathOf(const std::string& extension) { return dir.str() + "/t." + extension; }
  void Write(const std::string& extension, const std::string& content) {
    std::ofstream(PathOf(extension), std::ios::binary) << content;
  }
  const std::vector<test::RecordedMessage>& Messages() { return scoped.host.messages; }
  std::string OnlyMessage() {
    EXPECT_EQ(Messages().size(), 1u);
    return Messages().empty() ? "" : Messages().back().text;
  }
  void WriteNetwork() {  // two known points and a triangle of vectors
    Write("GPS3dKnownXYZ", "k1 -2263483.8885 5013061.1228 3218279.9226\nK2 -2264000 5012000 3219000\n");
    Write("GPS3dVector",
          "K2 N1 10 20 30 1 1 1 0 0 0\n"
          "N2 K1 -5 -6 -7 1 1 1 0 0 0\n"
          "n1 n2 1 2 3 1 1 1 0 0 0\n");
  }

  test::ScopedTestHost scoped;
  test::TempDir dir;
};

// Geocentric coordinates from geodetic ones, written out here as an independent reference.
void Geocentric(double a, double invF, double b, double l, double h, double xyz[3]) {
  double f = 1.0 / invF, e2 = f * (2.0 - f);
  double n = a / std::sqrt(1.0 - e2 * std::sin(b) * std::sin(b));
  xyz[0] = (n + h) * std::cos(b) * std::cos(l);
  xyz[1] = (n + h) * std::cos(b) * std::sin(l);
  xyz[2] = (n * (1.0 - e2) + h) * std::sin(b);
}

TEST(TextLineReader, ReadsLikeTextModeIntoAFixedBuffer) {
  // CR LF is one line end; a line longer than the buffer continues as the next "line".
  const std::string content = "ab\r\ncd\n" + std::string(12, 'x') + "\n\nlast";
  CTextLineReader reader(content, 6);
  std::vector<std::string> lines;
  for (std::string line; reader.Next(line);) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"ab\n", "cd\n", "xxxxx", "xxxxx", "xx\n", "\n", "last"}));
  EXPECT_EQ(reader.LineCount(), 7);
}

// Lines taken in one piece and lines read character by character are the same pieces: random
// content of short lines, tabs, carriage returns (alone and before line feeds) and zero bytes.
TEST(TextLineReader, PiecesAreThoseOfACharacterByCharacterReader) {
  std::mt19937 random(7);
  const char alphabet[] = {'a', 'b', ' ', '\t', '\r', '\n', '\n', '\0'};
  for (int round = 0; round < 200; ++round) {
    std::string content(random() % 60, 'x');
    for (char& c : content) c = alphabet[random() % sizeof alphabet];
    for (int buffer : {2, 5, 12, 300}) {
      CTextLineReader reader(content, buffer);
      std::vector<std::string> pieces;
      for (std::string line; reader.Next(line);) pieces.push_back(line);
      std::vector<char> cuts;
      ASSERT_EQ(pieces, test::ReadByCharacter(content, buffer, cuts)) << round << " " << buffer;
    }
  }
}

TEST(TextLineReader, StopsAPieceAtAZeroByteAndKeepsALoneCarriageReturn) {
  const std::string content("a\0b\nc\rd\n", 8);
  CTextLineReader reader(content, 100);
  std::string line;
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line, "a");
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line, "c\rd\n");
}

// A vector line that the 300-character buffer cannot hold whole was read as two pieces, the
// first of which could pass for a vector and the rest skipped unseen (20 of 21 vectors used):
// it is a read error naming the line. A line of exactly 299 characters is whole.
TEST_F(DataLoaderTest, AVectorLineLongerThanTheBufferIsAnErrorNamingItsLine) {
  const std::string fits = "K2 N1 10 20 30 1 1 1 0 0 0", padded = fits + std::string(299 - fits.size(), ' ');
  WriteNetwork();
  std::ofstream(PathOf("GPS3dVector"), std::ios::binary | std::ios::app) << padded << "\r\n";
  CReadGPS3dVector whole(0);
  EXPECT_EQ(whole.Load(), 1);
  EXPECT_EQ(whole.m_VectorCount, 4);
  EXPECT_TRUE(Messages().empty());

  WriteNetwork();
  std::ofstream(PathOf("GPS3dVector"), std::ios::binary | std::ios::app) << padded << " \n" << fits << "\n";
  CReadGPS3dVector cut(0);
  EXPECT_EQ(cut.Load(), 0);
  EXPECT_EQ(OnlyMessage(), G((u8"文件" + PathOf("GPS3dVector") + u8"第 4 行超过299个字符,不能完整读取!").c_str()));
  const std::string longLine = std::string(300, 'x') + "\n";  // the reader keeps a view of it
  CTextLineReader reader(longLine, 300);
  std::string piece;
  ASSERT_TRUE(reader.Next(piece));
  EXPECT_TRUE(reader.LastPieceCut());
}

TEST_F(DataLoaderTest, CommaSeparatedBlhLineIsConvertedOnTheCurrentEllipsoid) {
  Write("GPS3dKnownXYZ", "P1, 30.1522, 114.2030, 25.3\nP2,-2263483.8885,5013061.1228,3218279.9226\n");
  Write("GPS3dVector", "P1 P2 1 1 1 1 1 1 0 0 0\n");
  for (const char* name : {"WGS84", "KRASS"}) {
    if (std::string(name) == "KRASS") Project().configuration.m_CurrentCoorsSystem = {"KRASS", 6378245.0, 298.3, 0};
    const CCoorsSystemSet& e = Project().configuration.m_CurrentCoorsSystem;
    CReadGPS3dVector set(0);
    ASSERT_EQ(set.Load(), 1) << name;
    double expected[3];
    Geocentric(e.m_a, e.m_InvF, (30 + 15 / 60.0 + 22 / 3600.0) * PI / 180, (114 + 20 / 60.0 + 30 / 3600.0) * PI / 180,
               25.3, expected);
    ASSERT_EQ(set.m_KnownPointCount, 2);
    EXPECT_EQ(set.m_KnownName[0], "P1");
    EXPECT_NEAR(set.m_X[0], expected[0], 1e-6) << name;  // m
    EXPECT_NEAR(set.m_Y[0], expected[1], 1e-6) << name;
    EXPECT_NEAR(set.m_Z[0], expected[2], 1e-6) << name;
    // A first value of several million metres is a geocentric X: taken as it stands.
    EXPECT_EQ(set.m_X[1], -2263483.8885);
    EXPECT_EQ(set.m_Z[1], 3218279.9226);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(DataLoaderTest, NameWithOneValueFailsThe3dLoadButIsAHeightPointOfTheEllipsoidalSet) {
  Write("GPS3dKnownXYZ", "K1 30.1522 114.2030 25.3\n\n  \nH1 25.3\nK2 31.0 115.0\n");
  Write("GPS3dVector", "K1 H1 1 1 1 1 1 1 0 0 0\nH1 K2 1 1 1 1 1 1 0 0 0\n");
  CReadGPS3dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(set.m_ErrorFlag, 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text, Format(G(kReadError).c_str(), 4));  // the blank lines count
  EXPECT_EQ(Messages()[0].caption, "Read GPS 3D Baseline");
  EXPECT_EQ(Messages()[0].icon, MessageIcon::Warning);

  scoped.host.messages.clear();
  CReadGPS3dCombinedNet ellipsoidal;
  ASSERT_EQ(ellipsoidal.Load(), 1);
  EXPECT_TRUE(Messages().empty());
  ASSERT_EQ(ellipsoidal.m_KnownPointCount, 3);
  EXPECT_EQ(ellipsoidal.m_KnownType, (std::vector<int>{3, 1, 2}));
  EXPECT_EQ(ellipsoidal.m_PointName, (std::vector<std::string>{"K1", "H1", "K2"}));
  EXPECT_EQ(ellipsoidal.m_H[1], 25.3);
  EXPECT_EQ(ellipsoidal.m_B[1], 0.0);
  EXPECT_DOUBLE_EQ(ellipsoidal.m_B[2], DmsToRadian(31.0));
  EXPECT_DOUBLE_EQ(ellipsoidal.m_L[0], DmsToRadian(114.2030));
}

TEST_F(DataLoaderTest, EllipsoidalSetTakesSmallValuesAsLatitudeAndConvertsGeocentricPoints) {
  // A first value of 1000 would be a latitude as well, an impossible one (KnownPointReadingTest).
  Write("GPS3dKnownXYZ", "A 89.5959 10 5\nB -2263483.8885 5013061.1228 3218279.9226\nC\nD 1 2 3 4\n");
  Write("GPS3dVector", "A B 1 1 1 1 1 1 0 0 0\n");
  CReadGPS3dCombinedNet set;
  ASSERT_EQ(set.Load(), 1);
  ASSERT_EQ(set.m_KnownPointCount, 2);  // a name alone and five items are skipped
  EXPECT_DOUBLE_EQ(set.m_B[0], DmsToRadian(89.5959));
  EXPECT_NEAR(set.m_B[1], DmsToRadian(30.30), 1e-9);  // the point of the conversion engine's example
  EXPECT_NEAR(set.m_L[1], DmsToRadian(114.18), 1e-9);
  EXPECT_NEAR(set.m_H[1], 50.0, 1e-3);
}

TEST_F(DataLoaderTest, FlaggedVectorFileLoadsWithoutTheLeftOutLinesAndFailsTheEllipsoidalSet) {
  WriteNetwork();
  const char* line = " %d %16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n";
  std::string file = "/data/session1.GPS3DVector_S\n";
  file += Format(line, 0, "K2", "N1", 10.0, 20.0, 30.0, 1.0, 2.0, 3.0, 0.1, 0.2, 0.3);
  file += Format(line, 1, "K2", "K1", 99.0, 99.0, 99.0, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0);
  file += "/data/session2.GPS3DVector_S\n";
  file += Format(line, 0, "N2", "K1", -5.0, -6.0, -7.0, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0);
  file += Format(line, 1, "N1", "N2", 9.0, 9.0, 9.0, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0);
  Write("GPS3dVector", file);

  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_TRUE(Messages().empty());
  ASSERT_EQ(set.m_VectorCount, 2);
  EXPECT_EQ(set.m_FromName, (std::vector<std::string>{"K2", "N2"}));
  EXPECT_EQ(set.m_DX, (std::vector<double>{10.0, -5.0}));
  EXPECT_EQ(set.m_Dzz[0], 3.0);
  EXPECT_EQ(set.m_Dyz[0], 0.3);
  EXPECT_EQ(set.m_LineCount, 6);

  CReadGPS3dCombinedNet ellipsoidal;
  EXPECT_EQ(ellipsoidal.Load(), 0);
  EXPECT_EQ(ellipsoidal.m_ErrorFlag, 1);
  EXPECT_EQ(Messages().back().text, Format(G(kReadError).c_str(), 1));
  EXPECT_EQ(Messages().back().caption, "Read GPS 3D Baseline");

  // A path with blanks is still a source line; a vector that lost its last items is an error,
  // not a baseline gone from the network.
  Write("GPS3dVector", "/data/my survey 2 of 3/s1.GPS3DVector_S\n" + file.substr(file.find('\n') + 1));
  EXPECT_EQ(CReadGPS3dVector(0).Load(), 1);
  Write("GPS3dVector", file + " 0 N1 K1 1.0 2.0 3.0 1.0 1.0\n");
  CReadGPS3dVector cut(0);
  EXPECT_EQ(cut.Load(), 0);
  EXPECT_EQ(cut.m_ErrorFlag, 1);
}

TEST_F(DataLoaderTest, VectorFileOfFourBytesIsRefused) {
  WriteNetwork();
  Write("GPS3dVector", "A B\n");
  CReadGPS3dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), G(u8"基线向量文件有误，请检查设置对话框中的基线解软件类型!"));
}

TEST_F(DataLoaderTest, VectorFileHeldByAnotherProgramIsRefused) {
  WriteNetwork();
  int fd = ::open(PathOf("GPS3dVector").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  CReadGPS3dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), G(u8"基线向量文件有误，请检查设置对话框中的基线解软件类型!"));
  ::close(fd);
  scoped.host.messages.clear();
  EXPECT_EQ(set.Load(), 1);  // released: readable again
}

TEST_F(DataLoaderTest, MissingFilesGiveTheirMessages) {
  CReadGPS3dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"打开文件%s出错!").c_str(), PathOf("GPS3dKnownXYZ").c_str()));
  scoped.host.messages.clear();
  Write("GPS3dKnownXYZ", "K1 1 2 3\n");
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"打开文件%s出错,请检查基线向量文件!").c_str(), PathOf("GPS3dVector").c_str()));
  scoped.host.messages.clear();
  CReadGPS3dVector variant(1);  // the one-point-one-direction network reads its own known file
  EXPECT_EQ(variant.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"打开文件%s出错!").c_str(), PathOf("GPS3dKnownXYZ1").c_str()));
}

TEST_F(DataLoaderTest, RemodellingGivesTheTraceOfTheInstrumentModel) {
  CGPSConfiguration& c = Project().configuration;
  c.m_ModifyBaselineCov = 1;
  c.m_NetClass[NetClassParameters::kInstrumentFixedError] = 5.0;
  c.m_NetClass[NetClassParameters::kInstrumentProportionalError] = 1.0;
  Write("GPS3dKnownXYZ", "K1 -2263483.8885 5013061.1228 3218279.9226\n");
  Write("GPS3dVector", "K1 N1 6000 8000 0 4 2 2 1 -0.5 0.25\n");  // 10 km
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_NEAR(set.m_Dxx[0] + set.m_Dyy[0] + set.m_Dzz[0], 1.25, 1e-12);  // (25 + 100) / 100 cm²
  const double k = 1.25 / 8.0;  // every element scaled alike: the correlations stay
  EXPECT_DOUBLE_EQ(set.m_Dxx[0], 4 * k);
  EXPECT_DOUBLE_EQ(set.m_Dxy[0], 1 * k);
  EXPECT_DOUBLE_EQ(set.m_Dxz[0], -0.5 * k);
  EXPECT_DOUBLE_EQ(set.m_Dyz[0], 0.25 * k);

  c.m_ModifyBaselineCov = 0;
  ASSERT_EQ(set.Load(), 1);
  EXPECT_EQ(set.m_Dxx[0], 4.0);
}

TEST_F(DataLoaderTest, RemodellingAVectorWithoutVarianceIsRefusedWithItsLine) {
  Project().configuration.m_ModifyBaselineCov = 1;
  Write("GPS3dKnownXYZ", "K1 -2263483.8885 5013061.1228 3218279.9226\n");
  Write("GPS3dVector", "K1 N1 6000 8000 0 1 1 1 0 0 0\n\nK1 N2 6000 8000 0 0 0 0 0 0 0\n");
  CReadGPS3dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"文件%s第 %d 行的基线方差之和不大于零,不能改造方差阵!").c_str(),
                                  PathOf("GPS3dVector").c_str(), 3));
}

TEST_F(DataLoaderTest, PointListHasKnownPointsFirstThenFirstAppearance) {
  WriteNetwork();
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_EQ(set.m_PointName, (std::vector<std::string>{"K1", "K2", "N1", "N2"}));
  EXPECT_EQ(set.m_PointCount, 4);
  EXPECT_EQ(set.m_From, (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(set.m_To, (std::vector<int>{2, 0, 3}));
  ASSERT_EQ(set.m_X.size(), 4u);
  EXPECT_EQ(set.m_X[0], -2263483.8885);  // known coordinates in the list, the others for the engines
  EXPECT_EQ(set.m_X[2], 0.0);
  EXPECT_EQ(set.m_GradeFixedMm, Project().configuration.m_NetClass[NetClassParameters::kFixedError]);

  CReadGPS3dCombinedNet ellipsoidal;
  ASSERT_EQ(ellipsoidal.Load(), 1);
  EXPECT_EQ(ellipsoidal.m_PointName, set.m_PointName);
  EXPECT_EQ(ellipsoidal.m_From, set.m_From);
}

// Lines that break a reader's rules: each refuses the load with the line that caused it.
struct BadLine {
  const char* what;
  const char* known;
  const char* vectors;
  int line;
  const char* message;  // UTF-8 format; %s the file, %d the line (or the line alone)
  bool inVectorFile;
};

class BadLineTest : public DataLoaderTest, public testing::WithParamInterface<BadLine> {};

TEST_P(BadLineTest, RefusesTheLoadNamingTheLine) {
  const BadLine& c = GetParam();
  Write("GPS3dKnownXYZ", c.known);
  Write("GPS3dVector", c.vectors);
  CReadGPS3dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  std::string file = PathOf(c.inVectorFile ? "GPS3dVector" : "GPS3dKnownXYZ");
  std::string expected = std::string(c.message).find("%s") == std::string::npos
                             ? Format(G(c.message).c_str(), c.line)
                             : Format(G(c.message).c_str(), file.c_str(), c.line);
  // The message, or its beginning when it goes on with the name.
  EXPECT_EQ(OnlyMessage().substr(0, expected.size()), expected) << c.what;
  EXPECT_EQ(set.m_ErrorFlag, 1) << c.what;
}

const char* const kVectors = "K1 N1 1 2 3 1 1 1 0 0 0\n";

INSTANTIATE_TEST_SUITE_P(
    Rules, BadLineTest,
    testing::Values(
        BadLine{"three items", "K1 1 2 3\nK2 1 2\n", kVectors, 2, kReadError, false},
        BadLine{"text for a number", "K1 1 2 3\nK2 1 x 3\n", kVectors, 2, kReadError, false},
        BadLine{"nan", "K1 1 2 nan\n", kVectors, 1, kReadError, false},
        BadLine{"tab-separated, three items", "K1\t1\t2\n", kVectors, 1, kReadError, false},
        BadLine{"20-character name", "ABCDEFGHIJKLMNOPQRST 1 2 3\n", kVectors, 1, u8"文件%s第 %d 行的点名", false},
        BadLine{"vector flag 2", "K1 1 2 3\n", "2 K1 N1 1 2 3 1 1 1 0 0 0\n", 1, kReadError, true},
        BadLine{"13 items", "K1 1 2 3\n", "0 K1 N1 1 2 3 1 1 1 0 0 0 7\n", 1, kReadError, true},
        BadLine{"vector number is text", "K1 1 2 3\n", "\nK1 N1 1 2 3 1 1 x 0 0 0\n", 2, kReadError, true},
        BadLine{"vector name too long", "K1 1 2 3\n", "K1 N1234567890123456789 1 2 3 1 1 1 0 0 0\n", 1,
                u8"文件%s第 %d 行的点名", true},
        BadLine{"same name, other values", "K1 1 2 3\nk1 1 2 4\n", kVectors, 2, u8"文件%s第 %d 行的点", false}),
    [](const testing::TestParamInfo<BadLine>& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

// The name-length messages carry the name and limit after the part checked above.
TEST_F(DataLoaderTest, NameOfNineteenCharactersIsReadAndTwentyIsAnErrorWithTheName) {
  Write("GPS3dKnownXYZ", "ABCDEFGHIJKLMNOPQRS 1 2 3\n");
  Write("GPS3dVector", "ABCDEFGHIJKLMNOPQRS N1 1 2 3 1 1 1 0 0 0\nN1 ABCDEFGHIJKLMNOPQRST 1 2 3 1 1 1 0 0 0\n");
  CReadGPS3dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"文件%s第 %d 行的点名%s超过%d个字符!").c_str(), PathOf("GPS3dVector").c_str(), 2,
                                  "ABCDEFGHIJKLMNOPQRST", 19));
}

TEST_F(DataLoaderTest, RepeatedKnownPointWithTheSameValuesIsReadOnce) {
  Write("GPS3dKnownXYZ", "K1 1 2 3\nk1 1 2 3\nK2 4 5 6\n");
  Write("GPS3dVector", kVectors);
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_EQ(set.m_KnownPointCount, 2);
  EXPECT_EQ(set.m_PointName, (std::vector<std::string>{"K1", "K2", "N1"}));
}

TEST_F(DataLoaderTest, LongLinesContinueAsNewLinesOfTheBuffer) {
  // 99 characters are read at a time: a known-point line of 120 characters becomes two lines,
  // the second of which holds too few items.
  std::string line = "K1 " + std::string(100, '1') + ".5 2 3\n";
  Write("GPS3dKnownXYZ", line);
  Write("GPS3dVector", kVectors);
  CReadGPS3dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(kReadError).c_str(), 1));  // "K1 111...1" scans 2 items
}

TEST_F(DataLoaderTest, ApproximateFileModeTakesThePointListFromTheChosenFile) {
  WriteNetwork();
  std::string approx = dir.str() + "/start.GPS3dApproximateXYZ";
  std::ofstream(approx) << "K1 1 2 3\nK2 4 5\n6 N1 7 8 9 N2\n10 11 12\nN1 13 14 15\n";
  Project().approxXYZFromFile = 1;
  scoped.host.QueueFiles(std::vector<std::string>{approx});
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  ASSERT_EQ(scoped.host.fileDialogs.size(), 1u);
  const FileDialogRequest& request = scoped.host.fileDialogs[0];
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(request.filters[0].description, "GPS 3d Approximate XYZ(*.GPS3dApproximateXYZ)");
  EXPECT_EQ(request.filters[0].pattern, "*.GPS3dApproximateXYZ");
  EXPECT_EQ(request.filters[1].description, "All File(*.*)");
  EXPECT_TRUE(request.mustExist);
  EXPECT_EQ(set.m_PointCount, 5);
  EXPECT_EQ(set.m_KnownPointCount, 2);
  EXPECT_EQ(set.m_PointName, (std::vector<std::string>{"K1", "K2", "N1", "N2", "N1"}));
  EXPECT_EQ(set.m_Z[1], 6.0);
  // Each end point takes the last approximate point of its name.
  EXPECT_EQ(set.m_From, (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(set.m_To, (std::vector<int>{4, 0, 3}));
}

TEST_F(DataLoaderTest, ApproximateFileModeRefusesAnEndPointThatIsNotInTheFile) {
  WriteNetwork();
  std::string approx = dir.str() + "/a.GPS3dApproximateXYZ";
  std::ofstream(approx) << "K1 1 2 3\nK2 4 5 6\nn1 7 8 9\nN2 1 1 1\n";  // names as written: n1 is not N1
  Project().approxXYZFromFile = 1;
  scoped.host.QueueFiles(std::vector<std::string>{approx});
  CReadGPS3dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"文件%s第 %d 行的点%s不在近似坐标文件中!").c_str(),
                                  PathOf("GPS3dVector").c_str(), 1, "N1"));

  scoped.host.messages.clear();
  std::ofstream(approx) << "K1 1 2 3\nK2 4 x 6\n";
  scoped.host.QueueFiles(std::vector<std::string>{approx});
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"文件%s第 %d 行读取数据错误!").c_str(), approx.c_str(), 2));

  scoped.host.messages.clear();
  scoped.host.QueueFiles(std::nullopt);  // cancelled
  EXPECT_EQ(set.Load(), 0);
  EXPECT_TRUE(Messages().empty());
}

class PlaneNetworkTest : public DataLoaderTest {
 protected:
  void WritePlaneNetwork() {
    Write("GPS2dKnownXY", "k1 3376498.6 144006.4\nK2 3377000 145000\n");
    Write("GPS2dVector", "K2 N1 100 200 1 1 0.1\n\nN2 K1 -50 -60 1 1 0\nN1 N2 10 20 2 2 0\n");
    Write("GPS3dXYH", "K1 3376498.6 144006.4 12.0\nN2 3376548.6 144066.4 13.0\nOTHER 1 2 3\n");
  }
};

TEST_F(PlaneNetworkTest, LoadsWithoutDistanceFileAndFillsApproximateCoordinates) {
  WritePlaneNetwork();
  CReadGPS2dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(set.m_PointName, (std::vector<std::string>{"K1", "K2", "N1", "N2"}));
  EXPECT_EQ(set.m_KnownPointCount, 2);
  EXPECT_EQ(set.m_VectorCount, 3);
  EXPECT_EQ(set.m_From, (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(set.m_NameIndex.at("N2"), 3);
  EXPECT_EQ(set.m_X, (std::vector<double>{3376498.6, 0.0, 0.0, 3376548.6}));
  EXPECT_EQ(set.m_Dxy[0], 0.1);
  EXPECT_EQ(set.m_DistanceCount, 0);
  EXPECT_EQ(set.m_AzimuthCount, 0);
}

// A result of the program cut inside its last number is refused, not read as a smaller network;
// the user's own files may leave their last line unended.
TEST_F(PlaneNetworkTest, AResultWhoseLastLineIsNotEndedIsRefused) {
  WritePlaneNetwork();
  Write("GPS2dKnownXY", "k1 3376498.6 144006.4\nK2 3377000 145000");
  Write("GPS2dVector", "K2 N1 100 200 1 1 0.1\nN2 K1 -50 -60 1 1 0\nN1 N2 10 20 2 2 0.");
  CReadGPS2dVector cut(0);
  EXPECT_EQ(cut.Load(), 0);
  EXPECT_EQ(OnlyMessage(), G((u8"文件" + PathOf("GPS2dVector") + u8"不完整(最后一行没有结束)，可能是写入时被中断，请重新计算产生它的命令!").c_str()));
  Write("GPS2dVector", "K2 N1 100 200 1 1 0.1\nN2 K1 -50 -60 1 1 0\nN1 N2 10 20 2 2 0.\n");
  CReadGPS2dVector whole(0);
  EXPECT_EQ(whole.Load(), 1);
}

TEST_F(PlaneNetworkTest, ZeroStandardErrorIsReadAsTheFloor) {
  WritePlaneNetwork();
  Write("GPS2dDistance", "K1 N1 1000.5 0\nN2 K2 20 -3\nK2 N1 30 0.00001\n");
  Write("GPS2dAzimuth", "K1 N1 45.3000 0\n");
  Write("GPS2dAzimuth1", "K1 N2 90 2.5\n");
  CReadGPS2dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_EQ(set.m_DistanceSd, (std::vector<double>{0.001, 0.001, 0.00001}));
  EXPECT_EQ(set.m_DistanceFrom, (std::vector<int>{0, 3, 1}));
  EXPECT_EQ(set.m_Distance[0], 1000.5);
  ASSERT_EQ(set.m_AzimuthCount, 1);
  EXPECT_DOUBLE_EQ(set.m_Azimuth[0], DmsToRadian(45.30));
  EXPECT_EQ(set.m_AzimuthSd[0], 0.001);
}

TEST_F(PlaneNetworkTest, VariantReadsTheOnePointOneDirectionFiles) {
  Write("GPS2dKnownXY1", "K1 1 2\n");
  Write("GPS2dVector1", "K1 N1 1 1 1 1 0\n");
  Write("GPS3dXYH1", "N1 5 6 7\n");
  Write("GPS2dDistance", "K1 N1 2 1\n");
  Write("GPS2dAzimuth1", "K1 N1 90 2.5\n");
  CReadGPS2dVector set(1);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_EQ(set.m_X[1], 5.0);
  EXPECT_EQ(set.m_DistanceCount, 1);  // the distance file has no variant
  EXPECT_EQ(set.m_AzimuthSd[0], 2.5);
}

TEST_F(PlaneNetworkTest, ObservationOfAPointOutsideTheNetworkIsRefused) {
  WritePlaneNetwork();
  Write("GPS2dDistance", "K1 N1 1000.5 1\nN1 X9 5 1\n");
  CReadGPS2dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"文件%s第 %d 行的点%s不是网中的点!").c_str(), PathOf("GPS2dDistance").c_str(),
                                  2, "X9"));
}

TEST_F(PlaneNetworkTest, RequiredFilesAndBrokenLinesAreReported) {
  CReadGPS2dVector set(0);
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"打开文件%s出错!").c_str(), PathOf("GPS2dKnownXY").c_str()));
  WritePlaneNetwork();
  std::remove(PathOf("GPS3dXYH").c_str());
  scoped.host.messages.clear();
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"打开文件%s出错!").c_str(), PathOf("GPS3dXYH").c_str()));
  WritePlaneNetwork();
  Write("GPS2dVector", "K2 N1 100 200 1 1\n");  // six items of seven
  scoped.host.messages.clear();
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"文件%s第 %d 行读取数据错误!").c_str(), PathOf("GPS2dVector").c_str(), 1));
}

TEST_F(DataLoaderTest, HeightSetReducesLatitudeAndLongitudeToTheirMeans) {
  Write("GPS1dKnownH", "a1, 12.5\n\nB2 13.25\n");
  Write("GPS3dBLH", "     A1  30.300000000 114.180000000  50.0000\n     c3  30.310000000 114.190000000  52.0\n");
  CReadGPS1dHeight set;
  ASSERT_EQ(set.Load(), 1);
  EXPECT_EQ(set.m_KnownName, (std::vector<std::string>{"A1", "B2"}));
  EXPECT_EQ(set.m_KnownH, (std::vector<double>{12.5, 13.25}));
  EXPECT_EQ(set.m_PointName, (std::vector<std::string>{"A1", "C3"}));
  const double b0 = DmsToRadian(30.30), b1 = DmsToRadian(30.31);
  EXPECT_DOUBLE_EQ(set.m_MeanB, (b0 + b1) / 2);
  EXPECT_DOUBLE_EQ(set.m_B[0] + set.m_MeanB, b0);
  EXPECT_NEAR(set.m_B[0], -set.m_B[1], 1e-15);
  EXPECT_DOUBLE_EQ(set.m_MeanL, (DmsToRadian(114.18) + DmsToRadian(114.19)) / 2);
  EXPECT_EQ(set.m_H[1], 52.0);

  std::remove(PathOf("GPS3dBLH").c_str());
  EXPECT_EQ(set.Load(), 0);
  EXPECT_EQ(OnlyMessage(), Format(G(u8"打开文件%s出错!").c_str(), PathOf("GPS3dBLH").c_str()));
}

// Longitudes are read into [-180, 180] degrees, as the conversions compute them: a known
// point west of Greenwich written as 245 degrees east adjusts as one written -115 (it came
// out with a misclosure of 360 degrees), and the plane conversion takes 359 degrees as -1.
TEST(LongitudePastOneHundredEighty, IsWrappedWhereverItIsRead) {
  test::AdjustProject project;
  project.Configuration().m_CentralMeridian = 245.0;
  const auto at = test::Wgs84Geocentric;
  const auto k1 = at(30.0, -115.0, 50.0), k2 = at(30.03, -114.58, 60.0), k3 = at(29.58, -114.57, 40.0),
             p1 = at(30.01, -114.57, 70.0);
  project.Write("GPS3dKnownXYZ", Format("K1 30.0 245.0 50.0\nK2 %.4f %.4f %.4f\nK3 %.4f %.4f %.4f\n", k2[0], k2[1],
                                        k2[2], k3[0], k3[1], k3[2]));
  auto vector = [](const char* from, const char* to, const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return test::Vector(from, to, b[0] - a[0], b[1] - a[1], b[2] - a[2]);
  };
  project.Write("GPS3dVector", vector("K1", "P1", k1, p1) + vector("P1", "K2", p1, k2) + vector("P1", "K3", p1, k3) +
                                   vector("K1", "K2", k1, k2) + vector("K3", "K1", k3, k1));
  CGPS3dCombinedAdjust adjust;
  ASSERT_EQ(adjust.Load(), 1);
  EXPECT_DOUBLE_EQ(adjust.m_L[0], DmsToRadian(-115.0));
  ASSERT_EQ(adjust.Adjust(), 1) << testing::PrintToString(project.MessagesUtf8());
  EXPECT_LT(adjust.m_M0m, 0.01);
  EXPECT_NEAR(adjust.m_L[3], DmsToRadian(-114.57), 1e-9);

  GPSTransfer t(0);
  t.m_a = 6378137.0, t.m_InvF = 298.257223563, t.m_L0 = DmsToRadian(0.0);
  t.m_B = DmsToRadian(30.0), t.m_L = DmsToRadian(359.0);
  ASSERT_EQ(t.BLXY(), 1);
  const double yEast = t.m_Y;
  t.m_B = DmsToRadian(30.0), t.m_L = DmsToRadian(-1.0);
  ASSERT_EQ(t.BLXY(), 1);
  EXPECT_NEAR(yEast, t.m_Y, 1e-6);
}

// Hostile files: no crash, no overflow; the documented message or a skip.
TEST_F(DataLoaderTest, HostileFilesGiveAMessageOrASkip) {
  WriteNetwork();
  const std::string longLine(10000, 'A');
  struct Case {
    const char* extension;
    std::string content;
  };
  std::mt19937 rng(7);
  std::string garbage(4096, '\0');
  for (char& c : garbage) c = static_cast<char>(rng());
  const std::vector<Case> cases = {
      {"GPS3dKnownXYZ", longLine + "\n"},
      {"GPS3dKnownXYZ", "K1 " + std::string(300, '9') + " 2 3\n"},
      {"GPS3dKnownXYZ", std::string(300, 'N') + " 30 114 5\n"},
      {"GPS3dKnownXYZ", garbage},
      {"GPS3dVector", longLine + " B 1 2 3 1 1 1 0 0 0\n"},
      {"GPS3dVector", std::string(300, 'N') + " B 1 2 3 1 1 1 0 0 0\n"},
      {"GPS3dVector", garbage},
      {"GPS3dVector", std::string(1000, ' ') + "\n" + std::string(100000, '\n')},
  };
  for (const auto& c : cases) {
    WriteNetwork();
    Write(c.extension, c.content);
    scoped.host.messages.clear();
    CReadGPS3dVector set(0);
    int ok = set.Load();
    CReadGPS3dCombinedNet ellipsoidal;
    ellipsoidal.Load();
    if (!ok) {
      EXPECT_FALSE(Messages().empty()) << c.extension;
    }
    EXPECT_EQ(set.m_PointCount, static_cast<int>(set.m_PointName.size()));
    for (int i = 0; i < set.m_VectorCount; ++i) {
      EXPECT_LT(set.m_From[i], set.m_PointCount);
      EXPECT_LT(set.m_To[i], set.m_PointCount);
    }
  }
}

// Every loader over randomly damaged copies of sound files: it either loads, with indices
// inside its arrays, or says why it does not.
TEST_F(DataLoaderTest, RandomlyDamagedFilesNeverCrashAnyLoader) {
  const std::vector<std::pair<std::string, std::string>> sound = {
      {"GPS3dKnownXYZ", "K1 -2263483.8885 5013061.1228 3218279.9226\nK2, 30.1522, 114.2030, 25.3\nH1 12.5\n"},
      {"GPS3dVector", " 0 K1 N1 10 20 30 1 1 1 0 0 0\n/x/a.GPS3DVector_S\n 1 K2 N1 1 2 3 1 1 1 0 0 0\nN1 K2 1 2 3 1 1 1 0 0 0\n"},
      {"GPS2dKnownXY", "K1 3376498.6 144006.4\nK2 3377000 145000\n"},
      {"GPS2dVector", "K1 N1 100 200 1 1 0.1\nN1 K2 10 20 2 2 0\n"},
      {"GPS3dXYH", "K1 3376498.6 144006.4 12.0\nN1 3376548.6 144066.4 13.0\n"},
      {"GPS2dDistance", "K1 N1 1000.5 0\n"},
      {"GPS2dAzimuth", "K1 N1 45.3000 1\n"},
      {"GPS1dKnownH", "K1 12.5\nN1,13\n"},
      {"GPS3dBLH", "K1 30.30 114.18 50\nN1 30.31 114.19 52\n"},
  };
  std::mt19937 rng(2024);
  for (int round = 0; round < 200; ++round) {
    for (const auto& [extension, content] : sound) {
      std::string damaged = content;
      const int edits = 1 + static_cast<int>(rng() % 4);
      for (int e = 0; e < edits && !damaged.empty(); ++e) {
        size_t at = rng() % damaged.size();
        switch (rng() % 4) {
          case 0: damaged[at] = static_cast<char>(rng()); break;                         // a byte changed
          case 1: damaged.erase(at, 1 + rng() % 8); break;                                // bytes lost
          case 2: damaged.insert(at, std::string(1 + rng() % 200, static_cast<char>(rng()))); break;
          case 3: damaged.resize(at); break;                                              // truncated
        }
      }
      Write(extension, rng() % 5 == 0 ? content : damaged);
    }
    scoped.host.messages.clear();
    CReadGPS3dVector set3(0);
    if (set3.Load()) {
      ASSERT_EQ(set3.m_PointCount, static_cast<int>(set3.m_PointName.size()));
      ASSERT_EQ(set3.m_X.size(), set3.m_PointName.size());
      for (int j = 0; j < set3.m_VectorCount; ++j) {
        ASSERT_TRUE(set3.m_From[j] >= 0 && set3.m_From[j] < set3.m_PointCount);
        ASSERT_TRUE(set3.m_To[j] >= 0 && set3.m_To[j] < set3.m_PointCount);
      }
    } else {
      ASSERT_FALSE(Messages().empty()) << "round " << round;
    }
    scoped.host.messages.clear();
    CReadGPS3dCombinedNet ellipsoidal;
    if (!ellipsoidal.Load()) {
      ASSERT_FALSE(Messages().empty()) << "round " << round;
    }
    scoped.host.messages.clear();
    CReadGPS2dVector set2(0);
    if (set2.Load()) {
      ASSERT_EQ(set2.m_X.size(), set2.m_PointName.size());
      for (int j = 0; j < set2.m_DistanceCount; ++j) ASSERT_LT(set2.m_DistanceTo[j], set2.m_PointCount);
      for (int j = 0; j < set2.m_DistanceCount; ++j) ASSERT_GE(set2.m_DistanceSd[j], 0.00001);
    } else {
      ASSERT_FALSE(Messages().empty()) << "round " << round;
    }
    scoped.host.messages.clear();
    CReadGPS1dHeight heights;
    if (!heights.Load()) {
      ASSERT_FALSE(Messages().empty()) << "round " << round;
    }
  }
}

TEST_F(DataLoaderTest, OneHundredThousandVectorsLoad) {
  Write("GPS3dKnownXYZ", "P0 -2263483.8885 5013061.1228 3218279.9226\n");
  std::string file;
  file.reserve(100000 * 120);
  for (int i = 0; i < 100000; ++i)
    file += Format("%16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n",
                   Format("P%d", i % 3000).c_str(), Format("P%d", (i * 7 + 1) % 3000).c_str(), 100.0 + i, 200.0,
                   300.0, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0);
  Write("GPS3dVector", file);
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_EQ(set.m_VectorCount, 100000);
  EXPECT_EQ(set.m_PointCount, 3000);
  EXPECT_EQ(set.m_DX[99999], 100099.0);
  EXPECT_EQ(set.m_LineCount, 100000);
}

TEST_F(DataLoaderTest, LoadersShowTheWaitCursor) {
  WriteNetwork();
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_GE(scoped.host.waitCursorCount, 1);
  EXPECT_EQ(scoped.host.waitCursorDepth, 0);
}

}  // namespace
