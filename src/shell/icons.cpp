#include "icons.h"
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

namespace icons {
namespace {

constexpr int S = 20;

void arrow(QPainter& p, int dx, int dy)
{
    // A filled triangle pointing in (dx, dy) with a short shaft.
    const QPointF c(S / 2.0, S / 2.0);
    const QPointF d(dx, dy), n(-dy, dx);
    QPolygonF head{c + d * 7, c + n * 6, c - n * 6};
    p.setBrush(Qt::black);
    p.drawPolygon(head);
    p.fillRect(QRectF(c - n * 2 - d * 7, c + n * 2).normalized(), Qt::black);
}

void corner(QPainter& p, bool left, bool top)
{
    // Two thick strokes meeting in a corner of a room.
    QPen pen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap);
    p.setPen(pen);
    const int x = left ? 4 : S - 4, y = top ? 4 : S - 4;
    p.drawLine(x, y, left ? S - 2 : 2, y);
    p.drawLine(x, y, x, top ? S - 2 : 2);
}

void rotateArrow(QPainter& p, bool clockwise)
{
    // Three quarters of a circle ending at the bottom, the arrow head showing the turn.
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(4, 4, 12, 12), clockwise ? 180 * 16 : 0, clockwise ? -270 * 16 : 270 * 16);
    p.setBrush(Qt::black);
    if (clockwise)
        p.drawPolygon(QPolygon{QPoint(11, 12), QPoint(11, 20), QPoint(6, 16)});
    else
        p.drawPolygon(QPolygon{QPoint(9, 12), QPoint(9, 20), QPoint(14, 16)});
}

void mirror(QPainter& p, bool leftRight)
{
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    if (leftRight)
        p.drawLine(10, 1, 10, 19);
    else
        p.drawLine(1, 10, 19, 10);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    if (leftRight) {
        p.drawPolygon(QPolygon{QPoint(8, 4), QPoint(8, 16), QPoint(2, 16)});
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon{QPoint(12, 4), QPoint(12, 16), QPoint(18, 16)});
    } else {
        p.drawPolygon(QPolygon{QPoint(4, 8), QPoint(16, 8), QPoint(16, 2)});
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon{QPoint(4, 12), QPoint(16, 12), QPoint(16, 18)});
    }
}

void page(QPainter& p, const QRect& r)
{
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(r);
}

} // namespace

