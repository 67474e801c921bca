// SPDX-License-Identifier: GPL-3.0-or-later
// The equal-sum count against independent truths: the plain table of big
// integers, a complete enumeration, published counts, a closed form; every
// counting method imposed on the same inputs; the moduli of a count against
// the largest count possible; the table kernels against the plain loop; the
// exhaustive searches; an interrupted count.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include <gmpxx.h>

#include "chaine.hpp"
#include "modules.hpp"
#include "noyaux.hpp"
#include "outils/banc.hpp"
#include "outils/masques.hpp"
#include "suivi.hpp"
#include "verites.hpp"

namespace {

using verite::Liste;

mpz_class compte(const Liste& d, std::int64_t cible) { return Banc().compte(d, cible); }

Liste suite(std::int64_t n) {
    Liste d;
    for (std::int64_t x = 1; x <= n; ++x) d.push_back(x);
    return d;
}

}  // namespace

TEST(CompteSommes, TableDeGrandsEntiers) {
    // Counts beyond 64 bits (several moduli), other targets than N, the
    // complement symmetry near the full sum, and lists that are no divisors.
    const struct {
        Liste d;
        std::vector<std::int64_t> cibles;
    } cas[] = {
        {verite::diviseurs_par_paires(27720), {27720}},
        {verite::diviseurs_par_paires(55440), {55440}},
        {verite::diviseurs_par_paires(5040), {0, 1, 100, 1680, 5040, 7000, 14304, 14305}},
        {suite(100), {1000, 2525}},
        {{2, 1, 1, 3, 2}, {4}},  // repeated and unsorted entries
        {{}, {0, 5}},
    };
    for (const auto& c : cas)
        for (std::int64_t cible : c.cibles)
            EXPECT_EQ(compte(c.d, cible), verite::compte_table(c.d, cible)) << c.d.size() << " " << cible;
    EXPECT_EQ(compte(suite(10), -3), 0);
    EXPECT_EQ(compte({0, 1, 2, 0, 3}, 3), 8);  // {3} and {1, 2}, with or without each 0
}

TEST(CompteSommes, ChaqueMethodeImposee) {
    // Each method at several splits against the plain table, including the
    // ones the planner never picks for such small inputs.
    std::vector<std::pair<Liste, std::int64_t>> cas;
    for (std::int64_t n : {12, 18, 20, 24, 36, 48, 60, 72, 96, 120, 180, 240, 360})
        cas.emplace_back(verite::diviseurs_par_paires(n), n);
    for (std::int64_t n : {5040, 10080}) cas.emplace_back(verite::diviseurs_par_paires(n), n);
    cas.emplace_back(verite::diviseurs_par_paires(5040), 1680);
    Banc banc;
    for (const auto& [d, n] : cas) {
        const mpz_class attendu = verite::compte_table(d, n);
        for (Methode m : {Methode::table, Methode::zigzag}) {
            const Compte c = banc.impose(d, n, {m});
            EXPECT_EQ(c.valeur, attendu) << n;
            // The reduction alone settles a few of them.
            EXPECT_TRUE(c.methode == m || c.methode == Methode::aucune) << n << " " << nom(c.methode);
        }
        for (std::size_t q : {0, 1, 5, 9, 14, 20}) {
            // q: the queue items, counted from the reduced problem's end.
            for (Methode m : {Methode::listes, Methode::parcours, Methode::milieu}) {
                Compte c;
                try {
                    c = banc.impose(d, n, {m, q});
                } catch (const AucunPlan&) {
                    // The meet in the middle needs two queue items.
                    EXPECT_EQ(m, Methode::milieu) << n << " " << q;
                    EXPECT_LT(q, 2u) << n;
                    continue;
                }
                EXPECT_EQ(c.valeur, attendu) << n << " " << q << " " << nom(m);
                EXPECT_TRUE(c.methode == m || c.methode == Methode::aucune) << n << " " << nom(c.methode);
            }
        }
    }
}

TEST(CompteSommes, ListesLonguesSurPlusieursModules) {
    // Queues of more than 63 items: their multiplicities wrap modulo 2^64 and
    // the lists are merged again for each prime modulus.
    const Liste d = verite::diviseurs_par_paires(55440);
    const mpz_class attendu = verite::compte_table(d, 55440);
    Banc banc;
    for (std::size_t q : {64, 70, 90}) {
        const Compte c = banc.impose(d, 55440, {Methode::listes, q});
        EXPECT_EQ(c.valeur, attendu) << q;
        EXPECT_EQ(c.methode, Methode::listes) << q;
    }
}

