// SPDX-License-Identifier: GPL-3.0-or-later
// A chain of 0/1 steps shared by two threads, by stretches of the table.
#include "chaine.hpp"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

#include "deux_fils.hpp"

namespace {

// Cells a step does between two reports of where it stands.
constexpr std::size_t kTroncon = std::size_t{1} << 16;

template <class T>
void chaine(T* f, std::size_t top, std::span<const u64> items, T p, unsigned fils, std::atomic<int>* libres,
            Suivi* suivi, Progres& pr) {
    const std::size_t n = items.size();
    // bas[k]: every cell from bas[k] up is done by step k (top + 1: none).
    std::vector<std::atomic<std::size_t>> bas(n);
    for (auto& b : bas) b.store(top + 1);
    std::atomic<std::size_t> suivant{0};
    std::atomic<bool> abandon{false};
    en_fils(fils, libres, suivi, pr, [&](unsigned, Progres& c) {
        try {
            for (std::size_t k; (k = suivant.fetch_add(1)) < n;) {
                const std::size_t m = items[k];
                for (std::size_t hi = top;;) {
                    const std::size_t lo = hi >= m + kTroncon ? hi + 1 - kTroncon : m;
                    // Step k - 1 done from lo - m up: what this stretch reads.
                    while (k > 0 && bas[k - 1].load(std::memory_order_acquire) > lo - m) {
                        if (abandon.load(std::memory_order_relaxed)) return;
                        c.point();
                        std::this_thread::yield();
                    }
                    ajoute_desc(f, lo, hi, m, p, c);
                    bas[k].store(lo, std::memory_order_release);
                    if (lo == m) break;
                    hi = lo - 1;
                }
                // Below m the step changes nothing.
                bas[k].store(0, std::memory_order_release);
                c.ajoute(top);
            }
        } catch (...) {
            abandon.store(true);
            throw;
        }
    });
}

}  // namespace

void chaine_desc(u64* f, std::size_t top, std::span<const u64> items, u64 p, unsigned fils, std::atomic<int>* libres,
                 Suivi* suivi, Progres& pr) {
    chaine(f, top, items, p, fils, libres, suivi, pr);
}

void chaine_desc(u32* f, std::size_t top, std::span<const u64> items, u32 p, unsigned fils, std::atomic<int>* libres,
                 Suivi* suivi, Progres& pr) {
    chaine(f, top, items, p, fils, libres, suivi, pr);
}
