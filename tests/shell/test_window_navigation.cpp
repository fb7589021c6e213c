// The main window as a user moves about it: the effects tab's 用紙を白く and
// 傾き補正, the title after a size change, where windows open, the wheel and
// the zoom options, and captions that show whole.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "shell/canvas_navigation.h"
#include "shell/progress_window.h"
#include "shell/window_placement.h"
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTransform>
#include <QWheelEvent>
#include <cmath>

using namespace testsupport;

namespace {
// Mean row of the dark pixels in a column.
double darkCentre(const QImage& img, int x)
{
    double sum = 0, weight = 0;
    for (int y = 0; y < img.height(); ++y) {
        const double d = 255 - qGray(img.pixel(x, y));
        sum += d * y;
        weight += d;
    }
    return weight > 0 ? sum / weight : -1;
}

void wheel(QWidget* viewport, QPoint at, int angle, Qt::KeyboardModifiers mods)
{
    QWheelEvent e(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &e);
}

// The image point shown at a viewport point.
QPointF imageAt(const gf5::Gf5Disp& view, QPointF at)
{
    const double s = view.currentScale();
    return {(at.x() + view.horizontalScrollBar()->value()) / s, (at.y() + view.verticalScrollBar()->value()) / s};
}

// Each control whose text does not show whole, as "name: needs N, has M".
QStringList clippedCaptions(const QWidget& root)
{
    QStringList out;
    auto check = [&](const QWidget* w, const QString& text, int needs, int has) {
        if (!text.isEmpty() && w->isVisibleTo(&root) && needs > has)
            out << QString("%1 \"%2\": needs %3, has %4").arg(w->objectName(), text).arg(needs).arg(has);
    };
    for (QWidget* w : root.findChildren<QWidget*>()) {
        w->ensurePolished();
        const QFontMetrics fm(w->font());
        if (auto* radio = qobject_cast<QRadioButton*>(w)) {
            QStyleOptionButton o;
            o.initFrom(radio);
            o.text = radio->text();
            const QRect r = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &o, radio);
            check(w, radio->text(), fm.horizontalAdvance(radio->text()), r.width());
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            QStyleOptionButton o;
            o.initFrom(box);
            o.text = box->text();
            const QRect r = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &o, box);
            check(w, box->text(), fm.horizontalAdvance(box->text()), r.width());
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            check(w, button->text(), fm.horizontalAdvance(button->text()) + 6, button->width());
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            if (!label->wordWrap() && label->pixmap().isNull())
                check(w, label->text(), fm.horizontalAdvance(label->text()), label->contentsRect().width());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            QStyleOptionComboBox o;
            o.initFrom(combo);
            o.editable = combo->isEditable();
            const QRect field =
                combo->style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, combo);
            check(w, combo->currentText(), fm.horizontalAdvance(combo->currentText()) + 2, field.width());
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            check(w, group->title(), fm.horizontalAdvance(group->title()) + 8, group->width());
        }
    }
    return out;
}
} // namespace

