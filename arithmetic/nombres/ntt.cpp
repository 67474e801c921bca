// SPDX-License-Identifier: GPL-3.0-or-later
// Number-theoretic transforms: Gentleman-Sande stages forward, Cooley-Tukey
// stages back, with Harvey's lazy reductions.
#include "ntt.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <stdexcept>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

#include "primalite.hpp"

namespace {

// floor(w 2^64 / p), for w < p.
u64 quotient(u64 w, u64 p) { return static_cast<u64>((static_cast<u128>(w) << 64) / p); }

// a w mod p, within [0, 2p), for any a below 2^64 and w below p with its
// quotient ws (Shoup).
inline u64 fois(u64 a, u64 w, u64 ws, u64 p) {
    const auto q = static_cast<u64>((static_cast<u128>(a) * ws) >> 64);
    return a * w - q * p;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define SD_NTT_IFMA 1
#define SD_IFMA_CIBLE __attribute__((target("avx512f,avx512ifma")))

// Eight lanes of a below 2^52 times w mod p, within [0, 2p): Shoup's
// product on 52 bits (w52 = floor(w 2^52 / p)), whose result a w - q p lies
// in [0, 2p) and so equals its low 52 bits.
SD_IFMA_CIBLE inline __m512i fois8(__m512i a, __m512i w, __m512i w52, __m512i p) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i q = _mm512_madd52hi_epu64(zero, a, w52);
    const __m512i r = _mm512_sub_epi64(_mm512_madd52lo_epu64(zero, a, w), _mm512_madd52lo_epu64(zero, q, p));
    return _mm512_and_si512(r, _mm512_set1_epi64((std::int64_t{1} << 52) - 1));
}

// x below 2m (m = p or 2p): x - m when x >= m, as the smaller of x and
// x - m (which wraps when x < m).
SD_IFMA_CIBLE inline __m512i reduit8(__m512i x, __m512i m) {
    return _mm512_maskz_min_epu64(0xff, x, _mm512_sub_epi64(x, m));
}

// The butterflies of one forward stage (half-length h, a multiple of 8) on
// the pairs x[j], y[j]; of one inverse stage.
SD_IFMA_CIBLE void etage_direct8(u64* x, u64* y, std::size_t h, const u64* w, const u64* w52, u64 p) {
    const __m512i vp = _mm512_set1_epi64(static_cast<std::int64_t>(p)), p2 = _mm512_add_epi64(vp, vp);
    for (std::size_t j = 0; j < h; j += 8) {
        const __m512i u = _mm512_loadu_si512(x + j), v = _mm512_loadu_si512(y + j);
        _mm512_storeu_si512(x + j, reduit8(_mm512_add_epi64(u, v), p2));
        const __m512i d = _mm512_sub_epi64(_mm512_add_epi64(u, p2), v);
        _mm512_storeu_si512(y + j, fois8(d, _mm512_loadu_si512(w + j), _mm512_loadu_si512(w52 + j), vp));
    }
}
SD_IFMA_CIBLE void etage_inverse8(u64* x, u64* y, std::size_t h, const u64* w, const u64* w52, u64 p) {
    const __m512i vp = _mm512_set1_epi64(static_cast<std::int64_t>(p)), p2 = _mm512_add_epi64(vp, vp);
    for (std::size_t j = 0; j < h; j += 8) {
        const __m512i u = _mm512_loadu_si512(x + j);
        const __m512i v = fois8(_mm512_loadu_si512(y + j), _mm512_loadu_si512(w + j), _mm512_loadu_si512(w52 + j), vp);
        _mm512_storeu_si512(x + j, reduit8(_mm512_add_epi64(u, v), p2));
        _mm512_storeu_si512(y + j, reduit8(_mm512_sub_epi64(_mm512_add_epi64(u, p2), v), p2));
    }
}
// y = x w mod p, below p, eight at a time.
SD_IFMA_CIBLE void multiplie8(const u64* x, const u64* w, const u64* q, u64* y, std::size_t n, u64 p) {
    const __m512i vp = _mm512_set1_epi64(static_cast<std::int64_t>(p));
    for (std::size_t i = 0; i < n; i += 8) {
        const __m512i t = fois8(_mm512_loadu_si512(x + i), _mm512_loadu_si512(w + i), _mm512_loadu_si512(q + i), vp);
        _mm512_storeu_si512(y + i, reduit8(t, vp));
    }
}

// Cells of one small stage in Ntt::petits_.
constexpr std::size_t kPetit = 48;

// The stages of half-length h = 4, 2, 1, sixteen cells at a time: e holds,
// eight lanes each, the places of the first cells of the pairs among the
// two vectors, those of the second cells, where each cell goes back to in
// the first vector and in the second, the roots and their quotients
// (Ntt::petits_).
SD_IFMA_CIBLE void petit_etage(u64* a, std::size_t n, const u64* e, u64 p, bool inverse) {
    const __m512i vp = _mm512_set1_epi64(static_cast<std::int64_t>(p)), p2 = _mm512_add_epi64(vp, vp);
    const __m512i ix = _mm512_loadu_si512(e), iy = _mm512_loadu_si512(e + 8), i0 = _mm512_loadu_si512(e + 16),
                  i1 = _mm512_loadu_si512(e + 24), w = _mm512_loadu_si512(e + 32), w52 = _mm512_loadu_si512(e + 40);
    for (std::size_t i = 0; i < n; i += 16) {
        const __m512i a0 = _mm512_loadu_si512(a + i), a1 = _mm512_loadu_si512(a + i + 8);
        const __m512i u = _mm512_permutex2var_epi64(a0, ix, a1);
        __m512i v = _mm512_permutex2var_epi64(a0, iy, a1), x, y;
        if (inverse) {
            v = fois8(v, w, w52, vp);
            x = reduit8(_mm512_add_epi64(u, v), p2);
            y = reduit8(_mm512_sub_epi64(_mm512_add_epi64(u, p2), v), p2);
        } else {
            x = reduit8(_mm512_add_epi64(u, v), p2);
            y = fois8(_mm512_sub_epi64(_mm512_add_epi64(u, p2), v), w, w52, vp);
        }
        _mm512_storeu_si512(a + i, _mm512_permutex2var_epi64(x, i0, y));
        _mm512_storeu_si512(a + i + 8, _mm512_permutex2var_epi64(x, i1, y));
    }
}

// a[i] below 2p brought below p; or a[i] / n, below p.
SD_IFMA_CIBLE void finit8(u64* a, std::size_t n, u64 p, const u64* ninv, const u64* ninv52) {
    const __m512i vp = _mm512_set1_epi64(static_cast<std::int64_t>(p));
    for (std::size_t i = 0; i < n; i += 8) {
        __m512i x = _mm512_loadu_si512(a + i);
        if (ninv)
            x = fois8(x, _mm512_set1_epi64(static_cast<std::int64_t>(*ninv)),
                      _mm512_set1_epi64(static_cast<std::int64_t>(*ninv52)), vp);
        _mm512_storeu_si512(a + i, reduit8(x, vp));
    }
}
#endif

}  // namespace

