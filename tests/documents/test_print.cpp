// The print command printing into a PDF file: where the picture lands for
// each choice of the size window, what the window shows, the question when
// the image's own size does not fit, the preview, and cancelling.
#include "documents/print_size_dialog.h"
#include "shell/messages.h"
#include "testsupport/formfixture.h"
#include "testsupport/testmain.h"
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

using namespace testsupport;

namespace {

// A black picture of w x h pixels at dpi, saved as BMP (which keeps the
// resolution exactly) and opened as the document from the command line.
QString writeBlack(const QString& path, int w, int h, int dpi)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.save(path, "BMP");
    return path;
}

// The bounding box of the dark pixels on the PDF's only page, in tenths of
// a millimetre from the sheet's corner.
QRect inkOnPage(const QString& pdf, const QString& dir)
{
    QProcess info;
    info.start("pdfinfo", {pdf});
    if (!info.waitForFinished() || !QString::fromUtf8(info.readAllStandardOutput()).contains(
                                       QRegularExpression("Pages:\\s+1\\n")))
        return QRect(-1, -1, 0, 0);
    QProcess render;
    render.start("pdftoppm", {"-r", "254", "-gray", "-singlefile", pdf, dir + "/page"});
    if (!render.waitForFinished(60000))
        return QRect(-1, -1, 0, 0);
    const QImage page(dir + "/page.pgm");
    QRect ink;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* row = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x)
            if (row[x] < 128)
                ink |= QRect(x, y, 1, 1);
    }
    QFile::remove(dir + "/page.pgm");
    return ink;
}

// The PDF printer's sheet and printable area, in tenths of a millimetre.
// The sheet lies across for a picture wider than high.
QSizeF paperSize(bool landscape = false)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    return printer.paperRect(QPrinter::Millimeter).size() * 10;
}
QRectF printableArea(bool landscape = false)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QRectF mm = printer.pageRect(QPrinter::Millimeter);
    return QRectF(mm.topLeft() * 10, mm.size() * 10);
}

bool near(const QRect& ink, const QRectF& expected)
{
    const double tolerance = 3; // tenths of a millimetre
    return qAbs(ink.left() - expected.left()) <= tolerance && qAbs(ink.top() - expected.top()) <= tolerance &&
           qAbs(ink.width() - expected.width()) <= tolerance && qAbs(ink.height() - expected.height()) <= tolerance;
}

QString describe(const QRect& ink, const QRectF& expected)
{
    return QString("ink %1,%2 %3x%4, expected %5,%6 %7x%8")
        .arg(ink.left())
        .arg(ink.top())
        .arg(ink.width())
        .arg(ink.height())
        .arg(expected.left())
        .arg(expected.top())
        .arg(expected.width())
        .arg(expected.height());
}

