#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <cmath>
#include <limits>

#include "RecordingLayer.h"
#include "TestResources.h"
#include "ui/framework/CTarnControlValueParameter.h"

namespace {

const CEfControlValueParameter::Description kValues[] = {
    {"Transpose", 10, 10, 60, 20, "TrebuchetMS12P", "ButtonUpSmall", "ButtonDownSmall", -12, 12, 0},
    {"MidiCh", 10, 40, 60, 20, "TrebuchetMS12P", "ButtonUpSmall", "ButtonDownSmall", 0, 15, 1},
    {"PhraseLevel", 10, 70, 60, 20, "TrebuchetMS12P", "ButtonUpSmall", "ButtonDownSmall", 0, 127,
     0},
};

struct Page {
    Page() {
        layer.SetLayerRect(QRect(0, 0, 700, 439));
        EXPECT_TRUE(layer.CreateValueParameters(kValues));
    }
    CEfControlValueParameter* Value(const char* key) {
        return layer.FindControlAs<CEfControlValueParameter>(key);
    }
    TestResources resources;
    RecordingLayer layer;
};

} // namespace

TEST(ValueParameter, ShowsSignedTextOnlyForRangesBelowZero) {
    Page page;
    CEfControlValueParameter* transpose = page.Value("Transpose");
    ASSERT_NE(transpose, nullptr);
    EXPECT_EQ(transpose->FormatValue(3), "+3");
    EXPECT_EQ(transpose->FormatValue(0), "0");
    EXPECT_EQ(transpose->FormatValue(-3), "-3");
    transpose->SetValue(3);
    EXPECT_EQ(transpose->Text(), "+3");

    // The display offset is added before formatting; no sign without a negative minimum.
    CEfControlValueParameter* channel = page.Value("MidiCh");
    channel->SetValue(0);
    EXPECT_EQ(channel->Text(), "1");
    channel->SetValue(15);
    EXPECT_EQ(channel->Text(), "16");
}

TEST(ValueParameter, TypedValuesAreReadMinusTheOffsetClampedAndSentOnlyWhenChanged) {
    Page page;
    CEfControlValueParameter* channel = page.Value("MidiCh");
    channel->SetValue(4);
    EXPECT_EQ(channel->ParseTyped("0"), 0);
    EXPECT_EQ(channel->ParseTyped("-7"), 0);
    EXPECT_EQ(channel->ParseTyped(" 16 "), 15);
    EXPECT_EQ(channel->ParseTyped("+3"), 2);
    EXPECT_FALSE(channel->ParseTyped("abc"));
    EXPECT_FALSE(channel->ParseTyped("12x"));
    EXPECT_FALSE(channel->ParseTyped(""));

    channel->ApplyTyped("5"); // shows "5" already: value 4
    channel->ApplyTyped("x");
    EXPECT_TRUE(page.layer.EventsOf("changed").empty());
    channel->ApplyTyped("99"); // 98 clamped to 15
    channel->ApplyTyped("0");
    auto changed = page.layer.EventsOf("changed");
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].value, 15);
    EXPECT_EQ(changed[1].value, 0);

    // A range reaching below zero takes negative numbers as typed.
    CEfControlValueParameter* transpose = page.Value("Transpose");
    EXPECT_EQ(transpose->ParseTyped("-3"), -3);
    EXPECT_EQ(transpose->ParseTyped("-30"), -30);
    transpose->ApplyTyped("-30");
    EXPECT_EQ(transpose->Value(), -12);
}

