#include "imaging/io/pngcodec.h"
#include "imaging/effects/effectcore.h"
#include <QtEndian>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <png.h>

namespace gf5::io {

namespace {

enum class Refusal { None, Cancelled, TooLarge, Incomplete, Damaged };

struct PngState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const uchar* data = nullptr;
    qint64 size = 0;
    qint64 at = 0;
    bool ranOut = false;   // a read went past the end of the file
    bool rowsDone = false; // every row of every pass was decoded
    QImage image;
    QList<QRgb> table; // colours of an indexed picture
    int bitDepth = 0;
    Refusal refusal = Refusal::None;
    char message[256] = {};
};

// libpng must not return from its error handler: it jumps back to the
// setjmp of runDecoder, whose frame holds no object with a destructor.
[[noreturn]] void onError(png_structp png, png_const_charp message)
{
    auto* st = static_cast<PngState*>(png_get_error_ptr(png));
    std::strncpy(st->message, message ? message : "", sizeof(st->message) - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep out, size_t count)
{
    auto* st = static_cast<PngState*>(png_get_io_ptr(png));
    if (qint64(count) > st->size - st->at) {
        st->ranOut = true;
        png_error(png, "end of file");
    }
    std::memcpy(out, st->data + st->at, count);
    st->at += qint64(count);
}

// Chunks that do not change the pixels are skipped unread (text, profiles,
// suggested palettes): nothing is decompressed or kept for them.
void skipAncillaryChunks(png_structp png)
{
    static const png_byte skipped[] = {'i', 'C', 'C', 'P', 0, 'i', 'T', 'X', 't', 0, 't', 'E', 'X', 't', 0,
                                       'z', 'T', 'X', 't', 0, 's', 'P', 'L', 'T', 0, 'e', 'X', 'I', 'f', 0,
                                       'h', 'I', 'S', 'T', 0, 't', 'I', 'M', 'E', 0};
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, skipped, int(sizeof(skipped) / 5));
}

bool refuse(PngState& st, Refusal why)
{
    st.refusal = why;
    return false;
}

// Runs the decoder into st.image; false on error, refusal or cancel.
bool runDecoder(PngState& st, const std::function<bool(int)>& progress)
{
    png_structp png = st.png;
    png_infop info = st.info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &st, readBytes);
    // The size limit is the imaging layer's (checked below), and an
    // ancillary chunk may not make libpng allocate more than a few MB.
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_set_chunk_malloc_max(png, 8 << 20);
    png_set_chunk_cache_max(png, 1000);
    // Problems libpng would pass over by default (a palette index beyond the
    // palette, image data left over) are refusals: the picture is not what
    // the file's writer meant.
    png_set_benign_errors(png, 0);
    skipAncillaryChunks(png);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (!fx::sizeAllowed(width, height))
        return refuse(st, Refusal::TooLarge);
    // Deflate expands at most 1032 times: the file must hold the filtered
    // rows it claims (a filter byte and the packed samples of each row).
    const qint64 rowBytes = (qint64(width) * png_get_channels(png, info) * depth + 7) / 8 + 1;
    if (rowBytes * qint64(height) > st.size * 1032)
        return refuse(st, Refusal::Incomplete);

