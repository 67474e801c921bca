// SPDX-License-Identifier: GPL-3.0-or-later
// Memory of the counting tables: from 4 MiB on, mapped from the system and
// unmapped when freed, since the allocator would keep a freed table for the
// thread that held it, outside the budget, and a process of several threads
// would hold more than the budget says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// A table of cellules 64-bit cells, of unspecified content; nullptr when the
// system refuses.
std::uint64_t* memoire_obtenir(std::size_t cellules);

struct MemoireRendue {
    std::size_t cellules = 0;
    void operator()(std::uint64_t* p) const;
};
using Memoire = std::unique_ptr<std::uint64_t[], MemoireRendue>;
