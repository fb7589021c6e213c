#include "gf5scan.h"
#include "../store/imagestore.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QInputDialog>
#include <QMetaMethod>
#include <QThread>
#include <sane/sane.h>
#include <sane/saneopts.h>
#include <poll.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace gf5 {

std::function<int(const QStringList&)> Gf5Scan::chooserOverride;

namespace {

// sane_init and sane_exit, always in pairs.
struct SaneSession {
    bool ok = false;
    SaneSession()
    {
        SANE_Int version = 0;
        ok = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
    }
    ~SaneSession()
    {
        if (ok)
            sane_exit();
    }
    SaneSession(const SaneSession&) = delete;
    SaneSession& operator=(const SaneSession&) = delete;
};

// An open device; cancelled and closed when it goes out of scope.
struct OpenDevice {
    SANE_Handle h = nullptr;
    ~OpenDevice()
    {
        if (h) {
            sane_cancel(h);
            sane_close(h);
        }
    }
};

QString statusText(SANE_Status st) { return QString::fromUtf8(sane_strstatus(st)); }

const SANE_Option_Descriptor* findOption(SANE_Handle h, const char* name, SANE_Int& index)
{
    SANE_Int count = 0;
    if (!sane_get_option_descriptor(h, 0) ||
        sane_control_option(h, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return nullptr;
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (d && d->name && std::strcmp(d->name, name) == 0) {
            index = i;
            return d;
        }
    }
    return nullptr;
}

// The allowed word nearest to w.
SANE_Word fitWord(const SANE_Option_Descriptor* d, SANE_Word w)
{
    if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
        const SANE_Range* r = d->constraint.range;
        long long v = std::clamp<long long>(w, r->min, r->max);
        if (r->quant > 0) {
            v = r->min + (v - r->min + r->quant / 2) / r->quant * r->quant;
            if (v > r->max)
                v -= r->quant;
        }
        return SANE_Word(v);
    }
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list &&
        d->constraint.word_list[0] > 0) {
        const SANE_Word* list = d->constraint.word_list;
        SANE_Word best = list[1];
        for (SANE_Int i = 1; i <= list[0]; ++i)
            if (std::llabs((long long)list[i] - w) < std::llabs((long long)best - w))
                best = list[i];
        return best;
    }
    return w;
}

// Sets one option by name, after checking that it exists, is active and
// settable, and has a type the value can be given as. True on success.
bool setOption(SANE_Handle h, const char* name, const QVariant& value)
{
    SANE_Int index = 0;
    const SANE_Option_Descriptor* d = findOption(h, name, index);
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap))
        return false;
    SANE_Int info = 0;
    SANE_Status st = SANE_STATUS_INVAL;
    switch (d->type) {
    case SANE_TYPE_STRING: {
        if (d->size <= 0)
            return false;
        QByteArray text = value.toString().toUtf8();
        if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST && d->constraint.string_list) {
            // Take the device's own spelling of the value.
            bool found = false;
            for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s) {
                if (QString::fromUtf8(*s).compare(value.toString(), Qt::CaseInsensitive) == 0) {
                    text = QByteArray(*s);
                    found = true;
                    break;
                }
            }
            if (!found)
                return false;
        }
        std::vector<char> buf(size_t(d->size), '\0');
        std::memcpy(buf.data(), text.constData(), std::min<size_t>(size_t(text.size()), buf.size() - 1));
        st = sane_control_option(h, index, SANE_ACTION_SET_VALUE, buf.data(), &info);
        break;
    }
    case SANE_TYPE_INT:
    case SANE_TYPE_FIXED: {
        if (d->size != SANE_Int(sizeof(SANE_Word)))
            return false; // arrays (gamma tables and the like) are not set here
        bool isNumber = false;
        const double v = value.toDouble(&isNumber);
        // Fixed-point words hold up to 32767.
        const double maxValue = d->type == SANE_TYPE_FIXED ? 32767.0 : 2147483647.0;
        if (!isNumber || !std::isfinite(v) || std::fabs(v) > maxValue)
            return false;
        SANE_Word w = d->type == SANE_TYPE_FIXED ? SANE_FIX(v) : SANE_Word(std::lround(v));
        w = fitWord(d, w);
        st = sane_control_option(h, index, SANE_ACTION_SET_VALUE, &w, &info);
        break;
    }
    case SANE_TYPE_BOOL: {
        SANE_Bool b = value.toBool() ? SANE_TRUE : SANE_FALSE;
        st = sane_control_option(h, index, SANE_ACTION_SET_VALUE, &b, &info);
        break;
    }
    default:
        return false;
    }
    return st == SANE_STATUS_GOOD;
}

