#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "midi/CTarnSysExBuilder.h"
#include "midi/port/CHfcMidiSegmentParser.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Recorder : CHfcMidiSegmentSink {
    std::vector<Bytes> shorts;
    std::vector<Bytes> sysex;
    std::vector<size_t> progress;
    // Order of events: 's' short, 'p' progress, 'x' complete SysEx.
    std::string order;
    bool receiving = false;

    void OnSegmentShortMessage(const uint8_t* b, size_t n) override {
        shorts.emplace_back(b, b + n);
        order += 's';
    }
    void OnSegmentSysExProgress(const uint8_t*, size_t count) override {
        progress.push_back(count);
        order += 'p';
    }
    void OnSegmentSysExComplete(const uint8_t* b, size_t n) override {
        sysex.emplace_back(b, b + n);
        order += 'x';
    }
    void OnSegmentReceivingChanged(bool r) override { receiving = r; }
};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

void Feed(CHfcMidiSegmentParser& parser, const Bytes& stream, size_t segment) {
    for (size_t pos = 0; pos < stream.size(); pos += segment) {
        parser.Parse(stream.data() + pos, std::min(segment, stream.size() - pos));
    }
}

TEST(SegmentParser, LargeSysExOverManySegmentsWithClocks) {
    Bytes data(100000);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>((i * 7) & 0xff);
    }
    Bytes dump = CTarnSysExBuilder::SampleDataDump(data);
    // Timing clocks sprinkled through the message, every 1000 bytes.
    Bytes stream;
    for (size_t i = 0; i < dump.size(); ++i) {
        if (i % 1000 == 500) {
            stream.push_back(0xf8);
        }
        stream.push_back(dump[i]);
    }
    Recorder r;
    CHfcMidiSegmentParser parser(r);
    Feed(parser, stream, 2048);
    ASSERT_EQ(r.sysex.size(), 1u);
    EXPECT_EQ(r.sysex[0], dump);
    size_t clocks = (dump.size() + 499) / 1000;
    EXPECT_EQ(r.shorts.size(), clocks);
    for (const Bytes& s : r.shorts) {
        EXPECT_EQ(s, Bytes{0xf8});
    }
    // One progress call per segment, the last one just before the complete message.
    size_t segments = (stream.size() + 2047) / 2048;
    EXPECT_EQ(r.progress.size(), segments);
    EXPECT_EQ(r.order.back(), 'x');
    EXPECT_EQ(r.order[r.order.size() - 2], 'p');
    EXPECT_EQ(r.progress.front(), 2048u);
    EXPECT_EQ(r.progress.back(), stream.size() - (segments - 1) * 2048);
    EXPECT_FALSE(r.receiving);
}

// The sequencer hands a dump over in 256-byte pieces and real-time bytes (active sensing every
// 300 ms, clocks, start/stop) as pieces of their own between them; none of them ends the dump.
TEST(SegmentParser, RealTimeBytesBetweenSysExPiecesPassThroughAndTheDumpCompletes) {
    Bytes data(20000);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 13);
    }
    const Bytes dump = CTarnSysExBuilder::SampleDataDump(data);
    const Bytes realTime = {0xf8, 0xf9, 0xfa, 0xfb, 0xfc, 0xfd, 0xfe, 0xff};
    Recorder r;
    CHfcMidiSegmentParser parser(r);
    Bytes delivered;
    size_t next = 0;
    for (size_t pos = 0; pos < dump.size(); pos += 256) {
        parser.Parse(dump.data() + pos, std::min<size_t>(256, dump.size() - pos));
        const uint8_t byte = realTime[next++ % realTime.size()];
        delivered.push_back(byte);
        parser.Parse(&byte, 1);
    }
    ASSERT_EQ(r.sysex.size(), 1u);
    EXPECT_EQ(r.sysex[0], dump);
    // The last real-time byte came after the F7, the rest inside the message.
    ASSERT_EQ(r.shorts.size(), delivered.size());
    for (size_t i = 0; i < delivered.size(); ++i) {
        EXPECT_EQ(r.shorts[i], Bytes{delivered[i]}) << i;
    }
    // Mixed into one segment as a UART interface delivers them.
    Bytes stream = dump;
    stream.insert(stream.begin() + 3, 0xfe);
    stream.insert(stream.begin() + 1000, 0xfe);
    Recorder mixed;
    CHfcMidiSegmentParser second(mixed);
    Feed(second, stream, 2048);
    ASSERT_EQ(mixed.sysex.size(), 1u);
    EXPECT_EQ(mixed.sysex[0], dump);
    EXPECT_EQ(mixed.shorts, (std::vector<Bytes>{{0xfe}, {0xfe}}));
}

