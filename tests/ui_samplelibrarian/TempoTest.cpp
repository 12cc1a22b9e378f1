// Tempo, lengths and level on the Sample Librarian: what the tempo field shows, typed, stepped,
// auto-repeated and tapped tempos, the loop flag's hold on the tempo controls, the pop-ups and
// the level, and the tap-tempo queue's size.
#include <QLineEdit>
#include <QTest>
#include <cmath>

#include "SampleLibrarianFixture.h"
#include "data/CTarnSampleData.h"
#include "ui/framework/CEfControlValueParameter.h"
#include "ui/framework/CTarnEditText.h"
#include "ui/framework/CTarnPopupParameter.h"
#include "ui/pages/samplelibrarian/CTarnTempoAutoRepeat.h"
#include "ui/pages/samplelibrarian/TarnSampleLibrarianValues.h"

namespace {

using SampleTempoText = ::testing::Test;
using TempoAutoRepeat = ::testing::Test;
using SampleTempo = SampleLibrarianFixture;
using SampleLengths = SampleLibrarianFixture;

TEST(SampleTempoText, CutsTheTenthAfterTheHeadersLift) {
    EXPECT_EQ(tarn::TempoText(119.96), "119.9");
    EXPECT_EQ(tarn::TempoText(119.99995), "120.0");
    EXPECT_EQ(tarn::TempoText(120.0), "120.0");
    EXPECT_EQ(tarn::TempoText(20.0), "20.0");
    EXPECT_EQ(tarn::TempoText(300.0), "300.0");
    EXPECT_EQ(tarn::TempoText(123.45), "123.4");
    // 0.1 steps that binary fractions hold a little low still show their own tenth.
    EXPECT_EQ(tarn::TempoText(90.3), "90.3");
    EXPECT_EQ(tarn::TempoText(115.4), "115.4");
}

TEST(SampleTempoText, TypedTextIsADecimalNumberClampedToTheRange) {
    EXPECT_EQ(tarn::ParseTempo("133.5"), 133.5);
    EXPECT_EQ(tarn::ParseTempo("  98 "), 98.0);
    EXPECT_EQ(tarn::ParseTempo("+140.25"), 140.25);
    EXPECT_EQ(tarn::ParseTempo("5"), 20.0);
    EXPECT_EQ(tarn::ParseTempo("-40"), 20.0);
    EXPECT_EQ(tarn::ParseTempo("0"), 20.0);
    EXPECT_EQ(tarn::ParseTempo("1e9"), 300.0);
    for (const char* text : {"", "   ", "abc", "12a", "1,5", "nan", "inf", "120 130", "."}) {
        EXPECT_FALSE(tarn::ParseTempo(text).has_value()) << text;
    }
}

TEST(SampleTempoText, TemposCompareAsSinglePrecision) {
    EXPECT_FALSE(tarn::TempoDiffers(120.0, 120.0000001));
    EXPECT_TRUE(tarn::TempoDiffers(120.0, 120.01));
}

TEST(SampleTempoText, PeakDecibelsAgainstFullScale) {
    EXPECT_NEAR(tarn::PeakDecibels(32767, 32767), 0.0, 1e-12);
    EXPECT_NEAR(tarn::PeakDecibels(16384, 32767), -6.02033, 1e-4);
    EXPECT_NEAR(tarn::PeakDecibels(3277, 32767), -19.99920, 1e-4);
    EXPECT_NEAR(tarn::PeakDecibels(130, 32767), -48.02987, 1e-4);
    EXPECT_TRUE(std::isinf(tarn::PeakDecibels(0, 32767)));
    EXPECT_LT(tarn::PeakDecibels(0, 32767), 0.0);
    EXPECT_TRUE(std::isinf(tarn::PeakDecibels(-5, 32767)));
}

TEST(TempoAutoRepeat, ThirtyMillisecondTicksRepeatOnThe35thThenEvery9th) {
    CTarnTempoAutoRepeat repeat;
    std::vector<int> steps;
    for (int tick = 1; tick <= 62; ++tick) {
        if (repeat.Tick(30)) {
            steps.push_back(tick);
        }
    }
    EXPECT_EQ(steps, (std::vector<int>{35, 44, 53, 62}));
    repeat.Reset();
    EXPECT_EQ(repeat.HoldTicks(), 0);
    EXPECT_EQ(repeat.RepeatTicks(), 0);
    for (int tick = 1; tick < 35; ++tick) {
        EXPECT_FALSE(repeat.Tick(30)) << tick;
    }
    EXPECT_TRUE(repeat.Tick(30));
}

TEST(TempoAutoRepeat, OtherTickLengthsKeepAboutTheSameTimes) {
    CTarnTempoAutoRepeat repeat;
    std::vector<int> steps;
    for (int tick = 1; tick <= 40; ++tick) {
        if (repeat.Tick(50)) {
            steps.push_back(tick);
        }
    }
    // 800 / 50 = 16 ticks of delay, then 250 / 50 = 5: the 22nd tick, then every 6th.
    EXPECT_EQ(steps, (std::vector<int>{22, 28, 34, 40}));
    // A stalled timer (ticks longer than the delay) repeats on every tick; zero counts as one.
    CTarnTempoAutoRepeat slow;
    EXPECT_TRUE(slow.Tick(1000));
    EXPECT_TRUE(slow.Tick(1000));
    CTarnTempoAutoRepeat zero;
    EXPECT_FALSE(zero.Tick(0));
}

TEST_F(SampleTempo, FieldShowsTheBanksTempoWithTheTenthCut) {
    BankData(0)->SetTempo(119.96);
    page->Refresh();
    EXPECT_EQ(Control("SampleTempo")->Text(), "119.9");
    EXPECT_EQ(Control("SampleTempo")->Value(), 119);
    BankData(0)->SetTempo(119.99995);
    page->Refresh();
    EXPECT_EQ(Control("SampleTempo")->Text(), "120.0");
    EXPECT_EQ(Control("C.SampleTempo")->Text(), "Original BPM");
}

TEST_F(SampleTempo, TypedTempoIsTakenOnceAndTheSameValueMarksNothing) {
    auto* field = qobject_cast<CTarnEditText*>(Control("SampleTempo"));
    ASSERT_NE(field, nullptr);
    QTest::mouseClick(field, Qt::LeftButton);
    ASSERT_TRUE(field->IsEditing());
    field->Editor()->setText("133.37");
    QTest::keyClick(field->Editor(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 133.37);
    EXPECT_EQ(field->Text(), "133.3");
    EXPECT_TRUE(host->IsModified());

    host->SetModified(false);
    // The same tempo again, as another text, is no change.
    page->OnEfControlTextChanged(field, "133.370");
    EXPECT_FALSE(host->IsModified());
    // Text that is no number changes nothing and the field shows the tempo again.
    page->OnEfControlTextChanged(field, "fast");
    EXPECT_FALSE(host->IsModified());
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 133.37);
    EXPECT_EQ(field->Text(), "133.3");
}

TEST_F(SampleTempo, TypedTempoOutOfRangeIsClamped) {
    CEfControl* field = Control("SampleTempo");
    page->OnEfControlTextChanged(field, "450");
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 300.0);
    EXPECT_EQ(field->Text(), "300.0");
    page->OnEfControlTextChanged(field, "-12");
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 20.0);
    host->SetModified(false);
    // Already at the bottom: clamped to the same value, nothing is marked.
    page->OnEfControlTextChanged(field, "3");
    EXPECT_FALSE(host->IsModified());
}

