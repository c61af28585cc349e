#pragma once

// Tools the validation checks share: collecting problems, instances that are
// ready to render, test signals and comparisons of rendered audio.

#include "host/render/AudioFile.h"
#include "host/kit/Component.h"
#include "host/kit/UnitRenderer.h"
#include "host/validate/Validate.h"

#include <memory>
#include <string>
#include <vector>

// The problems a check found; it fails when there is at least one.
class Findings
{
public:
  void Require(bool ok, const std::string& problem)
  {
    if (!ok) mProblems.push_back(problem);
  }
  // The call must answer noErr.
  void RequireNoErr(ComponentResult status, const std::string& call);
  // The call must answer something other than noErr.
  void RequireRefused(ComponentResult status, const std::string& call);
  bool Any() const { return !mProblems.empty(); }
  // Fails with the first problems, or passes with the note.
  CheckResult Result(const std::string& passNote = std::string()) const;

private:
  std::vector<std::string> mProblems;
};

// A fresh instance, configured and started (initialised and reset).
class PlayingUnit
{
public:
  bool Start(ValidationContext& context, const StreamSetup& setup, std::string& error)
  {
    return Open(context, error) && Begin(setup, error);
  }
  // The two halves of Start, for settings made before the host sets the unit up.
  bool Open(ValidationContext& context, std::string& error);
  bool Begin(const StreamSetup& setup, std::string& error);
  AudioUnit Unit() const { return mInstance.Get(); }
  UnitRenderer& Renderer() { return *mRenderer; }

private:
  UnitInstance mInstance;
  std::unique_ptr<UnitRenderer> mRenderer;
};

StreamSetup StereoSetup(double sampleRate = 44100.0, UInt32 maxFrames = 512);
// Repeatable white noise of the given peak amplitude.
AudioData MakeNoise(const StreamSetup& setup, double seconds, float amplitude, unsigned seed = 1);
AudioData MakeSilence(const StreamSetup& setup, double seconds);

// The whole input through the unit in slices of the given sizes (empty: the maximum).
ComponentResult RenderSignal(UnitRenderer& renderer, const AudioData& input, AudioData& output,
                             const std::vector<UInt32>& slices = {});
// "" when every sample is finite and within +-bound, else what is wrong.
std::string CheckSamples(const AudioData& audio, double bound);
// "" when every sample is finite, else how many are NaN or infinite and where the first is.
std::string NonFiniteSamples(const AudioData& audio);
// "" when no sample is subnormal, else how many are and where the first is.
std::string SubnormalSamples(const AudioData& audio);
float PeakOf(const AudioData& audio);
double MaxDifference(const AudioData& a, const AudioData& b);
bool SameSamples(const AudioData& a, const AudioData& b);

// Every parameter's value, in the order of the descriptions.
std::vector<AudioUnitParameterValue> ReadValues(AudioUnit unit,
                                                const std::vector<ParameterDesc>& params);
// Distinct values inside each range, away from the defaults.
void SetDistinctValues(AudioUnit unit, const std::vector<ParameterDesc>& params);

std::string Milliseconds(double seconds);
// The texts separated by "; ".
std::string Join(const std::vector<std::string>& texts);

// Every parameter at the end of its range.
void SetAllParameters(AudioUnit unit, const std::vector<ParameterDesc>& params, bool atMaximum);
