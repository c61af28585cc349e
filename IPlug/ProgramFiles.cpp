#include "IPlug/ProgramFiles.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "IPlug/IGraphics.h"
#include "IPlug/IPlugBase.h"

namespace ProgramFiles
{
void PutBE32(ByteChunk* chunk, uint32_t value)
{
  const unsigned char bytes[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8),
                                  uint8_t(value)};
  chunk->PutBytes(bytes, 4);
}

void PutFloatBE(ByteChunk* chunk, float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  PutBE32(chunk, bits);
}

void PutName(ByteChunk* chunk, const char* name)
{
  char field[kNameBytes] = {};
  if (name) std::strncpy(field, name, kNameBytes - 1);
  chunk->PutBytes(field, kNameBytes);
}

void PutProgramHeader(ByteChunk* chunk, const ProgramHeader& h)
{
  for (uint32_t v :
       {h.magic, h.byteSize, h.format, h.version, h.plugID, h.plugVersion, uint32_t(h.nParams)})
    PutBE32(chunk, v);
  PutName(chunk, h.name);
}

void PutBankHeader(ByteChunk* chunk, const BankHeader& h)
{
  for (uint32_t v : {h.magic, h.byteSize, h.format, h.version, h.plugID, h.plugVersion,
                     uint32_t(h.nPrograms), uint32_t(h.currentProgram)})
    PutBE32(chunk, v);
  const char reserved[kBankHeaderBytes - 32] = {};
  chunk->PutBytes(reserved, sizeof(reserved));
}

int GetBE32(const ByteChunk& chunk, int pos, uint32_t* value)
{
  unsigned char b[4];
  pos = chunk.GetBytes(b, 4, pos);
  if (pos >= 0) *value = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
  return pos;
}

int GetFloatBE(const ByteChunk& chunk, int pos, float* value)
{
  uint32_t bits = 0;
  pos = GetBE32(chunk, pos, &bits);
  if (pos >= 0) std::memcpy(value, &bits, 4);
  return pos;
}

int GetProgramHeader(const ByteChunk& chunk, int pos, ProgramHeader* h)
{
  uint32_t nParams = 0;
  for (uint32_t* field :
       {&h->magic, &h->byteSize, &h->format, &h->version, &h->plugID, &h->plugVersion, &nParams})
    if (pos >= 0) pos = GetBE32(chunk, pos, field);
  h->nParams = int32_t(nParams);
  if (pos >= 0) pos = chunk.GetBytes(h->name, kNameBytes, pos);
  h->name[kNameBytes] = '\0';
  return pos;
}

int GetBankHeader(const ByteChunk& chunk, int pos, BankHeader* h)
{
  uint32_t nPrograms = 0, current = 0;
  for (uint32_t* field : {&h->magic, &h->byteSize, &h->format, &h->version, &h->plugID,
                          &h->plugVersion, &nPrograms, &current})
    if (pos >= 0) pos = GetBE32(chunk, pos, field);
  h->nPrograms = int32_t(nPrograms);
  h->currentProgram = int32_t(current);
  return pos >= 0 && pos + (kBankHeaderBytes - 32) <= chunk.Size() ? kBankHeaderBytes : -1;
}

namespace
{
struct FileCloser
{
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;
} // namespace

bool ReadWholeFile(const char* path, ByteChunk* chunk)
{
  File f(std::fopen(path, "rb"));
  if (!f) return false;
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return false;
  const long size = std::ftell(f.get());
  if (size < 0 || size > kMaxFileBytes || std::fseek(f.get(), 0, SEEK_SET) != 0) return false;
  chunk->Resize(int(size));
  return std::fread(chunk->GetBytes(), 1, size_t(size), f.get()) == size_t(size);
}

bool WriteWholeFile(const char* path, const ByteChunk& chunk)
{
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const size_t n = size_t(chunk.Size());
  const bool written = std::fwrite(chunk.GetBytes(), 1, n, f) == n;
  return (std::fclose(f) == 0) && written;
}
} // namespace ProgramFiles

using namespace ProgramFiles;

namespace
{
// Asks the editor's file dialog for a name; false without an editor or when
// the dialog was cancelled. The dialog updates the remembered directory.
bool AskForFile(IGraphics* gui, WDL_String* dir, WDL_String* fileName, EFileAction action,
                const char* defaultName, const char* extension)
{
  if (!gui) return false;
  fileName->Set(defaultName ? defaultName : "");
  char ext[8];
  std::snprintf(ext, sizeof(ext), "%s", extension);
  gui->PromptForFile(fileName, action, dir, ext);
  return fileName->GetLength() > 0;
}

int64_t ProgramRecordBytes(int nParams)
{
  return kProgramHeaderBytes + 4 * int64_t(nParams);
}
} // namespace

void IPlugBase::PutProgramRecord(ByteChunk* file, unsigned int format, const char* name)
{
  ProgramHeader h;
  h.magic = kChunkMagic;
  h.format = format;
  h.version = 1;
  h.plugID = uint32_t(GetUniqueID());
  h.plugVersion = uint32_t(GetEffectVersion(true));
  h.nParams = NParams();
  std::snprintf(h.name, sizeof(h.name), "%s", name ? name : "");
  PutProgramHeader(file, h);
}

