// SPDX-License-Identifier: GPL-3.0-or-later
// A chain of steps over one table of counts, shared by two threads. A
// descending step (the 0/1 step of item m, f[s] += f[s - m], or its removal)
// runs from the top of the table down, a stretch behind the step before it,
// far enough (m cells) that every cell it reads is already final for that
// step and that that step no longer reads the cells it writes. An ascending
// step (running sums along the residues modulo m) runs from the bottom up
// the same way. Each thread takes the next step as soon as it is free, so
// that the steps also run one after the other when only one thread turns
// up; two steps close behind each other share the caches. The small
// descending steps go by groups, one thread each, that read each band of
// the table from memory once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "noyaux.hpp"
#include "suivi.hpp"

// What each step of a chain does to f[s] for s in [m, top].
enum class Pas {
    ajoute_desc,  // f[s] += f[s - m], s from top down
    retire_desc,  // f[s] -= f[s - m], s from top down
    ajoute_asc,   // f[s] += f[s - m], s from m up
};

// The steps of each m of items in order (every m at most top), modulo p, on
// fils threads (deux_fils.hpp).
void chaine(Pas pas, u64* f, std::size_t top, std::span<const u64> items, u64 p, unsigned fils,
            std::atomic<int>* libres, Suivi* suivi, Progres& pr);
void chaine(Pas pas, u32* f, std::size_t top, std::span<const u64> items, u32 p, unsigned fils,
            std::atomic<int>* libres, Suivi* suivi, Progres& pr);
