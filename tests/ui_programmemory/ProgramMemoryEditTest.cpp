// Editing the eight memories through the page's controls: names, program menu, stepping,
// pop-ups, the modified mark in the title, and the same edits through talvex-cli set.
#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "PageFixture.h"
#include "data/CTarnAllData.h"
#include "data/CTarnProgramMemoryData.h"
#include "data/CTarnProgramMemorySet.h"
#include "files/CTarnProgramMemoryDataIO.h"
#include "framework/CEfMessage.h"
#include "ui/framework/CTarnPopupParameter.h"

namespace {

using P = CTarnProgramMemoryData;

int ProgramOf(const CTarnProgramMemoryData& memory) {
    return memory.GetParameter(ParamAddress(P::kParamProgram));
}

int RunCli(const std::string& arguments, std::string* output = nullptr) {
    const std::string command = std::string(TALVEX_CLI_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return -1;
    }
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        if (output) {
            output->append(buffer.data(), n);
        }
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

using ProgramMemoryNames = PageFixture;
using ProgramMemoryStepping = PageFixture;
using ProgramMemoryMenu = PageFixture;
using ProgramMemoryPopups = PageFixture;
using ProgramMemoryModified = PageFixture;
using ProgramMemoryCli = PageFixture;

TEST_F(ProgramMemoryNames, ShowEachMemorysProgramWithItsCategoryInitial) {
    const char* expected[] = {"[L.000]  Pulse Verb", "[A.040]  Vibraphone"};
    EXPECT_EQ(NameShown(0), expected[0]);
    EXPECT_EQ(NameShown(1), expected[1]);
    EXPECT_EQ(NameShown(7), "[V.235]  Vocod-Unison");
    EXPECT_EQ(page->NameText(7), NameShown(7));
    EXPECT_EQ(Control("Scale1")->Text(), "[02] ION");
    EXPECT_EQ(Control("Key1")->Text(), "C");
    EXPECT_EQ(Control("NoteRange1")->Text(), "Prog");
    // The eight memory buttons: the first selected.
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Control("BtnMemory" + std::to_string(i + 1))->Value(), i == 0 ? 1 : 0);
    }
}

TEST_F(ProgramMemoryNames, AProgramNumberBeyondTheListShowsTheLastProgram) {
    Memory(2).SetParameter(ParamAddress(P::kParamProgram), 255);
    page->Refresh();
    EXPECT_EQ(NameShown(2), "[V.249]  " + *resolver.GetString("ProgramName", 249));
}

TEST_F(ProgramMemoryNames, RefreshOnMessagesZeroAndTwoOnly) {
    Memory(4).SetParameter(ParamAddress(P::kParamProgram), 40);
    host->PostMessage(kMsgRefreshGlobal);
    ProcessEvents();
    EXPECT_EQ(NameShown(4), "[S.135]  " + *resolver.GetString("ProgramName", 135));
    host->PostMessage(kMsgRefreshProgramMemory);
    ProcessEvents();
    EXPECT_EQ(NameShown(4), "[A.040]  Vibraphone");

    Memory(4).SetParameter(ParamAddress(P::kParamScale), 9);
    host->PostMessage(kMsgRefreshAll);
    ProcessEvents();
    EXPECT_EQ(Control("Scale5")->Text(), "[09] HMN");
}

TEST_F(ProgramMemoryNames, AHiddenPageCatchesUpWhenShownAgain) {
    ClickOn(Control("BtnMemory4"));
    ASSERT_TRUE(host->SetPage(2));
    Memory(0).SetParameter(ParamAddress(P::kParamProgram), 95);
    host->PostMessage(kMsgRefreshAll);
    ProcessEvents();
    ASSERT_TRUE(host->SetPage(1));
    ProcessEvents();
    EXPECT_EQ(NameShown(0), "[C.095]  " + *resolver.GetString("ProgramName", 95));
    EXPECT_EQ(page->SelectedMemory(), 3);
}

TEST_F(ProgramMemoryStepping, StopsAtTheFirstAndLastProgram) {
    CEfControl* name = Control("MemoryName1");
    PressKey(name, Qt::Key_Down);
    EXPECT_EQ(ProgramOf(Memory(0)), 0);
    EXPECT_FALSE(host->IsModified());

    PressKey(name, Qt::Key_Up);
    EXPECT_EQ(ProgramOf(Memory(0)), 1);
    EXPECT_EQ(NameShown(0), "[L.001]  " + *resolver.GetString("ProgramName", 1));
    EXPECT_TRUE(host->IsModified());

    Memory(0).SetParameter(ParamAddress(P::kParamProgram), 249);
    PressKey(name, Qt::Key_Up);
    EXPECT_EQ(ProgramOf(Memory(0)), 249);
    PressKey(name, Qt::Key_Down);
    EXPECT_EQ(ProgramOf(Memory(0)), 248);
}

TEST_F(ProgramMemoryStepping, CrossesIntoTheNextCategory) {
    Memory(5).SetParameter(ParamAddress(P::kParamProgram), 39);
    PressKey(Control("MemoryName6"), Qt::Key_Up);
    EXPECT_EQ(NameShown(5), "[A.040]  Vibraphone");
    // Only the stepped memory changed its program.
    EXPECT_EQ(ProgramOf(Memory(4)), 135);
}

TEST_F(ProgramMemoryMenu, APickedProgramIsWrittenAndADismissalChangesNothing) {
    AnswerMenuWith(137);
    ClickOn(Control("MemoryName3"));
    EXPECT_EQ(menuTold, std::vector<int>{55});
    EXPECT_EQ(ProgramOf(Memory(2)), 137);
    EXPECT_EQ(NameShown(2), "[S.137]  " + *resolver.GetString("ProgramName", 137));
    EXPECT_TRUE(host->IsModified());

    host->SetModified(false);
    const auto before = Images();
    AnswerMenuWith(-1);
    ClickOn(Control("MemoryName3"));
    EXPECT_EQ(Images(), before);
    EXPECT_FALSE(host->IsModified());

    // Picking the program already there is no edit.
    AnswerMenuWith(137);
    ClickOn(Control("MemoryName3"));
    EXPECT_FALSE(host->IsModified());
}

