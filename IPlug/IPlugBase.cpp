#include "IPlug/IPlugBase.h"

#include "IPlug/IGraphics.h"

#include "IPlug/Log.h"

#include <algorithm>
#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace
{
typedef double Double2 __attribute__((vector_size(16)));
typedef float Float2 __attribute__((vector_size(8)));

// n samples converted one by one, two at a time in vector lanes (each lane
// converts exactly as a scalar does).
template <class SRC, class DEST> void CastCopy(DEST* dest, const SRC* src, int n)
{
  typedef typename std::conditional<std::is_same<SRC, float>::value, Float2, Double2>::type SrcV;
  typedef typename std::conditional<std::is_same<DEST, float>::value, Float2, Double2>::type DestV;
  int i = 0;
  for (; i + 2 <= n; i += 2)
  {
    SrcV v;
    std::memcpy(&v, src + i, sizeof v);
    const DestV d = __builtin_convertvector(v, DestV);
    std::memcpy(dest + i, &d, sizeof d);
  }
  for (; i < n; ++i)
    dest[i] = static_cast<DEST>(src[i]);
}

// Whether n samples from a and from b share memory.
bool Overlap(const float* a, const float* b, int n)
{
  const auto x = reinterpret_cast<std::uintptr_t>(a), y = reinterpret_cast<std::uintptr_t>(b);
  const std::uintptr_t bytes = sizeof(float) * static_cast<std::uintptr_t>(n);
  return x < y + bytes && y < x + bytes;
}

void CopyName(char* dest, const char* src, size_t destSize)
{
  snprintf(dest, destSize, "%s", src ? src : "");
}

// Calls fn for each channel of [idx, idx + n) that exists.
template <class CHANNEL, class FN>
void ForEachInRange(const WDL_PtrList<CHANNEL>& channels, int idx, int n, FN fn)
{
  const long long end = std::min<long long>(static_cast<long long>(idx) + n, channels.GetSize());
  for (int i = std::max(idx, 0); i < end; ++i)
    fn(channels.Get(i));
}

template <class CHANNEL>
void SetConnections(WDL_PtrList<CHANNEL>& channels, int idx, int n, bool connected)
{
  ForEachInRange(channels, idx, n,
                 [connected](CHANNEL* channel)
                 {
                   // A channel that loses its host buffer reads silence, not the
                   // last block converted or copied into its scratch buffer.
                   if (channel->mConnected && !connected)
                   {
                     std::fill_n(channel->mScratchBuf.Get(), channel->mScratchBuf.GetSize(), 0.0);
                     std::fill_n(channel->mFloatScratchBuf.Get(),
                                 channel->mFloatScratchBuf.GetSize(), 0.0f);
                   }
                   channel->mConnected = connected;
                   if (!connected)
                   {
                     channel->PointAtScratch();
                     channel->PointAtFloatScratch();
                   }
                 });
}

template <class CHANNEL> bool IsConnected(const WDL_PtrList<CHANNEL>& channels, int chIdx)
{
  const CHANNEL* channel = channels.Get(chIdx);
  return channel && channel->mConnected;
}

// Points each connected channel's slot straight at the next host buffer.
template <class CHANNEL>
void AttachInPlace(WDL_PtrList<CHANNEL>& channels, int idx, int n, double** buffers)
{
  ForEachInRange(channels, idx, n,
                 [&buffers](CHANNEL* channel)
                 {
                   if (channel->mConnected) *channel->mSlot = *(buffers++);
                 });
}

// Resizing may move a scratch buffer, so a slot that pointed at it, or that of an
// unconnected channel, is pointed at the new one.
template <class CHANNEL> void ResizeScratchBuffers(WDL_PtrList<CHANNEL>& channels, int blockSize)
{
  ForEachInRange(channels, 0, channels.GetSize(),
                 [blockSize](CHANNEL* channel)
                 {
                   const double* old = channel->mScratchBuf.Get();
                   const float* oldFloat = channel->mFloatScratchBuf.Get();
                   std::fill_n(channel->mScratchBuf.Resize(blockSize), blockSize, 0.0);
                   std::fill_n(channel->mFloatScratchBuf.Resize(blockSize), blockSize, 0.0f);
                   if (!channel->mConnected || *channel->mSlot == old) channel->PointAtScratch();
                   if (!channel->mConnected || *channel->mFloatSlot == oldFloat)
                     channel->PointAtFloatScratch();
                 });
}

// Marks parameters a named preset leaves at their current values.
constexpr double kUnnamedParamMarker = 9.999e-8;

bool IsIntegerKind(const IParam* param)
{
  const IParam::EParamType kind = param->Type();
  return kind == IParam::kTypeBool || kind == IParam::kTypeInt || kind == IParam::kTypeEnum;
}

double ReadPresetValue(const IParam* param, va_list* args)
{
  return IsIntegerKind(param) ? static_cast<double>(va_arg(*args, int)) : va_arg(*args, double);
}
} // namespace

