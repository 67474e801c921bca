// SPDX-License-Identifier: GPL-3.0-or-later
// Dot products modulo a prime: the portable loop on 128-bit accumulators and
// the AVX-512 IFMA loop, chosen at run time.
#include "produits.hpp"

#include "primalite.hpp"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SD_IFMA 1
#endif

namespace {

// p < 2^60: each product is below 2^120, so 256 of them fit in 128 bits
// (cells of 32 bits: far more). With Envers, b is read downwards: b[0],
// b[-1], ...
template <bool Envers, class T>
u64 produit_128(const T* a, const T* b, std::size_t n, u64 p) {
    constexpr std::ptrdiff_t sens = Envers ? -1 : 1;
    u64 r = 0;
    while (n) {
        const std::size_t bloc = n < 256 ? n : 256;
        u128 s0 = 0, s1 = 0;
        std::size_t t = 0;
        for (; t + 1 < bloc; t += 2) {
            const auto i = static_cast<std::ptrdiff_t>(t);
            s0 += static_cast<u128>(a[t]) * b[sens * i];
            s1 += static_cast<u128>(a[t + 1]) * b[sens * (i + 1)];
        }
        if (t < bloc) s0 += static_cast<u128>(a[t]) * b[sens * static_cast<std::ptrdiff_t>(t)];
        r = static_cast<u64>((static_cast<u128>(r) + s0 % p + s1) % p);
        a += bloc;
        b += sens * static_cast<std::ptrdiff_t>(bloc);
        n -= bloc;
    }
    return r;
}

#ifdef SD_IFMA
// Eight cells widened to 64-bit lanes.
__attribute__((target("avx512f,avx512vl,avx512ifma"))) inline __m512i charge(const u64* a) {
    return _mm512_loadu_si512(a);
}
__attribute__((target("avx512f,avx512vl,avx512ifma"))) inline __m512i charge(const std::uint32_t* a) {
    return _mm512_maskz_cvtepu32_epi64(0xff, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a)));
}
__attribute__((target("avx512f,avx512vl,avx512ifma"))) inline __m512i charge(const u64* a, __mmask8 m) {
    return _mm512_maskz_loadu_epi64(m, a);
}
__attribute__((target("avx512f,avx512vl,avx512ifma"))) inline __m512i charge(const std::uint32_t* a, __mmask8 m) {
    return _mm512_maskz_cvtepu32_epi64(0xff, _mm256_maskz_loadu_epi32(m, a));
}

// The eight cells b[-7..0] in lanes 0..7 as b[0], b[-1], ..., b[-7] (with
// m, only the lanes of the mask's reverse).
template <class T>
__attribute__((target("avx512f,avx512vl,avx512ifma"))) inline __m512i charge_envers(const T* b) {
    return _mm512_maskz_permutexvar_epi64(0xff, _mm512_set_epi64(0, 1, 2, 3, 4, 5, 6, 7), charge(b - 7));
}
template <class T>
__attribute__((target("avx512f,avx512vl,avx512ifma"))) inline __m512i charge_envers(const T* b, std::size_t reste) {
    const auto haut = static_cast<__mmask8>(0xffu << (8 - reste));
    return _mm512_maskz_permutexvar_epi64(0xff, _mm512_set_epi64(0, 1, 2, 3, 4, 5, 6, 7), charge(b - 7, haut));
}
// Eight cells of b from i on, upwards or downwards.
template <bool Envers, class T>
__attribute__((target("avx512f,avx512vl,avx512ifma"))) inline __m512i charge_b(const T* b, std::size_t i) {
    if constexpr (Envers)
        return charge_envers(b - i);
    else
        return charge(b + i);
}

