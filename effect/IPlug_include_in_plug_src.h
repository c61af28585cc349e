#pragma once

// The plug-in module's glue: the factory the wrapper calls when the host opens
// an instance (MakePlug, declared with the wrapper), and the exported
// component entries the component manager calls (the unit's and its Carbon
// view's).

#include <CoreServices/CoreServices.h>

class IGraphicsMac;
class IPlugAU;

// Identifies the plug-in's bundle; the wrapper finds its resources and views by it.
constexpr const char* kTolvaneBundleID = "com.tolvane.audiounit.TolvaneDelay";
// The Cocoa view factory class the editor registers.
constexpr const char* kTolvaneViewFactoryClassName = "TolvaneDelay_View";

extern "C" __attribute__((visibility("default"))) ComponentResult
TolvaneDelay_Entry(ComponentParameters* params, void* storage);
// The Carbon view component's entry: the editor as a control in a host window.
extern "C" __attribute__((visibility("default"))) ComponentResult
TolvaneDelay_ViewEntry(ComponentParameters* params, void* storage);

// The effect's editor: a window binding of the given size and frame rate that
// finds its pictures in the plug-in's bundle.
IGraphicsMac* MakeGraphics(IPlugAU* plug, int width, int height, int fps);
