/* Audio data types: buffers, stream formats and time stamps. */
#ifndef TOLVANE_COREAUDIOTYPES_H
#define TOLVANE_COREAUDIOTYPES_H

#include <MacTypes.h>

#ifdef __cplusplus
extern "C"
{
#endif

  typedef Float32 AudioSampleType;
  typedef Float32 AudioUnitSampleType;

  typedef struct AudioValueRange
  {
    Float64 mMinimum;
    Float64 mMaximum;
  } AudioValueRange;

  /* One buffer of (possibly interleaved) channels. */
  typedef struct AudioBuffer
  {
    UInt32 mNumberChannels;
    UInt32 mDataByteSize;
    void* mData;
  } AudioBuffer;

  /* mNumberBuffers buffers follow: allocate room for all of them. */
  typedef struct AudioBufferList
  {
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[1];
  } AudioBufferList;

  typedef UInt32 AudioFormatID;
  typedef UInt32 AudioFormatFlags;

  typedef struct AudioStreamBasicDescription
  {
    Float64 mSampleRate;
    AudioFormatID mFormatID;
    AudioFormatFlags mFormatFlags;
    UInt32 mBytesPerPacket;
    UInt32 mFramesPerPacket;
    UInt32 mBytesPerFrame;
    UInt32 mChannelsPerFrame;
    UInt32 mBitsPerChannel;
    UInt32 mReserved;
  } AudioStreamBasicDescription;

#define kAudioStreamAnyRate 0.0

  enum
  {
    kAudioFormatLinearPCM = 0x6c70636d, /* 'lpcm' */
    kAudioFormatAC3 = 0x61632d33,       /* 'ac-3' */
    kAudioFormatAppleIMA4 = 0x696d6134, /* 'ima4' */
    kAudioFormatMPEG4AAC = 0x61616320,  /* 'aac ' */
    kAudioFormatMIDIStream = 0x6d696469 /* 'midi' */
  };

  enum
  {
    kAudioFormatFlagIsFloat = (1U << 0),
    kAudioFormatFlagIsBigEndian = (1U << 1),
    kAudioFormatFlagIsSignedInteger = (1U << 2),
    kAudioFormatFlagIsPacked = (1U << 3),
    kAudioFormatFlagIsAlignedHigh = (1U << 4),
    kAudioFormatFlagIsNonInterleaved = (1U << 5),
    kAudioFormatFlagIsNonMixable = (1U << 6),
    kAudioFormatFlagsAreAllClear = (1U << 31),

    kLinearPCMFormatFlagIsFloat = kAudioFormatFlagIsFloat,
    kLinearPCMFormatFlagIsBigEndian = kAudioFormatFlagIsBigEndian,
    kLinearPCMFormatFlagIsSignedInteger = kAudioFormatFlagIsSignedInteger,
    kLinearPCMFormatFlagIsPacked = kAudioFormatFlagIsPacked,
    kLinearPCMFormatFlagIsAlignedHigh = kAudioFormatFlagIsAlignedHigh,
    kLinearPCMFormatFlagIsNonInterleaved = kAudioFormatFlagIsNonInterleaved,
    kLinearPCMFormatFlagIsNonMixable = kAudioFormatFlagIsNonMixable,
    kLinearPCMFormatFlagsSampleFractionShift = 7,
    kLinearPCMFormatFlagsSampleFractionMask = (0x3FU << 7),
    kLinearPCMFormatFlagsAreAllClear = kAudioFormatFlagsAreAllClear,

    /* This machine is little-endian. */
    kAudioFormatFlagsNativeEndian = 0,
    kAudioFormatFlagsCanonical =
        kAudioFormatFlagIsFloat | kAudioFormatFlagsNativeEndian | kAudioFormatFlagIsPacked,
    kAudioFormatFlagsAudioUnitCanonical = kAudioFormatFlagIsFloat | kAudioFormatFlagsNativeEndian |
                                          kAudioFormatFlagIsPacked |
                                          kAudioFormatFlagIsNonInterleaved,
    kAudioFormatFlagsNativeFloatPacked =
        kAudioFormatFlagIsFloat | kAudioFormatFlagsNativeEndian | kAudioFormatFlagIsPacked
  };

  typedef UInt32 SMPTETimeType;
  enum
  {
    kSMPTETimeType24 = 0,
    kSMPTETimeType25 = 1,
    kSMPTETimeType30Drop = 2,
    kSMPTETimeType30 = 3,
    kSMPTETimeType2997 = 4,
    kSMPTETimeType2997Drop = 5,
    kSMPTETimeType60 = 6,
    kSMPTETimeType5994 = 7,
    kSMPTETimeType60Drop = 8,
    kSMPTETimeType5994Drop = 9,
    kSMPTETimeType50 = 10,
    kSMPTETimeType2398 = 11
  };

  typedef UInt32 SMPTETimeFlags;
  enum
  {
    kSMPTETimeUnknown = 0,
    kSMPTETimeValid = (1U << 0),
    kSMPTETimeRunning = (1U << 1)
  };

  typedef struct SMPTETime
  {
    SInt16 mSubframes;
    SInt16 mSubframeDivisor;
    UInt32 mCounter;
    SMPTETimeType mType;
    SMPTETimeFlags mFlags;
    SInt16 mHours;
    SInt16 mMinutes;
    SInt16 mSeconds;
    SInt16 mFrames;
  } SMPTETime;

  typedef UInt32 AudioTimeStampFlags;
  enum
  {
    kAudioTimeStampNothingValid = 0,
    kAudioTimeStampSampleTimeValid = (1U << 0),
    kAudioTimeStampHostTimeValid = (1U << 1),
    kAudioTimeStampRateScalarValid = (1U << 2),
    kAudioTimeStampWordClockTimeValid = (1U << 3),
    kAudioTimeStampSMPTETimeValid = (1U << 4),
    kAudioTimeStampSampleHostTimeValid =
        kAudioTimeStampSampleTimeValid | kAudioTimeStampHostTimeValid
  };

  typedef struct AudioTimeStamp
  {
    Float64 mSampleTime;
    UInt64 mHostTime;
    Float64 mRateScalar;
    UInt64 mWordClockTime;
    SMPTETime mSMPTETime;
    AudioTimeStampFlags mFlags;
    UInt32 mReserved;
  } AudioTimeStamp;

#ifdef __cplusplus
}
#endif

#endif
