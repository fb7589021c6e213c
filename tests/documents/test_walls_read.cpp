// The window reads the plan's walls in the background after opening a
// picture and again after underlay creation.
#include "documents/wall_reader.h"
#include "floorplan/trace_assist.h"
#include "testsupport/formfixture.h"
#include "testsupport/frameplan.h"
#include "testsupport/testmain.h"
#include "imaging/io/gf5file.h"
#include "imaging/store/imagestore.h"
#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {

// Opens the file as the 開く button does, the dialog answered with path.
void openThroughDialog(MainWindow& w, const QString& path)
{
    testsupport::FileDialogs dialogs;
    dialogs.answer = path;
    w.btnOpen_Click();
}

} // namespace

class TestWallsRead : public QObject {
    Q_OBJECT

private slots:
    void openThenUnderlay()
    {
        testsupport::ProgramDir program;
        MainWindow w({}, program.path());
        w.show();
        QTemporaryDir dir;
        const QString path = testsupport::writeFramePlan(dir.filePath("plan.png"), 1200);
        QVERIFY(!path.isEmpty());
        openThroughDialog(w, path);
        QVERIFY(!w.document.wallMap()); // not yet: the reading runs behind the window
        QTRY_VERIFY_WITH_TIMEOUT(w.document.wallMap() != nullptr, 20000);
        QCOMPARE(int(w.document.wallMap()->walls.size()), 5);

        // Underlay creation: read again, the scan's ink still holds the walls.
        QPushButton* underlay = w.findChild<QPushButton*>("btnRGB");
        QVERIFY(underlay);
        underlay->click();
        QVERIFY(!w.document.wallMap());
        // In a shown window the reading starts once the new picture is painted.
        QVERIFY(!w.wallReader->busy());
        QTRY_VERIFY_WITH_TIMEOUT(w.document.wallMap() != nullptr, 20000);
        QCOMPARE(int(w.document.wallMap()->walls.size()), 5);
    }

    // The file named at start is read for walls only once the window has
    // painted it, and a window never shown reads it all the same.
    void fileNamedAtStartIsReadAfterTheFirstPaint()
    {
        testsupport::ProgramDir program;
        QTemporaryDir dir;
        const QString path = testsupport::writeFramePlan(dir.filePath("plan.png"), 0);
        QVERIFY(!path.isEmpty());
        for (const bool shown : {true, false}) {
            MainWindow w({path}, program.path());
            QVERIFY2(!w.wallReader, "no reading before the picture is on screen");
            if (shown)
                w.show();
            QTRY_VERIFY_WITH_TIMEOUT(w.document.wallMap() != nullptr, 20000);
            QCOMPARE(int(w.document.wallMap()->walls.size()), 4);
        }
    }

