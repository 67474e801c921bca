// Internal pieces of the equal-sum count engine, shared by the comptage*.cpp
// files: the reduced problem, the reusable workspace, the plans, the table
// kernels, the sorted sum lists and the walks. Not a public interface.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include <gmpxx.h>

#include "suivi.hpp"

namespace comptage_interne {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

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
// Longest queue whose multiplicities are exact on 64 bits (below 2^63);
// longer lists keep them modulo each modulus in turn.
constexpr std::size_t kQueueMax = 63;
// Longest queue split in two halves by the meet in the middle.
constexpr std::size_t kQueueMilieuMax = 46;

// ---------------------------------------------------------------------------
// The problem after reduction (comptage.cpp).

struct Probleme {
    u64 T = 0;          // target, at most half of the total of the items
    u128 total = 0;     // sum of the items (>= 2T)
    std::size_t m = 0;  // number of items (Atelier::items)
    bool distincts = true;
    bool connu = false;  // the count is known without counting: resultat
    u64 resultat = 0;
    std::size_t zeros = 0;  // entries equal to 0: each doubles the count
};

// ---------------------------------------------------------------------------
// Counting table (comptage_table.cpp).
//
// The table f holds, for every sum s of the window [lo, hi], the number of
// subsets of the items processed so far whose sum is s, reduced modulo p
// (p == 0 stands for 2^64: plain wrapping arithmetic). Indexes are absolute
// sums. The window starts as [0, 0] with f[0] = 1 (the empty set); each step
// adds one item, or one doubling chain e, 2e, ..., 2^(k-1)e, whose subset
// sums are exactly the multiples j*e for j = 0 .. 2^k - 1, each once.
// Outside the window the cells are stale and never read.
struct Etape {
    u64 d;           // the item, or the base e of a chain
    u64 saut;        // 0 for a single item; 2^k * e for a chain of k items
    std::size_t lo;  // window after the step
    std::size_t hi;
};

// Runs the steps e[0..ne-1] on f (at least hi+1 cells for every step's hi)
// modulo p. Leaves the last step's window filled (or [0, 0] if ne == 0).
void execute_table(const Etape* e, std::size_t ne, u64* f, u64 p);

// Work units of those steps, as execute_table reports them to the Suivi of
// the thread: the cells of each step's window.
u64 unites_table(const Etape* e, std::size_t ne);

// Sum of f[i] * h[i] for i < n, modulo p (p == 0: modulo 2^64). Requires
// f[i] < p when p != 0.
u64 produit_scalaire(const u64* f, const u64* h, std::size_t n, u64 p);

// Sum of mult[i] * f[cible - x[i]] for i < n, modulo p (same conventions).
u64 somme_feuilles(const u64* f, u64 cible, const u64* x, const u64* mult, std::size_t n, u64 p);

// (a + b) mod p for a, b < p (p == 0: modulo 2^64).
inline u64 ajoute_mod(u64 a, u64 b, u64 p) {
    const u64 x = a + b;
    if (p == 0) return x;
    const u64 y = x - p;
    return x < y ? x : y;
}

// Exact sum of 128-bit products on 192 bits, reduced at the end modulo p
// (p == 0: modulo 2^64).
struct Somme192 {
    u128 bas = 0;
    u64 retenues = 0;

