#pragma once

// The host-independent base of every plug-in: parameters, channel
// configurations and the processing frame, the plug-in mutex, the editor
// attachment, state chunks, presets, and host and version identification.
// A host wrapper derives from it and supplies the abstract operations.
//
// Threads: processing (ProcessDoubleReplacing, the processing frame and what
// it calls) runs on the audio thread under the plug-in mutex and allocates
// nothing. Parameter, preset and state operations run on any thread under the
// plug-in mutex (the hooks marked below take it themselves). Editor calls
// (SetParameterFromGUI, the editor attachment) come from the user-interface
// thread. Configuration getters may be called from any thread.

#include "IPlug/Containers.h"
#include "IPlug/Hosts.h"
#include "IPlug/IParam.h"
#include "IPlug/IPlugStructs.h"

class IGraphics;
struct IRECT;

class IPlugBase
{
public:
  // Scope guard on a plug-in's mutex; a null plug-in, or one whose wrapper
  // calls it from a single thread (see UseMutex), locks nothing.
  class IMutexLock : public WDL_MutexLock
  {
  public:
    explicit IMutexLock(IPlugBase* plug)
        : WDL_MutexLock(plug && plug->mUseMutex ? &plug->mMutex : nullptr)
    {
    }
  };

  // Taken around a host call that may reset, before the plug-in mutex and
  // released after it: a reset under the mutex then only trades what it must
  // clear for clean storage, and the clearing happens here, outside the
  // mutex. A second reset waits here for the first one's clearing. A thread
  // that already holds the mutex (a call made from within another) takes no
  // scope, so the lock order stays scope before mutex.
  class IResetScope
  {
  public:
    explicit IResetScope(IPlugBase* plug, bool mayReset = true);
    ~IResetScope();
    IResetScope(const IResetScope&) = delete;
    IResetScope& operator=(const IResetScope&) = delete;

  private:
    IPlugBase* mPlug = nullptr;
  };

  // One legal channel configuration.
  struct ChannelIO
  {
    int mIn, mOut;
    ChannelIO(int nIn, int nOut) : mIn(nIn), mOut(nOut) {}
  };

