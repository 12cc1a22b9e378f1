// What every MIDI backend promises the port layer, checked on the ALSA backend over the kernel
// model and on the in-process virtual driver alike.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "FakeAlsa.h"
#include "RigSupport.h"
#include "platform/CVirtualMidiDriver.h"
#include "platform/CVirtualMidiPeer.h"
#include "platform/alsa/CAlsaMidiDriver.h"

namespace {

using rig::Bytes;
using namespace std::chrono_literals;

// A driver with one device and the means to play that device's part.
class Rig {
public:
    virtual ~Rig() = default;
    virtual CHfcMidiDriver& Driver() = 0;
    virtual int Index() = 0;
    // Bytes from the device to the editor, one piece at a time.
    virtual void FromDevice(const std::vector<Bytes>& pieces) = 0;
    // Everything the device has received, once the wire has had time.
    virtual Bytes ToDevice() = 0;
    virtual void Unplug() = 0;
};

class AlsaRig : public Rig {
public:
    AlsaRig() {
        fake_alsa::Reset(31250, 0);
        CAlsaMidiDriver::Options options;
        options.clock = &fake_alsa::Clock();
        options.hardwareBytesPerSecond = 31250;
        driver_ = std::make_unique<CAlsaMidiDriver>(options);
    }
    CHfcMidiDriver& Driver() override { return *driver_; }
    int Index() override { return 0; }
    void FromDevice(const std::vector<Bytes>& pieces) override {
        for (const Bytes& piece : pieces) {
            while (fake_alsa::EditorFifoUsed() > 1000) {
                std::this_thread::sleep_for(100us);
            }
            if (piece.size() == 1 && piece[0] >= 0xf8) {
                fake_alsa::DeliverRealTimeFromHardware(piece[0]);
            } else {
                fake_alsa::DeliverFromHardware({piece});
            }
        }
    }
    Bytes ToDevice() override {
        fake_alsa::Clock().SleepUntil(fake_alsa::Now() + 5s);
        return fake_alsa::Wire();
    }
    void Unplug() override { fake_alsa::UnplugHardware(); }

private:
    std::unique_ptr<CAlsaMidiDriver> driver_;
};

class VirtualRig : public Rig, private CVirtualMidiPeer {
public:
    VirtualRig() {
        CVirtualMidiDeviceOptions options;
        options.name = "Virtual";
        options.bytesPerSecond = 200000;
        options.segmentSize = 256;
        device_ = driver_.AddDevice(options, this);
    }
    ~VirtualRig() override { device_->SetPeer(nullptr); }
    CHfcMidiDriver& Driver() override { return driver_; }
    int Index() override { return 0; }
    void FromDevice(const std::vector<Bytes>& pieces) override {
        for (const Bytes& piece : pieces) {
            device_->SendToEditor(piece);
        }
    }
    Bytes ToDevice() override {
        device_->WaitIdle();
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }
    void Unplug() override { device_->Unplug(); }

private:
    void OnVirtualMidiReceived(CVirtualMidiDevice&, const uint8_t* b, size_t n) override {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.insert(received_.end(), b, b + n);
    }
    CVirtualMidiDriver driver_;
    std::shared_ptr<CVirtualMidiDevice> device_;
    std::mutex mutex_;
    Bytes received_;
};

using RigFactory = std::function<std::unique_ptr<Rig>()>;

class Conformance : public ::testing::TestWithParam<std::pair<const char*, RigFactory>> {
protected:
    void SetUp() override { rig_ = GetParam().second(); }
    void TearDown() override { rig_.reset(); }
    std::unique_ptr<Rig> rig_;
};

Bytes Stream(size_t size) {
    Bytes bytes(size);
    bytes[0] = 0xf0;
    for (size_t i = 1; i < size - 1; ++i) {
        bytes[i] = static_cast<uint8_t>((i * 11) & 0x7f);
    }
    bytes[size - 1] = 0xf7;
    return bytes;
}

TEST_P(Conformance, PiecesGoOutUnchangedAndAreReportedOnceInOrder) {
    rig::OutputRecorder sink;
    std::string error;
    auto port = rig_->Driver().OpenOutput(rig_->Index(), sink, error);
    ASSERT_TRUE(port) << error;
    const Bytes stream = Stream(20000);
    std::vector<size_t> sizes;
    for (size_t pos = 0, n = 1; pos < stream.size(); pos += n, n = n % 300 + 37) {
        n = std::min(n, stream.size() - pos);
        ASSERT_TRUE(port->Send(stream.data() + pos, n));
        sizes.push_back(n);
    }
    ASSERT_TRUE(sink.WaitForDone(sizes.size()));
    EXPECT_EQ(sink.done, sizes);
    EXPECT_EQ(rig_->ToDevice(), stream);
    port.reset();
    EXPECT_EQ(sink.done.size(), sizes.size());
}

TEST_P(Conformance, ClosingDropsWaitingPiecesAndEndsAnOpenSysEx) {
    rig::OutputRecorder sink;
    std::string error;
    auto port = rig_->Driver().OpenOutput(rig_->Index(), sink, error);
    ASSERT_TRUE(port) << error;
    const Bytes stream = Stream(100000);
    for (size_t pos = 0; pos < 50000; pos += 128) {
        ASSERT_TRUE(port->Send(stream.data() + pos, 128));
    }
    port.reset();
    EXPECT_EQ(sink.done.size(), 50000u / 128 + 1); // every piece accounted for
    const Bytes received = rig_->ToDevice();
    if (!received.empty()) {
        EXPECT_EQ(received.back(), 0xf7);
        EXPECT_TRUE(std::equal(received.begin(), received.end() - 1, stream.begin()));
    }
}

TEST_P(Conformance, InputArrivesAsBytesWithRealTimeBytesBetweenPieces) {
    rig::InputRecorder sink;
    std::string error;
    auto port = rig_->Driver().OpenInput(rig_->Index(), sink, error);
    ASSERT_TRUE(port) << error;
    const Bytes stream = Stream(3000);
    std::vector<Bytes> pieces;
    Bytes expected;
    for (size_t pos = 0; pos < stream.size(); pos += 256) {
        pieces.emplace_back(stream.begin() + pos,
                            stream.begin() + std::min(stream.size(), pos + 256));
        pieces.push_back({0xfe});
        expected.insert(expected.end(), pieces[pieces.size() - 2].begin(),
                        pieces[pieces.size() - 2].end());
        expected.push_back(0xfe);
    }
    rig_->FromDevice(pieces);
    ASSERT_TRUE(sink.WaitForBytes(expected.size()));
    EXPECT_EQ(sink.Received(), expected);
    EXPECT_EQ(sink.overruns, 0);
}

TEST_P(Conformance, AnUnpluggedDeviceIsLostInBothDirections) {
    rig::InputRecorder in;
    rig::OutputRecorder out;
    std::string error;
    auto input = rig_->Driver().OpenInput(rig_->Index(), in, error);
    auto output = rig_->Driver().OpenOutput(rig_->Index(), out, error);
    ASSERT_TRUE(input && output) << error;
    const auto start = std::chrono::steady_clock::now();
    rig_->Unplug();
    ASSERT_TRUE(in.WaitUntil([&] { return in.lost > 0; }, 1000ms));
    ASSERT_TRUE(out.WaitForLost());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    const Bytes piece = {0xf0, 0x01, 0xf7};
    EXPECT_FALSE(output->Send(piece.data(), piece.size()));
    output.reset();
    input.reset();
    EXPECT_EQ(in.lost, 1);
    EXPECT_EQ(out.lost, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Backends, Conformance,
    ::testing::Values(
        std::make_pair("Alsa", RigFactory([] { return std::unique_ptr<Rig>(new AlsaRig); })),
        std::make_pair("Virtual", RigFactory([] { return std::unique_ptr<Rig>(new VirtualRig); }))),
    [](const auto& info) { return std::string(info.param.first); });

} // namespace
