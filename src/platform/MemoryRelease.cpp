#include "platform/MemoryRelease.h"

#include <cstdlib> // any C library header defines __GLIBC__ on glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
// Every picture, its PNG and the history's snapshots are larger; ordinary objects are not.
constexpr int kOwnMappingFrom = 128 * 1024;
} // namespace

void memoryrelease::mapLargeBuffers() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom);
#endif
}

void memoryrelease::giveBackFreeMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
