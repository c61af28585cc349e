#include "IPlug/Log.h"

#include <cctype>
#include <cstring>
#include <ctime>

void TraceEvent(const char*, int, const char*, ...) {}

const char* CurrentTime()
{
  static char text[64];
  const time_t now = time(nullptr);
  struct tm local;
  text[0] = '\0';
  if (!localtime_r(&now, &local)) return text;
  size_t len = strftime(text, sizeof(text), "%Y%m%d %H:%M ", &local);
  char zone[32] = "";
  strftime(zone, sizeof(zone), "%Z", &local);
  for (const char* c = zone; *c && len + 1 < sizeof(text); ++c)
    if (isupper(static_cast<unsigned char>(*c))) text[len++] = *c;
  text[len] = '\0';
  return text;
}

const char* VSTOpcodeStr(int)
{
  return "";
}
const char* AUSelectStr(int)
{
  return "";
}
const char* AUPropertyStr(int)
{
  return "";
}
const char* AUScopeStr(int)
{
  return "";
}
