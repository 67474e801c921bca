// Factorization by trial division, extending the prime table on demand.
#include "decomp.hpp"

#include <cmath>

#include "premiers.hpp"

namespace {

// Opens the entry of a new prime factor p.
void nouveau_facteur(Travail& w, std::int64_t p, std::int64_t expo) {
    ++w.nf;
    w.Nexpo.append();
    w.Nfact.append();
    w.Nfact[w.nf] = p;
    w.Nexpo[w.nf] = expo;
}

}  // namespace

int decomp(Travail& w) {
    w.nf = 0;
    if (w.S < 1) return 1;  // nothing to factorize; the dialogue never asks
    std::int64_t k = 0;     // index of the trial prime
    while (w.S != 1) {
        ++k;
        if (k > w.np) Suiv(w);
        const std::int64_t Npk = w.Nprem[k];
        // Truncated double-precision root: never below the exact integer
        // root, at most one above it, so no composite is taken for a prime.
        const auto rS = static_cast<std::int64_t>(std::sqrt(static_cast<double>(w.S)));
        if (rS < Npk) {
            // No factor below Npk and S < Npk^2: what remains is prime.
            nouveau_facteur(w, w.S, 1);
            w.S = 1;
            break;
        }
        if (w.S % Npk != 0) continue;
        std::int64_t expo = 0;
        do {
            w.S /= Npk;
            ++expo;
        } while (w.S % Npk == 0);
        nouveau_facteur(w, Npk, expo);
    }
    return 1;
}