Ntt::Ntt(u64 p, unsigned log_n) : p_(p), n_(std::size_t{1} << log_n) {
    if (p >= (u64{1} << 62) || log_n >= 63 || (p - 1) % n_ != 0) throw std::invalid_argument("Ntt");
    // A root of order exactly n: g^((p - 1) / n) with w^(n/2) = -1.
    u64 w = 1;
    if (n_ > 1)
        for (u64 g = 2;; ++g) {
            w = powmod(g, (p - 1) / n_, p);
            if (powmod(w, n_ / 2, p) == p - 1) break;
        }
    w_.assign(n_, 0);
    ws_.assign(n_, 0);
    wi_.assign(n_, 0);
    wis_.assign(n_, 0);
    const u64 winv = n_ > 1 ? inverse_mod(w, p) : 1;
    // The root of order 2h is w^(n / 2h).
    for (std::size_t h = 1; h < n_; h *= 2) {
        const u64 r = powmod(w, n_ / (2 * h), p), ri = powmod(winv, n_ / (2 * h), p);
        u64 x = 1, xi = 1;
        for (std::size_t j = 0; j < h; ++j) {
            w_[h + j] = x;
            ws_[h + j] = quotient(x, p);
            wi_[h + j] = xi;
            wis_[h + j] = quotient(xi, p);
            x = mulmod(x, r, p);
            xi = mulmod(xi, ri, p);
        }
    }
    n_inv_ = inverse_mod(n_ % p, p);
    n_inv_s_ = quotient(n_inv_, p);
#ifdef SD_NTT_IFMA
    ifma_ = n_ >= 16 && p < (u64{1} << 50) && __builtin_cpu_supports("avx512ifma");
    if (ifma_) {
        // floor(w 2^52 / p) = floor(floor(w 2^64 / p) / 2^12).
        w52_.resize(n_);
        wi52_.resize(n_);
        for (std::size_t i = 1; i < n_; ++i) {
            w52_[i] = ws_[i] >> 12;
            wi52_[i] = wis_[i] >> 12;
        }
        n_inv52_ = n_inv_s_ >> 12;
        // The small stages, forward then inverse, h = 1, 2, 4 (petit_etage).
        petits_.assign(6 * kPetit, 0);
        for (std::size_t sens = 0; sens < 2; ++sens)
            for (std::size_t l = 0, h = 1; h < 8; ++l, h *= 2) {
                u64* const e = petits_.data() + (sens * 3 + l) * kPetit;
                const u64 *w = sens ? wi_.data() : w_.data(), *w52 = sens ? wi52_.data() : w52_.data();
                for (std::size_t k = 0, c = 0; c < 16; ++c)
                    if (c % (2 * h) < h) {
                        e[k] = c;
                        e[8 + k] = c + h;
                        e[16 + c] = k;  // both vectors back, sixteen places
                        e[16 + c + h] = 8 + k;
                        e[32 + k] = w[h + c % h];
                        e[40 + k] = w52[h + c % h];
                        ++k;
                    }
            }
    }
#endif
}

