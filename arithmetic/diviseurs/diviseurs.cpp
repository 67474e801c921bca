// SPDX-License-Identifier: GPL-3.0-or-later
// Divisor list: exponent odometer, exact divisors, ascending order.
#include "diviseurs.hpp"

#include <algorithm>

#include "decomp.hpp"

std::int64_t suiv2(Travail& w, std::int64_t& k) {
    std::int64_t i = w.nf;
    while (i > 0 && w.Prod[i] == w.Nexpo[i]) --i;
    if (i == 0) return 0;
    ++w.Prod[i];
    for (std::int64_t j = i + 1; j <= w.nf; ++j) w.Prod[j] = 0;
    ++k;
    return i;
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
    // partiel[j]: the product of Nfact[q]^Prod[q] for q <= j, kept as the
    // odometer moves, so that each divisor costs one multiplication. Exact
    // integers: every divisor is below N, so none overflows.
    std::int64_t partiel[64];
    for (std::int64_t j = 0; j <= w.nf && j < 64; ++j) partiel[j] = 1;
    while (k < w.ND1) {
        const std::int64_t i = suiv2(w, k);
        partiel[i] *= w.Nfact[i];
        for (std::int64_t j = i + 1; j <= w.nf; ++j) partiel[j] = partiel[i];
        w.Div[k] = partiel[w.nf];
    }
    // Put in ascending order once all are there: inserting each divisor at
    // its place costs a time quadratic in their number, seconds for the
    // N below 2^63 that have over a hundred thousand divisors.
    std::sort(w.Div.data() + 1, w.Div.data() + 1 + w.ND1);

    w.Smax = 0;
    for (std::int64_t i = 1; i <= w.ND1; ++i) w.Smax += w.Div[i];
}
