// Wall maps written as DXF and SVG and read back by readers of their own:
// ezdxf's recovering loader and audit for the DXF, QXmlStreamReader for the
// SVG. Each plan's expected shapes are written out in pixels by hand and
// converted to millimetres here, apart from the writer's own arithmetic.
#include "vector/dxf_writer.h"
#include "vector/vector_export.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cmath>
#include <functional>

namespace {

using ink::Point;

struct Shape {
    QString type;  // LINE, LWPOLYLINE or ARC
    QString layer;
    std::vector<Point> points; // pixels: a line's ends, a polygon's corners, an arc's two ends
    Point centre{};            // an arc's
};

struct Case {
    const char* name;
    double dpi;
    double scale;
    bool raster;
    std::function<ink::WallMap()> map;
    std::vector<Shape> expected;
};

ink::Wall doubleWall(Point a, Point b, Point la, Point lb, Point ra, Point rb, double t)
{
    ink::Wall w;
    w.a = a;
    w.b = b;
    w.thickness = t;
    w.kind = ink::WallKind::Double;
    w.faceLeftA = la;
    w.faceLeftB = lb;
    w.faceRightA = ra;
    w.faceRightB = rb;
    return w;
}

// A room's top-left corner: two double walls 10 px thick, a door gap in the
// top wall with a hinged door swinging into the room.
ink::WallMap doubleWallRoom()
{
    ink::WallMap m;
    m.width = 800;
    m.height = 600;
    m.dpi = 200;
    m.walls.push_back(doubleWall({100, 100}, {700, 100}, {100, 95}, {700, 95}, {100, 105}, {700, 105}, 10));
    m.walls.push_back(doubleWall({100, 100}, {100, 500}, {105, 100}, {105, 500}, {95, 100}, {95, 500}, 10));
    m.openings.push_back({{300, 100}, {380, 100}, 0});
    ink::Door d;
    d.kind = ink::DoorKind::Hinged;
    d.opening = 0;
    d.hinge = {300, 100};
    d.leafEnd = {300, 180};
    d.closedEnd = {380, 100};
    m.doors.push_back(d);
    return m;
}

// Solid walls, one with its band's faces given and one with only the centre
// line and thickness; a sliding door of two panes in a gap between them.
ink::WallMap solidWallsSlidingDoor()
{
    ink::WallMap m;
    m.width = 1000;
    m.height = 700;
    m.dpi = 400;
    ink::Wall a;
    a.a = {50, 200};
    a.b = {400, 200};
    a.thickness = 16;
    a.faceLeftA = {50, 192};
    a.faceLeftB = {400, 192};
    a.faceRightA = {50, 208};
    a.faceRightB = {400, 208};
    m.walls.push_back(a);
    ink::Wall b;
    b.a = {600, 200};
    b.b = {600, 650};
    b.thickness = 20;
    m.walls.push_back(b);
    m.openings.push_back({{400, 200}, {600, 200}, -1});
    m.openings.push_back({{250, 200}, {150, 200}, 0}); // a window in the first wall
    ink::Door d;
    d.kind = ink::DoorKind::Sliding;
    d.panes = {{{400, 194}, {505, 194}, {505, 200}, {400, 200}}, {{495, 200}, {600, 200}, {600, 206}, {495, 206}}};
    m.doors.push_back(d);
    return m;
}

ink::WallMap blankPlan()
{
    ink::WallMap m;
    m.width = 640;
    m.height = 480;
    m.dpi = 300;
    return m;
}

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"double walls, opening, hinged door", 200, 100, false, doubleWallRoom,
         {{"LINE", "壁", {{100, 95}, {300, 95}}}, // the faces stop at the door gap
          {"LINE", "壁", {{380, 95}, {700, 95}}},
          {"LINE", "壁", {{100, 105}, {300, 105}}},
          {"LINE", "壁", {{380, 105}, {700, 105}}},
          {"LINE", "壁", {{105, 100}, {105, 500}}},
          {"LINE", "壁", {{95, 100}, {95, 500}}},
          {"LWPOLYLINE", "開口", {{300, 95}, {380, 95}, {380, 105}, {300, 105}}},
          {"LINE", "建具", {{300, 100}, {300, 180}}},
          {"ARC", "建具", {{300, 180}, {380, 100}}, {300, 100}}}},
        {"solid walls, gap between walls, sliding door, with the picture", 400, 50, true,
         solidWallsSlidingDoor,
         {{"LWPOLYLINE", "壁", {{50, 192}, {150, 192}, {150, 208}, {50, 208}}},
          {"LWPOLYLINE", "壁", {{250, 192}, {400, 192}, {400, 208}, {250, 208}}},
          {"LWPOLYLINE", "開口", {{150, 192}, {250, 192}, {250, 208}, {150, 208}}},
          {"LWPOLYLINE", "壁", {{590, 200}, {590, 650}, {610, 650}, {610, 200}}},
          {"LINE", "開口", {{400, 200}, {600, 200}}},
          {"LWPOLYLINE", "建具", {{400, 194}, {505, 194}, {505, 200}, {400, 200}}},
          {"LWPOLYLINE", "建具", {{495, 200}, {600, 200}, {600, 206}, {495, 206}}}}},
        {"no walls", 300, 1, false, blankPlan, {}},
    };
    return all;
}

