// The harness of the fuzz targets. Each input runs in a fresh copy of the sample project
// (made once per process by the sample generator and the 3D adjustment, so that every data
// and result file a reader expects is there), with a fresh silent test host and settings of
// its own; the target writes the fuzzed bytes as one file and runs the real command that
// reads it. A target is one short file:
//
//   #include "fuzz/FuzzHarness.h"
//   extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
//     vemo::fuzz::Session session;
//     vemo::fuzz::Input input(data, size);
//     session.Write(session.ProjectFile("GPS3dVector"), input.Rest());
//     session.Run("adjust-3d", {});
//     return 0;
//   }
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/TestHost.h"

namespace vemo::fuzz {

// The bytes of one input. The first byte may pick one reader of a family; the rest is the
// content of the file.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : m_Bytes(reinterpret_cast<const char*>(data), size) {}
  // One of count choices, from the first byte (which is then no longer part of the rest).
  int Select(int count);
  std::string Rest() const { return std::string(m_Bytes); }

 private:
  std::string_view m_Bytes;
};

class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // A file of the project ("<dir>/fz.<extension>").
  std::string ProjectFile(const std::string& extension) const;
  // A file of the sample project as generated (for inputs of commands that take file names).
  std::string SampleFile(const std::string& name) const;
  // A file of the repository's test data (tests/data/...).
  static std::string TestDataFile(const std::string& name);
  // A file outside the project, in the input's scratch directory.
  std::string ScratchFile(const std::string& name) const;
  std::string ProjectDir() const;
  std::string SettingsFile() const;
  // Writes the bytes as they are (a plain write: the file is the input, not a user's file).
  static void Write(const std::string& path, std::string_view bytes);
  // Runs a command of the command line in this process, as the program does after opening
  // the project (usage errors are caught as the program catches them). Returns its status.
  int Run(const std::string& command, std::vector<std::string> arguments);

  test::TestHost host;
};

}  // namespace vemo::fuzz
