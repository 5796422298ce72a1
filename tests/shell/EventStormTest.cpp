// A long seeded run of everything a user and the window system can throw at
// the viewer, checking after every single event that the window, the menu and
// the model still agree.

#include "ShellTestSupport.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <random>

namespace {

class EventStorm {
  public:
    explicit EventStorm(std::uint32_t seed) : random(seed) {
        EXPECT_TRUE(folder.isValid());
        Write("good.kzt", "QORN-V\n;;;;;1\n;;;;;0\n;;;;;7\n;;;;;13\n;;;;;99\n;;;;;5\n");
        Write("malformed.kzt", ";;;;;3\n;;;;;4\n;;;;;x4\n;;;;;5\n");
        Write("empty.kzt", "");
        StartViewer();
    }

    void Run(int eventCount) {
        for (int i = 0; i < eventCount && !::testing::Test::HasFatalFailure(); ++i) {
            ApplyOne();
            CheckAgreement(i);
        }
    }

  private:
    void StartViewer() {
        end = EndRecord{};
        viewer = std::make_unique<Viewer>(end.Recorder());
        viewer->Start();
        Settle(*viewer);
        ++startedViewers;
    }

    void Write(const QString& name, const QByteArray& contents) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    int Pick(int lowest, int highest) {
        return std::uniform_int_distribution<int>(lowest, highest)(random);
    }

    void ApplyOne() {
        const int roll = Pick(0, 999);
        if (roll < 250) {
            Resize();
        } else if (roll < 400) {
            Post({RepaintEvent, 0});
        } else if (roll < 450) {
            Post({SizeEvent, 0});
        } else if (roll < 550) {
            Post({WindowEventCode{Pick(-100000, 100000)}, Pick(-10, 10)}); // mostly unknown codes
        } else if (roll < 600) {
            Post({ControlEvent, Pick(0, 20)});
        } else if (roll < 620) {
            Open();
        } else if (roll < 622) {
            Quit();
        } else {
            // Every menu number but the two that open a dialog or end the run,
            // and numbers no item carries.
            static constexpr std::int32_t items[] = {4, 6, 7, 8, 0, 1, 2, 9, 13101, -3};
            Post({MenuEvent, items[Pick(0, std::size(items) - 1)]});
        }
    }

    void Post(WindowEvent event) {
        viewer->Post(event);
        Settle(*viewer);
    }

    void Resize() {
        const bool large = Pick(0, 9) == 0;
        const int width = large ? Pick(1, 3000) : Pick(1, 900);
        const int height = large ? Pick(1, 3000) : Pick(1, 900);
        viewer->Window().resize(width, height);
        Settle(*viewer);
    }

    // The real requester, with a good, a malformed, an empty or a missing file
    // typed in; a missing one brings the error box, which is confirmed.
    void Open() {
        static const char* const names[] = {"good", "malformed.kzt", "empty.kzt", "missing.kzt",
                                            "good.kzt"};
        const QString typed = names[Pick(0, std::size(names) - 1)];
        const auto requester = WhenModalOpens<QFileDialog>([this, typed](QFileDialog* dialog) {
            dialog->setDirectory(folder.path());
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
            auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            buttons->button(QDialogButtonBox::Open)->click();
        });
        const auto errorBox = WhenModalOpens<QMessageBox>(
            [](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); }, Expect::Optional);
        Post({MenuEvent, MenuOpen});
        if (typed == "missing.kzt") {
            EXPECT_NE(viewer->Window().SequenceFrame()->title(), "Sequenz: missing.kzt");
        } else {
            EXPECT_EQ(viewer->Window().SequenceFrame()->title(),
                      "Sequenz: " + (typed.endsWith(".kzt") ? typed : typed + ".kzt"));
        }
    }

    void Quit() {
        const bool byMenu = Pick(0, 1) == 0;
        Post(byMenu ? WindowEvent{MenuEvent, MenuQuit} : WindowEvent{CloseEvent, 0});
        EXPECT_TRUE(viewer->Ended());
        EXPECT_EQ(end.status, 0);
        StartViewer();
    }

    void CheckAgreement(int index) {
        MainWindow& window = viewer->Window();
        const ViewerState& state = viewer->State();
        const bool icosahedron = window.MenuAction(MenuIcosahedron)->isChecked();
        ASSERT_NE(icosahedron, window.MenuAction(MenuOctahedron)->isChecked()) << index;
        ASSERT_EQ(window.windowTitle(),
                  icosahedron ? "QORN-V Struktur: Ikosaeder" : "QORN-V Struktur: Oktaeder")
            << index;
        ASSERT_EQ(state.nodeList.Size(), icosahedron ? 14u : 8u) << index;
        ASSERT_FALSE(window.MenuAction(MenuPrint)->isEnabled()) << index;
        const WindowSize size = window.WindowGeometry();
        ASSERT_EQ(state.layout.width, size.width) << index;
        ASSERT_EQ(state.layout.height, size.height) << index;
        ASSERT_EQ(state.layout.centreX, size.width / 2) << index;
        ASSERT_EQ(state.sequence.classList.Size() == 0 ||
                      state.sequence.classList.Size() == state.sequence.stepList.Size(),
                  true)
            << index;
        ASSERT_TRUE(viewer->Loop().Queue().Empty()) << index;
    }

    std::mt19937 random;
    QTemporaryDir folder;
    EndRecord end;
    std::unique_ptr<Viewer> viewer;
    int startedViewers = 0;
};

TEST(EventStorm, TenThousandEventsKeepWindowMenuAndModelInAgreement) {
    EventStorm storm(20261208);
    storm.Run(10000);
}

} // namespace
