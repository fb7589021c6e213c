// Unsaved work survives the window's end, however it ends: closed, ended
// by a signal, or killed while a periodic copy is written. Each window
// keeps its copy in a slot of its own; the next start offers every copy
// left behind, newest first; declined copies are set aside.
#include "documents/recovery.h"
#include "shell/messages.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QDir>
#include <QDirIterator>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>

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

// Every file under the recovery folder with the given name, set-aside
// copies apart.
QStringList filesNamed(const QString& pattern)
{
    QStringList found;
    QDirIterator it(recovery::folder(), {pattern}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.startsWith(recovery::discardedFolder(recovery::folder())))
            found << path;
    }
    return found;
}
QStringList copiesOnDisk() { return filesNamed("recovery.bmp"); }

QImage rgb(const QImage& img) { return img.convertToFormat(QImage::Format_RGB32); }

// Starts the program again and answers every recovery question with answer;
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

// The main windows other than the given one (opened for further copies).
QList<MainWindow*> otherWindows(const MainWindow& g)
{
    QList<MainWindow*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<MainWindow*>(w); m && m != &g && m->isVisible())
            out << m;
    return out;
}

// A program of its own that edits; returns once it says it is ready.
std::unique_ptr<QProcess> startChild(const QStringList& args)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(ZORVAT_RECOVERY_CHILD, args);
    QByteArray said;
    while (!said.contains("ready\n") && p->waitForReadyRead(60000))
        said += p->readAllStandardOutput();
    return said.contains("ready\n") ? std::move(p) : nullptr;
}
}

