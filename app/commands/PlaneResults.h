// What the plane adjustment commands share beyond the engine: the option that keeps the
// original rules, and the tunnel breakthrough extract of the user's guide file, which the
// breakthrough command reads later. The engine knows nothing of tunnels; the commands that
// run it do.
#pragma once

#include "app/commands/Args.h"

class CGPS2dNetAdjust;

namespace vemo {

// "--legacy-rules" of adjust-2d and adjust-one-fix: ground observations weighted 1/sd² as
// their files give sd, and the stop rule on the coordinates alone, for comparison with
// results computed by the original rules. Taken for the one run, not remembered.
extern const char* const kLegacyRulesHelp;
void TakeLegacyRules(Args& args, CGPS2dNetAdjust& network);

// Writes the extract of the plane network just adjusted ("gtt", or "gtt1" for the one-point-
// one-direction network, so that the ordinary network's extract stays as it is). Nothing
// when the project has no guide file; returns 0 after a message when a file cannot be opened.
int ExtractBreakthroughOf(const CGPS2dNetAdjust& plane);

}  // namespace vemo
