// The generated parts library: the same bytes from every run, every part
// pure black on white with a white border at the stated scale, the names
// the library needs, and the built program folder holding what the
// generator makes.
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <memory>

namespace {

// Runs the generator into folder; true when it succeeds.
bool generate(const QString& folder)
{
    QProcess gen;
    gen.start(QStringLiteral(ZORVAT_PARTSGEN), {folder});
    if (!gen.waitForFinished(120000) || gen.exitStatus() != QProcess::NormalExit || gen.exitCode() != 0) {
        qWarning("%s", gen.readAllStandardError().constData());
        return false;
    }
    return true;
}

// Relative path -> bytes of every file below folder.
QMap<QString, QByteArray> contents(const QString& folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            out.insert(QDir(folder).relativeFilePath(path), f.readAll());
    }
    return out;
}

QStringList names(const QString& folder)
{
    QStringList out;
    for (const QString& f : QDir(folder).entryList({"*.bmp"}, QDir::Files))
        out << QFileInfo(f).completeBaseName();
    return out;
}

// Why img is not a clean part (pure black and white, a white ring at least
// one pixel wide, some black), or an empty text.
QString partFault(const QImage& img)
{
    if (img.isNull())
        return "unreadable";
    int black = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFF;
            if (c != 0 && c != 0xFFFFFF)
                return QString("grey pixel at %1,%2").arg(x).arg(y);
            const bool edge = x == 0 || y == 0 || x == img.width() - 1 || y == img.height() - 1;
            if (c == 0 && edge)
                return QString("black on the border at %1,%2").arg(x).arg(y);
            black += c == 0;
        }
    return black > 0 ? QString() : "no drawing";
}

} // namespace

class PartsGeneratorTest : public QObject {
    Q_OBJECT
private slots:
    void sameBytesEveryRun()
    {
        QTemporaryDir a, b;
        QVERIFY(generate(a.path()));
        QVERIFY(generate(b.path()));
        const auto first = contents(a.path()), second = contents(b.path());
        QVERIFY(first.size() >= 70);
        QCOMPARE(first.keys(), second.keys());
        for (auto it = first.cbegin(); it != first.cend(); ++it)
            QVERIFY2(it.value() == second.value(it.key()), qPrintable(it.key()));

        // The build's program folder holds exactly what the generator makes.
        const auto built = contents(QStringLiteral(ZORVAT_PROGRAM_DIR) + "/buhin");
        QCOMPARE(built.keys(), first.keys());
        for (auto it = first.cbegin(); it != first.cend(); ++it)
            QVERIFY2(it.value() == built.value(it.key()), qPrintable(it.key()));
    }

    void everyPartIsCleanBlackOnWhiteAtOneScale()
    {
        QTemporaryDir dir;
        QVERIFY(generate(dir.path()));
        QDirIterator it(dir.path(), {"*.bmp"}, QDir::Files, QDirIterator::Subdirectories);
        int parts = 0;
        while (it.hasNext()) {
            const QString path = it.next();
            const QImage img(path);
            const QString fault = partFault(img);
            QVERIFY2(fault.isEmpty(), qPrintable(QFileInfo(path).fileName() + ": " + fault));
            QCOMPARE(img.dotsPerMeterX(), 10000); // 254 dpi: 1 px = 10 mm at 1:100
            ++parts;
        }
        QVERIFY(parts >= 70);

        // 1 px = 10 mm: an 800 door is 80 pixels wide between its jambs,
        // plus the jambs and the border.
        const QImage door(dir.filePath("bihin/片開き戸_800_右.bmp"));
        QCOMPARE(door.width(), 80 + 2 * 3 + 2 * 2);
        const QImage bath(dir.filePath("bihin/ユニットバス_1616.bmp"));
        QCOMPARE(bath.size(), QSize(160 + 1 + 4, 160 + 1 + 4));
    }

    void theLibraryHasTheNamesAPlanNeeds()
    {
        QTemporaryDir dir;
        QVERIFY(generate(dir.path()));
        const QStringList fittings = names(dir.filePath("bihin"));
        QVERIFY(fittings.size() >= 40);
        for (const char* n : {"片開き戸_600_右", "片開き戸_900_左", "両開き戸_1200", "片引き戸_800_右",
                              "引違い戸_1700_2枚", "引違い戸_3400_4枚", "引込み戸_800_左", "折れ戸_800",
                              "引違い窓_1700", "FIX窓_600", "出窓_1700", "滑り出し窓_600", "直階段_910x2730",
                              "かね折れ階段_1820x1820", "回り階段_1820x1820", "キッチン_I型_2550",
                              "ユニットバス_1616", "ユニットバス_1216", "洗面台_750", "押入_1820", "方位記号"})
            QVERIFY2(fittings.contains(QString::fromUtf8(n)), n);
        const QStringList moji = names(dir.filePath("moji"));
        QStringList rooms;
        for (const QString& n : moji)
            if (!n.endsWith("_縦") && !n.contains(QRegularExpression("[帖畳]$")))
                rooms << n;
        QVERIFY(rooms.size() >= 30);
        for (const char* n : {"LDK", "洋室", "和室", "クローゼット", "廊下_縦", "押入_縦", "4.5帖", "6畳", "10帖"})
            QVERIFY2(moji.contains(QString::fromUtf8(n)), n);
        // Vertical names are taller than wide.
        const QImage tall(dir.filePath("moji/廊下_縦.bmp")), wide(dir.filePath("moji/廊下.bmp"));
        QVERIFY(tall.height() > tall.width() && wide.width() > wide.height());
    }

    void aRoomNameFoundAndPlacedThroughTheWindow()
    {
        MainWindow f({}, QStringLiteral(ZORVAT_PROGRAM_DIR));
        QTest::mouseClick(f.tabLibrary, Qt::LeftButton, {}, f.tabLibrary->tabRect(1).center());
        QVERIFY(f.thmParts->count() >= 30);
        auto* search = f.findChild<QLineEdit*>("txtBuhinSearch");
        QInputMethodEvent commit;
        commit.setCommitString("和室");
        QApplication::sendEvent(search, &commit);
        const QString washitsu = QStringLiteral(ZORVAT_PROGRAM_DIR) + "/buhin/moji/和室.bmp";
        QCOMPARE(f.thmParts->shownFiles(), QStringList({washitsu}));
        int shown = -1;
        for (int i = 0; i < f.thmParts->count(); ++i)
            if (!f.thmParts->isRowHidden(i))
                shown = i;
        QVERIFY(shown >= 0);
        QCOMPARE(f.thmParts->item(shown)->toolTip(), QString("和室"));
        QTest::mouseClick(f.thmParts->viewport(), Qt::LeftButton, {},
                          f.thmParts->visualItemRect(f.thmParts->item(shown)).center());
        QCOMPARE(f.thmParts->SelectedFile, washitsu);

        // On a plan at the library's own 254 dpi the part comes in pixel for pixel.
        QVERIFY(f.setPlanScale(254, 100));
        std::unique_ptr<QMimeData> mime(f.thmParts->model()->mimeData({f.thmParts->model()->index(shown, 0)}));
        QWidget* target = f.dspCanvas->viewport();
        QDragEnterEvent enter(QPoint(60, 60), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(60, 60), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QVERIFY(f.PasteFloating);
        const QImage placed = gf5::ImageStore::image(f.FloatingPicture)->convertToFormat(QImage::Format_RGB32);
        COMPARE_IMAGES(placed, QImage(washitsu).convertToFormat(QImage::Format_RGB32), "washitsu");
    }
};

ZORVAT_TEST_MAIN(PartsGeneratorTest)
#include "test_partsgen.moc"
