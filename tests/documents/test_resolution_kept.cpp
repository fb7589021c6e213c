// A plan keeps the resolution its file states through editing and every
// save; a file without a believable one takes the settings file's value.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "scale/stated_resolution.h"
#include <QFile>

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
}

class ResolutionKeptTest : public QObject {
    Q_OBJECT
private slots:
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
