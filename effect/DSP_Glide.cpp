#include "effect/DSP_Glide.h"

#include <cmath>

Glide::Glide(float base) : mBase(base)
{
  update();
}

void Glide::setBase(float base)
{
  mBase = base;
  update();
}

void Glide::setRate(float sampleRate)
{
  mRateExponent = 1.0f / (sampleRate / 44100.0f);
  update();
}

void Glide::update()
{
  mCoefficient = std::pow(mBase, mRateExponent);
}
