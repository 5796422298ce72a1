// GUI tests run headless: Qt's offscreen platform, no desktop theme plugin, and
// the German Qt texts the program installs.

#include "Startup.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    // A run may give the offscreen platform screens of its own (configfile=).
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QStringLiteral("offscreen"))) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QApplication application(argc, argv);
    InstallGermanTranslations(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
