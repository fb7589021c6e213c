#include "imagestore.h"
#include <unordered_map>

namespace gf5 {
namespace {
struct Store {
    std::unordered_map<int32_t, StoredImage> images;
    int32_t next = 1;
};
Store& store() { static Store s; return s; }
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

void ImageStore::clear() { store().images.clear(); }

} // namespace gf5
