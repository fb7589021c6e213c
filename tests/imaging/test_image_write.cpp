// Writing PNG and PDF: lossless round trips carrying the resolution, the PDF
// page size, picture and title, and the dialogs' type choices.
#include "imaging/io/dialogfilter.h"
#include "imaging/io/gf5file.h"
#include "imaging/io/imagewrite.h"
#include "imaging/store/gf5common.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace gf5;

namespace {

// Line art with a few colours, so that any loss or shift shows.
QImage plan(int w, int h, int dpi)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x % 17 == 3 || y % 13 == 5)
                img.setPixel(x, y, qRgb(x % 256, 0, y % 256));
    img.setPixel(0, 0, qRgb(1, 2, 3));
    img.setPixel(w - 1, h - 1, qRgb(250, 251, 252));
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    return img;
}

// Output of a poppler tool, or a null array when the tool is missing.
QByteArray run(const QString& tool, const QStringList& args)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        return {};
    QProcess p;
    p.start(exe, args);
    p.waitForFinished(60000);
    return p.readAllStandardOutput() + " ";
}

// "Page size: 841.89 x 1190.55 pts" -> millimetres.
QSizeF pageSizeMm(const QByteArray& pdfinfo)
{
    const QRegularExpression re("Page size:\\s+([0-9.]+) x ([0-9.]+) pts");
    const auto m = re.match(QString::fromUtf8(pdfinfo));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72) : QSizeF();
}

} // namespace

