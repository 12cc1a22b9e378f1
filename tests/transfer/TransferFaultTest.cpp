#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "TransferFixture.h"
#include "data/CTarnMidiException.h"
#include "sim/CTarnSimMemoryIo.h"

namespace {

enum class Operation {
    kReceiveAll,
    kReceiveGlobal,
    kReceiveBankC,
    kTransmitAll,
    kTransmitPrograms
};

struct FaultCase {
    const char* name;
    CTarnSimFault fault;
    CTarnSimStage stage;
    int skip;
    Operation operation;
    int code;
};

const FaultCase kCases[] = {
    {"BusyUsbToInquiry", CTarnSimFault::kBusyUsb, CTarnSimStage::kInquiry, 0,
     Operation::kReceiveAll, CTarnMidiException::kCannotCommunicate},
    {"BusyRecordingToInquiry", CTarnSimFault::kBusyRecording, CTarnSimStage::kInquiry, 0,
     Operation::kTransmitAll, CTarnMidiException::kCannotCommunicate},
    {"SilentInquiry", CTarnSimFault::kNoReply, CTarnSimStage::kInquiry, 0, Operation::kTransmitAll,
     CTarnMidiException::kTimeout},
    {"Member1", CTarnSimFault::kIdentityMember1, CTarnSimStage::kInquiry, 0,
     Operation::kReceiveGlobal, CTarnMidiException::kWrongDevice},
    {"OtherFamily", CTarnSimFault::kIdentityForeign, CTarnSimStage::kInquiry, 0,
     Operation::kReceiveAll, CTarnMidiException::kWrongDevice},
    {"BusyUsbToGlobalRequest", CTarnSimFault::kBusyUsb, CTarnSimStage::kGlobalRequest, 0,
     Operation::kReceiveGlobal, CTarnMidiException::kDeviceBusy},
    {"SilentAtProgramMemory5", CTarnSimFault::kNoReply, CTarnSimStage::kProgramRequest, 4,
     Operation::kReceiveAll, CTarnMidiException::kTimeout},
    {"RecordingAtProgramMemory3", CTarnSimFault::kBusyRecording, CTarnSimStage::kProgramDump, 2,
     Operation::kTransmitPrograms, CTarnMidiException::kDeviceRecording},
    {"ErrorToGlobalDump", CTarnSimFault::kErrorReply, CTarnSimStage::kGlobalDump, 0,
     Operation::kTransmitAll, CTarnMidiException::kDeviceError},
    {"BusyToSampleHeader", CTarnSimFault::kBusyUsb, CTarnSimStage::kHeaderDump, 1,
     Operation::kTransmitAll, CTarnMidiException::kDeviceBusy},
    {"ErrorToSampleData", CTarnSimFault::kErrorReply, CTarnSimStage::kSampleDataDump, 0,
     Operation::kTransmitAll, CTarnMidiException::kDeviceError},
    {"SampleDataShort", CTarnSimFault::kSampleDataShort, CTarnSimStage::kSampleDataRequest, 0,
     Operation::kReceiveBankC, CTarnMidiException::kIncomplete},
    {"SampleDataStopsHalfway", CTarnSimFault::kSampleDataHalfway, CTarnSimStage::kSampleDataRequest,
     1, Operation::kReceiveAll, CTarnMidiException::kTimeout},
    // The dump window ignores everything but the sample data, an error reply included.
    {"ErrorInsteadOfSampleData", CTarnSimFault::kErrorReply, CTarnSimStage::kSampleDataRequest, 0,
     Operation::kReceiveBankC, CTarnMidiException::kTimeout},
};

class TransferFaultTest : public TransferTest, public ::testing::WithParamInterface<FaultCase> {};

} // namespace

