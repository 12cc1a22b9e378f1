#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/CTarnHost.h"
#include "platform/CHfcMemoryPreferences.h"
#include "sim/CTarnVirtualInstrumentSession.h"
#include "support/RecordingAlertPresenter.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TempDir.h"
#include "ui/app/CTarnManagerResolver.h"
#include "ui/main/CTarnMainWindow.h"

class CEfControl;
class CEfWindowLayer;
class CTarnGlobalContainer;
class CTarnGlobalData;
class CTarnGlobalExtCtrlLayer;
class CTarnExtCtrlParamLayerBase;

// The editor's main window on the offscreen platform showing the Global page, over the virtual
// instrument, with recording message boxes and scripted file dialogs.
class GlobalPageFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lets queued events (messages) run.
    static void ProcessEvents();

    CTarnGlobalContainer& Page() const;
    CTarnGlobalData& Global() const;
    // Shows a tab (through the host) and returns its layer.
    CEfWindowLayer& ShowTab(int tab);
    CTarnGlobalExtCtrlLayer& List();
    // The parameter layer shown on the External Controller tab.
    CTarnExtCtrlParamLayerBase& ParamLayer();
    // The control with the key on a layer; fails the test when missing.
    static CEfControl& Control(const CEfWindowLayer& layer, const char* key);
    // What the control would report: changed with the value, to its layer.
    static void Change(const CEfWindowLayer& layer, const char* key, int value);
    static void Click(const CEfWindowLayer& layer, const char* key);

    TempDir dir;
    RecordingAlertPresenter alerts;
    ScriptedFileDialogs dialogs;
    CHfcMemoryPreferences store;
    CTarnManagerResolver resolver;
    std::unique_ptr<CTarnVirtualInstrumentSession> instrument;
    std::unique_ptr<CTarnHost> host;
    CTarnMainWindow* window = nullptr;
};
