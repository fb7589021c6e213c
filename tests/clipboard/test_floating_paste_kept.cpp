// A floating paste is never lost unseen: Escape and undo end it alone, and
// every command that must see the picture as shown lays it in first.
#include "canvas/canvas_support.h"
#include "documents/print_size_dialog.h"
#include "shell/status_line.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <functional>

using namespace testsupport;

namespace {
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);

// 40 x 40: a red frame 5 pixels wide around pure white.
QImage framePicture()
{
    QImage img(40, 40, QImage::Format_RGB32);
    img.fill(kRed);
    QPainter(&img).fillRect(5, 5, 30, 30, Qt::white);
    return img;
}

// A 300 x 200 plan opened from a file, a black box drawn on it (one undo
// step), and the frame picture pasted over the box at (100, 60): floating.
struct Scene {
    ProgramDir dir;
    QString path = writePlan(dir.file("plan.bmp"), 300, 200);
    MainWindow f{QStringList{path}, dir.path()};
    QImage beforePaste;
    Scene()
    {
        f.show();
        paintOnCanvas(f, QRect(110, 70, 20, 20), kBlack);
        beforePaste = canvasImage(f);
        QGuiApplication::clipboard()->setImage(framePicture());
        canvastest::select(f, 100, 60, 110, 70);
        QTest::keyClick(f.dspCanvas, Qt::Key_V, Qt::ControlModifier);
    }
};

bool isRed(const QImage& img, int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == (kRed & 0xFFFFFF); }
}

class FloatingPasteKeptTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        PrintSizeDialog::showOverride = nullptr;
        gf5::Gf5Print::printerDialogOverride = nullptr;
        gf5::Gf5Print::previewOverride = nullptr;
    }

    // Escape and Ctrl+Z end the paste and nothing else: the box drawn
    // before it stays, and the next Ctrl+Z undoes the box as usual.
    void escapeAndUndoEndOnlyThePaste_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier);
    }
    void escapeAndUndoEndOnlyThePaste()
    {
        QFETCH(int, key);
        QFETCH(int, mods);
        Scene s;
        QVERIFY(s.f.PasteFloating);
        QVERIFY(isRed(s.f.dspCanvas->shownImage(), 102, 62));
        QTest::keyClick(s.f.dspCanvas, Qt::Key(key), Qt::KeyboardModifiers(mods));
        QVERIFY(!s.f.PasteFloating);
        COMPARE_IMAGES(canvasImage(s.f), s.beforePaste, "paste_ended");
        QVERIFY(!isRed(s.f.dspCanvas->shownImage(), 102, 62));
        QCOMPARE(selectionRect(s.f), QRect(QPoint(0, 0), QPoint(0, 0)));
        // A later confirm brings nothing of the picture back.
        s.f.ConfirmPaste(false, false);
        COMPARE_IMAGES(canvasImage(s.f), s.beforePaste, "nothing_comes_back");
        QTest::keyClick(s.f.dspCanvas, Qt::Key_Z, Qt::ControlModifier);
        COMPARE_IMAGES(canvasImage(s.f), QImage(s.path), "box_undone");
    }

    // Each command that must see the picture as shown lays the paste in as
    // 貼 would (opaque, or with pure white left out when 純白を透過 is on),
    // says so on the status line, and the box drawn before stays.
    void commandsLayThePasteIn_data()
    {
        using Command = std::function<void(Scene&)>;
        QTest::addColumn<Command>("command");
        QTest::addColumn<bool>("transparent");
        // Where a pixel of the frame's red and the box's corner inside the
        // frame end up after the command (x -1: the red was turned grey).
        QTest::addColumn<QPoint>("redAt");
        QTest::addColumn<QPoint>("boxAt");
        QTest::addColumn<bool>("boxShows");
        QTest::addColumn<QString>("before");
        const Command save = [](Scene& s) { QTest::keyClick(s.f.dspCanvas, Qt::Key_S, Qt::ControlModifier); };
        const QPoint red(102, 62), box(112, 72);
        QTest::newRow("Ctrl+S") << save << false << red << box << false << "保存";
        QTest::newRow("Ctrl+S, 純白を透過") << save << true << red << box << true << "保存";
        QTest::newRow("Ctrl+C") << Command([](Scene& s) { QTest::keyClick(s.f.dspCanvas, Qt::Key_C, Qt::ControlModifier); })
                                << false << red << box << false << "コピー";
        QTest::newRow("左右反転") << Command([](Scene& s) { s.f.btnRoteteAndTurn[1]->click(); }) << false
                              << QPoint(299 - 102, 62) << QPoint(299 - 112, 72) << false << "回転・反転";
        QTest::newRow("モノクロ, 純白を透過") << Command([](Scene& s) { s.f.btnGreyscale->click(); }) << true
                                       << QPoint(-1, 62) << box << true << "画像の処理";
        QTest::newRow("傾き補正") << Command([](Scene& s) { s.f.mnuEditDeskew->trigger(); }) << false << red << box
                              << false << "傾き補正";
        QTest::newRow("印刷") << Command([](Scene& s) {
            gf5::Gf5Print::printerDialogOverride = [] { return 1; };
            PrintSizeDialog::showOverride = [](PrintSizeDialog& w) { w.btnRet[1]->click(); };
            gf5::Gf5Print::previewOverride = [](QDialog&) { return false; };
            s.f.btnPrintOut->click();
        }) << false << red << box << false << "印刷";
    }
    void commandsLayThePasteIn()
    {
        QFETCH(std::function<void(Scene&)>, command);
        QFETCH(bool, transparent);
        QFETCH(QPoint, redAt);
        QFETCH(QPoint, boxAt);
        QFETCH(bool, boxShows);
        QFETCH(QString, before);
        Scene s;
        s.f.chkToka->setChecked(transparent);
        command(s);
        QVERIFY(!s.f.PasteFloating);
        const QImage img = canvasImage(s.f);
        if (redAt.x() >= 0)
            QVERIFY2(isRed(img, redAt.x(), redAt.y()), "the frame is in the picture");
        else // the frame turned grey: neither red nor the plan's white
            QVERIFY(qGray(img.pixel(102, 62)) < 200 && !isRed(img, 102, 62));
        QCOMPARE((img.pixel(boxAt) & 0xFFFFFF) == 0, boxShows);
        if (before == "保存") {
            const QImage file(s.path);
            QVERIFY(isRed(file, 102, 62));
            QCOMPARE((file.pixel(boxAt) & 0xFFFFFF) == 0, boxShows);
            QCOMPARE(s.f.lblStatus->text(), QString("挿入中の画像を貼付決定して保存しました"));
        } else {
            QVERIFY2(s.f.lblStatus->text().startsWith(before + "の前に、挿入中の画像を"),
                     qPrintable(s.f.lblStatus->text()));
        }
        if (before == "コピー") {
            // The rectangle the paste covered, as shown.
            const QImage copied = QGuiApplication::clipboard()->image();
            QVERIFY(qAbs(copied.width() - 40) <= 1 && qAbs(copied.height() - 40) <= 1);
            QVERIFY(isRed(copied, 2, 2));
        }
    }

    void aPlainSaveSaysItIsDone()
    {
        ProgramDir dir;
        const QString path = writePlan(dir.file("plan.bmp"));
        MainWindow f({path}, dir.path());
        QVERIFY(f.lblStatus->text().isEmpty());
        f.mnuEditSave_Click();
        QCOMPARE(f.lblStatus->text(), QString("保存しました"));
    }
};

ZORVAT_TEST_MAIN(FloatingPasteKeptTest)
#include "test_floating_paste_kept.moc"
