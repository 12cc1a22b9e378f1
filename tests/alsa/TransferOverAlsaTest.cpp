// The transfer manager on the ALSA backend over the kernel model, with the virtual instrument at
// the far end of the hardware port: what a musician with the instrument on a cable gets.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "FakeAlsa.h"
#include "app/CTarnPreferencesData.h"
#include "data/CTarnAllData.h"
#include "data/CTarnMidiException.h"
#include "data/CTarnSampleData.h"
#include "framework/CEfAlertPresenter.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CEfUiServices.h"
#include "framework/CTarnProgressDialog.h"
#include "framework/EfByteOrder.h"
#include "midi/CTarnMidiManager.h"
#include "platform/CHfcMemoryPreferences.h"
#include "platform/alsa/CAlsaMidiDriver.h"
#include "sim/CTarnSimMemoryIo.h"
#include "sim/CTarnSimOutput.h"
#include "sim/CTarnVirtualInstrument.h"

namespace {

using namespace std::chrono_literals;

class Alerts : public CEfAlertPresenter {
public:
    int ShowAlert(const std::string&, const std::string&, uint8_t) override { return 1; }
};

class Progress : public CEfProgressFactory {
public:
    std::function<void(CTarnProgressDialog&)> onChange;

    std::unique_ptr<CTarnProgressDialog> CreateProgressDialog() override {
        return std::make_unique<Dialog>(*this);
    }

private:
    class Dialog : public CTarnProgressDialog {
    public:
        explicit Dialog(Progress& owner) : owner_(owner) {}

    protected:
        void Refresh() override {
            if (owner_.onChange) {
                owner_.onChange(*this);
            }
        }

    private:
        Progress& owner_;
    };
};

// The instrument at the far end of Model MIDI 1: takes what leaves the wire, answers through
// the hardware port's input.
class FarEnd : private CTarnSimOutput {
public:
    FarEnd() : instrument_(*this), pump_([this] { Pump(); }) {}
    ~FarEnd() {
        stop_ = true;
        pump_.join();
    }
    CTarnVirtualInstrument& Instrument() { return instrument_; }
    // Sends active sensing between the pieces of everything it sends, as many instruments and
    // interfaces do.
    void SetSensing(bool on) { sensing_ = on; }

private:
    void Pump() {
        while (!stop_) {
            const std::vector<uint8_t> bytes = fake_alsa::TakeWire();
            if (bytes.empty()) {
                std::this_thread::sleep_for(1ms);
                continue;
            }
            instrument_.Input(bytes.data(), bytes.size());
        }
    }
    void OnSimOutput(const uint8_t* bytes, size_t length) override {
        for (size_t pos = 0; pos < length; pos += 256) {
            while (fake_alsa::EditorFifoUsed() > 1000) {
                std::this_thread::sleep_for(100us);
            }
            fake_alsa::DeliverFromHardware(
                {std::vector<uint8_t>(bytes + pos, bytes + std::min(length, pos + 256))});
            if (sensing_) {
                fake_alsa::DeliverRealTimeFromHardware(0xfe);
            }
        }
    }

    CTarnVirtualInstrument instrument_;
    std::atomic<bool> sensing_{false};
    std::atomic<bool> stop_{false};
    std::thread pump_;
};

class TransferOverAlsa : public ::testing::Test {
protected:
    void SetUp() override {
        fake_alsa::Reset(3125, 0);
        CEfUiServices::SetAlerts(&alerts_);
        CEfUiServices::SetProgress(&progress_);
        preferences_ = std::make_unique<CTarnPreferencesData>(store_);
        preferences_->ReadAll();
        preferences_->SetMidiDeviceAutoDetect(false);
        preferences_->SetMidiInDeviceName("Model MIDI 1");
        preferences_->SetMidiInDeviceIndex(0);
        preferences_->SetMidiOutDeviceName("Model MIDI 1");
        preferences_->SetMidiOutDeviceIndex(0);
        CAlsaMidiDriver::Options options;
        options.clock = &fake_alsa::Clock();
        driver_ = std::make_unique<CAlsaMidiDriver>(options);
        far_ = std::make_unique<FarEnd>();
        manager_ = std::make_unique<CTarnMidiManager>(*preferences_, *driver_);
        ASSERT_TRUE(manager_->Initialize());
    }
    void TearDown() override {
        manager_.reset();
        far_.reset();
        driver_.reset();
        CEfUiServices::SetAlerts(nullptr);
        CEfUiServices::SetProgress(nullptr);
    }

