#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QMenu>
#include <QPushButton>

#include "app/CTarnPreferencesData.h"
#include "app/CTarnStringTable.h"
#include "framework/CHfcFileDialog.h"
#include "framework/CHfcFileDialogListener.h"
#include "framework/CTarnProgressDialog.h"
#include "framework/CTarnProgressDialogListener.h"
#include "midi/CTarnMidiPreferencesForm.h"
#include "platform/CHfcMemoryPreferences.h"
#include "support/TempDir.h"
#include "ui/dialogs/CTarnBrowseFilterModel.h"
#include "ui/dialogs/CTarnPreferencesDialog.h"
#include "ui/dialogs/CTarnProgramMemoryMenu.h"
#include "ui/dialogs/CTarnProgressWindow.h"
#include "ui/dialogs/CTarnQtAlertPresenter.h"
#include "ui/dialogs/CTarnQtFileDialogs.h"
#include "ui/dialogs/CTarnQtProgressFactory.h"

namespace {

class NoShowDialog : public CHfcFileDialog {
public:
    using CHfcFileDialog::CHfcFileDialog;

protected:
    ShowResult Show(std::string&) override { return ShowResult::kCancelled; }
};

// Accepts files whose name contains "good".
class NameListener : public CHfcFileDialogListener {
public:
    void OnHfcFileDialogFinished(CHfcFileDialog&, bool, int) override {}
    bool OnHfcFileDialogWin32BrowseFilter(CHfcFileDialog&, const std::string& path, bool isFolder,
                                          int) override {
        return isFolder || path.find("good") != std::string::npos;
    }
};

CHfcMidiDeviceInfo Device(int index, const char* name) {
    CHfcMidiDeviceInfo info;
    info.index = index;
    info.name = name;
    return info;
}

} // namespace

TEST(QtAlerts, StyleBytePicksButtonsAndIcon) {
    using Box = QMessageBox;
    EXPECT_EQ(CTarnQtAlertPresenter::ButtonsFor(140), Box::Yes | Box::No);
    EXPECT_EQ(CTarnQtAlertPresenter::IconFor(140), Box::Warning);
    EXPECT_EQ(CTarnQtAlertPresenter::ButtonsFor(141), Box::Yes | Box::No | Box::Cancel);
    EXPECT_EQ(CTarnQtAlertPresenter::ButtonsFor(0x22), Box::Ok);
    EXPECT_EQ(CTarnQtAlertPresenter::IconFor(0x22), Box::Critical);
    EXPECT_EQ(CTarnQtAlertPresenter::ButtonsFor(0x43), Box::Ok | Box::Cancel);
    EXPECT_EQ(CTarnQtAlertPresenter::IconFor(0x43), Box::Information);
    EXPECT_EQ(CTarnQtAlertPresenter::ButtonsFor(0x07), Box::Ok);
    EXPECT_EQ(CTarnQtAlertPresenter::IconFor(0x07), Box::NoIcon);
    EXPECT_EQ(CTarnQtAlertPresenter::ResultFor(Box::Ok), 1);
    EXPECT_EQ(CTarnQtAlertPresenter::ResultFor(Box::Yes), 2);
    EXPECT_EQ(CTarnQtAlertPresenter::ResultFor(Box::No), 3);
    EXPECT_EQ(CTarnQtAlertPresenter::ResultFor(Box::Cancel), 0);
    EXPECT_EQ(CTarnQtAlertPresenter::ResultFor(Box::NoButton), 0);

    QMessageBox box;
    CTarnQtAlertPresenter::SetUp(box, "Save changes to a.t2a ?", "TALVEX PRO+ Editor", 141);
    EXPECT_EQ(box.windowTitle(), "TALVEX PRO+ Editor");
    EXPECT_EQ(box.text(), "Save changes to a.t2a ?");
    EXPECT_EQ(box.escapeButton(), box.button(QMessageBox::Cancel));
}

TEST(QtFileDialogs, FiltersComeFromTheFileObject) {
    EXPECT_EQ(CTarnQtFileDialogs::NameFilter({"TALVEX PRO+ All Data Files (*.t2a)", "*.t2a"}),
              "TALVEX PRO+ All Data Files (*.t2a)");
    EXPECT_EQ(CTarnQtFileDialogs::NameFilter({"All Files (*.*)", "*.*"}), "All Files (*)");
    EXPECT_EQ(CTarnQtFileDialogs::NameFilter({"AIFF Files", "*.aif;*.aiff"}),
              "AIFF Files (*.aif *.aiff)");
}

TEST(QtFileDialogs, OpenDialogListsFoldersAndReadableFilesOnly) {
    TempDir dir;
    TempDir::WriteAll(dir.File("good.t2a"), {1});
    TempDir::WriteAll(dir.File("bad.t2a"), {1});
    std::filesystem::create_directory(dir.File("bad folder"));

    NoShowDialog dialog(CHfcFileDialog::kOpen);
    NameListener listener;
    dialog.Init(nullptr, &listener);
    QFileSystemModel files;
    const QModelIndex root = files.setRootPath(QString::fromStdString(dir.Path()));
    CTarnBrowseFilterModel filter(dialog);
    filter.setSourceModel(&files);
    QElapsedTimer timer;
    timer.start();
    while (files.rowCount(root) < 3 && timer.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_EQ(files.rowCount(root), 3);
    QStringList listed;
    const QModelIndex shown = filter.mapFromSource(root);
    for (int row = 0; row < filter.rowCount(shown); ++row) {
        listed << filter.index(row, 0, shown).data().toString();
    }
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"bad folder", "good.t2a"}));
}

