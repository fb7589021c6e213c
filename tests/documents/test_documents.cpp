// Opening, saving and reverting documents through the main window.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/saneconfig.h"
#include "shell/messages.h"
#include "shell/progress_window.h"
#include <QPushButton>
#include <QMouseEvent>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QImageReader>
#include <QRadioButton>
#include <QTemporaryDir>
#include <functional>

using namespace testsupport;

namespace {
struct Messages {
    QStringList shown;
    Messages() { messages::override = [this](const QString& t) { shown << t; }; }
    ~Messages() { messages::override = nullptr; }
};
}

class DocumentsTest : public QObject {
    Q_OBJECT
private slots:
    void newSheetAsksForANameAndWritesByExtension()
    {
        ProgramDir dir("[print]\ndpi=300\n");
        MainWindow f({}, dir.path());
        FileDialogs dialogs;
        dialogs.answer = dir.file("plan.gif");
        f.btnSave_Click(0);
        QCOMPARE(dialogs.opened, 1);
        // Every name that is not a JPEG name is written as BMP.
        QCOMPARE(fileFormat(dir.file("plan.gif")), QByteArray("bmp"));
        QCOMPARE(f.document.path(), dir.file("plan.gif"));
        QVERIFY(f.windowTitle().startsWith(dir.file("plan.gif") + "  W 600"));

        dialogs.answer = dir.file("sheet.jpg");
        f.btnSave_Click(1);
        QCOMPARE(fileFormat(dir.file("sheet.jpg")), QByteArray("jpeg"));
        const QImage saved(dir.file("sheet.jpg"));
        QCOMPARE(qRound(saved.dotsPerMeterX() * 0.0254), 300);
    }

    void plainSaveOverwritesInTheDocumentsOwnFormat()
    {
        ProgramDir dir;
        for (const char* name : {"plan.jpg", "plan.jpeg", "plan.bmp"}) {
            const bool jpeg = QString(name).contains("jp");
            const QString path = writePlan(dir.file(name), 120, 80, jpeg ? "JPG" : "BMP");
            MainWindow f({path}, dir.path());
            FileDialogs dialogs;
            paintOnCanvas(f, QRect(50, 50, 10, 10), qRgb(0, 0, 0));
            const QString title = f.windowTitle();
            f.mnuEditSave_Click();
            QCOMPARE(dialogs.opened, 0);
            QCOMPARE(fileFormat(path), QByteArray(jpeg ? "jpeg" : "bmp"));
            QVERIFY(qGray(QImage(path).pixel(55, 55)) < 40);
            QCOMPARE(f.windowTitle(), title);
        }
    }

    void plainSaveOfAnOtherTypeDoesNothing()
    {
        ProgramDir dir;
        const QString path = writePlan(dir.file("plan.ppm"), 120, 80, "PPM");
        const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        MainWindow f({path}, dir.path());
        FileDialogs dialogs;
        paintOnCanvas(f, QRect(50, 50, 10, 10), qRgb(0, 0, 0));
        f.SaveDocument(false);
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        QCOMPARE(dialogs.opened, 0);
    }

    void aNewJpegNameIsWrittenWithoutAsking()
    {
        ProgramDir dir;
        const QString plan = writePlan(dir.file("a.bmp"));
        const QString target = dir.file("new.jpg");
        MainWindow f({plan, target}, dir.path());
        FileDialogs dialogs;
        f.SaveDocument(false);
        QCOMPARE(dialogs.opened, 0);
        QCOMPARE(fileFormat(target), QByteArray("jpeg"));
        QVERIFY(f.windowTitle().startsWith(target + "  W 120 H 80"));
    }

