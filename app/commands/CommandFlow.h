// What the commands share: the common flow of a computation command, the opening of result
// files, and "打开(&O)...".
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vemo {

// The flow every computation command shares: load the engine's data set (the loader has shown
// its message when it fails), run the engine (it shows its own progress and messages), and
// when it succeeds open each result file as a text document. The data set and the engine are
// the caller's objects on its stack; they die with the command. Returns the command's exit
// status: kCommandDone, or kCommandFailed when loading or the engine failed (nothing opened).
int RunComputation(const std::function<int()>& load, const std::function<int()>& run,
                   const std::vector<std::string>& resultFiles);

// Opens a file of the project as a text document. A missing or unreadable file is reported
// as the document framework does ("打开文件%s出错!") and nothing opens. Returns kCommandDone
// or kCommandFailed.
int OpenResultFile(const std::string& path);

// "打开(&O)...": the directory of the chosen file becomes the project directory (the name and
// the configuration stay) and the file opens as a text document. The file must exist.
int OpenAnyFile(const std::string& path);

}  // namespace vemo
