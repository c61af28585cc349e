// The LV2 edition's saved state: the same parameter chunk the component keeps
// as its "data" (every parameter's plain value as a double, in index order),
// stored as an atom chunk under the plug-in's "#data" key.

#include "IPlug/IPlugLV2.h"

LV2_State_Status IPlugLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle)
{
  if (!mHaveMap) return LV2_STATE_ERR_NO_FEATURE;
  // Built from the values run() published, so a save beside run() reads no
  // value while it is being written.
  ByteChunk chunk;
  for (int i = 0; i < NParams(); ++i)
  {
    const double value = mPublishedValues[i].load(std::memory_order_relaxed);
    chunk.Put(&value);
  }
  return store(handle, mURIDs.stateKey, chunk.GetBytes(), static_cast<size_t>(chunk.Size()),
               mURIDs.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

// A chunk too short for every parameter, or of another type, changes nothing.
// Longer chunks are read up to the last parameter.
LV2_State_Status IPlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve,
                                        LV2_State_Handle handle)
{
  if (!mHaveMap) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* data = retrieve(handle, mURIDs.stateKey, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mURIDs.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
  if (size < static_cast<size_t>(NParams()) * sizeof(double) || size > 0x7fffffff)
    return LV2_STATE_ERR_UNKNOWN;
  ByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));
  if (UnserializeParams(&chunk, 0) < 0) return LV2_STATE_ERR_UNKNOWN;
  PublishParamValues();
  return LV2_STATE_SUCCESS;
}
