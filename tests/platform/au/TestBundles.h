// Bundles for the component manager's tests: the fake unit laid out by the build, and
// variations of it written into a temporary folder.
#pragma once

#include "tests/platform/au/FakeUnit.h"

#include <string>

namespace au_test
{

// Registers the fake unit's bundle (once per process) and returns its component.
Component FakeComponent();
Component FailingOpenComponent();
FakeUnitCounters& Counters();
FakeUnitState* StateOf(ComponentInstance instance);
std::string FakeModulePath();

// A temporary folder that is removed with everything in it.
class TempFolder
{
public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return mPath; }

private:
  std::string mPath;
};

// One AudioComponents entry, as XML.
std::string ComponentEntryXml(const std::string& type, const std::string& subtype,
                              const std::string& factoryFunction);

// Writes <folder>/<name>.component with an Info.plist of these keys and, when moduleSource is
// not empty, that file copied in as the module. Returns the bundle path.
std::string WriteBundle(const std::string& folder, const std::string& name,
                        const std::string& identifier, const std::string& componentsXml,
                        const std::string& moduleSource);

} // namespace au_test
