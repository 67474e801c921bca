// The digit walk of structure.hpp: the half table of the subset sums of the
// divisors of M, the carries digit by digit, once per modulus, the moduli
// shared by one or two threads.
#include "structure.hpp"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "comptage_interne.hpp"
#include "suivi.hpp"

using comptage_interne::u128;
using comptage_interne::u64;
using comptage_interne::ajoute_asc;
using comptage_interne::ajoute_desc;
using comptage_interne::Avancement;
using comptage_interne::retire_desc;

namespace {

// The first `items` items of M added to f, whose window [0, depart] holds
// counts already; the window grows to [0, limite] at most, beyond which
// nothing is kept. Returns the top of the window.
// An item of k terms d, ..., 2^(k-1) d has for subset sums the multiples
// j d, j < 2^k, each once: running sums with stride d, then the difference
// at stride 2^k d.
std::size_t ajoute_items(const PlanStructure& pl, std::size_t items, u64* f, std::size_t depart,
                         std::size_t limite, u64 p, Avancement& c) {
    std::size_t hi = depart;
    u128 somme = depart;
    for (std::size_t t = 0; t < items; ++t) {
        const u64 d = pl.base[t];
        const unsigned k = pl.termes[t];
        somme += static_cast<u128>(d) * ((u64{1} << k) - 1);
        const std::size_t hi2 = somme < limite ? static_cast<std::size_t>(somme) : limite;
        if (hi2 > hi) std::memset(f + hi + 1, 0, (hi2 - hi) * sizeof(u64));
        hi = hi2;
        if (d > hi2) continue;
        if (k == 1) {
            ajoute_desc(f, d, hi2, d, p);
            c.ajoute(hi2 - d + 1);
        } else {
            ajoute_asc(f, d, hi2, d, p);
            c.ajoute(hi2 - d + 1);
            const u128 saut = static_cast<u128>(d) << k;
            if (saut <= hi2) {
                retire_desc(f, static_cast<std::size_t>(saut), hi2, static_cast<std::size_t>(saut), p);
                c.ajoute(hi2 - static_cast<std::size_t>(saut) + 1);
            }
        }
    }
    return hi;
}

struct Tables {
    u64* f;  // half table: H + 1 cells
    u64* C;  // carries: retenue + 1 cells (a >= 2)
    u64* W;  // carries times the table of M: retenue + sigma + 1 cells (a >= 2)
};

// The count modulo p (0: 2^64).
u64 residu(const PlanStructure& pl, u64 p, const Tables& t, Avancement& c) {
    const u64 H = pl.H, sigma = pl.sigma;
    u64* f = t.f;
    f[0] = 1;
    ajoute_items(pl, pl.base.size(), f, 0, H, p, c);
    // Count of the subsets of divisors of M summing to s: s and sigma - s alike.
    auto F = [f, H, sigma](u64 s) { return s > sigma ? u64{0} : f[s <= H ? s : sigma - s]; };
    comptage_interne::Somme192 total;
    if (pl.a == 1) {
        // N = X_0 + p X_1: X_0 = p c, X_1 = M - c.
        const u64 cmax = std::min(sigma / pl.p, pl.M);
        for (u64 k = 0; k <= cmax; ++k) total.ajoute(F(pl.p * k), F(pl.M - k));
    } else {
        u64 cmax = sigma / pl.p;
        for (u64 k = 0; k <= cmax; ++k) t.C[k] = F(pl.p * k);
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
            std::copy(t.C, t.C + cmax + 1, t.W);
            const u64 hi = ajoute_items(pl, dernier, t.W, cmax, cmax + sigma, p, c);
            if (d <= hi) {
                ajoute_asc(t.W, d, hi, d, p);
                c.ajoute(hi - d + 1);
            }
            // Above hi, h(y) is h at the top cell hi - q of the class of y
            // (q = (hi - y) mod d), 0 when the class has no cell there; y
            // and y - 2^k d share their class.
            const u64* h = t.W;
            const u64 pas = pl.p % d;
            u64 q = hi % d;
            cmax = (cmax + sigma) / pl.p;
            for (u64 k = 0; k <= cmax; ++k) {
                const u64 x = pl.p * k;
                const u64 a = x <= hi ? h[x] : (q <= hi ? h[hi - q] : 0);
                const u64 b = x < saut ? 0 : (x - saut <= hi ? h[x - saut] : a);
                const u64 r = a - b;
                t.C[k] = p == 0 || a >= b ? r : r + p;
                q = q >= pas ? q - pas : q + d - pas;
            }
            c.ajoute(cmax + 1);
        }
        for (u64 k = 0; k <= std::min(cmax, pl.M); ++k) total.ajoute(t.C[k], F(pl.M - k));
    }
    c.solde();
    // Without M itself at the top digit: the set {M} alone (carry 0, every
    // lower X_i empty) is left out.
    const u64 r = total.modulo(p);
    return p == 0 ? r - 1 : (r == 0 ? p - 1 : r - 1);
}

struct Fil {
    Memoire memoire;
    Tables t{};
    bool allouer(const PlanStructure& pl) {
        const std::size_t n = pl.octets / sizeof(u64);
        memoire = Memoire(memoire_obtenir(n), MemoireRendue{n});
        if (!memoire) return false;
        t.f = memoire.get();
        t.C = t.f + pl.H + 1;
        t.W = t.C + pl.retenue + 1;
        return true;
    }
};

}  // namespace

bool compte_structure(const PlanStructure& pl, mpz_class& resultat) {
    const std::size_t K = pl.modules;
    std::vector<u64> modules(K, 0);
    for (std::size_t i = 1; i < K; ++i) modules[i] = comptage_interne::module_premier(i - 1);
    const std::size_t octets = pl.octets;
    unsigned fils = pl.fils > 1 && K > 1 ? 2 : 1;
    std::optional<Reservation> reservation;
    reservation.emplace(fils * octets);
    if (!*reservation && fils == 2) {
        fils = 1;
        reservation.emplace(octets);
    }
    // Held by other counts: waited for in the order of N.
    if (!*reservation && budget_attend(octets)) reservation.emplace(octets);
    if (!*reservation) return false;
    Fil tables[2];
    for (unsigned i = 0; i < fils; ++i)
        if (!tables[i].allouer(pl)) {
            if (i == 0) return false;
            fils = 1;
        }

    suivi_prevoit(static_cast<std::uint64_t>(pl.cellules));
    std::vector<u64> residus(K, 0);
    auto travail = [&](unsigned t) {
        Avancement c;
        for (std::size_t i = t; i < K; i += fils) residus[i] = residu(pl, modules[i], tables[t].t, c);
    };
    if (fils == 1) {
        travail(0);
    } else {
        Suivi* suivi = suivi_courant();
        std::exception_ptr erreur;
        {
            // Joined on the way out, whatever this thread throws.
            std::jthread aide;
            try {
                aide = std::jthread([&] {
                    suivi_attache(suivi);
                    try {
                        travail(1);
                    } catch (...) {
                        erreur = std::current_exception();
                    }
                });
            } catch (const std::system_error&) {
                travail(1);  // no thread to be had: its share here too
            }
            travail(0);
        }
        if (erreur) std::rethrow_exception(erreur);
    }
    resultat = K == 1 ? mpz_class(static_cast<unsigned long>(residus[0]))
                      : comptage_interne::reconstruire(residus.data(), K);
    return true;
}
