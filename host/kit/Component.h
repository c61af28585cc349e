#pragma once

// Finding the effect's component bundle, registering it with the component
// manager and opening instances of it, as a host does at start-up.
//
// The host's thread: registering and opening are not for the audio thread.

#include <AudioUnit/AudioUnit.h>

#include <string>

// The bundle to load: explicitPath when it is given; otherwise
// $TOLVANE_COMPONENTS_DIR/TolvaneDelay.component, then the Components folder
// of the build tree this program lives in, then lib/tolvane/Components beside
// an installed program's bin/, then the build's own Components folder compiled
// into the program.
bool FindComponentBundle(const std::string& explicitPath, std::string& bundlePath,
                         std::string& error);

// Registers the bundle and hands out its effect component.
bool LoadComponent(const std::string& bundlePath, Component& component, std::string& error);

// FindComponentBundle, then LoadComponent.
bool FindAndLoadComponent(const std::string& explicitPath, Component& component,
                          std::string& error);

// One open instance of a component, closed when the object goes.
class UnitInstance
{
public:
  UnitInstance() = default;
  ~UnitInstance() { Close(); }
  UnitInstance(const UnitInstance&) = delete;
  UnitInstance& operator=(const UnitInstance&) = delete;

  OSErr Open(Component component);
  // The result of the close call; noErr when nothing was open.
  OSErr Close();
  AudioUnit Get() const { return mUnit; }

private:
  AudioUnit mUnit = nullptr;
};

// Opens an instance; false with a message when the component refuses.
bool OpenUnit(Component component, UnitInstance& instance, std::string& error);
