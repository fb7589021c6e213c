// The public BMP and PNG conformance suites through the open path: good
// files match their reference renders pixel for pixel, bad and corrupt files
// are refused with a message in Japanese, questionable files are either
// exact or refused, never shown wrong. Every file's result is printed.
#include "imaging/io/imageread.h"
#include "imaging/io/normalise.h"
#include "testsupport/testmain.h"
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMap>
#include <QRegularExpression>

using namespace gf5;

namespace {

const QString kSuites = QStringLiteral(ZORVAT_SOURCE_DIR "/tests/imaging/data/conformance/");

enum class Expect { Exact, Refused, ExactOrRefused };

// Pictures as the canvas shows them: RGB32, transparency laid on white.
QImage onPaper(const QImage& img) { return io::normaliseImage(img, io::ImageUse::Canvas); }

// "" when equal (each channel within tolerance), else the first difference.
QString difference(const QImage& a, const QImage& b, int tolerance)
{
    if (a.size() != b.size())
        return QStringLiteral("size %1x%2, reference %3x%4").arg(a.width()).arg(a.height()).arg(b.width()).arg(b.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(qRed(a.pixel(x, y)) - qRed(b.pixel(x, y))) > tolerance ||
                std::abs(qGreen(a.pixel(x, y)) - qGreen(b.pixel(x, y))) > tolerance ||
                std::abs(qBlue(a.pixel(x, y)) - qBlue(b.pixel(x, y))) > tolerance)
                return QStringLiteral("pixel (%1,%2) %3, reference %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y) & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                    .arg(b.pixel(x, y) & 0xFFFFFF, 6, 16, QLatin1Char('0'));
    return {};
}

bool japanese(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x3000)
            return true;
    return false;
}

// A reference picture read by Qt's own readers (the suites' renders are
// ordinary PNG and BMP files).
QImage reference(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    return onPaper(reader.read());
}

// The BMP suite's page lists each test file after the render(s) it should
// match: "<img src="x.png"> ... <img src="../g/file.bmp">".
QMap<QString, QStringList> bmpReferences()
{
    QFile page(kSuites + "bmpsuite/html/bmpsuite.html");
    QMap<QString, QStringList> refs;
    if (!page.open(QIODevice::ReadOnly))
        return refs;
    const QString html = QString::fromUtf8(page.readAll());
    static const QRegularExpression img(QStringLiteral("<img src=\"([^\"]+)\""));
    QStringList pending;
    for (auto it = img.globalMatch(html); it.hasNext();) {
        const QString src = it.next().captured(1);
        if (src.startsWith(QStringLiteral("../"))) {
            refs[src.mid(3)] += pending;
            pending.clear();
        } else {
            pending << kSuites + "bmpsuite/html/" + src;
        }
    }
    return refs;
}

} // namespace

class TestConformance : public QObject {
    Q_OBJECT

    int checked_ = 0;
    QStringList failures_;

    void check(const QString& file, Expect expect, const QStringList& references, int tolerance = 0)
    {
        ++checked_;
        const io::ReadOutcome read = io::readImageFile(kSuites + file, nullptr);
        QString result;
        bool ok;
        if (!read.error.isEmpty()) {
            result = QStringLiteral("refused: ") + read.error;
            ok = expect != Expect::Exact && japanese(read.error);
        } else {
            const QImage got = onPaper(read.image);
            QString diff = QStringLiteral("no reference");
            for (const QString& ref : references) {
                diff = difference(got, reference(ref), tolerance);
                if (diff.isEmpty())
                    break;
            }
            result = !diff.isEmpty()  ? QStringLiteral("WRONG: ") + diff
                     : tolerance > 0 ? QStringLiteral("within %1").arg(tolerance)
                                     : QStringLiteral("exact");
            ok = expect != Expect::Refused && diff.isEmpty();
        }
        const QString line = QStringLiteral("%1 %2: %3").arg(ok ? "ok  " : "FAIL", file, result);
        qInfo().noquote() << line;
        if (!ok)
            failures_ << line;
    }

private slots:
    void bmpSuite()
    {
        const QMap<QString, QStringList> refs = bmpReferences();
        QVERIFY(!refs.isEmpty());
        const struct {
            const char* folder;
            Expect expect;
        } groups[] = {{"g", Expect::Exact}, {"q", Expect::ExactOrRefused}, {"b", Expect::Refused}};
        for (const auto& g : groups) {
            const QString folder = QString::fromLatin1(g.folder);
            const QStringList files = QDir(kSuites + "bmpsuite/" + folder).entryList({"*.bmp"}, QDir::Files, QDir::Name);
            QVERIFY(!files.isEmpty());
            for (const QString& f : files) {
                // 11-bit red and green: the render was made from 8-bit values
                // whose 11-bit codes two levels give back one off by nearest
                // rounding.
                const int tolerance = f == QStringLiteral("rgb32-111110.bmp") ? 1 : 0;
                check("bmpsuite/" + folder + "/" + f, g.expect, refs.value(folder + "/" + f), tolerance);
            }
        }
        // The suite's hostile run-length files from elsewhere.
        for (const char* f : {"bmp-rle8-invalid-runs.bmp", "bmp-rle4-invalid-runs.bmp"})
            check(QStringLiteral("../hostile/") + f, Expect::Refused, {});
    }

    void pngSuite()
    {
        const QStringList files = QDir(kSuites + "pngsuite/png").entryList({"*.png"}, QDir::Files, QDir::Name);
        QVERIFY(files.size() > 150);
        for (const QString& f : files) {
            const bool corrupt = f.startsWith('x');
            const QString ref = kSuites + "pngsuite/bmp/" + QFileInfo(f).completeBaseName() + ".bmp";
            // 16-bit samples are rounded to 8 bits; the suite's renders cut
            // some and round others, so those files may differ by one.
            const int tolerance = f.mid(6, 2) == QStringLiteral("16") ? 1 : 0;
            check("pngsuite/png/" + f, corrupt ? Expect::Refused : Expect::Exact,
                  corrupt ? QStringList() : QStringList{ref}, tolerance);
        }
    }

    void init()
    {
        checked_ = 0;
        failures_.clear();
    }

    void cleanup()
    {
        qInfo("%d files checked, %d failed", checked_, int(failures_.size()));
        if (!failures_.isEmpty())
            QFAIL(qPrintable(failures_.join('\n')));
    }
};

ZORVAT_TEST_MAIN(TestConformance)
#include "test_conformance.moc"
