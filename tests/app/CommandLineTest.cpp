// The command line's guard around a command: whatever a handler throws ends in a message and
// an exit status, never in std::terminate (a quantile beyond its distribution used to abort
// the process with SIGABRT, skipping the removal of its partial results).
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "app/cli/CommandLine.h"
#include "app/commands/Args.h"
#include "app/commands/CommandFlow.h"
#include "geodesy/FileUtil.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;

TEST(CommandLineGuard, EveryExceptionBecomesAMessageAndAStatus) {
  ScopedTestHost scope;
  const std::pair<std::function<int()>, const char*> cases[] = {
      {[]() -> int { throw std::bad_alloc(); }, u8"内存不足!"},
      {[]() -> int { throw std::overflow_error("Error in function quantile: Overflow Error"); },
       u8"命令因意外错误而中止: Error in function quantile: Overflow Error"},
      {[]() -> int { throw 42; }, u8"命令因意外错误而中止!"},
  };
  for (const auto& [handler, message] : cases) {
    scope.host.messages.clear();
    EXPECT_EQ(RunGuarded(handler, "adjust-3d"), kCommandFailed);
    ASSERT_EQ(scope.host.messages.size(), 1u);
    EXPECT_EQ(scope.host.messages[0].Utf8Text(), message);
  }
  // A usage error keeps its form and status; a status returned passes through.
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunGuarded([]() -> int { throw UsageError("takes no arguments"); }, "adjust-3d"), kCommandUsage);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "VemoGPS: takes no arguments\nsee: VemoGPS help adjust-3d\n");
  EXPECT_EQ(RunGuarded([] { return kCommandFailed; }, "adjust-3d"), kCommandFailed);
}

// A computation that throws half-way leaves none of the files it declared: they are removed
// before the exception goes on to the command's entry.
TEST(CommandLineGuard, AComputationThatThrowsLeavesNoPartialResult) {
  AdjustProject project;
  project.Write("GPS3dResult", "earlier\n");
  const CResultFiles writes({ProjectFile::Result3d});
  const int status = RunGuarded(
      [&] {
        return RunComputation([] { return 1; },
                              [&]() -> int {
                                project.Write("GPS3dResult", "half of a report");
                                throw std::runtime_error("cut");
                              },
                              {project.File("GPS3dResult")}, writes);
      },
      "adjust-3d");
  EXPECT_EQ(status, kCommandFailed);
  EXPECT_FALSE(project.Exists("GPS3dResult"));
  EXPECT_TRUE(project.scope.host.openedDocuments.empty());
}

}  // namespace
