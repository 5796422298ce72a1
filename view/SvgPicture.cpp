#include "SvgPicture.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QPolygonF>

#include <charconv>
#include <limits>
#include <span>
#include <string_view>

namespace {

// Only what font sizes are measured in; the canvas itself is in pixels.
constexpr int dotsPerInch = 96;

// std::to_chars gives the shortest text that reads back as the same double,
// and no locale can change it; a negative zero is written as 0.
void AppendNumber(std::string& out, double value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value == 0 ? 0.0 : value).ptr;
    out.append(digits, end);
}

void AppendAttribute(std::string& out, std::string_view name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendNumber(out, value);
    out += '"';
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

void AppendColour(std::string& out, std::string_view name, const QColor& colour) {
    static constexpr char hexDigits[] = "0123456789abcdef";
    const QRgb rgba = colour.rgba();
    out += ' ';
    out += name;
    out += "=\"#";
    for (const int shift : {16, 8, 0}) {
        const unsigned byte = (rgba >> shift) & 0xFFu;
        out += hexDigits[byte >> 4];
        out += hexDigits[byte & 0xFu];
    }
    out += '"';
    if (qAlpha(rgba) != 255) {
        AppendAttribute(out, std::string(name) + "-opacity", qAlpha(rgba) / 255.0);
    }
}

const char* LineCapName(Qt::PenCapStyle cap) {
    return cap == Qt::FlatCap ? "butt" : cap == Qt::RoundCap ? "round" : "square";
}

} // namespace

// Writes each shape as it comes, with the pen and brush of the moment. Qt's
// defaults for ends and corners (square, bevel) are set once on the root.
class SvgPaintEngine final : public QPaintEngine {
  public:
    SvgPaintEngine(QSize size, const std::string& title, const std::string& description)
        : QPaintEngine(AlphaBlend | PainterPaths), size(size), title(title),
          description(description) {}

    const std::string& Document() const { return document; }

    bool begin(QPaintDevice*) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawRects(const QRect* rects, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawLines(const QLine* lines, int count) override;
    void drawEllipse(const QRectF& rect) override;
    void drawEllipse(const QRect& rect) override { drawEllipse(QRectF(rect)); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override;
    void drawPath(const QPainterPath& path) override;
    // Pictures are not written; a painter that draws one fails on end().
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { unsupported = true; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
        unsupported = true;
    }
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {
        unsupported = true;
    }
    Type type() const override { return User; }

  private:
    void AppendFill();
    void AppendStroke(bool openEnds);
    void AppendPoints(const QPointF* points, int count);
    void CloseElement() { text += "/>\n"; }

    QSize size;
    std::string title;
    std::string description;
    std::string text;     // the document while it is painted
    std::string document; // the finished document
    QPen pen;
    QBrush brush;
    bool unsupported = false;
};

bool SvgPaintEngine::begin(QPaintDevice*) {
    text = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg";
    AppendAttribute(text, "width", size.width());
    AppendAttribute(text, "height", size.height());
    text += " shape-rendering=\"crispEdges\"\n viewBox=\"0 0 ";
    AppendNumber(text, size.width());
    text += ' ';
    AppendNumber(text, size.height());
    text += "\" xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"\n"
            " stroke-linecap=\"square\" stroke-linejoin=\"bevel\">\n<title>";
    AppendEscaped(text, title);
    text += "</title>\n<desc>";
    AppendEscaped(text, description);
    text += "</desc>\n";
    document.clear();
    unsupported = false;
    return true;
}

bool SvgPaintEngine::end() {
    if (unsupported) {
        text.clear();
        return false;
    }
    text += "</svg>\n";
    document = std::move(text);
    text.clear();
    return true;
}

// Clipping is not written, so a clipped shape would come out whole.
void SvgPaintEngine::updateState(const QPaintEngineState& state) {
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen) {
        pen = state.pen();
    }
    if (flags & DirtyBrush) {
        brush = state.brush();
    }
    if ((flags & (DirtyClipPath | DirtyClipRegion)) && state.clipOperation() != Qt::NoClip) {
        unsupported = true;
    }
}

void SvgPaintEngine::AppendFill() {
    if (brush.style() == Qt::NoBrush) {
        text += " fill=\"none\""; // SVG fills black unless told
    } else if (brush.style() == Qt::SolidPattern) {
        AppendColour(text, "fill", brush.color());
    } else {
        unsupported = true;
    }
}

void SvgPaintEngine::AppendStroke(bool openEnds) {
    if (pen.style() == Qt::NoPen) {
        return; // SVG strokes nothing unless told
    }
    if (pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern) {
        unsupported = true;
        return;
    }
    AppendColour(text, "stroke", pen.color());
    const double width = pen.widthF() > 0 ? pen.widthF() : 1.0; // a cosmetic pen is one pixel
    if (width != 1) {
        AppendAttribute(text, "stroke-width", width);
    }
    if (openEnds && pen.capStyle() != Qt::SquareCap) {
        text += std::string(" stroke-linecap=\"") + LineCapName(pen.capStyle()) + '"';
    }
    if (pen.joinStyle() == Qt::RoundJoin) {
        text += " stroke-linejoin=\"round\"";
    } else if (pen.joinStyle() != Qt::BevelJoin) {
        text += " stroke-linejoin=\"miter\"";
        AppendAttribute(text, "stroke-miterlimit", pen.miterLimit());
    }
}

void SvgPaintEngine::drawRects(const QRectF* rects, int count) {
    for (const QRectF& rect : std::span(rects, static_cast<std::size_t>(count))) {
        text += "<rect";
        AppendAttribute(text, "x", rect.x());
        AppendAttribute(text, "y", rect.y());
        AppendAttribute(text, "width", rect.width());
        AppendAttribute(text, "height", rect.height());
        AppendFill();
        AppendStroke(false);
        CloseElement();
    }
}

void SvgPaintEngine::drawRects(const QRect* rects, int count) {
    for (const QRect& rect : std::span(rects, static_cast<std::size_t>(count))) {
        const QRectF exact(rect);
        drawRects(&exact, 1);
    }
}

// A line without a pen paints nothing, so it gets no element.
void SvgPaintEngine::drawLines(const QLineF* lines, int count) {
    if (pen.style() == Qt::NoPen) {
        return;
    }
    for (const QLineF& line : std::span(lines, static_cast<std::size_t>(count))) {
        text += "<line";
        AppendAttribute(text, "x1", line.x1());
        AppendAttribute(text, "y1", line.y1());
        AppendAttribute(text, "x2", line.x2());
        AppendAttribute(text, "y2", line.y2());
        AppendStroke(true);
        CloseElement();
    }
}

void SvgPaintEngine::drawLines(const QLine* lines, int count) {
    for (const QLine& line : std::span(lines, static_cast<std::size_t>(count))) {
        const QLineF exact(line);
        drawLines(&exact, 1);
    }
}

void SvgPaintEngine::drawEllipse(const QRectF& rect) {
    const QPointF centre = rect.center();
    const bool circle = rect.width() == rect.height();
    text += circle ? "<circle" : "<ellipse";
    AppendAttribute(text, "cx", centre.x());
    AppendAttribute(text, "cy", centre.y());
    if (circle) {
        AppendAttribute(text, "r", rect.width() / 2);
    } else {
        AppendAttribute(text, "rx", rect.width() / 2);
        AppendAttribute(text, "ry", rect.height() / 2);
    }
    AppendFill();
    AppendStroke(false);
    CloseElement();
}

void SvgPaintEngine::AppendPoints(const QPointF* points, int count) {
    text += " points=\"";
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            text += ' ';
        }
        AppendNumber(text, points[k].x());
        text += ',';
        AppendNumber(text, points[k].y());
    }
    text += '"';
}

