#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CTarnHost.h"
#include "app/CTarnHostListener.h"
#include "app/CTarnHostWindow.h"
#include "framework/CEfMessageWindow.h"
#include "midi/CTarnMidiPreferencesForm.h"
#include "platform/CHfcMemoryPreferences.h"
#include "sim/CTarnVirtualInstrumentSession.h"
#include "support/RecordingAlertPresenter.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TempDir.h"

// The main window as the host sees it, recording what it was asked to do.
class RecordingHostWindow : public CTarnHostWindow {
public:
    void EnableInput(bool enabled) override { inputStates.push_back(enabled); }
    void EndLoop() override { ++loopsEnded; }
    void ShowAboutWindow() override { ++aboutShown; }
    bool RunPreferencesDialog(CTarnMidiPreferencesForm& form) override {
        ++preferencesShown;
        if (editForm) {
            editForm(form);
        }
        return preferencesOk;
    }
    CEfWindow* DialogParent() override { return nullptr; }

    std::vector<bool> inputStates;
    int loopsEnded = 0;
    int aboutShown = 0;
    int preferencesShown = 0;
    bool preferencesOk = true;
    std::function<void(CTarnMidiPreferencesForm&)> editForm;
};

// A window registered with the message manager that keeps the type of every broadcast.
class RecordingMessageWindow : public CEfMessageWindow {
public:
    explicit RecordingMessageWindow(CEfMessageManagerApp& manager) : manager_(manager) {}
    void PostBroadcastNotice(uint32_t sequence) override;
    void PostTargetedNotice(uint32_t) override {}
    bool HasListener(const CEfMessageManagerListener*) const override { return false; }

    std::vector<int32_t> types;

private:
    CEfMessageManagerApp& manager_;
};

// A page as the host sees it: records what it hears and may refuse a page change.
class RecordingListener : public CTarnHostListener {
public:
    explicit RecordingListener(int page) : page_(page) {}
    bool OnTarnHostPageChangeRequested(int) override { return allowPageChange; }
    void OnTarnHostPageChanged(int page) override {
        events.push_back("page " + std::to_string(page));
    }
    void OnTarnHostCut() override { events.push_back("cut"); }
    void OnTarnHostCopy() override { events.push_back("copy"); }
    void OnTarnHostPaste() override { events.push_back("paste"); }
    void OnTarnHostClear() override { events.push_back("clear"); }
    int GetTarnHostPageNumber() const override { return page_; }

    bool allowPageChange = true;
    std::vector<std::string> events;

private:
    int page_;
};

// A host over an in-memory preferences store and the virtual instrument, with recording message
// boxes, file dialogs and main window.
class HostFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the edited data (or the given one) to a file of the temporary folder.
    std::string WriteAllDataFile(const std::string& name);
    std::string WriteGlobalFile(const std::string& name);
    std::string WriteProgramFile(const std::string& name);
    std::string WriteWaveFile(const std::string& name);

    std::vector<std::string> AlertTexts() const;

    TempDir dir;
    RecordingAlertPresenter alerts;
    ScriptedFileDialogs dialogs;
    RecordingHostWindow window;
    CHfcMemoryPreferences store;
    std::unique_ptr<CTarnVirtualInstrumentSession> instrument;
    std::unique_ptr<CTarnHost> host;
    std::unique_ptr<RecordingMessageWindow> messages;
};
