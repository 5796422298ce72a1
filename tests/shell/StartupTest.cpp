#include "ShellTestSupport.h"

#include <QGroupBox>
#include <QMenuBar>
#include <QScreen>

#include <array>

namespace {

struct NodeProbe {
    int node;
    QPoint position; // for a 540 x 540 layout
};

constexpr std::array<NodeProbe, 13> icosahedronNodes{{
    {1, {400, 195}},
    {2, {415, 309}},
    {3, {339, 310}},
    {4, {376, 376}},
    {5, {270, 420}},
    {6, {164, 376}},
    {7, {201, 310}},
    {8, {125, 309}},
    {9, {140, 195}},
    {10, {231, 125}},
    {11, {270, 190}},
    {12, {309, 125}},
    {13, {270, 270}},
}};

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

using StartupTest = ViewerTest;

TEST_F(StartupTest, WindowFrameAndRecordsAreInTheirStartState) {
    EXPECT_EQ(Window().windowTitle(), "QORN-V Struktur: Ikosaeder");
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(Window().windowState(), Qt::WindowNoState);
    EXPECT_EQ(Window().WindowGeometry(), (WindowSize{540, 540}));
    EXPECT_EQ(Window().DrawingWidget()->size(), QSize(540, 540 - Window().menuWidget()->height()));

    QGroupBox* frame = Window().SequenceFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), "Sequenz:");
    EXPECT_EQ(frame->parentWidget(), Window().DrawingWidget());
    EXPECT_EQ(frame->geometry(), QRect(15, 15, 510, 490));

    EXPECT_EQ(State().layout.width, 540);
    EXPECT_EQ(State().layout.height, 540);
    EXPECT_EQ(State().nodeList.Size(), 14u);
    EXPECT_EQ(State().sequence.stepList.Size(), 338u);
    EXPECT_EQ(State().sequence.classList.Size(), 0u);
}

TEST_F(StartupTest, WindowIsCentredResizableWithoutMaximiseAndHasItsIcon) {
    const QRect screen = Window().screen()->geometry();
    const QRect outer = Window().frameGeometry();
    EXPECT_EQ(outer.left() - screen.left(), (screen.width() - outer.width()) / 2);
    EXPECT_EQ(outer.top() - screen.top(), (screen.height() - outer.height()) / 2);

    const Qt::WindowFlags flags = Window().windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(Window().maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    EXPECT_LE(Window().minimumSizeHint().width(), 200);

    const QList<QSize> sizes = Window().windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
    EXPECT_FALSE(Window().windowIcon().pixmap(48).toImage().isNull());
}

TEST_F(StartupTest, AnOuterSizeLargerThanTheScreenIsCutToItBeforeCentring) {
    const QRect screen = Window().screen()->geometry();
    Window().ShowCentred(screen.size() + QSize(1000, 700));
    Settle(*viewer);
    EXPECT_EQ(Window().frameGeometry().size(), screen.size());
    EXPECT_EQ(Window().frameGeometry().topLeft(), screen.topLeft());
}

TEST_F(StartupTest, MenuBarHoldsExactlyTheNumberedPlainItems) {
    const QList<QAction*> titles = Window().menuBar()->actions();
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[0]->text(), "Sequenz");
    EXPECT_EQ(titles[1]->text(), "Ansicht");
    EXPECT_EQ(MenuTexts(titles[0]->menu()), QStringList({"Öffnen", "Drucken", "-", "Schliesen"}));
    EXPECT_EQ(MenuTexts(titles[1]->menu()),
              QStringList({"Ikosaedrisch", "Oktaaedrisch", "-", "Löschen"}));

    const std::array<std::pair<std::int32_t, const char*>, 6> items{{
        {MenuOpen, "Öffnen"},
        {MenuPrint, "Drucken"},
        {MenuQuit, "Schliesen"},
        {MenuIcosahedron, "Ikosaedrisch"},
        {MenuOctahedron, "Oktaaedrisch"},
        {MenuClear, "Löschen"},
    }};
    for (const auto& [number, text] : items) {
        const QAction* action = Window().MenuAction(number);
        ASSERT_NE(action, nullptr) << number;
        EXPECT_EQ(action->text(), QString::fromUtf8(text));
        EXPECT_TRUE(action->shortcuts().isEmpty()) << text;
        EXPECT_EQ(action->isEnabled(), number != MenuPrint) << text;
        EXPECT_EQ(action->isChecked(), number == MenuIcosahedron) << text;
    }
}

TEST_F(StartupTest, ComposedWindowShowsTheStartupPictureUnderAThinFrame) {
    const QImage composed = Composed();
    for (const auto& [node, position] : icosahedronNodes) {
        EXPECT_EQ(composed.pixel(position) | 0xFF000000u, PaletteRgb(node)) << "node " << node;
    }
    // Corner node 1 to node 12 is one of the red lines, node 10 to 12 a black one.
    EXPECT_TRUE(ColourNear(composed, {354, 160}, red));
    EXPECT_EQ(composed.pixel(270, 125) | 0xFF000000u, black);
    EXPECT_EQ(composed.pixel(40, 40) | 0xFF000000u, Background());

    // Inside its border the frame leaves the picture exactly as drawn.
    const QImage drawn = viewer->Surface().Image().convertToFormat(QImage::Format_RGB32);
    const QRect inside(17, 40, 506, 462);
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            ASSERT_EQ(composed.pixel(x, y), drawn.pixel(x, y)) << x << "," << y;
        }
    }
    // Its border and caption are there all the same.
    EXPECT_NE(composed.pixel(15, 300) | 0xFF000000u, Background());
    EXPECT_NE(composed.pixel(524, 300) | 0xFF000000u, Background());
    EXPECT_NE(composed.pixel(300, 504) | 0xFF000000u, Background());
    EXPECT_NE(composed.copy(20, 15, 60, 16), drawn.copy(20, 15, 60, 16));
}

TEST(StartupOrderTest, FirstPictureIsDrawnBeforeTheLoopTakesAnEvent) {
    EndRecord end;
    Viewer viewer(end.Recorder());
    viewer.Start();
    EXPECT_FALSE(viewer.Loop().Queue().Empty());
    EXPECT_EQ(viewer.Surface().Image().pixel(270, 270) | 0xFF000000u, white);
    EXPECT_EQ(viewer.Surface().Image().pixel(400, 195) | 0xFF000000u, PaletteRgb(1));
}

} // namespace
