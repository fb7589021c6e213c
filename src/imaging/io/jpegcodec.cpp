#include "imaging/io/jpegcodec.h"
#include "imaging/effects/effectcore.h"
#include "imaging/store/prefault.h"
#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace gf5::io {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it
// jumps back to the setjmp of the function that runs the codec. Those
// functions keep every object with a destructor outside the jump's reach.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// A file whose scan data end before the image is complete is refused
// instead of being shown with grey rows (libjpeg only warns), whatever
// follows the data: an end marker does not make the image whole. In a
// single-scan Huffman-coded file whose rows are being decoded the end of the
// input may just be a missing end marker after complete data: that alone is
// accepted, and the decoder warns when it then runs out of data it actually
// needs. An arithmetic decoder never warns (it reads zeros once the data
// stop), so for arithmetic coding running past the end of the file is
// always a refusal.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level != -1)
        return;
    const int code = cinfo->err->msg_code;
    if (code == JWRN_JPEG_EOF) {
        const auto* d = cinfo->is_decompressor ? reinterpret_cast<j_decompress_ptr>(cinfo) : nullptr;
        if (d && !d->arith_code && !d->progressive_mode && d->comps_in_scan == d->num_components &&
            d->output_scanline > 0)
            return;
        onError(cinfo);
    }
    if (code == JWRN_HIT_MARKER)
        onError(cinfo);
}

void installErrors(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.message[0] = '\0';
}

enum class Refusal { None, Cancelled, TooLarge, Incomplete };

struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    QImage image;
    // Maps image's pages while rows are decoded; declared after image so
    // that it stops before image is released.
    std::unique_ptr<BackgroundPrefault> prefault;
    std::vector<uchar> row; // CMYK rows
    int bitDepth = 0;
    Refusal refusal = Refusal::None;
};

// The most pixels a file of `bytes` bytes can describe. Huffman coding costs
// every 8 x 8 block of the full-resolution component at least one bit for its
// DC difference and, in a sequential file, one more for the end of its AC
// coefficients; a progressive file's first DC scan still codes every block.
// Arithmetic coding has no such floor (a blank page codes in a few hundred
// bytes whatever its size), so its bound is measured: clean synthetic plans
// at 300 dpi (grey, quality 75 to 95) came to 115 to 330 pixels a byte, 750
// for a bare frame of walls on an empty page; progressive files to at most
// 210 beyond the blank page; real scans and photos to far fewer. 512 a byte
// sequential and 256 progressive keep those and hold a 64 kB file to 32 or
// 16 Mpixels, as Huffman coding does, so opening one costs no more than a
// few hundred MB even with the whole-image coefficient buffers progressive
// files need. Pictures up to 16 Mpixels open whatever they compress to (a
// blank A4 page at 300 dpi takes 127 bytes). Lossless and hierarchical files
// are refused by the decoder itself before any buffer is made.
qint64 mostPixels(qint64 bytes, bool progressive, bool arithmetic)
{
    if (arithmetic)
        return std::max<qint64>(bytes * (progressive ? 256 : 512), qint64(1) << 24);
    return bytes * (progressive ? 512 : 256);
}

// True when every coefficient of every component received data from some
// scan: a progressive file that stops before its later scans would
// otherwise show a blurred or grey picture.
bool progressiveComplete(const jpeg_decompress_struct& cinfo)
{
    if (!cinfo.progressive_mode || !cinfo.coef_bits)
        return true;
    for (int c = 0; c < cinfo.num_components; ++c)
        for (int k = 0; k < DCTSIZE2; ++k)
            if (cinfo.coef_bits[c][k] < 0)
                return false;
    return true;
}

