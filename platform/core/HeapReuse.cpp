#include "platform/core/HeapReuse.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc's
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tallyline {

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    // Qt's PDF writer compresses each page through buffers of 10 MiB that it
    // frees again, mostly untouched; glibc would map each one afresh and trim
    // the heap after it. Blocks up to the largest threshold glibc takes come
    // from the heap, and a free top of the heap up to four times that stays.
    constexpr int kLargestFromHeap = 32 << 20;
    constexpr int kMostKeptFree = 4 * kLargestFromHeap;
    mallopt(M_MMAP_THRESHOLD, kLargestFromHeap);
    mallopt(M_TRIM_THRESHOLD, kMostKeptFree);
#endif
}

void ShareOneHeap() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace tallyline
