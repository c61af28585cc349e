#pragma once

// The LV2 edition's editor as an X11 UI. The UI module holds a plug-in
// instance of its own that carries the editor and follows the host's ports:
// the processing stays in the plug-in module, which carries no editor.
//   extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
//   { return IPlugLV2UI::Descriptor(index, "urn:...#ui"); }
// The module defines MakePlug(), whose plug-ins attach their editor.
//
// The editor sits in the host's parent window (ui:parent), shown through the
// window system's X11 backend, which the host drives through ui:idleInterface
// (events, the editor's timer, drawing). Parameter changes made in the editor
// go to the host as plain port values through the port-write function; the
// host's changes arrive through port_event and move the controls without
// being written back.
//
// Threads: the host's user-interface thread only, as LV2 UIs are called.

#include "IPlug/IPlugLV2.h"

#include <lv2/ui/ui.h>

class IPlugLV2UI : public IPlugLV2EditorLink
{
public:
  // The module's UI descriptor (index 0 only; null otherwise). uiURI must
  // stay valid for the life of the module.
  static const LV2UI_Descriptor* Descriptor(uint32_t index, const char* uiURI);

  // Links the editor of plug (which the caller keeps) to the host's ports.
  IPlugLV2UI(IPlugLV2* plug, LV2UI_Write_Function write, LV2UI_Controller controller);
  ~IPlugLV2UI() override;
  IPlugLV2UI(const IPlugLV2UI&) = delete;
  IPlugLV2UI& operator=(const IPlugLV2UI&) = delete;

  // A port's new value from the host. Parameter ports in the float format
  // set the parameter (clamped), its controls and the plug-in's own reaction
  // (value displays, panels); anything else, and values that are not finite,
  // are ignored.
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);

  // The editor changed a parameter: its plain value goes to the host's port.
  void ParamChangedFromEditor(int paramIdx) override;

private:
  IPlugLV2* mPlug;
  IPlugLV2Ports mPorts;
  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  bool mApplyingHostChange = false;
};
