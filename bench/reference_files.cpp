#include "reference_files.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/pngwriter.h"
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>
#include <opencv2/imgproc.hpp>
#include <png.h>
#include <vector>
#ifdef ZORVAT_BENCH_TURBOJPEG
#include <turbojpeg.h>
#endif

namespace bench::ref {

namespace {

bool writeAll(const QString& path, const void* data, size_t size)
{
    FILE* f = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// The whole file in a buffer kept between runs.
bool readAll(const QString& path, std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path.toLocal8Bit().constData(), "rb");
    if (!f)
        return false;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    bytes.resize(size_t(std::max(0L, size)));
    const bool ok = size > 0 && std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    return ok;
}

} // namespace

#ifdef ZORVAT_BENCH_TURBOJPEG
bool haveTurboJpeg() { return true; }

Outcome turboJpegWrite(const QImage& plan, const QString& path, int quality)
{
    static tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const bool ok = tjCompress2(tj, plan.constBits(), plan.width(), int(plan.bytesPerLine()), plan.height(), TJPF_BGRX,
                                &jpeg, &size, TJSAMP_420, quality, 0) == 0 &&
                    writeAll(path, jpeg, size);
    tjFree(jpeg);
    return Outcome{ok, 0};
}

Outcome turboJpegRead(const QString& path, QImage& img)
{
    static tjhandle tj = tjInitDecompress();
    static std::vector<unsigned char> bytes;
    int w = 0, h = 0, sub = 0, space = 0;
    if (!readAll(path, bytes) || tjDecompressHeader3(tj, bytes.data(), bytes.size(), &w, &h, &sub, &space) != 0 ||
        w != img.width() || h != img.height())
        return {};
    return Outcome{tjDecompress2(tj, bytes.data(), bytes.size(), img.bits(), w, int(img.bytesPerLine()), h, TJPF_BGRX,
                                 0) == 0,
                   0};
}
#else
bool haveTurboJpeg() { return false; }
Outcome turboJpegWrite(const QImage&, const QString&, int) { return {}; }
Outcome turboJpegRead(const QString&, QImage&) { return {}; }
#endif

Outcome libpngWrite(const QImage& plan, const QString& path)
{
    FILE* f = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!f)
        return {};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    volatile bool ok = false;
    if (!setjmp(png_jmpbuf(png))) {
        const gf5::io::PngSettings s = gf5::io::pngSettings();
        png_init_io(png, f);
        png_set_IHDR(png, info, png_uint_32(plan.width()), png_uint_32(plan.height()), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, s.filter);
        png_set_compression_level(png, s.level);
        png_set_compression_strategy(png, s.strategy);
        png_write_info(png, info);
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        for (int y = 0; y < plan.height(); ++y)
            png_write_row(png, const_cast<png_bytep>(plan.constScanLine(y)));
        png_write_end(png, info);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return Outcome{std::fclose(f) == 0 && ok, 0};
}

Outcome libpngRead(const QString& path, QImage& img)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.toLocal8Bit().constData()))
        return {};
    image.format = PNG_FORMAT_BGRA;
    const bool fits = int(image.width) == img.width() && int(image.height) == img.height();
    const bool ok = fits && png_image_finish_read(&image, nullptr, img.bits(), png_int_32(img.bytesPerLine()), nullptr);
    png_image_free(&image);
    return Outcome{ok, 0};
}

Outcome bmpWrite(const QImage& plan, const QString& path)
{
    const int w = plan.width(), h = plan.height();
    const int stride = (w * 3 + 3) & ~3;
    static std::vector<unsigned char> file;
    file.assign(54, 0);
    file.resize(54 + size_t(stride) * size_t(h));
    auto put32 = [&](int at, quint32 v) { std::memcpy(&file[size_t(at)], &v, 4); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, quint32(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(w));
    put32(22, quint32(h));
    file[26] = 1;
    file[28] = 24;
    put32(38, quint32(plan.dotsPerMeterX()));
    put32(42, quint32(plan.dotsPerMeterY()));
    const cv::Mat src = gf5::fx::constViewOf(plan);
    for (int y = 0; y < h; ++y) {
        cv::Mat row(1, w, CV_8UC3, &file[54 + size_t(stride) * size_t(h - 1 - y)]);
        cv::cvtColor(src.row(y), row, cv::COLOR_BGRA2BGR);
    }
    return Outcome{writeAll(path, file.data(), file.size()), 0};
}

Outcome bmpRead(const QString& path, QImage& img)
{
    static std::vector<unsigned char> file;
    if (!readAll(path, file) || file.size() < 54)
        return {};
    qint32 w = 0, h = 0;
    quint32 offset = 0;
    std::memcpy(&offset, &file[10], 4);
    std::memcpy(&w, &file[18], 4);
    std::memcpy(&h, &file[22], 4);
    const int stride = (w * 3 + 3) & ~3;
    if (w != img.width() || std::abs(h) != img.height() || file[28] != 24 ||
        offset + size_t(stride) * size_t(std::abs(h)) > file.size())
        return {};
    cv::Mat out = gf5::fx::viewOf(img);
    for (int y = 0; y < img.height(); ++y) {
        const int fileRow = h > 0 ? img.height() - 1 - y : y;
        const cv::Mat row(1, w, CV_8UC3, &file[offset + size_t(stride) * size_t(fileRow)]);
        cv::Mat dst = out.row(y);
        cv::cvtColor(row, dst, cv::COLOR_BGR2BGRA);
    }
    return Outcome{true, 0};
}

QString img2pdfProgram() { return QStandardPaths::findExecutable(QStringLiteral("img2pdf")); }

Outcome img2pdf(const QString& pngPath, const QString& pdfPath)
{
    QProcess p;
    p.start(img2pdfProgram(), {pngPath, QStringLiteral("-o"), pdfPath});
    return Outcome{p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, 0};
}

} // namespace bench::ref