TEST(ValueParameter, TypingThroughTheEditorCommitsOnEnterAndCancelsOnEscape) {
    Page page;
    CEfControlValueParameter* level = page.Value("PhraseLevel");
    level->SetValue(100);
    QTest::mouseClick(level, Qt::LeftButton, {}, level->TextRect().center());
    ASSERT_NE(level->Editor(), nullptr);
    EXPECT_EQ(level->Editor()->text(), "100");
    level->Editor()->setText("64");
    QTest::keyClick(level->Editor(), Qt::Key_Escape);
    EXPECT_FALSE(level->IsEditing());
    EXPECT_TRUE(page.layer.EventsOf("changed").empty());

    level->BeginEdit();
    ASSERT_NE(level->Editor(), nullptr);
    level->Editor()->setText("64");
    QTest::keyClick(level->Editor(), Qt::Key_Return);
    EXPECT_FALSE(level->IsEditing());
    auto changed = page.layer.EventsOf("changed");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].value, 64);
    EXPECT_EQ(level->Value(), 64);
}

TEST(ValueParameter, StepButtonsStepOnPressAndRepeatFromTheTicks) {
    Page page;
    CEfControlValueParameter* level = page.Value("PhraseLevel");
    ASSERT_EQ(level->RepeatDelay(), 1300);
    ASSERT_EQ(level->RepeatInterval(), 255);
    level->SetValue(10);
    QTest::mousePress(level, Qt::LeftButton, {}, level->UpRect().center());
    EXPECT_EQ(level->Value(), 11);

    // Held time must pass 1300 ms (tick 44 with 30 ms ticks); from that tick on, the repeat
    // time counts too and a step follows each time it passes 255 ms: ticks 52, 61, 70...
    std::vector<int> stepTicks;
    for (int tick = 1; tick <= 75; ++tick) {
        const int before = level->Value();
        page.layer.DeliverTick(30);
        if (level->Value() != before) {
            stepTicks.push_back(tick);
        }
    }
    EXPECT_EQ(stepTicks, (std::vector<int>{52, 61, 70}));

    // Releasing stops and clears the counters: a new hold starts from zero.
    QTest::mouseRelease(level, Qt::LeftButton, {}, level->UpRect().center());
    for (int tick = 0; tick < 60; ++tick) {
        page.layer.DeliverTick(30);
    }
    EXPECT_EQ(level->Value(), 14);
    QTest::mousePress(level, Qt::LeftButton, {}, level->DownRect().center());
    EXPECT_EQ(level->Value(), 13);
    for (int tick = 0; tick < 51; ++tick) {
        page.layer.DeliverTick(30);
    }
    EXPECT_EQ(level->Value(), 13);
    page.layer.DeliverTick(30);
    EXPECT_EQ(level->Value(), 12);
    QTest::mouseRelease(level, Qt::LeftButton, {}, level->DownRect().center());
}

TEST(ValueParameter, LeavingTheStepButtonsClearsTheCounters) {
    Page page;
    CEfControlValueParameter* level = page.Value("PhraseLevel");
    level->SetValue(10);
    QTest::mousePress(level, Qt::LeftButton, {}, level->UpRect().center());
    for (int tick = 0; tick < 50; ++tick) {
        page.layer.DeliverTick(30);
    }
    QTest::mouseMove(level, level->TextRect().center());
    for (int tick = 0; tick < 20; ++tick) {
        page.layer.DeliverTick(30);
    }
    EXPECT_EQ(level->Value(), 11);
    // Back over the button: the hold starts again from zero.
    QTest::mouseMove(level, level->UpRect().center());
    for (int tick = 0; tick < 51; ++tick) {
        page.layer.DeliverTick(30);
    }
    EXPECT_EQ(level->Value(), 11);
    page.layer.DeliverTick(30);
    EXPECT_EQ(level->Value(), 12);
    QTest::mouseRelease(level, Qt::LeftButton, {}, level->UpRect().center());
}

