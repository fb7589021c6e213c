#include "gf5print.h"
#include "../print/printjob.h"
#include "../store/imagestore.h"
#include "surface.h"
#include "textdraw.h"
#include "whitekey.h"
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace gf5 {
namespace {

constexpr double kPi = 3.14159265358979323846;

DrawingSurface* surfaceFor(int32_t dc) { return dc ? SurfaceRegistry::find(dc) : nullptr; }

QColor toColor(int32_t c) { return QColor(colourToRgb(c)); }

// How a pen or shape fill reaches the surface under a DrawMode.
struct Ink {
    bool none = false; // the mode leaves the surface alone
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    QColor colour;
};

Ink inkFor(int16_t drawMode, QColor c)
{
    Ink ink;
    ink.colour = c;
    switch (drawMode) {
    case 1: ink.colour = Qt::black; break;
    case 16: ink.colour = Qt::white; break;
    case 4: ink.colour = QColor(255 - c.red(), 255 - c.green(), 255 - c.blue()); break;
    case 9: ink.mode = QPainter::RasterOp_SourceAndDestination; break;
    case 15: ink.mode = QPainter::RasterOp_SourceOrDestination; break;
    case 11: ink.none = true; break;
    default: break;
    }
    return ink;
}

// Dash lengths in pixels: fixed for thin pens, growing with wider ones so
// dots stay dots.
QList<qreal> dashPattern(int16_t style, int width)
{
    const double grow = width <= 2 ? 1.0 : width / 3.0;
    QList<qreal> px;
    if (style == 2)
        px = {18 * grow, 6 * grow};
    else if (style == 3)
        px = {3 * grow, 3 * grow};
    for (qreal& v : px)
        v /= width; // QPen measures dashes in pen widths
    return px;
}

bool styled(int16_t style) { return style == 2 || style == 3; }

// Rectangle helpers: (l, t, r, b) with right and bottom exclusive, put in order.
QRect spanRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    return QRect(QPoint(std::min(l, r), std::min(t, b)), QPoint(std::max(l, r) - 1, std::max(t, b) - 1));
}

// The path a pen of width w follows so that its stroke stays inside area:
// an aliased stroke of width w along x covers columns [x - w/2, x - w/2 + w).
QRectF strokePath(const QRect& area, int w)
{
    const int half = w / 2;
    const double x0 = area.left() + half, y0 = area.top() + half;
    const double x1 = area.left() + area.width() - w + half;
    const double y1 = area.top() + area.height() - w + half;
    return QRectF(x0, y0, x1 - x0, y1 - y0);
}

} // namespace

Gf5Print::Gf5Print() = default;
Gf5Print::~Gf5Print() = default;

void Gf5Print::ResetTools()
{
    PenWidth = 1;
    PenColor = 0;
    PenStyle = 1;
    DrawMode = 13;
    BrushStyle = 0;
    BrushColor = 0;
    TransparentBackground = true;
    TextFontName.clear();
    TextFontSize = 12;
    TextBold = false;
    TextDirection = 0;
    TextForeColor = 0;
    TextBackColor = 0xFFFFFF;
    TextString.clear();
    TextStyleFlag = false;
    TextOptionA = 1;
    TextOptionB = 1;
}

namespace {

// Strokes with the current pen settings: for styled lines on an opaque
// background the whole stroke is painted in the background colour first,
// then the dashes on top.
struct PenJob {
    int width = 1;
    int16_t style = 1;
    Ink ink;
    bool paintGaps = false;
    QColor gapColour = Qt::white;

