#pragma once

// The Audio Unit wrapper: makes a plug-in an Audio Unit effect component. The
// host reaches an instance through one C entry function that forwards to
// IPlugAUEntry; parameter get/set and render can also be fetched as direct
// procedures (fast dispatch) that bypass the entry.
//
// A plug-in module derives its plug-in class from IPlugAU, defines MakePlug()
// and exports its entry:
//   extern "C" ComponentResult Name_Entry(ComponentParameters* params, void* storage)
//   { return IPlugAU::IPlugAUEntry(params, storage); }
//
// Threads: the entry may be called from any host thread and runs every
// selector under the plug-in mutex. The fast-dispatch parameter procedures
// take the mutex themselves; RenderProc and Render run on the audio thread
// (no allocation, no system call, no lock but the plug-in mutex, which the
// entry path holds). Listeners and parameter events are sent from the thread
// that made the change.

#include "IPlug/IPlugBase.h"

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <atomic>

class IPlugAU;
class PropertyReply;

// The factory the plug-in module supplies: a new plug-in for each opened instance.
IPlugAU* MakePlug();

class IPlugAU : public IPlugBase
{
public:
  // How an input bus is fed.
  enum EAUInputType
  {
    eNotConnected = 0,
    eDirectFastProc,   // an upstream unit rendered through its fast render procedure
    eDirectNoFastProc, // an upstream unit rendered through AudioUnitRender
    eRenderCallback    // a host render callback
  };

  // One bus of the plug-in's inputs or outputs.
  struct BusChannels
  {
    bool mConnected = false;
    int mNHostChannels = -1; // set through the stream format; -1 = not yet set
    int mNPlugChannels;
    int mPlugChannelStartIdx;
    BusChannels(int nPlugChannels, int startIdx)
        : mNPlugChannels(nPlugChannels), mPlugChannelStartIdx(startIdx)
    {
    }
  };

  // Where one input bus gets its audio; all zero when cleared.
  struct InputBusConnection
  {
    void* mUpstreamObj = nullptr; // the upstream unit's instance storage
    AudioUnit mUpstreamUnit = nullptr;
    UInt32 mUpstreamBusIdx = 0;
    AudioUnitRenderProc mUpstreamRenderProc = nullptr;
    AURenderCallbackStruct mUpstreamRenderCallback = {nullptr, nullptr};
    EAUInputType mInputType = eNotConnected;
  };

  struct PropertyListener
  {
    AudioUnitPropertyID mPropID;
    AudioUnitPropertyListenerProc mListenerProc;
    void* mProcArgs;
  };

  IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
          const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
          int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
          bool plugIsInst, int nSideChainChannels);
  ~IPlugAU() override;

  // The component entry: selector dispatch for one instance.
  static ComponentResult IPlugAUEntry(ComponentParameters* params, void* pPlug);
  // The Carbon view component's entry (a module exports it as Name_ViewEntry):
  // open, close, and creating the editor's control in a host window.
  static ComponentResult IPlugAUCarbonViewEntry(ComponentParameters* params, void* pView);

  // ---- IPlugBase overrides ---------------------------------------------------
  // The musical-time reads call the host's callbacks: audio thread, while
  // processing. The Inform* calls: any thread that changed the parameter.

  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override;
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo* timeInfo) override;
  EHost GetHost() override;
  void ResizeGraphics(int, int) override {}
  void HostSpecificInit() override {}
  void SetBlockSize(int blockSize) override;
  void SetLatency(int samples) override;
  bool SendMidiMsg(IMidiMsg* msg) override;
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs) override;

  // ---- Properties and parameters --------------------------------------------
  // Any thread under the plug-in mutex (the entry holds it); properties may
  // allocate, so never from the audio thread.

  // A null data pointer asks only for the size and writable flag.
  ComponentResult GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                              AudioUnitElement element, UInt32* pDataSize, Boolean* pWriteable,
                              void* pData);
  ComponentResult SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                              AudioUnitElement element, UInt32* pDataSize, const void* pData);
  // The fast-dispatch procedure for a selector; pProc may be null.
  ComponentResult GetProc(AudioUnitElement procID, UInt32* pDataSize, void* pData);

  static ComponentResult GetParamProc(void* pPlug, AudioUnitParameterID paramID,
                                      AudioUnitScope scope, AudioUnitElement element,
                                      AudioUnitParameterValue* pValue);
  static ComponentResult SetParamProc(void* pPlug, AudioUnitParameterID paramID,
                                      AudioUnitScope scope, AudioUnitElement element,
                                      AudioUnitParameterValue value, UInt32 offsetFrames);
  static ComponentResult RenderProc(void* pPlug, AudioUnitRenderActionFlags* pFlags,
                                    const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx,
                                    UInt32 nFrames, AudioBufferList* pOutBufList);

  // Calls every listener registered for the property.
  void InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope);

  // ---- What the plug-in adds to the host's view ----------------------------
  // Any thread under the plug-in mutex; never from the audio thread.

  // The text the plug-in shows for parameter idx at a plain value (for a
  // parameter without display texts): the host's value-to-text and
  // text-to-value conversions use it. False when it shows none.
  virtual bool GetParamValueText(int, double, char*, int) { return false; }
  // How long the output rings on after the input stops, in seconds (the
  // host's tail time); the latency unless the plug-in knows better.
  virtual double GetTailSeconds() { return GetLatency() / GetSampleRate(); }

  // ---- Buses and connections ----------------------------------------------
  // Any thread under the plug-in mutex, between renders.

  BusChannels* GetBus(AudioUnitScope scope, AudioUnitElement busIdx);
  bool CheckLegalIO();
  bool CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels);
  void AssessInputConnections();
  void ClearConnections();

  // ---- Saved state ------------------------------------------------------------
  // Any thread under the plug-in mutex; allocates.

  ComponentResult GetState(CFPropertyListRef* ppPropList);
  ComponentResult SetState(CFPropertyListRef pPropList);

