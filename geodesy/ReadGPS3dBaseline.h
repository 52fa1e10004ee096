// The baseline importers: each reads the exports of one receiver maker's processing software
// (the files chosen for import in the configuration) and writes, per input file or into one
// merged file, the project's synchronous baseline file "<base name>.GPS3DVector_S": one line a
// baseline with the from- and to-station, the components dX, dY, dZ (m) and the covariance
// XX, YY, ZZ, XY, XZ, YZ (cm², multiplied by the configuration's variance factor k).
//
// The importers read everything from the library-wide state (SetGlobalVal): the configuration
// (m_SyncBaselineFiles and m_ConvertedBaselineFile are GBK paths, as every string of the
// configuration; m_MergeFiles; m_BaselineVarianceFactor), the project directory and name.
// Every failure is reported to the user in a message; the importers return 1 on success and
// 0 on failure. A file of another package yields an empty synchronous file and success, with
// a message that no baseline was read, naming the project's package and the packages whose
// readers find baselines in the file.
#pragma once

#include <string>
#include <vector>

#include "geodesy/BaselinePackages.h"

namespace vemo {

// What an import read, for the summary the person sees when it ends: the files the reader
// went through, the baselines written to the synchronous files, and the files of which no
// baseline was written (native paths, in the order they were chosen).
struct CBaselineImportSummary {
  int filesRead = 0;
  int baselinesRead = 0;
  std::vector<std::string> filesWithNothingRead;
};

}  // namespace vemo

class CReadGPS3dBaseline {
 public:
  CReadGPS3dBaseline();
  ~CReadGPS3dBaseline();

  // outputPath = "<project directory>/<base name of inputPath>.GPS3DVector_S"; an existing
  // file of another letter case is reused. inputPath is a native path.
  void CreateSyncFile(std::string& inputPath, std::string& outputPath);

  // 1 after the message "基线向量文件有误，请检查设置对话框中的基线解软件类型!" when the file
  // cannot be read or holds fewer than 5 bytes; else 0. path is a native path.
  int IsFileEmpty(std::string path);

  // The importer of baseline type `type`: the reader of its package (BaselinePackages.h) over
  // the chosen files, with the reference station as the package uses it. A type without an
  // importer (type 4, types outside the table) reads and writes nothing and returns 1.
  // summary, when given, receives what was read (also of a failed import, up to the failure).
  int Import(int type, vemo::CBaselineImportSummary* summary = nullptr);

  // The importers by the names the library has always exported them under; each is Import of
  // its type. A package added later needs none.
  int TrimbleBaseline();     // type 0: survey report, data exchange, own TGO list
  int AshtechBaseline();     // type 1: versions 3.1 and 5.2.00, own solution list
  int LeicaBaseline();       // type 2: "@#" "@+" "@-" "@=" records, reference station
  int SokkiaBaseline();      // type 3
  int LipBaseline();         // type 5: reference station
  int VemogpsBaseline();     // type 6: the system's own format
  int JavadBaseline();       // type 7
  int GamitBaseline();       // type 8: O-file and Q-file
  int NovatelBaseline();     // type 9
  int ZhonghaidaBaseline();  // type 10
  int SouthBaseline();       // type 11: LGO and TGO text, reference station name required
  int HuaceBaseline();       // type 12
};
