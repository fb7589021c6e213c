#pragma once
// Shared machinery of the effect operations: fetching the source as RGB32,
// viewing QImage pixels as OpenCV matrices without copying, the region mask,
// banded processing with progress and cancellation, and storing the result.
#include "imaging/effects/gf5effect.h"
#include "imaging/store/imagestore.h"
#include <QImage>
#include <QRect>
#include <opencv2/core.hpp>
#include <functional>

namespace gf5::fx {

// Largest image the layer agrees to allocate, in bytes: a share of the
// machine's memory, so that absurd sizes fail cleanly instead of exhausting it.
qint64 maxImageBytes();
// True when a w x h image of bytesPerPixel fits the limit (and w, h >= 1).
bool sizeAllowed(qint64 w, qint64 h, int bytesPerPixel = 4);
// A new uninitialised image, or a null image when the size is refused or the
// memory cannot be had.
QImage allocate(int w, int h, QImage::Format format);
// The largest number of bytes allocate() has been asked for and allowed since
// the last reset, so that tests can prove a reader refused a damaged file
// before allocating its image.
qint64 largestAllocation();
void resetLargestAllocation();

// The image as RGB32: shared when it already is, pixels with alpha laid on
// white (paper), other formats converted. Null on failure.
QImage toRgb32(const QImage& image);
// The stored image under handle as RGB32 (null for 0, unknown or unusable).
QImage sourceRgb32(int32_t handle);

// OpenCV views of RGB32 pixels (B, G, R, A bytes), rows at the QImage stride.
// The image must already be detached for the writable view.
cv::Mat viewOf(QImage& image);
cv::Mat constViewOf(const QImage& image);

// Copies resolution and text of src to dst (same orientation).
void keepMetadata(const QImage& src, QImage& dst);

// Pixels an operation may change: bounds (clipped to the image) and, when the
// polygon is not an axis-aligned rectangle covering bounds exactly, a
// CV_8UC1 mask of bounds' size (255 inside).
struct Region {
    QRect bounds;
    cv::Mat mask;
    bool whole = false; // the whole image, no mask
};

// Scanline fill of a polygon with the pixel-centre rule (non-zero winding):
// pixel (x, y) is inside when (x + 0.5, y + 0.5) is. Corners (L,T),(R,T),
// (R,B),(L,B) give exactly x in [L, R), y in [T, B). mask covers the
// rectangle 'area' of the image; coordinates may lie anywhere.
void fillPolygonMask(const int32_t* xs, const int32_t* ys, int n, const QRect& area, cv::Mat& mask);

// The region of an operation with the effect's AreaMode on an image w x h.
Region makeRegion(const Gf5Effect& fx, const int32_t* xs, const int32_t* ys, int n, int w, int h);

// Emits progress for a running operation only when the percentage moved on;
// returns false when the operation must stop.
class ProgressSteps {
public:
    ProgressSteps(Gf5Effect& fx, int from = 0, int to = 100) : fx_(fx), from_(from), to_(to) {}
    // done of total steps finished.
    bool step(qint64 done, qint64 total);
    bool at(int percent);

private:
    Gf5Effect& fx_;
    int from_, to_;
    int last_ = -1;
};

// Rows per band so that a large image reports progress every percent or two.
int bandRows(int height, int minRows = 16);

// The usual shape of a region operation. fn(src, dst) computes dst (a band of
// the region's bounds) from src, a view of the same pixels of the whole
// source image: OpenCV filters read pixels beyond the band from the parent
// image, so bands join without seams. fn must write every pixel of dst;
// pixels outside the region are copied from the source, so they never
// change. Bands start at multiples of rowMultiple rows below the bounds'
// top. Returns 1 with the new handle in ResultImage, or 0 on failure or
// cancel (ResultImage unchanged).
using BandFn = std::function<void(const cv::Mat& src, cv::Mat& dst)>;
int32_t runRegionOperation(Gf5Effect& fx, const int32_t* xs, const int32_t* ys, int n, const BandFn& fn,
                           int rowMultiple = 1);

// As runRegionOperation for operations that map each pixel on its own
// (fn may get the same pixels as src and dst). With the effect's InPlace set
// and an RGB32 source, the source's own pixels change and ResultImage names
// the source; otherwise a new image is made.
int32_t runPointOperation(Gf5Effect& fx, const int32_t* xs, const int32_t* ys, int n, const BandFn& fn);

// Stores img with its bit depth and makes it the effect's result.
int32_t storeResult(Gf5Effect& fx, QImage img, int bitDepth = 24);

// Clamps to 0..255.
inline int clampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

} // namespace gf5::fx
