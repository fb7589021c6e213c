#pragma once
// The image store: every image of the imaging layer lives here and is named
// by a 32-bit handle (0 = none). Whoever receives a new handle releases it.
#include <QImage>
#include <cstdint>

namespace gf5 {

struct StoredImage {
    QImage image;      // RGB32 for full-colour images; Indexed8/Grayscale8/Mono/ARGB32 as read
    int bitDepth = 24; // depth reported to callers (24 for RGB32)
};

class ImageStore {
public:
    // A new image with uninitialised pixels for a result or a copy, null
    // when the memory cannot be had. Large buffers are recycled from images
    // that died (see bufferpool.h); every new image of the layer is made here.
    static QImage allocate(int w, int h, QImage::Format format);
    // A deep copy of image in a buffer of its own (see allocate).
    static QImage copy(const QImage& image);
    // Copies the pixels and depth of image from into image to, which keeps
    // its handle. False, with nothing changed, unless both exist, differ and
    // have the same size and format.
    static bool copyPixels(int32_t from, int32_t to);
    // Adds an image; returns its new handle, or 0 for a null image.
    static int32_t add(QImage image, int bitDepth = 24);
    // The stored image, or nullptr for 0, an unknown or a released handle.
    static StoredImage* get(int32_t handle);
    static QImage* image(int32_t handle);
    // Releases a handle; releasing 0, an unknown or an already released
    // handle is harmless and returns false.
    static bool release(int32_t handle);
    // Number of images alive, so tests can prove that commands release what
    // they create exactly once.
    static int liveCount();
    // Bytes of pixels the live images hold, a buffer shared by several
    // images (a snapshot not yet written to) counted once.
    static qint64 pixelBytes();
    // Releases everything (tests only).
    static void clear();
};

// Colour value as the editor uses it: red + 256 * green + 65536 * blue.
inline QRgb colourToRgb(int32_t c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
inline int32_t rgbToColour(QRgb c) { return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16); }

} // namespace gf5
