#pragma once

// The hand-written upstream unit's parameters and signal. Output bus 0 carries
// a known ramp: channel c, frame i of the block at sample time t holds
// kSourceBase * (c + 1) + t + i.

constexpr float kSourceBase = 1000.0f;

enum ETestSourceParam
{
  kSourceRenders = 0, // number of renders so far (read-only)
  kSourceFailWith,    // status the next renders return (0 = success)
  kSourceChannels     // output channel count it reports
};
