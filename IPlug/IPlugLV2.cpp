#include "IPlug/IPlugLV2.h"

#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace
{
IPlugLV2* Plug(LV2_Handle handle)
{
  return static_cast<IPlugLV2*>(handle);
}

const void* FindFeature(const LV2_Feature* const* features, const char* uri)
{
  for (int i = 0; features && features[i]; ++i)
    if (std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
  return nullptr;
}

// The longest block the host announces through the options feature; 0 when it
// announces none.
int AnnouncedBlockLength(const LV2_Options_Option* options, LV2_URID_Map* map)
{
  if (!options || !map) return 0;
  const LV2_URID maxLength = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
  const LV2_URID atomInt = map->map(map->handle, LV2_ATOM__Int);
  for (const LV2_Options_Option* o = options; o->key; ++o)
    if (o->key == maxLength && o->type == atomInt && o->size == sizeof(int32_t))
      return *static_cast<const int32_t*>(o->value);
  return 0;
}

const char* sPluginURI = nullptr;

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char* bundlePath,
                       const LV2_Feature* const* features)
{
  if (!(rate > 0.0) || !std::isfinite(rate)) return nullptr;
  IPlugLV2* plug = MakePlug();
  if (!plug) return nullptr;
  try
  {
    plug->Instantiate(rate, bundlePath, features, sPluginURI);
  }
  catch (const std::bad_alloc&)
  {
    delete plug;
    return nullptr;
  }
  return plug;
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data)
{
  Plug(handle)->ConnectPort(port, data);
}

void Activate(LV2_Handle handle)
{
  Plug(handle)->Activate();
}

void Run(LV2_Handle handle, uint32_t nFrames)
{
  Plug(handle)->Run(nFrames);
}

void Deactivate(LV2_Handle handle)
{
  Plug(handle)->Deactivate();
}

void Cleanup(LV2_Handle handle)
{
  delete Plug(handle);
}

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t, const LV2_Feature* const*)
{
  return Plug(handle)->SaveState(store, state);
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t, const LV2_Feature* const*)
{
  return Plug(handle)->RestoreState(retrieve, state);
}

const void* ExtensionData(const char* uri)
{
  static const LV2_State_Interface sState = {Save, Restore};
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &sState;
  return nullptr;
}
} // namespace

const LV2_Descriptor* IPlugLV2::Descriptor(uint32_t index, const char* pluginURI)
{
  static LV2_Descriptor sDescriptor = {nullptr, ::Instantiate, ::ConnectPort, ::Activate,
                                       ::Run,   ::Deactivate,  ::Cleanup,     ExtensionData};
  if (index != 0 || !pluginURI) return nullptr;
  sPluginURI = pluginURI;
  sDescriptor.URI = pluginURI;
  return &sDescriptor;
}

IPlugLV2::IPlugLV2(IPlugInstanceInfo, int nParams, const char* channelIOStr, int nPresets,
                   const char* effectName, const char* productName, const char* mfrName,
                   int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                   bool plugDoesChunks, bool plugIsInst, int)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst),
      mPorts(NInChannels(), NOutChannels(), nParams)
{
  UseMutex(false);
  mAudioPorts.Resize(mPorts.nIn + mPorts.nOut);
  std::fill_n(mAudioPorts.Get(), mAudioPorts.GetSize(), nullptr);
  mInPtrs.Resize(mPorts.nIn);
  mOutPtrs.Resize(mPorts.nOut);
  mParamPorts.Resize(nParams);
  std::fill_n(mParamPorts.Get(), nParams, nullptr);
  mLastPortValues.Resize(nParams);
  mPublishedValues.reset(new std::atomic<double>[nParams > 0 ? nParams : 1]);
  SetBlockSize(kDefaultBlockSize);
}

IPlugLV2::~IPlugLV2() = default;

