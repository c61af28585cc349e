#pragma once

// The commands other than render; each returns the program's exit status.

#include "host/Options.h"

// `tolvane info`: what a host learns from the component.
int RunInfo(const ComponentOptions& options);
// `tolvane preset save|show FILE.aupreset`.
int RunPreset(const PresetOptions& options);
// `tolvane validate`: the conformance run; non-zero when a check fails.
int RunValidate(const ComponentOptions& options);
