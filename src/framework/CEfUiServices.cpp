#include "framework/CEfUiServices.h"

#include <atomic>

#include "framework/CEfAlertPresenter.h"
#include "framework/CEfMessagePump.h"
#include "framework/CEfProgressFactory.h"
#include "framework/EfTrace.h"

namespace {

class CHeadlessAlerts : public CEfAlertPresenter {
public:
    int ShowAlert(const std::string& text, const std::string& caption, uint8_t style) override {
        EfTrace("Alert [%s] (style %u): %s", caption.c_str(), unsigned(style), text.c_str());
        return 0;
    }
};

class CHeadlessProgress : public CEfProgressFactory {
public:
    std::unique_ptr<CTarnProgressDialog> CreateProgressDialog() override {
        return std::make_unique<CTarnProgressDialog>();
    }
};

class CHeadlessPump : public CEfMessagePump {
public:
    void DispatchPending() override {}
};

CHeadlessAlerts headlessAlerts;
CHeadlessProgress headlessProgress;
CHeadlessPump headlessPump;

std::atomic<CEfAlertPresenter*> alerts{&headlessAlerts};
std::atomic<CEfProgressFactory*> progress{&headlessProgress};
std::atomic<CEfMessagePump*> pump{&headlessPump};

} // namespace

CEfAlertPresenter& CEfUiServices::Alerts() {
    return *alerts.load();
}

CEfProgressFactory& CEfUiServices::Progress() {
    return *progress.load();
}

CEfMessagePump& CEfUiServices::Pump() {
    return *pump.load();
}

void CEfUiServices::SetAlerts(CEfAlertPresenter* presenter) {
    alerts.store(presenter ? presenter : &headlessAlerts);
}

void CEfUiServices::SetProgress(CEfProgressFactory* factory) {
    progress.store(factory ? factory : &headlessProgress);
}

void CEfUiServices::SetPump(CEfMessagePump* p) {
    pump.store(p ? p : &headlessPump);
}