// The value of a single-number option, or 0 when there is none.
double numberOption(SANE_Handle h, const char* name)
{
    SANE_Int index = 0;
    const SANE_Option_Descriptor* d = findOption(h, name, index);
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || d->size != SANE_Int(sizeof(SANE_Word)) ||
        (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED))
        return 0;
    SANE_Word w = 0;
    if (sane_control_option(h, index, SANE_ACTION_GET_VALUE, &w, nullptr) != SANE_STATUS_GOOD)
        return 0;
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w);
}

// Bytes one row of a frame needs at least.
long long neededBytes(const SANE_Parameters& p)
{
    const long long samples = (long long)p.pixels_per_line * (p.format == SANE_FRAME_RGB ? 3 : 1);
    return p.depth == 1 ? (samples + 7) / 8 : samples * (p.depth / 8);
}

inline int sampleAt(const uint8_t* row, long long s, int depth)
{
    if (depth == 8)
        return row[s];
    if (depth == 16) {
        uint16_t v;
        std::memcpy(&v, row + 2 * s, 2); // native byte order
        return v >> 8;
    }
    return (row[s >> 3] >> (7 - (s & 7))) & 1;
}

// One row of scanner data into RGB32 pixels. Grey depth 1: bit 1 is black.
// Colour depth 1: each channel bit set is that channel at full strength.
void convertRow(const uint8_t* src, QRgb* dst, const SANE_Parameters& p)
{
    const int w = p.pixels_per_line;
    switch (p.format) {
    case SANE_FRAME_GRAY:
        for (int x = 0; x < w; ++x) {
            int v = sampleAt(src, x, p.depth);
            if (p.depth == 1)
                v = v ? 0 : 255;
            dst[x] = qRgb(v, v, v);
        }
        break;
    case SANE_FRAME_RGB:
        for (int x = 0; x < w; ++x) {
            int c[3];
            for (int k = 0; k < 3; ++k) {
                c[k] = sampleAt(src, 3LL * x + k, p.depth);
                if (p.depth == 1)
                    c[k] = c[k] ? 255 : 0;
            }
            dst[x] = qRgb(c[0], c[1], c[2]);
        }
        break;
    default: { // one colour of a three-pass scan
        const int shift = p.format == SANE_FRAME_RED ? 16 : p.format == SANE_FRAME_GREEN ? 8 : 0;
        for (int x = 0; x < w; ++x) {
            int v = sampleAt(src, x, p.depth);
            if (p.depth == 1)
                v = v ? 255 : 0;
            dst[x] = (dst[x] & ~(0xFFu << shift)) | (QRgb(v) << shift);
        }
        break;
    }
    }
}

constexpr long long kMaxPixels = 1LL << 30; // far beyond any paper scan
constexpr int kStallMs = 30000;             // no data for this long: the device has stopped

} // namespace

int32_t Gf5Scan::SelectSource()
{
    LastError.clear();
    QStringList names, descriptions;
    {
        SaneSession session;
        if (!session.ok) {
            LastError = QStringLiteral("スキャナの準備ができません");
            return 0;
        }
        const SANE_Device** list = nullptr;
        const SANE_Status st = sane_get_devices(&list, SANE_FALSE);
        if (st != SANE_STATUS_GOOD) {
            LastError = statusText(st);
            return 0;
        }
        for (int i = 0; list && list[i]; ++i) {
            const SANE_Device* d = list[i];
            if (!d->name)
                continue;
            names << QString::fromUtf8(d->name);
            descriptions << QStringLiteral("%1 %2 (%3)")
                                .arg(QString::fromUtf8(d->vendor ? d->vendor : ""),
                                     QString::fromUtf8(d->model ? d->model : ""),
                                     QString::fromUtf8(d->name))
                                .trimmed();
        }
    }
    if (names.isEmpty()) {
        m_device.clear();
        LastError = QStringLiteral("スキャナが見つかりません");
        return 0;
    }
    int picked = 0;
    if (names.size() > 1) {
        if (chooserOverride) {
            picked = chooserOverride(descriptions);
        } else {
            bool ok = false;
            const QString item = QInputDialog::getItem(DialogParent, QStringLiteral("スキャナの選択"),
                                                       QStringLiteral("スキャナ:"), descriptions, 0, false, &ok);
            picked = ok ? int(descriptions.indexOf(item)) : -1;
        }
        if (picked < 0 || picked >= names.size()) {
            LastError = QStringLiteral("取り止めました");
            return 0;
        }
    }
    m_device = names[picked];
    return 1;
}

