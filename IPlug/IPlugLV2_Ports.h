#pragma once

// Where each port of an LV2 plug-in sits, and the names the wrapper, its
// Turtle description and its UI share. The wrapper, the Turtle description
// and the editor's UI all number ports from this one layout:
//   audio inputs, audio outputs, one control input per parameter (index
//   order), the tempo control, the time-position atom input.
// Plain arithmetic; any thread.

#include <cstdint>
#include <string>

struct IPlugLV2Ports
{
  int nIn = 0, nOut = 0, nParams = 0;

  IPlugLV2Ports(int nInputs, int nOutputs, int nParameters)
      : nIn(nInputs), nOut(nOutputs), nParams(nParameters)
  {
  }

  uint32_t FirstInput() const { return 0; }
  uint32_t FirstOutput() const { return static_cast<uint32_t>(nIn); }
  uint32_t FirstParam() const { return static_cast<uint32_t>(nIn + nOut); }
  uint32_t ParamPort(int paramIdx) const { return FirstParam() + static_cast<uint32_t>(paramIdx); }
  uint32_t TempoPort() const { return FirstParam() + static_cast<uint32_t>(nParams); }
  uint32_t TimePort() const { return TempoPort() + 1; }
  uint32_t NPorts() const { return TimePort() + 1; }

  // The parameter a port carries, or -1 for any other port.
  int ParamOfPort(uint32_t port) const
  {
    return port >= FirstParam() && port < TempoPort() ? static_cast<int>(port - FirstParam()) : -1;
  }
};

// The host tempo port: a control in beats per minute.
constexpr float kLV2TempoDefault = 120.0f;
constexpr float kLV2TempoMin = 1.0f;
constexpr float kLV2TempoMax = 999.0f;

// Symbols of the ports that are not parameters.
constexpr const char* kLV2TempoSymbol = "bpm";
constexpr const char* kLV2TimeSymbol = "time";

// The state key under which the parameter chunk is saved.
inline std::string LV2StateKeyURI(const char* pluginURI)
{
  return std::string(pluginURI) + "#data";
}
