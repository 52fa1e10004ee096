// The command line's guard around a command: whatever a handler throws ends in a message and
// an exit status, never in std::terminate (a quantile beyond its distribution used to abort
// the process with SIGABRT, skipping the removal of its partial results).
#include <gtest/gtest.h>

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
  struct Case {
    const char* what;
    std::function<int()> handler;
    int status;
    const char* message;  // UTF-8; nullptr: none through the platform layer
  };
  const Case cases[] = {
      {"the handler's own status", [] { return 1; }, 1, nullptr},
      {"a usage error", []() -> int { throw UsageError("takes no arguments"); }, 2, nullptr},
      {"no memory", []() -> int { throw std::bad_alloc(); }, 1, u8"内存不足!"},
      {"a standard exception", []() -> int { throw std::overflow_error("Error in function quantile: Overflow Error"); },
       1, u8"命令因意外错误而中止: Error in function quantile: Overflow Error"},
      {"anything else", []() -> int { throw 42; }, 1, u8"命令因意外错误而中止!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    scope.host.messages.clear();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGuarded(c.handler, "adjust-3d"), c.status);
    const std::string err = testing::internal::GetCapturedStderr();
    if (c.message) {
      ASSERT_EQ(scope.host.messages.size(), 1u);
      EXPECT_EQ(scope.host.messages[0].Utf8Text(), c.message);
    } else {
      EXPECT_TRUE(scope.host.messages.empty());
    }
    if (c.status == 2) {
      EXPECT_EQ(err, "VemoGPS: takes no arguments\nsee: VemoGPS help adjust-3d\n");
    }
  }
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
