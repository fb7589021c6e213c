// The parts library: browsing the folders, the preview, drops on the canvas.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "shell/messages.h"
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <memory>

using namespace testsupport;

namespace {
struct Dialogs {
    QString answer;
    Dialogs() { gf5::Gf5File::dialogOverride = [this](bool) { return answer; }; }
    ~Dialogs() { gf5::Gf5File::dialogOverride = nullptr; }
};

// A grey picture of the given size with a black pixel at (1, 1), stating
// the new sheet's 200 dpi, so a part comes in at its own pixel size.
QImage part(int w, int h, int grey)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(grey, grey, grey));
    img.setPixel(1, 1, qRgb(0, 0, 0));
    img.setDotsPerMeterX(7874);
    img.setDotsPerMeterY(7874);
    return img;
}

// An 8-bit greyscale BMP.
void writeIndexed(const QString& path, int w, int h)
{
    QImage img(w, h, QImage::Format_Indexed8);
    QList<QRgb> greys;
    for (int i = 0; i < 256; ++i)
        greys << qRgb(i, i, i);
    img.setColorTable(greys);
    img.fill(200);
    img.setDotsPerMeterX(7874); // the sheet's 200 dpi: placed at its pixel size
    img.setDotsPerMeterY(7874);
    QVERIFY(img.save(path, "BMP"));
}

// The user's own parts folder lives under a private XDG_DATA_HOME.
struct UserData {
    QTemporaryDir home;
    QByteArray saved = qgetenv("XDG_DATA_HOME");
    UserData() { qputenv("XDG_DATA_HOME", home.path().toUtf8()); }
    ~UserData()
    {
        if (saved.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", saved);
    }
    QString folder(const char* sub) const
    {
        const QString path = home.filePath(QString("zorvat/buhin/") + sub);
        QDir().mkpath(path);
        return path;
    }
};

struct Library {
    UserData user;
    ProgramDir dir;
    QString bihin, moji;
    Library()
    {
        QDir(dir.path()).mkpath("buhin/bihin");
        QDir(dir.path()).mkpath("buhin/moji");
        bihin = dir.file("buhin/bihin");
        moji = dir.file("buhin/moji");
        part(30, 20, 120).save(bihin + "/door.bmp", "BMP");
        part(50, 40, 160).save(bihin + "/Bed.JPG", "JPG");
        part(10, 10, 0).save(bihin + "/skip.ppm", "PPM");
        QFile txt(bihin + "/notes.txt");
        txt.open(QIODevice::WriteOnly);
        txt.write("x");
        writeIndexed(moji + "/word.bmp", 40, 24);
    }
};

void clickTab(MainWindow& f, int index)
{
    QTest::mouseClick(f.tabLibrary, Qt::LeftButton, {}, f.tabLibrary->tabRect(index).center());
}

// Drags mime onto the canvas and drops it there, as the window system does.
void dropOnCanvas(MainWindow& f, QMimeData* mime)
{
    QWidget* target = f.dspCanvas->viewport();
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// Types text into a box through the input method, as a Japanese user does.
void commitText(QWidget* box, const QString& text)
{
    QInputMethodEvent compose(text, {});
    QApplication::sendEvent(box, &compose);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
}

// The row of the thumbnail whose tooltip is name, or -1.
int rowNamed(MainWindow& f, const QString& name)
{
    for (int i = 0; i < f.thmParts->count(); ++i)
        if (f.thmParts->item(i)->toolTip() == name)
            return i;
    return -1;
}

QImage previewImage(MainWindow& f)
{
    const QImage* img = gf5::ImageStore::image(f.dspPreview->ImageHandle());
    return img ? *img : QImage();
}
}

class LibraryTest : public QObject {
    Q_OBJECT
private slots:
    void tabsListOnlyTheirFoldersPictures()
    {
        Library lib;
        MainWindow f({}, lib.dir.path());
        QCOMPARE(f.thmParts->count(), 0); // nothing before the first tab click
        clickTab(f, 0);
        QCOMPARE(f.thmParts->shownFiles(), QStringList({lib.bihin + "/Bed.JPG", lib.bihin + "/door.bmp"}));
        clickTab(f, 1);
        QCOMPARE(f.thmParts->shownFiles(), QStringList({lib.moji + "/word.bmp"}));
        QVERIFY(!f.thmParts->item(0)->icon().isNull());

        // A missing folder shows nothing.
        QDir(lib.bihin).removeRecursively();
        clickTab(f, 0);
        QCOMPARE(f.thmParts->count(), 0);
    }

