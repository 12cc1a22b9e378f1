#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <random>
#include <vector>

#include "midi/CTarnSysExBuilder.h"
#include "midi/CTarnSysExPacking.h"
#include "midi/CTarnSysExParser.h"
#include "sim/CTarnSimOutput.h"
#include "sim/CTarnVirtualInstrument.h"
#include "sim/SimPacking.h"

namespace {

// Collects the instrument's output and cuts it into messages (F0..F7), dropping F8 clocks.
class Capture : public CTarnSimOutput {
public:
    void OnSimOutput(const uint8_t* bytes, size_t length) override {
        std::lock_guard<std::mutex> lock(mutex_);
        stream_.insert(stream_.end(), bytes, bytes + length);
    }
    std::vector<uint8_t> Stream() {
        std::lock_guard<std::mutex> lock(mutex_);
        return stream_;
    }
    std::vector<std::vector<uint8_t>> SysEx() {
        std::vector<std::vector<uint8_t>> messages;
        for (uint8_t b : Stream()) {
            if (b == 0xF8) {
                continue;
            }
            if (b == 0xF0) {
                messages.emplace_back();
            }
            if (!messages.empty()) {
                messages.back().push_back(b);
            }
        }
        return messages;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        stream_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<uint8_t> stream_;
};

void Send(CTarnVirtualInstrument& instrument, std::vector<uint8_t> message, int channel = 0) {
    CTarnSysExBuilder::PatchChannel(message, channel);
    instrument.Input(message.data(), message.size());
    ASSERT_TRUE(instrument.WaitIdle(std::chrono::seconds(5)));
}

const std::vector<uint8_t> kCompleted = {0xF0, 0x42, 0x30, 0x00, 0x01, 0x1B, 0x21, 0xF7};
const std::vector<uint8_t> kError = {0xF0, 0x42, 0x30, 0x00, 0x01, 0x1B, 0x22, 0xF7};

} // namespace

TEST(SimPacking, AgreesWithTheEditorsCodec) {
    std::mt19937 random(1);
    for (size_t n : {0u, 1u, 6u, 7u, 8u, 16u, 30u, 256u, 1000u}) {
        std::vector<uint8_t> data(n);
        for (uint8_t& b : data) {
            b = static_cast<uint8_t>(random());
        }
        const std::vector<uint8_t> ours = sim::Pack(data.data(), n);
        std::vector<uint8_t> theirs(CTarnSysExPacking::PackedSize(n));
        CTarnSysExPacking::Pack(theirs.data(), data.data(), n);
        EXPECT_EQ(ours, theirs) << n;
        std::vector<uint8_t> back(n);
        ASSERT_TRUE(sim::Unpack(ours.data(), ours.size(), back.data(), n));
        EXPECT_EQ(back, data);
        EXPECT_FALSE(n > 0 && sim::Unpack(ours.data(), ours.size() - 1, back.data(), n));
    }
    const uint8_t high[7] = {0x80, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(sim::Pack(high, 7), (std::vector<uint8_t>{0x01, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(VirtualInstrument, AnswersOnItsChannelWithItsDeviceId) {
    Capture capture;
    CTarnVirtualInstrument instrument(capture, 5);
    Send(instrument, CTarnSysExBuilder::DeviceInquiry());
    ASSERT_EQ(capture.SysEx().size(), 1u);
    EXPECT_EQ(capture.SysEx()[0],
              (std::vector<uint8_t>{0xF0, 0x7E, 0x05, 0x06, 0x02, 0x42, 0x1B, 0x01, 0x00, 0x00,
                                    0x01, 0x00, 0x02, 0x00, 0xF7}));
    capture.Clear();
    Send(instrument, CTarnSysExBuilder::GlobalDataDumpRequest(), 0); // channel 0: not for it
    EXPECT_TRUE(capture.Stream().empty());
    Send(instrument, CTarnSysExBuilder::GlobalDataDumpRequest(), 5);
    ASSERT_EQ(capture.SysEx().size(), 1u);
    EXPECT_EQ(capture.SysEx()[0].size(), 301u);
    EXPECT_EQ(capture.SysEx()[0][2], 0x35);
    EXPECT_EQ(CTarnSysExParser::Parse(capture.SysEx()[0]), CTarnSysExParser::kGlobalDataDump);
}

TEST(VirtualInstrument, StoresDumpsAndRefusesWhatDoesNotFit) {
    Capture capture;
    CTarnVirtualInstrument instrument(capture);
    std::vector<uint8_t> image(30, 0xA5);
    Send(instrument, CTarnSysExBuilder::ProgramMemoryDump(6, image));
    EXPECT_EQ(capture.SysEx().back(), kCompleted);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), instrument.Memory().programs[6].begin()));

    // A header for 2 blocks of data, then data of the wrong size: refused, nothing stored.
    uint8_t header[16] = {0, 0, 0, 0, 0x00, 0x00, 0x04, 0x00};
    Send(instrument, CTarnSysExBuilder::SampleHeaderDump(1, header));
    EXPECT_EQ(capture.SysEx().back()[6], 0x27);
    Send(instrument, CTarnSysExBuilder::SampleDataDump(std::vector<uint8_t>(12, 1)));
    EXPECT_EQ(capture.SysEx().back(), kError);
    EXPECT_TRUE(instrument.Memory().banks[1].data.empty());

    // An unterminated dump is dropped when the next message starts.
    Send(instrument, CTarnSysExBuilder::SampleHeaderDump(1, header));
    std::vector<uint8_t> dump = CTarnSysExBuilder::SampleDataDump(std::vector<uint8_t>(8, 2));
    instrument.Input(dump.data(), dump.size() - 4);
    Send(instrument, dump);
    EXPECT_EQ(capture.SysEx().back(), kCompleted);
    EXPECT_EQ(instrument.Memory().banks[1].data, std::vector<uint8_t>(8, 2));
    EXPECT_TRUE(std::equal(header, header + 16, instrument.Memory().banks[1].header.begin()));

    // Sample data without a header before it is refused.
    Send(instrument, dump);
    EXPECT_EQ(capture.SysEx().back(), kError);
}

TEST(VirtualInstrument, FaultsFireOnceAndShapeTheSampleData) {
    Capture capture;
    CTarnVirtualInstrument instrument(capture);
    CTarnSimMemory memory;
    memory.banks[0].header[6] = 0x0C; // 3 blocks + 1: 16 bytes
    memory.banks[0].data.assign(16, 0x7E);
    instrument.SetMemory(memory);
    Send(instrument, CTarnSysExBuilder::SampleHeaderDumpRequest(0));
    const size_t full = 10 + CTarnSysExPacking::PackedSize(16);

    instrument.ArmFault({CTarnSimFault::kSampleDataShort, CTarnSimStage::kSampleDataRequest, 0});
    capture.Clear();
    Send(instrument, CTarnSysExBuilder::SampleDataRequest());
    EXPECT_EQ(capture.SysEx().back().size(), full - 7);
    EXPECT_EQ(capture.SysEx().back().back(), 0xF7);

    instrument.ArmFault({CTarnSimFault::kSampleDataHalfway, CTarnSimStage::kSampleDataRequest, 1});
    capture.Clear();
    Send(instrument, CTarnSysExBuilder::SampleDataRequest()); // skipped: the whole dump
    EXPECT_EQ(capture.SysEx().back().size(), full);
    capture.Clear();
    Send(instrument, CTarnSysExBuilder::SampleDataRequest());
    EXPECT_EQ(capture.Stream().size(), (full - 1) / 2);
    EXPECT_NE(capture.Stream().back(), 0xF7);
    EXPECT_FALSE(instrument.FaultArmed());

    instrument.ArmFault({CTarnSimFault::kBusyRecording, CTarnSimStage::kAnyDump, 0});
    capture.Clear();
    Send(instrument, CTarnSysExBuilder::GlobalDataDumpRequest()); // a request: not this fault
    EXPECT_EQ(capture.SysEx().back().size(), 301u);
    Send(instrument, CTarnSysExBuilder::GlobalDataDump(std::vector<uint8_t>(256, 9)));
    EXPECT_EQ(capture.SysEx().back()[6], 0x29);
    EXPECT_EQ(instrument.Memory().global, memory.global);
}

TEST(VirtualInstrument, NoiseSurroundsAnswersAndTheWireRateHolds) {
    Capture capture;
    CTarnVirtualInstrument instrument(capture);
    instrument.SetInterleaveNoise(true);
    Send(instrument, CTarnSysExBuilder::GlobalDataDumpRequest());
    const std::vector<uint8_t> stream = capture.Stream();
    EXPECT_EQ(stream.front(), 0x90);
    EXPECT_GE(std::count(stream.begin(), stream.end(), 0xF8), 3);
    const auto messages = capture.SysEx();
    EXPECT_EQ(CTarnSysExParser::Parse(messages.back()), CTarnSysExParser::kGlobalDataDump);
    EXPECT_EQ(CTarnSysExParser::Parse(messages[messages.size() - 2]),
              CTarnSysExParser::kFunction01);

    instrument.SetInterleaveNoise(false);
    instrument.SetByteRate(CTarnVirtualInstrument::kDinMidiByteRate);
    capture.Clear();
    const auto start = std::chrono::steady_clock::now();
    Send(instrument, CTarnSysExBuilder::GlobalDataDumpRequest());
    // 8 bytes in and 301 out at 3125 bytes/s take about 99 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
    EXPECT_EQ(capture.Stream().size(), 301u);
}
