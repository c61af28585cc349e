#include "host/render/DemoSignal.h"

#include <cmath>
#include <cstdint>

namespace
{
const double kPi = 3.14159265358979323846;
const double kBeatSeconds = 60.0 / kDemoTempo;

// Repeatable white noise in -1 ... 1.
class Noise
{
public:
  float Next()
  {
    mState ^= mState << 13;
    mState ^= mState >> 17;
    mState ^= mState << 5;
    return static_cast<float>(mState) / 2147483648.0f - 1.0f;
  }

private:
  uint32_t mState = 0x2545F491u;
};

// Adds one sound starting at `beat`, `seconds` long, at the two channel gains.
template <class Voice>
void AddSound(AudioData& audio, double beat, double seconds, float left, float right, Voice voice)
{
  const size_t start = static_cast<size_t>(std::lround(beat * kBeatSeconds * audio.sampleRate));
  const size_t length = static_cast<size_t>(seconds * audio.sampleRate);
  for (size_t i = 0; i < length && start + i < audio.Frames(); ++i)
  {
    const float sample = voice(static_cast<double>(i) / audio.sampleRate);
    audio.channels[0][start + i] += sample * left;
    audio.channels[1][start + i] += sample * right;
  }
}

void AddKick(AudioData& audio, double beat)
{
  AddSound(audio, beat, 0.35, 0.7f, 0.7f,
           [](double t)
           {
             // The pitch falls from 150 Hz to 50 Hz; the phase is its integral.
             const double phase =
                 2.0 * kPi * (50.0 * t + 100.0 * 0.04 * (1.0 - std::exp(-t / 0.04)));
             return static_cast<float>(std::sin(phase) * std::exp(-t / 0.12));
           });
}

void AddSnare(AudioData& audio, double beat, Noise& noise)
{
  AddSound(audio, beat, 0.25, 0.4f, 0.4f,
           [&noise](double t)
           {
             const double body = 0.5 * std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t / 0.05);
             return static_cast<float>((0.7 * noise.Next() * std::exp(-t / 0.07)) + body);
           });
}

void AddHat(AudioData& audio, double beat, Noise& noise)
{
  float previous = 0.0f;
  AddSound(audio, beat, 0.06, 0.1f, 0.15f,
           [&noise, &previous](double t)
           {
             // Differenced noise: bright, without low end.
             const float white = noise.Next();
             const float bright = white - previous;
             previous = white;
             return static_cast<float>(0.5 * bright * std::exp(-t / 0.012));
           });
}

void AddNote(AudioData& audio, double beat, double frequency)
{
  AddSound(audio, beat, 0.9, 0.3f, 0.2f,
           [frequency](double t)
           {
             const double tone =
                 std::sin(2.0 * kPi * frequency * t) + 0.3 * std::sin(4.0 * kPi * frequency * t);
             const double attack = std::min(1.0, t / 0.004);
             return static_cast<float>(0.7 * tone * attack * std::exp(-t / 0.22));
           });
}

struct Note
{
  double beat;
  double frequency;
};

// A phrase over bars 3 and 4 in A minor.
const Note kPhrase[] = {{8.0, 440.00},  {8.5, 523.25},  {9.0, 659.26},  {10.0, 587.33},
                        {10.5, 523.25}, {11.0, 440.00}, {12.0, 392.00}, {13.5, 440.00}};
} // namespace

AudioData MakeDemoSignal()
{
  AudioData audio;
  audio.sampleRate = kDemoSampleRate;
  const int beats = kDemoBars * 4;
  const size_t frames = static_cast<size_t>(beats * kBeatSeconds * kDemoSampleRate);
  audio.Allocate(2, frames);

  Noise noise;
  for (int beat = 0; beat < beats; ++beat)
  {
    if (beat % 2 == 0)
      AddKick(audio, beat);
    else
      AddSnare(audio, beat, noise);
    AddHat(audio, beat + 0.5, noise);
  }
  AddKick(audio, 14.5); // a push into the last beat
  for (const Note& note : kPhrase)
    AddNote(audio, note.beat, note.frequency);
  return audio;
}
