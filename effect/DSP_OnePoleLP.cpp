#include "effect/DSP_OnePoleLP.h"

void OnePoleLP::setCutoff(float cutoffHz)
{
  const float k = 2.0f * mSampleRate;
  const float w = cutoffHz * 6.28f;
  const float n = 1.0f / (w + k);
  mA1 = (k - w) * n;
  mB1 = w * n;
  mB0 = mB1;
}
