#include "imaging/io/bmpwriter.h"
#include <QtEndian>
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace gf5::io {

namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
// Pictures without a resolution are stated at 72 dpi, as Qt does.
constexpr int kNoResolution = 2834;
// About two megabytes of rows are converted before each write.
constexpr qint64 kBandBytes = qint64(2) << 20;

void put16(uchar* at, quint16 v) { qToLittleEndian(v, at); }
void put32(uchar* at, quint32 v) { qToLittleEndian(v, at); }

} // namespace

bool bmpWriterTakes(const QImage& image) { return image.format() == QImage::Format_RGB32 && !image.isNull(); }

bool encodeBmp(const QImage& image, QIODevice& out, QString* reason)
{
    const int w = image.width(), h = image.height();
    const qint64 rowBytes = ((qint64(w) * 24 + 31) / 32) * 4;
    const qint64 offBits = kFileHeader + kInfoHeader;
    const qint64 fileSize = offBits + rowBytes * h;
    if (fileSize > std::numeric_limits<qint32>::max()) {
        *reason = QStringLiteral("BMP には大きすぎる画像です");
        return false;
    }
    uchar head[kFileHeader + kInfoHeader] = {};
    head[0] = 'B';
    head[1] = 'M';
    put32(head + 2, quint32(fileSize));
    put32(head + 10, quint32(offBits));
    uchar* info = head + kFileHeader;
    put32(info, kInfoHeader);
    put32(info + 4, quint32(w));
    put32(info + 8, quint32(h));
    put16(info + 12, 1);
    put16(info + 14, 24);
    put32(info + 20, quint32(rowBytes * h));
    put32(info + 24, quint32(image.dotsPerMeterX() ? image.dotsPerMeterX() : kNoResolution));
    put32(info + 28, quint32(image.dotsPerMeterY() ? image.dotsPerMeterY() : kNoResolution));
    if (out.write(reinterpret_cast<const char*>(head), sizeof(head)) != qint64(sizeof(head))) {
        *reason = out.errorString();
        return false;
    }
    // Rows bottom up; the padding at each row's end stays zero.
    const int bandRows = int(std::clamp<qint64>(kBandBytes / rowBytes, 1, h));
    std::vector<uchar> band(size_t(rowBytes) * size_t(bandRows), 0);
    for (int done = 0; done < h;) {
        const int rows = std::min(bandRows, h - done);
        for (int i = 0; i < rows; ++i) {
            const int y = h - 1 - (done + i);
            const cv::Mat from(1, w, CV_8UC4, const_cast<uchar*>(image.constScanLine(y)));
            cv::Mat to(1, w, CV_8UC3, band.data() + size_t(i) * size_t(rowBytes));
            cv::cvtColor(from, to, cv::COLOR_BGRA2BGR);
        }
        const qint64 bytes = rowBytes * rows;
        if (out.write(reinterpret_cast<const char*>(band.data()), bytes) != bytes) {
            *reason = out.errorString();
            return false;
        }
        done += rows;
    }
    return true;
}

} // namespace gf5::io
