// The plan's own facts without a window: what opening, saving, recovering
// and editing do to the path, the recovered origin, the unsaved state, the
// resolution, the scale and the wall map.
#include "testsupport/testmain.h"
#include "documents/plan_document.h"

using documents::PlanDocument;
using documents::ResolutionSource;
using State = PlanDocument::CanvasState;

class PlanDocumentTest : public QObject {
    Q_OBJECT
private slots:
    void openingStartsAFreshDocument()
    {
        PlanDocument doc;
        doc.recover("old.bmp");
        QVERIFY(doc.setScaleDenominator(50));
        doc.setWallMap(std::make_shared<ink::WallMap>());
        doc.setResolution(600, ResolutionSource::Image);

        doc.open("/plans/a.jpg", 300, ResolutionSource::Image);
        QCOMPARE(doc.path(), QString("/plans/a.jpg"));
        QVERIFY(!doc.isRecovered());
        QVERIFY(!doc.wallMap());
        QCOMPARE(doc.scaleDenominator(), PlanDocument::kDefaultScaleDenominator);
        QCOMPARE(doc.dpi(), 300.0);
        QCOMPARE(doc.resolutionSource(), ResolutionSource::Image);

        doc.open("新規イメージ", 200, ResolutionSource::Settings);
        QCOMPARE(doc.resolutionSource(), ResolutionSource::Settings);
        QCOMPARE(doc.dpi(), 200.0);
    }

    void unsavedWorkFollowsTheCanvas()
    {
        PlanDocument doc;
        const State opened{7, 100}, edited{7, 101}, other{8, 100};
        doc.open("a.bmp", 200, ResolutionSource::Image);
        doc.markClean(opened);
        QVERIFY(!doc.hasUnsavedWork(opened));
        QVERIFY(doc.hasUnsavedWork(edited));
        QVERIFY(doc.hasUnsavedWork(other));
        QVERIFY(!doc.hasUnsavedWork(State{})); // no picture, nothing to lose
        doc.markClean(edited);                  // saved
        QVERIFY(!doc.hasUnsavedWork(edited));
        QVERIFY(doc.hasUnsavedWork(opened));   // undo back to the opened picture
    }

    void aRecoveredCopyKeepsItsOriginUntilSaved()
    {
        PlanDocument doc;
        const State shown{3, 40};
        doc.open("/tmp/recovery/recovery.bmp", 200, ResolutionSource::Image);
        doc.markClean(shown);
        doc.recover("/plans/house.jpg");
        QCOMPARE(doc.path(), QString("/plans/house.jpg"));
        QVERIFY(doc.isRecovered());
        // Nothing the canvas shows is saved anywhere, even unchanged.
        QVERIFY(doc.hasUnsavedWork(shown));
        doc.setPath("/plans/house2.jpg"); // a rename alone is no save
        QVERIFY(doc.isRecovered());
        doc.markClean(shown);
        QVERIFY(!doc.isRecovered());
        QVERIFY(!doc.hasUnsavedWork(shown));
    }

    void scaleRefusesNonsense()
    {
        PlanDocument doc;
        for (int bad : {0, -100}) {
            QVERIFY(!doc.setScaleDenominator(bad));
            QCOMPARE(doc.scaleDenominator(), 100);
        }
        QVERIFY(doc.setScaleDenominator(1));
        QCOMPARE(doc.scaleDenominator(), 1);
    }
};

ZORVAT_TEST_MAIN(PlanDocumentTest)
#include "test_plan_document.moc"
