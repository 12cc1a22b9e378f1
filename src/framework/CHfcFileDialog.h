#pragma once

#include <string>
#include <vector>

class CEfWindow;
class CHfcFileDialogListener;

// A platform open or save dialog, alive only while it is shown. The caller sets it up (title,
// filters, initial name, default extension) and calls GetOneFile; the platform part implements
// Show. Entries are offered only when the listener's browse filter accepts them, and the listener
// hears the outcome before GetOneFile returns.
class CHfcFileDialog {
public:
    enum Kind : int { kOpen = 0, kSave = 1 };

    // A description ("Wave Files (*.wav)") and its patterns, separated by ';' ("*.aif;*.aiff").
    struct Filter {
        std::string description;
        std::string pattern;
    };

    explicit CHfcFileDialog(int kind) : kind_(kind) {}
    virtual ~CHfcFileDialog() = default;
    CHfcFileDialog(const CHfcFileDialog&) = delete;
    CHfcFileDialog& operator=(const CHfcFileDialog&) = delete;

    void Init(CEfWindow* parent, CHfcFileDialogListener* listener);
    void SetTitle(const std::string& title) { title_ = title; }
    void AddFilter(const std::string& description, const std::string& pattern);
    void SetInitialFileName(const std::string& name) { initialFileName_ = name; }
    // Without the dot ("t2a"); a save dialog appends it to a chosen name that has no extension.
    void SetDefaultExtension(const std::string& extension) { defaultExtension_ = extension; }

    int GetKind() const { return kind_; }
    CEfWindow* GetParent() const { return parent_; }
    const std::string& GetTitle() const { return title_; }
    const std::vector<Filter>& GetFilters() const { return filters_; }
    const std::string& GetInitialFileName() const { return initialFileName_; }
    const std::string& GetDefaultExtension() const { return defaultExtension_; }
    const std::string& ChosenPath() const { return chosenPath_; }

    // Shows the dialog modally and reports the outcome to the listener. False only when the
    // dialog could not be shown at all.
    bool GetOneFile();

    // Whether the listener lets the dialog offer this entry (folders and files alike are asked).
    bool IsEntryListed(const std::string& path, bool isFolder);

protected:
    enum class ShowResult { kFailed, kCancelled, kChosen };

    // The platform part: run the dialog, listing only entries IsEntryListed accepts, and on OK
    // store the chosen path.
    virtual ShowResult Show(std::string& chosenPath) = 0;

private:
    int kind_;
    CEfWindow* parent_ = nullptr;
    CHfcFileDialogListener* listener_ = nullptr;
    std::string title_;
    std::vector<Filter> filters_;
    std::string initialFileName_;
    std::string defaultExtension_;
    std::string chosenPath_;
};