// A polyline is never filled, whatever the brush.
void SvgPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
    const bool polyline = mode == PolylineMode;
    text += polyline ? "<polyline" : "<polygon";
    AppendPoints(points, count);
    if (polyline) {
        text += " fill=\"none\"";
    } else {
        AppendFill();
        if (mode == OddEvenMode) {
            text += " fill-rule=\"evenodd\"";
        }
    }
    AppendStroke(polyline);
    CloseElement();
}

void SvgPaintEngine::drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) {
    QPolygonF exact;
    for (const QPoint& point : std::span(points, static_cast<std::size_t>(count))) {
        exact.append(QPointF(point));
    }
    drawPolygon(exact.constData(), count, mode);
}

void SvgPaintEngine::drawPath(const QPainterPath& path) {
    text += "<path d=\"";
    for (int k = 0; k < path.elementCount(); ++k) {
        const QPainterPath::Element element = path.elementAt(k);
        if (k > 0) {
            text += ' ';
        }
        if (element.isMoveTo()) {
            text += "M ";
        } else if (element.isLineTo()) {
            text += "L ";
        } else if (element.isCurveTo()) {
            text += "C ";
        }
        AppendNumber(text, element.x);
        text += ' ';
        AppendNumber(text, element.y);
    }
    text += '"';
    AppendFill();
    if (path.fillRule() == Qt::OddEvenFill) {
        text += " fill-rule=\"evenodd\"";
    }
    AppendStroke(true);
    CloseElement();
}

SvgPicture::SvgPicture(QSize size, const std::string& title, const std::string& description)
    : size(size), engine(std::make_unique<SvgPaintEngine>(size, title, description)) {}

SvgPicture::~SvgPicture() = default;

QPaintEngine* SvgPicture::paintEngine() const {
    return engine.get();
}

const std::string& SvgPicture::Document() const {
    return engine->Document();
}

int SvgPicture::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return size.width();
    case PdmHeight:
        return size.height();
    case PdmWidthMM:
        return qRound(size.width() * 25.4 / dotsPerInch);
    case PdmHeightMM:
        return qRound(size.height() * 25.4 / dotsPerInch);
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return dotsPerInch;
    case PdmNumColors:
        return std::numeric_limits<int>::max();
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}