    void theUsersOwnPartsAreListedAndPlacedLikeTheLibrarys()
    {
        Library lib;
        const QString mine = lib.user.folder("bihin") + "/自分の扉_750.bmp";
        QVERIFY(part(20, 20, 60).save(mine, "BMP"));
        MainWindow f({}, lib.dir.path());
        clickTab(f, 0);
        QCOMPARE(f.thmParts->shownFiles(), QStringList({lib.bihin + "/Bed.JPG", lib.bihin + "/door.bmp", mine}));
        QCOMPARE(f.thmParts->item(2)->toolTip(), QString("自分の扉 750"));
        clickTab(f, 1);
        QCOMPARE(f.thmParts->shownFiles(), QStringList({lib.moji + "/word.bmp"}));

        // A drop from the user's folder is a library part: the preview's
        // picture is pasted, the dropped file is not opened.
        QVERIFY(f.IsLibraryPath(mine));
        clickTab(f, 0);
        f.thmParts->clickRow(1); // door.bmp
        const QString document = f.document.path();
        emit f.dspCanvas->FileDropped(mine);
        QCOMPARE(f.document.path(), document);
        QVERIFY(f.PasteFloating);
        QCOMPARE(gf5::ImageStore::image(f.FloatingPicture)->size(), QSize(30, 20));
    }

    void theSearchBoxFiltersBothTabsByName()
    {
        Library lib;
        for (const char* name : {"洋室.bmp", "洋室_縦.bmp", "和室.bmp"})
            QVERIFY(part(20, 10, 0).save(lib.moji + "/" + QString::fromUtf8(name), "BMP"));
        QVERIFY(part(20, 10, 0).save(lib.bihin + "/洋風ドア.bmp", "BMP"));
        MainWindow f({}, lib.dir.path());
        const QRect browser = f.thmParts->geometry();
        auto* search = f.findChild<QLineEdit*>("txtBuhinSearch");
        QVERIFY(search);
        // The box sits above the thumbnails, inside the browser's own place.
        QCOMPARE(browser, QRect(2, 24, 196, 160));
        QVERIFY(search->geometry().bottom() < f.thmParts->viewport()->geometry().top());

        clickTab(f, 1);
        QCOMPARE(f.thmParts->shownFiles().size(), 4);
        commitText(search, "洋室");
        QCOMPARE(f.thmParts->shownFiles(), QStringList({lib.moji + "/洋室.bmp", lib.moji + "/洋室_縦.bmp"}));
        QCOMPARE(f.thmParts->item(rowNamed(f, "洋室 縦"))->toolTip(), QString("洋室 縦"));
        clickTab(f, 0);
        QCOMPARE(f.thmParts->shownFiles(), QStringList());
        search->clear();
        commitText(search, "どあ"); // hiragana finds katakana
        QCOMPARE(f.thmParts->shownFiles(), QStringList({lib.bihin + "/洋風ドア.bmp"}));
        QCOMPARE(f.thmParts->geometry(), browser);
    }

    void aPartFoundByNameIsDraggedOntoTheCanvas()
    {
        Library lib;
        QImage door = whiteImage(80, 44);
        for (int x = 2; x < 78; ++x)
            door.setPixel(x, 40, qRgb(0, 0, 0));
        door.setDotsPerMeterX(7874); // the sheet's 200 dpi: placed at its pixel size
        door.setDotsPerMeterY(7874);
        QVERIFY(door.save(lib.bihin + "/片開き戸_800_右.bmp", "BMP"));
        MainWindow f({}, lib.dir.path());
        clickTab(f, 0);
        commitText(f.findChild<QLineEdit*>("txtBuhinSearch"), "片開き戸");
        QCOMPARE(f.thmParts->shownFiles().size(), 1);
        const int row = rowNamed(f, "片開き戸 800 右");
        QVERIFY(row >= 0);
        // Press on the thumbnail (it becomes the preview), then drag it away.
        QTest::mouseClick(f.thmParts->viewport(), Qt::LeftButton, {},
                          f.thmParts->visualItemRect(f.thmParts->item(row)).center());
        QCOMPARE(f.thmParts->SelectedFile, lib.bihin + "/片開き戸_800_右.bmp");
        std::unique_ptr<QMimeData> mime(f.thmParts->model()->mimeData({f.thmParts->model()->index(row, 0)}));
        const QImage sheet = canvasImage(f);
        dropOnCanvas(f, mime.get());
        QVERIFY(f.PasteFloating);
        COMPARE_IMAGES(*gf5::ImageStore::image(f.FloatingPicture), door, "door");
        QCOMPARE(canvasImage(f), sheet);
    }

