// The viewer follows the file it shows while another writer changes it: the
// picture after each change is the picture of the file as it then stands.

#include "FileNameQt.h"
#include "FileWatch.h"
#include "OpenFileFixture.h"
#include "SequenceLoader.h"

#include <QElapsedTimer>
#include <QPalette>
#include <QScreen>
#include <QThread>

#include <filesystem>

namespace {

// Lets Qt run for `ms` milliseconds.
void Spin(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

// Lets Qt and the viewer's loop run until `done` holds or five seconds pass.
bool RunUntil(const Viewer& viewer, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        QCoreApplication::processEvents();
        if (done() && viewer.Loop().Queue().Empty()) {
            Settle(viewer);
            return true;
        }
        QThread::msleep(5);
    }
    return false;
}

// What the file holds as it stands, read by the loader.
Sequence Loaded(const QString& path) {
    Sequence sequence;
    LoadSequenceFile(sequence, FileSystemName(path));
    return sequence;
}

enum class Change { Append, WriteAnew, RenameOver };

struct FollowStep {
    Change change;
    const char* bytes;
};

struct FollowCase {
    const char* name;
    const char* start;
    std::vector<FollowStep> steps;
};

// Inside SequenceFrame's border, where the picture alone shows.
const QRect insideFrame(17, 40, 506, 462);

class FollowTest : public OpenFileTest {
  protected:
    void Apply(const QString& path, const FollowStep& step) {
        if (step.change == Change::RenameOver) {
            const QString fresh = Write("fresh.tmp", step.bytes);
            // Replaces the file in one step on every platform, as std::rename
            // does only on POSIX systems.
            std::error_code error;
            std::filesystem::rename(fresh.toStdU16String(), path.toStdU16String(), error);
            ASSERT_FALSE(error) << error.message();
            return;
        }
        QFile file(path);
        ASSERT_TRUE(file.open(step.change == Change::Append
                                  ? QIODevice::Append
                                  : QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(step.bytes);
    }

    // The picture a viewer of its own shows once it has opened `path` with
    // `kind` ticked.
    static QImage FreshPicture(const QString& path, StructureKind kind) {
        EndRecord end;
        Viewer fresh(end.Recorder());
        fresh.Start();
        Settle(fresh);
        if (kind == StructureKind::Octahedron) {
            fresh.Post({MenuEvent, MenuOctahedron});
        }
        fresh.Post({OpenFileEvent, 0, path});
        Settle(fresh);
        return fresh.Surface().Image();
    }

    // The part inside the frame in the screen's device pixels, at whatever
    // scale the tests run.
    QRect InsideFrameOnScreen(QPoint offset = QPoint()) {
        const QRect logical = insideFrame.translated(offset);
        const qreal scale = Window().devicePixelRatio();
        return QRect((QPointF(logical.topLeft()) * scale).toPoint(),
                     (QSizeF(logical.size()) * scale).toSize());
    }

    // What the window system was last given to show inside the frame: the
    // image alone may be right while a part of the screen was never updated.
    // On a scaled screen Qt's offscreen platform grabs only as many device
    // pixels as the window has logical ones; there the window is painted anew.
    QImage Shown() {
        const QPixmap grabbed = Window().devicePixelRatio() == 1
                                    ? Window().screen()->grabWindow(Window().winId())
                                    : Window().grab();
        const QImage window = grabbed.toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint area = Window().DrawingWidget()->mapTo(&Window(), QPoint(0, 0));
        return window.copy(InsideFrameOnScreen(area));
    }

    void ExpectPicture(const QImage& expected, const std::string& what) {
        EXPECT_EQ(viewer->Surface().Image(), expected) << what;
        EXPECT_EQ(Shown(),
                  expected.convertToFormat(QImage::Format_RGB32).copy(InsideFrameOnScreen()))
            << what << ": the screen";
    }

    void ExpectFollowed(const QString& path, const Sequence& expected, const std::string& what) {
        EXPECT_TRUE(RunUntil(*viewer, [&] { return State().sequence == expected; }))
            << what << ": " << State().sequence.stepList.Size() << " steps, expected "
            << expected.stepList.Size();
        ExpectPicture(FreshPicture(path, viewer->ShownStructure()), what);
        EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz: run.kzt") << what;
    }
};

// "a;b;c;d;e;" and a node, as a writer puts it.
constexpr const char* oneToFour = "x;x;x;x;x;1\nx;x;x;x;x;2\nx;x;x;x;x;3\nx;x;x;x;x;4\n";

TEST_F(FollowTest, ThePictureAfterEachChangeIsThePictureOfTheFileAsItStands) {
    const std::vector<FollowCase> cases{
        {"growth",
         oneToFour,
         {{Change::Append, "x;x;x;x;x;6\n"},
          {Change::Append, "x;x;x;x;x;0\nx;x;x;x;x;7\n"},
          {Change::Append, "QORN-V tag\nx;x;x;x;x;9\n"}}},
        {"provisional last line",
         oneToFour,
         {{Change::Append, "x;x;x;x;x;1"},
          {Change::Append, "2\n"},
          {Change::Append, "x;x;x;x;x;5"},
          {Change::Append, "\r"},
          {Change::Append, "\nQORN"},
          {Change::Append, "-V\nx;x;x;x;x;8\n"}}},
        {"provisional last line at opening",
         "x;x;x;x;x;1\nx;x;x;x;x;5\nx;x;x;x;x;1",
         {{Change::Append, "0\n"}, {Change::Append, "x;x;x;x;x;2"}, {Change::Append, "\n"}}},
        {"provisional line completed into a malformed one",
         oneToFour,
         {{Change::Append, "x;x;x;x;x;12"}, {Change::Append, "3\n"}}},
        {"provisional marker completed into a tag line",
         oneToFour,
         {{Change::Append, "QORN"}, {Change::Append, "-V Lauf 2\n"}}},
        {"malformed line, then completed",
         oneToFour,
         {{Change::Append, "x;x;x;x;x;"}, {Change::Append, "6\nx;x;x;x;x;7\n"}}},
        {"replaced",
         oneToFour,
         {{Change::WriteAnew, "x;x;x;x;x;13\nx;x;x;x;x;12\n"},
          {Change::RenameOver, "x;x;x;x;x;10\nx;x;x;x;x;0\nx;x;x;x;x;11\n"},
          {Change::Append, "x;x;x;x;x;3\n"}}},
        {"octahedron", oneToFour, {{Change::Append, "x;x;x;x;x;9\nx;x;x;x;x;13\n"}}},
    };
    for (const auto& [name, start, steps] : cases) {
        const QString path = Write("run.kzt", start);
        if (std::string(name) == "octahedron") {
            Choose(MenuOctahedron);
        }
        viewer->Post({OpenFileEvent, 0, path});
        Settle(*viewer);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            Apply(path, steps[i]);
            ExpectFollowed(path, Loaded(path), std::string(name) + " #" + std::to_string(i));
        }
    }
}

// After "Löschen" an update shows only the path that arrived since then, also
// when the line cut at "Löschen" is read again: `shown` is a file drawn as the
// bare nodes and that path (from node 4, where the path stood).
TEST_F(FollowTest, AfterClearingOnlyThePathSinceThenIsShownWhereverTheLineWasCut) {
    struct ClearCase {
        const char* name;
        const char* cut;               // appended before "Löschen"
        std::vector<const char*> rest; // after it, each piece followed in turn
        const char* shown;
    };
    const std::vector<ClearCase> cases{
        {"no line cut", "", {"x;x;x;x;x;6\n"}, "x;x;x;x;x;4\nx;x;x;x;x;6\n"},
        {"completed to another step", "x;x;x;x;x;1", {"2\n"}, "x;x;x;x;x;4\nx;x;x;x;x;12\n"},
        {"completed as the same step",
         "x;x;x;x;x;12",
         {"\nx;x;x;x;x;7\n"},
         "x;x;x;x;x;12\nx;x;x;x;x;7\n"},
        {"completed into a malformed line", "x;x;x;x;x;12", {"3\n"}, "x;x;x;x;x;4\n"},
        {"marker completed into a tag line",
         "QORN",
         {"-V\nx;x;x;x;x;9\n"},
         "x;x;x;x;x;4\nx;x;x;x;x;9\n"},
        {"marker completed into a tag line bytewise",
         "QORN",
         {"-", "V", "\nx;x;x;x;x;9\n"},
         "x;x;x;x;x;4\nx;x;x;x;x;9\n"},
    };
    for (const auto& [name, cut, rest, shown] : cases) {
        const QString path = Write("run.kzt", oneToFour);
        viewer->Post({OpenFileEvent, 0, path});
        Settle(*viewer);
        Apply(path, {Change::Append, cut});
        ExpectFollowed(path, Loaded(path), std::string(name) + ", before Löschen");
        Choose(MenuClear);
        for (const char* piece : rest) {
            // Each piece read on its own, not taken together with the next one.
            Apply(path, {Change::Append, piece});
            viewer->Dispatch({FileChangedEvent, 0});
            Settle(*viewer);
        }
        EXPECT_EQ(State().sequence, Loaded(path)) << name;
        ExpectPicture(FreshPicture(Write("shown.kzt", shown), StructureKind::Icosahedron), name);
    }
}

// A new colour scheme erases the picture: a provisional step read again before
// the repaint that follows must not go back to the picture in the old colours.
TEST_F(FollowTest, AnUpdateAfterAColourSchemeChangeKeepsTheNewBackground) {
    const QString path = Write("run.kzt", oneToFour);
    viewer->Post({OpenFileEvent, 0, path});
    Settle(*viewer);
    Apply(path, {Change::Append, "x;x;x;x;x;1"});
    ExpectFollowed(path, Loaded(path), "an unended line");
    const QPalette before = QApplication::palette();
    QPalette scheme = before;
    scheme.setColor(QPalette::Window, QColor(40, 60, 80));
    Apply(path, {Change::Append, "2\n"});
    QApplication::setPalette(scheme);
    // Qt may post the widgets' change; the window system's arrives at once.
    QEvent change(QEvent::PaletteChange);
    QApplication::sendEvent(Window().DrawingWidget(), &change);
    viewer->Dispatch({FileChangedEvent, 0}); // ahead of the repaint the change asked for
    const QImage updated = viewer->Surface().Image();
    const QImage expected = FreshPicture(path, StructureKind::Icosahedron);
    QApplication::setPalette(before);
    EXPECT_EQ(updated, expected);
}

// A writer may keep the old file open after another was renamed over it; the
// new file is watched at once, so its growth shows within the follow latency
// and not only at the next half-second look.
TEST_F(FollowTest, AFileRenamedOverAnOpenOneIsWatchedAtOnce) {
    const QString path = Write("run.kzt", oneToFour);
    viewer->Post({OpenFileEvent, 0, path});
    Settle(*viewer);
    QFile oldWriter(path);
    ASSERT_TRUE(oldWriter.open(QIODevice::Append));
    // Windows refuses to replace a file that a writer holds open without
    // sharing its deletion, as Qt's and the C runtime's writers do.
    const QString fresh = Write("fresh.tmp", "x;x;x;x;x;10\nx;x;x;x;x;11\n");
    std::error_code error;
    std::filesystem::rename(fresh.toStdU16String(), path.toStdU16String(), error);
    if (error == std::errc::permission_denied) {
        GTEST_SKIP() << "the system keeps a file open for writing from being replaced";
    }
    ASSERT_FALSE(error) << error.message();
    ExpectFollowed(path, Loaded(path), "renamed over");
    for (const char* line : {"x;x;x;x;x;6\n", "x;x;x;x;x;7\n", "x;x;x;x;x;8\n"}) {
        QElapsedTimer clock;
        clock.start();
        Apply(path, {Change::Append, line});
        const Sequence expected = Loaded(path);
        EXPECT_TRUE(RunUntil(*viewer, [&] { return State().sequence == expected; })) << line;
        EXPECT_LE(clock.elapsed(), 150) << line;
    }
}

// A vanished file leaves the picture; a file of that name appearing later is
// read as a replacement.
TEST_F(FollowTest, AVanishedFileLeavesThePictureUntilItAppearsAgain) {
    const QString path = Write("run.kzt", oneToFour);
    viewer->Post({OpenFileEvent, 0, path});
    Settle(*viewer);
    const Sequence before = State().sequence;
    const QImage picture = viewer->Surface().Image();
    ASSERT_TRUE(QFile::remove(path));
    Spin(1500); // past three looks at the file
    EXPECT_EQ(State().sequence, before);
    EXPECT_EQ(viewer->Surface().Image(), picture);

    Write("run.kzt", "x;x;x;x;x;7\nx;x;x;x;x;8\n");
    ExpectFollowed(path, Loaded(path), "appeared again");
}

// Growth is a window event: while "Fehler!" is open it waits, and it is drawn
// once the box is confirmed.
TEST_F(FollowTest, GrowthWaitsWhileTheErrorBoxIsOpen) {
    const QString path = Write("run.kzt", oneToFour);
    viewer->Post({OpenFileEvent, 0, path});
    Settle(*viewer);
    const Sequence before = State().sequence;
    bool unchangedWhileOpen = false;
    const auto errorBox = WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
        Apply(path, {Change::Append, "x;x;x;x;x;6\nx;x;x;x;x;7\n"});
        Spin(1500);
        unchangedWhileOpen = State().sequence == before;
        box->button(QMessageBox::Ok)->click();
    });
    viewer->Post({OpenFileEvent, 0, folder.filePath("missing")});
    Settle(*viewer);
    EXPECT_TRUE(unchangedWhileOpen);
    ExpectFollowed(path, Loaded(path), "after the box");
}

