#include "ShellTestSupport.h"

#include <QGroupBox>

#include <vector>

namespace {

constexpr QPoint octahedronNode1{400, 195};
constexpr QPoint octahedronNode2{400, 345};
constexpr QPoint centre{270, 270};

struct StructureCase {
    const char* name;
    std::int32_t item;
    const char* title;
    std::size_t nodeCount;
    QRgb eightRightOfNode1; // inside an octahedron disc (radius 10), outside an icosahedron one
};

const std::vector<StructureCase> structureCases{
    {"Ikosaedrisch", MenuIcosahedron, "QORN-V Struktur: Ikosaeder", 14, 0},
    {"Oktaaedrisch", MenuOctahedron, "QORN-V Struktur: Oktaeder", 8, PaletteRgb(1)},
};

using CommandsTest = ViewerTest;

TEST_F(CommandsTest, StructureCommandsSetTitleTicksNodeListAndPictureTogether) {
    for (const std::int32_t from : {MenuIcosahedron, MenuOctahedron}) {
        for (const auto& [name, item, title, nodeCount, probe] : structureCases) {
            Choose(from);
            Window().SetFrameCaption("Sequenz: kept.kzt");
            Choose(item);
            EXPECT_EQ(Window().windowTitle(), title) << name << " after " << from;
            EXPECT_EQ(Ticked(MenuIcosahedron), item == MenuIcosahedron) << name;
            EXPECT_EQ(Ticked(MenuOctahedron), item == MenuOctahedron) << name;
            EXPECT_EQ(State().nodeList.Size(), nodeCount) << name;
            EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz: kept.kzt") << name;
            EXPECT_EQ(State().sequence.stepList.Size(), 338u) << name;
            const QImage picture = Composed();
            EXPECT_EQ(picture.pixel(centre) | 0xFF000000u, white) << name;
            if (probe != 0) {
                EXPECT_EQ(picture.pixel(octahedronNode1 + QPoint(8, 0)) | 0xFF000000u, probe);
            } else {
                EXPECT_NE(picture.pixel(octahedronNode1 + QPoint(8, 0)) | 0xFF000000u,
                          PaletteRgb(1));
            }
        }
    }
}

TEST_F(CommandsTest, StartupOctahedronShowsNodesWithoutAPath) {
    Choose(MenuOctahedron);
    const QImage picture = Composed();
    EXPECT_FALSE(ColourNear(picture, {335, 157}, red)) << "no line from node 1 to node 6";
    EXPECT_EQ(picture.pixel(octahedronNode2) | 0xFF000000u, PaletteRgb(3));
}

TEST_F(CommandsTest, TickMovesWhenTheCommandRunsNotWhenTheItemIsChosen) {
    Window().MenuAction(MenuOctahedron)->trigger();
    EXPECT_TRUE(Ticked(MenuIcosahedron));
    EXPECT_FALSE(Ticked(MenuOctahedron));
    Settle(*viewer);
    EXPECT_FALSE(Ticked(MenuIcosahedron));
    EXPECT_TRUE(Ticked(MenuOctahedron));

    Window().MenuAction(MenuOctahedron)->trigger();
    Settle(*viewer);
    EXPECT_TRUE(Ticked(MenuOctahedron)) << "choosing the ticked item keeps its tick";
}

TEST_F(CommandsTest, LoeschenLeavesBareIcosahedronNodesWhicheverStructureIsShown) {
    for (const auto& [name, item, title, nodeCount, probe] : structureCases) {
        Choose(item);
        Window().SetFrameCaption("Sequenz: run.kzt");
        Choose(MenuClear);
        EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz:") << name;
        EXPECT_EQ(Window().windowTitle(), title) << name;
        EXPECT_EQ(Ticked(item), true) << name;
        EXPECT_EQ(State().nodeList.Size(), nodeCount) << name;
        EXPECT_EQ(State().sequence.stepList.Size(), 338u) << name;

        const QImage picture = Composed();
        // Discs of radius 5 in palette colours 1, 2, ... whatever the structure.
        EXPECT_EQ(picture.pixel(octahedronNode1) | 0xFF000000u, PaletteRgb(1)) << name;
        EXPECT_EQ(picture.pixel(octahedronNode1 + QPoint(8, 0)) | 0xFF000000u, Background())
            << name;
        const QPoint node2 = item == MenuOctahedron ? octahedronNode2 : QPoint(415, 309);
        EXPECT_EQ(picture.pixel(node2) | 0xFF000000u, PaletteRgb(2)) << name;
        // No path: where the start-up lines from node 1 to 12 (red) and from 10 to
        // 12 (black) ran, and the octahedron has no node, there is background.
        EXPECT_FALSE(ColourNear(picture, {354, 160}, red)) << name;
        EXPECT_EQ(picture.pixel(250, 125) | 0xFF000000u, Background()) << name;
    }
}

TEST_F(CommandsTest, RepaintAfterLoeschenBringsTheViewShownBack) {
    for (const auto& [name, item, title, nodeCount, probe] : structureCases) {
        Choose(item);
        const QImage whole = Composed();
        Choose(MenuClear);
        viewer->Post({RepaintEvent, 0});
        Settle(*viewer);
        EXPECT_EQ(Composed(), whole) << name;
    }
}

TEST_F(CommandsTest, UncoveringAndRestoringRedrawTheViewShown) {
    Choose(MenuOctahedron);
    const QImage whole = Composed();

    Choose(MenuClear);
    Window().hide();
    Window().show();
    Settle(*viewer);
    EXPECT_EQ(Composed(), whole) << "after the window was exposed again";

    Choose(MenuClear);
    Window().showMinimized();
    Settle(*viewer);
    Window().showNormal();
    Settle(*viewer);
    EXPECT_EQ(Composed(), whole) << "after restoring from minimised";
}

TEST_F(CommandsTest, ResizeKeepsNodePositionsAndFrameUntilACommandPlacesThemAnew) {
    const NodeList before = State().nodeList;
    Window().resize(700, 640);
    Settle(*viewer);
    const int menuLine = Window().menuWidget()->height();
    EXPECT_EQ(State().layout.width, 700);
    EXPECT_EQ(State().layout.height, 640);
    EXPECT_EQ(Window().WindowGeometry(), (WindowSize{700, 640}));
    EXPECT_EQ(Window().DrawingWidget()->height(), 640 - menuLine);
    EXPECT_EQ(State().nodeList, before);
    EXPECT_EQ(Window().SequenceFrame()->geometry(), QRect(15, 15, 510, 490));
    QImage picture = Composed();
    EXPECT_EQ(picture.pixel(centre) | 0xFF000000u, white);
    EXPECT_EQ(picture.pixel(650, 600) | 0xFF000000u, Background()) << "gained area";

    Choose(MenuIcosahedron);
    picture = Composed();
    EXPECT_EQ(picture.pixel(350, 320) | 0xFF000000u, white);
    EXPECT_EQ(State().nodeList.Elements().back(), (NodePosition{350, 320}));

    Window().resize(300, 200);
    Settle(*viewer);
    EXPECT_EQ(State().layout.width, 300);
    EXPECT_EQ(State().nodeList.Elements().back(), (NodePosition{350, 320}));
    EXPECT_EQ(Window().SequenceFrame()->geometry(), QRect(15, 15, 510, 490));
}

} // namespace

namespace {

// A colour scheme of the desktop for the length of a test; the old one comes back.
class DesktopScheme {
  public:
    explicit DesktopScheme(QColor face) : before(QApplication::palette()) {
        QPalette scheme = before;
        scheme.setColor(QPalette::Window, face);
        QApplication::setPalette(scheme);
    }
    ~DesktopScheme() { QApplication::setPalette(before); }

  private:
    QPalette before;
};

TEST_F(CommandsTest, ANewDesktopColourSchemeErasesInTheNewFaceColourAndDrawsTheViewAgain) {
    Choose(MenuClear);
    const QColor dark(40, 44, 52);
    const DesktopScheme scheme(dark);
    Settle(*viewer);
    const QImage picture = viewer->Surface().Image();
    EXPECT_EQ(picture.pixel(5, 5), dark.rgb()) << "outside the area commands clear";
    EXPECT_TRUE(ColourNear(picture, {354, 160}, red)) << "the path is back after the erase";
    Choose(MenuClear);
    EXPECT_EQ(viewer->Surface().Image().pixel(250, 125), dark.rgb()) << "later clears";
}

} // namespace
