#pragma once

// The plug-in module's glue: the factory the wrapper calls when the host opens
// an instance (MakePlug, declared with the wrapper), and the exported entries
// of the edition being built: the component entries the component manager
// calls (the unit's and its Carbon view's), the LV2 descriptor, or the LV2
// UI descriptor (the UI module, IPLUG_LV2_EDITOR).

class IGraphicsMac;
class IPlugAU;
class IPlugLV2;

// Identifies the plug-in's bundle; the wrapper finds its resources and views by it.
constexpr const char* kTolvaneBundleID = "com.tolvane.audiounit.TolvaneDelay";
// The Cocoa view factory class the editor registers.
constexpr const char* kTolvaneViewFactoryClassName = "TolvaneDelay_View";
// The LV2 edition's plug-in URI; saved sessions and presets refer to it.
constexpr const char* kTolvaneLV2URI = "urn:tolvane:TolvaneDelay";
// Its editor's UI; the Turtle files name it the same way.
constexpr const char* kTolvaneLV2UIURI = "urn:tolvane:TolvaneDelay#ui";

#if defined(IPLUG_LV2_EDITOR)
#include <lv2/ui/ui.h>

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index);

// The effect's editor: a window binding of the given size and frame rate that
// finds its pictures in the UI module's bundle.
IGraphicsMac* MakeGraphics(IPlugLV2* plug, int width, int height, int fps);
#elif defined(IPLUG_LV2)
#include <lv2/core/lv2.h>

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index);
#else
#include <CoreServices/CoreServices.h>

extern "C" __attribute__((visibility("default"))) ComponentResult
TolvaneDelay_Entry(ComponentParameters* params, void* storage);
// The Carbon view component's entry: the editor as a control in a host window.
extern "C" __attribute__((visibility("default"))) ComponentResult
TolvaneDelay_ViewEntry(ComponentParameters* params, void* storage);

// The effect's editor: a window binding of the given size and frame rate that
// finds its pictures in the plug-in's bundle.
IGraphicsMac* MakeGraphics(IPlugAU* plug, int width, int height, int fps);
#endif