void Ntt::direct(u64* a) const {
    const u64 p = p_, p2 = 2 * p;
    // (x, y) -> (x + y, (x - y) w), values below 2p.
    for (std::size_t h = n_ / 2; h >= 1; h /= 2) {
        const u64* w = w_.data() + h;
        const u64* ws = ws_.data() + h;
#ifdef SD_NTT_IFMA
        if (ifma_ && h >= 8) {
            for (std::size_t s = 0; s < n_; s += 2 * h) etage_direct8(a + s, a + s + h, h, w, w52_.data() + h, p);
            continue;
        }
        if (ifma_) {
            petit_etage(a, n_, petits_.data() + static_cast<std::size_t>(std::countr_zero(h)) * kPetit, p, false);
            continue;
        }
#endif
        for (std::size_t s = 0; s < n_; s += 2 * h) {
            u64* x = a + s;
            u64* y = x + h;
            for (std::size_t j = 0; j < h; ++j) {
                const u64 u = x[j], v = y[j];
                u64 t = u + v;
                t -= t >= p2 ? p2 : 0;
                x[j] = t;
                y[j] = fois(u + p2 - v, w[j], ws[j], p);
            }
        }
    }
#ifdef SD_NTT_IFMA
    if (ifma_) {
        finit8(a, n_, p, nullptr, nullptr);
        return;
    }
#endif
    for (std::size_t i = 0; i < n_; ++i) a[i] -= a[i] >= p ? p : 0;
}

