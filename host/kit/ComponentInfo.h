#pragma once

// What a host reads about a component and its instance before using it.
//
// The host's thread, never while the unit renders on another.

#include <AudioUnit/AudioUnit.h>

#include <string>
#include <vector>

struct ComponentIdentity
{
  ComponentDescription description = {};
  std::string name;
};

bool ReadComponentIdentity(Component component, ComponentIdentity& identity, std::string& error);
// "1.2.3" from 0x00010203-style version numbers.
std::string VersionText(long version);
// The unit's channel configurations; empty when it names none.
std::vector<AUChannelInfo> ReadChannelConfigurations(AudioUnit unit);
