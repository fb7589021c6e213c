// The line and shape tools, drawn through the window on a real image.
#include "canvas_support.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QPushButton>
#include <QRadioButton>

using namespace testsupport;
using namespace canvastest;

namespace {
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);

// Selection of the shape tests: 60 wide and 40 high, so that the two radii
// of every ellipse differ.
constexpr int L = 100, T = 50, R = 160, B = 90;

Curve expectedCurve(int tool)
{
    const double w = R - L, h = B - T, mx = (L + R) / 2.0, my = (T + B) / 2.0;
    switch (tool) {
    case 0:
        return join({segment({L, T}, {R, T}), segment({R, T}, {R, B}), segment({R, B}, {L, B}),
                     segment({L, B}, {L, T})});
    case 1: return segment({L, T}, {R, T});
    case 2: return segment({L, B}, {R, B});
    case 3: return segment({L, T}, {L, B});
    case 4: return segment({R, T}, {R, B});
    case 5: return segment({R, T}, {L, B});
    case 6: return segment({L, T}, {R, B});
    case 7: return ellipseArc(R, B, w, h, 180, 270);  // around the bottom-right corner
    case 8: return ellipseArc(R, T, w, h, 90, 180);   // top-right
    case 9: return ellipseArc(L, B, w, h, 270, 360);  // bottom-left
    case 10: return ellipseArc(L, T, w, h, 0, 90);    // top-left
    case 11: return ellipseArc(mx, my, w / 2, h / 2, 0, 360);
    case 13: return ellipseArc(mx, B, w / 2, h, 180, 360); // arch on the bottom edge
    case 14: return ellipseArc(mx, T, w / 2, h, 0, 180);   // hanging from the top edge
    case 15: return ellipseArc(R, my, w, h / 2, 90, 270);  // bulging left from the right edge
    case 16: return ellipseArc(L, my, w, h / 2, -90, 90);  // bulging right from the left edge
    default: return {};
    }
}
} // namespace

class TestShapes : public QObject {
    Q_OBJECT

    ProgramDir dir;

    // A window with a one-pixel black solid pen and the test selection.
    void prepare(MainWindow& f)
    {
        setComboText(f.cmbWidth, "1");
        setComboText(f.cmbPenStyle, "――");
        f.optColorPicMethod[0]->setChecked(true);
        select(f, L, T, R, B);
    }

private slots:
    void eachToolDrawsItsShapeAndNothingElse_data()
    {
        QTest::addColumn<int>("tool");
        for (int tool = 0; tool <= 16; ++tool)
            if (tool != 12)
                QTest::newRow(qPrintable(QString("tool %1").arg(tool))) << tool;
    }

    void eachToolDrawsItsShapeAndNothingElse()
    {
        QFETCH(int, tool);
        MainWindow f({}, dir.path());
        prepare(f);
        f.btnFill[size_t(tool + 1)]->click();
        const QImage img = canvasImage(f);
        const Curve curve = expectedCurve(tool);
        const std::vector<QPoint> black = pixelsOf(img, kBlack);
        QVERIFY2(black.size() > 30, qPrintable(QString("only %1 black pixels").arg(black.size())));
        for (const QPoint& p : black) {
            const double d = distanceTo(curve, QPointF(p) + QPointF(0.5, 0.5));
            QVERIFY2(d <= 2.0, qPrintable(QString("pixel (%1, %2) is %3 from the shape")
                                              .arg(p.x()).arg(p.y()).arg(d)));
        }
        // The shape runs its whole length: samples along it are drawn.
        for (size_t i = 0; i < curve.size(); i += curve.size() / 12)
            QVERIFY2(colourNear(img, curve[i], kBlack, 2),
                     qPrintable(QString("nothing drawn near (%1, %2)").arg(curve[i].x()).arg(curve[i].y())));
        // The selection stays shown where it was.
        QCOMPARE(selection(f), QRect(QPoint(L, T), QPoint(R, B)));
        QCOMPARE(f.dspCanvas->DisplayMode(), int16_t(2));
    }

    void quarterCircleAroundTheBottomRightCorner()
    {
        MainWindow f({}, dir.path());
        prepare(f);
        select(f, 100, 50, 140, 90);
        f.btnFill[8]->click();
        const QImage img = canvasImage(f);
        const std::vector<QPoint> black = pixelsOf(img, kBlack);
        QVERIFY(black.size() > 50); // a quarter of 2 * pi * 40 is about 63
        for (const QPoint& p : black) {
            const double d = std::hypot(p.x() + 0.5 - 140, p.y() + 0.5 - 90);
            QVERIFY2(std::abs(d - 40) <= 1.5, qPrintable(QString("(%1, %2)").arg(p.x()).arg(p.y())));
            QVERIFY(p.x() <= 141 && p.y() <= 91);
        }
        QVERIFY(colourNear(img, {140, 50}, kBlack, 1));
        QVERIFY(colourNear(img, {100, 90}, kBlack, 1));
        QVERIFY(colourNear(img, {140 - 40 / std::sqrt(2.0), 90 - 40 / std::sqrt(2.0)}, kBlack, 1));
    }

    void roundBoxCornerFollowsTheWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("corner");
        QTest::newRow("50 wide") << 50 << 12;
        QTest::newRow("70 wide") << 70 << 18;
    }

    void roundBoxCornerFollowsTheWidth()
    {
        QFETCH(int, width);
        QFETCH(int, corner);
        MainWindow f({}, dir.path());
        prepare(f);
        select(f, 100, 100, 100 + width, 300); // tall: the height must not matter
        f.btnFill[13]->click();
        const QImage img = canvasImage(f);
        // Outline through the pixel centres of the box's edges, corners
        // rounded by circles of half the corner size.
        const double l = 100.5, t = 100.5, r = 100 + width - 0.5, b = 299.5, rc = corner / 2.0;
        const Curve curve = join({segment({l + rc, t}, {r - rc, t}), segment({r, t + rc}, {r, b - rc}),
                                  segment({r - rc, b}, {l + rc, b}), segment({l, b - rc}, {l, t + rc}),
                                  ellipseArc(l + rc, t + rc, rc, rc, 180, 270),
                                  ellipseArc(r - rc, t + rc, rc, rc, 270, 360),
                                  ellipseArc(r - rc, b - rc, rc, rc, 0, 90),
                                  ellipseArc(l + rc, b - rc, rc, rc, 90, 180)});
        const std::vector<QPoint> black = pixelsOf(img, kBlack);
        QVERIFY(black.size() > 400);
        for (const QPoint& p : black)
            QVERIFY2(distanceTo(curve, QPointF(p) + QPointF(0.5, 0.5)) <= 1.2,
                     qPrintable(QString("pixel (%1, %2) is off the outline").arg(p.x()).arg(p.y())));
        // The straight edges start half a corner in; the corners are cut off.
        QCOMPARE(img.pixel(100 + corner / 2 + 1, 100), kBlack);
        QCOMPARE(img.pixel(100, 100 + corner / 2 + 1), kBlack);
        QCOMPARE(img.pixel(100, 299 - corner / 2 - 1), kBlack);
        for (int k = 0; k < corner / 4; ++k) {
            QCOMPARE(img.pixel(100 + k, 100), qRgb(255, 255, 255));
            QCOMPARE(img.pixel(100, 299 - k), qRgb(255, 255, 255));
        }
    }

    void penIsReadFromTheControlsWhenDrawing()
    {
        MainWindow f({}, dir.path());
        prepare(f);
        f.setCurrentColour(255); // red
        f.optColorPicMethod[1]->setChecked(true);
        setComboText(f.cmbWidth, "5");
        f.btnFill[2]->click(); // top edge
        QImage img = canvasImage(f);
        // A 5-pixel red line along y = 50, nothing black.
        int run = 0;
        for (int y = 40; y < 60; ++y)
            run += img.pixel(130, y) == kRed;
        QCOMPARE(run, 5);
        QCOMPARE(countColour(img, kBlack), 0);

        // Dashed: the line has gaps; unknown text: a solid line.
        f.optColorPicMethod[0]->setChecked(true);
        setComboText(f.cmbWidth, "1");
        setComboText(f.cmbPenStyle, "‐‐‐‐");
        select(f, 100, 200, 400, 260);
        f.btnFill[3]->click(); // bottom edge at y = 260
        img = canvasImage(f);
        const int dashed = countColour(img, kBlack, QRect(100, 258, 300, 5));
        QVERIFY2(dashed > 100 && dashed < 280, qPrintable(QString::number(dashed)));
        setComboText(f.cmbPenStyle, "点線");
        f.btnFill[2]->click(); // top edge at y = 200
        img = canvasImage(f);
        QVERIFY(countColour(img, kBlack, QRect(100, 198, 300, 5)) >= 298);
    }

    void wallPenOverridesTheLineSettings_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("width");
        QTest::newRow("optSize(6)") << 6 << 4;
        QTest::newRow("optSize(7)") << 7 << 3;
        QTest::newRow("optSize(8)") << 8 << 2;
        QTest::newRow("optSize(1)") << 1 << 1;
    }

    void wallPenOverridesTheLineSettings()
    {
        QFETCH(int, option);
        QFETCH(int, width);
        MainWindow f({}, dir.path());
        prepare(f);
        f.optSize[size_t(option)]->setChecked(true);
        setComboText(f.cmbWidth, "9");
        setComboText(f.cmbPenStyle, "……");
        f.setCurrentColour(255);
        f.optColorPicMethod[1]->setChecked(true);
        f.DrawSelectionShape(20, true, 200, 300, 400, 300);
        const QImage img = canvasImage(f);
        int run = 0;
        for (int y = 290; y < 310; ++y)
            run += img.pixel(300, y) == kBlack;
        QCOMPARE(run, width);
        // Solid and black along its whole length.
        QCOMPARE(countColour(img, kBlack, QRect(200, 290, 200, 20)), 200 * width);
        QCOMPARE(countColour(img, kRed), 0);
    }

    void noSelectionDrawsNothingAndTakesNoSnapshot()
    {
        MainWindow f({}, dir.path());
        prepare(f);
        const QImage before = canvasImage(f);
        for (const QRect& r : {QRect(), QRect(QPoint(10, 10), QPoint(0, 50)), QRect(QPoint(10, 10), QPoint(50, 0))}) {
            select(f, r.left(), r.top(), r.isNull() ? 0 : r.right(), r.isNull() ? 0 : r.bottom());
            f.btnFill[1]->click();
            f.btnFill[0]->click();
            f.DrawSelectionShape(20, false, 10, 10, 200, 200);
        }
        COMPARE_IMAGES(canvasImage(f), before, "shapes_no_selection");
        QCOMPARE(f.fxUndo.ResultImage, 0);
    }

    void eachDrawingIsOneUndoStep()
    {
        MainWindow f({}, dir.path());
        prepare(f);
        f.btnFill[1]->click();
        const QImage afterBox = canvasImage(f);
        f.btnFill[12]->click();
        QVERIFY(canvasImage(f) != afterBox);
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), afterBox, "shapes_undo");
    }
};

ZORVAT_TEST_MAIN(TestShapes)
#include "test_shapes.moc"
