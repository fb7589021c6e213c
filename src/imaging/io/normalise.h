#pragma once
// One treatment for every picture that comes from outside the program (files,
// thumbnails, previews, drops, the clipboard) before anything paints or
// processes it, and a checked way to read such a picture for showing it.
#include <QImage>
#include <QSize>
#include <QString>

namespace gf5::io {

enum class ImageUse {
    Canvas, // RGB32; transparent parts laid on white paper
    Store,  // Mono, Indexed8, Grayscale8, RGB32 or ARGB32 (as the image store keeps them)
};

// Makes a picture safe for every later use: an indexed picture gets a full
// colour table (256 entries, 2 for one bit per pixel; entries the source
// lacked are opaque black), so no pixel value can index past it; then it is
// converted for its use. Null for a null picture or when the memory for the
// conversion cannot be had.
QImage normaliseImage(QImage image, ImageUse use = ImageUse::Canvas);

// Reads an image file through the same checked readers as opening a
// document (a file is refused before anything is allocated when its bytes
// cannot hold the pixels it claims, and no pixel is left undefined),
// scaled down to fit box when box is valid and the picture is larger, and
// normalised for the canvas. Null with *error set (when given) on failure.
QImage readImageForDisplay(const QString& path, const QSize& box = QSize(), QString* error = nullptr);

} // namespace gf5::io
