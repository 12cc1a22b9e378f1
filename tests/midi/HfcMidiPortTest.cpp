#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "framework/CEfTraceSink.h"
#include "framework/EfTrace.h"
#include "midi/CTarnSysExBuilder.h"
#include "midi/port/CHfcMidi.h"
#include "midi/port/CHfcMidiMessage.h"
#include "midi/port/CHfcMidiSystem.h"
#include "platform/CVirtualMidiDriver.h"
#include "platform/CVirtualMidiPeer.h"
#include "platform/SystemMidiDriver.h"
#ifdef TALVEX_HAVE_ALSA
#include "platform/alsa/CAlsaMidiDriver.h"
#endif

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

class TraceCapture : public CEfTraceSink {
public:
    TraceCapture() { EfSetTraceSink(this); }
    ~TraceCapture() override { EfSetTraceSink(nullptr); }
    void OnEfTrace(const char* line) override {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.emplace_back(line);
    }
    bool Has(const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    }
    bool HasPrefix(const std::string& prefix) {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::any_of(lines_.begin(), lines_.end(),
                           [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

// Waits for a condition on state guarded by the object's mutex.
class Waitable {
protected:
    template <class Pred> bool WaitUntil(Pred pred, std::chrono::milliseconds timeout = 5000ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, pred);
    }
    void Changed() { changed_.notify_all(); }
    std::mutex mutex_;
    std::condition_variable changed_;
};

// Records what the editor sends; answers every complete inquiry with the bytes it was given.
class RecordingPeer : public CVirtualMidiPeer, public Waitable {
public:
    void OnVirtualMidiReceived(CVirtualMidiDevice& device, const uint8_t* b, size_t n) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            received_.insert(received_.end(), b, b + n);
            segments_.push_back(n);
            if (!answer_.empty() && b[n - 1] == 0xf7) {
                device.SendToEditor(answer_);
            }
        }
        Changed();
    }
    bool WaitForBytes(size_t count) {
        return WaitUntil([&] { return received_.size() >= count; });
    }
    Bytes Received() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }
    std::vector<size_t> Segments() {
        std::lock_guard<std::mutex> lock(mutex_);
        return segments_;
    }
    void AnswerWith(Bytes answer) { answer_ = std::move(answer); }

private:
    Bytes received_;
    std::vector<size_t> segments_;
    Bytes answer_;
};

class RecordingListener : public CHfcMidiListener, public Waitable {
public:
    void OnHfcMidiInShortMessageReceived(CHfcMidi*, size_t n, const uint8_t* b) override {
        Add('s', [&] { shorts.emplace_back(b, b + n); });
    }
    void OnHfcMidiInMessageReceived(CHfcMidi*, const CHfcMidiMessage& m) override {
        Add(m.IsClock() ? 'c' : 'm', [] {});
    }
    void OnHfcMidiInLongMessageReceived(CHfcMidi*, size_t n, const uint8_t* b) override {
        Add('L', [&] { longs.emplace_back(b, b + n); });
    }
    void OnHfcMidiInLongMidiMessageReceived(CHfcMidi*, const CHfcMidiMessage& m) override {
        Add(m.IsSysEx() ? 'l' : '?', [] {});
    }
    void OnHfcMidiInLongMessageReceiving(CHfcMidi*, size_t count, const uint8_t*) override {
        Add('p', [&] { progress.push_back(count); });
    }
    void OnHfcMidiOutSysExSendComplete(CHfcMidi*, size_t count) override {
        Add('d', [&] { sent.push_back(count); });
    }
    void OnHfcMidiInOverrun(CHfcMidi*) override {
        Add('O', [&] { ++overruns; });
    }
    void OnHfcMidiPortLost(CHfcMidi*) override {
        Add('X', [&] { ++lost; });
    }
    bool WaitForOverrun() {
        return WaitUntil([&] { return overruns > 0; });
    }
    bool WaitForLost() {
        return WaitUntil([&] { return lost > 0; });
    }

    bool WaitForLongs(size_t n) {
        return WaitUntil([&] { return longs.size() >= n; });
    }
    bool WaitForSent(size_t n) {
        return WaitUntil([&] { return sent.size() >= n; });
    }
    std::string Order() {
        std::lock_guard<std::mutex> lock(mutex_);
        return order;
    }

