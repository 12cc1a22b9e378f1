#include "sim/CTarnVirtualInstrument.h"

#include <algorithm>

#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"
#include "sim/CTarnSimOutput.h"
#include "sim/SimPacking.h"

namespace {

constexpr uint8_t kManufacturer = 0x42;
constexpr uint8_t kModel[3] = {0x00, 0x01, 0x1B};
// Family 155 and member 0, low seven bits first.
constexpr uint8_t kFamily[2] = {0x1B, 0x01};
constexpr uint8_t kForeignFamily[2] = {0x1A, 0x01};
constexpr uint8_t kVersion[4] = {0x01, 0x00, 0x02, 0x00};

constexpr uint8_t kFuncGlobalRequest = 0x0E;
constexpr uint8_t kFuncProgramRequest = 0x1C;
constexpr uint8_t kFuncHeaderRequest = 0x1E;
constexpr uint8_t kFuncSampleDataRequest = 0x27;
constexpr uint8_t kFuncGlobalDump = 0x51;
constexpr uint8_t kFuncProgramDump = 0x4C;
constexpr uint8_t kFuncHeaderDump = 0x4E;
constexpr uint8_t kFuncSampleDataDump = 0x4F;
constexpr uint8_t kFuncCompleted = 0x21;
constexpr uint8_t kFuncError = 0x22;
constexpr uint8_t kFuncReady = 0x27;
constexpr uint8_t kFuncBusyUsb = 0x28;
constexpr uint8_t kFuncBusyRecording = 0x29;
constexpr uint8_t kFuncNotice = 0x01;

constexpr size_t kGlobalSize = 256;
constexpr size_t kProgramSize = 30;
constexpr size_t kHeaderSize = 16;
// The bank holds at most this many frames, plus the closing zero frame of the native data.
constexpr int64_t kMaxSampleFrames = 424960;
// Longest message the instrument collects: the largest sample data dump, with room to spare.
constexpr size_t kMaxMessage = 4u << 20;
// Chunk the output is written in, like one input buffer of a MIDI driver.
constexpr size_t kWireChunk = 2048;
// A clock byte is threaded through long messages this often when noise is on.
constexpr size_t kClockSpacing = 97;

// Expected native data length for a header, or 0 for an empty bank, or -1 when the header asks
// for more than a bank holds.
int64_t NativeDataSize(const uint8_t* header) {
    const int32_t numSamples = static_cast<int32_t>(ef::ReadBE32(header + 4));
    if (numSamples <= 0) {
        return 0;
    }
    const int64_t frames = (numSamples >> 10) + 1;
    return frames > kMaxSampleFrames + 1 ? -1 : frames * 4;
}

} // namespace

CTarnVirtualInstrument::CTarnVirtualInstrument(CTarnSimOutput& output, uint8_t deviceId)
    : output_(output), deviceId_(deviceId & 0x7F), thread_([this] { Run(); }) {}

CTarnVirtualInstrument::~CTarnVirtualInstrument() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    idle_.notify_all();
    thread_.join();
}

void CTarnVirtualInstrument::Input(const uint8_t* bytes, size_t length) {
    if (length == 0) {
        return;
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        // Like a cable, a limited wire holds the sender back: new bytes go in only once the
        // earlier ones have been taken in, so the sender's completions follow the wire speed.
        idle_.wait(lock, [this] { return stop_ || byteRate_ <= 0 || unfinished_ == 0; });
        if (stop_) {
            return;
        }
        queue_.emplace_back(bytes, bytes + length);
        ++unfinished_;
    }
    wake_.notify_all();
}

void CTarnVirtualInstrument::SetDeviceId(uint8_t deviceId) {
    std::lock_guard<std::mutex> lock(mutex_);
    deviceId_ = deviceId & 0x7F;
}

uint8_t CTarnVirtualInstrument::DeviceId() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return deviceId_;
}

void CTarnVirtualInstrument::ArmFault(const CTarnSimFaultPlan& plan) {
    std::lock_guard<std::mutex> lock(mutex_);
    fault_ = plan;
}

