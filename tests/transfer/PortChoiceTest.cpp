#include <gtest/gtest.h>

#include "TransferFixture.h"
#include "data/CTarnMidiException.h"
#include "framework/CEfUiServices.h"
#include "framework/CTarnMessageBox.h"
#include "midi/CTarnMidiPortScanner.h"
#include "midi/CTarnMidiPreferencesForm.h"
#include "midi/CTarnMidiTransfer.h"
#include "platform/CVirtualMidiDevice.h"
#include "platform/CVirtualMidiPeer.h"

namespace {

// A device of another maker: answers the inquiry with its own identity.
class ForeignPeer : public CVirtualMidiPeer {
public:
    void OnVirtualMidiReceived(CVirtualMidiDevice& device, const uint8_t* bytes,
                               size_t length) override {
        if (length >= 6 && bytes[0] == 0xF0 && bytes[1] == 0x7E && bytes[4] == 0x01) {
            static const uint8_t reply[] = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0x1B, 0x01,
                                            0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xF7};
            device.SendToEditor(reply);
        }
    }
};

CVirtualMidiDeviceOptions Named(const std::string& name) {
    CVirtualMidiDeviceOptions options;
    options.name = name;
    return options;
}

class PortChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        CEfUiServices::SetAlerts(&alerts_);
        CEfUiServices::SetProgress(&progress_);
        preferences_ = std::make_unique<CTarnPreferencesData>(store_);
        preferences_->ReadAll();
    }
    void TearDown() override {
        manager_.reset();
        CEfUiServices::SetAlerts(nullptr);
        CEfUiServices::SetProgress(nullptr);
    }
    CTarnMidiManager& Manager() {
        if (!manager_) {
            manager_ = std::make_unique<CTarnMidiManager>(*preferences_, driver_);
            CTarnMidiManager::Timing timing;
            timing.reply = std::chrono::milliseconds(300);
            timing.scanReply = std::chrono::milliseconds(150);
            manager_->SetTiming(timing);
            manager_->Initialize();
        }
        return *manager_;
    }
    int CodeOf(const std::function<void()>& operation) {
        try {
            operation();
        } catch (const CTarnMidiException& e) {
            return e.GetCode();
        }
        return -1;
    }

    CVirtualMidiDriver driver_;
    CHfcMemoryPreferences store_;
    std::unique_ptr<CTarnPreferencesData> preferences_;
    std::unique_ptr<CTarnMidiManager> manager_;
    RecordingAlerts alerts_;
    RecordingProgress progress_;
    ForeignPeer foreign_;
};

} // namespace

TEST_F(PortChoiceTest, FirstAnsweringOutputWinsWithTheInputThatAnswered) {
    auto other = driver_.AddDevice(Named("Synth"), &foreign_);
    CTarnVirtualInstrumentDevice first(driver_, "TALVEX PRO+ (virtual)");
    CTarnVirtualInstrumentDevice second(driver_, "TALVEX PRO+ (virtual) 2");
    CTarnMidiPortScanner scanner(driver_, std::chrono::milliseconds(300));
    CTarnMidiScanResult result;
    ASSERT_TRUE(scanner.Scan(result));
    EXPECT_EQ(result.inputIndex, 1);
    EXPECT_EQ(result.inputName, "TALVEX PRO+ (virtual)");
    EXPECT_EQ(result.outputIndex, 1);
    EXPECT_EQ(result.outputName, "TALVEX PRO+ (virtual)");
    EXPECT_NE(std::find(progress_.texts.begin(), progress_.texts.end(), "Detecting..."),
              progress_.texts.end());
    EXPECT_EQ(progress_.open, 0);
    EXPECT_FALSE(other->IsInputOpen());
    EXPECT_FALSE(first.Device().IsOutputOpen());
}

TEST_F(PortChoiceTest, OnlyAForeignDeviceMeansCannotFind) {
    driver_.AddDevice(Named("Synth"), &foreign_);
    CTarnGlobalData global;
    EXPECT_EQ(CodeOf([&] { Manager().ReceiveGlobalData(&global); }),
              CTarnMidiException::kDeviceNotFound);
    EXPECT_EQ(preferences_->GetDetectedMidiInIndex(), -1);
    std::string name = "x";
    int index = 0;
    Manager().Search(1, name, index);
    EXPECT_EQ(name, "");
    EXPECT_EQ(index, -2);
}

