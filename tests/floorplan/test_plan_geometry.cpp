// Wall, corner, door and keypad-step geometry, without a window.
#include "floorplan/door_geometry.h"
#include "floorplan/key_steps.h"
#include "floorplan/wall_geometry.h"
#include "testsupport/testmain.h"

using namespace floorplan;

namespace QTest {
template <> char* toString(const Rect& r)
{
    return qstrdup(QByteArray("(") + QByteArray::number(r.left) + ", " + QByteArray::number(r.top) + ", " +
                   QByteArray::number(r.right) + ", " + QByteArray::number(r.bottom) + ")");
}
template <> char* toString(const Point& p)
{
    return qstrdup(QByteArray("(") + QByteArray::number(p.x) + ", " + QByteArray::number(p.y) + ")");
}
} // namespace QTest

class TestPlanGeometry : public QObject {
    Q_OBJECT

    const Rect start{100, 100, 120, 120};
    static Rect square20(int x, int y) { return {x, y, x + 20, y + 20}; }

private slots:
    void straightOrSlanted_data()
    {
        QTest::addColumn<int>("endX");
        QTest::addColumn<int>("endY");
        QTest::addColumn<int>("vertices");
        QTest::addColumn<Rect>("box");
        QTest::newRow("horizontal") << 200 << 100 << 0 << Rect{100, 100, 220, 120};
        QTest::newRow("diagonal") << 200 << 200 << 6 << Rect{100, 100, 220, 220};
        QTest::newRow("height 25 is straight") << 200 << 105 << 0 << Rect{100, 100, 220, 125};
        QTest::newRow("height 27 equals 1.5 a: straight") << 200 << 107 << 0 << Rect{100, 100, 220, 127};
        QTest::newRow("height 28 is slanted") << 200 << 108 << 6 << Rect{100, 100, 220, 128};
        QTest::newRow("height 30 is slanted") << 200 << 110 << 6 << Rect{100, 100, 220, 130};
        QTest::newRow("vertical") << 103 << 200 << 0 << Rect{100, 100, 123, 220};
        QTest::newRow("same square") << 100 << 100 << 0 << Rect{100, 100, 120, 120};
    }
    void straightOrSlanted()
    {
        QFETCH(int, endX);
        QFETCH(int, endY);
        QFETCH(int, vertices);
        QFETCH(Rect, box);
        const WallShape s = computeWallShape(start, square20(endX, endY), false);
        QCOMPARE(s.vertexCount, vertices);
        QCOMPARE(s.box, box);
    }

    void slantedHexagons()
    {
        // a = 18. Down-right and up-left both give the falling band.
        using A = std::array<int32_t, 6>;
        for (const Rect& end : {square20(200, 200)}) {
            const WallShape s = computeWallShape(start, end, false);
            QCOMPARE(s.xs, (A{100, 118, 220, 220, 202, 100}));
            QCOMPARE(s.ys, (A{100, 100, 202, 220, 220, 118}));
            const WallShape in = computeWallShape(start, end, true);
            QCOMPARE(in.xs, (A{102, 116, 218, 218, 204, 102}));
            QCOMPARE(in.ys, (A{102, 102, 204, 218, 218, 116}));
        }
        const WallShape back = computeWallShape(square20(200, 200), start, false);
        QCOMPARE(back.vertexCount, 6);
        QCOMPARE(back.xs, (A{100, 118, 220, 220, 202, 100}));
        // Up-right: the rising band.
        const WallShape rise = computeWallShape(square20(100, 200), square20(200, 100), false);
        QCOMPARE(rise.vertexCount, 6);
        QCOMPARE(rise.xs, (A{100, 202, 220, 220, 118, 100}));
        QCOMPARE(rise.ys, (A{202, 100, 100, 118, 220, 220}));
        const WallShape riseIn = computeWallShape(square20(100, 200), square20(200, 100), true);
        QCOMPARE(riseIn.xs, (A{102, 204, 218, 218, 116, 102}));
        QCOMPARE(riseIn.ys, (A{204, 102, 102, 116, 218, 218}));
        // Down-left is rising as well (end left of the start, below it).
        QCOMPARE(computeWallShape(square20(200, 100), square20(100, 200), false).xs, rise.xs);
    }

