#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Pixels must not depend on a display or on the desktop's theme.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