    const bool transparent =
        (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (depth == 16)
        png_set_scale_16(png); // rounds to the nearest 8-bit value
    QImage::Format format;
    QList<QRgb>& table = st.table;
    if (transparent) {
        png_set_expand(png); // palette to colour, small greys to 8 bits, tRNS to alpha
        if ((colourType & PNG_COLOR_MASK_COLOR) == 0)
            png_set_gray_to_rgb(png);
        png_set_bgr(png); // B, G, R, A: ARGB32 in memory
        format = QImage::Format_ARGB32;
        st.bitDepth = 32;
    } else if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (!png_get_PLTE(png, info, &palette, &count) || count <= 0)
            png_error(png, "missing PLTE");
        for (int i = 0; i < count; ++i)
            table << qRgb(palette[i].red, palette[i].green, palette[i].blue);
        if (depth == 1) {
            format = QImage::Format_Mono; // both pack the most significant bit first
        } else {
            png_set_packing(png);
            format = QImage::Format_Indexed8;
        }
        st.bitDepth = depth == 1 ? 1 : 8;
    } else if (colourType == PNG_COLOR_TYPE_GRAY) {
        if (depth == 1) {
            format = QImage::Format_Mono;
            table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
            st.bitDepth = 1;
        } else {
            if (depth < 8)
                png_set_expand_gray_1_2_4_to_8(png);
            format = QImage::Format_Grayscale8;
            st.bitDepth = 8;
        }
    } else {
        png_set_bgr(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER); // B, G, R, 0xFF: RGB32 in memory
        format = QImage::Format_RGB32;
        st.bitDepth = 24;
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    st.image = fx::allocate(int(width), int(height), format);
    if (st.image.isNull())
        return refuse(st, Refusal::TooLarge);
    if (png_get_rowbytes(png, info) > size_t(st.image.bytesPerLine()))
        png_error(png, "row layout");
    if (!table.isEmpty()) {
        // Indexes past the palette are refused (see png_set_benign_errors),
        // but every index still gets an entry.
        while (table.size() < (format == QImage::Format_Mono ? 2 : 256))
            table << qRgb(0, 0, 0);
        st.image.setColorTable(table);
    }

    const qint64 total = qint64(passes) * height;
    int lastPercent = -1;
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(png, st.image.scanLine(int(y)), nullptr);
            const int percent = int((qint64(pass) * height + y + 1) * 100 / total);
            if (percent != lastPercent) {
                lastPercent = percent;
                if (progress && !progress(percent))
                    return refuse(st, Refusal::Cancelled);
            }
        }
    }
    st.rowsDone = true;
    // The rest of the file: the end of the image data and its checksum.
    png_read_end(png, nullptr);

    png_uint_32 xRes = 0, yRes = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &xRes, &yRes, &unit) && unit == PNG_RESOLUTION_METER && xRes > 0 && yRes > 0 &&
        xRes <= 0x7FFFFFFF && yRes <= 0x7FFFFFFF) {
        st.image.setDotsPerMeterX(int(xRes));
        st.image.setDotsPerMeterY(int(yRes));
    }
    return true;
}

// Words for the user for what libpng reported.
QString damageReason(const char* message)
{
    const QByteArray m(message);
    if (m.contains("CRC") || m.contains("checksum") || m.contains("adler"))
        return QStringLiteral("データの検査値が合いません");
    if (m.contains("Not enough") || m.contains("end of file") || m.contains("IDAT") || m.contains("IEND"))
        return QStringLiteral("画像のデータが足りません");
    if (m.contains("palette") || m.contains("PLTE"))
        return QStringLiteral("色表が正しくありません");
    if (m.contains("IHDR") || m.contains("bit depth") || m.contains("color type") || m.contains("Invalid") ||
        m.contains("signature") || m.contains("image width") || m.contains("image height"))
        return QStringLiteral("ヘッダーが正しくありません");
    if (m.contains("Too much") || m.contains("Extra"))
        return QStringLiteral("画像のデータが多すぎます");
    return QStringLiteral("データを解釈できません");
}

} // namespace

bool looksLikePng(const uchar* data, qint64 size)
{
    return size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1A\n", 8) == 0;
}

QSize pngSize(const uchar* data, qint64 size)
{
    if (!looksLikePng(data, size) || size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return {};
    const quint32 w = qFromBigEndian<quint32>(data + 16), h = qFromBigEndian<quint32>(data + 20);
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return {};
    return QSize(int(w), int(h));
}

PngImage decodePng(const uchar* data, qint64 size, const std::function<bool(int)>& progress)
{
    PngImage out;
    auto st = std::make_unique<PngState>();
    st->data = data;
    st->size = size;
    st->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, st.get(), onError, onWarning);
    if (st->png)
        st->info = png_create_info_struct(st->png);
    if (!st->png || !st->info) {
        png_destroy_read_struct(st->png ? &st->png : nullptr, nullptr, nullptr);
        out.error = QStringLiteral("画像が大きすぎてメモリーに収まりません");
        return out;
    }
    bool ok = runDecoder(*st, progress);
    // A file cut off after its last row is whole as a picture.
    if (!ok && st->refusal == Refusal::None && st->rowsDone && st->ranOut)
        ok = true;
    png_destroy_read_struct(&st->png, &st->info, nullptr);
    if (ok) {
        out.image = std::move(st->image);
        out.bitDepth = st->bitDepth;
        return out;
    }
    switch (st->refusal) {
    case Refusal::Cancelled:
        out.cancelled = true;
        out.error = QStringLiteral("読み込みを中止しました");
        break;
    case Refusal::TooLarge:
        out.error = QStringLiteral("画像が大きすぎてメモリーに収まりません");
        break;
    case Refusal::Incomplete:
        out.error = QStringLiteral("PNG ファイルが壊れているか途中で切れています: 画像の大きさに対してデータが足りません");
        break;
    default:
        out.error = QStringLiteral("PNG ファイルが壊れているか途中で切れています: %1").arg(damageReason(st->message));
        break;
    }
    return out;
}

} // namespace gf5::io
