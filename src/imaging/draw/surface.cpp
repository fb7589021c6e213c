#include "surface.h"
#include <unordered_map>

namespace gf5 {
namespace {
std::unordered_map<int32_t, DrawingSurface*>& surfaces()
{
    static std::unordered_map<int32_t, DrawingSurface*> m;
    return m;
}
int32_t nextHandle = 0x1000;
}

int32_t SurfaceRegistry::add(DrawingSurface* surface)
{
    int32_t h = nextHandle++;
    surfaces()[h] = surface;
    return h;
}

void SurfaceRegistry::remove(int32_t handle) { surfaces().erase(handle); }

DrawingSurface* SurfaceRegistry::find(int32_t handle)
{
    auto it = surfaces().find(handle);
    return it == surfaces().end() ? nullptr : it->second;
}

} // namespace gf5