class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir(recovery::folder()).removeRecursively(); }

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
        QCOMPARE(copiesOnDisk().size(), 1);

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
        // Closed again unsaved, the picture is kept again, once.
        g.close();
        QCOMPARE(copiesOnDisk().size(), 1);
        COMPARE_IMAGES(rgb(QImage(copiesOnDisk()[0])), drawn, "kept again");
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
        QVERIFY(copiesOnDisk().isEmpty());
        {
            MainWindow f({plan}, dir.path());
            f.show();
            paintNoise(f, QRect(0, 0, 10, 10), 1);
            f.recoveryKeeper().keepNow(); // a periodic copy is on disk
            QCOMPARE(copiesOnDisk().size(), 1);
            f.mnuEditSave_Click(); // saved over the plan: the copy goes
            QVERIFY(copiesOnDisk().isEmpty());
            f.close();
        }
        QVERIFY(copiesOnDisk().isEmpty());
        MainWindow g({}, dir.path());
        QVERIFY(startAgain(g, true).isEmpty());
    }

    void yesIsTheDefaultAndNoSetsTheCopyAside()
    {
        ProgramDir dir;
        QImage drawn;
        for (int round = 0; round < 2; ++round) {
            MainWindow f({}, dir.path());
            f.show();
            paintNoise(f, QRect(0, 0, 10, 10), 2 + round);
            drawn = canvasImage(f);
            f.close();
        }
        // Both windows' copies; the real question box, answered with Return.
        MainWindow g({}, dir.path());
        const QImage blank = canvasImage(g);
        QStringList defaults;
        std::function<void()> answer = [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                defaults << box->defaultButton()->text();
                QTest::keyClick(box, defaults.size() == 1 ? Qt::Key_Return : Qt::Key_Escape);
            }
            if (defaults.size() < 2)
                QTimer::singleShot(20, answer);
        };
        QTimer::singleShot(0, answer);
        g.offerRecovery();
        QCOMPARE(defaults, QStringList({"はい", "はい"}));
        COMPARE_IMAGES(canvasImage(g), drawn, "return takes the newest");
        // Escape answered いいえ to the older: it is set aside, not deleted.
        const QStringList aside = QDir(recovery::discardedFolder(recovery::folder())).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(aside.size(), 1);
        QVERIFY(QImage(recovery::imageIn(recovery::discardedFolder(recovery::folder()) + "/" + aside[0])) != blank);
        QCOMPARE(copiesOnDisk().size(), 1); // the taken one, now g's own
        MainWindow h({}, dir.path());
        QVERIFY(startAgain(h, true).isEmpty()); // g runs: its copy is not offered
    }

    void twoWindowsCopiesBothComeBackNewestFirst()
    {
        ProgramDir dir;
        QImage first, second;
        {
            MainWindow a({}, dir.path()), b({}, dir.path());
            a.show();
            b.show();
            paintNoise(a, QRect(0, 0, 50, 50), 11);
            paintNoise(b, QRect(0, 0, 50, 50), 12);
            first = canvasImage(a);
            second = canvasImage(b);
            a.close();
            QTest::qWait(5); // the copies' times differ
            b.close();
        }
        QCOMPARE(copiesOnDisk().size(), 2);
        MainWindow g({}, dir.path());
        QCOMPARE(startAgain(g, true).size(), 2);
        COMPARE_IMAGES(canvasImage(g), second, "newest in this window");
        const QList<MainWindow*> others = otherWindows(g);
        QCOMPARE(others.size(), 1);
        COMPARE_IMAGES(canvasImage(*others[0]), first, "older in a window of its own");
        QVERIFY(others[0]->document.isRecovered());
        others[0]->close(); // keeps its copy again, and is deleted
    }

    void aFileNamedOnTheCommandLineIsNotDroppedInSilence()
    {
        ProgramDir dir;
        QTemporaryDir user;
        const QString plan = writePlan(user.filePath("named.bmp"));
        {
            MainWindow f({}, dir.path());
            f.show();
            paintNoise(f, QRect(0, 0, 10, 10), 5);
            f.close();
        }
        MainWindow g({plan}, dir.path());
        QStringList said;
        messages::override = [&](const QString& text) { said << text; };
        QCOMPARE(startAgain(g, true).size(), 1);
        messages::override = nullptr;
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].contains(plan) && said[0].contains("開いていません"), qPrintable(said[0]));
    }

    void periodicCopyFollowsTheLatestPictureAndKeepsOnlyTheNewest()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        recovery::Keeper& keeper = f.recoveryKeeper();
        keeper.checkDue();
        QVERIFY(!keeper.writing()); // nothing changed since the new image
        // A large picture needs several slices.
        showOnCanvas(f, QImage(3000, 2000, QImage::Format_RGB32));
        paintNoise(f, QRect(0, 0, 3000, 40), 3);
        keeper.sliceBudgetMs = 0; // one step per slice
        keeper.checkDue();        // the first change: due at once
        QVERIFY(keeper.writing());
        QCoreApplication::processEvents();
        QVERIFY(keeper.writing());
        // Edited meanwhile: the copy starts again with the new picture.
        paintNoise(f, QRect(0, 1900, 3000, 100), 4);
        const QImage latest = canvasImage(f);
        QTRY_VERIFY_WITH_TIMEOUT(!keeper.writing(), 20000);
        QCOMPARE(QDir(keeper.slotFolder()).entryList(QDir::Files),
                 QStringList({"lock", "recovery.bmp", "recovery.ini"}));
        COMPARE_IMAGES(rgb(QImage(recovery::imageIn(keeper.slotFolder()))), latest, "periodic");
        // Changed again: the next copy waits for the interval.
        paintNoise(f, QRect(0, 0, 10, 10), 5);
        keeper.checkDue();
        QVERIFY(!keeper.writing());
        keeper.schedule.intervalMs = 0;
        keeper.checkDue();
        QVERIFY(keeper.writing());
    }

    void closeAsksToSaveWhenNoCopyCanBeWritten()
    {
        ProgramDir dir;
        QTemporaryDir user;
        // A file where the folder should be: nothing can be written there
        // (as with a full or read-only folder, whoever runs the test).
        QDir().mkpath(QFileInfo(recovery::folder()).absolutePath());
        QFile blocker(recovery::folder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        MainWindow f({}, dir.path());
        f.show();
        paintNoise(f, QRect(0, 0, 10, 10), 6);
        QStringList asked;
        bool answer = true;
        messages::askOverride = [&](const QString& text) {
            asked << text;
            return answer;
        };
        {
            FileDialogs dialogs; // the save dialog is cancelled: the window stays
            QVERIFY(!f.close());
            QCOMPARE(dialogs.opened, 1);
        }
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains("閉じる前に図面を保存しますか"), qPrintable(asked[0]));
        QVERIFY(f.isVisible());
        {
            FileDialogs dialogs;
            dialogs.answer = user.filePath("saved.png");
            QVERIFY(f.close());
        }
        QVERIFY(QFileInfo::exists(user.filePath("saved.png")));
        // いいえ closes without saving, as asked.
        MainWindow g({}, dir.path());
        g.show();
        paintNoise(g, QRect(0, 0, 10, 10), 7);
        answer = false;
        QVERIFY(g.close());
        messages::askOverride = nullptr;
        QCOMPARE(asked.size(), 3);
        QFile::remove(recovery::folder());
    }

    // The processes below use this process's user folders.
    void aSignalKeepsEachProcesssWorkAndTheNextStartOffersBoth()
    {
        QTemporaryDir out;
        const QString shotA = out.filePath("a.png"), shotB = out.filePath("b.png");
        auto a = startChild({"edit", "21", shotA});
        auto b = startChild({"edit", "22", shotB});
        QVERIFY(a && b);
        ::kill(pid_t(a->processId()), SIGTERM);
        QVERIFY(a->waitForFinished(60000));
        ::kill(pid_t(b->processId()), SIGHUP);
        QVERIFY(b->waitForFinished(60000));
        for (QProcess* p : {a.get(), b.get()}) {
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
        QCOMPARE(copiesOnDisk().size(), 2);
        ProgramDir dir;
        MainWindow g({}, dir.path());
        QCOMPARE(startAgain(g, true).size(), 2);
        COMPARE_IMAGES(canvasImage(g), rgb(QImage(shotB)), "ended last, offered first");
        const QList<MainWindow*> others = otherWindows(g);
        QCOMPARE(others.size(), 1);
        COMPARE_IMAGES(canvasImage(*others[0]), rgb(QImage(shotA)), "ended first");
        others[0]->close();
    }

    void killedWhileWritingLeavesAWholeCopyAndNoPartAfterTheNextStart()
    {
        int killedMidWrite = 0;
        const int rounds = 10;
        for (int round = 0; round < rounds; ++round) {
            init();
            auto child = startChild({"periodic"});
            QVERIFY(child);
            QTest::qWait(int(QRandomGenerator::global()->bounded(400)));
            child->kill(); // SIGKILL
            QVERIFY(child->waitForFinished(60000));
            killedMidWrite += !filesNamed("*.part").isEmpty();
            std::vector<recovery::OrphanCopy> orphans = recovery::claimOrphans(recovery::folder());
            QVERIFY(filesNamed("*.part").isEmpty());
            QCOMPARE(orphans.size(), size_t(1));
            // One of the greys, all of it: never a mixture, never cut short.
            const QImage copy = QImage(orphans[0].image());
            QCOMPARE(copy.size(), QSize(3000, 2000));
            const QRgb grey = copy.pixel(0, 0);
            for (int y = 0; y < copy.height(); y += 7)
                QCOMPARE(copy.pixel((y * 13) % copy.width(), y), grey);
            QCOMPARE(copy.pixel(2999, 1999), grey);
        }
        qInfo("killed while a copy was being written: %d of %d", killedMidWrite, rounds);
        QVERIFY(killedMidWrite > 0);
    }
};

ZORVAT_TEST_MAIN(RecoveryTest)
#include "test_recovery.moc"