    void ajoute(u64 a, u64 b) {
        const u128 prod = static_cast<u128>(a) * b;
        bas += prod;
        if (bas < prod) ++retenues;
    }
    u64 modulo(u64 p) const {
        if (p == 0) return static_cast<u64>(bas);
        const u128 deux64 = (static_cast<u128>(1) << 64) % p;
        const u128 deux128 = deux64 * deux64 % p;
        return static_cast<u64>((retenues % p * deux128 + bas % p) % p);
    }
};

// ---------------------------------------------------------------------------
// Sorted sum lists (comptage_queue.cpp).

// One item v added to the list (s, m) of n distinct ascending sums with
// their multiplicities: merges the sums without v and with v, adding the
// multiplicities of equal sums modulo p (p == 0: modulo 2^64), and keeps
// the sums in [seuil, U]. Writes at most capacite entries to (s2, m2);
// returns their number, or capacite + 1 when more would be kept. Requires
// s[i] + v < 2^64.
std::size_t etend_liste(const u64* s, const u64* m, std::size_t n, u64 v, u64 seuil, u64 U,
                        u64* s2, u64* m2, std::size_t capacite, u64 p);

// Items of the largest-first part ("queue") of a problem: b[0..t-1],
// descending, with reste[k] = b[k] + ... + b[t-1] saturated at 2^63 and
// reste[t] = 0. The useful subset sums x are those in [L, U], U < 2^63.
struct Queue {
    const u64* b;
    const u64* reste;
    std::size_t t;
    u64 L;
    u64 U;
};

// Meet in the middle over the queue: sorted subset sums of the two halves,
// with multiplicities, joined on [L, U]. For every pair of sums (a, b) with
// a + b = x in [L, U] it adds mult(a) * mult(b) to h[cible - x - base].
// Requires t <= 63. Uses sommes/mults as scratch: 3 * capacite entries
// each. Returns false, with h partly filled, when a half keeps more than
// capacite distinct sums.
bool milieu(const Queue& q, u64 cible, u64 base, u64* h, u64* sommes, u64* mults,
            std::size_t capacite);

// Scratch for the depth-first walk: t + 1 slots each.
struct PileParcours {
    u64* x;
    std::size_t* k;
};

// Work units of one whole walk, as parcours reports them.
constexpr u64 kUnitesParcours = u64{1} << 32;

// Depth-first walk over the subsets of the queue, pruned on [L, U], taking
// each item before leaving it out; calls feuille(x) for each leaf. Only the
// pending "leave it out" branches are stacked: at most t of them. Memory is
// O(t) whatever the number of leaves, which may be astronomically large.
// Its progress goes to the Suivi of the thread as the share of the tree
// already left behind, each branch weighing half of its parent: a whole
// walk reports kUnitesParcours.
template <class Feuille>
void parcours(const Queue& q, PileParcours pile, Feuille&& feuille) {
    const std::size_t t = q.t;
    const u64* b = q.b;
    const u64* reste = q.reste;
    const u64 L = q.L, U = q.U;
    u64 rapporte = 0;  // units reported
    if (reste[0] < L) {  // even the whole queue stays below L
        suivi_avance(kUnitesParcours);
        return;
    }
    std::size_t n = 0;         // pending branches
    std::size_t k = 0;
    u64 x = 0;
    std::uint32_t noeuds = 0;  // nodes since the last safe point
    for (;;) {
        if (++noeuds == (std::uint32_t{1} << 18)) {
            noeuds = 0;
            // What is left: the current subtree and the pending branches.
            double a_faire = std::ldexp(1.0, -static_cast<int>(k));
            for (std::size_t i = 0; i < n; ++i) a_faire += std::ldexp(1.0, -static_cast<int>(pile.k[i]));
            const u64 fait = static_cast<u64>((1.0 - a_faire) * static_cast<double>(kUnitesParcours));
            if (fait > rapporte) {
                suivi_avance(fait - rapporte);
                rapporte = fait;
            } else {
                suivi_point();
            }
        }
        // Node (k, x): x <= U and x + reste[k] >= L.
        if (k == t) {
            feuille(x);
            if (n == 0) {
                suivi_avance(kUnitesParcours - rapporte);
                return;
            }
            --n;
            k = pile.k[n];
            x = pile.x[n];
            continue;
        }
        const u64 y = x + b[k];  // both below 2^63
        const bool sans = x + reste[k + 1] >= L;
        ++k;
        if (y <= U && y + reste[k] >= L) {
            if (sans) {
                pile.k[n] = k;
                pile.x[n] = x;
                ++n;
            }
            x = y;
        } else if (!sans) {
            if (n == 0) {
                suivi_avance(kUnitesParcours - rapporte);
                return;
            }
            --n;
            k = pile.k[n];
            x = pile.x[n];
        }
    }
}

// ---------------------------------------------------------------------------
// Moduli and exact rebuild (comptage_modules.cpp).

// Number of moduli (2^64, then primes just below 2^63) whose product exceeds
// every possible count with m items.
std::size_t nombre_modules(std::size_t m);

// The i-th prime below 2^63, descending (i = 0: the largest). Cached.
u64 module_premier(std::size_t i);

// The count from its residues: r[0] modulo 2^64, r[i] modulo
// module_premier(i - 1).
mpz_class reconstruire(const u64* r, std::size_t modules);

// ---------------------------------------------------------------------------
// Reusable workspace, one per thread (comptage.cpp).

// A buffer of 64-bit cells, of unspecified content, that only grows (by
// half again at least) and reports a failed allocation instead of throwing. Its bytes are
// taken from the memory budget of the process for as long as it holds them:
// a request the budget cannot grant fails like an allocation.
struct Tampon {
    Memoire p;
    std::size_t n = 0;

    Tampon() = default;
    Tampon(Tampon&& o) noexcept : p(std::move(o.p)), n(o.n) { o.n = 0; }
    Tampon& operator=(Tampon&& o) noexcept;
    ~Tampon() { rendre(); }

