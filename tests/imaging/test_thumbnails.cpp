// The thumbnail browser: names and search, bounded reading of hostile files,
// reading on a worker thread, and each file read once until it changes.
#include "imaging/widgets/gf5thumb.h"
#include "imaging/widgets/thumbload.h"
#include "imaging/widgets/thumbnames.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>

using namespace gf5;

namespace {

QImage picture(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

QByteArray encoded(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return bytes;
}

// A small JPEG whose frame header claims w x h.
QByteArray jpegClaiming(int w, int h)
{
    QByteArray bytes = encoded(picture(16, 16, qRgb(200, 200, 200)), "JPG");
    const int sof = int(bytes.indexOf(QByteArray("\xFF\xC0", 2)));
    if (sof < 0)
        return {};
    qToBigEndian<quint16>(quint16(h), bytes.data() + sof + 5);
    qToBigEndian<quint16>(quint16(w), bytes.data() + sof + 7);
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The colour at the centre of a thumbnail's icon.
QRgb iconCentre(const QListWidgetItem* item)
{
    const QImage img = item->icon().pixmap(48, 48).toImage();
    return img.pixel(24, 24) & 0xFFFFFF;
}

} // namespace

class ThumbnailTest : public QObject {
    Q_OBJECT
private slots:
    void namesAndSearch()
    {
        QCOMPARE(thumbDisplayName("片開き戸_800_右.bmp"), QString("片開き戸 800 右"));
        QCOMPARE(thumbDisplayName("4.5帖.bmp"), QString("4.5帖"));

        QVERIFY(nameMatches("片開き戸 800 右", ""));
        QVERIFY(nameMatches("片開き戸 800 右", "800 片開"));
        QVERIFY(nameMatches("片開き戸 800 右", "片開き　右")); // full-width space between words
        QVERIFY(!nameMatches("片開き戸 800 右", "800 左"));
        // Full-width letters and digits, hiragana and case do not matter.
        QVERIFY(nameMatches("LDK", "ｌｄｋ"));
        QVERIFY(nameMatches("片開き戸 800", "８００"));
        QVERIFY(nameMatches("クローゼット", "くろーぜ"));
        QVERIFY(nameMatches("ｸﾛｰｾﾞｯﾄ", "クローゼット"));
        QVERIFY(!nameMatches("洋室", "和室"));
    }

    void hostileFilesAreRefusedBeforeAllocating()
    {
        const QSize box(48, 48);
        // A JPEG header claiming 30000 x 30000 in a few hundred bytes.
        const QByteArray bomb = jpegClaiming(30000, 30000);
        QVERIFY(!bomb.isEmpty() && bomb.size() < 2000);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(thumbnailFromBytes(bomb, box).isNull());
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(!plausiblePixelCount(QSize(30000, 30000), bomb.size()));
        QVERIFY(plausiblePixelCount(QSize(4677, 6614), 400 * 1024)); // a real A3 scan

        // A BMP header claiming far more pixels than the file holds.
        QByteArray bmp = encoded(picture(8, 8, qRgb(0, 0, 0)), "BMP");
        qToLittleEndian<qint32>(30000, bmp.data() + 18);
        qToLittleEndian<qint32>(30000, bmp.data() + 22);
        QVERIFY(thumbnailFromBytes(bmp, box).isNull());

        // Garbage and an empty file give nothing.
        QVERIFY(thumbnailFromBytes(QByteArray("BM broken"), box).isNull());
        QVERIFY(thumbnailFromBytes(QByteArray(), box).isNull());
    }

    void indexesPastAShortColourTableAreRefused()
    {
        // An 8-bit BMP with a two-entry colour table whose pixels use index
        // 200: a damaged file, refused rather than shown with made-up colours.
        QImage img(20, 10, QImage::Format_Indexed8);
        img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 255)});
        img.fill(0);
        QCOMPARE(thumbnailFromBytes(encoded(img, "BMP"), QSize(48, 48)).size(), QSize(20, 10));
        std::fill_n(img.scanLine(5), 10, uchar(200));
        QVERIFY(thumbnailFromBytes(encoded(img, "BMP"), QSize(48, 48)).isNull());
    }

    void largePicturesAreFitted()
    {
        const QImage thumb = thumbnailFromBytes(encoded(picture(1200, 600, qRgb(0, 0, 0)), "JPG"), QSize(48, 48));
        QCOMPARE(thumb.size(), QSize(48, 24));
        QVERIFY(qGray(thumb.pixel(24, 12)) < 16);
    }

    void listsFoldersAndReadsEachFileOnce()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a"), b = dir.filePath("b");
        QDir().mkpath(a);
        QDir().mkpath(b);
        picture(30, 30, qRgb(0, 0, 0)).save(a + "/片開き戸_800_右.bmp", "BMP");
        picture(30, 30, qRgb(0, 0, 0)).save(a + "/片開き戸_1000_右.bmp", "BMP");
        picture(30, 30, qRgb(0, 0, 0)).save(b + "/片開き戸_900_右.jpg", "JPG");
        writeFile(b + "/broken.bmp", "BM broken");
        picture(30, 30, qRgb(0, 0, 0)).save(b + "/other.png", "PNG");

        Gf5Thumb thumbs;
        thumbs.resize(196, 160);
        thumbs.Folder = a;
        thumbs.ExtraFolders = {b, dir.filePath("missing")};
        thumbs.FileFilter = "jpg;bmp";
        thumbs.Rebuild();
        thumbs.Display();
        // Both folders, sorted by name with numbers by value; names as tooltips.
        QCOMPARE(thumbs.shownFiles(), QStringList({b + "/broken.bmp", a + "/片開き戸_800_右.bmp",
                                                   b + "/片開き戸_900_右.jpg", a + "/片開き戸_1000_右.bmp"}));
        QCOMPARE(thumbs.item(1)->toolTip(), QString("片開き戸 800 右"));
        QVERIFY(thumbs.waitForThumbnails(5000));
        QCOMPARE(thumbs.filesRead(), 4);
        QVERIFY(qGray(iconCentre(thumbs.item(1))) < 16);
        QVERIFY(qGray(iconCentre(thumbs.item(2))) < 16);
        QCOMPARE(iconCentre(thumbs.item(0)), 0xFFFFFFu); // unreadable: a blank square

        // The browser is wide enough for names under the pictures.
        QCOMPARE(thumbs.item(3)->text(), QString("片開き戸 1000 右"));

        // Listing again reads nothing; a changed file is read again, alone.
        thumbs.Rebuild();
        thumbs.Display();
        QVERIFY(!thumbs.thumbnailsPending());
        QCOMPARE(thumbs.filesRead(), 4);
        picture(40, 30, qRgb(255, 255, 255)).save(a + "/片開き戸_800_右.bmp", "BMP");
        thumbs.Rebuild();
        thumbs.Display();
        QVERIFY(thumbs.waitForThumbnails(5000));
        QCOMPARE(thumbs.filesRead(), 5);
        QCOMPARE(iconCentre(thumbs.item(1)), 0xFFFFFFu);
    }

    void searchBoxFiltersEveryListing()
    {
        QTemporaryDir dir;
        for (const char* name : {"洋室.bmp", "和室.bmp", "洋室_縦.bmp", "LDK.bmp"})
            picture(10, 10, qRgb(0, 0, 0)).save(dir.filePath(QString::fromUtf8(name)), "BMP");
        Gf5Thumb thumbs;
        thumbs.Folder = dir.path();
        thumbs.Rebuild();
        thumbs.Display();
        QCOMPARE(thumbs.shownFiles().size(), 4);
        QTest::keyClicks(thumbs.searchBox(), "ldk");
        QCOMPARE(thumbs.shownFiles(), QStringList({dir.filePath("LDK.bmp")}));
        thumbs.searchBox()->clear();
        thumbs.setNameFilter("洋室");
        QCOMPARE(thumbs.searchBox()->text(), QString("洋室"));
        QCOMPARE(thumbs.shownFiles(), QStringList({dir.filePath("洋室.bmp"), dir.filePath("洋室_縦.bmp")}));
        // The search stays for the next listing.
        thumbs.Rebuild();
        thumbs.Display();
        QCOMPARE(thumbs.shownFiles().size(), 2);
        thumbs.searchBox()->clear();
        QCOMPARE(thumbs.shownFiles().size(), 4);
    }
};

ZORVAT_TEST_MAIN(ThumbnailTest)
#include "test_thumbnails.moc"
