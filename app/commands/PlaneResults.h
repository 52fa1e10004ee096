// What the plane adjustment commands derive from a plane result beyond the engine's own
// files: the tunnel breakthrough extract of the user's guide file, which the breakthrough
// command reads later. The engine knows nothing of tunnels; the commands that run it do.
#pragma once

class CGPS2dNetAdjust;

namespace vemo {

// Writes the extract of the plane network just adjusted ("gtt", or "gtt1" for the one-point-
// one-direction network, so that the ordinary network's extract stays as it is). Nothing
// when the project has no guide file; returns 0 after a message when a file cannot be opened.
int ExtractBreakthroughOf(const CGPS2dNetAdjust& plane);

}  // namespace vemo
