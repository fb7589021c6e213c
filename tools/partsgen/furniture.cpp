// Stairs, marks, fixtures and furniture, seen from above.
#include "partsheet.h"
#include <QFont>

namespace partsgen {

namespace {

// Rounded outline of the plan's furniture.
void roundBox(QPainter& p, const QRect& r, int radius = 4)
{
    useThin(p);
    p.drawRoundedRect(r, radius, radius);
}

// A piece covering what lies under it (a table over its chairs).
void solidBox(QPainter& p, const QRect& r)
{
    p.setPen(pen(kThin));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(Qt::NoBrush);
}

// Treads of a straight run inside r: lines across it, `steps` of them.
void treads(QPainter& p, const QRect& r, int steps, bool across)
{
    useThin(p);
    p.drawRect(r);
    for (int i = 1; i < steps; ++i) {
        if (across) {
            const int y = r.top() + i * r.height() / steps;
            p.drawLine(r.left(), y, r.right(), y);
        } else {
            const int x = r.left() + i * r.width() / steps;
            p.drawLine(x, r.top(), x, r.bottom());
        }
    }
}

// The up arrow of a stair: a line through the points ending in a head.
void upArrow(QPainter& p, const QPolygon& path)
{
    useThin(p);
    for (int i = 0; i + 2 < path.size(); ++i)
        p.drawLine(path[i], path[i + 1]);
    arrow(p, path[path.size() - 2], path.last(), 7);
    p.setBrush(Qt::black);
    p.drawEllipse(path.first(), 2, 2);
    p.setBrush(Qt::NoBrush);
}

std::vector<Part> stairs()
{
    const int w = mm(910), run = mm(2730);
    std::vector<Part> parts;
    parts.push_back(makePart(QStringLiteral("直階段_910x2730"), w, run, [=](QPainter& p) {
        treads(p, QRect(0, 0, w, run), 13, true);
        upArrow(p, QPolygon({{w / 2, run - 6}, {w / 2, 6}}));
    }));
    // An L of two runs and a landing in the corner.
    parts.push_back(makePart(QStringLiteral("かね折れ階段_1820x1820"), 2 * w, 2 * w, [=](QPainter& p) {
        treads(p, QRect(0, w, w, w), 4, true);
        treads(p, QRect(w, 0, w, w), 4, false);
        p.drawRect(QRect(0, 0, w, w));
        upArrow(p, QPolygon({{w / 2, 2 * w - 6}, {w / 2, w / 2}, {2 * w - 6, w / 2}}));
    }));
    // The corner turns in winders fanning from the inner corner.
    parts.push_back(makePart(QStringLiteral("回り階段_1820x1820"), 2 * w, 2 * w, [=](QPainter& p) {
        treads(p, QRect(0, w, w, w), 4, true);
        treads(p, QRect(w, 0, w, w), 4, false);
        p.drawRect(QRect(0, 0, w, w));
        for (const QPoint& outer : {QPoint(0, w / 2), QPoint(0, 0), QPoint(w / 2, 0)})
            p.drawLine(QPoint(w, w), outer);
        upArrow(p, QPolygon({{w / 2, 2 * w - 6}, {w / 2, w / 2 + 8}, {w / 2 + 8, w / 2}, {2 * w - 6, w / 2}}));
    }));
    parts.push_back(makePart(QStringLiteral("階段矢印"), 20, 120, [](QPainter& p) {
        upArrow(p, QPolygon({{10, 118}, {10, 2}}));
    }));
    parts.push_back(makePart(QStringLiteral("方位記号"), 70, 90, [](QPainter& p) {
        const QPoint c(35, 55);
        useThin(p);
        p.drawEllipse(c, 30, 30);
        // North: one half of the needle black, the other outlined.
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon({{35, 25}, {35, 80}, {25, 80}}));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(QPolygon({{35, 25}, {45, 80}, {35, 80}}));
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPixelSize(18);
        font.setBold(true);
        font.setStyleStrategy(QFont::NoAntialias);
        p.setFont(font);
        p.drawText(QRect(20, 0, 30, 22), Qt::AlignCenter, QStringLiteral("N"));
    }));
    return parts;
}

void sink(QPainter& p, const QRect& r)
{
    roundBox(p, r, 5);
    roundBox(p, r.adjusted(4, 4, -4, -4), 4);
    p.drawEllipse(r.center(), 3, 3);
}

void hob(QPainter& p, const QRect& r)
{
    useThin(p);
    p.drawRect(r);
    const int d = r.width() / 4;
    p.drawEllipse(QPoint(r.left() + d, r.top() + r.height() / 3), d - 3, d - 3);
    p.drawEllipse(QPoint(r.right() - d, r.top() + r.height() / 3), d - 3, d - 3);
    p.drawEllipse(QPoint(r.center().x(), r.bottom() - r.height() / 4), d / 2, d / 2);
}

std::vector<Part> kitchenAndBath()
{
    std::vector<Part> parts;
    const int depth = mm(650);
    parts.push_back(makePart(QStringLiteral("キッチン_I型_2550"), mm(2550), depth, [=](QPainter& p) {
        useThin(p);
        p.drawRect(0, 0, mm(2550), depth);
        sink(p, QRect(mm(400), 10, mm(800), mm(450)));
        hob(p, QRect(mm(1750), 8, mm(600), mm(500)));
    }));
    parts.push_back(makePart(QStringLiteral("キッチン_L型_2400x1800"), mm(2400), mm(1800), [=](QPainter& p) {
        useThin(p);
        p.drawPolygon(QPolygon({{0, 0}, {mm(2400), 0}, {mm(2400), depth}, {depth, depth}, {depth, mm(1800)},
                                {0, mm(1800)}}));
        sink(p, QRect(mm(1000), 10, mm(800), mm(450)));
        hob(p, QRect(8, mm(1000), mm(500), mm(600)));
    }));
    parts.push_back(makePart(QStringLiteral("シンク"), mm(800), mm(450), [](QPainter& p) {
        sink(p, QRect(0, 0, mm(800), mm(450)));
    }));
    parts.push_back(makePart(QStringLiteral("コンロ"), mm(600), mm(500), [](QPainter& p) {
        hob(p, QRect(0, 0, mm(600), mm(500)));
    }));
    for (const auto& [w, h] : {std::pair{1600, 1600}, std::pair{1200, 1600}}) {
        const QString name = QStringLiteral("ユニットバス_%1%2").arg(w / 100).arg(h / 100);
        parts.push_back(makePart(name, mm(w), mm(h), [w = mm(w), h = mm(h)](QPainter& p) {
            useThin(p);
            p.drawRect(0, 0, w, h);
            // The tub along the far wall, the washing place before it.
            p.drawRect(0, 0, w, mm(750));
            roundBox(p, QRect(5, 5, w - 10, mm(750) - 10), 10);
            p.drawEllipse(QPoint(w - 15, h - 15), 3, 3);
        }));
    }
    parts.push_back(makePart(QStringLiteral("便器"), mm(450), mm(750), [](QPainter& p) {
        useThin(p);
        p.drawRect(0, 0, mm(450), mm(200));
        p.drawEllipse(QRect(mm(40), mm(180), mm(370), mm(560)));
        p.drawEllipse(QRect(mm(100), mm(260), mm(250), mm(380)));
    }));
    parts.push_back(makePart(QStringLiteral("洗面台_750"), mm(750), mm(550), [](QPainter& p) {
        useThin(p);
        p.drawRect(0, 0, mm(750), mm(550));
        p.drawEllipse(QRect(mm(150), mm(120), mm(450), mm(330)));
        p.drawEllipse(QPoint(mm(375), mm(80)), 2, 2);
    }));
    parts.push_back(makePart(QStringLiteral("洗濯機パン_640"), mm(640), mm(640), [](QPainter& p) {
        roundBox(p, QRect(0, 0, mm(640), mm(640)), 6);
        roundBox(p, QRect(4, 4, mm(640) - 8, mm(640) - 8), 4);
        p.drawEllipse(QPoint(mm(640) - 12, mm(640) - 12), 3, 3);
    }));
    return parts;
}

// Two sliding leaves closing the front (bottom edge) of a cupboard w wide.
void frontLeaves(QPainter& p, int w, int y)
{
    useThin(p);
    p.drawRect(QRect(0, y - 6, w / 2 + 3, 3));
    p.drawRect(QRect(w / 2 - 3, y - 3, w - w / 2 + 3, 3));
}

std::vector<Part> storageAndRooms()
{
    std::vector<Part> parts;
    const int w = mm(1820);
    parts.push_back(makePart(QStringLiteral("押入_1820"), w, mm(910), [=](QPainter& p) {
        useThin(p);
        p.drawRect(0, 0, w, mm(910));
        // 中段, the shelf at half height, seen from above as a broken line.
        p.setPen(pen(kThin, Qt::DashLine));
        p.drawLine(0, mm(450), w, mm(450));
        frontLeaves(p, w, mm(910));
    }));
    parts.push_back(makePart(QStringLiteral("クローゼット_1820_折れ戸"), w, mm(600) + 24, [=](QPainter& p) {
        const int d = mm(600);
        useThin(p);
        p.drawRect(0, 0, w, d);
        p.setPen(pen(kThin, Qt::DashLine));
        p.drawLine(0, d / 2, w, d / 2); // the hanger rail
        useLeaf(p);
        for (const int x0 : {0, w / 2}) {
            const int q = w / 8;
            p.drawPolyline(QPolygon({{x0, d}, {x0 + q, d + q / 2}, {x0 + 2 * q, d}}));
            p.drawPolyline(QPolygon({{x0 + 2 * q, d}, {x0 + 3 * q, d + q / 2}, {x0 + 4 * q, d}}));
        }
    }));
    parts.push_back(makePart(QStringLiteral("床の間_1820"), w, mm(910), [=](QPainter& p) {
        useThin(p);
        p.drawRect(0, 0, w, mm(910));
        const int frame = mm(910) - 8;
        p.drawLine(0, frame, w, frame); // 床框
        p.drawLine(0, 0, w, frame);
    }));
    return parts;
}

std::vector<Part> livingFurniture()
{
    std::vector<Part> parts;
    for (const auto& [name, width, pillows] : {std::tuple{"ベッド_シングル_1000x2000", 1000, 1},
                                               std::tuple{"ベッド_ダブル_1400x2000", 1400, 2}}) {
        const int w = mm(width), h = mm(2000), n = pillows;
        parts.push_back(makePart(QString::fromUtf8(name), w, h, [=](QPainter& p) {
            useThin(p);
            p.drawRect(0, 0, w, h);
            const int pw = (w - 8 - (n - 1) * 4) / n;
            for (int i = 0; i < n; ++i)
                roundBox(p, QRect(4 + i * (pw + 4), 5, pw, mm(350)), 5);
            // The turned-back cover.
            p.drawLine(0, mm(600), w, mm(600));
            p.drawLine(w - mm(300), mm(600), w, mm(900));
        }));
    }
    parts.push_back(makePart(QStringLiteral("ソファ_1800"), mm(1800), mm(850), [](QPainter& p) {
        const int w = mm(1800), h = mm(850), arm = mm(200);
        roundBox(p, QRect(0, 0, w, h), 4);
        p.drawLine(arm, mm(200), w - arm, mm(200));
        p.drawLine(arm, mm(200), arm, h);
        p.drawLine(w - arm, mm(200), w - arm, h);
        for (int i = 1; i < 3; ++i) {
            const int x = arm + i * (w - 2 * arm) / 3;
            p.drawLine(x, mm(200), x, h);
        }
    }));
    parts.push_back(makePart(QStringLiteral("ダイニングテーブル_4人"), mm(1350), mm(1600), [](QPainter& p) {
        const int w = mm(1350), chair = mm(450);
        for (const int x : {mm(150), w - mm(150) - chair})
            for (const int y : {0, mm(1600) - chair})
                roundBox(p, QRect(x, y, chair, chair), 4);
        solidBox(p, QRect(0, mm(400), w, mm(800)));
    }));
    parts.push_back(makePart(QStringLiteral("デスク_1000"), mm(1000), mm(900), [](QPainter& p) {
        roundBox(p, QRect(mm(275), mm(450), mm(450), mm(450)), 4);
        solidBox(p, QRect(0, 0, mm(1000), mm(600)));
    }));
    parts.push_back(makePart(QStringLiteral("テレビボード_1500"), mm(1500), mm(450), [](QPainter& p) {
        useThin(p);
        p.drawRect(0, 0, mm(1500), mm(450));
        useLeaf(p);
        p.drawLine(mm(250), mm(150), mm(1250), mm(150)); // the screen
        useThin(p);
        p.drawRect(QRect(mm(600), mm(150), mm(300), mm(150)));
    }));
    return parts;
}

} // namespace

std::vector<Part> stairsAndMarks() { return stairs(); }

std::vector<Part> furniture()
{
    std::vector<Part> parts = kitchenAndBath();
    for (auto* more : {&storageAndRooms, &livingFurniture})
        for (Part& part : more())
            parts.push_back(std::move(part));
    return parts;
}

} // namespace partsgen
