// The plane adjustment command ("二维网联合/约束平差") and the tunnel breakthrough error command
// ("贯通误差影响值计算").
#include "adjust2d/GPS2dNetAdjust.h"
#include "project/AppState.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"
#include "app/commands/StatisticsCommands.h"
#include "tools/Breakthrough.h"

namespace vemo {

int RunAdjust2d(CommandContext& context) {
  const TestOptions tests = TakeTestOptions(context.args);
  if (!context.args.Positionals().empty()) throw UsageError("adjust-2d takes no arguments");
  RememberTestOptions(tests);
  CGPS2dNetAdjust network(0);
  return RunComputation([&] { return network.Load(); }, [&] { return AdjustGPS2dWithTests(network, tests.settings); },
                        {CurrentProjectFile("GPS2dResult")});
}

int RunBreakthrough(CommandContext& context) {
  if (!context.args.Positionals().empty()) throw UsageError("breakthrough takes no arguments");
  return RunComputation([] { return 1; }, [] { return ComputeBreakthroughErrors(); },
                        {CurrentProjectFile("gto")});
}

}  // namespace vemo
