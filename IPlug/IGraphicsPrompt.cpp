// Asking the user for a parameter's value: a menu of its named values, or a
// text field holding its current value.

#include <cstdlib>

#include "IPlug/IControl.h"
#include "IPlug/IGraphics.h"
#include "IPlug/IParam.h"
#include "IPlug/IPopupMenu.h"

void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* rect)
{
  if (!control || !param || !rect) return;
  const int n = param->GetNDisplayTexts();
  const bool useMenu =
      param->Type() == IParam::kTypeEnum || (param->Type() == IParam::kTypeBool && n > 0);
  if (!useMenu)
  {
    char current[kTextBufferSize];
    param->GetDisplayForHostNoDisplayText(current);
    CreateTextEntry(control, control->GetText(), rect, current, param);
    return;
  }
  char current[kTextBufferSize];
  param->GetDisplayForHost(current);
  IPopupMenu menu;
  for (int i = 0; i < n; ++i)
  {
    const char* text = param->GetDisplayText(i);
    menu.AddItem(text, -1,
                 std::strcmp(text, current) ? IPopupMenuItem::kNoFlags : IPopupMenuItem::kChecked);
  }
  if (IPopupMenu* chosen = CreateIPopupMenu(&menu, rect))
    control->SetValueFromUserInput(param->GetNormalized(double(chosen->GetChosenItemIdx())));
}

void IGraphics::SetFromStringAfterPrompt(IControl* control, IParam* param, const char* txt)
{
  if (!param || !control) return;
  double value = 0.0;
  const IParam::EParamType type = param->Type();
  if (type == IParam::kTypeBool || type == IParam::kTypeEnum)
  {
    int mapped = 0;
    param->MapDisplayText(txt ? txt : "", &mapped);
    value = double(mapped);
  }
  else
  {
    value = txt ? std::atof(txt) : 0.0;
    if (param->DisplayIsNegated()) value = -value;
  }
  control->SetValueFromUserInput(param->GetNormalized(value));
}