    void stroke(QPainter& p, const std::function<void(QPainter&)>& path) const
    {
        if (ink.none)
            return;
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setCompositionMode(ink.mode);
        p.setBrush(Qt::NoBrush);
        QPen pen(ink.colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        if (styled(style) && paintGaps) {
            QPen gap = pen;
            gap.setColor(gapColour);
            p.setPen(gap);
            path(p);
        }
        if (styled(style))
            pen.setDashPattern(dashPattern(style, width));
        p.setPen(pen);
        path(p);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
};

} // namespace

static PenJob penJob(const Gf5Print& g)
{
    PenJob job;
    job.width = std::max<int32_t>(1, g.PenWidth);
    job.style = g.PenStyle;
    job.ink = inkFor(g.DrawMode, toColor(g.PenColor));
    job.paintGaps = !g.TransparentBackground;
    job.gapColour = inkFor(g.DrawMode, Qt::white).colour;
    return job;
}

// Fills the area with the brush (if any) under the DrawMode.
static void fillShape(QPainter& p, const Gf5Print& g, const std::function<void(QPainter&)>& path)
{
    if (g.BrushStyle != 1)
        return;
    const Ink ink = inkFor(g.DrawMode, toColor(g.BrushColor));
    if (ink.none)
        return;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(ink.mode);
    p.setPen(Qt::NoPen);
    p.setBrush(ink.colour);
    path(p);
    p.setBrush(Qt::NoBrush);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

int32_t Gf5Print::DrawLine(int32_t dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    DrawingSurface* s = surfaceFor(dc);
    if (!s)
        return 0;
    // Flat caps: the stroke starts at (x1, y1) and stops short of (x2, y2),
    // so lines joined end to start never paint a pixel twice.
    const PenJob job = penJob(*this);
    const int m = job.width + 2;
    const QRect bounds = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                               QPoint(std::max(x1, x2), std::max(y1, y2))).adjusted(-m, -m, m, m);
    s->paintWithin(bounds, [&](QPainter& p) {
        job.stroke(p, [&](QPainter& q) { q.drawLine(QPoint(x1, y1), QPoint(x2, y2)); });
    });
    return 1;
}

int32_t Gf5Print::DrawRectangle(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b)
{
    DrawingSurface* s = surfaceFor(dc);
    if (!s)
        return 0;
    if (l == r || t == b)
        return 1;
    const QRect area = spanRect(l, t, r, b);
    const PenJob job = penJob(*this);
    s->paintWithin(area, [&](QPainter& p) {
        fillShape(p, *this, [&](QPainter& q) { q.drawRect(area); });
        const QRectF path = strokePath(area, job.width);
        if (path.width() <= 0 || path.height() <= 0) {
            // Narrower than the pen: the outline covers it all.
            if (!job.ink.none) {
                p.setCompositionMode(job.ink.mode);
                p.fillRect(area, job.ink.colour);
                p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            }
            return;
        }
        job.stroke(p, [&](QPainter& q) { q.drawRect(path); });
    });
    return 1;
}

int32_t Gf5Print::DrawEllipse(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b)
{
    return drawOutlinedShape(dc, l, t, r, b, [](QPainter& q, const QRectF& path) { q.drawEllipse(path); });
}

int32_t Gf5Print::DrawRoundRect(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b, int32_t cw, int32_t ch)
{
    // cw and ch are the width and height of the ellipse that rounds each corner.
    const QRect area = spanRect(l, t, r, b);
    const double rx = std::clamp(std::abs(cw) / 2.0, 0.0, area.width() / 2.0);
    const double ry = std::clamp(std::abs(ch) / 2.0, 0.0, area.height() / 2.0);
    return drawOutlinedShape(dc, l, t, r, b, [&](QPainter& q, const QRectF& path) {
        q.drawRoundedRect(path, rx, ry, Qt::AbsoluteSize);
    });
}

int32_t Gf5Print::drawOutlinedShape(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b,
                                    const std::function<void(QPainter&, const QRectF&)>& shape)
{
    DrawingSurface* s = surfaceFor(dc);
    if (!s)
        return 0;
    if (l == r || t == b)
        return 1;
    const QRect area = spanRect(l, t, r, b);
    const PenJob job = penJob(*this);
    s->paintWithin(area, [&](QPainter& p) {
        // The pen runs inside the rectangle: the path is inset by half its width.
        const QRectF path = strokePath(area, job.width);
        auto draw = [&](QPainter& q) { shape(q, path); };
        fillShape(p, *this, draw);
        job.stroke(p, draw);
    });
    return 1;
}

int32_t Gf5Print::DrawArc(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b,
                          int32_t xs, int32_t ys, int32_t xe, int32_t ye)
{
    DrawingSurface* s = surfaceFor(dc);
    if (!s)
        return 0;
    if (l == r || t == b)
        return 1;
    const QRect area = spanRect(l, t, r, b);
    const double cx = (double(l) + r) / 2.0, cy = (double(t) + b) / 2.0;
    const double rx = std::abs(r - l) / 2.0, ry = std::abs(b - t) / 2.0;
    // Angle (degrees, counter-clockwise on screen) of the point where the
    // ray from the centre through (x, y) meets the ellipse, as the ellipse's
    // parameter; y grows downwards, hence the minus.
    auto angleOf = [&](int32_t x, int32_t y) {
        return std::atan2(-(y - cy) / ry, (x - cx) / rx) * 180.0 / kPi;
    };
    const double start = angleOf(xs, ys);
    double span = angleOf(xe, ye) - start;
    while (span <= 1e-9)
        span += 360.0; // equal rays: the whole ellipse
    const PenJob job = penJob(*this);
    const int m = job.width + 2;
    s->paintWithin(area.adjusted(-m, -m, m, m), [&](QPainter& p) {
        const QRectF path = strokePath(area, job.width);
        job.stroke(p, [&](QPainter& q) {
            q.drawArc(path, int(std::lround(start * 16)), int(std::lround(span * 16)));
        });
    });
    return 1;
}

int32_t Gf5Print::DrawPolygon(int32_t dc, const int32_t* xs, const int32_t* ys, int n)
{
    DrawingSurface* s = surfaceFor(dc);
    if (!s || !xs || !ys || n < 2)
        return 0;
    QPolygon poly;
    for (int i = 0; i < n; ++i)
        poly << QPoint(xs[i], ys[i]);
    const PenJob job = penJob(*this);
    const int m = job.width + 2;
    s->paintWithin(poly.boundingRect().adjusted(-m, -m, m, m), [&](QPainter& p) {
        fillShape(p, *this, [&](QPainter& q) { q.drawPolygon(poly, Qt::OddEvenFill); });
        job.stroke(p, [&](QPainter& q) { q.drawPolygon(poly, Qt::OddEvenFill); });
    });
    return 1;
}

int32_t Gf5Print::FillRectangle(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b)
{
    DrawingSurface* s = surfaceFor(dc);
    if (!s)
        return 0;
    if (BrushStyle != 1 || r <= l || b <= t)
        return 1;
    // A plain fill: the DrawMode does not apply.
    const QRect area(QPoint(l, t), QPoint(r - 1, b - 1));
    const QColor c = toColor(BrushColor);
    s->paintWithin(area, [&](QPainter& p) { p.fillRect(area, c); });
    return 1;
}

int32_t Gf5Print::DrawTextInRect(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b)
{
    DrawingSurface* s = surfaceFor(dc);
    if (!s)
        return 0;
    if (r <= l || b <= t)
        return 0;
    const QRect area(QPoint(l, t), QPoint(r - 1, b - 1));
    TextBox box;
    box.text = TextString;
    box.family = TextFontName;
    box.pixelSize = TextFontSize > 0 ? TextFontSize : 12;
    box.bold = TextBold;
    box.vertical = TextDirection == 2;
    box.fore = toColor(TextForeColor);
    box.back = toColor(TextBackColor);
    box.opaque = !TransparentBackground;
    s->paintWithin(area, [&](QPainter& p) { drawTextBox(p, area, box); });
    return 1;
}

int32_t Gf5Print::ReadPixel(int32_t dc, int32_t x, int32_t y, int16_t& r, int16_t& g, int16_t& b)
{
    DrawingSurface* s = surfaceFor(dc);
    QImage* img = s ? s->surfaceImage() : nullptr;
    if (!img || !img->valid(x, y))
        return 0;
    const QRgb c = img->pixel(x, y);
    r = int16_t(qRed(c));
    g = int16_t(qGreen(c));
    b = int16_t(qBlue(c));
    return 1;
}

int32_t Gf5Print::WritePixel(int32_t dc, int32_t x, int32_t y, int32_t colour)
{
    DrawingSurface* s = surfaceFor(dc);
    QImage* img = s ? s->surfaceImage() : nullptr;
    if (!img || !img->valid(x, y))
        return 0;
    img->setPixel(x, y, colourToRgb(colour));
    s->surfaceChanged(QRect(x, y, 1, 1));
    return 1;
}

int32_t Gf5Print::DrawImage(int32_t dc, int32_t image, int32_t l, int32_t t, int32_t r, int32_t b, int32_t option)
{
    DrawingSurface* s = surfaceFor(dc);
    const QImage* src = ImageStore::image(image);
    if (!s || !src || src->isNull() || r <= l || b <= t)
        return 0;
    QRect target(l, t, r - l, b - t);
    if (option == -1) {
        // Keep the picture's proportions, from the rectangle's top-left corner.
        const double f = std::min(double(target.width()) / src->width(), double(target.height()) / src->height());
        target.setSize(QSize(std::max(1, int(std::lround(src->width() * f))),
                             std::max(1, int(std::lround(src->height() * f)))));
    }
    QImage* pixels = s->surfaceImage();
    if (option == 1) {
        const QImage keyed = whiteKeyedScaled(*src, target.size());
        if (keyed.isNull())
            return 0;
        s->paintWithin(target, [&](QPainter& p) {
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            p.drawImage(target.topLeft(), keyed);
        });
        return 1;
    }
    s->paintWithin(target, [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        if (target.size() == src->size()) {
            p.drawImage(target.topLeft(), *src);
            return;
        }
        if (!pixels) {
            // Paper: the device scales the picture itself, without loss.
            p.setRenderHint(QPainter::SmoothPixmapTransform, true);
            p.setRenderHint(QPainter::LosslessImageRendering, true);
            // A preview shows the page small, and its own scaling samples
            // the picture: one-pixel lines would drop out. The picture is
            // shrunk to the size seen, every pixel averaged in, so thin
            // lines stay as grey.
            const double seen = s->previewPixelsPerUnit();
            const QSize shown(int(std::ceil(target.width() * seen)), int(std::ceil(target.height() * seen)));
            if (seen > 0 && shown.width() < src->width() && shown.height() < src->height()) {
                const QImage small = src->scaled(shown.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio,
                                                 Qt::SmoothTransformation);
                if (!small.isNull()) {
                    p.drawImage(QRectF(target), small);
                    return;
                }
            }
            p.drawImage(QRectF(target), *src);
            return;
        }
        const double visible = double(target.intersected(pixels->rect()).width()) *
                               target.intersected(pixels->rect()).height();
        const double whole = double(target.width()) * target.height();
        if (whole > 4 * std::max(1.0, visible) && whole > 4e6) {
            // Mostly outside the surface: scale only what shows.
            p.setRenderHint(QPainter::SmoothPixmapTransform, true);
            p.drawImage(QRectF(target), *src);
            return;
        }
        const QImage scaled = src->scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!scaled.isNull())
            p.drawImage(target.topLeft(), scaled);
    });
    return 1;
}

// Printing.

std::function<int32_t()> Gf5Print::printerDialogOverride;

int32_t Gf5Print::ShowPrinterDialog(QWidget* owner)
{
    if (printerDialogOverride)
        return printerDialogOverride() != 0 ? 1 : 0;
    if (!m_job)
        m_job = std::make_unique<PrintJob>();
    return m_job->showDialog(owner, m_pdfPath) ? 1 : 0;
}

std::function<bool(QDialog&)> Gf5Print::previewOverride;

int32_t Gf5Print::ShowPrintPreview(QWidget* owner, const std::function<void()>& drawDocument)
{
    if (!m_job)
        m_job = std::make_unique<PrintJob>();
    return m_job->preview(owner, m_pdfPath, drawDocument, previewOverride) ? 1 : 0;
}

void Gf5Print::SetPaperOrientation(bool landscape)
{
    if (!m_job)
        m_job = std::make_unique<PrintJob>();
    m_job->setLandscape(landscape);
}

QSizeF Gf5Print::PaperSize()
{
    if (!m_job)
        m_job = std::make_unique<PrintJob>();
    return m_job->paperSize(m_pdfPath);
}

QRectF Gf5Print::PrintableArea()
{
    if (!m_job)
        m_job = std::make_unique<PrintJob>();
    return m_job->printableArea(m_pdfPath);
}

int32_t Gf5Print::BeginPrint(QWidget*)
{
    if (!m_job)
        m_job = std::make_unique<PrintJob>();
    return m_job->begin(m_pdfPath);
}

int32_t Gf5Print::StartPrintPage(int32_t& dc)
{
    return m_job && m_job->startPage(dc) ? 1 : 0;
}

int32_t Gf5Print::EndPrintPage(int32_t dc)
{
    return m_job && m_job->endPage(dc) ? 1 : 0;
}

int32_t Gf5Print::EndPrint(int32_t dc)
{
    return m_job && m_job->end(dc) ? 1 : 0;
}

void Gf5Print::SetPrintMode(int16_t mode) { m_printMode = mode; }

} // namespace gf5