    void orientationAndDots()
    {
        QVERIFY(isHorizontal({0, 0, 10, 9}));
        QVERIFY(!isHorizontal({0, 0, 10, 10})); // a square is vertical
        QVERIFY(isDotSquare({50, 60, 57, 67}));
        QVERIFY(!isDotSquare({50, 60, 58, 67}));
        QCOMPARE(dotLine({10, 20, 17, 27}, {50, 60, 57, 67}), (Line{{13, 23}, {53, 63}}));
    }

    void widenAndNarrow()
    {
        QCOMPARE(adjustAcrossWall({100, 100, 220, 120}, true, 4), (Rect{120, 96, 200, 124}));
        QCOMPARE(adjustAcrossWall({100, 100, 120, 220}, true, 4), (Rect{96, 120, 124, 200}));
        // Halves go to the even neighbour: 97.5 -> 98, 122.5 -> 122.
        QCOMPARE(adjustAcrossWall({100, 100, 220, 120}, true, 2.5), (Rect{120, 98, 200, 122}));
        // Too short to leave anything after shortening by the thickness at both ends.
        QVERIFY(!adjustAcrossWall({100, 100, 140, 120}, true, 4).has_value());
        QVERIFY(!adjustAcrossWall({100, 100, 135, 120}, true, 4).has_value());
        QVERIFY(adjustAcrossWall({100, 100, 141, 120}, true, 4).has_value());
        QVERIFY(!adjustAcrossWall({100, 100, 120, 140}, true, 4).has_value());
        QCOMPARE(adjustAcrossWall({100, 100, 220, 120}, false, 4), (Rect{100, 102, 220, 118}));
        QCOMPARE(adjustAcrossWall({100, 100, 120, 220}, false, 4), (Rect{102, 100, 118, 220}));
    }

    void crossMarks()
    {
        QCOMPARE(crossMark({100, 102, 220, 118}, 4), (Line{{160, 98}, {160, 122}}));
        QCOMPARE(crossMark({102, 100, 118, 220}, 4), (Line{{98, 160}, {122, 160}}));
        // The middle rounds half to even as a whole: 101 + 58.5 = 159.5 -> 160.
        QCOMPARE(crossMark({101, 102, 218, 118}, 4).from.x, 160);
        QCOMPARE(crossMark({101, 102, 220, 118}, 4).from.x, 160); // 160.5 -> 160
    }

    void corners()
    {
        const Rect q{100, 100, 120, 120};
        QCOMPARE(cornerOpenings(1, q), (std::vector<Rect>{{102, 96, 118, 118}, {102, 102, 124, 118}}));
        QCOMPARE(cornerOpenings(3, q), (std::vector<Rect>{{96, 102, 118, 118}, {102, 96, 118, 118}}));
        QCOMPARE(cornerOpenings(7, q), (std::vector<Rect>{{102, 102, 122, 118}, {102, 102, 118, 124}}));
        QCOMPARE(cornerOpenings(9, q), (std::vector<Rect>{{96, 102, 118, 118}, {102, 102, 118, 124}}));
        QVERIFY(cornerOpenings(5, q).empty());
        QVERIFY(isCornerSquare({0, 0, 6, 6}));
        QVERIFY(!isCornerSquare({0, 0, 5, 5}));
        QVERIFY(!isCornerSquare({0, 0, 10, 12}));
        QVERIFY(!isCornerSquare({-10, -10, 0, 0}));
    }

