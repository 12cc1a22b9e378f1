#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/CTarnSimFault.h"
#include "sim/CTarnSimMemory.h"

class CTarnSimOutput;

// The instrument side of the SysEx protocol: answers the device inquiry with its identity, dump
// requests with dumps, accepts dumps with the completed reply and a sample header with the ready
// reply followed by the sample data. Input bytes are queued and handled on the instrument's own
// thread, which also writes every answer to the output, so the caller's send never blocks on the
// answer. Messages on another channel than the device ID's are ignored, as the hardware does.
class CTarnVirtualInstrument {
public:
    // Wire speeds worth simulating, in bytes per second.
    static constexpr int kUsbMidiByteRate = 1000000;
    static constexpr int kDinMidiByteRate = 3125;

    // Starts with all-zero memory; SetMemory gives it its contents. The output must outlive the
    // instrument.
    explicit CTarnVirtualInstrument(CTarnSimOutput& output, uint8_t deviceId = 0);
    ~CTarnVirtualInstrument();
    CTarnVirtualInstrument(const CTarnVirtualInstrument&) = delete;
    CTarnVirtualInstrument& operator=(const CTarnVirtualInstrument&) = delete;

    // Bytes sent to the instrument, in any chunking. Any thread; with a byte rate set, waits
    // until the bytes given before have been taken in at that rate.
    void Input(const uint8_t* bytes, size_t length);

    void SetDeviceId(uint8_t deviceId);
    uint8_t DeviceId() const;
    void ArmFault(const CTarnSimFaultPlan& plan);
    bool FaultArmed() const;
    // Surrounds every answer with unrelated messages and threads F8 clocks through long ones.
    void SetInterleaveNoise(bool on);
    // Limits both directions to the given wire speed; 0 removes the limit.
    void SetByteRate(int bytesPerSecond);

    CTarnSimMemory Memory() const;
    void SetMemory(const CTarnSimMemory& memory);

    // Waits until every byte given to Input so far has been handled and answered; false on
    // time-out.
    bool WaitIdle(std::chrono::milliseconds timeout);

private:
    void Run();
    void Consume(const std::vector<uint8_t>& chunk);
    void Handle(const std::vector<uint8_t>& message);
    void HandleInstrumentMessage(const std::vector<uint8_t>& message);
    bool TakeFault(CTarnSimStage stage, CTarnSimFault& fault);
    // Answers with busy, error or silence when a generic fault fires; true when it did.
    bool AnswerGenericFault(CTarnSimFault fault);

    void SendIdentity(CTarnSimFault fault);
    void SendGlobalDump();
    void SendProgramDump(uint8_t program);
    void SendHeaderDump(uint8_t bank);
    void SendSampleData(CTarnSimFault fault);
    void AcceptGlobalDump(const std::vector<uint8_t>& message);
    void AcceptProgramDump(const std::vector<uint8_t>& message);
    void AcceptHeaderDump(const std::vector<uint8_t>& message);
    void AcceptSampleData(const std::vector<uint8_t>& message);

    void SendReply(uint8_t function);
    std::vector<uint8_t> Header(uint8_t function) const;
    void SendNoise();
    // Writes bytes to the output in wire-sized chunks at the wire speed.
    void Emit(const std::vector<uint8_t>& message);
    void Pace(size_t bytes);

    CTarnSimOutput& output_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::vector<uint8_t>> queue_;
    size_t unfinished_ = 0;
    bool stop_ = false;
    uint8_t deviceId_;
    CTarnSimFaultPlan fault_;
    bool noise_ = false;
    int byteRate_ = 0;

    mutable std::mutex memoryMutex_;
    CTarnSimMemory memory_;

    // Used by the instrument's thread only.
    std::vector<uint8_t> collecting_;
    bool inSysEx_ = false;
    int requestedBank_ = -1;
    int awaitingBank_ = -1;
    std::array<uint8_t, 16> awaitingHeader_{};
    std::chrono::steady_clock::time_point wireFree_{};

    std::thread thread_;
};
