/* Written in C, so that the SDK headers are also checked as C. */
#include "tests/platform/au/FakeUnit.h"

#include <StandInExtensions.h>
#include <stdlib.h>
#include <string.h>

static FakeUnitCounters gCounters;

FakeUnitCounters* FakeUnit_Counters(void)
{
  return &gCounters;
}

static ComponentResult Open(ComponentParameters* params, void* storage)
{
  FakeUnitState* state;
  ++gCounters.opens;
  if (storage) return paramErr; /* a new instance has no storage yet */
  state = (FakeUnitState*)calloc(1, sizeof(FakeUnitState));
  if (!state) return memFullErr;
  state->self = (ComponentInstance)params->params[0];
  SetComponentInstanceStorage(state->self, (Handle)state);
  return noErr;
}

static ComponentResult Close(void* storage)
{
  ++gCounters.closes;
  if (!storage) ++gCounters.closesWithoutStorage;
  if (storage) free(((FakeUnitState*)storage)->renderScratch);
  free(storage);
  return noErr;
}

static void Record(FakeUnitState* state, const ComponentParameters* params)
{
  size_t slots = params->paramSize / sizeof(long);
  if (slots > kFakeUnitMaxSlots) slots = kFakeUnitMaxSlots;
  ++state->calls;
  memset(&state->last, 0, sizeof state->last);
  state->last.what = params->what;
  state->last.paramSize = params->paramSize;
  memcpy(state->last.params, params->params, slots * sizeof(long));
}

#ifdef FAKE_UNIT_BROKEN_NUMBERS
/* The input through y = x + y/2 into every output buffer: NaN stays in the memory for good,
   the decay passes through subnormal numbers, and the gain is only right after a reset. */
#include <unistd.h>
static ComponentResult RenderBroken(FakeUnitState* state, const ComponentParameters* params)
{
  static Float32 input[65536];
  const AudioTimeStamp* timeStamp = (const AudioTimeStamp*)params->params[3];
  UInt32 frames = (UInt32)params->params[1];
  AudioBufferList* list = (AudioBufferList*)params->params[0];
  AudioBufferList in;
  UInt32 b, i;
  AudioUnitRenderActionFlags flags = 0;
  free(state->renderScratch);
  state->renderScratch = malloc(64);
  while (frames == 17) /* and it hangs on slices of 17 frames */
    pause();
  if (!state->input.inputProc || frames > 65536) return kAudioUnitErr_NoConnection;
  in.mNumberBuffers = 1;
  in.mBuffers[0].mNumberChannels = 1;
  in.mBuffers[0].mDataByteSize = frames * sizeof(Float32);
  in.mBuffers[0].mData = input;
  if (state->input.inputProc(state->input.inputProcRefCon, &flags, timeStamp, 0, frames, &in))
    return kAudioUnitErr_NoConnection;
  for (i = 0; i < frames; ++i)
  {
    state->memory = ((const Float32*)in.mBuffers[0].mData)[i] + 0.5f * state->memory;
    for (b = 0; b < list->mNumberBuffers; ++b)
      if (list->mBuffers[b].mData)
        ((Float32*)list->mBuffers[b].mData)[i] = state->gain * state->memory;
  }
  return noErr;
}
#else

static ComponentResult Render(FakeUnitState* state, const ComponentParameters* params)
{
  AudioUnitRenderActionFlags* flags = (AudioUnitRenderActionFlags*)params->params[4];
  const AudioTimeStamp* timeStamp = (const AudioTimeStamp*)params->params[3];
  UInt32 bus = (UInt32)params->params[2];
  UInt32 frames = (UInt32)params->params[1];
  AudioBufferList* list = (AudioBufferList*)params->params[0];
  ComponentResult result = noErr;
  UInt32 b, i;
  if (++state->renderDepth > state->maxRenderDepth) state->maxRenderDepth = state->renderDepth;
  free(state->renderScratch);
  state->renderScratch = malloc(64);
  if (state->upstream)
    result = AudioUnitRender(state->upstream, flags, timeStamp, bus, frames, list);
  for (b = 0; result == noErr && b < list->mNumberBuffers; ++b)
  {
    Float32* samples = (Float32*)list->mBuffers[b].mData;
    for (i = 0; i < frames; ++i)
      samples[i] = (state->upstream ? samples[i] : 0.0f) + state->renderAdd;
  }
  --state->renderDepth;
  return result;
}
#endif

