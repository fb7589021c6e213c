// Unsaved work survives closing the window: the canvas is kept losslessly
// in the user's state folder and offered back at the next start; a periodic
// copy is written in slices while editing.
#include "documents/recovery.h"
#include "shell/messages.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace testsupport;

namespace {
// Noise: any lossy step would change it.
void paintNoise(MainWindow& f, const QRect& rect, quint32 seed)
{
    f.TakeUndoSnapshot();
    QImage* img = gf5::ImageStore::image(f.dspCanvas->ImageHandle());
    QRandomGenerator rng(seed);
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            img->setPixel(x, y, 0xFF000000u | (rng.generate() & 0xFFFFFF));
}

QStringList recoveryFiles() { return QDir(recovery::folder()).entryList(QDir::Files); }

// Starts the program again and answers the recovery question with answer;
// returns the questions asked.
QStringList startAgain(MainWindow& g, bool answer)
{
    QStringList asked;
    messages::askOverride = [&](const QString& text) {
        asked << text;
        return answer;
    };
    g.offerRecovery();
    messages::askOverride = nullptr;
    return asked;
}
}

class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void init() { recovery::removeCopy(recovery::folder()); }

    void closingWithChangesKeepsThePixelsAndYesBringsThemBack()
    {
        ProgramDir dir;
        QTemporaryDir user;
        const QString plan = writePlan(user.filePath("plan.bmp"), 300, 200);
        QImage drawn;
        {
            MainWindow f({plan}, dir.path());
            f.show();
            paintNoise(f, QRect(20, 20, 200, 150), 7);
            drawn = canvasImage(f);
            f.close();
        }
        QCOMPARE(recoveryFiles().filter(".bmp").size(), 1);

        MainWindow g({}, dir.path());
        const QStringList asked = startAgain(g, true);
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].startsWith("前回保存されなかった図面があります（" + plan + ", "), qPrintable(asked[0]));
        QVERIFY(asked[0].endsWith("）。開きますか？"));
        COMPARE_IMAGES(canvasImage(g), drawn, "recovered");
        QVERIFY(g.windowTitle().startsWith(plan + "  W 300 H 200"));

        // The file of that name does not hold this picture: a plain save asks.
        int dialogs = 0;
        gf5::Gf5File::dialogOverride = [&](bool save) {
            dialogs += save;
            return QString();
        };
        g.mnuEditSave_Click();
        gf5::Gf5File::dialogOverride = nullptr;
        QCOMPARE(dialogs, 1);
        QVERIFY(QImage(plan).pixel(30, 30) == qRgb(255, 255, 255)); // untouched
        // Closed again unsaved, the picture is kept again.
        g.close();
        QVERIFY(!recoveryFiles().filter(".bmp").isEmpty());
    }

    void noQuestionWithoutChangesAndNoCopyAfterASave()
    {
        ProgramDir dir;
        QTemporaryDir user;
        const QString plan = writePlan(user.filePath("plan.bmp"));
        {
            MainWindow f({plan}, dir.path());
            f.show();
            f.close();
        }
        QVERIFY(recoveryFiles().isEmpty());
        {
            MainWindow f({plan}, dir.path());
            f.show();
            paintNoise(f, QRect(0, 0, 10, 10), 1);
            f.mnuEditSave_Click(); // saved over the plan
            f.close();
        }
        QVERIFY(recoveryFiles().isEmpty());
        MainWindow g({}, dir.path());
        QVERIFY(startAgain(g, true).isEmpty());
    }

    void noDeletesTheCopy()
    {
        ProgramDir dir;
        {
            MainWindow f({}, dir.path());
            f.show();
            paintNoise(f, QRect(0, 0, 10, 10), 2);
            f.close();
        }
        MainWindow g({}, dir.path());
        const QImage blank = canvasImage(g);
        const QStringList asked = startAgain(g, false);
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].contains("（新規イメージ, "));
        COMPARE_IMAGES(canvasImage(g), blank, "declined");
        QVERIFY(recoveryFiles().isEmpty());
        QVERIFY(startAgain(g, true).isEmpty());
    }

    void periodicCopyFollowsTheLatestPictureAndKeepsOnlyTheNewest()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        recovery::Keeper& keeper = f.recoveryKeeper();
        keeper.intervalMs = 0;
        keeper.checkDue();
        QVERIFY(!keeper.writing()); // nothing changed since the new image
        // A large picture needs several slices.
        showOnCanvas(f, QImage(3000, 2000, QImage::Format_RGB32));
        paintNoise(f, QRect(0, 0, 3000, 40), 3);
        keeper.sliceBudgetMs = 0; // one step per slice
        keeper.checkDue();
        QVERIFY(keeper.writing());
        QCoreApplication::processEvents();
        QVERIFY(keeper.writing());
        // Edited meanwhile: the copy starts again with the new picture.
        paintNoise(f, QRect(0, 1900, 3000, 100), 4);
        const QImage latest = canvasImage(f);
        QTRY_VERIFY_WITH_TIMEOUT(!keeper.writing(), 20000);
        QCOMPARE(recoveryFiles(), QStringList({"recovery.bmp", "recovery.ini"}));
        COMPARE_IMAGES(QImage(recovery::imageFile(recovery::folder())).convertToFormat(QImage::Format_RGB32),
                       latest, "periodic");
        // Unchanged since: no second copy is started.
        keeper.checkDue();
        QVERIFY(!keeper.writing());
    }
};

ZORVAT_TEST_MAIN(RecoveryTest)
#include "test_recovery.moc"