TEST_F(SampleTempo, StepButtonsStepOnPressAndStopAtTheEnds) {
    CEfControl* up = Control("BtnTempoInc");
    CEfControl* down = Control("BtnTempoDec");
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 121.0);
    QTest::mouseClick(down, Qt::LeftButton);
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 119.0);
    EXPECT_TRUE(host->IsModified());

    BankData(0)->SetTempo(20.0);
    host->SetModified(false);
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 20.0);
    EXPECT_FALSE(host->IsModified());
    BankData(0)->SetTempo(300.0);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 300.0);
    EXPECT_FALSE(host->IsModified());
}

TEST_F(SampleTempo, HoldingTheUpButtonRepeatsOnThe35thTickThenEvery9th) {
    CEfControl* up = Control("BtnTempoInc");
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 121.0);
    std::vector<int> stepped;
    double before = BankData(0)->GetTempo();
    for (int tick = 1; tick <= 53; ++tick) {
        page->OnEfLayerTick(30);
        if (BankData(0)->GetTempo() != before) {
            stepped.push_back(tick);
            before = BankData(0)->GetTempo();
        }
    }
    EXPECT_EQ(stepped, (std::vector<int>{35, 44, 53}));
    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
    // Released: the counters start again from nothing.
    for (int tick = 1; tick <= 40; ++tick) {
        page->OnEfLayerTick(30);
    }
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 124.0);
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    for (int tick = 1; tick <= 34; ++tick) {
        page->OnEfLayerTick(30);
    }
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 125.0);
    page->OnEfLayerTick(30);
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 126.0);
    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
}

