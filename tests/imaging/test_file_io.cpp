// Reading and writing image files: round trips with resolution, bit depths
// of what was read, damaged and absurd files, safe overwriting, progress and
// cancel while reading, and the dialogs' test hook.
#include "imaging/io/gf5file.h"
#include "imaging/store/gf5common.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

using namespace gf5;

namespace {

QImage gradient(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* p = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            p[x] = qRgb(x * 255 / w, y * 255 / h, (x + y) % 256);
    }
    return img;
}

void setDpi(QImage& img, int dpi)
{
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
}

double meanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col])) +
                   std::abs(qBlue(p[col]) - qBlue(q[col]));
    }
    return sum / (3.0 * x.width() * x.height());
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// A minimal 32-bit BMP (no compression), bottom-up rows.
QByteArray bmp32(int w, int h, QRgb colour)
{
    QByteArray data(54 + w * h * 4, '\0');
    uchar* d = reinterpret_cast<uchar*>(data.data());
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(quint32(data.size()), d + 2);
    qToLittleEndian<quint32>(54, d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(w, d + 18);
    qToLittleEndian<qint32>(h, d + 22);
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(32, d + 28);
    qToLittleEndian<quint32>(quint32(w * h * 4), d + 34);
    for (int i = 0; i < w * h; ++i) {
        d[54 + 4 * i] = uchar(qBlue(colour));
        d[55 + 4 * i] = uchar(qGreen(colour));
        d[56 + 4 * i] = uchar(qRed(colour));
    }
    return data;
}

} // namespace

class TestFileIo : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

    int32_t write(const QImage& img, const QString& name, Gf5File::Operation op, int depth = 24)
    {
        Gf5File file;
        file.ImageHandle = ImageStore::add(img, depth);
        file.FileName = path(name);
        file.FileOperation = op;
        file.JpegQuality = 75;
        const int32_t ok = file.Execute();
        ImageStore::release(file.ImageHandle);
        return ok;
    }

    // Reads name; returns the new handle or 0.
    int32_t read(const QString& name, QString* error = nullptr)
    {
        Gf5File file;
        file.FileName = path(name);
        file.FileOperation = Gf5File::Read;
        const int32_t ok = file.Execute();
        if (error)
            *error = file.LastError;
        return ok ? file.ImageHandle : 0;
    }

