#pragma once

// Threads: one owner; every call is audio-thread safe (no allocation, no lock).

#include <cstring>

// The per-sample factor of a one-pole glide: base ^ (44100 / rate), so that
// the glide covers the same share of its distance per second at every rate.
// The factor is computed again only when the base or the rate changes.
class Glide
{
public:
  explicit Glide(float base);

  void setBase(float base);
  // Exponent 1 / (rate / 44100).
  void setRate(float sampleRate);

  float step(float target, float current) const
  {
    return target * (1.0f - mCoefficient) + current * mCoefficient;
  }
  // Whether a step from current gives current again, bit for bit: then every
  // further step toward the same target does too.
  bool settled(float target, float current) const
  {
    const float next = step(target, current);
    return std::memcmp(&next, &current, sizeof next) == 0;
  }

  float base() const { return mBase; }
  float rateExponent() const { return mRateExponent; }
  float coefficient() const { return mCoefficient; }

private:
  void update();

  float mBase;
  float mRateExponent = 0.0f;
  float mCoefficient = 1.0f;
};
