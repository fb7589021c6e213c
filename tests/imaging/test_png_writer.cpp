// The PNG writer: every layout it writes itself reads back with the same
// pixels, resolution and texts; a device that fails mid-file is reported;
// a plan-like picture comes out no larger than Qt's own writer makes it.
#include "imaging/io/pngwriter.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

using namespace gf5;

namespace {

QImage readBack(const QByteArray& bytes)
{
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    QImageReader r(&b, "png");
    return r.read();
}

// A device that takes limit bytes and then refuses.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 limit) : m_left(limit) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 n) override
    {
        if (n > m_left)
            return -1;
        m_left -= n;
        return n;
    }

private:
    qint64 m_left;
};

QImage planLike(int w, int h)
{
    QImage img = testsupport::whiteImage(w, h);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 9));
    p.drawRect(20, 20, w - 40, h - 40);
    p.drawLine(20, h / 2, w - 20, h / 2);
    p.fillRect(40, 40, 60, 30, QColor(235, 245, 230));
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRect(30, 60, 200, 40), QStringLiteral("洋室 1"));
    return img;
}

} // namespace

class TestPngWriter : public QObject {
    Q_OBJECT

private slots:
    void layoutsReadBackUnchanged_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("RGB32") << int(QImage::Format_RGB32);
        QTest::newRow("ARGB32 with transparency") << int(QImage::Format_ARGB32);
        QTest::newRow("grey") << int(QImage::Format_Grayscale8);
        QTest::newRow("indexed, through Qt") << int(QImage::Format_Indexed8);
        QTest::newRow("RGB888, through Qt") << int(QImage::Format_RGB888);
    }

    void layoutsReadBackUnchanged()
    {
        QFETCH(int, format);
        QImage noise(37, 23, QImage::Format_ARGB32);
        testsupport::fillNoise(noise, 3);
        for (int y = 0; y < noise.height(); y += 3)
            reinterpret_cast<QRgb*>(noise.scanLine(y))[y] &= 0x40FFFFFFu;
        const QImage img = noise.convertToFormat(QImage::Format(format));
        QImage withFacts = img;
        withFacts.setDotsPerMeterX(15748);
        withFacts.setDotsPerMeterY(7874);
        withFacts.setText(QStringLiteral("Title"), QStringLiteral("間取り図 A"));
        withFacts.setText(QStringLiteral("Author"), QStringLiteral("plain"));

        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY(io::encodePng(withFacts, out, &error));
        QVERIFY(error.isEmpty());
        const QImage back = readBack(out.data());
        QVERIFY(!back.isNull());
        QCOMPARE(back.dotsPerMeterX(), 15748);
        QCOMPARE(back.dotsPerMeterY(), 7874);
        QCOMPARE(back.text(QStringLiteral("Title")), QStringLiteral("間取り図 A"));
        QCOMPARE(back.text(QStringLiteral("Author")), QStringLiteral("plain"));
        QCOMPARE(back.hasAlphaChannel(), img.hasAlphaChannel());
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QCOMPARE(back.pixel(x, y), img.pixel(x, y));
    }

    void aFailingDeviceIsReported()
    {
        const QImage img = planLike(300, 200);
        QBuffer whole;
        whole.open(QIODevice::WriteOnly);
        QString none;
        QVERIFY(io::encodePng(img, whole, &none));
        // Nothing, the signature only, all but the last byte.
        for (qint64 limit : {qint64(0), qint64(8), whole.size() - 1}) {
            FullDevice device(limit);
            QString error;
            QVERIFY2(!io::encodePng(img, device, &error), qPrintable(QString::number(limit)));
            QVERIFY(!error.isEmpty());
        }
    }

    void planLikePicturesComeOutNoLargerThanQtWrites()
    {
        const QImage img = planLike(1200, 900);
        QBuffer ours, qt;
        ours.open(QIODevice::WriteOnly);
        qt.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY(io::encodePng(img, ours, &error));
        QVERIFY(QImageWriter(&qt, "png").write(img));
        QVERIFY2(ours.size() <= qt.size(), qPrintable(QString("%1 > %2").arg(ours.size()).arg(qt.size())));
        COMPARE_IMAGES(readBack(ours.data()).convertToFormat(QImage::Format_RGB32), img, "plan");
    }
};

ZORVAT_TEST_MAIN(TestPngWriter)
#include "test_png_writer.moc"
