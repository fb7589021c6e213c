// 名前を付けて保存 with a .dxf or .svg name: the walls of the canvas are
// written as a drawing at the document's resolution and scale, the document
// stays the picture (its work unsaved, a plain save asks for a name), and a
// sheet without walls or without its own resolution says so.
#include "documents/recovery.h"
#include "floorplan/plan_keys.h"
#include "shell/messages.h"
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include <QCryptographicHash>
#include <array>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>

using namespace testsupport;

namespace {

struct Messages {
    QStringList shown;
    Messages() { messages::override = [this](const QString& t) { shown << t; }; }
    ~Messages() { messages::override = nullptr; }
};

// A room of solid walls 24 px thick on a 400-dpi sheet, written as PNG.
QString writeRoom(const QString& path)
{
    QImage img(2000, 1500, QImage::Format_RGB32);
    img.fill(Qt::white);
    const int dpm = qRound(400 / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    QPainter p(&img);
    p.fillRect(200, 200, 1600, 24, Qt::black);
    p.fillRect(200, 1276, 1600, 24, Qt::black);
    p.fillRect(200, 200, 24, 1100, Qt::black);
    p.fillRect(1776, 200, 24, 1100, Qt::black);
    p.end();
    return img.save(path) ? path : QString();
}

QJsonObject readDxf(const QString& path)
{
    for (const QString& python : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess p;
        p.start(python, {QStringLiteral(ZORVAT_SOURCE_DIR "/tests/vector/dxf_readback.py"), path});
        if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    }
    return {};
}

QByteArray digest(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

} // namespace

class DrawingSaveTest : public QObject {
    Q_OBJECT
private slots:
    void saveAsDxfWritesTheWallsAndKeepsThePicture()
    {
        ProgramDir dir("[print]\ndpi=200\n");
        const QString picture = writeRoom(dir.file("room.png"));
        QVERIFY(!picture.isEmpty());
        const QByteArray before = digest(picture);
        MainWindow f({picture}, dir.path());
        paintOnCanvas(f, QRect(900, 700, 4, 4), qRgb(255, 0, 0)); // work not yet saved
        Messages messages;
        FileDialogs dialogs;
        dialogs.answer = dir.file("room.dxf");
        f.btnSave_Click(1);
        QCOMPARE(dialogs.opened, 1);
        QVERIFY2(messages.shown.size() == 1 && messages.shown[0].contains("図面を書き出しました"),
                 qPrintable(messages.shown.join('|')));
        QVERIFY(!messages.shown[0].contains("解像度の記録がない"));

        const QJsonObject dxf = readDxf(dir.file("room.dxf"));
        QVERIFY2(!dxf.isEmpty(), "python3-ezdxf is needed to read the drawing back");
        QCOMPARE(dxf["errors"].toArray().size(), 0);
        // At 400 dpi and the default 1/100 a pixel is 6.35 mm: the room's
        // outer top edge (y = 200 px from the top of 1500) lies at 8255 mm.
        double top = 0;
        int walls = 0;
        for (const QJsonValue& v : dxf["entities"].toArray()) {
            if (v.toObject()["layer"].toString() != QStringLiteral("壁"))
                continue;
            ++walls;
            for (const QJsonValue& pt : v.toObject()["points"].toArray())
                top = std::max(top, pt.toArray()[1].toDouble());
        }
        QVERIFY(walls >= 4);
        QVERIFY2(std::abs(top - 1300 * 6.35) <= 6.35, qPrintable(QString::number(top)));

        // The picture's own file is untouched; the document takes the
        // drawing's name but its pixels are saved nowhere.
        QCOMPARE(digest(picture), before);
        QCOMPARE(f.document.path(), dir.file("room.dxf"));
        QVERIFY(f.recoveryKeeper().hasUnsavedWork());
        dialogs.answer.clear();
        f.mnuEditSave_Click();
        QCOMPARE(dialogs.opened, 2); // a plain save asks for a name
        f.btnSaveVertion_Click();    // nothing to revert to
        QVERIFY(!canvasImage(f).isNull());
    }

    // A room traced with the keypad on the new sheet (200 dpi from the
    // settings, 1/100): each wall's band, read back from the DXF, lies
    // within a pixel (12.7 mm) of where the keypad drew it.
    void aKeypadTracedRoomLandsWithinAPixel()
    {
        ProgramDir dir("[print]\ndpi=200\n");
        MainWindow f({}, dir.path());
        using plantest::ltrb;
        const QRect corners[] = {ltrb(60, 60, 80, 80), ltrb(520, 60, 540, 80), ltrb(520, 520, 540, 540),
                                 ltrb(60, 520, 80, 540)};
        for (int i = 0; i < 4; ++i) {
            plantest::trace(f, corners[i], corners[(i + 1) % 4]);
            plantest::pad(f, Qt::Key_Plus);
        }
        Messages messages;
        FileDialogs dialogs;
        dialogs.answer = dir.file("room.dxf");
        f.btnSave_Click(1);
        const QJsonObject dxf = readDxf(dir.file("room.dxf"));
        QVERIFY2(!dxf.isEmpty(), qPrintable(messages.shown.join('|')));
        // The drawn faces in pixels (x0, y0, x1, y1): outer and inner edge of each band.
        const double faces[][4] = {{60, 60, 540, 60},   {80, 80, 520, 80},   {540, 60, 540, 540}, {520, 80, 520, 520},
                                   {60, 540, 540, 540}, {80, 520, 520, 520}, {60, 60, 60, 540},   {80, 80, 80, 520}};
        const double k = 25.4 / 200 * 100;
        const double kTol = 1;
        std::vector<std::array<double, 4>> found; // wall edges in pixels
        for (const QJsonValue& v : dxf["entities"].toArray()) {
            const QJsonObject e = v.toObject();
            if (e["layer"].toString() != QStringLiteral("壁"))
                continue;
            const QJsonArray pts = e["points"].toArray();
            const int n = int(pts.size());
            for (int i = 0; i < n; ++i) {
                const QJsonArray a = pts[i].toArray(), b = pts[(i + 1) % n].toArray();
                found.push_back({a[0].toDouble() / k, 600 - a[1].toDouble() / k, b[0].toDouble() / k,
                                 600 - b[1].toDouble() / k});
            }
        }
        for (const auto& face : faces) {
            // The part of the face that found edges run along within 1 px.
            const bool horizontal = face[1] == face[3];
            double covered = 0;
            for (const auto& e : found) {
                const bool along = horizontal ? std::abs(e[1] - face[1]) <= kTol && std::abs(e[3] - face[1]) <= kTol
                                              : std::abs(e[0] - face[0]) <= kTol && std::abs(e[2] - face[0]) <= kTol;
                if (!along)
                    continue;
                const double lo = horizontal ? std::min(e[0], e[2]) : std::min(e[1], e[3]);
                const double hi = horizontal ? std::max(e[0], e[2]) : std::max(e[1], e[3]);
                const double from = horizontal ? face[0] : face[1], to = horizontal ? face[2] : face[3];
                covered += std::max(0.0, std::min(hi, to) - std::max(lo, from));
            }
            const double length = horizontal ? face[2] - face[0] : face[3] - face[1];
            QVERIFY2(covered >= 0.9 * length, qPrintable(QString("face (%1,%2)-(%3,%4): %5 of %6 px found")
                                                             .arg(face[0]).arg(face[1]).arg(face[2]).arg(face[3])
                                                             .arg(covered).arg(length)));
        }
    }

    void aBlankSheetWithoutResolutionSaysBoth()
    {
        ProgramDir dir("[print]\ndpi=300\n");
        MainWindow f({}, dir.path());
        Messages messages;
        FileDialogs dialogs;
        dialogs.answer = dir.file("blank.svg");
        f.btnSave_Click(1);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].contains("壁が見つからなかった"), qPrintable(messages.shown[0]));
        QVERIFY2(messages.shown[0].contains("解像度の記録がないため 300dpi"), qPrintable(messages.shown[0]));
        QVERIFY(QFile::exists(dir.file("blank.svg")));
    }

