#include <gtest/gtest.h>

#include <string>

#include "midi/port/CHfcMidiMessage.h"
#include "midi/port/ReceivedMidiBuffer.h"

namespace {

TEST(HfcMidiMessage, ChannelMessagesAndQueries) {
    CHfcMidiMessage noteOn(0x93, 0x3c, 0x40);
    EXPECT_TRUE(noteOn.IsNoteOn());
    EXPECT_TRUE(noteOn.IsNote());
    EXPECT_FALSE(noteOn.IsNoteOff());
    EXPECT_EQ(noteOn.Channel(), 3);
    noteOn.SetChannel(0x1e);
    EXPECT_EQ(noteOn.Status(), 0x9e);
    EXPECT_EQ(noteOn.FirstData(), 0x3c);
    EXPECT_EQ(noteOn.SecondData(), 0x40);

    CHfcMidiMessage program(0xc2, 0x05);
    EXPECT_TRUE(program.IsProgramChange());
    EXPECT_EQ(program.SecondData(), 0);
    EXPECT_TRUE(CHfcMidiMessage(0xb0, 7, 100).IsControlChange());
    EXPECT_TRUE(CHfcMidiMessage(0xe0, 0, 0x40).IsPitchBend());
    EXPECT_TRUE(CHfcMidiMessage(0x80, 0x3c, 0).IsNoteOff());

    CHfcMidiMessage clock(0xf8);
    EXPECT_TRUE(clock.IsClock());
    EXPECT_EQ(clock.Channel(), -1);
    clock.SetChannel(3);
    EXPECT_EQ(clock.Status(), 0xf8);

    const uint8_t sysex[] = {0xf0, 0x7e, 0x7f, 0x06, 0x01, 0xf7};
    CHfcMidiMessage message(sysex, sizeof sysex);
    EXPECT_TRUE(message.IsSysEx());
    EXPECT_EQ(message.Length(), sizeof sysex);
    EXPECT_FALSE(message.IsMetaEvent());

    CHfcMidiMessage empty;
    EXPECT_EQ(empty.Status(), 0);
    EXPECT_EQ(empty.Channel(), -1);
    EXPECT_EQ(CHfcMidiMessage(nullptr, 5).Length(), 0u);
}

TEST(HfcMidiMessage, MetaEvents) {
    const std::string text = "Loop A";
    CHfcMidiMessage meta =
        CHfcMidiMessage::Meta(0x83, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    EXPECT_TRUE(meta.IsMetaEvent());
    EXPECT_EQ(meta.MetaType(), 0x03);
    EXPECT_EQ(meta.MetaLength(), text.size());
    EXPECT_EQ(meta.MetaText(), text);

    std::string longText(300, 'x');
    CHfcMidiMessage capped =
        CHfcMidiMessage::Meta(1, reinterpret_cast<const uint8_t*>(longText.data()), 300);
    EXPECT_EQ(capped.MetaLength(), 255u);
    EXPECT_EQ(capped.Length(), 258u);

    CHfcMidiMessage bare = CHfcMidiMessage::Meta(0x2f, nullptr, 0);
    EXPECT_TRUE(bare.IsMetaEvent());
    EXPECT_EQ(bare.MetaData(), nullptr);
    EXPECT_EQ(bare.MetaText(), "");
    // A declared length beyond the bytes present is not believed.
    const uint8_t lying[] = {0xff, 0x01, 0x20, 'a'};
    EXPECT_EQ(CHfcMidiMessage(lying, sizeof lying).MetaLength(), 1u);
}

TEST(ReceivedMidiBuffer, FirstInFirstOutWithDeepCopies) {
    midi::ReceivedMidiBuffer queue;
    EXPECT_FALSE(queue.Pop().IsReceived());
    uint8_t bytes[] = {0xf0, 0x42, 0xf7};
    queue.Push(bytes, sizeof bytes);
    bytes[1] = 0x43;
    queue.Push(bytes, sizeof bytes, 4);
    queue.Push(nullptr, 0);
    bytes[1] = 0x00;
    EXPECT_EQ(queue.Count(), 3u);

    midi::ReceivedMidiBufferItem first = queue.Pop();
    EXPECT_TRUE(first.IsReceived());
    EXPECT_EQ(first.Length(), 3u);
    EXPECT_EQ(first.bytes[1], 0x42);
    EXPECT_EQ(first.kind, -1);
    midi::ReceivedMidiBufferItem second = queue.Pop();
    EXPECT_EQ(second.bytes[1], 0x43);
    EXPECT_EQ(second.kind, 4);
    EXPECT_FALSE(queue.Pop().IsReceived());
    EXPECT_EQ(queue.Count(), 0u);

    queue.Push(second);
    queue.Push(second);
    queue.Clear();
    EXPECT_EQ(queue.Count(), 0u);
}

} // namespace
