#include "cli/CliUi.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "framework/CEfAlertPresenter.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CEfUiServices.h"

namespace cli {

namespace {

bool assumeYes = false;

class CTerminalAlerts : public CEfAlertPresenter {
public:
    int ShowAlert(const std::string& text, const std::string& /*caption*/, uint8_t style) override {
        const int buttons = style & 0x0f;
        const bool question = buttons == 12 || buttons == 13 || buttons == 3;
        std::fprintf(stderr, "%s\n", text.c_str());
        if (!question) {
            return 1;
        }
        if (assumeYes) {
            return buttons == 3 ? 1 : 2;
        }
        if (!isatty(STDIN_FILENO)) {
            std::fprintf(stderr, "(no terminal to answer on; use --yes)\n");
            return 0;
        }
        std::fprintf(stderr, buttons == 3 ? "[OK/cancel] " : "[y/N] ");
        std::string answer;
        if (!std::getline(std::cin, answer)) {
            return 0;
        }
        const bool yes = !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y' ||
                                             answer[0] == 'o' || answer[0] == 'O');
        if (buttons == 3) {
            return yes ? 1 : 0;
        }
        return yes ? 2 : 3;
    }
};

class CTerminalProgressDialog : public CTarnProgressDialog {
public:
    explicit CTerminalProgressDialog(bool draw) : draw_(draw) {}
    ~CTerminalProgressDialog() override {
        if (draw_ && drawn_) {
            std::fprintf(stderr, "\n");
        }
    }

protected:
    void Refresh() override {
        if (!draw_) {
            return;
        }
        int percent = Percent();
        percent = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
        if (drawn_ && percent == lastPercent_ && Text() == lastText_) {
            return;
        }
        constexpr int kWidth = 30;
        const int filled = percent * kWidth / 100;
        std::string bar(filled, '#');
        bar.append(kWidth - filled, '.');
        std::fprintf(stderr, "\r%-24.24s [%s] %3d%%", Text().c_str(), bar.c_str(), percent);
        std::fflush(stderr);
        drawn_ = true;
        lastPercent_ = percent;
        lastText_ = Text();
    }

private:
    bool draw_;
    bool drawn_ = false;
    int lastPercent_ = -1;
    std::string lastText_;
};

class CTerminalProgress : public CEfProgressFactory {
public:
    std::unique_ptr<CTarnProgressDialog> CreateProgressDialog() override {
        return std::make_unique<CTerminalProgressDialog>(isatty(STDERR_FILENO) != 0);
    }
};

} // namespace

void InstallTerminalUi() {
    static CTerminalAlerts alerts;
    static CTerminalProgress progress;
    CEfUiServices::SetAlerts(&alerts);
    CEfUiServices::SetProgress(&progress);
}

void SetAssumeYes(bool yes) {
    assumeYes = yes;
}

} // namespace cli