    // A bank of the given length of seeded noise, in the instrument's own native form.
    static void Fill(CTarnSampleData& sample, int frames) {
        uint8_t header[16] = {};
        ef::WriteBE32(header + 4, static_cast<uint32_t>(frames) << 10);
        ef::WriteBE16(header + 8, 1085); // 16 beats at 108.5 BPM: the whole bank plays
        header[12] = 8 | (8 << 4);
        header[15] = 100;
        std::vector<uint8_t> data(size_t(frames + 1) * 4, 0);
        std::mt19937 random(77);
        for (size_t i = 0; i + 4 < data.size(); ++i) {
            data[i] = static_cast<uint8_t>(random());
        }
        ASSERT_TRUE(sample.SetNativeData(header, data.data(), static_cast<int>(data.size())));
    }

    CHfcMemoryPreferences store_;
    std::unique_ptr<CTarnPreferencesData> preferences_;
    std::unique_ptr<CAlsaMidiDriver> driver_;
    std::unique_ptr<FarEnd> far_;
    std::unique_ptr<CTarnMidiManager> manager_;
    Alerts alerts_;
    Progress progress_;
};

// Ten minutes of DIN cable for a full bank: it all arrives, and the wait for the instrument's
// answer starts only when the wire is done.
TEST_F(TransferOverAlsa, AFullBankReachesTheInstrumentOverADinCable) {
    CTarnSampleData sample;
    sample.Initialize();
    Fill(sample, 424959);
    ASSERT_GT(sample.GetNativeDataSize(), 1600000);
    std::vector<uint8_t> data(static_cast<size_t>(sample.GetNativeDataSize()));
    ASSERT_TRUE(sample.GetNativeData(data.data(), static_cast<int>(data.size())));
    EXPECT_TRUE(manager_->TransmitLoopRecorderData(1, &sample));
    EXPECT_EQ(fake_alsa::GetStats().droppedBytes, 0u);
    EXPECT_GT(fake_alsa::Now(), 500s);
    ASSERT_TRUE(far_->Instrument().WaitIdle(5000ms));
    EXPECT_EQ(far_->Instrument().Memory().banks[1].data, data);
}

TEST_F(TransferOverAlsa, AFullBankArrivesWholeWithActiveSensingBetweenItsPieces) {
    CTarnAllData all;
    all.Reset();
    Fill(*all.Bank(3), 424959);
    far_->Instrument().SetMemory(CTarnSimMemoryIo::FromAllData(all));
    far_->SetSensing(true);
    CTarnSampleData received;
    received.Initialize();
    EXPECT_TRUE(manager_->ReceiveLoopRecorderData(3, &received));
    std::vector<uint8_t> expected(static_cast<size_t>(all.Bank(3)->GetNativeDataSize()));
    std::vector<uint8_t> got(static_cast<size_t>(received.GetNativeDataSize()));
    ASSERT_GT(expected.size(), 1600000u);
    ASSERT_EQ(got.size(), expected.size());
    ASSERT_TRUE(all.Bank(3)->GetNativeData(expected.data(), static_cast<int>(expected.size())));
    ASSERT_TRUE(received.GetNativeData(got.data(), static_cast<int>(got.size())));
    EXPECT_EQ(got, expected);
    EXPECT_EQ(fake_alsa::GetStats().editorOverflows, 0u);
}

TEST_F(TransferOverAlsa, UnpluggingMidDumpEndsWithASendFailureWithinASecond) {
    CTarnSampleData sample;
    sample.Initialize();
    Fill(sample, 200000);
    std::chrono::steady_clock::time_point unplugged{};
    progress_.onChange = [&](CTarnProgressDialog& dialog) {
        if (unplugged == std::chrono::steady_clock::time_point{} && dialog.Position() >= 20) {
            unplugged = std::chrono::steady_clock::now();
            fake_alsa::UnplugHardware();
        }
    };
    int code = -1;
    try {
        manager_->TransmitLoopRecorderData(0, &sample);
    } catch (const CTarnMidiException& e) {
        code = e.GetCode();
    }
    EXPECT_EQ(code, CTarnMidiException::kSendFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - unplugged, 1s);
    EXPECT_FALSE(manager_->IsMidiOutOpen());
}

} // namespace
