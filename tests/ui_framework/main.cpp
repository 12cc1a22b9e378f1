#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// One application object for every test of the program, on the offscreen platform unless the
// caller chose another.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
