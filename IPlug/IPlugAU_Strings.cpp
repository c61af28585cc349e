#include "IPlug/IPlugAU_Strings.h"

CFStringRef MakeCFString(const char* text)
{
  if (!text) text = "";
  CFStringRef str = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
  if (!str) str = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingISOLatin1);
  return str;
}

void CutUTF8(char* text, int maxBytes)
{
  if (maxBytes < 0) maxBytes = 0;
  int len = static_cast<int>(strnlen(text, static_cast<size_t>(maxBytes) + 1));
  if (len <= maxBytes) return;
  len = maxBytes;
  // Step back over continuation bytes to the start of the character that was cut.
  while (len > 0 && (static_cast<unsigned char>(text[len]) & 0xC0) == 0x80)
    --len;
  text[len] = '\0';
}

CStrLocal::CStrLocal(CFStringRef cfStr)
{
  if (!cfStr || CFGetTypeID(cfStr) != CFStringGetTypeID()) return;
  const CFIndex maxSize =
      CFStringGetMaximumSizeForEncoding(CFStringGetLength(cfStr), kCFStringEncodingUTF8) + 1;
  WDL_TypedBuf<char> buf;
  buf.Resize(static_cast<int>(maxSize));
  if (CFStringGetCString(cfStr, buf.Get(), maxSize, kCFStringEncodingUTF8)) mText.Set(buf.Get());
}