void IPlugLV2::Instantiate(double sampleRate, const char*, const LV2_Feature* const* features,
                           const char* pluginURI)
{
  auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(FindFeature(features, LV2_URID__map)));
  if (map) MapURIs(map, pluginURI ? pluginURI : "");
  const auto* options =
      static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
  const int announced = AnnouncedBlockLength(options, map);
  if (announced > kDefaultBlockSize) SetBlockSize(std::min(announced, kMaxBlockSize));

  SetSampleRate(sampleRate);
  // The parameters as the constructor left them (the first factory preset)
  // count as what the ports last said, so unchanged defaults change nothing.
  for (int i = 0; i < NParams(); ++i)
    mLastPortValues.Get()[i] = static_cast<float>(GetParam(i)->Value());
  PublishParamValues();
}

void IPlugLV2::ConnectPort(uint32_t port, void* data)
{
  if (port < mPorts.FirstParam())
    mAudioPorts.Get()[port] = static_cast<float*>(data);
  else if (port == mPorts.TempoPort())
    mTempoPort = static_cast<const float*>(data);
  else if (port == mPorts.TimePort())
    mTimePort = static_cast<const LV2_Atom_Sequence*>(data);
  else if (mPorts.ParamOfPort(port) >= 0)
    mParamPorts.Get()[mPorts.ParamOfPort(port)] = static_cast<const float*>(data);
}

void IPlugLV2::Activate()
{
  mSamplePos = 0;
  const IResetScope resetScope(this);
  OnActivate(true);
  Reset();
  // run() is real-time: the delay lines it will write are backed now.
  PrepareRealTimeMemory();
}

void IPlugLV2::Deactivate()
{
  OnActivate(false);
}

// A port value is taken when the host changed the port since the last run and
// it does not already agree with the parameter at the port's precision: a
// state restored beside unchanged ports, or ports set to the float values of
// the restored doubles, keep the restored values exactly.
void IPlugLV2::ApplyChangedControls()
{
  bool changed = false;
  for (int i = 0; i < NParams(); ++i)
  {
    const float* port = mParamPorts.Get()[i];
    if (!port) continue;
    const float value = *port;
    float& last = mLastPortValues.Get()[i];
    if (value == last || !std::isfinite(value)) continue;
    last = value;
    IParam* param = GetParam(i);
    if (static_cast<float>(param->Value()) == value) continue;
    param->Set(value);
    OnParamChange(i);
    changed = true;
  }
  if (changed) PublishParamValues();
}

void IPlugLV2::PublishParamValues()
{
  for (int i = 0; i < NParams(); ++i)
    mPublishedValues[i].store(GetParam(i)->Value(), std::memory_order_relaxed);
}

// A missing optional input (a mono host's right channel) reads silence, as a
// component fed one channel does.
void IPlugLV2::ConnectAudio(int offset, int nFrames)
{
  int nIn = 0, nOut = 0;
  for (int i = 0; i < mPorts.nIn; ++i)
  {
    float* buffer = mAudioPorts.Get()[mPorts.FirstInput() + i];
    const bool connected = buffer != nullptr;
    if (connected != IsInChannelConnected(i)) SetInputChannelConnections(i, 1, connected);
    if (connected) mInPtrs.Get()[nIn++] = buffer + offset;
  }
  for (int i = 0; i < mPorts.nOut; ++i)
  {
    float* buffer = mAudioPorts.Get()[mPorts.FirstOutput() + i];
    const bool connected = buffer != nullptr;
    if (connected != IsOutChannelConnected(i)) SetOutputChannelConnections(i, 1, connected);
    if (connected) mOutPtrs.Get()[nOut++] = buffer + offset;
  }
  AttachInputBuffers(0, mPorts.nIn, mInPtrs.Get(), nFrames);
  AttachOutputBuffers(0, mPorts.nOut, mOutPtrs.Get());
}

void IPlugLV2::Run(uint32_t nFrames)
{
  ReadTimeEvents();
  ApplyChangedControls();
  const int total = static_cast<int>(std::min<uint32_t>(nFrames, 0x7fffffff));
  for (int done = 0; done < total;)
  {
    const int slice = std::min(total - done, GetBlockSize());
    ConnectAudio(done, slice);
    ProcessBuffers(0.0f, slice);
    done += slice;
  }
  mSamplePos += static_cast<long long>(static_cast<double>(total) * mSpeed);
}
