#include "bmp_slice_writer.h"
#include <QtEndian>
#include <cstdio>

namespace recovery {

namespace {
const int kHeaderSize = 54;
void putLe32(char* at, quint32 v) { qToLittleEndian(v, at); }
void putLe16(char* at, quint16 v) { qToLittleEndian(v, at); }
}

bool replaceFile(const QString& from, const QString& to)
{
    // rename(2) replaces an existing target atomically; QFile::rename
    // refuses an existing target, and removing it first would leave a
    // moment with no file at all.
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

int rowsPerStep(int width) { return qMax(1, (1 << 18) / qMax(1, width)); }

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
    m_file.setFileName(partPath(path));
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
    const bool flushed = m_file.flush() && m_file.error() == QFileDevice::NoError;
    m_file.close();
    m_buffer = QByteArray();
    if (!flushed || !replaceFile(partPath(m_path), m_path)) {
        QFile::remove(partPath(m_path));
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

bool writeBmp(const QString& path, const QImage& image)
{
    if (image.isNull())
        return false;
    BmpSliceWriter w;
    if (!w.begin(path, image.width(), image.height(), image.dotsPerMeterX(), image.dotsPerMeterY()))
        return false;
    // About a megabyte at a time: never a second whole picture in memory.
    const int rows = rowsPerStep(image.width());
    for (int y = 0; y < image.height(); y += rows)
        if (!w.writeRows(image, y, qMin(image.height(), y + rows)))
            return false;
    return w.finish();
}

} // namespace recovery