bool IPlugBase::SaveProgramAsFXP(const char* defaultFileName)
{
  WDL_String fileName;
  if (!AskForFile(mGraphics, &mPreviousPath, &fileName, kFileSave, defaultFileName, "fxp"))
    return false;

  ByteChunk file;
  const char* name = GetPresetName(mCurrentPresetIdx);
  if (DoesStateChunks())
  {
    ByteChunk state;
    SerializeState(&state);
    PutProgramRecord(&file, kProgramChunk, name);
    PutBE32(&file, uint32_t(state.Size()));
    file.PutChunk(&state);
  }
  else
  {
    PutProgramRecord(&file, kProgramParams, name);
    for (int i = 0; i < NParams(); ++i)
      PutFloatBE(&file, float(GetParam(i)->GetNormalized()));
  }
  return WriteWholeFile(fileName.Get(), file);
}

bool IPlugBase::SaveBankAsFXB(const char* defaultFileName)
{
  WDL_String fileName;
  if (!AskForFile(mGraphics, &mPreviousPath, &fileName, kFileSave, defaultFileName, "fxb"))
    return false;

  BankHeader h;
  h.magic = kChunkMagic;
  h.version = 2;
  h.plugID = uint32_t(GetUniqueID());
  h.plugVersion = uint32_t(GetEffectVersion(true));
  h.nPrograms = NPresets();
  h.currentProgram = mCurrentPresetIdx;

  ByteChunk file;
  if (DoesStateChunks())
  {
    ByteChunk presets;
    SerializePresets(&presets);
    h.format = kBankChunk;
    h.byteSize = uint32_t(presets.Size() + 160);
    PutBankHeader(&file, h);
    PutBE32(&file, uint32_t(presets.Size()));
    file.PutChunk(&presets);
  }
  else
  {
    h.format = kBankPrograms;
    PutBankHeader(&file, h);
    for (int i = 0; i < NPresets(); ++i)
    {
      const IPreset* preset = mPresets.Get(i);
      PutProgramRecord(&file, kProgramParams, preset->mName);
      // The slot's own snapshot; values it does not hold count as 0.
      int pos = 0;
      for (int p = 0; p < NParams(); ++p)
      {
        double v = 0.0;
        if (pos >= 0) pos = preset->mChunk.Get(&v, pos);
        if (pos < 0) v = 0.0;
        PutFloatBE(&file, float(GetParam(p)->GetNormalized(v)));
      }
    }
  }
  return WriteWholeFile(fileName.Get(), file);
}

bool IPlugBase::LoadProgramFromFXP()
{
  WDL_String fileName;
  ByteChunk file;
  if (!AskForFile(mGraphics, &mPreviousPath, &fileName, kFileOpen, "", "fxp") ||
      !ReadWholeFile(fileName.Get(), &file))
    return false;

  ProgramHeader h;
  int pos = GetProgramHeader(file, 0, &h);
  if (pos < 0 || h.magic != kChunkMagic || h.version != 1 || h.plugID != uint32_t(GetUniqueID()) ||
      h.nParams != NParams())
    return false;

  if (DoesStateChunks())
  {
    uint32_t chunkSize = 0;
    if (h.format != kProgramChunk) return false;
    pos = GetBE32(file, pos, &chunkSize);
    if (pos < 0 || int64_t(pos) + chunkSize > file.Size()) return false;
    UnserializeState(&file, pos);
    ModifyCurrentPreset(h.name);
  }
  else
  {
    if (h.format != kProgramParams || ProgramRecordBytes(NParams()) > file.Size()) return false;
    for (int i = 0; i < NParams(); ++i)
    {
      float v = 0.0f;
      pos = GetFloatBE(file, pos, &v);
      GetParam(i)->SetNormalized(v);
    }
    ModifyCurrentPreset(h.name);
    RestorePreset(mCurrentPresetIdx);
  }
  InformHostOfProgramChange();
  return true;
}

bool IPlugBase::LoadBankFromFXB()
{
  WDL_String fileName;
  ByteChunk file;
  if (!AskForFile(mGraphics, &mPreviousPath, &fileName, kFileOpen, "", "fxb") ||
      !ReadWholeFile(fileName.Get(), &file))
    return false;

  BankHeader bank;
  int pos = GetBankHeader(file, 0, &bank);
  if (pos < 0 || bank.magic != kChunkMagic || bank.version != 2 ||
      bank.plugID != uint32_t(GetUniqueID()))
    return false;
  if (DoesStateChunks()) return bank.format == kBankChunk; // the chunk is not read back
  if (bank.format != kBankPrograms) return false;

  // A file shorter than the programs it declares is refused before anything
  // changes; programs beyond the plug-in's slots are not read.
  const int64_t declared = bank.nPrograms > 0 ? bank.nPrograms : 0;
  if (kBankHeaderBytes + declared * ProgramRecordBytes(NParams()) > file.Size()) return false;
  const int nLoad = int(declared < NPresets() ? declared : NPresets());

  for (int i = 0; i < nLoad; ++i)
  {
    ProgramHeader h;
    pos = GetProgramHeader(file, pos, &h);
    if (pos < 0 || h.magic != kChunkMagic || h.format != kProgramParams || h.version != 1 ||
        h.nParams != NParams())
      return false; // the programs before this one stay loaded
    RestorePreset(i);
    for (int p = 0; p < NParams(); ++p)
    {
      float v = 0.0f;
      pos = GetFloatBE(file, pos, &v);
      GetParam(p)->SetNormalized(v);
    }
    ModifyCurrentPreset(h.name);
  }
  RestorePreset(bank.currentProgram);
  InformHostOfProgramChange();
  return true;
}
