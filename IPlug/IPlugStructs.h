#pragma once

// Small records of the plug-in core: the state chunk, preset slots, MIDI
// messages, musical time, what the factory hands the wrapper, and the base64
// coder used by the preset dumps.

#include "IPlug/Containers.h"

#include <type_traits>

// Growable byte buffer with typed appends and position-based reads. Multi-byte
// values are stored in the processor's (little-endian) order. Every read names
// its start position and returns the position after what it read, or -1 when
// the data there are short; a failed read writes nothing.
class ByteChunk
{
public:
  ByteChunk() = default;

  // For int, unsigned int and double.
  template <class T> int Put(const T* value)
  {
    static_assert(std::is_arithmetic<T>::value, "ByteChunk stores plain numbers");
    return PutBytes(value, static_cast<int>(sizeof(T)));
  }
  template <class T> int Get(T* value, int startPos) const
  {
    static_assert(std::is_arithmetic<T>::value, "ByteChunk stores plain numbers");
    return GetBytes(value, static_cast<int>(sizeof(T)), startPos);
  }

  // Appends return the new size. A negative count appends nothing.
  int PutBytes(const void* data, int n);
  int PutStr(const char* text); // 32-bit length, then the characters
  int PutBool(bool b);          // one byte, 1 or 0
  int PutChunk(const ByteChunk* other);

  int GetBytes(void* dest, int n, int startPos) const;
  // Reads a stored string; an empty one, or one running past the end, leaves
  // text unchanged. Returns the position after the stored string (which may lie
  // beyond the data), or -1 for a missing or negative length or a string whose
  // end would not fit a position.
  int GetStr(WDL_String* text, int startPos) const;
  int GetBool(bool* b, int startPos) const; // any non-zero byte reads as true

  int Size() const { return mBytes.GetSize(); }
  // Bytes added at the end are zero; a negative size changes nothing. Returns
  // the old size.
  int Resize(int newSize);
  unsigned char* GetBytes() { return mBytes.Get(); }
  const unsigned char* GetBytes() const { return mBytes.Get(); }
  void Clear() { mBytes.Resize(0); }

private:
  WDL_TypedBuf<unsigned char> mBytes;
};

// One preset slot: a named snapshot of every parameter's plain value.
struct IPreset
{
  static constexpr int kMaxNameLen = 255;

  bool mInitialized = false;
  char mName[kMaxNameLen + 1] = "empty";
  ByteChunk mChunk;

  explicit IPreset(int /* slot index, unused */) {}
  void SetName(const char* name); // cut to kMaxNameLen characters
};

// Short MIDI channel message taking effect at a sample offset in the block.
struct IMidiMsg
{
  enum EStatusMsg
  {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // Controller numbers, stored as data 1 of a control change.
  enum EControlChangeMsg
  {
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kAllNotesOff = 123
  };

  int mOffset;
  unsigned char mStatus, mData1, mData2;

  IMidiMsg(int offset = 0, unsigned char status = 0, unsigned char data1 = 0,
           unsigned char data2 = 0)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2)
  {
  }

  void Clear();
  // Channels are ORed into the status byte as given; callers pass 0 to 15.
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  // value from 0 to 1; data 2 is value * 127 truncated, kept within 0 to 127.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);
  // value from -1 to 1, centred at 0.
  void MakePitchWheelMsg(double value, int channel = 0);

  EStatusMsg StatusMsg() const;
  int Channel() const { return mStatus & 0x0F; }
  int NoteNumber() const;
  int Velocity() const;
  int Program() const;
  double PitchWheel() const;
  int ControlChangeIdx() const { return mData1; }
  double ControlChange(EControlChangeMsg idx) const;
  void LogMsg() const {}

  static const char* StatusMsgStr(EStatusMsg msg);
};

// Musical time as the host reports it; the host fills only what it knows.
struct ITimeInfo
{
  double mTempo = 0.0;
  double mSamplePos = 0.0;
  double mPPQPos = 0.0;
  double mLastBar = 0.0;
  double mCycleStart = 0.0;
  double mCycleEnd = 0.0;
  int mNumerator = 0;
  int mDenominator = 0;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

// What the factory hands the wrapper's constructor.
struct IPlugInstanceInfo
{
  WDL_String mBundleID;
  WDL_String mCocoaViewFactoryClassName;
};

// base64 with the standard alphabet and "=" padding, no line breaks.
// Encoding writes Base64EncodedSize(n) bytes, terminator included.
int Base64EncodedSize(int n);
void Base64Encode(const unsigned char* data, int n, char* text);
// Decodes until the first character outside the alphabet, writing at most
// maxBytes bytes; returns the number written.
int Base64Decode(const char* text, unsigned char* dest, int maxBytes);
