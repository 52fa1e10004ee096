#include "project/data/KnownCovariance.h"

#include <cmath>
#include <unordered_map>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

namespace {

// The items of a line separated by blanks or tabs; none for a blank or comment line.
std::vector<std::string> LineItems(const std::string& line) {
  std::vector<std::string> items;
  std::string_view rest(line);
  std::string token;
  while (true) {
    rest = TakeToken(rest, &token);
    if (token.empty()) break;
    if (items.empty() && token[0] == '#') break;
    items.push_back(token);
  }
  return items;
}

void Say(const std::string& textGbk, const char* caption) {
  ShowMessage(textGbk, caption ? caption : AppTitle(), MessageIcon::Warning);
}

// The full symmetric matrix of a one-member line's elements, given in the order of a vector
// line (the diagonal, then xy, xz, yz).
std::vector<double> FromElements(const std::vector<double>& e, int d) {
  std::vector<double> m(static_cast<size_t>(d * d));
  auto at = [&](int r, int c) -> double& { return m[static_cast<size_t>(r * d + c)]; };
  for (int i = 0; i < d; ++i) at(i, i) = e[static_cast<size_t>(i)];
  if (d == 2) {
    at(0, 1) = at(1, 0) = e[2];
  } else {
    at(0, 1) = at(1, 0) = e[3];
    at(0, 2) = at(2, 0) = e[4];
    at(1, 2) = at(2, 1) = e[5];
  }
  return m;
}

}  // namespace

void TransformCovarianceBlock(CCovarianceBlock& block, int d, const std::function<const double*(size_t k)>& S) {
  const size_t n = block.members.size(), order = n * static_cast<size_t>(d), e = static_cast<size_t>(d);
  std::vector<double> out(order * order, 0.0);
  for (size_t i = 0; i < n; ++i) {
    const double* Si = S(i);
    for (size_t j = 0; j < n; ++j) {
      const double* Sj = S(j);
      for (size_t r = 0; r < e; ++r)
        for (size_t c = 0; c < e; ++c) {
          double sum = 0.0;
          for (size_t a = 0; a < e; ++a)
            for (size_t b = 0; b < e; ++b) sum += Si[r * e + a] * block.cov[(i * e + a) * order + j * e + b] * Sj[c * e + b];
          out[(i * e + r) * order + j * e + c] = sum;
        }
    }
  }
  block.cov = std::move(out);
}

bool IsPositiveDefinite(const std::vector<double>& matrix, int n) {
  std::vector<long double> L(static_cast<size_t>(n) * static_cast<size_t>(n), 0.0L);
  auto l = [&](int r, int c) -> long double& { return L[static_cast<size_t>(r) * static_cast<size_t>(n) + c]; };
  for (int j = 0; j < n; ++j) {
    long double diagonal = matrix[static_cast<size_t>(j) * static_cast<size_t>(n) + j];
    for (int k = 0; k < j; ++k) diagonal -= l(j, k) * l(j, k);
    if (!(diagonal > 0.0L) || !std::isfinite(static_cast<double>(diagonal))) return false;
    l(j, j) = std::sqrt(diagonal);
    for (int i = j + 1; i < n; ++i) {
      long double s = matrix[static_cast<size_t>(i) * static_cast<size_t>(n) + j];
      for (int k = 0; k < j; ++k) s -= l(i, k) * l(j, k);
      l(i, j) = s / l(j, j);
    }
  }
  return true;
}

