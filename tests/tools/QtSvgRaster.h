#pragma once

#include <QImage>
#include <QSize>

#include <optional>
#include <string>

// The SVG file drawn by Qt Svg on white, at one pixel per unit; nullopt where
// the build has no Qt Svg (Windows), so the comparison with it is left out.
std::optional<QImage> RasteriseWithQtSvg(const std::string& svgPath, QSize size);
