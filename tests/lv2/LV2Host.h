#pragma once

// A bare LV2 host for the tests: loads the built module with dlopen, maps URIs,
// connects every port to its own buffer, sends time positions and drives
// instantiate, activate, run and the state interface directly.

#include "IPlug/IPlugLV2_Ports.h"

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

constexpr const char* kLV2URI = "urn:tolvane:TolvaneDelay";
constexpr int kLV2NParams = 28;

inline std::string LV2Dir()
{
  const char* dir = std::getenv("TOLVANE_LV2_DIR");
  return dir ? dir : TOLVANE_LV2_DIR_DEFAULT;
}

inline std::string LV2BundleDir()
{
  return LV2Dir() + "/TolvaneDelay.lv2/";
}

// Hands out one id per URI, from 1.
class URIMap
{
public:
  URIMap() : mMap{this, &URIMap::Map}, mUnmap{this, &URIMap::Unmap} {}
  LV2_URID Id(const char* uri)
  {
    for (size_t i = 0; i < mURIs.size(); ++i)
      if (mURIs[i] == uri) return static_cast<LV2_URID>(i + 1);
    mURIs.push_back(uri);
    return static_cast<LV2_URID>(mURIs.size());
  }
  LV2_URID_Map* Feature() { return &mMap; }
  LV2_URID_Unmap* UnmapFeature() { return &mUnmap; }

private:
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri)
  {
    return static_cast<URIMap*>(handle)->Id(uri);
  }
  static const char* Unmap(LV2_URID_Unmap_Handle handle, LV2_URID id)
  {
    auto* self = static_cast<URIMap*>(handle);
    return id >= 1 && id <= self->mURIs.size() ? self->mURIs[id - 1].c_str() : nullptr;
  }
  // A deque keeps the texts in place as the map grows.
  std::deque<std::string> mURIs;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
};

class LV2Host
{
public:
  static constexpr int kMaxFrames = 16384;