TEST_F(PortChoiceTest, NoDevicesAtAllMeansCannotFind) {
    CTarnGlobalData global;
    EXPECT_EQ(CodeOf([&] { Manager().TransmitGlobalData(&global); }),
              CTarnMidiException::kDeviceNotFound);
}

TEST_F(PortChoiceTest, DetectionIsKeptForLaterTransfers) {
    CTarnVirtualInstrumentDevice instrument(driver_);
    CTarnGlobalData global;
    ASSERT_TRUE(Manager().ReceiveGlobalData(&global));
    EXPECT_EQ(preferences_->GetDetectedMidiOutName(), "TALVEX PRO+ (virtual)");
    EXPECT_EQ(preferences_->GetDetectedMidiOutIndex(), 0);
    const int windows = progress_.created;
    ASSERT_TRUE(Manager().ReceiveGlobalData(&global));
    EXPECT_EQ(progress_.created, windows + 1); // no second detection window
    EXPECT_TRUE(alerts_.texts.empty());
}

TEST_F(PortChoiceTest, ChosenPortsAreRequiredWithoutDetection) {
    preferences_->SetMidiDeviceAutoDetect(false);
    EXPECT_FALSE(Manager().IsPortConfigured());
    CTarnGlobalData global;
    EXPECT_EQ(CodeOf([&] { Manager().ReceiveGlobalData(&global); }), CTarnMidiException::kNoPort);
    preferences_->SetMidiInDeviceName("Gone");
    preferences_->SetMidiInDeviceIndex(0);
    preferences_->SetMidiOutDeviceName("Gone");
    preferences_->SetMidiOutDeviceIndex(0);
    EXPECT_TRUE(Manager().IsPortConfigured());
    EXPECT_EQ(CodeOf([&] { Manager().ReceiveGlobalData(&global); }),
              CTarnMidiException::kPortOpenFailed);
    EXPECT_FALSE(Manager().IsMidiInOpen());
}

TEST_F(PortChoiceTest, OpenByNamePrefersTheStoredIndexAndSurvivesRenumbering) {
    driver_.AddDevice(Named("A"), nullptr);
    driver_.AddDevice(Named("N"), nullptr);
    driver_.AddDevice(Named("B"), nullptr);
    auto third = driver_.AddDevice(Named("N"), nullptr);
    ASSERT_TRUE(Manager().MidiInOpenByNameAndIndex("N", 3));
    EXPECT_EQ(Manager().GetOpenedMidiInIndex(), 3);
    ASSERT_TRUE(Manager().MidiOutOpenByNameAndIndex("N", 3));
    EXPECT_EQ(Manager().GetOpenedMidiOutIndex(), 3);
    Manager().MidiInOpenByNameAndIndex("", -2);
    Manager().MidiOutOpenByNameAndIndex("", -2);
    EXPECT_FALSE(Manager().IsMidiInOpen());

    driver_.RemoveDevice(third);
    driver_.AddDevice(Named("C"), nullptr);
    ASSERT_TRUE(Manager().MidiInOpenByNameAndIndex("N", 3));
    EXPECT_EQ(Manager().GetOpenedMidiInIndex(), 1);
    EXPECT_FALSE(Manager().MidiOutOpenByNameAndIndex("n", 1)); // names match exactly
    EXPECT_TRUE(Manager().MidiOutOpenByNameAndIndex("", 1));
    EXPECT_FALSE(Manager().IsMidiOutOpen());
}

TEST_F(PortChoiceTest, ForeignDriverIdentifiersWarnAndTheTransferGoesOn) {
    CVirtualMidiDeviceOptions options = CTarnVirtualInstrumentDevice::DefaultOptions();
    options.outputProductId = 7;
    CTarnVirtualInstrumentDevice instrument(driver_, options);
    CTarnGlobalData global;
    ASSERT_TRUE(Manager().ReceiveGlobalData(&global));
    ASSERT_EQ(alerts_.texts.size(), 1u);
    EXPECT_EQ(alerts_.texts[0], CTarnMessageBox::Text(26));
    EXPECT_EQ(alerts_.styles[0], 0x82);
    ASSERT_TRUE(Manager().ReceiveGlobalData(&global));
    EXPECT_EQ(alerts_.texts.size(), 2u); // before every transfer
}