void cmykToRgb32(const uchar* cmyk, QRgb* out, int width, bool adobeInverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!adobeInverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[x] = qRgb((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
    }
}

// Stops the decoder with a refusal; always false.
bool refuse(DecodeState& st, Refusal why)
{
    st.refusal = why;
    jpeg_destroy_decompress(&st.cinfo);
    return false;
}

// Runs the decoder; false on error, refusal or cancel. Only plain values
// live in this frame, so the error jump skips no destructor.
bool runDecoder(DecodeState& st, const uchar* data, size_t size, const std::function<bool(int)>& progress,
                const std::function<int(const QSize&)>& reduction)
{
    jpeg_decompress_struct& cinfo = st.cinfo;
    cinfo.err = &st.err.pub;
    installErrors(st.err);
    if (setjmp(st.err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // libjpeg's whole-image buffers (progressive and multi-scan files) stay
    // within the layer's image limit; beyond it the decoder stops.
    cinfo.mem->max_memory_to_use = long(std::min<qint64>(fx::maxImageBytes(), std::numeric_limits<long>::max()));
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);

    bool cmyk = false;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        st.bitDepth = 8;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        st.bitDepth = 32;
        cmyk = true;
        break;
    default:
        cinfo.out_color_space = JCS_EXT_BGRX; // the byte order of RGB32, padding 0xFF
        st.bitDepth = 24;
        break;
    }
    if (!fx::sizeAllowed(cinfo.image_width, cinfo.image_height))
        return refuse(st, Refusal::TooLarge);
    const qint64 pixels = qint64(cinfo.image_width) * cinfo.image_height;
    if (pixels > mostPixels(qint64(size), cinfo.progressive_mode, cinfo.arith_code))
        return refuse(st, Refusal::Incomplete);
    if (reduction) {
        cinfo.scale_num = 1;
        cinfo.scale_denom = unsigned(std::clamp(reduction(QSize(int(cinfo.image_width), int(cinfo.image_height))), 1, 8));
    }
    jpeg_start_decompress(&cinfo);
    if (!progressiveComplete(cinfo))
        return refuse(st, Refusal::Incomplete);
    const int width = int(cinfo.output_width), height = int(cinfo.output_height);
    st.image = fx::allocate(width, height, st.bitDepth == 8 ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (st.image.isNull())
        return refuse(st, Refusal::TooLarge);
    st.prefault = std::make_unique<BackgroundPrefault>(st.image.bits(), size_t(st.image.sizeInBytes()));
    if (cmyk)
        st.row.resize(size_t(width) * 4);

    int lastPercent = -1;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int row = int(cinfo.output_scanline);
        JSAMPROW target = cmyk ? st.row.data() : st.image.scanLine(row);
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1)
            break;
        if (cmyk)
            cmykToRgb32(target, reinterpret_cast<QRgb*>(st.image.scanLine(row)), width, cinfo.saw_Adobe_marker);
        const int percent = int(qint64(row + 1) * 100 / height);
        if (percent != lastPercent) {
            lastPercent = percent;
            if (progress && !progress(percent))
                return refuse(st, Refusal::Cancelled);
        }
    }
    st.prefault.reset();
    jpeg_finish_decompress(&cinfo);

    // Resolution from the JFIF header; without one the image keeps 96 dpi.
    if (cinfo.saw_JFIF_marker && cinfo.X_density > 0 && cinfo.Y_density > 0 &&
        (cinfo.density_unit == 1 || cinfo.density_unit == 2)) {
        const double perInch = cinfo.density_unit == 1 ? 1.0 : 2.54;
        st.image.setDotsPerMeterX(int(std::lround(cinfo.X_density * perInch / 0.0254)));
        st.image.setDotsPerMeterY(int(std::lround(cinfo.Y_density * perInch / 0.0254)));
    }
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Destination that writes to a QIODevice through a fixed buffer; a failed
// write is remembered and the rest of the output discarded.
struct DeviceDestination {
    jpeg_destination_mgr pub;
    QIODevice* device;
    bool failed;
    JOCTET buffer[64 * 1024];
};

void destInit(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<DeviceDestination*>(cinfo->dest);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = sizeof(d->buffer);
}

void destFlush(DeviceDestination* d, size_t bytes)
{
    if (!d->failed && bytes > 0 &&
        d->device->write(reinterpret_cast<const char*>(d->buffer), qint64(bytes)) != qint64(bytes))
        d->failed = true;
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = sizeof(d->buffer);
}

boolean destEmpty(j_compress_ptr cinfo)
{
    destFlush(reinterpret_cast<DeviceDestination*>(cinfo->dest), sizeof(DeviceDestination::buffer));
    return TRUE;
}

void destTerm(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<DeviceDestination*>(cinfo->dest);
    destFlush(d, sizeof(d->buffer) - d->pub.free_in_buffer);
}

struct EncodeState {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    DeviceDestination dest;
};

bool runEncoder(EncodeState& st, const QImage& image, int quality)
{
    jpeg_compress_struct& cinfo = st.cinfo;
    cinfo.err = &st.err.pub;
    installErrors(st.err);
    if (setjmp(st.err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    st.dest.pub.init_destination = destInit;
    st.dest.pub.empty_output_buffer = destEmpty;
    st.dest.pub.term_destination = destTerm;
    cinfo.dest = &st.dest.pub;

    const bool grey = image.format() == QImage::Format_Grayscale8;
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = grey ? 1 : 4;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1; // dots per inch
    cinfo.X_density = UINT16(std::clamp<long>(std::lround(image.dotsPerMeterX() * 0.0254), 1, 65535));
    cinfo.Y_density = UINT16(std::clamp<long>(std::lround(image.dotsPerMeterY() * 0.0254), 1, 65535));
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

namespace {

struct PeekState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    QSize size;
};

bool runPeek(PeekState& st, const uchar* data, size_t size)
{
    jpeg_decompress_struct& cinfo = st.cinfo;
    cinfo.err = &st.err.pub;
    installErrors(st.err);
    if (setjmp(st.err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    st.size = QSize(int(std::min<JDIMENSION>(cinfo.image_width, std::numeric_limits<int>::max())),
                    int(std::min<JDIMENSION>(cinfo.image_height, std::numeric_limits<int>::max())));
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

QSize jpegSize(const uchar* data, size_t size)
{
    auto st = std::make_unique<PeekState>();
    return runPeek(*st, data, size) ? st->size : QSize();
}

bool looksLikeJpeg(const char* data, qint64 size)
{
    return size >= 2 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xD8;
}

JpegImage decodeJpeg(const uchar* data, size_t size, const std::function<bool(int)>& progress,
                     const std::function<int(const QSize&)>& reduction)
{
    JpegImage out;
    auto st = std::make_unique<DecodeState>();
    const bool ok = runDecoder(*st, data, size, progress, reduction);
    if (ok) {
        out.image = std::move(st->image);
        out.bitDepth = st->bitDepth;
        return out;
    }
    out.cancelled = st->refusal == Refusal::Cancelled;
    switch (st->refusal) {
    case Refusal::Cancelled:
        out.error = QStringLiteral("読み込みを中止しました");
        break;
    case Refusal::TooLarge:
        out.error = QStringLiteral("画像が大きすぎてメモリーに収まりません");
        break;
    case Refusal::Incomplete:
        out.error = QStringLiteral("JPEG ファイルが壊れているか途中で切れています: 画像の一部のデータがありません");
        break;
    default:
        out.error = QStringLiteral("JPEG ファイルが壊れているか途中で切れています: %1")
                        .arg(QString::fromLocal8Bit(st->err.message));
        break;
    }
    return out;
}

bool encodeJpeg(const QImage& image, int quality, QIODevice& device, QString* error)
{
    QImage rows = image;
    if (rows.format() != QImage::Format_RGB32 && rows.format() != QImage::Format_Grayscale8)
        rows = fx::toRgb32(image);
    if (rows.isNull()) {
        if (error)
            *error = QStringLiteral("画像を変換できませんでした");
        return false;
    }
    auto st = std::make_unique<EncodeState>();
    st->dest.device = &device;
    st->dest.failed = false;
    const bool ok = runEncoder(*st, rows, std::clamp(quality, 1, 100));
    if (ok && !st->dest.failed)
        return true;
    if (error)
        *error = st->dest.failed ? QStringLiteral("ファイルに書き込めませんでした（%1）").arg(device.errorString())
                                 : QStringLiteral("JPEG に変換できませんでした（%1）").arg(QString::fromLocal8Bit(st->err.message));
    return false;
}

} // namespace gf5::io
