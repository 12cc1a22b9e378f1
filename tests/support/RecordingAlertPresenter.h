#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/CEfAlertPresenter.h"
#include "framework/CEfUiServices.h"

// Records every message box instead of showing it, installed for its lifetime. Each alert is
// answered with `answer` (1 OK, 2 Yes, 3 No, 0 Cancel).
class RecordingAlertPresenter : public CEfAlertPresenter {
public:
    struct Alert {
        std::string text;
        std::string caption;
        uint8_t style = 0;
    };

    RecordingAlertPresenter() { CEfUiServices::SetAlerts(this); }
    ~RecordingAlertPresenter() override { CEfUiServices::SetAlerts(nullptr); }
    RecordingAlertPresenter(const RecordingAlertPresenter&) = delete;
    RecordingAlertPresenter& operator=(const RecordingAlertPresenter&) = delete;

    int ShowAlert(const std::string& text, const std::string& caption, uint8_t style) override {
        alerts.push_back({text, caption, style});
        return answer;
    }

    std::vector<Alert> alerts;
    int answer = 1;
};
