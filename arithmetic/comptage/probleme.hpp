// SPDX-License-Identifier: GPL-3.0-or-later
// What a count is asked and what it works on: the request (the values, the
// target, the factorization of the target when the values are its proper
// divisors), the problem after reduction, and the reusable workspace of the
// engine of one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "contexte.hpp"
#include "memoire.hpp"
#include "modulaire.hpp"
#include "sigma.hpp"

// A count: how many sets of entries of div sum to cible. div holds positive
// values, ascending (the proper divisors of N); any list is accepted, though:
// unsorted or repeated entries are counted as a search over subsets counts
// them, an entry 0 doubles the count and negative entries are left out.
// facteurs is the factorization of cible, ascending, when div is exactly the
// list of its proper divisors, and empty otherwise.
struct Entree {
    std::span<const std::int64_t> div;
    std::int64_t cible = 0;
    std::span<const Facteur> facteurs;
};

// ---------------------------------------------------------------------------
// Limits.

// Cells (8 bytes) of the counting table.
constexpr std::size_t kCellulesMax = std::size_t{1} << 26;  // 512 MiB
// Table plus histogram beside the meet in the middle.
constexpr std::size_t kCellulesMaxMilieu = std::size_t{1} << 24;  // 128 MiB
// Distinct sums per list of the queue (3 lists of sums and multiplicities,
// 48 bytes per entry).
constexpr std::size_t kCapaciteListe = std::size_t{1} << 21;  // 96 MiB
// Distinct sums per half of the meet in the middle (same layout).
constexpr std::size_t kCapaciteMilieu = std::size_t{1} << 23;  // 384 MiB
// Sum of the divisors of M past which the walk over the digits of N = p^a M
// is not priced, before the memory budget has its say: its half table would
// take 2 GiB of 32-bit cells.
constexpr u64 kSigmaMarcheMax = u64{1} << 30;
// Longest queue whose multiplicities are exact on 64 bits (below 2^63);
// longer lists keep them modulo each modulus in turn.
constexpr std::size_t kQueueMax = 63;
// Longest queue split in two halves by the meet in the middle.
constexpr std::size_t kQueueMilieuMax = 46;

// ---------------------------------------------------------------------------
// The problem after reduction (moteur.cpp): the items of Atelier::items.

struct Probleme {
    u64 T = 0;          // target, at most half of the total of the items
    u128 total = 0;     // sum of the items (>= 2T)
    std::size_t m = 0;  // number of items
    bool distincts = true;
    bool connu = false;  // the count is known without counting: resultat
    u64 resultat = 0;
    std::size_t zeros = 0;    // entries equal to 0: each doubles the count
    std::size_t modules = 1;  // moduli the count may need (modules.hpp)
};

// ---------------------------------------------------------------------------
// Buffers.

// A buffer of 64-bit cells, of unspecified content, that only grows (by
// half again at least) and reports a failed allocation instead of throwing.
// Its bytes are taken from the memory budget of the count's context for as
// long as it holds them: a request the budget cannot grant fails like an
// allocation.
struct Tampon {
    Memoire p;
    std::size_t n = 0;
    Budget* budget = nullptr;  // where the bytes held go back

    Tampon() = default;
    Tampon(Tampon&& o) noexcept : p(std::move(o.p)), n(o.n), budget(o.budget) { o.n = 0; }
    Tampon& operator=(Tampon&& o) noexcept;
    ~Tampon() {
        if (p) rendre();
    }
    void echange(Tampon& o) noexcept {
        std::swap(p, o.p);
        std::swap(n, o.n);
        std::swap(budget, o.budget);
    }

    u64* obtenir(Contexte& c, std::size_t k);  // nullptr when memory or budget fails
    void rendre();                             // frees it
};

// Buffers above this many cells are given back at the end of each count;
// those below stay with the thread's reserve, so that the next counts of a
// range find their pages there instead of having the system clear fresh
// ones (a few gigabytes per 10^4 N at 10^9).
constexpr std::size_t kGardeMax = std::size_t{1} << 25;  // 256 MiB
// Buffers up to this many cells are taken half again as large as asked.
constexpr std::size_t kCroissanceMax = std::size_t{1} << 22;  // 32 MiB

// The reusable buffers of the counts of one thread. A plan borrows what it
// needs (Emprunt) and the buffer comes back when the loan ends, so that the
// next count finds it grown already.
class Reserve {
public:
    // The smallest buffer kept of at least k cells, else the largest (grown
    // by its obtenir), else (or for k = 0) an empty one.
    Tampon prend(std::size_t k);
    void rend(Tampon&& t);
    void libere();       // every buffer back to the budget
    void libere_gros();  // those above kGardeMax

private:
    std::vector<Tampon> libres_;
};

// A buffer borrowed from a Reserve for as long as the object lives.
class Emprunt {
public:
    Emprunt(Reserve& r, std::size_t k) : r_(&r), t_(r.prend(k)) {}
    Emprunt(Emprunt&& o) noexcept : r_(o.r_), t_(std::move(o.t_)) { o.r_ = nullptr; }
    Emprunt& operator=(Emprunt&&) = delete;
    ~Emprunt() {
        if (r_) r_->rend(std::move(t_));
    }
    u64* obtenir(Contexte& c, std::size_t k) { return t_.obtenir(c, k); }
    u64* get() const { return t_.p.get(); }
    std::size_t cellules() const { return t_.n; }
    // Takes t in place of its buffer, which goes back to the budget.
    void remplace(Tampon&& t) noexcept { t_ = std::move(t); }

private:
    Reserve* r_;
    Tampon t_;
};

// One step of a counting table (noyaux.hpp).
struct Etape {
    u64 d;           // the item, or the base e of a chain
    u64 saut;        // 0 for a single item; 2^k * e for a chain of k items
    std::size_t lo;  // window after the step
    std::size_t hi;
};

// The workspace of the counts of one thread: the reduced problem's items with
// what every planner reads about them, scratch that no count keeps, and the
// reusable buffers. Nothing in it belongs to one method.
struct Atelier {
    std::vector<u64> items;            // usable items, ascending
    std::vector<u128> prefixe;         // prefixe[j] = items[0] + ... + items[j-1]
    std::vector<double> cout_prefixe;  // estimated cost of the table over items[0..j)
    std::vector<Etape> etapes;         // steps of a table built at its run
    std::vector<u64> residus;          // residues of the count being rebuilt
    std::vector<u64> premiers;         // the prime moduli found so far (modules.hpp)
    Reserve tampons;

    // Every buffer back to the budget; or only those above kGardeMax.
    void libere() { tampons.libere(); }
    void libere_gros() { tampons.libere_gros(); }
};