// ---- Construction ---------------------------------------------------------

IPlugBase::IResetScope::IResetScope(IPlugBase* plug, bool mayReset)
{
  if (!plug || !mayReset || plug->MutexHeldByThisThread()) return;
  mPlug = plug;
  mPlug->EnterResetScope();
}

IPlugBase::IResetScope::~IResetScope()
{
  if (mPlug) mPlug->LeaveResetScope();
}

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                     int mfrID, int latency, bool /* plugDoesMidi */, bool plugDoesChunks,
                     bool plugIsInst)
    : mUniqueID(uniqueID), mMfrID(mfrID), mVersion(vendorVersion), mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst), mLatency(latency)
{
  Trace(__func__, __LINE__, "%s:%s", effectName ? effectName : "", CurrentTime());
  mPreviousPath.Set("", 1024);

  for (int i = 0; i < nParams; ++i)
    mParams.Add(new IParam);
  for (int i = 0; i < nPresets; ++i)
    mPresets.Add(new IPreset(i));

  CopyName(mEffectName, effectName, sizeof(mEffectName));
  CopyName(mProductName, productName, sizeof(mProductName));
  CopyName(mMfrName, mfrName, sizeof(mMfrName));

  int maxIn = 0, maxOut = 0;
  ParseChannelIO(channelIOStr, &maxIn, &maxOut);
  mInData.Resize(maxIn);
  mOutData.Resize(maxOut);
  mInFloatData.Resize(maxIn);
  mOutFloatData.Resize(maxOut);
  for (int i = 0; i < maxIn; ++i)
    mInChannels.Add(new InChannel(mInData.Get() + i, mInFloatData.Get() + i));
  for (int i = 0; i < maxOut; ++i)
    mOutChannels.Add(new OutChannel(mOutData.Get() + i, mOutFloatData.Get() + i));
}

// A malformed entry is a programming error; in builds without assertions
// parsing stops there, so no record ever holds unread or negative counts.
void IPlugBase::ParseChannelIO(const char* channelIOStr, int* maxIn, int* maxOut)
{
  for (const char* pos = channelIOStr; pos;)
  {
    int nIn = 0, nOut = 0;
    const bool channelIOStrValid = sscanf(pos, "%d-%d", &nIn, &nOut) == 2 && nIn >= 0 && nOut >= 0;
    assert(channelIOStrValid);
    if (!channelIOStrValid) return;
    mChannelIO.Add(new ChannelIO(nIn, nOut));
    *maxIn = std::max(*maxIn, nIn);
    *maxOut = std::max(*maxOut, nOut);
    pos = strchr(pos, ' ');
    if (pos) ++pos;
  }
}

IPlugBase::~IPlugBase()
{
  delete mGraphics;
  mGraphics = nullptr;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
}

// ---- Base behaviours of the virtual operations ----------------------------

void IPlugBase::Reset()
{
  IMutexLock lock(this);
}

void IPlugBase::OnParamChange(int)
{
  IMutexLock lock(this);
}

void IPlugBase::OnActivate(bool)
{
  IMutexLock lock(this);
}

namespace
{
template <class T> void CopyThrough(T** inputs, T** outputs, int nIn, int nOut, int nFrames)
{
  if (nFrames <= 0) return;
  const int nCopy = std::min(nIn, nOut);
  for (int i = 0; i < nCopy; ++i)
    if (inputs[i] != outputs[i]) memmove(outputs[i], inputs[i], sizeof(T) * nFrames);
  for (int i = nCopy; i < nOut; ++i)
    memset(outputs[i], 0, sizeof(T) * nFrames);
}
} // namespace

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  CopyThrough(inputs, outputs, NInChannels(), NOutChannels(), nFrames);
}

void IPlugBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames)
{
  CopyThrough(inputs, outputs, NInChannels(), NOutChannels(), nFrames);
}