    std::vector<Bytes> shorts;
    std::vector<Bytes> longs;
    std::vector<size_t> progress;
    std::vector<size_t> sent;
    int overruns = 0;
    int lost = 0;

private:
    // Records the event and its data in one step, so that a waiter sees both or neither.
    template <class F> void Add(char c, F record) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            record();
            order += c;
        }
        Changed();
    }
    std::string order;
};

CVirtualMidiDeviceOptions InstrumentOptions(const std::string& name) {
    CVirtualMidiDeviceOptions o;
    o.name = name;
    o.hasIds = true;
    o.inputManufacturerId = 55;
    o.inputProductId = 5;
    o.outputManufacturerId = 55;
    o.outputProductId = 6;
    return o;
}

TEST(HfcMidiPort, DevicesAndOpeningFailures) {
    TraceCapture trace;
    RecordingPeer peer;
    CVirtualMidiDriver driver;
    CVirtualMidiDeviceOptions keyboard;
    keyboard.name = "Keyboard";
    keyboard.hasOutput = false;
    driver.AddDevice(keyboard, nullptr);
    driver.AddDevice(InstrumentOptions("TALVEX PRO+"), &peer);

    CHfcMidi midi(driver);
    // Without its thread the object cannot receive or report anything.
    EXPECT_FALSE(midi.MidiInOpen(0));
    ASSERT_TRUE(midi.Create("test"));

    EXPECT_EQ(midi.GetMidiInDeviceCount(), 2);
    EXPECT_EQ(midi.GetMidiOutDeviceCount(), 1);
    std::string name;
    ASSERT_TRUE(midi.GetMidiInDeviceName(1, name));
    EXPECT_EQ(name, "TALVEX PRO+");
    ASSERT_TRUE(midi.GetMidiOutDeviceName(0, name, 7));
    EXPECT_EQ(name, "TALVEX");
    EXPECT_FALSE(midi.GetMidiOutDeviceName(1, name));
    CHfcMidiDeviceInfo in, out;
    ASSERT_TRUE(midi.GetMidiInDeviceInfo(1, in));
    ASSERT_TRUE(midi.GetMidiOutDeviceInfo(0, out));
    EXPECT_TRUE(in.hasIds && out.hasIds);
    EXPECT_EQ(in.manufacturerId, 55);
    EXPECT_EQ(in.productId, 5);
    EXPECT_EQ(out.manufacturerId, 55);
    EXPECT_EQ(out.productId, 6);
    ASSERT_TRUE(midi.GetMidiInDeviceInfo(0, in));
    EXPECT_FALSE(in.hasIds);

    EXPECT_FALSE(midi.MidiInOpen(2));
    EXPECT_TRUE(trace.Has("CHfcMidi::MidiInOpen() - Not found MIDI IN device."));
    EXPECT_FALSE(midi.MidiOutOpen(-1));
    EXPECT_TRUE(trace.Has("CHfcMidi::MidiOutOpen() - Not found MIDI OUT device."));
    EXPECT_FALSE(midi.Out(3, Bytes{0x90, 0x3c, 0x40}.data()));

    ASSERT_TRUE(midi.MidiInOpen(1));
    ASSERT_TRUE(midi.MidiOutOpen(0));
    EXPECT_EQ(midi.GetOpenedMidiInIndex(), 1);
    EXPECT_EQ(midi.GetOpenedMidiOutIndex(), 0);
    EXPECT_FALSE(midi.MidiInOpen(1));
    EXPECT_TRUE(trace.Has("CHfcMidi::MidiInOpen() - MIDI IN already opened."));
    EXPECT_FALSE(midi.MidiOutOpen(0));
    EXPECT_TRUE(trace.Has("CHfcMidi::MidiOutOpen() - MIDI OUT already opened."));

    // A device in use by another port object cannot be opened a second time.
    CHfcMidi other(driver);
    ASSERT_TRUE(other.Create("other"));
    EXPECT_FALSE(other.MidiInOpen(1));
    EXPECT_TRUE(trace.Has("CHfcMidi::MidiInOpen() - Faild to midiInOpen()"));
    EXPECT_TRUE(other.MidiInOpen(0));

    EXPECT_TRUE(midi.MidiInClose());
    EXPECT_TRUE(midi.MidiInClose());
    EXPECT_FALSE(midi.IsMidiInOpen());
    EXPECT_EQ(midi.GetOpenedMidiInIndex(), -1);
    EXPECT_TRUE(other.MidiInClose());
    EXPECT_TRUE(other.MidiInOpen(1));
}

