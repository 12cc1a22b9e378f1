#include "ui/dialogs/CTarnQtProgressFactory.h"

#include <QApplication>
#include <QPointer>

#include "framework/CTarnProgressDialog.h"
#include "ui/dialogs/CTarnProgressWindow.h"

namespace {

class CTarnQtProgressDialog : public CTarnProgressDialog {
public:
    CTarnQtProgressDialog() : window_(new CTarnProgressWindow(QApplication::activeWindow())) {
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        window_->onCancel = [this] { PressCancel(); };
        Refresh();
    }
    ~CTarnQtProgressDialog() override { delete window_.data(); }

protected:
    void Refresh() override {
        if (window_) {
            window_->Show(QString::fromStdString(Title()), QString::fromStdString(Text()),
                          Percent(), Listener() != nullptr);
        }
    }

private:
    QPointer<CTarnProgressWindow> window_;
};

} // namespace

std::unique_ptr<CTarnProgressDialog> CTarnQtProgressFactory::CreateProgressDialog() {
    return std::make_unique<CTarnQtProgressDialog>();
}

void CTarnQtMessagePump::DispatchPending() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