// Network and FUSE mounts send no change notifications: the half-second look
// at the file alone finds growth and replacement.
TEST_F(FollowTest, WithoutNotificationsTheLookAtTheFileFollowsIt) {
    viewer = std::make_unique<Viewer>(end.Recorder(), FileWatch::Notifications::Ignored);
    viewer->Start();
    Settle(*viewer);
    const QString path = Write("run.kzt", oneToFour);
    viewer->Post({OpenFileEvent, 0, path});
    Settle(*viewer);
    Apply(path, {Change::Append, "x;x;x;x;x;6\n"});
    ExpectFollowed(path, Loaded(path), "growth");
    Apply(path, {Change::RenameOver, "x;x;x;x;x;10\nx;x;x;x;x;11\n"});
    ExpectFollowed(path, Loaded(path), "renamed over");
}

// The watch looks once as it starts, so a line written between the load and
// then shows at once. Events follow each other at least 50 ms apart however
// fast the file grows, and only one waits at a time.
TEST(FileWatch, ABurstOfWritesPostsSpacedEvents) {
    QTemporaryDir folder;
    const QString path = folder.filePath("run.kzt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    std::vector<qint64> posted;
    QElapsedTimer clock;
    clock.start();
    FileWatch* watching = nullptr;
    FileWatch watch([&](WindowEvent event) {
        EXPECT_EQ(event.code, FileChangedEvent);
        posted.push_back(clock.elapsed());
        // Taken by the handler as soon as Qt's loop runs again.
        QMetaObject::invokeMethod(
            watching, [&] { watching->Taken(); }, Qt::QueuedConnection);
    });
    watching = &watch;
    watch.Watch(path);
    EXPECT_EQ(posted.size(), 1u) << "a first look as the watch starts";
    while (clock.elapsed() < 1000) {
        file.write("x;x;x;x;x;1\n");
        file.flush();
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    QCoreApplication::processEvents();
    ASSERT_GE(posted.size(), 5u);
    for (std::size_t i = 1; i < posted.size(); ++i) {
        EXPECT_GE(posted[i] - posted[i - 1], FileWatch::minimumSpacingMs - 2) << "event " << i;
    }
}

} // namespace
