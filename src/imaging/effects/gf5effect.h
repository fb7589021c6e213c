#pragma once
// Image operations on stored images. Each operation reads SourceImage (and,
// where it takes one, a polygon region), leaves its product in ResultImage
// (owned by the caller from then on) and returns nonzero on success, 0 on
// failure or cancellation. The source image is never changed.
//
// Region: xs/ys hold n corners of a polygon in image pixels. With AreaMode 2
// only pixels inside the polygon change; the inside follows the platform
// rule for rectangles: corners (L,T),(R,T),(R,B),(L,B) cover x in [L, R) and
// y in [T, B). AreaMode 1 (or n < 3) is the whole image.
//
// Every operation clears CancelRequested when it starts, so a cancel applies
// to the operation that is running and never to the next one. Results are
// 24-bit RGB32 images (ConvertBitDepth, CreateImage and Duplicate excepted)
// carrying the source's resolution; any stored format is accepted as source.
#include <QObject>
#include <QRect>
#include <cstdint>

namespace gf5 {

class Gf5Effect : public QObject {
    Q_OBJECT
public:
    explicit Gf5Effect(QObject* parent = nullptr) : QObject(parent) {}

    int32_t SourceImage = 0;
    int32_t AuxSourceImage = 0;
    int32_t ResultImage = 0;
    int32_t AuxImage = 0;
    int16_t AreaMode = 1;
    bool ReportProgress = false;
    bool CancelRequested = false;
    // Brightness, ToneCurve and Saturation change SourceImage itself when it
    // is stored as RGB32, and ResultImage then names SourceImage (one handle,
    // released once): no second image is made. Such a change runs to its end
    // once begun, as a half-changed image would be neither state; a cancel
    // stops it only before it starts. Other sources get a new image as usual.
    bool InPlace = false;

    // Smooths outlines (3x3 Gaussian where the neighbourhood holds an edge).
    int32_t Antialias(const int32_t* xs, const int32_t* ys, int n);
    // Unsharp mask; each level adds half the detail again (0 = unchanged).
    int32_t Sharpen(const int32_t* xs, const int32_t* ys, int n, int16_t level);
    // Removes scan dust (isolated dark specks) and pinholes in dark areas
    // without eating one-pixel lines, dotted lines or text. a: largest
    // speck width and height in pixels (0 = about 0.25 mm at the image's
    // resolution: 4 px at 400 dpi); b: how far specks fade to the colour
    // around them in percent (0 = 100).
    int32_t Denoise(const int32_t* xs, const int32_t* ys, int n, int16_t a, int16_t b);
    // Blocks of w x h (both >= 1) from the region's top-left, each averaged.
    int32_t Mosaic(const int32_t* xs, const int32_t* ys, int n, int32_t w, int32_t h);
    // Box blur of (2 * level + 1) pixels square: level 1 is 3x3.
    int32_t Blur(const int32_t* xs, const int32_t* ys, int n, int16_t level);
    // amount -100 gives grey scale; 0 leaves colours; positive saturates.
    int32_t Saturation(const int32_t* xs, const int32_t* ys, int n, int32_t amount);
    // Adds a to every channel (clamped); b and c are unused options.
    int32_t Brightness(const int32_t* xs, const int32_t* ys, int n, int32_t a, int32_t b, int32_t c);
    // Maps each channel whose switch is 1 through the straight-line pieces
    // joining (in[i], out[i]), i < count; halves round up (215 on the piece
    // 210->210, 220->255 gives 233).
    int32_t ToneCurve(const int32_t* xs, const int32_t* ys, int n, const int32_t* in,
                      const int32_t* out, int count, int32_t r, int32_t g, int32_t b);
    // The polygon's bounding part of the image (clipped to the image), pixels
    // outside the polygon in the colour; AreaMode 1 or n == 0: the whole image.
    int32_t CutOutRegion(const int32_t* xs, const int32_t* ys, int n, int16_t r, int16_t g, int16_t b);
    // Copy of SourceImage in its own format and bit depth.
    int32_t Duplicate();
    // bits 1, 4, 8, 24 or 32; sizes below 1 or beyond memory fail.
    int32_t CreateImage(int32_t w, int32_t h, int16_t bits, int16_t r, int16_t g, int16_t b);
    // bits 1, 4, 8, 24 (RGB32) or 32 (ARGB32); transparent pixels become white.
    int32_t ConvertBitDepth(int16_t bits, int32_t a, int32_t b, int16_t c);
    // angle in hundredths of a degree, counter-clockwise. Multiples of 90
    // degrees are exact and swap width and height; other angles grow the
    // image so no corner is lost, filling uncovered parts with (r, g, b).
    // Mirroring (flipH left-right, flipV top-bottom) is applied before turning.
    // option2 kRotateKeepsSize: other angles keep width and height instead,
    // with a sharper resampling, for small straightening turns of scans.
    static constexpr int32_t kRotateKeepsSize = 1;
    int32_t Rotate(int32_t angle, int32_t flipH, int32_t flipV, int32_t option,
                   int16_t r, int16_t g, int16_t b, int32_t option2);
    // Area averaging when shrinking, bilinear when growing.
    int32_t Resize(int32_t w, int32_t h, int32_t option);
    // base with overlay placed at (left, top); overlay pixels whose channels
    // lie within [keyLowR..keyHigh] (all 255: pure white) are left out.
    // opacity 255 covers the base; lower values mix the overlay into it.
    int32_t OverlayWithKey(int32_t base, int32_t overlay, int16_t keyR, int16_t keyG, int16_t keyB,
                           int16_t keyR2, int16_t keyG2, int16_t keyB2, int16_t opacity,
                           int32_t left, int32_t top, int32_t option);
    int32_t CopySourceToClipboard();
    // The clipboard picture as a 24-bit image laid on white; 0 when none.
    int32_t GetClipboardImage();

signals:
    void Progress(int16_t percent);

public:
    // Helpers for operation implementations (one operation per file).
    // Reports progress (when ReportProgress) and lets the caller's progress
    // handler run; returns false when the operation must stop (cancelled).
    bool progress(int percent);
    // The region an operation covers, clipped to an image of size w x h.
    QRect regionBounds(const int32_t* xs, const int32_t* ys, int n, int w, int h) const;
};

} // namespace gf5
