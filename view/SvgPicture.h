#pragma once

#include <QPaintDevice>
#include <QSize>

#include <memory>
#include <string>

class SvgPaintEngine;

// A paint device that keeps what is painted on it as an SVG document: one
// element per shape, in drawing order (<rect>, <circle>, <ellipse>, <line>,
// <polygon>, <polyline>, <path>), each with its own fill and stroke. The
// canvas is width x height user units, one per pixel, and asks for crisp
// edges, as the drawing paints without antialiasing.
//
// The text is the same byte for byte on every system: numbers are written in
// the shortest decimal form that reads back as the same value, whatever the
// locale, and lines end in LF. Only solid pens and brushes are written; a
// painter asked for anything else (gradients, dashes, images, clipping) fails
// on end() rather than leave a different picture.
class SvgPicture final : public QPaintDevice {
  public:
    SvgPicture(QSize size, const std::string& title, const std::string& description);
    ~SvgPicture() override;
    SvgPicture(const SvgPicture&) = delete;
    SvgPicture& operator=(const SvgPicture&) = delete;

    QPaintEngine* paintEngine() const override;
    // The whole document once a painter on it has ended successfully.
    const std::string& Document() const;

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    QSize size;
    std::unique_ptr<SvgPaintEngine> engine;
};