    void aFailedSaveKeepsNameTitleAndOldFile()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        FileDialogs dialogs;
        Messages messages;
        const QString title = f.windowTitle();
        dialogs.answer = dir.file("no-such-folder/plan.bmp");
        f.btnSave_Click(1);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].contains(dialogs.answer));
        QCOMPARE(f.document.path(), QString("新規イメージ"));
        QCOMPARE(f.windowTitle(), title);

        // A name that is a folder cannot be written either; nothing in it is harmed.
        QDir(dir.path()).mkdir("folder.jpg");
        dialogs.answer = dir.file("folder.jpg");
        f.btnSave_Click(1);
        QCOMPARE(messages.shown.size(), 2);
        QVERIFY(QFileInfo(dir.file("folder.jpg")).isDir());
        QCOMPARE(f.document.path(), QString("新規イメージ"));
    }

    void opensThroughTheDialogAndConvertsTo24Bits()
    {
        ProgramDir dir;
        QImage indexed(64, 32, QImage::Format_Indexed8);
        QList<QRgb> greys;
        for (int i = 0; i < 256; ++i)
            greys << qRgb(i, i, i);
        indexed.setColorTable(greys);
        indexed.fill(255);
        indexed.setPixel(3, 3, 0);
        QVERIFY(indexed.save(dir.file("eight.bmp"), "BMP"));
        MainWindow f({}, dir.path());
        FileDialogs dialogs;
        dialogs.answer = dir.file("eight.bmp");
        f.btnOpen_Click();
        QCOMPARE(f.SourceBitDepth, int16_t(8));
        QCOMPARE(f.document.path(), dir.file("eight.bmp"));
        QVERIFY(f.windowTitle().endsWith("  W 64 H 32   24BitColor"));
        QCOMPARE(canvasImage(f).pixel(3, 3) & 0xFFFFFF, 0u);
        QCOMPARE(canvasImage(f).pixel(4, 3) & 0xFFFFFF, 0xFFFFFFu);
    }

    void openingNothingOrGarbageKeepsTheCanvas()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const int32_t before = f.dspCanvas->ImageHandle();
        FileDialogs dialogs;
        f.btnOpen_Click(); // cancelled
        QFile bad(dir.file("bad.jpg"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("\xFF\xD8 not really a jpeg");
        bad.close();
        dialogs.answer = bad.fileName();
        Messages told;
        f.btnOpen_Click();
        QCOMPARE(f.dspCanvas->ImageHandle(), before);
        QCOMPARE(f.document.path(), QString("新規イメージ"));
        QCOMPARE(told.shown.size(), 1);
        QVERIFY2(told.shown[0].contains("「bad.jpg」を開けませんでした"), qPrintable(told.shown[0]));
    }

    void theProgressWindowCancelsAnOpen()
    {
        ProgramDir dir;
        QImage big(2400, 2400, QImage::Format_RGB32);
        big.fill(Qt::gray);
        QVERIFY(big.save(dir.file("big.jpg"), "JPG"));
        MainWindow f({}, dir.path());
        const int32_t before = f.dspCanvas->ImageHandle();
        const int alive = gf5::ImageStore::liveCount();
        FileDialogs dialogs;
        dialogs.answer = dir.file("big.jpg");
        int reports = 0;
        bool canvasBlocked = false;
        QObject::connect(&f.fileIo, &gf5::Gf5File::Progress, &f, [&](int16_t) {
            if (++reports != 2)
                return;
            // While the file is read the window takes no input; the progress
            // window's cancel button does.
            QTest::mouseClick(f.btnOpen, Qt::LeftButton);
            canvasBlocked = f.fileIo.FileName == dialogs.answer;
            QVERIFY(f.progressWindow && f.progressWindow->isVisible());
            QTest::mouseClick(f.progressWindow->btnCancel, Qt::LeftButton);
        });
        f.btnOpen_Click();
        QVERIFY(reports >= 2);
        QVERIFY(canvasBlocked);
        QCOMPARE(dialogs.opened, 1); // the open button did not start a second open
        QCOMPARE(f.dspCanvas->ImageHandle(), before);
        QCOMPARE(f.document.path(), QString("新規イメージ"));
        QCOMPARE(gf5::ImageStore::liveCount(), alive);
        QVERIFY(!f.progressWindow->isVisible());

        // The next open is not cancelled by the earlier request.
        f.btnOpen_Click();
        QCOMPARE(f.document.path(), dir.file("big.jpg"));
    }

    // After any way of bringing in another document, Ctrl+Z never shows the
    // earlier document's picture: it shows the loaded picture (or, after a
    // new sheet, nothing changes), and a plain save keeps the file intact.
    void undoNeverBringsBackAnEarlierDocument_data()
    {
        using Load = std::function<bool(MainWindow&, const QString&)>; // false: skip
        QTest::addColumn<Load>("load");
        QTest::addColumn<QRgb>("loaded");
        QTest::newRow("open dialog") << Load([](MainWindow& f, const QString& b) {
            FileDialogs dialogs;
            dialogs.answer = b;
            f.btnOpen->click();
            return true;
        }) << qRgb(0, 0, 255);
        QTest::newRow("drop") << Load([](MainWindow& f, const QString& b) {
            f.dspCanvas_FileDropped(b);
            return true;
        }) << qRgb(0, 0, 255);
        QTest::newRow("new sheet") << Load([](MainWindow& f, const QString&) {
            f.btnNewImage->click();
            return true;
        }) << qRgb(255, 255, 255);
        QTest::newRow("scan") << Load([](MainWindow& f, const QString&) {
            static QTemporaryDir conf;
            if (!writeSaneTestConfig(conf.path(), 1))
                return false;
            qputenv("SANE_CONFIG_DIR", conf.path().toLocal8Bit());
            Messages messages;
            f.scanner.ExtraOptions = plainTestDevice({{"test-picture", "Solid black"}});
            f.btnScan->click();
            return f.document.path() == "NoName画像";
        }) << qRgb(0, 0, 0);
    }
    void undoNeverBringsBackAnEarlierDocument()
    {
        QFETCH(std::function<bool(MainWindow&, const QString&)>, load);
        QFETCH(QRgb, loaded);
        ProgramDir dir;
        QImage a(40, 30, QImage::Format_RGB32), b(40, 30, QImage::Format_RGB32);
        a.fill(qRgb(255, 0, 0));
        b.fill(qRgb(0, 0, 255));
        QVERIFY(a.save(dir.file("a.bmp"), "BMP") && b.save(dir.file("b.bmp"), "BMP"));
        MainWindow f({dir.file("a.bmp")}, dir.path());
        f.show();
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 255, 0)); // a snapshot of a.bmp exists
        if (!load(f, dir.file("b.bmp")))
            QSKIP("SANE's test device is not installed or did not scan");
        const QImage shown = canvasImage(f);
        QCOMPARE(shown.pixel(20, 20) & 0xFFFFFF, loaded & 0xFFFFFF);
        QTest::keyClick(f.dspCanvas, Qt::Key_Z, Qt::ControlModifier);
        COMPARE_IMAGES(canvasImage(f), shown, "undo_after_load");
        if (f.document.path() == dir.file("b.bmp")) {
            QTest::keyClick(f.dspCanvas, Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(QImage(dir.file("b.bmp")).pixel(5, 5) & 0xFFFFFF, 0x0000FFu);
        }
    }

    void revertReadsTheSavedFileAndCanBeUndone()
    {
        ProgramDir dir;
        const QString plan = writePlan(dir.file("plan.bmp"));
        MainWindow f({plan}, dir.path());
        paintOnCanvas(f, QRect(60, 40, 10, 10), qRgb(0, 0, 0));
        const QImage edited = canvasImage(f);
        f.btnSaveVertion_Click();
        COMPARE_IMAGES(canvasImage(f), QImage(plan), "revert");
        QVERIFY(f.optDisplayScale[0]->isChecked());
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), edited, "revert-undo");

        // A document that names no file: nothing happens.
        f.btnNewImage_Click();
        const int32_t sheet = f.dspCanvas->ImageHandle();
        f.btnSaveVertion_Click();
        QCOMPARE(f.dspCanvas->ImageHandle(), sheet);
    }

    void clicksDuringARevertDoNotStartAnotherCommand()
    {
        ProgramDir dir;
        QImage big(2400, 2400, QImage::Format_RGB32);
        big.fill(Qt::gray);
        QVERIFY(big.save(dir.file("doc.jpg"), "JPG"));
        MainWindow f({dir.file("doc.jpg")}, dir.path());
        f.show();
        int reports = 0;
        QObject::connect(&f.fileIo, &gf5::Gf5File::Progress, &f, [&](int16_t) {
            if (++reports != 1)
                return;
            // Clicks that arrive while the file is read.
            for (QPushButton* b : {f.btnNewImage, f.btnOpen}) {
                const QPoint c = b->rect().center();
                QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonPress, c, b->mapToGlobal(c),
                                                               Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
                QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonRelease, c, b->mapToGlobal(c),
                                                               Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
            }
        });
        FileDialogs dialogs;
        const int alive = gf5::ImageStore::liveCount();
        f.btnSaveVertion_Click();
        QCoreApplication::processEvents();
        QVERIFY(reports >= 2);
        QCOMPARE(dialogs.opened, 0);
        QCOMPARE(f.document.path(), dir.file("doc.jpg"));
        QCOMPARE(canvasImage(f).size(), QSize(2400, 2400));
        QCOMPARE(gf5::ImageStore::liveCount(), alive);
    }

    void newImageReleasesTheOldSheet()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const int alive = gf5::ImageStore::liveCount();
        const QString title = f.windowTitle();
        f.btnNewImage_Click();
        f.btnNewImage_Click();
        QCOMPARE(gf5::ImageStore::liveCount(), alive);
        QCOMPARE(f.windowTitle(), title);
    }
};

ZORVAT_TEST_MAIN(DocumentsTest)
#include "test_documents.moc"
