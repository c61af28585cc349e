#pragma once

// Brings a unit into the state the user asked for: a factory preset or a
// state file first, then the single parameter values on top.

#include "host/commands/Options.h"

#include <AudioUnit/AudioUnit.h>

#include <string>

bool ApplyStateOptions(AudioUnit unit, const StateOptions& state, std::string& error);
