// Validation: a busy studio. While one thread renders (through the entry, then
// through the fast-dispatch procedure), another moves every parameter (through
// both paths too), saves the state and restores it, as hosts do from their own
// threads. Nothing may
// crash, the output stays finite, and the state is still restorable after.

#include "host/kit/AUProperty.h"
#include "host/kit/CFRef.h"
#include "host/kit/PresetFile.h"
#include "host/validate/ValidateSupport.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace
{
const UInt32 kFrames = 256;
const int kSweeps = 60;           // every parameter moved this often
const int kStateEvery = 6;        // a save and a restore every this many sweeps
const long kMinimumRenders = 100; // rendering goes on at least this long

struct RenderTally
{
  long renders = 0;
  long failures = 0;
  long nonFinite = 0;
};

void RenderUntil(UnitRenderer& renderer, const std::atomic<bool>& done, RenderTally& tally)
{
  std::vector<float> inL(kFrames), inR(kFrames), outL(kFrames), outR(kFrames);
  const float* in[] = {inL.data(), inR.data()};
  float* out[] = {outL.data(), outR.data()};
  unsigned seed = 77u;
  while (!done.load() || tally.renders < kMinimumRenders)
  {
    for (UInt32 i = 0; i < kFrames; ++i)
    {
      seed = seed * 1664525u + 1013904223u;
      inL[i] = inR[i] = 0.5f * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
    }
    ++tally.renders;
    if (renderer.Render(in, out, kFrames) != noErr)
    {
      ++tally.failures;
      continue;
    }
    for (UInt32 i = 0; i < kFrames; ++i)
      tally.nonFinite += !std::isfinite(outL[i]) + !std::isfinite(outR[i]);
  }
}

// The host's other thread: parameters across their ranges (every other sweep
// through the fast-dispatch procedure, when the unit has one), state saved and
// restored.
void Automate(ValidationContext& context, AudioUnit unit, CFPropertyListRef state,
              Findings& findings)
{
  const std::vector<ParameterDesc>& params = context.Parameters();
  AudioUnitSetParameterProc fastSet = nullptr;
  if (GetAUProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                    kAudioUnitSetParameterSelect, fastSet) != noErr)
    fastSet = nullptr;
  void* storage = GetComponentInstanceStorage(unit);
  for (int sweep = 0; sweep < kSweeps; ++sweep)
  {
    for (size_t p = 0; p < params.size(); ++p)
    {
      const ParameterDesc& desc = params[p];
      const double fraction = std::fmod(0.37 * static_cast<double>(sweep * 31 + p), 1.0);
      const auto value = static_cast<AudioUnitParameterValue>(
          desc.minValue + fraction * (desc.maxValue - desc.minValue));
      if (fastSet && storage && sweep % 2)
        fastSet(storage, desc.id, kAudioUnitScope_Global, 0, value, 0);
      else
        AudioUnitSetParameter(unit, desc.id, kAudioUnitScope_Global, 0, value, 0);
    }
    if (sweep % kStateEvery != 0) continue;
    CFRef<CFPropertyListRef> saved;
    std::string error;
    findings.Require(CopyClassInfo(unit, saved, error), "saving while rendering: " + error);
    findings.RequireNoErr(RestoreClassInfo(unit, state), "restoring while rendering");
  }
}

void RunPath(ValidationContext& context, bool fast, CFPropertyListRef state,
             const std::vector<AudioUnitParameterValue>& stateValues, Findings& findings,
             long& renders)
{
  const std::string path = fast ? "fast dispatch" : "entry";
  PlayingUnit unit;
  std::string error;
  if (!unit.Start(context, StereoSetup(44100.0, kFrames), error))
    return findings.Require(false, error);
  if (fast && !unit.Renderer().UseFastDispatch()) return;
  RenderTally tally;
  std::atomic<bool> done{false};
  std::thread audio(RenderUntil, std::ref(unit.Renderer()), std::cref(done), std::ref(tally));
  Automate(context, unit.Unit(), state, findings);
  done = true;
  audio.join();
  renders += tally.renders;
  findings.Require(tally.failures == 0,
                   path + ": " + std::to_string(tally.failures) + " renders failed");
  findings.Require(tally.nonFinite == 0,
                   path + ": " + std::to_string(tally.nonFinite) + " samples not finite");
  findings.RequireNoErr(RestoreClassInfo(unit.Unit(), state), path + ": restoring afterwards");
  findings.Require(ReadValues(unit.Unit(), context.Parameters()) == stateValues,
                   path + ": the state restored afterwards does not give its values back");
}

CheckResult RenderWhileAutomating(ValidationContext& context)
{
  UnitInstance source;
  std::string error;
  CFRef<CFPropertyListRef> state;
  if (!OpenUnit(context.GetComponent(), source, error)) return Fail(error);
  SetDistinctValues(source.Get(), context.Parameters());
  if (!CopyClassInfo(source.Get(), state, error)) return Fail(error);
  const std::vector<AudioUnitParameterValue> values =
      ReadValues(source.Get(), context.Parameters());
  Findings findings;
  long renders = 0;
  for (const bool fast : {false, true})
    RunPath(context, fast, state.Get(), values, findings, renders);
  return findings.Result(std::to_string(renders) + " renders against " + std::to_string(kSweeps) +
                         " sweeps of every parameter and " + std::to_string(kSweeps / kStateEvery) +
                         " saves and restores, each way");
}
} // namespace

CheckGroup ThreadChecks()
{
  return {
      "threads",
      {{"parameters and state set from another thread while rendering", RenderWhileAutomating}}};
}
