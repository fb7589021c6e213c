#pragma once
// How the C library's allocator treats large blocks. By default glibc raises
// its mmap threshold each time a large block is freed, so that later blocks
// of up to 32 MB come from the heap; freed there, they stay in the process
// (a heap is given back only from its top), and an editing session ends up
// holding about one image's worth of freed decoder rows, masks and matrices.
// A fixed threshold keeps every block of a megabyte or more in a mapping of
// its own, which goes back to the system the moment it is freed.
#include <cstddef>

namespace gf5::memory {

constexpr std::size_t kOwnMappingBytes = std::size_t(1) << 20;

// Fixes the threshold; call once at start, before large allocations. True
// when the allocator took the setting (false under allocators without it).
bool returnLargeBlocksToSystem();

} // namespace gf5::memory