    void aThumbnailClickReplacesThePreviewAsRead()
    {
        Library lib;
        MainWindow f({}, lib.dir.path());
        clickTab(f, 0);
        const int alive = gf5::ImageStore::liveCount();
        f.thmParts->clickRow(1); // door.bmp
        QCOMPARE(f.thmParts->SelectedFile, lib.bihin + "/door.bmp");
        COMPARE_IMAGES(previewImage(f), part(30, 20, 120), "door");
        QCOMPARE(gf5::ImageStore::liveCount(), alive + 1);

        clickTab(f, 1);
        f.thmParts->clickRow(0); // an 8-bit part stays 8-bit
        QCOMPARE(previewImage(f).size(), QSize(40, 24));
        QCOMPARE(gf5::ImageStore::get(f.dspPreview->ImageHandle())->bitDepth, 8);
        QCOMPARE(gf5::ImageStore::liveCount(), alive + 1); // the door was released

        // A part that cannot be read leaves the preview empty, and says why.
        QFile bad(lib.moji + "/word.bmp");
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write("BM broken");
        bad.close();
        QStringList told;
        messages::override = [&](const QString& text) { told << text; };
        f.thmParts->clickRow(0);
        messages::override = nullptr;
        QCOMPARE(f.dspPreview->ImageHandle(), 0);
        QCOMPARE(gf5::ImageStore::liveCount(), alive);
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(QStringLiteral("「word.bmp」を開けませんでした")), qPrintable(told[0]));
    }

    void readingIntoThePreviewFromAFile()
    {
        Library lib;
        MainWindow f({}, lib.dir.path());
        Dialogs dialogs;
        const int alive = gf5::ImageStore::liveCount();
        dialogs.answer = lib.bihin + "/door.bmp";
        QTest::mouseClick(f.btnBuhinRead, Qt::LeftButton);
        COMPARE_IMAGES(previewImage(f), part(30, 20, 120), "door");
        // Cancelled: the old preview image is gone all the same.
        dialogs.answer.clear();
        QTest::mouseClick(f.btnBuhinRead, Qt::LeftButton);
        QCOMPARE(f.dspPreview->ImageHandle(), 0);
        QCOMPARE(gf5::ImageStore::liveCount(), alive);
    }