bool ReadCovarianceBlocks(const std::string& path, const CCovarianceFileForm& form, const CMemberResolver& resolve,
                          std::vector<CCovarianceBlock>& blocks) {
  blocks.clear();
  std::string content;
  if (!ReadRequiredFile(path, content)) return false;
  const std::string file = PathToGbk(path);
  const auto lines = SplitLines(content);
  const int d = form.dimension;
  const size_t elements = static_cast<size_t>(d * (d + 1) / 2);
  std::unordered_map<int, int> seen;  // member -> line that named it

  auto lineError = [&](int line) {
    ShowLineError(path, line, form.caption ? form.caption : AppTitle());
    return false;
  };
  auto addMember = [&](CCovarianceBlock& block, const std::vector<std::string>& items, int line) {
    const int member = resolve(items, line);
    if (member < 0) return false;
    const auto [at, inserted] = seen.emplace(member, line);
    if (!inserted) {
      const std::string named = items.size() > 1 ? items[0] + " " + items[1] : NormalizeName(items[0]);
      Say(Format(UiText(u8"文件%s第 %d 行的%s已在第 %d 行给出,不能重复!"), file.c_str(), line, named.c_str(), at->second),
          form.caption);
      return false;
    }
    block.members.push_back(member);
    return true;
  };
  auto finish = [&](CCovarianceBlock& block) {
    if (!IsPositiveDefinite(block.cov, d * static_cast<int>(block.members.size()))) {
      Say(Format(UiText(u8"文件%s第 %d 行起的方差阵不正定!"), file.c_str(), block.line), form.caption);
      return false;
    }
    blocks.push_back(std::move(block));
    return true;
  };

  // A block being read: its members still to be named, then its numbers still to be read.
  CCovarianceBlock block;
  size_t membersDue = 0, order = 0;
  std::vector<double> stream;
  size_t numbersDue = 0;
  bool open = false;
  for (const auto& [line, text] : lines) {
    const std::vector<std::string> items = LineItems(text);
    if (items.empty()) continue;
    if (open && membersDue > 0) {
      if (!addMember(block, items, line)) return false;
      if (--membersDue == 0) {
        order = static_cast<size_t>(d) * block.members.size();
        numbersDue = order * (order + 1) / 2;
        stream.clear();
      }
      continue;
    }
    if (open) {
      if (items.size() > numbersDue) return lineError(line);
      for (const std::string& item : items) {
        const auto value = ParseNumber(item);
        if (!value) return lineError(line);
        stream.push_back(*value);
      }
      numbersDue -= items.size();
      if (numbersDue > 0) continue;
      block.cov.assign(order * order, 0.0);
      size_t k = 0;
      for (size_t r = 0; r < order; ++r)
        for (size_t c = r; c < order; ++c) block.cov[r * order + c] = block.cov[c * order + r] = stream[k++];
      open = false;
      if (!finish(block)) return false;
      continue;
    }
    block = {};
    block.line = line;
    if (EqualNoCase(items[0], form.keyword)) {
      const auto n = items.size() == 2 ? ParseInteger(items[1]) : std::nullopt;
      // Each member takes a line of its own: a count beyond the file's lines cannot be met.
      if (!n || *n < form.minMembers || static_cast<size_t>(*n) > lines.size()) return lineError(line);
      membersDue = static_cast<size_t>(*n);
      open = true;
      continue;
    }
    if (!form.singleLines || items.size() != 1 + elements) return lineError(line);
    std::vector<double> values;
    for (size_t i = 1; i < items.size(); ++i) {
      const auto value = ParseNumber(items[i]);
      if (!value) return lineError(line);
      values.push_back(*value);
    }
    if (!addMember(block, {items[0]}, line)) return false;
    block.cov = FromElements(values, d);
    if (!finish(block)) return false;
  }
  if (open) {
    Say(Format(UiText(u8"文件%s第 %d 行起的%s数据不完整!"), file.c_str(), block.line, form.keyword), form.caption);
    return false;
  }
  return true;
}

bool ReadKnownCovariance(const std::string& path, int dimension, const std::vector<std::string>& knownNames,
                         std::vector<CCovarianceBlock>& blocks) {
  blocks.clear();
  if (!FileExists(path)) return true;
  std::unordered_map<std::string, int> index;
  for (size_t i = 0; i < knownNames.size(); ++i) index.emplace(knownNames[i], static_cast<int>(i));
  CCovarianceFileForm form;
  form.dimension = dimension;
  const auto resolve = [&](const std::vector<std::string>& items, int line) {
    if (items.size() != 1) {
      ShowLineError(path, line, AppTitle());
      return -1;
    }
    std::string name = items[0];
    if (!CheckPointName(name, path, line, AppTitle())) return -1;
    const auto at = index.find(name);
    if (at == index.end()) {
      ShowMessage(Format(UiText(u8"文件%s第 %d 行的点%s不是已知点!"), PathToGbk(path).c_str(), line, name.c_str()),
                  AppTitle(), MessageIcon::Warning);
      return -1;
    }
    return at->second;
  };
  return ReadCovarianceBlocks(path, form, resolve, blocks);
}

}  // namespace vemo
