// Every importer on hostile inputs: its samples truncated at every line and inside lines, lines
// of 10,000 characters, binary noise and mutated samples, fixed-column lines shorter than
// their columns. A readable file never makes an importer fail or crash (the suite runs under
// AddressSanitizer in the sanitizer build), and every line it writes is one that the readers
// of the synchronous file take whole.
#include <gtest/gtest.h>

#include <random>

#include "geodesy/BaselineImport.h"
#include "tests/geodesy/BaselineTestSupport.h"

namespace {
using namespace vemo;
using namespace vemo::test;

struct HostileSample {
  int type;
  const char* file;
};

const HostileSample kSamples[] = {
    {0, "trimble-report.asc"}, {0, "trimble-exchange.asc"}, {0, "trimble-own.asc"}, {1, "o1631a.31"},
    {1, "o1632a.520"},         {1, "o1633a.sol"},           {2, "leica-1631.asc"},  {3, "sokkia-1631.rep"},
    {5, "lip-1632.txt"},       {6, "vemo-1631.txt"},        {7, "javad-1632.txt"},  {7, "javad-cn-1632.txt"},
    {8, "gamit-o1631.txt"},    {8, "gamit-q1633.txt"},      {9, "novatel-1633.iob"}, {10, "zhonghaida-1633.vec"},
    {10, "zhonghaida-1631.rpt"},      {11, "south-lgo.asc"},       {11, "south-tgo.asc"},  {12, "huace-1632.isb"},
};

constexpr int kTypes[] = {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12};

// The lines of a sample with their line ends.
std::vector<std::string> RawLines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    end = end == std::string::npos ? content.size() : end + 1;
    lines.push_back(content.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l;
  return text;
}

// A line without its line end.
std::string Body(const std::string& line) {
  std::string body = line;
  while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.pop_back();
  return body;
}

class BaselineRobustnessTest : public BaselineFixture {
 protected:
  void SetUp() override {
    BaselineFixture::SetUp();
    WriteKnown("GP01 -2263471.9234 5011702.8729 3220339.8825\n");
  }

  std::string SampleText(const HostileSample& s) { return Content(BaselineData(s.file)); }

  // Imports content with the importer of type; it must succeed and write only whole lines.
  void ExpectReadable(int type, const std::string& content, const std::string& what) {
    const std::string path = Export("hostile.txt", content);
    ASSERT_EQ(Import(type, {path}), 1) << what;
    for (const auto& line : baseline::SplitLines(Output("hostile"))) {
      ASSERT_LT(line.size(), 299u) << what;
      std::string from, to;
      double v[9];
      ASSERT_EQ(baseline::Scan(line, "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf",
                               {&from, &to, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8]}),
                11)
          << what << ": " << line;
      EXPECT_LE(from.size(), 29u);
      EXPECT_LE(to.size(), 29u);
    }
    host().messages.clear();
  }
};

TEST_F(BaselineRobustnessTest, SamplesTruncatedAtEveryLineAndInsideEveryLine) {
  for (const HostileSample& s : kSamples) {
    const auto lines = RawLines(SampleText(s));
    for (size_t n = 0; n <= lines.size(); ++n) {
      std::vector<std::string> prefix(lines.begin(), lines.begin() + n);
      ExpectReadable(s.type, Join(prefix), Format("%s cut after line %zu", s.file, n));
      if (n < lines.size()) {
        prefix.push_back(lines[n].substr(0, lines[n].size() / 2));
        ExpectReadable(s.type, Join(prefix), Format("%s cut inside line %zu", s.file, n + 1));
      }
    }
  }
}

