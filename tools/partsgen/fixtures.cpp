// Appliances, the entrance door, columns, shafts and the car, seen from above
// in the plan style of the rest of the library.
#include "partsheet.h"

namespace partsgen {

namespace {

std::vector<Part> appliances()
{
    std::vector<Part> parts;
    // Drawn as Japanese plans draw it: a box with 冷 in it (a box with a
    // cross would read as a shaft or a void).
    parts.push_back(makePart(QStringLiteral("冷蔵庫"), mm(700), mm(700), [](QPainter& p) {
        const int s = mm(700);
        useThin(p);
        p.drawRect(0, 0, s, s);
        const QImage mark = letteringImage(QString::fromUtf8("冷"), 40);
        p.drawImage((s - mark.width()) / 2 + 1, (s - mark.height()) / 2 + 1, mark);
    }));
    // The drum's lid in a square body, the controls along the back.
    parts.push_back(makePart(QStringLiteral("洗濯機_600"), mm(600), mm(600), [](QPainter& p) {
        const int s = mm(600);
        useThin(p);
        p.drawRoundedRect(QRect(0, 0, s, s), 4, 4);
        p.drawLine(0, mm(120), s, mm(120));
        p.drawEllipse(QPoint(s / 2, mm(340)), mm(190), mm(190));
    }));
    // A free-standing tub: rounded both ends, its rim inside, the drain.
    parts.push_back(makePart(QStringLiteral("置き型浴槽_1600x800"), mm(1600), mm(800), [](QPainter& p) {
        const int w = mm(1600), h = mm(800);
        useThin(p);
        p.drawRoundedRect(QRect(0, 0, w, h), h / 2, h / 2);
        p.drawRoundedRect(QRect(mm(80), mm(80), w - 2 * mm(80), h - 2 * mm(80)), h / 2 - mm(80), h / 2 - mm(80));
        p.drawEllipse(QPoint(w - mm(300), h / 2), 3, 3);
    }));
    // A shoe cabinet: the box with the diagonal of built-in storage.
    for (const int width : {900, 1200})
        parts.push_back(makePart(QStringLiteral("下足入れ_%1x400").arg(width), mm(width), mm(400), [width](QPainter& p) {
            useThin(p);
            p.drawRect(0, 0, mm(width), mm(400));
            p.drawLine(0, mm(400), mm(width), 0);
        }));
    return parts;
}

// The entrance door: a heavier leaf and frame in a wall 150 mm thick, the
// leaf opening out of the house (upward), hinge on the given side.
Part entranceDoor(int width, bool hingeRight)
{
    const int w = mm(width), wall = mm(150);
    return makePart(QStringLiteral("玄関ドア_%1_%2").arg(width).arg(hingeRight ? "右" : "左"), w + 12, w + wall + 8,
                    [=](QPainter& p) {
                        p.fillRect(QRect(-kFrame - 2, w, kFrame + 2, wall), Qt::black);
                        p.fillRect(QRect(w, w, kFrame + 2, wall), Qt::black);
                        useThin(p);
                        p.drawLine(0, w, w, w);
                        p.drawLine(0, w + wall - 1, w, w + wall - 1);
                        const int hinge = hingeRight ? w : 0;
                        p.setPen(pen(kFrame));
                        p.drawLine(QPoint(hinge, w), QPoint(hinge, 1));
                        quarterArc(p, QPointF(hinge, w), w, hingeRight ? 90 : 0);
                    });
}

std::vector<Part> structureMarks()
{
    std::vector<Part> parts;
    // Columns: solid squares of the post's size.
    for (const int size : {105, 120, 150})
        parts.push_back(makePart(QStringLiteral("柱_%1").arg(size), mm(size), mm(size), [size](QPainter& p) {
            p.fillRect(QRect(0, 0, mm(size), mm(size)), Qt::black);
        }));
    parts.push_back(makePart(QStringLiteral("丸柱_300"), mm(300), mm(300), [](QPainter& p) {
        p.setPen(pen(kThin));
        p.setBrush(Qt::black);
        p.drawEllipse(QRect(0, 0, mm(300), mm(300)));
    }));
    // Pipe shafts: the box with both diagonals.
    for (const auto& [w, h] : {std::pair{600, 600}, std::pair{900, 450}})
        parts.push_back(makePart(QStringLiteral("シャフト_%1x%2").arg(w).arg(h), mm(w), mm(h), [w = mm(w), h = mm(h)](QPainter& p) {
            useThin(p);
            p.drawRect(0, 0, w, h);
            p.drawLine(0, 0, w, h);
            p.drawLine(w, 0, 0, h);
        }));
    return parts;
}

// A car seen from above, front at the top: the body, the windscreen, the
// roof and the rear window, the mirrors.
Part car()
{
    const int w = mm(1700), h = mm(4700);
    return makePart(QStringLiteral("車_1700x4700"), w + 10, h, [=](QPainter& p) {
        p.translate(5, 0);
        useThin(p);
        p.drawRoundedRect(QRect(0, 0, w, h), 22, 30);
        const int screen = mm(1500), roof = mm(2300), rear = mm(3900);
        p.drawPolygon(QPolygon({{mm(150), screen}, {w - mm(150), screen}, {w - mm(250), roof}, {mm(250), roof}}));
        p.drawRect(QRect(mm(250), roof, w - 2 * mm(250), rear - roof));
        p.drawLine(mm(250), rear, mm(150), rear + mm(350));
        p.drawLine(w - mm(250), rear, w - mm(150), rear + mm(350));
        p.drawLine(mm(150), rear + mm(350), w - mm(150), rear + mm(350));
        p.drawLine(mm(150), mm(600), w - mm(150), mm(600)); // the bonnet's end
        for (const int side : {-1, 1}) {
            const int x = side < 0 ? 0 : w;
            p.drawLine(x, screen - 4, x + side * 5, screen - 4);
        }
    });
}

} // namespace

std::vector<Part> fixturesAndMarks()
{
    std::vector<Part> parts = appliances();
    for (const bool right : {false, true})
        parts.push_back(entranceDoor(900, right));
    for (Part& part : structureMarks())
        parts.push_back(std::move(part));
    parts.push_back(car());
    return parts;
}

} // namespace partsgen
