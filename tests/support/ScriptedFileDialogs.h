#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "framework/CHfcFileDialog.h"
#include "framework/CHfcFileDialogFactory.h"

// A file-dialog front end for tests, installed for its lifetime. Each dialog shown takes the next
// scripted answer (none left: cancel), offers the listed entries to the browse filter and records
// what it was set up with and which entries passed.
class ScriptedFileDialogs : public CHfcFileDialogFactory {
public:
    struct Entry {
        std::string path;
        bool isFolder = false;
    };
    struct Shown {
        int kind = 0;
        std::string title;
        std::vector<CHfcFileDialog::Filter> filters;
        std::string initialFileName;
        std::string defaultExtension;
        std::vector<std::string> listed;
    };

    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;
    ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
    ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;

    // Answers for the next dialogs, in order.
    void Choose(const std::string& path);
    void Cancel();
    void FailToShow();
    // The next dialog cannot be created at all.
    void FailToCreate();

    // Entries every dialog offers: those of a real folder (files and subfolders), or given ones.
    void ListFolder(const std::string& folder);
    void ListEntries(std::vector<Entry> entries);

    const std::vector<Shown>& AllShown() const { return shown_; }
    const Shown& LastShown() const { return shown_.back(); }
    size_t PendingAnswers() const { return answers_.size(); }

    std::unique_ptr<CHfcFileDialog> CreateOpenFileDialog() override;
    std::unique_ptr<CHfcFileDialog> CreateSaveFileDialog() override;

private:
    enum class Answer { kChoose, kCancel, kFailToShow, kFailToCreate };
    struct Step {
        Answer answer = Answer::kCancel;
        std::string path;
    };
    class Dialog;

    std::unique_ptr<CHfcFileDialog> Create(int kind);

    std::deque<Step> answers_;
    std::vector<Entry> entries_;
    std::vector<Shown> shown_;
};
