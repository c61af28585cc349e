#pragma once

#include <cmath>

// State that is not finite (after a non-finite or overflowing signal) is
// replaced by silence on reset; finite state is kept as it is.
inline void keepFinite(float& v)
{
  if (!std::isfinite(v)) v = 0.0f;
}

inline void keepFinite(double& v)
{
  if (!std::isfinite(v)) v = 0.0;
}
