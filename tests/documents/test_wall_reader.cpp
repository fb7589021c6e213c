// Reading a plan's walls in the background: the map arrives on the window's
// thread, a newer reading replaces an older one, a cancelled one never
// arrives.
#include "documents/wall_reader.h"
#include "testsupport/testmain.h"
#include <QPainter>
#include <QSignalSpy>

Q_DECLARE_METATYPE(std::shared_ptr<const ink::WallMap>)

namespace {

// A 300-dpi plan: a frame of 150 mm walls (1/100) and `partitions`
// partitions.
QImage plan(int partitions)
{
    QImage img(2400, 1800, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 18, Qt::SolidLine, Qt::SquareCap));
    p.drawRect(400, 400, 1600, 1000);
    for (int i = 1; i <= partitions; ++i)
        p.drawLine(400 + 1600 * i / (partitions + 1), 400, 400 + 1600 * i / (partitions + 1), 1400);
    return img;
}

} // namespace

class TestWallReader : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<std::shared_ptr<const ink::WallMap>>(); }

    void newestReadingWins()
    {
        documents::WallReader reader;
        QSignalSpy spy(&reader, &documents::WallReader::wallsRead);
        reader.start(plan(1), 300, 100, false);
        reader.start(plan(2), 300, 100, false);
        QVERIFY(spy.wait(20000));
        QTest::qWait(500);  // the first reading, had it not been dropped, would be in by now
        QCOMPARE(spy.count(), 1);
        const auto map = spy.at(0).at(0).value<std::shared_ptr<const ink::WallMap>>();
        QVERIFY(map);
        QCOMPARE(int(map->walls.size()), 6);
        QCOMPARE(map->width, 2400);
    }

    void cancelledReadingNeverArrives()
    {
        documents::WallReader reader;
        QSignalSpy spy(&reader, &documents::WallReader::wallsRead);
        reader.start(plan(1), 300, 100, false);
        reader.cancel();
        QTRY_VERIFY_WITH_TIMEOUT(!reader.busy(), 20000);
        QTest::qWait(100);
        QCOMPARE(spy.count(), 0);
    }

    void underlayTracingIsLeftOut()
    {
        // The whole plan traced in pure black over nothing: with the
        // user's tracing left out there is nothing left to read.
        documents::WallReader reader;
        QSignalSpy spy(&reader, &documents::WallReader::wallsRead);
        reader.start(plan(1), 300, 100, true);
        QVERIFY(spy.wait(20000));
        QVERIFY(spy.at(0).at(0).value<std::shared_ptr<const ink::WallMap>>()->walls.empty());
    }
};

ZORVAT_TEST_MAIN(TestWallReader)
#include "test_wall_reader.moc"
