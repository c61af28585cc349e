#include "IPlug/IPlugLV2UI.h"

#include "IPlug/IGraphics.h"

#include <cmath>
#include <cstring>

IPlugLV2UI::IPlugLV2UI(IPlugLV2* plug, LV2UI_Write_Function write, LV2UI_Controller controller)
    : mPlug(plug), mPorts(plug->Ports()), mWrite(write), mController(controller)
{
  mPlug->SetEditorLink(this);
}

IPlugLV2UI::~IPlugLV2UI()
{
  mPlug->SetEditorLink(nullptr);
}

void IPlugLV2UI::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
  const int paramIdx = mPorts.ParamOfPort(port);
  if (paramIdx < 0 || format != 0 || bufferSize != sizeof(float) || !buffer) return;
  float value;
  std::memcpy(&value, buffer, sizeof value);
  IParam* param = mPlug->GetParam(paramIdx);
  if (!param || !std::isfinite(value)) return;
  // The host already has this value: nothing the editor does now goes back.
  mApplyingHostChange = true;
  param->Set(value);
  if (IGraphics* graphics = mPlug->GetGUI())
    graphics->SetParameterFromPlug(paramIdx, param->Value(), false);
  mPlug->OnParamChange(paramIdx);
  mApplyingHostChange = false;
}

void IPlugLV2UI::ParamChangedFromEditor(int paramIdx)
{
  const IParam* param = mPlug->GetParam(paramIdx);
  if (mApplyingHostChange || !param || !mWrite) return;
  const float value = static_cast<float>(param->Value());
  mWrite(mController, mPorts.ParamPort(paramIdx), sizeof value, 0, &value);
}