  explicit LV2Host(double rate = 44100.0, bool withMap = true)
      : mPorts(2, 2, kLV2NParams), mAudio(4, std::vector<float>(kMaxFrames)),
        mControls(kLV2NParams + 1)
  {
    mModule = dlopen((LV2BundleDir() + "TolvaneDelay.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mModule) return;
    using DescriptorFn = const LV2_Descriptor* (*)(uint32_t);
    auto descriptorFn = reinterpret_cast<DescriptorFn>(dlsym(mModule, "lv2_descriptor"));
    mDescriptor = descriptorFn ? descriptorFn(0) : nullptr;
    if (!mDescriptor) return;
    mMapFeature = {LV2_URID__map, mURIs.Feature()};
    const LV2_Feature* features[] = {withMap ? &mMapFeature : nullptr, nullptr};
    mInstance = mDescriptor->instantiate(mDescriptor, rate, LV2BundleDir().c_str(), features);
    if (!mInstance) return;
    lv2_atom_forge_init(&mForge, mURIs.Feature());
    mTimeBuffer.resize(4096);
    for (int c = 0; c < 4; ++c)
      Connect(c, mAudio[c].data());
    for (int i = 0; i <= kLV2NParams; ++i)
      Connect(mPorts.ParamPort(i), &mControls[i]);
    mControls[kLV2NParams] = 120.0f;
    Connect(mPorts.TimePort(), mTimeBuffer.data());
    ClearTimeEvents();
  }
  ~LV2Host()
  {
    if (mInstance) mDescriptor->cleanup(mInstance);
    if (mModule) dlclose(mModule);
  }
  LV2Host(const LV2Host&) = delete;
  LV2Host& operator=(const LV2Host&) = delete;

  bool Ok() const { return mInstance != nullptr; }
  const LV2_Descriptor* Descriptor() const { return mDescriptor; }
  LV2_Handle Instance() const { return mInstance; }
  URIMap& URIs() { return mURIs; }
  const IPlugLV2Ports& Ports() const { return mPorts; }

  void Connect(uint32_t port, void* data) { mDescriptor->connect_port(mInstance, port, data); }
  void Activate() { mDescriptor->activate(mInstance); }
  void Deactivate() { mDescriptor->deactivate(mInstance); }
  void Run(uint32_t n) { mDescriptor->run(mInstance, n); }

  // The ports at the plug-in's present values, as a host that read the
  // defaults sets them.
  void LoadDefaults()
  {
    const std::vector<double> values = SavedValues();
    for (int i = 0; i < kLV2NParams && i < static_cast<int>(values.size()); ++i)
      mControls[i] = static_cast<float>(values[i]);
  }
  // The parameters' plain values, read from a saved state.
  std::vector<double> SavedValues()
  {
    const std::vector<unsigned char> bytes = SavedChunk();
    std::vector<double> values(bytes.size() / sizeof(double));
    if (!values.empty()) std::memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
    return values;
  }
  float& Control(int paramIdx) { return mControls[paramIdx]; }
  float& Tempo() { return mControls[kLV2NParams]; }
  float* Audio(int port) { return mAudio[port].data(); }

  // One time:Position event at frame 0 of the next run.
  void SendTempo(double bpm)
  {
    ClearTimeEvents();
    LV2_Atom_Forge_Frame seq, obj;
    lv2_atom_forge_set_buffer(&mForge, reinterpret_cast<uint8_t*>(mTimeBuffer.data()),
                              mTimeBuffer.size() * sizeof(uint64_t));
    lv2_atom_forge_sequence_head(&mForge, &seq, 0);
    lv2_atom_forge_frame_time(&mForge, 0);
    lv2_atom_forge_object(&mForge, &obj, 0, mURIs.Id(LV2_TIME__Position));
    lv2_atom_forge_key(&mForge, mURIs.Id(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&mForge, static_cast<float>(bpm));
    lv2_atom_forge_key(&mForge, mURIs.Id(LV2_TIME__speed));
    lv2_atom_forge_float(&mForge, 1.0f);
    lv2_atom_forge_pop(&mForge, &obj);
    lv2_atom_forge_pop(&mForge, &seq);
  }
  void ClearTimeEvents()
  {
    auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(mTimeBuffer.data());
    seq->atom.type = mURIs.Id(LV2_ATOM__Sequence);
    seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
    seq->body.unit = 0;
    seq->body.pad = 0;
  }

  // Renders in (two channels) through the plug-in in blocks of blockSize.
  std::vector<std::vector<float>> Process(const std::vector<std::vector<float>>& in,
                                          uint32_t blockSize)
  {
    const size_t length = in[0].size();
    std::vector<std::vector<float>> out(2, std::vector<float>(length));
    for (size_t pos = 0; pos < length; pos += blockSize)
    {
      const uint32_t n = static_cast<uint32_t>(std::min<size_t>(blockSize, length - pos));
      for (size_t c = 0; c < in.size(); ++c)
        std::memcpy(mAudio[c].data(), in[c].data() + pos, n * sizeof(float));
      Run(n);
      ClearTimeEvents();
      for (int c = 0; c < 2; ++c)
        std::memcpy(out[c].data() + pos, mAudio[2 + c].data(), n * sizeof(float));
    }
    return out;
  }

  // ---- State -----------------------------------------------------------------

  struct Stored
  {
    std::vector<unsigned char> bytes;
    uint32_t type = 0, flags = 0;
  };
  const LV2_State_Interface* State() const
  {
    return static_cast<const LV2_State_Interface*>(
        mDescriptor->extension_data(LV2_STATE__interface));
  }
  LV2_State_Status Save(std::map<LV2_URID, Stored>* store)
  {
    return State()->save(mInstance, &LV2Host::StoreValue, store, 0, nullptr);
  }
  LV2_State_Status Restore(std::map<LV2_URID, Stored>* store)
  {
    return State()->restore(mInstance, &LV2Host::RetrieveValue, store, 0, nullptr);
  }
  LV2_URID StateKey() { return mURIs.Id((std::string(kLV2URI) + "#data").c_str()); }
  LV2_URID ChunkType() { return mURIs.Id(LV2_ATOM__Chunk); }
  // The saved parameter chunk, empty when the save failed.
  std::vector<unsigned char> SavedChunk()
  {
    std::map<LV2_URID, Stored> store;
    if (Save(&store) != LV2_STATE_SUCCESS) return {};
    return store[StateKey()].bytes;
  }
  LV2_State_Status RestoreChunk(const std::vector<unsigned char>& bytes, LV2_URID type = 0)
  {
    std::map<LV2_URID, Stored> store;
    store[StateKey()] = {bytes, type ? type : ChunkType(), 0};
    return Restore(&store);
  }

private:
  static LV2_State_Status StoreValue(LV2_State_Handle handle, uint32_t key, const void* value,
                                     size_t size, uint32_t type, uint32_t flags)
  {
    auto* bytes = static_cast<const unsigned char*>(value);
    (*static_cast<std::map<LV2_URID, Stored>*>(handle))[key] = {
        std::vector<unsigned char>(bytes, bytes + size), type, flags};
    return LV2_STATE_SUCCESS;
  }
  static const void* RetrieveValue(LV2_State_Handle handle, uint32_t key, size_t* size,
                                   uint32_t* type, uint32_t* flags)
  {
    auto* store = static_cast<std::map<LV2_URID, Stored>*>(handle);
    auto it = store->find(key);
    if (it == store->end()) return nullptr;
    *size = it->second.bytes.size();
    *type = it->second.type;
    *flags = it->second.flags;
    return it->second.bytes.data();
  }

  IPlugLV2Ports mPorts;
  URIMap mURIs;
  LV2_Feature mMapFeature = {};
  void* mModule = nullptr;
  const LV2_Descriptor* mDescriptor = nullptr;
  LV2_Handle mInstance = nullptr;
  LV2_Atom_Forge mForge = {};
  std::vector<std::vector<float>> mAudio;
  std::vector<float> mControls; // the parameters, then the tempo
  std::vector<uint64_t> mTimeBuffer;
};
