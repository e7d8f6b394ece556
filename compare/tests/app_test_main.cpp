// Runs Twinview's tests inside a QApplication on the offscreen platform, so
// that windows can be made and driven but never appear or wait.
#include "bitmap_file.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    RaiseImageAllocationLimit();
    return RUN_ALL_TESTS();
}