TEST(HfcMidiPort, PiecesGoOutUnchangedWithCompletions) {
    RecordingPeer peer;
    CVirtualMidiDriver driver;
    CVirtualMidiDeviceOptions options = InstrumentOptions("TALVEX PRO+");
    options.segmentSize = 100;
    auto device = driver.AddDevice(options, &peer);
    RecordingListener listener;
    CHfcMidi midi(driver);
    midi.SetListener(&listener);
    ASSERT_TRUE(midi.Create("out"));
    ASSERT_TRUE(midi.MidiOutOpen(0));

    Bytes data(5000);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 31);
    }
    Bytes dump = CTarnSysExBuilder::SampleDataDump(data);
    CTarnSysExBuilder::PatchChannel(dump, 5);
    std::vector<size_t> pieces;
    for (size_t offset = 0; offset < dump.size(); offset += 128) {
        size_t n = std::min<size_t>(128, dump.size() - offset);
        ASSERT_TRUE(midi.Out(n, dump.data() + offset));
        pieces.push_back(n);
    }
    ASSERT_TRUE(listener.WaitForSent(pieces.size()));
    EXPECT_EQ(listener.sent, pieces);
    ASSERT_TRUE(peer.WaitForBytes(dump.size()));
    EXPECT_EQ(peer.Received(), dump);
    EXPECT_EQ(dump[2], 0x35);
    std::vector<size_t> segments = peer.Segments();
    EXPECT_LE(*std::max_element(segments.begin(), segments.end()), 100u);
    EXPECT_FALSE(midi.IsSending());
    EXPECT_EQ(device->IsOutputOpen(), true);
    EXPECT_TRUE(midi.MidiOutClose());
    EXPECT_FALSE(device->IsOutputOpen());
}

TEST(HfcMidiPort, ClosingTheOutputDropsWaitingPieces) {
    RecordingPeer peer;
    CVirtualMidiDriver driver;
    CVirtualMidiDeviceOptions options = InstrumentOptions("TALVEX PRO+");
    options.bytesPerSecond = 10000;
    options.segmentSize = 64;
    auto device = driver.AddDevice(options, &peer);
    RecordingListener listener;
    CHfcMidi midi(driver);
    midi.SetListener(&listener);
    ASSERT_TRUE(midi.Create("cancel"));
    ASSERT_TRUE(midi.MidiOutOpen(0));
    Bytes piece(128, 0x10);
    piece[0] = 0xf0; // the start of a dump that the close cuts short
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(midi.Out(piece.size(), piece.data()));
        piece[0] = 0x10;
    }
    EXPECT_TRUE(midi.IsSending());
    EXPECT_TRUE(midi.MidiOutClose());
    // Every piece is accounted for, but only the one under way reached the instrument, and the
    // message it began is ended so that the instrument does not go on collecting.
    ASSERT_TRUE(listener.WaitForSent(20));
    device->WaitIdle();
    const Bytes received = peer.Received();
    if (!received.empty()) {
        ASSERT_EQ(received.size(), 129u);
        EXPECT_EQ(received.front(), 0xf0);
        EXPECT_EQ(received.back(), 0xf7);
    }
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (midi.IsSending() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(midi.IsSending());
}

