// SPDX-License-Identifier: GPL-3.0-or-later
// The walk over the digits of N, from the structure of its divisors.
//
// Write N = p^a * M with p prime not dividing M. Every divisor of N is
// p^i * m with m | M, so a set of proper divisors sums to N exactly when
// N = sum over i of p^i * X_i, X_i being a sum of distinct divisors of M
// (for i = a, without M itself). The count is a walk over the digits of N
// in base p, from the lowest, with a carry that never passes
// sigma(M) / (p - 1); each step needs only the subset-sum counts of the
// divisors of M, a table over sigma(M) / 2 sums (a set and its complement
// have the same count), not over N.
//
// Estimated cost: the passes of M's table, and for a >= 2 the a - 1 carry
// steps, once per modulus, the moduli shared by two threads when the budget
// holds two sets of tables. Needs the factorization of N. Wins for large N
// with one large prime power or a small sigma(M): 720720, 10^18 = 2^18 5^18,
// 1000001808 = 2^4 3^3 13 41 43 101 (p = 101: a table of 1.6 10^7 sums).
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <optional>

#include "couts.hpp"
#include "deux_fils.hpp"
#include "methode.hpp"
#include "modules.hpp"
#include "noyaux.hpp"
#include "primalite.hpp"
#include "reconstruction.hpp"
#include "sigma.hpp"

