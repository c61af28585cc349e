// Factory presets as the host lists them, and the present preset.

#include "IPlug/IPlugAU.h"

#include "IPlug/IPlugAU_CFAUPreset.h"
#include "IPlug/IPlugAU_Strings.h"

ComponentResult IPlugAU::GetFactoryPresets(CFArrayRef* pArray)
{
  const int n = NPresets();
  CFMutableArrayRef presets =
      CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFAUPresetArrayCallBacks);
  if (!presets) return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i)
  {
    CFStringRef name = MakeCFString(GetPresetName(i));
    CFAUPreset* preset = CFAUPresetCreate(kCFAllocatorDefault, i, name);
    if (preset)
    {
      CFArrayAppendValue(presets, preset);
      CFAUPresetRelease(preset);
    }
    CFRelease(name);
  }
  *pArray = presets;
  return noErr;
}

void IPlugAU::GetPresentPreset(AUPreset* preset)
{
  const int idx = GetCurrentPresetIdx();
  preset->presetNumber = idx;
  preset->presetName = MakeCFString(GetPresetName(idx));
}
