// The window-free parts of keeping unsaved work: the meta file read with
// bounds, the copy schedule, slots and their locks, orphans, the discarded
// folder, the atomic replace of a copy, and signals turned into events.
#include "recovery/bmp_slice_writer.h"
#include "recovery/copy_meta.h"
#include "recovery/copy_schedule.h"
#include "recovery/copy_slots.h"
#include "recovery/shutdown_signals.h"
#include "testsupport/testmain.h"
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <csignal>
#include <memory>

using namespace recovery;

namespace {
void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QImage filled(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// Leaves a copy in a slot whose window has ended: a slot written, then let go.
QString leaveOrphan(const QString& root, const QImage& image, const QString& name, const QDateTime& time)
{
    OwnSlot slot(root);
    if (!slot.ensure() || !writeBmp(imageIn(slot.dir()), image) || !slot.writeMeta({name, time}))
        return {};
    return slot.dir();
}

QStringList namesIn(const QString& dir) { return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }
}

class RecoveryFilesTest : public QObject {
    Q_OBJECT
private slots:
    void metaIsReadWithBounds_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("timeValid");
        const QByteArray time = "time=2026-12-08T10:20:30.000\n";
        QTest::newRow("plain") << QByteArray("[General]\nname=/home/a/図面.jpg\n") + time << QString("/home/a/図面.jpg") << true;
        QTest::newRow("crlf, spaces") << QByteArray("[General]\r\nname=  b.bmp \r\n") + time << QString("b.bmp") << true;
        QTest::newRow("controls and direction overrides go")
            << QByteArray("[General]\nname=a\x01\x1b[31mb\t\xe2\x80\xae") + "c\xc2\x85" + "d\n" + time
            << QString("a[31mbcd") << true;
        QTest::newRow("other section ignored") << QByteArray("[Other]\nname=x\n") << QString() << false;
        QTest::newRow("bad time") << QByteArray("[General]\nname=n\ntime=yesterday\n") << QString("n") << false;
        QTest::newRow("no newline at end, invalid UTF-8")
            << QByteArray("[General]\nname=\xff\xfe" "ok") << QString(QChar(0xFFFD)) + QChar(0xFFFD) + "ok" << false;
        QTest::newRow("empty") << QByteArray() << QString() << false;
        // 5000 three-byte characters: cut at a character, within 4 kB.
        QString many;
        for (int i = 0; i < 5000; ++i)
            many += QChar(0x3042);
        QTest::newRow("long name cut between characters")
            << QByteArray("[General]\nname=") + many.toUtf8() + "\n" + time << many.left(int(kNameLimit / 3)) << true;
    }

