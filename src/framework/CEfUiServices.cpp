#include "framework/CEfUiServices.h"

#include <atomic>

#include "framework/CEfAlertPresenter.h"
#include "framework/CEfMessagePump.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CHfcFileDialogFactory.h"
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

class CHeadlessFileDialog : public CHfcFileDialog {
public:
    using CHfcFileDialog::CHfcFileDialog;

protected:
    ShowResult Show(std::string&) override { return ShowResult::kCancelled; }
};

class CHeadlessFileDialogs : public CHfcFileDialogFactory {
public:
    std::unique_ptr<CHfcFileDialog> CreateOpenFileDialog() override {
        return std::make_unique<CHeadlessFileDialog>(CHfcFileDialog::kOpen);
    }
    std::unique_ptr<CHfcFileDialog> CreateSaveFileDialog() override {
        return std::make_unique<CHeadlessFileDialog>(CHfcFileDialog::kSave);
    }
};

CHeadlessAlerts headlessAlerts;
CHeadlessProgress headlessProgress;
CHeadlessPump headlessPump;
CHeadlessFileDialogs headlessFileDialogs;

std::atomic<CEfAlertPresenter*> alerts{&headlessAlerts};
std::atomic<CEfProgressFactory*> progress{&headlessProgress};
std::atomic<CEfMessagePump*> pump{&headlessPump};
std::atomic<CHfcFileDialogFactory*> fileDialogs{&headlessFileDialogs};

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

CHfcFileDialogFactory& CEfUiServices::FileDialogs() {
    return *fileDialogs.load();
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

void CEfUiServices::SetFileDialogs(CHfcFileDialogFactory* factory) {
    fileDialogs.store(factory ? factory : &headlessFileDialogs);
}