// p < 2^50 (2^32 for 32-bit cells): the low and the high 52 bits of each
// product are added up apart, eight lanes at a time, two sums of each; 8192
// products per block keep every lane below 2^64. With Envers, b is read
// downwards.
template <bool Envers, class T>
__attribute__((target("avx512f,avx512vl,avx512ifma"))) u64 produit_ifma(const T* a, const T* b, std::size_t n, u64 p) {
    const u64 deux52 = static_cast<u64>((static_cast<u128>(1) << 52) % p);
    u64 r = 0;
    while (n) {
        const std::size_t bloc = n < 8192 ? n : 8192;
        const std::size_t nv = bloc / 8;
        __m512i l0 = _mm512_setzero_si512(), h0 = l0, l1 = l0, h1 = l0;
        std::size_t t = 0;
        for (; t + 1 < nv; t += 2) {
            const __m512i x0 = charge(a + 8 * t), y0 = charge_b<Envers>(b, 8 * t);
            const __m512i x1 = charge(a + 8 * t + 8), y1 = charge_b<Envers>(b, 8 * t + 8);
            l0 = _mm512_madd52lo_epu64(l0, x0, y0);
            h0 = _mm512_madd52hi_epu64(h0, x0, y0);
            l1 = _mm512_madd52lo_epu64(l1, x1, y1);
            h1 = _mm512_madd52hi_epu64(h1, x1, y1);
        }
        for (; t < nv; ++t) {
            const __m512i x0 = charge(a + 8 * t), y0 = charge_b<Envers>(b, 8 * t);
            l0 = _mm512_madd52lo_epu64(l0, x0, y0);
            h0 = _mm512_madd52hi_epu64(h0, x0, y0);
        }
        const std::size_t reste = bloc - 8 * nv;
        if (reste) {
            const auto m = static_cast<__mmask8>((1u << reste) - 1);
            __m512i y0;
            if constexpr (Envers)
                y0 = charge_envers(b - 8 * nv, reste);
            else
                y0 = charge(b + 8 * nv, m);
            const __m512i x0 = charge(a + 8 * nv, m);
            l0 = _mm512_madd52lo_epu64(l0, x0, y0);
            h0 = _mm512_madd52hi_epu64(h0, x0, y0);
        }
        alignas(64) u64 lb[8], hb[8];
        _mm512_store_si512(lb, _mm512_add_epi64(l0, l1));
        _mm512_store_si512(hb, _mm512_add_epi64(h0, h1));
        // Each lane holds at most 512 low halves (below 2^61 together):
        // their sum over the 16 lanes needs 65 bits.
        u128 bas = 0, haut = 0;
        for (int i = 0; i < 8; ++i) {
            bas += lb[i];
            haut += hb[i];
        }
        // haut < 2^61 and deux52 < 2^50: one division for the block.
        r = static_cast<u64>((static_cast<u128>(r) + bas + haut * deux52) % p);
        a += bloc;
        if constexpr (Envers)
            b -= bloc;
        else
            b += bloc;
        n -= bloc;
    }
    return r;
}
#endif

template <bool Envers, class T>
u64 produit(const T* a, const T* b, std::size_t n, u64 p, bool ifma) {
#ifdef SD_IFMA
    if (ifma) return produit_ifma<Envers>(a, b, n, p);
#endif
    (void)ifma;
    return produit_128<Envers>(a, b, n, p);
}

}  // namespace

std::vector<u64> premiers_produits(unsigned bits, std::size_t n) {
    std::vector<u64> p;
    plus_grands_premiers(bits, n, p);
    return p;
}

u64 produit_mod(const u64* a, const u64* b, std::size_t n, u64 p, bool ifma) {
    return produit<false>(a, b, n, p, ifma);
}
u64 produit_mod(const std::uint32_t* a, const std::uint32_t* b, std::size_t n, u64 p, bool ifma) {
    return produit<false>(a, b, n, p, ifma);
}
u64 produit_mod_envers(const u64* a, const u64* b, std::size_t n, u64 p, bool ifma) {
    return produit<true>(a, b, n, p, ifma);
}
u64 produit_mod_envers(const std::uint32_t* a, const std::uint32_t* b, std::size_t n, u64 p, bool ifma) {
    return produit<true>(a, b, n, p, ifma);
}
