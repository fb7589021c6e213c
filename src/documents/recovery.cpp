#include "recovery.h"
#include "document_rules.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/userpaths.h"
#include "imaging/store/imagestore.h"
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QtEndian>

namespace recovery {

namespace {
const char* const kImageName = "recovery.bmp";
const char* const kMetaName = "recovery.ini";
const int kHeaderSize = 54;

void putLe32(char* at, quint32 v) { qToLittleEndian(v, at); }
void putLe16(char* at, quint16 v) { qToLittleEndian(v, at); }
}

QString folder() { return userpaths::stateFolder() + "/recovery"; }
QString imageFile(const QString& dir) { return dir + "/" + kImageName; }

QString questionText(const Meta& meta)
{
    return QStringLiteral("前回保存されなかった図面があります（%1, %2）。開きますか？")
        .arg(meta.name, meta.time.toString("yyyy/MM/dd HH:mm"));
}

bool BmpSliceWriter::begin(const QString& path, int width, int height, int dotsPerMeterX, int dotsPerMeterY)
{
    abort();
    if (width <= 0 || height <= 0)
        return false;
    m_path = path;
    m_width = width;
    m_height = height;
    m_stride = (qint64(width) * 3 + 3) & ~qint64(3);
    const qint64 total = kHeaderSize + m_stride * height;
    if (total > 0xFFFFFFFFll)
        return false;
    QByteArray header(kHeaderSize, '\0');
    char* h = header.data();
    h[0] = 'B';
    h[1] = 'M';
    putLe32(h + 2, quint32(total));
    putLe32(h + 10, kHeaderSize);
    putLe32(h + 14, 40);
    putLe32(h + 18, quint32(width));
    putLe32(h + 22, quint32(height)); // bottom-up rows
    putLe16(h + 26, 1);
    putLe16(h + 28, 24);
    putLe32(h + 34, quint32(m_stride * height));
    putLe32(h + 38, quint32(qMax(0, dotsPerMeterX)));
    putLe32(h + 42, quint32(qMax(0, dotsPerMeterY)));
    m_file.setFileName(path + ".part");
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (m_file.write(header) != header.size() || !m_file.resize(total)) {
        abort();
        return false;
    }
    return true;
}

bool BmpSliceWriter::writeRows(const QImage& image, int from, int to)
{
    if (!m_file.isOpen() || image.width() != m_width || image.height() != m_height)
        return false;
    from = qBound(0, from, m_height);
    to = qBound(from, to, m_height);
    if (from == to)
        return true;
    // Rows from..to-1 lie on disk in reverse order, one block ending at row from.
    m_buffer.resize(qsizetype(m_stride * (to - from)));
    m_buffer.fill('\0');
    const bool direct = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    for (int y = from; y < to; ++y) {
        uchar* out = reinterpret_cast<uchar*>(m_buffer.data()) + m_stride * (to - 1 - y);
        const QRgb* in = direct ? reinterpret_cast<const QRgb*>(image.constScanLine(y)) : nullptr;
        for (int x = 0; x < m_width; ++x) {
            const QRgb c = in ? in[x] : image.pixel(x, y);
            out[3 * x] = uchar(qBlue(c));
            out[3 * x + 1] = uchar(qGreen(c));
            out[3 * x + 2] = uchar(qRed(c));
        }
    }
    if (!m_file.seek(kHeaderSize + m_stride * (m_height - to)) || m_file.write(m_buffer) != m_buffer.size()) {
        abort();
        return false;
    }
    return true;
}

bool BmpSliceWriter::finish()
{
    if (!m_file.isOpen())
        return false;
    const bool flushed = m_file.flush();
    m_file.close();
    QFile::remove(m_path);
    if (!flushed || !QFile::rename(m_path + ".part", m_path)) {
        QFile::remove(m_path + ".part");
        return false;
    }
    return true;
}

void BmpSliceWriter::abort()
{
    if (m_file.isOpen()) {
        m_file.close();
        m_file.remove();
    }
    m_buffer = QByteArray();
}

bool findCopy(const QString& dir, QString* imagePath, Meta* meta)
{
    const QString image = imageFile(dir);
    if (!QFileInfo(image).isFile())
        return false;
    QSettings ini(dir + "/" + kMetaName, QSettings::IniFormat);
    Meta m;
    m.name = ini.value("name").toString();
    m.time = QDateTime::fromString(ini.value("time").toString(), Qt::ISODate);
    m.scaleDenominator = qMax(0, ini.value("scale").toInt());
    m.resolutionAssumed = ini.value("resolution").toString() == "assumed";
    if (m.name.isEmpty())
        m.name = documents::kNewImageName;
    if (!m.time.isValid())
        m.time = QFileInfo(image).lastModified();
    if (imagePath)
        *imagePath = image;
    if (meta)
        *meta = m;
    return true;
}

namespace {
bool writeMeta(const QString& dir, const Meta& meta)
{
    QSaveFile f(dir + "/" + kMetaName);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // Written by hand: QSettings would escape the Japanese name.
    QByteArray text = "[General]\nname=";
    text += meta.name.toUtf8().replace('\n', ' ');
    text += "\ntime=" + meta.time.toString(Qt::ISODate).toUtf8() + "\n";    if (meta.scaleDenominator > 0)
        text += "scale=" + QByteArray::number(meta.scaleDenominator) + "\n";
    if (meta.resolutionAssumed)
        text += "resolution=assumed\n";
    f.write(text);
    return f.commit();
}
}

bool adoptPart(const QString& dir, const Meta& meta) { return writeMeta(dir, meta); }

bool writeCopy(const QString& dir, const QImage& image, const Meta& meta)
{
    if (image.isNull() || !QDir().mkpath(dir))
        return false;
    BmpSliceWriter w;
    if (!w.begin(imageFile(dir), image.width(), image.height(), image.dotsPerMeterX(), image.dotsPerMeterY()) ||
        !w.writeRows(image, 0, image.height()) || !w.finish())
        return false;
    return writeMeta(dir, meta);
}

void removeCopy(const QString& dir)
{
    QFile::remove(imageFile(dir));
    QFile::remove(imageFile(dir) + ".part");
    QFile::remove(dir + "/" + kMetaName);
}

// ---- Keeper -------------------------------------------------------------------

Keeper::Keeper(MainWindow& form) : QObject(&form), m_form(form)
{
    m_sinceCopy.start();
    m_check.setInterval(10 * 1000);
    connect(&m_check, &QTimer::timeout, this, &Keeper::checkDue);
    m_check.start();
    // A zero-interval timer fires when the event queue is empty: the slices
    // are written only while the editor waits for input.
    m_slice.setInterval(0);
    connect(&m_slice, &QTimer::timeout, this, &Keeper::writeSlice);
}

Keeper::~Keeper() { m_writer.abort(); }

const QImage* Keeper::canvas() const
{
    const int32_t h = m_form.dspCanvas ? m_form.dspCanvas->ImageHandle() : 0;
    return h ? gf5::ImageStore::image(h) : nullptr;
}

Keeper::CanvasKey Keeper::currentKey() const
{
    const QImage* img = canvas();
    // A QImage's cache key changes whenever its pixels are written.
    return img ? CanvasKey{m_form.dspCanvas->ImageHandle(), img->cacheKey()} : CanvasKey{};
}

Meta Keeper::metaNow() const
{
    const documents::PlanDocument& doc = m_form.document;
    return Meta{doc.path(), QDateTime::currentDateTime(), doc.scaleDenominator(),
                doc.resolutionSource() == documents::ResolutionSource::Settings};
}

void Keeper::markClean()
{
    m_form.document.markClean(currentKey());
    m_written = CanvasKey{};
}

bool Keeper::hasUnsavedWork() const { return m_form.document.hasUnsavedWork(currentKey()); }

void Keeper::checkDue()
{
    if (writing() || !hasUnsavedWork())
        return;
    const CanvasKey now = currentKey();
    if (now == m_written || m_sinceCopy.elapsed() < intervalMs)
        return;
    const QImage* img = canvas();
    if (!QDir().mkpath(folder()) ||
        !m_writer.begin(imageFile(folder()), img->width(), img->height(), img->dotsPerMeterX(),
                        img->dotsPerMeterY()))
        return;
    m_job = now;
    m_nextRow = 0;
    m_slice.start();
}

void Keeper::stopWriting()
{
    m_slice.stop();
    m_writer.abort();
}

void Keeper::writeSlice()
{
    if (m_form.busyDepth > 0)
        return; // a long command runs: the next idle moment continues
    if (!(currentKey() == m_job)) {
        // The picture changed under the copy: begin again with the new one
        // (no second full copy of the image is ever held).
        stopWriting();
        checkDue();
        return;
    }
    const QImage* img = canvas();
    QElapsedTimer spent;
    spent.start();
    const int rowsPerStep = qMax(1, (1 << 18) / qMax(1, img->width())); // about 1 MB a step
    // At least one step a slice, so that the copy always advances.
    do {
        const int to = qMin(img->height(), m_nextRow + rowsPerStep);
        if (!m_writer.writeRows(*img, m_nextRow, to)) {
            stopWriting();
            return;
        }
        m_nextRow = to;
    } while (m_nextRow < img->height() && spent.elapsed() < sliceBudgetMs);
    if (m_nextRow < img->height())
        return;
    m_slice.stop();
    if (m_writer.finish() && adoptPart(folder(), metaNow())) {
        m_written = m_job;
        m_sinceCopy.restart();
    }
}

void Keeper::keepNow()
{
    stopWriting();
    if (!hasUnsavedWork()) {
        removeCopy(folder());
        return;
    }
    if (writeCopy(folder(), *canvas(), metaNow()))
        m_written = currentKey();
}

} // namespace recovery

