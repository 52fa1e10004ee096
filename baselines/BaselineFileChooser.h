// The file choosing part that the baseline dialogs share: a directory, a type filter, the
// candidate files of the directory that match it (without regard to letter case), and the
// chosen list of full names, each at most once.
#pragma once

#include <string>
#include <vector>

namespace vemo {

struct CBaselineFileChooser {
  std::string directory;               // "基线文件路径"
  std::string filter;                  // "类型": a mask such as "*.GPS3DVector_S" or "*.*"
  std::vector<std::string> candidates;  // file names in the directory, sorted
  std::vector<std::string> chosen;      // full names

  // Lists the directory's files that match the filter without regard to letter case.
  void ListCandidates();
  // "选定─〉": adds candidates (by file name) to the chosen list; "全选─〉": adds all.
  void Choose(const std::vector<std::string>& names);
  void ChooseAll();
  // "删除已选".
  void RemoveChosen(const std::vector<std::string>& fullNames);
  // Adds a full path (from the command line) unless it is chosen already.
  void ChoosePath(const std::string& path);
};

// Whether a file name matches a mask of '*' and '?' without regard to ASCII letter case, as
// the file dialogs match: "*.*" matches every name, "o*.*" also names without a dot. The
// importers' masks are not all "*.EXT" patterns.
bool MatchesFileMask(const std::string& name, const std::string& mask);

}  // namespace vemo