  // channelIOStr: entries "in-out" separated by single spaces, e.g. "1-1 2-2".
  // Names are cut to 127 characters. plugDoesMidi is accepted and not kept.
  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
            const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
            int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);

  // ---- Virtual operations, in slot order -----------------------------------

  virtual ~IPlugBase();

  virtual void Reset();                     // takes and releases the mutex
  virtual void OnParamChange(int paramIdx); // takes and releases the mutex
  // Copies input i to output i for each channel with both, zeroes the other outputs.
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames);
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  virtual void OnActivate(bool active);       // takes and releases the mutex
  virtual void ProcessMidiMsg(IMidiMsg* msg); // MIDI through: SendMidiMsg(msg)
  // Writes an empty name (at least one byte) and returns false.
  virtual bool MidiNoteName(int noteNumber, char* name);
  // Whole-state hooks: in the base, SerializeParams/UnserializeParams under the mutex.
  virtual bool SerializeState(ByteChunk* chunk);
  virtual int UnserializeState(ByteChunk* chunk, int startPos);

  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual int GetSamplePos() = 0; // the host's sample position
  virtual double GetTempo() = 0;  // beats per minute
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual void GetTime(ITimeInfo* timeInfo) = 0; // overwrites the fields the host reports
  virtual EHost GetHost();                       // the stored host code
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void UserResizedWindow(IRECT*) {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void HostSpecificInit() = 0; // called once right after creation
  // Under the mutex, pushes every parameter's normalised value into the
  // editor's controls, prepares its drawing and takes ownership of it (null
  // does nothing).
  virtual void AttachGraphics(IGraphics* graphics);
  // Sizes every channel's scratch buffer to blockSize zeros (nothing when the
  // size is unchanged or negative).
  virtual void SetBlockSize(int blockSize);
  virtual void SetLatency(int samples) { mLatency = samples; }
  virtual bool SendMidiMsg(IMidiMsg* msg) = 0;
  virtual bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs) = 0;
  // Every parameter's plain value as a double, in index order.
  virtual bool SerializeParams(ByteChunk* chunk);
  // Reads values from startPos, clamping each; returns the position after the
  // last value read or -1 when the chunk ran out. Always ends with OnParamReset().
  virtual int UnserializeParams(ByteChunk* chunk, int startPos);
  virtual void RedrawParamControls(); // pushes plain values into an attached editor
  virtual bool SerializePresets(ByteChunk* chunk);
  virtual int UnserializePresets(ByteChunk* chunk, int startPos);
  virtual void PresetsChangedByHost() {}
  // The two ends of an IResetScope, on the host's thread outside the mutex:
  // entering may wait for the work an earlier reset left; leaving does the
  // work this one left. Nothing in the base.
  virtual void EnterResetScope() {}
  virtual void LeaveResetScope() {}
  // Where the host allows slow work before real-time use (not while a render
  // runs): back with memory now whatever the audio thread will write, so that
  // rendering never waits for the system to supply a page. Nothing in the base.
  virtual void PrepareRealTimeMemory() {}

  // ---- Configuration -------------------------------------------------------
  // Any thread: fixed after construction, except the rate and block size the
  // wrapper sets under the mutex.

  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  bool IsInst() const { return mIsInst; }
  bool DoesStateChunks() const { return mStateChunks; }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  IGraphics* GetGUI() const { return mGraphics; }

  int NParams() const { return mParams.GetSize(); }
  IParam* GetParam(int idx) const { return mParams.Get(idx); } // null outside the list

  // ---- Channel configurations and the processing frame ---------------------
  // The wrapper sets connections under the mutex between renders; attaching
  // buffers and processing run on the audio thread and allocate nothing.
  // Channel ranges (first index, count) are cut to the existing channels.

  int NChannelIO() const { return mChannelIO.GetSize(); }
  const ChannelIO* GetChannelIO(int idx) const { return mChannelIO.Get(idx); }
  // Whether a configuration matches; a negative count matches any.
  bool LegalIO(int nIn, int nOut) const;

  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  // Unconnected channels point at their own scratch buffer.
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;

  // One host buffer per connected channel of the range, in order. Float input
  // is converted into the channel's scratch buffer (at most block-size frames);
  // double buffers are used in place. Float outputs are written back by
  // ProcessBuffers.
  void AttachInputBuffers(int idx, int n, float** buffers, int nFrames);
  void AttachInputBuffers(int idx, int n, double** buffers, int nFrames);
  void AttachOutputBuffers(int idx, int n, float** buffers);
  void AttachOutputBuffers(int idx, int n, double** buffers);

  // The first argument selects the sample type. Blocks are processed up to the
  // block size: frames beyond it are left alone. With single-precision
  // processing on (UseSingleReplacing), the float operations hand the host's
  // buffers to ProcessSingleReplacing as they are; an input buffer that an
  // output buffer overlaps is copied first, so rendering in place works.
  void ProcessBuffers(float, int nFrames);
  void ProcessBuffers(double, int nFrames);
  void ProcessBuffersAccumulating(float, int nFrames); // adds into the float outputs
  // The base's own copy-through, never the effect's processing (bypass).
  void PassThroughBuffers(float, int nFrames);
  void PassThroughBuffers(double, int nFrames);

  // ---- Parameter paths -----------------------------------------------------
  // SetParameterFromGUI: user-interface thread (takes the mutex); the others:
  // any thread under the mutex.

  // From the editor: under the mutex, sets the normalised value, tells the host
  // that value and runs OnParamChange. An index outside the list does nothing.
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void OnParamReset();        // OnParamChange for every index; callers hold the mutex
  void DirtyParameters();     // tells the host every parameter's normalised value
  double GetSamplesPerBeat(); // 0 when the host reports no tempo

  // ---- Presets -------------------------------------------------------------
  // Any thread under the plug-in mutex; never from the audio thread.

  int NPresets() const { return mPresets.GetSize(); }
  const char* GetPresetName(int idx) const; // "" outside the list
  // Whether slot idx holds a preset (made by the plug-in or stored by a host).
  bool PresetInitialized(int idx) const
  {
    const IPreset* preset = mPresets.Get(idx);
    return preset && preset->mInitialized;
  }
  IPreset* GetNextUninitializedPreset(WDL_PtrList<IPreset>* presets);

  // Factory presets fill the next blank slot; with none left they do nothing.
  // The arguments after the name are (int index, value) pairs, the value passed
  // as an int for boolean, integer and enumerated parameters and as a double
  // for the others.
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  // One value per parameter, in index order, typed as above.
  void MakePreset(const char* name, ...);
  void MakePresetFromChunk(const char* name, ByteChunk* chunk);
  // blob: base64 of a chunk of sizeOfChunk bytes (zero-padded when shorter).
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  void EnsureDefaultPreset();
  void PruneUninitializedPresets();
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  void ModifyCurrentPreset(const char* name = nullptr);

  // Developer dumps: source text that recreates the current state as a preset.
  void DumpPresetSrcCode(const char* filename, const char** paramEnumNames);
  void DumpPresetBlob(const char* filename);

  // ---- Program and bank files (user-interface thread) -----------------------
  // The name comes from the editor's file dialog, so each is false without an
  // editor, for a cancelled dialog, or a file that cannot be written or read.
  // Loading is false for another plug-in's file or a damaged one, which
  // changes nothing (a bank record that does not match stops the loading,
  // keeping the programs before it).

  bool SaveProgramAsFXP(const char* defaultFileName);
  bool SaveBankAsFXB(const char* defaultFileName);
  bool LoadProgramFromFXP();
  bool LoadBankFromFXB();

  // ---- Host and versions ---------------------------------------------------
  // Any thread.
  // The text forms write at most kTextBufferSize bytes.

  int GetEffectVersion(bool decimal) const;
  void GetEffectVersionStr(char* text) const; // e.g. "v1.0.0D"
  int GetHostVersion(bool decimal);           // identifies the host first
  void GetHostVersionStr(char* text) const;
  void SetHost(const char* name, int version);