TEST(CompteSommes, CellulesDe32BitsEtDeuxFils) {
    // Each table method on 32-bit cells (primes below 2^31), and with its
    // moduli shared by two threads, against the plain table: counts within
    // 64 bits and past them (55440: about 2^97, two moduli of 64 bits;
    // 110880: three), short queues and those whose lists are merged again
    // for each modulus.
    std::vector<std::pair<Liste, std::int64_t>> cas;
    for (std::int64_t n : {360, 5040, 55440, 110880}) cas.emplace_back(verite::diviseurs_par_paires(n), n);
    cas.emplace_back(verite::diviseurs_par_paires(55440), 27720);
    Banc banc;
    for (const auto& [d, n] : cas) {
        const mpz_class attendu = verite::compte_table(d, n);
        for (const bool etroit : {false, true})
            for (const unsigned fils : {1u, 2u}) {
                for (Methode m : {Methode::table, Methode::zigzag}) {
                    Imposee i{m};
                    i.etroit = etroit;
                    i.fils = fils;
                    EXPECT_EQ(banc.impose(d, n, i).valeur, attendu) << n << " " << nom(m) << " " << etroit << fils;
                }
                for (std::size_t q : {2, 9, 20, 40, 70}) {
                    for (Methode m : {Methode::listes, Methode::milieu, Methode::parcours}) {
                        if ((m == Methode::milieu && q > kQueueMilieuMax) || (m == Methode::parcours && q > 20))
                            continue;
                        Imposee i{m, q};
                        i.etroit = etroit;
                        i.fils = fils;
                        const Compte c = banc.impose(d, n, i);
                        EXPECT_EQ(c.valeur, attendu) << n << " " << q << " " << nom(m) << " " << etroit << fils;
                        EXPECT_TRUE(c.methode == m || c.methode == Methode::aucune) << n << " " << nom(c.methode);
                    }
                }
            }
    }
}

TEST(CompteSommes, TableDe32BitsQuandCelleDe64NeTientPas) {
    // Budgets that hold the whole table of 27720 (its proper divisors, 95
    // items, a count past 2^64) on 32-bit cells but not on 64: the engine
    // still counts it exactly, by whatever method fits.
    const Liste d = verite::diviseurs_par_paires(27720);
    const mpz_class attendu = verite::compte_table(d, 27720);
    for (std::size_t octets : {std::size_t{130000}, std::size_t{160000}, std::size_t{200000}}) {
        Banc banc(octets);
        EXPECT_EQ(banc.compte(d, 27720), attendu) << octets;
        Imposee i{Methode::table};
        EXPECT_EQ(banc.impose(d, 27720, i).valeur, attendu) << octets;
    }
}

TEST(CompteSommes, GrandsNombresFormesConnues) {
    // N = 2^k p, p an odd prime below 2^(k+1): the count is
    // floor((2^(k+1) - 1) / p). A perfect 2^k (2^(k+1) - 1) has one set.
    for (int k = 1; k <= 30; ++k)
        for (std::int64_t p : {3, 5, 7, 13, 31, 127, 509, 4093, 65521, 1048573, 16777213, 2147483647}) {
            const std::int64_t borne = std::int64_t{1} << (k + 1);
            if (p >= borne) continue;
            const Liste d = verite::diviseurs_de_facteurs({{2, k}, {p, 1}});
            EXPECT_EQ(compte(d, p << k), (borne - 1) / p) << k << " " << p;
        }
    for (int k : {1, 2, 4, 6, 12, 16, 18, 30}) {
        const std::int64_t p = (std::int64_t{2} << k) - 1;
        EXPECT_EQ(compte(verite::diviseurs_de_facteurs({{2, k}, {p, 1}}), p << k), 1) << k;
    }
    // Few divisors near 2^63: every subset enumerated on 128 bits.
    for (const auto& f : std::vector<std::vector<std::pair<std::int64_t, int>>>{
             {{2, 1}, {3, 1}, {715827883, 1}, {2147483647, 1}}, {{2, 3}, {3, 1}, {384307168202282279, 1}}}) {
        const Liste d = verite::diviseurs_de_facteurs(f);
        const std::int64_t n = d.back() * 2;
        std::uint64_t attendu = 0;
        for (std::uint64_t masque = 0; masque >> d.size() == 0; ++masque) {
            __int128 s = 0;
            for (std::size_t i = 0; i < d.size(); ++i) s += (masque >> i & 1) ? d[i] : 0;
            attendu += s == n;
        }
        EXPECT_EQ(compte(d, n), attendu) << n;
    }
}