void Ntt::direct_colonnes(u64* a, std::size_t largeur) const {
    const u64 p = p_, p2 = 2 * p;
    // Bands of 32 KiB of cells in all.
    const std::size_t bande = std::max<std::size_t>(8, (std::size_t{1} << 12) / n_);
    for (std::size_t c0 = 0; c0 < largeur; c0 += bande) {
        const std::size_t c1 = std::min(largeur, c0 + bande);
        for (std::size_t h = n_ / 2; h >= 1; h /= 2)
            for (std::size_t s = 0; s < n_; s += 2 * h)
                for (std::size_t j = 0; j < h; ++j) {
                    u64* x = a + (s + j) * largeur;
                    u64* y = x + h * largeur;
                    const u64 w = w_[h + j], ws = ws_[h + j];
                    for (std::size_t c = c0; c < c1; ++c) {
                        const u64 u = x[c], v = y[c];
                        u64 t = u + v;
                        t -= t >= p2 ? p2 : 0;
                        x[c] = t;
                        y[c] = fois(u + p2 - v, w, ws, p);
                    }
                }
        for (std::size_t i = 0; i < n_; ++i)
            for (std::size_t c = c0; c < c1; ++c) a[i * largeur + c] -= a[i * largeur + c] >= p ? p : 0;
    }
}

void Ntt::quotients(const u64* w, u64* q) const {
    const unsigned decalage = ifma_ ? 52 : 64;
    for (std::size_t i = 0; i < n_; ++i) q[i] = static_cast<u64>((static_cast<u128>(w[i]) << decalage) / p_);
}

void Ntt::multiplie(const u64* x, const u64* w, const u64* q, u64* y) const {
    const u64 p = p_;
#ifdef SD_NTT_IFMA
    if (ifma_) {
        multiplie8(x, w, q, y, n_, p);
        return;
    }
#endif
    for (std::size_t i = 0; i < n_; ++i) {
        const u64 t = fois(x[i], w[i], q[i], p);
        y[i] = t >= p ? t - p : t;
    }
}

void Ntt::inverse(u64* a) const {
    const u64 p = p_, p2 = 2 * p;
    // (x, y) -> (x + y / w, x - y / w), values below 2p.
    for (std::size_t h = 1; h < n_; h *= 2) {
        const u64* w = wi_.data() + h;
        const u64* ws = wis_.data() + h;
#ifdef SD_NTT_IFMA
        if (ifma_ && h >= 8) {
            for (std::size_t s = 0; s < n_; s += 2 * h) etage_inverse8(a + s, a + s + h, h, w, wi52_.data() + h, p);
            continue;
        }
        if (ifma_) {
            petit_etage(a, n_, petits_.data() + (3 + static_cast<std::size_t>(std::countr_zero(h))) * kPetit, p, true);
            continue;
        }
#endif
        for (std::size_t s = 0; s < n_; s += 2 * h) {
            u64* x = a + s;
            u64* y = x + h;
            for (std::size_t j = 0; j < h; ++j) {
                const u64 u = x[j], v = fois(y[j], w[j], ws[j], p);
                u64 t = u + v;
                t -= t >= p2 ? p2 : 0;
                x[j] = t;
                t = u + p2 - v;
                t -= t >= p2 ? p2 : 0;
                y[j] = t;
            }
        }
    }
#ifdef SD_NTT_IFMA
    if (ifma_) {
        finit8(a, n_, p, &n_inv_, &n_inv52_);
        return;
    }
#endif
    for (std::size_t i = 0; i < n_; ++i) {
        const u64 t = fois(a[i], n_inv_, n_inv_s_, p);
        a[i] = t >= p ? t - p : t;
    }
}

std::vector<u64> premiers_ntt(unsigned bits, unsigned log_n, std::size_t count) {
    if (bits > 62 || log_n >= bits) throw std::invalid_argument("premiers_ntt");
    std::vector<u64> r;
    r.reserve(count);
    const u64 pas = u64{1} << log_n;
    // The largest 1 + c 2^log_n below 2^bits, then downwards.
    for (u64 x = ((((u64{1} << bits) - 2) >> log_n) << log_n) + 1; r.size() < count && x > pas; x -= pas)
        if (est_premier(x)) r.push_back(x);
    if (r.size() < count) throw std::invalid_argument("premiers_ntt");
    return r;
}
