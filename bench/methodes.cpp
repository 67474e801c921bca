// SPDX-License-Identifier: GPL-3.0-or-later
// The method the engine picks for each N given, its estimate, the time it
// takes and the count, one tab-separated line per N: where a count's time goes, and how
// far the estimate is from it. Usage:
//   methodes [--memoire Mio] [--scission Q R [--transformees 0|1|2] | --trois D C B] [--estime] N...
// (--scission: the split over Q and R imposed, with so many halves of its
// values by transforms, by cost without --transformees; --trois: the split
// over three primes imposed, N = D M, rows modulo C; --estime: the estimate alone,
// nothing counted); without N, the N are read from standard input, one per
// line.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "decomp.hpp"
#include "diviseurs.hpp"
#include "moteur.hpp"
#include "premiers.hpp"

int main(int argc, char** argv) {
    std::size_t octets = Budget::kDefaut;
    int i = 1;
    if (argc > 2 && std::strcmp(argv[1], "--memoire") == 0) {
        octets = std::strtoull(argv[2], nullptr, 10) << 20;
        i += 2;
    }
    std::optional<Imposee> impose;
    if (i + 2 < argc && std::strcmp(argv[i], "--scission") == 0) {
        impose = Imposee{Methode::scission, 0, std::strtoull(argv[i + 1], nullptr, 10),
                         std::strtoull(argv[i + 2], nullptr, 10)};
        i += 3;
        if (i + 1 < argc && std::strcmp(argv[i], "--transformees") == 0) {
            impose->transformees = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
            i += 2;
        }
    }
    if (i + 3 < argc && std::strcmp(argv[i], "--trois") == 0) {
        impose = Imposee{Methode::trois, 0, std::strtoull(argv[i + 1], nullptr, 10),
                         std::strtoull(argv[i + 2], nullptr, 10)};
        impose->r = std::strtoull(argv[i + 3], nullptr, 10);
        i += 4;
    }
    bool compter = true;
    if (i < argc && std::strcmp(argv[i], "--estime") == 0) {
        compter = false;
        ++i;
    }
    Budget budget(octets);
    Contexte ctx(budget, nullptr, processeur());
    Moteur moteur(ctx);
    Travail w;
    amorce(w);
    std::printf("N\tmethode\testime (s)\ttemps (s)\tsolutions\n");
    std::vector<std::int64_t> liste;
    for (; i < argc; ++i) liste.push_back(std::strtoll(argv[i], nullptr, 10));
    if (liste.empty())
        for (long long n; std::scanf("%lld", &n) == 1;) liste.push_back(n);
    for (const std::int64_t n : liste) {
        w.N = n;
        w.S = n;
        diviseurs(w);
        std::vector<Facteur> f;
        for (std::int32_t j = 1; j <= w.nf; ++j)
            f.emplace_back(static_cast<std::uint64_t>(w.Nfact[j]), static_cast<unsigned>(w.Nexpo[j]));
        const Entree e{{w.Div.data() + 1, static_cast<std::size_t>(w.ND1)}, w.SN, f};
        const double estime = moteur.estime(e) * 1e-9;
        if (!compter) {
            std::printf("%lld\t\t%.3g\t\n", static_cast<long long>(n), estime);
        } else {
            const auto t0 = std::chrono::steady_clock::now();
            const Compte c = impose ? moteur.denombre(e, *impose) : moteur.denombre(e);
            const std::chrono::duration<double> t = std::chrono::steady_clock::now() - t0;
            std::printf("%lld\t%s\t%.3g\t%.6f\t%s\n", static_cast<long long>(n), nom(c.methode), estime, t.count(),
                        c.valeur.get_str().c_str());
        }
        std::fflush(stdout);
        remise(w);
    }
    return 0;
}
