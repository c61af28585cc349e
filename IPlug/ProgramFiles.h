#pragma once

// Program ("fxp") and bank ("fxb") files: their big-endian byte layouts.
// The plug-in base's SaveProgramAsFXP, SaveBankAsFXB, LoadProgramFromFXP and
// LoadBankFromFXB are built on these; they run on the user-interface thread.

#include <cstdint>

#include "IPlug/IPlugStructs.h"

namespace ProgramFiles
{
constexpr int kNameBytes = 28;          // the name field, zero-padded
constexpr int kProgramHeaderBytes = 56; // seven fields and the name
constexpr int kBankHeaderBytes = 156;   // eight fields and 124 reserved bytes
constexpr int kMaxFileBytes = 64 << 20; // larger files are refused unread

// Four-character codes as stored: their characters in reading order.
constexpr uint32_t Code(const char (&c)[5])
{
  return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 |
         uint32_t(uint8_t(c[2])) << 8 | uint32_t(uint8_t(c[3]));
}
constexpr uint32_t kChunkMagic = Code("CcnK");
constexpr uint32_t kProgramParams = Code("FxCk");
constexpr uint32_t kProgramChunk = Code("FPCh");
constexpr uint32_t kBankPrograms = Code("FxBk");
constexpr uint32_t kBankChunk = Code("FBCh");

// The header of a program file, and of each program record inside a bank.
struct ProgramHeader
{
  uint32_t magic = 0, byteSize = 0, format = 0, version = 0, plugID = 0, plugVersion = 0;
  int32_t nParams = 0;
  char name[kNameBytes + 1] = {}; // always terminated
};

struct BankHeader
{
  uint32_t magic = 0, byteSize = 0, format = 0, version = 0, plugID = 0, plugVersion = 0;
  int32_t nPrograms = 0, currentProgram = 0;
};

void PutBE32(ByteChunk* chunk, uint32_t value);
void PutFloatBE(ByteChunk* chunk, float value);
// The name cut to 27 characters and zero-padded to the field.
void PutName(ByteChunk* chunk, const char* name);
void PutProgramHeader(ByteChunk* chunk, const ProgramHeader& header);
void PutBankHeader(ByteChunk* chunk, const BankHeader& header);

// Reads return the position after what they read, or -1 when the data ends
// first (the value is then left as it was).
int GetBE32(const ByteChunk& chunk, int pos, uint32_t* value);
int GetFloatBE(const ByteChunk& chunk, int pos, float* value);
int GetProgramHeader(const ByteChunk& chunk, int pos, ProgramHeader* header);
int GetBankHeader(const ByteChunk& chunk, int pos, BankHeader* header);

// Whole files in one piece; false when the file cannot be opened, read or
// written completely, or is larger than kMaxFileBytes.
bool ReadWholeFile(const char* path, ByteChunk* chunk);
bool WriteWholeFile(const char* path, const ByteChunk& chunk);
} // namespace ProgramFiles
