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
                errorReason = box->informativeText();
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
    const char* reason = "";
};

TEST_F(OutsideFilesTest, AFileHandedInOpensAsTheRequestersNameWould) {
    Write("run.kzt", "x;x;x;x;x;3\nx;x;x;x;x;4\n");
    QDir(folder.path()).mkdir("ordner.kzt");
    const std::vector<OutsideCase> cases{
        {"command line, no extension", Via::CommandLine, "run", "Sequenz: run.kzt", ""},
        {"drop", Via::Drop, "run.kzt", "Sequenz: run.kzt", ""},
        {"command line, missing", Via::CommandLine, "missing", "Sequenz:",
         "Datei 'missing.kzt' konnte nicht geöffnet werden!", "Die Datei gibt es nicht."},
        {"command line, folder", Via::CommandLine, "ordner.kzt", "Sequenz:",
         "Datei 'ordner.kzt' konnte nicht geöffnet werden!", "Der Name gehört zu einem Ordner."},
        {"drop, missing", Via::Drop, "gone.kzt",
         "Sequenz:", "Datei 'gone.kzt' konnte nicht geöffnet werden!", "Die Datei gibt es nicht."},
    };
    for (const auto& [name, via, handed, caption, error, reason] : cases) {
        Choose(MenuClear);
        State().sequence = Sequence();
        errorText.clear();
        errorReason.clear();
        HandIn(via, {QUrl::fromLocalFile(folder.filePath(handed))});
        EXPECT_EQ(Window().SequenceFrame()->title(), caption) << name;
        EXPECT_EQ(errorText, error) << name;
        EXPECT_EQ(errorReason, reason) << name;
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

// One of the viewer's own windows closing, or an expose of the main window
// and whether it counts as a loss of content.
struct FilterStep {
    std::int64_t atMs;
    QRect closed; // empty: this step is an expose
    QRegion exposed;
    bool losesContent = false;
};

struct FilterCase {
    const char* name;
    double devicePixelRatio;
    std::vector<FilterStep> steps;
};

FilterStep Closes(std::int64_t atMs, const QRect& area) {
    return {atMs, area, {}};
}

FilterStep Exposes(std::int64_t atMs, const QRegion& area, bool losesContent) {
    return {atMs, {}, area, losesContent};
}

TEST(ContentLossFilterTest, EachOwnWindowAccountsForTheExposeOfItsClosingOnce) {
    const QRect menu(60, 18, 130, 70);
    const QRect box(200, 150, 240, 120);
    const bool loss = true;
    const bool kept = false;
    const std::vector<FilterCase> cases{
        {"no own window closed", 1, {Exposes(1010, QRegion(70, 30, 50, 20), loss)}},
        {"under the closed menu", 1, {Closes(1000, menu), Exposes(1010, menu, kept)}},
        {"part of the closed menu",
         1,
         {Closes(1000, menu), Exposes(1200, QRegion(70, 30, 50, 20), kept)}},
        {"reaching past the menu",
         1,
         {Closes(1000, menu), Exposes(1010, QRegion(60, 18, 131, 70), loss)}},
        {"another window elsewhere",
         1,
         {Closes(1000, menu), Exposes(1010, QRegion(300, 300, 40, 40), loss)}},
        {"past the horizon", 1, {Closes(1000, menu), Exposes(2600, menu, loss)}},
        {"empty: the window asks to be drawn", 1, {Closes(1000, menu), Exposes(1010, {}, loss)}},
        {"the same place again: another program's window came and went",
         1,
         {Closes(1000, menu), Exposes(1010, menu, kept),
          Exposes(1400, QRegion(100, 40, 60, 30), loss)}},
        {"each window has its own horizon",
         1,
         {Closes(1000, menu), Closes(2400, box), Exposes(2600, menu, loss),
          Exposes(2610, box, kept)}},
        {"one expose for a requester and its pop-up",
         1,
         {Closes(1000, box), Closes(1001, QRect(210, 160, 80, 40)), Exposes(1010, box, kept),
          Exposes(1020, QRegion(220, 170, 20, 20), loss)}},
        {"one expose each for two windows",
         1,
         {Closes(1000, menu), Closes(1002, box), Exposes(1010, menu, kept),
          Exposes(1012, box, kept), Exposes(1020, box, loss)}},
        {"rounded outward at ratio 1.5",
         1.5,
         {Closes(1000, menu), Exposes(1010, menu.adjusted(-1, -1, 1, 1), kept)}},
        {"rounded outward at ratio 1.25",
         1.25,
         {Closes(1000, menu), Exposes(1010, menu.adjusted(-1, 0, 0, 1), kept)}},
        {"rounded outward at ratio 2",
         2,
         {Closes(1000, menu), Exposes(1010, menu.adjusted(0, -1, 1, 0), kept)}},
        {"beyond the rounding at ratio 1.75",
         1.75,
         {Closes(1000, menu), Exposes(1010, menu.adjusted(-2, 0, 0, 0), loss)}},
    };
    for (const auto& [name, ratio, steps] : cases) {
        ContentLossFilter filter;
        for (std::size_t index = 0; index < steps.size(); ++index) {
            const FilterStep& step = steps[index];
            if (!step.closed.isEmpty()) {
                filter.OwnWindowClosed(step.closed, ratio, step.atMs);
            } else {
                EXPECT_EQ(filter.LosesContent(step.exposed, step.atMs), step.losesContent)
                    << name << ", step " << index + 1;
            }
        }
    }
}

} // namespace
