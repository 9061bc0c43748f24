// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace velquist::stealth {

// Allocates arrays of many megabytes on 2 MiB pages where the system offers them: the keyed
// order sends every access of the shuffle and of the embedder's gathers to a random page, and
// with small pages nearly each one would also miss the address translation cache. Elements are
// left uninitialised unless a value is given: the system hands out zeroed pages anyway, and
// most arrays are written whole before they are read.
template <typename T>
struct HugePageAllocator {
    using value_type = T;
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;

    HugePageAllocator() = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U>&) {}

    T* allocate(std::size_t count) {
        const std::size_t bytes = (count * sizeof(T) + kHugePage - 1) / kHugePage * kHugePage;
        void* memory = std::aligned_alloc(kHugePage, bytes);
        if (memory == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        // A Linux hint only: small pages work as well, just slower.
        madvise(memory, bytes, MADV_HUGEPAGE);
#endif
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t) { std::free(memory); }

    template <typename U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const HugePageAllocator<U>&) const { return true; }
};

template <typename T>
using LargeArray = std::vector<T, HugePageAllocator<T>>;

// Gives a buffer reused from segment to segment `size` elements, its old contents dropped. When
// it must grow, the old memory goes before the new comes, and with room to spare, since
// segments differ by a few positions: a vector left to grow itself would hold both at once.
template <typename Buffer>
void Refit(Buffer& buffer, std::size_t size) {
    if (buffer.capacity() < size) {
        buffer = Buffer();
        buffer.reserve(size + size / 16);
    }
    buffer.resize(size);
}

}  // namespace velquist::stealth
