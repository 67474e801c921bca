// Divisor list: exponent odometer, exact divisors, ascending order.
#include "diviseurs.hpp"

#include <algorithm>

#include "decomp.hpp"

void suiv2(Travail& w, std::int64_t& k) {
    std::int64_t i = w.nf;
    while (i > 0 && w.Prod[i] == w.Nexpo[i]) --i;
    if (i == 0) return;
    ++w.Prod[i];
    for (++i; i <= w.nf; ++i) w.Prod[i] = 0;
    ++k;
}

void diviseurs(Travail& w) {
    w.SN = w.N;
    w.ns = 0;
    decomp(w);

    w.ND1 = 1;
    for (std::int64_t j = 1; j <= w.nf; ++j) w.ND1 *= w.Nexpo[j] + 1;
    w.ND1 -= 1;

    // Every slot is there before generation starts; generation only writes.
    for (std::int64_t j = 0; j <= w.ND1 + 3; ++j) w.Div.append();
    for (std::int64_t j = 0; j <= w.nf + 3; ++j) w.Prod.append();
    for (std::int64_t j = 0; j <= w.nf + 1; ++j) w.Prod[j] = 0;

    std::int64_t k = 1;  // divisors produced so far, 1 included
    w.Div[1] = 1;
    while (k < w.ND1) {
        suiv2(w, k);
        // Exact integer product: every divisor is below N, so it cannot
        // overflow, and it is exact for every N, beyond 2^53 too.
        std::int64_t Diviseur = 1;
        for (std::int64_t j = 1; j <= w.nf; ++j)
            for (std::int64_t e = 0; e < w.Prod[j]; ++e) Diviseur *= w.Nfact[j];
        w.Div[k] = Diviseur;
    }
    // Put in ascending order once all are there: inserting each divisor at
    // its place costs a time quadratic in their number, seconds for the
    // N below 2^63 that have over a hundred thousand divisors.
    std::sort(w.Div.data() + 1, w.Div.data() + 1 + w.ND1);

    w.Smax = 0;
    for (std::int64_t i = 1; i <= w.ND1; ++i) w.Smax += w.Div[i];
}
