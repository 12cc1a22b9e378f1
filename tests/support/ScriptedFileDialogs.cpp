#include "support/ScriptedFileDialogs.h"

#include <algorithm>
#include <filesystem>

#include "framework/CEfUiServices.h"

class ScriptedFileDialogs::Dialog : public CHfcFileDialog {
public:
    Dialog(int kind, ScriptedFileDialogs& owner, Step step)
        : CHfcFileDialog(kind), owner_(owner), step_(std::move(step)) {}

protected:
    ShowResult Show(std::string& chosenPath) override {
        Shown shown;
        shown.kind = GetKind();
        shown.title = GetTitle();
        shown.filters = GetFilters();
        shown.initialFileName = GetInitialFileName();
        shown.defaultExtension = GetDefaultExtension();
        for (const Entry& entry : owner_.entries_) {
            if (IsEntryListed(entry.path, entry.isFolder)) {
                shown.listed.push_back(entry.path);
            }
        }
        owner_.shown_.push_back(std::move(shown));
        switch (step_.answer) {
        case Answer::kChoose:
            chosenPath = step_.path;
            return ShowResult::kChosen;
        case Answer::kFailToShow:
            return ShowResult::kFailed;
        default:
            return ShowResult::kCancelled;
        }
    }

private:
    ScriptedFileDialogs& owner_;
    Step step_;
};

ScriptedFileDialogs::ScriptedFileDialogs() {
    CEfUiServices::SetFileDialogs(this);
}

ScriptedFileDialogs::~ScriptedFileDialogs() {
    CEfUiServices::SetFileDialogs(nullptr);
}

void ScriptedFileDialogs::Choose(const std::string& path) {
    answers_.push_back({Answer::kChoose, path});
}

void ScriptedFileDialogs::Cancel() {
    answers_.push_back({Answer::kCancel, {}});
}

void ScriptedFileDialogs::FailToShow() {
    answers_.push_back({Answer::kFailToShow, {}});
}

void ScriptedFileDialogs::FailToCreate() {
    answers_.push_back({Answer::kFailToCreate, {}});
}

void ScriptedFileDialogs::ListFolder(const std::string& folder) {
    entries_.clear();
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        entries_.push_back({item.path().string(), item.is_directory()});
    }
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return a.path < b.path; });
}

void ScriptedFileDialogs::ListEntries(std::vector<Entry> entries) {
    entries_ = std::move(entries);
}

std::unique_ptr<CHfcFileDialog> ScriptedFileDialogs::CreateOpenFileDialog() {
    return Create(CHfcFileDialog::kOpen);
}

std::unique_ptr<CHfcFileDialog> ScriptedFileDialogs::CreateSaveFileDialog() {
    return Create(CHfcFileDialog::kSave);
}

std::unique_ptr<CHfcFileDialog> ScriptedFileDialogs::Create(int kind) {
    Step step;
    if (!answers_.empty()) {
        step = answers_.front();
        answers_.pop_front();
    }
    if (step.answer == Answer::kFailToCreate) {
        return nullptr;
    }
    return std::make_unique<Dialog>(kind, *this, std::move(step));
}
