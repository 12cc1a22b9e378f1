#include "framework/CHfcFileDialog.h"

#include "framework/CHfcFileDialogListener.h"

void CHfcFileDialog::Init(CEfWindow* parent, CHfcFileDialogListener* listener) {
    parent_ = parent;
    listener_ = listener;
}

void CHfcFileDialog::AddFilter(const std::string& description, const std::string& pattern) {
    filters_.push_back({description, pattern});
}

bool CHfcFileDialog::IsEntryListed(const std::string& path, bool isFolder) {
    return !listener_ || listener_->OnHfcFileDialogWin32BrowseFilter(*this, path, isFolder, kind_);
}

bool CHfcFileDialog::GetOneFile() {
    std::string path;
    const ShowResult result = Show(path);
    if (result == ShowResult::kFailed) {
        return false;
    }
    const bool ok = result == ShowResult::kChosen && !path.empty();
    chosenPath_.clear();
    if (ok) {
        chosenPath_ = path;
        const size_t slash = path.find_last_of('/');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (kind_ == kSave && !defaultExtension_.empty() && name.find('.') == std::string::npos) {
            chosenPath_ += "." + defaultExtension_;
        }
    }
    if (listener_) {
        listener_->OnHfcFileDialogFinished(*this, ok, kind_);
    }
    return true;
}
