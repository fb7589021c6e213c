// The print command printing into a PDF file: where the picture lands, what
// the size window shows, and cancelling at either question.
#include "documents/form4.h"
#include "testsupport/formfixture.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>

using namespace testsupport;

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        Form4::showOverride = nullptr;
        gf5::Gf5Print::printerDialogOverride = nullptr;
    }

    void tenCentimetresLandTenMillimetresIn()
    {
        ProgramDir dir;
        Form1 f(QStringList{}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 600, 600), qRgb(0, 0, 0));
        setSelection(f, 10, 10, 50, 40);
        const QString pdf = dir.file("out.pdf");
        f.Gf5Print1.setPrintToFile(pdf);
        QStringList sizes;
        Form4::showOverride = [&](Form4& w) {
            sizes << w.Text1[1]->text() << w.Text1[2]->text();
            w.Option1[3]->setChecked(true);
            w.btnRet[1]->click();
        };
        f.btnPrintOut->click();
        QCOMPARE(sizes, (QStringList{"600", "600"})); // the image, not the selection
        QCOMPARE(documents::PrintSize, 10);
        QCOMPARE(f.Gf5Print1.PrintMode(), int16_t(0));
        QVERIFY(QFile::exists(pdf));

        if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        QProcess info;
        info.start("pdfinfo", {pdf});
        QVERIFY(info.waitForFinished());
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression("Pages:\\s+1\\n")));
        // 254 dots per inch: one dot is a tenth of a millimetre.
        QProcess render;
        render.start("pdftoppm", {"-r", "254", "-gray", "-singlefile", pdf, dir.file("page")});
        QVERIFY(render.waitForFinished(60000));
        QImage page(dir.file("page.pgm"));
        QVERIFY(!page.isNull());
        QRect ink;
        for (int y = 0; y < page.height(); ++y) {
            const uchar* row = page.constScanLine(y);
            for (int x = 0; x < page.width(); ++x)
                if (row[x] < 128)
                    ink |= QRect(x, y, 1, 1);
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QRectF printable = printer.pageRect(QPrinter::Millimeter);
        QVERIFY(qAbs(ink.left() - (printable.left() * 10 + 100)) <= 2);
        QVERIFY(qAbs(ink.top() - (printable.top() * 10 + 100)) <= 2);
        QVERIFY(qAbs(ink.width() - 1000) <= 2);
        QVERIFY(qAbs(ink.height() - 1000) <= 2);
    }

    void cancellingPrintsNothing()
    {
        ProgramDir dir;
        Form1 f(QStringList{}, dir.path());
        const QString pdf = dir.file("out.pdf");
        f.Gf5Print1.setPrintToFile(pdf);
        int asked = 0;
        Form4::showOverride = [&](Form4& w) {
            ++asked;
            w.Option1[5]->setChecked(true);
            w.btnRet[2]->click();
        };
        f.btnPrintOut->click();
        QCOMPARE(asked, 1);
        QCOMPARE(documents::PrintSize, 0);
        QVERIFY(!QFile::exists(pdf));

        // OK without a size chosen prints nothing either.
        Form4::showOverride = [&](Form4& w) { w.btnRet[1]->click(); };
        f.btnPrintOut->click();
        QVERIFY(!QFile::exists(pdf));

        // Printer dialog cancelled: the size window is not even shown.
        gf5::Gf5Print::printerDialogOverride = [] { return 0; };
        Form4::showOverride = [&](Form4&) { ++asked; };
        f.btnPrintOut->click();
        QCOMPARE(asked, 1);
        QVERIFY(!QFile::exists(pdf));
    }
};

ZORVAT_TEST_MAIN(TestPrint)
#include "test_print.moc"
