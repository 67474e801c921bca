// SPDX-License-Identifier: GPL-3.0-or-later
// A segmented sieve over the small primes, and the cofactors it leaves.
#include "crible.hpp"

#include <algorithm>
#include <cmath>

#include "primalite.hpp"
#include "rho.hpp"

namespace {

constexpr std::uint64_t kBorneMax = std::uint64_t{1} << 20;

// The integer square root of n < 2^63.
std::uint64_t racine_entiere(std::uint64_t n) {
    auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    while (r * r > n) --r;
    while ((r + 1) * (r + 1) <= n) ++r;
    return r;
}

}  // namespace

Crible::Crible(std::int64_t nmax) {
    borne_ = std::min(kBorneMax, std::max<std::uint64_t>(racine_entiere(static_cast<std::uint64_t>(nmax)), 1));
    std::vector<bool> compose(borne_ + 1, false);
    for (std::uint64_t p = 2; p <= borne_; ++p) {
        if (compose[p]) continue;
        premiers_.push_back(static_cast<std::uint32_t>(p));
        for (std::uint64_t q = p * p; q <= borne_; q += p) compose[q] = true;
    }
}

void Crible::factorise(std::int64_t a, std::size_t n) {
    const auto debut = static_cast<std::uint64_t>(a);
    reste_.resize(n);
    f_.resize(n * kPlaces);
    nombre_.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) reste_[i] = debut + i;
    for (const std::uint32_t p : premiers_) {
        const std::uint64_t r = debut % p;
        for (std::size_t i = r == 0 ? 0 : p - r; i < n; i += p) {
            unsigned e = 0;
            do {
                reste_[i] /= p;
                ++e;
            } while (reste_[i] % p == 0);
            f_[i * kPlaces + nombre_[i]++] = {p, e};
        }
    }
    // What is left has no prime up to borne_: a prime when below
    // (borne_ + 1)^2, otherwise tested and split.
    const std::uint64_t premier_sur = (borne_ + 1) * (borne_ + 1);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t c = reste_[i];
        if (c == 1) continue;
        Facteur* f = f_.data() + i * kPlaces;
        if (c < premier_sur || est_premier(c)) {
            f[nombre_[i]++] = {c, 1};
            continue;
        }
        rho_.clear();
        facteurs_rho(c, rho_);
        std::sort(rho_.begin(), rho_.end());
        for (std::size_t q = 0; q < rho_.size();) {
            std::size_t s = q;
            while (s < rho_.size() && rho_[s] == rho_[q]) ++s;
            f[nombre_[i]++] = {rho_[q], static_cast<unsigned>(s - q)};
            q = s;
        }
    }
}
