#include "QtSvgRaster.h"

std::optional<QImage> RasteriseWithQtSvg(const std::string&, QSize) {
    return std::nullopt;
}
