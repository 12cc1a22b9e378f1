#include "framework/CTarnProgressDialog.h"

#include "framework/CTarnProgressDialogListener.h"

void CTarnProgressDialog::SetTitle(const std::string& title) {
    title_ = title;
    Refresh();
}

void CTarnProgressDialog::SetText(const std::string& text) {
    text_ = text;
    Refresh();
}

void CTarnProgressDialog::SetTotal(int total) {
    total_ = total;
    Refresh();
}

void CTarnProgressDialog::SetPosition(int position) {
    position_ = position;
    Refresh();
}

void CTarnProgressDialog::Step() {
    ++position_;
    Refresh();
}

int CTarnProgressDialog::Percent() const {
    if (total_ <= 0) {
        return 0;
    }
    return static_cast<int>(static_cast<long long>(position_) * 100 / total_);
}

void CTarnProgressDialog::PressCancel() {
    if (listener_) {
        listener_->OnCancel();
    }
}
