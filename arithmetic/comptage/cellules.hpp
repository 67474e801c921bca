// SPDX-License-Identifier: GPL-3.0-or-later
// How the methods over one counting table (the whole table, the table and
// lists, the meet in the middle, the table and walk) run their moduli: on
// 64-bit cells, modulo 2^64 then primes below 2^63, or on 32-bit cells
// modulo primes below 2^31 (about twice the moduli, half the memory); on one
// thread, or shared by two, each with its own table. The cost model
// chooses; the run borrows the tables, runs the steps once per modulus,
// finishes each residue and rebuilds the count.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include <gmpxx.h>

#include "couts.hpp"
#include "deux_fils.hpp"
#include "methode.hpp"
#include "modules.hpp"
#include "noyaux.hpp"
#include "primalite.hpp"

struct Cellules {
    bool etroites = false;    // 32-bit cells
    unsigned fils = 1;        // threads sharing the moduli
    std::size_t modules = 1;  // moduli of the count on those cells

    // 64-bit cells borrowed for a table of n cells.
    std::size_t emprunt(std::size_t n) const { return etroites ? (n + 1) / 2 : n; }
    std::size_t octets(std::size_t n) const { return emprunt(n) * sizeof(u64); }
};

// What a table method asks of its cells: a table of n cells, at most limite
// 64-bit cells of memory (d.cellules_max unless the method bounds it more);
// its steps cost table nanoseconds a modulus on 64-bit cells, its finish fin
// a modulus whatever the cells; beside it, autres bytes held once. partage:
// whether its finish may run on two threads at once. The width and the
// threads imposed, when they are.
struct BesoinTable {
    std::size_t n = 0;
    std::size_t limite = 0;
    double table = 0, fin = 0;
    std::size_t autres = 0;
    bool partage = true;
    std::optional<bool> etroites = std::nullopt;
    unsigned fils = 0;  // 0: by cost
};

// The cheapest cells and threads for b into c, and their cost (nanoseconds;
// infinite when no table fits, c then 64-bit cells on one thread). Per bit of
// the count a 32-bit cell costs as much as a 64-bit one or more, so the
// narrow cells are priced only where the wide ones do not fit twice; a
// second thread where its table fits the budget too and a modulus costs
// more than couts::kFilMarche.
double choisit_largeur(const Demande& d, const BesoinTable& b, Cellules& c);
inline double choisit_cellules(const Demande& d, const BesoinTable& b, Cellules& c) {
    // Most tables, priced at every count: 64-bit cells on one thread, where
    // they fit twice and a modulus is short.
    const double module = b.table + b.fin;
    if (!b.etroites && b.fils < 2 && b.n <= b.limite && (!b.partage || module <= couts::kFilMarche) &&
        2 * static_cast<double>(b.n) * sizeof(u64) + static_cast<double>(b.autres) <=
            static_cast<double>(d.machine.memoire)) {
        c = Cellules{false, 1, d.pb.modules};
        return static_cast<double>(d.pb.modules) * module;
    }
    return choisit_largeur(d, b, c);
}

// The tables of c for n cells, then the steps e run once per modulus on
// each, each residue finished by fin(F, p, exact, pr) from the filled table
// F (u64* or u32*; p the modulus, 0 for 2^64; pr the thread's progress), the
// count rebuilt into resultat. Modulo 2^64 first, alone: when no cell has
// wrapped and fin sets exact (its residue is then the count itself), the
// other moduli are left out and their work, unites per modulus, reported as
// done. Issue::memoire when the first table cannot be had.
template <class Fin>
Issue par_modules(Demande& d, const Cellules& c, std::span<const Etape> e, std::size_t n, Progres& pr, u64 unites,
                  Fin&& fin, mpz_class& resultat) {
    Atelier& w = d.w;
    const std::size_t K = c.modules;
    const std::size_t premier = c.etroites ? 0 : 1;  // the first modulus shared
    unsigned fils = c.fils > 1 && K > premier + 1 ? 2 : 1;
    Emprunt tables[2] = {Emprunt(w.tampons, c.emprunt(n)), Emprunt(w.tampons, fils == 2 ? c.emprunt(n) : 0)};
    u64* F[2] = {tables[0].obtenir(d.ctx, c.emprunt(n)), nullptr};
    if (!F[0]) return Issue::memoire;
    if (fils == 2 && !(F[1] = tables[1].obtenir(d.ctx, c.emprunt(n)))) fils = 1;
    pr.prevoit(unites * K);
    if (!c.etroites) {
        u64 bits = 0;
        bool exact = false;
        execute_table(e.data(), e.size(), F[0], 0, pr, &bits);
        const u64 r = fin(F[0], u64{0}, exact, pr);
        if (K == 1 || (exact && bits >> 63 == 0)) {
            pr.avance(unites * (K - 1));
            resultat = static_cast<unsigned long>(r);
            return Issue::fait;
        }
        w.residus.assign(K, 0);
        w.residus[0] = r;
    } else {
        w.residus.assign(K, 0);
    }
    std::vector<u64> modules;
    if (c.etroites) {
        plus_grands_premiers(31, K, modules);  // below 2^31
    } else {
        modules.assign(K, 0);
        for (std::size_t i = 1; i < K; ++i) modules[i] = module(w.premiers, i);
    }
    u64* const residus = w.residus.data();
    en_fils(fils, d.ctx.libres, d.ctx.suivi(), pr, [&](unsigned t, Progres& suivi) {
        for (std::size_t i = premier + t; i < K; i += fils) {
            bool exact = false;
            if (c.etroites) {
                u32* const G = reinterpret_cast<u32*>(F[t]);
                execute_table(e.data(), e.size(), G, static_cast<u32>(modules[i]), suivi);
                residus[i] = fin(G, modules[i], exact, suivi);
            } else {
                execute_table(e.data(), e.size(), F[t], modules[i], suivi);
                residus[i] = fin(F[t], modules[i], exact, suivi);
            }
        }
    });
    if (c.etroites)
        Reconstruction(modules, false)(residus, 1, resultat);
    else
        resultat = reconstruire(residus, K, w.premiers);
    return Issue::fait;
}
