#pragma once

// `tolvane render [IN] OUT`: an audio file (or the built-in demo) through the
// plug-in, as a host bounces a track: the output keeps the input's rate and
// channel count, gets a tail for the echoes to ring out, and replaces OUT only
// when everything succeeded. Prints a one-line summary.

#include "host/commands/Options.h"

// The program's exit status.
int RunRender(const RenderOptions& options);
