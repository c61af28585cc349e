#include "IPlug/IPlugStructs.h"

#include <gtest/gtest.h>

TEST(MidiMsg, NotesAndTheirDecoders)
{
  IMidiMsg msg;
  EXPECT_EQ(msg.mOffset, 0);
  EXPECT_EQ(msg.mStatus, 0);
  msg.MakeNoteOnMsg(60, 100, 12, 3);
  EXPECT_EQ(msg.mStatus, 0x93);
  EXPECT_EQ(msg.mOffset, 12);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(msg.Channel(), 3);
  EXPECT_EQ(msg.NoteNumber(), 60);
  EXPECT_EQ(msg.Velocity(), 100);
  EXPECT_EQ(msg.Program(), -1);
  EXPECT_EQ(msg.PitchWheel(), 0.0);

  msg.MakeNoteOffMsg(61, 5);
  EXPECT_EQ(msg.mStatus, 0x80);
  EXPECT_EQ(msg.mData2, 0);
  EXPECT_EQ(msg.Velocity(), 0);

  IMidiMsg touch(0, 0xA2, 64, 90);
  EXPECT_EQ(touch.NoteNumber(), 64);
  EXPECT_EQ(touch.Velocity(), -1);
  IMidiMsg program(0, 0xC0, 17, 0);
  EXPECT_EQ(program.Program(), 17);
  EXPECT_EQ(program.ControlChangeIdx(), 17);

  msg.Clear();
  EXPECT_EQ(msg.mData1, 0);
  EXPECT_EQ(msg.mOffset, 0);
}

TEST(MidiMsg, PitchWheelBytesAndValue)
{
  IMidiMsg msg;
  msg.MakePitchWheelMsg(0.0);
  EXPECT_EQ(msg.mStatus, 0xE0);
  EXPECT_EQ(msg.mData1, 0x00);
  EXPECT_EQ(msg.mData2, 0x40);
  EXPECT_EQ(msg.PitchWheel(), 0.0);

  msg.MakePitchWheelMsg(1.0);
  EXPECT_EQ(msg.mData1, 0x7F);
  EXPECT_EQ(msg.mData2, 0x7F);
  EXPECT_EQ(msg.PitchWheel(), 8191.0 / 8192.0);

  msg.MakePitchWheelMsg(-1.0, 3);
  EXPECT_EQ(msg.mStatus, 0xE3);
  EXPECT_EQ(msg.mData1, 0);
  EXPECT_EQ(msg.mData2, 0);
  EXPECT_EQ(msg.PitchWheel(), -1.0);

  msg.MakePitchWheelMsg(0.5);
  EXPECT_EQ(msg.mData2 * 128 + msg.mData1, 12288);
  msg.MakePitchWheelMsg(1e12); // far out of range clamps
  EXPECT_EQ(msg.mData2 * 128 + msg.mData1, 16383);
}

TEST(MidiMsg, ControlChange)
{
  IMidiMsg msg;
  msg.MakeControlChangeMsg(IMidiMsg::kChannelVolume, 0.5);
  EXPECT_EQ(msg.mStatus, 0xB0);
  EXPECT_EQ(msg.mData1, 7);
  EXPECT_EQ(msg.mData2, 63);
  EXPECT_EQ(msg.ControlChange(IMidiMsg::kChannelVolume), 63.0 / 127.0);
  EXPECT_EQ(msg.ControlChange(IMidiMsg::kPan), -1.0);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, 3.0); // data bytes stay within 0 to 127
  EXPECT_EQ(msg.mData2, 127);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, -1.0);
  EXPECT_EQ(msg.mData2, 0);
}

TEST(MidiMsg, SystemMessagesAndNames)
{
  IMidiMsg clock(0, 0xF8, 0, 0);
  EXPECT_EQ(clock.StatusMsg(), IMidiMsg::kNone);
  EXPECT_STREQ(IMidiMsg::StatusMsgStr(clock.StatusMsg()), "none");
  EXPECT_EQ(clock.NoteNumber(), -1);
  IMidiMsg running(0, 0x45, 0, 0); // a data byte, not a status
  EXPECT_EQ(running.StatusMsg(), IMidiMsg::kNone);

  EXPECT_STREQ(IMidiMsg::StatusMsgStr(IMidiMsg::kNoteOff), "noteoff");
  EXPECT_STREQ(IMidiMsg::StatusMsgStr(IMidiMsg::kNoteOn), "noteon");
  EXPECT_STREQ(IMidiMsg::StatusMsgStr(IMidiMsg::kPolyAftertouch), "aftertouch");
  EXPECT_STREQ(IMidiMsg::StatusMsgStr(IMidiMsg::kControlChange), "controlchange");
  EXPECT_STREQ(IMidiMsg::StatusMsgStr(IMidiMsg::kProgramChange), "programchange");
  EXPECT_STREQ(IMidiMsg::StatusMsgStr(IMidiMsg::kChannelAftertouch), "channelaftertouch");
  EXPECT_STREQ(IMidiMsg::StatusMsgStr(IMidiMsg::kPitchWheel), "pitchwheel");
  EXPECT_STREQ(IMidiMsg::StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(15)), "unknown");
}