TEST_P(TransferFaultTest, FailsWithItsMessageChangesNothingAndRecovers) {
    const FaultCase& c = GetParam();
    CTarnAllData instrumentData;
    FillAllData(instrumentData, 40);
    const CTarnSimMemory memory = CTarnSimMemoryIo::FromAllData(instrumentData);
    Instrument().SetMemory(memory);
    CTarnAllData edited;
    FillAllData(edited, 41);
    const CTarnSimMemory editedBefore = CTarnSimMemoryIo::FromAllData(edited);

    const auto run = [&] {
        switch (c.operation) {
        case Operation::kReceiveAll:
            return manager_->ReceiveAllData(&edited);
        case Operation::kReceiveGlobal:
            return manager_->ReceiveGlobalData(&edited.Global());
        case Operation::kReceiveBankC:
            return manager_->ReceiveLoopRecorderData(2, edited.Bank(2));
        case Operation::kTransmitAll:
            return manager_->TransmitAllData(&edited);
        case Operation::kTransmitPrograms:
            return manager_->TransmitProgramMemoryData(&edited.Programs());
        }
        return false;
    };
    Instrument().ArmFault({c.fault, c.stage, c.skip});
    EXPECT_EQ(CodeOf([&] { run(); }), c.code);
    EXPECT_FALSE(Instrument().FaultArmed());
    EXPECT_FALSE(manager_->IsMidiInOpen());
    EXPECT_FALSE(manager_->IsMidiOutOpen());
    EXPECT_EQ(progress_.open, 0);
    EXPECT_EQ(CTarnSimMemoryIo::FromAllData(edited), editedBefore);
    Instrument().WaitIdle(std::chrono::seconds(5));
    const CTarnSimMemory after = Instrument().Memory();
    if (c.operation == Operation::kTransmitPrograms) {
        // What was accepted before the fault stays; nothing after it is sent.
        EXPECT_EQ(after.programs[1], editedBefore.programs[1]);
        EXPECT_EQ(after.programs[2], memory.programs[2]);
        EXPECT_EQ(after.programs[7], memory.programs[7]);
    } else if (c.operation != Operation::kTransmitAll) {
        EXPECT_EQ(after, memory);
    }

    // The next transfer goes through.
    ASSERT_EQ(CodeOf([&] { EXPECT_TRUE(manager_->ReceiveAllData(&edited)); }), -1);
    EXPECT_EQ(CTarnSimMemoryIo::FromAllData(edited), Instrument().Memory());
}

