// What the commands share: the common flow of a computation command, the opening of result
// files, and "打开(&O)...".
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "app/commands/CommandTable.h"
#include "geodesy/ProjectFiles.h"

namespace vemo {

// The result files of a computation command, named from the project file catalogue in the
// command's network variant (a kind without a file of the one-point-one-direction network's own
// is left out of variant 1, so that its run never touches the ordinary network's files). The
// files exist after the command only when it succeeded, and are then this run's: they are
// removed before it computes, since a file of an earlier run that this run does not rewrite
// would pass for its own, and again when it fails, since what it had begun is partial.
// Removal is durable, as saves are (RemoveFilesDurably).
class CResultFiles {
 public:
  explicit CResultFiles(std::span<const ProjectFile> kinds, int variant = 0) { Add(kinds, variant); }
  explicit CResultFiles(std::initializer_list<ProjectFile> kinds, int variant = 0) { Add(kinds, variant); }
  void Add(std::span<const ProjectFile> kinds, int variant = 0);
  void Add(std::initializer_list<ProjectFile> kinds, int variant = 0) { Add({kinds.begin(), kinds.size()}, variant); }
  // Leaves out a file the command reads (a path its user gave that is one of its results).
  void Spare(const std::string& path);
  const std::vector<std::string>& Paths() const { return m_Paths; }

  // Removes them all; false after the message naming the first that cannot be removed.
  bool Remove() const;
  // The command's exit status after it ran: when it failed, its results are removed.
  int Finish(int status) const;

 private:
  std::vector<std::string> m_Paths;
};

// The flow every computation command shares: load the engine's data set (the loader has shown
// its message when it fails), run the engine (it shows its own progress and messages), and
// when it succeeds open each result file as a text document. The data set and the engine are
// the caller's objects on its stack; they die with the command. Returns the command's exit
// status: kCommandDone, or kCommandFailed when loading or the engine failed (nothing opened).
class UsageError;

// Runs a command's handler in either host: a usage error goes to usage, anything else it
// throws (out of memory, a quantile beyond its distribution, a file system error) becomes a
// message and kCommandFailed, so that no host ends inside a command and skips its clean-up.
int RunCatchingFailures(const std::function<int()>& handler, const std::function<int(const UsageError&)>& usage);

int RunComputation(const std::function<int()>& load, const std::function<int()>& run,
                   const std::vector<std::string>& resultFiles);
// The same for a command that declares the files it writes: they are removed before loading
// and again after a failure (CResultFiles).
int RunComputation(const std::function<int()>& load, const std::function<int()>& run,
                   const std::vector<std::string>& resultFiles, const CResultFiles& writes);

// What the engines write beside their report, for the commands that run them: the 3D vector
// network adjustment (coordinates, and the vectors reduced to the ellipsoid and the plane, which
// it writes in either mode of its approximate coordinates; the approximate coordinates
// themselves only when it computes them), and the plane adjustment with the tunnel extract
// that its commands write after it.
inline constexpr std::array kGPS3dNetResults = {ProjectFile::Result3d,  ProjectFile::BLH3d,
                                                ProjectFile::XYHEFT3d,  ProjectFile::XYH3d,
                                                ProjectFile::BLHVector3d, ProjectFile::Vector2d};
inline constexpr std::array kGPS2dNetResults = {ProjectFile::Result2d, ProjectFile::XY2d, ProjectFile::XYEFT2d,
                                                ProjectFile::BreakthroughExtract};

// The inputs a command needs before it can start, checked before anything is read or written:
// for each project file of the kinds given (in the variant) that does not exist, a message
// names the command, the file and the menu command that makes it (a data entry form or an
// earlier computation, with its command line), instead of the bare open error of a loader.
// False after the message for the first missing file.
bool RequireInputs(CommandId command, std::initializer_list<ProjectFile> kinds, int variant = 0);

// A result read by a later command must be newer than every input of the computation that
// wrote it (InputsOf, project/ProjectDependencies.h): otherwise the inputs were changed after
// it, and it is not their result. False after a message naming the result, the newer input and
// the command to run again (maker). Inputs that do not exist are optional ones and compare
// with nothing; a missing result is left to its reader's message.
bool RequireCurrentResult(CommandId command, ProjectFile result, CommandId maker);

// How a message names a menu command: the menu and the command ("数据输入→三维已知坐标"), then
// its command line ("enter known-xyz"); GBK.
std::string CommandReference(CommandId id);

// Opens a file of the project as a text document. A missing or unreadable file is reported
// as the document framework does ("打开文件%s出错!") and nothing opens. Returns kCommandDone
// or kCommandFailed.
int OpenResultFile(const std::string& path);

// "打开(&O)...": the directory of the chosen file becomes the project directory (the name and
// the configuration stay) and the file opens as a text document. The file must exist.
int OpenAnyFile(const std::string& path);

}  // namespace vemo
