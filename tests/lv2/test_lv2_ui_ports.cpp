// The editor's UI without a display: host port values move the editor-side
// plug-in and its controls without being written back, the editor's changes
// go out as plain port values, and bad port events change nothing.

#include "IPlug/IControl.h"
#include "IPlug/IGraphics.h"
#include "IPlug/IGraphicsLV2.h"
#include "IPlug/IPlugLV2UI.h"

#include "effect/EditorLayout.h"
#include "effect/IPlug_include_in_plug_src.h"
#include "effect/TolvaneDelay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace
{
struct Write
{
  uint32_t port, size, format;
  float value;
};

void RecordWrite(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                 const void* buffer)
{
  float value = std::numeric_limits<float>::quiet_NaN();
  if (size == sizeof value) std::memcpy(&value, buffer, sizeof value);
  static_cast<std::vector<Write>*>(controller)->push_back({port, size, format, value});
}

class EditorPorts : public ::testing::Test
{
protected:
  void SetUp() override
  {
    plug.reset(static_cast<TolvaneDelay*>(MakePlug()));
    ASSERT_TRUE(plug && plug->GetGUI());
    ui.reset(new IPlugLV2UI(plug.get(), RecordWrite, &writes));
  }

  uint32_t Port(int paramIdx) const { return plug->Ports().ParamPort(paramIdx); }
  void Send(uint32_t port, float value, uint32_t format = 0, uint32_t size = sizeof(float))
  {
    ui->PortEvent(port, size, format, &value);
  }
  // The editor's control of the parameter of the given kind.
  IControl* Control(int paramIdx, LayoutKind kind) const
  {
    int i = 1; // control 0 is the background
    for (const LayoutControl& row : kEditorControls)
    {
      if (row.param == paramIdx && row.kind == kind) return plug->GetGUI()->GetControl(i);
      ++i;
    }
    return nullptr;
  }
  std::string Display(int paramIdx) const
  {
    WDL_String text;
    plug->GetValueDisplayText(paramIdx, &text);
    return text.Get();
  }

  std::unique_ptr<TolvaneDelay> plug;
  std::vector<Write> writes;
  std::unique_ptr<IPlugLV2UI> ui;
};
} // namespace

TEST_F(EditorPorts, HostValuesMoveTheControlsAndAreNotWrittenBack)
{
  IControl* knob = Control(kWetDry1, LayoutKind::kKnob);
  ASSERT_TRUE(knob);
  const std::string before = Display(kWetDry1);
  Send(Port(kWetDry1), 80.0f);
  EXPECT_DOUBLE_EQ(80.0, plug->GetParam(kWetDry1)->Value());
  EXPECT_DOUBLE_EQ(0.8, knob->GetValue());
  EXPECT_NE(before, Display(kWetDry1));

  // The engine switch from the host blocks the stereo panel, as in the editor.
  ASSERT_TRUE(plug->StereoPanelShown());
  Send(Port(kSwitch), 0.0f);
  EXPECT_FALSE(plug->StereoPanelShown());
  EXPECT_TRUE(writes.empty());
}

TEST_F(EditorPorts, HostValuesOutsideTheRangeAreClamped)
{
  Send(Port(kFeedback1), 250.0f);
  EXPECT_DOUBLE_EQ(100.0, plug->GetParam(kFeedback1)->Value());
  Send(Port(kFeedback1), -3.0f);
  EXPECT_DOUBLE_EQ(0.0, plug->GetParam(kFeedback1)->Value());
  EXPECT_TRUE(writes.empty());
}

TEST_F(EditorPorts, EventsThatAreNoParameterValueChangeNothing)
{
  const IPlugLV2Ports ports = plug->Ports();
  std::vector<double> before;
  for (int i = 0; i < kNumParams; ++i)
    before.push_back(plug->GetParam(i)->Value());
  for (uint32_t port : {ports.FirstInput(), ports.FirstOutput() + 1, ports.TempoPort(),
                        ports.TimePort(), ports.NPorts(), 0xffffffffu})
    Send(port, 10.0f);
  Send(Port(kLevel1), 10.0f, /*format*/ 7);  // an atom transfer, not a float
  Send(Port(kLevel1), 10.0f, 0, /*size*/ 2); // a short buffer
  Send(Port(kLevel1), std::numeric_limits<float>::quiet_NaN());
  Send(Port(kLevel1), std::numeric_limits<float>::infinity());
  ui->PortEvent(Port(kLevel1), sizeof(float), 0, nullptr);
  for (int i = 0; i < kNumParams; ++i)
    EXPECT_EQ(before[size_t(i)], plug->GetParam(i)->Value()) << i;
  EXPECT_TRUE(writes.empty());
}

