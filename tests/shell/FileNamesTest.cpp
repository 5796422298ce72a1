#include "FileNames.h"
#include "DisplayProblem.h"
#include "PlatformChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
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
    const char* named; // what the refusal names; null when the viewer may start
};

// ":99" and "wayland-9" stand for displays that are set but do not answer.
bool Answers(const char* display) {
    return std::string_view(display) != ":99" && std::string_view(display) != "wayland-9";
}

TEST(DisplayProblemTest, RefusesAWindowSystemPlatformWithoutADisplayThatAnswers) {
    const std::vector<DisplayCase> cases{
        {nullptr, nullptr, nullptr, "weder DISPLAY noch WAYLAND_DISPLAY"},
        {"", "", "", "weder DISPLAY noch WAYLAND_DISPLAY"},
        {"xcb", nullptr, nullptr, "DISPLAY ist nicht gesetzt"},
        {"xcb", nullptr, "wayland-0", "DISPLAY ist nicht gesetzt"},
        {"wayland", ":0", nullptr, "WAYLAND_DISPLAY ist nicht gesetzt"},
        {"wayland;xcb", nullptr, nullptr, "weder DISPLAY"},
        {"xcb:nograb", nullptr, nullptr, "DISPLAY"},
        {nullptr, ":0", nullptr, nullptr},
        {"xcb", ":1", nullptr, nullptr},
        {"wayland", nullptr, "wayland-0", nullptr},
        {"wayland;xcb", ":0", nullptr, nullptr},
        {"offscreen", nullptr, nullptr, nullptr},
        {"vnc", nullptr, nullptr, nullptr},
        {"xcb;offscreen", nullptr, nullptr, nullptr},
        {nullptr, ":99", nullptr, "DISPLAY=»:99«"},
        {nullptr, nullptr, "wayland-9", "WAYLAND_DISPLAY=»wayland-9«"},
        {nullptr, ":99", "wayland-9", "DISPLAY=»:99«, WAYLAND_DISPLAY=»wayland-9«"},
        {nullptr, ":99", "wayland-0", nullptr},
        {nullptr, ":0", "wayland-9", nullptr},
        {"xcb", ":99", "wayland-0", "DISPLAY=»:99«"},
    };
    const DisplayProbes probes{Answers, Answers};
    for (const auto& [platform, display, waylandDisplay, named] : cases) {
        const auto problem = DisplayProblem(platform, display, waylandDisplay, probes);
        const std::string label = std::string(platform ? platform : "(unset)") + " " +
                                  (display ? display : "(unset)") + " " +
                                  (waylandDisplay ? waylandDisplay : "(unset)");
        ASSERT_EQ(problem.has_value(), named != nullptr) << label;
        if (problem) {
            EXPECT_NE(problem->find(named), std::string::npos) << label << ": " << *problem;
        }
    }
}

struct StartFailureCase {
    const char* qtReason;
    const char* display;
    const char* waylandDisplay;
    const char* says;
};

TEST(DisplayProblemTest, StartFailureNamesTheDisplaysOrElseQtsFirstLine) {
    const std::vector<StartFailureCase> cases{
        {"could not load\nReinstalling may fix this", nullptr, nullptr,
         "gestartet werden: could not load"},
        {"could not connect", ":5", nullptr, "nicht nutzen (DISPLAY=»:5«)"},
        {"", "", "wayland-5", "nicht nutzen (WAYLAND_DISPLAY=»wayland-5«)"},
    };
    for (const auto& [qtReason, display, waylandDisplay, says] : cases) {
        const std::string message = StartFailureMessage(display, waylandDisplay, qtReason);
        EXPECT_NE(message.find(says), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
}

// GNOME's Wayland session gets XWayland while Qt is older than 6.8; a
// platform the user named, another desktop or a missing display keeps Qt's choice.
TEST(PlatformChoiceTest, XWaylandUnderGnomeOnlyWithQtBefore68) {
    struct Case {
        const char* platform;
        const char* display;
        const char* desktop;
        const char* qtVersion;
        bool xcb;
    };
    const std::vector<Case> cases{
        {nullptr, ":0", "GNOME", "6.4.2", true},
        {"", ":0", "ubuntu:GNOME", "6.7.9", true},
        {nullptr, ":0", "GNOME", "6.8.2", false},
        {nullptr, ":0", "GNOME", "6.10.0", false},
        {nullptr, ":0", "GNOME", "7.0.0", false},
        {"wayland", ":0", "GNOME", "6.4.2", false},
        {nullptr, nullptr, "GNOME", "6.4.2", false},
        {nullptr, ":0", "KDE", "6.4.2", false},
        {nullptr, ":0", "GNOME-Flashback:GNOME", "6.4.2", true},
        {nullptr, ":0", "GNOMEish", "6.4.2", false},
        {nullptr, ":0", nullptr, "6.4.2", false},
    };
    for (const auto& [platform, display, desktop, qtVersion, xcb] : cases) {
        const auto chosen = PreferredPlatform(platform, display, "wayland-0", desktop, qtVersion);
        EXPECT_EQ(chosen.value_or(""), xcb ? "xcb" : "")
            << (platform ? platform : "(unset)") << " " << (display ? display : "(unset)") << " "
            << (desktop ? desktop : "(unset)") << " " << qtVersion;
    }
    EXPECT_FALSE(PreferredPlatform(nullptr, ":0", nullptr, "GNOME", "6.4.2"));
}

} // namespace
