// Musical time for the LV2 edition: the tempo port and the host's time
// positions, read at the start of each run.

#include "IPlug/IPlugLV2.h"

#include <lv2/atom/util.h>
#include <lv2/time/time.h>

#include <cmath>

namespace
{
// A number atom of any of the usual types as a double; false for anything else.
bool AtomNumber(const LV2_Atom* atom, LV2_URID floatType, LV2_URID doubleType, LV2_URID intType,
                LV2_URID longType, double* value)
{
  if (!atom) return false;
  if (atom->type == floatType && atom->size >= sizeof(float))
    *value = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
  else if (atom->type == doubleType && atom->size >= sizeof(double))
    *value = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
  else if (atom->type == intType && atom->size >= sizeof(int32_t))
    *value = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
  else if (atom->type == longType && atom->size >= sizeof(int64_t))
    *value = static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
  else
    return false;
  return std::isfinite(*value);
}
} // namespace

void IPlugLV2::MapURIs(LV2_URID_Map* map, const char* pluginURI)
{
  auto id = [map](const char* uri) { return map->map(map->handle, uri); };
  mURIDs.atomChunk = id(LV2_ATOM__Chunk);
  mURIDs.atomBlank = id(LV2_ATOM__Blank);
  mURIDs.atomObject = id(LV2_ATOM__Object);
  mURIDs.atomFloat = id(LV2_ATOM__Float);
  mURIDs.atomDouble = id(LV2_ATOM__Double);
  mURIDs.atomInt = id(LV2_ATOM__Int);
  mURIDs.atomLong = id(LV2_ATOM__Long);
  mURIDs.timePosition = id(LV2_TIME__Position);
  mURIDs.timeBPM = id(LV2_TIME__beatsPerMinute);
  mURIDs.timeFrame = id(LV2_TIME__frame);
  mURIDs.timeSpeed = id(LV2_TIME__speed);
  mURIDs.timeBarBeat = id(LV2_TIME__barBeat);
  mURIDs.timeBar = id(LV2_TIME__bar);
  mURIDs.timeBeatsPerBar = id(LV2_TIME__beatsPerBar);
  mURIDs.timeBeatUnit = id(LV2_TIME__beatUnit);
  mURIDs.stateKey = id(LV2StateKeyURI(pluginURI).c_str());
  mHaveMap = true;
}

// The tempo and position take effect for the whole run: the effect reads the
// tempo once per block.
void IPlugLV2::ReadTimeEvents()
{
  if (!mTimePort || !mHaveMap) return;
  const uint32_t size = mTimePort->atom.size;
  if (size < sizeof(LV2_Atom_Sequence_Body)) return;
  LV2_ATOM_SEQUENCE_FOREACH(mTimePort, event)
  {
    const LV2_Atom& body = event->body;
    if (body.type != mURIDs.atomObject && body.type != mURIDs.atomBlank) continue;
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&body);
    if (object->body.otype == mURIDs.timePosition) ReadPosition(object);
  }
}

void IPlugLV2::ReadPosition(const LV2_Atom_Object* position)
{
  const LV2_Atom *bpm = nullptr, *frame = nullptr, *speed = nullptr, *barBeat = nullptr,
                 *bar = nullptr, *beatsPerBar = nullptr, *beatUnit = nullptr;
  lv2_atom_object_get(position, mURIDs.timeBPM, &bpm, mURIDs.timeFrame, &frame, mURIDs.timeSpeed,
                      &speed, mURIDs.timeBarBeat, &barBeat, mURIDs.timeBar, &bar,
                      mURIDs.timeBeatsPerBar, &beatsPerBar, mURIDs.timeBeatUnit, &beatUnit, 0);
  const URIDs& u = mURIDs;
  double value = 0.0;
  auto number = [&u, &value](const LV2_Atom* atom)
  { return AtomNumber(atom, u.atomFloat, u.atomDouble, u.atomInt, u.atomLong, &value); };
  if (number(bpm) && value > 0.0) mPositionTempo = value;
  if (number(frame)) mSamplePos = static_cast<long long>(value);
  if (number(speed)) mSpeed = value;
  if (number(barBeat)) mBarBeat = value;
  if (number(bar)) mBar = value;
  if (number(beatsPerBar) && value >= 1.0 && value <= 64.0) mBeatsPerBar = static_cast<int>(value);
  if (number(beatUnit) && value >= 1.0 && value <= 64.0) mBeatUnit = static_cast<int>(value);
}

double IPlugLV2::GetTempo()
{
  if (mPositionTempo > 0.0) return mPositionTempo;
  if (mTempoPort && std::isfinite(*mTempoPort) && *mTempoPort > 0.0f) return *mTempoPort;
  return kLV2TempoDefault;
}

int IPlugLV2::GetSamplePos()
{
  return static_cast<int>(mSamplePos);
}

void IPlugLV2::GetTimeSig(int* numerator, int* denominator)
{
  *numerator = mBeatsPerBar;
  *denominator = mBeatUnit;
}

void IPlugLV2::GetTime(ITimeInfo* timeInfo)
{
  timeInfo->mTempo = GetTempo();
  timeInfo->mSamplePos = static_cast<double>(mSamplePos);
  timeInfo->mPPQPos = mBar * mBeatsPerBar + mBarBeat;
  timeInfo->mLastBar = mBar * mBeatsPerBar;
  timeInfo->mNumerator = mBeatsPerBar;
  timeInfo->mDenominator = mBeatUnit;
  timeInfo->mTransportIsRunning = mSpeed != 0.0;
}
