#include "FileNames.h"
#include "Startup.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct NameCase {
    const char* chosen;
    const char* loaded;
    const char* filePart;
};

TEST(FileNamesTest, KztIsAppendedOnlyWithoutExtensionAndTheFilePartFollowsTheLastSeparator) {
    const std::vector<NameCase> cases{
        {"run", "run.kzt", "run.kzt"},
        {"run.", "run..kzt", "run..kzt"},
        {"run.txt", "run.txt", "run.txt"},
        {"run.KZT", "run.KZT", "run.KZT"},
        {"run.kzt", "run.kzt", "run.kzt"},
        {"run.sequence", "run.sequence", "run.sequence"},
        {"data.old\\run", "data.old\\run.kzt", "run.kzt"},
        {"/home/a.b/run", "/home/a.b/run.kzt", "run.kzt"},
        {"/home/a.b/run.x", "/home/a.b/run.x", "run.x"},
        {"C:\\Daten\\lauf.kzt", "C:\\Daten\\lauf.kzt", "lauf.kzt"},
        {"/tmp/a\\b.c/run", "/tmp/a\\b.c/run.kzt", "run.kzt"},
        {".kzt", ".kzt", ".kzt"},
        {"/tmp/.hidden", "/tmp/.hidden", ".hidden"},
        {"Lauf ä.ß", "Lauf ä.ß", "Lauf ä.ß"},
    };
    for (const auto& [chosen, loaded, filePart] : cases) {
        const QString name = WithDefaultExtension(QString::fromUtf8(chosen));
        EXPECT_EQ(name, QString::fromUtf8(loaded)) << chosen;
        EXPECT_EQ(FilePart(name), QString::fromUtf8(filePart)) << chosen;
    }
}

struct DisplayCase {
    const char* platform;
    const char* display;
    const char* waylandDisplay;
    bool refused;
};

TEST(DisplayProblemTest, RefusesOnlyAWindowSystemPlatformWithoutAnyDisplay) {
    const std::vector<DisplayCase> cases{
        {nullptr, nullptr, nullptr, true},
        {"", "", "", true},
        {"xcb", nullptr, nullptr, true},
        {"wayland", nullptr, nullptr, true},
        {"wayland;xcb", nullptr, nullptr, true},
        {"xcb:nograb", nullptr, nullptr, true},
        {nullptr, ":0", nullptr, false},
        {"xcb", ":1", nullptr, false},
        {"wayland", nullptr, "wayland-0", false},
        {"wayland;xcb", ":0", nullptr, false},
        {"offscreen", nullptr, nullptr, false},
        {"vnc", nullptr, nullptr, false},
        {"xcb;offscreen", nullptr, nullptr, false},
    };
    for (const auto& [platform, display, waylandDisplay, refused] : cases) {
        const auto problem = DisplayProblem(platform, display, waylandDisplay);
        EXPECT_EQ(problem.has_value(), refused)
            << (platform ? platform : "(unset)") << " " << (display ? display : "(unset)");
        if (problem) {
            EXPECT_NE(problem->find("DISPLAY"), std::string::npos);
        }
    }
}

} // namespace