    // A JPEG named at start is first shown as the reduced copy decoded
    // ahead: no document and no input until the whole picture is in, after
    // the first paint (or a second, for a window never shown). What goes in
    // is the file as it is then, even when it was replaced meanwhile.
    void jpegNamedAtStartShowsAReducedCopyFirst_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("shown") << true << false;
        QTest::newRow("never shown") << false << false;
        QTest::newRow("replaced after the read ahead") << true << true;
    }

    void jpegNamedAtStartShowsAReducedCopyFirst()
    {
        QFETCH(bool, shown);
        QFETCH(bool, replaced);
        testsupport::ProgramDir program;
        QTemporaryDir dir;
        const QString path = dir.filePath("plan.jpg");
        QImage first(1600, 1200, QImage::Format_RGB32), second(1000, 1400, QImage::Format_RGB32);
        first.fill(qRgb(40, 90, 200));
        second.fill(qRgb(220, 60, 30));
        QVERIFY(first.save(path, "JPEG", 95));
        gf5::Gf5File::readAhead(path, QSize(100, 100));
        const gf5::Gf5File::StandIn standIn = gf5::Gf5File::readAheadStandIn(path);
        QCOMPARE(standIn.image.size(), QSize(200, 150)); // an eighth still covers the box
        QCOMPARE(standIn.fullSize, first.size());
        if (replaced) {
            QTest::qWait(1100); // a later modification time
            QVERIFY(second.save(path, "JPEG", 95));
        }
        MainWindow w({path}, program.path());
        QVERIFY(w.dspCanvas->showsStandIn());
        QCOMPARE(w.dspCanvas->ImageHandle(), 0);
        QVERIFY(w.busyDepth > 0);
        if (shown)
            w.show();
        QTRY_VERIFY_WITH_TIMEOUT(w.dspCanvas->ImageHandle() != 0, 5000);
        QVERIFY(!w.dspCanvas->showsStandIn());
        QCOMPARE(w.busyDepth, 0);
        const QImage* in = gf5::ImageStore::image(w.dspCanvas->ImageHandle());
        QVERIFY(in);
        const QImage& expected = replaced ? second : first;
        QCOMPARE(in->size(), expected.size());
        QVERIFY(qAbs(qRed(in->pixel(500, 500)) - qRed(expected.pixel(500, 500))) < 8);
        QCOMPARE(w.document.path(), path);
    }

    // A turn, a mirror, a resize or a cut-out moves the walls: the old map is
    // dropped at once (the tracer never follows it) and read again for the
    // new picture; an undo brings the old picture's map straight back, and
    // an undo of a traced stroke keeps the map as it is.
    void geometryChangesReadTheWallsAgain()
    {
        testsupport::ProgramDir program;
        MainWindow w({}, program.path());
        QTemporaryDir dir;
        // The partition off centre: a mirror moves it.
        const QString path = testsupport::writeFramePlan(dir.filePath("plan.png"), 1000);
        QVERIFY(!path.isEmpty());
        openThroughDialog(w, path);
        QTRY_VERIFY_WITH_TIMEOUT(w.traceAssist().active(), 20000);
        const std::shared_ptr<const ink::WallMap> opened = w.document.wallMap();
        auto partitionAt = [](const ink::WallMap& m, bool vertical, double at) {
            for (const ink::Wall& wall : m.walls) {
                const double a = vertical ? wall.a.x : wall.a.y, b = vertical ? wall.b.x : wall.b.y;
                if (std::abs(a - at) < 3 && std::abs(b - at) < 3 &&
                    std::abs(vertical ? wall.a.y - wall.b.y : wall.a.x - wall.b.x) > 900)
                    return true;
            }
            return false;
        };
        QVERIFY(partitionAt(*opened, true, 1000.5));

        // Mirrored left to right: the partition moves to x = 1400.
        w.findChild<QAbstractButton*>("btnRoteteAndTurn(1)")->click();
        QVERIFY(!w.traceAssist().active());
        QTRY_VERIFY_WITH_TIMEOUT(w.traceAssist().active(), 20000);
        QVERIFY(partitionAt(*w.document.wallMap(), true, 1399.5));

        // Undone: the opened picture's map at once, no reading.
        w.btnUndo_Click();
        QCOMPARE(w.document.wallMap(), opened);
        QVERIFY(w.traceAssist().active());

        // Turned a quarter: the map is read for the upright picture.
        w.cmbRotate->setText("90");
        w.findChild<QAbstractButton*>("btnRoteteAndTurn(0)")->click();
        QVERIFY(!w.traceAssist().active());
        QTRY_VERIFY_WITH_TIMEOUT(w.traceAssist().active(), 20000);
        QCOMPARE(w.document.wallMap()->width, 1800);
        QCOMPARE(w.document.wallMap()->height, 2400);
        QVERIFY(partitionAt(*w.document.wallMap(), false, 1000.5) || partitionAt(*w.document.wallMap(), false, 1399.5));
        w.btnUndo_Click();
        QCOMPARE(w.document.wallMap(), opened);

        // A stroke drawn on the plan and undone: the same map.
        w.TakeUndoSnapshot();
        w.btnUndo_Click();
        QCOMPARE(w.document.wallMap(), opened);
    }

    // A margin at the bottom leaves the picture where it was, floating at
    // the sheet's corner: laid in there, the opened map comes back on the
    // larger sheet without a reading; laid in elsewhere it is read again
    // where the picture went; taken away, the blank sheet holds no walls.
    void marginKeepsTheMapWithThePicture()
    {
        testsupport::ProgramDir program;
        MainWindow w({}, program.path());
        QTemporaryDir dir;
        const QString path = testsupport::writeFramePlan(dir.filePath("plan.png"), 1000);
        QVERIFY(!path.isEmpty());
        auto partitionAt = [](const ink::WallMap& m, double x) {
            return std::any_of(m.walls.begin(), m.walls.end(), [&](const ink::Wall& wall) {
                return std::abs(wall.a.x - x) < 3 && std::abs(wall.b.x - x) < 3 && std::abs(wall.a.y - wall.b.y) > 900;
            });
        };
        QPushButton* margin = w.findChild<QPushButton*>("btnYohaku");
        QVERIFY(margin);

        struct Case {
            const char* name;
            int moveBy;     // the floating picture moved right before it is laid in
            bool layIn;     // else taken away with Escape
            int partition;  // where the map has it afterwards, -1: no walls
        };
        for (const Case& c : {Case{"laid in where it floats", 0, true, 1000}, Case{"moved, then laid in", 200, true, 1200},
                              Case{"taken away", 0, false, -1}}) {
            openThroughDialog(w, path);
            QTRY_VERIFY_WITH_TIMEOUT(w.traceAssist().active(), 20000);
            const std::shared_ptr<const ink::WallMap> opened = w.document.wallMap();
            QVERIFY(partitionAt(*opened, 1000.5));

            margin->click();
            QVERIFY2(w.PasteFloating, c.name);
            QVERIFY2(!w.canvasWallMap(), c.name); // nothing to follow on the blank sheet under it
            if (c.moveBy) {
                w.dspCanvas->setSelectionLeft(c.moveBy);
                w.dspCanvas->setSelectionRight(2400 + c.moveBy);
                w.dspCanvas_SelectionChanged();
            }
            if (c.layIn)
                w.btnClipSet_Click();
            else
                QVERIFY(w.cancelFloatingPaste());
            if (c.partition == 1000) {
                // At once: no reading.
                QVERIFY2(w.canvasWallMap(), c.name);
                QCOMPARE(w.document.wallMap()->walls.size(), opened->walls.size());
            }
            QTRY_VERIFY_WITH_TIMEOUT(w.canvasWallMap() != nullptr, 20000);
            const std::shared_ptr<const ink::WallMap> now = w.canvasWallMap();
            QCOMPARE(now->height, 1900);
            if (c.partition < 0)
                QVERIFY2(now->walls.empty(), c.name);
            else
                QVERIFY2(partitionAt(*now, c.partition + 0.5), c.name);

            w.btnUndo_Click();
            if (c.layIn) {
                // The lay-in undone: the blank sheet, read as such.
                QTRY_VERIFY_WITH_TIMEOUT(w.canvasWallMap() && w.canvasWallMap()->walls.empty(), 20000);
            } else {
                // The margin undone: the opened picture's map at once.
                QCOMPARE(w.document.wallMap(), opened);
            }
        }
    }
};

ZORVAT_TEST_MAIN(TestWallsRead)
#include "test_walls_read.moc"
