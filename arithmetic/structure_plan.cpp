// Planning of the digit walk: the factorization of N recovered from its
// divisor list, and for each prime power p^a of N the estimated cost and
// memory of the walk over the digits of N in base p.
#include <algorithm>

#include "comptage_interne.hpp"
#include "structure.hpp"
#include "suivi.hpp"

using comptage_interne::u128;
using comptage_interne::u64;

namespace {

// Estimated nanoseconds, as in the engine's planner.
constexpr double kEtape = 12.0;       // fixed cost of one pass
constexpr double kLecture = 4.0;      // pair of table cells read at the last digit
constexpr double kEchantillon = 1.5;  // carry read from the running sums

// Table cell written: within the caches, then in memory (the passes are
// bound by its bandwidth there).
double cout_cellule(std::size_t cellules) { return cellules <= (std::size_t{1} << 22) ? 0.35 : 0.9; }

// A first bound on the sums of divisors of M, before the memory budget has
// its say: the half table would take 1 GiB.
constexpr u64 kSigmaMax = u64{1} << 28;
// Below this many nanoseconds per modulus, a second thread does not pay.
constexpr double kFilMin = 2e6;

// Cells written by the first `items` items of the plan from the window
// [0, depart] up to [0, limite] at most (the passes of structure.cpp), and
// the top of the window in haut.
double cellules_items(const PlanStructure& pl, std::size_t items, u64 depart, u64 limite, u64& haut) {
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
        const u128 saut = static_cast<u128>(d) << k;
        if (k > 1 && saut <= hi) n += static_cast<double>(hi - static_cast<u64>(saut) + 1);
    }
    return n;
}

}  // namespace

bool facteurs_depuis_liste(const std::int64_t* div, std::size_t n, std::int64_t cible,
                           std::vector<std::pair<u64, unsigned>>& facteurs) {
    facteurs.clear();
    if (cible < 2 || n == 0 || div[0] != 1) return false;
    const u64 N = static_cast<u64>(cible);
    u64 produit = 1, diviseurs = 1;
    for (std::size_t i = 0; i < n; ++i) {
        if (div[i] <= 0 || div[i] >= cible || (i > 0 && div[i] <= div[i - 1])) return false;
        const u64 d = static_cast<u64>(div[i]);
        if (N % d != 0) return false;
        if (d == 1) continue;
        bool nouveau = true;
        for (const auto& [q, e] : facteurs)
            if (d % q == 0) {
                nouveau = false;
                break;
            }
        if (!nouveau) continue;
        // The smallest divisor above 1 that no prime found so far divides
        // is a prime.
        unsigned e = 0;
        for (u64 x = N; x % d == 0; x /= d) {
            ++e;
            produit *= d;
        }
        diviseurs *= e + 1;
        if (diviseurs > n + 1) return false;
        facteurs.emplace_back(d, e);
    }
    return produit == N && diviseurs == n + 1;
}

bool planifier_structure(const std::vector<std::pair<u64, unsigned>>& facteurs, std::size_t n,
                         std::int64_t cible, PlanStructure& plan, u64 impose) {
    const std::size_t K = comptage_interne::nombre_modules(n);
    // The whole budget: a count that holds part of it now gives it back,
    // and the walk waits for it (suivi.hpp).
    const std::size_t budget = budget_total();
    bool trouve = false;
    for (const auto& [p, a] : facteurs) {
        if (impose != 0 && p != impose) continue;
        // M = N / p^a, the sum of its divisors and its prime powers.
        u64 M = static_cast<u64>(cible);
        for (unsigned i = 0; i < a; ++i) M /= p;
        u128 sigma = 1;
        unsigned b = 0;  // exponent of 2 in M
        std::vector<u64> impairs{1};  // odd divisors of M
        for (const auto& [q, e] : facteurs) {
            if (q == p) continue;
            u128 s = 1, qk = 1;
            for (unsigned i = 0; i < e; ++i) {
                qk *= q;
                s += qk;
            }
            sigma *= s;
            if (sigma > kSigmaMax) break;
            if (q == 2) {
                b = e;
                continue;
            }
            const std::size_t m = impairs.size();
            u64 x = 1;
            for (unsigned i = 0; i < e; ++i) {
                x *= q;
                for (std::size_t j = 0; j < m; ++j) impairs.push_back(impairs[j] * x);
            }
        }
        if (sigma > kSigmaMax) continue;
        PlanStructure c;
        c.p = p;
        c.a = a;
        c.M = M;
        c.sigma = static_cast<u64>(sigma);
        c.H = c.sigma / 2;
        c.retenue = c.sigma / (p - 1);
        // Each odd divisor r with r, 2r, ..., 2^b r: one item of b + 1 terms.
        std::sort(impairs.begin(), impairs.end());
        c.base = impairs;
        c.termes.assign(impairs.size(), b + 1);
        c.modules = K;

        // One thread's tables (the Tables of structure.cpp): f, then C and W.
        std::size_t cellules = c.H + 1;
        if (a >= 2) cellules += 2 * (c.retenue + 1) + c.sigma;
        const double octets = static_cast<double>(cellules) * sizeof(u64);
        if (octets > static_cast<double>(budget)) continue;

        const double passes = static_cast<double>(c.base.size()) * 2;
        u64 haut;
        double cell = cellules_items(c, c.base.size(), 0, c.H, haut);
        double ns = passes * kEtape + kLecture * static_cast<double>(std::min(c.sigma / p, M));
        if (a >= 2) {
            // Every carry step bounded by the largest carry: the items but
            // the last, the running sums of the last, the carries read.
            const double pas = cellules_items(c, c.base.size() - 1, c.retenue, c.retenue + c.sigma, haut) +
                               static_cast<double>(haut) + static_cast<double>(c.retenue);
            cell += (a - 1) * pas;
            const u64 lus = c.sigma / p + c.retenue;  // carries read at each step
            ns += (a - 1) * (passes * kEtape + static_cast<double>(lus) * kEchantillon);
        }
        ns += cell * cout_cellule(cellules);
        c.octets = cellules * sizeof(u64);
        c.fils = K > 1 && ns > kFilMin && 2 * octets <= static_cast<double>(budget) ? 2 : 1;
        const std::size_t tours = (K + c.fils - 1) / c.fils;  // moduli per thread
        c.cout = static_cast<double>(tours) * ns;
        c.cellules = static_cast<double>(K) * cell;
        if (!trouve || c.cout < plan.cout) {
            plan = std::move(c);
            trouve = true;
        }
    }
    return trouve;
}
