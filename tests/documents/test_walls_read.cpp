// The window reads the plan's walls in the background after opening a
// picture and again after underlay creation.
#include "testsupport/formfixture.h"
#include "testsupport/testmain.h"
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>

class TestWallsRead : public QObject {
    Q_OBJECT

private slots:
    void openThenUnderlay()
    {
        testsupport::ProgramDir program;
        MainWindow w({}, program.path());
        QTemporaryDir dir;
        // A 300-dpi plan: a frame of 150 mm walls (1/100) and a partition.
        QImage img(2400, 1800, QImage::Format_RGB32);
        img.fill(Qt::white);
        img.setDotsPerMeterX(11811);
        img.setDotsPerMeterY(11811);
        QPainter p(&img);
        p.setPen(QPen(Qt::black, 18, Qt::SolidLine, Qt::SquareCap));
        p.drawRect(400, 400, 1600, 1000);
        p.drawLine(1200, 400, 1200, 1400);
        p.end();
        const QString path = dir.filePath("plan.png");
        QVERIFY(img.save(path));
        {
            testsupport::FileDialogs dialogs;
            dialogs.answer = path;
            w.btnOpen_Click();
        }
        QVERIFY(!w.document.wallMap()); // not yet: the reading runs behind the window
        QTRY_VERIFY_WITH_TIMEOUT(w.document.wallMap() != nullptr, 20000);
        QCOMPARE(int(w.document.wallMap()->walls.size()), 5);

        // Underlay creation: read again, the scan's ink still holds the walls.
        QPushButton* underlay = w.findChild<QPushButton*>("btnRGB");
        QVERIFY(underlay);
        underlay->click();
        QVERIFY(!w.document.wallMap());
        QTRY_VERIFY_WITH_TIMEOUT(w.document.wallMap() != nullptr, 20000);
        QCOMPARE(int(w.document.wallMap()->walls.size()), 5);
    }
};

ZORVAT_TEST_MAIN(TestWallsRead)
#include "test_walls_read.moc"
