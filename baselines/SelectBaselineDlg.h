// The baseline selection dialog "基线文件格式转换" of the command "读取同步基线数据" as a
// record, and the import that follows its OK: the importer of the project's baseline type
// turns the chosen exports into synchronous baseline files, which then open as text.
#pragma once

#include <string>
#include <vector>

#include "baselines/BaselineFileChooser.h"
#include "geodesy/ReadGPS3dBaseline.h"

namespace vemo {

struct CSelectBaselineDlg {
  // "基线文件路径", "待选基线文件" (the folder's files that match the mask of the project's
  // baseline type), "已选基线文件" (full paths).
  CBaselineFileChooser files;
  int baselineType = 0;    // the receiver package of this import; the project's as it opens
  std::string mask;        // "" lists every file
  bool merge = false;      // "合并文件"
  std::string mergedFile;  // "转换后同步基线文件"; empty: the default

  // The dialog as it opens: the mask of the project's baseline type, the folder of the files
  // chosen last time (else the project directory) with its candidates listed.
  static CSelectBaselineDlg Open();

  // Lists the folder's files that match the mask, without regard to letter case.
  void ListCandidates();
  // Another package for this import only (the project keeps its own): its mask, and the
  // folder's files that match it.
  void ChooseBaselineType(int type);
  // "浏览" of the folder (picker "选择基线文件路径"): the folder and its candidates.
  bool BrowseDirectory();
  // "浏览" of the merged file (picker "选择存放同步基线文件路径"): the merged file goes into
  // the chosen folder, named after the first chosen file.
  bool BrowseMergedFile();

  // "<project directory>/<base name of the first chosen file>.GPS3DVector_S"; empty while
  // nothing is chosen.
  std::string DefaultMergedFile() const;
};

// OK: the chosen files, the merge flag and the merged file (the default when none was given)
// become the project configuration's choice (GBK paths). Returns 0, and changes nothing,
// after a message when a path holds a character that GBK cannot hold.
int AcceptSelectBaselineDlg(const CSelectBaselineDlg& dialog);

// Runs the importer of the configured baseline type on the configuration's choice and, when
// it succeeds, opens the merged file or each input's synchronous file as a text document.
// A type without an importer does nothing. Returns 1 when the command completed (also for
// those types), 0 when the importer failed (after its message).
int ImportChosenBaselines();
// The same with the importer of baseline type `type` (the project's type is left as it is);
// summary receives what was read.
int ImportChosenBaselines(int type, CBaselineImportSummary& summary);

}  // namespace vemo