TEST(ValueParameter, FrameworkDefaultsRepeatSoonerAndStepsStopAtTheRange) {
    TestResources resources;
    RecordingLayer layer;
    const CEfControlValueParameter::Description description = kValues[2];
    const CEfFontInfo* font = resources.GetFontInfo("TrebuchetMS12P");
    CEfControlValueParameter value(description, *font, *resources.GetImage("ButtonUpSmall"),
                                   *resources.GetImage("ButtonDownSmall"));
    layer.AddControl(&value);
    EXPECT_EQ(value.RepeatDelay(), 350);
    EXPECT_EQ(value.RepeatInterval(), 30);
    value.SetValue(120);
    QTest::mousePress(&value, Qt::LeftButton, {}, value.UpRect().center());
    std::vector<int> stepTicks;
    for (int tick = 1; tick <= 20; ++tick) {
        const int before = value.Value();
        layer.DeliverTick(30);
        if (value.Value() != before) {
            stepTicks.push_back(tick);
        }
    }
    // Held 360 ms at tick 12; the repeat time passes 30 ms every second tick; at 127 it stops.
    EXPECT_EQ(stepTicks, (std::vector<int>{13, 15, 17, 19}));
    EXPECT_EQ(value.Value(), 125);
    for (int tick = 0; tick < 20; ++tick) {
        layer.DeliverTick(30);
    }
    EXPECT_EQ(value.Value(), 127);
    const size_t sent = layer.EventsOf("changed").size();
    for (int tick = 0; tick < 20; ++tick) {
        layer.DeliverTick(30);
    }
    // No change event once the value sits at its maximum.
    EXPECT_EQ(layer.EventsOf("changed").size(), sent);
    QTest::mouseRelease(&value, Qt::LeftButton, {}, value.UpRect().center());
    value.setParent(nullptr);
}

TEST(ValueParameter, KeysStepByOneAndPageKeysByTen) {
    Page page;
    CEfControlValueParameter* level = page.Value("PhraseLevel");
    level->SetValue(50);
    QTest::keyClick(level, Qt::Key_Up);
    QTest::keyClick(level, Qt::Key_PageDown);
    QTest::keyClick(level, Qt::Key_Down);
    EXPECT_EQ(level->Value(), 40);
}

namespace {

const CTarnPopupParameter::Description kPopups[] = {
    {"Scale1", 10, 10, 120, "TrebuchetMS12P", "ButtonNo", "AllScaleList", "ScaleList"},
    {"EmptyList", 10, 40, 120, "TrebuchetMS12P", "ButtonNo", "Empty", "Empty"},
};

std::vector<std::string> ActionTexts(QMenu* menu, int* checked) {
    std::vector<std::string> texts;
    *checked = -1;
    const QList<QAction*> actions = menu->actions();
    for (int i = 0; i < actions.size(); ++i) {
        texts.push_back(actions[i]->text().toStdString());
        if (actions[i]->isChecked()) {
            *checked = i;
        }
    }
    return texts;
}

} // namespace

TEST(PopupParameter, RangeComesFromTheMenuListAndTheMenuMarksTheValue) {
    TestResources resources;
    RecordingLayer layer;
    ASSERT_TRUE(layer.CreatePopupParameters(kPopups));
    auto* scale = layer.FindControlAs<CTarnPopupParameter>("Scale1");
    ASSERT_NE(scale, nullptr);
    EXPECT_EQ(scale->Minimum(), 0);
    EXPECT_EQ(scale->Maximum(), 3);
    scale->SetValue(2);
    EXPECT_EQ(scale->Text(), "[02] MAJ");

    QTest::mouseClick(scale, Qt::LeftButton);
    QMenu* menu = scale->Menu();
    ASSERT_NE(menu, nullptr);
    int checked = -1;
    EXPECT_EQ(ActionTexts(menu, &checked),
              (std::vector<std::string>{"[00] Off", "[01] Chromatic", "[02] Major", "[03] Minor"}));
    EXPECT_EQ(checked, 2);
    menu->actions()[3]->trigger();
    menu->close();
    auto changed = layer.EventsOf("changed");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].value, 3);
    EXPECT_EQ(scale->Text(), "[03] MIN");

    // A narrower range offers only the first maximum + 1 texts; choices are clamped and the
    // current value sends nothing.
    scale->SetRange(0, 1);
    scale->SetValue(1);
    menu = scale->OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(ActionTexts(menu, &checked).size(), 2u);
    EXPECT_EQ(checked, 1);
    menu->close();
    scale->Choose(3);
    scale->Choose(1);
    EXPECT_EQ(layer.EventsOf("changed").size(), 1u);
    scale->Choose(-4);
    ASSERT_EQ(layer.EventsOf("changed").size(), 2u);
    EXPECT_EQ(layer.EventsOf("changed")[1].value, 0);
}

