// SPDX-License-Identifier: GPL-3.0-or-later
// The table kernels: one item added to, or taken from, a table of counts
// over consecutive sums. The loops are built three times, x86-64-v4, AVX2
// and baseline x86-64 (SD_CLONES).
#include "noyaux.hpp"

namespace {

// The loops below index one array from both ends of a shift; GCC checks the
// distance at run time and vectorizes when it allows it.

// s from b down to a: f[s] += f[s - d] (mod p). Reads only cells below s,
// which the loop has not written yet: the 0/1 step.
// On 32-bit cells the moduli are below 2^31: the sum of two cells does not
// wrap.
template <class T>
SD_CLONES void ajoute_desc_mod(T* f, std::size_t a, std::size_t b, std::size_t d, T p) {
    for (std::size_t s = b + 1; s-- > a;) {
        const T x = f[s] + f[s - d];
        const T y = x - p;
        f[s] = x < y ? x : y;
    }
}

// Modulo 2^64 the values written are ORed into the result: while its top
// bit stays clear, every value is below 2^63 and no sum has wrapped.
SD_CLONES u64 ajoute_desc_2_64(u64* f, std::size_t a, std::size_t b, std::size_t d) {
    u64 bits = 0;
    for (std::size_t s = b + 1; s-- > a;) {
        const u64 x = f[s] + f[s - d];
        f[s] = x;
        bits |= x;
    }
    return bits;
}

// s from a up to b: f[s] += f[s - d] (mod p): running sums along each
// residue class modulo d.
template <class T>
SD_CLONES void ajoute_asc_mod(T* f, std::size_t a, std::size_t b, std::size_t d, T p) {
    for (std::size_t s = a; s <= b; ++s) {
        const T x = f[s] + f[s - d];
        const T y = x - p;
        f[s] = x < y ? x : y;
    }
}

SD_CLONES u64 ajoute_asc_2_64(u64* f, std::size_t a, std::size_t b, std::size_t d) {
    u64 bits = 0;
    for (std::size_t s = a; s <= b; ++s) {
        const u64 x = f[s] + f[s - d];
        f[s] = x;
        bits |= x;
    }
    return bits;
}

// s from b down to a: f[s] -= f[s - d] (mod p).
template <class T>
SD_CLONES void retire_desc_mod(T* f, std::size_t a, std::size_t b, std::size_t d, T p) {
    for (std::size_t s = b + 1; s-- > a;) {
        const T x = f[s] - f[s - d];
        const T y = x + p;
        f[s] = x < y ? x : y;
    }
}

SD_CLONES void retire_desc_2_64(u64* f, std::size_t a, std::size_t b, std::size_t d) {
    for (std::size_t s = b + 1; s-- > a;) f[s] -= f[s - d];
}

// The running sums of a stride D below 8, which the loops above cannot
// vectorize (each cell needs the one D below, just written): the D sums in
// registers, independent of one another.
template <std::size_t D, bool Premier, class T>
u64 asc_court(T* f, std::size_t a, std::size_t b, T p) {
    T acc[D];
    for (std::size_t j = 0; j < D; ++j) acc[j] = f[a - D + j];
    u64 bits = 0;
    std::size_t s = a;
    for (; s + D <= b + 1; s += D)
        for (std::size_t j = 0; j < D; ++j) {
            const T x = acc[j] + f[s + j];
            if constexpr (Premier) {
                const T y = x - p;
                acc[j] = x < y ? x : y;
            } else {
                acc[j] = x;
                bits |= x;
            }
            f[s + j] = acc[j];
        }
    for (std::size_t j = 0; s <= b; ++s, ++j) {
        const T x = acc[j] + f[s];
        if constexpr (Premier) {
            const T y = x - p;
            f[s] = x < y ? x : y;
        } else {
            f[s] = x;
            bits |= x;
        }
    }
    return bits;
}

template <bool Premier, class T>
u64 asc_court(T* f, std::size_t a, std::size_t b, std::size_t d, T p) {
    switch (d) {
        // clang-format off
        case 1: return asc_court<1, Premier>(f, a, b, p);
        case 2: return asc_court<2, Premier>(f, a, b, p);
        case 3: return asc_court<3, Premier>(f, a, b, p);
        case 4: return asc_court<4, Premier>(f, a, b, p);
        case 5: return asc_court<5, Premier>(f, a, b, p);
        case 6: return asc_court<6, Premier>(f, a, b, p);
        default: return asc_court<7, Premier>(f, a, b, p);
            // clang-format on
    }
}

// Cells of one stretch of a kernel between two safe points.
constexpr std::size_t kMorceau = std::size_t{1} << 18;

// Runs noyau(x, y) over [a, b] in stretches of kMorceau cells, top stretch
// first: the order of the descending kernels, each reading only below it.
template <class Noyau>
void par_morceaux_desc(std::size_t a, std::size_t b, const Progres& pr, Noyau&& noyau) {
    while (b - a >= kMorceau) {
        noyau(b - kMorceau + 1, b);
        b -= kMorceau;
        pr.point();
    }
    noyau(a, b);
}

// The same, bottom stretch first: the order of the ascending running sums.
template <class Noyau>
void par_morceaux_asc(std::size_t a, std::size_t b, const Progres& pr, Noyau&& noyau) {
    while (b - a >= kMorceau) {
        noyau(a, a + kMorceau - 1);
        a += kMorceau;
        pr.point();
    }
    noyau(a, b);
}

}  // namespace

void ajoute_desc(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p, const Progres& pr, u64* bits) {
    par_morceaux_desc(a, b, pr, [=](std::size_t x, std::size_t y) {
        if (p != 0)
            ajoute_desc_mod(f, x, y, d, p);
        else if (const u64 v = ajoute_desc_2_64(f, x, y, d); bits)
            *bits |= v;
    });
}

void ajoute_asc(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p, const Progres& pr, u64* bits) {
    par_morceaux_asc(a, b, pr, [=](std::size_t x, std::size_t y) {
        if (d < 8) {
            if (p != 0)
                asc_court<true>(f, x, y, d, p);
            else if (const u64 v = asc_court<false>(f, x, y, d, p); bits)
                *bits |= v;
        } else if (p != 0)
            ajoute_asc_mod(f, x, y, d, p);
        else if (const u64 v = ajoute_asc_2_64(f, x, y, d); bits)
            *bits |= v;
    });
}

void retire_desc(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p, const Progres& pr) {
    par_morceaux_desc(a, b, pr, [=](std::size_t x, std::size_t y) {
        if (p == 0)
            retire_desc_2_64(f, x, y, d);
        else
            retire_desc_mod(f, x, y, d, p);
    });
}

void ajoute_desc(u32* f, std::size_t a, std::size_t b, std::size_t d, u32 p, const Progres& pr) {
    par_morceaux_desc(a, b, pr, [=](std::size_t x, std::size_t y) { ajoute_desc_mod(f, x, y, d, p); });
}

void ajoute_asc(u32* f, std::size_t a, std::size_t b, std::size_t d, u32 p, const Progres& pr) {
    par_morceaux_asc(a, b, pr, [=](std::size_t x, std::size_t y) {
        if (d < 8)
            asc_court<true>(f, x, y, d, p);
        else
            ajoute_asc_mod(f, x, y, d, p);
    });
}

void retire_desc(u32* f, std::size_t a, std::size_t b, std::size_t d, u32 p, const Progres& pr) {
    par_morceaux_desc(a, b, pr, [=](std::size_t x, std::size_t y) { retire_desc_mod(f, x, y, d, p); });
}