QIcon make(Icon icon)
{
    QPixmap pm(S, S);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(Qt::black, 2);
    p.setPen(pen);
    const QRect box(4, 4, 12, 12);
    switch (icon) {
    case Icon::ArrowUp: arrow(p, 0, -1); break;
    case Icon::ArrowDown: arrow(p, 0, 1); break;
    case Icon::ArrowLeft: arrow(p, -1, 0); break;
    case Icon::ArrowRight: arrow(p, 1, 0); break;
    case Icon::Plus: p.drawLine(10, 3, 10, 17); p.drawLine(3, 10, 17, 10); break;
    case Icon::Minus: p.drawLine(3, 10, 17, 10); break;
    case Icon::Slash: p.drawLine(15, 3, 5, 17); break;
    case Icon::Door:
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(3, 17, 17, 17);
        p.drawLine(3, 17, 3, 4);
        p.setPen(QPen(Qt::black, 1));
        p.drawArc(QRect(-11, 3, 28, 28), 0, 90 * 16);
        break;
    case Icon::SlidingDoor:
        p.fillRect(QRect(2, 10, 16, 4), Qt::black);
        p.setPen(QPen(Qt::black, 2, Qt::DotLine));
        p.drawLine(2, 7, 18, 7);
        break;
    case Icon::CornerTopLeft: corner(p, true, true); break;
    case Icon::CornerTopRight: corner(p, false, true); break;
    case Icon::CornerBottomLeft: corner(p, true, false); break;
    case Icon::CornerBottomRight: corner(p, false, false); break;
    case Icon::FillBox: p.setPen(Qt::black); p.setBrush(Qt::black); p.drawRect(box); break;
    case Icon::Box: p.drawRect(box); break;
    case Icon::EdgeTop: p.setPen(QPen(Qt::gray, 1, Qt::DotLine)); p.drawRect(box); p.setPen(pen); p.drawLine(4, 4, 16, 4); break;
    case Icon::EdgeBottom: p.setPen(QPen(Qt::gray, 1, Qt::DotLine)); p.drawRect(box); p.setPen(pen); p.drawLine(4, 16, 16, 16); break;
    case Icon::EdgeLeft: p.setPen(QPen(Qt::gray, 1, Qt::DotLine)); p.drawRect(box); p.setPen(pen); p.drawLine(4, 4, 4, 16); break;
    case Icon::EdgeRight: p.setPen(QPen(Qt::gray, 1, Qt::DotLine)); p.drawRect(box); p.setPen(pen); p.drawLine(16, 4, 16, 16); break;
    case Icon::DiagonalUp: p.drawLine(16, 4, 4, 16); break;
    case Icon::DiagonalDown: p.drawLine(4, 4, 16, 16); break;
    case Icon::QuarterBottomRight: p.drawArc(QRect(4, 4, 24, 24), 90 * 16, 90 * 16); break;
    case Icon::QuarterTopRight: p.drawArc(QRect(4, -8, 24, 24), 180 * 16, 90 * 16); break;
    case Icon::QuarterBottomLeft: p.drawArc(QRect(-8, 4, 24, 24), 0, 90 * 16); break;
    case Icon::QuarterTopLeft: p.drawArc(QRect(-8, -8, 24, 24), 270 * 16, 90 * 16); break;
    case Icon::Circle: p.drawEllipse(box); break;
    case Icon::RoundBox: p.drawRoundedRect(box, 4, 4); break;
    case Icon::HalfUp: p.drawArc(QRect(3, 5, 14, 22), 0, 180 * 16); break;
    case Icon::HalfDown: p.drawArc(QRect(3, -7, 14, 22), 180 * 16, 180 * 16); break;
    case Icon::HalfLeft: p.drawArc(QRect(5, 3, 22, 14), 90 * 16, 180 * 16); break;
    case Icon::HalfRight: p.drawArc(QRect(-7, 3, 22, 14), 270 * 16, 180 * 16); break;
    case Icon::FillMode:
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon{QPoint(3, 9), QPoint(10, 2), QPoint(17, 9), QPoint(10, 16)});
        p.setBrush(QColor(40, 90, 220));
        p.drawEllipse(QRect(14, 12, 5, 6));
        break;
    case Icon::Undo:
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(5, 5, 12, 11), -90 * 16, 200 * 16);
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon{QPoint(2, 6), QPoint(9, 2), QPoint(9, 10)});
        break;
    case Icon::Copy: p.setPen(QPen(Qt::black, 1)); page(p, QRect(2, 2, 10, 12)); page(p, QRect(8, 6, 10, 12)); break;
    case Icon::Paste:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(200, 160, 90));
        p.drawRect(QRect(3, 3, 12, 15));
        page(p, QRect(8, 8, 9, 10));
        break;
    case Icon::Palette:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(230, 200, 150));
        p.drawEllipse(QRect(2, 3, 16, 14));
        for (auto [c, x, y] : {std::tuple{QColor(Qt::red), 5, 6}, {QColor(Qt::blue), 10, 5}, {QColor(Qt::green), 13, 9}}) {
            p.setBrush(c);
            p.drawEllipse(QRect(x, y, 3, 3));
        }
        break;
    case Icon::RotateClockwise: rotateArrow(p, true); break;
    case Icon::RotateCounterClockwise: rotateArrow(p, false); break;
    case Icon::MirrorLeftRight: mirror(p, true); break;
    case Icon::MirrorTopBottom: mirror(p, false); break;
    case Icon::ClipboardToPreview:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(200, 160, 90));
        p.drawRect(QRect(2, 3, 9, 13));
        arrow(p, 1, 0);
        break;
    case Icon::Open:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRect(2, 6, 16, 11));
        break;
    case Icon::Save:
    case Icon::SaveAs:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(60, 90, 160));
        p.drawRect(QRect(3, 3, 14, 14));
        p.setBrush(Qt::white);
        p.drawRect(QRect(6, 3, 8, 5));
        if (icon == Icon::SaveAs) {
            p.setPen(QPen(Qt::red, 2));
            p.drawLine(11, 17, 18, 10);
        }
        break;
    case Icon::NewImage: p.setPen(QPen(Qt::black, 1)); page(p, QRect(4, 2, 12, 16)); break;
    case Icon::Revert: rotateArrow(p, false); break;
    case Icon::Scan:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::lightGray);
        p.drawRect(QRect(2, 9, 16, 7));
        p.setPen(QPen(Qt::green, 2));
        p.drawLine(3, 12, 17, 12);
        break;
    case Icon::Print:
        p.setPen(QPen(Qt::black, 1));
        page(p, QRect(5, 2, 10, 7));
        p.setBrush(Qt::darkGray);
        p.drawRect(QRect(2, 9, 16, 7));
        break;
    case Icon::Help:
        p.setPen(Qt::black);
        p.setFont(QFont("DejaVu Sans", 12, QFont::Bold));
        p.drawText(QRect(0, 0, S, S), Qt::AlignCenter, "?");
        break;
    case Icon::Exit:
        p.setPen(QPen(Qt::darkRed, 2));
        p.drawLine(5, 5, 15, 15);
        p.drawLine(15, 5, 5, 15);
        break;
    }
    p.end();
    return QIcon(pm);
}

QPixmap fillCursorPixmap()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.drawPixmap(4, 4, make(Icon::FillMode).pixmap(20, 20));
    p.setPen(Qt::black);
    p.drawLine(0, 0, 6, 0);
    p.drawLine(0, 0, 0, 6);
    return pm;
}

} // namespace icons
