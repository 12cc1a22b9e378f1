#include <gtest/gtest.h>

#include "data/CTarnFileException.h"
#include "data/CTarnMidiException.h"
#include "framework/CTarnMessageBox.h"
#include "support/RecordingAlertPresenter.h"
#include "support/RecordingTraceSink.h"

TEST(Exception, MessageCodesOfEachClass) {
    const CTarnException base(5);
    EXPECT_EQ(base.MessageOf(5), 0);
    const CTarnFileException file(0);
    EXPECT_EQ(file.MessageOf(0), 1);
    EXPECT_EQ(file.MessageOf(14), 15);
    // The missing decoder has the message of its own.
    EXPECT_EQ(file.MessageOf(15), 35);
    EXPECT_EQ(file.MessageOf(16), 0);
    EXPECT_EQ(file.MessageOf(-1), 0);
    const CTarnMidiException midi(0);
    EXPECT_EQ(midi.MessageOf(0), 16);
    EXPECT_EQ(midi.MessageOf(12), 28);
    EXPECT_EQ(midi.MessageOf(13), 0);
}

TEST(Exception, ReportShowsTheCodesText) {
    RecordingAlertPresenter alerts;
    CTarnFileException(6).Report();
    CTarnFileException(16).Report();
    CTarnMidiException(4).Report();
    ASSERT_EQ(alerts.alerts.size(), 3u);
    EXPECT_EQ(alerts.alerts[0].text, "The file is broken (Checksum error)");
    EXPECT_EQ(alerts.alerts[0].caption, "TALVEX PRO+ Editor");
    EXPECT_EQ(alerts.alerts[0].style, 0x22);
    EXPECT_EQ(alerts.alerts[1].text, "TALVEX PRO+ Editor internal error.");
    EXPECT_EQ(alerts.alerts[2].text, "The communication has timed-out.");
}

TEST(Exception, BaseReportOnlyTraces) {
    RecordingAlertPresenter alerts;
    RecordingTraceSink trace;
    const CEfException e(7);
    EXPECT_EQ(e.GetMessage(), nullptr);
    e.Report();
    EXPECT_TRUE(alerts.alerts.empty());
    EXPECT_TRUE(trace.Contains("!! Error !! (#7) "));
}

TEST(Exception, CaughtAsTheRootClass) {
    try {
        throw CTarnFileException(CTarnFileException::kNotEnoughData);
    } catch (const CEfException& e) {
        EXPECT_EQ(e.GetCode(), 13);
        EXPECT_STREQ(e.GetMessage(), "The file does not contain enough data.");
    }
}

TEST(MessageBox, TextsAndUnknownCodes) {
    RecordingAlertPresenter alerts;
    alerts.answer = 2;
    EXPECT_STREQ(CTarnMessageBox::Text(2), "File format not supported");
    EXPECT_STREQ(CTarnMessageBox::Text(5), "File format not supported.");
    EXPECT_STREQ(CTarnMessageBox::Text(32),
                 "This operation will overwrite all data on the TALVEX PRO+.\nContinue?");
    EXPECT_NE(std::string(CTarnMessageBox::Text(34)).find("  set to disable. Continue?\n\n*"),
              std::string::npos);
    for (int code = 0; code < CTarnMessageBox::kMessageCount; ++code) {
        ASSERT_NE(CTarnMessageBox::Text(code), nullptr) << code;
    }
    EXPECT_EQ(CTarnMessageBox::Text(37), nullptr);
    EXPECT_EQ(CTarnMessageBox::Text(-1), nullptr);
    EXPECT_EQ(CTarnMessageBox::Show(37, 0x22), -1);
    EXPECT_TRUE(alerts.alerts.empty());
    EXPECT_EQ(CTarnMessageBox::Show(31, CTarnMessageBox::kQuestionStyle), 2);
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].style, 140);
}
