// SPDX-License-Identifier: GPL-3.0-or-later
// Tables from the allocator or mapped from the system, by size.
#include "memoire.hpp"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace {

// Tables from this size on are mapped from the system; smaller ones, which
// consecutive counts allocate often, come from the allocator.
constexpr std::size_t kMappee = std::size_t{4} << 20;

}  // namespace

std::uint64_t* memoire_obtenir(std::size_t cellules) {
    if (cellules == 0 || cellules > SIZE_MAX / sizeof(std::uint64_t)) return nullptr;
    const std::size_t octets = cellules * sizeof(std::uint64_t);
    if (octets < kMappee) return new (std::nothrow) std::uint64_t[cellules];
    void* p = mmap(nullptr, octets, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    // Large pages where the system has them: a table is touched whole, and
    // one fault per 2 MiB costs far less than one per 4 KiB.
    madvise(p, octets, MADV_HUGEPAGE);
    return static_cast<std::uint64_t*>(p);
}

void MemoireRendue::operator()(std::uint64_t* p) const {
    if (!p) return;
    if (cellules * sizeof(std::uint64_t) < kMappee)
        delete[] p;
    else
        munmap(p, cellules * sizeof(std::uint64_t));
}
