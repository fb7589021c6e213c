#include "allocator.h"
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace gf5::memory {

bool returnLargeBlocksToSystem()
{
#if defined(__GLIBC__) && defined(M_MMAP_THRESHOLD)
    // Setting the threshold by hand also stops glibc from moving it.
    return mallopt(M_MMAP_THRESHOLD, int(kOwnMappingBytes)) == 1;
#else
    return false;
#endif
}

} // namespace gf5::memory
