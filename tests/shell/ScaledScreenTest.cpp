// The viewer on a scaled screen shows the picture qornv-render draws at that
// scale, device pixel for device pixel. The test runs at whatever scale the
// process was started with (QT_SCALE_FACTOR); ctest runs it at several.

#include "ShellTestSupport.h"

#include <QGroupBox>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>

namespace {

class ScaledScreenTest : public ViewerTest {
  protected:
    // What qornv-render -o draws of the start-up sequence for the layout the
    // window has, at `scale`.
    static QImage Rendered(const Layout& layout, qreal scale) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("picture.png"));
        const int status =
            QProcess::execute(QStringLiteral(QORNV_RENDER_PATH),
                              {QStringLiteral("-o"), path, QStringLiteral("--scale"),
                               QString::number(scale), QStringLiteral("--size"),
                               QStringLiteral("%1x%2").arg(layout.width).arg(layout.height)});
        EXPECT_EQ(status, 0);
        return QImage(path).convertToFormat(QImage::Format_RGB32);
    }

    // What the drawing area paints, without the frame on top of it, on as many
    // device pixels as the window system gives it.
    QImage Painted() {
        QWidget& area = *Window().DrawingWidget();
        QPixmap painted(area.size() * area.devicePixelRatio());
        painted.setDevicePixelRatio(area.devicePixelRatio());
        painted.fill(Qt::green);
        area.render(&painted, QPoint(), QRegion(), QWidget::RenderFlags());
        return painted.toImage().convertToFormat(QImage::Format_RGB32);
    }

    // Counts the pixels that differ, so that a failure says how far off it is.
    static int Differing(const QImage& shown, const QImage& expected) {
        int count = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                count += shown.pixel(x, y) != expected.pixel(x, y) ? 1 : 0;
            }
        }
        return count;
    }
};

TEST_F(ScaledScreenTest, DrawingAreaShowsTheRenderedPictureAtTheWindowsScale) {
    const qreal scale = Window().devicePixelRatio();
    const QImage& image = viewer->Surface().Image();
    const QSize area = Window().DrawingWidget()->size();
    EXPECT_EQ(image.devicePixelRatio(), scale);
    ASSERT_EQ(image.size(),
              QSize(DeviceSide(area.width(), scale), DeviceSide(area.height(), scale)));

    // The render's layout height counts the menu-bar line, which lies above the
    // drawing area; below the area there is only background.
    const QImage expected = Rendered(State().layout, scale).copy(QRect(QPoint(), image.size()));
    ASSERT_EQ(expected.size(), image.size());
    EXPECT_EQ(Differing(image.convertToFormat(QImage::Format_RGB32), expected), 0)
        << "the image at scale " << scale;
    const QImage painted = Painted();
    EXPECT_EQ(Differing(painted, expected.copy(painted.rect())), 0)
        << "the painted area at scale " << scale;
}

// The window as its backing store holds it, where the drawing area may start
// between two device pixels (below the menu bar): the picture inside the frame
// is the image unresampled, and each of the frame's four edges is as wide as
// the diagram's lines, counted across it halfway along.
TEST_F(ScaledScreenTest, TheWindowShowsTheWholeFrameAndThePictureUnshifted) {
    const qreal scale = Window().devicePixelRatio();
    const QImage window = Window().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QWidget& area = *Window().DrawingWidget();
    const QPoint origin = (area.mapTo(&Window(), QPointF()) * scale).toPoint();
    const auto device = [scale](int layout) { return qRound(layout * scale); };
    // The offscreen screen is 800 device pixels square: at the larger scales
    // the window is made smaller than the frame, which then reaches past it.
    const QRect shown(0, 0, device(area.width()), device(area.height()));
    const QRect inside = QRect(device(40), device(40), device(440), device(420)).intersected(shown);
    const QImage image = viewer->Surface().Image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Differing(window.copy(inside.translated(origin)), image.copy(inside)), 0)
        << "the picture in the window at scale " << scale;

    const QRgb edge = Window().SequenceFrame()->palette().color(QPalette::Mid).rgb();
    const auto edgePixels = [&](QPoint from, QPoint step, int layoutLength) {
        int count = 0;
        for (int k = 0; k < device(layoutLength); ++k) {
            count += window.pixel(origin + from + k * step) == edge ? 1 : 0;
        }
        return count;
    };
    const int width = DeviceLineWidth(scale);
    const int middleX = device(300); // right of the caption
    const int middleY = device(260);
    EXPECT_EQ(edgePixels({0, middleY}, {1, 0}, 30), width) << "left, at scale " << scale;
    EXPECT_EQ(edgePixels({middleX, 0}, {0, 1}, 35), width) << "top";
    if (area.width() >= 540 && area.height() >= 520) {
        EXPECT_EQ(edgePixels({device(510), middleY}, {1, 0}, 30), width) << "right";
        EXPECT_EQ(edgePixels({middleX, device(490)}, {0, 1}, 30), width) << "bottom";
    }
}

// Needs a second screen of another scale (offscreen:configfile=TwoScreens.json),
// so it runs on its own rather than with the tests on one screen.
class TwoScreensTest : public ScaledScreenTest {};

TEST_F(TwoScreensTest, OnAScreenOfAnotherScaleTheViewIsDrawnAnewAtIt) {
    const qreal before = Window().devicePixelRatio();
    QScreen* other = nullptr;
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->devicePixelRatio() != before) {
            other = screen;
        }
    }
    if (other == nullptr) {
        GTEST_SKIP() << "no screen of another scale";
    }
    // As under a compositor that keeps the content (Wayland), no expose asks
    // for the view again (a filter on the application comes before the
    // window's own): the new scale alone must.
    struct ContentKept : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            return event->type() == QEvent::Expose;
        }
    } contentKept;
    qApp->installEventFilter(&contentKept);
    // Qt 6.8 places a window by native coordinates, where the screens' logical
    // positions need not lie, so the screen is named as well as the place.
    Window().windowHandle()->setScreen(other);
    Window().move(other->geometry().topLeft() + QPoint(50, 50));
    Settle(*viewer);
    qApp->removeEventFilter(&contentKept);
    const qreal after = Window().devicePixelRatio();
    ASSERT_EQ(Window().screen(), other);
    if (after != other->devicePixelRatio() && Window().windowHandle()->devicePixelRatio() == 1) {
        // Qt 6.8's offscreen windows keep a ratio of 1 on every screen; real
        // platforms give a window its screen's ratio.
        GTEST_SKIP() << "this Qt's offscreen windows take no ratio from their screen";
    }
    ASSERT_EQ(after, other->devicePixelRatio());
    EXPECT_EQ(viewer->Surface().Scale(), after);
    const QImage& image = viewer->Surface().Image();
    const QImage expected = Rendered(State().layout, after).copy(QRect(QPoint(), image.size()));
    EXPECT_EQ(Differing(image.convertToFormat(QImage::Format_RGB32), expected), 0);
    const QImage painted = Painted();
    EXPECT_EQ(Differing(painted, expected.copy(painted.rect())), 0);
}

} // namespace