bool CTarnVirtualInstrument::FaultArmed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return fault_.fault != CTarnSimFault::kNone;
}

void CTarnVirtualInstrument::SetInterleaveNoise(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    noise_ = on;
}

void CTarnVirtualInstrument::SetByteRate(int bytesPerSecond) {
    std::lock_guard<std::mutex> lock(mutex_);
    byteRate_ = std::max(0, bytesPerSecond);
}

CTarnSimMemory CTarnVirtualInstrument::Memory() const {
    std::lock_guard<std::mutex> lock(memoryMutex_);
    return memory_;
}

void CTarnVirtualInstrument::SetMemory(const CTarnSimMemory& memory) {
    std::lock_guard<std::mutex> lock(memoryMutex_);
    memory_ = memory;
}

bool CTarnVirtualInstrument::WaitIdle(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, timeout, [this] { return unfinished_ == 0; });
}

void CTarnVirtualInstrument::Run() {
    for (;;) {
        std::vector<uint8_t> chunk;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (stop_) {
                return;
            }
            chunk = std::move(queue_.front());
            queue_.pop_front();
        }
        Pace(chunk.size());
        Consume(chunk);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --unfinished_;
        }
        idle_.notify_all();
    }
}

void CTarnVirtualInstrument::Consume(const std::vector<uint8_t>& chunk) {
    for (uint8_t b : chunk) {
        if (b >= 0xF8) {
            continue; // real-time bytes may appear anywhere and mean nothing here
        }
        if (b == 0xF0) {
            collecting_.assign(1, b);
            inSysEx_ = true;
        } else if (b == 0xF7) {
            if (inSysEx_) {
                collecting_.push_back(b);
                inSysEx_ = false;
                Handle(collecting_);
            }
        } else if (b & 0x80) {
            inSysEx_ = false;
        } else if (inSysEx_) {
            if (collecting_.size() >= kMaxMessage) {
                EfTrace("Virtual instrument: message longer than %zu bytes dropped", kMaxMessage);
                inSysEx_ = false;
            } else {
                collecting_.push_back(b);
            }
        }
    }
}

void CTarnVirtualInstrument::Handle(const std::vector<uint8_t>& message) {
    const uint8_t deviceId = DeviceId();
    if (message.size() == 6 && message[1] == 0x7E &&
        (message[2] == 0x7F || message[2] == deviceId) && message[3] == 0x06 &&
        message[4] == 0x01) {
        CTarnSimFault fault = CTarnSimFault::kNone;
        TakeFault(CTarnSimStage::kInquiry, fault);
        if (!AnswerGenericFault(fault)) {
            SendIdentity(fault);
        }
        return;
    }
    if (message.size() >= 8 && message[1] == kManufacturer && (message[2] & 0xF0) == 0x30 &&
        (message[2] & 0x0F) == (deviceId & 0x0F) && message[3] == kModel[0] &&
        message[4] == kModel[1] && message[5] == kModel[2]) {
        HandleInstrumentMessage(message);
    }
}

