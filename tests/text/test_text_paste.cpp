// Room names drawn into the canvas selection.
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QPushButton>

using namespace testsupport;

namespace {
const QRgb Black = qRgb(0, 0, 0);
const QRgb Grey = qRgb(128, 128, 128);


// Bounding box of the black pixels inside area (null when none).
QRect blackBounds(const QImage& img, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Number of separate runs of rows holding black pixels.
int rowRuns(const QImage& img, const QRect& area)
{
    int runs = 0;
    bool inRun = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool any = false;
        for (int x = area.left(); x <= area.right() && !any; ++x)
            any = (img.pixel(x, y) & 0xFFFFFF) == 0;
        if (any && !inRun)
            ++runs;
        inRun = any;
    }
    return runs;
}
} // namespace

class TextPasteTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The Windows font of the program is drawn with IPA P Gothic here.
        QFont::insertSubstitution("ＭＳ Ｐゴシック", "IPAPGothic");
    }

    void noSelectionChangesNothing()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(10, 10, 5, 5), Black);
        const QImage before = canvasImage(f);
        const int32_t snapshot = f.fxUndo.ResultImage;
        for (auto sel : {QRect(), QRect(QPoint(50, 50), QPoint(0, 120)), QRect(QPoint(50, 50), QPoint(120, 0))}) {
            setSelection(f, sel.left(), sel.top(), sel.isNull() ? 0 : sel.right(), sel.isNull() ? 0 : sel.bottom());
            f.btnMojiIn->click();
            COMPARE_IMAGES(canvasImage(f), before, "no-selection");
            QCOMPARE(f.fxUndo.ResultImage, snapshot);
        }
    }

    void defaultPasteIsBoldHorizontalOnWhite()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QVERIFY(f.chkBold->isChecked());
        QVERIFY(!f.chkTate->isChecked());
        QVERIFY(!f.chkBack->isChecked());
        QCOMPARE(f.txtmoji->count(), 19);
        QCOMPARE(f.txtmoji->currentText(), QString("洋室"));
        paintOnCanvas(f, QRect(90, 90, 220, 120), Grey);
        setSelection(f, 100, 100, 300, 200);
        f.btnMojiIn->click();
        const QImage img = canvasImage(f);
        const QRect sel(100, 100, 200, 100);
        // The box behind the text is white; the text lies inside it, centred.
        QCOMPARE(countColour(img, Grey, sel), 0);
        QCOMPARE(countColour(img, Grey, QRect(90, 90, 220, 120)), 220 * 120 - 200 * 100);
        const QRect text = blackBounds(img, sel);
        QVERIFY(!text.isNull());
        QVERIFY(text.width() > text.height());
        QVERIFY2(std::abs(text.center().x() - sel.center().x()) <= 3, qPrintable(QString::number(text.center().x())));
        QVERIFY2(std::abs(text.center().y() - sel.center().y()) <= 6, qPrintable(QString::number(text.center().y())));
        // As large as fits: the two characters span nearly the whole width.
        QVERIFY2(text.width() >= 190, qPrintable(QString::number(text.width())));
        QCOMPARE(countColour(img, Black), countColour(img, Black, sel));
        // Selection stays for another paste.
        QCOMPARE(f.dspCanvas->SelectionRight(), 300);
        QCOMPARE(f.dspCanvas->DisplayMode(), int16_t(2));
    }

    void transparentBackgroundShowsThePlan()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(100, 100, 200, 100), Grey);
        f.chkBack->setChecked(true);
        setSelection(f, 100, 100, 300, 200);
        f.btnMojiIn->click();
        const QImage img = canvasImage(f);
        const int black = countColour(img, Black, QRect(100, 100, 200, 100));
        QVERIFY(black > 100);
        QCOMPARE(countColour(img, Grey, QRect(100, 100, 200, 100)), 200 * 100 - black);
    }

    void verticalWritingStacksUprightCharacters()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.chkTate->setChecked(true);
        f.chkBack->setChecked(true); // direction combines with transparency
        setSelection(f, 100, 100, 170, 260);
        f.btnMojiIn->click();
        const QImage img = canvasImage(f);
        const QRect sel(100, 100, 70, 160);
        const QRect text = blackBounds(img, sel);
        QVERIFY(text.height() > text.width() * 3 / 2);
        QCOMPARE(rowRuns(img, sel), 2); // 洋 above 室
        QCOMPARE(countColour(img, Black), countColour(img, Black, sel));
    }

    void textTooLargeIsShrunkToFitAndCentred()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.txtmoji->setCurrentText("クローゼット");
        setSelection(f, 200, 200, 260, 220);
        f.btnMojiIn->click();
        const QImage img = canvasImage(f);
        const QRect sel(200, 200, 60, 20);
        const QRect text = blackBounds(img, sel);
        QVERIFY(!text.isNull());
        QVERIFY2(text.width() >= 40, qPrintable(QString::number(text.width()))); // all six characters, smaller
        QVERIFY(std::abs(text.center().x() - sel.center().x()) <= 3);
        QCOMPARE(countColour(img, Black), countColour(img, Black, sel));
        // Vertically in a narrow column as well.
        f.chkTate->setChecked(true);
        setSelection(f, 400, 100, 420, 180);
        f.btnMojiIn->click();
        const QImage img2 = canvasImage(f);
        QCOMPARE(countColour(img2, Black) - countColour(img, Black),
                 countColour(img2, Black, QRect(400, 100, 20, 80)));
        QVERIFY(countColour(img2, Black, QRect(400, 100, 20, 80)) > 20);
    }

    // Room names fill the selection on a high-resolution scan: the text grows
    // past the nominal size, keeps its proportions and is centred.
    void textFillsTheSelection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("sel");
        QTest::addColumn<bool>("byHeight"); // the height limits, not the width
        QTest::newRow("400 x 150") << "洋室" << QRect(50, 50, 400, 150) << true;
        QTest::newRow("wide room name") << "クローゼット" << QRect(50, 50, 400, 150) << false;
        QTest::newRow("tall box") << "LDK" << QRect(20, 20, 120, 400) << false;
    }
    void textFillsTheSelection()
    {
        QFETCH(QString, text);
        QFETCH(QRect, sel);
        QFETCH(bool, byHeight);
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnCanvas(f, whiteImage(500, 500));
        f.txtmoji->setCurrentText(text);
        setSelection(f, sel.left(), sel.top(), sel.left() + sel.width(), sel.top() + sel.height());
        f.btnMojiIn->click();
        const QImage img = canvasImage(f);
        const QRect ink = blackBounds(img, sel);
        QVERIFY(!ink.isNull());
        const QString got = QString("%1 x %2 at %3,%4").arg(ink.width()).arg(ink.height()).arg(ink.x()).arg(ink.y());
        if (byHeight)
            QVERIFY2(ink.height() >= sel.height() * 9 / 10, qPrintable(got));
        else
            QVERIFY2(ink.width() >= sel.width() * 9 / 10, qPrintable(got));
        QVERIFY2(std::abs(ink.center().x() - sel.center().x()) <= 4, qPrintable(got));
        QVERIFY2(std::abs(ink.center().y() - sel.center().y()) <= 4, qPrintable(got));
        QCOMPARE(countColour(img, Black), countColour(img, Black, sel));
    }

    void undoRemovesOnlyTheText()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(120, 120, 30, 30), Grey);
        const QImage before = canvasImage(f);
        setSelection(f, 100, 100, 300, 200);
        f.btnMojiIn->click();
        QVERIFY(countColour(canvasImage(f), Black) > 0);
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), before, "text-undo");
    }

};

ZORVAT_TEST_MAIN(TextPasteTest)
#include "test_text_paste.moc"