TEST(PopupParameter, EmptyListOpensNoMenuAndKeysStepTheChoice) {
    TestResources resources;
    RecordingLayer layer;
    ASSERT_TRUE(layer.CreatePopupParameters(kPopups));
    auto* empty = layer.FindControlAs<CTarnPopupParameter>("EmptyList");
    EXPECT_EQ(empty->OpenMenu(), nullptr);
    QTest::mouseClick(empty, Qt::LeftButton);
    EXPECT_EQ(empty->Menu(), nullptr);
    EXPECT_EQ(empty->Text(), "");

    auto* scale = layer.FindControlAs<CTarnPopupParameter>("Scale1");
    scale->SetValue(1);
    QTest::keyClick(scale, Qt::Key_Down);
    QTest::keyClick(scale, Qt::Key_Down);
    EXPECT_EQ(scale->Value(), 0);
    QTest::keyClick(scale, Qt::Key_PageUp);
    EXPECT_EQ(scale->Value(), 3);
}

TEST(CheckBox, ClickAndSpaceToggleAndReport) {
    TestResources resources;
    RecordingLayer layer;
    const CTarnCheckBox::Description boxes[] = {
        {"P.FltSysEx", 10, 10, "ButtonCheckBox", "TrebuchetMS12P", "System Ex"}};
    ASSERT_TRUE(layer.CreateCheckBoxes(boxes));
    CEfControl* box = layer.FindControl("P.FltSysEx");
    EXPECT_EQ(box->width(), 14 + 4 + 44); // eight glyphs of 5 and a space of 4
    EXPECT_EQ(box->accessibleName(), "System Ex");
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->Value(), 1);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(box->Value(), 0);
    auto changed = layer.EventsOf("changed");
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].value, 1);
    EXPECT_EQ(changed[1].value, 0);
    box->SetControlEnabled(false);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->Value(), 0);
}