void CTarnVirtualInstrument::HandleInstrumentMessage(const std::vector<uint8_t>& message) {
    const size_t length = message.size();
    CTarnSimStage stage;
    size_t required = 0; // 0: at least 10
    switch (message[6]) {
    case kFuncGlobalRequest:
        stage = CTarnSimStage::kGlobalRequest;
        required = 8;
        break;
    case kFuncProgramRequest:
        stage = CTarnSimStage::kProgramRequest;
        required = 9;
        break;
    case kFuncHeaderRequest:
        stage = CTarnSimStage::kHeaderRequest;
        required = 9;
        break;
    case kFuncSampleDataRequest:
        stage = CTarnSimStage::kSampleDataRequest;
        required = 8;
        break;
    case kFuncGlobalDump:
        stage = CTarnSimStage::kGlobalDump;
        required = 8 + sim::PackedSize(kGlobalSize);
        break;
    case kFuncProgramDump:
        stage = CTarnSimStage::kProgramDump;
        required = 9 + sim::PackedSize(kProgramSize);
        break;
    case kFuncHeaderDump:
        stage = CTarnSimStage::kHeaderDump;
        required = 9 + sim::PackedSize(kHeaderSize);
        break;
    case kFuncSampleDataDump:
        stage = CTarnSimStage::kSampleDataDump;
        break;
    default:
        return; // not something the instrument answers
    }
    if ((required != 0 && length != required) || (required == 0 && length < 10)) {
        SendReply(kFuncError);
        return;
    }
    CTarnSimFault fault = CTarnSimFault::kNone;
    TakeFault(stage, fault);
    if (AnswerGenericFault(fault)) {
        return;
    }
    switch (stage) {
    case CTarnSimStage::kGlobalRequest:
        SendGlobalDump();
        break;
    case CTarnSimStage::kProgramRequest:
        SendProgramDump(message[7]);
        break;
    case CTarnSimStage::kHeaderRequest:
        SendHeaderDump(message[7]);
        break;
    case CTarnSimStage::kSampleDataRequest:
        SendSampleData(fault);
        break;
    case CTarnSimStage::kGlobalDump:
        AcceptGlobalDump(message);
        break;
    case CTarnSimStage::kProgramDump:
        AcceptProgramDump(message);
        break;
    case CTarnSimStage::kHeaderDump:
        AcceptHeaderDump(message);
        break;
    default:
        AcceptSampleData(message);
        break;
    }
}

bool CTarnVirtualInstrument::TakeFault(CTarnSimStage stage, CTarnSimFault& fault) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fault_.fault == CTarnSimFault::kNone) {
        return false;
    }
    const bool request =
        stage == CTarnSimStage::kGlobalRequest || stage == CTarnSimStage::kProgramRequest ||
        stage == CTarnSimStage::kHeaderRequest || stage == CTarnSimStage::kSampleDataRequest;
    const bool dump = stage == CTarnSimStage::kGlobalDump || stage == CTarnSimStage::kProgramDump ||
                      stage == CTarnSimStage::kHeaderDump ||
                      stage == CTarnSimStage::kSampleDataDump;
    const bool matches = fault_.stage == stage ||
                         (fault_.stage == CTarnSimStage::kAnyRequest && request) ||
                         (fault_.stage == CTarnSimStage::kAnyDump && dump);
    if (!matches) {
        return false;
    }
    if (fault_.skip > 0) {
        --fault_.skip;
        return false;
    }
    fault = fault_.fault;
    fault_ = CTarnSimFaultPlan{};
    return true;
}

bool CTarnVirtualInstrument::AnswerGenericFault(CTarnSimFault fault) {
    switch (fault) {
    case CTarnSimFault::kBusyUsb:
        SendReply(kFuncBusyUsb);
        return true;
    case CTarnSimFault::kBusyRecording:
        SendReply(kFuncBusyRecording);
        return true;
    case CTarnSimFault::kErrorReply:
        SendReply(kFuncError);
        return true;
    case CTarnSimFault::kNoReply:
        return true;
    default:
        return false;
    }
}

void CTarnVirtualInstrument::SendIdentity(CTarnSimFault fault) {
    const bool foreign = fault == CTarnSimFault::kIdentityForeign;
    std::vector<uint8_t> reply = {0xF0, 0x7E, DeviceId(), 0x06, 0x02, kManufacturer};
    reply.push_back(foreign ? kForeignFamily[0] : kFamily[0]);
    reply.push_back(foreign ? kForeignFamily[1] : kFamily[1]);
    reply.push_back(fault == CTarnSimFault::kIdentityMember1 ? 0x01 : 0x00);
    reply.push_back(0x00);
    reply.insert(reply.end(), std::begin(kVersion), std::end(kVersion));
    reply.push_back(0xF7);
    SendNoise();
    Emit(reply);
}