void IPlugBase::ProcessMidiMsg(IMidiMsg* msg)
{
  SendMidiMsg(msg);
}

bool IPlugBase::MidiNoteName(int, char* name)
{
  if (name) name[0] = '\0';
  return false;
}

EHost IPlugBase::GetHost()
{
  return mHost;
}

void IPlugBase::SetBlockSize(int blockSize)
{
  if (blockSize == mBlockSize || blockSize < 0) return;
  ResizeScratchBuffers(mInChannels, blockSize);
  ResizeScratchBuffers(mOutChannels, blockSize);
  mBlockSize = blockSize;
}

// ---- Editor ------------------------------------------------------------------

// Every control takes its parameter's value; the first value a control
// receives also becomes its double-click default.
void IPlugBase::AttachGraphics(IGraphics* graphics)
{
  if (!graphics) return;
  IMutexLock lock(this);
  for (int i = 0; i < NParams(); ++i)
    graphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  graphics->PrepDraw();
  if (mGraphics != graphics) delete mGraphics;
  mGraphics = graphics;
}

void IPlugBase::RedrawParamControls()
{
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i)
    mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

// ---- Channel configurations ------------------------------------------------

bool IPlugBase::LegalIO(int nIn, int nOut) const
{
  bool legal = false;
  for (int i = 0; i < NChannelIO() && !legal; ++i)
  {
    const ChannelIO* io = mChannelIO.Get(i);
    legal = (nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut);
  }
  Trace(__func__, __LINE__, "%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

void IPlugBase::SetInputChannelConnections(int idx, int n, bool connected)
{
  SetConnections(mInChannels, idx, n, connected);
}

void IPlugBase::SetOutputChannelConnections(int idx, int n, bool connected)
{
  SetConnections(mOutChannels, idx, n, connected);
}

bool IPlugBase::IsInChannelConnected(int chIdx) const
{
  return IsConnected(mInChannels, chIdx);
}

bool IPlugBase::IsOutChannelConnected(int chIdx) const
{
  return IsConnected(mOutChannels, chIdx);
}

// ---- Attaching host buffers --------------------------------------------------

void IPlugBase::AttachInputBuffers(int idx, int n, float** buffers, int nFrames)
{
  const int frames = FramesToProcess(nFrames);
  const bool single = mSingleReplacing;
  ForEachInRange(mInChannels, idx, n,
                 [&buffers, frames, single](InChannel* channel)
                 {
                   if (!channel->mConnected) return;
                   float* samples = *(buffers++);
                   if (single)
                     *channel->mFloatSlot = samples;
                   else
                   {
                     CastCopy(channel->mScratchBuf.Get(), samples, frames);
                     channel->PointAtScratch();
                   }
                 });
}

void IPlugBase::AttachInputBuffers(int idx, int n, double** buffers, int)
{
  AttachInPlace(mInChannels, idx, n, buffers);
}

void IPlugBase::AttachOutputBuffers(int idx, int n, float** buffers)
{
  ForEachInRange(mOutChannels, idx, n,
                 [&buffers](OutChannel* channel)
                 {
                   if (!channel->mConnected) return;
                   channel->PointAtScratch();
                   channel->mFDest = *(buffers++);
                   if (channel->mFDest)
                     *channel->mFloatSlot = channel->mFDest;
                   else
                     channel->PointAtFloatScratch();
                 });
}

void IPlugBase::AttachOutputBuffers(int idx, int n, double** buffers)
{
  AttachInPlace(mOutChannels, idx, n, buffers);
}

// ---- Processing frame ------------------------------------------------------

// Scratch buffers hold one block; a longer request is cut to it.
int IPlugBase::FramesToProcess(int nFrames) const
{
  return std::max(0, std::min(nFrames, mBlockSize));
}

void IPlugBase::WriteFloatOutputs(int nFrames, bool accumulate)
{
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* channel = mOutChannels.Get(i);
    if (!channel->mConnected || !channel->mFDest) continue;
    const double* src = *channel->mSlot;
    float* dest = channel->mFDest;
    if (accumulate)
      for (int s = 0; s < nFrames; ++s)
        dest[s] += static_cast<float>(src[s]);
    else
      CastCopy(dest, src, nFrames);
  }
}

// Single precision: an input that shares memory with an output is copied into
// its scratch buffer, so that the processing never writes what it has still to
// read, and a second render of the same input reads it unchanged.
void IPlugBase::CopyOverlappedInputs(int nFrames)
{
  for (int i = 0; i < NInChannels(); ++i)
  {
    InChannel* in = mInChannels.Get(i);
    float* samples = *in->mFloatSlot;
    if (!in->mConnected || samples == in->mFloatScratchBuf.Get()) continue;
    for (int o = 0; o < NOutChannels(); ++o)
    {
      const OutChannel* out = mOutChannels.Get(o);
      if (out->mConnected && out->mFDest && Overlap(samples, out->mFDest, nFrames))
      {
        std::copy_n(samples, nFrames, in->mFloatScratchBuf.Get());
        in->PointAtFloatScratch();
        break;
      }
    }
  }
}

// Single precision, accumulating: the connected outputs take the processing in
// their scratch buffers, which are then added into the host's.
void IPlugBase::AccumulateSingleOutputs(int nFrames)
{
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* channel = mOutChannels.Get(i);
    if (channel->mConnected && channel->mFDest) channel->PointAtFloatScratch();
  }
  ProcessSingleReplacing(mInFloatData.Get(), mOutFloatData.Get(), nFrames);
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* channel = mOutChannels.Get(i);
    if (!channel->mConnected || !channel->mFDest) continue;
    const float* src = channel->mFloatScratchBuf.Get();
    for (int s = 0; s < nFrames; ++s)
      channel->mFDest[s] += src[s];
    *channel->mFloatSlot = channel->mFDest;
  }
}

