#include "partsheet.h"
#include <QDir>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace partsgen {

namespace {
constexpr int kDotsPerMetre = 10000; // 254 dpi

// The smallest rectangle holding every black pixel (null when none).
QRect blackBounds(const QImage& img)
{
    int left = img.width(), top = img.height(), right = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* row = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            if (row[x] != 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}
} // namespace

QPen pen(int width, Qt::PenStyle style)
{
    QPen p(Qt::black, width, style, Qt::FlatCap, Qt::MiterJoin);
    if (style != Qt::SolidLine)
        p.setDashPattern({3.0, 2.0});
    return p;
}

void useThin(QPainter& p)
{
    p.setPen(pen(kThin));
    p.setBrush(Qt::NoBrush);
}

void useLeaf(QPainter& p)
{
    p.setPen(pen(kLeaf));
    p.setBrush(Qt::NoBrush);
}

void arrow(QPainter& p, QPointF from, QPointF to, int head)
{
    p.save();
    p.setPen(pen(kThin));
    p.drawLine(from, to);
    const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    const double spread = 0.45;
    const QPointF a = to - QPointF(std::cos(angle - spread), std::sin(angle - spread)) * head;
    const QPointF b = to - QPointF(std::cos(angle + spread), std::sin(angle + spread)) * head;
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({to, a, b}));
    p.restore();
}

void quarterArc(QPainter& p, QPointF centre, int radius, int startDegrees)
{
    p.save();
    p.setPen(pen(kThin));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2.0 * radius, 2.0 * radius), startDegrees * 16,
              90 * 16);
    p.restore();
}

Part makePart(const QString& name, int w, int h, const Drawing& draw)
{
    // Drawn with room to spare, so strokes on the edge are not cut.
    constexpr int pad = 8;
    QImage sheet(w + 2 * pad, h + 2 * pad, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter p(&sheet);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.translate(pad, pad);
        draw(p);
    }
    // Two levels only: anything darker than mid grey is black.
    QImage grey(sheet.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table << qRgb(i, i, i);
    grey.setColorTable(table);
    for (int y = 0; y < sheet.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(sheet.constScanLine(y));
        uchar* d = grey.scanLine(y);
        for (int x = 0; x < sheet.width(); ++x)
            d[x] = qGray(s[x]) < 128 ? 0 : 255;
    }
    const QRect ink = blackBounds(grey);
    const QRect keep = ink.isNull() ? QRect(0, 0, 1, 1) : ink;
    QImage out(keep.width() + 2 * kBorder, keep.height() + 2 * kBorder, QImage::Format_Indexed8);
    out.setColorTable(table);
    // Every byte, the rows' padding too: the file must not depend on what
    // the memory held.
    std::memset(out.bits(), 255, size_t(out.sizeInBytes()));
    for (int y = 0; y < keep.height(); ++y)
        std::copy_n(grey.constScanLine(keep.top() + y) + keep.left(), keep.width(),
                    out.scanLine(kBorder + y) + kBorder);
    out.setDotsPerMeterX(kDotsPerMetre);
    out.setDotsPerMeterY(kDotsPerMetre);
    return {name, out};
}

bool writeParts(const std::vector<Part>& parts, const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot make %1").arg(folder);
        return false;
    }
    for (const Part& part : parts) {
        const QString path = folder + "/" + part.name + ".bmp";
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !part.image.save(&file, "BMP") || !file.commit()) {
            *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
    }
    return true;
}

} // namespace partsgen