// ---- The window's side --------------------------------------------------------

recovery::Keeper& MainWindow::recoveryKeeper()
{
    if (!Recovery)
        Recovery = new recovery::Keeper(*this);
    return *Recovery;
}

void MainWindow::markDocumentClean() { recoveryKeeper().markClean(); }

void MainWindow::keepUnsavedWork()
{
    if (Recovery)
        Recovery->keepNow();
}

void MainWindow::offerRecovery()
{
    const QString dir = recovery::folder();
    QString image;
    recovery::Meta meta;
    if (!recovery::findCopy(dir, &image, &meta))
        return;
    if (!messages::ask(this, recovery::questionText(meta))) {
        recovery::removeCopy(dir);
        return;
    }
    fileIo.FileName = image;
    fileIo.FileOperation = gf5::Gf5File::Read;
    fileIo.CancelRequested = false;
    if (fileIo.Execute() == 0) {
        messages::show(this, QStringLiteral("前回の図面を読み込めませんでした。\n%1").arg(fileIo.LastError));
        return;
    }
    if (dspCanvas->ImageHandle() != 0)
        ReleaseCanvasImage();
    AdoptLoadedImage(false);
    // The document keeps its own name, but that file does not hold this
    // picture: a plain save asks for a place, and the copy stays until the
    // picture is saved.
    document.recover(meta.name);
    // The picture file keeps the resolution; the scale and where the
    // resolution came from are kept beside it.
    if (meta.scaleDenominator > 0)
        document.setScaleDenominator(meta.scaleDenominator);
    if (meta.resolutionAssumed)
        document.setResolution(document.dpi(), documents::ResolutionSource::Settings);
    if (meta.scaleDenominator > 0)
        rereadWalls(); // at the plan's own scale
    UpdateTitle();
}
