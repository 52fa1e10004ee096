// Names for the cases of parameterized suites. ctest lists every case under its name, so a
// named case can be chosen with `ctest -R` and its failure line says which case failed; a case
// named by its index says neither and changes name when a case is inserted before it.
#pragma once

#include <string>
#include <string_view>

namespace vemo::test {

// text as a case name: each run of characters other than ASCII letters and digits becomes one
// '_', none at either end ("Wuhan, X < 0" gives "Wuhan_X_0", "2.5" gives "2_5").
inline std::string CaseName(std::string_view text) {
  std::string name;
  bool gap = false;
  for (char c : text) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!alnum) {
      gap = true;
      continue;
    }
    if (gap && !name.empty()) name += '_';
    name += c;
    gap = false;
  }
  return name;
}

}  // namespace vemo::test
