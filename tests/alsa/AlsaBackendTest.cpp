// The ALSA sequencer backend on the kernel model (FakeAlsa): pacing and honest completion, no
// retries, input overruns, real-time bytes, unplugging, and its own ports kept private.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "FakeAlsa.h"
#include "RigSupport.h"
#include "midi/CTarnSysExBuilder.h"
#include "midi/port/CHfcMidi.h"
#include "midi/port/CHfcMidiListener.h"
#include "platform/alsa/CAlsaMidiDriver.h"

namespace {

using rig::Bytes;
using namespace std::chrono_literals;

constexpr int kHardware = 0; // index of Model MIDI 1 in both lists
constexpr int kProgram = 1;  // Model Synth

// A sample data dump of the given number of data bytes; a full bank is 424960 frames of 4.
Bytes Dump(size_t dataBytes) {
    Bytes data(dataBytes);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
    }
    return CTarnSysExBuilder::SampleDataDump(data);
}

constexpr size_t kFullBankData = 424960 * 4;

std::vector<Bytes> Pieces(const Bytes& bytes, size_t size) {
    std::vector<Bytes> pieces;
    for (size_t pos = 0; pos < bytes.size(); pos += size) {
        pieces.emplace_back(bytes.begin() + pos,
                            bytes.begin() + std::min(bytes.size(), pos + size));
    }
    return pieces;
}

class AlsaBackendTest : public ::testing::Test {
protected:
    void Start(size_t hardwareRate, size_t programReadRate, size_t programPace = 100000) {
        driver_.reset(); // one editor client at a time
        fake_alsa::Reset(hardwareRate, programReadRate);
        CAlsaMidiDriver::Options options;
        options.clock = &fake_alsa::Clock();
        options.hardwareBytesPerSecond = hardwareRate;
        options.programBytesPerSecond = programPace;
        driver_ = std::make_unique<CAlsaMidiDriver>(options);
    }
    void TearDown() override { driver_.reset(); }

    // Sends every piece and waits until each is reported done, checking on every report that
    // the total reported has left the wire.
    void SendAll(const Bytes& stream, size_t pieceSize) {
        rig::OutputRecorder sink;
        uint64_t aheadOfWire = 0;
        sink.onDone = [&](uint64_t total) {
            if (total > fake_alsa::GetStats().wireBytes) {
                ++aheadOfWire;
            }
        };
        std::string error;
        auto port = driver_->OpenOutput(kHardware, sink, error);
        ASSERT_TRUE(port) << error;
        const std::vector<Bytes> pieces = Pieces(stream, pieceSize);
        for (const Bytes& piece : pieces) {
            ASSERT_TRUE(port->Send(piece.data(), piece.size()));
        }
        ASSERT_TRUE(sink.WaitUntil([&] { return sink.done.size() == pieces.size(); }, 60000ms));
        EXPECT_EQ(aheadOfWire, 0u);
        port.reset();
        std::vector<size_t> expected;
        for (const Bytes& piece : pieces) {
            expected.push_back(piece.size());
        }
        EXPECT_EQ(sink.done, expected); // one report per piece, in order
    }

    std::unique_ptr<CAlsaMidiDriver> driver_;
};

TEST_F(AlsaBackendTest, ListsTheOtherClientsPortsButNotTheSystemsOrItsOwn) {
    Start(3125, 0);
    auto inputs = driver_->InputDevices();
    auto outputs = driver_->OutputDevices();
    ASSERT_EQ(inputs.size(), 2u);
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_EQ(inputs[kHardware].name, "Model MIDI 1");
    EXPECT_EQ(outputs[kProgram].name, "Model Synth");
}

TEST_F(AlsaBackendTest, AFullBankAtDinSpeedThroughTheRawDeviceLosesNothing) {
    Start(3125, 0);
    const Bytes dump = Dump(kFullBankData);
    ASSERT_GT(dump.size(), 1900000u);
    SendAll(dump, 128);
    const fake_alsa::Stats stats = fake_alsa::GetStats();
    EXPECT_EQ(stats.droppedBytes, 0u);
    EXPECT_EQ(fake_alsa::Wire(), dump);
    // Ten minutes of cable: the transfer takes as long as the wire needs, not less.
    const double seconds = std::chrono::duration<double>(fake_alsa::Now()).count();
    EXPECT_NEAR(seconds, dump.size() / 3125.0, dump.size() / 3125.0 * 0.01);
    EXPECT_FALSE(stats.rawMidiOpen); // closed with the port
}

