#include "midi/CTarnDumpProgressDialog.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "data/CTarnSampleData.h"
#include "framework/CEfAutoLock.h"
#include "framework/CEfMessagePump.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CEfUiServices.h"
#include "framework/CTarnProgressDialog.h"
#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"
#include "midi/CTarnSysExPacking.h"
#include "midi/CTarnSysExParser.h"

namespace {

constexpr uint8_t kSampleDataDumpStart[7] = {0xF0, 0x42, 0x30, 0x00, 0x01, 0x1B, 0x4F};
constexpr size_t kDumpFrame = 10; // nine bytes in front of the data and the closing F7

} // namespace

CTarnDumpProgressDialog::CTarnDumpProgressDialog(Mode mode, CTarnSampleData& sample,
                                                 const uint8_t* header, CHfcMidiListener* forward)
    : mode_(mode), sample_(sample), forward_(forward) {
    std::memcpy(header_.data(), header, header_.size());
    const int32_t numSamples = static_cast<int32_t>(ef::ReadBE32(header_.data() + 4));
    blockCount_ = (std::max(numSamples, 0) >> 10) + 1;
    bytesPerStep_ =
        static_cast<int>((CTarnSysExPacking::PackedSize(size_t(blockCount_) * 4) + 7) / 100);
}

CTarnDumpProgressDialog::~CTarnDumpProgressDialog() = default;

void CTarnDumpProgressDialog::SetTiming(std::chrono::milliseconds tick, int idleTicks) {
    tick_ = tick;
    idleTicks_ = idleTicks;
}

int CTarnDumpProgressDialog::DoModal() {
    CEfMessagePump& pump = CEfUiServices::Pump();
    std::unique_ptr<CTarnProgressDialog> window = CEfUiServices::Progress().CreateProgressDialog();
    window->SetTitle(mode_ == kAllData ? "Receive All Data" : "Receive Loop Recorder Data");
    window->SetText("Receiving...");
    window->SetTotal(total_);
    window->SetPosition(position_);
    {
        std::lock_guard<std::mutex> lock(eventMutex_);
        waiting_ = true;
    }
    pump.DispatchPending();

    const int lastPosition = position_ + kBankSteps - 1;
    int idle = 0;
    int accumulator = 0;
    auto nextTick = std::chrono::steady_clock::now() + tick_;
    for (;;) {
        std::deque<Event> events;
        {
            std::unique_lock<std::mutex> lock(eventMutex_);
            eventPosted_.wait_until(lock, nextTick, [this] { return !events_.empty(); });
            events.swap(events_);
        }
        CEfAutoLock lock(cs_);
        for (const Event& event : events) {
            if (event.isResult) {
                std::lock_guard<std::mutex> eventLock(eventMutex_);
                waiting_ = false;
                return event.value;
            }
            // One dump counts at most one bank's steps, however the bytes were cut up.
            accumulator += event.value;
            while (accumulator > bytesPerStep_ && position_ < lastPosition) {
                ++position_;
                accumulator -= std::max(bytesPerStep_, 1);
            }
            window->SetPosition(position_);
            idle = 0;
        }
        if (std::chrono::steady_clock::now() >= nextTick) {
            nextTick += tick_;
            if (++idle > idleTicks_) {
                std::lock_guard<std::mutex> eventLock(eventMutex_);
                waiting_ = false;
                return kTimedOut;
            }
        }
        pump.DispatchPending();
    }
}

void CTarnDumpProgressDialog::Post(Event event) {
    {
        std::lock_guard<std::mutex> lock(eventMutex_);
        if (event.isResult) {
            if (resultPosted_) {
                return; // one dump, one result
            }
            resultPosted_ = true;
        }
        events_.push_back(event);
    }
    eventPosted_.notify_one();
}

void CTarnDumpProgressDialog::OnHfcMidiInLongMessageReceived(CHfcMidi* /*source*/, size_t length,
                                                             const uint8_t* bytes) {
    EfTrace("OnHfcMidiInLongMessageReceivedn");
    if (length <= kDumpFrame) {
        return;
    }
    uint8_t start[7];
    std::memcpy(start, bytes, sizeof(start));
    start[2] &= 0xF0;
    if (std::memcmp(start, kSampleDataDumpStart, sizeof(start)) != 0) {
        return;
    }
    const size_t expected = size_t(blockCount_) * 4;
    const size_t received = CTarnSysExParser::SampleDataSizeOfDump(length);
    EfTrace("-----------------------------------");
    EfTrace("NumSamples @ SampleHeader:      %08x", ef::ReadBE32(header_.data() + 4));
    EfTrace("   ( NumSamples >> 10 ) + 1 =   %d (%08x)", blockCount_, blockCount_);
    EfTrace("   Data size (NumSamples*2*2) = %zu", expected);
    EfTrace("   Dump message size:           %zu", CTarnSysExPacking::PackedSize(expected) + 10);
    EfTrace("Received message size:          %zu", length);
    EfTrace("   without header and F7:       %zu", length - kDumpFrame);
    EfTrace("   7-8 converted size:          %zu", received);
    EfTrace("-----------------------------------");
    if (received != expected) {
        Post({true, kIncomplete});
        return;
    }
    std::vector<uint8_t> data(expected);
    CTarnSysExPacking::Unpack(data.data(), bytes + 9, expected);
    int result = kSucceeded;
    if (!sample_.SetNativeData(header_.data(), data.data(), static_cast<int>(expected))) {
        EfTrace("Failed to set native sample data.");
        result = kStoreFailed;
    }
    Post({true, result});
}

void CTarnDumpProgressDialog::OnHfcMidiInLongMessageReceiving(CHfcMidi* /*source*/, size_t count,
                                                              const uint8_t* bytes) {
    {
        std::lock_guard<std::mutex> lock(eventMutex_);
        if (!waiting_) {
            return;
        }
    }
    if (count > 0 && bytes[0] != 0xF8) {
        Post({false, static_cast<int>(count)});
    }
}

void CTarnDumpProgressDialog::OnHfcMidiInOverrun(CHfcMidi* /*source*/) {
    // Bytes of the dump were lost: it can only end incomplete, so it ends now rather than after
    // the idle time-out or, worse, as a dump with a gap in it.
    EfTrace("OnHfcMidiInOverrun");
    Post({true, kIncomplete});
}

void CTarnDumpProgressDialog::OnHfcMidiPortLost(CHfcMidi* source) {
    EfTrace("OnHfcMidiPortLost");
    Post({true, kPortLost});
    if (forward_) {
        forward_->OnHfcMidiPortLost(source);
    }
}

void CTarnDumpProgressDialog::OnHfcMidiOutSysExSendComplete(CHfcMidi* source, size_t count) {
    EfTrace("OnHfcMidiOutSysExSendComplete");
    if (forward_) {
        forward_->OnHfcMidiOutSysExSendComplete(source, count);
    }
}
