// SPDX-License-Identifier: GPL-3.0-or-later
// Sorted lists of distinct subset sums with multiplicities, merged one item
// at a time; the meet in the middle that joins the lists of two halves; and
// the depth-first walk in bounded memory. They serve the methods that split
// the largest items (the "queue") off the counting table.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "probleme.hpp"
#include "suivi.hpp"

// One item v added to the list (s, m) of n distinct ascending sums with
// their multiplicities: merges the sums without v and with v, adding the
// multiplicities of equal sums modulo p (p == 0: modulo 2^64), and keeps
// the sums in [seuil, U]. Writes at most capacite entries to (s2, m2);
// returns their number, or capacite + 1 when more would be kept. Requires
// s[i] + v < 2^64.
std::size_t etend_liste(const u64* s, const u64* m, std::size_t n, u64 v, u64 seuil, u64 U, u64* s2, u64* m2,
                        std::size_t capacite, u64 p);

// Items of the largest-first part ("queue") of a problem: b[0..t-1],
// descending, with reste[k] = b[k] + ... + b[t-1] saturated at 2^63 and
// reste[t] = 0. The useful subset sums x are those in [L, U], U < 2^63.
struct Queue {
    const u64* b;
    const u64* reste;
    std::size_t t;
    u64 L;
    u64 U;
};

// Meet in the middle over the queue: sorted subset sums of the two halves,
// with multiplicities, joined on [L, U]. For every pair of sums (a, b) with
// a + b = x in [L, U] it adds mult(a) * mult(b) to h[cible - x - base].
// Requires t <= 63. Uses sommes/mults as scratch: 3 * capacite entries
// each. Returns false, with h partly filled, when a half keeps more than
// capacite distinct sums.
bool milieu(const Queue& q, u64 cible, u64 base, u64* h, u64* sommes, u64* mults, std::size_t capacite,
            const Progres& pr);

// Scratch for the depth-first walk: t + 1 slots each.
struct PileParcours {
    u64* x;
    std::size_t* k;
};

// Work units of one whole walk, as parcours reports them.
constexpr u64 kUnitesParcours = u64{1} << 32;

// Depth-first walk over the subsets of the queue, pruned on [L, U], taking
// each item before leaving it out; calls feuille(x) for each leaf. Only the
// pending "leave it out" branches are stacked: at most t of them. Memory is
// O(t) whatever the number of leaves, which may be astronomically large.
// Its progress goes to pr as the share of the tree already left behind,
// each branch weighing half of its parent: a whole walk reports
// kUnitesParcours.
template <class Feuille>
void parcours(const Queue& q, PileParcours pile, Progres& pr, Feuille&& feuille) {
    const std::size_t t = q.t;
    const u64* b = q.b;
    const u64* reste = q.reste;
    const u64 L = q.L, U = q.U;
    u64 rapporte = 0;    // units reported
    if (reste[0] < L) {  // even the whole queue stays below L
        pr.avance(kUnitesParcours);
        return;
    }
    std::size_t n = 0;  // pending branches
    std::size_t k = 0;
    u64 x = 0;
    std::uint32_t noeuds = 0;  // nodes since the last safe point
    for (;;) {
        if (++noeuds == (std::uint32_t{1} << 18)) {
            noeuds = 0;
            // What is left: the current subtree and the pending branches.
            double a_faire = std::ldexp(1.0, -static_cast<int>(k));
            for (std::size_t i = 0; i < n; ++i) a_faire += std::ldexp(1.0, -static_cast<int>(pile.k[i]));
            const u64 fait = static_cast<u64>((1.0 - a_faire) * static_cast<double>(kUnitesParcours));
            if (fait > rapporte) {
                pr.avance(fait - rapporte);
                rapporte = fait;
            } else {
                pr.point();
            }
        }
        // Node (k, x): x <= U and x + reste[k] >= L.
        if (k == t) {
            feuille(x);
            if (n == 0) {
                pr.avance(kUnitesParcours - rapporte);
                return;
            }
            --n;
            k = pile.k[n];
            x = pile.x[n];
            continue;
        }
        const u64 y = x + b[k];  // both below 2^63
        const bool sans = x + reste[k + 1] >= L;
        ++k;
        if (y <= U && y + reste[k] >= L) {
            if (sans) {
                pile.k[n] = k;
                pile.x[n] = x;
                ++n;
            }
            x = y;
        } else if (!sans) {
            if (n == 0) {
                pr.avance(kUnitesParcours - rapporte);
                return;
            }
            --n;
            k = pile.k[n];
            x = pile.x[n];
        }
    }
}
