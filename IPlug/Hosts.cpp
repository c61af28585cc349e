#include "IPlug/Hosts.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace
{
struct HostKey
{
  const char* key;
  EHost host;
};

// Searched in this order: earlier keys win over later ones found in the same name.
const HostKey kHostKeys[] = {
    {"standalone", kHostStandalone}, {"cubase", kHostCubase},
    {"reaper", kHostReaper},         {"nuendo", kHostNuendo},
    {"cakewalk", kHostCakewalk},     {"samplitude", kHostSamplitude},
    {"fruity", kHostFruity},         {"live", kHostLive},
    {"melodyne", kHostMelodyne},     {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAULab},           {"forte", kHostForte},
    {"chainer", kHostChainer},       {"audition", kHostAudition},
    {"orion", kHostOrion},           {"sawstudio", kHostSawStudio},
    {"logic", kHostLogic},           {"digital", kHostDigital},
    {"audiomulch", kHostAudioMulch}, {"presonus vst2 host", kHostPresonusVst2},
};
} // namespace

void ToLower(char* dest, const char* src, size_t destSize)
{
  if (!dest || destSize == 0) return;
  size_t i = 0;
  for (; src && src[i] && i + 1 < destSize; ++i)
    dest[i] = static_cast<char>(tolower(static_cast<unsigned char>(src[i])));
  dest[i] = '\0';
}

EHost LookUpHost(const char* name)
{
  char lower[256];
  ToLower(lower, name, sizeof(lower));
  for (const HostKey& entry : kHostKeys)
    if (strstr(lower, entry.key)) return entry.host;
  return kHostUnknown;
}

void GetVersionParts(int version, int* major, int* minor, int* revision)
{
  const unsigned int v = static_cast<unsigned int>(version);
  *major = static_cast<int>((v & 0xFFFF0000u) >> 16);
  *minor = static_cast<int>((v & 0x0000FF00u) >> 8);
  *revision = static_cast<int>(v & 0x000000FFu);
}

int GetDecimalVersion(int version)
{
  int major, minor, revision;
  GetVersionParts(version, &major, &minor, &revision);
  return major * 10000 + minor * 100 + revision;
}

void GetVersionStr(int version, char* text)
{
  int major, minor, revision;
  GetVersionParts(version, &major, &minor, &revision);
  snprintf(text, kTextBufferSize, "v%d.%d.%d", major, minor, revision);
}
