// zorvat-batch --dxf / --svg: the command line, the vector files' names, and
// the program run on a plan with walls and on a blank sheet.
#include "batch/batch_options.h"
#include "batch/batch_run.h"
#include "batch/batch_vectors.h"
#include "testsupport/testmain.h"
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int kDpi = 400;

// A room of four solid walls 150 mm thick at 1:100 (24 px at 400 dpi) on a
// 2000 x 1500 sheet, or a blank sheet.
QString writePlan(const QString& path, bool walls)
{
    QImage img(2000, 1500, QImage::Format_RGB32);
    img.fill(Qt::white);
    const int dpm = qRound(kDpi / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    if (walls) {
        QPainter p(&img);
        p.fillRect(200, 200, 1600, 24, Qt::black);
        p.fillRect(200, 1276, 1600, 24, Qt::black);
        p.fillRect(200, 200, 24, 1100, Qt::black);
        p.fillRect(1776, 200, 24, 1100, Qt::black);
    }
    return img.save(path) ? path : QString();
}

QString ezdxfPython()
{
    for (const QString& candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess p;
        p.start(candidate, {QStringLiteral("-c"), QStringLiteral("import ezdxf")});
        if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return candidate;
    }
    return {};
}

QJsonObject readDxf(const QString& path)
{
    QProcess p;
    p.start(ezdxfPython(), {QStringLiteral(ZORVAT_SOURCE_DIR "/tests/vector/dxf_readback.py"), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

} // namespace

class BatchVectorsTest : public QObject {
    Q_OBJECT
private slots:
    void commandLineTakesVectorFolders()
    {
        const batch::Parsed only = batch::parseArguments({"--dxf", "d", "--svg=s", "--scale", "50", "a.jpg"});
        QVERIFY2(only.error.isEmpty(), qPrintable(only.error)); // no -o needed
        QVERIFY(!only.options.writesPicture() && only.options.writesVectors());
        QCOMPARE(only.options.scale, 50);
        const batch::Parsed worker = batch::parseArguments(batch::workerArguments(only.options, "a.jpg", {}));
        QVERIFY2(worker.error.isEmpty(), qPrintable(worker.error));
        QCOMPARE(worker.options.dxfDir, QDir("d").absolutePath());
        QCOMPARE(worker.options.svgDir, QDir("s").absolutePath());
        QCOMPARE(worker.options.scale, 50);
        QVERIFY(worker.options.output.isEmpty());

        for (const QStringList& bad : {QStringList{"--dxf", "d", "--scale", "0", "a.jpg"}, QStringList{"a.jpg", "--svg"},
                                       QStringList{"--scale", "100", "a.jpg"}})
            QVERIFY2(!batch::parseArguments(bad).error.isEmpty(), qPrintable(bad.join(' ')));

        // Two inputs of one base name would write the same drawing.
        batch::Options o = only.options;
        o.files = {"x/plan.jpg", "y/plan.bmp", "z/other.png"};
        const auto jobs = batch::planJobs(o);
        QVERIFY(jobs[0].error.isEmpty());
        QVERIFY(!jobs[1].error.isEmpty());
        QVERIFY(jobs[2].error.isEmpty());
        QVERIFY(jobs[0].output.isEmpty());
    }

    void eachInputGivesOneDrawingPerFormat()
    {
        const QString python = ezdxfPython();
        QVERIFY2(!python.isEmpty(), "python3 with ezdxf (Debian package python3-ezdxf) is needed");
        QTemporaryDir dir;
        const QString in = dir.filePath("in");
        QDir().mkpath(in);
        const QString plan = writePlan(in + "/plan.png", true);
        const QString blank = writePlan(in + "/blank.png", false);
        QVERIFY(!plan.isEmpty() && !blank.isEmpty());

        QProcess p;
        p.start(ZORVAT_BATCH_PROGRAM,
                {"--dxf", dir.filePath("dxf"), "--svg", dir.filePath("svg"), "--scale", "100", plan, blank});
        QVERIFY(p.waitForFinished(180000));
        QVERIFY2(p.exitCode() == 0, qPrintable(p.readAllStandardOutput() + p.readAllStandardError()));
        QCOMPARE(QDir(in).entryList(QDir::Files).size(), 2); // no pictures written
        for (const char* name : {"svg/plan.svg", "svg/blank.svg"})
            QVERIFY2(QFile::exists(dir.filePath(name)), name);

        // 1 px is 0.0635 mm on paper, 6.35 mm at 1:100.
        const double k = 25.4 / kDpi * 100;
        struct Expect {
            const char* file;
            int minWalls;
            int maxWalls;
        };
        for (const Expect& e : {Expect{"dxf/plan.dxf", 4, 8}, Expect{"dxf/blank.dxf", 0, 0}}) {
            const QJsonObject dxf = readDxf(dir.filePath(e.file));
            QVERIFY2(!dxf.isEmpty(), e.file);
            QCOMPARE(dxf["errors"].toArray().size(), 0);
            QCOMPARE(dxf["insunits"].toInt(), 4);
            int walls = 0;
            for (const QJsonValue& v : dxf["entities"].toArray()) {
                const QJsonObject ent = v.toObject();
                if (ent["layer"].toString() != QStringLiteral("壁"))
                    continue;
                ++walls;
                // Every corner lies on the drawn walls' outer or inner edges.
                for (const QJsonValue& pt : ent["points"].toArray()) {
                    const double x = pt.toArray()[0].toDouble() / k, y = 1500 - pt.toArray()[1].toDouble() / k;
                    QVERIFY2(x > 190 && x < 1810 && y > 190 && y < 1310, qPrintable(QString("%1,%2").arg(x).arg(y)));
                }
            }
            QVERIFY2(walls >= e.minWalls && walls <= e.maxWalls, qPrintable(QString("%1: %2 walls").arg(e.file).arg(walls)));
        }
    }
};

ZORVAT_TEST_MAIN(BatchVectorsTest)
#include "test_batch_vectors.moc"
