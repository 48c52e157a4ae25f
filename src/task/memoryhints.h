#pragma once
// Hints to the kernel and the allocator for the large buffers playback and the sessions fill.

#include <cstddef>
#include <cstdint>
#include <malloc.h>
#include <sys/mman.h>

// A large buffer about to be filled front to back: transparent huge pages spare most of its
// page faults (a 95 MB file would otherwise take some 24000 of them). A hint only: nothing
// changes where the kernel does not take it.
inline void advise_huge_pages(void *data, size_t size)
{
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    if (size < 4 * kHuge)
        return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kHuge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
}

// A large buffer whose contents are no longer needed, kept for the next fill: the kernel may
// take its pages back whenever it is short of memory, and until it does, the next fill writes
// into memory that is already there (no fault, no zeroing). A hint only, like the one above.
inline void release_lazily(void *data, size_t size)
{
    constexpr uintptr_t kPage = 4096;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kPage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_FREE);
}

// Gives the memory the allocator holds free back to the system. The frames of a session are
// copied on the receivers' threads and freed on the GUI thread, so the allocator keeps what they
// used in the receivers' arenas after the session has ended; a session's end is when that is
// worth the walk over them.
inline void return_free_memory()
{
    ::malloc_trim(0);
}