TEST_F(AlsaBackendTest, ABusyRawDeviceFallsBackToPacedEventsThatLoseNothing) {
    Start(3125, 0);
    fake_alsa::SetRawMidiBusy(true);
    const Bytes dump = Dump(200000);
    SendAll(dump, 128);
    const fake_alsa::Stats stats = fake_alsa::GetStats();
    EXPECT_EQ(stats.droppedBytes, 0u);
    EXPECT_EQ(stats.refusedEvents, 0u);
    fake_alsa::Clock().SleepUntil(fake_alsa::Now() + 2s);
    EXPECT_EQ(fake_alsa::Wire(), dump);
    const double seconds = std::chrono::duration<double>(fake_alsa::Now() - 2s).count();
    EXPECT_NEAR(seconds, dump.size() / 3125.0, dump.size() / 3125.0 * 0.05);
}

TEST_F(AlsaBackendTest, AProgramReadingAtThePacedRateGetsEverything) {
    Start(3125, 100000);
    rig::OutputRecorder sink;
    std::string error;
    auto port = driver_->OpenOutput(kProgram, sink, error);
    ASSERT_TRUE(port) << error;
    const Bytes dump = Dump(200000);
    const std::vector<Bytes> pieces = Pieces(dump, 128);
    for (const Bytes& piece : pieces) {
        ASSERT_TRUE(port->Send(piece.data(), piece.size()));
    }
    ASSERT_TRUE(sink.WaitUntil([&] { return sink.done.size() == pieces.size(); }, 60000ms));
    fake_alsa::Clock().SleepUntil(fake_alsa::Now() + 1s);
    EXPECT_EQ(fake_alsa::ProgramReceived(), dump);
    EXPECT_EQ(fake_alsa::GetStats().programOverflows, 0u);
    EXPECT_EQ(sink.lost, 0);
}

// A program that reads slower than the pace fills its FIFO. The refused event is not retried
// (a retry could duplicate it): the port is lost, and what the program got is the stream's
// beginning, nothing twice.
TEST_F(AlsaBackendTest, AFullReceiverGivesNoRetryStormAndNoDuplicate) {
    Start(3125, 20000);
    rig::OutputRecorder sink;
    std::string error;
    auto port = driver_->OpenOutput(kProgram, sink, error);
    ASSERT_TRUE(port) << error;
    const Bytes dump = Dump(100000);
    for (const Bytes& piece : Pieces(dump, 128)) {
        if (!port->Send(piece.data(), piece.size())) {
            break;
        }
    }
    ASSERT_TRUE(sink.WaitForLost());
    const Bytes tail = {0x10, 0x20};
    EXPECT_FALSE(port->Send(tail.data(), tail.size()));
    const fake_alsa::Stats stats = fake_alsa::GetStats();
    EXPECT_EQ(stats.refusedEvents, 1u);
    EXPECT_EQ(stats.programOverflows, 1u);
    fake_alsa::Clock().SleepUntil(fake_alsa::Now() + 10s);
    const Bytes received = fake_alsa::ProgramReceived();
    ASSERT_LT(received.size(), dump.size());
    EXPECT_TRUE(std::equal(received.begin(), received.end(), dump.begin()));
    EXPECT_LE(sink.doneBytes, received.size() + 1024); // never far ahead of what was taken
}

TEST_F(AlsaBackendTest, ClosingMidDumpEndsTheMessageWithF7OnTheWire) {
    for (bool busy : {false, true}) {
        Start(3125, 0);
        fake_alsa::SetRawMidiBusy(busy);
        rig::OutputRecorder sink;
        std::string error;
        auto port = driver_->OpenOutput(kHardware, sink, error);
        ASSERT_TRUE(port) << error;
        const Bytes dump = Dump(50000);
        const std::vector<Bytes> pieces = Pieces(dump, 128);
        for (size_t i = 0; i < 100; ++i) {
            ASSERT_TRUE(port->Send(pieces[i].data(), pieces[i].size()));
        }
        ASSERT_TRUE(sink.WaitForDone(1)); // the dump has begun on the wire
        port.reset();
        EXPECT_EQ(sink.done.size(), 100u) << busy;
        fake_alsa::Clock().SleepUntil(fake_alsa::Now() + 2s);
        const Bytes wire = fake_alsa::Wire();
        ASSERT_GE(wire.size(), 2u) << busy;
        EXPECT_EQ(wire.back(), 0xf7) << busy;
        EXPECT_TRUE(std::equal(wire.begin(), wire.end() - 1, dump.begin())) << busy;
        EXPECT_EQ(fake_alsa::GetStats().droppedBytes, 0u) << busy;
    }
}

