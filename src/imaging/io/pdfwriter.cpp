// A one-page PDF holding one image at its own resolution.
#include "imaging/io/pdfwriter.h"
#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace gf5::io {

bool writePdfPage(const QImage& image, double dpi, const QString& title, QIODevice& device, QString* error)
{
    if (image.isNull() || !(dpi > 0)) {
        *error = QStringLiteral("PDFにする画像がありません");
        return false;
    }
    QPdfWriter writer(&device);
    writer.setTitle(title);
    writer.setCreator(QCoreApplication::applicationName());
    // The page is the image's own size at its resolution; an exact match
    // keeps a near-standard size from being snapped to the standard one.
    const QSizeF points(image.width() * 72.0 / dpi, image.height() * 72.0 / dpi);
    const QPageSize page(points, QPageSize::Point, QString(), QPageSize::ExactMatch);
    if (!writer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF()))) {
        *error = QStringLiteral("PDFのページを用意できませんでした");
        return false;
    }
    QPainter painter;
    if (!painter.begin(&writer)) {
        *error = QStringLiteral("PDFを書き始められませんでした");
        return false;
    }
    // Without this hint Qt stores pictures as lossy JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(QRectF(0, 0, writer.width(), writer.height()), image);
    if (!painter.end()) {
        *error = QStringLiteral("PDFを書き終えられませんでした");
        return false;
    }
    return true;
}

} // namespace gf5::io
