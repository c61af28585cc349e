#pragma once

// When the first echo of a hit arrives in each output channel. An instance of
// its own, in the state to be measured, hears silence until its delay times
// have settled, then one full-scale click, then silence until every channel
// has echoed (the first sample above -90 dBFS after the click) or the longest
// delay the line can hold has passed.

#include "host/kit/UnitRenderer.h"

#include <AudioUnit/AudioUnit.h>

#include <functional>
#include <string>
#include <vector>

// Brings the probe's instance into the state to be measured.
using StateSetter = std::function<bool(AudioUnit unit, std::string& error)>;

// Seconds from the click to the first echo, per output channel; negative
// where no echo came.
bool MeasureFirstEchoes(Component component, const StreamSetup& setup, const StateSetter& setState,
                        std::vector<double>& echoSeconds, std::string& error);
