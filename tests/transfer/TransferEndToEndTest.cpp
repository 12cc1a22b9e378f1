#include <gtest/gtest.h>

#include <set>

#include "TransferFixture.h"
#include "data/CTarnMidiException.h"
#include "sim/CTarnSimMemoryIo.h"

namespace {

CTarnSimMemory MemoryOf(uint32_t seed) {
    CTarnAllData all;
    FillAllData(all, seed);
    return CTarnSimMemoryIo::FromAllData(all);
}

} // namespace

TEST_F(TransferTest, ReceiveAllIsByteExactAgainstTheInstrument) {
    const CTarnSimMemory memory = MemoryOf(7);
    Instrument().SetMemory(memory);
    Instrument().SetDeviceId(5);
    CTarnAllData all;
    all.Reset();
    ASSERT_TRUE(manager_->ReceiveAllData(&all));
    EXPECT_EQ(CTarnSimMemoryIo::FromAllData(all), memory);
    EXPECT_EQ(manager_->GetChannel(), 5);
    EXPECT_FALSE(manager_->IsMidiInOpen());
    EXPECT_FALSE(manager_->IsMidiOutOpen());
    EXPECT_EQ(progress_.open, 0);
    EXPECT_EQ(progress_.lastPosition, CTarnMidiManager::kAllDataSteps);
    EXPECT_TRUE(alerts_.texts.empty()); // the instrument's own driver: no warning
}

TEST_F(TransferTest, TransmitAllIsByteExactAndReadsBackTheSame) {
    CTarnAllData all;
    FillAllData(all, 11);
    progress_.onChange = [](CTarnProgressDialog&) {};
    ASSERT_TRUE(manager_->TransmitAllData(&all));
    Instrument().WaitIdle(std::chrono::seconds(5));
    EXPECT_EQ(Instrument().Memory(), CTarnSimMemoryIo::FromAllData(all));
    EXPECT_EQ(progress_.lastPosition, CTarnMidiManager::kAllDataSteps);
    const std::vector<std::string> expectedTexts = {"Transmitting...",
                                                    "Transmit Loop Recorder Bank A",
                                                    "Transmit Loop Recorder Bank B",
                                                    "Transmit Loop Recorder Bank C",
                                                    "Transmit Loop Recorder Bank D",
                                                    "Transmit Program Memory 1"};
    const auto first =
        std::find(progress_.texts.begin(), progress_.texts.end(), expectedTexts.front());
    ASSERT_GE(progress_.texts.end() - first, static_cast<long>(expectedTexts.size()));
    EXPECT_TRUE(std::equal(expectedTexts.begin(), expectedTexts.end(), first));
    EXPECT_EQ(progress_.texts.back(), "Transmit Global Data");

    CTarnAllData back;
    back.Reset();
    ASSERT_TRUE(manager_->ReceiveAllData(&back));
    EXPECT_EQ(CTarnSimMemoryIo::FromAllData(back), CTarnSimMemoryIo::FromAllData(all));
}

TEST_F(TransferTest, SinglePartsTravelBothWays) {
    CTarnAllData source;
    FillAllData(source, 21);
    ASSERT_TRUE(manager_->TransmitGlobalData(&source.Global()));
    ASSERT_TRUE(manager_->TransmitProgramMemoryData(&source.Programs()));
    ASSERT_TRUE(manager_->TransmitLoopRecorderData(2, source.Bank(2)));
    Instrument().WaitIdle(std::chrono::seconds(5));
    const CTarnSimMemory expected = CTarnSimMemoryIo::FromAllData(source);
    const CTarnSimMemory memory = Instrument().Memory();
    EXPECT_EQ(memory.global, expected.global);
    EXPECT_EQ(memory.programs, expected.programs);
    EXPECT_EQ(memory.banks[2], expected.banks[2]);
    EXPECT_EQ(memory.banks[0], CTarnSimMemoryIo::Defaults().banks[0]);

    CTarnAllData target;
    target.Reset();
    ASSERT_TRUE(manager_->ReceiveGlobalData(&target.Global()));
    ASSERT_TRUE(manager_->ReceiveProgramMemoryData(&target.Programs()));
    ASSERT_TRUE(manager_->ReceiveLoopRecorderData(2, target.Bank(2)));
    const CTarnSimMemory received = CTarnSimMemoryIo::FromAllData(target);
    EXPECT_EQ(received.global, expected.global);
    EXPECT_EQ(received.programs, expected.programs);
    EXPECT_EQ(received.banks[2], expected.banks[2]);
}

TEST_F(TransferTest, EmptyBankSendsOnlyItsHeaderAndCountsAHundredSteps) {
    CTarnAllData all;
    all.Reset();
    FillBank(*all.Bank(0), 5000, 1200, 3, 3);
    Instrument().SetMemory(MemoryOf(5)); // bank B of the instrument is empty, C is not
    CTarnSimMemory before = Instrument().Memory();
    before.banks[2].data.assign(8, 1); // something the empty bank must replace
    Instrument().SetMemory(before);
    ASSERT_TRUE(manager_->TransmitLoopRecorderData(2, all.Bank(2)));
    Instrument().WaitIdle(std::chrono::seconds(5));
    EXPECT_TRUE(Instrument().Memory().banks[2].data.empty());
    EXPECT_EQ(progress_.lastPosition, CTarnMidiManager::kBankSteps);
}

TEST_F(TransferTest, UnrelatedMessagesAndClocksAreIgnored) {
    const CTarnSimMemory memory = MemoryOf(31);
    Instrument().SetMemory(memory);
    Instrument().SetInterleaveNoise(true);
    CTarnAllData all;
    all.Reset();
    ASSERT_TRUE(manager_->ReceiveAllData(&all));
    EXPECT_EQ(CTarnSimMemoryIo::FromAllData(all), memory);
    CTarnAllData other;
    FillAllData(other, 32);
    ASSERT_TRUE(manager_->TransmitAllData(&other));
    Instrument().WaitIdle(std::chrono::seconds(5));
    EXPECT_EQ(Instrument().Memory(), CTarnSimMemoryIo::FromAllData(other));
}

TEST_F(TransferTest, ProgressAdvancesWhileASlowDumpArrives) {
    CTarnSimMemory memory = CTarnSimMemoryIo::Defaults();
    CTarnAllData source;
    source.Reset();
    FillBank(*source.Bank(1), 2000, 1200, 1, 9); // 3000 frames: about 14 kB of SysEx
    memory.banks[1] = CTarnSimMemoryIo::FromAllData(source).banks[1];
    Instrument().SetMemory(memory);
    Instrument().SetByteRate(50000);
    std::set<int> positions;
    progress_.onChange = [&](CTarnProgressDialog& dialog) {
        if (dialog.Title() == "Receive Loop Recorder Data") {
            positions.insert(dialog.Position());
        }
    };
    CTarnSampleData sample;
    ASSERT_TRUE(manager_->ReceiveLoopRecorderData(1, &sample));
    EXPECT_GE(positions.size(), 10u);
    EXPECT_LE(*positions.rbegin(), CTarnMidiManager::kBankSteps);
    uint8_t header[16];
    sample.GetNativeHeader(header);
    EXPECT_TRUE(std::equal(header, header + 16, memory.banks[1].header.begin()));
}