TEST(Modules, ProduitAuDelaDuPlusGrandCompte) {
    // 2^64 times the moduli, distinct primes below 2^63, exceeds C(m, m/2).
    std::vector<u64> premiers;
    for (std::size_t m : {1u, 73u, 239u, 639u}) {
        mpz_class produit = mpz_class(1) << 64, borne;
        for (std::size_t i = 1; i < nombre_modules(m); ++i) {
            const mpz_class p(std::to_string(module(premiers, i)));
            EXPECT_TRUE(p < mpz_class(1) << 63 && mpz_probab_prime_p(p.get_mpz_t(), 30));
            EXPECT_NE(produit % p, 0);
            produit *= p;
        }
        mpz_bin_uiui(borne.get_mpz_t(), m, m / 2);
        EXPECT_GT(produit, borne) << m;
    }
    // Up to kItems64 items one modulus (2^64) suffices: the largest
    // coefficient of (1 + x)(1 + x^2)...(1 + x^k), computed here, stays
    // below 2^64; with one item more it does not.
    std::vector<mpz_class> c{1};
    mpz_class plus_grand;
    for (std::size_t k = 1; k <= kItems64 + 1; ++k) {
        c.resize(c.size() + k, 0);
        for (std::size_t s = c.size(); s-- > k;) c[s] += c[s - k];
        plus_grand = *std::max_element(c.begin(), c.end());
        if (k == kItems64) {
            EXPECT_LT(plus_grand, mpz_class(1) << 64);
        }
    }
    EXPECT_GE(plus_grand, mpz_class(1) << 64);
    EXPECT_EQ(nombre_modules(kItems64), 1u);
    EXPECT_GT(nombre_modules(kItems64 + 1), 1u);
}

TEST(Noyaux, SommesCumuleesDeToutPas) {
    // Running sums f[s] += f[s - d] for s from a up, every stride (those
    // below 8 take another loop), across a safe point (2^18 cells), modulo
    // 2^64 and modulo the largest prime below 2^63: against the plain loop
    // on 128 bits (the sums stay below 2^75). Modulo 2^64, small values for
    // the odd strides (nothing wraps, bit 63 of the ORed values stays clear)
    // and large ones for the even strides.
    std::vector<u64> premiers;
    const u64 p = module(premiers, 1);
    const std::size_t n = (std::size_t{1} << 18) + 1000;
    for (const u64 q : {u64{0}, p})
        for (std::size_t d = 1; d <= 9; ++d) {
            std::vector<u64> f(n);
            std::vector<u128> g(n);
            u64 x = 88172645463325252ull;  // xorshift
            for (std::size_t i = 0; i < n; ++i) {
                x ^= x << 13;
                x ^= x >> 7;
                x ^= x << 17;
                f[i] = q ? x % q : x >> (d % 2 ? 40 : 8);
                g[i] = f[i];
            }
            const std::size_t a = d + 3;
            u64 bits = 0;
            ajoute_asc(f.data(), a, n - 1, d, q, Progres{}, &bits);
            u64 ou = 0;
            bool pareil = true;
            for (std::size_t s = a; s < n; ++s) {
                g[s] += g[s - d];
                if (q) g[s] %= q;
                pareil = pareil && static_cast<u64>(g[s]) == f[s];
                // A wrapped sum passed 2^63 on the way (no step adds 2^56).
                ou |= g[s] >> 64 == 0 ? f[s] : u64{1} << 63;
            }
            EXPECT_TRUE(pareil) << "d = " << d << ", p = " << q;
            if (q == 0) {
                EXPECT_EQ(bits >> 63, ou >> 63) << d;
                EXPECT_EQ(ou >> 63, d % 2 == 0) << d;
            }
        }
}