TEST_F(AlsaBackendTest, OwnPortsCannotBeSubscribedByOthersAndTheInputPoolIsRaised) {
    Start(3125, 100000);
    rig::InputRecorder in;
    rig::OutputRecorder out;
    std::string error;
    auto input = driver_->OpenInput(kHardware, in, error);
    auto output = driver_->OpenOutput(kProgram, out, error);
    ASSERT_TRUE(input && output) << error;
    const fake_alsa::Stats stats = fake_alsa::GetStats();
    EXPECT_FALSE(stats.editorPortsExported);
    EXPECT_EQ(stats.editorPoolCells, 2000u);
}

class Listener : public CHfcMidiListener, public rig::Waitable {
public:
    void OnHfcMidiInLongMessageReceived(CHfcMidi*, size_t n, const uint8_t* b) override {
        Add([&] { longs.emplace_back(b, b + n); });
    }
    void OnHfcMidiInShortMessageReceived(CHfcMidi*, size_t n, const uint8_t* b) override {
        Add([&] { shorts.emplace_back(b, b + n); });
    }
    void OnHfcMidiInOverrun(CHfcMidi*) override {
        Add([&] { ++overruns; });
    }
    void OnHfcMidiPortLost(CHfcMidi*) override {
        Add([&] { ++lost; });
    }
    void OnHfcMidiOutSysExSendComplete(CHfcMidi*, size_t) override {
        Add([&] { ++sent; });
    }
    int sent = 0;
    std::vector<Bytes> longs;
    std::vector<Bytes> shorts;
    int overruns = 0;
    int lost = 0;

private:
    template <class F> void Add(F f) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            f();
        }
        Changed();
    }
};

// Delivers pieces at the pace the backend reads them, so the FIFO never overflows.
void DeliverPaced(const std::vector<Bytes>& pieces, bool sensing) {
    for (const Bytes& piece : pieces) {
        while (fake_alsa::EditorFifoUsed() > 1000) {
            std::this_thread::sleep_for(100us);
        }
        fake_alsa::DeliverFromHardware({piece});
        if (sensing) {
            fake_alsa::DeliverRealTimeFromHardware(0xfe);
        }
    }
}

TEST_F(AlsaBackendTest, ActiveSensingBetweenSysExEventsCompletesTheDump) {
    Start(3125, 0);
    Listener listener;
    CHfcMidi midi(*driver_);
    midi.SetListener(&listener);
    ASSERT_TRUE(midi.Create("sensing"));
    ASSERT_TRUE(midi.MidiInOpen(kHardware));
    const Bytes dump = Dump(100000);
    const std::vector<Bytes> pieces = Pieces(dump, 256);
    DeliverPaced(pieces, true);
    ASSERT_TRUE(listener.WaitUntil([&] { return !listener.longs.empty(); }));
    EXPECT_EQ(listener.longs[0], dump);
    ASSERT_TRUE(listener.WaitUntil([&] { return listener.shorts.size() == pieces.size(); }));
    EXPECT_EQ(listener.shorts.front(), Bytes{0xfe});
    EXPECT_EQ(listener.overruns, 0);
}

