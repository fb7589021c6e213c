// The user's drawing is never put at risk: the save dialog offers no file
// of the program's own, a failed revert keeps the canvas, and undo ends a
// floating paste for good.
#include "canvas/canvas_support.h"
#include "documents/save_proposal.h"
#include "shell/messages.h"
#include "shell/userpaths.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/saneconfig.h"
#include "testsupport/testmain.h"
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>

using namespace testsupport;

namespace {
// Clicks 名前を付けて保存 and returns the path the dialog was opened with;
// the dialog answers answer (empty: cancelled).
QString proposalOfSaveAs(MainWindow& f, const QString& answer = QString())
{
    QString proposed;
    gf5::Gf5File::dialogOverride = [&](bool save) {
        if (save)
            proposed = f.fileIo.FileName;
        return answer;
    };
    f.btnSave[1]->click();
    gf5::Gf5File::dialogOverride = nullptr;
    return proposed;
}

QString defaultFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}
}

class NothingLostTest : public QObject {
    Q_OBJECT
private slots:
    void proposalRules()
    {
        QTemporaryDir d;
        const QString doc = writePlan(d.filePath("plan.bmp"));
        using documents::proposedSavePath;
        QCOMPARE(proposedSavePath(doc, true, true, "/nowhere", d.path(), "/home"), doc);
        QCOMPARE(proposedSavePath("新規イメージ", false, false, QString(), d.path(), "/home"),
                 d.filePath("新規イメージ.jpg"));
        // A last folder that went away, and no Pictures folder: home.
        QCOMPARE(proposedSavePath("新規イメージ", false, false, "/no/such", "/no/pics", "/home"),
                 QString("/home/新規イメージ.jpg"));
        // A name of its own without a picture extension gets ".jpg".
        QCOMPARE(proposedSavePath("/gone/図面", false, true, d.path(), QString(), "/home"), d.filePath("図面.jpg"));
        QVERIFY(documents::isInsideFolder("/a/b/c.jpg", "/a/b"));
        QVERIFY(documents::isInsideFolder("/a/b/../b/c.jpg", "/a/b/"));
        QVERIFY(!documents::isInsideFolder("/a/bc/d.jpg", "/a/b"));
    }

    void scanThenSaveAsOffersNoTemporaryFile()
    {
        QTemporaryDir conf;
        if (!writeSaneTestConfig(conf.path(), 1))
            QSKIP("SANE's test device is not installed");
        qputenv("SANE_CONFIG_DIR", conf.path().toLocal8Bit());
        messages::override = [](const QString&) {};
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.scanner.ExtraOptions = {{"test-picture", "Solid black"}};
        f.btnScan->click();
        messages::override = nullptr;
        if (f.document.path() != "NoName画像")
            QSKIP("SANE's test device did not scan");
        const QString proposed = proposalOfSaveAs(f);
        QVERIFY2(!f.IsOwnFile(proposed), qPrintable(proposed));
        QCOMPARE(proposed, QDir(defaultFolder()).filePath("新規イメージ.jpg"));
    }

    void aLibraryClickIsNeverOfferedAndTheLastFolderIsRemembered()
    {
        ProgramDir dir;
        QDir(dir.path()).mkpath("buhin/bihin");
        writePlan(dir.file("buhin/bihin/door.bmp"));
        QTemporaryDir user;
        const QString plan = writePlan(user.filePath("plan.bmp"));
        MainWindow f({plan}, dir.path());
        QTest::mouseClick(f.tabLibrary, Qt::LeftButton, {}, f.tabLibrary->tabRect(0).center());
        f.thmParts->clickRow(0);
        QCOMPARE(f.thmParts->SelectedFile, dir.file("buhin/bihin/door.bmp"));
        // The document's own folder and name, not the part just read.
        QCOMPARE(proposalOfSaveAs(f), plan);

        // Saved elsewhere; a new sheet is then offered that folder.
        QTemporaryDir other;
        proposalOfSaveAs(f, other.filePath("copy.jpg"));
        QVERIFY(QFile::exists(other.filePath("copy.jpg")));
        f.btnNewImage->click();
        QCOMPARE(proposalOfSaveAs(f), other.filePath("新規イメージ.jpg"));

        // A part opened as a document is offered under the default folder.
        MainWindow g({dir.file("buhin/bihin/door.bmp")}, dir.path());
        const QString proposed = proposalOfSaveAs(g);
        QVERIFY2(!proposed.startsWith(dir.path()), qPrintable(proposed));
        QCOMPARE(QFileInfo(proposed).fileName(), QString("新規イメージ.jpg"));
    }

    void aFailedRevertKeepsTheCanvas()
    {
        QTemporaryDir user;
        const QString plan = writePlan(user.filePath("plan.bmp"));
        ProgramDir dir;
        MainWindow f({plan}, dir.path());
        paintOnCanvas(f, QRect(50, 40, 20, 20), qRgb(255, 0, 0));
        const QImage drawn = canvasImage(f);
        // The file on disk went bad since it was opened.
        QFile bad(plan);
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write("BM not a picture any more");
        bad.close();
        QStringList told;
        messages::override = [&](const QString& text) { told << text; };
        f.btnSaveVertion->click();
        messages::override = nullptr;
        COMPARE_IMAGES(canvasImage(f), drawn, "failed_revert");
        QCOMPARE(told.size(), 1); // and the user is told why
        // Undo still acts: back to the plan as opened.
        f.btnUndo->click();
        QCOMPARE(canvasImage(f).pixel(60, 50), qRgb(255, 255, 255));

        // A readable file is reverted to, and undo gives the drawing back.
        writePlan(plan);
        paintOnCanvas(f, QRect(50, 40, 20, 20), qRgb(255, 0, 0));
        f.btnSaveVertion->click();
        QCOMPARE(canvasImage(f).pixel(60, 50), qRgb(255, 255, 255));
        f.btnUndo->click();
        QCOMPARE(canvasImage(f).pixel(60, 50), qRgb(255, 0, 0));
    }

    void undoEndsAFloatingPaste()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.show();
        QImage red(40, 40, QImage::Format_RGB32);
        red.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(red);
        f.TakeUndoSnapshot();
        canvastest::select(f, 100, 100, 140, 140);
        f.btnClipPaste->click();
        QVERIFY(f.PasteFloating);
        f.btnUndo->click();
        QVERIFY(!f.PasteFloating);

        // The user drags a new selection and fills it: no red comes back.
        QWidget* vp = f.dspCanvas->viewport();
        const QPoint from = f.dspCanvas->imageToView({300, 300}), to = f.dspCanvas->imageToView({360, 360});
        QTest::mousePress(vp, Qt::LeftButton, {}, from);
        QTest::mouseMove(vp, to);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
        f.FillSelection(0x000000);
        const QImage after = canvasImage(f);
        QCOMPARE(countColour(after, qRgb(255, 0, 0)), 0);
        QCOMPARE(countColour(f.dspCanvas->shownImage(), qRgb(255, 0, 0)), 0);
    }
};

ZORVAT_TEST_MAIN(NothingLostTest)
#include "test_nothing_lost.moc"