protected:
  // A wrapper whose host never calls the plug-in from two threads at once turns
  // the plug-in mutex off, so the audio thread takes no lock at all. Call from
  // the wrapper's constructor only.
  void UseMutex(bool use) { mUseMutex = use; }
  bool MutexHeldByThisThread() const { return mUseMutex && mMutex.HeldByThisThread(); }
  // A plug-in whose ProcessSingleReplacing gives, for float input, the float
  // values of what its ProcessDoubleReplacing gives for that input widened,
  // turns this on in its constructor: the float processing frame then skips
  // the conversions to and from double precision.
  void UseSingleReplacing(bool use) { mSingleReplacing = use; }

  WDL_PtrList<ChannelIO> mChannelIO;
  WDL_Mutex mMutex;
  bool mUseMutex = true;
  bool mSingleReplacing = false;
  char mEffectName[128], mProductName[128], mMfrName[128];
  int mUniqueID, mMfrID, mVersion;
  EHost mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks, mIsInst;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  WDL_String mPreviousPath; // directory of the program and bank file commands
  WDL_PtrList<IParam> mParams;
  IGraphics* mGraphics = nullptr;
  WDL_PtrList<IPreset> mPresets;
  int mCurrentPresetIdx = 0;

private:
  // One input or output channel: its entry in the pointer array handed to the
  // processing (the slot, which never changes) and the block-size buffer used
  // while unconnected or on the float path; the same again in single precision
  // for ProcessSingleReplacing.
  struct Channel
  {
    bool mConnected = false;
    double** mSlot;
    float** mFloatSlot;
    WDL_TypedBuf<double> mScratchBuf;
    WDL_TypedBuf<float> mFloatScratchBuf;
    Channel(double** slot, float** floatSlot) : mSlot(slot), mFloatSlot(floatSlot) {}
    void PointAtScratch() { *mSlot = mScratchBuf.Get(); }
    void PointAtFloatScratch() { *mFloatSlot = mFloatScratchBuf.Get(); }
  };
  struct InChannel : Channel
  {
    using Channel::Channel;
  };
  struct OutChannel : Channel
  {
    using Channel::Channel;
    float* mFDest = nullptr; // host float buffer the result is copied into
  };

  void PutProgramRecord(ByteChunk* file, unsigned int format, const char* name);
  void ParseChannelIO(const char* channelIOStr, int* maxIn, int* maxOut);
  int FramesToProcess(int nFrames) const;
  void WriteFloatOutputs(int nFrames, bool accumulate);
  void CopyOverlappedInputs(int nFrames);
  void AccumulateSingleOutputs(int nFrames);
  IPreset* TakeNextBlankPreset(const char* name);
  int CountUserPresets() const;

  WDL_TypedBuf<double*> mInData, mOutData;
  WDL_TypedBuf<float*> mInFloatData, mOutFloatData;
  WDL_PtrList<InChannel> mInChannels;
  WDL_PtrList<OutChannel> mOutChannels;
};