namespace {

struct Marche {
    u64 p = 0;        // the prime whose digits are walked
    unsigned a = 0;   // its exponent in N
    u64 M = 0;        // N / p^a
    u64 sigma = 0;    // sum of the divisors of M
    u64 H = 0;        // sigma / 2: the half table of M's subset sums
    u64 retenue = 0;  // bound of the carry: sigma / (p - 1)
    // Items of M's table: each base d with the k terms d, 2d, ..., 2^(k-1) d
    // (the divisors of M grouped along the powers of 2), lightest first.
    std::vector<u64> base;
    std::vector<unsigned> termes;
    std::size_t modules = 0;  // moduli of the count, or of its values (par_valeur)
    // With a = 1, the count is the sum over k of F(p k) F(M - k), F counting
    // subsets of M's divisors: each value F(p k), F(M - k) is kept modulo
    // every modulus, rebuilt exactly and the products summed. The values
    // are sums of M's divisors, about half the items of N: half the moduli
    // of the count, for cmax + 1 pairs of values kept (cmax below).
    bool par_valeur = false;
    u64 cmax = 0;  // largest carry read at the top digit, a = 1: min(sigma / p, M)
    // Tables of 32-bit cells, modulo primes below 2^31, when those of 64
    // bits do not fit: twice the moduli, half the memory.
    bool etroit = false;
    unsigned fils = 1;       // threads that share the moduli
    std::size_t octets = 0;  // memory of one thread's tables (TablesMarche below)
    double cellules = 0;     // estimated table cells written, all moduli
};

// f[s] += f[s - d] for s in [a, b], ascending or not; modulo 2^64, the
// values written ORed into *bits (noyaux.hpp).
inline void ajoute(u64* f, std::size_t a, std::size_t b, std::size_t d, u64 p, Progres& c, u64* bits, bool montee) {
    if (montee)
        ajoute_asc(f, a, b, d, p, c, bits);
    else
        ajoute_desc(f, a, b, d, p, c, bits);
}
inline void ajoute(u32* f, std::size_t a, std::size_t b, std::size_t d, u32 p, Progres& c, u64*, bool montee) {
    if (montee)
        ajoute_asc(f, a, b, d, p, c);
    else
        ajoute_desc(f, a, b, d, p, c);
}

// The first `items` items of M added to f, whose window [0, depart] holds
// counts already; the window grows to [0, limite] at most, beyond which
// nothing is kept. Returns the top of the window.
// An item of k terms d, ..., 2^(k-1) d has for subset sums the multiples
// j d, j < 2^k, each once: running sums with stride d, then the difference
// at stride 2^k d.
template <class T>
std::size_t ajoute_items(const Marche& pl, std::size_t items, T* f, std::size_t depart, std::size_t limite, u64 p,
                         Progres& c, u64* bits) {
    const T q = static_cast<T>(p);  // below 2^31 on 32-bit cells
    std::size_t hi = depart;
    u128 somme = depart;
    for (std::size_t t = 0; t < items; ++t) {
        const u64 d = pl.base[t];
        const unsigned k = pl.termes[t];
        somme += static_cast<u128>(d) * ((u64{1} << k) - 1);
        const std::size_t hi2 = somme < limite ? static_cast<std::size_t>(somme) : limite;
        const std::size_t ancien = hi;  // top of the window before the item
        hi = hi2;
        if (d > hi2 || (k > 1 && d < 8)) {
            // Nothing reaches the window, or running sums of a short stride:
            // the new cells cleared, then the item's passes over the window.
            if (hi2 > ancien) std::memset(f + ancien + 1, 0, (hi2 - ancien) * sizeof(T));
            if (d > hi2) continue;
            ajoute(f, d, hi2, d, q, c, bits, k > 1);
        } else if (k == 1) {
            // The new cells above the old window hold 0 + f[s - d]: copied
            // from below it, or 0, before the 0/1 step changes the cells
            // they read.
            // With d <= hi2: cells below d hold 0, those in [de, a] a copy,
            // those above a 0.
            if (hi2 > ancien) {
                const std::size_t de = std::max<std::size_t>(ancien + 1, d);
                const std::size_t a = std::min<std::size_t>(hi2, ancien + d);
                std::memset(f + ancien + 1, 0, (de - ancien - 1) * sizeof(T));
                std::memcpy(f + de, f + de - d, (a - de + 1) * sizeof(T));
                std::memset(f + a + 1, 0, (hi2 - a) * sizeof(T));
            }
            if (d <= ancien) ajoute(f, d, ancien, d, q, c, bits, false);
        } else {
            // Running sums: the new cells continue them from f[s - d],
            // in stretches of at most d cells, each copied from the one
            // below, already final (cell by cell for a short stride).
            if (d <= ancien) ajoute(f, d, ancien, d, q, c, bits, true);
            if (hi2 > ancien) {
                std::size_t s0 = ancien + 1;
                if (s0 < d) {  // d <= hi2
                    std::memset(f + s0, 0, (d - s0) * sizeof(T));
                    s0 = d;
                }
                if (d < 64)
                    for (; s0 <= hi2; ++s0) f[s0] = f[s0 - d];
                else
                    while (s0 <= hi2) {
                        const std::size_t n = std::min<std::size_t>(d, hi2 - s0 + 1);
                        std::memcpy(f + s0, f + s0 - d, n * sizeof(T));
                        s0 += n;
                    }
            }
        }
        c.ajoute(hi2 - d + 1);
        const u128 saut = static_cast<u128>(d) << k;
        if (k > 1 && saut <= hi2) {
            retire_desc(f, static_cast<std::size_t>(saut), hi2, static_cast<std::size_t>(saut), q, c);
            c.ajoute(hi2 - static_cast<std::size_t>(saut) + 1);
        }
    }
    return hi;
}

// Cells written by ajoute_items with the same arguments, and the top of the
// window in haut; those of running sums with a stride below 8, which are not
// vectorized, are also added to lentes.
double cellules_items(const Marche& pl, std::size_t items, u64 depart, u64 limite, u64& haut, double& lentes) {
    double n = 0;
    u128 somme = depart;
    haut = depart;
    for (std::size_t t = 0; t < items; ++t) {
        const u64 d = pl.base[t];
        const unsigned k = pl.termes[t];
        somme += static_cast<u128>(d) * ((u64{1} << k) - 1);
        const u64 hi = somme < limite ? static_cast<u64>(somme) : limite;
        haut = hi;
        if (d > hi) continue;
        n += static_cast<double>(hi - d + 1);
        if (k > 1 && d < 8) lentes += static_cast<double>(hi - d + 1);
        const u128 saut = static_cast<u128>(d) << k;
        if (k > 1 && saut <= hi) n += static_cast<double>(hi - static_cast<u64>(saut) + 1);
    }
    return n;
}

template <class T>
struct TablesMarche {
    T* f;  // half table: H + 1 cells
    // The carries, then the carries times the table of M (a >= 2): retenue +
    // sigma + 1 cells. Each step's new carries are written at the top of it,
    // from the highest down, below every cell they still read, then moved to
    // its bottom for the next step.
    T* W;
};

// The count modulo p (0: 2^64, on 64-bit cells only). With A and B (the
// walk par_valeur), the values F(p k) and F(M - k) modulo p instead, in
// A[k] and B[k]. Modulo 2^64, the values written are ORed into *bits (every
// other value is a difference of two of them, or a copy), and the sum of
// products is left in *exact: while bit 63 of *bits stays clear, no value
// has wrapped and that sum is the count plus 1.
template <class T>
u64 residu(const Marche& pl, u64 p, const TablesMarche<T>& t, Progres& c, u64* A, u64* B, u64* bits, Somme192* exact) {
    const u64 H = pl.H, sigma = pl.sigma;
    T* f = t.f;
    f[0] = 1;
    if (bits) *bits = 1;
    ajoute_items(pl, pl.base.size(), f, 0, H, p, c, bits);
    // Count of the subsets of divisors of M summing to s: s and sigma - s alike.
    auto F = [f, H, sigma](u64 s) -> u64 { return s > sigma ? 0 : f[s <= H ? s : sigma - s]; };
    Somme192 total;
    if (pl.a == 1) {
        // N = X_0 + p X_1: X_0 = p c, X_1 = M - c.
        if (A) {
            // p k and M - k stay within [0, sigma]: each read from the half
            // table directly, or from its mirror.
            const u64 n = pl.cmax + 1, k1 = std::min(n, H / pl.p + 1), k2 = std::min(n, pl.M > H ? pl.M - H : 0);
            for (u64 k = 0; k < k1; ++k) A[k] = f[pl.p * k];
            for (u64 k = k1; k < n; ++k) A[k] = f[sigma - pl.p * k];
            for (u64 k = 0; k < k2; ++k) B[k] = f[sigma - pl.M + k];
            for (u64 k = k2; k < n; ++k) B[k] = f[pl.M - k];
            c.solde();
            return 0;
        }
        for (u64 k = 0; k <= pl.cmax; ++k) total.ajoute(F(pl.p * k), F(pl.M - k));
    } else {
        T* const W = t.W;
        const u64 fin = pl.retenue + sigma;  // the top cell of W
        u64 cmax = sigma / pl.p;
        for (u64 k = 0; k <= cmax; ++k) W[k] = static_cast<T>(F(pl.p * k));
        // The last item (d, k terms) is left out of the table: only the
        // multiples of p of the product are read, each as h(x) - h(x - 2^k d)
        // from the running sums h along the classes modulo d, which stay
        // constant above the window.
        const std::size_t dernier = pl.base.size() - 1;
        const u64 d = pl.base[dernier];
        const u64 saut = d << pl.termes[dernier];
        for (unsigned i = 1; i < pl.a; ++i) {
            // Carry in, plus p^i X_i: the carries times the table of M,
            // kept at the multiples of p.
            const u64 hi = ajoute_items(pl, dernier, W, cmax, cmax + sigma, p, c, bits);
            if (d <= hi) {
                ajoute(W, d, hi, d, static_cast<T>(p), c, bits, true);
                c.ajoute(hi - d + 1);
            }
            // Above hi, h(y) is h at the top cell hi - q of the class of y
            // (q = (hi - y) mod d), 0 when the class has no cell there; y
            // and y - 2^k d share their class.
            const T* h = W;
            const u64 pas = pl.p % d;
            const u64 cmax2 = (cmax + sigma) / pl.p;
            // New carry k goes to W[base + k], k from the highest down: every
            // cell read for it lies at p k or below, and p k <= base + k since
            // p cmax2 <= cmax + sigma <= fin.
            const u64 base = fin - cmax2;
            const u64 x0 = pl.p * cmax2;
            u64 q = x0 <= hi ? (hi - x0) % d : (d - (x0 - hi) % d) % d;
            for (u64 k = cmax2 + 1; k-- > 0;) {
                const u64 x = pl.p * k;
                const u64 a = x <= hi ? h[x] : (q <= hi ? h[hi - q] : 0);
                const u64 b = x < saut ? 0 : (x - saut <= hi ? h[x - saut] : a);
                const u64 r = a - b;
                W[base + k] = static_cast<T>(p == 0 || a >= b ? r : r + p);
                q = q + pas >= d ? q + pas - d : q + pas;
            }
            std::memmove(W, W + base, (cmax2 + 1) * sizeof(T));
            cmax = cmax2;
            c.ajoute(cmax + 1);
        }
        for (u64 k = 0; k <= std::min(cmax, pl.M); ++k) total.ajoute(W[k], F(pl.M - k));
    }
    c.solde();
    if (exact) *exact = total;
    // Without M itself at the top digit: the set {M} alone (carry 0, every
    // lower X_i empty) is left out.
    const u64 r = total.modulo(p);
    return p == 0 ? r - 1 : (r == 0 ? p - 1 : r - 1);
}

// The tables of one thread, of 64-bit or of 32-bit cells, in a buffer
// borrowed from the thread's reserve: the walks of consecutive N find their
// pages there rather than fault in fresh ones.
struct Fil {
    TablesMarche<u64> t{};
    TablesMarche<u32> e{};
    bool allouer(const Marche& pl, Emprunt& tampon, Contexte& c) {
        u64* const memoire = tampon.obtenir(c, pl.octets / sizeof(u64));
        if (!memoire) return false;
        if (pl.etroit) {
            e.f = reinterpret_cast<u32*>(memoire);
            e.W = e.f + pl.H + 1;
        } else {
            t.f = memoire;
            t.W = t.f + pl.H + 1;
        }
        return true;
    }
    u64 residu(const Marche& pl, u64 p, Progres& c, u64* A, u64* B, u64* bits, Somme192* exact) const {
        return pl.etroit ? ::residu(pl, p, e, c, A, B, nullptr, nullptr) : ::residu(pl, p, t, c, A, B, bits, exact);
    }
};

class PlanChiffres : public Plan {
public:
    explicit PlanChiffres(Marche m) : m_(std::move(m)) {}
    Methode methode() const override { return Methode::chiffres; }
    // Its tables are M's, whatever the bound on the others.
    bool reductible() const override { return false; }
    Issue execute(Demande& d, mpz_class& resultat) override;

private:
    Marche m_;
};

Issue PlanChiffres::execute(Demande& d, mpz_class& resultat) {
    const Marche& pl = m_;
    const std::size_t K = pl.modules;
    std::vector<u64> modules;
    if (pl.etroit) {
        plus_grands_premiers(31, K, modules);  // below 2^31
    } else {
        modules.assign(K, 0);
        for (std::size_t i = 1; i < K; ++i) modules[i] = module(d.w.premiers, i);
    }
    unsigned fils = pl.fils > 1 && K > 1 ? 2 : 1;
    // The tables first, the largest loans; then the values of the walk
    // par_valeur: AB[i n + k] = F(p k), AB[(K + i) n + k] = F(M - k) modulo
    // the modulus i.
    Emprunt tampons[2] = {Emprunt(d.w.tampons, pl.octets / sizeof(u64)),
                          Emprunt(d.w.tampons, fils == 2 ? pl.octets / sizeof(u64) : 0)};
    const std::size_t n = pl.cmax + 1;
    Emprunt valeurs(d.w.tampons, pl.par_valeur ? 2 * K * n : 0);
    Fil tables[2];
    for (unsigned i = 0; i < fils; ++i)
        if (!tables[i].allouer(pl, tampons[i], d.ctx)) {
            if (i == 0) return Issue::memoire;
            fils = 1;
        }
    u64* const AB = pl.par_valeur ? valeurs.obtenir(d.ctx, 2 * K * n) : nullptr;
    if (pl.par_valeur && !AB) return Issue::memoire;

    Progres pr(d.ctx.suivi());
    pr.prevoit(static_cast<std::uint64_t>(pl.cellules));
    std::vector<u64> residus(K, 0);
    // Modulo 2^64 first (64-bit cells): when no value wrapped, the count is
    // exact from that modulus alone, and the threads take no other.
    u64 bits = 0;
    Somme192 exact;
    std::atomic<bool> fini = false;
    auto travail = [&](unsigned t, Progres& c) {
        for (std::size_t i = t; i < K && !fini; i += fils) {
            const bool premier = i == 0 && !pl.etroit;
            u64* const A = pl.par_valeur ? &AB[i * n] : nullptr;
            u64* const B = pl.par_valeur ? &AB[(K + i) * n] : nullptr;
            residus[i] =
                tables[t].residu(pl, modules[i], c, A, B, premier ? &bits : nullptr, premier ? &exact : nullptr);
            if (premier && bits >> 63 == 0) fini = true;
        }
    };
    en_fils(fils, d.ctx.libres, d.ctx.suivi(), pr, travail);
    if (fini && !pl.par_valeur) {
        const u64 limbes[3] = {static_cast<u64>(exact.bas), static_cast<u64>(exact.bas >> 64), exact.retenues};
        mpz_import(resultat.get_mpz_t(), 3, -1, sizeof(u64), 0, 0, limbes);
        resultat -= 1;
        return Issue::fait;
    }
    if (pl.par_valeur) {
        // Each value exactly (modulo 2^64 alone when none wrapped), the
        // products summed; without M itself at the top digit ({M} alone,
        // k = 0, is left out).
        const std::span<const u64> premiers = pl.etroit ? std::span<const u64>(modules)
                                              : fini    ? std::span<const u64>()
                                                        : std::span<const u64>(modules).subspan(1);
        Reconstruction rebatir(premiers, !pl.etroit);
        resultat = somme_produits(rebatir, AB, AB + K * n, n, pr) - 1;
        return Issue::fait;
    }
    if (pl.etroit) {
        Reconstruction(modules, false)(residus.data(), 1, resultat);
        return Issue::fait;
    }
    resultat =
        K == 1 ? mpz_class(static_cast<unsigned long>(residus[0])) : reconstruire(residus.data(), K, d.w.premiers);
    return Issue::fait;
}

// M = N / p^a and the sum of its divisors; false past kSigmaMarcheMax.
bool reste(const Demande& d, u64 p, unsigned a, u64& M, u64& sigma) {
    M = static_cast<u64>(d.entree.cible);
    for (unsigned i = 0; i < a; ++i) M /= p;
    const std::optional<u64> s = sigma_sans(d.entree.facteurs, kSigmaMarcheMax, p);
    if (!s) return false;
    sigma = *s;
    return true;
}

// Less than any walk over the digits of p can cost: the half table written
// at least once (zeroed, at half the price of a pass, or summed) and the top
// digit's reads, for every modulus, two threads at most.
double borne_marche(const Demande& d, u64 p, unsigned a) {
    u64 M, sigma;
    if (!reste(d, p, a, M, sigma)) return kInfini;
    const std::size_t tours = (d.pb.modules + 1) / 2;
    const u64 H = sigma / 2, lus = std::min(sigma / p, M);
    return static_cast<double>(tours) *
           (static_cast<double>(H) * couts::kCelluleCache / 2 + couts::kLecture * static_cast<double>(lus));
}

// The walk over the digits of p^a, the estimate of its cost in cout; false
// when its tables do not fit the budget.
bool marche(const Demande& d, u64 p, unsigned a, Marche& c, double& cout, bool etroit = false,
            std::optional<bool> impose = {}) {
    const std::span<const Facteur> facteurs = d.entree.facteurs;
    // The whole budget: a count that holds part of it now gives it back,
    // and the walk waits for it.
    const std::size_t budget = d.machine.memoire;
    u64 M, sigma;
    if (!reste(d, p, a, M, sigma)) return false;
    std::vector<u64> impairs;                               // odd divisors of M, ascending
    const unsigned b = impairs_sans(facteurs, impairs, p);  // exponent of 2 in M
    c.p = p;
    c.a = a;
    c.M = M;
    c.sigma = static_cast<u64>(sigma);
    c.H = c.sigma / 2;
    c.retenue = c.sigma / (p - 1);
    c.cmax = std::min(c.sigma / p, M);
    // Each odd divisor r with r, 2r, ..., 2^b r: one item of b + 1 terms.
    c.base = std::move(impairs);
    c.termes.assign(c.base.size(), b + 1);

    // One thread's tables: f, then W.
    std::size_t cellules = c.H + 1;
    if (a >= 2) cellules += c.retenue + c.sigma + 1;

    const double passes = static_cast<double>(c.base.size()) * 2;
    u64 haut;
    double lentes = 0;
    double cell = cellules_items(c, c.base.size(), 0, c.H, haut, lentes);
    double fixe = passes * couts::kEtape + couts::kLecture * static_cast<double>(c.cmax);
    if (a >= 2) {
        // Every carry step bounded by the largest carry: the items but the
        // last, the running sums of the last, the carries read.
        double lentes_pas = 0;
        const double pas = cellules_items(c, c.base.size() - 1, c.retenue, c.retenue + c.sigma, haut, lentes_pas) +
                           static_cast<double>(haut) + static_cast<double>(c.retenue);
        if (c.base.back() < 8) lentes_pas += static_cast<double>(haut);
        cell += (a - 1) * pas;
        lentes += (a - 1) * lentes_pas;
        const u64 lus = c.sigma / p + c.retenue;  // carries read at each step
        fixe += (a - 1) * (passes * couts::kEtape + static_cast<double>(lus) * couts::kEchantillon);
    }

    // Cells of 64 bits, or of 32 bits modulo primes below 2^31: twice the
    // moduli, each pass half the memory; with a = 1, the count's residues or
    // the values' (par_valeur); whichever costs less, the moduli shared by
    // two threads where the budget holds two sets of tables.
    const std::size_t dM = c.base.size() * (b + 1);  // divisors of M
    // Per bit of the count, a cell of 32 bits costs as much as one of 64
    // or more: the narrow cells only where the wide ones do not fit twice in
    // the budget (one thread, or none, instead of two).
    const bool utile = 2 * static_cast<double>(cellules) * sizeof(u64) > static_cast<double>(budget);
    cout = kInfini;
    for (const bool e : {false, true}) {
        if ((etroit && !e) || (e && !etroit && !utile)) continue;
        const std::size_t octets = e ? (cellules + 1) / 2 * sizeof(u64) : cellules * sizeof(u64);
        const double largeur = e ? couts::cellule32(cellules) : 1.0;
        const double ns =
            fixe + (cell - lentes) * couts::cellule(cellules) * largeur + lentes * couts::kCelluleScalaire;
        const std::size_t K = e ? nombre_modules_31(d.pb.m) : d.pb.modules;
        for (const bool par_valeur : {false, true}) {
            const std::size_t Kv = !par_valeur ? K : e ? nombre_modules_31(dM) : nombre_modules(dM);
            if (impose ? *impose != par_valeur : par_valeur && Kv >= K) continue;
            if (par_valeur && a != 1) continue;
            const double n = static_cast<double>(c.cmax) + 1;
            const double valeurs = par_valeur ? 2 * static_cast<double>(Kv) * n * sizeof(u64) : 0;
            if (static_cast<double>(octets) + valeurs > static_cast<double>(budget)) continue;
            const unsigned fils = Kv > 1 && ns > couts::kFilMarche &&
                                          2 * static_cast<double>(octets) + valeurs <= static_cast<double>(budget)
                                      ? 2
                                      : 1;
            const std::size_t tours = (Kv + fils - 1) / fils;  // moduli per thread
            double total = static_cast<double>(tours) * ns;
            if (par_valeur) total += 2 * n * couts::kReconstruction * static_cast<double>(Kv);
            if (total >= cout) continue;
            cout = total;
            c.etroit = e;
            c.par_valeur = par_valeur;
            c.modules = Kv;
            c.octets = octets;
            c.fils = fils;
            c.cellules = static_cast<double>(Kv) * cell;
        }
    }
    return cout < kInfini;
}

std::unique_ptr<Plan> plan_de(Marche&& m, double cout) {
    // What it needs at least: the tables of one thread.
    const std::size_t octets = m.octets;
    auto plan = std::make_unique<PlanChiffres>(std::move(m));
    plan->cout = cout;
    plan->octets = octets;
    return plan;
}

}  // namespace