static ComponentResult GetParameter(FakeUnitState* state, const ComponentParameters* params)
{
  UInt32 id = (UInt32)params->params[3];
  if (id >= kFakeUnitParameters) return kAudioUnitErr_InvalidParameter;
  *(AudioUnitParameterValue*)params->params[0] = state->parameters[id];
  return noErr;
}

static ComponentResult SetParameter(FakeUnitState* state, const ComponentParameters* params)
{
  UInt32 id = (UInt32)params->params[4];
  if (id >= kFakeUnitParameters) return kAudioUnitErr_InvalidParameter;
  state->parameters[id] = ComponentParamFloat32(params->params[1]);
  return noErr;
}

static ComponentResult AddListener(FakeUnitState* state, const ComponentParameters* params)
{
  state->listenerID = (AudioUnitPropertyID)params->params[2];
  state->listener = (AudioUnitPropertyListenerProc)params->params[1];
  state->listenerData = (void*)params->params[0];
  return noErr;
}

static ComponentResult RemoveListener(FakeUnitState* state, const ComponentParameters* params)
{
  if ((AudioUnitPropertyID)params->params[2] == state->listenerID &&
      (AudioUnitPropertyListenerProc)params->params[1] == state->listener &&
      (void*)params->params[0] == state->listenerData)
    state->listener = NULL;
  return noErr;
}

static ComponentResult SetProperty(FakeUnitState* state, const ComponentParameters* params)
{
  AudioUnitPropertyID id = (AudioUnitPropertyID)params->params[4];
#ifdef FAKE_UNIT_BROKEN_NUMBERS
  if (id == kAudioUnitProperty_SetRenderCallback && params->params[1] &&
      (UInt32)params->params[0] >= sizeof(AURenderCallbackStruct))
    memcpy(&state->input, (const void*)params->params[1], sizeof state->input);
#endif
  if (state->listener && id == state->listenerID)
    state->listener(state->listenerData, state->self, id, (AudioUnitScope)params->params[3],
                    (AudioUnitElement)params->params[2]);
  return state->result;
}

static ComponentResult CanDo(const ComponentParameters* params)
{
  long selector = params->params[0];
  return (selector >= kComponentVersionSelect && selector <= kComponentOpenSelect) ||
         (selector >= kAudioUnitInitializeSelect &&
          selector <= kAudioUnitRemovePropertyListenerWithUserDataSelect);
}

static ComponentResult Dispatch(ComponentParameters* params, void* storage)
{
  FakeUnitState* state = (FakeUnitState*)storage;
  switch (params->what)
  {
  case kComponentOpenSelect:
    return Open(params, storage);
  case kComponentCloseSelect:
    return Close(storage);
  case kComponentVersionSelect:
    return kFakeUnitVersion;
  default:
    break;
  }
  if (!state) return badComponentInstance;
  Record(state, params);
  switch (params->what)
  {
  case kComponentCanDoSelect:
    return CanDo(params);
#ifdef FAKE_UNIT_BROKEN_NUMBERS
  case kAudioUnitRenderSelect:
    return RenderBroken(state, params);
  case kAudioUnitResetSelect:
    state->gain = 1.0f;
    return noErr;
#else
  case kAudioUnitRenderSelect:
    return Render(state, params);
#endif
  case kAudioUnitGetParameterSelect:
    return GetParameter(state, params);
  case kAudioUnitSetParameterSelect:
    return SetParameter(state, params);
  case kAudioUnitAddPropertyListenerSelect:
    return AddListener(state, params);
  case kAudioUnitRemovePropertyListenerWithUserDataSelect:
    return RemoveListener(state, params);
  case kAudioUnitSetPropertySelect:
    return SetProperty(state, params);
  default:
    return state->result;
  }
}

ComponentResult FakeUnit_Entry(ComponentParameters* params, void* storage)
{
  return Dispatch(params, storage);
}

ComponentResult FakeUnit_ViewEntry(ComponentParameters* params, void* storage)
{
  return Dispatch(params, storage);
}

ComponentResult FakeUnitFailingOpen_Entry(ComponentParameters* params, void* storage)
{
  if (params->what == kComponentOpenSelect)
  {
    ++gCounters.opens;
    return kAudioUnitErr_FailedInitialization;
  }
  return Dispatch(params, storage);
}