TEST_F(AlsaBackendTest, AnOverrunMidDumpEndsTheReceptionAndNothingIsJoined) {
    Start(3125, 0);
    Listener listener;
    CHfcMidi midi(*driver_);
    midi.SetListener(&listener);
    ASSERT_TRUE(midi.Create("overrun"));
    ASSERT_TRUE(midi.MidiInOpen(kHardware));
    const Bytes dump = Dump(200000);
    const std::vector<Bytes> pieces = Pieces(dump, 256);
    const size_t half = pieces.size() / 2;
    DeliverPaced({pieces.begin(), pieces.begin() + 100}, false);
    while (fake_alsa::EditorFifoUsed() > 0) {
        std::this_thread::sleep_for(100us);
    }
    // A burst the FIFO cannot hold: the kernel drops events and the next read says so.
    ASSERT_GT(fake_alsa::DeliverFromHardware({pieces.begin() + 100, pieces.begin() + half}), 0u);
    ASSERT_TRUE(listener.WaitUntil([&] { return listener.overruns > 0; }));
    DeliverPaced({pieces.begin() + half, pieces.end()}, false);
    const Bytes request = CTarnSysExBuilder::SampleDataRequest();
    DeliverPaced({request}, false);
    ASSERT_TRUE(listener.WaitUntil([&] { return !listener.longs.empty(); }));
    EXPECT_EQ(listener.longs[0], request);
    EXPECT_EQ(listener.longs.size(), 1u);
}

TEST_F(AlsaBackendTest, UnpluggingIsReportedAtOnceAndSendingFails) {
    for (bool busy : {false, true}) {
        Start(3125, 0);
        fake_alsa::SetRawMidiBusy(busy);
        Listener listener;
        CHfcMidi midi(*driver_);
        midi.SetListener(&listener);
        ASSERT_TRUE(midi.Create("unplug"));
        ASSERT_TRUE(midi.MidiInOpen(kHardware));
        ASSERT_TRUE(midi.MidiOutOpen(kHardware));
        const Bytes piece(128, 0x11);
        ASSERT_TRUE(midi.Out(piece.size(), piece.data()));
        const auto start = std::chrono::steady_clock::now();
        fake_alsa::UnplugHardware();
        ASSERT_TRUE(listener.WaitUntil([&] { return listener.lost > 0; }, 1000ms)) << busy;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        EXPECT_TRUE(midi.IsPortLost());
        EXPECT_FALSE(midi.Out(piece.size(), piece.data()));
        EXPECT_TRUE(midi.MidiOutClose());
        EXPECT_TRUE(midi.MidiInClose());
    }
}

// Every unsubscription in the system is announced; neither another program's nor closing our
// own input may cost the open output its device.
TEST_F(AlsaBackendTest, OtherUnsubscriptionsLeaveTheOpenPortsAlone) {
    for (bool busy : {false, true}) {
        Start(31250, 0);
        fake_alsa::SetRawMidiBusy(busy);
        Listener listener;
        CHfcMidi midi(*driver_);
        midi.SetListener(&listener);
        ASSERT_TRUE(midi.Create("others"));
        ASSERT_TRUE(midi.MidiInOpen(kHardware));
        ASSERT_TRUE(midi.MidiOutOpen(kHardware));
        fake_alsa::AnnounceForeignUnsubscription();
        ASSERT_TRUE(midi.MidiInClose());
        std::this_thread::sleep_for(200ms); // the input thread has seen everything
        const Bytes request = CTarnSysExBuilder::SampleDataRequest();
        EXPECT_TRUE(midi.Out(request.size(), request.data())) << busy;
        EXPECT_TRUE(listener.WaitUntil([&] { return listener.sent > 0; })) << busy;
        EXPECT_FALSE(midi.IsPortLost()) << busy;
        EXPECT_EQ(listener.lost, 0) << busy;
        ASSERT_TRUE(midi.MidiOutClose());
        fake_alsa::Clock().SleepUntil(fake_alsa::Now() + 1s);
        EXPECT_EQ(fake_alsa::Wire(), request) << busy;
    }
}

TEST_F(AlsaBackendTest, DestroyingTheDriverWhileItsInputThreadPollsIsClean) {
    for (int round = 0; round < 3; ++round) {
        Start(3125, 0);
        rig::InputRecorder in;
        std::string error;
        auto input = driver_->OpenInput(kHardware, in, error);
        ASSERT_TRUE(input) << error;
        std::thread feeder([] {
            for (int i = 0; i < 50; ++i) {
                fake_alsa::DeliverFromHardware({Bytes{0xf0, 0x42, 0x01, 0xf7}});
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * round));
        input.reset();
        feeder.join();
        driver_.reset();
    }
}

} // namespace