    void metaIsReadWithBounds()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, name);
        QFETCH(bool, timeValid);
        const Meta meta = readMeta(text);
        QCOMPARE(meta.name, name);
        QCOMPARE(meta.time.isValid(), timeValid);
        QVERIFY(meta.name.toUtf8().size() <= kNameLimit);
        // What is written reads back the same.
        const Meta again = readMeta(metaText(meta));
        QCOMPARE(again.name, meta.name);
    }

    void scaleAndResolutionSourceComeBack()
    {
        const Meta kept{"plan.bmp", QDateTime::currentDateTime(), 50, true};
        const Meta back = readMeta(metaText(kept));
        QCOMPARE(back.scaleDenominator, 50);
        QVERIFY(back.resolutionAssumed);
        QCOMPARE(back.time, kept.time);
        const Meta bad = readMeta("[General]\nscale=-3\nresolution=yes\n");
        QCOMPARE(bad.scaleDenominator, 0);
        QVERIFY(!bad.resolutionAssumed);
    }

    void aHugeMetaFileIsReadOnlyInPart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("recovery.ini");
        writeFile(path, "[General]\nname=" + QByteArray(10 << 20, 'x') + "\x07\ntime=2026-01-01T00:00:00\n");
        const Meta meta = readMetaFile(path);
        QCOMPARE(meta.name, QString(kNameLimit, 'x'));
        QVERIFY(!meta.time.isValid()); // beyond what is read
    }

    void schedule_data()
    {
        // Each step: time (ms), unsaved changes, whether a copy is due, and
        // whether one is then completed (+1) or the document is saved (-1).
        QTest::addColumn<QList<QList<qint64>>>("steps");
        QTest::newRow("first copy at the first check after a change, then every two minutes")
            << QList<QList<qint64>>{{0, 0, 0, 0},          {5000, 1, 1, 1},      {10000, 1, 0, 0},
                                   {124000, 1, 0, 0},      {125000, 1, 1, 1},    {200000, 0, 0, 0},
                                   {250000, 1, 1, 0}};
        QTest::newRow("a save starts over: the next change is a first one")
            << QList<QList<qint64>>{{1000, 1, 1, 1}, {2000, 0, 0, -1}, {60000, 1, 1, 1}, {70000, 1, 0, 0}};
    }

    void schedule()
    {
        QFETCH(QList<QList<qint64>>, steps);
        CopySchedule s;
        for (const QList<qint64>& step : steps) {
            QCOMPARE(s.due(step[0], step[1] != 0), step[2] != 0);
            if (step[3] > 0)
                s.copied(step[0]);
            else if (step[3] < 0)
                s.clean();
        }
        // The first copy follows a change within the delay asked for.
        CopySchedule delayed;
        delayed.firstDelayMs = 20000;
        QVERIFY(!delayed.due(1000, true));
        QVERIFY(!delayed.due(20999, true));
        QVERIFY(delayed.due(21000, true));
    }

    void slotsOfRunningWindowsAreLeftAloneAndOrphansComeNewestFirst()
    {
        QTemporaryDir root;
        const QDateTime now = QDateTime::currentDateTime();
        const QString older = leaveOrphan(root.path(), filled(4, 3, qRgb(1, 2, 3)), "old.jpg", now.addSecs(-600));
        const QString newer = leaveOrphan(root.path(), filled(4, 3, qRgb(4, 5, 6)), "new.jpg", now.addSecs(-60));
        // A copy left by an older program directly in the folder.
        QVERIFY(writeBmp(imageIn(root.path()), filled(2, 2, qRgb(7, 8, 9))));
        writeFile(metaIn(root.path()), "[General]\nname=legacy.bmp\ntime=" +
                                           now.addSecs(-3600).toString(Qt::ISODate).toUtf8() + "\n");
        // Half-written pictures of ended programs, and a slot with no copy.
        writeFile(BmpSliceWriter::partPath(imageIn(older)), "torn");
        const QString empty = leaveOrphan(root.path(), QImage(), "", now);
        QVERIFY(empty.isEmpty());
        QVERIFY(!namesIn(root.path()).filter("slot-").isEmpty());
        // A running window with a copy and one being written.
        OwnSlot running(root.path());
        QVERIFY(running.ensure());
        QVERIFY(writeBmp(imageIn(running.dir()), filled(1, 1, qRgb(0, 0, 0))));
        writeFile(BmpSliceWriter::partPath(imageIn(running.dir())), "being written");

        std::vector<OrphanCopy> orphans = claimOrphans(root.path());
        QCOMPARE(orphans.size(), size_t(3));
        QCOMPARE(orphans[0].meta.name, QString("new.jpg"));
        QCOMPARE(orphans[1].meta.name, QString("old.jpg"));
        QCOMPARE(orphans[2].meta.name, QString("legacy.bmp"));
        QCOMPARE(QImage(orphans[0].image()).pixel(0, 0), qRgb(4, 5, 6));
        QVERIFY(!QFile::exists(BmpSliceWriter::partPath(imageIn(older))));
        QCOMPARE(namesIn(root.path()).filter("slot-").size(), 3); // the empty slot went
        QVERIFY(QFile::exists(BmpSliceWriter::partPath(imageIn(running.dir()))));
        // Claimed copies are not offered twice while held.
        QCOMPARE(claimOrphans(root.path()).size(), size_t(0));
        removeOrphan(orphans[2]);
        QVERIFY(!QFile::exists(imageIn(root.path())));
    }

    void ownSlotLeavesNothingWithoutACopyAndAdoptsAnOrphansCopy()
    {
        QTemporaryDir root;
        QString dir;
        {
            OwnSlot slot(root.path());
            QVERIFY(slot.ensure());
            dir = slot.dir();
            QVERIFY(writeBmp(imageIn(dir), filled(3, 3, qRgb(9, 9, 9))));
            slot.removeCopy();
        }
        QVERIFY(!QFileInfo::exists(dir));
        leaveOrphan(root.path(), filled(5, 5, qRgb(10, 20, 30)), "x.bmp", QDateTime::currentDateTime());
        std::vector<OrphanCopy> orphans = claimOrphans(root.path());
        QCOMPARE(orphans.size(), size_t(1));
        auto slot = std::make_unique<OwnSlot>(root.path());
        QVERIFY(slot->adopt(orphans[0].dir));
        removeOrphan(orphans[0]);
        QCOMPARE(QImage(imageIn(slot->dir())).pixel(0, 0), qRgb(10, 20, 30));
        QCOMPARE(readMetaFile(metaIn(slot->dir())).name, QString("x.bmp"));
        QCOMPARE(claimOrphans(root.path()).size(), size_t(0)); // now a running window's
        slot.reset();
        QCOMPARE(claimOrphans(root.path()).size(), size_t(1)); // and an orphan again
    }

    void declinedCopiesAreSetAsideNewestFewForAWeek()
    {
        QTemporaryDir root;
        const QDateTime now = QDateTime::currentDateTime();
        for (int i = 0; i < 5; ++i) {
            leaveOrphan(root.path(), filled(2, 2, qRgb(i, 0, 0)), QString("n%1").arg(i), now);
            std::vector<OrphanCopy> orphans = claimOrphans(root.path());
            QCOMPARE(orphans.size(), size_t(1));
            QVERIFY(setAside(orphans[0], root.path(), now.addSecs(i)));
        }
        QCOMPARE(namesIn(root.path()).filter("slot-").size(), 0);
        QStringList kept = namesIn(discardedFolder(root.path()));
        QCOMPARE(kept.size(), 3);
        kept.sort();
        QCOMPARE(readMetaFile(metaIn(discardedFolder(root.path()) + "/" + kept.last())).name, QString("n4"));
        QCOMPARE(QImage(imageIn(discardedFolder(root.path()) + "/" + kept.first())).pixel(0, 0), qRgb(2, 0, 0));
        // Six days on they stay; eight days on they are gone.
        pruneDiscarded(root.path(), now.addDays(6));
        QCOMPARE(namesIn(discardedFolder(root.path())).size(), 3);
        pruneDiscarded(root.path(), now.addDays(8));
        QCOMPARE(namesIn(discardedFolder(root.path())).size(), 0);
    }

    void aNewCopyReplacesTheOldOnlyWhenWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("recovery.bmp");
        QVERIFY(writeBmp(path, filled(40, 30, qRgb(1, 1, 1))));
        BmpSliceWriter w;
        const QImage next = filled(40, 30, qRgb(2, 2, 2));
        QVERIFY(w.begin(path, 40, 30, 0, 0));
        QVERIFY(w.writeRows(next, 0, 15));
        // Midway, the old copy is still there, whole.
        QCOMPARE(QImage(path).pixel(39, 29), qRgb(1, 1, 1));
        w.abort();
        QCOMPARE(namesIn(dir.path()), QStringList{"recovery.bmp"});
        QCOMPARE(QImage(path).pixel(0, 0), qRgb(1, 1, 1));
        QVERIFY(w.begin(path, 40, 30, 0, 0));
        QVERIFY(w.writeRows(next, 15, 30));
        QVERIFY(w.writeRows(next, 0, 15));
        QVERIFY(w.finish());
        QCOMPARE(namesIn(dir.path()), QStringList{"recovery.bmp"});
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), next);
        // Where nothing can be written, the old copy stays.
        QVERIFY(!writeBmp(dir.filePath("missing/recovery.bmp"), next));
    }

    void signalsBecomeEvents()
    {
        ShutdownSignals signalsSeen;
        QVERIFY(signalsSeen.installed());
        QSignalSpy spy(&signalsSeen, &ShutdownSignals::received);
        QVERIFY(std::raise(SIGHUP) == 0); // would end the test without the handler
        QVERIFY(std::raise(SIGTERM) == 0);
        QTRY_COMPARE(spy.size(), 2);
        QCOMPARE(spy[0][0].toInt(), SIGHUP);
        QCOMPARE(spy[1][0].toInt(), SIGTERM);
        // Only one object handles them at a time.
        ShutdownSignals second;
        QVERIFY(!second.installed());
    }
};

ZORVAT_TEST_MAIN(RecoveryFilesTest)
#include "test_recovery_files.moc"