void CTarnVirtualInstrument::SendGlobalDump() {
    std::vector<uint8_t> dump = Header(kFuncGlobalDump);
    {
        std::lock_guard<std::mutex> lock(memoryMutex_);
        const std::vector<uint8_t> packed = sim::Pack(memory_.global.data(), kGlobalSize);
        dump.insert(dump.end(), packed.begin(), packed.end());
    }
    dump.push_back(0xF7);
    SendNoise();
    Emit(dump);
}

void CTarnVirtualInstrument::SendProgramDump(uint8_t program) {
    if (program >= CTarnSimMemory::kPrograms) {
        SendReply(kFuncError);
        return;
    }
    std::vector<uint8_t> dump = Header(kFuncProgramDump);
    dump.push_back(program);
    {
        std::lock_guard<std::mutex> lock(memoryMutex_);
        const std::vector<uint8_t> packed =
            sim::Pack(memory_.programs[program].data(), kProgramSize);
        dump.insert(dump.end(), packed.begin(), packed.end());
    }
    dump.push_back(0xF7);
    SendNoise();
    Emit(dump);
}

void CTarnVirtualInstrument::SendHeaderDump(uint8_t bank) {
    if (bank >= CTarnSimMemory::kBanks) {
        SendReply(kFuncError);
        return;
    }
    requestedBank_ = bank;
    std::vector<uint8_t> dump = Header(kFuncHeaderDump);
    dump.push_back(bank);
    {
        std::lock_guard<std::mutex> lock(memoryMutex_);
        const std::vector<uint8_t> packed =
            sim::Pack(memory_.banks[bank].header.data(), kHeaderSize);
        dump.insert(dump.end(), packed.begin(), packed.end());
    }
    dump.push_back(0xF7);
    SendNoise();
    Emit(dump);
}

void CTarnVirtualInstrument::SendSampleData(CTarnSimFault fault) {
    if (requestedBank_ < 0) {
        SendReply(kFuncError); // the data follows a header request, never stands alone
        return;
    }
    std::vector<uint8_t> dump = Header(kFuncSampleDataDump);
    dump.push_back(0x00);
    dump.push_back(0x00);
    {
        std::lock_guard<std::mutex> lock(memoryMutex_);
        std::vector<uint8_t> data = memory_.banks[requestedBank_].data;
        if (data.empty()) {
            data.assign(4, 0); // an empty bank still ends with its zero frame
        }
        const std::vector<uint8_t> packed = sim::Pack(data.data(), data.size());
        dump.insert(dump.end(), packed.begin(), packed.end());
    }
    if (fault == CTarnSimFault::kSampleDataShort) {
        dump.resize(dump.size() - std::min<size_t>(7, dump.size() - 9));
    }
    if (fault == CTarnSimFault::kSampleDataHalfway) {
        dump.resize(dump.size() / 2);
    } else {
        dump.push_back(0xF7);
    }
    SendNoise();
    Emit(dump);
}

void CTarnVirtualInstrument::AcceptGlobalDump(const std::vector<uint8_t>& message) {
    std::array<uint8_t, kGlobalSize> image{};
    sim::Unpack(message.data() + 7, message.size() - 8, image.data(), image.size());
    {
        std::lock_guard<std::mutex> lock(memoryMutex_);
        memory_.global = image;
    }
    SendReply(kFuncCompleted);
}

void CTarnVirtualInstrument::AcceptProgramDump(const std::vector<uint8_t>& message) {
    const uint8_t program = message[7];
    if (program >= CTarnSimMemory::kPrograms) {
        SendReply(kFuncError);
        return;
    }
    std::array<uint8_t, kProgramSize> image{};
    sim::Unpack(message.data() + 8, message.size() - 9, image.data(), image.size());
    {
        std::lock_guard<std::mutex> lock(memoryMutex_);
        memory_.programs[program] = image;
    }
    SendReply(kFuncCompleted);
}