TEST_F(ProgramMemoryMenu, IsToldAProgramWithinTheList) {
    Memory(6).SetParameter(ParamAddress(P::kParamProgram), 251);
    AnswerMenuWith(-1);
    ClickOn(Control("MemoryName7"));
    EXPECT_EQ(menuTold, std::vector<int>{249});
    EXPECT_EQ(ProgramOf(Memory(6)), 251);
}

TEST_F(ProgramMemoryMenu, TheRealMenuChecksTheCurrentProgramAndCategory) {
    CTarnProgramMemoryMenu menu;
    menu.SetCurrentProgram(137);
    const auto built = menu.Build();
    const QList<QAction*> categories = built->actions();
    ASSERT_EQ(categories.size(), 8);
    EXPECT_TRUE(categories[4]->isChecked());
    EXPECT_EQ(categories[4]->text(), "SE");
    const QList<QAction*> programs = categories[4]->menu()->actions();
    EXPECT_TRUE(programs[2]->isChecked());
}

TEST_F(ProgramMemoryPopups, WriteTheChosenValueOfTheirMemory) {
    auto* scale = qobject_cast<CTarnPopupParameter*>(Control("Scale3"));
    auto* key = qobject_cast<CTarnPopupParameter*>(Control("Key3"));
    auto* range = qobject_cast<CTarnPopupParameter*>(Control("NoteRange3"));
    ASSERT_TRUE(scale && key && range);
    EXPECT_EQ(scale->OfferedTexts().size(), 36u);
    EXPECT_EQ(scale->OfferedTexts()[9], "[09] Harmonic minor");
    EXPECT_EQ(key->OfferedTexts().size(), 25u);
    EXPECT_EQ(range->OfferedTexts().size(), 6u);

    scale->Choose(9);
    key->Choose(24);
    range->Choose(5);
    EXPECT_EQ(Memory(2).GetParameter(ParamAddress(P::kParamScale)), 9);
    EXPECT_EQ(Memory(2).GetNativeData()[8], 72);
    EXPECT_EQ(Memory(2).GetParameter(ParamAddress(P::kParamNoteRange)), 5);
    EXPECT_EQ(scale->Text(), "[09] HMN");
    EXPECT_EQ(key->Text(), "C  +");
    EXPECT_EQ(range->Text(), "Full");
    EXPECT_TRUE(host->IsModified());
    // The other memories keep their values.
    EXPECT_EQ(Memory(1).GetParameter(ParamAddress(P::kParamScale)), 2);
    EXPECT_EQ(Control("Scale2")->Text(), "[02] ION");
}

TEST_F(ProgramMemoryModified, EveryEditMarksTheTitleAndASaveRemovesTheMark) {
    EXPECT_EQ(window->windowTitle().toStdString().find(" *"), std::string::npos);
    qobject_cast<CTarnPopupParameter*>(Control("Key5"))->Choose(3);
    ProcessEvents();
    EXPECT_NE(window->windowTitle().toStdString().find(" *"), std::string::npos);

    dialogs.Choose(dir.File("all.t2a"));
    ASSERT_TRUE(host->SaveAs());
    ProcessEvents();
    EXPECT_EQ(window->windowTitle().toStdString().find(" *"), std::string::npos);

    PressKey(Control("MemoryName5"), Qt::Key_Up);
    ProcessEvents();
    EXPECT_NE(window->windowTitle().toStdString().find(" *"), std::string::npos);
}

TEST_F(ProgramMemoryCli, PageEditsGiveTheSameBytesAsTalvexCliSet) {
    const std::string file = dir.File("cli.t2p");
    std::string output;
    ASSERT_EQ(RunCli("new --type program " + file, &output), 0) << output;
    ASSERT_EQ(RunCli("set " + file +
                         " program1.program=2 program3.program=137 program3.scale=9"
                         " program4.key=24 program2.key=0 program8.note_range=Full",
                     &output),
              0)
        << output;

    PressKey(Control("MemoryName1"), Qt::Key_Up);
    PressKey(Control("MemoryName1"), Qt::Key_Up);
    AnswerMenuWith(137);
    ClickOn(Control("MemoryName3"));
    qobject_cast<CTarnPopupParameter*>(Control("Scale3"))->Choose(9);
    qobject_cast<CTarnPopupParameter*>(Control("Key4"))->Choose(24);
    qobject_cast<CTarnPopupParameter*>(Control("Key2"))->Choose(0);
    qobject_cast<CTarnPopupParameter*>(Control("NoteRange8"))->Choose(5);

    CTarnProgramMemorySet fromCli;
    CTarnProgramMemoryDataIO io;
    ASSERT_EQ(io.OpenPath(fromCli, file), CEfFileIO::kSucceeded);
    for (int i = 0; i < 8; ++i) {
        const uint8_t* native = fromCli.Memory(i)->GetNativeData();
        Image cli{};
        std::copy(native, native + cli.size(), cli.begin());
        EXPECT_EQ(ImageOf(i), cli) << "memory " << i + 1;
    }
    // The page's program memory file is the command-line tool's, byte for byte.
    const std::string saved = dir.File("page.t2p");
    ASSERT_EQ(io.SavePath(host->GetAllData()->Programs(), saved), CEfFileIO::kSucceeded);
    EXPECT_EQ(TempDir::ReadAll(saved), TempDir::ReadAll(file));
}
