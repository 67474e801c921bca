// SPDX-License-Identifier: GPL-3.0-or-later
// The cells and threads of the table methods, by cost.
#include "cellules.hpp"

double choisit_largeur(const Demande& d, const BesoinTable& b, Cellules& c) {
    const double budget = static_cast<double>(d.machine.memoire);
    const double autres = static_cast<double>(b.autres);
    const double larges = static_cast<double>(b.n) * sizeof(u64);
    // The narrow cells where the wide ones do not fit twice.
    const bool utile = 2 * larges + autres > budget || b.n > b.limite;
    c = Cellules{false, 1, d.pb.modules};
    double best = kInfini;
    for (const bool e : {false, true}) {
        if (b.etroites ? *b.etroites != e : e && !utile) continue;
        const Cellules x{e, 1, e ? nombre_modules_31(d.pb.m) : d.pb.modules};
        if (x.emprunt(b.n) > b.limite) continue;
        const double octets = static_cast<double>(x.octets(b.n));
        if (octets + autres > budget) continue;
        const double module = b.table * (e ? couts::cellule32(b.n) : 1.0) + b.fin;
        for (const unsigned fils : {1u, 2u}) {
            if (b.fils ? b.fils != fils
                       : fils == 2 && (!b.partage || module <= couts::kFilMarche || 2 * octets + autres > budget))
                continue;
            // Modulo 2^64 alone first on 64-bit cells.
            const std::size_t premier = e ? 0 : 1;
            const std::size_t partages = x.modules - std::min(premier, x.modules);
            const std::size_t par_fil = premier + (partages + fils - 1) / fils;  // moduli, rounded up
            const double tours = static_cast<double>(par_fil);
            if (tours * module < best) {
                best = tours * module;
                c = x;
                c.fils = fils;
            }
        }
    }
    return best;
}
