#include "TransferFixture.h"

#include <random>

#include "data/CTarnMidiException.h"
#include "framework/CEfUiServices.h"
#include "framework/EfByteOrder.h"

int RecordingAlerts::ShowAlert(const std::string& text, const std::string& /*caption*/,
                               uint8_t style) {
    texts.push_back(text);
    styles.push_back(style);
    return answer;
}

namespace {

class RecordingDialog : public CTarnProgressDialog {
public:
    explicit RecordingDialog(RecordingProgress& owner) : owner_(owner) { ++owner_.open; }
    ~RecordingDialog() override { --owner_.open; }

protected:
    void Refresh() override {
        if (owner_.titles.empty() || owner_.titles.back() != Title()) {
            owner_.titles.push_back(Title());
        }
        if (owner_.texts.empty() || owner_.texts.back() != Text()) {
            owner_.texts.push_back(Text());
        }
        owner_.lastPosition = Position();
        if (owner_.onChange) {
            owner_.onChange(*this);
        }
    }

private:
    RecordingProgress& owner_;
};

} // namespace

std::unique_ptr<CTarnProgressDialog> RecordingProgress::CreateProgressDialog() {
    ++created;
    return std::make_unique<RecordingDialog>(*this);
}

void TransferTest::SetUp() {
    CEfUiServices::SetAlerts(&alerts_);
    CEfUiServices::SetProgress(&progress_);
    preferences_ = std::make_unique<CTarnPreferencesData>(store_);
    preferences_->ReadAll();
    instrument_ = std::make_unique<CTarnVirtualInstrumentDevice>(driver_);
    manager_ = std::make_unique<CTarnMidiManager>(*preferences_, driver_);
    CTarnMidiManager::Timing timing;
    timing.reply = std::chrono::milliseconds(300);
    timing.dumpTick = std::chrono::milliseconds(10);
    timing.dumpIdleTicks = 30;
    timing.scanReply = std::chrono::milliseconds(300);
    manager_->SetTiming(timing);
    ASSERT_TRUE(manager_->Initialize());
    // Found once, as the editor keeps the ports found by its first transfer.
    manager_->DetectPorts();
    ASSERT_EQ(preferences_->GetDetectedMidiOutIndex(), 0);
}

void TransferTest::TearDown() {
    manager_.reset();
    instrument_.reset();
    CEfUiServices::SetAlerts(nullptr);
    CEfUiServices::SetProgress(nullptr);
}

int TransferTest::CodeOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const CTarnMidiException& e) {
        return e.GetCode();
    }
    return -1;
}

void FillBank(CTarnSampleData& sample, int frames, int tempo10, int phraseLength, uint32_t seed) {
    uint8_t header[16] = {};
    ef::WriteBE32(header + 4, static_cast<uint32_t>(frames) << 10);
    ef::WriteBE16(header + 8, static_cast<uint16_t>(tempo10));
    header[12] = static_cast<uint8_t>(phraseLength | (phraseLength << 4));
    header[15] = 100;
    std::vector<uint8_t> data(size_t(frames + 1) * 4, 0);
    std::mt19937 random(seed);
    for (size_t i = 0; i + 4 < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(random());
    }
    ASSERT_TRUE(sample.SetNativeData(header, data.data(), static_cast<int>(data.size())));
    // Once more through its own native form, so the bank is what the instrument gives back.
    sample.GetNativeHeader(header);
    data.assign(static_cast<size_t>(sample.GetNativeDataSize()), 0);
    ASSERT_TRUE(sample.GetNativeData(data.data(), static_cast<int>(data.size())));
    ASSERT_TRUE(sample.SetNativeData(header, data.data(), static_cast<int>(data.size())));
}

void FillAllData(CTarnAllData& all, uint32_t seed) {
    all.Reset();
    std::mt19937 random(seed);
    uint8_t global[256];
    for (uint8_t& b : global) {
        b = static_cast<uint8_t>(random());
    }
    global[16] |= 0x10; // keep System Exclusive enabled
    all.Global().SetNativeData(global);
    for (int i = 0; i < 8; ++i) {
        uint8_t program[30];
        for (uint8_t& b : program) {
            b = static_cast<uint8_t>(random());
        }
        all.ProgramMemory(i)->SetNativeData(program);
    }
    FillBank(*all.Bank(0), 20000, 1200, 4, seed + 1);
    FillBank(*all.Bank(2), 30000, 1085, 5, seed + 2);
}
