#include "sanejobs.h"
#include "saneoptions.h"
#include <sane/saneopts.h>
#include <poll.h>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace gf5::sane {

namespace {
constexpr long long kMaxPixels = 1LL << 30; // far beyond any paper scan
}

void ListJob::run()
{
    if (!sessionReady()) {
        error = QStringLiteral("スキャナの準備ができません");
        return;
    }
    const SANE_Device** list = nullptr;
    const SANE_Status st = sane_get_devices(&list, SANE_FALSE);
    touch();
    if (st != SANE_STATUS_GOOD) {
        error = statusText(st);
        return;
    }
    for (int i = 0; list && list[i]; ++i) {
        const SANE_Device* d = list[i];
        if (!d->name)
            continue;
        names << QString::fromUtf8(d->name);
        descriptions << QStringLiteral("%1 %2 (%3)")
                            .arg(QString::fromUtf8(d->vendor ? d->vendor : ""),
                                 QString::fromUtf8(d->model ? d->model : ""), QString::fromUtf8(d->name))
                            .trimmed();
    }
    ok = true;
}

void ScanJob::run()
{
    if (!sessionReady()) {
        error = QStringLiteral("スキャナの準備ができません");
        return;
    }
    SANE_Handle h = nullptr;
    SANE_Status st = sane_open(device.constData(), &h);
    touch();
    if (st != SANE_STATUS_GOOD && !stop.load()) {
        // Some backends open only devices they have listed.
        const SANE_Device** list = nullptr;
        if (sane_get_devices(&list, SANE_FALSE) == SANE_STATUS_GOOD)
            st = sane_open(device.constData(), &h);
        touch();
    }
    if (st != SANE_STATUS_GOOD) {
        error = statusText(st);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_handleMutex);
        m_handle = h;
    }
    if (colour) {
        for (const char* mode : {"Color", "Colour", "RGB"})
            if (setOption(h, SANE_NAME_SCAN_MODE, QString::fromLatin1(mode)))
                break;
    }
    setOption(h, SANE_NAME_SCAN_RESOLUTION, resolution);
    for (const auto& opt : options)
        setOption(h, opt.first.toUtf8().constData(), opt.second);
    dpi = numberOption(h, SANE_NAME_SCAN_RESOLUTION);
    touch();
    ok = !stop.load() && readImage(h);
    {
        std::lock_guard<std::mutex> lock(m_handleMutex);
        m_handle = nullptr;
    }
    sane_cancel(h);
    sane_close(h);
    touch();
}

void ScanJob::stopNow()
{
    std::lock_guard<std::mutex> lock(m_handleMutex);
    if (m_handle)
        sane_cancel(m_handle);
}

// Reads every frame of one scan into image (RGB32). False on a device
// error, bad parameters or a stop; error says why.
bool ScanJob::readImage(SANE_Handle h)
{
    int frame = 0;
    bool first = true;
    for (;;) {
        SANE_Status st = sane_start(h);
        touch();
        if (st != SANE_STATUS_GOOD) {
            error = statusText(st);
            return false;
        }
        SANE_Parameters p{};
        st = sane_get_parameters(h, &p);
        if (st != SANE_STATUS_GOOD) {
            error = statusText(st);
            return false;
        }
        const bool formatOk = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB ||
                              p.format == SANE_FRAME_RED || p.format == SANE_FRAME_GREEN ||
                              p.format == SANE_FRAME_BLUE;
        if (!formatOk || (p.depth != 1 && p.depth != 8 && p.depth != 16) || p.pixels_per_line <= 0 ||
            p.bytes_per_line <= 0 || p.bytes_per_line < neededBytes(p) ||
            (long long)p.pixels_per_line * std::max(1, p.lines) > kMaxPixels ||
            (!first && p.pixels_per_line != image.width())) {
            error = QStringLiteral("スキャナの画像形式に対応していません");
            return false;
        }
        const bool knownLines = p.lines > 0;
        // Progress counts the bytes of all frames against their expected size.
        const int frames = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB ? 1 : 3;
        const long long frameBytes = knownLines ? (long long)p.bytes_per_line * p.lines : 0;
        long long got = 0;
        percent.store(frameBytes > 0 ? int(std::min(100LL, 100LL * frame / frames)) : 0);
        if (first) {
            image = QImage(p.pixels_per_line, knownLines ? p.lines : 256, QImage::Format_RGB32);
            if (image.isNull()) {
                error = QStringLiteral("メモリが足りません");
                return false;
            }
            image.fill(Qt::white);
        }
        // Non-blocking reads, where the device offers them, keep a cancel
        // reachable while the device is slow.
        const bool nonBlocking = sane_set_io_mode(h, SANE_TRUE) == SANE_STATUS_GOOD;
        SANE_Int fd = -1;
        if (nonBlocking && sane_get_select_fd(h, &fd) != SANE_STATUS_GOOD)
            fd = -1;

        std::vector<uint8_t> row(size_t(p.bytes_per_line));
        std::vector<uint8_t> buf(65536);
        size_t filled = 0;
        int y = 0;
        const int limit = knownLines ? p.lines : INT32_MAX;
        for (;;) {
            if (stop.load()) {
                error = QStringLiteral("取り止めました");
                return false;
            }
            SANE_Int len = 0;
            st = sane_read(h, buf.data(), SANE_Int(buf.size()), &len);
            if (st == SANE_STATUS_EOF)
                break;
            if (st != SANE_STATUS_GOOD) {
                error = statusText(st);
                return false;
            }
            if (len <= 0) {
                // Nothing yet: wait briefly, then look at the stop flag again.
                // A device that stays silent is given up by the waiting side.
                if (fd >= 0) {
                    pollfd pfd{fd, POLLIN, 0};
                    poll(&pfd, 1, 50);
                } else {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
                continue;
            }
            touch();
            got += len;
            if (frameBytes > 0)
                percent.store(int(std::min(100LL, 100LL * (frame * frameBytes + got) / (frames * frameBytes))));
            for (SANE_Int i = 0; i < len;) {
                const size_t take = std::min(row.size() - filled, size_t(len - i));
                std::memcpy(row.data() + filled, buf.data() + i, take);
                filled += take;
                i += SANE_Int(take);
                if (filled < row.size())
                    continue;
                filled = 0;
                if (y >= limit)
                    continue; // more rows than announced: ignored
                if (y >= image.height()) {
                    // Hand-held scanners announce no height: grow as rows come.
                    const long long newHeight = 2LL * image.height();
                    if ((long long)image.width() * newHeight > kMaxPixels) {
                        error = QStringLiteral("画像が大きすぎます");
                        return false;
                    }
                    QImage grown(image.width(), int(newHeight), QImage::Format_RGB32);
                    if (grown.isNull()) {
                        error = QStringLiteral("メモリが足りません");
                        return false;
                    }
                    grown.fill(Qt::white);
                    for (int r = 0; r < image.height(); ++r)
                        std::memcpy(grown.scanLine(r), image.constScanLine(r), size_t(image.bytesPerLine()));
                    image = grown;
                }
                convertRow(row.data(), reinterpret_cast<QRgb*>(image.scanLine(y)), p);
                ++y;
            }
        }
        if (y == 0) {
            error = QStringLiteral("画像が届きませんでした");
            return false;
        }
        if (first && y < image.height())
            image = image.copy(0, 0, image.width(), y); // fewer rows than announced, or grown too far
        first = false;
        ++frame;
        if (p.last_frame)
            return true;
    }
}

} // namespace gf5::sane