TEST(HfcMidiPort, LargeSysExArrivesInSegments) {
    RecordingPeer peer;
    CVirtualMidiDriver driver;
    auto device = driver.AddDevice(InstrumentOptions("TALVEX PRO+"), &peer);
    RecordingListener first, second;
    CHfcMidi midi(driver);
    midi.AddListener(&first);
    midi.AddListener(&second);
    ASSERT_TRUE(midi.Create("in"));
    ASSERT_TRUE(midi.MidiInOpen(0));

    Bytes data(300000, 0x81);
    Bytes dump = CTarnSysExBuilder::SampleDataDump(data);
    Bytes stream = {0x90, 0x3c, 0x40};
    stream.insert(stream.end(), dump.begin(), dump.begin() + 1000);
    stream.push_back(0xf8);
    stream.insert(stream.end(), dump.begin() + 1000, dump.end());
    device->SendToEditor(stream);

    ASSERT_TRUE(second.WaitForLongs(1));
    for (RecordingListener* l : {&first, &second}) {
        ASSERT_EQ(l->longs.size(), 1u);
        EXPECT_EQ(l->longs[0], dump);
        ASSERT_EQ(l->shorts.size(), 2u);
        EXPECT_EQ(l->shorts[0], (Bytes{0x90, 0x3c, 0x40}));
        EXPECT_EQ(l->shorts[1], Bytes{0xf8});
        size_t segments = (stream.size() + 2047) / 2048;
        EXPECT_EQ(l->progress.size(), segments);
        std::string order = l->Order();
        // Object before bytes for short messages; progress, object, bytes for the SysEx.
        EXPECT_EQ(order.substr(0, 2), "ms");
        EXPECT_NE(order.find("cs"), std::string::npos);
        EXPECT_EQ(order.substr(order.size() - 3), "plL");
    }
    EXPECT_FALSE(midi.IsReceiving());

    // Listener list changes take effect for the next message.
    midi.RemoveListener(&first);
    Bytes reply = CTarnSysExBuilder::SampleDataRequest();
    device->SendToEditor(reply);
    ASSERT_TRUE(second.WaitForLongs(2));
    midi.SetListener(&first);
    device->SendToEditor(reply);
    ASSERT_TRUE(first.WaitForLongs(2));
    device->WaitIdle();
    midi.ClearListeners();
    device->SendToEditor(reply);
    device->WaitIdle();
    midi.Destroy();
    EXPECT_EQ(first.longs.size(), 2u);
    EXPECT_EQ(second.longs.size(), 2u);
}

// Holds the MIDI thread in its first progress notification until released.
class BlockingListener : public RecordingListener {
public:
    void OnHfcMidiInLongMessageReceiving(CHfcMidi* source, size_t count,
                                         const uint8_t* bytes) override {
        {
            std::unique_lock<std::mutex> lock(gate_);
            opened_.wait(lock, [this] { return open_; });
        }
        RecordingListener::OnHfcMidiInLongMessageReceiving(source, count, bytes);
    }
    void Open() {
        {
            std::lock_guard<std::mutex> lock(gate_);
            open_ = true;
        }
        opened_.notify_all();
    }

private:
    std::mutex gate_;
    std::condition_variable opened_;
    bool open_ = false;
};

TEST(HfcMidiPort, ASlowListenerLosesNothingWithinTheQueueBudget) {
    RecordingPeer peer;
    CVirtualMidiDriver driver;
    auto device = driver.AddDevice(InstrumentOptions("TALVEX PRO+"), &peer);
    BlockingListener listener;
    CHfcMidi midi(driver);
    midi.SetListener(&listener);
    ASSERT_TRUE(midi.Create("slow"));
    ASSERT_TRUE(midi.MidiInOpen(0));

    // Far more than any backend buffers, less than the port object queues.
    Bytes data(700000);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i ^ (i >> 8));
    }
    Bytes dump = CTarnSysExBuilder::SampleDataDump(data);
    ASSERT_LT(dump.size(), CHfcMidi::kInputQueueBytes);
    device->SendToEditor(dump);
    std::this_thread::sleep_for(50ms);
    listener.Open();
    ASSERT_TRUE(listener.WaitForLongs(1));
    EXPECT_EQ(listener.longs[0], dump);

    // Without the MIDI thread, input is dropped rather than blocking the sender for ever.
    midi.Destroy();
    device->SendToEditor(dump);
    device->WaitIdle();
    EXPECT_EQ(listener.longs.size(), 1u);
}

