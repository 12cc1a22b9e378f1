#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "platform/CVirtualMidiDriver.h"
#include "platform/CVirtualMidiPeer.h"

namespace {

using namespace std::chrono_literals;

struct CountingSinks : CHfcMidiInputSink, CHfcMidiOutputSink {
    void OnHfcMidiInputData(const uint8_t*, size_t length) override { received += length; }
    void OnHfcMidiOutputDone(size_t length) override { sent += length; }
    std::atomic<size_t> received{0};
    std::atomic<size_t> sent{0};
};

struct CountingPeer : CVirtualMidiPeer {
    void OnVirtualMidiReceived(CVirtualMidiDevice&, const uint8_t*, size_t length) override {
        received += length;
    }
    std::atomic<size_t> received{0};
};

TEST(VirtualMidi, ListingFollowsTheDevicesAndTheirDirections) {
    CVirtualMidiDriver driver;
    CVirtualMidiDeviceOptions inputOnly;
    inputOnly.name = "Pads";
    inputOnly.hasOutput = false;
    CVirtualMidiDeviceOptions both;
    both.name = "Synth";
    both.hasIds = true;
    both.inputManufacturerId = 1;
    both.inputProductId = 2;
    both.outputManufacturerId = 3;
    both.outputProductId = 4;
    auto pads = driver.AddDevice(inputOnly, nullptr);
    auto synth = driver.AddDevice(both, nullptr);

    std::vector<CHfcMidiDeviceInfo> inputs = driver.InputDevices();
    std::vector<CHfcMidiDeviceInfo> outputs = driver.OutputDevices();
    ASSERT_EQ(inputs.size(), 2u);
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(inputs[1].name, "Synth");
    EXPECT_EQ(inputs[1].index, 1);
    EXPECT_EQ(inputs[1].productId, 2);
    EXPECT_EQ(outputs[0].name, "Synth");
    EXPECT_EQ(outputs[0].index, 0);
    EXPECT_EQ(outputs[0].manufacturerId, 3);
    EXPECT_EQ(outputs[0].productId, 4);

    CountingSinks sinks;
    std::string error;
    EXPECT_FALSE(driver.OpenOutput(1, sinks, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(pads->OpenOutput(sinks, error));

    driver.RemoveDevice(pads);
    inputs = driver.InputDevices();
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].name, "Synth");
    EXPECT_EQ(inputs[0].index, 0);
}

TEST(VirtualMidi, PortsOutlivingTheirDeviceFailQuietly) {
    CountingPeer peer;
    CountingSinks sinks;
    std::unique_ptr<CHfcMidiOutputPort> output;
    std::unique_ptr<CHfcMidiInputPort> input;
    {
        CVirtualMidiDriver driver;
        auto device = driver.AddDevice({}, &peer);
        std::string error;
        output = driver.OpenOutput(0, sinks, error);
        input = driver.OpenInput(0, sinks, error);
        ASSERT_TRUE(output && input);
        const uint8_t bytes[] = {0xf0, 0x01, 0xf7};
        ASSERT_TRUE(output->Send(bytes, sizeof bytes));
        device->WaitIdle();
        EXPECT_EQ(peer.received, 3u);
        EXPECT_EQ(sinks.sent, 3u);
        driver.RemoveDevice(device);
    }
    const uint8_t more[] = {0x90, 0x3c, 0x40};
    EXPECT_FALSE(output->Send(more, sizeof more));
    output.reset();
    input.reset();
    EXPECT_EQ(peer.received, 3u);
}

TEST(VirtualMidi, ByteRatePacesDelivery) {
    CountingPeer peer;
    CVirtualMidiDriver driver;
    CVirtualMidiDeviceOptions options;
    options.bytesPerSecond = 100000;
    options.segmentSize = 1000;
    auto device = driver.AddDevice(options, &peer);
    CountingSinks sinks;
    std::string error;
    auto input = driver.OpenInput(0, sinks, error);
    ASSERT_TRUE(input);
    std::vector<uint8_t> bytes(10000, 0x11);
    auto start = std::chrono::steady_clock::now();
    device->SendToEditor(bytes);
    device->WaitIdle();
    // 10000 bytes at 100000 bytes per second cannot arrive in less than 100 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 95ms);
    EXPECT_EQ(sinks.received, bytes.size());
}

} // namespace
