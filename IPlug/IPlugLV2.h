#pragma once

// The LV2 wrapper: makes a plug-in an LV2 plug-in that Linux hosts load. The
// host reaches instances through the descriptor the module exports:
//   extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
//   { return IPlugLV2::Descriptor(index, "urn:..."); }
// and the module defines MakePlug(). Ports are laid out as IPlugLV2_Ports.h says.
//
// Threads: the host's audio thread is the only caller of run(), which alone
// drives the plug-in's parameter path and processing, so the plug-in mutex is
// off in this edition and run() takes no lock, allocates nothing and makes no
// system call. Instantiate, activate, deactivate, cleanup and state restore
// belong to the host's instantiation class (never beside run()); state save
// may run beside run() and reads only values run() publishes atomically.

#include "IPlug/IPlugBase.h"
#include "IPlug/IPlugLV2_Ports.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <memory>

class IPlugLV2;

// Where the editor's parameter changes go: the UI module links its port-write
// function here; the plug-in module has no editor and links nothing.
// User-interface thread.
class IPlugLV2EditorLink
{
public:
  virtual ~IPlugLV2EditorLink() = default;
  // The parameter took a new value from the editor.
  virtual void ParamChangedFromEditor(int paramIdx) = 0;
};

// The factory the plug-in module supplies: a new plug-in for each instance.
IPlugLV2* MakePlug();

class IPlugLV2 : public IPlugBase
{
public:
  // The same arguments as the other editions' wrappers; the LV2 edition keeps
  // no bundle identifier or view factory and has no side-chain bus.
  IPlugLV2(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
           const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
           int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
           bool plugIsInst, int nSideChainChannels);
  ~IPlugLV2() override;

  // The module's descriptor (index 0 only; null otherwise). pluginURI must
  // stay valid for the life of the module.
  static const LV2_Descriptor* Descriptor(uint32_t index, const char* pluginURI);

  IPlugLV2Ports Ports() const { return IPlugLV2Ports(NInChannels(), NOutChannels(), NParams()); }

  // ---- Host-side operations (the descriptor's functions call these) -------

  // Reads the host features (URID map, block-length options; all optional)
  // and sizes the processing for the rate. Instantiation class.
  void Instantiate(double sampleRate, const char* bundlePath, const LV2_Feature* const* features,
                   const char* pluginURI);
  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Run(uint32_t nFrames);
  void Deactivate();
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // The editor's changes go to link (null: to nobody). User-interface thread.
  void SetEditorLink(IPlugLV2EditorLink* link) { mEditorLink = link; }

  // ---- IPlugBase overrides ---------------------------------------------------
  // Only the editor's changes reach the host, through the editor link; the
  // host's own changes arrive through the ports.

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int paramIdx, double) override
  {
    if (mEditorLink) mEditorLink->ParamChangedFromEditor(paramIdx);
  }
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override;
  // The tempo of the latest time position the host sent, else the tempo port.
  double GetTempo() override;
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo* timeInfo) override;
  void ResizeGraphics(int, int) override {}
  void HostSpecificInit() override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>*) override { return false; }

  // The same plug-in hooks the component wrapper offers, so an effect compiles
  // against either: a parameter's text at a plain value (false for none), and
  // how long the output rings on after the input stops.
  virtual bool GetParamValueText(int, double, char*, int) { return false; }
  virtual double GetTailSeconds() { return GetLatency() / GetSampleRate(); }

  // The frames processed at a time; a longer run() is processed in slices.
  static constexpr int kDefaultBlockSize = 1024;
  static constexpr int kMaxBlockSize = 8192;

private:
  struct URIDs
  {
    LV2_URID atomChunk = 0, atomBlank = 0, atomObject = 0, atomFloat = 0, atomDouble = 0,
             atomInt = 0, atomLong = 0;
    LV2_URID timePosition = 0, timeBPM = 0, timeFrame = 0, timeSpeed = 0, timeBarBeat = 0,
             timeBar = 0, timeBeatsPerBar = 0, timeBeatUnit = 0;
    LV2_URID stateKey = 0;
  };

  void MapURIs(LV2_URID_Map* map, const char* pluginURI);
  void ReadTimeEvents();
  void ReadPosition(const LV2_Atom_Object* position);
  void ApplyChangedControls();
  void PublishParamValues();
  void ConnectAudio(int offset, int nFrames);

  IPlugLV2Ports mPorts;
  IPlugLV2EditorLink* mEditorLink = nullptr;
  URIDs mURIDs;
  bool mHaveMap = false;
  WDL_TypedBuf<float*> mAudioPorts;       // inputs then outputs, null when unconnected
  WDL_TypedBuf<float*> mInPtrs, mOutPtrs; // the connected ones of one slice
  WDL_TypedBuf<const float*> mParamPorts;
  WDL_TypedBuf<float> mLastPortValues;
  const float* mTempoPort = nullptr;
  const LV2_Atom_Sequence* mTimePort = nullptr;
  std::unique_ptr<std::atomic<double>[]> mPublishedValues;

  // Musical time: from time positions when the host sends them.
  double mPositionTempo = 0.0; // 0 until a position carried a tempo
  double mSpeed = 1.0;
  double mBarBeat = 0.0, mBar = 0.0;
  int mBeatsPerBar = 4, mBeatUnit = 4;
  long long mSamplePos = 0;
};
