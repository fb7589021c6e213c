// zorvat-batch: the command line, each step's effect on the pixels, and the
// program run on a folder of scans with bad files among them.
#include "batch/batch_job.h"
#include "batch/batch_options.h"
#include "batch/batch_run.h"
#include "imaging/effects/gf5effect.h"
#include "imaging/effects/skew.h"
#include "imaging/io/gf5file.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

namespace {

constexpr int kDpm400 = 15748;

// A small scan: paper, a frame of walls turned by `degrees`, dust specks, a
// coloured underlay patch.
QImage scan(int seed, double degrees = 0)
{
    QImage img(360, 240, QImage::Format_RGB32);
    img.fill(qRgb(255, 255, 255));
    img.setDotsPerMeterX(kDpm400);
    img.setDotsPerMeterY(kDpm400);
    QPainter p(&img);
    p.fillRect(250, 30, 60, 40, QColor(200, 230, 250)); // underlay tint
    p.translate(180, 120);
    p.rotate(-degrees);
    p.translate(-180, -120);
    p.setPen(QPen(Qt::black, 6));
    p.drawRect(30 + seed, 20, 280, 190);
    p.drawLine(30 + seed, 120, 310 + seed, 120);
    p.end();
    img.setPixel(100, 60, qRgb(0, 0, 0)); // dust
    img.setPixel(101, 60, qRgb(0, 0, 0));
    return img;
}

QString write(const QImage& img, const QString& path)
{
    gf5::Gf5File f;
    f.ImageHandle = gf5::ImageStore::add(img);
    f.FileName = path;
    f.FileOperation = path.endsWith(".bmp") ? gf5::Gf5File::WriteBmp : gf5::Gf5File::WriteJpeg;
    f.JpegQuality = 90;
    const bool ok = f.Execute();
    gf5::ImageStore::release(f.ImageHandle);
    return ok ? path : QString();
}

QImage read(const QString& path)
{
    gf5::Gf5File f;
    f.FileName = path;
    if (!f.Execute())
        return {};
    QImage img = *gf5::ImageStore::image(f.ImageHandle);
    gf5::ImageStore::release(f.ImageHandle);
    return img.convertToFormat(QImage::Format_RGB32);
}

QByteArray digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

struct Run {
    int code = -1;
    QString out, err;
};

Run runBatch(const QStringList& args)
{
    QProcess p;
    p.start(ZORVAT_BATCH_PROGRAM, args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Ten scans: eight good ones (JPEG and BMP), a file of noise named .jpg and
// a BMP cut off halfway.
QStringList makeFolder(const QString& dir)
{
    QStringList files;
    for (int i = 0; i < 8; ++i)
        files << write(scan(i, i * 0.3), QString("%1/scan%2.%3").arg(dir).arg(i).arg(i % 2 ? "bmp" : "jpg"));
    QFile corrupt(dir + "/corrupt.jpg");
    corrupt.open(QIODevice::WriteOnly);
    corrupt.write(QByteArray("\xFF\xD8\xFF\xE0 this is not a picture", 27).repeated(20));
    corrupt.close();
    files << corrupt.fileName();
    const QString whole = write(scan(3), dir + "/whole.bmp");
    QFile full(whole);
    full.open(QIODevice::ReadOnly);
    const QByteArray bytes = full.readAll();
    full.close();
    QFile::remove(whole);
    QFile truncated(dir + "/truncated.bmp");
    truncated.open(QIODevice::WriteOnly);
    truncated.write(bytes.left(bytes.size() / 2));
    truncated.close();
    files << truncated.fileName();
    return files;
}

} // namespace

class BatchTest : public QObject {
    Q_OBJECT
private slots:
    void commandLineIsReadAndBadOnesRefused()
    {
        const batch::Parsed ok = batch::parseArguments(
            {"--deskew", "--denoise", "--grey", "--resize", "800", "--margin=20", "--dpi", "300", "--format",
             "JPEG", "--quality", "90", "-o", "out", "a.jpg", "b.bmp"});
        QVERIFY2(ok.error.isEmpty(), qPrintable(ok.error));
        const batch::Options& o = ok.options;
        QVERIFY(o.deskew && o.denoise && o.grey && !o.removeUnderlay);
        QCOMPARE(o.resizeLongSide, 800);
        QCOMPARE(o.margin, 20);
        QCOMPARE(o.dpi, 300);
        QCOMPARE(o.format, QString("jpg"));
        QCOMPARE(o.files, (QStringList{"a.jpg", "b.bmp"}));
        // What a worker is told reads back to the same steps.
        const batch::Parsed back = batch::parseArguments(batch::workerArguments(o, "a.jpg", "out/a.jpg"));
        QVERIFY(back.error.isEmpty() && back.options.worker);
        QCOMPARE(back.options.resizeLongSide, 800);
        QCOMPARE(back.options.output, QString("out/a.jpg"));

        // The job count joined to its option or apart, and the further
        // switches, all reach the worker or the scheduler.
        for (const QStringList& jobs : {QStringList{"-j1"}, QStringList{"-j", "1"}, QStringList{"--jobs=1"}}) {
            const batch::Parsed j = batch::parseArguments(
                jobs + QStringList{"--whiten", "--json", "--allow-large", "--files-from", "-", "-o", "o"});
            QVERIFY2(j.error.isEmpty(), qPrintable(j.error));
            QCOMPARE(j.options.jobs, 1);
            QVERIFY(j.options.json && j.options.whiten && j.options.allowLarge);
            QCOMPARE(j.options.filesFrom, QString("-"));
            const batch::Options w = batch::parseArguments(batch::workerArguments(j.options, "a", "b")).options;
            QVERIFY(w.whiten && w.allowLarge);
        }
        QCOMPARE(batch::fileListFrom("a.jpg\r\n\nscans/b c.bmp\n"), (QStringList{"a.jpg", "scans/b c.bmp"}));

        for (const QStringList& bad : {QStringList{"-o", "out"}, QStringList{"a.jpg"}, QStringList{"-j0", "-o", "o", "a.jpg"},
                                       QStringList{"-jx", "-o", "o", "a.jpg"}, QStringList{"--files-from", "-o", "o"},
                                       QStringList{"--in-place", "-o", "out", "a.jpg"},
                                       QStringList{"--resize", "0", "-o", "o", "a.jpg"},
                                       QStringList{"--quality", "101", "-o", "o", "a.jpg"},
                                       QStringList{"--format", "gif", "-o", "o", "a.jpg"},
                                       QStringList{"--dpi", "-o", "o", "a.jpg"}, QStringList{"--frobnicate", "a.jpg"}})
            QVERIFY2(!batch::parseArguments(bad).error.isEmpty(), qPrintable(bad.join(' ')));
    }

    void memoryAndWorkersBoundWhatRunsAtOnce()
    {
        const qint64 gb = qint64(1) << 30;
        QVERIFY(batch::mayStart(0, 0, 10 * gb, 4, gb)); // one always runs, however large
        QVERIFY(batch::mayStart(1, gb / 2, gb / 2, 4, gb));
        QVERIFY(!batch::mayStart(1, gb / 2, gb / 2 + 1, 4, gb));
        QVERIFY(!batch::mayStart(2, 0, 1, 2, gb));
        // The estimate follows the picture's pixels.
        QTemporaryDir dir;
        const QString small = write(scan(0), dir.filePath("s.bmp"));
        QImage big(2000, 1500, QImage::Format_RGB32);
        big.fill(Qt::white);
        const QString large = write(big, dir.filePath("l.bmp"));
        QVERIFY(batch::estimateCost(large) - batch::estimateCost(small) >= qint64(2000 * 1500 - 360 * 240) * 4);
    }

    void theResolutionFollowsTheWindowsRules_data()
    {
        QTest::addColumn<qint32>("statedDpm"); // written into the BMP header
        QTest::addColumn<int>("dpiOption");
        QTest::addColumn<int>("dpi");
        QTest::newRow("stated 400 is kept") << qint32(kDpm400) << 0 << 400;
        QTest::newRow("stated 0 takes the settings' 200") << qint32(0) << 0 << 200;
        QTest::newRow("stated 1 takes the settings' 200") << qint32(39) << 0 << 200;
        QTest::newRow("--dpi sets it") << qint32(0) << 300 << 300;
    }
    void theResolutionFollowsTheWindowsRules()
    {
        QFETCH(qint32, statedDpm);
        QFETCH(int, dpiOption);
        QFETCH(int, dpi);
        QTemporaryDir dir;
        const QString in = write(scan(0), dir.filePath("in.bmp"));
        {
            QFile f(in);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(38);
            f.write(reinterpret_cast<const char*>(&statedDpm), 4);
            f.write(reinterpret_cast<const char*>(&statedDpm), 4);
        }
        batch::Options o;
        o.dpi = dpiOption;
        o.format = "png";
        const QString out = dir.filePath("out.png");
        QVERIFY(batch::processFile(in, out, o).isEmpty());
        QCOMPARE(qRound(QImage(out).dotsPerMeterX() * 0.0254), dpi);
    }

    void eachStepDoesItsWork()
    {
        QTemporaryDir dir;
        const QString in = write(scan(0, 2.0), dir.filePath("in.bmp"));
        auto run = [&](void (*set)(batch::Options&)) {
            batch::Options o;
            set(o);
            const QString out = dir.filePath("out.bmp");
            const QString error = batch::processFile(in, out, o);
            return error.isEmpty() ? read(out) : QImage();
        };
        const QImage plain = run([](batch::Options&) {});
        COMPARE_IMAGES(plain, read(in), "batch-plain");
        QCOMPARE(qGray(plain.pixel(100, 60)), 0);

        QCOMPARE(run([](batch::Options& o) { o.denoise = true; }).pixel(100, 60), qRgb(255, 255, 255));
        const QImage grey = run([](batch::Options& o) { o.grey = true; });
        QVERIFY(qRed(grey.pixel(270, 50)) == qGreen(grey.pixel(270, 50)));
        const QImage noUnderlay = run([](batch::Options& o) { o.removeUnderlay = true; });
        QCOMPARE(noUnderlay.pixel(270, 50), qRgb(255, 255, 255));
        QCOMPARE(noUnderlay.pixel(100, 60), qRgb(0, 0, 0));
        QCOMPARE(run([](batch::Options& o) { o.resizeLongSide = 180; }).size(), QSize(180, 120));
        const QImage bordered = run([](batch::Options& o) { o.margin = 15; });
        QCOMPARE(bordered.size(), QSize(390, 270));
        QCOMPARE(testsupport::countColour(bordered, qRgb(255, 255, 255), QRect(0, 0, 390, 15)), 390 * 15);
        QCOMPARE(bordered.pixel(115, 75), qRgb(0, 0, 0)); // the dust moved with the picture
        QCOMPARE(run([](batch::Options& o) { o.dpi = 200; }).dotsPerMeterX(), 7874);
        {
            // Whitening: grey paper becomes white, the walls stay black.
            QImage greyPaper = scan(0);
            for (int y = 0; y < greyPaper.height(); ++y)
                for (int x = 0; x < greyPaper.width(); ++x) {
                    const QRgb c = greyPaper.pixel(x, y);
                    greyPaper.setPixel(x, y, qRgb(qRed(c) * 80 / 100, qGreen(c) * 78 / 100, qBlue(c) * 70 / 100));
                }
            batch::Options o;
            o.whiten = true;
            const QString from = write(greyPaper, dir.filePath("grey-paper.bmp")), to = dir.filePath("white.bmp");
            QVERIFY(batch::processFile(from, to, o).isEmpty());
            const QImage white = read(to);
            QCOMPARE(white.pixel(150, 60), qRgb(255, 255, 255));
            QVERIFY(qGray(white.pixel(30, 100)) < 40);
        }
        const QImage straight = run([](batch::Options& o) { o.deskew = true; });
        QCOMPARE(straight.size(), QSize(360, 240));
        const std::optional<double> skew = gf5::measureSkew(straight);
        QVERIFY(skew && std::abs(*skew) < 0.15);
        QVERIFY(std::abs(*gf5::measureSkew(read(in)) - 2.0) < 0.15);

        // Formats: by name, or as asked.
        batch::Options jpeg;
        jpeg.format = "jpg";
        QVERIFY(batch::processFile(in, dir.filePath("x.out"), jpeg).isEmpty());
        QFile f(dir.filePath("x.out"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(2) == QByteArray("\xFF\xD8"));
        batch::Options png;
        png.format = "png";
        png.dpi = 300;
        QVERIFY(batch::processFile(in, dir.filePath("p.png"), png).isEmpty());
        const QImage pngBack(dir.filePath("p.png"), "PNG");
        COMPARE_IMAGES(pngBack.convertToFormat(QImage::Format_RGB32), read(in), "batch-png");
        QCOMPARE(pngBack.dotsPerMeterX(), 11811);
        // A PDF by its name.
        QVERIFY(batch::processFile(in, dir.filePath("plan.pdf"), {}).isEmpty());
        QFile pdf(dir.filePath("plan.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == QByteArray("%PDF-"));
        QVERIFY(!batch::processFile(dir.filePath("missing.bmp"), dir.filePath("y.bmp"), {}).isEmpty());
    }

    // --grey writes one 8-bit channel: the same picture, smaller.
    void greyFilesAreWrittenAsEightBitGrey_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("jpg") << "jpg";
        QTest::newRow("png") << "png";
        QTest::newRow("bmp") << "bmp";
    }

    void greyFilesAreWrittenAsEightBitGrey()
    {
        QFETCH(QString, format);
        QTemporaryDir dir;
        const QString in = write(scan(0, 2.0), dir.filePath("in.bmp"));
        batch::Options colour, grey;
        colour.format = grey.format = format;
        grey.grey = true;
        const QString colourOut = dir.filePath("colour." + format), greyOut = dir.filePath("grey." + format);
        QVERIFY(batch::processFile(in, colourOut, colour).isEmpty());
        QVERIFY(batch::processFile(in, greyOut, grey).isEmpty());
        QImageReader reader(greyOut);
        const QImage back = reader.read();
        QVERIFY(back.format() == QImage::Format_Grayscale8 || back.format() == QImage::Format_Indexed8);
        QVERIFY(back.allGray());
        QCOMPARE(back.dotsPerMeterX(), kDpm400);
        QVERIFY2(QFileInfo(greyOut).size() < QFileInfo(colourOut).size(),
                 qPrintable(QString("%1 >= %2").arg(QFileInfo(greyOut).size()).arg(QFileInfo(colourOut).size())));
        if (format == "bmp") {
            QFile f(greyOut);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(int(uchar(f.read(30).at(28))), 8); // bits per pixel in the header
        }
        if (format != "jpg") { // lossless: exactly the grey picture
            gf5::Gf5Effect fx;
            fx.SourceImage = gf5::ImageStore::add(read(in));
            QVERIFY(fx.Saturation(nullptr, nullptr, 0, -100));
            COMPARE_IMAGES(back.convertToFormat(QImage::Format_RGB32), *gf5::ImageStore::image(fx.ResultImage),
                           "batch-grey-" + format);
            gf5::ImageStore::release(fx.SourceImage);
            gf5::ImageStore::release(fx.ResultImage);
        }
    }

    // The form a scheduler uses: the file list on standard input, one JSON
    // line per file, here two single-worker processes sharing a folder as
    // GNU parallel would start them.
    void fileListsAndJsonLinesLetSchedulersShareTheWork()
    {
        QTemporaryDir dir;
        const QStringList files = makeFolder(dir.path());
        const QString out = dir.filePath("out");
        QProcess first, second;
        for (QProcess* p : {&first, &second})
            p->start(ZORVAT_BATCH_PROGRAM, {"--denoise", "--json", "-j1", "--files-from", "-", "-o", out});
        first.write((files.mid(0, 5).join('\n') + '\n').toUtf8());
        second.write(files.mid(5).join('\n').toUtf8());
        QMap<QString, QJsonObject> lines;
        for (QProcess* p : {&first, &second}) {
            p->closeWriteChannel();
            QVERIFY(p->waitForFinished(120000));
            for (const QByteArray& line : p->readAllStandardOutput().split('\n')) {
                if (line.isEmpty())
                    continue;
                QJsonParseError error;
                const QJsonObject o = QJsonDocument::fromJson(line, &error).object();
                QVERIFY2(error.error == QJsonParseError::NoError, line.constData());
                lines[QFileInfo(o["name"].toString()).fileName()] = o;
            }
        }
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 1); // the second half holds the two bad files
        QCOMPARE(lines.size(), 10);
        for (const QString& f : files) {
            const QJsonObject o = lines[QFileInfo(f).fileName()];
            const bool bad = f.contains("corrupt") || f.contains("truncated");
            QCOMPARE(o["result"].toString(), QString(bad ? "failed" : "ok"));
            QCOMPARE(o["reason"].toString().isEmpty(), !bad);
            QVERIFY(o["seconds"].toDouble() > 0 || bad);
        }
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), 8);
    }

    void aFolderWithBadFilesIsWorkedThroughAndTheBadOnesListed()
    {
        QTemporaryDir dir;
        const QStringList files = makeFolder(dir.path());
        QCOMPARE(files.size(), 10);
        QMap<QString, QByteArray> before;
        for (const QString& f : files)
            before[f] = digest(f);
        const QString out = dir.filePath("out");
        const Run r = runBatch(QStringList{"--denoise", "--grey", "-j", "2", "-o", out} + files);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("corrupt.jpg") && r.err.contains("truncated.bmp"), qPrintable(r.err));
        QVERIFY2(!r.err.contains("scan"), qPrintable(r.err));
        for (int i = 0; i < 8; ++i) {
            const QImage img = read(QString("%1/scan%2.%3").arg(out).arg(i).arg(i % 2 ? "bmp" : "jpg"));
            QVERIFY(!img.isNull());
            QCOMPARE(qRed(img.pixel(270, 50)), qBlue(img.pixel(270, 50))); // grey
            QVERIFY(qGray(img.pixel(100, 60)) > 200);                        // no dust
        }
        QVERIFY(!QFile::exists(out + "/corrupt.jpg"));
        QVERIFY(!QFile::exists(out + "/truncated.bmp"));
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), 8); // no temporary files left
        for (const QString& f : files)
            QCOMPARE(digest(f), before[f]);
    }

    void twoWorkersWriteTheSameBytesAsOne()
    {
        QTemporaryDir dir;
        const QStringList files = makeFolder(dir.path()).mid(0, 8);
        const QStringList steps{"--deskew", "--denoise", "--resize", "300", "--margin", "4", "--format", "bmp"};
        QCOMPARE(runBatch(steps + QStringList{"-j", "1", "-o", dir.filePath("one")} + files).code, 0);
        QCOMPARE(runBatch(steps + QStringList{"-j", "2", "-o", dir.filePath("two")} + files).code, 0);
        for (int i = 0; i < 8; ++i) {
            const QString name = QString("/scan%1.bmp").arg(i);
            const QByteArray one = digest(dir.filePath("one") + name);
            QVERIFY(!one.isEmpty());
            QCOMPARE(digest(dir.filePath("two") + name), one);
        }
    }

    void inputsAreReplacedOnlyWhenAskedTo()
    {
        QTemporaryDir dir;
        const QString in = write(scan(0), dir.filePath("plan.bmp"));
        const QByteArray original = digest(in);
        // An output folder that holds the input: refused, input untouched.
        const Run same = runBatch({"--denoise", "-o", dir.path(), in});
        QCOMPARE(same.code, 1);
        QVERIFY2(same.err.contains("--in-place"), qPrintable(same.err));
        QCOMPARE(digest(in), original);
        // --in-place replaces it, leaving nothing else behind.
        const Run inPlace = runBatch({"--denoise", "--in-place", in});
        QCOMPARE(inPlace.code, 0);
        QCOMPARE(read(in).pixel(100, 60), qRgb(255, 255, 255));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plan.bmp"});
    }

    void helpIsInJapaneseAndEnglish()
    {
        const Run r = runBatch({"--help"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("使い方") && r.out.contains("Usage:") && r.out.contains("--remove-underlay"));
        QCOMPARE(runBatch({"--bogus"}).code, 2);
    }
};

ZORVAT_TEST_MAIN(BatchTest)
#include "test_batch.moc"
