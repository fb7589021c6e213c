// The keypad tracer with the wall map's help, on a 2LDK plan drawn at 1:50
// on an A3 page at 400 dpi: how long the walk and the offer take after the key (to idle), and
// a scripted trace of the whole plan that uses only what a user sees (the
// ink, the selection, the offered wall's outline) and the keys, counting key
// presses per wall with the help and, for comparison, the keypad moves the
// same walls take without it; every traced wall is compared with the plan's
// ground truth. The trace runs on the hand-drawn 2LDK with its exact map,
// and on generated scanned plans whose maps the window reads itself.
// ZORVAT_TRACE_DIAG=1 prints each read map against its truth and each wall
// traced: the keys it took and where it was drawn.
#include "bench.h"
#include "editor_session.h"
#include "plan.h"
#include "floorplan/key_steps.h"
#include "tracing/geometry.h"
#include <QPainter>
#include <QCheckBox>
#include <QRadioButton>
#include <QCoreApplication>
#include <QDir>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace bench;
using namespace bench::editor;
using tracing::Point;
using tracing::operator+;
using tracing::operator-;
using tracing::operator*;

constexpr double kDpi = 400;

// A 2LDK of 7280 x 9100 mm on a 910 mm grid: two bedrooms at the top, bath,
// washroom, hall and entrance across the middle, the living room with its
// kitchen below. Outer walls 150 mm, inner 120 mm; doors, a sliding door,
// the front door and windows as openings in their walls.
struct PlanWall {
    double ax, ay, bx, by, t;
};
struct PlanOpening {
    int wall;
    double from, to; // mm along the wall from its end a
    bool door;
};
const PlanWall kWalls[] = {
    {0, 0, 7280, 0, 150},       {7280, 0, 7280, 9100, 150},  {7280, 9100, 0, 9100, 150},
    {0, 9100, 0, 0, 150},       {0, 3640, 7280, 3640, 120},  {3640, 0, 3640, 3640, 120},
    {0, 5460, 3640, 5460, 120}, {2730, 3640, 2730, 5460, 120}, {3640, 3640, 3640, 5460, 120},
    {5460, 3640, 5460, 5460, 120}, {5460, 5460, 7280, 5460, 120},
};
const PlanOpening kOpenings[] = {
    {0, 900, 2700, false}, {0, 4500, 6300, false}, {2, 1000, 3600, false}, {3, 1500, 3300, false},
    {4, 2900, 3500, true}, {4, 4000, 4800, true},  {7, 500, 1300, true},   {8, 500, 1300, true},
    {9, 400, 1200, true},  {1, 4000, 4900, true},  {6, 800, 1600, true},
};

// The page (white, black ink) and its exact wall map in page pixels.
struct Page {
    QImage image;
    ink::WallMap truth;
};