TEST(Noyaux, ChaineDeDeuxFilsCommeLesPasUnParUn) {
    // Chains of each kind of step, small and large items (beyond a stretch
    // of 2^16 cells, and the whole table), on one thread and on two, 64-bit
    // and 32-bit cells: the same table as the steps run one after the other
    // by the plain loop.
    const std::size_t top = 300007;
    // Large items just before small ones: the lag that a step keeps
    // behind the one before is that one's item.
    const std::vector<u64> items = {1,  3,  70001, 5,   7,    9,      150001, 15,     21, 35,
                                    45, 63, 105,   315, 4097, 299999, 3,      300007, 1};
    const u64 p = 2147483629;  // prime, below 2^31
    for (const Pas pas : {Pas::ajoute_desc, Pas::retire_desc, Pas::ajoute_asc}) {
        // A table of every value, then the chain.
        std::vector<u64> depart(top + 1);
        u64 x = 88172645463325252ull;  // xorshift
        for (u64& v : depart) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            v = x % p;
        }
        std::vector<u64> attendu = depart;
        for (const u64 m : items) {
            if (pas == Pas::ajoute_asc)
                for (std::size_t s = m; s <= top; ++s) attendu[s] = (attendu[s] + attendu[s - m]) % p;
            else
                for (std::size_t s = top; s >= m; --s)
                    attendu[s] = (attendu[s] + (pas == Pas::ajoute_desc ? attendu[s - m] : p - attendu[s - m])) % p;
        }
        // Two threads ten times over: a race shows only now and then.
        for (const unsigned fils : {1u, 2u, 2u, 2u, 2u, 2u, 2u, 2u, 2u, 2u, 2u}) {
            std::vector<u64> f = depart;
            std::vector<u32> g(depart.begin(), depart.end());
            Progres pr;
            chaine(pas, f.data(), top, items, p, fils, nullptr, nullptr, pr);
            chaine(pas, g.data(), top, items, static_cast<u32>(p), fils, nullptr, nullptr, pr);
            EXPECT_EQ(f, attendu) << static_cast<int>(pas) << " " << fils;
            EXPECT_TRUE(std::equal(g.begin(), g.end(), attendu.begin())) << static_cast<int>(pas) << " " << fils;
        }
    }
}

TEST(RechercheExhaustive, ToutesLesCiblesEtPresDe2Puissance63) {
    const Liste d = verite::diviseurs_par_paires(120);
    for (std::int64_t c = 1; c <= 241; c += 3) {
        const mpz_class attendu = verite::compte_table(d, c);
        EXPECT_EQ(recherche_masques(d.data(), d.size(), c), attendu.get_si()) << c;
        EXPECT_EQ(recherche_profondeur(d.data(), d.size(), c), attendu) << c;
    }
    // Running sums that would pass 2^63 - 1 are abandoned, never wrapped.
    const std::int64_t g[] = {1, 2, 4611686018427387903, 4611686018427387904, 9223372036854775806};
    for (std::int64_t c : {INT64_MAX, INT64_MAX - 1}) {
        const std::int64_t attendu = c == INT64_MAX ? 2 : 1;
        EXPECT_EQ(recherche_masques(g, 5, c), attendu);
        EXPECT_EQ(recherche_profondeur(g, 5, c), attendu);
    }
}

TEST(Limite, LaMemeEstimationSurToutesLesMachines) {
    // The estimate a limit leaves counts out by depends on N and the options
    // only: not on the processor's extensions (IFMA changes the split's
    // moduli and products), nor on the memory the process's limits leave
    // (the walk and the split size their tables by it). The split, the walk
    // over 101, the walk over 2 or 5, and a heavy N of 10^9 + 8000.
    // clang-format off
    const ListeFacteurs cas[] = {
        {{2, 6}, {13, 1}, {41, 1}, {61, 1}, {157, 1}, {3061, 1}},
        {{2, 4}, {3, 3}, {13, 1}, {41, 1}, {43, 1}, {101, 1}},
        {{2, 4}, {3, 2}, {5, 1}, {7, 1}, {11, 1}, {13, 1}},
        {{2, 18}, {5, 18}},
        {{2, 6}, {3, 2}, {5, 3}, {17, 1}, {19, 1}, {43, 1}},
    };
    // clang-format on
    const Processeur tout{true};
    for (const ListeFacteurs& f : cas) {
        const Liste d = verite::diviseurs_de_facteurs(f);
        std::int64_t n = 1;
        for (auto [p, e] : f)
            for (int k = 0; k < e; ++k) n *= p;
        const auto g = Banc::facteurs(f);
        const Entree e{d, n, g};
        const double attendu = Banc(Budget::kDefaut, nullptr, Processeur{}).moteur.estime(e);
        EXPECT_GT(attendu, 0) << n;
        for (const Processeur& cpu : {processeur(), tout}) {
            // The whole budget asked, or a tenth of it left by the limits.
            for (const std::size_t permis : {Budget::kDefaut, Budget::kDefaut / 10}) {
                Budget budget(permis, Budget::kDefaut);
                Contexte ctx(budget, nullptr, cpu);
                Moteur moteur(ctx);
                EXPECT_EQ(moteur.estime(e), attendu) << n << " " << cpu.ifma << " " << permis;
                // Below its estimate the count is left out before any table.
                ctx.limite = attendu / 2;
                EXPECT_THROW(moteur.compte(e), CompteEcarte) << n;
            }
        }
    }
}

