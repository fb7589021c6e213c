#include "batch/batch_job.h"
#include "batch/batch_walls.h"
#include "batch/batch_vectors.h"
#include "floorplan/underlay_rules.h"
#include "imaging/effects/effectcore.h"
#include "imaging/effects/gf5effect.h"
#include "imaging/effects/skew.h"
#include "imaging/effects/whiten.h"
#include "imaging/io/gf5file.h"
#include "imaging/io/imageread.h"
#include "imaging/store/imagestore.h"
#include "processing/size_rules.h"
#include "scale/stated_resolution.h"
#include "shell/settings.h"
#include "shell/userpaths.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>

namespace batch {

namespace {

// The picture being worked on: one stored image, replaced step by step and
// released at the end whatever happens.
class Current {
public:
    ~Current() { gf5::ImageStore::release(handle_); }
    int32_t handle() const { return handle_; }
    QImage* image() const { return gf5::ImageStore::image(handle_); }
    void replace(int32_t next)
    {
        if (next != handle_)
            gf5::ImageStore::release(handle_);
        handle_ = next;
    }
    // Runs an effect on the picture; false when it failed.
    template <class Op>
    bool apply(Op op)
    {
        gf5::Gf5Effect fx;
        fx.SourceImage = handle_;
        fx.AreaMode = 1;
        if (!op(fx))
            return false;
        replace(fx.ResultImage);
        return true;
    }

private:
    int32_t handle_ = 0;
};

void removeUnderlay(QImage& rgb)
{
    for (int y = 0; y < rgb.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(rgb.scanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            row[x] = floorplan::removeUnderlayPixel(row[x]);
    }
}

QImage withMargin(const QImage& rgb, int margin)
{
    QImage out = gf5::fx::allocate(rgb.width() + 2 * margin, rgb.height() + 2 * margin, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    out.fill(Qt::white);
    gf5::fx::keepMetadata(rgb, out);
    cv::Mat dst = gf5::fx::viewOf(out);
    gf5::fx::constViewOf(rgb).copyTo(dst(cv::Rect(margin, margin, rgb.width(), rgb.height())));
    return out;
}

// A new stored RGB32 copy of the picture, for steps that rework pixels.
int32_t rgbCopy(const QImage& image)
{
    QImage rgb = gf5::fx::toRgb32(image);
    if (rgb.isNull())
        return 0;
    rgb.detach();
    return gf5::ImageStore::add(std::move(rgb));
}

// The grey picture with one byte per pixel: Grayscale8, or for BMP (whose
// 8-bit form has a colour table) Indexed8 with a table of the 256 greys.
QImage eightBitGrey(const QImage& image, bool indexed)
{
    const QImage rgb = gf5::fx::toRgb32(image);
    QImage out = gf5::fx::allocate(rgb.width(), rgb.height(), indexed ? QImage::Format_Indexed8
                                                                      : QImage::Format_Grayscale8);
    if (rgb.isNull() || out.isNull())
        return {};
    gf5::fx::keepMetadata(rgb, out);
    if (indexed) {
        QList<QRgb> table(256);
        for (int v = 0; v < 256; ++v)
            table[v] = qRgb(v, v, v);
        out.setColorTable(table);
    }
    // The picture is grey already (equal channels): its green is its grey.
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* d = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            d[x] = uchar(qGreen(s[x]));
    }
    return out;
}

// The resolution the picture is worked on and written at, by the window's
// rules: --dpi when given, otherwise the file's own when it states a
// believable one, otherwise the settings file's print resolution.
double workingDpi(const QString& input, const Options& o)
{
    if (o.dpi > 0)
        return o.dpi;
    const QString programDir = userpaths::programFolder(QCoreApplication::applicationDirPath());
    const int settingsDpi = settings::resolutionFromSetting(settings::readSetting(programDir, "print", "dpi"));
    return scale::chooseResolution(scale::statedResolutionOfFile(input), settingsDpi).dpi;
}

} // namespace

QString formatForName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "jpg" || suffix == "jpeg")
        return "jpg";
    if (suffix == "png" || suffix == "pdf")
        return suffix;
    return "bmp";
}

