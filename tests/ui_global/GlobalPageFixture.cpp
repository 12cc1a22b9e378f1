#include "GlobalPageFixture.h"

#include <QCoreApplication>

#include "data/CTarnAllData.h"
#include "data/CTarnGlobalData.h"
#include "midi/port/CHfcMidiSystem.h"
#include "platform/CVirtualMidiDriver.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/main/CTarnMainContainer.h"
#include "ui/pages/global/CTarnExtCtrlContainer.h"
#include "ui/pages/global/CTarnExtCtrlParamLayerBase.h"
#include "ui/pages/global/CTarnGlobalContainer.h"
#include "ui/pages/global/CTarnGlobalExtCtrlLayer.h"

void GlobalPageFixture::SetUp() {
    instrument = std::make_unique<CTarnVirtualInstrumentSession>();
    std::string error;
    ASSERT_TRUE(instrument->Open("", error)) << error;
    CHfcMidiSystem::SetDriver(&instrument->Driver());
    host = std::make_unique<CTarnHost>();
    CTarnHostServices services;
    services.preferencesStore = &store;
    services.midiDriver = &instrument->Driver();
    ASSERT_TRUE(host->Initialize(std::move(services)));
    CEfResourceResolver::SetDefault(&resolver);
    window = new CTarnMainWindow(*host);
    window->show();
    ASSERT_TRUE(host->SetPage(2));
    ProcessEvents();
}

void GlobalPageFixture::TearDown() {
    delete window;
    window = nullptr;
    CEfResourceResolver::SetDefault(nullptr);
    host.reset();
    CHfcMidiSystem::SetDriver(nullptr);
    if (instrument) {
        std::string error;
        instrument->Close(error);
    }
}

void GlobalPageFixture::ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

CTarnGlobalContainer& GlobalPageFixture::Page() const {
    auto* page = dynamic_cast<CTarnGlobalContainer*>(window->Container()->Page(2));
    EXPECT_NE(page, nullptr);
    return *page;
}

CTarnGlobalData& GlobalPageFixture::Global() const {
    return host->GetAllData()->Global();
}

CEfWindowLayer& GlobalPageFixture::ShowTab(int tab) {
    EXPECT_TRUE(host->SetGlobalTab(tab));
    ProcessEvents();
    CEfWindowLayer* layer = Page().Tab(tab);
    EXPECT_NE(layer, nullptr);
    return *layer;
}

CTarnGlobalExtCtrlLayer& GlobalPageFixture::List() {
    ShowTab(1);
    return *Page().ExtCtrl()->List();
}

CTarnExtCtrlParamLayerBase& GlobalPageFixture::ParamLayer() {
    ShowTab(1);
    CTarnExtCtrlParamLayerBase* layer = Page().ExtCtrl()->ParamLayer(host->GetExtCtrlLayerKind());
    EXPECT_NE(layer, nullptr);
    EXPECT_TRUE(layer->IsLayerVisible());
    return *layer;
}

CEfControl& GlobalPageFixture::Control(const CEfWindowLayer& layer, const char* key) {
    CEfControl* control = layer.FindControl(key);
    EXPECT_NE(control, nullptr) << key;
    return *control;
}

void GlobalPageFixture::Change(const CEfWindowLayer& layer, const char* key, int value) {
    CEfControl& control = Control(layer, key);
    control.Listener()->OnEfControlChanged(&control, value);
}

void GlobalPageFixture::Click(const CEfWindowLayer& layer, const char* key) {
    CEfControl& control = Control(layer, key);
    control.Listener()->OnEfControlClicked(&control);
}