TEST(CompteSommes, InterrompuPuisRecommence) {
    // Asked to stop, a count stops, gives its memory back, and leaves the
    // workspace of its thread as good as new for the next count.
    const std::vector<std::int64_t> d = verite::diviseurs_par_paires(4324320);
    const mpz_class attendu = Banc().compte(d, 4324320);
    Budget budget;
    Suivi s;
    bool interrompu = false;
    mpz_class apres;
    std::thread t([&] {
        Contexte ctx(budget, &s);
        Moteur moteur(ctx);
        const Entree e{d, 4324320, {}};
        try {
            moteur.compte(e);
        } catch (const Interruption&) {
            interrompu = true;
        }
        // The same engine, the same workspace: the next count is whole.
        s.arret.store(false);
        apres = moteur.compte(e);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    s.arret.store(true);
    t.join();
    EXPECT_TRUE(interrompu);
    EXPECT_EQ(apres, attendu);
    // The whole count announced its work and reported all of it.
    EXPECT_GT(s.prevu.load(), 0u);
    EXPECT_EQ(s.fait.load(), s.prevu.load());
    // The engine has gone: every byte it took is back in the budget.
    EXPECT_EQ(budget.disponible(), budget.total());
}

TEST(Limite, ConseilQuandLaMemoireFeraitDixFoisMieux) {
    // 1000001808 = 2^4 3^3 13 41 43 101: in 16 MiB its walk over 101 (a
    // table of 1.6 10^7 sums) does not fit and the best plan left is more
    // than ten times slower; the process's limits would allow 900 MiB.
    const ListeFacteurs f{{2, 4}, {3, 3}, {13, 1}, {41, 1}, {43, 1}, {101, 1}};
    const Liste d = verite::diviseurs_de_facteurs(f);
    const auto g = Banc::facteurs(f);
    const Entree e{d, 1000001808, g};
    const std::size_t petit = std::size_t{16} << 20;
    Budget budget(petit, petit, Budget::kDefaut);
    Contexte ctx(budget, nullptr, Processeur{});
    Moteur moteur(ctx);
    const auto c = moteur.conseil(e);
    ASSERT_TRUE(c.has_value());
    EXPECT_GT(c->octets, petit);
    EXPECT_LE(c->octets, Budget::kDefaut);
    // The estimates the advice compares, each for its own memory.
    const auto estime = [&e](std::size_t octets) {
        Budget b(octets);
        Contexte x(b, nullptr, Processeur{});
        return Moteur(x).estime(e);
    };
    EXPECT_EQ(estime(c->octets), c->cout);
    EXPECT_GE(estime(petit), 10 * c->cout);
    // Said in whole hundreds of MiB, and the least of them that does: the
    // hundred below does not.
    const std::size_t cent = std::size_t{100} << 20;
    EXPECT_EQ(c->octets % cent, 0u);
    if (c->octets - cent > petit) {
        EXPECT_GT(10 * estime(c->octets - cent), estime(petit));
    }
    // No advice when the limits allow no more than the budget, nor for a
    // count of milliseconds.
    Budget serre(petit);
    Contexte y(serre, nullptr, Processeur{});
    EXPECT_FALSE(Moteur(y).conseil(e).has_value());
    const Liste d720720 = verite::diviseurs_par_paires(720720);
    EXPECT_FALSE(moteur.conseil(Entree{d720720, 720720, {}}).has_value());
    // With no budget at all (the limits took everything), the advice is
    // still found, from the first hundred of MiB on.
    Budget rien(0, 0, Budget::kDefaut);
    Contexte z(rien, nullptr, Processeur{});
    const auto depuis_rien = Moteur(z).conseil(e);
    ASSERT_TRUE(depuis_rien.has_value());
    EXPECT_EQ(depuis_rien->octets, c->octets);
}
