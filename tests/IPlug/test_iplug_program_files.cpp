// Program and bank files: byte layouts, round trips through the editor's file
// dialog, and files that must be refused without changing anything.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "IPlug/ProgramFiles.h"
#include "tests/IPlug/editor/EditorTestSupport.h"

namespace
{
using Bytes = std::vector<unsigned char>;

// 28 double parameters from -10 to 100 whose normalised values are k/8, so
// that they survive the files' single-precision floats exactly.
class FilePlug : public GesturePlug
{
public:
  explicit FilePlug(int nPresets = 3, bool chunks = false, int uniqueVersion = 0x10000)
      : GesturePlug(28, "1-1 2-2", nPresets, "TestEffect", uniqueVersion, chunks)
  {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->InitDouble("p", ValueFor(i % 9), -10.0, 100.0, 0.01);
    gui = new TestGraphics(this);
    AttachGraphics(gui);
  }
  static double ValueFor(int k) { return -10.0 + 13.75 * k; }
  std::vector<double> Values() const
  {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i)
      v.push_back(GetParam(i)->Value());
    return v;
  }
  void SetAll(int k)
  {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->Set(ValueFor(k));
  }
  TestGraphics* gui;
};

class ProgramFilesTest : public ::testing::Test
{
protected:
  std::string Path(const char* name) { return ::testing::TempDir() + "tolvane_" + name; }
  static Bytes Read(const std::string& path)
  {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  static void Write(const std::string& path, const Bytes& bytes)
  {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  static uint32_t BE32(const Bytes& b, size_t at)
  {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
  }
  static void SetBE32(Bytes* b, size_t at, uint32_t v)
  {
    for (int i = 0; i < 4; ++i)
      b->at(at + size_t(i)) = uint8_t(v >> (24 - 8 * i));
  }
};

TEST_F(ProgramFilesTest, ProgramFileLayout)
{
  FilePlug plug;
  plug.MakeDefaultPreset("A preset name of thirty chars", 1);
  plug.RestorePreset(0);
  plug.gui->fileAnswer = Path("layout.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP("default"));

  const Bytes b = Read(Path("layout.fxp"));
  ASSERT_EQ(b.size(), 168u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "CcnK");
  EXPECT_EQ(BE32(b, 4), 0u);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "FxCk");
  EXPECT_EQ(BE32(b, 12), 1u);
  EXPECT_EQ(BE32(b, 16), uint32_t(plug.GetUniqueID()));
  EXPECT_EQ(BE32(b, 20), 10000u); // version 0x10000 in decimal form: 00 00 27 10
  EXPECT_EQ(BE32(b, 24), 28u);
  // Cut to 27 characters, then zeros to the end of the field.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[28])), "A preset name of thirty cha");
  for (int i = 55; i < 56; ++i)
    EXPECT_EQ(b[size_t(i)], 0);
  float first;
  const uint32_t bits = BE32(b, 56);
  std::memcpy(&first, &bits, 4);
  EXPECT_EQ(first, float(plug.GetParam(0)->GetNormalized()));
}

TEST_F(ProgramFilesTest, BankFileLayoutAndSlotSnapshots)
{
  FilePlug plug(1);
  plug.gui->fileAnswer = Path("layout.fxb");
  ASSERT_TRUE(plug.SaveBankAsFXB("default"));
  Bytes b = Read(Path("layout.fxb"));
  ASSERT_EQ(b.size(), 324u);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "FxBk");
  EXPECT_EQ(BE32(b, 12), 2u);
  EXPECT_EQ(BE32(b, 24), 1u);
  // A blank slot holds no values: each counts as 0 before normalising.
  uint32_t bits = BE32(b, 156 + 56);
  float v;
  std::memcpy(&v, &bits, 4);
  EXPECT_EQ(v, float(plug.GetParam(0)->GetNormalized(0.0)));
}

TEST_F(ProgramFilesTest, ProgramRoundTripAppliesValuesAndName)
{
  FilePlug plug;
  plug.MakeDefaultPreset("start", 3);
  plug.RestorePreset(1);
  plug.SetAll(3);
  const auto saved = plug.Values();
  plug.gui->fileAnswer = Path("round.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(""));

  plug.SetAll(7);
  plug.paramChanges.clear();
  ASSERT_TRUE(plug.LoadProgramFromFXP());
  EXPECT_EQ(plug.Values(), saved);
  EXPECT_EQ(plug.paramChanges.size(), 28u); // the restore ran every parameter's hook
  EXPECT_STREQ(plug.GetPresetName(1), "start");
  EXPECT_EQ(plug.programChanges, 1);
}

TEST_F(ProgramFilesTest, BankRoundTripRestoresEverySlotAndTheCurrentOne)
{
  FilePlug plug;
  for (int slot = 0; slot < 3; ++slot)
  {
    plug.RestorePreset(slot);
    plug.SetAll(slot + 1);
    plug.ModifyCurrentPreset(("slot " + std::to_string(slot)).c_str());
  }
  plug.RestorePreset(1);
  plug.gui->fileAnswer = Path("round.fxb");
  ASSERT_TRUE(plug.SaveBankAsFXB(""));

  FilePlug other;
  other.gui->fileAnswer = Path("round.fxb");
  ASSERT_TRUE(other.LoadBankFromFXB());
  EXPECT_EQ(other.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(other.GetParam(5)->Value(), FilePlug::ValueFor(2));
  EXPECT_STREQ(other.GetPresetName(2), "slot 2");
  other.RestorePreset(2);
  EXPECT_EQ(other.GetParam(0)->Value(), FilePlug::ValueFor(3));
}

TEST_F(ProgramFilesTest, NoEditorOrCancelledDialogIsFalse)
{
  FilePlug plug;
  plug.gui->fileAnswer = "";
  EXPECT_FALSE(plug.SaveProgramAsFXP("x"));
  EXPECT_FALSE(plug.LoadBankFromFXB());
  TestPlug bare(28);
  EXPECT_FALSE(bare.SaveBankAsFXB("x"));
  EXPECT_FALSE(bare.LoadProgramFromFXP());
  plug.gui->fileAnswer = Path("missing/none.fxp");
  EXPECT_FALSE(plug.SaveProgramAsFXP("x"));
  EXPECT_FALSE(plug.LoadProgramFromFXP());
}

TEST_F(ProgramFilesTest, ForeignOrDamagedProgramsChangeNothing)
{
  FilePlug plug;
  plug.SetAll(2);
  plug.gui->fileAnswer = Path("good.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(""));
  const Bytes good = Read(Path("good.fxp"));
  plug.SetAll(5);
  const auto before = plug.Values();

  Bytes foreign = good;
  SetBE32(&foreign, 16, 0x41424344);
  Bytes wrongCount = good;
  SetBE32(&wrongCount, 24, 27);
  Bytes cut(good.begin(), good.end() - 4); // the last value is missing
  Bytes headerOnly(good.begin(), good.begin() + 30);
  for (const Bytes* bad : {&foreign, &wrongCount, &cut, &headerOnly})
  {
    Write(Path("bad.fxp"), *bad);
    plug.gui->fileAnswer = Path("bad.fxp");
    EXPECT_FALSE(plug.LoadProgramFromFXP());
    EXPECT_EQ(plug.Values(), before);
  }
  EXPECT_EQ(plug.programChanges, 0);
}

TEST_F(ProgramFilesTest, NameFillingItsFieldIsTerminated)
{
  FilePlug plug;
  plug.MakeDefaultPreset("factory", 3);
  plug.gui->fileAnswer = Path("name.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(""));
  Bytes b = Read(Path("name.fxp"));
  for (int i = 28; i < 56; ++i)
    b[size_t(i)] = 'N';
  Write(Path("name.fxp"), b);
  ASSERT_TRUE(plug.LoadProgramFromFXP());
  EXPECT_EQ(std::string(plug.GetPresetName(plug.GetCurrentPresetIdx())), std::string(28, 'N'));
}

TEST_F(ProgramFilesTest, BankWithMoreProgramsThanSlotsLoadsTheSlotsItHas)
{
  FilePlug big(5);
  for (int slot = 0; slot < 5; ++slot)
  {
    big.RestorePreset(slot);
    big.SetAll(slot);
    big.ModifyCurrentPreset(("p" + std::to_string(slot)).c_str());
  }
  big.RestorePreset(0);
  big.gui->fileAnswer = Path("five.fxb");
  ASSERT_TRUE(big.SaveBankAsFXB(""));

  FilePlug small(2);
  small.gui->fileAnswer = Path("five.fxb");
  ASSERT_TRUE(small.LoadBankFromFXB());
  EXPECT_STREQ(small.GetPresetName(0), "p0");
  EXPECT_STREQ(small.GetPresetName(1), "p1"); // never overwritten by p2..p4
  small.RestorePreset(1);
  EXPECT_EQ(small.GetParam(0)->Value(), FilePlug::ValueFor(1));
}

TEST_F(ProgramFilesTest, ShortOrForeignBankChangesNothing)
{
  FilePlug plug;
  plug.gui->fileAnswer = Path("bank.fxb");
  ASSERT_TRUE(plug.SaveBankAsFXB(""));
  const Bytes good = Read(Path("bank.fxb"));
  plug.MakeDefaultPreset("kept", 3);

  Bytes cut(good.begin(), good.end() - 1);
  Bytes foreign = good;
  SetBE32(&foreign, 16, 1);
  Bytes reserved(good.begin(), good.begin() + 100);
  for (const Bytes* bad : {&cut, &foreign, &reserved})
  {
    Write(Path("bad.fxb"), *bad);
    plug.gui->fileAnswer = Path("bad.fxb");
    EXPECT_FALSE(plug.LoadBankFromFXB());
    for (int slot = 0; slot < 3; ++slot)
      EXPECT_STREQ(plug.GetPresetName(slot), "kept");
  }
}

TEST_F(ProgramFilesTest, ChunkPluginsUseOpaqueChunks)
{
  FilePlug plug(3, true);
  plug.SetAll(4);
  const auto saved = plug.Values();
  plug.gui->fileAnswer = Path("chunk.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(""));
  const Bytes b = Read(Path("chunk.fxp"));
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "FPCh");
  EXPECT_EQ(BE32(b, 56), 28u * 8u);
  EXPECT_EQ(b.size(), 60u + 28u * 8u);
  plug.SetAll(0);
  ASSERT_TRUE(plug.LoadProgramFromFXP());
  EXPECT_EQ(plug.Values(), saved);

  plug.gui->fileAnswer = Path("chunk.fxb");
  ASSERT_TRUE(plug.SaveBankAsFXB(""));
  const Bytes bank = Read(Path("chunk.fxb"));
  EXPECT_EQ(std::string(bank.begin() + 8, bank.begin() + 12), "FBCh");
  EXPECT_EQ(BE32(bank, 4), BE32(bank, 156) + 160u);
  EXPECT_TRUE(plug.LoadBankFromFXB());
}
} // namespace
