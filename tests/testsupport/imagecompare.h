#pragma once
// Image comparison for tests: on a difference it reports the first differing
// pixel and saves both pictures under the build folder so the fault can be seen.
#include <QImage>
#include <QString>

namespace testsupport {

// Empty when equal (size and every pixel's RGB), else a description.
QString compareImages(const QImage& actual, const QImage& expected, const QString& name);
// Folder for pictures saved by failing tests.
QString outputDir();
// Counts pixels of exactly the colour inside rect (whole image when null).
int countColour(const QImage& img, QRgb colour, const QRect& rect = QRect());
// A white RGB32 image.
QImage whiteImage(int w, int h);
// Overwrites every pixel of an RGB32 image with opaque random colours from seed.
void fillNoise(QImage& img, quint32 seed);

} // namespace testsupport

#define COMPARE_IMAGES(actual, expected, name)                                  \
    do {                                                                        \
        const QString diff_ = testsupport::compareImages(actual, expected, name); \
        QVERIFY2(diff_.isEmpty(), qPrintable(diff_));                           \
    } while (0)