void IPlugBase::ProcessBuffers(float, int nFrames)
{
  nFrames = FramesToProcess(nFrames);
  if (mSingleReplacing)
  {
    CopyOverlappedInputs(nFrames);
    ProcessSingleReplacing(mInFloatData.Get(), mOutFloatData.Get(), nFrames);
    return;
  }
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  WriteFloatOutputs(nFrames, false);
}

void IPlugBase::ProcessBuffers(double, int nFrames)
{
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), FramesToProcess(nFrames));
}

void IPlugBase::ProcessBuffersAccumulating(float, int nFrames)
{
  nFrames = FramesToProcess(nFrames);
  if (mSingleReplacing)
  {
    CopyOverlappedInputs(nFrames);
    AccumulateSingleOutputs(nFrames);
    return;
  }
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  WriteFloatOutputs(nFrames, true);
}

void IPlugBase::PassThroughBuffers(float, int nFrames)
{
  nFrames = FramesToProcess(nFrames);
  if (mSingleReplacing)
  {
    IPlugBase::ProcessSingleReplacing(mInFloatData.Get(), mOutFloatData.Get(), nFrames);
    return;
  }
  IPlugBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  WriteFloatOutputs(nFrames, false);
}

void IPlugBase::PassThroughBuffers(double, int nFrames)
{
  IPlugBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), FramesToProcess(nFrames));
}

// ---- Parameter paths -------------------------------------------------------

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  Trace(__func__, __LINE__, "%d:%f", paramIdx, normalizedValue);
  IMutexLock lock(this);
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  param->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void IPlugBase::OnParamReset()
{
  for (int i = 0; i < NParams(); ++i)
    OnParamChange(i);
}

