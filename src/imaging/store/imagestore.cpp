#include "imagestore.h"
#include "bufferpool.h"
#include <unordered_map>
#include <unordered_set>

namespace gf5 {
namespace {
struct Store {
    std::unordered_map<int32_t, StoredImage> images;
    int32_t next = 1;
};
Store& store() { static Store s; return s; }
}

QImage ImageStore::allocate(int w, int h, QImage::Format format)
{
    return BufferPool::allocate(w, h, format);
}

QImage ImageStore::copy(const QImage& image) { return BufferPool::copy(image); }

bool ImageStore::copyPixels(int32_t from, int32_t to)
{
    if (from == to)
        return false;
    const StoredImage* src = get(from);
    StoredImage* dst = get(to);
    if (!src || !dst || !BufferPool::copyInto(src->image, dst->image))
        return false;
    dst->bitDepth = src->bitDepth;
    return true;
}

int32_t ImageStore::add(QImage image, int bitDepth)
{
    if (image.isNull())
        return 0;
    Store& s = store();
    int32_t h = s.next++;
    if (s.next <= 0)
        s.next = 1;
    s.images.emplace(h, StoredImage{std::move(image), bitDepth});
    return h;
}

StoredImage* ImageStore::get(int32_t handle)
{
    if (handle == 0)
        return nullptr;
    auto& m = store().images;
    auto it = m.find(handle);
    return it == m.end() ? nullptr : &it->second;
}

QImage* ImageStore::image(int32_t handle)
{
    StoredImage* s = get(handle);
    return s ? &s->image : nullptr;
}

bool ImageStore::release(int32_t handle)
{
    if (handle == 0)
        return false;
    return store().images.erase(handle) > 0;
}

int ImageStore::liveCount() { return int(store().images.size()); }

qint64 ImageStore::pixelBytes()
{
    std::unordered_set<const uchar*> seen;
    qint64 bytes = 0;
    for (const auto& [handle, stored] : store().images)
        if (!stored.image.isNull() && seen.insert(stored.image.constBits()).second)
            bytes += stored.image.sizeInBytes();
    return bytes;
}

void ImageStore::clear() { store().images.clear(); }

} // namespace gf5
