#pragma once

// Trace hooks through which the framework marks its events, and the name
// look-ups for host-API codes used in trace lines. Tracing is off in this
// system: the hooks write nothing and the look-ups give empty text. Any
// thread; the trace hook is safe on the audio thread because in a normal
// build it compiles to nothing (its arguments are checked, never evaluated).

#if defined(__GNUC__)
#define IPLUG_PRINTF_FORMAT(fmtIdx, firstArg) __attribute__((format(printf, fmtIdx, firstArg)))
#else
#define IPLUG_PRINTF_FORMAT(fmtIdx, firstArg)
#endif

// Marks an event at funcName:line with printf-style arguments; writes nothing.
void TraceEvent(const char* funcName, int line, const char* format, ...) IPLUG_PRINTF_FORMAT(3, 4);

// Trace(funcName, line, format, ...): the hook the framework calls. Only a
// build with IPLUG_TRACE_EVENTS reaches TraceEvent; otherwise the call and the
// evaluation of its arguments (name look-ups on the render path) disappear.
#ifdef IPLUG_TRACE_EVENTS
#define Trace(...) TraceEvent(__VA_ARGS__)
#else
#define Trace(...)                                                                                 \
  do                                                                                               \
  {                                                                                                \
    if (false) TraceEvent(__VA_ARGS__);                                                            \
  } while (false)
#endif

// Local time as "YYYYMMDD HH:MM " followed by the upper-case letters of the
// time-zone abbreviation, e.g. "20120315 14:07 CET". The text lives in one
// process-wide buffer that each call overwrites.
const char* CurrentTime();

const char* VSTOpcodeStr(int opcode);
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);
