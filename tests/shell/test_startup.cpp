// Start-up, layout, tool panels, display scale and shutdown of the main window.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "imaging/store/gf5common.h"
#include "shell/messages.h"
#include <QComboBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QElapsedTimer>

using namespace testsupport;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithBlankSheet()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QCOMPARE(f.windowTitle(), QString("新規イメージ  W 600 H 600   24BitColor"));
        QCOMPARE(f.document.path(), QString("新規イメージ"));
        const QImage img = canvasImage(f);
        QCOMPARE(img.size(), QSize(600, 600));
        QCOMPARE(countColour(img, qRgb(255, 255, 255)), 600 * 600);
        QCOMPARE(f.PrintDpi, 200);
        QCOMPARE(f.WallSizeTable[1], int16_t(20));
        QCOMPARE(f.WallSizeTable[9], int16_t(7));
        QCOMPARE(f.WallSizeTable[0], int16_t(0));
        QVERIFY(f.frmTab[0]->isVisibleTo(&f));
        QVERIFY(!f.frmTab[1]->isVisibleTo(&f));
        QVERIFY(f.optDisplayScale[0]->isChecked());
        QVERIFY(!f.cmbDispPer->isEnabled());
    }

    void opensTheFileNamedOnTheCommandLine()
    {
        ProgramDir dir;
        const QString plan = writePlan(dir.file("a.bmp"));
        MainWindow f({plan}, dir.path());
        QCOMPARE(f.document.path(), plan);
        QCOMPARE(f.windowTitle(), plan + "  W 120 H 80   24BitColor");
        QCOMPARE(canvasImage(f).pixel(15, 15) & 0xFFFFFF, 0u);
        // The snapshot starts from the loaded image: undo leaves it as it is.
        const QImage before = canvasImage(f);
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), before, "startup-undo");
    }

    void aJpegTargetBecomesTheDocumentName()
    {
        ProgramDir dir;
        const QString plan = writePlan(dir.file("a.bmp"));
        const QString target = dir.file("out.JPG");
        MainWindow f({plan, target}, dir.path());
        QCOMPARE(f.document.path(), target);
        QVERIFY(f.windowTitle().startsWith(plan + "  W"));
        MainWindow g({plan, dir.file("notes.txt")}, dir.path());
        QCOMPARE(g.document.path(), plan);
    }

    void anUnreadableFileLeavesTheCanvasEmpty()
    {
        ProgramDir dir;
        const int alive = gf5::ImageStore::liveCount();
        {
            QStringList told;
            messages::override = [&](const QString& text) { told << text; };
            MainWindow f({dir.file("missing.bmp")}, dir.path());
            messages::override = nullptr;
            QCOMPARE(f.dspCanvas->ImageHandle(), 0);
            // The window opens and says the file was not found.
            QCOMPARE(told.size(), 1);
            QVERIFY2(told[0].contains("「missing.bmp」を開けませんでした") && told[0].contains("見つかりません"),
                     qPrintable(told[0]));
            // Document commands do nothing without an image.
            f.SaveDocument(false);
            f.btnUndo_Click();
            f.UpdateTitle();
            QCOMPARE(f.windowTitle(), QString("Zorvat"));
        }
        QCOMPARE(gf5::ImageStore::liveCount(), alive);
    }

    void readsTheResolutionSetting()
    {
        ProgramDir dir("[print]\ndpi=300dpi\n");
        MainWindow f({}, dir.path());
        QCOMPARE(f.PrintDpi, 300);
        gf5::Gf5Common c;
        c.ImageHandle = f.dspCanvas->ImageHandle();
        QCOMPARE(c.ResolutionX(), 300);
        ProgramDir zero("[print]\ndpi=0\n");
        MainWindow g({}, zero.path());
        QCOMPARE(g.PrintDpi, 200);
    }

    void everyControlCarriesItsName()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        for (const char* name : {"Gf5Disp1", "Gf5Disp2", "Picture1", "frmCntrlMain", "TabStrip1", "frmTab(2)",
                                 "btnFill(17)", "btnArrow(14)", "optSize(9)", "Option1(6)", "cmbDispPer",
                                 "lblRGB(2)", "lblColor", "txtmoji", "chkGomitori", "cmbGomiDot", "Gf5Thumb1",
                                 "TabStrip2", "optResize(10)", "optYohaku(2)", "btnRoteteAndTurn(2)",
                                 "Command13(2)", "Command2(1)", "Slider1", "cmbRotate", "cmbRotate_2"})
            QVERIFY2(f.findChild<QWidget*>(name), name);
        QCOMPARE(f.btnArrow[4]->text(), QString("始"));
        QCOMPARE(f.btnArrow[10]->text(), QString("R"));
        QCOMPARE(f.txtmoji->count(), 19);
        QVERIFY(f.chkBold->isChecked());
        QCOMPARE(f.optResize[6]->text(), QString("600"));
        QVERIFY(f.optResize[6]->isChecked());
        QCOMPARE(f.cmbDispPer->currentText(), QString("80"));
        QCOMPARE(f.btnUndo->toolTip(), QString("アンドゥ（1回だけです）"));
    }

    void tabStripAndSlider()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.tabPanels->setCurrentIndex(2);
        QVERIFY(f.frmTab[2]->isVisibleTo(&f));
        QVERIFY(!f.frmTab[0]->isVisibleTo(&f));
        f.sldRotateAngle->setValue(-10);
        QCOMPARE(f.cmbRotate->text(), QString("-10"));
        f.sldRotateAngle->setValue(7);
        QCOMPARE(f.cmbRotate->text().toInt(), 7);
    }

    void relaysOutOnResize()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.show();
        f.RelayoutWindow(1200, 900);
        QCOMPARE(f.dspCanvas->width(), 1200 - (f.PanelWidth + 3 * f.CanvasLeft));
        QCOMPARE(f.dspCanvas->height(), 900 - (f.picToolbar->height() + 2 * f.CanvasLeft + 20));
        QCOMPARE(f.frmCntrlMain->x(), 1200 - f.CanvasLeft - f.PanelWidth);
        // Not larger in both directions: back to the design size.
        f.resize(1200, 512);
        f.RelayoutWindow(1200, 512);
        QCOMPARE(f.size(), QSize(f.DesignWidth, f.DesignHeight));
        QCOMPARE(f.frmCntrlMain->x(), f.DesignWidth - f.CanvasLeft - f.PanelWidth);
    }

    void scaleChangesKeepTheSelection()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.show();
        setSelection(f, 100, 120, 200, 260);
        f.optDisplayScale[4]->click();
        QCOMPARE(f.dspCanvas->ZoomMode(), int16_t(2));
        QCOMPARE(f.dspCanvas->ZoomFactor(), 2.0);
        QCOMPARE(f.dspCanvas->SelectionLeft(), 100);
        QCOMPARE(f.dspCanvas->SelectionBottom(), 260);
        QCOMPARE(f.dspCanvas->DisplayMode(), int16_t(2));

        f.cmbDispPer->setEditText("300");
        f.optDisplayScale[6]->click();
        QVERIFY(f.cmbDispPer->isEnabled());
        QCOMPARE(f.dspCanvas->ZoomFactor(), 3.0);
        f.cmbDispPer->setEditText("155");
        f.cmbDispPer_Click();
        QCOMPARE(f.dspCanvas->ZoomFactor(), 1.5);
        f.optDisplayScale[0]->click();
        QCOMPARE(f.dspCanvas->ZoomMode(), int16_t(0));
        QVERIFY(!f.cmbDispPer->isEnabled());
        QCOMPARE(f.cmbDispPer->currentText(), QString("155"));
        QCOMPARE(f.dspCanvas->SelectionRight(), 200);
    }

    void shortcutsReachTheCommands()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.show();
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        QCOMPARE(canvasImage(f).pixel(5, 5) & 0xFFFFFF, 0u);
        QTest::keyClick(f.btnUndo, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(canvasImage(f).pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
        // Ctrl+S on a new sheet asks for a name.
        int asked = 0;
        gf5::Gf5File::dialogOverride = [&](bool save) { asked += save; return QString(); };
        QTest::keyClick(f.dspCanvas, Qt::Key_S, Qt::ControlModifier);
        gf5::Gf5File::dialogOverride = nullptr;
        QCOMPARE(asked, 1);
        // Z alone, or with Ctrl and Shift, is no undo.
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        QTest::keyClick(f.dspCanvas, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(canvasImage(f).pixel(5, 5) & 0xFFFFFF, 0u);
    }

    void typedValuesGoIntoTheirBoxes()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.show();
        QApplication::setActiveWindow(&f);
        f.cmbWidth->setFocus();
        f.cmbWidth->lineEdit()->selectAll();
        QTest::keyClicks(f.cmbWidth, "12");
        QCOMPARE(f.cmbWidth->currentText(), QString("12"));
        QVERIFY(f.cmbWidth->hasFocus());
        // The numeric keypad still drives the tracer and hands the focus back.
        f.optSize[1]->setChecked(true);
        setSelection(f, 100, 100, 120, 120);
        QTest::keyClick(f.cmbWidth, Qt::Key_6, Qt::KeypadModifier);
        QCOMPARE(f.dspCanvas->SelectionLeft(), 110);
        QCOMPARE(f.cmbWidth->currentText(), QString("12"));
        QVERIFY(f.dspCanvas->hasFocus());

        // A typed percentage applies on Enter; the letters are no commands.
        f.optDisplayScale[6]->click();
        f.cmbDispPer->setFocus();
        f.cmbDispPer->lineEdit()->selectAll();
        QTest::keyClicks(f.cmbDispPer, "155");
        QTest::keyClick(f.cmbDispPer, Qt::Key_Return);
        QCOMPARE(f.dspCanvas->ZoomFactor(), 1.5);
        const int32_t right = f.dspCanvas->SelectionRight();
        QTest::keyClick(f.cmbDispPer, Qt::Key_R);
        QCOMPARE(f.dspCanvas->SelectionRight(), right);
    }

    void shutdownReleasesEveryImageOnce()
    {
        ProgramDir dir;
        const QString plan = writePlan(dir.file("a.bmp"));
        const int alive = gf5::ImageStore::liveCount();
        {
            MainWindow f({plan}, dir.path());
            paintOnCanvas(f, QRect(0, 0, 5, 5), qRgb(0, 0, 0));
            f.btnNewImage_Click();
            f.btnNewImage_Click();
            f.btnUndo_Click();
            QVERIFY(gf5::ImageStore::liveCount() > alive);
            f.close();
        }
        QCOMPARE(gf5::ImageStore::liveCount(), alive);
    }

    void waitsForTheGivenTime()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QElapsedTimer t;
        t.start();
        f.WaitMilliseconds(0);
        f.WaitMilliseconds(-5);
        QVERIFY(t.elapsed() < 50);
        f.WaitMilliseconds(60);
        QVERIFY(t.elapsed() >= 60);
    }
};

ZORVAT_TEST_MAIN(StartupTest)
#include "test_startup.moc"