void IPlugBase::DirtyParameters()
{
  IMutexLock lock(this);
  for (int i = 0; i < NParams(); ++i)
    InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

double IPlugBase::GetSamplesPerBeat()
{
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

// ---- State chunks ----------------------------------------------------------

bool IPlugBase::SerializeParams(ByteChunk* chunk)
{
  IMutexLock lock(this);
  bool ok = true;
  for (int i = 0; i < NParams() && ok; ++i)
  {
    const IParam* param = GetParam(i);
    Trace(__func__, __LINE__, "%d %s %f", i, param->GetNameForHost(), param->Value());
    const double value = param->Value();
    ok = chunk->Put(&value) > 0;
  }
  return ok;
}

int IPlugBase::UnserializeParams(ByteChunk* chunk, int startPos)
{
  IMutexLock lock(this);
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    IParam* param = GetParam(i);
    Trace(__func__, __LINE__, "%d %s %f", i, param->GetNameForHost(), param->Value());
    double value = 0.0;
    pos = chunk->Get(&value, pos);
    if (pos >= 0) param->Set(value);
  }
  OnParamReset();
  return pos;
}

bool IPlugBase::SerializeState(ByteChunk* chunk)
{
  IMutexLock lock(this);
  return SerializeParams(chunk);
}

int IPlugBase::UnserializeState(ByteChunk* chunk, int startPos)
{
  IMutexLock lock(this);
  return UnserializeParams(chunk, startPos);
}

// ---- Presets ---------------------------------------------------------------

const char* IPlugBase::GetPresetName(int idx) const
{
  const IPreset* preset = mPresets.Get(idx);
  return preset ? preset->mName : "";
}

IPreset* IPlugBase::GetNextUninitializedPreset(WDL_PtrList<IPreset>* presets)
{
  for (int i = 0; i < presets->GetSize(); ++i)
    if (!presets->Get(i)->mInitialized) return presets->Get(i);
  return nullptr;
}

// Marks the next blank slot initialised and names it; null when none is left.
IPreset* IPlugBase::TakeNextBlankPreset(const char* name)
{
  IPreset* preset = GetNextUninitializedPreset(&mPresets);
  if (!preset) return nullptr;
  preset->mInitialized = true;
  preset->SetName(name);
  return preset;
}

void IPlugBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...)
{
  IPreset* preset = TakeNextBlankPreset(name);
  if (!preset) return;

  const int n = NParams();
  std::vector<double> values(static_cast<size_t>(n), kUnnamedParamMarker);
  va_list args;
  va_start(args, nParamsNamed);
  for (int i = 0; i < nParamsNamed; ++i)
  {
    const int paramIdx = va_arg(args, int);
    // The value's type depends on the parameter, so no pair after a bad index
    // can be read.
    assert(paramIdx >= 0 && paramIdx < n);
    if (paramIdx < 0 || paramIdx >= n) break;
    values[static_cast<size_t>(paramIdx)] = ReadPresetValue(GetParam(paramIdx), &args);
  }
  va_end(args);

  for (int i = 0; i < n; ++i)
  {
    double value = values[static_cast<size_t>(i)];
    if (value == kUnnamedParamMarker) value = GetParam(i)->Value();
    preset->mChunk.Put(&value);
  }
}

void IPlugBase::MakePreset(const char* name, ...)
{
  IPreset* preset = TakeNextBlankPreset(name);
  if (!preset) return;
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i)
  {
    const double value = ReadPresetValue(GetParam(i), &args);
    preset->mChunk.Put(&value);
  }
  va_end(args);
}

void IPlugBase::MakePresetFromChunk(const char* name, ByteChunk* chunk)
{
  IPreset* preset = TakeNextBlankPreset(name);
  if (preset) preset->mChunk.PutChunk(chunk);
}

void IPlugBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk)
{
  ByteChunk chunk;
  chunk.Resize(sizeOfChunk);
  if (chunk.Size() > 0) Base64Decode(blob, chunk.GetBytes(), chunk.Size());
  MakePresetFromChunk(name, &chunk);
}

void IPlugBase::MakeDefaultPreset(const char* name, int nPresets)
{
  for (int i = 0; i < nPresets; ++i)
  {
    IPreset* preset = TakeNextBlankPreset(name ? name : "Empty");
    if (preset) SerializeParams(&preset->mChunk);
  }
}

void IPlugBase::EnsureDefaultPreset()
{
  MakeDefaultPreset("Empty", NPresets());
}

void IPlugBase::PruneUninitializedPresets()
{
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
}

int IPlugBase::CountUserPresets() const
{
  int count = 0;
  for (int i = 0; i < NPresets(); ++i)
    if (strstr(mPresets.Get(i)->mName, "user preset")) ++count;
  return count;
}

bool IPlugBase::RestorePreset(int idx)
{
  IPreset* preset = mPresets.Get(idx);
  if (!preset) return false;

  bool restored;
  if (preset->mInitialized)
    restored = UnserializeParams(&preset->mChunk, 0) > 0;
  else
  {
    // A blank slot becomes a user preset holding the current values.
    char name[IPreset::kMaxNameLen + 1];
    snprintf(name, sizeof(name), "%s %d", "user preset", CountUserPresets() + 1);
    preset->mInitialized = true;
    preset->SetName(name);
    restored = SerializeParams(&preset->mChunk);
  }

  if (restored)
  {
    mCurrentPresetIdx = idx;
    PresetsChangedByHost();
    RedrawParamControls();
  }
  return restored;
}

