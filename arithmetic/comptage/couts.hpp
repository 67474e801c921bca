// SPDX-License-Identifier: GPL-3.0-or-later
// The cost model of every counting method: estimated nanoseconds of the
// kernels, calibrated on this machine by bench_noyaux (bench/README.md says
// how to calibrate again on another one).
#pragma once

#include <cstddef>

namespace couts {

// Table cell updated by a 0/1 step or a running sum, by the size of the table
// the pass runs over (in cells): within L2 (bench_noyaux: 0.10 ns at 2^16
// cells), within the last-level cache (0.15 ns at 2^20), then in memory,
// where the passes are bound by its bandwidth (0.40 ns at 2^24).
constexpr std::size_t kCache = std::size_t{1} << 17;
constexpr std::size_t kCache2 = std::size_t{1} << 21;
constexpr double kCelluleCache = 0.11;
constexpr double kCelluleCache2 = 0.17;
constexpr double kCelluleGrande = 0.45;
inline double cellule(std::size_t cellules) {
    return cellules <= kCache ? kCelluleCache : cellules <= kCache2 ? kCelluleCache2 : kCelluleGrande;
}
// A cell of 32 bits against one of 64 (bench_noyaux: desc_32 and asc_32
// against desc_premier and asc_premier, 0.22 and 0.29 ns against 0.45 and
// 0.56 in memory; within the caches 0.55 and 0.8).
inline double cellule32(std::size_t cellules) { return cellules <= kCache2 ? 0.7 : 0.5; }
// Running sums with a stride below 8, kept in registers rather than
// vectorized (stride 1: 0.36 ns modulo 2^64, 1.4 ns modulo a prime).
constexpr double kCelluleScalaire = 1.0;
// Fixed cost of one pass over a table.
constexpr double kEtape = 12.0;
// Sorted list entry merged (1.4 to 2.0 ns as the lists grow), and the fixed
// cost of one merge.
constexpr double kListe = 2.0;
constexpr double kFusion = 30.0;
// List entry read against the table, per modulus.
constexpr double kFeuille = 1.0;
// Histogram cell of the meet in the middle, modulo 2^64, then modulo a prime.
constexpr double kScalaire = 0.3;
constexpr double kScalairePremier = 1.5;
// Pair joined by the meet in the middle.
constexpr double kPaire = 3.0;
// Pair of table cells read and multiplied at the last digit of the walk.
constexpr double kLecture = 4.0;
// Carry read from the running sums of the walk.
constexpr double kEchantillon = 1.5;

// Product added in a dot product modulo a prime: AVX-512 IFMA (primes below
// 2^50), 128-bit accumulators (below 2^60).
constexpr double kProduitIfma = 0.4;
constexpr double kProduit = 0.9;
// The same within the caches, where the windows of a dot product overlap
// from one to the next (bench_noyaux produit_*: 0.13 ns with IFMA, 0.07 on
// 32-bit cells, 0.41 on 128-bit accumulators).
inline double produit_cache(bool ifma, bool etroit) { return ifma ? (etroit ? 0.07 : 0.13) : 0.41; }
// Number-theoretic transforms (fenetres.cpp): a butterfly of a transform
// of length 2^log_n (bench_noyaux transformee: 1.6 ns; eight at a time in
// AVX-512 IFMA, 0.3 to 0.5 ns, and the copies around it, which weigh more
// on short transforms), a product modulo a prime on its own (Montgomery's
// form), the fixed cost of a dot product.
constexpr double kPapillon = 2.0;
inline double papillon(bool ifma, unsigned log_n) { return !ifma ? kPapillon : log_n >= 12 ? 0.5 : 1.0; }
constexpr double kProduitSeul = 3.0;
// A root of a transform's length and its quotients, computed for each
// modulus.
constexpr double kRacine = 150.0;
constexpr double kAppel = 8.0;
// Cells of one thread for the transformed rows of a group of residues
// (half A), whose dot products then share each row of the other side read
// from memory.
constexpr double kGroupe = double{1 << 21};
// A product added into a sum on 128 bits (the short G evaluated).
constexpr double kTerme = 1.0;
// A value rebuilt from its residues and multiplied into a sum, per modulus.
constexpr double kReconstruction = 15.0;

// ---------------------------------------------------------------------------
// Where each method is priced at all: below these estimates of the best plan
// so far (nanoseconds), or these sizes, a planner gives nothing at once, its
// pricing costing more than it could win.

// The zigzag table: below this cost of the ascending table its steps are not
// worth building; and it has never been seen below a third of that cost
// (0.35 on the N up to 10^6), so it is not built when that would not win.
constexpr double kZigzagMin = 20e3;
constexpr double kZigzagGain = 0.3;
// The lists of the queue are grown for at most this share of the best plan.
constexpr double kPartListes = 0.03;
// The meet in the middle.
constexpr double kMilieuMin = 1e6;
// The walk over the digits of N: below this many cells (divisors times N),
// the table over every sum ends in a few milliseconds; below this estimate
// of the best plan, the walk is not priced either.
constexpr double kMarchePetit = 2e6;
constexpr double kMarcheMin = 0.05e6;
// The split over two primes; over three, only where the best plan so far
// passes 10 ms (its rows of transforms cost tenths of milliseconds each).
constexpr double kScissionMin = 1e6;
constexpr double kTroisMin = 1e7;

// Where a count's work is shared with a second thread: past this many
// nanoseconds per modulus of the digit walk, and this many products per
// modulus of the split.
constexpr double kFilMarche = 2e6;
constexpr double kFilProduits = 4e6;

// A count short of memory that only other counts hold waits for them rather
// than run a plan this many times as costly as the one that did not fit.
constexpr double kAttente = 2;

// Past this estimate (nanoseconds) a count checks whether more memory than
// its budget would make it at least kConseilGain times faster.
constexpr double kConseilMin = 1e9;
constexpr double kConseilGain = 10;

// Above this estimate a count is long: what is written goes to the reader
// before it starts.
constexpr double kLong = 10e6;

}  // namespace couts