TEST_F(PortChoiceTest, PortsWithoutDriverIdentifiersGetNoWarning) {
    CVirtualMidiDeviceOptions options = CTarnVirtualInstrumentDevice::DefaultOptions();
    options.hasIds = false;
    CTarnVirtualInstrumentDevice instrument(driver_, options);
    preferences_->SetMidiDeviceAutoDetect(false);
    preferences_->SetMidiInDeviceName(options.name);
    preferences_->SetMidiInDeviceIndex(0);
    preferences_->SetMidiOutDeviceName(options.name);
    preferences_->SetMidiOutDeviceIndex(0);
    CTarnGlobalData global;
    ASSERT_TRUE(Manager().ReceiveGlobalData(&global));
    EXPECT_TRUE(alerts_.texts.empty());
}

TEST(MidiPreferencesForm, ListsPortsAndStoresWhatOkMeans) {
    CHfcMemoryPreferences store;
    CTarnPreferencesData preferences(store);
    preferences.ReadAll();
    preferences.SetMidiDeviceAutoDetect(false);
    preferences.SetWarnBeforeTransmit(false);
    preferences.SetMidiInDeviceName("N");
    preferences.SetMidiInDeviceIndex(3);
    preferences.SetMidiOutDeviceName("Unplugged");
    preferences.SetMidiOutDeviceIndex(4);
    const std::vector<CHfcMidiDeviceInfo> inputs = {{0, "A"}, {1, "N"}, {3, "N"}};
    const std::vector<CHfcMidiDeviceInfo> outputs = {{0, "A"}, {1, "B"}};

    CTarnMidiPreferencesForm form(preferences, inputs, outputs);
    EXPECT_TRUE(form.PortMenusEnabled());
    EXPECT_EQ(form.inputMenu.Items(),
              (std::vector<std::string>{"Not use MIDI In port", "A", "N", "N"}));
    EXPECT_EQ(form.inputMenu.Selected(), 3); // the N at the stored index
    EXPECT_EQ(form.outputMenu.Items(), (std::vector<std::string>{"Not use MIDI Out port", "A", "B",
                                                                 "Unplugged (Not Connected)"}));
    EXPECT_EQ(form.outputMenu.Selected(), 3);

    form.warnBeforeTransmit = true;
    form.inputMenu.Select(0);
    form.Store(preferences);
    EXPECT_TRUE(preferences.GetWarnBeforeTransmit());
    EXPECT_TRUE(preferences.GetSettingDataTransmit());
    EXPECT_EQ(preferences.GetMidiInDeviceName(), "");
    EXPECT_EQ(preferences.GetMidiInDeviceIndex(), -2);
    EXPECT_EQ(preferences.GetMidiOutDeviceName(), "Unplugged"); // "(Not Connected)" keeps it
    EXPECT_EQ(preferences.GetMidiOutDeviceIndex(), 4);

    CTarnMidiPreferencesForm again(preferences, inputs, outputs);
    EXPECT_EQ(again.inputMenu.Selected(), 0);
    again.outputMenu.Select(2);
    again.autoDetect = true;
    EXPECT_FALSE(again.PortMenusEnabled());
    again.Store(preferences);
    EXPECT_EQ(preferences.GetMidiOutDeviceName(), "B");
    EXPECT_EQ(preferences.GetMidiOutDeviceIndex(), 1);
    EXPECT_TRUE(preferences.GetMidiDeviceAutoDetect());
}

TEST_F(PortChoiceTest, TransferWrappersShowTheMessageAndGiveFalse) {
    driver_.AddDevice(Named("Synth"), &foreign_);
    CTarnAllData all;
    all.Reset();
    EXPECT_FALSE(CTarnMidiTransfer::Receive(&Manager(), &all));
    ASSERT_EQ(alerts_.texts.size(), 1u);
    EXPECT_EQ(alerts_.texts[0], "Cannot find TALVEX PRO+.");
    EXPECT_EQ(alerts_.styles[0], 0x22);
    EXPECT_FALSE(CTarnMidiTransfer::Transmit(nullptr, &all));
    EXPECT_EQ(alerts_.texts.size(), 1u);

    // Detection after the preferences dialog: nothing answered, so empty names and -2.
    Manager().DetectPorts();
    EXPECT_EQ(preferences_->GetDetectedMidiInName(), "");
    EXPECT_EQ(preferences_->GetDetectedMidiInIndex(), -2);
    EXPECT_EQ(preferences_->GetDetectedMidiOutIndex(), -2);
}
