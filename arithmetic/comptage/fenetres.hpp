// SPDX-License-Identifier: GPL-3.0-or-later
// The values of the split over two primes by number-theoretic transforms
// (deux_premiers.cpp has the split itself). With N = q M, M = r L and
// A_L(x) = F(x) over the sums x of L:
//   - A_M(q k), k = 0..K: write k = kappa + r t and the summation index
//     j = tau + q m; then q k - r j = (q kappa - r tau) + q r (t - m), so that
//     A_M(q (kappa + r t)) = sum over tau of (G_{kappa,tau} * D_tau)(t), with
//     G the entries of F in one residue class modulo q r (about
//     sigma(L) / (q r) of them) and D_tau those of class tau modulo q. Each
//     convolution runs by blocks (overlap-save), the sum over tau done once
//     per block as dot products over tau of the transformed sequences, for
//     a group of kappa at a time. When the G are short against the blocks,
//     each is evaluated at one frequency at a time rather than transformed,
//     so that its group grows.
//   - A_M(M - k), k = 0..K, a window of consecutive sums: for each residue
//     rho modulo r, the row F(rho + r x) convolved with one window of F,
//     whose transform by blocks serves every row.
// Cheaper than the direct dot products when sigma(L) is large against q r:
// those cost about K sigma(L) / r products a half, these about
// 2 r sigma(L) products and O((sigma(L) + K) log) butterflies.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>

#include "probleme.hpp"
#include "suivi.hpp"

// The shape of a split: N = q M, M = r L, F over [0, sigma(L)], values
// wanted for k = 0..K.
struct Geometrie {
    u64 q = 0, r = 0, M = 0, S = 0, K = 0;
};

// Length of row rho of the table regrouped modulo r (row rho holding
// F(rho + r i)), and where it starts.
struct Rangees {
    u64 r, Q, R;  // sigma(L) = Q r + R
    Rangees(u64 sigma, u64 r_) : r(r_), Q(sigma / r_), R(sigma % r_) {}
    u64 longueur(u64 rho) const { return Q + (rho <= R ? 1 : 0); }
    u64 debut(u64 rho) const { return rho * Q + std::min(rho, R + 1); }
};

// The sizes of the transforms of both halves and their price.
struct Fenetres {
    unsigned log_a = 0, log_b = 0;             // transform lengths, 2^log; 0: none
    u64 g_a = 0, g_b = 0;                      // lengths of the short factors
    u64 blocs_a = 0, blocs_b = 0;              // output blocks
    u64 groupe_a = 1;                          // residues kappa (half A) taken together
    bool directe_a = false;                    // the G evaluated at each frequency, not transformed
    u64 I0 = 0;                                // first row index of the window of B
    double papillons_a = 0, papillons_b = 0;   // butterflies per modulus
    double termes_a = 0;                       // products of the G evaluated, per modulus
    double lectures_a = 0;                     // cells of D read from memory, per modulus
    double produits = 0;                       // products in dot products per modulus (half A)
    double produits_seuls = 0;                 // pointwise products per modulus (half B)
    std::size_t partage_a = 0, partage_b = 0;  // cells shared by both threads
    std::size_t par_fil_a = 0, par_fil_b = 0;  // cells of each thread
    unsigned log_max() const { return log_a > log_b ? log_a : log_b; }
    // The work area of what is asked: half A (with half B) or half B alone.
    std::size_t partage() const { return log_a ? std::max(partage_a, partage_b) : partage_b; }
    std::size_t par_fil() const { return log_a ? std::max(par_fil_a, par_fil_b) : par_fil_b; }
};

// The transform lengths of half A, then of half B, that cost least within
// cellules_max cells of shared work, with their price (butterflies eight at
// a time with ifma); log_a (log_b) stays 0 when none fits.
void dimensionne_a(const Geometrie& g, double cellules_max, Fenetres& f, bool ifma = false);
void dimensionne_b(const Geometrie& g, double cellules_max, Fenetres& f, bool ifma = false);

// A_M(q k) into ra[k], k = 0..K, modulo the prime p (p - 1 divisible by
// 2^log_a, p below 2^bits_produits), from the half table A of F
// (F(x) = A[min(x, S - x)], every A below p). travail: f.partage() + fils
// f.par_fil() cells. The work is shared between fils threads (en_fils).
void valeurs_a(const Geometrie& g, const Fenetres& f, const u64* A, u64 p, bool ifma, u64* ra, u64* travail,
               unsigned fils, std::atomic<int>* libres, Suivi* suivi, Progres& pr);
// B_M(M - k) into rb[k], k = 0..K, the same way (p - 1 divisible by
// 2^log_b), from a half table of 64-bit or 32-bit cells, and its rows from
// the regrouped table when there is one.
template <class T>
void valeurs_b(const Geometrie& g, const Fenetres& f, const T* A, u64 p, u64* rb, u64* travail, unsigned fils,
               std::atomic<int>* libres, Suivi* suivi, Progres& pr, const T* rangees = nullptr);
