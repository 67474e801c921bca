// SPDX-License-Identifier: GPL-3.0-or-later
// The factorizations of consecutive N at once, for the ranges computed
// without the dialogue: a segmented sieve over the primes up to 2^20 (or the
// square root of the range's largest N when smaller), each cofactor left
// above them finished by Miller-Rabin and Pollard's rho.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sigma.hpp"

class Crible {
public:
    // For N up to nmax (>= 1).
    explicit Crible(std::int64_t nmax);

    // Factors every N of [a, a + n), a >= 1 and a + n - 1 <= nmax.
    void factorise(std::int64_t a, std::size_t n);
    // The primes of a + i, ascending, with their exponents (none for 1).
    std::span<const Facteur> facteurs(std::size_t i) const { return {f_.data() + i * kPlaces, nombre_[i]}; }

private:
    // Distinct primes of an N below 2^63: at most 15.
    static constexpr std::size_t kPlaces = 16;

    std::vector<std::uint32_t> premiers_;  // the sieving primes, ascending
    std::uint64_t borne_ = 1;              // every prime up to it is sieved
    std::vector<std::uint64_t> reste_;     // what the sieve leaves of each N
    std::vector<Facteur> f_;               // kPlaces per N
    std::vector<std::uint8_t> nombre_;     // primes found per N
    std::vector<std::uint64_t> rho_;
};