bool IPlugBase::RestorePreset(const char* name)
{
  if (!name || !name[0]) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (!strcmp(mPresets.Get(i)->mName, name)) return RestorePreset(i);
  return false;
}

void IPlugBase::ModifyCurrentPreset(const char* name)
{
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return;
  Trace(__func__, __LINE__, "%d %s", mCurrentPresetIdx, preset->mName);
  preset->mChunk.Clear();
  SerializeParams(&preset->mChunk);
  if (name && name[0]) preset->SetName(name);
}

bool IPlugBase::SerializePresets(ByteChunk* chunk)
{
  bool ok = true;
  for (int i = 0; i < NPresets() && ok; ++i)
  {
    const IPreset* preset = mPresets.Get(i);
    Trace(__func__, __LINE__, "%d %s", i, preset->mName);
    chunk->PutStr(preset->mName);
    chunk->PutBool(preset->mInitialized);
    if (preset->mInitialized) ok = chunk->PutChunk(&preset->mChunk) > 0;
  }
  return ok;
}

// A slot whose snapshot the data cut short keeps what it had; reading stops
// there with -1, leaving the parameters the data covered as read.
int IPlugBase::UnserializePresets(ByteChunk* chunk, int startPos)
{
  WDL_String name; // an entry with an empty stored name keeps the previous name
  int pos = startPos;
  for (int i = 0; i < NPresets() && pos >= 0; ++i)
  {
    IPreset* preset = mPresets.Get(i);
    bool initialized = false;
    pos = chunk->GetStr(&name, pos);
    if (pos >= 0) pos = chunk->GetBool(&initialized, pos);
    if (pos < 0) break;
    Trace(__func__, __LINE__, "%d %s", i, name.Get());
    if (initialized)
    {
      pos = UnserializeParams(chunk, pos);
      if (pos <= 0) break;
      preset->mChunk.Clear();
      SerializeParams(&preset->mChunk);
    }
    preset->SetName(name.Get());
    preset->mInitialized = initialized;
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

// ---- Developer dumps -------------------------------------------------------

void IPlugBase::DumpPresetSrcCode(const char* filename, const char** paramEnumNames)
{
  FILE* fp = filename && paramEnumNames ? fopen(filename, "w") : nullptr;
  if (!fp) return;
  fprintf(fp, "  MakePresetFromNamedParams(\"name\", %d", NParams());
  for (int i = 0; i < NParams(); ++i)
  {
    const IParam* param = GetParam(i);
    fprintf(fp, ",\n    %s, ", paramEnumNames[i] ? paramEnumNames[i] : "");
    if (param->Type() == IParam::kTypeInt || param->Type() == IParam::kTypeEnum)
      fprintf(fp, "%d", param->Int());
    else if (param->Type() == IParam::kTypeBool)
      fprintf(fp, "%s", param->Bool() ? "true" : "false");
    else
      fprintf(fp, "%.6f", param->Value());
  }
  fprintf(fp, ");\n");
  fclose(fp);
}

void IPlugBase::DumpPresetBlob(const char* filename)
{
  const IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  FILE* fp = filename && preset ? fopen(filename, "w") : nullptr;
  if (!fp) return;
  const ByteChunk& chunk = preset->mChunk;
  std::vector<char> text(static_cast<size_t>(Base64EncodedSize(chunk.Size())));
  Base64Encode(chunk.GetBytes(), chunk.Size(), text.data());
  fprintf(fp, "MakePresetFromBlob(\"name\", \"");
  fprintf(fp, "%s\", %i);\n", text.data(), chunk.Size());
  fclose(fp);
}

// ---- Host and versions -----------------------------------------------------

int IPlugBase::GetEffectVersion(bool decimal) const
{
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPlugBase::GetEffectVersionStr(char* text) const
{
  GetVersionStr(mVersion, text);
  strncat(text, "D", static_cast<size_t>(kTextBufferSize) - strlen(text) - 1);
}

int IPlugBase::GetHostVersion(bool decimal)
{
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPlugBase::GetHostVersionStr(char* text) const
{
  GetVersionStr(mHostVersion, text);
}

void IPlugBase::SetHost(const char* name, int version)
{
  mHost = LookUpHost(name);
  mHostVersion = version;
  char versionText[kTextBufferSize];
  GetVersionStr(version, versionText);
  Trace(__func__, __LINE__, "host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "",
        name ? name : "", versionText);
}
