// SPDX-License-Identifier: GPL-3.0-or-later
// A chain of steps shared by two threads, by stretches of the table.
#include "chaine.hpp"

#include <algorithm>
#include <exception>
#include <limits>
#include <thread>
#include <utility>
#include <vector>

#include "deux_fils.hpp"

namespace {

// Cells a step does between two reports of where it stands.
constexpr std::size_t kTroncon = std::size_t{1} << 16;
// Descending steps of items up to kBande go by groups of kPasGroupe: one
// thread runs them together, each a band of kBande cells below the one
// before, so that the table is read from memory once per group.
constexpr std::size_t kBande = std::size_t{1} << 14;
constexpr std::size_t kPasGroupe = 8;
constexpr std::size_t kFini = std::numeric_limits<std::size_t>::max();

template <class T>
void enchaine(Pas pas, T* f, std::size_t top, std::span<const u64> items, T p, unsigned fils, std::atomic<int>* libres,
              Suivi* suivi, Progres& pr) {
    const std::size_t n = items.size();
    const bool montant = pas == Pas::ajoute_asc;
    // Where each step stands: going down, every cell from bord[k] up is
    // done (top + 1: none, 0: all); going up, every cell below bord[k]
    // (0: none, kFini: all).
    std::vector<std::atomic<std::size_t>> bord(n);
    for (auto& b : bord) b.store(montant ? 0 : top + 1);
    // The units of work, [debut, fin) of items: a group of small
    // descending steps, or one step.
    std::vector<std::pair<std::size_t, std::size_t>> unites;
    for (std::size_t k = 0; k < n;) {
        std::size_t fin = k + 1;
        if (!montant)
            while (fin < n && fin - k < kPasGroupe && items[k] <= kBande && items[fin] <= kBande) ++fin;
        unites.emplace_back(k, fin);
        k = fin;
    }
    std::atomic<std::size_t> suivant{0};
    std::atomic<bool> abandon{false};
    en_fils(fils, libres, suivi, pr, [&](unsigned, Progres& c) {
        // Waits until step k - 1 allows the stretch [lo, hi] of step k.
        const auto attend = [&](std::size_t k, std::size_t lo, std::size_t hi) {
            if (k == 0) return true;
            const std::size_t m = items[k], avant = items[k - 1];
            for (;;) {
                const std::size_t b = bord[k - 1].load(std::memory_order_acquire);
                // Down: step k - 1 done from lo - m up. Up: done up to hi,
                // and its reads (from b - avant on) above hi.
                if (montant ? b == kFini || b >= hi + 1 + avant : b <= lo - m) return true;
                if (abandon.load(std::memory_order_relaxed)) return false;
                c.point();
                std::this_thread::yield();
            }
        };
        try {
            for (std::size_t u; (u = suivant.fetch_add(1)) < unites.size();) {
                const auto [k, fin] = unites[u];
                const std::size_t m = items[k];
                if (fin > k + 1) {
                    // Round t: step k + i on band t - i (bands from the top).
                    const std::size_t bandes = top / kBande + 1, g = fin - k;
                    for (std::size_t t = 0; t + 1 < bandes + g; ++t)
                        for (std::size_t i = 0; i < g && i <= t; ++i) {
                            const std::size_t j = t - i, mi = items[k + i];
                            if (j >= bandes || top - j * kBande < mi) continue;
                            const std::size_t hi = top - j * kBande;
                            const std::size_t lo = std::max(mi, hi >= kBande ? hi + 1 - kBande : 0);
                            if (i == 0 && !attend(k, lo, hi)) return;
                            if (pas == Pas::ajoute_desc)
                                ajoute_desc(f, lo, hi, mi, p, c);
                            else
                                retire_desc(f, lo, hi, mi, p, c);
                            bord[k + i].store(lo, std::memory_order_release);
                        }
                    for (std::size_t i = k; i < fin; ++i) {
                        bord[i].store(0, std::memory_order_release);
                        c.ajoute(top);
                    }
                    continue;
                }
                if (montant) {
                    for (std::size_t lo = m; lo <= top;) {
                        const std::size_t hi = std::min(top, lo + kTroncon - 1);
                        if (!attend(k, lo, hi)) return;
                        ajoute_asc(f, lo, hi, m, p, c);
                        bord[k].store(hi + 1, std::memory_order_release);
                        lo = hi + 1;
                    }
                    bord[k].store(kFini, std::memory_order_release);
                } else {
                    for (std::size_t hi = top; hi >= m;) {
                        const std::size_t lo = hi >= m + kTroncon ? hi + 1 - kTroncon : m;
                        if (!attend(k, lo, hi)) return;
                        if (pas == Pas::ajoute_desc)
                            ajoute_desc(f, lo, hi, m, p, c);
                        else
                            retire_desc(f, lo, hi, m, p, c);
                        bord[k].store(lo, std::memory_order_release);
                        if (lo == m) break;
                        hi = lo - 1;
                    }
                    // Below m the step changes nothing.
                    bord[k].store(0, std::memory_order_release);
                }
                c.ajoute(top);
            }
        } catch (...) {
            abandon.store(true);
            throw;
        }
    });
}

}  // namespace

void chaine(Pas pas, u64* f, std::size_t top, std::span<const u64> items, u64 p, unsigned fils,
            std::atomic<int>* libres, Suivi* suivi, Progres& pr) {
    enchaine(pas, f, top, items, p, fils, libres, suivi, pr);
}

void chaine(Pas pas, u32* f, std::size_t top, std::span<const u64> items, u32 p, unsigned fils,
            std::atomic<int>* libres, Suivi* suivi, Progres& pr) {
    enchaine(pas, f, top, items, p, fils, libres, suivi, pr);
}