class WindowNavigationTest : public QObject {
    Q_OBJECT
private slots:
    void whitenButtonMakesGreyPaperWhiteInOneUndoStep()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QImage img(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) // paper darker to the right, as under a lid
                img.setPixel(x, y, qRgb(227 - x / 10, 223 - x / 10, 214 - x / 10));
        for (int y = 140; y < 146; ++y)
            for (int x = 40; x < 360; ++x)
                img.setPixel(x, y, qRgb(60, 60, 60));
        img.setDotsPerMeterX(11811); // 300 dpi
        img.setDotsPerMeterY(11811);
        showOnCanvas(f, img);
        auto* button = f.findChild<QPushButton*>("btnWhiten");
        QVERIFY(button && button->isVisibleTo(&f) == (f.tabPanels->currentIndex() == 2));
        QCOMPARE(button->text(), QString("用紙を白く"));
        button->click();
        const QImage after = canvasImage(f);
        for (QPoint paper : {QPoint(10, 10), QPoint(390, 290), QPoint(200, 60)})
            QVERIFY2(qGray(after.pixel(paper)) >= 250, qPrintable(QString::number(qGray(after.pixel(paper)))));
        QVERIFY(qGray(after.pixel(200, 143)) < 100); // the line stays dark
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), img, "whiten-undo");
    }

    void deskewButtonStraightensAndKeepsTheSize()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QImage img(1200, 600, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.translate(600, 300);
            p.rotate(-1.5); // counter-clockwise on screen
            p.fillRect(QRectF(-500, -150, 1000, 5), Qt::black);
            p.fillRect(QRectF(-500, 150, 1000, 5), Qt::black);
            p.fillRect(QRectF(-500, -150, 5, 305), Qt::black);
        }
        showOnCanvas(f, img);
        auto* button = f.findChild<QPushButton*>("btnDeskew");
        QVERIFY(button);
        QCOMPARE(button->text(), QString("傾き補正"));
        button->click();
        const QImage after = canvasImage(f);
        QCOMPARE(after.size(), img.size());
        const double tilt = darkCentre(after, 1000) - darkCentre(after, 200);
        QVERIFY2(std::abs(tilt) < 2, qPrintable(QString::number(tilt))); // was about 21 px
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), img, "deskew-undo");
    }

    void titleShowsTheNewSizeAtOnceAfterAnyTurn()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QImage img(300, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        showOnCanvas(f, img);
        f.UpdateTitle();
        QVERIFY2(f.windowTitle().contains("W 300 H 200"), qPrintable(f.windowTitle()));
        f.cmbRotate->setText("30");
        f.btnRoteteAndTurn_Click(0);
        const QImage after = canvasImage(f);
        QVERIFY(after.width() > 300);
        QVERIFY2(f.windowTitle().contains(QString("W %1 H %2").arg(after.width()).arg(after.height())),
                 qPrintable(f.windowTitle()));
    }

    void childWindowsOpenCentredBelowTheToolbar_data()
    {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("expected");
        const QRect screen(0, 0, 1366, 768);
        QTest::newRow("small window in the middle") << QRect(100, 100, 800, 560) << QSize(220, 90) << screen
                                                    << QRect(390, 335, 220, 90);
        QTest::newRow("taller than the owner: below its toolbar")
            << QRect(0, 0, 775, 530) << QSize(560, 620) << screen << QRect(108, 50, 560, 620);
        QTest::newRow("pulled back onto the screen")
            << QRect(900, 500, 775, 530) << QSize(560, 620) << screen << QRect(806, 148, 560, 620);
        QTest::newRow("larger than the screen: top-left shows")
            << QRect(0, 0, 775, 530) << QSize(1500, 900) << screen << QRect(0, 0, 1500, 900);
    }

    void childWindowsOpenCentredBelowTheToolbar()
    {
        QFETCH(QRect, owner);
        QFETCH(QSize, size);
        QFETCH(QRect, screen);
        QFETCH(QRect, expected);
        QCOMPARE(placement::centredOn(owner, size, 50, screen), expected);
    }

    void progressWindowOpensOnTheMainWindow()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.setGeometry(200, 150, 900, 600);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.ShowProgress();
        const QRect shown = f.progressWindow->frameGeometry();
        f.CloseProgress();
        QVERIFY2(f.frameGeometry().contains(shown.center(), true) && shown.top() > f.geometry().top() + 25,
                 qPrintable(QString("%1,%2").arg(shown.x()).arg(shown.y())));
    }

    void windowReopensWhereItWasClosed()
    {
        ProgramDir dir;
        QFile::remove(placement::placementFile());
        {
            MainWindow f({}, dir.path());
            QVERIFY(!placement::restoreMainWindowPlacement(f)); // nothing saved yet
            f.show();
            f.setGeometry(120, 90, 1000, 700);
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            f.close();
        }
        MainWindow g({}, dir.path());
        QVERIFY(placement::restoreMainWindowPlacement(g));
        QCOMPARE(g.geometry().size(), QSize(1000, 700));
        QFile::remove(placement::placementFile());
    }

    void wheelZoomsAboutThePointerAndScrollsSideways()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.resize(1000, 700);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QImage img(3000, 2000, QImage::Format_RGB32);
        img.fill(Qt::white);
        showOnCanvas(f, img);
        f.selectDisplayScale(1); // 実寸
        QWidget* viewport = f.dspCanvas->viewport();
        const QPoint at(150, 120);
        f.dspCanvas->horizontalScrollBar()->setValue(400);
        f.dspCanvas->verticalScrollBar()->setValue(300);
        const QPointF under = imageAt(*f.dspCanvas, at);
        wheel(viewport, at, 120, Qt::ControlModifier);
        QVERIFY(f.dspCanvas->currentScale() > 1.1);
        QVERIFY(std::abs(imageAt(*f.dspCanvas, at).x() - under.x()) < 1.5);
        QVERIFY(std::abs(imageAt(*f.dspCanvas, at).y() - under.y()) < 1.5);
        // The 表示 options follow: a factor of their own, else the percentage.
        QVERIFY(f.optDisplayScale[6]->isChecked());
        QCOMPARE(f.cmbDispPer->currentText(), QString("120"));
        wheel(viewport, at, -120, Qt::ControlModifier);
        QCOMPARE(f.dspCanvas->currentScale(), 1.0);
        QVERIFY(f.optDisplayScale[1]->isChecked());
        // Shift+wheel: sideways only.
        const int h = f.dspCanvas->horizontalScrollBar()->value(), v = f.dspCanvas->verticalScrollBar()->value();
        wheel(viewport, at, -120, Qt::ShiftModifier);
        QCOMPARE(f.dspCanvas->horizontalScrollBar()->value(), h + 120);
        QCOMPARE(f.dspCanvas->verticalScrollBar()->value(), v);
    }

    void zoomOptionsKeepTheSelectionOrTheCentreInView()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.resize(1000, 700);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QImage img(3000, 2000, QImage::Format_RGB32);
        img.fill(Qt::white);
        showOnCanvas(f, img);
        f.selectDisplayScale(1);
        f.dspCanvas->horizontalScrollBar()->setValue(1000);
        f.dspCanvas->verticalScrollBar()->setValue(800);
        const QPointF centre = QRectF(f.dspCanvas->viewport()->rect()).center();
        const QPointF before = imageAt(*f.dspCanvas, centre);
        f.optDisplayScale[4]->click(); // ×2
        QCOMPARE(f.dspCanvas->currentScale(), 2.0);
        QVERIFY(std::abs(imageAt(*f.dspCanvas, centre).x() - before.x()) < 1.5);
        QVERIFY(std::abs(imageAt(*f.dspCanvas, centre).y() - before.y()) < 1.5);
        // With a selection, the selection comes to the centre.
        setSelection(f, 2500, 1700, 2600, 1800);
        f.optDisplayScale[2]->click(); // ×0.5
        const QPoint selCentre = f.dspCanvas->imageToView(QPoint(2550, 1750));
        QVERIFY2(f.dspCanvas->viewport()->rect().contains(selCentre),
                 qPrintable(QString("%1,%2").arg(selCentre.x()).arg(selCentre.y())));
    }

    void captionsShowWhole_data()
    {
        QTest::addColumn<double>("fontScale");
        QTest::newRow("default font") << 1.0;
        QTest::newRow("font at 1.25") << 1.25;
    }

    void captionsShowWhole()
    {
        QFETCH(double, fontScale);
        const QFont before = QApplication::font();
        QFont bigger = before;
        bigger.setPointSizeF(before.pointSizeF() * fontScale);
        QApplication::setFont(bigger);
        QStringList clipped;
        {
            ProgramDir dir;
            MainWindow f({}, dir.path());
            for (int tab = 0; tab < 3; ++tab) {
                f.tabPanels->setCurrentIndex(tab);
                f.tabPanels_Click();
                clipped += clippedCaptions(f);
            }
        }
        QApplication::setFont(before);
        clipped.removeDuplicates();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("\n")));
    }
};

ZORVAT_TEST_MAIN(WindowNavigationTest)
#include "test_window_navigation.moc"
