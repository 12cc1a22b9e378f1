#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/CTarnHost.h"
#include "platform/CHfcMemoryPreferences.h"
#include "sim/CTarnVirtualInstrumentSession.h"
#include "support/RecordingAlertPresenter.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TempDir.h"
#include "ui/app/CTarnManagerResolver.h"
#include "ui/dialogs/CTarnProgramMemoryMenu.h"
#include "ui/framework/CEfDragInfo.h"
#include "ui/main/CTarnMainWindow.h"
#include "ui/pages/programmemory/CTarnProgramMemoryLayer.h"

class CTarnProgramMemoryData;

// A program menu that answers with a scripted choice and records the program it was told.
class ScriptedProgramMenu : public CTarnProgramMemoryMenu {
public:
    ScriptedProgramMenu(int answer, std::vector<int>* told) : answer_(answer), told_(told) {}
    int Show(int, int, QWidget*) override {
        told_->push_back(CurrentProgram());
        return answer_;
    }

private:
    int answer_;
    std::vector<int>* told_;
};

using Image = std::array<uint8_t, 30>;

// The editor's main window over the linked resources and the virtual instrument, showing the
// Program Memory page, with recording message boxes and scripted file dialogs.
class PageFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static void ProcessEvents();

    CTarnProgramMemoryData& Memory(int index) const;
    Image ImageOf(int index) const;
    std::array<Image, 8> Images() const;
    CEfControl* Control(const std::string& key) const;
    std::string NameShown(int memory) const;
    // Answers the next click on a memory name with `program` (-1: dismissed).
    void AnswerMenuWith(int program);
    // A memory block as a drag or the clipboard carries it.
    QByteArray Block(int memory) const;
    std::string MimeType();
    // A drop of `block` onto memory `target`, started on control `source` (null: elsewhere).
    EfDropEffect Drop(int target, const QByteArray& block, const CEfControl* source,
                      bool copyModifier);
    std::vector<std::string> AlertTexts() const;

    TempDir dir;
    RecordingAlertPresenter alerts;
    ScriptedFileDialogs dialogs;
    CHfcMemoryPreferences store;
    CTarnManagerResolver resolver;
    std::unique_ptr<CTarnVirtualInstrumentSession> instrument;
    std::unique_ptr<CTarnHost> host;
    CTarnMainWindow* window = nullptr;
    CTarnProgramMemoryLayer* page = nullptr;
    std::vector<int> menuTold;
};

// Input as the user gives it, sent to a control.
void ClickOn(CEfControl* control);
void PressKey(CEfControl* control, int key);