TEST(SegmentParser, EndOfOneMessageAndStartOfTheNextInOneSegment) {
    Bytes first = CTarnSysExBuilder::GlobalDataDumpRequest();
    Bytes second = CTarnSysExBuilder::ProgramMemoryDumpRequest(3);
    Recorder r;
    CHfcMidiSegmentParser parser(r);
    parser.Parse(first.data(), 5);
    Bytes middle(first.begin() + 5, first.end());
    middle.insert(middle.end(), second.begin(), second.begin() + 4);
    parser.Parse(middle.data(), middle.size());
    ASSERT_EQ(r.sysex.size(), 1u);
    EXPECT_EQ(r.sysex[0], first);
    EXPECT_TRUE(parser.InSysEx());
    EXPECT_TRUE(r.receiving);
    // Progress: 5 bytes, then the 3 bytes that ended the first, then the 4 of the second.
    EXPECT_EQ(r.progress, (std::vector<size_t>{5, 3, 4}));
    parser.Parse(second.data() + 4, second.size() - 4);
    ASSERT_EQ(r.sysex.size(), 2u);
    EXPECT_EQ(r.sysex[1], second);
}

TEST(SegmentParser, StrayStatusAbandonsTheMessageAndIsDelivered) {
    Bytes stream = Concat({{0xf0, 0x42, 0x30, 0x11, 0x22},
                           {0x90, 0x3c, 0x40},
                           {0x33, 0xf7},
                           CTarnSysExBuilder::SampleDataRequest()});
    for (size_t segment : {size_t(5), stream.size()}) {
        Recorder r;
        CHfcMidiSegmentParser parser(r);
        Feed(parser, stream, segment);
        // The note on arrives; the F7 that ended the broken message is a lone byte that swallows
        // nothing, so the next request arrives intact.
        ASSERT_GE(r.shorts.size(), 1u) << segment;
        EXPECT_EQ(r.shorts[0], (Bytes{0x90, 0x3c, 0x40})) << segment;
        ASSERT_EQ(r.sysex.size(), 1u) << segment;
        EXPECT_EQ(r.sysex[0], CTarnSysExBuilder::SampleDataRequest()) << segment;
    }
}

TEST(SegmentParser, F0RestartsAnUnfinishedMessage) {
    Bytes stream = Concat({{0xf0, 0x42, 0x01, 0x02}, CTarnSysExBuilder::GlobalDataDumpRequest()});
    Recorder r;
    CHfcMidiSegmentParser parser(r);
    Feed(parser, stream, 3);
    ASSERT_EQ(r.sysex.size(), 1u);
    EXPECT_EQ(r.sysex[0], CTarnSysExBuilder::GlobalDataDumpRequest());
}

TEST(SegmentParser, ShortMessagesOutsideSysEx) {
    Bytes stream = {0x12, 0x34,       // stray data bytes: skipped
                    0xc5, 0x10,       // program change
                    0xb0, 0x07,       // control change cut short by ...
                    0xe1, 0x00, 0x40, // ... a pitch bend
                    0xf8, 0xfe,       // real-time bytes
                    0xf2, 0x01, 0x02, // song position
                    0xf6, 0xf1, 0x05, 0xf3, 0x01,
                    0xf4, 0xf5, 0xf7, 0x90, 0x3c}; // cut by the end of the segment
    Recorder r;
    CHfcMidiSegmentParser parser(r);
    parser.Parse(stream.data(), stream.size());
    std::vector<Bytes> expected = {
        {0xc5, 0x10}, {0xe1, 0x00, 0x40}, {0xf8},       {0xfe}, {0xf2, 0x01, 0x02},
        {0xf6},       {0xf1, 0x05},       {0xf3, 0x01}, {0xf4}, {0xf5},
        {0xf7}};
    EXPECT_EQ(r.shorts, expected);
    EXPECT_TRUE(r.sysex.empty());
    EXPECT_TRUE(r.progress.empty());
}

TEST(SegmentParser, EndlessSysExIsCappedAndParsingRecovers) {
    Recorder r;
    CHfcMidiSegmentParser parser(r);
    Bytes start = {0xf0};
    parser.Parse(start.data(), start.size());
    Bytes chunk(1 << 20, 0x55);
    for (size_t i = 0; i <= CSysExBuffer::kMaxLength / chunk.size(); ++i) {
        parser.Parse(chunk.data(), chunk.size());
    }
    EXPECT_FALSE(parser.InSysEx());
    EXPECT_FALSE(r.receiving);
    Bytes tail = Concat({{0x55, 0xf7}, CTarnSysExBuilder::SampleDataRequest()});
    parser.Parse(tail.data(), tail.size());
    ASSERT_EQ(r.sysex.size(), 1u);
    EXPECT_EQ(r.sysex[0], CTarnSysExBuilder::SampleDataRequest());
}

} // namespace