Page drawPlan()
{
    constexpr int kWidth = 4677, kHeight = 6614; // A3 at 400 dpi
    const double k = kDpi / 25.4 / 50;           // page pixels per real millimetre at 1:50
    const double ox = (kWidth - 7280 * k) / 2, oy = (kHeight - 9100 * k) / 2;
    auto px = [&](double x, double y) { return Point{ox + x * k, oy + y * k}; };
    Page page;
    ink::WallMap& m = page.truth;
    m.width = kWidth;
    m.height = kHeight;
    m.dpi = kDpi;
    for (const PlanWall& w : kWalls) {
        ink::Wall wall;
        wall.a = px(w.ax, w.ay);
        wall.b = px(w.bx, w.by);
        wall.thickness = w.t * k;
        m.walls.push_back(wall);
    }
    for (const PlanOpening& o : kOpenings) {
        const PlanWall& w = kWalls[o.wall];
        const double len = std::hypot(w.bx - w.ax, w.by - w.ay);
        const double ux = (w.bx - w.ax) / len, uy = (w.by - w.ay) / len;
        m.openings.push_back({px(w.ax + ux * o.from, w.ay + uy * o.from), px(w.ax + ux * o.to, w.ay + uy * o.to),
                              o.wall});
    }
    // Junctions: where a wall's end lies on another wall.
    for (int i = 0; i < int(m.walls.size()); ++i)
        for (const Point end : {m.walls[size_t(i)].a, m.walls[size_t(i)].b}) {
            bool known = false;
            for (ink::Junction& j : m.junctions)
                if (tracing::distance(j.at, end) < 1) {
                    known = true;
                    if (std::find(j.walls.begin(), j.walls.end(), i) == j.walls.end())
                        j.walls.push_back(i);
                }
            if (known)
                continue;
            ink::Junction j{end, ink::JunctionType::End, {i}};
            for (int o = 0; o < int(m.walls.size()); ++o)
                if (o != i && tracing::distanceToSegment(m.walls[size_t(o)].a, m.walls[size_t(o)].b, end) < 1)
                    j.walls.push_back(o);
            m.junctions.push_back(j);
        }
    for (ink::Junction& j : m.junctions) {
        int ends = 0;
        for (const int w : j.walls)
            ends += tracing::distance(m.walls[size_t(w)].a, j.at) < 1 || tracing::distance(m.walls[size_t(w)].b, j.at) < 1;
        j.type = j.walls.size() < 2 ? ink::JunctionType::End : ends == int(j.walls.size()) ? ink::JunctionType::L
                                                                                           : ink::JunctionType::T;
    }

    page.image = QImage(kWidth, kHeight, QImage::Format_RGB32);
    page.image.fill(Qt::white);
    QPainter p(&page.image);
    for (const ink::Wall& w : m.walls) {
        p.setPen(QPen(Qt::black, w.thickness, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(QLineF(w.a.x, w.a.y, w.b.x, w.b.y));
    }
    for (size_t i = 0; i < m.openings.size(); ++i) {
        const ink::Opening& o = m.openings[i];
        const double t = m.walls[size_t(o.wall)].thickness;
        p.setPen(QPen(Qt::white, t + 2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QLineF(o.a.x, o.a.y, o.b.x, o.b.y));
        p.setPen(QPen(Qt::black, 2));
        if (!kOpenings[i].door) { // a window: two thin lines along the wall
            const Point n = tracing::unit(Point{-(o.b.y - o.a.y), o.b.x - o.a.x}) * (t / 4);
            p.drawLine(QLineF(o.a.x + n.x, o.a.y + n.y, o.b.x + n.x, o.b.y + n.y));
            p.drawLine(QLineF(o.a.x - n.x, o.a.y - n.y, o.b.x - n.x, o.b.y - n.y));
        } else { // a door leaf standing open, and its swing
            const double r = tracing::distance(o.a, o.b);
            const Point n = tracing::unit(Point{-(o.b.y - o.a.y), o.b.x - o.a.x}) * r;
            p.drawLine(QLineF(o.a.x, o.a.y, o.a.x + n.x, o.a.y + n.y));
            const double start = std::atan2(-(o.b.y - o.a.y), o.b.x - o.a.x) * 180 / M_PI;
            p.drawArc(QRectF(o.a.x - r, o.a.y - r, 2 * r, 2 * r), int(start * 16), -90 * 16);
        }
    }
    return page;
}

struct Piece {
    Point a, b;
    double thickness = 0;
    ink::WallKind kind = ink::WallKind::Solid;
    bool traced = false;
};

// The ground truth cut into the pieces a user traces one by one: each wall
// from stop to stop (its ends, the junctions on it, the edges of its
// openings), openings themselves left out.
std::vector<Piece> piecesOf(const ink::WallMap& truth)
{
    using namespace tracing;
    std::vector<Piece> out;
    for (int w = 0; w < int(truth.walls.size()); ++w) {
        const ink::Wall& wall = truth.walls[size_t(w)];
        const double len = distance(wall.a, wall.b);
        std::vector<double> stops{0, len};
        for (const ink::Junction& j : truth.junctions)
            if (distanceToSegment(wall.a, wall.b, j.at) < wall.thickness / 2)
                stops.push_back(std::clamp(along(wall.a, wall.b, j.at), 0.0, len));
        std::vector<std::pair<double, double>> gaps;
        for (const ink::Opening& o : truth.openings)
            if (o.wall == w) {
                const double s0 = along(wall.a, wall.b, o.a), s1 = along(wall.a, wall.b, o.b);
                stops.push_back(s0);
                stops.push_back(s1);
                gaps.push_back({std::min(s0, s1), std::max(s0, s1)});
            }
        std::sort(stops.begin(), stops.end());
        const Point u = unit(wall.b - wall.a);
        for (size_t i = 0; i + 1 < stops.size(); ++i) {
            const double s0 = stops[i], s1 = stops[i + 1], mid = (s0 + s1) / 2;
            if (s1 - s0 < 2)
                continue;
            bool inGap = false;
            for (auto [g0, g1] : gaps)
                inGap = inGap || (mid > g0 && mid < g1);
            if (!inGap)
                out.push_back({wall.a + u * s0, wall.a + u * s1, wall.thickness, wall.kind});
        }
    }
    return out;
}

QRectF bandBox(const Piece& p)
{
    using namespace tracing;
    const Point d = unit(p.b - p.a) * (p.thickness / 2);
    const Point a = p.a - d, b = p.b + d;
    const double h = p.thickness / 2;
    const double l = std::min(a.x, b.x), r = std::max(a.x, b.x), t = std::min(a.y, b.y), bo = std::max(a.y, b.y);
    const bool horizontal = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
    return horizontal ? QRectF(QPointF(l, t - h), QPointF(r, bo + h)) : QRectF(QPointF(l - h, t), QPointF(r + h, bo));
}

bool sameBox(const QRectF& a, const QRectF& b, double tol)
{
    return std::abs(a.left() - b.left()) <= tol && std::abs(a.right() - b.right()) <= tol &&
           std::abs(a.top() - b.top()) <= tol && std::abs(a.bottom() - b.bottom()) <= tol;
}

Point centre(const MainWindow& f, int first)
{
    return {(f.TrackRect[size_t(first)] + f.TrackRect[size_t(first + 2)]) / 2.0,
            (f.TrackRect[size_t(first + 1)] + f.TrackRect[size_t(first + 3)]) / 2.0};
}

Point selectionCentre(const MainWindow& f)
{
    return {(f.dspCanvas->SelectionLeft() + f.dspCanvas->SelectionRight()) / 2.0,
            (f.dspCanvas->SelectionTop() + f.dspCanvas->SelectionBottom()) / 2.0};
}

// Whether the wall just confirmed lies on the piece: both squares' centres
// within tol of its ends (either way round) and the square as thick as it.
bool onPiece(const MainWindow& f, const Piece& p, double tol)
{
    using tracing::distance;
    const Point s = centre(f, 4), e = centre(f, 8);
    const bool ends = (distance(s, p.a) <= tol && distance(e, p.b) <= tol) ||
                      (distance(s, p.b) <= tol && distance(e, p.a) <= tol);
    const int size = f.TrackRect[6] - f.TrackRect[4];
    return ends && std::abs(size - p.thickness) <= tol;
}

// A wall is in its place when both its squares' centres lie within this
// many pixels of its ends and the squares are as thick as it to within as
// much; the script corrects what the help left further off, as a user who
// sees the square beside the ink would, and counts it as a correction.
constexpr double kPlaced = 2.0;

struct Tally {
    int walls = 0, keys = 0, corrected = 0, off = 0, offered = 0;
    int keysWithout = 0;
};

// The keys a user presses today for one piece: place the square (a mouse
// drag, counted as one), R to size it, keypad 5, keypad moves of half the
// thickness to the far end, Ctrl+moves for the last pixels, the confirm key.
int keysWithoutHelp(const Piece& p)
{
    const double len = tracing::distance(p.a, p.b);
    const int step = 10; // the largest wall size, 20 pixels
    const int moves = int(len) / step;
    const int fine = int(std::lround(len)) % step;
    return 1 + 1 + 1 + moves + fine + 1;
}

class Tracer {
public:
    Tracer(MainWindow& f, std::vector<Piece> pieces) : f_(f), pieces_(std::move(pieces)) {}

    Tally run()
    {
        for (const Piece& p : pieces_)
            t_.keysWithout += keysWithoutHelp(p);
        t_.walls = int(pieces_.size());
        while (Piece* next = nextPiece()) {
            if (!takeOffer())
                traceByHand(*next);
        }
        return t_;
    }

private:
    void pad(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        pressKeypad(f_, k, m);
        ++t_.keys;
    }

    Piece* nextPiece()
    {
        // The untraced piece nearest the selection, as a user goes on from
        // where the last wall ended.
        Piece* best = nullptr;
        double bestDist = 1e18;
        const Point here = selectionCentre(f_);
        for (Piece& p : pieces_)
            if (!p.traced) {
                const double d = std::min(tracing::distance(here, p.a), tracing::distance(here, p.b));
                if (d < bestDist) {
                    bestDist = d;
                    best = &p;
                }
            }
        return best;
    }

    Piece* pieceUnderGuide()
    {
        const QRectF g = f_.dspCanvas->guide().boundingRect();
        if (g.isEmpty())
            return nullptr;
        for (Piece& p : pieces_)
            if (!p.traced && sameBox(bandBox(p), g, 2.5))
                return &p;
        return nullptr;
    }

    // Keypad Enter when the outline shows an untraced wall drawn the way the
    // last one was; keypad . to see the other offers first.
    bool takeOffer()
    {
        // The outline on the canvas is all the user goes by: keypad . shows
        // the next offer until the first one comes round again.
        const QPolygonF first = f_.dspCanvas->guide();
        if (first.isEmpty())
            return false;
        for (int i = 0; i < 8; ++i) {
            Piece* p = pieceUnderGuide();
            if (p && p->kind == lastKind_) {
                pad(Qt::Key_Enter);
                finish(*p, false);
                ++t_.offered;
                return true;
            }
            pad(Qt::Key_Period);
            untilIdle(f_);
            if (f_.dspCanvas->guide() == first)
                break;
        }
        return false;
    }

    // Keypad moves until the selection's centre is on target: whole steps
    // of the chosen wall size (what a plain keypad move does, as the user
    // sees) for the distance, then Ctrl+moves of one pixel, going one step
    // past and back when that takes fewer keys.
    void nudgeTo(Point target)
    {
        std::array<bool, 10> chosen{};
        for (int i = 1; i <= 9; ++i)
            chosen[size_t(i)] = f_.optSize[i]->isChecked();
        const int step = std::max(1, int(floorplan::keyStep(false, chosen, f_.WallSizeTable)));
        const Point c = selectionCentre(f_);
        auto move = [&](int d, Qt::Key forward, Qt::Key back) {
            const int n = std::abs(d);
            int coarse = n / step, fine = n % step;
            const bool past = fine > 0 && 1 + step - fine < fine;
            if (past) {
                ++coarse;
                fine = step - fine;
            }
            for (int i = 0; i < coarse; ++i)
                pad(d > 0 ? forward : back);
            for (int i = 0; i < fine; ++i)
                pad((d > 0) != past ? forward : back, Qt::ControlModifier);
        };
        move(int(std::lround(target.x - c.x)), Qt::Key_6, Qt::Key_4);
        move(int(std::lround(target.y - c.y)), Qt::Key_2, Qt::Key_8);
    }

    void traceByHand(Piece& p)
    {
        bool corrected = false;
        // Start at the end nearer the selection; the square is put roughly
        // there with the mouse (one action), a few pixels off.
        Point from = p.a, to = p.b;
        if (tracing::distance(selectionCentre(f_), p.b) < tracing::distance(selectionCentre(f_), p.a))
            std::swap(from, to);
        if (tracing::distance(selectionCentre(f_), from) > 1) {
            const int s = 20;
            select(f_, int(from.x) - s / 2 + 3, int(from.y) - s / 2 - 2, int(from.x) + s / 2 + 3, int(from.y) + s / 2 - 2);
            ++t_.keys;
        }
        pad(Qt::Key_5);
        if (std::getenv("ZORVAT_TRACE_DIAG"))
            std::printf("    snapped to (%.1f,%.1f) size %d for (%.1f,%.1f)\n", selectionCentre(f_).x, selectionCentre(f_).y,
                        f_.dspCanvas->SelectionRight() - f_.dspCanvas->SelectionLeft(), from.x, from.y);
        if (tracing::distance(selectionCentre(f_), from) > kPlaced ||
            std::abs(f_.dspCanvas->SelectionRight() - f_.dspCanvas->SelectionLeft() - p.thickness) > kPlaced) {
            // The snap missed: size it by hand is beyond a keypad user; move it.
            corrected = true;
            pad(Qt::Key_5);
            nudgeTo(from);
            pad(Qt::Key_5);
        }
        // The way to walk, then keypad * until the far end.
        const Point d = to - from;
        if (std::abs(d.x) >= std::abs(d.y))
            pad(d.x > 0 ? Qt::Key_6 : Qt::Key_4);
        else
            pad(d.y > 0 ? Qt::Key_2 : Qt::Key_8);
        for (int i = 0; i < 8 && tracing::distance(selectionCentre(f_), to) > kPlaced; ++i) {
            const Point before = selectionCentre(f_);
            pad(Qt::Key_Asterisk);
            if (tracing::distance(selectionCentre(f_), before) < 0.5)
                break;
            if (tracing::dot(to - selectionCentre(f_), d) < 0)
                break; // past the end
        }
        if (std::getenv("ZORVAT_TRACE_DIAG"))
            std::printf("    walked to (%.1f,%.1f) for (%.1f,%.1f)\n", selectionCentre(f_).x, selectionCentre(f_).y, to.x,
                        to.y);
        if (tracing::distance(selectionCentre(f_), to) > kPlaced) {
            corrected = true;
            nudgeTo(to);
        }
        lastKind_ = p.kind;
        pad(p.kind == ink::WallKind::Double ? Qt::Key_Minus : Qt::Key_Plus);
        finish(p, corrected);
    }

    void finish(Piece& p, bool corrected)
    {
        untilIdle(f_);
        p.traced = true;
        if (corrected)
            ++t_.corrected;
        const bool on = onPiece(f_, p, kPlaced);
        if (!on)
            ++t_.off;
        if (std::getenv("ZORVAT_TRACE_DIAG")) {
            const Point s = centre(f_, 4), e = centre(f_, 8);
            std::printf("  piece (%.1f,%.1f)-(%.1f,%.1f) t %.1f %s: keys %d%s, drawn (%.1f,%.1f)-(%.1f,%.1f) size %d%s\n",
                        p.a.x, p.a.y, p.b.x, p.b.y, p.thickness, p.kind == ink::WallKind::Double ? "dbl" : "sol",
                        t_.keys - keysBefore_, corrected ? " CORRECTED" : "", s.x, s.y, e.x, e.y,
                        f_.TrackRect[6] - f_.TrackRect[4], on ? "" : " OFF");
        }
        keysBefore_ = t_.keys;
    }
    int keysBefore_ = 0;

    MainWindow& f_;
    std::vector<Piece> pieces_;
    Tally t_;
    ink::WallKind lastKind_ = ink::WallKind::Solid;
};

// The generated plan as a scan, its ground truth, and a window of its own
// with the plan open and the map in the document.
struct Session {
    std::unique_ptr<MainWindow> f;
    ink::WallMap truth;
    std::vector<Piece> pieces;
    QString file;
};

Session& session(const Context& c)
{
    static Session* s = nullptr;
    if (s)
        return *s;
    s = new Session;
    const Page page = drawPlan();
    s->file = QDir(c.folder).filePath("traced-plan.bmp");
    page.image.save(s->file);
    s->truth = page.truth;
    s->pieces = piecesOf(page.truth);
    s->f = openWindow();
    openFile(*s->f, s->file);
    s->f->document.setWallMap(std::make_shared<const ink::WallMap>(page.truth));
    s->f->chkSnapToScan->setChecked(true);
    atExit([] {
        delete s;
        s = nullptr;
    });
    return *s;
}

// A piece with room to walk: the first horizontal one longer than 300 px.
const Piece& walkPiece(Session& s)
{
    for (const Piece& p : s.pieces)
        if (std::abs(p.b.x - p.a.x) > 300 && std::abs(p.b.y - p.a.y) < 1)
            return p;
    return s.pieces.front();
}

void selectSquareAt(MainWindow& f, Point c, int size)
{
    const tracing::Square q = tracing::squareAround(c, size);
    select(f, q.left, q.top, q.right, q.bottom);
}

void markAndHead(MainWindow& f, const Piece& p)
{
    selectSquareAt(f, p.a, int(std::lround(p.thickness)));
    pressKeypad(f, Qt::Key_5);
    pressKeypad(f, p.b.x > p.a.x ? Qt::Key_6 : Qt::Key_4);
    untilIdle(f);
}

const Registrar walkRow(
    "tracing: keypad * walks to the next stop (to idle)",
    [](const Context& c) {
        Session& s = session(c);
        MainWindow& f = *s.f;
        const Piece& p = walkPiece(s);
        markAndHead(f, p);
        const Point before = selectionCentre(f);
        const qint64 start = nowNs();
        pressKeypad(f, Qt::Key_Asterisk);
        untilIdle(f);
        const double ms = msSince(start);
        const bool walked = tracing::distance(selectionCentre(f), before) > 1;
        pressKeypad(f, Qt::Key_5); // the mark taken back
        untilIdle(f);
        return Outcome{walked && !f.WallStartMarked, 0, ms};
    },
    {}, msAtMost(50));

const Registrar offerRow(
    "tracing: keypad . shows the next offer (to idle)",
    [](const Context& c) {
        Session& s = session(c);
        MainWindow& f = *s.f;
        markAndHead(f, walkPiece(s));
        pressKeypad(f, Qt::Key_Asterisk);
        pressKeypad(f, Qt::Key_Plus);
        untilIdle(f);
        const QPolygonF first = f.dspCanvas->guide();
        const qint64 start = nowNs();
        pressKeypad(f, Qt::Key_Period);
        untilIdle(f);
        const double ms = msSince(start);
        const bool shown = !first.isEmpty() && !f.dspCanvas->guide().isEmpty();
        pressKey(f, Qt::Key_Z, Qt::ControlModifier); // the wall taken back
        untilIdle(f);
        return Outcome{shown, 0, ms};
    },
    {}, msAtMost(50));

const Registrar confirmRow(
    "tracing: keypad + draws the wall and offers the next (to idle)",
    [](const Context& c) {
        Session& s = session(c);
        MainWindow& f = *s.f;
        markAndHead(f, walkPiece(s));
        pressKeypad(f, Qt::Key_Asterisk);
        untilIdle(f);
        const qint64 start = nowNs();
        pressKeypad(f, Qt::Key_Plus);
        untilIdle(f);
        const double ms = msSince(start);
        const bool offered = !f.dspCanvas->guide().isEmpty();
        pressKey(f, Qt::Key_Z, Qt::ControlModifier);
        untilIdle(f);
        return Outcome{offered, 0, ms};
    });

bool wanted()
{
    const QStringList args = QCoreApplication::arguments();
    const int i = int(args.indexOf("--filter"));
    return i < 0 || i + 1 >= args.size() || QStringLiteral("tracing: scripted trace").contains(args[i + 1], Qt::CaseInsensitive);
}

void report(const char* title, const Tally& t, double seconds)
{
    const double perWall = t.walls ? double(t.keys) / t.walls : 0;
    const double without = t.walls ? double(t.keysWithout) / t.walls : 0;
    const double correctedShare = t.walls ? 100.0 * t.corrected / t.walls : 0;
    const bool ok = perWall <= 8 && correctedShare <= 5 && t.off == 0;
    std::printf("\n%s:\n", title);
    std::printf("  walls %d, keys %d, keys per wall %.1f with the help (target <= 8), %.1f without (keypad moves)\n",
                t.walls, t.keys, perWall, without);
    std::printf("  walls taken from the offer %d, needing a correction %d (%.1f %%, target <= 5 %%), "
                "more than 2 px off the truth %d, %.1f s  %s\n",
                t.offered, t.corrected, correctedShare, t.off, seconds, ok ? "ok" : "MISS");
}

// Opens the page through the open button, so the window reads its walls as
// it does for a user; map, when given, replaces what it read.
std::unique_ptr<MainWindow> windowOn(const QImage& page, const QString& name, const ink::WallMap* map)
{
    std::unique_ptr<MainWindow> f = openWindow();
    const QString file = QDir::temp().filePath(name);
    page.save(file);
    const bool opened = openFile(*f, file);
    QFile::remove(file);
    if (!opened)
        return nullptr;
    if (map)
        f->document.setWallMap(std::make_shared<const ink::WallMap>(*map));
    f->chkSnapToScan->setChecked(true);
    return f;
}

void traceGenerated(uint32_t seed, double dpi);

// Each truth wall beside the map wall lying along it, and each truth
// junction beside the nearest junction of the map.
void describeMap(const ink::WallMap& truth, const ink::WallMap& map)
{
    using namespace tracing;
    std::printf("\nmap against truth:\n");
    for (const ink::Wall& t : truth.walls) {
        const ink::Wall* best = nullptr;
        double bestOff = 1e9;
        for (const ink::Wall& w : map.walls) {
            if (std::abs(dot(unit(w.b - w.a), unit(t.b - t.a))) < 0.99)
                continue;
            const double off = distanceToSegment(t.a, t.b, (w.a + w.b) * 0.5);
            if (off < bestOff) {
                bestOff = off;
                best = &w;
            }
        }
        std::printf(" truth (%.1f,%.1f)-(%.1f,%.1f) t %.1f %s", t.a.x, t.a.y, t.b.x, t.b.y, t.thickness,
                    t.kind == ink::WallKind::Double ? "dbl" : "sol");
        if (best)
            std::printf(" | map (%.1f,%.1f)-(%.1f,%.1f) t %.1f %s off %.1f\n", best->a.x, best->a.y, best->b.x,
                        best->b.y, best->thickness, best->kind == ink::WallKind::Double ? "dbl" : "sol", bestOff);
        else
            std::printf(" | none\n");
    }
    for (const ink::Junction& j : truth.junctions) {
        double bestD = 1e9;
        const ink::Junction* best = nullptr;
        for (const ink::Junction& m : map.junctions)
            if (distance(m.at, j.at) < bestD) {
                bestD = distance(m.at, j.at);
                best = &m;
            }
        std::printf(" junction %d (%.1f,%.1f) | map %d (%.1f,%.1f) d %.1f\n", int(j.type), j.at.x, j.at.y,
                    best ? int(best->type) : -1, best ? best->at.x : 0, best ? best->at.y : 0, bestD);
    }
    for (const ink::Opening& o : truth.openings) {
        double bestD = 1e9;
        const ink::Opening* best = nullptr;
        for (const ink::Opening& m : map.openings) {
            const double d = std::min(distance(m.a, o.a) + distance(m.b, o.b), distance(m.a, o.b) + distance(m.b, o.a));
            if (d < bestD) {
                bestD = d;
                best = &m;
            }
        }
        std::printf(" opening (%.1f,%.1f)-(%.1f,%.1f) | map (%.1f,%.1f)-(%.1f,%.1f) d %.1f\n", o.a.x, o.a.y, o.b.x,
                    o.b.y, best ? best->a.x : 0, best ? best->a.y : 0, best ? best->b.x : 0, best ? best->b.y : 0, bestD);
    }
    std::printf(" map: %d walls, %d junctions, %d openings; truth %d, %d, %d\n", int(map.walls.size()),
                int(map.junctions.size()), int(map.openings.size()), int(truth.walls.size()),
                int(truth.junctions.size()), int(truth.openings.size()));
}

void scriptedTrace()
{
    if (!wanted())
        return;
    {
        const Page page = drawPlan();
        std::unique_ptr<MainWindow> f = windowOn(page.image, "zorvat-bench-traced-plan.bmp", &page.truth);
        if (!f) {
            std::printf("\nScripted trace: the plan did not open\n");
            return;
        }
        const qint64 start = nowNs();
        const Tally t = Tracer(*f, piecesOf(page.truth)).run();
        report("Scripted trace of a 2LDK at 1:50 on A3, 400 dpi, with its exact wall map", t, msSince(start) / 1000);
    }
    // Generated plans scanned (paper, blur, uneven light, dust, JPEG; no
    // skew, as the selection squares are upright), their walls read by the
    // window itself; each trace is compared with its plan's ground truth.
    // ZORVAT_TRACE_PLANS="seed:dpi seed:dpi ..." traces others instead.
    QString plans = qEnvironmentVariable("ZORVAT_TRACE_PLANS", QStringLiteral("7:400 3:400 11:300 7:300"));
    for (const QString& item : plans.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const uint32_t seed = item.section(QLatin1Char(':'), 0, 0).toUInt();
        const double dpi = item.section(QLatin1Char(':'), 1, 1).toDouble();
        if (dpi >= 100)
            traceGenerated(seed, dpi);
    }
}

const char* styleOf(const ink::WallMap& truth)
{
    int solid = 0, hollow = 0;
    for (const ink::Wall& w : truth.walls)
        (w.kind == ink::WallKind::Double ? hollow : solid) += 1;
    return hollow == 0 ? "solid walls" : solid == 0 ? "double-line walls" : "solid and double-line walls";
}

void traceGenerated(uint32_t seed, double dpi)
{
    plangen::Layout layout;
    layout.obliqueChance = 0;
    const plangen::Plan plan = plangen::generatePlan(seed, layout);
    plangen::Scanner scanner = plangen::randomScanner(seed);
    scanner.skewDegrees = 0;
    const plangen::Page page = plangen::renderScan(plan, dpi, scanner, seed);
    QImage image = QImage(page.image.data, page.image.cols, page.image.rows, int(page.image.step),
                          QImage::Format_BGR888)
                       .convertToFormat(QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    std::unique_ptr<MainWindow> f = windowOn(image, "zorvat-bench-generated-plan.png", nullptr);
    if (!f || !f->document.wallMap()) {
        std::printf("\nScripted trace of generated plan %u: the plan did not open or its walls were not read\n", seed);
        return;
    }
    if (std::getenv("ZORVAT_TRACE_DIAG"))
        describeMap(page.truth, *f->document.wallMap());
    const qint64 start = nowNs();
    const Tally t = Tracer(*f, piecesOf(page.truth)).run();
    char title[240];
    std::snprintf(title, sizeof title,
                  "Scripted trace of generated plan %u (1:100, A3, %.0f dpi, scanned, %s), walls read by the window "
                  "(%d walls in the map, %d in the truth)",
                  seed, dpi, styleOf(page.truth), int(f->document.wallMap()->walls.size()),
                  int(page.truth.walls.size()));
    report(title, t, msSince(start) / 1000);
}

const bool registered = (atExit(scriptedTrace), true);

} // namespace
