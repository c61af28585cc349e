#include "IPlug/IPopupMenu.h"

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int index)
{
  if (index == -1)
    mMenuItems.Add(item);
  else
    mMenuItems.Insert(index, item);
  return item;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int flags)
{
  return AddItem(new IPopupMenuItem(text, flags), index);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index)
{
  return AddItem(new IPopupMenuItem("", IPopupMenuItem::kSeparator), index);
}

void IPopupMenu::GetItemTextWithPrefix(int itemNumber, const IPopupMenuItem* item,
                                       WDL_String* out) const
{
  static const char* const formats[] = {"", "%1d: ", "%02d: ", "%03d: "};
  out->Set("");
  if (mPrefix > 0) out->SetFormatted(16, formats[mPrefix], itemNumber);
  out->Append(item->GetText());
}
