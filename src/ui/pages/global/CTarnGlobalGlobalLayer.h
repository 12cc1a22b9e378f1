#pragma once

#include <string>

#include "ui/pages/global/CTarnGlobalTabLayer.h"

// The Global tab: illumination, pad scroll text, name display, message scroll speed, clock, BPM
// sync, touch correction, program memory load, the global MIDI channel and the four MIDI filters.
// Every control is bound to its global-data parameter; the scroll text is stored as typed (ten
// characters kept) and shown again only when the stored text differs from the shown one.
class CTarnGlobalGlobalLayer : public CTarnGlobalTabLayer {
    Q_OBJECT

public:
    explicit CTarnGlobalGlobalLayer(CTarnHost& host, QWidget* parent = nullptr);

    void Refresh(bool force) override;
    void OnEfControlClicked(CEfControl* control) override;
    void OnEfControlTextChanged(CEfControl* control, const std::string& text) override;

    // The scroll text as stored (up to ten characters).
    std::string StoredScrollText() const;
    // How many times the scroll text control was rewritten (for tests of the refresh rule).
    int ScrollTextRewrites() const { return scrollTextRewrites_; }

private:
    int scrollTextRewrites_ = 0;
};
