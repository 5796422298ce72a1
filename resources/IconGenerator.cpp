// Draws the application icon: the octahedron of the viewer with the path of its
// start-up picture, corner lines red, the others black, the nodes in their
// own colours. Usage: qornv_icon_generator SIZE OUTPUT.png

#include "Palette.h"

#include <QImage>
#include <QPainter>
#include <QtMath>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int designSize = 256;
constexpr std::array<double, 6> ringAngles{330, 30, 90, 150, 210, 270};

QColor PaletteColour(int index) {
    const Rgb colour = Palette[static_cast<std::size_t>(index)].colour;
    return {colour.red, colour.green, colour.blue};
}

// Octahedron nodes 1 to 6 on the ring, 7 in the centre, as the viewer numbers them.
std::array<QPointF, 8> NodePoints() {
    std::array<QPointF, 8> points{};
    const QPointF centre(designSize / 2.0, designSize / 2.0);
    for (std::size_t n = 1; n <= ringAngles.size(); ++n) {
        const double angle = qDegreesToRadians(ringAngles[n - 1]);
        points[n] = centre + QPointF(std::cos(angle), std::sin(angle)) * 86.0;
    }
    points[7] = centre;
    return points;
}

bool IsCorner(int node) {
    return node == 1 || node == 3 || node == 5;
}

void DrawBackground(QPainter& painter) {
    painter.setPen(QPen(QColor(90, 90, 90), 6));
    painter.setBrush(QColor(239, 239, 239));
    painter.drawRoundedRect(QRectF(8, 8, designSize - 16, designSize - 16), 36, 36);
}

// No line joins two corners, as in the viewer's path drawing.
void DrawLines(QPainter& painter, const std::array<QPointF, 8>& points) {
    for (int a = 1; a <= 7; ++a) {
        for (int b = a + 1; b <= 7; ++b) {
            if (IsCorner(a) && IsCorner(b)) {
                continue;
            }
            const bool red = IsCorner(a) || IsCorner(b);
            painter.setPen(QPen(red ? QColor(255, 0, 0) : QColor(0, 0, 0), 5));
            painter.drawLine(points[static_cast<std::size_t>(a)],
                             points[static_cast<std::size_t>(b)]);
        }
    }
}

void DrawNodeDiscs(QPainter& painter, const std::array<QPointF, 8>& points) {
    painter.setPen(QPen(Qt::black, 5));
    for (int n = 1; n <= 7; ++n) {
        painter.setBrush(PaletteColour(2 * n - 1));
        painter.drawEllipse(points[static_cast<std::size_t>(n)], 20, 20);
    }
}

QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(size) / designSize, double(size) / designSize);
    const auto points = NodePoints();
    DrawBackground(painter);
    DrawLines(painter, points);
    DrawNodeDiscs(painter, points);
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SIZE OUTPUT.png\n", argv[0]);
        return EXIT_FAILURE;
    }
    const int size = std::atoi(argv[1]);
    if (size < 16 || size > 1024 || !DrawIcon(size).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
