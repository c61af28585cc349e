#include "IPlug/IPlugStructs.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

// ---- ByteChunk ------------------------------------------------------------

namespace
{
// True when [startPos, startPos + n) lies within size bytes.
bool RangeFits(int startPos, int n, int size)
{
  return startPos >= 0 && n >= 0 && static_cast<int64_t>(startPos) + n <= size;
}
} // namespace

int ByteChunk::PutBytes(const void* data, int n)
{
  if (!data || n <= 0) return Size();
  const int oldSize = Size();
  mBytes.Resize(oldSize + n);
  memcpy(mBytes.Get() + oldSize, data, static_cast<size_t>(n));
  return Size();
}

int ByteChunk::PutStr(const char* text)
{
  if (!text) text = "";
  const int n = static_cast<int>(strlen(text));
  Put(&n);
  return PutBytes(text, n);
}

int ByteChunk::PutBool(bool b)
{
  const unsigned char byte = b ? 1 : 0;
  return PutBytes(&byte, 1);
}

int ByteChunk::PutChunk(const ByteChunk* other)
{
  return PutBytes(other->GetBytes(), other->Size());
}

int ByteChunk::GetBytes(void* dest, int n, int startPos) const
{
  if (!RangeFits(startPos, n, Size())) return -1;
  if (n > 0) memcpy(dest, mBytes.Get() + startPos, static_cast<size_t>(n));
  return startPos + n;
}

int ByteChunk::GetStr(WDL_String* text, int startPos) const
{
  int n;
  const int pos = Get(&n, startPos);
  if (pos < 0 || n < 0) return -1;
  const int64_t end = static_cast<int64_t>(pos) + n;
  if (end > INT_MAX) return -1;
  if (n > 0 && end <= Size()) text->Set(reinterpret_cast<const char*>(mBytes.Get() + pos), n);
  return static_cast<int>(end);
}

int ByteChunk::GetBool(bool* b, int startPos) const
{
  unsigned char byte;
  const int pos = GetBytes(&byte, 1, startPos);
  if (pos >= 0) *b = byte != 0;
  return pos;
}

int ByteChunk::Resize(int newSize)
{
  const int oldSize = Size();
  if (newSize >= 0) mBytes.Resize(newSize);
  return oldSize;
}

// ---- IPreset --------------------------------------------------------------

void IPreset::SetName(const char* name)
{
  snprintf(mName, sizeof(mName), "%s", name ? name : "");
}

// ---- IMidiMsg -------------------------------------------------------------

namespace
{
// Truncates toward zero and keeps the result within [lo, hi]; NaN gives lo.
int ClampedTrunc(double value, int lo, int hi)
{
  if (!(value > lo)) return lo;
  if (!(value < hi)) return hi;
  return static_cast<int>(value);
}
} // namespace

void IMidiMsg::Clear()
{
  mOffset = mStatus = mData1 = mData2 = 0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel)
{
  Clear();
  mStatus = static_cast<unsigned char>(0x90 | channel);
  mData1 = static_cast<unsigned char>(noteNumber);
  mData2 = static_cast<unsigned char>(velocity);
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel)
{
  Clear();
  mStatus = static_cast<unsigned char>(0x80 | channel);
  mData1 = static_cast<unsigned char>(noteNumber);
  mOffset = offset;
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel)
{
  Clear();
  mStatus = static_cast<unsigned char>(0xB0 | channel);
  mData1 = static_cast<unsigned char>(idx);
  mData2 = static_cast<unsigned char>(ClampedTrunc(value * 127.0, 0, 127));
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel)
{
  Clear();
  mStatus = static_cast<unsigned char>(0xE0 | channel);
  // Clamping before adding the centre gives the same result as adding first
  // and clamping to 0..16383, without overflowing the conversion.
  const int i = ClampedTrunc(value * 8192.0, -8192, 8191) + 8192;
  mData2 = static_cast<unsigned char>(i >> 7);
  mData1 = static_cast<unsigned char>(i & 0x7F);
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const
{
  if (mStatus < 0x80 || mStatus >= 0xF0) return kNone;
  return static_cast<EStatusMsg>(mStatus >> 4);
}

int IMidiMsg::NoteNumber() const
{
  const EStatusMsg kind = StatusMsg();
  return kind == kNoteOff || kind == kNoteOn || kind == kPolyAftertouch ? mData1 : -1;
}

int IMidiMsg::Velocity() const
{
  const EStatusMsg kind = StatusMsg();
  return kind == kNoteOff || kind == kNoteOn ? mData2 : -1;
}

int IMidiMsg::Program() const
{
  return StatusMsg() == kProgramChange ? mData1 : -1;
}

double IMidiMsg::PitchWheel() const
{
  if (StatusMsg() != kPitchWheel) return 0.0;
  return (mData2 * 128 + mData1 - 8192) / 8192.0;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const
{
  if (StatusMsg() == kControlChange && mData1 == idx) return mData2 / 127.0;
  return -1.0;
}

const char* IMidiMsg::StatusMsgStr(EStatusMsg msg)
{
  switch (msg)
  {
  case kNone:
    return "none";
  case kNoteOff:
    return "noteoff";
  case kNoteOn:
    return "noteon";
  case kPolyAftertouch:
    return "aftertouch";
  case kControlChange:
    return "controlchange";
  case kProgramChange:
    return "programchange";
  case kChannelAftertouch:
    return "channelaftertouch";
  case kPitchWheel:
    return "pitchwheel";
  }
  return "unknown";
}

// ---- base64 ---------------------------------------------------------------

namespace
{
const char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Six-bit value of a base64 character, -1 outside the alphabet.
int Base64Value(char c)
{
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
} // namespace

int Base64EncodedSize(int n)
{
  return n > 0 ? (n + 2) / 3 * 4 + 1 : 1;
}

void Base64Encode(const unsigned char* data, int n, char* text)
{
  int out = 0;
  for (int i = 0; i < n; i += 3)
  {
    const int left = n - i;
    uint32_t group = static_cast<uint32_t>(data[i]) << 16;
    if (left > 1) group |= static_cast<uint32_t>(data[i + 1]) << 8;
    if (left > 2) group |= data[i + 2];
    text[out++] = kBase64Alphabet[(group >> 18) & 63];
    text[out++] = kBase64Alphabet[(group >> 12) & 63];
    text[out++] = left > 1 ? kBase64Alphabet[(group >> 6) & 63] : '=';
    text[out++] = left > 2 ? kBase64Alphabet[group & 63] : '=';
  }
  text[out] = '\0';
}

int Base64Decode(const char* text, unsigned char* dest, int maxBytes)
{
  int written = 0, bits = 0;
  uint32_t accum = 0;
  for (; text && written < maxBytes; ++text)
  {
    const int v = Base64Value(*text);
    if (v < 0) break;
    accum = (accum << 6) | static_cast<uint32_t>(v);
    bits += 6;
    if (bits >= 8)
    {
      bits -= 8;
      dest[written++] = static_cast<unsigned char>(accum >> bits);
    }
  }
  return written;
}
