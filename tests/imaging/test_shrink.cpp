// Shrinking by area averaging: the whole picture agrees with an exact area
// average, thin lines keep their ink, and recomputing one block after a
// local change gives what shrinking the whole changed picture gives.
#include "imaging/effects/effectcore.h"
#include "imaging/effects/shrink.h"
#include "testsupport/testmain.h"
#include <QPainter>
#include <QtTest>
#include <opencv2/imgproc.hpp>
#include <algorithm>

using namespace gf5;

namespace {

// A plan of 1-pixel lines at odd spacings, a thick wall and a diagonal.
QImage linePlan(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 1));
    for (int x = 7; x < w; x += 37)
        p.drawLine(x, 0, x, h - 1);
    for (int y = 5; y < h; y += 53)
        p.drawLine(0, y, w - 1, y);
    p.setPen(QPen(QColor(200, 30, 60), 12));
    p.drawRect(40, 60, w - 100, h - 130);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(0, 0, w - 1, h - 1);
    return img;
}

// Exact area average of the whole picture (OpenCV's area resize).
QImage exactArea(const QImage& src, QSize size)
{
    QImage out(size, QImage::Format_RGB32);
    cv::Mat o = fx::viewOf(out);
    cv::resize(fx::constViewOf(src), o, o.size(), 0, 0, cv::INTER_AREA);
    return out;
}

// Largest difference of any colour channel inside rect.
int largestDifference(const QImage& a, const QImage& b, QRect rect = QRect())
{
    if (rect.isNull())
        rect = a.rect();
    int worst = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

double ink(const QImage& img)
{
    return 255.0 - cv::mean(fx::constViewOf(img))[0];
}

} // namespace

class TestShrink : public QObject {
    Q_OBJECT
private slots:
    void wholePictureMatchesAnExactAreaAverage()
    {
        const QImage plan = linePlan(2339, 1654);
        for (const QSize size : {QSize(519, 367), QSize(1200, 849), QSize(1560, 1103), QSize(97, 61)}) {
            const QImage ours = fx::shrinkArea(plan, size);
            QCOMPARE(ours.size(), size);
            QCOMPARE(ours.format(), QImage::Format_RGB32);
            const QImage exact = exactArea(plan, size);
            QVERIFY2(largestDifference(ours, exact) <= 8, qPrintable(QString::number(size.width())));
            // The lines' ink is kept: no line falls between samples.
            QVERIFY(std::abs(ink(ours) - ink(exact)) < 0.05 * ink(exact));
        }
        // Grey and indexed pictures come back as RGB32 of the same values.
        const QImage grey = plan.convertToFormat(QImage::Format_Grayscale8);
        const QImage fromGrey = fx::shrinkArea(grey, QSize(519, 367));
        QCOMPARE(fromGrey.format(), QImage::Format_RGB32);
        QVERIFY(largestDifference(fromGrey, exactArea(grey.convertToFormat(QImage::Format_RGB32), QSize(519, 367))) <= 3);
        // Transparency survives (it is drawn over the display's background).
        QImage clear(400, 300, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        clear.setPixel(0, 0, qRgba(255, 0, 0, 255));
        const QImage fromClear = fx::shrinkArea(clear, QSize(100, 75));
        QCOMPARE(fromClear.format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(qAlpha(fromClear.pixel(50, 40)), 0);
        QVERIFY(qAlpha(fromClear.pixel(0, 0)) > 0 && qGreen(fromClear.pixel(0, 0)) == 0);
        // Alternate black and white columns halve to mid grey.
        QImage stripes(100, 60, QImage::Format_RGB32);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 100; ++x)
                stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        const QImage half = fx::shrinkArea(stripes, QSize(50, 30));
        QVERIFY(std::abs(qRed(half.pixel(0, 0)) - 128) <= 1 && std::abs(qRed(half.pixel(49, 29)) - 128) <= 1);
    }

    void oneBlockAfterALocalChangeMatchesTheWholeAgain()
    {
        QImage plan = linePlan(2339, 1654);
        const QSize size(519, 367);
        QImage view = fx::shrinkArea(plan, size);
        const QImage before = view.copy();
        // The user draws a wall and a thin line in one corner of the plan.
        const QRect changed(1500, 900, 420, 300);
        {
            QPainter p(&plan);
            p.fillRect(QRect(1520, 950, 380, 25), Qt::black);
            p.setPen(QPen(Qt::blue, 1));
            p.drawLine(1501, 1199, 1919, 901);
        }
        const double kx = double(size.width()) / plan.width(), ky = double(size.height()) / plan.height();
        const QRect block(QPoint(int(changed.left() * kx) - 1, int(changed.top() * ky) - 1),
                          QPoint(int((changed.right() + 1) * kx) + 1, int((changed.bottom() + 1) * ky) + 1));
        fx::shrinkAreaInto(plan, view, block);
        const QImage whole = fx::shrinkArea(plan, size);
        QVERIFY2(largestDifference(view, whole, block) <= 8,
                 qPrintable(QString::number(largestDifference(view, whole, block))));
        QVERIFY(largestDifference(view, before, block) > 100); // the wall did arrive
        // Nothing outside the block moved.
        QImage outside = view.copy();
        QPainter p(&outside);
        p.fillRect(block, Qt::white);
        p.end();
        QImage beforeOutside = before.copy();
        QPainter q(&beforeOutside);
        q.fillRect(block, Qt::white);
        q.end();
        QCOMPARE(largestDifference(outside, beforeOutside), 0);
        // Blocks reaching past the edges are clipped; an empty one does nothing.
        fx::shrinkAreaInto(plan, view, QRect(-20, -20, 40, 40));
        fx::shrinkAreaInto(plan, view, QRect(500, 350, 100, 100));
        fx::shrinkAreaInto(plan, view, QRect());
        QVERIFY(largestDifference(view, whole, QRect(0, 0, 20, 20)) <= 8);
        QVERIFY(largestDifference(view, whole, QRect(500, 350, 19, 17)) <= 8);
    }
};

ZORVAT_TEST_MAIN(TestShrink)
#include "test_shrink.moc"