TEST(QtProgress, WindowShowsTheStateAndRefusesTheCloseBox) {
    CTarnQtProgressFactory factory;
    std::unique_ptr<CTarnProgressDialog> progress = factory.CreateProgressDialog();
    CTarnProgressWindow* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* w = qobject_cast<CTarnProgressWindow*>(widget); w && w->isVisible()) {
            window = w;
        }
    }
    ASSERT_NE(window, nullptr);
    CTarnProgressDialogListener listener;
    progress->SetListener(&listener);
    progress->SetTitle("Transmit All Data");
    progress->SetText("Transmit Program Memory 3");
    progress->SetTotal(409);
    progress->SetPosition(205);
    EXPECT_EQ(window->windowTitle(), "Transmit All Data");
    EXPECT_EQ(window->Text(), "Transmit Program Memory 3");
    EXPECT_EQ(window->Percent(), 50);
    EXPECT_TRUE(window->IsCancelEnabled());
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    window->CancelButton()->click();
    EXPECT_TRUE(listener.IsCancelled());

    // Without a listener (receptions, the sample dump window) Cancel is off.
    progress->SetListener(nullptr);
    progress->SetText("Receiving...");
    EXPECT_FALSE(window->IsCancelEnabled());
    progress.reset();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<CTarnProgressWindow*>(widget), nullptr);
    }
}

TEST(QtPreferences, PortMenusFollowAutomaticDetectionAndOkStores) {
    CHfcMemoryPreferences store;
    CTarnPreferencesData preferences(store);
    preferences.ReadAll();
    preferences.SetMidiOutDeviceName("Gone Port");
    preferences.SetMidiOutDeviceIndex(4);
    const std::vector<CHfcMidiDeviceInfo> inputs{Device(0, "Through"), Device(1, "Synth In")};
    const std::vector<CHfcMidiDeviceInfo> outputs{Device(0, "Through"), Device(1, "Synth Out")};
    CTarnMidiPreferencesForm form(preferences, inputs, outputs);

    CTarnPreferencesDialog dialog(form);
    EXPECT_TRUE(dialog.AutoDetectBox()->isChecked());
    EXPECT_EQ(dialog.AutoDetectBox()->text(), "Find device automatically");
    EXPECT_EQ(dialog.WarnBox()->text(), "Displays an alarm prior to data transmission");
    EXPECT_EQ(dialog.DirectAccessBox()->text(), "Use Direct Access Mode");
    EXPECT_FALSE(dialog.InputMenu()->isEnabled());
    EXPECT_FALSE(dialog.OutputMenu()->isEnabled());
    EXPECT_EQ(dialog.InputMenu()->itemText(0), "Not use MIDI In port");
    EXPECT_EQ(dialog.OutputMenu()->currentText(), "Gone Port (Not Connected)");

    dialog.AutoDetectBox()->setChecked(false);
    EXPECT_TRUE(dialog.InputMenu()->isEnabled());
    EXPECT_TRUE(dialog.OutputMenu()->isEnabled());
    dialog.InputMenu()->setCurrentIndex(2);
    dialog.WarnBox()->setChecked(false);
    dialog.accept();
    form.Store(preferences);
    EXPECT_FALSE(preferences.GetMidiDeviceAutoDetect());
    EXPECT_FALSE(preferences.GetWarnBeforeTransmit());
    EXPECT_EQ(preferences.GetMidiInDeviceName(), "Synth In");
    EXPECT_EQ(preferences.GetMidiInDeviceIndex(), 1);
    // The "(Not Connected)" choice keeps what was stored.
    EXPECT_EQ(preferences.GetMidiOutDeviceName(), "Gone Port");
    EXPECT_EQ(preferences.GetMidiOutDeviceIndex(), 4);
}

TEST(ProgramMenu, ChecksTheCurrentProgramAndItsCategory) {
    ASSERT_NE(CTarnStringTable::Acquire(), nullptr);
    CTarnProgramMemoryMenu menu;
    menu.SetCurrentProgram(137);
    std::unique_ptr<QMenu> top = menu.Build();
    const QList<QAction*> categories = top->actions();
    ASSERT_EQ(categories.size(), 8);
    QStringList checked;
    for (QAction* category : categories) {
        if (category->isChecked()) {
            checked << category->text();
        }
    }
    EXPECT_EQ(checked, QStringList{"SE"});
    const QList<QAction*> programs = categories[4]->menu()->actions();
    ASSERT_EQ(programs.size(), 30);
    EXPECT_TRUE(programs[2]->isChecked());
    EXPECT_EQ(programs[2]->data().toInt(), 137);
    int total = 0;
    for (QAction* category : categories) {
        total += category->menu()->actions().size();
    }
    EXPECT_EQ(total, 250);
    EXPECT_EQ(CTarnProgramMemoryMenu::MenuText("Rock & Roll"), "Rock && Roll");
    CTarnStringTable::Release();
}
