#include "app/commands/CommandFlow.h"

#include <filesystem>

#include "project/AppState.h"
#include "app/commands/CommandTable.h"
#include "project/data/DataFileReader.h"
#include "geodesy/FileUtil.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"

namespace vemo {

int RunComputation(const std::function<int()>& load, const std::function<int()>& run,
                   const std::vector<std::string>& resultFiles) {
  if (!load()) return kCommandFailed;
  if (!run()) return kCommandFailed;
  for (const auto& file : resultFiles) Platform().OpenTextDocument(file);
  return kCommandDone;
}

int OpenResultFile(const std::string& path) {
  return OpenProjectDocument(path) ? kCommandDone : kCommandFailed;
}

int OpenAnyFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::string content;
  if (!ReadRequiredFile(path, content)) return kCommandFailed;
  std::error_code ec;
  fs::path absolute = fs::absolute(fs::path(path), ec);
  if (ec) absolute = path;
  std::string directory = absolute.lexically_normal().parent_path().string();
  CProjectState& p = Project();
  p.projectDir = directory;
  SetGlobalVal(&p.configuration, p.projectDir, p.projectName);
  Platform().OpenTextDocument(absolute.lexically_normal().string());
  return kCommandDone;
}

}  // namespace vemo
