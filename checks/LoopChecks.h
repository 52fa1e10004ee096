// The loop misclosure checks. The synchronous check closes the loops of each observation
// period (one synchronous baseline file) among its own baselines; the asynchronous check
// closes loops of the project's independent vector file. Each first searches the loops into a
// loop file, which the user may edit, and then computes the misclosure report from it.
#pragma once

#include "project/data/KnownCovariance.h"

#include <optional>
#include <string>
#include <vector>

#include "geodesy/GPSConfiguration.h"

class CReadGPS3dVector;

namespace vemo {

// The baselines of one synchronous baseline file: their names, components, the point list and
// the from and to indices.
struct CSyncBaselineSet {
  std::vector<std::string> fromName, toName;
  std::vector<double> dx, dy, dz;
  std::vector<std::string> pointName;
  std::vector<int> from, to;
};

// Loads a synchronous baseline file into set. The file's header line "同步基线文件：%s\n" and
// every 11-item line as read are appended to loopText. Returns 0 (the file is skipped) after
// "打开文件%s出错,请检查基线向量文件!" or "基线向量文件有误!".
int LoadSyncBaselineSet(const std::string& path, CSyncBaselineSet& set, std::string& loopText);

// The synchronous check of the chosen files (an empty list stands for a cancelled dialog).
// Writes "%s\%s.GPS3dSyncLoop" (after the overwrite question when it exists) and computes
// "%s\%s.GPS3dSyncMisclosure", which is opened in the text viewer. Returns 1 when the report
// was written.
int RunSyncLoopCheck(const std::vector<std::string>& files);

// The misclosure report of a synchronous loop file. Returns 1 when the report was written; 0
// after a message when the loop file is missing or shorter than 10 bytes (it holds no loop),
// or the report cannot be created.
int ComputeSyncMisclosure(const std::string& loopFile, const std::string& reportFile,
                          const CGPSConfiguration& configuration);

// The asynchronous check: the project's vectors, "%s\%s.GPS3dLoop" (kept when it exists and
// "闭合环路文件已存在，重新产生？" is answered No) and "%s\%s.GPS3dMisclosure", opened in the
// text viewer. Returns 1 when the report was written.
int RunAsyncLoopCheck();

// The misclosure report of an asynchronous loop file for a loaded data set. With clusters
// (GPS3dCluster; clusterOf: each vector's cluster or -1), the covariance-based tolerances of a
// loop take the covariances between its vectors of one cluster.
int ComputeAsyncMisclosure(const CReadGPS3dVector& set, const std::string& loopFile, const std::string& reportFile,
                           const CGPSConfiguration& configuration,
                           const std::vector<vemo::CCovarianceBlock>& clusters = {},
                           const std::vector<int>& clusterOf = {});

// Searches the loops of a network into loop lines; shows "No Close Circle" (caption
// "Program") when the vectors form no loop. Returns the loop lines (possibly empty), or
// nothing when the person cancelled the search (the loop file is then left as it was).
std::optional<std::string> SearchLoops(const std::vector<std::string>& pointNames, const std::vector<int>& from,
                        const std::vector<int>& to);

}  // namespace vemo
