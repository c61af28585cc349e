// Popup menus, prompts for a parameter's value and typed values.

#include <gtest/gtest.h>

#include "tests/IPlug/editor/EditorTestSupport.h"

TEST(IPopupMenu, InsertionIndicesAndPrefix)
{
  IPopupMenu menu;
  menu.AddItem("a");
  menu.AddItem("b");
  menu.AddItem("c");
  menu.AddItem(new IPopupMenuItem("last"), 100);
  menu.AddItem("first", -7);
  menu.AddSeparator(2);
  ASSERT_EQ(menu.GetNItems(), 6);
  const char* order[] = {"first", "a", "", "b", "c", "last"};
  for (int i = 0; i < 6; ++i)
    EXPECT_STREQ(menu.GetItem(i)->GetText(), order[i]);
  EXPECT_TRUE(menu.GetItem(2)->GetIsSeparator());
  EXPECT_EQ(menu.GetItem(6), nullptr);
  EXPECT_EQ(menu.GetItem(-1), nullptr);

  menu.SetPrefix(2);
  menu.SetPrefix(5);
  EXPECT_EQ(menu.GetPrefix(), 2);
  WDL_String shown;
  menu.GetItemTextWithPrefix(1, menu.GetItem(1), &shown);
  EXPECT_STREQ(shown.Get(), "01: a");
  menu.SetPrefix(3);
  menu.GetItemTextWithPrefix(12, menu.GetItem(1), &shown);
  EXPECT_STREQ(shown.Get(), "012: a");
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
}

TEST(IPopupMenuItem, Flags)
{
  IPopupMenuItem item("x", IPopupMenuItem::kDisabled | IPopupMenuItem::kChecked);
  EXPECT_FALSE(item.GetEnabled());
  EXPECT_TRUE(item.GetChecked());
  EXPECT_FALSE(item.GetIsTitle());
  EXPECT_EQ(item.GetSubmenu(), nullptr);
  item.SetText("y");
  EXPECT_STREQ(item.GetText(), "y");
}

namespace
{
struct Prompt : ::testing::Test
{
  GesturePlug plug{4};
  TestGraphics* gui = new TestGraphics(&plug);
  IMouseMod right{false, true};
  IBitmap strip{nullptr, 30, 60, 2};

  void SetUp() override
  {
    IParam* e = plug.GetParam(0);
    e->InitEnum("mode", 1, 3);
    e->SetDisplayText(0, "low");
    e->SetDisplayText(1, "mid");
    e->SetDisplayText(2, "high");
    plug.GetParam(1)->InitBool("on", false);
    plug.GetParam(2)->InitDouble("gain", 2.0, -10.0, 10.0, 0.1);
    plug.GetParam(3)->InitInt("count", 3, 0, 10);
    plug.AttachGraphics(gui);
  }
  ISwitchControl* Switch(int param)
  {
    auto* c = new ISwitchControl(&plug, 10, 10, param, &strip);
    c->SetPromptEnabled(true);
    gui->AttachControl(c);
    c->SetValueFromPlug(plug.GetParam(param)->GetNormalized());
    return c;
  }
};
} // namespace

TEST_F(Prompt, EnumeratedParameterGetsAMenuWithTheCurrentItemChecked)
{
  ISwitchControl* c = Switch(0);
  gui->menuChoice = 2;
  c->OnMouseDown(15, 15, &right);
  const std::vector<std::pair<std::string, bool>> items = {
      {"low", false}, {"mid", true}, {"high", false}};
  EXPECT_EQ(gui->menuItems, items);
  EXPECT_EQ(gui->menuRect, IRECT(10, 10, 40, 40)); // over the control: it has display texts
  EXPECT_EQ(plug.GetParam(0)->Int(), 2);
  EXPECT_DOUBLE_EQ(c->GetValue(), 1.0);
  // A dismissed menu changes nothing.
  gui->menuChoice = -1;
  plug.GetParam(0)->Set(1);
  c->SetValueFromPlug(0.5);
  c->OnMouseDown(15, 15, &right);
  EXPECT_EQ(plug.GetParam(0)->Int(), 1);
}

TEST_F(Prompt, PlainParametersGetATextEntryCentredOnTheControl)
{
  ISwitchControl* c = Switch(3); // an integer: text entry
  c->OnMouseDown(15, 15, &right);
  EXPECT_EQ(gui->textEntries, 1);
  EXPECT_TRUE(gui->menuItems.empty());
  EXPECT_EQ(gui->entryControl, c);
  EXPECT_EQ(gui->entryParam, plug.GetParam(3));
  // 30 x 16 around the centre (25, 25).
  EXPECT_EQ(gui->entryRect, IRECT(10, 17, 40, 33));
  EXPECT_EQ(gui->entryText, "3");
  // A boolean with its "off"/"on" names gets a menu.
  ISwitchControl* b = Switch(1);
  b->OnMouseDown(15, 15, &right);
  EXPECT_EQ(gui->textEntries, 1);
  EXPECT_EQ(gui->menuItems.size(), 2u);
}

TEST_F(Prompt, DisabledPromptOrNoParameterDoesNothing)
{
  auto* c = new ISwitchControl(&plug, 10, 10, 2, &strip);
  gui->AttachControl(c);
  c->PromptUserInput();
  auto* free = new ISwitchControl(&plug, 10, 10, -1, &strip);
  free->SetPromptEnabled(true);
  gui->AttachControl(free);
  free->PromptUserInput();
  EXPECT_EQ(gui->textEntries, 0);
  gui->PromptUserInput(nullptr, plug.GetParam(2), c->GetRECT());
  gui->PromptUserInput(c, plug.GetParam(2), nullptr);
  EXPECT_EQ(gui->textEntries, 0);
}

TEST_F(Prompt, TypedTextBecomesTheValue)
{
  ISwitchControl* gain = Switch(2);
  gui->SetFromStringAfterPrompt(gain, plug.GetParam(2), "-3.5dB");
  EXPECT_DOUBLE_EQ(plug.GetParam(2)->Value(), -3.5);
  gui->SetFromStringAfterPrompt(gain, plug.GetParam(2), "abc");
  EXPECT_DOUBLE_EQ(plug.GetParam(2)->Value(), 0.0);
  gui->SetFromStringAfterPrompt(gain, plug.GetParam(2), "99");
  EXPECT_DOUBLE_EQ(plug.GetParam(2)->Value(), 10.0); // clamped by the control

  ISwitchControl* mode = Switch(0);
  gui->SetFromStringAfterPrompt(mode, plug.GetParam(0), "high");
  EXPECT_EQ(plug.GetParam(0)->Int(), 2);
  gui->SetFromStringAfterPrompt(mode, plug.GetParam(0), "nonsense");
  EXPECT_EQ(plug.GetParam(0)->Int(), 0);

  ISwitchControl* onOff = Switch(1);
  gui->SetFromStringAfterPrompt(onOff, plug.GetParam(1), "on");
  EXPECT_TRUE(plug.GetParam(1)->Bool());

  ISwitchControl* count = Switch(3);
  gui->SetFromStringAfterPrompt(count, plug.GetParam(3), "7");
  EXPECT_EQ(plug.GetParam(3)->Int(), 7);
  gui->SetFromStringAfterPrompt(count, nullptr, "9");
  EXPECT_EQ(plug.GetParam(3)->Int(), 7);
}
