#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "framework/CEfCriticalSection.h"
#include "midi/port/CHfcMidiListener.h"

class CTarnProgressDialog;
class CTarnSampleData;

// The window shown while one sample data dump arrives. While it runs it is the port object's
// only listener: on the MIDI thread it counts the arriving bytes and, once the dump is complete,
// checks its size against the sample header and stores it in the target sample; the thread that
// runs the window (the user-interface thread) only sees posted events, handled under
// "DumpProgressDlg", and ticks that end the wait when data stops arriving.
class CTarnDumpProgressDialog : public CHfcMidiListener {
public:
    enum Mode { kSingleBank = 0, kAllData = 1 };
    enum Result { kSucceeded = 1, kTimedOut = 2, kStoreFailed = 3, kIncomplete = 4, kPortLost = 5 };

    static constexpr std::chrono::milliseconds kDefaultTick{50};
    // About 4.5 s of silence at the default tick.
    static constexpr int kDefaultIdleTicks = 90;
    // Steps of one bank; the last one is the manager's, once the dump is stored.
    static constexpr int kBankSteps = 100;

    // The sample must outlive the window; send completions are passed on to forward (may be
    // null).
    CTarnDumpProgressDialog(Mode mode, CTarnSampleData& sample, const uint8_t* header,
                            CHfcMidiListener* forward);
    ~CTarnDumpProgressDialog() override;
    CTarnDumpProgressDialog(const CTarnDumpProgressDialog&) = delete;
    CTarnDumpProgressDialog& operator=(const CTarnDumpProgressDialog&) = delete;

    void SetTiming(std::chrono::milliseconds tick, int idleTicks);
    void SetTotal(int total) { total_ = total; }
    void SetPosition(int position) { position_ = position; }
    int GetPosition() const { return position_; }
    int GetBlockCount() const { return blockCount_; }
    int GetBytesPerStep() const { return bytesPerStep_; }

    // Shows the window and waits for the dump; returns a Result.
    int DoModal();

    void OnHfcMidiInLongMessageReceived(CHfcMidi* source, size_t length,
                                        const uint8_t* bytes) override;
    void OnHfcMidiInLongMessageReceiving(CHfcMidi* source, size_t count,
                                         const uint8_t* bytes) override;
    void OnHfcMidiOutSysExSendComplete(CHfcMidi* source, size_t count) override;
    // Bytes were lost on the way in: the dump ends at once as incomplete.
    void OnHfcMidiInOverrun(CHfcMidi* source) override;
    // The instrument went away: the dump ends at once (and the manager is told).
    void OnHfcMidiPortLost(CHfcMidi* source) override;

private:
    struct Event {
        bool isResult;
        int value;
    };
    void Post(Event event);

    Mode mode_;
    CTarnSampleData& sample_;
    std::array<uint8_t, 16> header_{};
    CHfcMidiListener* forward_;
    int blockCount_ = 1;
    int bytesPerStep_ = 0;
    int total_ = 100;
    int position_ = 0;
    std::chrono::milliseconds tick_ = kDefaultTick;
    int idleTicks_ = kDefaultIdleTicks;

    CEfCriticalSection cs_{"DumpProgressDlg"};
    std::mutex eventMutex_;
    std::condition_variable eventPosted_;
    std::deque<Event> events_;
    bool waiting_ = false;
    bool resultPosted_ = false;
};
