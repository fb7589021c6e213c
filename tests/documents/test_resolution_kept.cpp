// A plan keeps the resolution its file states through editing and every
// save; a file without a believable one takes the settings file's value.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "documents/plan_scale_dialog.h"
#include "documents/recovery.h"
#include "scale/stated_resolution.h"
#include "shell/messages.h"
#include <QDir>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace testsupport;

namespace {
QString writeAt(const QString& path, int dpmX, int dpmY)
{
    QImage img(120, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(dpmX);
    img.setDotsPerMeterY(dpmY);
    img.save(path);
    return path;
}

// The whole dots per inch the file at path states; -1 when it states none.
int statedDpi(const QString& path)
{
    const auto stated = scale::statedResolutionOfFile(path);
    return stated ? qRound(stated->x) : -1;
}

// Overwrites the pixels-per-metre fields of a BMP file.
void patchBmp(const QString& path, qint32 x, qint32 y)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek(38);
    f.write(reinterpret_cast<const char*>(&x), 4);
    f.write(reinterpret_cast<const char*>(&y), 4);
}

// Collects the messages shown instead of opening boxes.
struct Messages {
    QStringList shown;
    Messages() { messages::override = [this](const QString& text) { shown << text; }; }
    ~Messages() { messages::override = nullptr; }
};

// Answers the 縮尺と解像度 window with a scale and a resolution typed in.
void answerScale(const QString& scaleText, const QString& dpiText)
{
    PlanScaleDialog::showOverride = [=](PlanScaleDialog& d) {
        d.cmbScale->setCurrentText(scaleText);
        d.txtDpi->setText(dpiText);
        d.btnOk->click();
    };
}

// The page size of a one-page PDF in millimetres, from pdfinfo.
QSizeF pdfPageMm(const QString& pdf)
{
    QProcess info;
    info.start("pdfinfo", {pdf});
    if (!info.waitForFinished(30000))
        return {};
    const QRegularExpressionMatch m = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")
                                          .match(QString::fromUtf8(info.readAllStandardOutput()));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) * (25.4 / 72) : QSizeF();
}
}

class ResolutionKeptTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        PlanScaleDialog::showOverride = nullptr;
        CalibrationDialog::showOverride = nullptr;
    }

    void theToolbarShowsTheRealSize()
    {
        ProgramDir dir("[print]\ndpi=200\n");
        MainWindow f({writeAt(dir.file("plan.png"), 11811, 11811)}, dir.path());
        QCOMPARE(f.btnPlanScale->text(), QString("300dpi・1/100"));
        QVERIFY(!f.btnPlanScale->toolTip().contains("記録がない"));
        // The wall sizes stay pixels; their tooltips give the real thickness.
        QCOMPARE(f.optSize[1]->text(), QString("■20"));
        QVERIFY2(f.optSize[1]->toolTip().contains("約169mm"), qPrintable(f.optSize[1]->toolTip()));
        // It sits in the toolbar's free stretch: no control is covered.
        for (QWidget* w : f.picToolbar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w != f.btnPlanScale)
                QVERIFY2(!w->geometry().intersects(f.btnPlanScale->geometry()), qPrintable(w->objectName()));

        f.btnNewImage_Click();
        QCOMPARE(f.btnPlanScale->text(), QString("200dpi・1/100"));
        QVERIFY(f.btnPlanScale->toolTip().contains("解像度の記録がないため 200dpi として扱っています"));
        QVERIFY(f.optSize[1]->toolTip().contains("約254mm"));

        // Undo right after opening another plan keeps that plan's resolution.
        f.TakeUndoSnapshot();
        emit f.dspCanvas->FileDropped(writeAt(dir.file("other.bmp"), 11811, 11811));
        f.btnUndo_Click();
        QCOMPARE(f.btnPlanScale->text(), QString("300dpi・1/100"));
    }

    void theScaleCommandSetsTheSizeNotThePixels()
    {
        ProgramDir dir("[print]\ndpi=200\n");
        const QString path = writeAt(dir.file("plan.bmp"), 11811, 11811);
        MainWindow f({path}, dir.path());
        paintOnCanvas(f, QRect(5, 5, 10, 10), qRgb(0, 0, 0));
        f.TakeUndoSnapshot();
        const QImage before = canvasImage(f);
        Messages shown;

        // Refused entries leave everything as it was, with a message.
        answerScale("百", "400");
        f.mnuEditScale->trigger();
        answerScale("1/50", "5000");
        f.mnuEditScale->trigger();
        QCOMPARE(shown.shown.size(), 2);
        QCOMPARE(f.document.dpi(), 300.0);

        answerScale("1/50", "400");
        f.btnPlanScale->click();
        QCOMPARE(f.document.dpi(), 400.0);
        QCOMPARE(f.document.scaleDenominator(), 50);
        QCOMPARE(f.btnPlanScale->text(), QString("400dpi・1/50"));
        QCOMPARE(canvasImage(f).size(), before.size());
        QCOMPARE(canvasImage(f).pixel(7, 7), before.pixel(7, 7));
        QCOMPARE(qRound(canvasImage(f).dotsPerMeterX() * 0.0254), 400);
        QVERIFY(f.recoveryKeeper().hasUnsavedWork());
        f.mnuEditSave_Click();
        QCOMPARE(statedDpi(path), 400);

        // One undo step brings the setting back with the picture.
        answerScale("1/200", "600");
        f.mnuEditScale->trigger();
        QCOMPARE(f.btnPlanScale->text(), QString("600dpi・1/200"));
        f.btnUndo_Click();
        QCOMPARE(f.btnPlanScale->text(), QString("400dpi・1/50"));
        QCOMPARE(qRound(canvasImage(f).dotsPerMeterX() * 0.0254), 400);
    }

    void calibrationFromAKnownLength_data()
    {
        QTest::addColumn<QRect>("selection"); // l, t, r, b as the canvas keeps it
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("scale");
        QTest::addColumn<double>("dpi"); // 0: refused with a message
        QTest::newRow("1820 px across for 3640 mm at 1/100") << QRect(QPoint(50, 10), QPoint(1870, 60)) << "3640" << "1/100" << 1270.0;
        QTest::newRow("the longer side counts") << QRect(QPoint(10, 0), QPoint(110, 300)) << "6,000" << "1/50" << 63.5;
        QTest::newRow("nothing selected") << QRect() << "3640" << "1/100" << 0.0;
        QTest::newRow("zero length") << QRect(QPoint(0, 0), QPoint(300, 10)) << "0" << "1/100" << 0.0;
        QTest::newRow("negative length") << QRect(QPoint(0, 0), QPoint(300, 10)) << "-910" << "1/100" << 0.0;
        QTest::newRow("beyond the believable") << QRect(QPoint(0, 0), QPoint(1900, 10)) << "10" << "1/100" << 0.0;
    }
    void calibrationFromAKnownLength()
    {
        QFETCH(QRect, selection);
        QFETCH(QString, length);
        QFETCH(QString, scale);
        QFETCH(double, dpi);
        ProgramDir dir("[print]\ndpi=200\n");
        QImage sheet(2000, 400, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        MainWindow f({}, dir.path());
        showOnCanvas(f, sheet);
        if (!selection.isNull())
            setSelection(f, selection.left(), selection.top(), selection.right(), selection.bottom());
        Messages shown;
        bool asked = false;
        CalibrationDialog::showOverride = [&](CalibrationDialog& d) {
            asked = true;
            d.txtLength->setText(length);
            d.cmbScale->setCurrentText(scale);
            d.btnOk->click();
            if (d.result() != QDialog::Accepted)
                d.btnCancel->click(); // what the user does after the message
        };
        f.mnuEditCalibrate->trigger();
        QCOMPARE(asked, !selection.isNull());
        if (dpi == 0) {
            QCOMPARE(shown.shown.size(), 1);
            QCOMPARE(f.document.dpi(), 200.0);
            return;
        }
        QVERIFY(shown.shown.isEmpty());
        QVERIFY2(std::abs(f.document.dpi() - dpi) < 1e-9, qPrintable(QString::number(f.document.dpi())));
        QCOMPARE(f.document.scaleDenominator(), scale.mid(2).toInt());
        QCOMPARE(canvasImage(f).size(), QSize(2000, 400));
    }

    void anA3PageAt300DpiIsAnA3Pdf()
    {
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        ProgramDir dir("[print]\ndpi=200\n");
        QImage a3(4961, 3508, QImage::Format_RGB32);
        a3.fill(Qt::white);
        a3.setDotsPerMeterX(11811);
        a3.setDotsPerMeterY(11811);
        const QString png = dir.file("a3.png");
        QVERIFY(a3.save(png));
        a3 = QImage();
        MainWindow f({png}, dir.path());
        QCOMPARE(f.btnPlanScale->text(), QString("300dpi・1/100"));
        FileDialogs dialogs;
        dialogs.answer = dir.file("a3.pdf");
        f.btnSave_Click(1);
        const QSizeF mm = pdfPageMm(dialogs.answer);
        QVERIFY2(std::abs(mm.width() - 420) < 0.5 && std::abs(mm.height() - 297) < 0.5,
                 qPrintable(QString("%1 x %2 mm").arg(mm.width()).arg(mm.height())));
    }

    void aRecoveredCopyKeepsResolutionAndScale()
    {
        QDir(recovery::folder()).removeRecursively();
        ProgramDir dir("[print]\ndpi=200\n");
        {
            MainWindow f({writeAt(dir.file("plan.bmp"), 11811, 11811)}, dir.path());
            answerScale("1/50", "1270");
            f.mnuEditScale->trigger();
            f.close();
        }
        {
            MainWindow g({}, dir.path());
            messages::askOverride = [](const QString&) { return true; };
            g.offerRecovery();
            messages::askOverride = nullptr;
            QCOMPARE(g.document.dpi(), 1270.0);
            QCOMPARE(g.document.scaleDenominator(), 50);
            QCOMPARE(g.btnPlanScale->text(), QString("1270dpi・1/50"));
        }
        QDir(recovery::folder()).removeRecursively();
        {
            // A copy of a sheet without a resolution of its own says so again.
            MainWindow f({}, dir.path());
            paintOnCanvas(f, QRect(5, 5, 10, 10), qRgb(0, 0, 0));
            f.close();
        }
        MainWindow g({}, dir.path());
        messages::askOverride = [](const QString&) { return true; };
        g.offerRecovery();
        messages::askOverride = nullptr;
        QCOMPARE(g.document.resolutionSource(), documents::ResolutionSource::Settings);
        QVERIFY(g.btnPlanScale->toolTip().contains("解像度の記録がないため 200dpi"));
        QDir(recovery::folder()).removeRecursively();
    }

    void aStatedResolutionSurvivesEverySave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("jpeg") << "plan.jpg";
        QTest::newRow("png") << "plan.png";
        QTest::newRow("bmp") << "plan.bmp";
    }
    void aStatedResolutionSurvivesEverySave()
    {
        QFETCH(QString, name);
        ProgramDir dir("[print]\ndpi=200\n");
        const QString path = writeAt(dir.file(name), 11811, 11811);
        MainWindow f({path}, dir.path());
        QCOMPARE(f.document.dpi(), 300.0);
        QCOMPARE(f.document.resolutionSource(), documents::ResolutionSource::Image);

        paintOnCanvas(f, QRect(5, 5, 10, 10), qRgb(0, 0, 0));
        f.mnuEditSave_Click();
        QCOMPARE(statedDpi(path), 300);

        FileDialogs dialogs;
        for (const char* other : {"again.jpg", "again.png", "again.bmp"}) {
            dialogs.answer = dir.file(other);
            f.btnSave_Click(1);
            QCOMPARE(statedDpi(dialogs.answer), 300);
            QCOMPARE(qRound(QImage(dialogs.answer).dotsPerMeterX() * 0.0254), 300);
        }
        // Reverting reads the file back at its own resolution too.
        f.btnSaveVertion_Click();
        QCOMPARE(f.document.dpi(), 300.0);
    }

    void anUnbelievableResolutionTakesTheSettings_data()
    {
        QTest::addColumn<qint32>("x");
        QTest::addColumn<qint32>("y");
        QTest::addColumn<QString>("name");
        QTest::newRow("0 dpi") << 0 << 0 << "odd.bmp";
        QTest::newRow("1 dpi") << 39 << 39 << "odd.bmp";
        QTest::newRow("a million dpi") << 39370079 << 39370079 << "odd.png";
        QTest::newRow("300 by 600") << 11811 << 23622 << "odd.bmp";
    }
    void anUnbelievableResolutionTakesTheSettings()
    {
        QFETCH(qint32, x);
        QFETCH(qint32, y);
        QFETCH(QString, name);
        ProgramDir dir("[print]\ndpi=250\n");
        // The BMP reader refuses a resolution beyond a million dots per metre
        // as damage; a PNG can state it.
        const QString path = writeAt(dir.file(name), x ? x : 11811, y ? y : 11811);
        if (name.endsWith(".bmp"))
            patchBmp(path, x, y);
        MainWindow f({path}, dir.path());
        QCOMPARE(f.document.dpi(), 250.0);
        QCOMPARE(f.document.resolutionSource(), documents::ResolutionSource::Settings);
        f.mnuEditSave_Click();
        QCOMPARE(statedDpi(path), 250);
    }
};

ZORVAT_TEST_MAIN(ResolutionKeptTest)
#include "test_resolution_kept.moc"
