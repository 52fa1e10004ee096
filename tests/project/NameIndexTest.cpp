#include <gtest/gtest.h>

#include "tests/support/LineReaderReference.h"

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "project/data/DataFileReader.h"

using namespace vemo;


TEST(TextLineReader, CopiesRunsExactlyAsACharacterAtATime) {
  // Line ends, carriage returns and tabs at every place, the buffer's edge among them.
  std::mt19937 rng(7);
  const char alphabet[] = {'a', 'b', ' ', '\t', '\r', '\n', '\n', '\0'};
  for (int trial = 0; trial < 200; ++trial) {
    std::string content;
    const size_t length = rng() % 80;
    for (size_t i = 0; i < length; ++i) content.push_back(alphabet[rng() % sizeof alphabet]);
    for (int bufferSize : {2, 3, 6, 300}) {
      std::vector<char> expectedCuts;
      const std::vector<std::string> expected = test::ReadByCharacter(content, bufferSize, expectedCuts);
      CTextLineReader reader(content, bufferSize);
      std::vector<std::string> lines;
      std::vector<char> cuts;
      for (std::string line; reader.Next(line);) lines.push_back(line), cuts.push_back(reader.LastPieceCut());
      ASSERT_EQ(lines, expected) << "buffer " << bufferSize << ", trial " << trial;
      ASSERT_EQ(cuts, expectedCuts) << "buffer " << bufferSize << ", trial " << trial;
    }
  }
}

TEST(NameIndex, AgreesWithAMapAsItGrowsAndKeepsTheFirstOfARepeatedName) {
  std::vector<std::string> names;
  CNameIndex growing(&names);
  std::unordered_map<std::string, int> reference;
  std::mt19937 rng(11);
  for (int i = 0; i < 5000; ++i) {
    const std::string name = "P" + std::to_string(rng() % 3000);
    const int expected = reference.emplace(name, static_cast<int>(reference.size())).first->second;
    ASSERT_EQ(growing.Add(name), expected);
  }
  ASSERT_EQ(names.size(), reference.size());
  for (const auto& [name, index] : reference) EXPECT_EQ(growing.Find(name), index);
  EXPECT_EQ(growing.Find("P3000"), -1);
  EXPECT_EQ(growing.Find(""), -1);

  // Names too long to sit in the table are compared in the list.
  const std::string longName(30, 'L');
  const std::vector<std::string> listed = {"A", "B", "A", "C", longName, longName + "2", longName};
  const CNameIndex fixed(listed);
  EXPECT_EQ(fixed.Find("A"), 0);
  EXPECT_EQ(fixed.Find("C"), 3);
  EXPECT_EQ(fixed.Find(longName), 4);
  EXPECT_EQ(fixed.Find(longName + "2"), 5);
  EXPECT_EQ(fixed.Find(longName + "3"), -1);
  EXPECT_EQ(CNameIndex().Find("A"), -1);
}

TEST(NameIndex, PointListTakesKnownPointsFirstAndEndPointsInOrderOfAppearance) {
  std::vector<std::string> points;
  std::vector<int> from, to;
  std::unordered_map<std::string, int> index;
  BuildPointList({"K1", "K2", "K1"}, {"A", "K2", "B"}, {"K1", "A", "A"}, points, from, to, &index);
  EXPECT_EQ(points, (std::vector<std::string>{"K1", "K2", "A", "B"}));
  EXPECT_EQ(from, (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(to, (std::vector<int>{0, 2, 2}));
  EXPECT_EQ(index, (std::unordered_map<std::string, int>{{"K1", 0}, {"K2", 1}, {"A", 2}, {"B", 3}}));
}
