// SPDX-License-Identifier: GPL-3.0-or-later
// The work tables and shared values of the divisor arithmetic: one object,
// created at start-up and handed to every routine that factorizes N, lists
// its divisors and counts its equal sums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <gmpxx.h>

// A growable table of signed 64-bit integers indexed from 1. Slot 0 always
// exists and carries no data; the table grows by appending a zero slot and
// shrinks by removing its last slot.
class Table {
public:
    explicit Table(std::size_t slots = 1) : v_(slots < 1 ? 1 : slots, 0) {}

    std::int64_t& operator[](std::size_t q) { return v_[q]; }
    std::int64_t operator[](std::size_t q) const { return v_[q]; }

    // Number of slots, slot 0 included.
    std::size_t slots() const { return v_.size(); }
    void append() { v_.push_back(0); }
    void remove_last() {
        if (v_.size() > 1) v_.pop_back();
    }
    // k zero slots appended at once; every slot but slot 0 removed.
    void append(std::size_t k) { v_.resize(v_.size() + k, 0); }
    void clear() { v_.resize(1); }
    const std::int64_t* data() const { return v_.data(); }
    std::int64_t* data() { return v_.data(); }

private:
    std::vector<std::int64_t> v_;
};

// Everything the per-number computation reads and writes.
struct Travail {
    // Created in this order: Div, Nprem, Nexpo, Nfact.
    Table Div{1};
    Table Nprem{3};
    Table Nexpo{1};
    Table Nfact{1};

    // For each odd prime Nprem[q]: its inverse modulo 2^64 and the largest
    // quotient (2^64 - 1) / Nprem[q], so that divisibility costs two
    // multiplications instead of a division. Kept beside the prime table
    // by the routines that fill it.
    std::vector<std::uint64_t> inverse;
    std::vector<std::uint64_t> limite;

    std::int64_t N = 0;    // the number being processed
    std::int64_t S = 0;    // the number under factorization, divided down to 1
    std::int64_t np = 0;   // primes held in Nprem
    std::int32_t nf = 0;   // distinct prime factors held in Nfact / Nexpo
    std::int64_t SN = 0;   // copy of N: the target sum
    mpz_class ns = 0;      // subsets of proper divisors whose sum is N
    std::int64_t ND1 = 0;  // number of proper divisors of N
    // Sum of the proper divisors. It exceeds 2^63 - 1 for some N above
    // 10^18, so it is held on 128 bits; it never exceeds 2^127.
    __int128 Smax = 0;

    // Room for the merges that list the divisors in order.
    std::vector<std::int64_t> base, autre;
};

// Brings Div, Nexpo and Nfact back to their single slot 0, in that
// order, once each N is done. The prime table is left alone.
void remise(Travail& w);
