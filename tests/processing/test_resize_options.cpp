// The resize sizes are laid out in reading order with room between them.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <map>

using namespace testsupport;

class ResizeOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void sizesReadInOrderAndNoCaptionTouchesTheNext()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        // Names, indexes and captions are unchanged.
        const QStringList captions = {"300", "400", "700", "800", "500", " 900", "600", "1000", "1100", "1200", "1300"};
        std::map<int, std::map<int, QRadioButton*>> rows; // y -> x -> button
        for (int k = 0; k < 11; ++k) {
            QRadioButton* r = f.optResize[k];
            QCOMPARE(r->objectName(), QString("optResize(%1)").arg(k));
            QCOMPARE(r->text(), captions[k]);
            rows[r->y()][r->x()] = r;
        }
        QVERIFY(f.optResize[6]->isChecked());

        QList<QList<int>> values;
        int previousBottom = 0;
        for (const auto& [y, row] : rows) {
            QVERIFY2(y >= previousBottom, "rows overlap");
            QList<int> line;
            const QRadioButton* before = nullptr;
            for (const auto& [x, r] : row) {
                line << r->text().trimmed().toInt();
                // The whole caption fits inside the button and ends clear of the next one.
                QVERIFY(r->width() >= r->sizeHint().width());
                if (before)
                    QVERIFY2(before->x() + before->sizeHint().width() + 2 <= x,
                             qPrintable(before->text() + " touches " + r->text()));
                QVERIFY(x + r->width() <= f.frmResize->width());
                previousBottom = std::max(previousBottom, y + r->height());
                before = r;
            }
            values << line;
        }
        QCOMPARE(values, (QList<QList<int>>{{300, 400, 500, 600}, {700, 800, 900, 1000}, {1100, 1200, 1300}}));
        // The unit label and the button stay below the sizes.
        QVERIFY(f.lblResizeUnit->y() >= previousBottom);
        QVERIFY(f.btnResize->y() >= previousBottom);
    }
};

ZORVAT_TEST_MAIN(ResizeOptionsTest)
#include "test_resize_options.moc"
