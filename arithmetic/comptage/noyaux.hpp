// SPDX-License-Identifier: GPL-3.0-or-later
// The kernels of the counting tables, shared by every method that keeps a
// table of counts over consecutive sums: one item added to, or taken from,
// such a table, the step driver, and the dot products that finish a count.
// All modulo p, where p == 0 stands for 2^64 (plain wrapping arithmetic).
#pragma once

#include <cstddef>
#include <cstdint>

#include "probleme.hpp"
#include "suivi.hpp"

using u32 = std::uint32_t;

// f[s] += or -= f[s - d] for s in [a, b]. _desc runs from b down to a (the
// 0/1 step of one item, or its removal); _asc from a up (running sums along
// each residue class modulo d). Each runs in stretches of a fraction of a
// millisecond, with a safe point between two, so that a stop asked during a
// pass over the largest table is seen at once. Modulo 2^64, the additions OR
// the values they write into *bits when bits is not null: while bit 63 stays
// clear there, every value is below 2^63, so no sum has wrapped and the
// counts are exact.
void ajoute_desc(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p, const Progres& pr, u64* bits = nullptr);
void ajoute_asc(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p, const Progres& pr, u64* bits = nullptr);
void retire_desc(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p, const Progres& pr);
// The same on 32-bit cells, modulo a prime p below 2^31.
void ajoute_desc(u32* f, std::size_t a, std::size_t b, std::size_t d, u32 p, const Progres& pr);
void ajoute_asc(u32* f, std::size_t a, std::size_t b, std::size_t d, u32 p, const Progres& pr);
void retire_desc(u32* f, std::size_t a, std::size_t b, std::size_t d, u32 p, const Progres& pr);

// The table f holds, for every sum s of the window [lo, hi], the number of
// subsets of the items processed so far whose sum is s. Indexes are absolute
// sums. The window starts as [0, 0] with f[0] = 1 (the empty set); each step
// adds one item, or one doubling chain e, 2e, ..., 2^(k-1)e, whose subset
// sums are exactly the multiples j*e for j = 0 .. 2^k - 1, each once.
// Outside the window the cells are stale and never read.
//
// Runs the steps e[0..ne-1] on f (at least hi+1 cells for every step's hi).
// Leaves the last step's window filled (or [0, 0] if ne == 0), and reports
// the cells of each step's window to pr; with bits, as the kernels above.
void execute_table(const Etape* e, std::size_t ne, u64* f, u64 p, Progres& pr, u64* bits = nullptr);
// The same on 32-bit cells, modulo a prime p below 2^31.
void execute_table(const Etape* e, std::size_t ne, u32* f, u32 p, Progres& pr);

// Work units of those steps, as execute_table reports them.
u64 unites_table(const Etape* e, std::size_t ne);

// Sum of f[i] * h[i] for i < n. Requires f[i] < p when p != 0.
u64 produit_scalaire(const u64* f, const u64* h, std::size_t n, u64 p);

// Sum of mult[i] * f[cible - x[i]] for i < n.
u64 somme_feuilles(const u64* f, u64 cible, const u64* x, const u64* mult, std::size_t n, u64 p);
// The same over 32-bit cells, modulo a prime p below 2^31 (h and mult
// whole, reduced with the sum).
u64 produit_scalaire(const u32* f, const u64* h, std::size_t n, u64 p);
u64 somme_feuilles(const u32* f, u64 cible, const u64* x, const u64* mult, std::size_t n, u64 p);

// (a + b) mod p for a, b < p.
inline u64 ajoute_mod(u64 a, u64 b, u64 p) {
    const u64 x = a + b;
    if (p == 0) return x;
    const u64 y = x - p;
    return x < y ? x : y;
}

// Exact sum of 128-bit products on 192 bits, reduced at the end modulo p.
struct Somme192 {
    u128 bas = 0;
    u64 retenues = 0;

    void ajoute(u64 a, u64 b) {
        const u128 prod = static_cast<u128>(a) * b;
        bas += prod;
        if (bas < prod) ++retenues;
    }
    u64 modulo(u64 p) const {
        if (p == 0) return static_cast<u64>(bas);
        const u128 deux64 = (static_cast<u128>(1) << 64) % p;
        const u128 deux128 = deux64 * deux64 % p;
        return static_cast<u64>((retenues % p * deux128 + bas % p) % p);
    }
};

// Functions built three times, for x86-64-v4 (AVX-512), AVX2 and baseline
// x86-64, chosen at run time by GCC function multiversioning; once under the
// sanitizers, whose run time starts after the resolvers of the versions would
// run.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__) && \
    !defined(__SANITIZE_THREAD__)
#define SD_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define SD_CLONES
#endif
