// The open command handed things that are not sequence files, or names a
// careless program would mangle. What cannot be loaded gives the error box and
// leaves sequence and picture exactly as they were; what can is shown.

#include "OpenFileFixture.h"

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct HostileCase {
    const char* name;
    // Prepares the folder and returns what the user types.
    std::function<QString(const QTemporaryDir&)> prepare;
    // Loaded: the caption and step count expected; otherwise the error box's file part.
    bool loads;
    QString filePart;
    std::size_t steps = 0;
};

void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.name;
}

QString Create(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return name;
}

QString Link(const QTemporaryDir& folder, const QString& name, const char* target) {
    EXPECT_EQ(::symlink(target, folder.filePath(name).toLocal8Bit().constData()), 0);
    return name;
}

class OpenHostileFiles : public OpenFileTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(OpenHostileFiles, GiveTheDocumentedResult) {
    const HostileCase& c = GetParam();
    const QString typed = c.prepare(folder);
    const QImage picture = Composed();
    const Sequence sequence = State().sequence;
    OpenTyped(typed);
    if (c.loads) {
        EXPECT_FALSE(errorBoxSeen);
        EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz: " + c.filePart);
        EXPECT_EQ(State().sequence.stepList.Size(), c.steps);
        EXPECT_EQ(State().sequence.classList.Size(), c.steps);
        return;
    }
    if (c.filePart.isEmpty()) {
        EXPECT_TRUE(requesterStayedOpen) << "a folder is entered, not loaded";
        EXPECT_FALSE(errorBoxSeen);
    } else {
        ASSERT_TRUE(errorBoxSeen);
        EXPECT_EQ(errorTitle, "Fehler!");
        EXPECT_EQ(errorText, "Datei '" + c.filePart + "' konnte nicht geöffnet werden!");
    }
    ExpectUnchanged(picture, sequence);
}

QByteArray OneLineOf200Megabytes() {
    QByteArray line(200 * 1024 * 1024, 'x');
    line.prepend(";;;;;12;");
    return line;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OpenHostileFiles,
    ::testing::Values(
        HostileCase{"fifo without writer",
                    [](const QTemporaryDir& folder) {
                        ::mkfifo(folder.filePath("pipe.kzt").toLocal8Bit().constData(), 0600);
                        return QString("pipe.kzt");
                    },
                    false, "pipe.kzt"},
        HostileCase{"dev zero", [](auto& f) { return Link(f, "zero.kzt", "/dev/zero"); }, false,
                    "zero.kzt"},
        HostileCase{"dev null", [](auto& f) { return Link(f, "null.kzt", "/dev/null"); }, false,
                    "null.kzt"},
        HostileCase{"dev urandom", [](auto& f) { return Link(f, "random", "/dev/urandom"); }, false,
                    "random.kzt"},
        HostileCase{"folder",
                    [](const QTemporaryDir& folder) {
                        QDir(folder.path()).mkdir("ordner.kzt");
                        return QString("ordner.kzt");
                    },
                    false, ""},
        HostileCase{"nul bytes",
                    [](auto& f) { return Create(f, "nul.kzt", QByteArray(100000, '\0')); }, true,
                    "nul.kzt", 100000},
        HostileCase{"single 200 MB line",
                    [](auto& f) { return Create(f, "lang.kzt", OneLineOf200Megabytes()); }, true,
                    "lang.kzt", 1},
        HostileCase{"spaces",
                    [](auto& f) { return Create(f, "mit Leerzeichen.kzt", ";;;;;3\n;;;;;4\n"); },
                    true, "mit Leerzeichen.kzt", 2},
        HostileCase{"umlauts",
                    [](auto& f) {
                        Create(f, "Grüße aus Köln.kzt", ";;;;;3\n;;;;;4\n;;;;;5\n");
                        return QString("Grüße aus Köln");
                    },
                    true, "Grüße aus Köln.kzt", 3},
        HostileCase{"backslash",
                    [](auto& f) {
                        Create(f, "data.old\\run.kzt", ";;;;;3\n");
                        return QString("data.old\\run");
                    },
                    true, "run.kzt", 1}));

TEST_F(OpenFileTest, AFileWithoutReadPermissionGivesTheErrorBox) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file; the loader's own tests cover this as another user";
    }
    Write("gesperrt.kzt", ";;;;;3\n");
    ::chmod(folder.filePath("gesperrt.kzt").toLocal8Bit().constData(), 0);
    const QImage picture = Composed();
    const Sequence sequence = State().sequence;
    OpenTyped("gesperrt.kzt");
    ASSERT_TRUE(errorBoxSeen);
    EXPECT_EQ(errorText, "Datei 'gesperrt.kzt' konnte nicht geöffnet werden!");
    ExpectUnchanged(picture, sequence);
}

} // namespace