private:
  // Entry and selector dispatch (IPlugAU_Entry.cpp): any thread, under the mutex.
  static ComponentResult OpenInstance(ComponentInstance ci);
  ComponentResult DispatchSelector(SInt16 select, ComponentParameters* params);
  ComponentResult DispatchMusicDeviceSelector(SInt16 select, ComponentParameters* params);

  // Parameters and listeners (IPlugAU.cpp): any thread, under the mutex.
  void TellEditorOfHostChange(int paramIdx, double value);
  ComponentResult ScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents);
  ComponentResult AddPropertyListener(const PropertyListener& listener);
  void RemovePropertyListener(const PropertyListener& listener, bool matchUserData);
  ComponentResult AddRenderNotify(const AURenderCallbackStruct& callback);
  void RemoveRenderNotify(AURenderCallback proc);

  // Properties, parameter information and presets (IPlugAU_Properties.cpp): any
  // thread, under the mutex; they allocate and may not be used while rendering.
  UInt32 ElementCount(AudioUnitScope scope) const;
  void GetSupportedChannels(AUChannelInfo* channels) const;
  ComponentResult GetCocoaViewInfo(PropertyReply& reply);
  ComponentResult GetParameterProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                       AudioUnitElement element, PropertyReply& reply);
  ComponentResult ParamStringFromValue(AudioUnitParameterStringFromValue* conversion);
  ComponentResult ParamIDName(AudioUnitParameterIDName* idName);
  ComponentResult ParamValueFromString(AudioUnitParameterValueFromString* conversion);
  // The plain value whose value text is `text`, when one stretch of values shows it.
  bool FindValueForText(int idx, const char* text, double* value);
  ComponentResult GetFactoryPresets(CFArrayRef* pArray);
  void GetPresentPreset(AUPreset* preset);
  ComponentResult ReadComponentDescription(ComponentDescription* cd);

  // Buses (IPlugAU_Render.cpp): any thread, under the mutex, never during a render.
  ComponentResult SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                  const AudioStreamBasicDescription* format);
  ComponentResult MakeConnection(const AudioUnitConnection* connection);
  ComponentResult SetRenderCallback(AudioUnitScope scope, AudioUnitElement element,
                                    const AURenderCallbackStruct* callback);
  static void ResetConnection(InputBusConnection* connection);
  static int NHostChannelsConnected(const WDL_PtrList<BusChannels>* buses, int excludeIdx);

  // Resets the plug-in and notes the rate it was reset for: any thread, under
  // the mutex, never during a render.
  void ResetForRate();

  // Rendering (IPlugAU_Render.cpp): audio thread; allocates nothing.
  ComponentResult Render(AudioUnitRenderActionFlags* pFlags, const AudioTimeStamp* pTimestamp,
                         UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* pOutBufList);
  bool RenderArgsValid(const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx, UInt32 nFrames,
                       const AudioBufferList* pOutBufList);
  static UInt32 NBuffersUsed(const BusChannels* bus, UInt32 nBuffers);
  void SendRenderNotifications(AudioUnitRenderActionFlags action, const AudioTimeStamp* pTimestamp,
                               UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* pOutBufList);
  ComponentResult PullInputs(const AudioTimeStamp* pTimestamp, UInt32 nFrames);
  ComponentResult PullInputBus(int busIdx, const AudioTimeStamp* pTimestamp, UInt32 nFrames);
  void ConnectOutputBus(BusChannels* bus, UInt32 nBuffers);
  void AttachOutputBus(BusChannels* bus, UInt32 nFrames, AudioBufferList* pOutBufList);

  WDL_String mBundleID, mCocoaViewFactoryClassName;
  ComponentInstance mCI = nullptr;
  bool mActive = false;
  // Set under the mutex, read by renders that may come without it.
  std::atomic<bool> mBypassed{false};
  // The rate of the last reset; initialise resets when the rate has none yet.
  double mResetSampleRate = 0.0;
  double mRenderTimestamp = -1.0, mTempo = 120.0;
  HostCallbackInfo mHostCallbacks;
  WDL_TypedBuf<float> mInScratchBuf, mOutScratchBuf;
  WDL_PtrList<AURenderCallbackStruct> mRenderNotify;
  WDL_PtrList<BusChannels> mInBuses, mOutBuses;
  WDL_PtrList<InputBusConnection> mInBusConnections;
  WDL_PtrList<PropertyListener> mPropertyListeners;
};

// Posts a parameter event (value change or gesture) for one of the plug-in's
// parameters to the host's event listeners.
void SendAUEvent(AudioUnitEventType type, ComponentInstance ci, int paramIdx);

// Name of an input type for trace lines.
const char* AUInputTypeStr(IPlugAU::EAUInputType type);

// The default stream format: 32-bit float linear PCM.
void MakeDefaultASBD(AudioStreamBasicDescription* pASBD, double sampleRate, int nChannels,
                     bool interleaved);