int32_t Gf5Scan::Acquire()
{
    LastError.clear();
    CancelRequested = false;
    if (m_device.isEmpty()) {
        LastError = QStringLiteral("スキャナが選ばれていません");
        return 0;
    }
    QImage image;
    {
        SaneSession session;
        if (!session.ok) {
            LastError = QStringLiteral("スキャナの準備ができません");
            return 0;
        }
        OpenDevice dev;
        SANE_Status st = sane_open(m_device.toUtf8().constData(), &dev.h);
        if (st != SANE_STATUS_GOOD) {
            // Some backends open only devices they have listed in this session.
            const SANE_Device** list = nullptr;
            if (sane_get_devices(&list, SANE_FALSE) == SANE_STATUS_GOOD)
                st = sane_open(m_device.toUtf8().constData(), &dev.h);
        }
        if (st != SANE_STATUS_GOOD) {
            dev.h = nullptr;
            LastError = statusText(st);
            return 0;
        }
        if (ScanSetting == 1) {
            for (const char* mode : {"Color", "Colour", "RGB"})
                if (setOption(dev.h, SANE_NAME_SCAN_MODE, QString::fromLatin1(mode)))
                    break;
        }
        setOption(dev.h, SANE_NAME_SCAN_RESOLUTION, Resolution);
        for (const auto& opt : ExtraOptions)
            setOption(dev.h, opt.first.toUtf8().constData(), opt.second);
        const double dpi = numberOption(dev.h, SANE_NAME_SCAN_RESOLUTION);
        if (!readImage(dev.h, image))
            return 0;
        if (dpi > 0) {
            // The image records the resolution the device really used.
            image.setDotsPerMeterX(qRound(dpi / 0.0254));
            image.setDotsPerMeterY(qRound(dpi / 0.0254));
        }
    }
    const int32_t handle = ImageStore::add(image, 24);
    if (handle == 0) {
        LastError = QStringLiteral("メモリが足りません");
        return 0;
    }
    if (!isSignalConnected(QMetaMethod::fromSignal(&Gf5Scan::ImageAcquired))) {
        ImageStore::release(handle); // nobody would own it
        return 1;
    }
    emit ImageAcquired(handle);
    return 1;
}

// Reads every frame of one scan into image (RGB32). False on a device
// error, a stalled device, bad parameters or a cancel; LastError says why.
bool Gf5Scan::readImage(void* device, QImage& image)
{
    SANE_Handle h = device;
    bool first = true;
    for (;;) {
        SANE_Status st = sane_start(h);
        if (st != SANE_STATUS_GOOD) {
            LastError = statusText(st);
            return false;
        }
        SANE_Parameters p{};
        st = sane_get_parameters(h, &p);
        if (st != SANE_STATUS_GOOD) {
            LastError = statusText(st);
            return false;
        }
        const bool formatOk = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB ||
                              p.format == SANE_FRAME_RED || p.format == SANE_FRAME_GREEN ||
                              p.format == SANE_FRAME_BLUE;
        if (!formatOk || (p.depth != 1 && p.depth != 8 && p.depth != 16) || p.pixels_per_line <= 0 ||
            p.bytes_per_line <= 0 || p.bytes_per_line < neededBytes(p) ||
            (long long)p.pixels_per_line * std::max(1, p.lines) > kMaxPixels ||
            (!first && p.pixels_per_line != image.width())) {
            LastError = QStringLiteral("スキャナの画像形式に対応していません");
            return false;
        }
        const bool knownLines = p.lines > 0;
        if (first) {
            image = QImage(p.pixels_per_line, knownLines ? p.lines : 256, QImage::Format_RGB32);
            if (image.isNull()) {
                LastError = QStringLiteral("メモリが足りません");
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
        QElapsedTimer idle, sinceEvents;
        idle.start();
        sinceEvents.start();
        for (;;) {
            if (CancelRequested) {
                LastError = QStringLiteral("取り止めました");
                return false;
            }
            SANE_Int len = 0;
            st = sane_read(h, buf.data(), SANE_Int(buf.size()), &len);
            if (st == SANE_STATUS_EOF)
                break;
            if (st != SANE_STATUS_GOOD) {
                LastError = statusText(st);
                return false;
            }
            if (len <= 0) {
                if (idle.elapsed() > kStallMs) {
                    LastError = QStringLiteral("スキャナから応答がありません");
                    return false;
                }
                if (fd >= 0) {
                    pollfd pfd{fd, POLLIN, 0};
                    poll(&pfd, 1, 50);
                } else {
                    QThread::msleep(5);
                }
                QCoreApplication::processEvents();
                continue;
            }
            idle.restart();
            if (sinceEvents.elapsed() > 100) {
                // Lets a cancel be requested while a long scan streams in.
                QCoreApplication::processEvents();
                sinceEvents.restart();
            }
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
                        LastError = QStringLiteral("画像が大きすぎます");
                        return false;
                    }
                    QImage grown(image.width(), int(newHeight), QImage::Format_RGB32);
                    if (grown.isNull()) {
                        LastError = QStringLiteral("メモリが足りません");
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
            LastError = QStringLiteral("画像が届きませんでした");
            return false;
        }
        if (first && y < image.height())
            image = image.copy(0, 0, image.width(), y); // fewer rows than announced, or grown too far
        first = false;
        if (p.last_frame)
            return true;
    }
}

} // namespace gf5
