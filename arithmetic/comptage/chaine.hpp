// SPDX-License-Identifier: GPL-3.0-or-later
// A chain of 0/1 steps over one table of counts, shared by two threads:
// the step of item m_k runs from the top of the table down, a stretch
// behind the step of m_(k-1), far enough (m_k cells) that every cell it
// reads is already final for m_(k-1) and that m_(k-1) no longer reads the
// cells it writes. Each thread takes the next step as soon as it is free,
// so that the steps also run one after the other when only one thread
// turns up; two steps close behind each other share the caches.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "noyaux.hpp"
#include "suivi.hpp"

// f[s] += f[s - m] (mod p) for s from top down to m, for each m of items
// in order (every m at most top), on fils threads (deux_fils.hpp).
void chaine_desc(u64* f, std::size_t top, std::span<const u64> items, u64 p, unsigned fils, std::atomic<int>* libres,
                 Suivi* suivi, Progres& pr);
void chaine_desc(u32* f, std::size_t top, std::span<const u64> items, u32 p, unsigned fils, std::atomic<int>* libres,
                 Suivi* suivi, Progres& pr);