// A listener stuck for longer than the queue lasts costs the message, never the backend's input
// thread: the backend is not held up, the loss is reported as an overrun, the bytes around the gap
// are not joined, and the next message arrives whole.
TEST(HfcMidiPort, AStuckListenerGivesAnOverrunAndNeverBlocksTheBackend) {
    RecordingPeer peer;
    CVirtualMidiDriver driver;
    auto device = driver.AddDevice(InstrumentOptions("TALVEX PRO+"), &peer);
    BlockingListener listener;
    CHfcMidi midi(driver);
    midi.SetListener(&listener);
    ASSERT_TRUE(midi.Create("stuck"));
    ASSERT_TRUE(midi.MidiInOpen(0));
    Bytes data(CHfcMidi::kInputQueueBytes, 0x21);
    Bytes dump = CTarnSysExBuilder::SampleDataDump(data);
    device->SendToEditor(dump);
    device->WaitIdle(); // returns although the listener has not taken a byte
    listener.Open();
    ASSERT_TRUE(listener.WaitForOverrun());
    const Bytes request = CTarnSysExBuilder::SampleDataRequest();
    device->SendToEditor(request);
    ASSERT_TRUE(listener.WaitForLongs(1));
    EXPECT_EQ(listener.longs[0], request);
    EXPECT_EQ(listener.overruns, 1);
}

// A backend's overrun in the middle of a dump drops the part collected so far.
TEST(HfcMidiPort, AnOverrunDropsThePartlyCollectedMessage) {
    RecordingPeer peer;
    CVirtualMidiDriver driver;
    auto device = driver.AddDevice(InstrumentOptions("TALVEX PRO+"), &peer);
    RecordingListener listener;
    CHfcMidi midi(driver);
    midi.SetListener(&listener);
    ASSERT_TRUE(midi.Create("overrun"));
    ASSERT_TRUE(midi.MidiInOpen(0));
    Bytes dump = CTarnSysExBuilder::SampleDataDump(Bytes(3000, 0x11));
    device->SendToEditor(std::span<const uint8_t>(dump.data(), 1000));
    device->WaitIdle();
    device->SimulateOverrun();
    ASSERT_TRUE(listener.WaitForOverrun());
    device->SendToEditor(std::span<const uint8_t>(dump.data() + 1000, dump.size() - 1000));
    const Bytes request = CTarnSysExBuilder::SampleDataRequest();
    device->SendToEditor(request);
    ASSERT_TRUE(listener.WaitForLongs(1));
    EXPECT_EQ(listener.longs[0], request);
    device->WaitIdle();
    EXPECT_EQ(listener.longs.size(), 1u);
    EXPECT_FALSE(midi.IsReceiving());
}

TEST(HfcMidiPort, AnUnpluggedDeviceIsReportedAndSendingFails) {
    RecordingPeer peer;
    CVirtualMidiDriver driver;
    CVirtualMidiDeviceOptions options = InstrumentOptions("TALVEX PRO+");
    options.bytesPerSecond = 10000;
    auto device = driver.AddDevice(options, &peer);
    RecordingListener listener;
    CHfcMidi midi(driver);
    midi.SetListener(&listener);
    ASSERT_TRUE(midi.Create("unplug"));
    ASSERT_TRUE(midi.MidiInOpen(0));
    ASSERT_TRUE(midi.MidiOutOpen(0));
    Bytes piece(128, 0x10);
    ASSERT_TRUE(midi.Out(piece.size(), piece.data()));
    ASSERT_TRUE(midi.Out(piece.size(), piece.data()));
    device->Unplug();
    ASSERT_TRUE(listener.WaitForLost());
    EXPECT_TRUE(midi.IsPortLost());
    EXPECT_FALSE(midi.Out(piece.size(), piece.data()));
    EXPECT_LE(listener.sent.size(), 1u); // pieces that never went out are not reported sent
    EXPECT_TRUE(midi.MidiOutClose());
    EXPECT_TRUE(midi.MidiInClose());
    EXPECT_FALSE(midi.MidiOutOpen(0)); // gone for good
}