TEST(EditText, ClickStartsEditingCommitSendsTheTextEscapeCancels) {
    TestResources resources;
    RecordingLayer layer;
    const CTarnEditText::Description edits[] = {
        {"P.ScrText", 10, 10, 100, 0, "TrebuchetMS12P", 10}};
    ASSERT_TRUE(layer.CreateEditTexts(edits));
    auto* edit = layer.FindControlAs<CTarnEditText>("P.ScrText");
    edit->SetText("HELLO");
    QTest::mouseClick(edit, Qt::LeftButton);
    ASSERT_TRUE(edit->IsEditing());
    EXPECT_EQ(edit->Editor()->maxLength(), 10);
    EXPECT_EQ(layer.EventsOf("pressed").size(), 1u);
    edit->Editor()->setText("WORLD");
    QTest::keyClick(edit->Editor(), Qt::Key_Escape);
    EXPECT_FALSE(edit->IsEditing());
    EXPECT_TRUE(layer.EventsOf("text").empty());

    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(edit->IsEditing());
    edit->Editor()->setText("WORLD");
    QTest::keyClick(edit->Editor(), Qt::Key_Return);
    EXPECT_FALSE(edit->IsEditing());
    auto texts = layer.EventsOf("text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "WORLD");
    // The page decides what is shown.
    EXPECT_EQ(edit->Text(), "HELLO");
}

TEST(LevelMeter, BarLengthAndPeakMarkFollowTheScale) {
    TestResources resources;
    RecordingLayer layer;
    const CEfControlHorizontalVuMeter::Description meters[] = {
        {"VuMeterL", 10, 10, 100, 6, "VuMeterHorizontal", -48.0, 0.0},
        {"VuMeterR", 10, 20, 0, 0, nullptr, -48.0, 0.0}};
    ASSERT_TRUE(layer.CreateVuMeters(meters));
    auto* meter = layer.FindControlAs<CEfControlHorizontalVuMeter>("VuMeterL");
    EXPECT_EQ(meter->BarLength(-24.0), 50);
    EXPECT_EQ(meter->BarLength(-48.0), 0);
    EXPECT_EQ(meter->BarLength(-47.9), 0);
    EXPECT_EQ(meter->BarLength(-12.1), 74); // 74.79 truncated
    EXPECT_EQ(meter->BarLength(0.0), 100);
    EXPECT_EQ(meter->BarLength(6.0), 100);
    EXPECT_EQ(meter->BarLength(-std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(meter->BarLength(std::nan("")), 0);
    meter->SetLevel(-6.5);
    EXPECT_EQ(meter->Value(), -6);
    EXPECT_EQ(meter->PeakMarkX(), -1);
    meter->SetPeak(-24.0);
    EXPECT_EQ(meter->PeakMarkX(), 49);
    meter->SetPeak(-47.6); // 0.83 -> -1: no mark
    EXPECT_EQ(meter->PeakMarkX(), -1);
    meter->SetPeak(-47.5); // 1.04 -> 0
    EXPECT_EQ(meter->PeakMarkX(), 0);
    meter->SetPeak(3.0);
    EXPECT_EQ(meter->PeakMarkX(), 99);
    // Without a picture the meter takes the size it is given.
    EXPECT_EQ(layer.FindControl("VuMeterR")->width(), 0);
}

TEST(BitmapList, ClickAsksForTheNextPictureAndWraps) {
    TestResources resources;
    RecordingLayer layer;
    const CEfControlBitmapList::Description lists[] = {
        {"B.PadPattern", 10, 10, "BitmapListPadPattern", 8}};
    ASSERT_TRUE(layer.CreateBitmapLists(lists));
    CEfControl* list = layer.FindControl("B.PadPattern");
    EXPECT_EQ(list->size(), QSize(60, 30));
    list->SetValue(6);
    QTest::mouseClick(list, Qt::LeftButton);
    QTest::mouseClick(list, Qt::LeftButton);
    EXPECT_EQ(list->Value(), 0);
    auto changed = layer.EventsOf("changed");
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].value, 7);
    EXPECT_EQ(changed[1].value, 0);
}

TEST(Buttons, PressClickAndKeyboardActivation) {
    TestResources resources;
    RecordingLayer layer;
    const CTarnButton::Description buttons[] = {{"BtnOpen", 5, 5, "ButtonAllOpen"},
                                                {"BtnMemory1", 60, 5, "ButtonMemory1"}};
    ASSERT_TRUE(layer.CreateButtons(buttons));
    CEfControl* open = layer.FindControl("BtnOpen");
    EXPECT_EQ(open->size(), QSize(50, 30));
    QTest::mouseClick(open, Qt::LeftButton, {}, QPoint(3, 3));
    // Released outside: pressed but no click.
    QTest::mousePress(open, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(open, Qt::LeftButton, {}, QPoint(80, 3));
    QTest::keyClick(open, Qt::Key_Space);
    EXPECT_EQ(layer.EventsOf("pressed").size(), 3u);
    EXPECT_EQ(layer.EventsOf("clicked").size(), 2u);
    EXPECT_EQ(layer.EventsOf("pressed")[0].position, QPoint(3, 3));
}

TEST(WaveGraph, ClickReportsThePosition) {
    TestResources resources;
    RecordingLayer layer;
    const CTarnControlWaveGraph::Description graphs[] = {
        {"WaveGraph", 10, 10, 400, 80, "WaveGraphImage"}};
    ASSERT_TRUE(layer.CreateWaveGraphs(graphs));
    CEfControl* graph = layer.FindControl("WaveGraph");
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(123, 45));
    auto clicks = layer.EventsOf("clickedAt");
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].position, QPoint(123, 45));
    EXPECT_TRUE(layer.EventsOf("clicked").empty());
}
