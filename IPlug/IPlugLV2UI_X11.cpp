// The UI descriptor: an editor instance embedded in the host's parent window
// through the window system's X11 backend, which every editor of the module
// shares and which the host's idle calls drive.

#include "IPlug/IPlugLV2UI.h"

#include "IPlug/IGraphics.h"

#include "platform/window/Window.h"
#include "platform/window/backends/x11/X11Backend.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace
{
const void* FindFeature(const LV2_Feature* const* features, const char* uri)
{
  for (int i = 0; features && features[i]; ++i)
    if (std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
  return nullptr;
}

// The module's X11 backend: opened with the first editor, closed with the last.
X11Backend* sBackend = nullptr;
int sBackendUsers = 0;

bool AcquireBackend()
{
  if (!sBackend)
  {
    std::unique_ptr<X11Backend> backend = X11Backend::Open(nullptr, nullptr);
    if (!backend) return false;
    sBackend = backend.release();
    SetWindowBackend(sBackend);
  }
  ++sBackendUsers;
  return true;
}

void ReleaseBackend()
{
  if (--sBackendUsers > 0) return;
  SetWindowBackend(nullptr);
  delete sBackend;
  sBackend = nullptr;
}

// One editor in a host window.
struct EditorInstance
{
  std::unique_ptr<IPlugLV2> plug;
  std::unique_ptr<IPlugLV2UI> ports;
  NSWindow* window = nullptr;

  ~EditorInstance()
  {
    if (window)
    {
      window->close(); // takes the view out: the editor closes its window
      window->release();
    }
    ports.reset();
    plug.reset();
    ReleaseBackend();
  }
};

EditorInstance* Editor(LV2UI_Handle handle)
{
  return static_cast<EditorInstance*>(handle);
}

LV2UI_Handle OpenEditor(LV2UI_Write_Function write, LV2UI_Controller controller,
                        LV2UI_Widget* widget, const LV2_Feature* const* features)
{
  const auto parent = static_cast<unsigned long>(
      reinterpret_cast<uintptr_t>(FindFeature(features, LV2_UI__parent)));
  const auto* resize = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
  if (!parent || !widget || !AcquireBackend()) return nullptr;
  std::unique_ptr<EditorInstance> editor(new (std::nothrow) EditorInstance);
  if (!editor)
  {
    ReleaseBackend();
    return nullptr;
  }
  // From here on the instance lets go of the backend, whatever happens.
  editor->plug.reset(MakePlug());
  IGraphics* graphics = editor->plug ? editor->plug->GetGUI() : nullptr;
  if (!graphics) return nullptr;
  editor->ports.reset(new IPlugLV2UI(editor->plug.get(), write, controller));

  const int w = graphics->Width(), h = graphics->Height();
  editor->window = new NSWindow(NSMakeRect(0, 0, w, h), NSBorderlessWindowMask);
  editor->window->setReleasedWhenClosed(false);
  editor->window->setNativeParent(parent);
  // The window's content view holds the editor's view; the reference handed
  // out here is ours.
  static_cast<NSView*>(graphics->OpenWindow(editor->window->contentView()))->release();
  editor->window->makeKeyAndOrderFront();
  const unsigned long native = sBackend->NativeWindowOf(editor->window);
  if (!native) return nullptr;
  *widget = reinterpret_cast<LV2UI_Widget>(static_cast<uintptr_t>(native));
  if (resize) resize->ui_resize(resize->handle, w, h);
  sBackend->RunOnce(0);
  return editor.release();
}

// Nothing thrown reaches the host: an editor without memory is no editor.
LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features)
{
  try
  {
    return OpenEditor(write, controller, widget, features);
  }
  catch (const std::bad_alloc&)
  {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle)
{
  delete Editor(handle);
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format,
               const void* buffer)
{
  Editor(handle)->ports->PortEvent(port, bufferSize, format, buffer);
}

// Events, the editors' timers and their drawing; the editor is never closed
// from inside, so this always answers 0.
int Idle(LV2UI_Handle)
{
  if (sBackend) sBackend->RunOnce(0);
  return 0;
}

const void* ExtensionData(const char* uri)
{
  static const LV2UI_Idle_Interface sIdle = {Idle};
  return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &sIdle : nullptr;
}
} // namespace

const LV2UI_Descriptor* IPlugLV2UI::Descriptor(uint32_t index, const char* uiURI)
{
  static LV2UI_Descriptor sDescriptor = {nullptr, ::Instantiate, ::Cleanup, ::PortEvent,
                                         ::ExtensionData};
  if (index != 0 || !uiURI) return nullptr;
  sDescriptor.URI = uiURI;
  return &sDescriptor;
}