TEST(HfcMidiPort, EchoThroughTheInstalledSystem) {
    RecordingPeer peer;
    peer.AnswerWith(
        {0xf0, 0x7e, 0x05, 0x06, 0x02, 0x42, 0x1b, 0x01, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0xf7});
    CVirtualMidiDriver driver;
    driver.AddDevice(InstrumentOptions("TALVEX PRO+"), &peer);
    CHfcMidiSystem::SetDriver(&driver);
    {
        RecordingListener listener;
        CHfcMidi midi;
        midi.SetListener(&listener);
        ASSERT_TRUE(midi.Create("echo"));
        ASSERT_TRUE(midi.MidiInOpen(0));
        ASSERT_TRUE(midi.MidiOutOpen(0));
        Bytes inquiry = CTarnSysExBuilder::DeviceInquiry();
        ASSERT_TRUE(midi.Out(inquiry.size(), inquiry.data()));
        ASSERT_TRUE(listener.WaitForLongs(1));
        EXPECT_EQ(listener.longs[0].size(), 15u);
        EXPECT_EQ(listener.longs[0][2], 0x05);
    }
    CHfcMidiSystem::SetDriver(nullptr);
    CHfcMidi none;
    EXPECT_EQ(none.GetMidiInDeviceCount(), 0);
    EXPECT_EQ(none.GetMidiOutDeviceCount(), 0);
}

TEST(HfcMidiPort, ClosingWhileTheInstrumentSends) {
    RecordingPeer peer;
    CVirtualMidiDriver driver;
    CVirtualMidiDeviceOptions options = InstrumentOptions("TALVEX PRO+");
    options.bytesPerSecond = 300000;
    auto device = driver.AddDevice(options, &peer);
    RecordingListener listener;
    CHfcMidi midi(driver);
    midi.SetListener(&listener);
    ASSERT_TRUE(midi.Create("close"));
    ASSERT_TRUE(midi.MidiInOpen(0));

    device->SendToEditor(CTarnSysExBuilder::SampleDataDump(Bytes(50000, 0x22)));
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!midi.IsReceiving() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(midi.IsReceiving());
    EXPECT_TRUE(midi.MidiInClose());
    EXPECT_FALSE(midi.IsReceiving());

    // The remainder of the dump is lost; a fresh message after reopening arrives whole.
    std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(midi.MidiInOpen(0));
    Bytes request = CTarnSysExBuilder::SampleDataRequest();
    device->SendToEditor(request);
    ASSERT_TRUE(listener.WaitForLongs(1));
    device->WaitIdle();
    midi.Destroy();
    ASSERT_EQ(listener.longs.size(), 1u);
    EXPECT_EQ(listener.longs[0], request);
}

TEST(HfcMidiPort, SystemDriverNeverCrashesWithoutASequencer) {
    TraceCapture trace;
    std::unique_ptr<CHfcMidiDriver> driver = CreateSystemMidiDriver();
    ASSERT_TRUE(driver);
    std::vector<CHfcMidiDeviceInfo> inputs = driver->InputDevices();
    std::vector<CHfcMidiDeviceInfo> outputs = driver->OutputDevices();
    CHfcMidi midi(*driver);
    ASSERT_TRUE(midi.Create("system"));
    EXPECT_FALSE(midi.MidiInOpen(static_cast<int>(inputs.size())));
    EXPECT_FALSE(midi.MidiOutOpen(static_cast<int>(outputs.size())));
    if (!std::filesystem::exists("/dev/snd/seq")) {
        EXPECT_TRUE(inputs.empty());
        EXPECT_TRUE(outputs.empty());
#ifdef TALVEX_HAVE_ALSA
        struct NullSinks : CHfcMidiInputSink, CHfcMidiOutputSink {
            void OnHfcMidiInputData(const uint8_t*, size_t) override {}
            void OnHfcMidiOutputDone(size_t) override {}
        } sinks;
        CAlsaMidiDriver alsa;
        EXPECT_TRUE(trace.HasPrefix("CAlsaMidiDriver - no ALSA sequencer"));
        std::string error;
        EXPECT_FALSE(alsa.OpenInput(0, sinks, error));
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(alsa.OpenOutput(0, sinks, error));
#endif
    }
}

} // namespace
