// Doors and windows, drawn in an opening along the bottom edge (the wall
// runs left to right; the room the door opens into lies above it).
#include "partsheet.h"

namespace partsgen {

namespace {

// Short wall ends beside an opening of width w whose threshold is at y.
void jambs(QPainter& p, int w, int y, int depth = 6)
{
    p.fillRect(QRect(-kFrame, y, kFrame, depth), Qt::black);
    p.fillRect(QRect(w, y, kFrame, depth), Qt::black);
}

// A leaf swinging from hinge (x, y): the leaf stands upright and the arc
// runs from its free end down to the threshold on the side of opensTo.
void swingLeaf(QPainter& p, int x, int y, int length, bool opensLeft)
{
    useLeaf(p);
    p.drawLine(QPoint(x, y), QPoint(x, y - length));
    quarterArc(p, QPointF(x, y), length, opensLeft ? 90 : 0);
}

// A sliding leaf: a thin rectangle from x0 to x1 lying in the wall at y.
void slidingLeaf(QPainter& p, int x0, int x1, int y)
{
    useThin(p);
    p.drawRect(QRect(x0, y, x1 - x0, 3));
}

Part hinged(int width, bool hingeRight)
{
    const int w = mm(width);
    return makePart(QStringLiteral("片開き戸_%1_%2").arg(width).arg(hingeRight ? "右" : "左"), w + 8, w + 8,
                    [=](QPainter& p) {
                        jambs(p, w, w);
                        swingLeaf(p, hingeRight ? w : 0, w, w, hingeRight);
                        useThin(p);
                        p.drawLine(0, w, w, w);
                    });
}

Part doubleDoor(int width)
{
    const int w = mm(width), half = w / 2;
    return makePart(QStringLiteral("両開き戸_%1").arg(width), w + 8, half + 8, [=](QPainter& p) {
        jambs(p, w, half);
        swingLeaf(p, 0, half, half, false);
        swingLeaf(p, w, half, w - half, true);
        useThin(p);
        p.drawLine(0, half, w, half);
    });
}

Part singleSliding(int width, bool toRight)
{
    const int w = mm(width);
    return makePart(QStringLiteral("片引き戸_%1_%2").arg(width).arg(toRight ? "右" : "左"), 2 * w + 8, 24,
                    [=](QPainter& p) {
                        // The opening, then the leaf closing it and the way it runs.
                        p.translate(toRight ? 0 : w, 0);
                        jambs(p, w, 8);
                        slidingLeaf(p, -2, w + 2, 4);
                        p.drawLine(0, 8, w, 8);
                        const int mid = w / 2;
                        arrow(p, QPointF(mid - (toRight ? 12 : -12), 16), QPointF(mid + (toRight ? 12 : -12), 16), 5);
                    });
}

Part multiSliding(int width, int leaves)
{
    const int w = mm(width), leaf = w / leaves + 3;
    return makePart(QStringLiteral("引違い戸_%1_%2枚").arg(width).arg(leaves), w + 8, 16, [=](QPainter& p) {
        jambs(p, w, 9);
        for (int i = 0; i < leaves; ++i) {
            const int x0 = i == 0 ? 0 : (i * w) / leaves - 3;
            const int x1 = i == leaves - 1 ? w : x0 + leaf;
            // Outer leaves run in the front track, inner ones behind them.
            const bool front = leaves == 2 ? i == 0 : (i == 0 || i == leaves - 1);
            slidingLeaf(p, x0, x1, front ? 5 : 1);
        }
    });
}

Part pocketDoor(int width, bool toRight)
{
    const int w = mm(width);
    return makePart(QStringLiteral("引込み戸_%1_%2").arg(width).arg(toRight ? "右" : "左"), 2 * w + 8, 24,
                    [=](QPainter& p) {
                        // The pocket in the wall beside the opening, drawn broken.
                        const int opening = toRight ? 0 : w;
                        const int pocket = toRight ? w : 0;
                        p.setPen(pen(kThin, Qt::DashLine));
                        p.drawRect(QRect(pocket, 2, w, 7));
                        p.fillRect(QRect(opening - kFrame, 2, kFrame, 8), Qt::black);
                        p.fillRect(QRect(opening + w, 2, kFrame, 8), Qt::black);
                        slidingLeaf(p, opening - 2, opening + w + 2, 4);
                        const int mid = opening + w / 2;
                        arrow(p, QPointF(mid, 16), QPointF(mid + (toRight ? 16 : -16), 16), 5);
                    });
}

Part foldingDoor(int width)
{
    const int w = mm(width);
    const bool pair = width >= 1200;
    return makePart(QStringLiteral("折れ戸_%1").arg(width), w + 8, w / 3 + 12, [=](QPainter& p) {
        const int base = w / 4 + 2;
        jambs(p, w, base);
        useThin(p);
        p.drawLine(0, base, w, base);
        useLeaf(p);
        // Each folding pair opens as a shallow V into the room.
        const int run = pair ? w / 2 : w;
        for (int k = 0; k < (pair ? 2 : 1); ++k) {
            const int x0 = k == 0 ? 0 : w;
            const int dir = k == 0 ? 1 : -1;
            const QPoint hinge(x0, base), fold(x0 + dir * run / 4, base - run / 4),
                end(x0 + dir * run / 2, base);
            p.drawPolyline(QPolygon({hinge, fold, end}));
        }
    });
}

// A window in a wall t pixels thick; panes(p, w, t) draws the glass.
Part window(const QString& name, int width, const std::function<void(QPainter&, int, int)>& panes,
            int above = 0)
{
    const int w = mm(width), t = mm(120);
    return makePart(name, w + 8, t + above + 8, [=](QPainter& p) {
        p.translate(0, above);
        jambs(p, w, 0, t);
        useThin(p);
        p.drawLine(0, 0, w, 0);
        p.drawLine(0, t, w, t);
        panes(p, w, t);
    });
}

std::vector<Part> windows()
{
    std::vector<Part> parts;
    for (int width : {1200, 1700})
        parts.push_back(window(QStringLiteral("引違い窓_%1").arg(width), width, [](QPainter& p, int w, int t) {
            useLeaf(p);
            p.drawLine(0, t / 3, w / 2 + 3, t / 3);
            p.drawLine(w / 2 - 3, 2 * t / 3, w, 2 * t / 3);
        }));
    for (int width : {600, 900})
        parts.push_back(window(QStringLiteral("FIX窓_%1").arg(width), width, [](QPainter& p, int w, int t) {
            useLeaf(p);
            p.drawLine(0, t / 2, w, t / 2);
        }));
    parts.push_back(window(
        QStringLiteral("出窓_1700"), 1700,
        [](QPainter& p, int w, int) {
            // The bay stands out of the wall, with glass on its three sides.
            const int d = mm(450);
            useThin(p);
            p.drawPolyline(QPolygon({{0, 0}, {d, -d}, {w - d, -d}, {w, 0}}));
            useLeaf(p);
            p.drawPolyline(QPolygon({{4, -1}, {d + 2, -d + 3}, {w - d - 2, -d + 3}, {w - 4, -1}}));
        },
        mm(450) + 2));
    parts.push_back(window(
        QStringLiteral("滑り出し窓_600"), 600,
        [](QPainter& p, int w, int t) {
            useLeaf(p);
            p.drawLine(QPoint(0, t / 2), QPoint(w, t / 2 - w / 3));
            p.setPen(pen(kThin, Qt::DashLine));
            p.drawLine(QPoint(w, t / 2), QPoint(w, t / 2 - w / 3));
        },
        mm(200)));
    return parts;
}

} // namespace

std::vector<Part> doorsAndWindows()
{
    std::vector<Part> parts;
    for (int width : {600, 700, 800, 900})
        for (bool right : {false, true})
            parts.push_back(hinged(width, right));
    for (int width : {1200, 1600})
        parts.push_back(doubleDoor(width));
    for (bool right : {false, true}) {
        parts.push_back(singleSliding(800, right));
        parts.push_back(pocketDoor(800, right));
    }
    parts.push_back(multiSliding(1700, 2));
    parts.push_back(multiSliding(3400, 4));
    parts.push_back(foldingDoor(800));
    parts.push_back(foldingDoor(1600));
    for (Part& w : windows())
        parts.push_back(std::move(w));
    return parts;
}

} // namespace partsgen
