#include "platform/MemoryRelease.h"

#include <QtGui/private/qfont_p.h>
#include <cstdlib> // any C library header defines __GLIBC__ on glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
// Full-screen pictures are larger. Below it stay PNGs, small pictures and the
// painter's per-repaint scratch (a span list of rows times rectangles, a few hundred kB at
// 4K), which would otherwise be mapped, faulted in and unmapped on every pointer move.
constexpr int kOwnMappingFrom = 1024 * 1024;
// Free memory at the top of the heap kept for the next repaint instead of handed back on
// every free; a capture's end hands all of it back.
constexpr int kKeepFreeOnTop = 4 * 1024 * 1024;
} // namespace

void memoryrelease::mapLargeBuffers() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom);
    mallopt(M_TRIM_THRESHOLD, kKeepFreeOnTop);
#endif
}

void memoryrelease::giveBackFreeMemory() {
    // Qt keeps every font it has loaded, with its shaping tables and rendered glyphs, until
    // the process ends; after a capture that is the large Chinese face of its texts. Qt
    // loads a font again when text in it is next drawn.
    QFontCache::instance()->clear();
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
