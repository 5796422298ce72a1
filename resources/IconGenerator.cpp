// Draws the application icon: the octahedron of the viewer with the path of its
// start-up picture, corner lines red, the others black, the nodes in their
// own colours. Usage: qornv_icon_generator SIZE OUTPUT.png, or
// qornv_icon_generator --ico OUTPUT.ico for the Windows icon in every size
// Explorer and the taskbar ask for.

#include "Palette.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtMath>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

QByteArray PngOf(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

void AppendLittleEndian(QByteArray& bytes, quint32 value, int size) {
    for (int k = 0; k < size; ++k) {
        bytes.append(static_cast<char>((value >> (8 * k)) & 0xffU));
    }
}

// An icon file whose images are PNG data, as Windows Vista and later read them:
// a six-byte header, one sixteen-byte entry an image, then the images.
QByteArray IconFile() {
    constexpr std::array sizes{16, 24, 32, 48, 64, 256};
    QByteArray header;
    QByteArray images;
    AppendLittleEndian(header, 0, 2); // reserved
    AppendLittleEndian(header, 1, 2); // an icon, not a cursor
    AppendLittleEndian(header, sizes.size(), 2);
    const int firstImage = 6 + 16 * static_cast<int>(sizes.size());
    for (const int size : sizes) {
        const QByteArray png = PngOf(DrawIcon(size));
        AppendLittleEndian(header, size % 256, 1); // 0 stands for 256
        AppendLittleEndian(header, size % 256, 1);
        AppendLittleEndian(header, 0, 2);  // no palette, reserved
        AppendLittleEndian(header, 1, 2);  // colour planes
        AppendLittleEndian(header, 32, 2); // bits a pixel
        AppendLittleEndian(header, png.size(), 4);
        AppendLittleEndian(header, firstImage + images.size(), 4);
        images += png;
    }
    return header + images;
}

bool WriteIconFile(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    const QByteArray bytes = IconFile();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && std::strcmp(argv[1], "--ico") == 0) {
        if (!WriteIconFile(argv[2])) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
            return EXIT_FAILURE;
        }
        return EXIT_SUCCESS;
    }
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
