/* A component module for the component manager's tests. Its instances record every call they
   receive in their storage, which the tests read through GetComponentInstanceStorage. */
#ifndef TOLVANE_TESTS_FAKEUNIT_H
#define TOLVANE_TESTS_FAKEUNIT_H

#include <AudioToolbox/AudioToolbox.h>

#ifdef __cplusplus
extern "C"
{
#endif

  enum
  {
    kFakeUnitMaxSlots = 16,
    kFakeUnitParameters = 4,
    kFakeUnitVersion = 0x00010002
  };

  typedef struct FakeUnitCall
  {
    SInt16 what;
    UInt8 paramSize;
    long params[kFakeUnitMaxSlots];
  } FakeUnitCall;

  typedef struct FakeUnitState
  {
    ComponentInstance self;
    int calls;
    FakeUnitCall last;
    /* Answer of the selectors that have no behaviour of their own. */
    ComponentResult result;
    /* Render: pull this unit first (when set), then add renderAdd to every sample. */
    AudioUnit upstream;
    Float32 renderAdd;
    int renderDepth;
    int maxRenderDepth;
    /* Each render replaces this scratch memory, as a careless unit does. */
    void* renderScratch;
    /* Built with FAKE_UNIT_BROKEN_NUMBERS: the input callback, and a feedback memory that a
       reset leaves alone and a gain that only a reset sets right. */
    AURenderCallbackStruct input;
    Float32 memory;
    Float32 gain;
    /* One property listener; setting that property calls it. */
    AudioUnitPropertyID listenerID;
    AudioUnitPropertyListenerProc listener;
    void* listenerData;
    AudioUnitParameterValue parameters[kFakeUnitParameters];
  } FakeUnitState;

  typedef struct FakeUnitCounters
  {
    int opens;
    int closes;
    int closesWithoutStorage;
  } FakeUnitCounters;

  /* Process-wide counters of the module, shared by all entries. */
  FakeUnitCounters* FakeUnit_Counters(void);

  ComponentResult FakeUnit_Entry(ComponentParameters* params, void* storage);
  ComponentResult FakeUnit_ViewEntry(ComponentParameters* params, void* storage);
  /* Refuses to open with kAudioUnitErr_FailedInitialization. */
  ComponentResult FakeUnitFailingOpen_Entry(ComponentParameters* params, void* storage);

#ifdef __cplusplus
}
#endif

#endif