TEST_F(EditorPorts, TheEditorsChangesGoToTheHostAsPlainPortValues)
{
  IGraphics* graphics = plug->GetGUI();
  const LayoutControl* knob = nullptr;
  for (const LayoutControl& row : kEditorControls)
    if (row.param == kWetDry1 && row.kind == LayoutKind::kKnob) knob = &row;
  ASSERT_TRUE(knob);
  IMouseMod mod(true);
  const int x = knob->l + 10, y = knob->t + 10;
  graphics->OnMouseDown(x, y, &mod);
  for (int step = 1; step <= 10; ++step)
    graphics->OnMouseDrag(x, y - 3 * step, &mod);
  graphics->OnMouseUp(x, y - 30, &mod);

  ASSERT_FALSE(writes.empty());
  for (const Write& w : writes)
  {
    EXPECT_EQ(Port(kWetDry1), w.port);
    EXPECT_EQ(sizeof(float), w.size);
    EXPECT_EQ(0u, w.format);
  }
  // Up means more; the last value written is the parameter's plain value.
  EXPECT_GT(writes.back().value, 47.0f);
  EXPECT_LE(writes.back().value, 100.0f);
  EXPECT_EQ(static_cast<float>(plug->GetParam(kWetDry1)->Value()), writes.back().value);
}

TEST_F(EditorPorts, NothingIsWrittenOnceTheLinkIsGone)
{
  ui.reset();
  plug->SetParameterFromGUI(kPan1, 0.25);
  EXPECT_TRUE(writes.empty());
}

TEST(EditorDescriptor, NamesTheUIAndRefusesAHostWithoutAParentWindow)
{
  EXPECT_EQ(nullptr, lv2ui_descriptor(1));
  const LV2UI_Descriptor* descriptor = lv2ui_descriptor(0);
  ASSERT_TRUE(descriptor);
  EXPECT_STREQ(kTolvaneLV2UIURI, descriptor->URI);
  EXPECT_TRUE(descriptor->extension_data(LV2_UI__idleInterface));
  EXPECT_EQ(nullptr, descriptor->extension_data(LV2_UI__showInterface));

  std::vector<Write> writes;
  LV2UI_Widget widget = nullptr;
  const LV2_Feature* none[] = {nullptr};
  EXPECT_EQ(nullptr, descriptor->instantiate(descriptor, kTolvaneLV2URI, "/nowhere", RecordWrite,
                                             &writes, &widget, none));
  EXPECT_EQ(nullptr, widget);
}

TEST(EditorPictures, ComeFromTheModulesFolderAndNeverFromOutsideIt)
{
  std::unique_ptr<IPlugLV2> plug(MakePlug());
  ASSERT_TRUE(plug);
  IGraphicsLV2 graphics(plug.get(), 10, 10, 0, LV2ModuleFolder().c_str());
  std::unique_ptr<LICE_IBitmap> found(graphics.OSLoadBitmap(1, kBackgroundPath));
  ASSERT_TRUE(found);
  EXPECT_EQ(kEditorWidth, found->getWidth());
  for (const char* name : {"../img/TopBig.png", "resources/../resources/img/TopBig.png",
                           "/etc/passwd.png", "resources/img/TopBig.txt", "", "missing.png"})
  {
    std::unique_ptr<LICE_IBitmap> refused(graphics.OSLoadBitmap(1, name));
    EXPECT_FALSE(refused) << name;
  }
  WDL_String path;
  graphics.PluginPath(&path);
  EXPECT_EQ(LV2ModuleFolder() + "/", path.Get());
}
