#include "imagecompare.h"
#include <QRandomGenerator>
#include <QDir>

namespace testsupport {

QString outputDir()
{
    QString dir = qEnvironmentVariable("ZORVAT_TEST_OUTPUT");
    if (dir.isEmpty())
        dir = QDir::tempPath() + "/zorvat-test-output";
    QDir().mkpath(dir);
    return dir;
}

QString compareImages(const QImage& actual, const QImage& expected, const QString& name)
{
    QString problem;
    if (actual.size() != expected.size()) {
        problem = QString("size %1x%2, expected %3x%4")
                      .arg(actual.width()).arg(actual.height())
                      .arg(expected.width()).arg(expected.height());
    } else {
        const QImage a = actual.convertToFormat(QImage::Format_RGB32);
        const QImage e = expected.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < a.height() && problem.isEmpty(); ++y) {
            const QRgb* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
            const QRgb* pe = reinterpret_cast<const QRgb*>(e.constScanLine(y));
            for (int x = 0; x < a.width(); ++x) {
                if ((pa[x] & 0xFFFFFF) != (pe[x] & 0xFFFFFF)) {
                    problem = QString("first difference at (%1, %2): %3, expected %4")
                                  .arg(x).arg(y)
                                  .arg(pa[x] & 0xFFFFFF, 6, 16, QChar('0'))
                                  .arg(pe[x] & 0xFFFFFF, 6, 16, QChar('0'));
                    break;
                }
            }
        }
    }
    if (problem.isEmpty())
        return {};
    const QString base = outputDir() + "/" + name;
    actual.save(base + "-actual.png");
    expected.save(base + "-expected.png");
    return problem + QString(" (saved %1-actual.png and -expected.png)").arg(base);
}

int countColour(const QImage& img, QRgb colour, const QRect& rect)
{
    const QImage a = img.convertToFormat(QImage::Format_RGB32);
    const QRect r = rect.isNull() ? a.rect() : rect.intersected(a.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            n += (p[x] & 0xFFFFFF) == (colour & 0xFFFFFF);
    }
    return n;
}

QImage whiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

void fillNoise(QImage& img, quint32 seed)
{
    QRandomGenerator rng(seed);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* p = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            p[x] = 0xFF000000u | (rng.generate() & 0xFFFFFF);
    }
}

} // namespace testsupport
