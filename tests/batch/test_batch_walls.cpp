// zorvat-batch --walls: the wall map of each picture as JSON, with or
// without the pictures themselves.
#include "batch/batch_options.h"
#include "batch/batch_walls.h"
#include "ink/wall_map_json.h"
#include "testsupport/frameplan.h"
#include "testsupport/testmain.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

int run(const QStringList& args)
{
    QProcess p;
    p.start(ZORVAT_BATCH_PROGRAM, args);
    p.waitForFinished(120000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestBatchWalls : public QObject {
    Q_OBJECT

private slots:
    void commandLine()
    {
        const batch::Parsed alone = batch::parseArguments({"--walls", "out", "a.png"});
        QVERIFY(alone.error.isEmpty());
        QVERIFY(batch::wallsOnly(alone.options));
        QVERIFY(batch::workerArguments(alone.options, "a.png", "out/a.walls.json").join(' ').contains("--walls out"));
        const batch::Parsed both = batch::parseArguments({"--walls", "w", "-o", "o", "a.png"});
        QVERIFY(both.error.isEmpty());
        QVERIFY(!batch::wallsOnly(both.options));
        QVERIFY(!batch::parseArguments({"a.png", "--walls"}).error.isEmpty());
    }

    void writesOneMapPerPicture()
    {
        QTemporaryDir dir;
        const QString a = testsupport::writeFramePlan(dir.filePath("a.png"), 1200);
        const QString b = testsupport::writeFramePlan(dir.filePath("b.png"), 1200);
        QFile bad(dir.filePath("c.png"));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("not a picture") > 0);
        bad.close();
        const QString out = dir.filePath("walls");
        QCOMPARE(run({"--walls", out, a, b, bad.fileName()}), 1);  // the bad file fails, the rest go on
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList({"a.walls.json", "b.walls.json"}));

        QFile json(out + "/a.walls.json");
        QVERIFY(json.open(QIODevice::ReadOnly));
        ink::WallMap map;
        std::string error;
        QVERIFY2(ink::fromJson(json.readAll().toStdString(), map, &error), error.c_str());
        QCOMPARE(map.width, 2400);
        QCOMPARE(map.dpi, 300.0);
        QCOMPARE(int(map.walls.size()), 5);
        int l = 0, t = 0;
        for (const ink::Junction& j : map.junctions) {
            l += j.type == ink::JunctionType::L;
            t += j.type == ink::JunctionType::T;
        }
        QCOMPARE(l, 4);
        QCOMPARE(t, 2);

        // With -o the pictures are written as well.
        const QString pictures = dir.filePath("pictures");
        QCOMPARE(run({"--walls", out, "-o", pictures, a}), 0);
        QVERIFY(QFile::exists(pictures + "/a.png"));
    }
};

ZORVAT_TEST_MAIN(TestBatchWalls)
#include "test_batch_walls.moc"