// A point read from a file, in millimetres.
struct Found {
    QString type;
    QString layer;
    std::vector<QPointF> points;
    QPointF centre; // an arc's
};

// Every expected shape matches one found shape of its type and layer whose
// points are the same set within `tol` millimetres, and nothing is left over.
void compareShapes(const std::vector<Shape>& expected, std::vector<Found> found,
                   const std::function<QPointF(Point)>& toMm, double tol)
{
    for (const Shape& e : expected) {
        auto match = [&](const Found& f) {
            if (f.type != e.type || f.layer != e.layer || f.points.size() != e.points.size())
                return false;
            for (const Point& p : e.points) {
                const QPointF q = toMm(p);
                bool hit = false;
                for (const QPointF& r : f.points)
                    hit = hit || (std::abs(r.x() - q.x()) <= tol && std::abs(r.y() - q.y()) <= tol);
                if (!hit)
                    return false;
            }
            const QPointF c = toMm(e.centre);
            return e.type != QLatin1String("ARC")
                || (std::abs(f.centre.x() - c.x()) <= tol && std::abs(f.centre.y() - c.y()) <= tol);
        };
        auto it = std::find_if(found.begin(), found.end(), match);
        QVERIFY2(it != found.end(), qPrintable(QStringLiteral("no %1 on %2 at the expected place, first corner (%3, %4) px")
                                                   .arg(e.type, e.layer)
                                                   .arg(e.points[0].x)
                                                   .arg(e.points[0].y)));
        found.erase(it);
    }
    QVERIFY2(found.empty(), qPrintable(QStringLiteral("%1 unexpected shapes, the first a %2 on %3")
                                           .arg(found.size())
                                           .arg(found.empty() ? QString() : found[0].type,
                                                found.empty() ? QString() : found[0].layer)));
}

QString ezdxfPython()
{
    for (const QString& candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess p;
        p.start(candidate, {QStringLiteral("-c"), QStringLiteral("import ezdxf")});
        if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return candidate;
    }
    return {};
}

