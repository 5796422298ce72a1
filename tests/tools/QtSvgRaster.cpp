#include "QtSvgRaster.h"

#include <QPainter>
#include <QSvgRenderer>

std::optional<QImage> RasteriseWithQtSvg(const std::string& svgPath, QSize size) {
    QImage raster(size, QImage::Format_RGB32);
    raster.fill(Qt::white);
    QSvgRenderer renderer(QString::fromStdString(svgPath));
    QPainter painter(&raster);
    renderer.render(&painter); // antialiased whatever the painter asks
    return raster;
}
