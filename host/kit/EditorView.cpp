#include "host/kit/EditorView.h"

#include "platform/window/AUCocoaUIBase.h"
#include "platform/window/ClassRegistry.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"
#include "platform/window/backends/headless/HeadlessBackend.h"

#include <CoreFoundation/CoreFoundation.h>

namespace
{
std::string Text(CFStringRef string)
{
  char text[1024] = {};
  if (!string || !CFStringGetCString(string, text, sizeof text, kCFStringEncodingUTF8)) return "";
  return text;
}

// The file path of the module inside the bundle at the URL; "" when unknown.
std::string ModulePath(CFURLRef bundleURL)
{
  CFBundleRef bundle = bundleURL ? CFBundleCreate(nullptr, bundleURL) : nullptr;
  if (!bundle) return "";
  std::string path;
  if (CFURLRef module = CFBundleCopyExecutableURL(bundle))
  {
    char text[4096];
    if (CFURLGetFileSystemRepresentation(module, true, reinterpret_cast<UInt8*>(text), sizeof text))
      path = text;
    CFRelease(module);
  }
  CFRelease(bundle);
  return path;
}

// The factory class: the one the bundle's module registered, else any of that name.
Class FindFactoryClass(CFURLRef bundleURL, const std::string& name)
{
  const std::string module = ModulePath(bundleURL);
  Class cls = module.empty() ? nullptr : ClassNamedInImage(module.c_str(), name.c_str());
  return cls ? cls : NSClassFromString(name.c_str());
}
} // namespace

bool EditorView::Fail(const std::string& why, std::string& error)
{
  error = why;
  Close();
  return false;
}

bool EditorView::Open(AudioUnit unit, std::string& error)
{
  Close();
  NSApplicationLoad();
  AudioUnitCocoaViewInfo info = {};
  UInt32 size = sizeof info;
  if (AudioUnitGetProperty(unit, kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, &info,
                           &size) != noErr ||
      size < sizeof info)
    return Fail("the unit offers no Cocoa view", error);
  mClassName = Text(info.mCocoaAUViewClass[0]);
  Class cls = FindFactoryClass(info.mCocoaAUViewBundleLocation, mClassName);
  if (info.mCocoaAUViewClass[0]) CFRelease(info.mCocoaAUViewClass[0]);
  if (info.mCocoaAUViewBundleLocation) CFRelease(info.mCocoaAUViewBundleLocation);
  if (!cls) return Fail("no view factory class named '" + mClassName + "'", error);

  NSObject* object = class_createInstance(cls);
  if (!object || !object->conformsToProtocol(AUCocoaUIBaseProtocol))
  {
    if (object) object->release();
    return Fail("'" + mClassName + "' is not a Cocoa view factory", error);
  }
  mFactory = static_cast<AUCocoaUIBase*>(object);
  mView = mFactory->uiViewForAudioUnit(unit, NSMakeSize(0, 0));
  if (!mView) return Fail("the view factory gives no view", error);

  const NSRect frame = mView->frame();
  mWidth = static_cast<int>(frame.size.width);
  mHeight = static_cast<int>(frame.size.height);
  mWindow = new NSWindow(NSMakeRect(0, 0, frame.size.width, frame.size.height));
  mWindow->setReleasedWhenClosed(false);
  mWindow->setTitle(mTitle);
  mWindow->setContentView(mView);
  mWindow->makeKeyAndOrderFront();
  return true;
}

void EditorView::Close()
{
  if (mWindow)
  {
    mWindow->close(); // takes the view out: the editor closes its window
    mWindow->release();
    mWindow = nullptr;
  }
  if (mView) mView->release();
  mView = nullptr;
  if (mFactory) mFactory->release();
  mFactory = nullptr;
  mWidth = mHeight = 0;
}

void EditorView::Run(double seconds)
{
  NSRunLoop::currentRunLoop()->runForSeconds(seconds);
}

bool EditorView::RunUntilDrawn(double maxSeconds)
{
  const double kStep = 0.001;
  HeadlessBackend& backend = HeadlessBackend::instance();
  const int before = backend.displayCount();
  for (double t = 0; t < maxSeconds && backend.displayCount() == before; t += kStep)
    Run(kStep);
  return backend.displayCount() != before;
}

namespace
{
// Editor pixel (x, y) is window point (x + 2, H - y - 3): the inverse of the
// view's mouse mapping, so that the editor sees exactly (x, y).
NSPoint WindowPoint(int x, int y, int height)
{
  return NSMakePoint(static_cast<CGFloat>(x + 2), static_cast<CGFloat>(height - y - 3));
}
} // namespace

void EditorView::MouseDown(int x, int y, uint32_t modifiers, bool right)
{
  if (mWindow) headless::mouseDown(mWindow, WindowPoint(x, y, mHeight), modifiers, right);
}

void EditorView::MouseDrag(int x, int y, uint32_t modifiers, bool right)
{
  if (mWindow) headless::mouseDragged(mWindow, WindowPoint(x, y, mHeight), modifiers, right);
}

void EditorView::MouseUp(int x, int y, uint32_t modifiers, bool right)
{
  if (mWindow) headless::mouseUp(mWindow, WindowPoint(x, y, mHeight), modifiers, right);
}

uint32_t EditorView::Pixel(int x, int y) const
{
  return mView ? mView->pixelAt(x, y) : 0;
}

const uint32_t* EditorView::Pixels() const
{
  return mView ? mView->pixels() : nullptr;
}