    u64* obtenir(std::size_t k);          // nullptr when memory or budget fails
    void rendre_si_gros(std::size_t max);  // frees it beyond max cells
    void rendre();                         // frees it
};

struct Atelier {
    std::vector<u64> items;     // usable items, ascending
    std::vector<u128> prefixe;  // prefixe[j] = items[0] + ... + items[j-1]
    std::vector<double> cout_prefixe;  // estimated cost of the table over items[0..j)
    std::vector<Etape> etapes;         // steps of the plan being run
    std::vector<Etape> etapes_zz;      // steps of the zigzag table
    std::vector<u64> queue, reste;     // queue items and suffix sums
    std::vector<u64> pile_x;           // walk scratch
    std::vector<std::size_t> pile_k;
    std::vector<u64> residus;
    Tampon table;         // counting table
    Tampon histo;         // histogram of the meet in the middle
    Tampon ls, lm;        // sum lists of the queue: 3 slots of sums, multiplicities
    std::size_t capa_liste = 0;  // entries per slot of ls / lm
    Tampon sommes, mults; // halves of the meet in the middle
};

// ---------------------------------------------------------------------------
// Table kernels (noyaux.cpp): f[s] += or -= f[s - d] for s in [a, b], modulo
// p (p == 0: modulo 2^64). _desc runs from b down to a (the 0/1 step of one
// item, or its removal); _asc from a up (running sums along each residue
// class modulo d). Each runs in stretches of a fraction of a millisecond,
// with a safe point (suivi_point) between two, so that a stop asked during
// a pass over the largest table is seen at once.
void ajoute_desc(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p);
void ajoute_asc(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p);
void retire_desc(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p);

// Work done by a count (table cells written), reported to the Suivi of the
// thread in batches: one atomic add per batch, not per step.
struct Avancement {
    static constexpr u64 kLot = u64{1} << 18;
    u64 fait = 0;  // not reported yet
    void ajoute(u64 n) {
        fait += n;
        if (fait >= kLot) solde();
    }
    void solde() {
        suivi_avance(fait);
        fait = 0;
    }
};

// Functions built twice, AVX2 and baseline x86-64, chosen at run time by GCC
// function multiversioning.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
#define SD_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define SD_CLONES
#endif

// ---------------------------------------------------------------------------
// Plans (comptage_plan.cpp).

enum class Methode {
    Table,    // the whole table, zigzag order (Atelier::etapes_zz)
    Liste,    // table over items[0..j), queue sums in the kept list
    Milieu,   // table over items[0..j), meet in the middle over the queue
    Parcours  // table over items[0..j), walk over the queue once per modulus
};

struct Plan {
    Methode methode = Methode::Table;
    std::size_t j = 0;       // items[0..j) in the table
    std::size_t lo = 0;      // window of the table at the end
    std::size_t hi = 0;
    std::size_t feuilles = 0;  // Liste with j < m: entries kept in slot 2 of ls / lm
    double cout = 0;         // estimated nanoseconds
};

struct Options {
    std::size_t cellules_max = kCellulesMax;
    bool milieu = true;
    // For the tests: one method imposed (with its split j, ignored by
    // Table); the planner then builds that plan whatever its cost.
    bool impose = false;
    Methode methode = Methode::Table;
    std::size_t j = 0;
    // Plans at or above this cost are not looked for (for estimates only:
    // the plan returned then costs at least plafond).
    double plafond = std::numeric_limits<double>::infinity();
};

// The cheapest plan for the problem with the given number of moduli. For
// Methode::Liste it leaves the queue sums in slot 2 of w.ls / w.lm; for
// Methode::Table the steps in w.etapes_zz.
Plan planifier(Atelier& w, const Probleme& pb, std::size_t modules, const Options& opt);

// The count with the given options, and the plan that ran (for the tests
// and the benchmarks: each method on the same input).
mpz_class compte_sommes_options(const std::int64_t* div, std::size_t n, std::int64_t cible,
                                const Options& opt, Plan* plan);

// Whether the estimated cost of the count passes seuil nanoseconds, without
// building any list (for comptage_long; cheap bounds first).
bool estimation_depasse(Atelier& w, const Probleme& pb, double seuil);

// The steps of the table over items[0..j), ascending.
void etapes_croissantes(Atelier& w, const Probleme& pb, std::size_t j);

// The list of useful sums of the queue items[j..m) with multiplicities
// modulo p, rebuilt in slots 0 and 1 of w.ls / w.lm (slot 2 is left
// alone). Returns its size; xs and ms point to it.
std::size_t liste_queue(Atelier& w, const Probleme& pb, std::size_t j, u64 p, const u64*& xs,
                        const u64*& ms);

// The window of the table over items[0..j) once the queue is left.
void fenetre_apres(const Atelier& w, const Probleme& pb, std::size_t j, std::size_t& lo,
                   std::size_t& hi);

}  // namespace comptage_interne
