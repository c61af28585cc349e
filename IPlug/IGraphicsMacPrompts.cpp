#include "IPlug/IGraphicsMacPrompts.h"

#include "IPlug/IParam.h"

#include <cstdlib>
#include <cstring>

namespace MacPrompts
{
void MenuItemTitle(int prefix, int itemIdx, const char* text, WDL_String* title)
{
  static const char* const kFormats[] = {"%1d: ", "%02d: ", "%03d: "};
  title->Set("");
  if (prefix >= 1 && prefix <= 3) title->SetFormatted(16, kFormats[prefix - 1], itemIdx + 1);
  title->Append(text);
}

const char* EntryCharacterSet(const IParam* param)
{
  if (!param) return nullptr;
  switch (param->Type())
  {
  case IParam::kTypeDouble:
    return "0123456789.-+";
  case IParam::kTypeBool:
  case IParam::kTypeInt:
  case IParam::kTypeEnum:
    return "0123456789-+";
  default:
    return "";
  }
}

bool EntryFormatter::IsPartialStringValid(const char* partial) const
{
  if (!partial) return false;
  if (characters)
    for (const char* p = partial; *p; ++p)
      if (!std::strchr(characters, *p)) return false;
  if (maxLength && static_cast<int>(std::strlen(partial)) > maxLength) return false;
  if (maxValue && std::atoi(partial) > maxValue) return false;
  return true;
}

void PrepareFilePanel(WDL_String* fileName, EFileAction action, WDL_String* dir,
                      const char* extensions, FilePanelRequest* request)
{
  request->defaultFile.Set(fileName->Get());
  if (!dir->GetLength()) dir->Set(kDefaultPanelDirectory);
  request->startDir.Set(dir->Get());
  fileName->Set("");
  request->types.Empty(true);
  const char* start = extensions ? extensions : "";
  while (*start)
  {
    const char* end = std::strchr(start, ' ');
    const int len = end ? static_cast<int>(end - start) : static_cast<int>(std::strlen(start));
    // A length of 0 would mean "no limit" to WDL_String.
    request->types.Add(len ? new WDL_String(start, len) : new WDL_String(""));
    if (!end) break;
    start = end + 1;
  }
  request->save = action == kFileSave;
}

void FinishFilePanel(const char* chosenPath, WDL_String* fileName, WDL_String* dir)
{
  fileName->Set(chosenPath);
  const char* slash = std::strrchr(chosenPath, '/');
  const int dirLen = slash ? static_cast<int>(slash - chosenPath) : 0;
  dir->Set("");
  if (dirLen) dir->Append(chosenPath, dirLen); // a length of 0 would mean "all"
  dir->Append("/");
}
} // namespace MacPrompts
