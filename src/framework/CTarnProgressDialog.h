#pragma once

#include <string>

class CTarnProgressDialogListener;

// The modeless progress window with a Cancel button: a title, a text line (initially
// "Processing..."), a step position and a total (initially 100), shown as position * 100 / total
// percent. The state lives here; a front end derives from it and redraws in Refresh(). Pressing
// Cancel calls the listener's OnCancel; closing the window with its close box is refused.
class CTarnProgressDialog {
public:
    virtual ~CTarnProgressDialog() = default;

    void SetTitle(const std::string& title);
    void SetText(const std::string& text);
    void SetTotal(int total);
    void SetPosition(int position);
    // Advances the position by one step.
    void Step();
    void SetListener(CTarnProgressDialogListener* listener) { listener_ = listener; }

    const std::string& Title() const { return title_; }
    const std::string& Text() const { return text_; }
    int Total() const { return total_; }
    int Position() const { return position_; }
    int Percent() const;
    CTarnProgressDialogListener* Listener() const { return listener_; }

    // What the window's Cancel button does.
    void PressCancel();

protected:
    // Called after every change of title, text, total or position.
    virtual void Refresh() {}

private:
    std::string title_;
    std::string text_ = "Processing...";
    int total_ = 100;
    int position_ = 0;
    CTarnProgressDialogListener* listener_ = nullptr;
};
