// The kernels of the counting tables, shared by the engine's table and the
// walk over the digits of N: one item added to, or taken from, a table of
// counts over consecutive sums, modulo p (p == 0: modulo 2^64). Each is built
// twice, AVX2 and baseline x86-64, and chosen at run time by GCC function
// multiversioning.
#include "comptage_interne.hpp"

namespace comptage_interne {

#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
#define SD_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define SD_CLONES
#endif

// The loops below index one array from both ends of a shift; GCC checks the
// distance at run time and vectorizes when it allows it.

// s from b down to a: f[s] += f[s - d] (mod p). Reads only cells below s,
// which the loop has not written yet: the 0/1 step.
SD_CLONES void ajoute_desc_mod(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p) {
    for (std::size_t s = b + 1; s-- > a;) {
        const u64 x = f[s] + f[s - d];
        const u64 y = x - p;
        f[s] = x < y ? x : y;
    }
}

SD_CLONES void ajoute_desc_2_64(u64* f, std::size_t a, std::size_t b, std::size_t d) {
    for (std::size_t s = b + 1; s-- > a;) f[s] += f[s - d];
}

// s from a up to b: f[s] += f[s - d] (mod p): running sums along each
// residue class modulo d.
SD_CLONES void ajoute_asc_mod(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p) {
    for (std::size_t s = a; s <= b; ++s) {
        const u64 x = f[s] + f[s - d];
        const u64 y = x - p;
        f[s] = x < y ? x : y;
    }
}

SD_CLONES void ajoute_asc_2_64(u64* f, std::size_t a, std::size_t b, std::size_t d) {
    for (std::size_t s = a; s <= b; ++s) f[s] += f[s - d];
}

// s from b down to a: f[s] -= f[s - d] (mod p).
SD_CLONES void retire_desc_mod(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p) {
    for (std::size_t s = b + 1; s-- > a;) {
        const u64 x = f[s] - f[s - d];
        const u64 y = x + p;
        f[s] = x < y ? x : y;
    }
}

SD_CLONES void retire_desc_2_64(u64* f, std::size_t a, std::size_t b, std::size_t d) {
    for (std::size_t s = b + 1; s-- > a;) f[s] -= f[s - d];
}

}  // namespace comptage_interne