TEST_F(SampleTempo, LoopFlagZeroDisablesTempoAndTap) {
    BankData(1)->SetLoopFlag(0);
    page->SelectBank(1);
    for (const char* key : {"SampleTempo", "BtnTempoInc", "BtnTempoDec", "BtnTapTempo"}) {
        EXPECT_FALSE(Control(key)->IsControlEnabled()) << key;
    }
    EXPECT_TRUE(Control("PhraseLength")->IsControlEnabled());
    QTest::mouseClick(Control("BtnTapTempo"), Qt::LeftButton);
    QTest::mouseClick(Control("BtnTempoInc"), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(BankData(1)->GetTempo(), 120.0);
    EXPECT_EQ(page->TapQueue().GetCount(), 0);
    EXPECT_FALSE(host->IsModified());

    page->SelectBank(0);
    for (const char* key : {"SampleTempo", "BtnTempoInc", "BtnTempoDec", "BtnTapTempo"}) {
        EXPECT_TRUE(Control(key)->IsControlEnabled()) << key;
    }
}

TEST_F(SampleTempo, TapStartsASeriesAndAnyOtherControlEndsIt) {
    QTest::mouseClick(Control("BtnTapTempo"), Qt::LeftButton);
    EXPECT_EQ(page->TapQueue().GetCount(), 1);
    // One tap alone gives no tempo.
    EXPECT_DOUBLE_EQ(BankData(0)->GetTempo(), 120.0);
    EXPECT_FALSE(host->IsModified());
    QTest::mouseClick(Control("BtnSampleBankA"), Qt::LeftButton);
    EXPECT_EQ(page->TapQueue().GetCount(), 0);
}

TEST_F(SampleLengths, PopupsAndLevelEditTheBankAndMarkOnlyChanges) {
    CTarnSampleData& bank = *BankData(0);
    page->OnEfControlChanged(Control("PhraseLength"), 8);
    EXPECT_EQ(bank.GetPhraseLength(), 8);
    EXPECT_EQ(Control("PhraseLength")->Value(), 8);
    EXPECT_EQ(Control("PhraseLength")->Text(), "[L16]  16/1");
    EXPECT_TRUE(host->IsModified());

    host->SetModified(false);
    page->OnEfControlChanged(Control("PhraseLength"), 8);
    page->OnEfControlChanged(Control("PlayLength"), bank.GetPlayLength());
    page->OnEfControlChanged(Control("PhraseLevel"), bank.GetPlayLevel());
    EXPECT_FALSE(host->IsModified());

    page->OnEfControlChanged(Control("PlayLength"), 3);
    EXPECT_EQ(bank.GetPlayLength(), 3);
    EXPECT_EQ(Control("PlayLength")->Text(), "[L H]  1/2");
    page->OnEfControlChanged(Control("PhraseLevel"), 64);
    EXPECT_EQ(bank.GetPlayLevel(), 64);
    EXPECT_EQ(Control("PhraseLevel")->Text(), "64");
    EXPECT_TRUE(host->IsModified());

    // Stepping the level with its own buttons goes the same way.
    auto* level = qobject_cast<CEfControlValueParameter*>(Control("PhraseLevel"));
    ASSERT_NE(level, nullptr);
    QTest::mouseClick(level, Qt::LeftButton, {}, level->UpRect().center());
    EXPECT_EQ(bank.GetPlayLevel(), 65);
}

TEST_F(SampleLengths, ALengthTheTempoDoesNotAllowMarksNothing) {
    // Below 108.5 BPM a phrase of 16 beats would not fit the bank: the choice is held at 8 beats.
    BankData(0)->SetTempo(100.0);
    page->Refresh();
    host->SetModified(false);
    page->OnEfControlChanged(Control("PhraseLength"), 8);
    EXPECT_EQ(BankData(0)->GetPhraseLength(), 7);
    EXPECT_EQ(Control("PhraseLength")->Value(), 7);
    EXPECT_FALSE(host->IsModified());
}

TEST_F(SampleLengths, TapQueueIsSizedFromThePhraseLengthAfterEveryChange) {
    // 8 beats by default: 4 taps.
    EXPECT_EQ(page->TapQueue().GetCapacity(), 4);
    page->OnEfControlChanged(Control("PhraseLength"), 8);
    EXPECT_EQ(page->TapQueue().GetCapacity(), 8);
    page->OnEfControlChanged(Control("PhraseLength"), 4);
    EXPECT_EQ(page->TapQueue().GetCapacity(), 3);
    // The play length leaves the queue alone.
    page->OnEfControlChanged(Control("PlayLength"), 8);
    EXPECT_EQ(page->TapQueue().GetCapacity(), 3);

    // A bank of another length, selected.
    BankData(2)->SetPhraseLength(8);
    page->SelectBank(2);
    EXPECT_EQ(page->TapQueue().GetCapacity(), 8);
    // The audio replaced from outside (message 0).
    BankData(2)->SetPhraseLength(6);
    host->PostMessage(0);
    ProcessEvents();
    EXPECT_EQ(page->TapQueue().GetCapacity(), 3);
}

} // namespace