INSTANTIATE_TEST_SUITE_P(Faults, TransferFaultTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(TransferTest, CancelDuringBankCStopsAtOnceWithoutError) {
    const CTarnSimMemory before = Instrument().Memory();
    CTarnAllData all;
    FillAllData(all, 50);
    FillBank(*all.Bank(2), 50000, 1085, 5, 51);
    progress_.onChange = [](CTarnProgressDialog& dialog) {
        if (dialog.Text() == "Transmit Loop Recorder Bank C" && dialog.Position() >= 230) {
            dialog.PressCancel();
        }
    };
    bool result = true;
    EXPECT_EQ(CodeOf([&] { result = manager_->TransmitAllData(&all); }), -1);
    EXPECT_FALSE(result);
    EXPECT_TRUE(alerts_.texts.empty());
    EXPECT_EQ(progress_.open, 0);
    EXPECT_FALSE(manager_->IsMidiOutOpen());
    EXPECT_LT(progress_.lastPosition, 300);
    Instrument().WaitIdle(std::chrono::seconds(5));
    const CTarnSimMemory expected = CTarnSimMemoryIo::FromAllData(all);
    const CTarnSimMemory after = Instrument().Memory();
    EXPECT_EQ(after.banks[0], expected.banks[0]);
    EXPECT_EQ(after.banks[1], expected.banks[1]);
    EXPECT_EQ(after.banks[2], before.banks[2]);
    EXPECT_EQ(after.banks[3], before.banks[3]);
    EXPECT_EQ(after.programs, before.programs);
    EXPECT_EQ(after.global, before.global);

    // The instrument drops the unterminated dump when the next message starts.
    progress_.onChange = nullptr;
    ASSERT_TRUE(manager_->TransmitAllData(&all));
    Instrument().WaitIdle(std::chrono::seconds(5));
    EXPECT_EQ(Instrument().Memory(), expected);
}

TEST_F(TransferTest, ResamplesA44kBankBeforeSendingIt) {
    CTarnSampleData sample;
    sample.Initialize();
    ASSERT_TRUE(sample.SetSamplingRate(44100, true));
    sample.SetLoadedFrames(4410);
    sample.SetTempo(300.0);
    sample.SetPhraseLength(0); // a short phrase keeps the dump small
    ASSERT_EQ(CodeOf([&] { EXPECT_TRUE(manager_->TransmitLoopRecorderData(3, &sample)); }), -1);
    EXPECT_EQ(sample.GetSamplingRate(), 48000);
    EXPECT_NE(std::find(progress_.texts.begin(), progress_.texts.end(), "Resampling..."),
              progress_.texts.end());
    Instrument().WaitIdle(std::chrono::seconds(5));
    uint8_t header[16];
    sample.GetNativeHeader(header);
    EXPECT_TRUE(std::equal(header, header + 16, Instrument().Memory().banks[3].header.begin()));
}

TEST_F(TransferTest, UnpluggingMidwayIsASendFailure) {
    // A cable fast enough for a quick test but slow enough that bank A is still on its way.
    instrument_.reset();
    CVirtualMidiDeviceOptions options = CTarnVirtualInstrumentDevice::DefaultOptions();
    options.bytesPerSecond = 200000;
    instrument_ = std::make_unique<CTarnVirtualInstrumentDevice>(driver_, options);
    manager_->DetectPorts();
    CTarnAllData all;
    FillAllData(all, 60);
    progress_.onChange = [this](CTarnProgressDialog& dialog) {
        if (instrument_ && dialog.Text() == "Transmit Loop Recorder Bank A" &&
            dialog.Position() >= 10) {
            instrument_.reset();
        }
    };
    EXPECT_EQ(CodeOf([&] { manager_->TransmitAllData(&all); }), CTarnMidiException::kSendFailed);
    EXPECT_FALSE(manager_->IsMidiOutOpen());
    EXPECT_EQ(progress_.open, 0);
}

TEST_F(TransferTest, ASlowCableOutlastsTheWaitAfterTheSampleData) {
    // The wait for the completed reply starts once the output has sent the last piece, so a dump
    // that takes longer on the wire than a reply may take still goes through: whether the
    // instrument takes its input in slowly or the port itself sends slowly.
    CTarnSampleData sample;
    sample.Initialize();
    FillBank(sample, 600, 3000, 0, 61); // 600 frames: 2.4 kB, about 0.25 s at 10 kB/s
    std::vector<uint8_t> data(static_cast<size_t>(sample.GetNativeDataSize()));
    ASSERT_TRUE(sample.GetNativeData(data.data(), static_cast<int>(data.size())));
    CTarnMidiManager::Timing timing = manager_->GetTiming();
    timing.reply = std::chrono::milliseconds(100);
    manager_->SetTiming(timing);
    std::set<int> positions;
    progress_.onChange = [&](CTarnProgressDialog& dialog) { positions.insert(dialog.Position()); };

    Instrument().SetByteRate(10000);
    ASSERT_EQ(CodeOf([&] { EXPECT_TRUE(manager_->TransmitLoopRecorderData(0, &sample)); }), -1);
    Instrument().WaitIdle(std::chrono::seconds(5));
    EXPECT_EQ(Instrument().Memory().banks[0].data, data);

    instrument_.reset();
    CVirtualMidiDeviceOptions options = CTarnVirtualInstrumentDevice::DefaultOptions();
    options.bytesPerSecond = 10000;
    instrument_ = std::make_unique<CTarnVirtualInstrumentDevice>(driver_, options);
    manager_->DetectPorts();
    positions.clear();
    ASSERT_EQ(CodeOf([&] { EXPECT_TRUE(manager_->TransmitLoopRecorderData(1, &sample)); }), -1);
    EXPECT_EQ(progress_.lastPosition, CTarnMidiManager::kBankSteps);
    EXPECT_GT(positions.size(), 5u); // the bar follows the cable, not the queue
    Instrument().WaitIdle(std::chrono::seconds(5));
    EXPECT_EQ(Instrument().Memory().banks[1].data, data);
}

namespace {

// A MIDI system whose outputs stop sending after a number of bytes, as when the cable is pulled
// out: further pieces are accepted but never go out.
class StallingDriver : public CHfcMidiDriver {
public:
    StallingDriver(CHfcMidiDriver& inner, size_t limit) : inner_(inner), limit_(limit) {}

    std::vector<CHfcMidiDeviceInfo> InputDevices() override { return inner_.InputDevices(); }
    std::vector<CHfcMidiDeviceInfo> OutputDevices() override { return inner_.OutputDevices(); }
    std::unique_ptr<CHfcMidiInputPort> OpenInput(int index, CHfcMidiInputSink& sink,
                                                 std::string& error) override {
        return inner_.OpenInput(index, sink, error);
    }
    std::unique_ptr<CHfcMidiOutputPort> OpenOutput(int index, CHfcMidiOutputSink& sink,
                                                   std::string& error) override {
        std::unique_ptr<CHfcMidiOutputPort> port = inner_.OpenOutput(index, sink, error);
        return port ? std::make_unique<Port>(std::move(port), limit_) : nullptr;
    }

private:
    class Port : public CHfcMidiOutputPort {
    public:
        Port(std::unique_ptr<CHfcMidiOutputPort> inner, size_t limit)
            : inner_(std::move(inner)), left_(limit) {}
        bool Send(const uint8_t* bytes, size_t length) override {
            if (length > left_) {
                left_ = 0;
                return true;
            }
            left_ -= length;
            return inner_->Send(bytes, length);
        }

    private:
        std::unique_ptr<CHfcMidiOutputPort> inner_;
        size_t left_;
    };

    CHfcMidiDriver& inner_;
    size_t limit_;
};

} // namespace

TEST_F(TransferTest, AnOutputThatStopsSendingEndsWithASendFailure) {
    StallingDriver stalling(driver_, 1024);
    CTarnMidiManager manager(*preferences_, stalling);
    CTarnMidiManager::Timing timing = manager_->GetTiming();
    timing.reply = std::chrono::milliseconds(150);
    manager.SetTiming(timing);
    manager_.reset(); // one manager on the instrument's ports at a time
    ASSERT_TRUE(manager.Initialize());
    CTarnSampleData sample;
    sample.Initialize();
    FillBank(sample, 4000, 3000, 0, 62);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CodeOf([&] { manager.TransmitLoopRecorderData(1, &sample); }),
              CTarnMidiException::kSendFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_FALSE(manager.IsMidiOutOpen());
    EXPECT_EQ(progress_.open, 0);
    EXPECT_LT(progress_.lastPosition, CTarnMidiManager::kBankSteps);
}

namespace {

// Receives bank A of a slow instrument holding a large bank, with the product's own time-outs,
// while something happens to the device part way through; gives the error code and how long
// the transfer went on after the event.
struct MidwayResult {
    int code = -1;
    std::chrono::steady_clock::duration after{};
};

} // namespace

class TransferMidwayTest : public TransferTest {
protected:
    template <class Event> MidwayResult ReceiveWhile(Event event) {
        instrument_.reset();
        CVirtualMidiDeviceOptions options = CTarnVirtualInstrumentDevice::DefaultOptions();
        options.bytesPerSecond = 200000; // the dump takes about 2 s
        instrument_ = std::make_unique<CTarnVirtualInstrumentDevice>(driver_, options);
        manager_->DetectPorts();
        CTarnAllData all;
        FillAllData(all, 70);
        FillBank(*all.Bank(0), 100000, 1200, 5, 71);
        Instrument().SetMemory(CTarnSimMemoryIo::FromAllData(all));
        CTarnMidiManager::Timing timing;
        timing.dumpTick = std::chrono::milliseconds(10);
        timing.dumpIdleTicks = 450;
        manager_->SetTiming(timing);
        std::chrono::steady_clock::time_point at;
        std::thread trigger([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            at = std::chrono::steady_clock::now();
            event(instrument_->Device());
        });
        CTarnSampleData target;
        MidwayResult result;
        result.code = CodeOf([&] { manager_->ReceiveLoopRecorderData(0, &target); });
        const auto end = std::chrono::steady_clock::now();
        trigger.join();
        result.after = end - at;
        EXPECT_FALSE(manager_->IsMidiInOpen());
        EXPECT_FALSE(manager_->IsMidiOutOpen());
        return result;
    }
};

TEST_F(TransferMidwayTest, UnpluggingDuringADumpFailsWithinASecond) {
    const MidwayResult result = ReceiveWhile([](CVirtualMidiDevice& device) { device.Unplug(); });
    EXPECT_EQ(result.code, CTarnMidiException::kSendFailed);
    EXPECT_LT(result.after, std::chrono::seconds(1));
}

TEST_F(TransferMidwayTest, AnInputOverrunDuringADumpEndsItAsIncompleteAtOnce) {
    const MidwayResult result =
        ReceiveWhile([](CVirtualMidiDevice& device) { device.SimulateOverrun(); });
    EXPECT_EQ(result.code, CTarnMidiException::kIncomplete);
    EXPECT_LT(result.after, std::chrono::seconds(1));
}

TEST_F(TransferTest, UnpluggingWhileAReplyIsAwaitedFailsWithinASecond) {
    CTarnMidiManager::Timing timing = manager_->GetTiming();
    timing.reply = std::chrono::milliseconds(5000);
    manager_->SetTiming(timing);
    Instrument().ArmFault({CTarnSimFault::kNoReply, CTarnSimStage::kGlobalRequest, 0});
    std::chrono::steady_clock::time_point at;
    std::thread trigger([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        at = std::chrono::steady_clock::now();
        instrument_->Device().Unplug();
    });
    CTarnGlobalData global;
    EXPECT_EQ(CodeOf([&] { manager_->ReceiveGlobalData(&global); }),
              CTarnMidiException::kSendFailed);
    const auto end = std::chrono::steady_clock::now();
    trigger.join();
    EXPECT_LT(end - at, std::chrono::seconds(1));
}