std::unique_ptr<Plan> plan_chiffres(Demande& d, std::uint64_t p, bool etroit, std::optional<bool> par_valeur) {
    if (d.entree.cible <= 0) return nullptr;
    for (const auto& [q, a] : d.entree.facteurs) {
        Marche m;
        double cout;
        if (q == p && marche(d, q, a, m, cout, etroit, par_valeur)) return plan_de(std::move(m), cout);
    }
    return nullptr;
}

std::unique_ptr<Plan> planifie_chiffres(Demande& d) {
    const Entree& e = d.entree;
    // Short counts are left to the table: the walk is not even priced.
    if (e.facteurs.empty() || e.cible <= 0 || d.plafond <= couts::kMarcheMin ||
        static_cast<double>(e.div.size()) * static_cast<double>(e.cible) <= couts::kMarchePetit)
        return nullptr;
    // The primes in the order of their bounds, each walk built while its
    // bound may still beat the best so far.
    std::array<std::pair<double, std::size_t>, 64> ordre;
    const std::size_t n = std::min(e.facteurs.size(), ordre.size());
    for (std::size_t i = 0; i < n; ++i) ordre[i] = {borne_marche(d, e.facteurs[i].first, e.facteurs[i].second), i};
    std::sort(ordre.begin(), ordre.begin() + n);
    Marche best;
    double cout_best = d.plafond;
    for (std::size_t i = 0; i < n && ordre[i].first < cout_best; ++i) {
        const auto& [p, a] = e.facteurs[ordre[i].second];
        Marche m;
        double cout;
        if (marche(d, p, a, m, cout) && cout < cout_best) {
            best = std::move(m);
            cout_best = cout;
        }
    }
    if (best.p == 0) return nullptr;
    return plan_de(std::move(best), cout_best);
}
