// PNG and PDF documents through the main window: saving by the name chosen,
// plain saves, opening PNG from every way in, and the parts library.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QPushButton>
#include <QTabBar>

using namespace testsupport;

namespace {
// Black line art on a transparent background.
QImage transparentPart()
{
    QImage img(40, 30, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int x = 5; x < 35; ++x)
        img.setPixel(x, 15, qRgba(0, 0, 0, 255));
    return img;
}

void checkTransparentPartOnCanvas(const MainWindow& f, const QString& path)
{
    QCOMPARE(f.document.path(), path);
    QCOMPARE(f.SourceBitDepth, int16_t(32));
    const QImage canvas = canvasImage(f);
    QCOMPARE(canvas.size(), QSize(40, 30));
    QCOMPARE(canvas.pixel(10, 15) & 0xFFFFFF, 0u);
    QCOMPARE(canvas.pixel(10, 5) & 0xFFFFFF, 0xFFFFFFu); // transparency becomes paper
    QVERIFY(f.windowTitle().endsWith("  W 40 H 30   24BitColor"));
}
}

class FormatsTest : public QObject {
    Q_OBJECT
private slots:
    void pngNamesAreWrittenAsPngWithTheResolution()
    {
        ProgramDir dir("[print]\ndpi=300\n");
        MainWindow f({}, dir.path());
        FileDialogs dialogs;
        paintOnCanvas(f, QRect(100, 100, 50, 20), qRgb(12, 34, 56));
        dialogs.answer = dir.file("plan.PNG");
        f.btnSave_Click(1);
        QCOMPARE(fileFormat(dialogs.answer), QByteArray("png"));
        QCOMPARE(f.document.path(), dialogs.answer);
        const QImage saved(dialogs.answer);
        QCOMPARE(qRound(saved.dotsPerMeterX() * 0.0254), 300);
        COMPARE_IMAGES(saved.convertToFormat(QImage::Format_RGB32), canvasImage(f), "saved-png");

        // A plain save writes the PNG document again, without asking.
        paintOnCanvas(f, QRect(0, 0, 5, 5), qRgb(0, 0, 0));
        const QString title = f.windowTitle();
        f.mnuEditSave_Click();
        QCOMPARE(dialogs.opened, 1);
        QCOMPARE(fileFormat(dialogs.answer), QByteArray("png"));
        QCOMPARE(QImage(dialogs.answer).pixel(2, 2) & 0xFFFFFF, 0u);
        QCOMPARE(f.windowTitle(), title);

        // Other names keep their rules.
        dialogs.answer = dir.file("plan.bmp");
        f.btnSave_Click(1);
        QCOMPARE(fileFormat(dialogs.answer), QByteArray("bmp"));
        dialogs.answer = dir.file("plan.jpeg");
        f.btnSave_Click(1);
        QCOMPARE(fileFormat(dialogs.answer), QByteArray("jpeg"));
        dialogs.answer = dir.file("plan.tif");
        f.btnSave_Click(1);
        QCOMPARE(fileFormat(dialogs.answer), QByteArray("bmp"));
    }

    void pdfExportHoldsTheCanvasAndAPlainSaveAsks()
    {
        ProgramDir dir("[print]\ndpi=200\n");
        // A picture that states no resolution (0 pixels per metre) takes the
        // settings file's 200 dpi.
        const QString plan = writePlan(dir.file("plan.bmp"), 400, 300);
        {
            QFile bmp(plan);
            QVERIFY(bmp.open(QIODevice::ReadWrite));
            bmp.seek(38);
            bmp.write(QByteArray(8, '\0'));
        }
        MainWindow f({plan}, dir.path());
        FileDialogs dialogs;
        dialogs.answer = dir.file("間取り.pdf");
        f.btnSave_Click(1);
        QFile pdf(dialogs.answer);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        pdf.close();
        QCOMPARE(f.document.path(), dialogs.answer);
        const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
        if (!pdfinfo.isEmpty()) {
            QProcess p;
            p.start(pdfinfo, {dialogs.answer});
            QVERIFY(p.waitForFinished(30000));
            const QString info = QString::fromUtf8(p.readAllStandardOutput());
            QVERIFY2(info.contains(QRegularExpression("Title:\\s+間取り\\n")), qPrintable(info));
            QVERIFY2(info.contains("Page size:       144 x 108 pts"), qPrintable(info)); // 2 x 1.5 inches
        }

        // The PDF cannot be read back: a plain save asks for a name, and
        // reverting leaves the canvas as it is.
        const QByteArray before = [&] { QFile f(dialogs.answer); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        dialogs.answer.clear();
        f.mnuEditSave_Click();
        QCOMPARE(dialogs.opened, 2);
        const int32_t canvas = f.dspCanvas->ImageHandle();
        f.btnSaveVertion_Click();
        QCOMPARE(f.dspCanvas->ImageHandle(), canvas);
        QFile again(dir.file("間取り.pdf"));
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), before);

        dialogs.answer = dir.file("copy.bmp");
        f.btnSave[0]->click();
        QCOMPARE(dialogs.opened, 3);
        QCOMPARE(fileFormat(dialogs.answer), QByteArray("bmp"));
    }

    void pngOpensFromTheCommandLineTheDialogAndADrop()
    {
        ProgramDir dir;
        const QString path = dir.file("part.png");
        QVERIFY(transparentPart().save(path, "PNG"));
        {
            MainWindow f({path}, dir.path());
            checkTransparentPartOnCanvas(f, path);
        }
        MainWindow f({}, dir.path());
        FileDialogs dialogs;
        dialogs.answer = path;
        f.btnOpen_Click();
        checkTransparentPartOnCanvas(f, path);
        f.btnNewImage_Click();
        emit f.dspCanvas->FileDropped(path);
        checkTransparentPartOnCanvas(f, path);
    }

    void theLibraryListsPngParts()
    {
        ProgramDir dir;
        const QString bihin = dir.file("buhin/bihin");
        QVERIFY(QDir().mkpath(bihin));
        QVERIFY(transparentPart().save(bihin + "/door.png", "PNG"));
        writePlan(bihin + "/bed.bmp", 20, 20, "BMP");
        MainWindow f({}, dir.path());
        QTest::mouseClick(f.tabLibrary, Qt::LeftButton, {}, f.tabLibrary->tabRect(0).center());
        QCOMPARE(f.thmParts->shownFiles(), QStringList({bihin + "/bed.bmp", bihin + "/door.png"}));
        f.thmParts->clickRow(1);
        const QImage* preview = gf5::ImageStore::image(f.dspPreview->ImageHandle());
        QVERIFY(preview);
        QCOMPARE(preview->size(), QSize(40, 30));
    }
};

ZORVAT_TEST_MAIN(FormatsTest)
#include "test_formats.moc"
