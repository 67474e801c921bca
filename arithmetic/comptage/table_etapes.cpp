// SPDX-License-Identifier: GPL-3.0-or-later
// The step driver of a counting table over the kernels of noyaux.cpp, and
// the dot products that finish a count (built three times, x86-64-v4, AVX2
// and baseline x86-64).
#include <cstring>

#include "noyaux.hpp"

namespace {

SD_CLONES u64 scalaire_2_64(const u64* f, const u64* h, std::size_t n) {
    u64 s = 0;
    for (std::size_t i = 0; i < n; ++i) s += f[i] * h[i];
    return s;
}

SD_CLONES u64 feuilles_2_64(const u64* f, u64 cible, const u64* x, const u64* mult, std::size_t n) {
    u64 s = 0;
    for (std::size_t i = 0; i < n; ++i) s += mult[i] * f[cible - x[i]];
    return s;
}

template <class T>
void zero(T* f, std::size_t a, std::size_t b) {
    if (a <= b) std::memset(f + a, 0, (b - a + 1) * sizeof(T));
}

// Modulo a prime, on cells of either width: exact sums of the products on
// 192 bits, reduced once.
template <class T>
u64 scalaire_mod(const T* f, const u64* h, std::size_t n, u64 p) {
    Somme192 s;
    for (std::size_t i = 0; i < n; ++i)
        if (h[i] != 0) s.ajoute(f[i], h[i]);
    return s.modulo(p);
}

template <class T>
u64 feuilles_mod(const T* f, u64 cible, const u64* x, const u64* mult, std::size_t n, u64 p) {
    Somme192 s;
    for (std::size_t i = 0; i < n; ++i) s.ajoute(f[cible - x[i]], mult[i]);
    return s.modulo(p);
}

template <class T>
void execute(const Etape* e, std::size_t ne, T* f, T p, Progres& av, u64* bits) {
    std::size_t lo = 0, hi = 0;
    f[0] = 1;
    for (std::size_t i = 0; i < ne; ++i) {
        const Etape& et = e[i];
        const std::size_t lo2 = et.lo, hi2 = et.hi;
        const std::size_t d = static_cast<std::size_t>(et.d);
        if (et.saut == 0) {
            // f'[s] = f[s] + f[s - d], both taken as 0 outside [lo, hi].
            // A: lowest s whose f[s - d] lies in the old window.
            const std::size_t A = lo2 > lo + d ? lo2 : lo + d;
            // Above the old window: a copy from below (source <= hi, so the
            // two ranges never overlap) or zeros.
            const std::size_t c0 = A > hi + 1 ? A : hi + 1;
            if (c0 <= hi2) std::memcpy(f + c0, f + c0 - d, (hi2 - c0 + 1) * sizeof(T));
            const std::size_t z0 = lo2 > hi + 1 ? lo2 : hi + 1;
            const std::size_t z1 = hi2 < A - 1 ? hi2 : A - 1;
            zero(f, z0, z1);
            // Inside the old window: the 0/1 step, top down.
            if (A <= hi) {
                if constexpr (sizeof(T) == sizeof(u64))
                    ajoute_desc(f, A, hi, d, p, av, bits);
                else
                    ajoute_desc(f, A, hi, d, p, av);
            }
        } else {
            // Chain of base d and 2^k terms: f'[s] = sum of f[s - j d] for
            // j < 2^k. Running sums h along the classes modulo d from lo
            // (h[s] = f[s] + h[s - d]), then f'[s] = h[s] - h[s - 2^k d].
            const std::size_t saut = static_cast<std::size_t>(et.saut);
            zero(f, hi + 1, hi2);
            if (lo + d <= hi2) {
                if constexpr (sizeof(T) == sizeof(u64))
                    ajoute_asc(f, lo + d, hi2, d, p, av, bits);
                else
                    ajoute_asc(f, lo + d, hi2, d, p, av);
            }
            const std::size_t r0 = lo2 > lo + saut ? lo2 : lo + saut;
            if (r0 <= hi2) retire_desc(f, r0, hi2, saut, p, av);
        }
        lo = lo2;
        hi = hi2;
        av.ajoute(hi - lo + 1);
    }
    av.solde();
}

}  // namespace

u64 produit_scalaire(const u64* f, const u64* h, std::size_t n, u64 p) {
    return p == 0 ? scalaire_2_64(f, h, n) : scalaire_mod(f, h, n, p);
}

u64 produit_scalaire(const u32* f, const u64* h, std::size_t n, u64 p) { return scalaire_mod(f, h, n, p); }

u64 somme_feuilles(const u64* f, u64 cible, const u64* x, const u64* mult, std::size_t n, u64 p) {
    return p == 0 ? feuilles_2_64(f, cible, x, mult, n) : feuilles_mod(f, cible, x, mult, n, p);
}

u64 somme_feuilles(const u32* f, u64 cible, const u64* x, const u64* mult, std::size_t n, u64 p) {
    return feuilles_mod(f, cible, x, mult, n, p);
}

void execute_table(const Etape* e, std::size_t ne, u64* f, u64 p, Progres& pr, u64* bits) {
    execute(e, ne, f, p, pr, bits);
}

void execute_table(const Etape* e, std::size_t ne, u32* f, u32 p, Progres& pr) { execute(e, ne, f, p, pr, nullptr); }

u64 unites_table(const Etape* e, std::size_t ne) {
    u64 n = 0;
    for (std::size_t i = 0; i < ne; ++i) n += e[i].hi - e[i].lo + 1;
    return n;
}
