#include "IPlug/IGraphicsCarbon.h"

#include "IPlug/IGraphicsCocoa.h"

IGraphicsCarbon::IGraphicsCarbon(IGraphicsMac* graphicsMac, WindowRef window,
                                 ControlRef parentControl)
    : mGraphicsMac(graphicsMac), mWindow(window), mIsComposited(false)
{
  WindowAttributes attributes = kWindowNoAttributes;
  GetWindowAttributes(window, &attributes);
  mIsComposited = (attributes & kWindowCompositingAttribute) != 0;
  mView = new IGraphicsCocoa_vTolvaneDelay_au(graphicsMac); // our reference
  HIViewRef parent = parentControl ? parentControl : HIViewGetRoot(window);
  if (parent) HIViewAddSubview(parent, GetView());
}

IGraphicsCarbon::~IGraphicsCarbon()
{
  IGraphicsCocoa_vTolvaneDelay_au* view = mView;
  mView = nullptr;
  view->killTimer();
  view->detachGraphics(); // ends any text entry; the pane ignores everything from now on
  view->removeFromSuperview();
  view->release();
}

void IGraphicsCarbon::Resize(int w, int h)
{
  if (mView) mView->setFrameSize(NSMakeSize(w, h));
}

void IGraphicsCarbon::EndUserInput(bool commit)
{
  if (!mView) return;
  NSTextField* field = mView->textField();
  if (commit && field)
    field->endEditing();
  else
    mView->endUserInput();
}