void CTarnVirtualInstrument::AcceptHeaderDump(const std::vector<uint8_t>& message) {
    const uint8_t bank = message[7];
    std::array<uint8_t, kHeaderSize> header{};
    sim::Unpack(message.data() + 8, message.size() - 9, header.data(), header.size());
    const int64_t size = NativeDataSize(header.data());
    if (bank >= CTarnSimMemory::kBanks || size < 0) {
        awaitingBank_ = -1;
        SendReply(kFuncError);
        return;
    }
    if (size == 0) {
        // An empty bank has no data to follow: it is stored at once.
        std::lock_guard<std::mutex> lock(memoryMutex_);
        memory_.banks[bank].header = header;
        memory_.banks[bank].data.clear();
        awaitingBank_ = -1;
    } else {
        awaitingBank_ = bank;
        awaitingHeader_ = header;
    }
    SendReply(kFuncReady);
}

void CTarnVirtualInstrument::AcceptSampleData(const std::vector<uint8_t>& message) {
    if (awaitingBank_ < 0) {
        SendReply(kFuncError);
        return;
    }
    const int bank = awaitingBank_;
    awaitingBank_ = -1;
    const size_t expected = static_cast<size_t>(NativeDataSize(awaitingHeader_.data()));
    const size_t packedLength = message.size() - 10;
    if (packedLength * 7 / 8 != expected) {
        EfTrace("Virtual instrument: sample data of %zu bytes, header asks for %zu",
                packedLength * 7 / 8, expected);
        SendReply(kFuncError);
        return;
    }
    std::vector<uint8_t> data(expected);
    sim::Unpack(message.data() + 9, packedLength, data.data(), data.size());
    {
        std::lock_guard<std::mutex> lock(memoryMutex_);
        memory_.banks[bank].header = awaitingHeader_;
        memory_.banks[bank].data = std::move(data);
    }
    SendReply(kFuncCompleted);
}

std::vector<uint8_t> CTarnVirtualInstrument::Header(uint8_t function) const {
    return {0xF0,      kManufacturer, static_cast<uint8_t>(0x30 | (DeviceId() & 0x0F)),
            kModel[0], kModel[1],     kModel[2],
            function};
}

void CTarnVirtualInstrument::SendReply(uint8_t function) {
    std::vector<uint8_t> reply = Header(function);
    reply.push_back(0xF7);
    SendNoise();
    Emit(reply);
}

void CTarnVirtualInstrument::SendNoise() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!noise_) {
            return;
        }
    }
    // A note, active sensing, another maker's SysEx, and a notice of this instrument that no
    // transfer asks for.
    Emit({0x90, 0x3C, 0x40, 0xFE});
    Emit({0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7});
    std::vector<uint8_t> notice = Header(kFuncNotice);
    notice.push_back(0x00);
    notice.push_back(0xF7);
    Emit(notice);
}

void CTarnVirtualInstrument::Emit(const std::vector<uint8_t>& message) {
    bool noise;
    size_t chunk;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        noise = noise_;
        // With a rate limit, chunks of about 20 ms keep the arrival smooth.
        chunk = byteRate_ > 0 ? std::clamp<size_t>(byteRate_ / 50, 1, kWireChunk) : kWireChunk;
    }
    std::vector<uint8_t> wire;
    if (noise && message.size() > kClockSpacing) {
        wire.reserve(message.size() + message.size() / kClockSpacing);
        for (size_t i = 0; i < message.size(); ++i) {
            if (i > 0 && i % kClockSpacing == 0) {
                wire.push_back(0xF8);
            }
            wire.push_back(message[i]);
        }
    } else {
        wire = message;
    }
    for (size_t offset = 0; offset < wire.size(); offset += chunk) {
        const size_t n = std::min(chunk, wire.size() - offset);
        Pace(n);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) {
                return;
            }
        }
        output_.OnSimOutput(wire.data() + offset, n);
    }
}

void CTarnVirtualInstrument::Pace(size_t bytes) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (byteRate_ <= 0) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    wireFree_ = std::max(wireFree_, now) +
                std::chrono::microseconds(static_cast<int64_t>(bytes) * 1000000 / byteRate_);
    wake_.wait_until(lock, wireFree_, [this] { return stop_; });
}
