// SPDX-License-Identifier: GPL-3.0-or-later
// Number-theoretic transforms: Gentleman-Sande stages forward, Cooley-Tukey
// stages back, with Harvey's lazy reductions.
#include "ntt.hpp"

#include <algorithm>
#include <stdexcept>

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
}

void Ntt::direct(u64* a) const {
    const u64 p = p_, p2 = 2 * p;
    // (x, y) -> (x + y, (x - y) w), values below 2p.
    for (std::size_t h = n_ / 2; h >= 1; h /= 2) {
        const u64* w = w_.data() + h;
        const u64* ws = ws_.data() + h;
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

void Ntt::inverse(u64* a) const {
    const u64 p = p_, p2 = 2 * p;
    // (x, y) -> (x + y / w, x - y / w), values below 2p.
    for (std::size_t h = 1; h < n_; h *= 2) {
        const u64* w = wi_.data() + h;
        const u64* ws = wis_.data() + h;
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