QString processFile(const QString& input, const QString& output, const Options& o)
{
    const QString tooLarge = QStringLiteral("画像が大きすぎて処理できません");
    if (!o.allowLarge) {
        // The header alone tells the size, so a few kilobytes that claim a
        // picture of gigabytes cost nothing here; the window asks instead.
        const gf5::io::ImagePeek peek = gf5::io::peekImageFile(input);
        const qint64 bytes = peek.size.isValid() ? gf5::io::editingBytes(peek.size) : 0;
        if (bytes > gf5::io::kLargePictureBytes)
            return QStringLiteral("とても大きな画像です（%1 × %2 ピクセル、処理に約 %3 GB のメモリーを使います）。"
                                  "処理するには --allow-large を付けてください")
                .arg(peek.size.width())
                .arg(peek.size.height())
                .arg(double(bytes) / 1e9, 0, 'f', 1);
    }
    Current cur;
    {
        gf5::Gf5File reader;
        reader.FileName = input;
        reader.FileOperation = gf5::Gf5File::Read;
        if (!reader.Execute())
            return reader.LastError.isEmpty() ? QStringLiteral("読み込めませんでした") : reader.LastError;
        cur.replace(reader.ImageHandle);
    }
    if (!cur.image())
        return QStringLiteral("読み込めませんでした");
    // Every step (dust, paper, straightening, walls) and the written file
    // take the one resolution.
    {
        const int dpm = scale::dotsPerMetre(workingDpi(input, o));
        if (dpm > 0) {
            cur.image()->setDotsPerMeterX(dpm);
            cur.image()->setDotsPerMeterY(dpm);
        }
    }

    if (o.whiten) {
        const QImage white = gf5::whitenPaper(*cur.image());
        if (white.isNull())
            return tooLarge;
        cur.replace(gf5::ImageStore::add(white));
    }
    if (o.removeUnderlay) {
        const int32_t copy = rgbCopy(*cur.image());
        if (!copy)
            return tooLarge;
        cur.replace(copy);
        removeUnderlay(*cur.image());
    }
    if (o.denoise && !cur.apply([](gf5::Gf5Effect& fx) { return fx.Denoise(nullptr, nullptr, 0, 0, 100); }))
        return QStringLiteral("ノイズ除去に失敗しました");
    if (o.deskew) {
        const std::optional<int32_t> turn = gf5::straighteningTurn(*cur.image());
        if (turn && !cur.apply([angle = *turn](gf5::Gf5Effect& fx) {
                return fx.Rotate(angle, 0, 0, -1, 255, 255, 255, gf5::Gf5Effect::kRotateKeepsSize);
            }))
            return QStringLiteral("傾き補正に失敗しました");
    }
    if (o.grey && !cur.apply([](gf5::Gf5Effect& fx) { return fx.Saturation(nullptr, nullptr, 0, -100); }))
        return QStringLiteral("グレースケールにできませんでした");
    if (o.resizeLongSide > 0) {
        int32_t w = cur.image()->width(), h = cur.image()->height();
        processing::FitLongerSide(w, h, o.resizeLongSide);
        w = std::max(1, w);
        h = std::max(1, h);
        if (!cur.apply([w, h](gf5::Gf5Effect& fx) { return fx.Resize(w, h, -1); }))
            return tooLarge;
    }
    if (o.margin > 0) {
        const QImage bordered = withMargin(gf5::fx::toRgb32(*cur.image()), o.margin);
        if (bordered.isNull())
            return tooLarge;
        cur.replace(gf5::ImageStore::add(bordered));
    }
    if (const QString error = writeVectorFiles(*cur.image(), input, o); !error.isEmpty())
        return error;
    if (!o.wallsDir.isEmpty()) {
        const QString walls = wallsFileFor(input, o.wallsDir);
        const QString error = writeWallMap(*cur.image(), walls);
        if (!error.isEmpty() || output == walls)
            return error;
    }
    if (output.isEmpty())
        return {};

    const QString format = o.format.isEmpty() ? formatForName(output) : o.format;
    if (o.grey && format != "pdf") {
        // Grey pictures are written with one 8-bit channel: a third of the
        // size, the same picture.
        const QImage grey = eightBitGrey(*cur.image(), format == "bmp");
        if (grey.isNull())
            return tooLarge;
        cur.replace(gf5::ImageStore::add(grey, 8));
    }
    gf5::Gf5File writer;
    writer.FileName = output;
    writer.ImageHandle = cur.handle();
    writer.JpegQuality = int16_t(o.quality);
    writer.FileOperation = format == "jpg"   ? gf5::Gf5File::WriteJpeg
                           : format == "png" ? gf5::Gf5File::WritePng
                           : format == "pdf" ? gf5::Gf5File::WritePdf
                                             : gf5::Gf5File::WriteBmp;
    writer.DocumentTitle = QFileInfo(input).completeBaseName();
    if (!writer.Execute())
        return writer.LastError.isEmpty() ? QStringLiteral("書き込めませんでした") : writer.LastError;
    return {};
}

} // namespace batch