class TestImageWrite : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void pngKeepsEveryPixelAndTheResolution()
    {
        const QImage img = plan(301, 207, 400);
        QCOMPARE(io::writeImageFile(img, path("a.png"), io::FileType::Png), QString());
        QImageReader probe(path("a.png"));
        QCOMPARE(probe.format(), QByteArray("png"));

        Gf5File file;
        file.FileName = path("a.png");
        QVERIFY(file.Execute());
        Gf5Common common;
        common.ImageHandle = file.ImageHandle;
        QCOMPARE(common.BitDepth(), int16_t(24));
        QCOMPARE(common.ResolutionX(), 400);
        QCOMPARE(common.ResolutionY(), 400);
        COMPARE_IMAGES(*ImageStore::image(file.ImageHandle), img, "png-roundtrip");
        common.FreeImage();

        // A resolution given by the caller wins over the image's own.
        QCOMPARE(io::writeImageFile(img, path("b.png"), io::FileType::Png, {75, 150, {}}), QString());
        QCOMPARE(qRound(QImage(path("b.png")).dotsPerMeterX() * 0.0254), 150);
    }

    // Full-colour BMP files hold the bytes Qt's own writer gives: every row
    // padding, a picture without a resolution, rows over several bands.
    void bmpIsByteForByteQtsWriter_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("dpi");
        QTest::newRow("no padding") << QSize(40, 7) << 300;
        QTest::newRow("1 byte padding") << QSize(41, 9) << 400;
        QTest::newRow("2 bytes padding") << QSize(42, 5) << 200;
        QTest::newRow("3 bytes padding") << QSize(1, 3) << 96;
        QTest::newRow("no resolution") << QSize(13, 11) << 0;
        QTest::newRow("several bands") << QSize(1501, 1000) << 400;
    }

    void bmpIsByteForByteQtsWriter()
    {
        QFETCH(QSize, size);
        QFETCH(int, dpi);
        QImage img = plan(size.width(), size.height(), std::max(dpi, 1));
        if (dpi == 0) {
            img.setDotsPerMeterX(0);
            img.setDotsPerMeterY(0);
        }
        QCOMPARE(io::writeImageFile(img, path("ours.bmp"), io::FileType::Bmp), QString());
        QVERIFY(img.save(path("qt.bmp"), "BMP"));
        QFile ours(path("ours.bmp")), qt(path("qt.bmp"));
        QVERIFY(ours.open(QIODevice::ReadOnly) && qt.open(QIODevice::ReadOnly));
        const QByteArray a = ours.readAll(), b = qt.readAll();
        QCOMPARE(a.size(), b.size());
        qsizetype first = 0;
        while (first < a.size() && a[first] == b[first])
            ++first;
        QCOMPARE(first, a.size());
    }

    void gf5FileWritesPngAndPdfByOperation()
    {
        const int32_t h = ImageStore::add(plan(40, 30, 200), 24);
        Gf5File file;
        file.ImageHandle = h;
        file.FileName = path("op.png");
        file.FileOperation = Gf5File::WritePng;
        QVERIFY(file.Execute());
        QCOMPARE(QImageReader(path("op.png")).format(), QByteArray("png"));
        file.FileName = path("op.pdf");
        file.FileOperation = Gf5File::WritePdf;
        QVERIFY(file.Execute());
        QVERIFY(readStart(path("op.pdf")).startsWith("%PDF-"));
        ImageStore::release(h);
    }

    void pdfPageHasTheImagesSizeAtItsResolution()
    {
        QImage a3(4677, 6614, QImage::Format_RGB32);
        a3.fill(Qt::white);
        a3.setDotsPerMeterX(qRound(400 / 0.0254));
        a3.setDotsPerMeterY(qRound(400 / 0.0254));
        QCOMPARE(io::writeImageFile(a3, path("a3.pdf"), io::FileType::Pdf, {75, 0, "平面図"}), QString());
        const QByteArray info = run("pdfinfo", {path("a3.pdf")});
        if (info.isNull())
            QSKIP("pdfinfo is not installed");
        const QSizeF mm = pageSizeMm(info);
        QVERIFY2(qAbs(mm.width() - 297) < 0.5 && qAbs(mm.height() - 420) < 0.5, info.constData());
        QVERIFY2(QString::fromUtf8(info).contains(QRegularExpression("Pages:\\s+1\\n")), info.constData());
        QVERIFY2(QString::fromUtf8(info).contains(QRegularExpression("Title:\\s+平面図\\n")), info.constData());

        // A landscape picture gives a landscape page.
        const QImage wide = plan(600, 300, 200);
        QCOMPARE(io::writeImageFile(wide, path("wide.pdf"), io::FileType::Pdf), QString());
        const QSizeF wideMm = pageSizeMm(run("pdfinfo", {path("wide.pdf")}));
        QVERIFY2(qAbs(wideMm.width() - 76.2) < 0.5 && qAbs(wideMm.height() - 38.1) < 0.5,
                 qPrintable(QString("%1 x %2").arg(wideMm.width()).arg(wideMm.height())));
    }

    void pdfHoldsThePictureLosslesslyAtFullSize()
    {
        const QImage img = plan(257, 181, 300);
        QCOMPARE(io::writeImageFile(img, path("plan.pdf"), io::FileType::Pdf, {75, 0, "plan"}), QString());
        const QByteArray list = run("pdfimages", {"-list", path("plan.pdf")});
        if (list.isNull())
            QSKIP("pdfimages is not installed");
        // One picture of the image's own size, not stored as JPEG.
        QVERIFY2(QString::fromUtf8(list).contains(QRegularExpression("\\s257\\s+181\\s+rgb\\s+3\\s+8\\s+image")),
                 list.constData());
        run("pdfimages", {"-png", path("plan.pdf"), path("extracted")});
        const QImage extracted(path("extracted-000.png"));
        QVERIFY(!extracted.isNull());
        COMPARE_IMAGES(extracted.convertToFormat(QImage::Format_RGB32), img, "pdf-picture");
    }

    void failedWritesSayWhyAndLeaveTheOldFile()
    {
        const QImage img = plan(20, 20, 200);
        QVERIFY(!io::writeImageFile(img, path("missing/a.png"), io::FileType::Png).isEmpty());
        QVERIFY(!io::writeImageFile(img, path("missing/a.pdf"), io::FileType::Pdf).isEmpty());
        QVERIFY(!io::writeImageFile(QImage(), path("empty.pdf"), io::FileType::Pdf).isEmpty());
        QVERIFY(!QFile::exists(path("empty.pdf")));
    }

    void dialogsOfferTheTypesThatCanBeReadOrWritten()
    {
        const QString open = io::dialogFilter("*;JPG;PNG;BMP;PDF;", false);
        const QString save = io::dialogFilter("*;JPG;PNG;BMP;PDF;", true);
        const QStringList saveEntries = save.split(";;");
        QVERIFY2(saveEntries.size() == 6, qPrintable(save));
        QVERIFY(saveEntries[0].startsWith("画像 (") && saveEntries[0].contains("*.pdf"));
        QCOMPARE(saveEntries[1], QString("JPEG画像 (*.jpg *.JPG *.jpeg *.JPEG)"));
        QCOMPARE(saveEntries[2], QString("PNG画像 (*.png *.PNG)"));
        QCOMPARE(saveEntries[3], QString("BMP画像 (*.bmp *.BMP)"));
        QCOMPARE(saveEntries[4], QString("PDF文書 (*.pdf *.PDF)"));
        QCOMPARE(saveEntries[5], QString("すべてのファイル (*)"));
        // PDF cannot be read back, so the open dialog leaves it out.
        QVERIFY(!open.contains("pdf", Qt::CaseInsensitive));
        QVERIFY(open.contains("*.png"));
        // Before any save the open dialog still offers PNG.
        QVERIFY(io::dialogFilter(QString(), false).startsWith("画像 (*.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.bmp"));

        // Choosing one type and typing a bare name gives that type's extension.
        QCOMPARE(io::withChosenExtension("/p/plan", saveEntries[2]), QString("/p/plan.png"));
        QCOMPARE(io::withChosenExtension("/p/plan", saveEntries[1]), QString("/p/plan.jpg"));
        QCOMPARE(io::withChosenExtension("/p/plan.gif", saveEntries[2]), QString("/p/plan.gif"));
        QCOMPARE(io::withChosenExtension("/p/plan", saveEntries[0]), QString("/p/plan"));
        QCOMPARE(io::withChosenExtension("/p/plan", saveEntries[5]), QString("/p/plan"));
        QCOMPARE(io::withChosenExtension(QString(), saveEntries[2]), QString());

        // Drawings are offered for saving on their own, never as pictures, and never for opening.
        const QStringList drawings = io::dialogFilter("*;JPG;PNG;BMP;PDF;DXF;SVG;", true).split(";;");
        QVERIFY2(drawings.contains("DXF 図面 (*.dxf *.DXF)") && drawings.contains("SVG 図面 (*.svg *.SVG)"),
                 qPrintable(drawings.join(" | ")));
        QVERIFY(!drawings[0].contains("dxf") && !drawings[0].contains("svg"));
        QVERIFY(!io::dialogFilter("*;JPG;DXF;SVG;", false).contains("dxf", Qt::CaseInsensitive));
        QCOMPARE(io::withChosenExtension("/p/plan", "DXF 図面 (*.dxf *.DXF)"), QString("/p/plan.dxf"));
    }

private:
    QByteArray readStart(const QString& p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.read(16) : QByteArray();
    }
};

ZORVAT_TEST_MAIN(TestImageWrite)
#include "test_image_write.moc"