TEST_F(BaselineRobustnessTest, LinesOfTenThousandCharacters) {
  const std::string letters(10000, 'A'), blanks(10000, ' ');
  std::string numbers;
  while (numbers.size() < 10000) numbers += " 1.5";
  for (const HostileSample& s : kSamples) {
    const auto lines = RawLines(SampleText(s));
    const std::vector<std::pair<const char*, std::function<std::string(const std::string&)>>> variants = {
        {"letters appended", [&](const std::string& l) { return Body(l) + letters + "\n"; }},
        {"numbers appended", [&](const std::string& l) { return Body(l) + numbers + "\n"; }},
        {"blanks before", [&](const std::string& l) { return blanks + l; }},
        {"tag then letters", [&](const std::string& l) { return Body(l).substr(0, 12) + letters + "\n"; }},
        {"one name of 10,000", [&](const std::string& l) { return letters + " " + l; }},
    };
    for (const auto& [name, change] : variants) {
      std::vector<std::string> changed;
      for (const auto& l : lines) changed.push_back(change(l));
      ExpectReadable(s.type, Join(changed), Format("%s, %s", s.file, name));
      // One long line among the original ones.
      for (size_t i = 0; i < lines.size(); i += 5) {
        auto one = lines;
        one[i] = change(lines[i]);
        ExpectReadable(s.type, Join(one), Format("%s, line %zu %s", s.file, i + 1, name));
      }
    }
  }
}

TEST_F(BaselineRobustnessTest, BinaryNoiseAndMutatedSamples) {
  std::mt19937 random(163);
  auto noise = [&](size_t n, bool zeros) {
    std::string text(n, '\0');
    for (char& c : text) {
      c = static_cast<char>(random() & 0xFF);
      if (!zeros && c == '\0') c = '\n';
    }
    return text;
  };
  for (int type : kTypes)
    for (int round = 0; round < 6; ++round)
      ExpectReadable(type, noise(4096, round % 2 == 0), Format("type %d, noise %d", type, round));
  for (const HostileSample& s : kSamples) {
    const std::string text = SampleText(s);
    const auto lines = RawLines(text);
    // The variant's first line, then noise: the records of the variant are looked for.
    ExpectReadable(s.type, lines.front() + noise(8192, false), Format("%s first line and noise", s.file));
    for (int round = 0; round < 20; ++round) {
      std::string mutated = text;
      for (int k = 0; k < 8; ++k) {
        size_t at = random() % mutated.size();
        switch (random() % 4) {
          case 0: mutated[at] = static_cast<char>(random() & 0xFF); break;
          case 1: mutated.erase(at, 1 + random() % 20); break;
          case 2: mutated.insert(at, noise(1 + random() % 20, true)); break;
          default: mutated[at] = "\n:- .e"[random() % 6]; break;
        }
        if (mutated.empty()) mutated = "x";
      }
      ExpectReadable(s.type, mutated, Format("%s mutation %d", s.file, round));
    }
  }
}

TEST_F(BaselineRobustnessTest, FixedColumnLinesShorterThanTheirColumns) {
  for (const HostileSample& s : kSamples) {
    const auto lines = RawLines(SampleText(s));
    size_t longest = 0;
    for (const auto& l : lines) longest = std::max(longest, Body(l).size());
    // Every line but the first (which decides the variant) cut to the same length; the
    // GAMIT columns are swept at every length below.
    for (size_t length = 0; length <= longest; length += 3) {
      std::vector<std::string> cut{lines.front()};
      for (size_t i = 1; i < lines.size(); ++i) cut.push_back(Body(lines[i]).substr(0, length) + "\n");
      ExpectReadable(s.type, Join(cut), Format("%s, lines cut to %zu", s.file, length));
    }
  }
  // Each GAMIT summary line cut at every length, all in one file.
  const auto lines = RawLines(Content(BaselineData("gamit-o1631.txt")));
  std::string text = "VEMOGPS FOR GAMIT O-FILE\n";
  for (const auto& l : lines)
    if (Body(l).size() > 159)
      for (size_t length = 0; length <= Body(l).size(); ++length) text += Body(l).substr(0, length) + "\n";
  ExpectReadable(8, text, "GAMIT summary lines cut at every length");
}

}  // namespace
