#include "vector/svg_writer.h"
#include "vector/dxf_writer.h"
#include "vector/file_text.h"
#include <QBuffer>
#include <QXmlStreamWriter>
#include <cmath>
#include <numbers>

namespace vectors {

namespace {

const QString kInkscape = QStringLiteral("http://www.inkscape.org/namespaces/inkscape");
const QString kXlink = QStringLiteral("http://www.w3.org/1999/xlink");

// Four decimals of a millimetre.
QString num(double v)
{
    return QString::fromStdString(decimalText(v, 4, false));
}

struct Svg {
    const PlanVectors& plan;
    QString x(const MmPoint& p) const { return num(p.x); }
    QString y(const MmPoint& p) const { return num(plan.heightMm - p.y); }
    QString at(const MmPoint& p) const { return x(p) + QLatin1Char(' ') + y(p); }
};

void beginLayer(QXmlStreamWriter& w, const QString& id, const QString& label)
{
    w.writeStartElement(QStringLiteral("g"));
    w.writeAttribute(QStringLiteral("id"), id);
    w.writeAttribute(kInkscape, QStringLiteral("groupmode"), QStringLiteral("layer"));
    w.writeAttribute(kInkscape, QStringLiteral("label"), label);
}

QString polylinePath(const Svg& s, const Polyline& p)
{
    QString d;
    for (size_t i = 0; i < p.points.size(); ++i)
        d += (i == 0 ? QStringLiteral("M") : QStringLiteral(" L")) + s.at(p.points[i]);
    if (p.closed)
        d += QStringLiteral(" Z");
    return d;
}

// Counter-clockwise with y up is counter-clockwise on the page too, which in
// SVG's y-down coordinates is the negative sweep direction (flag 0).
QString arcPath(const Svg& s, const Arc& a)
{
    const double rad = std::numbers::pi / 180;
    const MmPoint from{a.centre.x + a.radius * std::cos(a.startDeg * rad),
                       a.centre.y + a.radius * std::sin(a.startDeg * rad)};
    const MmPoint to{a.centre.x + a.radius * std::cos(a.endDeg * rad), a.centre.y + a.radius * std::sin(a.endDeg * rad)};
    double sweep = a.endDeg - a.startDeg;
    if (sweep < 0)
        sweep += 360;
    return QStringLiteral("M%1 A%2 %2 0 %3 0 %4")
        .arg(s.at(from), num(a.radius), sweep > 180 ? QStringLiteral("1") : QStringLiteral("0"), s.at(to));
}

void writeLayer(QXmlStreamWriter& w, const Svg& s, Layer layer, const QString& id)
{
    beginLayer(w, id, layerName(layer));
    // Lines a quarter of a millimetre wide on paper. Each layer carries its
    // own style: Inkscape sees layers only as direct children of the root.
    w.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
    w.writeAttribute(QStringLiteral("stroke"), QStringLiteral("#000000"));
    w.writeAttribute(QStringLiteral("stroke-width"), num(0.25 * s.plan.scaleDenominator));
    w.writeAttribute(QStringLiteral("stroke-linecap"), QStringLiteral("round"));
    w.writeAttribute(QStringLiteral("stroke-linejoin"), QStringLiteral("round"));
    for (const Polyline& p : s.plan.polylines) {
        if (p.layer != layer)
            continue;
        w.writeEmptyElement(QStringLiteral("path"));
        // A solid wall is a filled band of ink on the plan.
        if (layer == Layer::Walls && p.closed)
            w.writeAttribute(QStringLiteral("fill"), QStringLiteral("#000000"));
        w.writeAttribute(QStringLiteral("d"), polylinePath(s, p));
    }
    for (const Arc& a : s.plan.arcs) {
        if (a.layer != layer)
            continue;
        w.writeEmptyElement(QStringLiteral("path"));
        w.writeAttribute(QStringLiteral("d"), arcPath(s, a));
    }
    w.writeEndElement();
}

} // namespace

QByteArray svgText(const PlanVectors& plan, const QImage* raster)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    w.writeNamespace(kXlink, QStringLiteral("xlink"));
    w.writeNamespace(kInkscape, QStringLiteral("inkscape"));
    w.writeStartElement(QStringLiteral("svg"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    w.writeAttribute(QStringLiteral("width"), num(plan.paperWidthMm()) + QStringLiteral("mm"));
    w.writeAttribute(QStringLiteral("height"), num(plan.paperHeightMm()) + QStringLiteral("mm"));
    w.writeAttribute(QStringLiteral("viewBox"),
                     QStringLiteral("0 0 %1 %2").arg(num(plan.widthMm), num(plan.heightMm)));

    if (raster && !raster->isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        raster->save(&buffer, "PNG");
        beginLayer(w, QStringLiteral("raster"), rasterLayerName());
        w.writeEmptyElement(QStringLiteral("image"));
        w.writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
        w.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
        w.writeAttribute(QStringLiteral("width"), num(plan.widthMm));
        w.writeAttribute(QStringLiteral("height"), num(plan.heightMm));
        w.writeAttribute(QStringLiteral("preserveAspectRatio"), QStringLiteral("none"));
        w.writeAttribute(kXlink, QStringLiteral("href"),
                         QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64()));
        w.writeEndElement();
    }

    const Svg s{plan};
    writeLayer(w, s, Layer::Walls, QStringLiteral("walls"));
    writeLayer(w, s, Layer::Doors, QStringLiteral("doors"));
    writeLayer(w, s, Layer::Openings, QStringLiteral("openings"));

    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

WriteResult writeSvg(const PlanVectors& plan, const QString& path, const QImage* raster)
{
    return writeWhole(path, svgText(plan, raster));
}

} // namespace vectors