QJsonObject readBack(const QString& python, const QString& dxf)
{
    QProcess p;
    p.start(python, {QStringLiteral(ZORVAT_SOURCE_DIR "/tests/vector/dxf_readback.py"), dxf});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

std::vector<QPointF> jsonPoints(const QJsonValue& v)
{
    std::vector<QPointF> out;
    for (const QJsonValue& p : v.toArray())
        out.emplace_back(p.toArray()[0].toDouble(), p.toArray()[1].toDouble());
    return out;
}

// The centre of a circular SVG arc from its end points and flags: on the
// side of the chord that the flags choose.
QPointF svgArcCentre(QPointF from, QPointF to, double r, bool large, bool sweep)
{
    const QPointF half = (from - to) / 2;
    const double d2 = QPointF::dotProduct(half, half);
    const double coef = std::sqrt(std::max(0.0, (r * r - d2) / d2)) * (large != sweep ? 1 : -1);
    return (from + to) / 2 + coef * QPointF(half.y(), -half.x());
}

// The end points of an SVG path as this writer makes them: "M x y L x y … Z"
// or "M x y A rx ry rot large sweep x y", and an arc's centre.
std::vector<QPointF> svgPathPoints(const QString& d, bool& arc, QPointF& centre)
{
    static const QRegularExpression arcRe(
        QStringLiteral("^M(\\S+) (\\S+) A(\\S+) \\S+ \\S+ ([01]) ([01]) (\\S+) (\\S+)$"));
    const auto m = arcRe.match(d);
    arc = m.hasMatch();
    if (arc) {
        const QPointF from(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF to(m.captured(6).toDouble(), m.captured(7).toDouble());
        centre = svgArcCentre(from, to, m.captured(3).toDouble(), m.captured(4) == "1", m.captured(5) == "1");
        return {from, to};
    }
    const QString& plain = d;
    std::vector<QPointF> out;
    static const QRegularExpression pair(QStringLiteral("[ML](-?[0-9.]+) (-?[0-9.]+)"));
    for (auto it = pair.globalMatch(plain); it.hasNext();) {
        const auto m = it.next();
        out.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return out;
}

double mmLength(const QString& s)
{
    return s.endsWith(QLatin1String("mm")) ? s.chopped(2).toDouble() : -1;
}

} // namespace

class TestVectorFiles : public QObject {
    Q_OBJECT

    QString python_;
    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        python_ = ezdxfPython();
        QVERIFY2(!python_.isEmpty(), "python3 with ezdxf (Debian package python3-ezdxf) is needed: run scripts/setup.sh");
        QVERIFY(dir_.isValid());
    }

    void dxfReadsBackExactly_data()
    {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << int(i);
    }

    void dxfReadsBackExactly()
    {
        QFETCH(int, index);
        const Case& c = cases()[size_t(index)];
        const ink::WallMap map = c.map();
        const double k = 25.4 / c.dpi * c.scale;
        QImage picture(map.width, map.height, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const QString path = dir_.filePath(QStringLiteral("plan%1.dxf").arg(index));
        const auto result = vectors::exportWallMap(map, {c.dpi, c.scale}, path, c.raster ? &picture : nullptr);
        QVERIFY2(result.ok, qPrintable(result.error));

        const QJsonObject dxf = readBack(python_, path);
        QVERIFY2(!dxf.isEmpty(), "ezdxf could not read the file");
        QCOMPARE(dxf["errors"].toArray().size(), 0);
        QCOMPARE(dxf["acadver"].toString(), QStringLiteral("AC1015"));
        QCOMPARE(dxf["insunits"].toInt(), 4);
        QStringList layers;
        for (const QJsonValue& l : dxf["layers"].toArray())
            layers << l.toString();
        for (const char* name : {"壁", "建具", "開口"})
            QVERIFY2(layers.contains(QString::fromUtf8(name)), qPrintable(layers.join(',')));

        std::vector<Found> found;
        int images = 0;
        for (const QJsonValue& v : dxf["entities"].toArray()) {
            const QJsonObject e = v.toObject();
            if (e["type"].toString() == QLatin1String("IMAGE")) {
                ++images;
                QCOMPARE(e["layer"].toString(), vectors::rasterLayerName());
                QCOMPARE(e["file"].toString(), QFileInfo(result.rasterPath).fileName());
                QCOMPARE(QImage(result.rasterPath).size(), QSize(map.width, map.height));
                QCOMPARE(jsonPoints(QJsonArray{e["pixels"], e["insert"], e["u"], e["v"]}),
                         (std::vector<QPointF>{{double(map.width), double(map.height)}, {0, 0}, {k, 0}, {0, k}}));
                continue;
            }
            if (e["type"].toString() == QLatin1String("ARC")) {
                // The swing is the quarter between leaf and closed door, not the rest of the circle.
                QVERIFY2(e["sweep"].toDouble() > 0 && e["sweep"].toDouble() <= 180.001,
                         qPrintable(QString::number(e["sweep"].toDouble())));
            }
            const auto centre = jsonPoints(QJsonArray{e["centre"].isArray() ? e["centre"] : QJsonArray{0, 0}});
            found.push_back({e["type"].toString(), e["layer"].toString(), jsonPoints(e["points"]), centre[0]});
        }
        QCOMPARE(images, c.raster ? 1 : 0);
        compareShapes(c.expected, found, [&](Point p) { return QPointF(p.x * k, (map.height - p.y) * k); }, k);
    }

    void svgMatchesThePlan_data() { dxfReadsBackExactly_data(); }

    void svgMatchesThePlan()
    {
        QFETCH(int, index);
        const Case& c = cases()[size_t(index)];
        const ink::WallMap map = c.map();
        const double k = 25.4 / c.dpi * c.scale;
        QImage picture(map.width, map.height, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setPixel(3, 2, qRgb(0, 0, 0));
        const QString path = dir_.filePath(QStringLiteral("plan%1.svg").arg(index));
        const auto result = vectors::exportWallMap(map, {c.dpi, c.scale}, path, c.raster ? &picture : nullptr);
        QVERIFY2(result.ok, qPrintable(result.error));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        const QString inkscape = QStringLiteral("http://www.inkscape.org/namespaces/inkscape");
        std::vector<Found> found;
        QString layer;
        QStringList labels;
        int images = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const auto attrs = xml.attributes();
            if (xml.name() == QLatin1String("svg")) {
                // Printed at the paper's size; drawn in millimetres at real size.
                QCOMPARE(mmLength(attrs.value("width").toString()), std::round(map.width / c.dpi * 25.4 * 1e4) / 1e4);
                QCOMPARE(mmLength(attrs.value("height").toString()), std::round(map.height / c.dpi * 25.4 * 1e4) / 1e4);
                const auto box = attrs.value("viewBox").toString().split(' ');
                QCOMPARE(box.size(), 4);
                QVERIFY(std::abs(box[2].toDouble() - map.width * k) < 1e-3);
                QVERIFY(std::abs(box[3].toDouble() - map.height * k) < 1e-3);
            } else if (xml.name() == QLatin1String("g") && attrs.hasAttribute(inkscape, "label")) {
                layer = attrs.value(inkscape, "label").toString();
                labels << layer;
            } else if (xml.name() == QLatin1String("path")) {
                bool arc = false;
                QPointF centre;
                auto points = svgPathPoints(attrs.value("d").toString(), arc, centre);
                const bool closed = attrs.value("d").endsWith(QLatin1String("Z"));
                const QString type = arc ? QStringLiteral("ARC")
                                         : (points.size() == 2 && !closed ? QStringLiteral("LINE") : QStringLiteral("LWPOLYLINE"));
                found.push_back({type, layer, std::move(points), centre});
            } else if (xml.name() == QLatin1String("image")) {
                ++images;
                QCOMPARE(layer, vectors::rasterLayerName());
                const QString href = attrs.value(QStringLiteral("http://www.w3.org/1999/xlink"), "href").toString();
                QVERIFY(href.startsWith(QLatin1String("data:image/png;base64,")));
                const QImage embedded = QImage::fromData(QByteArray::fromBase64(href.mid(22).toLatin1()), "PNG");
                QCOMPARE(embedded.size(), picture.size());
                QCOMPARE(embedded.pixel(3, 2), qRgb(0, 0, 0));
                QCOMPARE(attrs.value("width").toDouble(), std::round(map.width * k * 1e4) / 1e4);
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(images, c.raster ? 1 : 0);
        for (const char* name : {"壁", "建具", "開口"})
            QVERIFY(labels.contains(QString::fromUtf8(name)));
        compareShapes(c.expected, found, [&](Point p) { return QPointF(p.x * k, p.y * k); }, k);
    }

    // A map with absurd coordinates still gives files that read back.
    void corruptCoordinatesKeepTheFilesReadable()
    {
        ink::WallMap map = blankPlan();
        map.walls.push_back(doubleWall({1e300, 5}, {std::nan(""), 5}, {1e300, 0}, {-1e300, 0}, {0, 1e30}, {1, 1}, 10));
        const QString dxf = dir_.filePath("corrupt.dxf"), svg = dir_.filePath("corrupt.svg");
        QVERIFY(vectors::exportWallMap(map, {300, 1}, dxf).ok);
        QVERIFY(vectors::exportWallMap(map, {300, 1}, svg).ok);
        const QJsonObject back = readBack(python_, dxf);
        QVERIFY(!back.isEmpty());
        QCOMPARE(back["errors"].toArray().size(), 0);
        QFile file(svg);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }

    // Nothing is written when the file could not be right.
    void refusesWhatCannotBeWritten()
    {
        const ink::WallMap map = doubleWallRoom();
        struct Bad {
            const char* why;
            vectors::PlanUnits units;
            QString name;
            ink::WallMap map;
        };
        ink::WallMap sizeless = map;
        sizeless.width = 0;
        const Bad bad[] = {{"no resolution", {0, 100}, "a.dxf", map},
                           {"no scale", {200, 0}, "b.svg", map},
                           {"resolution not a number", {std::nan(""), 1}, "c.dxf", map},
                           {"neither DXF nor SVG", {200, 100}, "d.png", map},
                           {"no image size", {200, 100}, "e.dxf", sizeless}};
        for (const Bad& b : bad) {
            const QString path = dir_.filePath(b.name);
            const auto result = vectors::exportWallMap(b.map, b.units, path);
            QVERIFY2(!result.ok && !result.error.isEmpty(), b.why);
            QVERIFY2(!QFile::exists(path), b.why);
        }
        // An unwritable place is reported, not passed over.
        const auto result = vectors::exportWallMap(map, {200, 100}, dir_.filePath("missing/folder/plan.dxf"));
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
    }
};

ZORVAT_TEST_MAIN(TestVectorFiles)
#include "test_vector_files.moc"
