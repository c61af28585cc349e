#pragma once

// Host identification from the host application's name, and packed version
// numbers: major in bits 16 to 31, minor in bits 8 to 15, revision in 0 to 7.

#include "IPlug/Containers.h"

#include <cstddef>
#include <cstdint>

enum EHost
{
  kHostUninit = -1, // not yet identified
  kHostUnknown = 0, // identified, but no table entry matched
  kHostReaper = 1,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostCakewalk = 5,
  kHostFruity = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostMelodyne = 12,
  kHostVstManLib = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostSawStudio = 20,
  kHostLogic = 21,
  kHostDigital = 22,
  kHostStandalone = 23,
  kHostAudioMulch = 24,
  kHostPresonusVst2 = 25
};

// Host code of a host name: the lower-cased name (its first 255 characters) is
// searched for each table key in turn; the first key found decides. A null or
// unmatched name gives kHostUnknown.
EHost LookUpHost(const char* name);

// Writes the lower-case copy of src into dest, terminated; at most destSize
// bytes are written.
void ToLower(char* dest, const char* src, size_t destSize = SIZE_MAX);

void GetVersionParts(int version, int* major, int* minor, int* revision);
int GetDecimalVersion(int version);          // major * 10000 + minor * 100 + revision
void GetVersionStr(int version, char* text); // "v%d.%d.%d", kTextBufferSize bytes at most