// Answers the size window with a choice: 1..5 squares, 6 fit, 7 actual size.
void choose(int choice)
{
    PrintSizeDialog::showOverride = [choice](PrintSizeDialog& w) {
        if (choice <= 5)
            w.optSquareSize[choice]->setChecked(true);
        else
            (choice == 6 ? w.optFitPaper : w.optActualSize)->setChecked(true);
        w.btnRet[1]->click();
    };
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        PrintSizeDialog::showOverride = nullptr;
        gf5::Gf5Print::printerDialogOverride = nullptr;
        gf5::Gf5Print::previewOverride = nullptr;
        messages::askOverride = nullptr;
    }

    void sizeWindowShowsImageSizeAndNewChoices()
    {
        ProgramDir dir;
        MainWindow f(QStringList{}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 600, 600), qRgb(0, 0, 0));
        setSelection(f, 10, 10, 50, 40);
        f.drawTools.setPrintToFile(dir.file("out.pdf"));
        QStringList sizes;
        QList<QRect> squares, added;
        PrintSizeDialog::showOverride = [&](PrintSizeDialog& w) {
            sizes << w.txtImageSize[1]->text() << w.txtImageSize[2]->text();
            for (int i = 1; i <= 5; ++i)
                squares << w.optSquareSize[i]->geometry();
            added << w.optFitPaper->geometry() << w.optActualSize->geometry();
            QCOMPARE(w.optFitPaper->text(), QString("用紙に合わせる"));
            QCOMPARE(w.optActualSize->text(), QString("原寸"));
            QVERIFY(!w.optFitPaper->toolTip().isEmpty());
            QVERIFY(w.optActualSize->toolTip().contains("mm"));
            w.btnRet[2]->click();
        };
        f.btnPrintOut->click();
        QCOMPARE(sizes, (QStringList{"600", "600"})); // the image, not the selection
        // The squares stand from the largest to the smallest, the new
        // choices below them, nothing overlapping.
        for (int i = 1; i < 5; ++i)
            QVERIFY(squares[i].top() < squares[i - 1].top());
        for (const QRect& r : added) {
            QVERIFY(r.top() > squares[0].bottom());
            for (const QRect& s : squares)
                QVERIFY(!r.intersects(s));
        }
        QVERIFY(!added[0].intersects(added[1]));
    }

    void placementOnThePage_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QRectF>("expected"); // on the sheet, tenths of a millimetre
        const QRectF area = printableArea();
        const QSizeF paper = paperSize();
        // A picture wider than high is printed on a sheet lying across.
        const QRectF across = printableArea(true);
        const QSizeF acrossPaper = paperSize(true);
        // Squares: 10 mm in from the printable corner, proportions kept.
        QTest::newRow("square 10cm") << 3 << QSize(600, 600) << 200
                                     << QRectF(area.left() + 100, area.top() + 100, 1000, 1000);
        QTest::newRow("square 7cm, landscape") << 2 << QSize(600, 300) << 200
                                               << QRectF(across.left() + 100, across.top() + 100, 700, 350);
        QTest::newRow("square 5cm, portrait") << 1 << QSize(200, 400) << 200
                                              << QRectF(area.left() + 100, area.top() + 100, 250, 500);
        // Fit: as large as the printable area allows, centred.
        const double hLand = across.height(), wLand = std::min(across.width(), hLand * 2);
        QTest::newRow("fit, landscape on a sheet across")
            << 6 << QSize(600, 300) << 200
            << QRectF(across.left() + (across.width() - wLand) / 2, across.top() + (across.height() - wLand / 2) / 2,
                      wLand, wLand / 2);
        const double h = area.height(), wPort = area.height() * 0.25;
        QTest::newRow("fit, tall") << 6 << QSize(100, 400) << 200
                                   << QRectF(area.left() + (area.width() - wPort) / 2, area.top(), wPort, h);
        // Actual size: pixels at the document's resolution, centred on the sheet.
        QTest::newRow("actual, 300 dpi") << 7 << QSize(600, 300) << 300
                                         << QRectF((acrossPaper.width() - 508) / 2, (acrossPaper.height() - 254) / 2,
                                                   508, 254);
        QTest::newRow("actual, 100 dpi") << 7 << QSize(400, 500) << 100
                                         << QRectF((paper.width() - 1016) / 2, (paper.height() - 1270) / 2, 1016, 1270);
    }

    void placementOnThePage()
    {
        QFETCH(int, choice);
        QFETCH(QSize, pixels);
        QFETCH(int, dpi);
        QFETCH(QRectF, expected);
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        ProgramDir dir;
        MainWindow f(QStringList{writeBlack(dir.file("plan.bmp"), pixels.width(), pixels.height(), dpi)}, dir.path());
        const QString pdf = dir.file("out.pdf");
        f.drawTools.setPrintToFile(pdf);
        choose(choice);
        f.btnPrintOut->click();
        QCOMPARE(f.drawTools.PrintMode(), int16_t(0));
        const QRect ink = inkOnPage(pdf, dir.path());
        QVERIFY2(near(ink, expected), qPrintable(describe(ink, expected)));
    }

    void theSizeWindowSaysTheScaleAndTheSheetLiesAsThePlan()
    {
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        ProgramDir dir;
        MainWindow f(QStringList{writeBlack(dir.file("plan.bmp"), 600, 300, 300)}, dir.path());
        f.document.setScaleDenominator(50);
        const QString pdf = dir.file("out.pdf");
        f.drawTools.setPrintToFile(pdf);
        QString said;
        bool liveBefore = true, liveAfter = false;
        PrintSizeDialog::showOverride = [&](PrintSizeDialog& w) {
            said = w.lblPrintScale->text();
            liveBefore = w.lblPrintScale->isEnabled();
            w.optActualSize->setChecked(true);
            liveAfter = w.lblPrintScale->isEnabled();
            w.btnRet[1]->click();
        };
        f.btnPrintOut->click();
        QCOMPARE(said, QString("1/50 で印刷"));
        QVERIFY(!liveBefore && liveAfter); // it speaks for 原寸
        QProcess info;
        info.start("pdfinfo", {pdf});
        QVERIFY(info.waitForFinished(30000));
        const QRegularExpressionMatch m = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")
                                              .match(QString::fromUtf8(info.readAllStandardOutput()));
        QVERIFY(m.hasMatch());
        QVERIFY2(m.captured(1).toDouble() > m.captured(2).toDouble(), qPrintable(m.captured(0)));
    }

    void actualSizeTooLargeAsksForFit()
    {
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        ProgramDir dir;
        // 600 x 1200 mm at 50 dpi: no sheet holds it.
        MainWindow f(QStringList{writeBlack(dir.file("plan.bmp"), 1181, 2362, 50)}, dir.path());
        const QString pdf = dir.file("out.pdf");
        f.drawTools.setPrintToFile(pdf);
        // 原寸 first; いいえ brings the size window back, which is then cancelled.
        int shown = 0;
        PrintSizeDialog::showOverride = [&](PrintSizeDialog& w) {
            if (++shown == 1) {
                w.optActualSize->setChecked(true);
                w.btnRet[1]->click();
            } else {
                QVERIFY(w.optFitPaper->isChecked());
                w.btnRet[2]->click();
            }
        };
        QStringList asked;
        messages::askOverride = [&](const QString& text) {
            asked << text;
            return false;
        };
        f.btnPrintOut->click();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(shown, 2);
        QVERIFY(asked[0].contains("収まりません"));
        QVERIFY(asked[0].contains("用紙に合わせて"));
        QVERIFY(!QFile::exists(pdf)); // いいえ, then キャンセル: nothing printed

        choose(7);
        messages::askOverride = [&](const QString&) { return true; };
        f.btnPrintOut->click();
        const QRectF area = printableArea();
        const double h = area.height(), w = h * 1181 / 2362;
        const QRectF fit(area.left() + (area.width() - w) / 2, area.top(), w, h);
        const QRect ink = inkOnPage(pdf, dir.path());
        QVERIFY2(near(ink, fit), qPrintable(describe(ink, fit)));
    }

    void previewComesFirstAndItsPrintButtonPrints()
    {
        ProgramDir dir;
        MainWindow f(QStringList{writeBlack(dir.file("plan.bmp"), 300, 200, 200)}, dir.path());
        const QString pdf = dir.file("out.pdf");
        f.drawTools.setPrintToFile(pdf);
        choose(6);
        int pages = -1;
        QString title;
        bool printNow = false, writtenWhilePreviewing = false;
        gf5::Gf5Print::previewOverride = [&](QDialog& dialog) {
            title = dialog.windowTitle();
            QTimer::singleShot(0, [&] {
                auto* widget = dialog.findChild<QPrintPreviewWidget*>();
                pages = widget ? widget->pageCount() : -1;
                writtenWhilePreviewing = writtenWhilePreviewing || QFile(pdf).size() > 0;
                if (printNow)
                    dialog.findChild<QAction*>("previewPrint")->trigger();
                else
                    dialog.reject();
            });
            return dialog.exec() == QDialog::Accepted;
        };
        f.btnPrintOut->click(); // closed without printing
        QCOMPARE(title, QString("印刷プレビュー"));
        QCOMPARE(pages, 1);
        QVERIFY(!QFile::exists(pdf) || QFile(pdf).size() == 0);

        printNow = true;
        pages = -1;
        f.btnPrintOut->click();
        QCOMPARE(pages, 1);
        QVERIFY(!writtenWhilePreviewing);
        QVERIFY(QFile(pdf).size() > 0);
    }

    void cancellingPrintsNothing()
    {
        ProgramDir dir;
        MainWindow f(QStringList{}, dir.path());
        const QString pdf = dir.file("out.pdf");
        f.drawTools.setPrintToFile(pdf);
        int asked = 0;
        PrintSizeDialog::showOverride = [&](PrintSizeDialog& w) {
            ++asked;
            w.optSquareSize[5]->setChecked(true);
            w.btnRet[2]->click();
        };
        f.btnPrintOut->click();
        QCOMPARE(asked, 1);
        QCOMPARE(documents::PrintSize, 0);
        QVERIFY(!QFile::exists(pdf));

        // Printer dialog cancelled: the size window is not even shown.
        gf5::Gf5Print::printerDialogOverride = [] { return 0; };
        PrintSizeDialog::showOverride = [&](PrintSizeDialog&) { ++asked; };
        f.btnPrintOut->click();
        QCOMPARE(asked, 1);
        QVERIFY(!QFile::exists(pdf));
    }

    // The size window opens with 用紙に合わせる chosen, so its OK always
    // prints the whole picture.
    void okAtOncePrintsFittedToThePaper()
    {
        ProgramDir dir;
        MainWindow f(QStringList{writeBlack(dir.file("plan.bmp"), 300, 200, 200)}, dir.path());
        const QString pdf = dir.file("out.pdf");
        f.drawTools.setPrintToFile(pdf);
        PrintSizeDialog::showOverride = [&](PrintSizeDialog& w) { w.btnRet[1]->click(); };
        f.btnPrintOut->click();
        QVERIFY(documents::PrintChoice == documents::PrintLayout::FitPaper);
        QVERIFY(QFile(pdf).size() > 0);
    }
};

ZORVAT_TEST_MAIN(TestPrint)
#include "test_print.moc"
