// Files that come from outside (the command line, a drop onto the window) are
// opened as "Öffnen" opens the name chosen; what is not a local file is refused.

#include "ContentLoss.h"
#include "OpenFileFixture.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

enum class Via { CommandLine, Drop };

class OutsideFilesTest : public OpenFileTest {
  protected:
    // Hands `urls` to the viewer the way `via` does; whether a drag of them
    // would be taken, and what an error box said, are kept.
    void HandIn(Via via, const QList<QUrl>& urls) {
        const auto errorBox = WhenModalOpens<QMessageBox>(
            [this](QMessageBox* box) {
                errorText = box->text();
                box->button(QMessageBox::Ok)->click();
            },
            Expect::Optional);
        if (via == Via::CommandLine) {
            viewer->Post({OpenFileEvent, 0, urls.constFirst().toLocalFile()});
        } else {
            QMimeData data;
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(&Window(), &enter);
            dragTaken = enter.isAccepted();
            QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton,
                            Qt::NoModifier);
            QApplication::sendEvent(&Window(), &drop);
        }
        Settle(*viewer);
    }

    bool dragTaken = false;
};

struct OutsideCase {
    const char* name;
    Via via;
    const char* handed; // relative to the test's folder
    const char* caption;
    const char* error;
};

TEST_F(OutsideFilesTest, AFileHandedInOpensAsTheRequestersNameWould) {
    Write("run.kzt", "x;x;x;x;x;3\nx;x;x;x;x;4\n");
    const std::vector<OutsideCase> cases{
        {"command line, no extension", Via::CommandLine, "run", "Sequenz: run.kzt", ""},
        {"drop", Via::Drop, "run.kzt", "Sequenz: run.kzt", ""},
        {"command line, missing", Via::CommandLine, "missing",
         "Sequenz:", "Datei 'missing.kzt' konnte nicht geöffnet werden!"},
        {"drop, missing", Via::Drop, "gone.kzt",
         "Sequenz:", "Datei 'gone.kzt' konnte nicht geöffnet werden!"},
    };
    for (const auto& [name, via, handed, caption, error] : cases) {
        Choose(MenuClear);
        State().sequence = Sequence();
        errorText.clear();
        HandIn(via, {QUrl::fromLocalFile(folder.filePath(handed))});
        EXPECT_EQ(Window().SequenceFrame()->title(), caption) << name;
        EXPECT_EQ(errorText, error) << name;
        const std::vector<std::int8_t> steps =
            *error ? std::vector<std::int8_t>{} : std::vector<std::int8_t>{3, 4};
        EXPECT_EQ(Elements(State().sequence.stepList), steps) << name;
        if (via == Via::Drop) {
            EXPECT_TRUE(dragTaken) << name;
        }
    }
}

TEST_F(OutsideFilesTest, OnlyTheFirstLocalFileOfADropIsTakenAndOtherUrlsAreRefused) {
    Write("first.kzt", "x;x;x;x;x;3\nx;x;x;x;x;4\n");
    Write("second.kzt", "x;x;x;x;x;6\n");
    HandIn(Via::Drop, {QUrl(QStringLiteral("https://example.org/run.kzt")),
                       QUrl::fromLocalFile(folder.filePath("first.kzt")),
                       QUrl::fromLocalFile(folder.filePath("second.kzt"))});
    EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz: first.kzt");

    const Sequence sequence = State().sequence;
    const QImage picture = Composed();
    HandIn(Via::Drop, {QUrl(QStringLiteral("https://example.org/run.kzt"))});
    EXPECT_FALSE(dragTaken);
    EXPECT_EQ(State().sequence, sequence);
    EXPECT_EQ(Composed(), picture);
}

struct ExposeCase {
    const char* name;
    QRect ownWindow; // closed at 1000 ms; empty: none closed
    QRegion exposed;
    std::int64_t exposedAtMs;
    bool losesContent;
};

TEST(ContentLossFilterTest, OnlyWhatTheViewersOwnWindowsJustUncoveredKeepsItsContent) {
    const QRect menu(60, 18, 130, 70);
    const std::vector<ExposeCase> cases{
        {"no own window closed", {}, QRegion(70, 30, 50, 20), 1010, true},
        {"under the closed menu", menu, QRegion(60, 18, 130, 70), 1010, false},
        {"part of the closed menu", menu, QRegion(70, 30, 50, 20), 1200, false},
        {"reaching past the menu", menu, QRegion(60, 18, 131, 70), 1010, true},
        {"another window elsewhere", menu, QRegion(300, 300, 40, 40), 1010, true},
        {"long after the menu closed", menu, QRegion(70, 30, 50, 20), 3000, true},
        {"empty: the window asks to be drawn", menu, QRegion(), 1010, true},
    };
    for (const auto& [name, ownWindow, exposed, exposedAtMs, losesContent] : cases) {
        ContentLossFilter filter;
        if (!ownWindow.isEmpty()) {
            filter.OwnWindowClosed(ownWindow, 1000);
        }
        EXPECT_EQ(filter.LosesContent(exposed, exposedAtMs), losesContent) << name;
    }
}

} // namespace
