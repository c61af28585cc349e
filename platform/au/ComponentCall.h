// Packs a call's arguments into ComponentParameters, last argument first, one long slot each,
// and hands them to the instance's entry.
#pragma once

#include <StandInExtensions.h>
#include <CoreServices/CoreServices.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tolvane_au
{

template <size_t N> struct PackedParameters
{
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
  UInt32 padding;
  long params[N];
};
static_assert(offsetof(PackedParameters<2>, params) == offsetof(ComponentParameters, params),
              "packed parameters must lay out like ComponentParameters");

template <typename T> long ToSlot(T value)
{
  static_assert(!std::is_same_v<T, double>, "no call passes a double in a slot");
  if constexpr (std::is_same_v<T, Float32>)
    return ComponentSlotFromFloat32(value);
  else if constexpr (std::is_pointer_v<T>)
    return static_cast<long>(reinterpret_cast<intptr_t>(value));
  else if constexpr (std::is_signed_v<T>)
    return static_cast<long>(value);
  else
    return static_cast<long>(static_cast<unsigned long>(value));
}

template <typename... Args>
ComponentResult CallSelector(ComponentInstance ci, SInt16 what, Args... args)
{
  constexpr size_t count = sizeof...(Args);
  static_assert(count * sizeof(long) <= 255, "too many arguments for one call");
  PackedParameters<count == 0 ? 1 : count> packed{};
  packed.paramSize = static_cast<UInt8>(count * sizeof(long));
  packed.what = what;
  if constexpr (count > 0)
  {
    const long inCallOrder[] = {ToSlot(args)...};
    for (size_t i = 0; i < count; ++i)
      packed.params[count - 1 - i] = inCallOrder[i];
  }
  return CallComponentWithParameters(ci, reinterpret_cast<ComponentParameters*>(&packed));
}

} // namespace tolvane_au
