#include "effect/DSP_OnePoleHP.h"

void OnePoleHP::setCutoff(float cutoffHz)
{
  const float k = 2.0f * mSampleRate;
  // The angular frequency is formed in double precision, unlike the low-pass.
  const float w = static_cast<float>(static_cast<double>(cutoffHz) * 6.28);
  const float n = 1.0f / (w + k);
  mB0 = k * n;
  mB1 = -mB0;
  mA1 = (k - w) * n;
}