private slots:
    void init() { ImageStore::clear(); }

    void jpegRoundTripKeepsSizeAndResolution()
    {
        QImage img = gradient(320, 200);
        setDpi(img, 300);
        QVERIFY(write(img, "plan.jpg", Gf5File::WriteJpeg));
        const QByteArray bytes = readAll(path("plan.jpg"));
        QVERIFY(bytes.startsWith("\xFF\xD8\xFF"));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plan.jpg"}); // no temporary left

        const int32_t h = read("plan.jpg");
        QVERIFY(h);
        Gf5Common common;
        common.ImageHandle = h;
        QCOMPARE(common.BitDepth(), int16_t(24));
        QCOMPARE(common.ImageWidth(), 320);
        QCOMPARE(common.ImageHeight(), 200);
        QCOMPARE(common.ResolutionX(), 300);
        QCOMPARE(common.ResolutionY(), 300);
        const QImage back = *ImageStore::image(h);
        QCOMPARE(back.format(), QImage::Format_RGB32);
        QVERIFY2(meanDifference(back, img) < 3.0, qPrintable(QString::number(meanDifference(back, img))));
        // A file that lacks only its end marker is complete.
        QVERIFY(writeAll(path("noend.jpg"), bytes.left(bytes.size() - 2)));
        const int32_t noEnd = read("noend.jpg");
        QVERIFY(noEnd);
        COMPARE_IMAGES(*ImageStore::image(noEnd), back, "jpeg-without-end-marker");
        // Qt's own reader agrees on the picture and the resolution.
        const QImage qt(path("plan.jpg"));
        QVERIFY(meanDifference(qt, back) < 1.0);
        QCOMPARE(qRound(qt.dotsPerMeterX() * 0.0254), 300);
    }

    void jpegQualityAndGreyscale()
    {
        const QImage img = gradient(200, 200);
        Gf5File file;
        file.ImageHandle = ImageStore::add(img);
        file.FileOperation = Gf5File::WriteJpeg;
        file.FileName = path("q95.jpg");
        file.JpegQuality = 95;
        QVERIFY(file.Execute());
        file.FileName = path("q20.jpg");
        file.JpegQuality = 20;
        QVERIFY(file.Execute());
        QVERIFY(QFileInfo(path("q95.jpg")).size() > 2 * QFileInfo(path("q20.jpg")).size());

        // A greyscale picture is written and read back as 8 bits.
        QImage grey = img.convertToFormat(QImage::Format_Grayscale8);
        QVERIFY(write(grey, "grey.jpg", Gf5File::WriteJpeg, 8));
        const int32_t h = read("grey.jpg");
        QVERIFY(h);
        QCOMPARE(ImageStore::get(h)->bitDepth, 8);
        QCOMPARE(ImageStore::image(h)->format(), QImage::Format_Grayscale8);
        QVERIFY(meanDifference(*ImageStore::image(h), grey) < 2.0);
    }

    void bmpRoundTripIsExact()
    {
        QImage img = gradient(123, 77);
        setDpi(img, 300);
        QVERIFY(write(img, "plan.bmp", Gf5File::WriteBmp));
        const QByteArray bytes = readAll(path("plan.bmp"));
        QCOMPARE(int(uchar(bytes.at(28))), 24); // a 24-bit file
        const int32_t h = read("plan.bmp");
        QVERIFY(h);
        Gf5Common common;
        common.ImageHandle = h;
        QCOMPARE(common.BitDepth(), int16_t(24));
        QCOMPARE(common.ResolutionX(), 300);
        QCOMPARE(ImageStore::image(h)->format(), QImage::Format_RGB32);
        COMPARE_IMAGES(*ImageStore::image(h), img, "bmp-round-trip");
        // Any name that is not JPEG is still written as BMP.
        QVERIFY(write(img, "plan.gif", Gf5File::WriteBmp));
        QVERIFY(readAll(path("plan.gif")).startsWith("BM"));
    }

    // A resolution beyond what a format holds is written as its largest,
    // never wrapped round to a small or negative number.
    void absurdResolutionsAreClampedToWhatTheFileHolds()
    {
        Gf5Common common;
        common.ImageHandle = ImageStore::add(gradient(16, 16));
        for (const int32_t dpi : {60000000, std::numeric_limits<int32_t>::max()}) {
            common.setResolutionX(dpi);
            common.setResolutionY(dpi);
            QVERIFY(common.ResolutionX() > 50000000);
            Gf5File file;
            file.ImageHandle = common.ImageHandle;
            file.FileName = path("dense.jpg");
            file.FileOperation = Gf5File::WriteJpeg;
            QVERIFY(file.Execute());
            file.FileName = path("dense.bmp");
            file.FileOperation = Gf5File::WriteBmp;
            QVERIFY(file.Execute());
            Gf5Common back;
            back.ImageHandle = read("dense.jpg");
            QCOMPARE(back.ResolutionX(), 65535);
            back.FreeImage();
            const QByteArray bmp = readAll(path("dense.bmp"));
            QCOMPARE(qFromLittleEndian<qint32>(bmp.constData() + 38), std::numeric_limits<qint32>::max());
            QCOMPARE(qFromLittleEndian<qint32>(bmp.constData() + 42), std::numeric_limits<qint32>::max());
        }
        common.FreeImage();
    }

    void readReportsTheFilesBitDepth()
    {
        QImage indexed(16, 8, QImage::Format_Indexed8);
        QList<QRgb> table; // more than 16 colours, so Qt writes 8 bits
        for (int i = 0; i < 40; ++i)
            table << qRgb(i * 6, 100, 255 - i * 6);
        indexed.setColorTable(table);
        indexed.fill(2);
        QVERIFY(indexed.save(path("eight.bmp"), "BMP"));
        QCOMPARE(int(uchar(readAll(path("eight.bmp")).at(28))), 8);
        int32_t h = read("eight.bmp");
        QVERIFY(h);
        QCOMPARE(ImageStore::get(h)->bitDepth, 8);
        QCOMPARE(ImageStore::image(h)->format(), QImage::Format_Indexed8);

        QImage mono(16, 8, QImage::Format_Mono);
        mono.fill(1);
        QVERIFY(mono.save(path("one.bmp"), "BMP"));
        h = read("one.bmp");
        QVERIFY(h);
        QCOMPARE(ImageStore::get(h)->bitDepth, 1);

        QVERIFY(writeAll(path("thirtytwo.bmp"), bmp32(5, 4, qRgb(10, 20, 30))));
        h = read("thirtytwo.bmp");
        QVERIFY(h);
        QCOMPARE(ImageStore::get(h)->bitDepth, 32);
        QCOMPARE(ImageStore::image(h)->pixel(2, 2) & 0xFFFFFF, qRgb(10, 20, 30) & 0xFFFFFF);

        QVERIFY(gradient(10, 10).save(path("other.png"), "PNG"));
        h = read("other.png");
        QVERIFY(h);
        QCOMPARE(ImageStore::get(h)->bitDepth, 24);
        QCOMPARE(ImageStore::image(h)->format(), QImage::Format_RGB32);
    }

    void bmpReaderAgreesWithQt()
    {
        const QImage colour = gradient(37, 23); // odd width: padded rows
        QImage indexed = colour.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        QImage sixteen = colour.convertToFormat(QImage::Format_Indexed8, QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 0, 0),
                                                qRgb(0, 255, 0), qRgb(255, 255, 255)});
        QImage mono = colour.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
        const struct {
            QImage image;
            int bits;
        } cases[] = {{colour, 24}, {indexed, 8}, {sixteen, 4}, {mono, 1}};
        for (const auto& c : cases) {
            const QString name = QString("agree%1.bmp").arg(c.bits);
            QVERIFY(c.image.save(path(name), "BMP"));
            QCOMPARE(int(uchar(readAll(path(name)).at(28))), c.bits);
            const int32_t h = read(name);
            QVERIFY(h);
            QCOMPARE(ImageStore::get(h)->bitDepth, c.bits);
            COMPARE_IMAGES(*ImageStore::image(h), QImage(path(name)), name);
        }

        // Rows stored top-down (negative height) and a file cut short.
        QByteArray topDown = bmp32(3, 2, qRgb(0, 0, 0));
        qToLittleEndian<qint32>(-2, reinterpret_cast<uchar*>(topDown.data()) + 22);
        topDown[54 + 2] = char(200); // first stored row: red pixel at x = 0
        QVERIFY(writeAll(path("topdown.bmp"), topDown));
        int32_t h = read("topdown.bmp");
        QVERIFY(h);
        QCOMPARE(ImageStore::image(h)->pixel(0, 0) & 0xFFFFFF, qRgb(200, 0, 0) & 0xFFFFFF);
        QCOMPARE(ImageStore::image(h)->pixel(0, 1) & 0xFFFFFF, 0u);
        QVERIFY(writeAll(path("short.bmp"), readAll(path("agree24.bmp")).left(500)));
        QString error;
        QCOMPARE(read("short.bmp", &error), 0);
        QVERIFY(!error.isEmpty());

        // Reading a BMP reports progress and can be cancelled.
        QVERIFY(write(gradient(600, 900), "big.bmp", Gf5File::WriteBmp));
        Gf5File file;
        file.FileName = path("big.bmp");
        int calls = 0;
        connect(&file, &Gf5File::Progress, this, [&](int16_t percent) {
            ++calls;
            if (percent >= 50)
                file.CancelRequested = true;
        });
        const int live = ImageStore::liveCount();
        QCOMPARE(file.Execute(), 0);
        QVERIFY(calls >= 10);
        QCOMPARE(ImageStore::liveCount(), live);
    }

    void unreadableFilesFailWithAReason_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("create");
        QImage img = gradient(300, 200);
        QByteArray jpeg;
        {
            QVERIFY(write(img, "source.jpg", Gf5File::WriteJpeg));
            jpeg = readAll(path("source.jpg"));
        }
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("text") << QByteArray("not a picture at all\n") << true;
        QTest::newRow("truncated jpeg") << jpeg.left(jpeg.size() / 2) << true;
        QTest::newRow("jpeg short of 100 bytes") << jpeg.left(jpeg.size() - 100) << true;
        QTest::newRow("jpeg short of 12 bytes") << jpeg.left(jpeg.size() - 12) << true;
        QTest::newRow("jpeg header only") << jpeg.left(300) << true;
        QTest::newRow("broken jpeg header") << QByteArray("\xFF\xD8\xFF\xE0 garbage follows here", 25) << true;
        // The frame header claims 60000 x 60000 pixels.
        QByteArray huge = jpeg;
        const int sof = huge.indexOf("\xFF\xC0");
        QVERIFY(sof > 0);
        qToBigEndian<quint16>(60000, reinterpret_cast<uchar*>(huge.data()) + sof + 5);
        qToBigEndian<quint16>(60000, reinterpret_cast<uchar*>(huge.data()) + sof + 7);
        QTest::newRow("absurd jpeg size") << huge << true;
        QByteArray bmp = bmp32(2, 2, qRgb(0, 0, 0));
        qToLittleEndian<qint32>(100000, reinterpret_cast<uchar*>(bmp.data()) + 18);
        qToLittleEndian<qint32>(100000, reinterpret_cast<uchar*>(bmp.data()) + 22);
        QTest::newRow("absurd bmp size") << bmp << true;
    }

    void unreadableFilesFailWithAReason()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, create);
        const QString name = "bad.jpg";
        QFile::remove(path(name));
        if (create)
            QVERIFY(writeAll(path(name), content));
        const int live = ImageStore::liveCount();
        Gf5File file;
        file.FileName = path(name);
        file.FileOperation = Gf5File::Read;
        file.ImageHandle = 0;
        QCOMPARE(file.Execute(), 0);
        QVERIFY(!file.LastError.isEmpty());
        QCOMPARE(file.ImageHandle, 0);
        QCOMPARE(ImageStore::liveCount(), live);
    }

    void failedWritesKeepTheOldFile()
    {
        const QImage img = gradient(40, 30);
        // A folder that does not exist.
        Gf5File file;
        file.ImageHandle = ImageStore::add(img);
        file.FileName = path("no/such/folder/plan.jpg");
        file.FileOperation = Gf5File::WriteJpeg;
        QCOMPARE(file.Execute(), 0);
        QVERIFY(file.LastError.startsWith(QStringLiteral("書き込めませんでした")));
        QVERIFY(!QFile::exists(file.FileName));

        // An existing file survives an encoder failure (JPEG allows at most
        // 65500 pixels a side) and no temporary file is left beside it.
        QDir().mkpath(path("keep"));
        const QByteArray old("the old file");
        QVERIFY(writeAll(path("keep/plan.jpg"), old));
        file.ImageHandle = ImageStore::add(QImage(65501, 1, QImage::Format_RGB32));
        file.FileName = path("keep/plan.jpg");
        QCOMPARE(file.Execute(), 0);
        QVERIFY(!file.LastError.isEmpty());
        QCOMPARE(readAll(path("keep/plan.jpg")), old);
        QCOMPARE(QDir(path("keep")).entryList(QDir::Files | QDir::Hidden), QStringList{"plan.jpg"});

        // The same file is replaced by a good write.
        file.ImageHandle = ImageStore::add(img);
        QVERIFY(file.Execute());
        QVERIFY(file.LastError.isEmpty());
        QVERIFY(readAll(path("keep/plan.jpg")).startsWith("\xFF\xD8"));

        // Nothing to write.
        file.ImageHandle = 9999;
        QCOMPARE(file.Execute(), 0);
        QVERIFY(!file.LastError.isEmpty());
    }

    void bigJpegReportsProgressAndCanBeCancelled()
    {
        QVERIFY(write(gradient(1500, 2400), "big.jpg", Gf5File::WriteJpeg));
        Gf5File file;
        file.FileName = path("big.jpg");
        file.FileOperation = Gf5File::Read;
        file.ImageHandle = 0;
        QList<int> seen;
        connect(&file, &Gf5File::Progress, this, [&](int16_t percent) {
            seen << percent;
            if (percent >= 30)
                file.CancelRequested = true;
        });
        const int live = ImageStore::liveCount();
        QCOMPARE(file.Execute(), 0);
        QCOMPARE(file.ImageHandle, 0);
        QCOMPARE(ImageStore::liveCount(), live);
        QVERIFY(!file.LastError.isEmpty());
        QVERIFY(seen.size() >= 10);
        QVERIFY(seen.last() < 100);

        disconnect(&file, &Gf5File::Progress, this, nullptr);
        seen.clear();
        connect(&file, &Gf5File::Progress, this, [&](int16_t percent) { seen << percent; });
        QVERIFY(file.Execute());
        QVERIFY(file.ImageHandle);
        QCOMPARE(ImageStore::liveCount(), live + 1);
        QVERIFY(seen.size() >= 20);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(seen.last(), 100);
    }

    void dialogsCanBeAnsweredByTests()
    {
        QList<bool> asked;
        QString answer = path("chosen.jpg");
        Gf5File::dialogOverride = [&](bool save) {
            asked << save;
            return answer;
        };
        Gf5File file;
        file.FileName = "before";
        file.DialogFilter = "*;JPG;BMP;";
        QVERIFY(file.ShowSaveDialog());
        QCOMPARE(file.FileName, answer);
        answer = path("opened.bmp");
        QVERIFY(file.ShowOpenDialog());
        QCOMPARE(file.FileName, answer);
        answer.clear(); // cancelled
        QCOMPARE(file.ShowOpenDialog(), 0);
        QCOMPARE(file.FileName, path("opened.bmp"));
        QCOMPARE(asked, (QList<bool>{true, false, false}));
        Gf5File::dialogOverride = nullptr;
    }
};

ZORVAT_TEST_MAIN(TestFileIo)
#include "test_file_io.moc"
