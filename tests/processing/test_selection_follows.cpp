// Commands that change the canvas image's size or orientation leave no
// stale selection behind to steer the next command.
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QLineEdit>
#include <QPushButton>

using namespace testsupport;

namespace {
QImage colourful(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(200, (x * 3) % 256, (y * 5) % 256));
    return img;
}

void clickButton(MainWindow& f, const QString& name)
{
    auto* b = f.findChild<QAbstractButton*>(name);
    QVERIFY2(b, qPrintable(name));
    b->click();
}
} // namespace

class SelectionFollowsTest : public QObject {
    Q_OBJECT
private slots:
    void clearedWhenTheImageChangesShape_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("angle");
        QTest::newRow("cut-out") << "btnCut" << "0";
        QTest::newRow("resize") << "Command10" << "0";
        QTest::newRow("turn 90") << "btnRoteteAndTurn(0)" << "90";
        QTest::newRow("mirror left-right") << "btnRoteteAndTurn(1)" << "0";
        QTest::newRow("mirror top-bottom") << "btnRoteteAndTurn(2)" << "0";
    }
    void clearedWhenTheImageChangesShape()
    {
        QFETCH(QString, button);
        QFETCH(QString, angle);
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnCanvas(f, colourful(240, 120));
        f.cmbRotate->setText(angle);
        setSelection(f, 30, 20, 130, 70);
        const int32_t before = f.dspCanvas->ImageHandle();
        clickButton(f, button);
        QVERIFY(f.dspCanvas->ImageHandle() != before); // the command ran
        QCOMPARE(selectionRect(f), QRect(QPoint(0, 0), QPoint(0, 0)));
        f.btnUndo_Click();
        QCOMPARE(canvasImage(f).size(), QSize(240, 120));
    }

    // The reported case: after a cut-out, グレースケール greys the whole new
    // image, not a corner of it.
    void greyAfterCutOutCoversTheWholeImage()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnCanvas(f, colourful(240, 120));
        setSelection(f, 30, 20, 130, 70);
        clickButton(f, "btnCut");
        clickButton(f, "Command12");
        const QImage img = canvasImage(f);
        QCOMPARE(img.size(), QSize(100, 50));
        int coloured = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                coloured += qRed(c) != qGreen(c) || qGreen(c) != qBlue(c);
            }
        QCOMPARE(coloured, 0);
    }

    // A margin increase leaves exactly the floating old picture selected.
    void marginSelectsOnlyTheFloatingPicture()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnCanvas(f, colourful(240, 120));
        setSelection(f, 30, 20, 130, 70);
        clickButton(f, "btnYohaku");
        QVERIFY(canvasImage(f).width() > 240 || canvasImage(f).height() > 120);
        QCOMPARE(selectionRect(f), QRect(QPoint(0, 0), QPoint(240, 120)));
    }
};

ZORVAT_TEST_MAIN(SelectionFollowsTest)
#include "test_selection_follows.moc"
