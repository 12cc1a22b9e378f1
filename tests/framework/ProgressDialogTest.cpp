#include <gtest/gtest.h>

#include "framework/CTarnProgressDialog.h"
#include "framework/CTarnProgressDialogListener.h"

TEST(ProgressDialog, PercentAndCancelReachTheListener) {
    CTarnProgressDialog dialog;
    CTarnProgressDialogListener listener;
    dialog.SetListener(&listener);
    EXPECT_EQ(dialog.Text(), "Processing...");
    dialog.SetTotal(3);
    dialog.Step();
    EXPECT_EQ(dialog.Percent(), 33);
    EXPECT_FALSE(listener.IsCancelled());
    dialog.PressCancel();
    EXPECT_TRUE(listener.IsCancelled());
    listener.ClearCancel();
    EXPECT_FALSE(listener.IsCancelled());
}