    void keySteps()
    {
        const std::array<int16_t, 10> table{0, 20, 16, 12, 10, 8, 7, 7, 7, 7};
        std::array<bool, 10> chosen{};
        QCOMPARE(keyStep(false, chosen, table), 0); // nothing chosen
        QCOMPARE(keyStep(true, chosen, table), 1);
        chosen[6] = chosen[4] = true;               // the first chosen wins: 10 / 2
        QCOMPARE(keyStep(false, chosen, table), 5);
        chosen[4] = false;                          // 7 / 2 = 3.5 -> 4
        QCOMPARE(keyStep(false, chosen, table), 4);
        QCOMPARE(keyStep(true, chosen, table), 1);
        const std::array<int16_t, 10> thin{0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
        QCOMPARE(keyStep(false, chosen, thin), 1);  // 0.5 -> 0, raised to 1
    }

    void altResizeNeverTurnsInsideOut()
    {
        const Rect flat = resizeSelection({10, 20, 30, 21}, KeypadDirection::Up);
        QCOMPARE(flat, (Rect{10, 20, 30, 20}));
        QCOMPARE(resizeSelection(flat, KeypadDirection::Up), flat);
        QCOMPARE(resizeSelection({10, 20, 10, 40}, KeypadDirection::Left), (Rect{10, 20, 10, 40}));
        QCOMPARE(resizeSelection(flat, KeypadDirection::Right), (Rect{10, 20, 31, 20}));
        QCOMPARE(moveSelection({10, 20, 30, 40}, KeypadDirection::Up, 5), (Rect{10, 15, 30, 35}));
        QCOMPARE(moveSelection({10, 20, 30, 40}, KeypadDirection::Left, 5), (Rect{5, 20, 25, 40}));
    }

    void doorSwings()
    {
        const Rect a{100, 100, 120, 120}, b{160, 100, 180, 120}, c{100, 160, 120, 180};
        struct Row { Rect from, to; int side, leaf, arc; Point hinge; Rect square; };
        const Row rows[] = {
            {a, b, 1, 3, 9, {100, 99}, {100, 20, 180, 99}},   {b, a, 1, 4, 7, {180, 99}, {100, 20, 180, 99}},
            {a, b, 2, 3, 10, {100, 121}, {100, 121, 180, 200}}, {b, a, 2, 4, 8, {180, 121}, {100, 121, 180, 200}},
            {a, c, 1, 1, 8, {99, 100}, {20, 100, 99, 180}},   {c, a, 1, 2, 7, {99, 180}, {20, 100, 99, 180}},
            {a, c, 2, 1, 10, {121, 100}, {121, 100, 200, 180}}, {c, a, 2, 2, 9, {121, 180}, {121, 100, 200, 180}},
        };
        for (const Row& r : rows) {
            const DoorSwing s = doorSwing(r.from, r.to, r.side);
            QCOMPARE(int(s.leafTool), r.leaf);
            QCOMPARE(int(s.arcTool), r.arc);
            QCOMPARE(s.hinge, r.hinge);
            QCOMPARE(doorSquare(wallBox(r.from, r.to), r.side), r.square);
        }
    }

    void slidingDoorRectangles()
    {
        const Rect a{100, 100, 120, 120}, b{160, 100, 180, 120}, c{100, 160, 120, 180};
        const SlidingDoorFigures up = slidingDoorFigures(a, b, 1, false, 0);
        QCOMPARE(up.white, (Rect{100, 100, 180, 120}));
        QCOMPARE(up.black, (Rect{100, 110, 180, 120}));
        QCOMPARE(up.dotted, (Line{{100, 100}, {180, 100}}));
        QCOMPARE(slidingDoorFigures(a, b, 2, false, 0).dotted, (Line{{100, 120}, {180, 120}}));
        QCOMPARE(slidingDoorFigures(a, b, 1, true, 4).white, (Rect{100, 96, 180, 124})); // full length
        const SlidingDoorFigures left = slidingDoorFigures(a, c, 1, true, 4);
        QCOMPARE(left.white, (Rect{96, 100, 124, 180}));
        QCOMPARE(left.black, (Rect{110, 100, 120, 180}));
        QCOMPARE(slidingDoorFigures(a, c, 2, false, 0).black, (Rect{100, 100, 110, 180}));
    }

    void slidingDoorHalfThicknessTruncates()
    {
        const Rect s7{100, 100, 107, 107}, e7{150, 100, 157, 107};
        QCOMPARE(slidingDoorFigures(s7, e7, 1, false, 0).black, (Rect{100, 103, 157, 107})); // k = 3
        QCOMPARE(slidingDoorFigures({100, 100, 121, 121}, {160, 100, 181, 121}, 2, false, 0).k, 10);
        // Dust clearing rounds half to even: 97.5 -> 98, 122.5 -> 122.
        QCOMPARE(slidingDoorFigures({100, 100, 120, 120}, {160, 100, 180, 120}, 1, true, 2.5).white,
                 (Rect{100, 98, 180, 122}));
    }
};

ZORVAT_TEST_MAIN(TestPlanGeometry)
#include "test_plan_geometry.moc"