    void anOutsideFileDroppedBecomesTheDocument()
    {
        Library lib;
        MainWindow f({}, lib.dir.path());
        const QString plan = writePlan(lib.dir.file("plan.bmp"), 120, 80, "BMP");
        emit f.dspCanvas->FileDropped(plan);
        QCOMPARE(f.document.path(), plan);
        QCOMPARE(canvasImage(f).size(), QSize(120, 80));
        f.btnUndo_Click(); // the snapshot is of the dropped picture
        QCOMPARE(canvasImage(f).size(), QSize(120, 80));
        QCOMPARE(canvasImage(f).pixel(20, 20) & 0xFFFFFF, 0u);

        // An unreadable file changes nothing.
        const int32_t canvas = f.dspCanvas->ImageHandle();
        QFile bad(lib.dir.file("bad.jpg"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a picture");
        bad.close();
        QStringList told;
        messages::override = [&](const QString& text) { told << text; };
        emit f.dspCanvas->FileDropped(bad.fileName());
        messages::override = nullptr;
        QCOMPARE(f.dspCanvas->ImageHandle(), canvas);
        QCOMPARE(f.document.path(), plan);
        // The user is told which file and why.
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(QStringLiteral("「bad.jpg」を開けませんでした")), qPrintable(told[0]));

        // While a long operation runs, nothing dropped replaces its image.
        const QString other = writePlan(lib.dir.file("other.bmp"), 60, 40, "BMP");
        f.busyDepth = 1;
        emit f.dspCanvas->FileDropped(other);
        f.busyDepth = 0;
        QCOMPARE(f.dspCanvas->ImageHandle(), canvas);
        QCOMPARE(f.document.path(), plan);
    }

    void aPartIsPlacedAtThePlansScale()
    {
        Library lib;
        // Drawn at 254 dpi (1 px = 10 mm at 1:100), placed on a 508 dpi plan:
        // twice its pixel size, still pure black and white.
        QImage door(30, 20, QImage::Format_RGB32);
        door.fill(Qt::white);
        for (int x = 0; x < 30; ++x)
            door.setPixel(x, 10, qRgb(0, 0, 0));
        door.setDotsPerMeterX(10000);
        door.setDotsPerMeterY(10000);
        QVERIFY(door.save(lib.bihin + "/扉_254.bmp", "BMP"));
        QImage plan(400, 300, QImage::Format_RGB32);
        plan.fill(Qt::white);
        plan.setDotsPerMeterX(20000);
        plan.setDotsPerMeterY(20000);
        const QString planPath = lib.dir.file("plan.bmp");
        QVERIFY(plan.save(planPath, "BMP"));
        MainWindow f({planPath}, lib.dir.path());
        QCOMPARE(f.document.dpi(), 508.0);
        clickTab(f, 0);
        f.thmParts->clickRow(int(f.thmParts->shownFiles().indexOf(lib.bihin + "/扉_254.bmp")));
        emit f.dspCanvas->FileDropped(lib.bihin + "/扉_254.bmp");
        QVERIFY(f.PasteFloating);
        const QImage* floating = gf5::ImageStore::image(f.FloatingPicture);
        QVERIFY(floating);
        QCOMPARE(floating->size(), QSize(60, 40));
        QCOMPARE(floating->pixel(30, 21) & 0xFFFFFF, 0u);
        QCOMPARE(floating->pixel(30, 5) & 0xFFFFFF, 0xFFFFFFu);
        // The preview keeps the part as read.
        QCOMPARE(gf5::ImageStore::image(f.dspPreview->ImageHandle())->size(), QSize(30, 20));
    }

    void aLibraryDropPastesThePreviewPicture()
    {
        Library lib;
        MainWindow f({}, lib.dir.path());
        const QImage sheet = canvasImage(f);
        // With an empty preview a library drop places nothing, whatever the
        // clipboard holds.
        QApplication::clipboard()->setImage(part(70, 70, 90));
        emit f.dspCanvas->FileDropped(lib.bihin + "/door.bmp");
        QVERIFY(!f.PasteFloating);

        clickTab(f, 0);
        f.thmParts->clickRow(1); // door.bmp, 30 x 20, into the preview
        // Dragging the other thumbnail (Bed.JPG) onto the canvas: the drag
        // carries the file, and the picture pasted is the preview's.
        std::unique_ptr<QMimeData> mime(
            f.thmParts->model()->mimeData({f.thmParts->model()->index(0, 0)}));
        QVERIFY(mime && mime->hasUrls());
        QCOMPARE(mime->urls().value(0).toLocalFile(), lib.bihin + "/Bed.JPG");
        dropOnCanvas(f, mime.get());
        QVERIFY(f.PasteFloating);
        COMPARE_IMAGES(*gf5::ImageStore::image(f.FloatingPicture), part(30, 20, 120), "pasted");
        QCOMPARE(f.dspCanvas->SelectionRight() - f.dspCanvas->SelectionLeft(), 30);
        QCOMPARE(canvasImage(f), sheet); // still floating, the canvas is untouched
    }

    void thePreviewDraggedOntoTheCanvasIsPasted()
    {
        Library lib;
        MainWindow f({}, lib.dir.path());
        QVERIFY(f.dspPreview->dragSource());
        std::unique_ptr<QMimeData> mime(f.dspPreview->dragMimeData());
        dropOnCanvas(f, mime.get());
        QVERIFY(!f.PasteFloating); // empty preview: nothing

        clickTab(f, 1);
        f.thmParts->clickRow(0);
        dropOnCanvas(f, mime.get());
        QVERIFY(f.PasteFloating);
        QCOMPARE(gf5::ImageStore::image(f.FloatingPicture)->size(), QSize(40, 24));
    }
};

ZORVAT_TEST_MAIN(LibraryTest)
#include "test_library.moc"
