#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/CTarnHost.h"
#include "platform/CHfcMemoryPreferences.h"
#include "support/RecordingAlertPresenter.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TempDir.h"
#include "ui/app/CTarnManagerResolver.h"
#include "ui/main/CTarnMainWindow.h"

// A host with its resource services (the linked pictures, fonts and texts) and the main window
// on the offscreen platform, with recording message boxes and scripted file dialogs.
class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lets queued events (messages, posted drops) run.
    static void ProcessEvents();

    TempDir dir;
    RecordingAlertPresenter alerts;
    ScriptedFileDialogs dialogs;
    CHfcMemoryPreferences store;
    CTarnManagerResolver resolver;
    std::unique_ptr<CTarnHost> host;
    CTarnMainWindow* window = nullptr;
};