    // The settings' [drawing] picture=1 puts the sheet beside the DXF as a
    // PNG, referred to by an IMAGE under the walls; without it, no PNG.
    void thePictureGoesBesideTheDxfOnlyWhenTheSettingsAskForIt()
    {
        for (const bool asked : {false, true}) {
            ProgramDir dir(asked ? "[print]\ndpi=200\n[drawing]\npicture=1\n" : "[print]\ndpi=200\n");
            const QString picture = writeRoom(dir.file("room.png"));
            MainWindow f({picture}, dir.path());
            Messages messages;
            FileDialogs dialogs;
            dialogs.answer = dir.file("plan.dxf");
            f.btnSave_Click(1);
            QCOMPARE(QFile::exists(dir.file("plan_image.png")), asked);
            const QJsonObject dxf = readDxf(dir.file("plan.dxf"));
            QVERIFY2(!dxf.isEmpty(), "python3-ezdxf is needed to read the drawing back");
            QCOMPARE(dxf["errors"].toArray().size(), 0);
            int images = 0;
            for (const QJsonValue& v : dxf["entities"].toArray())
                if (v.toObject()["type"].toString() == "IMAGE") {
                    ++images;
                    QCOMPARE(v.toObject()["file"].toString(), QString("plan_image.png"));
                    QCOMPARE(v.toObject()["pixels"].toArray()[0].toDouble(), 2000.0);
                }
            QCOMPARE(images, asked ? 1 : 0);
            if (asked)
                QCOMPARE(QImage(dir.file("plan_image.png")).size(), QSize(2000, 1500));
        }
    }
};

ZORVAT_TEST_MAIN(DrawingSaveTest)
#include "test_drawing_save.moc"
